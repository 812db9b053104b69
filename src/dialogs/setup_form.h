#pragma once

// TFormSetup: the setup dialog. Seven pages edit copies of the settings in their controls; OK
// writes them to the settings section and puts them in place of the settings in memory.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "fileio/file_system.h"
#include "forms/form.h"
#include "settings/mp3_settings.h"

namespace dialogs {

// What the dialog is shown for: the settings in memory, which it shows and which OK replaces
// (IniPath and IniSection name the file and section it writes), and the file access.
struct SetupDialogInput {
  settings::TMp3Settings& Settings;
  fileio::FileSystem* files = nullptr;
};

class TFormSetup final : public forms::Form {
 public:
  // Builds the form from its description and runs FormCreate, as creating the form does.
  explicit TFormSetup(SetupDialogInput input);

  forms::Control& PageControl;
  forms::Control& TabSheetD;
  forms::Control& PanelD;
  forms::Control& PanelSample;
  forms::Control& ButtonAdd;
  forms::Control& ButtonUpd;
  forms::Control& ButtonDel;
  forms::Control& ListBoxEdit;
  forms::Control& Edit;
  forms::Control& GroupBox1;
  forms::Control& ListBoxItem;
  forms::Control& TabSheetN;
  forms::Control& PanelN;
  forms::Control& RadioGroupN1;
  forms::Control& RadioGroupN2;
  forms::Control& TabSheetS;
  forms::Control& PanelS;
  forms::Control& Label1;
  forms::Control& RadioGroupS1;
  forms::Control& GroupBoxS4;
  forms::Control& RadioGroupS2;
  forms::Control& LabeledEditS3;
  forms::Control& PanelS1W;
  forms::Control& PanelS1;
  forms::Control& TabSheetB;
  forms::Control& PanelB;
  forms::Control& GroupBoxB1;
  forms::Control& LabeledEditB_000;
  forms::Control& LabeledEditB_032;
  forms::Control& LabeledEditB_040;
  forms::Control& LabeledEditB_048;
  forms::Control& LabeledEditB_056;
  forms::Control& LabeledEditB_064;
  forms::Control& LabeledEditB_080;
  forms::Control& LabeledEditB_096;
  forms::Control& LabeledEditB_112;
  forms::Control& LabeledEditB_128;
  forms::Control& LabeledEditB_160;
  forms::Control& LabeledEditB_192;
  forms::Control& LabeledEditB_224;
  forms::Control& LabeledEditB_256;
  forms::Control& LabeledEditB_320;
  forms::Control& LabeledEditB_999;
  forms::Control& CheckBoxB_VBR;
  forms::Control& EditB_VBR;
  forms::Control& TabSheetF;
  forms::Control& PanelF;
  forms::Control& GroupBoxF1;
  forms::Control& LabeledEditF_441;
  forms::Control& LabeledEditF_480;
  forms::Control& LabeledEditF_320;
  forms::Control& LabeledEditF_999;
  forms::Control& TabSheetV;
  forms::Control& PanelV;
  forms::Control& GroupBoxV1;
  forms::Control& LabeledEditV_CBR;
  forms::Control& LabeledEditV_VBR;
  forms::Control& TabSheetC;
  forms::Control& PanelC;
  forms::Control& GroupBoxC1;
  forms::Control& LabeledEditC_1;
  forms::Control& LabeledEditC_2;
  forms::Control& LabeledEditC_3;
  forms::Control& LabeledEditC_4;
  forms::Control& ButtonOk;
  forms::Control& ButtonCancel;

  // The pages in order, and the label boxes in the order of their settings' tables.
  std::array<forms::Control*, 7> TabSheets{};
  std::array<forms::Control*, settings::kBitrateLabelCount> BitrateBoxes{};  // 16 is EditB_VBR
  std::array<forms::Control*, settings::kSamplingLabelCount> SamplingBoxes{};
  std::array<forms::Control*, settings::kVbrLabelCount> VbrBoxes{};
  std::array<forms::Control*, settings::kChannelLabelCount> ChannelBoxes{};
  // The 28 boxes with the key filter EditKeyPressCheck: the separator, then the label boxes.
  std::vector<forms::Control*> CheckedBoxes;

  void FormCreate();

  // Page 1: the composition (setup_format_page.cpp).
  void ListBoxItemClick(forms::Control& sender);
  void ListBoxEditClick(forms::Control& sender);
  void ButtonAddClick(forms::Control& sender);
  void ButtonUpdClick(forms::Control& sender);
  void ButtonDelClick(forms::Control& sender);
  void ListBoxEditDragOver(forms::Control& sender, forms::Control& source, int x, int y,
                           bool& accept);
  void ListBoxEditDragDrop(forms::Control& sender, forms::Control& source, int x, int y);
  void EditKeyPress(forms::Control& sender, char& key);
  void EditDUpdate(bool enable_ok);

  // Pages 2 to 7 and the form as a whole (setup_option_pages.cpp).
  void EditNUpdate();
  void EditSUpdate();
  void CheckBoxB_VBRClick(forms::Control& sender);
  void EditKeyPressCheck(forms::Control& sender, char& key);
  // Removes the characters that the key filters refuse from text that reached a box without
  // being typed (pasted).
  void EditChangeCheck(forms::Control& sender);
  void PageControlChange(forms::Control& sender);
  void FormActivate();
  bool FormHelp(int context);

  // OK (setup_save.cpp).
  void ButtonOkClick(forms::Control& sender);

 private:
  void FillFormatPage();
  void FillOptionPages();
  void CommonTail();
  forms::ListEntry NewEntry() const;
  // A literal's text: its display text less the one marker character in front.
  static std::string LiteralOf(const forms::ListEntry& entry);
  // Enabled in the window colour, disabled in the button-face colour.
  static void EnableBox(forms::Control& box, bool enabled);

  SetupDialogInput input_;
};

// The nine characters that Windows refuses in file names: the boxes refuse them, so that no
// "/" reaches a stored label list.
bool IsRefusedCharacter(char c);
// `text` without its refused characters; both bytes of a double-byte character stay, whatever
// they are ("表" is 0x95 0x5C).
std::string WithoutRefusedCharacters(const std::string& text);

}  // namespace dialogs
