#include "dialogs/param_form.h"

#include <stdexcept>

#include "dialogs/messages.h"
#include "dialogs/pointer.h"
#include "ini/ini_file.h"
#include "text/shift_jis.h"

namespace dialogs {
namespace {

using forms::Bounds;
using forms::ControlKind;

constexpr int kHelpContext = 301;
constexpr int kChoiceCount = 11;

// The item texts of the choices, in choice order.
constexpr const char* kItemTexts[kChoiceCount] = {"<P>", "<T>", "<A>", "<N>", "<Y>", "<G>",
                                                  "<S>", "<B>", "<F>", "<V>", "<C>"};

forms::Font ui_font(bool bold = false, bool underline = false) {
  return {text::utf8_to_sjis("MS UI Gothic"), -12, bold, underline};
}

// A radio button of the description: its caption (UTF-8 here, Shift-JIS in the form), its tag
// (the choice) and its place in the group box.
forms::Control& radio_button(forms::Form& form, forms::Control& group, const char* name,
                             const char* caption, int choice, Bounds bounds, int tab_order) {
  forms::Control& button = form.add(ControlKind::RadioButton, name, &group, bounds);
  button.set_text(text::utf8_to_sjis(caption));
  button.tag = choice;
  button.tab_order = tab_order;
  button.font = ui_font();
  return button;
}

constexpr int kLeftColumn = 24;
constexpr int kRightColumn = 148;
constexpr int kLeftWidth = 97;
constexpr int kRightWidth = 113;
constexpr int kRowHeight = 17;
constexpr int kFirstRow = 48;
constexpr int kRowStep = 24;

Bounds left_row(int row) {
  return {kLeftColumn, kFirstRow + row * kRowStep, kLeftWidth, kRowHeight};
}
Bounds right_row(int row) {
  return {kRightColumn, kFirstRow + row * kRowStep, kRightWidth, kRowHeight};
}

}  // namespace

// Components in declaration order, as the form description gives them.
TFormParam::TFormParam(ParamDialogInput input)
    : forms::Form("FormParam", 312, 275),
      PanelMacroSample(add(ControlKind::Panel, "PanelMacroSample", nullptr, {24, 232, 105, 25})),
      ButtonOk(add(ControlKind::Button, "ButtonOk", nullptr, {155, 232, 62, 25})),
      ButtonCancel(add(ControlKind::Button, "ButtonCancel", nullptr, {227, 232, 62, 25})),
      GroupBox(add(ControlKind::GroupBox, "GroupBox", nullptr, {20, 16, 273, 200})),
      Bevel1(add(ControlKind::Bevel, "Bevel1", &GroupBox, {128, 32, 3, 153})),
      Label1(add(ControlKind::Label, "Label1", &GroupBox, {168, 24, 57, 12})),
      Label2(add(ControlKind::Label, "Label2", &GroupBox, {32, 24, 65, 12})),
      RadioButtonS(
          radio_button(*this, GroupBox, "RadioButtonS", "再生時間.     <S>", 6, right_row(0), 6)),
      RadioButtonB(radio_button(*this, GroupBox, "RadioButtonB", "ビットレート     <B>", 7,
                                right_row(1), 7)),
      RadioButtonF(
          radio_button(*this, GroupBox, "RadioButtonF", "ｻﾝプﾘﾝグﾚｰﾄ <F>", 8, right_row(2), 8)),
      RadioButtonV(
          radio_button(*this, GroupBox, "RadioButtonV", "CBR/VBR    <V>", 9, right_row(3), 9)),
      RadioButtonC(radio_button(*this, GroupBox, "RadioButtonC", "チャネルモｰド  <C>", 10,
                                right_row(4), 10)),
      RadioButtonP(
          radio_button(*this, GroupBox, "RadioButtonP", "アーティスト <P>", 0, left_row(0), 0)),
      RadioButtonT(
          radio_button(*this, GroupBox, "RadioButtonT", "曲名        <T>", 1, left_row(1), 1)),
      RadioButtonA(
          radio_button(*this, GroupBox, "RadioButtonA", "アルバム    <A>", 2, left_row(2), 2)),
      RadioButtonN(
          radio_button(*this, GroupBox, "RadioButtonN", "トラック№   <N>", 3, left_row(3), 3)),
      RadioButtonY(
          radio_button(*this, GroupBox, "RadioButtonY", "年           <Y>", 4, left_row(4), 4)),
      RadioButtonG(
          radio_button(*this, GroupBox, "RadioButtonG", "ジャンル     <G>", 5, left_row(5), 5)),
      input_(std::move(input)) {
  font = ui_font();
  help_context = kHelpContext;

  PanelMacroSample.lowered = true;
  PanelMacroSample.tab_order = 0;
  PanelMacroSample.font = {text::utf8_to_sjis("ＭＳ ゴシック"), -12, false, false};

  ButtonOk.set_text("OK");
  ButtonOk.set_default(true);
  ButtonOk.modal_result = forms::kModalOk;
  ButtonOk.tab_order = 1;
  ButtonOk.on_click = [this](forms::Control& sender) { ButtonOkClick(sender); };

  ButtonCancel.set_text("CANCEL");
  ButtonCancel.cancel = true;
  ButtonCancel.modal_result = forms::kModalCancel;
  ButtonCancel.tab_order = 2;

  GroupBox.set_text(text::utf8_to_sjis("<MP3ファイル情報>"));
  GroupBox.font = ui_font(/*bold=*/true);
  GroupBox.tab_order = 3;

  Bevel1.bevel_shape = forms::BevelShape::LeftLine;
  Label2.set_text(text::utf8_to_sjis("ID3タグ情報"));
  Label2.font = ui_font(true, true);
  Label1.set_text(text::utf8_to_sjis("データ情報"));
  Label1.font = ui_font(true, true);

  on_activate = [this] { FormActivate(); };
  on_help = [this](int context) { return FormHelp(context); };

  FormCreate();
}

void TFormParam::FormCreate() {
  set_caption(input_.ParamCaption);
  GroupBox.set_text("/" + input_.MacroChar + GroupBox.text());

  RadioButtons = {&RadioButtonP, &RadioButtonT, &RadioButtonA, &RadioButtonN,
                  &RadioButtonY, &RadioButtonG, &RadioButtonS, &RadioButtonB,
                  &RadioButtonF, &RadioButtonV, &RadioButtonC};
  const auto settings = ini::IniFile::load(*input_.files, input_.IniPath);
  std::int32_t kind = settings.read_integer(input_.IniSection, "Kind", 0);
  // Only a hand-edited file holds a choice outside 0-10: the first one stands in for it.
  if (kind < 0 || kind >= kChoiceCount) kind = 0;
  GroupBox.tag = kind;
  RadioButtons[static_cast<std::size_t>(kind)]->set_checked(true);

  // Bound after the selection above, so selecting runs no handler.
  for (forms::Control* button : RadioButtons) {
    button->on_click = [this](forms::Control& sender) { RadioButtonClick(sender); };
  }
  RadioButtonClick(*RadioButtons[static_cast<std::size_t>(kind)]);
}

void TFormParam::RadioButtonClick(forms::Control& sender) {
  GroupBox.tag = sender.tag;
  PanelMacroSample.set_text("/" + input_.MacroChar + kItemTexts[sender.tag]);
}

void TFormParam::ButtonOkClick(forms::Control&) {
  set_hint(PanelMacroSample.text());
  auto settings = ini::IniFile::load(*input_.files, input_.IniPath);
  settings.write_string(input_.IniSection, "Kind", std::to_string(GroupBox.tag));
  if (!settings.save(*input_.files, input_.IniPath)) {
    throw std::runtime_error(CannotCreateFileMessage(input_.IniPath));
  }
}

void TFormParam::FormActivate() { SnapPointerToCentreOf(ButtonOk); }

bool TFormParam::FormHelp(int) { return true; }

}  // namespace dialogs
