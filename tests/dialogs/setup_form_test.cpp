// TFormSetup as created: its description and the filling of every page from the settings.

#include "dialogs/setup_form.h"

#include <gtest/gtest.h>

#include "setup_form_fixture.h"

namespace dialogs {
namespace {

using forms::Bounds;
using forms::Control;
using forms::ControlKind;

TEST_F(SetupFormTest, EveryControlSitsWhereTheDescriptionPutsIt) {
  using K = ControlKind;
  struct Row {
    const char* name;
    K kind;
    const char* parent;  // "" for the form
    Bounds bounds;
    int tab_order;
    const char* caption;  // a labelled edit's label
  } const rows[] = {
      {"PageControl", K::PageControl, "", {0, 0, 312, 309}, 0, ""},
      {"ButtonOk", K::Button, "", {155, 266, 62, 25}, 1, "OK"},
      {"ButtonCancel", K::Button, "", {227, 266, 62, 25}, 2, "CANCEL"},
      {"TabSheetD", K::TabSheet, "PageControl", {4, 23, 304, 282}, 0, "デフォルト値"},
      {"TabSheetN", K::TabSheet, "PageControl", {4, 23, 304, 282}, 1, "トラック№"},
      {"TabSheetS", K::TabSheet, "PageControl", {4, 23, 304, 282}, 2, "再生時間"},
      {"TabSheetB", K::TabSheet, "PageControl", {4, 23, 304, 282}, 3, "ビットレート"},
      {"TabSheetF", K::TabSheet, "PageControl", {4, 23, 304, 282}, 4, "サンプリングレート"},
      {"TabSheetV", K::TabSheet, "PageControl", {4, 23, 304, 282}, 5, "CBR/VBR"},
      {"TabSheetC", K::TabSheet, "PageControl", {4, 23, 304, 282}, 6, "チャネルモード"},
      {"PanelD", K::Panel, "TabSheetD", {0, 0, 304, 282}, 0, ""},
      {"PanelSample", K::Panel, "PanelD", {6, 10, 292, 25}, 0, ""},
      {"ButtonAdd", K::Button, "PanelD", {9, 47, 40, 25}, 1, "追加"},
      {"ButtonUpd", K::Button, "PanelD", {53, 47, 40, 25}, 2, "更新"},
      {"ButtonDel", K::Button, "PanelD", {97, 47, 40, 25}, 3, "削除"},
      {"ListBoxEdit", K::ListBox, "PanelD", {14, 82, 123, 112}, 4, ""},
      {"Edit", K::Edit, "PanelD", {14, 202, 123, 20}, 5, ""},
      {"GroupBox1", K::GroupBox, "PanelD", {152, 43, 137, 182}, 6, "MP3ファイル情報"},
      {"ListBoxItem", K::ListBox, "GroupBox1", {16, 20, 106, 148}, 0, ""},
      {"PanelN", K::Panel, "TabSheetN", {0, 0, 304, 282}, 0, ""},
      {"RadioGroupN1", K::RadioGroup, "PanelN", {40, 32, 97, 73}, 0, "桁数"},
      {"RadioGroupN2", K::RadioGroup, "PanelN", {160, 32, 97, 73}, 1, "左余白"},
      {"PanelS", K::Panel, "TabSheetS", {0, 0, 304, 282}, 0, ""},
      {"Label1", K::Label, "PanelS", {204, 26, 60, 12}, 0, "例：4分06秒"},
      {"RadioGroupS1", K::RadioGroup, "PanelS", {32, 24, 145, 49}, 0, "表示形式"},
      {"GroupBoxS4", K::GroupBox, "PanelS", {32, 88, 241, 129}, 1, "時分秒 表示形式"},
      {"RadioGroupS2", K::RadioGroup, "GroupBoxS4", {16, 24, 89, 89}, 0, "分 表示形式"},
      {"LabeledEditS3", K::LabeledEdit, "GroupBoxS4", {192, 32, 25, 20}, 1, "区切り文字"},
      {"PanelS1W", K::Panel, "PanelS", {204, 46, 60, 25}, 2, ""},
      {"PanelS1", K::Panel, "PanelS1W", {15, 2, 31, 21}, 0, "4'06"},  // the defaults' preview
      {"PanelB", K::Panel, "TabSheetB", {0, 0, 304, 282}, 0, ""},
      {"GroupBoxB1", K::GroupBox, "PanelB", {16, 8, 273, 223}, 0, "ビットレート(bits/s)"},
      {"LabeledEditB_000", K::LabeledEdit, "GroupBoxB1", {64, 20, 73, 20}, 0, "ユーザ定義"},
      {"LabeledEditB_032", K::LabeledEdit, "GroupBoxB1", {64, 44, 73, 20}, 1, "32K"},
      {"LabeledEditB_040", K::LabeledEdit, "GroupBoxB1", {64, 68, 73, 20}, 2, "40K"},
      {"LabeledEditB_048", K::LabeledEdit, "GroupBoxB1", {64, 92, 73, 20}, 3, "48K"},
      {"LabeledEditB_056", K::LabeledEdit, "GroupBoxB1", {64, 116, 73, 20}, 4, "56K"},
      {"LabeledEditB_064", K::LabeledEdit, "GroupBoxB1", {64, 140, 73, 20}, 5, "64K"},
      {"LabeledEditB_080", K::LabeledEdit, "GroupBoxB1", {64, 164, 73, 20}, 6, "80K"},
      {"LabeledEditB_096", K::LabeledEdit, "GroupBoxB1", {64, 188, 73, 20}, 7, "96K"},
      {"LabeledEditB_112", K::LabeledEdit, "GroupBoxB1", {184, 20, 73, 20}, 8, "112K"},
      {"LabeledEditB_128", K::LabeledEdit, "GroupBoxB1", {184, 44, 73, 20}, 9, "128K"},
      {"LabeledEditB_160", K::LabeledEdit, "GroupBoxB1", {184, 68, 73, 20}, 10, "160K"},
      {"LabeledEditB_192", K::LabeledEdit, "GroupBoxB1", {184, 92, 73, 20}, 11, "192K"},
      {"LabeledEditB_224", K::LabeledEdit, "GroupBoxB1", {184, 116, 73, 20}, 12, "224K"},
      {"LabeledEditB_256", K::LabeledEdit, "GroupBoxB1", {184, 140, 73, 20}, 13, "256K"},
      {"LabeledEditB_320", K::LabeledEdit, "GroupBoxB1", {184, 164, 73, 20}, 14, "320K"},
      {"LabeledEditB_999", K::LabeledEdit, "GroupBoxB1", {184, 188, 73, 20}, 15, "不正値"},
      {"CheckBoxB_VBR", K::CheckBox, "PanelB", {31, 240, 46, 17}, 1, "VBR"},
      {"EditB_VBR", K::Edit, "PanelB", {80, 239, 57, 20}, 2, ""},
      {"PanelF", K::Panel, "TabSheetF", {0, 0, 304, 282}, 0, ""},
      {"GroupBoxF1", K::GroupBox, "PanelF", {64, 32, 169, 177}, 0, "サンプリング周波数(Hz)"},
      {"LabeledEditF_441", K::LabeledEdit, "GroupBoxF1", {64, 32, 73, 20}, 0, "44100"},
      {"LabeledEditF_480", K::LabeledEdit, "GroupBoxF1", {64, 64, 73, 20}, 1, "48000"},
      {"LabeledEditF_320", K::LabeledEdit, "GroupBoxF1", {64, 96, 73, 20}, 2, "32000"},
      {"LabeledEditF_999", K::LabeledEdit, "GroupBoxF1", {64, 128, 73, 20}, 3, "予約"},
      {"PanelV", K::Panel, "TabSheetV", {0, 0, 304, 282}, 0, ""},
      {"GroupBoxV1", K::GroupBox, "PanelV", {64, 32, 169, 113}, 0, "CBR/VBR"},
      {"LabeledEditV_CBR", K::LabeledEdit, "GroupBoxV1", {64, 32, 73, 20}, 0, "CBR"},
      {"LabeledEditV_VBR", K::LabeledEdit, "GroupBoxV1", {64, 64, 73, 20}, 1, "VBR"},
      {"PanelC", K::Panel, "TabSheetC", {0, 0, 304, 282}, 0, ""},
      {"GroupBoxC1", K::GroupBox, "PanelC", {28, 32, 249, 177}, 0, "チャネルモード"},
      {"LabeledEditC_1", K::LabeledEdit, "GroupBoxC1", {100, 32, 121, 20}, 0, "ステレオ"},
      {"LabeledEditC_2", K::LabeledEdit, "GroupBoxC1", {100, 64, 121, 20}, 1, "ジョイントステレオ"},
      {"LabeledEditC_3", K::LabeledEdit, "GroupBoxC1", {100, 96, 121, 20}, 2, "デュアルチャンネル"},
      {"LabeledEditC_4",
       K::LabeledEdit,
       "GroupBoxC1",
       {100, 128, 121, 20},
       3,
       "シングルチャンネル"},
  };
  const TFormSetup& setup = open();
  EXPECT_EQ(setup.controls().size(), std::size(rows));
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Control* control = setup.find(row.name);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->kind(), row.kind);
    EXPECT_EQ(control->parent() ? control->parent()->name() : "", row.parent);
    EXPECT_EQ(control->bounds(), row.bounds);
    EXPECT_EQ(control->tab_order, row.tab_order);
    const std::string& caption = row.kind == K::LabeledEdit ? control->label : control->text();
    EXPECT_EQ(caption, sjis(row.caption));
    // The four with a face of their own are checked below.
    const std::string_view name = row.name;
    if (name != "Edit" && name != "LabeledEditS3" && name != "PanelS1" && name != "Label1") {
      EXPECT_EQ(control->font, setup.font);
    }
  }
  EXPECT_EQ(setup.caption(), sjis("MP3ファイル情報取得マクロ設定"));
  EXPECT_EQ(setup.client_width(), 312);
  EXPECT_EQ(setup.client_height(), 309);
  EXPECT_EQ(setup.font, (forms::Font{"MS UI Gothic", -12, false, false}));
  EXPECT_EQ(setup.Edit.font.name, sjis("ＭＳ ゴシック"));
  EXPECT_EQ(setup.LabeledEditS3.font.name, sjis("ＭＳ ゴシック"));
  EXPECT_EQ(setup.PanelS1.font.name, sjis("ＭＳ ゴシック"));
  EXPECT_EQ(setup.Label1.font.name, sjis("ＭＳ Ｐゴシック"));
}

