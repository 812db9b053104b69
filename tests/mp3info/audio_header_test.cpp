#include "mp3info/audio_header.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "support/mp3_builder.h"

namespace mp3info {
namespace {

using fixtures::ChannelMode;
using fixtures::MpegFrameBuilder;
using fixtures::XingFields;
using namespace std::string_literals;

// Serves `head` and claims `length` bytes, so a long file costs no memory.
class SparseFile final : public fileio::RandomAccessFile {
 public:
  SparseFile(std::string head, std::uint64_t length) : head_(std::move(head)), length_(length) {}

  std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset >= head_.size()) return 0;
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, head_.size() - offset));
    std::memcpy(buffer, head_.data() + offset, count);
    return count;
  }
  std::optional<std::uint64_t> size() override { return length_; }

 private:
  std::string head_;
  std::uint64_t length_;
};

struct HeaderRead {
  std::optional<std::int32_t> seconds;
  TMp3FileInfo info;
};

HeaderRead read_header(const std::string& bytes, std::uint64_t audio_offset = 0,
                       bool show_vbr_as_bitrate = false,
                       std::optional<std::uint64_t> length = std::nullopt) {
  SparseFile file(bytes, length.value_or(bytes.size()));
  settings::TMp3Settings settings;
  settings.ShowVbrAsBitrate = show_vbr_as_bitrate;
  HeaderRead read;
  read.seconds = ReadAudioHeader(file, audio_offset, settings, read.info);
  return read;
}

TEST(AudioHeader, AcceptsOnlyMpeg1LayerIII) {
  struct Case {
    const char* what;
    std::string header;
    bool accepted;
  } const cases[] = {
      {"MPEG-1 Layer III", "\xFF\xFB\x90\x64"s, true},
      {"with CRC", "\xFF\xFA\x90\x64"s, true},
      {"third and fourth bytes are free", "\xFF\xFB\xFF\xFF"s, true},
      {"MPEG-2 Layer III", "\xFF\xF3\x90\x64"s, false},
      {"MPEG-2.5 Layer III", "\xFF\xE3\x90\x64"s, false},
      {"MPEG-1 Layer II", "\xFF\xFD\x90\x64"s, false},
      {"MPEG-1 Layer I", "\xFF\xFF\x90\x64"s, false},
      {"reserved layer", "\xFF\xF9\x90\x64"s, false},
      {"broken sync in the first byte", "\xFE\xFB\x90\x64"s, false},
      {"broken sync in the second byte", "\xFF\x7B\x90\x64"s, false},
      {"ID3v2 tag", "ID3\x03"s, false},
      {"ID3v2 footer", "3DI\x04"s, false},
      {"zeros", "\0\0\0\0"s, false},
  };
  for (const Case& c : cases) {
    const HeaderRead read = read_header(c.header + std::string(400, '\0'));
    EXPECT_EQ(read.seconds.has_value(), c.accepted) << c.what;
    if (!c.accepted) {
      EXPECT_EQ(read.info, TMp3FileInfo{}) << c.what;
    }
  }
}

TEST(AudioHeader, StoresTheIndexesOfTheHeader) {
  struct Case {
    std::string header;
    std::int32_t bitrate_index;
    std::int32_t sampling_index;
    std::int32_t channel_mode;
  } const cases[] = {
      {"\xFF\xFB\x90\x64"s, 9, 0, 1}, {"\xFF\xFA\x90\xC4"s, 9, 0, 3},
      {"\xFF\xFB\x90\x84"s, 9, 0, 2}, {"\xFF\xFB\xE8\x00"s, 14, 2, 0},
      {"\xFF\xFB\x0C\xC0"s, 0, 3, 3}, {"\xFF\xFB\xF7\x7F"s, 15, 1, 1},
  };
  for (const Case& c : cases) {
    const HeaderRead read = read_header(c.header + std::string(400, '\0'));
    ASSERT_TRUE(read.seconds.has_value());
    EXPECT_EQ(read.info.BitrateIndex, c.bitrate_index);
    EXPECT_EQ(read.info.SamplingIndex, c.sampling_index);
    EXPECT_EQ(read.info.ChannelMode, c.channel_mode);
    EXPECT_EQ(read.info.VbrFlag, 0);
  }
}

TEST(AudioHeader, LooksOnlyAtTheAudioOffset) {
  const std::string file = std::string(100, '\x55') + MpegFrameBuilder().build();
  EXPECT_TRUE(read_header(file, 100).seconds.has_value());
  for (const std::uint64_t offset : {0u, 99u, 101u, 5000u}) {
    const HeaderRead read = read_header(file, offset);
    EXPECT_FALSE(read.seconds.has_value()) << offset;
    EXPECT_EQ(read.info, TMp3FileInfo{}) << offset;
  }
}

