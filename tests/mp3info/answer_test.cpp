#include "mp3info/answer.h"

#include <gtest/gtest.h>

namespace mp3info {
namespace {

using settings::TDefaultItem;
using settings::TMp3Settings;

TMp3Settings labelled_settings() {
  TMp3Settings s;
  for (std::size_t i = 0; i < s.BitrateLabels.size(); ++i)
    s.BitrateLabels[i] = "b" + std::to_string(i);
  s.SamplingLabels = {"44100", "48000", "32000", "res"};
  s.VbrLabels = {"cbr", "(VBR)"};
  s.ChannelLabels = {"Stereo", "JointStereo", "DualChannel", "SingleChannel"};
  return s;
}

TMp3FileInfo full_record() {
  TMp3FileInfo info;
  info.Artist = "Artist";
  info.Title = "Title";
  info.Album = "Album";
  info.Track = "05";
  info.Year = "1999";
  info.Genre = "Rock";
  info.PlayTime = "4'06";
  info.BitrateIndex = 9;
  info.SamplingIndex = 0;
  info.VbrFlag = 1;
  info.ChannelMode = 1;
  return info;
}

std::string answer_for(std::string_view parameter, const TMp3Settings& s,
                       const TMp3FileInfo& info) {
  std::string answer = "stale";
  AssembleAnswer(parameter, s, info, answer);
  return answer;
}

TEST(AssembleAnswer, OneLetterSelectsOneItem) {
  const TMp3Settings s = labelled_settings();
  const TMp3FileInfo info = full_record();
  struct Case {
    const char* parameter;
    const char* expected;
  } const cases[] = {
      {"P", "Artist"},
      {"T", "Title"},
      {"A", "Album"},
      {"N", "05"},
      {"Y", "1999"},
      {"G", "Rock"},
      {"S", "4'06"},
      {"B", "b9"},
      {"F", "44100"},
      {"V", "(VBR)"},
      {"C", "JointStereo"},
      // Anything else selects nothing.
      {"b", ""},
      {"p", ""},
      {"Z", ""},
      {"0", ""},
      {"BB", ""},
      {"\x82\x60", ""},
      {"\xB1", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(answer_for(c.parameter, s, info), c.expected) << "parameter '" << c.parameter << "'";
  }
}

TEST(AssembleAnswer, LabelsOfAMissingHeaderAreEmpty) {
  const TMp3Settings s = labelled_settings();
  TMp3FileInfo info = full_record();
  info.BitrateIndex = info.SamplingIndex = info.VbrFlag = info.ChannelMode = -1;
  for (const char* letter : {"B", "F", "V", "C"}) EXPECT_EQ(answer_for(letter, s, info), "");
}

TEST(AssembleAnswer, DefaultCompositionJoinsItemsAndLiterals) {
  TMp3Settings s = labelled_settings();
  s.DefaultItems = {{"", 1}, {" - ", 0}, {"", 2}, {"", 1}, {" [", 0}, {"", 8}, {"", 10}, {"]", 0}};
  EXPECT_EQ(answer_for("", s, full_record()), "Artist - TitleArtist [b9(VBR)]");

  TMp3FileInfo empty;
  EXPECT_EQ(answer_for("", s, empty), " -  []");
}

TEST(AssembleAnswer, CodesOutsideTheTableAddNothing) {
  TMp3Settings s = labelled_settings();
  s.DefaultItems = {{"<", 0}, {"ignored", 12}, {"", -1}, {"", 99}, {">", 0}};
  EXPECT_EQ(answer_for("", s, full_record()), "<>");
}

TEST(AssembleAnswer, EmptyCompositionAnswersEmpty) {
  EXPECT_EQ(answer_for("", labelled_settings(), full_record()), "");
}

TEST(FieldCodeOfLetter, FollowsTheLetterOrder) {
  EXPECT_EQ(FieldCodeOfLetter('P'), 1);
  EXPECT_EQ(FieldCodeOfLetter('S'), 7);
  EXPECT_EQ(FieldCodeOfLetter('C'), 11);
  EXPECT_EQ(FieldCodeOfLetter('c'), std::nullopt);
  EXPECT_EQ(FieldCodeOfLetter('\0'), std::nullopt);
}

}  // namespace
}  // namespace mp3info
