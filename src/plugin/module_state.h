#pragma once

// The plug-in's process-wide state and the work behind its entry points, free of Win32 types so
// it builds and is tested natively. The exported entry points translate the host's records and
// call these.

#include <string>
#include <string_view>

#include "fileio/file_system.h"
#include "mp3info/evaluate.h"
#include "mp3info/file_info.h"
#include "settings/mp3_settings.h"

namespace plugin {

struct ModuleState {
  settings::TMp3Settings Settings;
  // The composition list exists from MacInit to MacTerm only.
  bool DefaultItemsExist = false;
  // Indexes start at -1, as after a reset, so no answer claims a rate before any read.
  mp3info::TMp3FileInfo FileInfo;
  std::string ExecResultText;
  std::string ParamResultText;
  std::string MacroChar;
  std::string ParamCaption;
  void* HostWindow = nullptr;
};

ModuleState& module_state();

// MacInit's work: a fresh, empty composition list, the INI path and section kept, the settings
// loaded.
void InitPlugin(ModuleState& state, std::string_view ini_path, std::string_view ini_section,
                fileio::FileSystem& files);
// MacExec's work for a request that is not null. Before MacInit (no composition list) it answers
// empty and touches no file.
const char* ExecMacro(ModuleState& state, const mp3info::MacroRequest& request,
                      fileio::FileSystem& files);
// MacTerm's work: the composition list goes; everything else stays.
void TermPlugin(ModuleState& state);

// The help file "mac_Tunlex.hlp" in the folder of `executable_path`.
template <typename Char>
std::basic_string<Char> HelpFileBeside(std::basic_string_view<Char> executable_path) {
  const auto slash = executable_path.find_last_of(
      std::basic_string_view<Char>(std::basic_string<Char>{Char('\\'), Char('/')}));
  std::basic_string<Char> path(
      executable_path.substr(0, slash == std::basic_string_view<Char>::npos ? 0 : slash + 1));
  for (const char c : std::string_view("mac_Tunlex.hlp")) path += static_cast<Char>(c);
  return path;
}

}  // namespace plugin