TEST(AudioHeader, FileEndingBeforeTheFourHeaderBytesHasNoHeader) {
  const std::string header = MpegFrameBuilder().header_bytes();
  for (const std::size_t offset : {0u, 100u}) {
    for (const std::size_t available : {0u, 1u, 3u}) {
      const std::string file = std::string(offset, '\0') + header.substr(0, available);
      const HeaderRead read = read_header(file, offset);
      EXPECT_FALSE(read.seconds.has_value()) << offset << "+" << available;
      EXPECT_EQ(read.info, TMp3FileInfo{}) << offset << "+" << available;
    }
    const HeaderRead whole = read_header(std::string(offset, '\0') + header, offset);
    EXPECT_EQ(whole.seconds, 0) << offset;  // CBR: a few bytes at 128 kbps
    EXPECT_EQ(whole.info.VbrFlag, 0) << offset;
  }
}

// 10000 frames of 1152 samples at 44.1 kHz: 261 seconds.
const XingFields kXing{.tag = "Xing", .flags = fixtures::kXingFrames, .frames = 10000};

TEST(XingHeader, IsFoundWhereTheFrameLayoutPutsIt) {
  struct Case {
    const char* what;
    ChannelMode mode;
    bool crc;
    std::size_t offset;
    bool found;
  } const cases[] = {
      {"stereo", ChannelMode::Stereo, false, 36, true},
      {"joint stereo", ChannelMode::JointStereo, false, 36, true},
      {"dual channel", ChannelMode::DualChannel, false, 36, true},
      {"mono", ChannelMode::Mono, false, 21, true},
      {"stereo after the CRC", ChannelMode::Stereo, true, 38, true},
      {"mono after the CRC", ChannelMode::Mono, true, 23, true},
      // Encoders that do not count the CRC.
      {"stereo with CRC, CRC not counted", ChannelMode::Stereo, true, 36, true},
      {"mono with CRC, CRC not counted", ChannelMode::Mono, true, 21, true},
      {"stereo, 2 bytes early", ChannelMode::Stereo, false, 34, false},
      {"mono, 2 bytes early", ChannelMode::Mono, false, 19, false},
      {"stereo, 2 bytes late", ChannelMode::Stereo, false, 38, false},
      {"stereo with CRC, 4 bytes early", ChannelMode::Stereo, true, 34, false},
      {"stereo with CRC, 2 bytes late", ChannelMode::Stereo, true, 40, false},
      {"mono with CRC, 2 bytes late", ChannelMode::Mono, true, 25, false},
      {"mono at the stereo place", ChannelMode::Mono, false, 36, false},
      {"stereo at the mono place", ChannelMode::Stereo, false, 21, false},
  };
  for (const Case& c : cases) {
    const std::string frame = MpegFrameBuilder()
                                  .channel_mode(c.mode)
                                  .crc(c.crc)
                                  .xing(kXing)
                                  .xing_offset(c.offset)
                                  .build();
    const HeaderRead read = read_header(frame);
    EXPECT_EQ(read.info.VbrFlag, c.found ? 1 : 0) << c.what;
    EXPECT_EQ(read.seconds, c.found ? 261 : 0) << c.what;
  }
}

TEST(XingHeader, NeedsItsTwelveBytesBeforeTheFileEnds) {
  struct Case {
    const char* what;
    ChannelMode mode;
    bool crc;
    std::size_t offset;
  } const cases[] = {
      {"stereo", ChannelMode::Stereo, false, 36},
      {"mono", ChannelMode::Mono, false, 21},
      {"stereo with CRC", ChannelMode::Stereo, true, 38},
      {"stereo with CRC, CRC not counted", ChannelMode::Stereo, true, 36},
      {"mono with CRC, CRC not counted", ChannelMode::Mono, true, 21},
  };
  for (const Case& c : cases) {
    const std::string frame = MpegFrameBuilder()
                                  .channel_mode(c.mode)
                                  .crc(c.crc)
                                  .xing(kXing)
                                  .xing_offset(c.offset)
                                  .build();
    const HeaderRead whole = read_header(frame.substr(0, c.offset + 12));
    EXPECT_EQ(whole.info.VbrFlag, 1) << c.what;
    EXPECT_EQ(whole.seconds, 261) << c.what;
    const HeaderRead cut = read_header(frame.substr(0, c.offset + 11));
    EXPECT_EQ(cut.info.VbrFlag, 0) << c.what;
    EXPECT_EQ(cut.seconds, 0) << c.what;
  }
}

TEST(XingHeader, OnlyXingMarksAVbrFile) {
  for (const char* tag : {"Info", "xing", "XING", "Xin"}) {
    XingFields xing = kXing;
    xing.tag = tag;
    const HeaderRead read = read_header(MpegFrameBuilder().xing(xing).build(), 0, false, 4'000'000);
    EXPECT_EQ(read.info.VbrFlag, 0) << tag;
    EXPECT_EQ(read.seconds, 250) << tag;  // from the file length at 128 kbps
  }
}

