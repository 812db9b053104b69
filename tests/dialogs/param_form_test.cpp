#include "dialogs/param_form.h"

#include <gtest/gtest.h>

#include "fileio/memory_file_system.h"
#include "forms/form.h"

namespace dialogs {
namespace {

constexpr const char* kIni = "C:\\host\\host.ini";

class ParamFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    forms::set_error_box([this](const std::string& message) { errors_.push_back(message); });
  }
  void TearDown() override { forms::set_error_box(nullptr); }

  void store(const std::string& contents) { files_.add(kIni, contents); }

  std::unique_ptr<TFormParam> create(const char* macro_char = "m") {
    return std::make_unique<TFormParam>(
        ParamDialogInput{macro_char, "Caption", kIni, "mac_Tunlex", &files_});
  }

  const forms::Control* checked_button(const TFormParam& form) {
    const forms::Control* checked = nullptr;
    for (const forms::Control* button : form.RadioButtons) {
      if (button->checked()) {
        EXPECT_EQ(checked, nullptr) << "two buttons checked";
        checked = button;
      }
    }
    return checked;
  }

  fileio::MemoryFileSystem files_;
  std::vector<std::string> errors_;
};

TEST_F(ParamFormTest, OpensOnTheStoredChoice) {
  struct Case {
    const char* kind_line;  // nullptr: no "Kind" key
    const char* button;
    const char* sample;
  } const cases[] = {
      {nullptr, "RadioButtonP", "/m<P>"},      {"Kind=7", "RadioButtonB", "/m<B>"},
      {"Kind=10", "RadioButtonC", "/m<C>"},    {"Kind=11", "RadioButtonP", "/m<P>"},
      {"Kind=255", "RadioButtonP", "/m<P>"},   {"Kind=-1", "RadioButtonP", "/m<P>"},
      {"Kind=seven", "RadioButtonP", "/m<P>"}, {"kind=$5", "RadioButtonG", "/m<G>"},
  };
  for (const Case& c : cases) {
    store(std::string("[mac_Tunlex]\r\n") + (c.kind_line ? c.kind_line : "") + "\r\n");
    const auto form = create();
    SCOPED_TRACE(c.kind_line ? c.kind_line : "no Kind");
    ASSERT_NE(checked_button(*form), nullptr);
    EXPECT_EQ(checked_button(*form)->name(), c.button);
    EXPECT_EQ(form->PanelMacroSample.text(), c.sample);
    EXPECT_EQ(form->GroupBox.tag, checked_button(*form)->tag);
  }
}

TEST_F(ParamFormTest, CaptionsCarryTheMacroCharacter) {
  const auto form = create("x");
  EXPECT_EQ(form->caption(), "Caption");
  // "/x<MP3ファイル情報>"
  EXPECT_EQ(form->GroupBox.text(), "/x<MP3\x83\x74\x83\x40\x83\x43\x83\x8B\x8F\xEE\x95\xF1>");
}

TEST_F(ParamFormTest, ButtonsAreInChoiceOrderWithTheirExactCaptions) {
  const auto form = create();
  const char* const letters = "PTANYGSBFVC";
  for (int choice = 0; choice < 11; ++choice) {
    EXPECT_EQ(form->RadioButtons[choice]->tag, choice);
    EXPECT_EQ(form->RadioButtons[choice]->name(), std::string("RadioButton") + letters[choice]);
  }
  // The captions mix half-width and full-width forms; their bytes are what the user sees.
  EXPECT_EQ(form->RadioButtonN.text(), "\x83\x67\x83\x89\x83\x62\x83\x4e\x87\x82   <N>");
  EXPECT_EQ(form->RadioButtonF.text(), "\xbb\xdd\x83\x76\xd8\xdd\x83\x4f\xda\xb0\xc4 <F>");
  EXPECT_EQ(form->RadioButtonC.text(), "\x83\x60\x83\x83\x83\x6c\x83\x8b\x83\x82\xb0\x83\x68  <C>");
  EXPECT_EQ(form->RadioButtonV.text(), "CBR/VBR    <V>");
}

