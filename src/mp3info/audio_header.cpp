#include "mp3info/audio_header.h"

#include <array>
#include <cstring>
#include <limits>

#include "mp3info/big_endian.h"

namespace mp3info {
namespace {

constexpr std::array<std::int32_t, 16> kBitrateKbps = {-1,  32,  40,  48,  56,  64,  80,  96,
                                                       112, 128, 160, 192, 224, 256, 320, -1};
constexpr std::array<std::int32_t, 4> kSamplingRateHz = {44100, 48000, 32000, -1};

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kCrcSize = 2;
constexpr std::size_t kSideInfoMono = 17;
constexpr std::size_t kSideInfoStereo = 32;
constexpr std::size_t kXingTestSize = 12;  // "Xing", flags, frame count
constexpr std::size_t kMostBytesNeeded = kHeaderSize + kCrcSize + kSideInfoStereo + kXingTestSize;
constexpr std::int32_t kSingleChannel = 3;
constexpr std::uint32_t kXingHasFrameCount = 0x1;
constexpr std::int64_t kSamplesPerFrame = 1152;

std::string_view as_text(const std::array<unsigned char, kMostBytesNeeded>& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

std::int32_t clamp_to_int32(std::int64_t seconds) {
  return static_cast<std::int32_t>(
      std::min<std::int64_t>(seconds, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

std::optional<std::int32_t> ReadAudioHeader(fileio::RandomAccessFile& file,
                                            std::uint64_t audio_offset,
                                            const settings::TMp3Settings& settings,
                                            TMp3FileInfo& info) {
  // One read covers the header and the farthest place a Xing header can start.
  std::array<unsigned char, kMostBytesNeeded> bytes{};
  const std::size_t got = file.read_at(audio_offset, bytes.data(), bytes.size());
  if (got < kHeaderSize) return std::nullopt;
  // MPEG-1 Layer III only: sync, ID 1, layer 01; the protection bit is free.
  if (bytes[0] != 0xFF || (bytes[1] & 0xFE) != 0xFA) return std::nullopt;

  info.BitrateIndex = bytes[2] >> 4;
  info.SamplingIndex = (bytes[2] >> 2) & 0x3;
  info.ChannelMode = bytes[3] >> 6;
  const bool has_crc = (bytes[1] & 0x1) == 0;

  const std::size_t side_info =
      info.ChannelMode == kSingleChannel ? kSideInfoMono : kSideInfoStereo;
  const std::size_t xing_at = kHeaderSize + (has_crc ? kCrcSize : 0) + side_info;
  auto xing_found_at = [&](std::size_t at) {
    return got >= at + kXingTestSize && std::memcmp(bytes.data() + at, "Xing", 4) == 0;
  };
  std::optional<std::size_t> xing;
  if (xing_found_at(xing_at)) {
    xing = xing_at;
  } else if (has_crc && xing_found_at(xing_at - kCrcSize)) {
    // Common encoders write the Xing header of a CRC-protected frame without counting the CRC.
    xing = xing_at - kCrcSize;
  }

  if (xing) {
    info.VbrFlag = 1;
    if (settings.ShowVbrAsBitrate) info.BitrateIndex = settings::kVbrBitrateLabel;
    const std::uint32_t flags = read_be32(as_text(bytes).substr(*xing + 4));
    const std::uint32_t frames = read_be32(as_text(bytes).substr(*xing + 8));
    const std::int32_t rate = kSamplingRateHz[static_cast<std::size_t>(info.SamplingIndex)];
    if ((flags & kXingHasFrameCount) == 0 || rate < 0) return -1;
    return clamp_to_int32(std::int64_t{frames} * kSamplesPerFrame / rate);
  }

  info.VbrFlag = 0;
  const std::int32_t kbps = kBitrateKbps[static_cast<std::size_t>(info.BitrateIndex)];
  const auto length = file.size();
  if (kbps < 0 || !length) return -1;
  // Both divisions truncate, in this order; the whole file counts, tags included.
  return clamp_to_int32(static_cast<std::int64_t>(*length * 8 / static_cast<std::uint64_t>(kbps)) /
                        1000);
}

}  // namespace mp3info
