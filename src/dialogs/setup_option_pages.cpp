// Pages 2 to 7 of TFormSetup (track number, playing time, the label tables), their input check,
// and the handlers that concern the whole form.

#include <algorithm>
#include <string>
#include <string_view>

#include "dialogs/pointer.h"
#include "dialogs/setup_form.h"
#include "text/shift_jis.h"

namespace dialogs {
namespace {

using forms::Control;

constexpr int kNone = -1;
constexpr int kVariableDigits = 2;  // "桁数可変"

// As the class library's radio group takes an index: one beyond the last choice selects the
// last, one below -1 selects nothing.
// Wide, so that a hand-edited extreme minus one cannot overflow.
void SelectChoice(Control& group, std::int64_t index) {
  const std::int64_t last = static_cast<std::int64_t>(group.items().size()) - 1;
  group.set_item_index(static_cast<int>(std::clamp<std::int64_t>(index, kNone, last)));
}

}  // namespace

bool IsRefusedCharacter(char c) {
  return c != '\0' && std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
}

std::string WithoutRefusedCharacters(const std::string& text) {
  std::string kept;
  kept.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text::is_sjis_lead_byte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      kept.append(text, i, 2);
      ++i;
    } else if (!IsRefusedCharacter(text[i])) {
      kept += text[i];
    }
  }
  return kept;
}

// The radio groups' and the separator's handlers are bound after their initial values are
// set, so setting them runs none of them.
void TFormSetup::FillOptionPages() {
  const settings::TMp3Settings& settings = input_.Settings;

  if (settings.TrackOption == 0) {
    SelectChoice(RadioGroupN1, 0);
    SelectChoice(RadioGroupN2, 0);
    RadioGroupN2.set_enabled(false);
  } else {
    SelectChoice(RadioGroupN1, 1);
    SelectChoice(RadioGroupN2, std::int64_t{settings.TrackOption} - 1);
    RadioGroupN2.set_enabled(true);
  }
  RadioGroupN1.on_click = [this](Control&) { EditNUpdate(); };
  RadioGroupN2.on_click = [this](Control&) { EditNUpdate(); };

  if (settings.TimeFormat == 0) {
    SelectChoice(RadioGroupS1, 0);
    SelectChoice(RadioGroupS2, kNone);
  } else {
    SelectChoice(RadioGroupS1, 1);
    SelectChoice(RadioGroupS2, std::int64_t{settings.TimeFormat} - 1);
  }
  // The limit holds for what the user enters: a longer separator from a hand-edited file shows
  // whole, and OK keeps it unless the user changes it.
  const int limit = LabeledEditS3.max_length;
  LabeledEditS3.max_length = 0;
  LabeledEditS3.set_text(settings.TimeSeparator);
  LabeledEditS3.max_length = limit;
  RadioGroupS1.on_click = [this](Control&) { EditSUpdate(); };
  RadioGroupS2.on_click = [this](Control&) { EditSUpdate(); };
  LabeledEditS3.on_change = [this](Control& sender) {
    EditChangeCheck(sender);
    EditSUpdate();
  };
  EditSUpdate();

  for (std::size_t i = 0; i < BitrateBoxes.size(); ++i) {
    BitrateBoxes[i]->set_text(settings.BitrateLabels[i]);
  }
  CheckBoxB_VBR.set_checked(settings.ShowVbrAsBitrate);
  // Turning the box on is a change, as a click is.
  if (CheckBoxB_VBR.checked()) CheckBoxB_VBRClick(CheckBoxB_VBR);

  for (std::size_t i = 0; i < SamplingBoxes.size(); ++i) {
    SamplingBoxes[i]->set_text(settings.SamplingLabels[i]);
  }
  for (std::size_t i = 0; i < VbrBoxes.size(); ++i) VbrBoxes[i]->set_text(settings.VbrLabels[i]);
  for (std::size_t i = 0; i < ChannelBoxes.size(); ++i) {
    ChannelBoxes[i]->set_text(settings.ChannelLabels[i]);
  }
}

// "２桁固定" alone asks for a fill; the fill's choice stays while it does not count.
void TFormSetup::EditNUpdate() { RadioGroupN2.set_enabled(RadioGroupN1.item_index() != 0); }

// The preview shows the example of Label1, 4 minutes 6 seconds, as the evaluation would.
void TFormSetup::EditSUpdate() {
  if (RadioGroupS1.item_index() == 0) {
    PanelS1.set_text("246");
    RadioGroupS2.set_enabled(false);
    LabeledEditS3.set_enabled(false);
    return;
  }
  RadioGroupS2.set_enabled(true);
  LabeledEditS3.set_enabled(true);
  if (RadioGroupS2.item_index() == kNone) RadioGroupS2.set_item_index(kVariableDigits);
  constexpr const char* kMinuteFill[] = {"0", " ", ""};
  PanelS1.set_text(kMinuteFill[RadioGroupS2.item_index()] + std::string("4") +
                   LabeledEditS3.text() + "06");
}

// The label stays while the box is disabled, and is saved all the same.
void TFormSetup::CheckBoxB_VBRClick(Control&) { EnableBox(EditB_VBR, CheckBoxB_VBR.checked()); }

void TFormSetup::EditKeyPressCheck(Control&, char& key) {
  if (IsRefusedCharacter(key)) key = 0;
}

void TFormSetup::EditChangeCheck(Control& sender) {
  sender.set_text(WithoutRefusedCharacters(sender.text()));
}

// F1 inside a page asks for the page's context; the form's follows the page in front, so F1 on
// OK, CANCEL or the tabs leads to the same topic.
void TFormSetup::PageControlChange(Control&) {
  const int page = PageControl.item_index();
  if (page >= 0 && page < static_cast<int>(TabSheets.size())) {
    help_context = TabSheets[static_cast<std::size_t>(page)]->help_context;
  }
  ButtonOk.set_enabled(true);
}

void TFormSetup::FormActivate() { SnapPointerToCentreOf(ButtonCancel); }

bool TFormSetup::FormHelp(int) { return true; }

}  // namespace dialogs