TEST_F(SetupFormTest, OpensOnPageOneWithOnlyCancelToPress) {
  const TFormSetup& setup = open();
  EXPECT_EQ(setup.PageControl.item_index(), 0);
  EXPECT_EQ(setup.help_context, 201);
  EXPECT_FALSE(setup.ButtonOk.enabled());
  EXPECT_EQ(setup.ButtonOk.modal_result, forms::kModalOk);
  EXPECT_FALSE(setup.ButtonOk.is_default());
  EXPECT_TRUE(setup.ButtonCancel.enabled());
  EXPECT_TRUE(setup.ButtonCancel.cancel);
  EXPECT_EQ(setup.ButtonCancel.modal_result, forms::kModalCancel);
  EXPECT_FALSE(setup.ButtonCancel.is_default());
  for (const Control* button : {&setup.ButtonAdd, &setup.ButtonUpd, &setup.ButtonDel}) {
    EXPECT_FALSE(button->enabled()) << button->name();
  }
  EXPECT_TRUE(setup.ButtonAdd.is_default());
  EXPECT_FALSE(setup.Edit.enabled());
  EXPECT_EQ(setup.Edit.color(), Control::kButtonFaceColor);
  EXPECT_EQ(setup.ListBoxItem.item_index(), -1);
  EXPECT_EQ(setup.ListBoxEdit.item_index(), -1);
  EXPECT_EQ(setup.LabeledEditS3.max_length, 2);
  EXPECT_TRUE(setup.PanelSample.lowered);
  EXPECT_TRUE(setup.PanelS1W.lowered);
  EXPECT_FALSE(setup.PanelS1.lowered);
  EXPECT_TRUE(setup.PanelS1.caption_left);
  EXPECT_EQ(setup.RadioGroupS1.columns, 2);
  EXPECT_EQ(setup.ListBoxEdit.item_height, 12);
  EXPECT_EQ(setup.ListBoxItem.item_height, 12);
  EXPECT_FALSE(setup.Edit.auto_select);
  EXPECT_FALSE(setup.LabeledEditC_4.auto_select);
  EXPECT_TRUE(setup.EditB_VBR.auto_select);
}

