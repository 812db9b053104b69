// The DLL's exported entry and the six entry points. Nothing may escape to the host: every entry
// point catches everything (a C++ exception cannot cross into the host's frames).

#include <windows.h>

#include <cstring>
#include <string>

#include "dialogs/param_form.h"
#include "dialogs/setup_form.h"
#include "fileio/file_system.h"
#include "forms/form.h"
#include "plugin/centring.h"
#include "plugin/fixed_texts.h"
#include "plugin/mac_plugin_abi.h"
#include "plugin/module_state.h"
#include "plugin/win32_module.h"

extern "C" {
// Hold the dialogs while they are shown; null otherwise.
void* FormSetup = nullptr;
void* FormParam = nullptr;

// The dialog units' initialisation and finalisation: exported for hosts that look for them;
// nothing needs doing.
void Mac_tunlexparam_Initialization() {}
void Mac_tunlexparam_Finalization() {}
void Mac_tunlexsetup_Initialization() {}
void Mac_tunlexsetup_Finalization() {}
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
    forms::set_help_function(plugin::open_help);
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

// Keeps an exported form variable set while its dialog is shown, whatever way it closes.
class ShownForm {
 public:
  ShownForm(void*& variable, forms::Form& form) : variable_(variable) { variable_ = &form; }
  ~ShownForm() { variable_ = nullptr; }
  ShownForm(const ShownForm&) = delete;
  ShownForm& operator=(const ShownForm&) = delete;

 private:
  void*& variable_;
};

int show_centred(forms::Form& form, const TMacDialogRect& rect) {
  int width = 0;
  int height = 0;
  form.outer_size(width, height);
  const auto at = plugin::CentreDialog(rect, width, height);
  return form.show_modal({plugin::module_state().HostWindow, at.left, at.top});
}

void MAC_CALL MacSetup(const TMacDialogRect* rect) {
  try {
    auto& state = plugin::module_state();
    // Before MacInit there are no settings to edit.
    if (!rect || !state.DefaultItemsExist) return;
    dialogs::TFormSetup form({state.Settings, &fileio::system_file_system()});
    const ShownForm shown(FormSetup, form);
    show_centred(form, *rect);
  } catch (...) {
  }
}

const char* MAC_CALL MacParam(const TMacParamRequest* request, const TMacDialogRect* rect) {
  try {
    auto& state = plugin::module_state();
    // Before MacInit there is no settings file to remember the choice in.
    if (!request || !rect || !state.DefaultItemsExist) return nullptr;
    state.MacroChar = std::string(1, request->MacroChar);
    state.ParamCaption = text_or_empty(request->Caption);
    dialogs::TFormParam form({state.MacroChar, state.ParamCaption, state.Settings.IniPath,
                              state.Settings.IniSection, &fileio::system_file_system()});
    const ShownForm shown(FormParam, form);
    if (show_centred(form, *rect) != forms::kModalOk) return nullptr;
    state.ParamResultText = form.hint();
    return state.ParamResultText.empty() ? mp3info::kStaticEmptyText
                                         : state.ParamResultText.c_str();
  } catch (...) {
    return nullptr;
  }
}

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
