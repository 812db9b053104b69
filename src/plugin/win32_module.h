#pragma once

#include <string>

namespace plugin {

// The path of the running process's main module: the host's executable, not this library.
std::wstring host_executable_path();

// Where help for the dialogs is looked up.
void set_help_file(std::wstring path);
const std::wstring& help_file();
// Opens the help file at `context`, over the host's window.
void open_help(int context);

}  // namespace plugin
