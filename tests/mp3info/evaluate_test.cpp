#include "mp3info/evaluate.h"

#include <gtest/gtest.h>

#include "fileio/memory_file_system.h"

namespace mp3info {
namespace {

using settings::TMp3Settings;

constexpr const char* kFolder = "C:\\Music";
constexpr const char* kPath = "C:\\Music\\a.mp3";

class EvaluateMacroTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_.DefaultItems = {{"", 1}, {" - ", 0}, {"", 2}};
    settings_.ChannelLabels = {"Stereo", "JointStereo", "DualChannel", "SingleChannel"};
    files_.add(kPath, std::string(1000, '\0'));
  }

  const char* evaluate(const char* parameter, std::int32_t read_flag, bool skip = false,
                       const char* file_name = "a.mp3") {
    MacroRequest request;
    request.Parameter = parameter;
    request.Folder = kFolder;
    request.FileName = file_name;
    request.SkipFlag = skip;
    request.ReadFlag = read_flag;
    return EvaluateMacro(request, settings_, info_, result_, files_);
  }

  // A record as a read of some earlier file left it.
  void remember_earlier_file() {
    info_ = TMp3FileInfo{};
    info_.Artist = "Earlier";
    info_.ChannelMode = 1;
  }

  TMp3Settings settings_;
  TMp3FileInfo info_;
  std::string result_;
  fileio::MemoryFileSystem files_;
};

TEST_F(EvaluateMacroTest, SkipAnswersEmptyAndTouchesNothing) {
  remember_earlier_file();
  result_ = "previous answer";
  EXPECT_EQ(evaluate("P", 1, /*skip=*/true), kStaticEmptyText);
  EXPECT_EQ(files_.opens(), 0);
  EXPECT_EQ(result_, "previous answer");
  EXPECT_STREQ(evaluate("P", 0), "Earlier");  // the record was not reset
}

TEST_F(EvaluateMacroTest, OnlyReadFlagOneOpensTheFile) {
  for (const std::int32_t flag : {0, 2, -1, 256}) {
    remember_earlier_file();
    EXPECT_STREQ(evaluate("C", flag), "JointStereo") << "ReadFlag " << flag;
  }
  EXPECT_EQ(files_.opens(), 0);

  evaluate("C", 1);
  EXPECT_EQ(files_.opens(), 1);
  EXPECT_EQ(files_.open_files(), 0);  // closed before answering
}

TEST_F(EvaluateMacroTest, AnswersFromTheRecordAfterTheFileIsGone) {
  evaluate("P", 1);
  const TMp3FileInfo after_read = info_;
  files_.remove(kPath);
  evaluate("P", 0);
  EXPECT_EQ(info_, after_read);
  EXPECT_EQ(files_.opens(), 1);
}

TEST_F(EvaluateMacroTest, ReadResetsTheRecordBeforeOpening) {
  remember_earlier_file();
  evaluate("P", 1);
  EXPECT_EQ(info_, TMp3FileInfo{});  // a file without tag or header: every item empty
  EXPECT_EQ(info_.BitrateIndex, -1);
}

TEST_F(EvaluateMacroTest, FailedOpenAnswersEmptyAndLeavesTheRecordReset) {
  for (const bool held : {false, true}) {
    remember_earlier_file();
    result_ = "previous answer";
    files_.set_held(kPath, held);
    const char* file_name = held ? "a.mp3" : "missing.mp3";
    EXPECT_EQ(evaluate("P", 1, false, file_name), kStaticEmptyText);
    EXPECT_EQ(result_, "previous answer") << "held " << held;
    EXPECT_EQ(info_, TMp3FileInfo{});
    EXPECT_EQ(evaluate("P", 0), kStaticEmptyText);
    files_.set_held(kPath, false);
  }
}

TEST_F(EvaluateMacroTest, CompositionOfAFileWithoutTagsKeepsItsLiterals) {
  EXPECT_STREQ(evaluate("", 1), " - ");
  EXPECT_EQ(result_, " - ");
}

TEST_F(EvaluateMacroTest, EmptyAnswersReturnTheStaticEmptyText) {
  remember_earlier_file();
  settings_.DefaultItems.clear();
  EXPECT_EQ(evaluate("", 0), kStaticEmptyText);
  EXPECT_EQ(evaluate("Z", 0), kStaticEmptyText);
  EXPECT_EQ(evaluate("B", 0), kStaticEmptyText);  // no header: no label, not a stale answer
  EXPECT_EQ(result_, "");
}

TEST_F(EvaluateMacroTest, ReturnsTheResultTextItself) {
  remember_earlier_file();
  const char* answer = evaluate("P", 0);
  EXPECT_EQ(answer, result_.c_str());
  EXPECT_STREQ(answer, "Earlier");
}

}  // namespace
}  // namespace mp3info
