#include "host/cli.h"

#include <gtest/gtest.h>

#include <sstream>

namespace host {
namespace {

TEST(ParseOptions, ReadsEveryOption) {
  const auto parsed = ParseOptions(
      {"--ini", "a.ini", "--section", "S", "-p", "", "--encoding", "utf8", "x.mp3", "y.mp3"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.options->ini_path, "a.ini");
  EXPECT_EQ(parsed.options->section, "S");
  EXPECT_EQ(parsed.options->parameter, "");
  EXPECT_EQ(parsed.options->encoding, Encoding::Utf8);
  EXPECT_EQ(parsed.options->files, (std::vector<std::string>{"x.mp3", "y.mp3"}));
}

TEST(ParseOptions, DefaultsToNoSettingsFileAndTheOwnSection) {
  const auto parsed = ParseOptions({"x.mp3"});
  ASSERT_TRUE(parsed.options);
  EXPECT_FALSE(parsed.options->ini_path);
  EXPECT_EQ(parsed.options->section, "mac_Tunlex");
  EXPECT_FALSE(parsed.options->parameter);
  EXPECT_EQ(parsed.options->encoding, Encoding::Auto);
}

TEST(ParseOptions, RefusesBadCommandLines) {
  const std::vector<std::vector<std::string>> bad = {
      {}, {"--ini"}, {"x.mp3", "-p"}, {"--bogus", "x.mp3"}, {"--encoding", "latin1", "x.mp3"},
  };
  for (const auto& args : bad) {
    const auto parsed = ParseOptions(args);
    EXPECT_FALSE(parsed.options);
    EXPECT_FALSE(parsed.error.empty());
  }
}

TEST(ParseOptions, ReadsTheParamCommand) {
  const auto parsed =
      ParseOptions({"param", "--char", "x", "--caption", "Pick", "--rect", "100,50,301,-3"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_TRUE(parsed.options->param_dialog);
  EXPECT_EQ(parsed.options->macro_char, 'x');
  EXPECT_EQ(parsed.options->caption, "Pick");
  EXPECT_EQ(parsed.options->rect.left, 100);
  EXPECT_EQ(parsed.options->rect.height, -3);
  for (const auto& bad : std::vector<std::vector<std::string>>{{"param", "--char", "xy"},
                                                               {"param", "--rect", "1,2,3"},
                                                               {"param", "a.mp3"},
                                                               {"--char", "x", "a.mp3"}}) {
    EXPECT_FALSE(ParseOptions(bad).options) << bad.back();
  }
}

TEST(SplitFilePath, SplitsAtTheLastSeparator) {
  EXPECT_EQ(SplitFilePath("/music/a.mp3").folder, "/music");
  EXPECT_EQ(SplitFilePath("/music/a.mp3").file_name, "a.mp3");
  EXPECT_EQ(SplitFilePath("C:\\m\\b.mp3").folder, "C:\\m");
  EXPECT_EQ(SplitFilePath("/a.mp3").folder, "/");
  EXPECT_EQ(SplitFilePath("a.mp3").folder, ".");
}

// Records the requests and answers with the letter asked for.
class FakeBackend final : public MacroBackend {
 public:
  void init(const std::string& ini, const std::string& section) override {
    log += "init " + ini + " " + section + "\n";
  }
  std::string exec(const std::string& parameter, const std::string& folder,
                   const std::string& file_name, std::int32_t read_flag) override {
    log += "exec '" + parameter + "' " + folder + " " + file_name + " " +
           std::to_string(read_flag) + "\n";
    return parameter.empty() ? "\x83\x65" : "<" + parameter + ">";  // テ
  }
  void term() override { log += "term\n"; }
  bool can_read(const std::string& path) override { return path != "missing.mp3"; }
  std::string display_path(const std::string& path, bool) override { return path; }
  std::optional<std::string> param(char macro_char, const std::string& caption,
                                   const DialogRect& rect, bool& supported) override {
    log += std::string("param ") + macro_char + " " + caption + " " + std::to_string(rect.left) +
           "," + std::to_string(rect.top) + "," + std::to_string(rect.width) + "," +
           std::to_string(rect.height) + "\n";
    supported = dialogs_supported;
    return param_answer;
  }
  bool setup(const DialogRect& rect) override {
    log += "setup " + std::to_string(rect.width) + "\n";
    return dialogs_supported;
  }
  std::string log;
  bool dialogs_supported = true;
  std::optional<std::string> param_answer;
};

TEST(RunTunlex, ReadsEachFileOnceThenAnswersFromTheRecord) {
  FakeBackend backend;
  Options options;
  options.files = {"d/a.mp3"};
  std::ostringstream out, err;
  EXPECT_EQ(RunTunlex(options, backend, out, err, false), 0);
  EXPECT_EQ(backend.log,
            "init  mac_Tunlex\n"
            "exec 'P' d a.mp3 1\nexec 'T' d a.mp3 0\nexec 'A' d a.mp3 0\nexec 'N' d a.mp3 0\n"
            "exec 'Y' d a.mp3 0\nexec 'G' d a.mp3 0\nexec 'S' d a.mp3 0\nexec 'B' d a.mp3 0\n"
            "exec 'F' d a.mp3 0\nexec 'V' d a.mp3 0\nexec 'C' d a.mp3 0\nexec '' d a.mp3 0\n"
            "term\n");
  EXPECT_NE(out.str().find("  P  artist    <P>\n"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("  default      \x83\x65\n"), std::string::npos);  // raw when piped
}

TEST(RunTunlex, PrintsOneAnswerPerFileForAParameter) {
  FakeBackend backend;
  Options options;
  options.parameter = "";
  options.encoding = Encoding::Utf8;
  options.files = {"a.mp3", "b.mp3"};
  std::ostringstream out, err;
  EXPECT_EQ(RunTunlex(options, backend, out, err, false), 0);
  EXPECT_EQ(out.str(), "\xE3\x83\x86\n\xE3\x83\x86\n");  // テ in UTF-8
}

TEST(RunTunlex, ReportsAnUnreadableFileAndGoesOn) {
  FakeBackend backend;
  Options options;
  options.parameter = "T";
  options.files = {"missing.mp3", "b.mp3"};
  std::ostringstream out, err;
  EXPECT_EQ(RunTunlex(options, backend, out, err, true), 1);
  EXPECT_EQ(err.str(), "tunlex: cannot read 'missing.mp3'\n");
  EXPECT_EQ(out.str(), "<T>\n");
}

TEST(RunTunlex, PrintsWhatTheParamDialogReturned) {
  FakeBackend backend;
  Options options;
  options.param_dialog = true;
  options.macro_char = 'q';
  std::ostringstream out, err;
  backend.param_answer = "/q<G>";
  EXPECT_EQ(RunTunlex(options, backend, out, err, false), 0);
  EXPECT_EQ(out.str(), "/q<G>\n");
  EXPECT_EQ(backend.log, "init  mac_Tunlex\nparam q tunlex 0,0,640,480\nterm\n");

  backend.param_answer.reset();
  out.str("");
  EXPECT_EQ(RunTunlex(options, backend, out, err, false), 1);
  EXPECT_EQ(out.str(), "(no text returned)\n");

  backend.dialogs_supported = false;
  EXPECT_EQ(RunTunlex(options, backend, out, err, false), 2);
  EXPECT_NE(err.str().find("needs the Windows build"), std::string::npos);
}

TEST(RunTunlex, ShowsTheSetupDialogBetweenInitAndTerm) {
  FakeBackend backend;
  const auto parsed = ParseOptions({"setup", "--ini", "a.ini", "--rect", "0,0,800,600"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  std::ostringstream out, err;
  EXPECT_EQ(RunTunlex(*parsed.options, backend, out, err, false), 0);
  EXPECT_EQ(backend.log, "init a.ini mac_Tunlex\nsetup 800\nterm\n");
  EXPECT_FALSE(ParseOptions({"setup", "a.mp3"}).options);
}

}  // namespace
}  // namespace host
