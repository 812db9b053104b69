// Loads the real mac_Tunlex.dll the way a host does and checks what crosses the boundary.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "plugin/mac_plugin_abi.h"
#include "support/mp3_builder.h"
#include "win32/window_test_support.h"

namespace {

using namespace win32_test;

std::wstring dll_path() { return folder_of_this_program() + L"mac_Tunlex.dll"; }

// A scratch folder whose name holds "表" (0x95 0x5C in Shift-JIS: its trail byte is a
// backslash), so paths cross the boundary as the host's Shift-JIS and must be converted.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    wide_ = std::wstring(temp) + L"tunlex-\u8868" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(wide_.c_str(), nullptr);
  }
  ~ScratchFolder() {
    for (const auto& name : created_) DeleteFileW((wide_ + L"\\" + name).c_str());
    RemoveDirectoryW(wide_.c_str());
  }
  std::wstring wide_path(const std::wstring& name) const { return wide_ + L"\\" + name; }
  // The folder in Shift-JIS, as a host passes it.
  std::string sjis() const { return to_sjis(wide_); }
  static std::string to_sjis(const std::wstring& wide) {
    const int n = WideCharToMultiByte(932, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr,
                                      0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, 0, wide.c_str(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
  }
  void write(const std::wstring& name, const std::string& contents) {
    const HANDLE h = CreateFileW(wide_path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(h);
    created_.push_back(name);
  }

 private:
  std::wstring wide_;
  std::vector<std::wstring> created_;
};

// Each test loads the DLL afresh, so its module state starts as a host finds it.
class PluginBoundaryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(dll_path().c_str());
    ASSERT_NE(module_, nullptr) << "cannot load mac_Tunlex.dll";
    entry_ = reinterpret_cast<MacPluginProc>(
        reinterpret_cast<void*>(GetProcAddress(module_, "macPlugin")));
    ASSERT_NE(entry_, nullptr);
    table_.NameBuffer = name_;
    table_.VersionBuffer = version_;
    std::memset(name_, 0xCC, sizeof name_);
    std::memset(version_, 0xCC, sizeof version_);
    ASSERT_EQ(entry_(&table_), 5001);
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  void init(const std::string& ini_path, const char* section = "mac_Tunlex") {
    const TMacInitParam param{nullptr, ini_path.c_str(), section};
    table_.Init(&param);
  }

  // Settings whose composition is the one literal `text`, so a read answers `text`.
  void init_with_literal(ScratchFolder& folder, const std::string& text) {
    folder.write(L"settings.ini", "[mac_Tunlex]\r\nDefault=1\r\nDefault0=0" + text + "/\r\n");
    init(folder.sjis() + "\\settings.ini");
  }

  const char* exec(const char* parameter, const std::string& folder, const std::string& file,
                   std::int32_t read_flag) {
    TMacExecRequest request;
    std::memset(&request, 0xEE, sizeof request);  // bytes the plug-in must not read
    request.Parameter = parameter;
    request.Folder = folder.c_str();
    request.FileName = file.c_str();
    request.SkipFlag = 0;
    request.ReadFlag = read_flag;
    return table_.Exec(&request);
  }

  HMODULE module_ = nullptr;
  MacPluginProc entry_ = nullptr;
  TMacPluginTable table_{};
  char name_[64];
  char version_[64];
};

TEST_F(PluginBoundaryTest, TableHoldsTheSixEntryPointsAndTheFixedTexts) {
  EXPECT_EQ(table_.TableKind, 1);
  for (const void* entry :
       {reinterpret_cast<void*>(table_.Init), reinterpret_cast<void*>(table_.Info),
        reinterpret_cast<void*>(table_.Setup), reinterpret_cast<void*>(table_.Param),
        reinterpret_cast<void*>(table_.Exec), reinterpret_cast<void*>(table_.Term)}) {
    EXPECT_NE(entry, nullptr);
  }
  // "MP3ファイル情報取得マクロ": 26 bytes with its zero, nothing written beyond.
  const char name[] =
      "MP3\x83\x74\x83\x40\x83\x43\x83\x8B\x8F\xEE\x95\xF1\x8E\xE6\x93\xBE\x83\x7D\x83\x4E\x83\x8D";
  EXPECT_EQ(std::memcmp(name_, name, 26), 0);
  EXPECT_EQ(static_cast<unsigned char>(name_[26]), 0xCC);
  EXPECT_EQ(std::strncmp(version_, "Ver5.0 ", 7), 0);
  EXPECT_EQ(std::strlen(version_), 21u);
  EXPECT_EQ(static_cast<unsigned char>(version_[22]), 0xCC);

  const TMacPluginTable first = table_;
  EXPECT_EQ(entry_(&table_), 5001);
  EXPECT_EQ(std::memcmp(&first, &table_, sizeof table_), 0);
}

TEST_F(PluginBoundaryTest, InfoCopiesTitleAndDescriptionWithoutReadingTheFirstField) {
  // The record's first field lies on a page that may not be read: touching it would fault.
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  auto* pages = static_cast<char*>(
      VirtualAlloc(nullptr, system.dwPageSize * 2, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(pages, system.dwPageSize, PAGE_NOACCESS, &old));
  auto* param = reinterpret_cast<TMacInfoParam*>(pages + system.dwPageSize - 4);
  char title[64];
  char description[64];
  std::memset(title, 0xCC, sizeof title);
  std::memset(description, 0xCC, sizeof description);
  param->TitleBuffer = title;
  param->DescriptionBuffer = description;
  table_.Info(param);
  VirtualFree(pages, 0, MEM_RELEASE);

  EXPECT_EQ(std::memcmp(title, "MP3\x83\x74\x83\x40\x83\x43\x83\x8B\x8F\xEE\x95\xF1", 16), 0);
  EXPECT_EQ(static_cast<unsigned char>(title[16]), 0xCC);
  const char description_bytes[] =
      "MP3\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xCC\x8F\xEE\x95\xF1\x82\xF0\x8E\xE6\x93\xBE\x95\x5C"
      "\x8E\xA6";
  EXPECT_EQ(std::memcmp(description, description_bytes, 28), 0);
  EXPECT_EQ(static_cast<unsigned char>(description[28]), 0xCC);
}

TEST_F(PluginBoundaryTest, TermAndExecBeforeInitReturnQuietly) {
  table_.Term();
  ScratchFolder folder;
  folder.write(L"a.mp3", std::string(256, '\0'));
  EXPECT_STREQ(exec("", folder.sjis(), "a.mp3", 1), "");
  table_.Term();
}

TEST_F(PluginBoundaryTest, NullRequestAnswersEmptyAndKeepsThePreviousAnswer) {
  ScratchFolder folder;
  folder.write(L"a.mp3", std::string(256, '\0'));
  init_with_literal(folder, "kept");
  const char* previous = exec("", folder.sjis(), "a.mp3", 1);
  ASSERT_STREQ(previous, "kept");
  const char* empty = table_.Exec(nullptr);
  ASSERT_NE(empty, nullptr);
  EXPECT_STREQ(empty, "");
  EXPECT_STREQ(previous, "kept");
  table_.Term();
}

TEST_F(PluginBoundaryTest, ReadsAJapaneseFileNameAndLeavesTheFileClosed) {
  ScratchFolder folder;
  // "曲表.mp3": the name, too, holds a 0x5C trail byte.
  const std::wstring name = L"\u66F2\u8868.mp3";
  folder.write(name, std::string(256, '\0'));
  init_with_literal(folder, "found");
  EXPECT_STREQ(exec("", folder.sjis(), ScratchFolder::to_sjis(name), 1), "found");

  // Closed again: an exclusive open succeeds.
  const HANDLE h = CreateFileW(folder.wide_path(name).c_str(), GENERIC_READ, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  table_.Term();
}

TEST_F(PluginBoundaryTest, AFileHeldOpenElsewhereAnswersEmpty) {
  ScratchFolder folder;
  folder.write(L"a.mp3", std::string(256, '\0'));
  init_with_literal(folder, "found");
  ASSERT_STREQ(exec("", folder.sjis(), "a.mp3", 1), "found");

  const HANDLE held = CreateFileW(folder.wide_path(L"a.mp3").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(exec("", folder.sjis(), "a.mp3", 1), "");
  CloseHandle(held);
  EXPECT_STREQ(exec("", folder.sjis(), "a.mp3", 1), "found");
  table_.Term();
}

TEST_F(PluginBoundaryTest, MalformedSettingsFallBackToDefaults) {
  ScratchFolder folder;
  folder.write(L"settings.ini",
               "[mac_Tunlex]\r\nDefault=three\r\nDataN=x\r\nDataS=\r\nDataB=/a/b/c\r\n"
               "[MAC_TUNLEX]\r\nDefault=1\r\n");
  folder.write(L"a.mp3", std::string(256, '\0'));
  init(folder.sjis() + "\\settings.ini");
  EXPECT_STREQ(exec("", folder.sjis(), "a.mp3", 1), "");  // "three" is no count: empty list
  EXPECT_STREQ(exec("P", folder.sjis(), "a.mp3", 0), "");
  table_.Term();
}

TEST_F(PluginBoundaryTest, MissingSettingsFileReadsAsEmpty) {
  ScratchFolder folder;
  folder.write(L"a.mp3", std::string(256, '\0'));
  init(folder.sjis() + "\\no-such.ini");
  EXPECT_STREQ(exec("", folder.sjis(), "a.mp3", 1), "");
  table_.Term();
}

// One file per reader path, read by the Windows build: the same answers as the native build.
TEST_F(PluginBoundaryTest, AnswersEveryItemFromEachReaderPath) {
  using fixtures::ChannelMode;
  using fixtures::MpegFrameBuilder;
  ScratchFolder folder;
  // A composition of every item, separated by "|".
  std::string settings = "[mac_Tunlex]\r\nDefault=21\r\n";
  for (int i = 0; i < 21; ++i) {
    settings += "Default" + std::to_string(i) + "=" +
                (i % 2 == 0 ? std::to_string(i / 2 + 1) : std::string("0|/")) + "\r\n";
  }
  settings += "DataB=//32/40/48/56/64/80/96/112/128/160/192/224/256/320//VBR/1\r\n";
  folder.write(L"settings.ini", settings);
  init(folder.sjis() + "\\settings.ini");

  // "海の表情" in Shift-JIS: its third character ends in the byte 0x5C.
  const std::string title = "\x8A\x43\x82\xCC\x95\x5C\x8F\xEE";
  folder.write(L"v2.mp3", fixtures::Mp3FileBuilder()
                              .id3v2(fixtures::Id3v2Builder(3)
                                         .text_frame("TIT2", title)
                                         .text_frame("TPE1", "Artist")
                                         .text_frame("TRCK", "5")
                                         .text_frame("TCON", "(17)")
                                         .padding(100)
                                         .build())
                              .frame(MpegFrameBuilder(), 20)
                              .build());
  folder.write(
      L"v1.mp3",
      fixtures::Mp3FileBuilder()
          .frame(MpegFrameBuilder().channel_mode(ChannelMode::Stereo), 3)
          .id3v1(fixtures::id3v1_tag({.title = "One", .year = "1999", .track = 7, .genre = 8}))
          .build());
  folder.write(L"vbr.mp3",
               fixtures::Mp3FileBuilder()
                   .frame(MpegFrameBuilder().xing({.flags = fixtures::kXingFrames, .frames = 9418}))
                   .build());
  folder.write(L"mono.mp3", fixtures::Mp3FileBuilder()
                                .frame(MpegFrameBuilder()
                                           .bitrate_index(5)
                                           .sampling_index(1)
                                           .channel_mode(ChannelMode::Mono)
                                           .crc(),
                                       42)
                                .build());

  const struct {
    const char* file;
    std::string expected;
  } cases[] = {
      // artist|title|album|track|year|genre|time|bitrate|sampling|VBR|channels
      {"v2.mp3", "Artist|" + title + "||05||Rock|0'00|128|44100||JointStereo"},
      {"v1.mp3", "|One||07|1999|Jazz|0'00|128|44100||Stereo"},
      {"vbr.mp3", "||||||4'06|VBR|44100|(VBR)|JointStereo"},
      {"mono.mp3", "||||||0'01|64|48000||SingleChannel"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(exec("", folder.sjis(), c.file, 1), c.expected) << c.file;
    // A request without a read answers from the same record.
    const std::string& all = c.expected;
    const auto first_bar = all.find('|');
    EXPECT_EQ(exec("T", folder.sjis(), c.file, 0),
              all.substr(first_bar + 1, all.find('|', first_bar + 1) - first_bar - 1))
        << c.file;
  }
  table_.Term();
}

TEST(PluginVersionResource, NamesVersionAndJapaneseDescription) {
  const std::wstring path = dll_path();
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::string data(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00050000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00050000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);

  auto string_value = [&](const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT chars = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041103A4\\") + name;
    if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars)) {
      return std::wstring(L"<missing>");
    }
    return std::wstring(value);
  };
  EXPECT_EQ(string_value(L"FileDescription"),
            L"MP3\u30D5\u30A1\u30A4\u30EB\u60C5\u5831\u53D6\u5F97\u30DE\u30AF\u30ED "
            L"(ShiftJIS\u7248)");
  EXPECT_EQ(string_value(L"FileVersion"), L"5.0.0.1");
  EXPECT_EQ(string_value(L"ProductVersion"), L"5.0");
}

}  // namespace
