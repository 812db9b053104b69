#include "mp3info/id3v2.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "fileio/memory_file_system.h"
#include "support/mp3_builder.h"

namespace mp3info {
namespace {

using fixtures::be32;
using fixtures::Id3v2Builder;
using namespace std::string_literals;

struct TagRead {
  TMp3FileInfo info;
  std::uint64_t audio_offset = 0;
};

TagRead read_id3v2(const std::string& file_bytes, std::int32_t track_option = 0,
                   std::size_t window_size = kId3v2WindowSize) {
  fileio::MemoryFileSystem files;
  files.add("a.mp3", file_bytes);
  const auto file = files.open_exclusive_read("a.mp3");
  settings::TMp3Settings settings;
  settings.TrackOption = track_option;
  TagRead read;
  read.audio_offset = ReadId3v2Tag(*file, settings, read.info, window_size);
  return read;
}

// One frame as the scan reads it: id, plain big-endian size, two flag bytes, then `body`
// (encoding byte and text).
std::string frame_bytes(std::string_view id, std::string_view body) {
  return std::string(id) + be32(static_cast<std::uint32_t>(body.size())) + "\0\0"s +
         std::string(body);
}

// A TALB frame that shows whether the scan ever stood on its first byte.
const std::string kHiddenAlbum = frame_bytes("TALB", "\0Hidden"s);

TEST(Id3v2Header, AudioOffsetIsBodySizePlusTenWithSizeBytesTakenWhole) {
  struct Case {
    std::string size_bytes;
    std::uint64_t audio_offset;
  } const cases[] = {
      {"\x00\x00\x00\x00"s, 10},          {"\x00\x00\x02\x01"s, 267},
      {"\x00\x00\x00\x81"s, 139},  // 0x81 counts whole, not as 1
      {"\x00\x00\x01\x80"s, 266},         {"\x7F\x7F\x7F\x7F"s, 268'435'465},
      {"\xFF\xFF\xFF\xFF"s, 538'984'585},  // over 2^29: the file is far shorter
  };
  for (const Case& c : cases) {
    const std::string file = "ID3\x03\x00\x00"s + c.size_bytes + std::string(300, '\0');
    const TagRead read = read_id3v2(file);
    EXPECT_EQ(read.audio_offset, c.audio_offset);
    EXPECT_EQ(read.info, TMp3FileInfo{}) << c.audio_offset;
  }
}

TEST(Id3v2Header, MarkerAloneGivesOffsetTenAndNoTexts) {
  const TagRead read = read_id3v2("ID3");
  EXPECT_EQ(read.audio_offset, 10u);
  EXPECT_EQ(read.info, TMp3FileInfo{});
}

TEST(Id3v2Frames, ReadsTheSixTextFramesWithEncodingZero) {
  const std::string tag = Id3v2Builder(3)
                              .text_frame("TIT2", "\x8a\x43\x82\xcc\x95\x5c")  // Shift-JIS
                              .text_frame("TPE1", "Artist")
                              .text_frame("TALB", "Album")
                              .text_frame("TYER", "2003")
                              .text_frame("TRCK", "5")
                              .text_frame("TCON", "(17)")
                              .padding(64)
                              .build();
  const TagRead read = read_id3v2(tag + "\xFF\xFB\x90\x64");
  TMp3FileInfo expected;
  expected.Title = "\x8a\x43\x82\xcc\x95\x5c";
  expected.Artist = "Artist";
  expected.Album = "Album";
  expected.Year = "2003";
  expected.Track = "5";
  expected.Genre = "Rock";
  EXPECT_EQ(read.info, expected);
  EXPECT_EQ(read.audio_offset, tag.size());
}

TEST(Id3v2Frames, TextEndsAtItsFirstZeroAndIsNotTrimmed) {
  struct Case {
    std::string body;  // encoding byte and text
    std::string title;
  } const cases[] = {
      {"\0Hello"s, "Hello"}, {"\0Hello\0"s, "Hello"},       {"\0He\0llo"s, "He"},
      {"\0\0Hello"s, ""},    {"\0  Hello  "s, "  Hello  "}, {"\0Tab\t"s, "Tab\t"},
  };
  for (const Case& c : cases) {
    const std::string tag = Id3v2Builder(3).frame("TIT2", c.body).padding(8).build();
    EXPECT_EQ(read_id3v2(tag).info.Title, c.title);
  }
}

TEST(Id3v2Frames, FrameWithNonZeroEncodingIsPassedOver) {
  for (const int encoding : {1, 2, 3, 0x80}) {
    const auto enc = static_cast<std::uint8_t>(encoding);
    const std::string alone = Id3v2Builder(3).text_frame("TPE1", "Artist", enc).build();
    EXPECT_EQ(read_id3v2(alone).info.Artist, "") << encoding;
    const std::string after_usable = Id3v2Builder(3)
                                         .text_frame("TPE1", "First")
                                         .text_frame("TPE1", "Second", enc)
                                         .text_frame("TIT2", "Title")
                                         .build();
    const TagRead read = read_id3v2(after_usable);
    EXPECT_EQ(read.info.Artist, "First") << encoding;
    EXPECT_EQ(read.info.Title, "Title") << encoding;  // the scan went on after it
  }
}

TEST(Id3v2Frames, LaterFrameReplacesEarlier) {
  EXPECT_EQ(
      read_id3v2(Id3v2Builder(3).text_frame("TALB", "First").text_frame("TALB", "Second").build())
          .info.Album,
      "Second");
  EXPECT_EQ(read_id3v2(Id3v2Builder(3).text_frame("TALB", "First").text_frame("TALB", "").build())
                .info.Album,
            "");
}

TEST(Id3v2Frames, TrackIsCutAtItsZeroThenPadded) {
  struct Case {
    std::string body;
    std::int32_t track_option;
    const char* expected;
  } const cases[] = {
      {"\0005\0"s, 0, "5"},       {"\0005\0"s, 1, "05"}, {"\0005\0"s, 2, " 5"},
      {"\0005"s, 1, "05"},        {"\0000\0"s, 1, "00"}, {"\0000\0"s, 2, " 0"},
      {"\0005/12\0"s, 1, "5/12"}, {"\00012"s, 1, "12"},  {"\0\0"s, 1, ""},
  };
  for (const Case& c : cases) {
    const std::string tag = Id3v2Builder(3).frame("TRCK", c.body).build();
    EXPECT_EQ(read_id3v2(tag, c.track_option).info.Track, c.expected)
        << "option " << c.track_option;
  }
}

TEST(Id3v2Frames, GenreIsCutAtItsZeroTrimmedThenResolved) {
  struct Case {
    std::string text;
    const char* expected;
  } const cases[] = {
      {"(17)", "Rock"},        {"(17)Rock & Roll", "Rock & Roll"},
      {"((17)", "(17)"},       {"17", "17"},
      {"(200)", ""},           {"(17)(24)", "(24)"},
      {"Rock  \t", "Rock"},    {"(17)  ", "Rock"},  // trimmed before resolving
      {"(17)\0(24)"s, "Rock"},                      // cut before resolving
      {"(99)", "Acoustic "},                        // the name itself is not trimmed
      {"  Pop", "  Pop"},
  };
  for (const Case& c : cases) {
    const std::string tag = Id3v2Builder(3).text_frame("TCON", c.text).build();
    EXPECT_EQ(read_id3v2(tag).info.Genre, c.expected) << c.text;
  }
}

TEST(Id3v2Frames, OtherFramesGiveNothing) {
  const std::string v4 = Id3v2Builder(4)
                             .text_frame("TDRC", "2010")
                             .text_frame("TXXX", "Title")
                             .text_frame("tit2", "Title")
                             .text_frame("TIT1", "Title")
                             .build();
  EXPECT_EQ(read_id3v2(v4).info, TMp3FileInfo{});

  // 3-byte ids and 6-byte frame headers are scanned with the 10-byte layout too.
  const std::string v2 = Id3v2Builder(2)
                             .text_frame("TT2", "Title")
                             .text_frame("TP1", "Artist")
                             .text_frame("TYE", "2003")
                             .padding(32)
                             .build();
  const TagRead read = read_id3v2(v2);
  EXPECT_EQ(read.info, TMp3FileInfo{});
  EXPECT_EQ(read.audio_offset, v2.size());
}

TEST(Id3v2Frames, Version4FrameSizeIsReadAsPlainBigEndian) {
  // Encoding byte, 199 letters and a zero: 201 bytes, written synchsafe as 00 00 01 49 and read
  // plainly as 329. The text still ends at its zero, but the scan goes on 339 bytes after the
  // frame start, past the TPE1 frame.
  const std::string title(199, 'a');
  const std::string artist = frame_bytes("TPE1", "\0Missed"s);
  const Id3v2Builder partial = Id3v2Builder(4).text_frame("TIT2", title).raw(artist);
  ASSERT_EQ(partial.body_size(), 211u + artist.size());
  const std::string tag = Id3v2Builder(partial)
                              .padding(339 - partial.body_size())
                              .text_frame("TALB", "Reached")
                              .build();
  const TagRead read = read_id3v2(tag);
  EXPECT_EQ(read.info.Title, title);
  EXPECT_EQ(read.info.Artist, "");
  EXPECT_EQ(read.info.Album, "Reached");

  // Up to 127 bytes of body, synchsafe and plain sizes agree.
  const std::string small = Id3v2Builder(4).text_frame("TIT2", std::string(125, 'b')).build();
  EXPECT_EQ(read_id3v2(small).info.Title, std::string(125, 'b'));
}

// A frame of 64 bytes whose body starts with the encoding byte and hides a TALB frame: the
// scan finds the album only when it moves on one byte at a time instead of jumping over it.
// The 0xFF bytes read as negative sizes, so a scan that steps cannot jump over the album.
std::string frame_hiding_album(std::string_view id, std::uint32_t claimed_size,
                               std::uint8_t encoding) {
  std::string body(1, static_cast<char>(encoding));
  body += "\xFF\xFF\xFF\xFF" + kHiddenAlbum;
  body.resize(64, '\0');
  return std::string(id) + be32(claimed_size) + "\0\0"s + body;
}

TEST(Id3v2Scan, SizeTestComesFirst) {
  // The body is this frame and 16 bytes of padding.
  constexpr std::uint32_t kBodySize = 10 + 64 + 16;
  struct Case {
    const char* what;
    std::uint32_t claimed_size;
    const char* album;
  } const cases[] = {
      {"fits: jumped over", 64, ""},
      {"equal to the body: jumped over", kBodySize, ""},
      {"larger than the body: stepped", kBodySize + 1, "Hidden"},
      {"negative: stepped", 0x80000040, "Hidden"},
      {"all ones: stepped", 0xFFFFFFFF, "Hidden"},
  };
  for (const Case& c : cases) {
    const std::string tag =
        Id3v2Builder(3).raw(frame_hiding_album("TXXX", c.claimed_size, 1)).padding(16).build();
    ASSERT_EQ(tag.size(), 10 + kBodySize);
    EXPECT_EQ(read_id3v2(tag).info.Album, c.album) << c.what;
  }
}

TEST(Id3v2Scan, EncodingTestComesBeforeTheIdentifier) {
  struct Case {
    const char* what;
    std::string id;
    std::uint8_t encoding;
    const char* album;
  } const cases[] = {
      {"unknown frame", "TXXX", 0, ""},
      {"other encoding", "TXXX", 1, ""},
      {"zero id, other encoding: still jumped", "\0\0\0\0"s, 1, ""},
      {"blank first byte, other encoding: still jumped", " TIT", 3, ""},
      {"zero id, encoding 0: stepped", "\0\0\0\0"s, 0, "Hidden"},
      {"blank first byte: stepped", " TIT", 0, "Hidden"},
      {"blank fourth byte: stepped", "TIT ", 0, "Hidden"},
      {"control fourth byte: stepped", "TIT\x1F", 0, "Hidden"},
      {"inner blanks are allowed", "T  X", 0, ""},
      {"0x21 is not blank", "!XY!", 0, ""},
      {"high bytes are not blank", "\x80XY\xFF", 0, ""},
  };
  for (const Case& c : cases) {
    const std::string tag =
        Id3v2Builder(3).raw(frame_hiding_album(c.id, 64, c.encoding)).padding(16).build();
    EXPECT_EQ(read_id3v2(tag).info.Album, c.album) << c.what;
  }
}

TEST(Id3v2Scan, WalksThroughPaddingAndJunkToTheNextFrame) {
  const std::string tag = Id3v2Builder(3)
                              .text_frame("TIT2", "Before")
                              .padding(1000)
                              .raw("\x01\x02junk\xFF\xFF")
                              .text_frame("TPE1", "After")
                              .padding(1000)
                              .build();
  const TagRead read = read_id3v2(tag);
  EXPECT_EQ(read.info.Title, "Before");
  EXPECT_EQ(read.info.Artist, "After");
}

TEST(Id3v2Scan, FrameOfSizeZeroOrOneEmptiesItsItem) {
  struct Case {
    const char* what;
    std::string after;  // what follows the frame "TIT2" "First"
    const char* title;
    const char* album;
  } const cases[] = {
      {"size 0, padding next", frame_bytes("TIT2", "") + std::string(16, '\0'), "", ""},
      {"size 1", frame_bytes("TIT2", "\0"s) + std::string(16, '\0'), "", ""},
      // The encoding byte of a frame of size 0 is the next frame's first byte.
      {"size 0, frame next", frame_bytes("TIT2", "") + frame_bytes("TALB", "\0Album"s), "First",
       "Album"},
  };
  for (const Case& c : cases) {
    const std::string tag = Id3v2Builder(3).text_frame("TIT2", "First").raw(c.after).build();
    const TagRead read = read_id3v2(tag);
    EXPECT_EQ(read.info.Title, c.title) << c.what;
    EXPECT_EQ(read.info.Album, c.album) << c.what;
  }
}

// The bytes after a body end, as the scan must never see them: a frame's text, and the rest of
// a frame header with an encoding byte 0.
const std::string kAfterBody = "\0\0\0\x05\0\0\0Leak"s + std::string(20, 'L');

TEST(Id3v2Body, TextStopsAtTheBodyEnd) {
  // The frame's size fits the body, its text does not.
  const std::string tag = Id3v2Builder(3)
                              .padding(30)
                              .raw(frame_bytes("TIT2", "\0Inside"s).replace(4, 4, be32(20)))
                              .build();
  const TagRead read = read_id3v2(tag + "Leak" + kAfterBody);
  EXPECT_EQ(read.info.Title, "Inside");
  EXPECT_EQ(read.audio_offset, tag.size());
}

TEST(Id3v2Body, FrameWithoutItsEncodingByteEmptiesItsItem) {
  const std::string tag = Id3v2Builder(3)
                              .text_frame("TIT2", "First")
                              .padding(20)
                              .raw("TIT2" + be32(5) + "\0\0"s)
                              .build();
  EXPECT_EQ(read_id3v2(tag + "\0Leak"s).info.Title, "");
}

TEST(Id3v2Body, SizeFieldCutByTheBodyEndEndsTheScan) {
  for (std::size_t kept = 4; kept < 8; ++kept) {
    const std::string header = "TIT2" + be32(5) + "\0\0"s;
    const std::string tag =
        Id3v2Builder(3).text_frame("TIT2", "First").padding(20).raw(header.substr(0, kept)).build();
    const std::string file = tag + header.substr(kept) + "\0Leak"s + kAfterBody;
    EXPECT_EQ(read_id3v2(file).info.Title, "First") << kept << " bytes of the header";
  }
}

TEST(Id3v2Body, FileEndingInsideTheBodyKeepsWhatLiesInside) {
  const std::string tag = Id3v2Builder(3)
                              .text_frame("TIT2", "Complete")
                              .text_frame("TALB", "Cut short")
                              .text_frame("TPE1", "Never there")
                              .size_override(1000)
                              .build();
  const std::string file = tag.substr(0, tag.find("Cut") + 3);
  const TagRead read = read_id3v2(file);
  EXPECT_EQ(read.info.Title, "Complete");
  EXPECT_EQ(read.info.Album, "Cut");
  EXPECT_EQ(read.info.Artist, "");
  EXPECT_EQ(read.audio_offset, 1010u);
}

TEST(Id3v2ExtendedHeader, ScanStartsAfterIt) {
  // An extended header whose content ends with a TALB frame: a scan that starts before that
  // frame finds the album. The TIT2 frame right after the extended header is found only by a
  // scan that starts there.
  const std::string decoy = frame_bytes("TALB", "\0Decoy"s);
  auto content = [&](std::size_t size) { return std::string(size - decoy.size(), '\0') + decoy; };
  const std::string title = frame_bytes("TIT2", "\0After"s);
  struct Case {
    const char* what;
    std::uint8_t major_version;
    std::uint8_t flags;
    std::string body;
    const char* title;
    const char* album;
  } const cases[] = {
      {"v3: size excludes its 4 bytes", 3, 0x40, be32(6) + std::string(6, '\0') + title, "After",
       ""},
      {"v3 with content", 3, 0x40, be32(40) + content(40) + title, "After", ""},
      {"v4: synchsafe size includes its 4 bytes", 4, 0x40,
       fixtures::synchsafe32(44) + content(40) + title, "After", ""},
      {"v4: 00 00 01 00 is 128, not 256", 4, 0x40, "\0\0\x01\0"s + content(124) + title, "After",
       ""},
      {"v5 as v4", 5, 0x40, fixtures::synchsafe32(44) + content(40) + title, "After", ""},
      {"v3 without the flag has none", 3, 0xBF, title, "After", ""},
      {"v2 has none", 2, 0x40, title, "After", ""},
      {"v3 flag on a body that starts with a frame", 3, 0x40, title + std::string(16, '\0'), "",
       ""},
      {"start past the body", 3, 0x40, be32(1000) + title, "", ""},
      {"start at the body end", 4, 0x40,
       fixtures::synchsafe32(static_cast<std::uint32_t>(4 + title.size())) + title, "", ""},
  };
  for (const Case& c : cases) {
    const std::string tag = Id3v2Builder(c.major_version).flags(c.flags).raw(c.body).build();
    const TagRead read = read_id3v2(tag);
    EXPECT_EQ(read.info.Title, c.title) << c.what;
    EXPECT_EQ(read.info.Album, c.album) << c.what;
    EXPECT_EQ(read.audio_offset, tag.size()) << c.what;
  }
}

TEST(Id3v2Window, TextsLongerThanTheWindowAreReadWhole) {
  std::string long_text;
  for (int i = 0; long_text.size() < 5000; ++i) long_text += std::to_string(i) + ' ';
  const std::string tag = Id3v2Builder(3)
                              .text_frame("TIT2", long_text)
                              .padding(13)
                              .text_frame("TPE1", long_text.substr(0, 33))
                              .text_frame("TALB", long_text)
                              .build();
  for (const std::size_t window : {16u, 17u, 64u, 1000u, 4999u, 5000u, 5001u}) {
    const TagRead read = read_id3v2(tag, 0, window);
    EXPECT_EQ(read.info.Title, long_text) << "window " << window;
    EXPECT_EQ(read.info.Artist, long_text.substr(0, 33)) << "window " << window;
    EXPECT_EQ(read.info.Album, long_text) << "window " << window;
  }
}

TEST(Id3v2Window, TrackAndGenreTextsCrossingTheWindowEdgeAreStillTreated) {
  // Each text runs past the 16 bytes read with its frame header, so reading it moves the window.
  const std::string tag = Id3v2Builder(3)
                              .frame("TRCK", "\0007\0 filler bytes"s)
                              .frame("TCON", "\0(17)  \0 filler bytes"s)
                              .build();
  const TagRead read = read_id3v2(tag, 1, 16);
  EXPECT_EQ(read.info.Track, "07");
  EXPECT_EQ(read.info.Genre, "Rock");
}

}  // namespace
}  // namespace mp3info
