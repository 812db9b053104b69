#include "plugin/module_state.h"

#include "settings/load_settings.h"

namespace plugin {

ModuleState& module_state() {
  static ModuleState state;
  return state;
}

void InitPlugin(ModuleState& state, std::string_view ini_path, std::string_view ini_section,
                fileio::FileSystem& files) {
  state.Settings.DefaultItems.clear();
  state.DefaultItemsExist = true;
  state.Settings.IniPath = ini_path;
  state.Settings.IniSection = ini_section;
  settings::LoadSettings(state.Settings, files);
}

const char* ExecMacro(ModuleState& state, const mp3info::MacroRequest& request,
                      fileio::FileSystem& files) {
  if (!state.DefaultItemsExist) return mp3info::kStaticEmptyText;
  return mp3info::EvaluateMacro(request, state.Settings, state.FileInfo, state.ExecResultText,
                                files);
}

void TermPlugin(ModuleState& state) {
  state.Settings.DefaultItems.clear();
  state.Settings.DefaultItems.shrink_to_fit();
  state.DefaultItemsExist = false;
}

}  // namespace plugin
