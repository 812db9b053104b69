// OK of TFormSetup: the stored values, what the file keeps, the settings in memory, and a save
// followed by a load giving back the same settings.

#include <gtest/gtest.h>

#include "ini/ini_file.h"
#include "setup_form_fixture.h"

namespace dialogs {
namespace {

using settings::TDefaultItem;
using settings::TMp3Settings;

TDefaultItem Literal(std::string text) { return {.Text = std::move(text), .Code = 0}; }
TDefaultItem Field(std::int32_t code) { return {.Text = {}, .Code = code}; }

constexpr int kArtist = 2, kTitle = 3;

TEST_F(SetupFormTest, OkStoresEveryKeyAndKeepsEverythingElseOfTheFile) {
  store(
      "; the host's settings\r\n[Host]\r\nWindow=1\r\n\r\n[mac_Tunlex]\r\nKind=7\r\n"
      "; kept at the end of the section\r\n[Other]\r\nDefault=9\r\n");
  open();
  add_literal(" - ");
  add_field(kArtist);
  add_literal("");
  add_field(kTitle);
  press_ok();
  EXPECT_EQ(form().modal_result, forms::kModalOk);
  EXPECT_TRUE(errors_.empty());
  // The labels, never touched, are stored exactly as their keys' defaults.
  EXPECT_EQ(stored(),
            "; the host's settings\r\n[Host]\r\nWindow=1\r\n\r\n[mac_Tunlex]\r\nKind=7\r\n"
            "Default=4\r\nDefault0=0 - /\r\nDefault1=1\r\nDefault2=0/\r\nDefault3=2\r\n"
            "DataN=1\r\nDataS=3'/\r\n"
            "DataB=//32/40/48/56/64/80/96/112/128/160/192/224/256/320///0\r\n"
            "DataF=/44100/48000/32000//\r\nDataV=//(VBR)/\r\n"
            "DataC=/Stereo/JointStereo/DualChannel/SingleChannel/\r\n"
            "; kept at the end of the section\r\n[Other]\r\nDefault=9\r\n");
  EXPECT_EQ(settings_.DefaultItems,
            (std::vector<TDefaultItem>{Literal(" - "), Field(1), Literal(""), Field(2)}));
}

TEST_F(SetupFormTest, AShorterCompositionDeletesTheEntryKeysBeyondIt) {
  store(
      "[mac_Tunlex]\r\nDefault=5\r\nDefault0=1\r\nDefault1=2\r\nDefault2=3\r\n"
      "default3=4\r\nDefault4=5\r\nDefault03=kept\r\n");
  open();
  for (int i = 0; i < 3; ++i) {
    select(2);
    form().click(form().ButtonDel);
  }
  press_ok();
  const auto file = ini::IniFile::parse(stored());
  EXPECT_EQ(file.keys(kSection),
            (std::vector<std::string>{"Default", "Default03", "Default0", "Default1", "DataN",
                                      "DataS", "DataB", "DataF", "DataV", "DataC"}));
  EXPECT_EQ(file.read_string(kSection, "Default", ""), "2");
  EXPECT_EQ(file.read_string(kSection, "Default1", ""), "2");
}

TEST_F(SetupFormTest, AHandEditedCountOfTwoBillionDeletesOnlyTheKeysPresent) {
  // Edited by hand while the host ran: OK reads the file afresh.
  store(
      "[mac_Tunlex]\r\nDefault=2000000000\r\nDefault0=5\r\nDefault7=2\r\n"
      "Default1999999999=3\r\n");
  settings_.DefaultItems = {Field(1)};
  open_on_memory();
  turn_to(1);
  press_ok();
  const auto file = ini::IniFile::parse(stored());
  EXPECT_EQ(file.read_string(kSection, "Default", ""), "1");
  EXPECT_EQ(file.read_string(kSection, "Default0", ""), "1");
  EXPECT_EQ(file.find(kSection, "Default7"), std::nullopt);
  EXPECT_EQ(file.find(kSection, "Default1999999999"), std::nullopt);
}

TEST_F(SetupFormTest, OkStoresTheOptionsAsThePagesShowThem) {
  struct Case {
    const char* stored;
    const char* data_n;
    const char* data_s;
  } const cases[] = {
      {"DataN=0\r\nDataS=0/", "0", "0/"},
      {"DataN=3\r\nDataS=4'/", "2", "3'/"},   // beyond the choices: the last one
      {"DataN=-1\r\nDataS=9 /", "0", "3 /"},  // "２桁固定" without a fill stores 0
      {"DataN=2\r\nDataS=1ab/", "2", "1ab/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    store(std::string("[mac_Tunlex]\r\n") + c.stored + "\r\n");
    open();
    turn_to(2);
    press_ok();
    const auto file = ini::IniFile::parse(stored());
    EXPECT_EQ(file.read_string(kSection, "DataN", ""), c.data_n);
    EXPECT_EQ(file.read_string(kSection, "DataS", ""), c.data_s);
  }
}

TEST_F(SetupFormTest, SecondsOnlyStillStoresTheSeparator) {
  store("[mac_Tunlex]\r\nDataS=1x/\r\n");
  open();
  turn_to(2);
  form().select_item(form().RadioGroupS1, 0);
  press_ok();
  EXPECT_EQ(ini::IniFile::parse(stored()).read_string(kSection, "DataS", ""), "0x/");
  EXPECT_EQ(settings_.TimeFormat, 0);
  EXPECT_EQ(settings_.TimeSeparator, "x");
}

TEST_F(SetupFormTest, ASaveFollowedByALoadGivesBackTheSameSettings) {
  TMp3Settings defaults;
  defaults.IniPath = kIni;
  defaults.IniSection = kSection;
  {
    fileio::MemoryFileSystem none;
    settings::LoadSettings(defaults, none);
  }

  TMp3Settings varied = defaults;
  varied.DefaultItems = {
      Literal(" "), Literal(""), Literal(" a  b "), Literal("/x/"),           Field(1), Field(11),
      Field(12),    Field(-3),   Literal("[2]"),    Literal(sjis("表示 ソ")), Field(7)};
  varied.TrackOption = 0;
  varied.TimeFormat = 0;
  varied.TimeSeparator = "";
  varied.BitrateLabels[0] = " free ";
  varied.BitrateLabels[9] = sjis("１２８ｋ");
  varied.BitrateLabels[16] = "VBR";
  varied.ShowVbrAsBitrate = true;
  varied.SamplingLabels = {"", " ", "a=b", ";c"};
  varied.VbrLabels = {sjis("固定"), sjis("可変")};
  varied.ChannelLabels = {"", "", "", ""};

  TMp3Settings blank_separator = defaults;
  blank_separator.TrackOption = 2;
  blank_separator.TimeFormat = 1;
  blank_separator.TimeSeparator = " ";
  blank_separator.DefaultItems = {Field(7), Literal(" "), Field(8)};

  TMp3Settings wide_separator = defaults;
  wide_separator.TrackOption = 1;
  wide_separator.TimeFormat = 2;
  wide_separator.TimeSeparator = sjis("分");
  wide_separator.ChannelLabels = {sjis("ステレオ"), " J ", "D", sjis("ソ")};

  const struct Case {
    const char* name;
    TMp3Settings settings;
  } cases[] = {
      {"defaults", defaults},
      {"varied", varied},
      {"blank separator", blank_separator},
      {"wide separator", wide_separator},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    store("[Host]\r\nKind=3\r\n");
    settings_ = c.settings;
    open_on_memory();
    turn_to(6);
    press_ok();
    EXPECT_EQ(settings_, c.settings);
    TMp3Settings loaded;
    loaded.IniPath = kIni;
    loaded.IniSection = kSection;
    settings::LoadSettings(loaded, files_);
    EXPECT_EQ(loaded, c.settings);
  }
}

TEST_F(SetupFormTest, AFailedWriteShowsTheErrorKeepsTheFileAndStillTakesTheSettings) {
  const std::string before = "[mac_Tunlex]\r\nDefault=1\r\nDefault0=1\r\nKind=3\r\n";
  store(before);
  files_.set_fail_writes(true);
  open();
  add_field(kTitle);
  press_ok();
  EXPECT_EQ(form().modal_result, forms::kModalOk);
  // "ファイル C:\host\host.ini を作成できません"
  EXPECT_EQ(errors_, (std::vector<std::string>{
                         "\x83\x74\x83\x40\x83\x43\x83\x8b C:\\host\\host.ini "
                         "\x82\xf0\x8d\xec\x90\xac\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1"}));
  EXPECT_EQ(stored(), before);
  EXPECT_EQ(settings_.DefaultItems, (std::vector<TDefaultItem>{Field(1), Field(2)}));
}

}  // namespace
}  // namespace dialogs
