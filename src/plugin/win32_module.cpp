#include "plugin/win32_module.h"

#include <windows.h>

#include "plugin/module_state.h"

namespace plugin {

std::wstring host_executable_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

namespace {
std::wstring& help_file_storage() {
  static std::wstring path;
  return path;
}
}  // namespace

void set_help_file(std::wstring path) { help_file_storage() = std::move(path); }
const std::wstring& help_file() { return help_file_storage(); }

void open_help(int context) {
  WinHelpW(static_cast<HWND>(module_state().HostWindow), help_file().c_str(), HELP_CONTEXT,
           static_cast<ULONG_PTR>(context));
}

}  // namespace plugin
