#include "mp3info/id3v1.h"

#include <gtest/gtest.h>

#include <string>

#include "fileio/memory_file_system.h"
#include "support/mp3_builder.h"

namespace mp3info {
namespace {

using fixtures::id3v1_tag;
using namespace std::string_literals;

// Audio-like bytes before the tag, so that nothing is found by reading from the start.
const std::string kAudio(600, '\xAA');

TMp3FileInfo read_id3v1(const std::string& file_bytes, std::int32_t track_option = 0,
                        TMp3FileInfo info = {}) {
  fileio::MemoryFileSystem files;
  files.add("a.mp3", file_bytes);
  const auto file = files.open_exclusive_read("a.mp3");
  settings::TMp3Settings settings;
  settings.TrackOption = track_option;
  ReadId3v1Tag(*file, settings, info);
  return info;
}

// A tag whose comment field (30 bytes, the track byte last) is given byte for byte.
std::string tag_with_comment(const std::string& comment30) {
  std::string tag = id3v1_tag({.title = "T", .comment = "", .genre = 0});
  tag.replace(97, 30, comment30);
  return tag;
}

TEST(Id3v1Tag, ReadsTheSixTextsFromTheLast128Bytes) {
  const std::string file = kAudio + id3v1_tag({.title = "Title",
                                               .artist = "Artist",
                                               .album = "Album",
                                               .year = "2003",
                                               .comment = "comment",
                                               .track = 12,
                                               .genre = 17});
  TMp3FileInfo expected;
  expected.Title = "Title";
  expected.Artist = "Artist";
  expected.Album = "Album";
  expected.Year = "2003";
  expected.Track = "12";
  expected.Genre = "Rock";
  EXPECT_EQ(read_id3v1(file), expected);  // the comment is not delivered; indexes stay -1
}

TEST(Id3v1Tag, ExactlyTheTagIsAFile) {
  EXPECT_EQ(read_id3v1(id3v1_tag({.title = "Only"})).Title, "Only");
}

TEST(Id3v1Tag, TextEndsAtItsFirstZeroAndLosesTrailingBytesUpToBlank) {
  struct Case {
    const char* what;
    std::string field;  // the 30 title bytes
    std::string expected;
  } const cases[] = {
      {"blanks after", "Word" + std::string(26, ' '), "Word"},
      {"zeros after", "Word" + std::string(26, '\0'), "Word"},
      {"all blanks", std::string(30, ' '), ""},
      {"control bytes after", "Word\t\r\n\x01\x1F" + std::string(21, ' '), "Word"},
      {"leading blanks stay", "  Word" + std::string(24, '\0'), "  Word"},
      {"inner zero ends it", "Wo\0rd"s + std::string(25, ' '), "Wo"},
      {"blank before the zero trimmed", "Word  \0tail"s + std::string(19, ' '), "Word"},
      {"full field", std::string(30, 'x'), std::string(30, 'x')},
      {"high bytes are not blanks", "Word\xA0\x81\x40" + std::string(23, '\0'), "Word\xA0\x81\x40"},
  };
  for (const Case& c : cases) {
    std::string tag = id3v1_tag({});
    tag.replace(3, 30, c.field);
    EXPECT_EQ(read_id3v1(kAudio + tag).Title, c.expected) << c.what;
  }
}

TEST(Id3v1Tag, ArtistAlbumAndYearAreTrimmedLikeTheTitle) {
  const TMp3FileInfo info =
      read_id3v1(kAudio + id3v1_tag({.artist = "Band \x01", .album = "Al\0bum"s, .year = "  03"}));
  EXPECT_EQ(info.Artist, "Band");
  EXPECT_EQ(info.Album, "Al");
  EXPECT_EQ(info.Year, "  03");
  EXPECT_EQ(read_id3v1(kAudio + id3v1_tag({.year = "19 \t"})).Year, "19");
}

TEST(Id3v1Tag, GenreByteNamesTheGenre) {
  struct Case {
    std::uint8_t genre;
    const char* expected;
  } const cases[] = {
      {0, "Blues"},      {17, "Rock"}, {42, "Ska"}, {99, "Acoustic "},
      {147, "SynthPop"}, {148, ""},    {200, ""},   {255, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(read_id3v1(kAudio + id3v1_tag({.genre = c.genre})).Genre, c.expected) << int{c.genre};
  }
}

TEST(Id3v1Tag, TrackByteCountsWhenTheCommentHasAZeroAmongItsFirst29Bytes) {
  struct Case {
    const char* what;
    std::string comment;  // 30 bytes, the last one is the track byte
    std::int32_t track_option;
    const char* expected;
  } const cases[] = {
      {"short comment", "abcd" + std::string(25, '\0') + "\x07", 0, "7"},
      {"padded with 0", "abcd" + std::string(25, '\0') + "\x07", 1, "07"},
      {"padded with blank", "abcd" + std::string(25, '\0') + "\x07", 2, " 7"},
      {"two digits never padded", "abcd" + std::string(25, '\0') + "\x0C", 1, "12"},
      {"three digits", "abcd" + std::string(25, '\0') + "\xC8", 0, "200"},
      {"largest", "abcd" + std::string(25, '\0') + "\xFF", 0, "255"},
      {"track 0 is no track", "abcd" + std::string(25, '\0') + "\x00"s, 1, ""},
      {"zero at byte 28", std::string(28, 'c') + "\0\x05"s, 0, "5"},
      {"empty comment", std::string(29, '\0') + "\x09", 0, "9"},
      {"bytes after the first zero do not matter", "abc\0def\0\0\0k"s + std::string(18, 'z') + "A",
       0, "65"},
      {"29 bytes of comment", std::string(29, 'c') + "\x05", 1, ""},
      {"30 bytes of comment", std::string(30, 'c'), 0, ""},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.comment.size(), 30u) << c.what;
    EXPECT_EQ(read_id3v1(kAudio + tag_with_comment(c.comment), c.track_option).Track, c.expected)
        << c.what;
  }
}

TEST(Id3v1Tag, WithoutTagChangesNothing) {
  TMp3FileInfo earlier;
  earlier.Title = "kept";
  earlier.Track = "kept";
  earlier.Genre = "kept";
  const std::string tag = id3v1_tag({.title = "Title", .track = 3, .genre = 1});
  struct Case {
    const char* what;
    std::string file;
  } const cases[] = {
      {"empty file", ""},
      {"no tag", kAudio},
      {"shorter than a tag", tag.substr(0, 127)},
      {"marker in lower case", kAudio + "tag" + tag.substr(3)},
      {"tag one byte too early", kAudio + tag + "\0"s},
      {"tag lost its first byte", kAudio + tag.substr(1)},
  };
  for (const Case& c : cases) EXPECT_EQ(read_id3v1(c.file, 0, earlier), earlier) << c.what;
}

}  // namespace
}  // namespace mp3info