TEST(XingHeader, VbrShowsAsBitrateSixteenWhenAsked) {
  struct Case {
    bool xing;
    bool show_vbr_as_bitrate;
    std::int32_t bitrate_index;
  } const cases[] = {{true, true, 16}, {true, false, 9}, {false, true, 9}, {false, false, 9}};
  for (const Case& c : cases) {
    MpegFrameBuilder frame;
    if (c.xing) frame.xing(kXing);
    const HeaderRead read = read_header(frame.build(), 0, c.show_vbr_as_bitrate);
    EXPECT_EQ(read.info.BitrateIndex, c.bitrate_index)
        << "xing " << c.xing << " show " << c.show_vbr_as_bitrate;
  }
}

TEST(PlayingTime, CbrIsTheWholeFileLengthOverTheBitrate) {
  struct Case {
    const char* what;
    std::uint64_t length;
    std::uint8_t bitrate_index;
    std::uint8_t sampling_index;
    std::int32_t seconds;
  } const cases[] = {
      {"4,000,000 bytes at 128 kbps", 4'000'000, 9, 0, 250},
      {"one byte less", 3'999'999, 9, 0, 249},
      {"1,000,001 bytes at 160 kbps", 1'000'001, 10, 0, 50},
      {"300,000,000 bytes at 320 kbps: x8 passes 2^31", 300'000'000, 14, 0, 7500},
      {"600,000,000 bytes at 32 kbps: x8 passes 2^32", 600'000'000, 1, 0, 150'000},
      {"8 GB at 32 kbps", 8'000'000'000, 1, 0, 2'000'000},
      {"sampling rate is not used", 4'000'000, 9, 3, 250},
      {"free format", 4'000'000, 0, 0, -1},
      {"forbidden bitrate", 4'000'000, 15, 0, -1},
  };
  for (const Case& c : cases) {
    const std::string frame =
        MpegFrameBuilder().bitrate_index(c.bitrate_index).sampling_index(c.sampling_index).build();
    const HeaderRead read = read_header(frame, 0, false, c.length);
    EXPECT_EQ(read.seconds, c.seconds) << c.what;
    EXPECT_EQ(read.info.VbrFlag, 0) << c.what;
    EXPECT_EQ(read.info.BitrateIndex, c.bitrate_index) << c.what;
  }
}

TEST(PlayingTime, CbrUsesTheMpeg1LayerIIIBitrates) {
  const std::uint32_t kbps[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  for (std::uint8_t index = 1; index <= 14; ++index) {
    // 1000 seconds' worth of bytes at the index's bitrate.
    const std::uint64_t length = std::uint64_t{kbps[index - 1]} * 125'000;
    const HeaderRead read =
        read_header(MpegFrameBuilder().bitrate_index(index).build(), 0, false, length);
    EXPECT_EQ(read.seconds, 1000) << "bitrate index " << int{index};
  }
}

TEST(PlayingTime, VbrIsTheXingFrameCountTimes1152OverTheSamplingRate) {
  struct Case {
    const char* what;
    std::uint8_t sampling_index;
    std::uint8_t bitrate_index;
    std::uint32_t flags;
    std::uint32_t frames;
    std::int32_t seconds;
  } const cases[] = {
      {"44.1 kHz, all flags", 0, 9, 0x0F, 10000, 261},
      {"no frame count", 0, 9, 0x0E, 10000, -1},
      {"48 kHz", 1, 9, 0x01, 10000, 240},
      {"32 kHz", 2, 9, 0x01, 10000, 360},
      {"largest count: x1152 passes 2^32", 2, 9, 0x01, 0xFFFFFFFF, 154'618'822},
      {"reserved sampling rate", 3, 9, 0x01, 10000, -1},
      {"no frames", 0, 9, 0x01, 0, 0},
      {"bitrate is not used: free format", 0, 0, 0x01, 10000, 261},
      {"bitrate is not used: forbidden", 0, 15, 0x01, 10000, 261},
  };
  for (const Case& c : cases) {
    const std::string frame =
        MpegFrameBuilder()
            .sampling_index(c.sampling_index)
            .bitrate_index(c.bitrate_index)
            .xing({.tag = "Xing", .flags = c.flags, .frames = c.frames, .bytes = 5'000'000})
            .build();
    const HeaderRead read = read_header(frame, 0, false, 4'000'000);
    EXPECT_EQ(read.seconds, c.seconds) << c.what;
    EXPECT_EQ(read.info.VbrFlag, 1) << c.what;
    EXPECT_EQ(read.info.SamplingIndex, c.sampling_index) << c.what;
  }
}

}  // namespace
}  // namespace mp3info
