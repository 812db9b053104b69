// Pages 2 to 7 of TFormSetup: the enabling rules, the playing-time preview, the separator's
// limit, the label boxes' filters, and the page change with its help context.

#include <gtest/gtest.h>

#include "setup_form_fixture.h"

namespace dialogs {
namespace {

using forms::Control;

TEST_F(SetupFormTest, TheFillCountsOnlyWithTwoFixedDigitsAndKeepsItsChoice) {
  store("[mac_Tunlex]\r\nDataN=2\r\n");
  TFormSetup& setup = open();
  setup.select_item(setup.RadioGroupN1, 0);
  EXPECT_FALSE(setup.RadioGroupN2.enabled());
  EXPECT_EQ(setup.RadioGroupN2.item_index(), 1);
  setup.select_item(setup.RadioGroupN1, 1);
  EXPECT_TRUE(setup.RadioGroupN2.enabled());
  EXPECT_EQ(setup.RadioGroupN2.item_index(), 1);
}

TEST_F(SetupFormTest, ThePreviewFollowsTheChoicesAndTheSeparator) {
  struct Case {
    const char* separator;
    int minutes;
    const char* preview;
  } const cases[] = {
      {"'", 0, "04'06"},
      {"'", 1, " 4'06"},
      {"'", 2, "4'06"},
      {"", 0, "0406"},
      {"", 1, " 406"},
      {"", 2, "406"},
      {"\x95\xaa", 0,
       "04\x95\xaa"
       "06"},  // 分
  };
  TFormSetup& setup = open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preview);
    setup.select_item(setup.RadioGroupS2, c.minutes);
    setup.change_text(setup.LabeledEditS3, c.separator);
    EXPECT_EQ(setup.PanelS1.text(), c.preview);
  }
}

TEST_F(SetupFormTest, SecondsOnlyDisablesTheMinuteFormAndSeparatorButKeepsThem) {
  store("[mac_Tunlex]\r\nDataS=2x/\r\n");
  TFormSetup& setup = open();
  setup.select_item(setup.RadioGroupS1, 0);
  EXPECT_EQ(setup.PanelS1.text(), "246");
  EXPECT_FALSE(setup.RadioGroupS2.enabled());
  EXPECT_FALSE(setup.LabeledEditS3.enabled());
  EXPECT_EQ(setup.RadioGroupS2.item_index(), 1);
  EXPECT_EQ(setup.LabeledEditS3.text(), "x");
  setup.select_item(setup.RadioGroupS1, 1);
  EXPECT_EQ(setup.PanelS1.text(), " 4x06");
  EXPECT_TRUE(setup.RadioGroupS2.enabled());
  EXPECT_TRUE(setup.LabeledEditS3.enabled());
}

TEST_F(SetupFormTest, ChoosingHoursMinutesAfterSecondsOnlyTakesVariableDigits) {
  store("[mac_Tunlex]\r\nDataS=0-/\r\n");
  TFormSetup& setup = open();
  EXPECT_EQ(setup.RadioGroupS2.item_index(), -1);
  setup.select_item(setup.RadioGroupS1, 1);
  EXPECT_EQ(setup.RadioGroupS2.item_index(), 2);
  EXPECT_EQ(setup.PanelS1.text(), "4-06");
}

TEST_F(SetupFormTest, TheSeparatorHoldsTwoBytesAndNeverHalfACharacter) {
  struct Case {
    const char* entered;
    const char* kept;
  } const cases[] = {
      {"abc", "ab"},
      {"\x82\xa0", "\x82\xa0"},      // あ
      {"\x82\xa0x", "\x82\xa0"},     // あx
      {"x\x82\xa0", "x"},            // xあ
      {"\xb1\xb2\xb3", "\xb1\xb2"},  // ｱｲｳ, one byte each
      {"/x", "x"},                   // pasted: the refused character goes
  };
  TFormSetup& setup = open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.entered);
    setup.change_text(setup.LabeledEditS3, c.entered);
    EXPECT_EQ(setup.LabeledEditS3.text(), c.kept);
    EXPECT_EQ(setup.PanelS1.text(), std::string("4") + c.kept + "06");
  }
  setup.change_text(setup.LabeledEditS3, "a");
  for (const char key : std::string("/bc")) setup.type_key(setup.LabeledEditS3, key);
  EXPECT_EQ(setup.LabeledEditS3.text(), "ab");
}

TEST_F(SetupFormTest, EveryLabelBoxRefusesTheNineCharactersTypedOrPasted) {
  TFormSetup& setup = open();
  setup.click(setup.CheckBoxB_VBR);  // so that its box takes keys
  ASSERT_EQ(setup.CheckedBoxes.size(), 28u);
  for (Control* box : setup.CheckedBoxes) {
    SCOPED_TRACE(box->name());
    setup.change_text(*box, "");
    for (const char key : std::string("\\/:*?\"<>|a")) setup.type_key(*box, key);
    EXPECT_EQ(box->text(), "a");
    setup.change_text(*box, sjis("a/表|"));
    EXPECT_EQ(box->text(), box == &setup.LabeledEditS3 ? "a" : sjis("a表"));
  }
}

TEST_F(SetupFormTest, TheVbrBoxFollowsTheCheckBoxAndKeepsItsText) {
  store("[mac_Tunlex]\r\nDataB=/////////////////VBR/1\r\n");
  TFormSetup& setup = open();
  EXPECT_TRUE(setup.EditB_VBR.enabled());
  setup.click(setup.CheckBoxB_VBR);
  EXPECT_FALSE(setup.CheckBoxB_VBR.checked());
  EXPECT_FALSE(setup.EditB_VBR.enabled());
  EXPECT_EQ(setup.EditB_VBR.color(), Control::kButtonFaceColor);
  EXPECT_EQ(setup.EditB_VBR.text(), "VBR");
  setup.click(setup.CheckBoxB_VBR);
  EXPECT_TRUE(setup.EditB_VBR.enabled());
  EXPECT_EQ(setup.EditB_VBR.color(), Control::kWindowColor);
}

TEST_F(SetupFormTest, APageChangeEnablesOkAndHelpFollowsThePageInFront) {
  std::vector<int> contexts;
  forms::set_help_function([&](int context) { contexts.push_back(context); });
  TFormSetup& setup = open();
  EXPECT_EQ(setup.request_help(&setup.ButtonOk), 201);
  for (int page = 6; page >= 0; --page) {
    SCOPED_TRACE(page);
    turn_to(page);
    EXPECT_EQ(setup.help_context, 201 + page);
    EXPECT_TRUE(setup.ButtonOk.enabled());
  }
  turn_to(3);
  EXPECT_EQ(setup.request_help(&setup.LabeledEditB_128), 204);
  EXPECT_EQ(setup.request_help(&setup.PageControl), 204);
  EXPECT_EQ(setup.request_help(&setup.ButtonOk), 204);
  EXPECT_EQ(setup.request_help(nullptr), 204);
  EXPECT_EQ(contexts.size(), 5u);
}

}  // namespace
}  // namespace dialogs