TEST_F(ParamFormTest, AClickChangesOnlyTheSampleAndTheChoice) {
  store("[mac_Tunlex]\r\nKind=1\r\n");
  const auto form = create();
  form->click(form->RadioButtonG);
  EXPECT_EQ(form->GroupBox.tag, 5);
  EXPECT_EQ(form->PanelMacroSample.text(), "/m<G>");
  EXPECT_TRUE(form->RadioButtonG.checked());
  EXPECT_FALSE(form->RadioButtonT.checked());
  EXPECT_EQ(*files_.contents(kIni), "[mac_Tunlex]\r\nKind=1\r\n");
  EXPECT_EQ(form->hint(), "");
}

TEST_F(ParamFormTest, OkLeavesTheMacroTextAndStoresTheChoiceKeepingTheRestOfTheFile) {
  const std::string before =
      "; the host's own settings\r\n[Host]\r\nWindow=1\r\n\r\n[mac_Tunlex]\r\nDefault=1\r\n"
      "Default0=2\r\nKind=1\r\n[Other]\r\nKind=9\r\n";
  store(before);
  const auto form = create();
  form->click(form->RadioButtonG);
  form->click(form->ButtonOk);
  EXPECT_EQ(form->modal_result, forms::kModalOk);
  EXPECT_EQ(form->hint(), "/m<G>");
  std::string after = before;
  after.replace(after.find("Kind=1"), 6, "Kind=5");
  EXPECT_EQ(*files_.contents(kIni), after);
  EXPECT_TRUE(errors_.empty());

  const auto next = create();
  EXPECT_TRUE(next->RadioButtonG.checked());
}

TEST_F(ParamFormTest, OkWithoutAClickStoresTheShownChoiceInANewFile) {
  const auto form = create();
  form->click(form->ButtonOk);
  EXPECT_EQ(form->hint(), "/m<P>");
  EXPECT_EQ(*files_.contents(kIni), "[mac_Tunlex]\r\nKind=0\r\n");
}

TEST_F(ParamFormTest, CancelWritesNothing) {
  store("[mac_Tunlex]\r\nKind=3\r\n");
  const auto form = create();
  form->click(form->RadioButtonG);
  form->click(form->ButtonCancel);
  EXPECT_EQ(form->modal_result, forms::kModalCancel);
  EXPECT_EQ(*files_.contents(kIni), "[mac_Tunlex]\r\nKind=3\r\n");
}

TEST_F(ParamFormTest, AFailedWriteShowsTheErrorAndStillEndsWithOk) {
  store("[mac_Tunlex]\r\nKind=3\r\n");
  files_.set_fail_writes(true);
  const auto form = create();
  form->click(form->ButtonOk);
  EXPECT_EQ(form->modal_result, forms::kModalOk);
  EXPECT_EQ(form->hint(), "/m<N>");
  ASSERT_EQ(errors_.size(), 1u);
  // "ファイル C:\host\host.ini を作成できません"
  EXPECT_EQ(errors_[0],
            "\x83\x74\x83\x40\x83\x43\x83\x8b C:\\host\\host.ini "
            "\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1");
  EXPECT_EQ(*files_.contents(kIni), "[mac_Tunlex]\r\nKind=3\r\n");
}

TEST_F(ParamFormTest, HelpGoesToContext301) {
  std::vector<int> contexts;
  forms::set_help_function([&](int context) { contexts.push_back(context); });
  const auto form = create();
  EXPECT_EQ(form->request_help(&form->RadioButtonA), 301);
  EXPECT_EQ(form->request_help(nullptr), 301);
  forms::set_help_function(nullptr);
  EXPECT_EQ(contexts, (std::vector<int>{301, 301}));
}

}  // namespace
}  // namespace dialogs
