// The reference host on Windows: loads mac_Tunlex.dll from beside this program exactly as a host
// does (macPlugin, then the entry points of its table) and prints what it answers.

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <iostream>

#include "host/cli.h"
#include "plugin/mac_plugin_abi.h"
#include "text/shift_jis.h"
#include "text/wide.h"

namespace {

std::wstring folder_of_this_program() {
  wchar_t path[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring folder(path, length);
  const auto slash = folder.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"" : folder.substr(0, slash + 1);
}

// The attributes of a Shift-JIS path; INVALID_FILE_ATTRIBUTES when it cannot be had.
DWORD attributes_of(const std::string& path) {
  const auto wide = text::sjis_to_wide_exact(path);
  return wide ? GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
}

// The DLL takes one call at a time: no readers for other threads (ExecBackend's default).
class DllBackend final : public host::ExecBackend {
 public:
  bool load(std::string& error) {
    const std::wstring path = folder_of_this_program() + L"mac_Tunlex.dll";
    module_ = LoadLibraryW(path.c_str());
    if (!module_) {
      error = "cannot load " + text::wide_to_utf8(path);
      return false;
    }
    const auto entry = reinterpret_cast<MacPluginProc>(
        reinterpret_cast<void*>(GetProcAddress(module_, "macPlugin")));
    if (!entry) {
      error = "mac_Tunlex.dll exports no macPlugin";
      return false;
    }
    table_.NameBuffer = name_;
    table_.VersionBuffer = version_;
    entry(&table_);
    return true;
  }
  ~DllBackend() override {
    if (module_) FreeLibrary(module_);
  }

  void init(const std::string& ini_path, const std::string& section) override {
    const TMacInitParam param{GetConsoleWindow(), ini_path.c_str(), section.c_str()};
    table_.Init(&param);
  }
  std::string exec(const std::string& parameter, const std::string& folder,
                   const std::string& file_name, std::int32_t read_flag) override {
    TMacExecRequest request{};
    request.Parameter = parameter.c_str();
    request.Folder = folder.c_str();
    request.FileName = file_name.c_str();
    request.SkipFlag = 0;
    request.ReadFlag = read_flag;
    const char* answer = table_.Exec(&request);
    return answer ? answer : "";
  }
  void term() override { table_.Term(); }
  // The plug-in answers a file it cannot open as one without tags: open it once first, so
  // that a missing, locked or forbidden file is reported.
  bool can_read(const std::string& path) override {
    const auto wide = text::sjis_to_wide_exact(path);
    if (!wide) return false;
    const HANDLE handle = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
  }
  bool paths_are_sjis() const override { return true; }
  bool is_folder(const std::string& path) override {
    const DWORD attributes = attributes_of(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  std::optional<std::vector<host::FolderEntry>> list_folder(const std::string& path) override {
    const auto folder = text::sjis_to_wide_exact(path);
    if (!folder) return std::nullopt;
    // "C:" is the drive's current folder: nothing goes between it and a name.
    const bool joined_as_is = path.empty() || path.back() == '/' || path.back() == ':' ||
                              text::ends_with_single_byte_backslash(path);
    const std::string prefix = joined_as_is ? path : path + '\\';
    const std::wstring pattern = *folder + (joined_as_is ? L"*" : L"\\*");
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
      // An empty folder has no entries, not even "." at a drive's root.
      if (GetLastError() == ERROR_FILE_NOT_FOUND && is_folder(path)) {
        return std::vector<host::FolderEntry>{};
      }
      return std::nullopt;
    }
    std::vector<host::FolderEntry> entries;
    do {
      const std::wstring_view name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      host::FolderEntry entry;
      const auto sjis = text::wide_to_sjis_exact(name);
      entry.usable = sjis.has_value();
      entry.path = prefix + (sjis ? *sjis : text::wide_to_sjis_best(name));
      const DWORD attributes = found.dwFileAttributes;
      if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        entry.kind = host::FolderEntry::Kind::File;
      } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Links and junctions to folders are not followed, so there is no loop.
        entry.kind = host::FolderEntry::Kind::Skipped;
      } else {
        entry.kind = host::FolderEntry::Kind::Folder;
      }
      entries.push_back(std::move(entry));
    } while (FindNextFileW(find, &found));
    const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(find);
    if (!complete) return std::nullopt;
    return entries;
  }
  std::optional<std::string> param(char macro_char, const std::string& caption,
                                   const host::DialogRect& rect, bool& supported) override {
    supported = true;
    TMacParamRequest request{};
    request.MacroChar = macro_char;
    request.Caption = caption.c_str();
    const TMacDialogRect dialog_rect{
        static_cast<std::int16_t>(rect.left), static_cast<std::int16_t>(rect.top),
        static_cast<std::int16_t>(rect.width), static_cast<std::int16_t>(rect.height)};
    const char* text = table_.Param(&request, &dialog_rect);
    if (!text) return std::nullopt;
    return std::string(text);
  }
  bool setup(const host::DialogRect& rect) override {
    const TMacDialogRect dialog_rect{
        static_cast<std::int16_t>(rect.left), static_cast<std::int16_t>(rect.top),
        static_cast<std::int16_t>(rect.width), static_cast<std::int16_t>(rect.height)};
    table_.Setup(&dialog_rect);
    return true;
  }
  std::string display_path(const std::string& path, bool utf8) override {
    return utf8 ? text::sjis_to_utf8(path) : path;
  }

 private:
  HMODULE module_ = nullptr;
  TMacPluginTable table_{};
  char name_[256] = {};
  char version_[256] = {};
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Answers are bytes; no newline translation.
  _setmode(_fileno(stdout), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    // Texts cross to the plug-in as Shift-JIS, whatever the system's code page.
    const auto sjis = text::wide_to_sjis_exact(argv[i]);
    if (!sjis) {
      std::cerr << "tunlex: '" << text::wide_to_utf8(argv[i])
                << "' has characters that Shift-JIS cannot hold\n";
      return 2;
    }
    args.push_back(*sjis);
  }
  const auto open_dll = [](std::string& error) -> std::unique_ptr<host::MacroBackend> {
    auto backend = std::make_unique<DllBackend>();
    if (!backend->load(error)) return nullptr;
    return backend;
  };
  return host::TunlexMain(args, open_dll, _isatty(_fileno(stdout)) != 0,
                          _isatty(_fileno(stderr)) != 0);
}