TEST_F(SetupFormTest, ThePaletteHoldsItsFourteenFixedEntries) {
  const std::string separator = "\x84\x9f\x84\x9f\x84\x9f\x84\x9f\x84\x9f";  // five U+2500
  const std::vector<std::string> expected = {sjis("文字列"),
                                             separator,
                                             sjis("アーティスト"),
                                             sjis("曲名"),
                                             sjis("アルバム"),
                                             sjis("トラック№"),
                                             sjis("年"),
                                             sjis("ジャンル"),
                                             separator,
                                             sjis("再生時間"),
                                             sjis("ビットレート"),
                                             sjis("サンプリングレート"),
                                             "CBR/VBR",
                                             sjis("チャネルモード")};
  std::vector<std::string> texts;
  for (const forms::ListEntry& entry : open().ListBoxItem.items()) texts.push_back(entry.text);
  EXPECT_EQ(texts, expected);
}

TEST_F(SetupFormTest, TheCompositionShowsEachEntryByItsCode) {
  store(
      "[mac_Tunlex]\r\nDefault=7\r\nDefault0=0 - /\r\nDefault1=1\r\nDefault2=0/\r\n"
      "Default3=2\r\nDefault4=12\r\nDefault5=0[x]/\r\nDefault6=11\r\n");
  const TFormSetup& setup = open();
  EXPECT_EQ(shown(), (std::vector<std::string>{"  - ", sjis("[アーティスト]"), " ", sjis("[曲名]"),
                                               "[12]", " [x]", sjis("[チャネルモード]")}));
  EXPECT_EQ(codes(), (std::vector<std::int32_t>{0, 1, 0, 2, 12, 0, 11}));
  // The unknown code adds nothing; the literal that looks like a field stays a literal.
  const std::string sample = sjis(" - アーティスト曲名[x]チャネルモード");
  EXPECT_EQ(setup.PanelSample.text(), sample);
  EXPECT_EQ(setup.PanelSample.hint(), sample);
  EXPECT_FALSE(setup.ButtonOk.enabled());
}

