#include "host/cli.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <sstream>

#ifndef _WIN32
#include <stdlib.h>

#include <filesystem>

#include "fileio/memory_file_system.h"
#include "host/native_backend.h"
#include "support/mp3_builder.h"
#endif

// GCC 12 at -O3 takes the empty std::optional<std::string> of a fresh Options, assigned in the
// tests below, for a full one (a false -Wmaybe-uninitialized).
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ == 12
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

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

TEST(ParseOptions, ReadsTheBatchOptions) {
  const auto parsed = ParseOptions({"-r", "--format", "json", "-j", "12", "d"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_TRUE(parsed.options->recursive);
  EXPECT_EQ(parsed.options->format, Format::Json);
  EXPECT_EQ(parsed.options->jobs, 12);
  EXPECT_EQ(parsed.options->files, std::vector<std::string>{"d"});
  EXPECT_EQ(ParseOptions({"--format", "tsv", "d"}).options->format, Format::Tsv);
  EXPECT_EQ(ParseOptions({"d"}).options->format, Format::Text);
  EXPECT_EQ(ParseOptions({"d"}).options->jobs, 1);
}

TEST(ParseOptions, RefusesBadJobCountsAndFormats) {
  const std::vector<std::vector<std::string>> bad = {
      {"-j", "0", "x.mp3"},         {"-j", "x", "x.mp3"},           {"-j", "4x", "x.mp3"},
      {"-j", "-2", "x.mp3"},        {"-j", "99999999999", "x.mp3"}, {"x.mp3", "-j"},
      {"--format", "xml", "x.mp3"},
  };
  for (const auto& args : bad) {
    EXPECT_FALSE(ParseOptions(args).options) << args[1];
    bool opened = false;
    const auto open = [&](std::string&) -> std::unique_ptr<MacroBackend> {
      opened = true;
      return nullptr;
    };
    std::ostringstream err;
    std::streambuf* const cerr = std::cerr.rdbuf(err.rdbuf());
    const int code = TunlexMain(args, open, false, false);
    std::cerr.rdbuf(cerr);
    EXPECT_EQ(code, 2) << args[1];
    EXPECT_TRUE(err.str().starts_with("tunlex: ")) << err.str();
    EXPECT_FALSE(opened);
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

// Records the requests and answers with the letter asked for, or what `answers` holds.
class FakeBackend final : public ExecBackend {
 public:
  void init(const std::string& ini, const std::string& section) override {
    log += "init " + ini + " " + section + "\n";
  }
  std::string exec(const std::string& parameter, const std::string& folder,
                   const std::string& file_name, std::int32_t read_flag) override {
    log += "exec '" + parameter + "' " + folder + " " + file_name + " " +
           std::to_string(read_flag) + "\n";
    if (answers.contains(parameter)) return answers.at(parameter);
    return parameter.empty() ? "\x83\x65" : "<" + parameter + ">";  // テ
  }
  void term() override { log += "term\n"; }
  bool can_read(const std::string& path) override { return path != "missing.mp3"; }
  std::string display_path(const std::string& path, bool) override { return path; }
  bool paths_are_sjis() const override { return sjis_paths; }
  bool is_folder(const std::string& path) override { return folders.contains(path); }
  std::optional<std::vector<FolderEntry>> list_folder(const std::string& path) override {
    return folders.at(path);
  }
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
  std::map<std::string, std::string> answers;
  bool sjis_paths = false;
  std::map<std::string, std::optional<std::vector<FolderEntry>>> folders;  // nullopt: unlistable
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

struct RunResult {
  int code = 0;
  std::string out;
  std::string err;
};

RunResult run(MacroBackend& backend, const Options& options, bool err_is_terminal = false) {
  std::ostringstream out, err;
  RunResult result;
  result.code = RunTunlex(options, backend, out, err, false, err_is_terminal);
  result.out = out.str();
  result.err = err.str();
  return result;
}

Options tsv_options(std::vector<std::string> files, const char* parameter = nullptr) {
  Options options;
  options.format = Format::Tsv;
  if (parameter) options.parameter = parameter;
  options.files = std::move(files);
  return options;
}

TEST(RunTunlex, TsvGivesOneLineOfAllItemsPerFile) {
  FakeBackend backend;
  const RunResult result = run(backend, tsv_options({"d/a.mp3"}));
  EXPECT_EQ(result.code, 0);
  EXPECT_EQ(result.out,
            "d/a.mp3\t<P>\t<T>\t<A>\t<N>\t<Y>\t<G>\t<S>\t<B>\t<F>\t<V>\t<C>\t\x83\x65\n");
  EXPECT_NE(backend.log.find("exec 'P' d a.mp3 1\nexec 'T' d a.mp3 0\n"), std::string::npos);
}

TEST(RunTunlex, TsvEscapesWhatWouldBreakTheLine) {
  struct Case {
    const char* what;
    std::string answer;
    Encoding encoding;
    std::string field;
  } const cases[] = {
      {"tab, CR, LF, backslash", "a\tb\rc\nd\\e", Encoding::ShiftJis, "a\\tb\\rc\\nd\\\\e"},
      {"0x5C as a second byte", "\x95\x5C", Encoding::ShiftJis, "\x95\x5C"},
      {"the same in UTF-8", "\x95\x5C", Encoding::Utf8, "\xE8\xA1\xA8"},  // 表
      {"a lead byte before a tab", "\x83\t", Encoding::ShiftJis, "\x83\\t"},
  };
  for (const Case& c : cases) {
    FakeBackend backend;
    backend.answers["T"] = c.answer;
    Options options = tsv_options({"a.mp3"}, "T");
    options.encoding = c.encoding;
    EXPECT_EQ(run(backend, options).out, "a.mp3\t" + c.field + "\n") << c.what;
  }
}

TEST(RunTunlex, TsvEscapesAShiftJisPathByCharacters) {
  FakeBackend backend;
  backend.sjis_paths = true;
  Options options = tsv_options({"d\\\x95\x5C.mp3"}, "T");
  options.encoding = Encoding::ShiftJis;
  EXPECT_EQ(run(backend, options).out, "d\\\\\x95\x5C.mp3\t<T>\n");
}

TEST(RunTunlex, JsonGivesOneObjectPerFileInUtf8WhateverTheEncoding) {
  FakeBackend backend;
  Options options;
  options.format = Format::Json;
  options.encoding = Encoding::ShiftJis;
  options.files = {"d/a.mp3"};
  EXPECT_EQ(run(backend, options).out,
            "{\"path\":\"d/a.mp3\",\"artist\":\"<P>\",\"title\":\"<T>\",\"album\":\"<A>\","
            "\"track\":\"<N>\",\"year\":\"<Y>\",\"genre\":\"<G>\",\"time\":\"<S>\","
            "\"bitrate\":\"<B>\",\"sampling\":\"<F>\",\"mode\":\"<V>\",\"channels\":\"<C>\","
            "\"default\":\"\xE3\x83\x86\"}\n");
  options.parameter = "";
  EXPECT_EQ(run(backend, options).out, "{\"path\":\"d/a.mp3\",\"answer\":\"\xE3\x83\x86\"}\n");
}

TEST(RunTunlex, JsonWritesEachByteThatIsNoShiftJisAsALoneSurrogate) {
  struct Case {
    const char* what;
    std::string answer;
    std::string json;
  } const cases[] = {
      {"Shift-JIS", "\x83\x65\x83\x58\x83\x67 \xB1",
       "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 \xEF\xBD\xB1"},
      {"bytes that are no character", "a\x80\xA0\xFDz", "a\\udc80\\udca0\\udcfdz"},
      {"a lead byte without its pair", "\x81 b", "\\udc81 b"},
      {"a lead byte at the end", "a\x83", "a\\udc83"},
      {"an unassigned pair", "\x85\x40", "\\udc85@"},
      {"the middle dot", "\x81\x45", "\xE3\x83\xBB"},
      {"JSON's own escapes", "\"\\\x01\t\n\r/", "\\\"\\\\\\u0001\\t\\n\\r/"},
  };
  for (const Case& c : cases) {
    FakeBackend backend;
    backend.answers["T"] = c.answer;
    Options options;
    options.format = Format::Json;
    options.parameter = "T";
    options.files = {"a.mp3"};
    EXPECT_EQ(run(backend, options).out, "{\"path\":\"a.mp3\",\"answer\":\"" + c.json + "\"}\n")
        << c.what;
  }
}

TEST(RunTunlex, JsonPathsFollowTheBackendsEncoding) {
  struct Case {
    bool sjis;
    std::string path;
    std::string json;
  } const cases[] = {
      {false, "d/\xC3\xA9\xFF.mp3", "d/\xC3\xA9\\udcff.mp3"},  // UTF-8 é, then a stray byte
      {false, "\xED\xA0\x80", "\\udced\\udca0\\udc80"},        // an encoded surrogate
      {true, "d\\\x83\x65\x80.mp3", "d\\\\\xE3\x83\x86\\udc80.mp3"},
  };
  for (const Case& c : cases) {
    FakeBackend backend;
    backend.sjis_paths = c.sjis;
    Options options;
    options.format = Format::Json;
    options.parameter = "T";
    options.files = {c.path};
    EXPECT_EQ(run(backend, options).out, "{\"path\":\"" + c.json + "\",\"answer\":\"<T>\"}\n")
        << c.json;
  }
}

TEST(RunTunlex, ReportsWhatCannotBeListedOrReadAndGoesOn) {
  using Kind = FolderEntry::Kind;
  FakeBackend backend;
  backend.folders["f"] = std::vector<FolderEntry>{
      {"f/b.mp3", Kind::File},   {"f/a.mp3", Kind::File}, {"f/?.mp3", Kind::File, false},
      {"f/x.txt", Kind::File},   {"f/sub", Kind::Folder}, {"f/?", Kind::Folder, false},
      {"f/link", Kind::Skipped},
  };
  backend.folders["f/sub"] = std::nullopt;
  backend.folders["g"] = std::nullopt;
  Options options = tsv_options({"f", "missing.mp3", "g"}, "T");
  RunResult result = run(backend, options);
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.out, "f/a.mp3\t<T>\nf/b.mp3\t<T>\n");
  EXPECT_EQ(result.err,
            "tunlex: cannot read 'f/?.mp3'\ntunlex: cannot read 'g'\n"
            "tunlex: cannot read 'missing.mp3'\n");

  options.recursive = true;
  result = run(backend, options);
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.out, "f/a.mp3\t<T>\nf/b.mp3\t<T>\n");
  EXPECT_EQ(result.err,
            "tunlex: cannot read 'f/?'\ntunlex: cannot read 'f/?.mp3'\n"
            "tunlex: cannot read 'f/sub'\ntunlex: cannot read 'g'\n"
            "tunlex: cannot read 'missing.mp3'\n");
}

TEST(RunTunlex, ShowsProgressOnlyOnATerminalAndForMoreThanOneFile) {
  const std::string clear =
      "\r" + std::string(std::string_view("tunlex: 1/3 files").size(), ' ') + "\r";
  struct Case {
    bool terminal;
    std::vector<std::string> files;
    std::string err;
  } const cases[] = {
      {false, {"a.mp3", "b.mp3", "c.mp3"}, ""},
      {true, {"a.mp3"}, ""},
      {true, {"a.mp3", "b.mp3", "c.mp3"}, "\rtunlex: 1/3 files"},
      // The line goes before a message and the message stays whole.
      {true,
       {"a.mp3", "missing.mp3", "c.mp3"},
       "\rtunlex: 1/3 files" + clear + "tunlex: cannot read 'missing.mp3'\n"},
  };
  for (const Case& c : cases) {
    FakeBackend backend;
    Options options = tsv_options(c.files, "T");
    const RunResult result = run(backend, options, c.terminal);
    EXPECT_EQ(result.err.substr(0, c.err.size()), c.err);
    if (c.err.empty()) {
      EXPECT_EQ(result.err, "");
    } else {
      // Nothing is left on the line: the last one drawn is cleared.
      const auto last = result.err.rfind(" files");
      EXPECT_EQ(result.err.substr(last + 6, clear.size()), clear) << result.err;
    }
    EXPECT_EQ(result.out.find('\r'), std::string::npos);
  }
}

#ifndef _WIN32

using fixtures::id3v1_tag;
using fixtures::Mp3FileBuilder;
using fixtures::MpegFrameBuilder;
namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tunlex-cli-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  fs::path path_;
};

std::string mp3_titled(const std::string& title, std::uint8_t track = 1,
                       std::uint8_t bitrate_index = 9) {
  return Mp3FileBuilder()
      .frame(MpegFrameBuilder().bitrate_index(bitrate_index), 3)
      .id3v1(id3v1_tag({.title = title, .artist = "Artist", .year = "1999", .track = track}))
      .build();
}

RunResult run_native(const std::vector<std::string>& args) {
  const auto parsed = ParseOptions(args);
  EXPECT_TRUE(parsed.options) << parsed.error;
  const auto backend = MakeNativeBackend();
  return run(*backend, *parsed.options);
}

// The paths of a TSV listing.
std::vector<std::string> first_fields(const std::string& tsv) {
  std::vector<std::string> paths;
  std::istringstream lines(tsv);
  for (std::string line; std::getline(lines, line);)
    paths.push_back(line.substr(0, line.find('\t')));
  return paths;
}

TEST(NativeTunlex, ListsAFoldersMp3FilesByNameAndItsSubfoldersWithR) {
  TempFolder root;
  for (const char* name :
       {"b.mp3", "a.MP3", "Z.mp3", "c.txt", "sub/x.mp3", "sub/deeper/y.mp3", "m.mp3/inner.mp3"}) {
    fs::create_directories(fs::path(root / name).parent_path());
    fixtures::write_file(root / name, mp3_titled(name));
  }
  fs::create_directory_symlink("..", root / "sub/loop");
  fs::create_symlink("b.mp3", root / "link.mp3");
  const std::string r = root.path().string() + "/";

  EXPECT_EQ(first_fields(run_native({"--format", "tsv", "-p", "T", root.path().string()}).out),
            (std::vector<std::string>{r + "Z.mp3", r + "a.MP3", r + "b.mp3", r + "link.mp3"}));
  // A file named on the command line is read whatever its name.
  const RunResult result = run_native({"--format", "tsv", "-p", "T", "-r", r, root / "c.txt"});
  EXPECT_EQ(result.code, 0) << result.err;
  EXPECT_EQ(first_fields(result.out),
            (std::vector<std::string>{r + "Z.mp3", r + "a.MP3", r + "b.mp3", r + "link.mp3",
                                      r + "m.mp3/inner.mp3", r + "sub/deeper/y.mp3",
                                      r + "sub/x.mp3", r + "c.txt"}));
  EXPECT_NE(result.out.find(r + "sub/x.mp3\tsub/x.mp3\n"), std::string::npos) << result.out;
}

TEST(NativeTunlex, TsvHoldsWhatTheListingShows) {
  TempFolder root;
  fixtures::write_file(root / "a.mp3", mp3_titled("Title", 7, 5));
  const RunResult text = run_native({root / "a.mp3"});
  const RunResult tsv = run_native({"--format", "tsv", root / "a.mp3"});
  ASSERT_EQ(text.code, 0);
  ASSERT_EQ(tsv.code, 0);
  // "  P  artist    Artist" -> "Artist"; the path line stays whole.
  std::string expected;
  std::istringstream lines(text.out);
  for (std::string line; std::getline(lines, line);) {
    expected +=
        expected.empty() ? line : "\t" + line.substr(std::string_view("  P  artist    ").size());
  }
  EXPECT_EQ(tsv.out, expected + "\n");
  EXPECT_NE(tsv.out.find("\tTitle\t"), std::string::npos);
}

TEST(NativeTunlex, JsonConvertsShiftJisTitlesAndKeepsStrayBytes) {
  TempFolder root;
  // テスト and a byte that is no Shift-JIS.
  fixtures::write_file(root / "a.mp3", mp3_titled("\x83\x65\x83\x58\x83\x67\x80"));
  const RunResult result = run_native({"--format", "json", "-p", "T", root / "a.mp3"});
  EXPECT_EQ(result.out, "{\"path\":\"" + (root / "a.mp3") +
                            "\",\"answer\":\"\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88\\udc80\"}\n");
}

TEST(NativeTunlex, ReportsAFileThatCannotBeReadAndGoesOn) {
  TempFolder root;
  fixtures::write_file(root / "a.mp3", mp3_titled("A"));
  fixtures::write_file(root / "b.mp3", mp3_titled("B"));
  const RunResult result =
      run_native({"-p", "T", root / "a.mp3", root / "none.mp3", root / "b.mp3"});
  EXPECT_EQ(result.code, 1);
  EXPECT_EQ(result.out, "A\nB\n");
  EXPECT_EQ(result.err, "tunlex: cannot read '" + (root / "none.mp3") + "'\n");
}

TEST(NativeTunlex, ReadsOnFourThreadsWhatOneThreadReadsInTheSameOrder) {
  TempFolder root;
  for (int i = 0; i < 50; ++i) {
    const std::string name = (i < 10 ? "song0" : "song") + std::to_string(i) + ".mp3";
    fixtures::write_file(root / name,
                         mp3_titled("Song " + std::to_string(i), static_cast<std::uint8_t>(i + 1),
                                    static_cast<std::uint8_t>(1 + i % 14)));
  }
  for (const char* format : {"text", "json"}) {
    const std::vector<std::string> args = {"--format", format, root.path().string(),
                                           root / "none.mp3", root / "song07.mp3"};
    auto parallel_args = args;
    parallel_args.insert(parallel_args.begin(), {"-j", "4"});
    const RunResult one = run_native(args);
    const RunResult four = run_native(parallel_args);
    EXPECT_EQ(one.code, 1);
    EXPECT_EQ(four.code, 1);
    EXPECT_EQ(four.out, one.out) << format;
    EXPECT_EQ(four.err, one.err) << format;
    EXPECT_NE(one.out.find("Song 49"), std::string::npos);
    EXPECT_LT(one.out.find("Song 48"), one.out.find("Song 49"));
  }
  const RunResult json = run_native({"--format", "json", "-j", "4", root.path().string()});
  EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 50);
}

TEST(NativeTunlex, OpensEachFileOnce) {
  fileio::MemoryFileSystem files;
  files.add("m/a.mp3", mp3_titled("A"));
  files.add("m/b.mp3", mp3_titled("B"));
  const auto backend = MakeNativeBackend(files);
  Options options;
  options.files = {"m/a.mp3", "m/none.mp3", "m/b.mp3"};
  const RunResult result = run(*backend, options);
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.out.find("  T  title     B\n"), std::string::npos) << result.out;
  EXPECT_EQ(files.opens(), 3);
}

#endif  // _WIN32

}  // namespace
}  // namespace host
