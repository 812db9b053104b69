#pragma once

// The host boundary: the exported entry, the table of entry points and the records that cross
// it. Shared by the plug-in and the reference host. Every record is byte-packed; pointers and
// window handles are 32 bits in the 32-bit build, and all texts are zero-terminated Shift-JIS.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define MAC_CALL __stdcall
#else
#define MAC_CALL
#endif

extern "C" {

#pragma pack(push, 1)

struct TMacInitParam;
struct TMacInfoParam;
struct TMacDialogRect;
struct TMacParamRequest;
struct TMacExecRequest;

using MacInitProc = void(MAC_CALL*)(const TMacInitParam* param);
using MacInfoProc = void(MAC_CALL*)(const TMacInfoParam* param);
using MacSetupProc = void(MAC_CALL*)(const TMacDialogRect* rect);
using MacParamProc = const char*(MAC_CALL*)(const TMacParamRequest* request,
                                            const TMacDialogRect* rect);
using MacExecProc = const char*(MAC_CALL*)(const TMacExecRequest* request);
using MacTermProc = void(MAC_CALL*)();

struct TMacPluginTable {
  std::int32_t TableKind;  // the plug-in writes 1
  MacInitProc Init;
  MacInfoProc Info;
  MacSetupProc Setup;
  MacParamProc Param;
  MacExecProc Exec;
  MacTermProc Term;
  char* NameBuffer;     // set by the host; receives the plug-in's name
  char* VersionBuffer;  // set by the host; receives the version line
};

struct TMacInitParam {
  void* HostWindow;  // HWND of the host: owner of the plug-in's dialogs
  const char* IniPath;
  const char* IniSection;
};

struct TMacInfoParam {
  std::uint32_t Unread0;
  char* TitleBuffer;
  char* DescriptionBuffer;
};

struct TMacDialogRect {
  std::int16_t Left;
  std::int16_t Top;
  std::int16_t Width;
  std::int16_t Height;
};

struct TMacParamRequest {
  std::uint32_t Unread0;
  char MacroChar;  // the character the macro text carries after "/"
  const char* Caption;
};

struct TMacExecRequest {
  std::uint32_t Unread0;
  const char* Parameter;
  const char* Folder;
  const char* FileName;
  std::uint32_t Unread16;
  std::uint8_t SkipFlag;  // non-zero: answer empty at once
  std::uint8_t Unread21[5];
  std::int32_t ReadFlag;  // exactly 1: read the file; else answer from the last read
};

#pragma pack(pop)

using MacPluginProc = std::int32_t(MAC_CALL*)(TMacPluginTable* table);

}  // extern "C"

// What macPlugin returns: version 5.0.0.1 as one number.
inline constexpr std::int32_t kMacPluginVersion = 5001;

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(TMacPluginTable, TableKind) == 0);
static_assert(offsetof(TMacPluginTable, Init) == 4);
static_assert(offsetof(TMacPluginTable, Info) == 8);
static_assert(offsetof(TMacPluginTable, Setup) == 12);
static_assert(offsetof(TMacPluginTable, Param) == 16);
static_assert(offsetof(TMacPluginTable, Exec) == 20);
static_assert(offsetof(TMacPluginTable, Term) == 24);
static_assert(offsetof(TMacPluginTable, NameBuffer) == 28);
static_assert(offsetof(TMacPluginTable, VersionBuffer) == 32);
static_assert(sizeof(TMacPluginTable) == 36);

static_assert(offsetof(TMacInitParam, HostWindow) == 0);
static_assert(offsetof(TMacInitParam, IniPath) == 4);
static_assert(offsetof(TMacInitParam, IniSection) == 8);
static_assert(sizeof(TMacInitParam) == 12);

static_assert(offsetof(TMacInfoParam, TitleBuffer) == 4);
static_assert(offsetof(TMacInfoParam, DescriptionBuffer) == 8);
static_assert(sizeof(TMacInfoParam) == 12);

static_assert(offsetof(TMacDialogRect, Left) == 0);
static_assert(offsetof(TMacDialogRect, Top) == 2);
static_assert(offsetof(TMacDialogRect, Width) == 4);
static_assert(offsetof(TMacDialogRect, Height) == 6);
static_assert(sizeof(TMacDialogRect) == 8);

static_assert(offsetof(TMacParamRequest, MacroChar) == 4);
static_assert(offsetof(TMacParamRequest, Caption) == 5);
static_assert(sizeof(TMacParamRequest) == 9);

static_assert(offsetof(TMacExecRequest, Parameter) == 4);
static_assert(offsetof(TMacExecRequest, Folder) == 8);
static_assert(offsetof(TMacExecRequest, FileName) == 12);
static_assert(offsetof(TMacExecRequest, SkipFlag) == 20);
static_assert(offsetof(TMacExecRequest, ReadFlag) == 26);
static_assert(sizeof(TMacExecRequest) == 30);
#endif