TEST_F(SetupFormTest, AnEmptyCompositionGivesAnEmptySample) {
  const TFormSetup& setup = open();
  EXPECT_TRUE(shown().empty());
  EXPECT_EQ(setup.PanelSample.text(), "");
  EXPECT_EQ(setup.PanelSample.hint(), "");
}

TEST_F(SetupFormTest, TheTrackPageShowsTheStoredOption) {
  struct Case {
    std::int32_t track_option;
    int digits, fill;
    bool fill_enabled;
  } const cases[] = {
      {0, 0, 0, false},         {1, 1, 0, true}, {2, 1, 1, true},
      {3, 1, 1, true},          {7, 1, 1, true}, {-1, 1, -1, true},  // beyond the choices
      {INT32_MIN, 1, -1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.track_option);
    settings_.TrackOption = c.track_option;
    const TFormSetup& setup = open_on_memory();
    EXPECT_EQ(setup.RadioGroupN1.item_index(), c.digits);
    EXPECT_EQ(setup.RadioGroupN2.item_index(), c.fill);
    EXPECT_EQ(setup.RadioGroupN2.enabled(), c.fill_enabled);
  }
}

TEST_F(SetupFormTest, TheTimePageShowsTheStoredFormatAndItsPreview) {
  struct Case {
    std::int32_t time_format;
    int form, minutes;
    bool minutes_enabled;
    const char* preview;
  } const cases[] = {
      {0, 0, -1, false, "246"}, {1, 1, 0, true, "04'06"}, {2, 1, 1, true, " 4'06"},
      {3, 1, 2, true, "4'06"},  {4, 1, 2, true, "4'06"},  {9, 1, 2, true, "4'06"},
      {-1, 1, 2, true, "4'06"},  // nothing to select: "時分秒" takes "桁数可変"
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.time_format);
    settings_.TimeFormat = c.time_format;
    settings_.TimeSeparator = "'";
    const TFormSetup& setup = open_on_memory();
    EXPECT_EQ(setup.RadioGroupS1.item_index(), c.form);
    EXPECT_EQ(setup.RadioGroupS2.item_index(), c.minutes);
    EXPECT_EQ(setup.RadioGroupS2.enabled(), c.minutes_enabled);
    EXPECT_EQ(setup.LabeledEditS3.enabled(), c.minutes_enabled);
    EXPECT_EQ(setup.LabeledEditS3.text(), "'");
    EXPECT_EQ(setup.PanelS1.text(), c.preview);
  }
}

