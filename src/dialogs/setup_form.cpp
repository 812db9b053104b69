#include "dialogs/setup_form.h"

#include <initializer_list>
#include <vector>

#include "text/shift_jis.h"

namespace dialogs {
namespace {

using forms::Bounds;
using forms::Control;
using forms::ControlKind;

constexpr int kFirstHelpContext = 201;  // page 1; the pages follow in order

// The area of the page control under its tab strip, inside its frame.
constexpr Bounds kPageArea{4, 23, 304, 282};
constexpr Bounds kPagePanel{0, 0, 304, 282};

// The palette: its fixed entries, in row order.
constexpr const char* kPaletteTexts[] = {
    "文字列",  "─────",          "アーティスト", "曲名",     "アルバム",     "トラック№",
    "年",      "ジャンル",       "─────",        "再生時間", "ビットレート", "サンプリングレート",
    "CBR/VBR", "チャネルモード",
};

forms::Font face(const char* name) { return {text::utf8_to_sjis(name), -12, false, false}; }
forms::Font ui_font() { return face("MS UI Gothic"); }

// A control of the description, in the form's font; captions are written in UTF-8 here.
Control& place(forms::Form& form, ControlKind kind, const char* name, Control* parent,
               Bounds bounds, int tab_order, const char* caption = "") {
  Control& control = form.add(kind, name, parent, bounds);
  control.font = ui_font();
  control.tab_order = tab_order;
  control.set_text(text::utf8_to_sjis(caption));
  return control;
}

Control& page(forms::Form& form, Control& pages, const char* name, int index, const char* caption) {
  Control& sheet = place(form, ControlKind::TabSheet, name, &pages, kPageArea, index, caption);
  sheet.help_context = kFirstHelpContext + index;
  return sheet;
}

// The borderless panel that fills a page and holds its controls.
Control& page_panel(forms::Form& form, Control& sheet, const char* name) {
  return place(form, ControlKind::Panel, name, &sheet, kPagePanel, 0);
}

Control& button(forms::Form& form, const char* name, Control* parent, Bounds bounds, int tab_order,
                const char* caption) {
  return place(form, ControlKind::Button, name, parent, bounds, tab_order, caption);
}

Control& radio_group(forms::Form& form, const char* name, Control& parent, Bounds bounds,
                     int tab_order, const char* caption,
                     std::initializer_list<const char*> choices) {
  Control& group = place(form, ControlKind::RadioGroup, name, &parent, bounds, tab_order, caption);
  std::vector<forms::ListEntry> items;
  for (const char* choice : choices) items.push_back({text::utf8_to_sjis(choice), 0});
  group.set_items(std::move(items));
  return group;
}

// A label box of pages 3 to 7: its label on its left, its text kept when it gets the focus.
Control& labeled_edit(forms::Form& form, const char* name, Control& parent, Bounds bounds,
                      int tab_order, const char* label) {
  Control& edit = place(form, ControlKind::LabeledEdit, name, &parent, bounds, tab_order);
  edit.label = text::utf8_to_sjis(label);
  edit.label_spacing = 3;
  edit.auto_select = false;
  return edit;
}

constexpr int kShortBoxWidth = 73;
constexpr int kBoxHeight = 20;

// The label boxes of pages 4 to 6.
Control& short_box(forms::Form& form, const char* name, Control& group, int left, int top,
                   int tab_order, const char* label) {
  return labeled_edit(form, name, group, {left, top, kShortBoxWidth, kBoxHeight}, tab_order, label);
}

}  // namespace

// Components in declaration order, as the form description gives them.
TFormSetup::TFormSetup(SetupDialogInput input)
    : forms::Form("FormSetup", 312, 309),
      PageControl(
          place(*this, ControlKind::PageControl, "PageControl", nullptr, {0, 0, 312, 309}, 0)),
      TabSheetD(page(*this, PageControl, "TabSheetD", 0, "デフォルト値")),
      PanelD(page_panel(*this, TabSheetD, "PanelD")),
      PanelSample(place(*this, ControlKind::Panel, "PanelSample", &PanelD, {6, 10, 292, 25}, 0)),
      ButtonAdd(button(*this, "ButtonAdd", &PanelD, {9, 47, 40, 25}, 1, "追加")),
      ButtonUpd(button(*this, "ButtonUpd", &PanelD, {53, 47, 40, 25}, 2, "更新")),
      ButtonDel(button(*this, "ButtonDel", &PanelD, {97, 47, 40, 25}, 3, "削除")),
      ListBoxEdit(
          place(*this, ControlKind::ListBox, "ListBoxEdit", &PanelD, {14, 82, 123, 112}, 4)),
      Edit(place(*this, ControlKind::Edit, "Edit", &PanelD, {14, 202, 123, 20}, 5)),
      GroupBox1(place(*this, ControlKind::GroupBox, "GroupBox1", &PanelD, {152, 43, 137, 182}, 6,
                      "MP3ファイル情報")),
      ListBoxItem(
          place(*this, ControlKind::ListBox, "ListBoxItem", &GroupBox1, {16, 20, 106, 148}, 0)),
      TabSheetN(page(*this, PageControl, "TabSheetN", 1, "トラック№")),
      PanelN(page_panel(*this, TabSheetN, "PanelN")),
      RadioGroupN1(radio_group(*this, "RadioGroupN1", PanelN, {40, 32, 97, 73}, 0, "桁数",
                               {"そのまま", "２桁固定"})),
      RadioGroupN2(radio_group(*this, "RadioGroupN2", PanelN, {160, 32, 97, 73}, 1, "左余白",
                               {"ゼロ詰め", "空白詰め"})),
      TabSheetS(page(*this, PageControl, "TabSheetS", 2, "再生時間")),
      PanelS(page_panel(*this, TabSheetS, "PanelS")),
      Label1(
          place(*this, ControlKind::Label, "Label1", &PanelS, {204, 26, 60, 12}, 0, "例：4分06秒")),
      RadioGroupS1(radio_group(*this, "RadioGroupS1", PanelS, {32, 24, 145, 49}, 0, "表示形式",
                               {"秒", "時分秒"})),
      GroupBoxS4(place(*this, ControlKind::GroupBox, "GroupBoxS4", &PanelS, {32, 88, 241, 129}, 1,
                       "時分秒 表示形式")),
      RadioGroupS2(radio_group(*this, "RadioGroupS2", GroupBoxS4, {16, 24, 89, 89}, 0,
                               "分 表示形式", {"ゼロ詰め", "空白詰め", "桁数可変"})),
      LabeledEditS3(
          labeled_edit(*this, "LabeledEditS3", GroupBoxS4, {192, 32, 25, 20}, 1, "区切り文字")),
      PanelS1W(place(*this, ControlKind::Panel, "PanelS1W", &PanelS, {204, 46, 60, 25}, 2)),
      PanelS1(place(*this, ControlKind::Panel, "PanelS1", &PanelS1W, {15, 2, 31, 21}, 0)),
      TabSheetB(page(*this, PageControl, "TabSheetB", 3, "ビットレート")),
      PanelB(page_panel(*this, TabSheetB, "PanelB")),
      GroupBoxB1(place(*this, ControlKind::GroupBox, "GroupBoxB1", &PanelB, {16, 8, 273, 223}, 0,
                       "ビットレート(bits/s)")),
      LabeledEditB_000(short_box(*this, "LabeledEditB_000", GroupBoxB1, 64, 20, 0, "ユーザ定義")),
      LabeledEditB_032(short_box(*this, "LabeledEditB_032", GroupBoxB1, 64, 44, 1, "32K")),
      LabeledEditB_040(short_box(*this, "LabeledEditB_040", GroupBoxB1, 64, 68, 2, "40K")),
      LabeledEditB_048(short_box(*this, "LabeledEditB_048", GroupBoxB1, 64, 92, 3, "48K")),
      LabeledEditB_056(short_box(*this, "LabeledEditB_056", GroupBoxB1, 64, 116, 4, "56K")),
      LabeledEditB_064(short_box(*this, "LabeledEditB_064", GroupBoxB1, 64, 140, 5, "64K")),
      LabeledEditB_080(short_box(*this, "LabeledEditB_080", GroupBoxB1, 64, 164, 6, "80K")),
      LabeledEditB_096(short_box(*this, "LabeledEditB_096", GroupBoxB1, 64, 188, 7, "96K")),
      LabeledEditB_112(short_box(*this, "LabeledEditB_112", GroupBoxB1, 184, 20, 8, "112K")),
      LabeledEditB_128(short_box(*this, "LabeledEditB_128", GroupBoxB1, 184, 44, 9, "128K")),
      LabeledEditB_160(short_box(*this, "LabeledEditB_160", GroupBoxB1, 184, 68, 10, "160K")),
      LabeledEditB_192(short_box(*this, "LabeledEditB_192", GroupBoxB1, 184, 92, 11, "192K")),
      LabeledEditB_224(short_box(*this, "LabeledEditB_224", GroupBoxB1, 184, 116, 12, "224K")),
      LabeledEditB_256(short_box(*this, "LabeledEditB_256", GroupBoxB1, 184, 140, 13, "256K")),
      LabeledEditB_320(short_box(*this, "LabeledEditB_320", GroupBoxB1, 184, 164, 14, "320K")),
      LabeledEditB_999(short_box(*this, "LabeledEditB_999", GroupBoxB1, 184, 188, 15, "不正値")),
      CheckBoxB_VBR(place(*this, ControlKind::CheckBox, "CheckBoxB_VBR", &PanelB, {31, 240, 46, 17},
                          1, "VBR")),
      EditB_VBR(place(*this, ControlKind::Edit, "EditB_VBR", &PanelB, {80, 239, 57, 20}, 2)),
      TabSheetF(page(*this, PageControl, "TabSheetF", 4, "サンプリングレート")),
      PanelF(page_panel(*this, TabSheetF, "PanelF")),
      GroupBoxF1(place(*this, ControlKind::GroupBox, "GroupBoxF1", &PanelF, {64, 32, 169, 177}, 0,
                       "サンプリング周波数(Hz)")),
      LabeledEditF_441(short_box(*this, "LabeledEditF_441", GroupBoxF1, 64, 32, 0, "44100")),
      LabeledEditF_480(short_box(*this, "LabeledEditF_480", GroupBoxF1, 64, 64, 1, "48000")),
      LabeledEditF_320(short_box(*this, "LabeledEditF_320", GroupBoxF1, 64, 96, 2, "32000")),
      LabeledEditF_999(short_box(*this, "LabeledEditF_999", GroupBoxF1, 64, 128, 3, "予約")),
      TabSheetV(page(*this, PageControl, "TabSheetV", 5, "CBR/VBR")),
      PanelV(page_panel(*this, TabSheetV, "PanelV")),
      GroupBoxV1(place(*this, ControlKind::GroupBox, "GroupBoxV1", &PanelV, {64, 32, 169, 113}, 0,
                       "CBR/VBR")),
      LabeledEditV_CBR(short_box(*this, "LabeledEditV_CBR", GroupBoxV1, 64, 32, 0, "CBR")),
      LabeledEditV_VBR(short_box(*this, "LabeledEditV_VBR", GroupBoxV1, 64, 64, 1, "VBR")),
      TabSheetC(page(*this, PageControl, "TabSheetC", 6, "チャネルモード")),
      PanelC(page_panel(*this, TabSheetC, "PanelC")),
      GroupBoxC1(place(*this, ControlKind::GroupBox, "GroupBoxC1", &PanelC, {28, 32, 249, 177}, 0,
                       "チャネルモード")),
      LabeledEditC_1(labeled_edit(*this, "LabeledEditC_1", GroupBoxC1, {100, 32, 121, kBoxHeight},
                                  0, "ステレオ")),
      LabeledEditC_2(labeled_edit(*this, "LabeledEditC_2", GroupBoxC1, {100, 64, 121, kBoxHeight},
                                  1, "ジョイントステレオ")),
      LabeledEditC_3(labeled_edit(*this, "LabeledEditC_3", GroupBoxC1, {100, 96, 121, kBoxHeight},
                                  2, "デュアルチャンネル")),
      LabeledEditC_4(labeled_edit(*this, "LabeledEditC_4", GroupBoxC1, {100, 128, 121, kBoxHeight},
                                  3, "シングルチャンネル")),
      ButtonOk(button(*this, "ButtonOk", nullptr, {155, 266, 62, 25}, 1, "OK")),
      ButtonCancel(button(*this, "ButtonCancel", nullptr, {227, 266, 62, 25}, 2, "CANCEL")),
      input_(input) {
  set_caption(text::utf8_to_sjis("MP3ファイル情報取得マクロ設定"));
  font = ui_font();
  help_context = kFirstHelpContext;

  TabSheets = {&TabSheetD, &TabSheetN, &TabSheetS, &TabSheetB, &TabSheetF, &TabSheetV, &TabSheetC};
  BitrateBoxes = {&LabeledEditB_000, &LabeledEditB_032, &LabeledEditB_040, &LabeledEditB_048,
                  &LabeledEditB_056, &LabeledEditB_064, &LabeledEditB_080, &LabeledEditB_096,
                  &LabeledEditB_112, &LabeledEditB_128, &LabeledEditB_160, &LabeledEditB_192,
                  &LabeledEditB_224, &LabeledEditB_256, &LabeledEditB_320, &LabeledEditB_999,
                  &EditB_VBR};
  SamplingBoxes = {&LabeledEditF_441, &LabeledEditF_480, &LabeledEditF_320, &LabeledEditF_999};
  VbrBoxes = {&LabeledEditV_CBR, &LabeledEditV_VBR};
  ChannelBoxes = {&LabeledEditC_1, &LabeledEditC_2, &LabeledEditC_3, &LabeledEditC_4};

  // A page control's entries are its pages; its item index is the page in front.
  std::vector<forms::ListEntry> pages;
  for (const Control* sheet : TabSheets) {
    pages.push_back({sheet->text(), static_cast<std::int32_t>(pages.size())});
  }
  PageControl.set_items(std::move(pages));
  PageControl.set_item_index(0);
  PageControl.on_change = [this](Control& sender) { PageControlChange(sender); };

  PanelSample.lowered = true;
  ButtonAdd.set_enabled(false);
  ButtonAdd.set_default(true);
  ButtonAdd.on_click = [this](Control& sender) { ButtonAddClick(sender); };
  ButtonUpd.set_enabled(false);
  ButtonUpd.on_click = [this](Control& sender) { ButtonUpdClick(sender); };
  ButtonDel.set_enabled(false);
  ButtonDel.on_click = [this](Control& sender) { ButtonDelClick(sender); };

  ListBoxEdit.item_height = 12;
  ListBoxEdit.on_click = [this](Control& sender) { ListBoxEditClick(sender); };
  ListBoxEdit.on_drag_over = [this](Control& sender, Control& source, int x, int y, bool& accept) {
    ListBoxEditDragOver(sender, source, x, y, accept);
  };
  ListBoxEdit.on_drag_drop = [this](Control& sender, Control& source, int x, int y) {
    ListBoxEditDragDrop(sender, source, x, y);
  };

  Edit.set_enabled(false);
  Edit.set_color(Control::kButtonFaceColor);
  Edit.auto_select = false;
  Edit.font = face("ＭＳ ゴシック");
  Edit.on_key_press = [this](Control& sender, char& key) { EditKeyPress(sender, key); };
  Edit.on_change = [this](Control& sender) { EditChangeCheck(sender); };

  ListBoxItem.item_height = 12;
  std::vector<forms::ListEntry> palette;
  for (const char* entry : kPaletteTexts) palette.push_back({text::utf8_to_sjis(entry), 0});
  ListBoxItem.set_items(std::move(palette));
  ListBoxItem.on_click = [this](Control& sender) { ListBoxItemClick(sender); };

  Label1.font = face("ＭＳ Ｐゴシック");
  RadioGroupS1.columns = 2;
  LabeledEditS3.max_length = 2;
  LabeledEditS3.font = face("ＭＳ ゴシック");
  PanelS1W.lowered = true;
  PanelS1.font = face("ＭＳ ゴシック");
  PanelS1.caption_left = true;

  CheckBoxB_VBR.on_click = [this](Control& sender) { CheckBoxB_VBRClick(sender); };
  EditB_VBR.set_enabled(false);
  EditB_VBR.set_color(Control::kButtonFaceColor);
  EditB_VBR.auto_select = true;

  CheckedBoxes = {&LabeledEditS3};
  const auto append = [this](const auto& boxes) {
    CheckedBoxes.insert(CheckedBoxes.end(), boxes.begin(), boxes.end());
  };
  append(BitrateBoxes);
  append(SamplingBoxes);
  append(VbrBoxes);
  append(ChannelBoxes);
  // FormCreate binds the separator box's text change anew, together with the preview.
  for (Control* box : CheckedBoxes) {
    box->on_key_press = [this](Control& sender, char& key) { EditKeyPressCheck(sender, key); };
    box->on_change = [this](Control& sender) { EditChangeCheck(sender); };
  }

  ButtonOk.set_enabled(false);
  ButtonOk.modal_result = forms::kModalOk;
  ButtonOk.on_click = [this](Control& sender) { ButtonOkClick(sender); };
  ButtonCancel.modal_result = forms::kModalCancel;
  ButtonCancel.cancel = true;

  on_activate = [this] { FormActivate(); };
  on_help = [this](int context) { return FormHelp(context); };

  FormCreate();
}

void TFormSetup::FormCreate() {
  FillFormatPage();
  FillOptionPages();
}

}  // namespace dialogs
