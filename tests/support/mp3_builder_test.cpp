#include "support/mp3_builder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fixtures {
namespace {

using namespace std::string_literals;

TEST(Id3v2Builder, HeaderCarriesVersionFlagsAndSynchsafeBodySize) {
  const std::string tag = Id3v2Builder(3).flags(0x80).padding(257).build();
  ASSERT_EQ(tag.size(), 267u);
  EXPECT_EQ(tag.substr(0, 10), "ID3\x03\x00\x80\x00\x00\x02\x01"s);
}

TEST(Id3v2Builder, Synchsafe32KeepsSevenBitsPerByte) {
  struct Case {
    std::uint32_t value;
    std::string bytes;
  };
  const Case cases[] = {
      {0, "\x00\x00\x00\x00"s},   {0x7F, "\x00\x00\x00\x7F"s},       {0x80, "\x00\x00\x01\x00"s},
      {257, "\x00\x00\x02\x01"s}, {0x0FFFFFFF, "\x7F\x7F\x7F\x7F"s},
  };
  for (const Case& c : cases) EXPECT_EQ(synchsafe32(c.value), c.bytes) << c.value;
}

TEST(Id3v2Builder, FrameHeaderFollowsVersionLayout) {
  struct Case {
    const char* what;
    std::uint8_t version;
    const char* id;
    std::string header;
  };
  const Case cases[] = {
      {"v2.2: 3-byte id and size", 2, "TT2", "TT2\x00\x00\xC8"s},
      {"v2.3: plain size", 3, "TIT2", "TIT2\x00\x00\x00\xC8\x00\x00"s},
      {"v2.4: synchsafe size", 4, "TIT2", "TIT2\x00\x00\x01\x48\x00\x00"s},
  };
  const std::string body(200, 'x');
  for (const Case& c : cases) {
    const std::string tag = Id3v2Builder(c.version).frame(c.id, body).build();
    EXPECT_EQ(tag.substr(10, c.header.size()), c.header) << c.what;
    EXPECT_EQ(tag.substr(10 + c.header.size()), body) << c.what;
  }
}

TEST(Id3v2Builder, TextFrameBodyStartsWithEncodingAndEndsWithTerminator) {
  struct Case {
    const char* what;
    std::uint8_t encoding;
    bool terminator;
    std::string frame;
  };
  const Case cases[] = {
      {"Shift-JIS, terminated", 0, true, "TIT2\x00\x00\x00\x07\x00\x00\x00Title\x00"s},
      {"Shift-JIS, bare", 0, false, "TIT2\x00\x00\x00\x06\x00\x00\x00Title"s},
      {"UTF-16 ends in two zeros", 1, true, "TIT2\x00\x00\x00\x08\x00\x00\x01Title\x00\x00"s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(
        Id3v2Builder().text_frame("TIT2", "Title", c.encoding, c.terminator).build().substr(10),
        c.frame)
        << c.what;
  }
}

TEST(Id3v2Builder, WritesClaimedSizesInsteadOfRealOnes) {
  const std::string tag = Id3v2Builder(3)
                              .extended_header("\x00\x00\x00\x06\x00\x00"s)
                              .frame_claiming_size("TIT2", 0x80000000, "\x00T"s)
                              .size_override(1000)
                              .build();
  EXPECT_EQ(tag.substr(0, 10), "ID3\x03\x00\x40\x00\x00\x07\x68"s);
  EXPECT_EQ(tag.substr(10), "\x00\x00\x00\x06\x00\x00TIT2\x80\x00\x00\x00\x00\x00\x00T"s);

  const std::string raw = Id3v2Builder().size_bytes(0, 0, 0, 0x81).build();
  EXPECT_EQ(raw, "ID3\x03\x00\x00\x00\x00\x00\x81"s);
}

TEST(Id3v1Tag, FieldsSitAtTheirOffsets) {
  const std::string tag = id3v1_tag({.title = std::string(31, 't'),
                                     .artist = "Artist",
                                     .album = "Album",
                                     .year = "2003",
                                     .comment = std::string(30, 'c'),
                                     .genre = 17});
  ASSERT_EQ(tag.size(), 128u);
  EXPECT_EQ(tag.substr(0, 3), "TAG");
  EXPECT_EQ(tag.substr(3, 30), std::string(30, 't'));
  EXPECT_EQ(tag.substr(33, 30), "Artist" + std::string(24, '\0'));
  EXPECT_EQ(tag.substr(63, 30), "Album" + std::string(25, '\0'));
  EXPECT_EQ(tag.substr(93, 4), "2003");
  EXPECT_EQ(tag.substr(97, 30), std::string(30, 'c'));
  EXPECT_EQ(tag[127], '\x11');
}

TEST(Id3v1Tag, TrackTakesTheCommentsLastByteAfterAZero) {
  const std::string tag = id3v1_tag({.comment = std::string(29, 'c'), .track = 200});
  EXPECT_EQ(tag.substr(97, 30), std::string(28, 'c') + "\x00\xC8"s);
  EXPECT_EQ(tag[127], '\xFF');
}

TEST(MpegFrameBuilder, HeaderBytes) {
  struct Case {
    const char* what;
    MpegFrameBuilder frame;
    std::string header;
  };
  const Case cases[] = {
      {"defaults: 128 kbps, 44.1 kHz, joint stereo", MpegFrameBuilder(), "\xFF\xFB\x90\x64"s},
      {"CRC clears the protection bit", MpegFrameBuilder().crc().channel_mode(ChannelMode::Mono),
       "\xFF\xFA\x90\xC4"s},
      {"dual channel", MpegFrameBuilder().channel_mode(ChannelMode::DualChannel),
       "\xFF\xFB\x90\x84"s},
      {"64 kbps, 48 kHz, padded, stereo",
       MpegFrameBuilder().bitrate_index(5).sampling_index(1).padding().channel_mode(
           ChannelMode::Stereo),
       "\xFF\xFB\x56\x04"s},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.frame.header_bytes(), c.header) << c.what;
    EXPECT_EQ(c.frame.build().substr(0, 4), c.header) << c.what;
  }
}

TEST(MpegFrameBuilder, FrameLengthIs144TimesBitrateOverSamplingRate) {
  struct Case {
    std::uint8_t bitrate_index;
    std::uint8_t sampling_index;
    bool padded;
    std::size_t length;
  };
  const Case cases[] = {
      {9, 0, false, 417},    // 128 kbps at 44.1 kHz: 417.96 bytes
      {9, 0, true, 418},     // the padding bit adds a byte
      {5, 1, false, 192},    // 64 kbps at 48 kHz
      {14, 2, false, 1440},  // 320 kbps at 32 kHz
      {1, 0, false, 104},    // 32 kbps at 44.1 kHz
  };
  for (const Case& c : cases) {
    const MpegFrameBuilder frame = MpegFrameBuilder()
                                       .bitrate_index(c.bitrate_index)
                                       .sampling_index(c.sampling_index)
                                       .padding(c.padded);
    SCOPED_TRACE(testing::Message()
                 << "bitrate index " << int{c.bitrate_index} << (c.padded ? ", padded" : ""));
    EXPECT_EQ(frame.frame_length(), c.length);
    const std::string bytes = frame.build();
    EXPECT_EQ(bytes.size(), c.length);
    EXPECT_EQ(bytes.find_first_not_of('\0', 4), std::string::npos);
  }
}

TEST(MpegFrameBuilder, FrameWithoutLengthHoldsOnlyItsHeaderParts) {
  EXPECT_EQ(MpegFrameBuilder().bitrate_index(0).frame_length(), std::nullopt);
  EXPECT_EQ(MpegFrameBuilder().bitrate_index(15).frame_length(), std::nullopt);
  EXPECT_EQ(MpegFrameBuilder().sampling_index(3).frame_length(), std::nullopt);
  EXPECT_EQ(MpegFrameBuilder().bitrate_index(0).build().size(), 4u + 32u);
  EXPECT_EQ(MpegFrameBuilder().bitrate_index(0).xing().build().size(), 4u + 32u + 12u);
}

TEST(MpegFrameBuilder, XingHeaderFollowsCrcAndSideInformation) {
  struct Case {
    const char* what;
    ChannelMode mode;
    bool crc;
    std::size_t offset;
  };
  const Case cases[] = {
      {"joint stereo", ChannelMode::JointStereo, false, 36},
      {"joint stereo with CRC", ChannelMode::JointStereo, true, 38},
      {"dual channel", ChannelMode::DualChannel, false, 36},
      {"mono", ChannelMode::Mono, false, 21},
      {"mono with CRC", ChannelMode::Mono, true, 23},
  };
  for (const Case& c : cases) {
    const MpegFrameBuilder frame =
        MpegFrameBuilder().channel_mode(c.mode).crc(c.crc).xing({.frames = 10000});
    EXPECT_EQ(frame.standard_xing_offset(), c.offset) << c.what;
    const std::string bytes = frame.build();
    EXPECT_EQ(bytes.find("Xing"), c.offset) << c.what;
    EXPECT_EQ(bytes.substr(c.offset + 4, 8), "\x00\x00\x00\x01\x00\x00\x27\x10"s) << c.what;
    EXPECT_EQ(bytes.find_first_not_of('\0', c.offset + 12), std::string::npos) << c.what;
  }
}

TEST(MpegFrameBuilder, XingFieldsAppearOnlyWhenFlagged) {
  const std::string all = MpegFrameBuilder()
                              .xing({.flags = 0x0F, .frames = 1, .bytes = 2, .quality = 3})
                              .build()
                              .substr(36);
  EXPECT_EQ(all.substr(0, 16), "Xing\x00\x00\x00\x0F\x00\x00\x00\x01\x00\x00\x00\x02"s);
  EXPECT_EQ(all.substr(116, 4), "\x00\x00\x00\x03"s);  // after the 100-byte seek table

  const std::string bytes_only =
      MpegFrameBuilder().xing({.tag = "Info", .flags = kXingBytes, .bytes = 2}).build().substr(36);
  EXPECT_EQ(bytes_only.substr(0, 13), "Info\x00\x00\x00\x02\x00\x00\x00\x02\x00"s);
}

TEST(MpegFrameBuilder, XingOffsetMovesTheHeaderOutOfItsPlace) {
  // A protected frame whose encoder left no room for the CRC.
  const MpegFrameBuilder frame = MpegFrameBuilder().crc().xing_offset(36).xing();
  EXPECT_EQ(frame.standard_xing_offset(), 38u);
  EXPECT_EQ(frame.build().find("Xing"), 36u);
}

TEST(MpegFrameBuilder, XingHeaderThatDoesNotFitTheFrameThrows) {
  // 32 kbps at 48 kHz gives 96 bytes; the header with a seek table needs 36 + 120.
  EXPECT_THROW(MpegFrameBuilder().bitrate_index(1).sampling_index(1).xing({.flags = 0x0F}).build(),
               std::length_error);
}

TEST(Mp3FileBuilder, PutsTagsAroundTheAudio) {
  const std::string file =
      Mp3FileBuilder().id3v1("V1").audio("junk").id3v2("V2").frame(MpegFrameBuilder(), 2).build();
  ASSERT_EQ(file.size(), 2u + 4u + 2 * 417u + 2u);
  EXPECT_EQ(file.substr(0, 6), "V2junk");
  EXPECT_EQ(file.substr(6, 4), "\xFF\xFB\x90\x64"s);
  EXPECT_EQ(file.substr(6 + 417, 4), "\xFF\xFB\x90\x64"s);
  EXPECT_EQ(file.substr(file.size() - 2), "V1");
}

TEST(SampleFiles, FirstFrameHeaderSitsAtTheAudioOffset) {
  struct Case {
    const char* name;
    std::size_t audio_offset;
    std::string header;
  };
  const Case cases[] = {
      {"id3v2-cbr128-joint-stereo.mp3", 237, "\xFF\xFB\x90\x64"s},
      {"id3v1-xing-vbr-stereo.mp3", 0, "\xFF\xFB\x90\x04"s},
      {"notag-cbr64-mono-48k-crc.mp3", 0, "\xFF\xFA\x54\xC4"s},
      {"id3v24-info-cbr192-joint-stereo-32k.mp3", 197, "\xFF\xFB\xB8\x64"s},
  };
  const std::vector<Sample> samples = sample_files();
  ASSERT_EQ(samples.size(), std::size(cases));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    const std::string& bytes = samples[i].bytes;
    EXPECT_EQ(samples[i].name, cases[i].name);
    std::size_t offset = 0;
    if (bytes.starts_with("ID3")) {
      offset = 10 + (std::size_t{static_cast<unsigned char>(bytes[6])} << 21) +
               (std::size_t{static_cast<unsigned char>(bytes[7])} << 14) +
               (std::size_t{static_cast<unsigned char>(bytes[8])} << 7) +
               static_cast<unsigned char>(bytes[9]);
    }
    EXPECT_EQ(offset, cases[i].audio_offset) << cases[i].name;
    EXPECT_EQ(bytes.substr(offset, 4), cases[i].header) << cases[i].name;
    EXPECT_LT(bytes.size(), 10'000u) << cases[i].name;
  }
}

TEST(SampleFiles, CommittedFilesAreWhatMakeSamplesWrites) {
  for (const Sample& sample : sample_files()) {
    const auto committed = read_file(std::string(TUNLEX_SOURCE_DIR "/samples/") + sample.name);
    ASSERT_TRUE(committed.has_value()) << sample.name << " is missing";
    EXPECT_TRUE(*committed == sample.bytes)
        << sample.name << " differs from what make_samples writes now; regenerate it";
  }
}

}  // namespace
}  // namespace fixtures