TEST_F(SetupFormTest, AStoredSeparatorLongerThanTheLimitShowsWhole) {
  store("[mac_Tunlex]\r\nDataS=1abc/\r\n");
  EXPECT_EQ(open().LabeledEditS3.text(), "abc");
  EXPECT_EQ(form().PanelS1.text(), "04abc06");
}

TEST_F(SetupFormTest, TheLabelPagesShowEveryLabelInTableOrder) {
  for (std::size_t i = 0; i < settings_.BitrateLabels.size(); ++i) {
    settings_.BitrateLabels[i] = "b" + std::to_string(i);
  }
  settings_.SamplingLabels = {"f0", "f1", "f2", "f3"};
  settings_.VbrLabels = {"v0", "v1"};
  settings_.ChannelLabels = {"c0", "c1", "c2", sjis(" 表 ")};
  const TFormSetup& setup = open_on_memory();
  EXPECT_EQ(setup.LabeledEditB_000.text(), "b0");
  EXPECT_EQ(setup.LabeledEditB_056.text(), "b4");
  EXPECT_EQ(setup.LabeledEditB_320.text(), "b14");
  EXPECT_EQ(setup.LabeledEditB_999.text(), "b15");
  EXPECT_EQ(setup.EditB_VBR.text(), "b16");
  EXPECT_EQ(setup.LabeledEditF_441.text(), "f0");
  EXPECT_EQ(setup.LabeledEditF_999.text(), "f3");
  EXPECT_EQ(setup.LabeledEditV_CBR.text(), "v0");
  EXPECT_EQ(setup.LabeledEditV_VBR.text(), "v1");
  EXPECT_EQ(setup.LabeledEditC_1.text(), "c0");
  EXPECT_EQ(setup.LabeledEditC_4.text(), sjis(" 表 "));
}

TEST_F(SetupFormTest, TheVbrLabelIsEnabledExactlyWhenVbrFilesShowIt) {
  for (const bool show : {false, true}) {
    SCOPED_TRACE(show);
    settings_.ShowVbrAsBitrate = show;
    const TFormSetup& setup = open_on_memory();
    EXPECT_EQ(setup.CheckBoxB_VBR.checked(), show);
    EXPECT_EQ(setup.EditB_VBR.enabled(), show);
    EXPECT_EQ(setup.EditB_VBR.color(), show ? Control::kWindowColor : Control::kButtonFaceColor);
  }
}

TEST_F(SetupFormTest, FillingChangesNothingInMemoryOrOnDisk) {
  const std::string before = "[mac_Tunlex]\r\nDefault=1\r\nDefault0=3\r\nDataN=0\r\n";
  store(before);
  settings::LoadSettings(settings_, files_);
  const settings::TMp3Settings loaded = settings_;
  open_on_memory();
  form().click(form().ButtonCancel);
  EXPECT_EQ(form().modal_result, forms::kModalCancel);
  EXPECT_EQ(settings_, loaded);
  EXPECT_EQ(stored(), before);
}

}  // namespace
}  // namespace dialogs
