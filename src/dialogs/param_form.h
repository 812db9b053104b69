#pragma once

// TFormParam: the parameter dialog. The user picks one of the eleven items; OK leaves the macro
// text "/" + macro character + "<" + letter + ">" in the form's hint and remembers the choice
// under "Kind" in the settings section.

#include <array>
#include <string>

#include "fileio/file_system.h"
#include "forms/form.h"

namespace dialogs {

// What the dialog is shown for: the last parameter request and the settings file.
struct ParamDialogInput {
  std::string MacroChar;     // one byte
  std::string ParamCaption;  // the form's caption
  std::string IniPath;
  std::string IniSection;
  fileio::FileSystem* files = nullptr;
};

class TFormParam final : public forms::Form {
 public:
  // Builds the form from its description and runs FormCreate, as creating the form does.
  explicit TFormParam(ParamDialogInput input);

  forms::Control& PanelMacroSample;
  forms::Control& ButtonOk;
  forms::Control& ButtonCancel;
  forms::Control& GroupBox;
  forms::Control& Bevel1;
  forms::Control& Label1;
  forms::Control& Label2;
  forms::Control& RadioButtonS;
  forms::Control& RadioButtonB;
  forms::Control& RadioButtonF;
  forms::Control& RadioButtonV;
  forms::Control& RadioButtonC;
  forms::Control& RadioButtonP;
  forms::Control& RadioButtonT;
  forms::Control& RadioButtonA;
  forms::Control& RadioButtonN;
  forms::Control& RadioButtonY;
  forms::Control& RadioButtonG;

  // The radio buttons in choice order: P T A N Y G S B F V C.
  std::array<forms::Control*, 11> RadioButtons{};

  void FormCreate();
  void RadioButtonClick(forms::Control& sender);
  void ButtonOkClick(forms::Control& sender);
  void FormActivate();
  bool FormHelp(int context);

 private:
  ParamDialogInput input_;
};

}  // namespace dialogs
