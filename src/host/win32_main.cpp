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

class DllBackend final : public host::MacroBackend {
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
  bool can_read(const std::string& path) override {
    const auto wide = text::sjis_to_wide_exact(path);
    if (!wide) return false;
    const HANDLE handle = CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
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
  return host::TunlexMain(args, open_dll, _isatty(_fileno(stdout)) != 0);
}
