// The DLL's exported entry and the six entry points. Nothing may escape to the host: every entry
// point catches everything (a C++ exception cannot cross into the host's frames).

#include <windows.h>

#include <cstring>
#include <string>

#include "fileio/file_system.h"
#include "plugin/fixed_texts.h"
#include "plugin/mac_plugin_abi.h"
#include "plugin/module_state.h"
#include "plugin/win32_module.h"

extern "C" {
// Hold the dialogs while they are shown; null otherwise.
void* FormSetup = nullptr;
void* FormParam = nullptr;
}

namespace {

std::string_view text_or_empty(const char* text) { return text ? std::string_view(text) : ""; }

void copy_text(char* buffer, const char* text, std::size_t size_with_zero) {
  if (buffer) std::memcpy(buffer, text, size_with_zero);
}

void MAC_CALL MacInit(const TMacInitParam* param) {
  try {
    auto& state = plugin::module_state();
    state.HostWindow = param ? param->HostWindow : nullptr;
    plugin::set_help_file(plugin::HelpFileBeside<wchar_t>(plugin::host_executable_path()));
    plugin::InitPlugin(state, param ? text_or_empty(param->IniPath) : "",
                       param ? text_or_empty(param->IniSection) : "", fileio::system_file_system());
  } catch (...) {
  }
}

void MAC_CALL MacInfo(const TMacInfoParam* param) {
  try {
    if (!param) return;
    copy_text(param->TitleBuffer, plugin::kMacroTitle, sizeof plugin::kMacroTitle);
    copy_text(param->DescriptionBuffer, plugin::kMacroDescription,
              sizeof plugin::kMacroDescription);
  } catch (...) {
  }
}

// The setup dialog comes with its own work; until then the entry point returns at once.
void MAC_CALL MacSetup(const TMacDialogRect*) {}

// The parameter dialog comes with its own work; until then no dialog is shown and the answer is
// the same as a cancelled dialog's.
const char* MAC_CALL MacParam(const TMacParamRequest*, const TMacDialogRect*) { return nullptr; }

const char* MAC_CALL MacExec(const TMacExecRequest* request) {
  try {
    if (!request) return mp3info::kStaticEmptyText;
    mp3info::MacroRequest portable;
    portable.Parameter = text_or_empty(request->Parameter);
    portable.Folder = text_or_empty(request->Folder);
    portable.FileName = text_or_empty(request->FileName);
    portable.SkipFlag = request->SkipFlag != 0;
    portable.ReadFlag = request->ReadFlag;
    return plugin::ExecMacro(plugin::module_state(), portable, fileio::system_file_system());
  } catch (...) {
    return mp3info::kStaticEmptyText;
  }
}

void MAC_CALL MacTerm() {
  try {
    plugin::TermPlugin(plugin::module_state());
  } catch (...) {
  }
}

}  // namespace

extern "C" std::int32_t MAC_CALL macPlugin(TMacPluginTable* table) {
  try {
    if (!table) return kMacPluginVersion;
    table->TableKind = 1;
    table->Init = MacInit;
    table->Info = MacInfo;
    table->Setup = MacSetup;
    table->Param = MacParam;
    table->Exec = MacExec;
    table->Term = MacTerm;
    copy_text(table->NameBuffer, plugin::kPluginName, sizeof plugin::kPluginName);
    copy_text(table->VersionBuffer, plugin::kVersionLine, sizeof plugin::kVersionLine);
  } catch (...) {
  }
  return kMacPluginVersion;
}
