#include <gtest/gtest.h>

#include <string>

#include "fileio/memory_file_system.h"
#include "mp3info/evaluate.h"
#include "support/mp3_builder.h"

namespace mp3info {
namespace {

using fixtures::id3v1_tag;
using fixtures::Id3v2Builder;
using fixtures::Mp3FileBuilder;
using fixtures::MpegFrameBuilder;
using fixtures::XingFields;
using namespace std::string_literals;

constexpr const char* kPath = "C:\\Music\\a.mp3";

TMp3FileInfo read_mp3(const std::string& bytes, const settings::TMp3Settings& settings = {}) {
  fileio::MemoryFileSystem files;
  files.add(kPath, bytes);
  TMp3FileInfo info;
  EXPECT_TRUE(ReadMp3File(kPath, settings, info, files));
  return info;
}

const std::string kId3v1 =
    id3v1_tag({.title = "v1 title", .artist = "v1 artist", .track = 3, .genre = 17});

TEST(ReadMp3File, FileLedById3v2NeverReadsItsId3v1Tag) {
  struct Case {
    const char* what;
    std::string id3v2;
    const char* title;
  } const cases[] = {
      {"tag with a title", Id3v2Builder(3).text_frame("TIT2", "v2 title").build(), "v2 title"},
      {"tag without usable frames", Id3v2Builder(3).text_frame("TIT2", "v2", 1).padding(32).build(),
       ""},
      {"empty tag", Id3v2Builder(3).build(), ""},
  };
  for (const Case& c : cases) {
    const TMp3FileInfo info = read_mp3(
        Mp3FileBuilder().id3v2(c.id3v2).frame(MpegFrameBuilder(), 4).id3v1(kId3v1).build());
    EXPECT_EQ(info.Title, c.title) << c.what;
    EXPECT_EQ(info.Artist, "") << c.what;
    EXPECT_EQ(info.Track, "") << c.what;
    EXPECT_EQ(info.Genre, "") << c.what;
    EXPECT_EQ(info.BitrateIndex, 9) << c.what;
  }
}

TEST(ReadMp3File, FileWithoutId3v2ReadsId3v1AndTheHeaderAtItsFirstByte) {
  const TMp3FileInfo info =
      read_mp3(Mp3FileBuilder().frame(MpegFrameBuilder(), 4).id3v1(kId3v1).build());
  EXPECT_EQ(info.Title, "v1 title");
  EXPECT_EQ(info.Track, "3");
  EXPECT_EQ(info.Genre, "Rock");
  EXPECT_EQ(info.BitrateIndex, 9);
  EXPECT_EQ(info.ChannelMode, 1);

  // The marker is case-sensitive: "id3" leads no ID3v2 tag.
  const TMp3FileInfo lower = read_mp3("id3\x03\0\0\0\0\0\0"s + kId3v1);
  EXPECT_EQ(lower.Title, "v1 title");
}

TEST(ReadMp3File, FilesTooShortForAnythingGiveAnEmptyRecord) {
  // 127 bytes: one short of an ID3v1 tag, however it begins.
  for (const std::string& bytes : {""s, "I"s, "ID"s, "ID3"s, "\xFF\xFB\x90"s,
                                   "TAG"s + std::string(124, 'x'), std::string(127, '\xFF')}) {
    EXPECT_EQ(read_mp3(bytes), TMp3FileInfo{}) << bytes.size() << " bytes: '" << bytes << "'";
  }
}

TEST(ReadMp3File, FrameHeaderNotRightAfterTheTagGivesTextsButNoAudio) {
  const Id3v2Builder tag = Id3v2Builder(3).text_frame("TIT2", "Title").padding(64);
  struct Case {
    const char* what;
    std::string file;
  } const cases[] = {
      {"junk byte before the frame",
       Mp3FileBuilder().id3v2(tag.build()).audio("\0"s).frame(MpegFrameBuilder(), 4).build()},
      {"tag claims 4 bytes less",
       Mp3FileBuilder()
           .id3v2(Id3v2Builder(tag)
                      .size_override(static_cast<std::uint32_t>(tag.body_size() - 4))
                      .build())
           .frame(MpegFrameBuilder(), 4)
           .build()},
      {"tag claims 4 bytes more",
       Mp3FileBuilder()
           .id3v2(Id3v2Builder(tag)
                      .size_override(static_cast<std::uint32_t>(tag.body_size() + 4))
                      .build())
           .frame(MpegFrameBuilder(), 4)
           .build()},
  };
  for (const Case& c : cases) {
    const TMp3FileInfo info = read_mp3(c.file);
    EXPECT_EQ(info.Title, "Title") << c.what;
    EXPECT_EQ(info.BitrateIndex, -1) << c.what;
    EXPECT_EQ(info.SamplingIndex, -1) << c.what;
    EXPECT_EQ(info.VbrFlag, -1) << c.what;
    EXPECT_EQ(info.ChannelMode, -1) << c.what;
    EXPECT_EQ(info.PlayTime, "") << c.what;
  }
}

TEST(ReadMp3File, CbrPlayingTimeCountsBothTags) {
  // 160,000 bytes at 128 kbps are 10 seconds; without either tag the file is shorter.
  const std::string audio = Mp3FileBuilder().frame(MpegFrameBuilder(), 10).build();
  const Id3v2Builder small = Id3v2Builder(3).text_frame("TIT2", "Title");
  const std::size_t padding = 160'000 - 10 - small.body_size() - audio.size() - kId3v1.size();
  const std::string file = Mp3FileBuilder()
                               .id3v2(Id3v2Builder(small).padding(padding).build())
                               .audio(audio)
                               .id3v1(kId3v1)
                               .build();
  ASSERT_EQ(file.size(), 160'000u);
  settings::TMp3Settings settings;
  settings.TimeFormat = 1;
  settings.TimeSeparator = ":";
  EXPECT_EQ(read_mp3(file, settings).PlayTime, "00:10");
}

TEST(ReadMp3File, TrackAndPlayTimeFollowTheSettingsInForce) {
  // 10000 frames at 44.1 kHz: 261 seconds.
  const MpegFrameBuilder vbr =
      MpegFrameBuilder().xing({.tag = "Xing", .flags = 1, .frames = 10000});
  const std::string id3v2_file =
      Mp3FileBuilder().id3v2(Id3v2Builder(3).text_frame("TRCK", "5").build()).frame(vbr).build();
  const std::string id3v1_file = Mp3FileBuilder().frame(vbr).id3v1(id3v1_tag({.track = 5})).build();
  struct Case {
    std::int32_t track_option;
    std::int32_t time_format;
    const char* separator;
    const char* track;
    const char* play_time;
  } const cases[] = {
      {0, 0, ":", "5", "261"},
      {1, 1, ":", "05", "04:21"},
      {2, 2, "'", " 5", " 4'21"},
      {2, 3, "", " 5", "421"},
  };
  for (const Case& c : cases) {
    settings::TMp3Settings settings;
    settings.TrackOption = c.track_option;
    settings.TimeFormat = c.time_format;
    settings.TimeSeparator = c.separator;
    for (const std::string* file : {&id3v2_file, &id3v1_file}) {
      const TMp3FileInfo info = read_mp3(*file, settings);
      EXPECT_EQ(info.Track, c.track) << c.track_option << (file == &id3v1_file ? " v1" : " v2");
      EXPECT_EQ(info.PlayTime, c.play_time) << c.time_format;
    }
  }
}

TEST(ReadMp3File, AcceptedHeaderWithoutPlayingTimeLeavesPlayTimeEmpty) {
  struct Case {
    const char* what;
    MpegFrameBuilder frame;
    std::int32_t vbr_flag;
  } const cases[] = {
      {"free format", MpegFrameBuilder().bitrate_index(0), 0},
      {"forbidden bitrate", MpegFrameBuilder().bitrate_index(15), 0},
      {"Xing without frame count", MpegFrameBuilder().xing({.tag = "Xing", .flags = 0x0E}), 1},
      {"Xing at the reserved rate", MpegFrameBuilder().sampling_index(3).xing(), 1},
  };
  settings::TMp3Settings settings;
  settings.TimeFormat = 1;
  settings.TimeSeparator = ":";
  for (const Case& c : cases) {
    const TMp3FileInfo info =
        read_mp3(Mp3FileBuilder().frame(c.frame).audio(std::string(4000, '\0')).build(), settings);
    EXPECT_EQ(info.PlayTime, "") << c.what;
    EXPECT_EQ(info.VbrFlag, c.vbr_flag) << c.what;
    EXPECT_NE(info.BitrateIndex, -1) << c.what;
    EXPECT_NE(info.SamplingIndex, -1) << c.what;
  }
}

}  // namespace
}  // namespace mp3info
