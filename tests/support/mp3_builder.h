#pragma once

// Writers of MP3 file bytes for tests: ID3v2 and ID3v1 tags, MPEG-1 Layer III frames with an
// optional Xing or Info header, and whole files made of them. Each writer produces what a
// real tagger or encoder would by default; the odd settings (lying sizes, misplaced Xing
// headers) exist to build the damaged files that readers must survive.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fixtures {

std::string be32(std::uint32_t value);
// Seven bits per byte, top bit clear; values above 2^28 - 1 lose their high bits.
std::string synchsafe32(std::uint32_t value);

class Id3v2Builder {
 public:
  // 2 gives 6-byte frame headers (3-byte id, 3-byte size); 3 and 4 give 10-byte ones, with
  // synchsafe frame sizes in 4.
  explicit Id3v2Builder(std::uint8_t major_version = 3);

  Id3v2Builder& revision(std::uint8_t revision);
  Id3v2Builder& flags(std::uint8_t flags);
  // `body` is everything after the frame header, the encoding byte of a text frame included.
  Id3v2Builder& frame(std::string_view id, std::string_view body, std::uint16_t frame_flags = 0);
  // Writes `claimed_size` as a plain big-endian size field (3 bytes in v2.2) whatever the
  // version, however long `body` really is.
  Id3v2Builder& frame_claiming_size(std::string_view id, std::uint32_t claimed_size,
                                    std::string_view body);
  // Encoding byte, the text bytes as given, then a zero terminator (two zero bytes for the
  // UTF-16 encodings 1 and 2).
  Id3v2Builder& text_frame(std::string_view id, std::string_view text, std::uint8_t encoding = 0,
                           bool terminator = true);
  // Bytes put into the body as they are, between frames.
  Id3v2Builder& raw(std::string_view bytes);
  Id3v2Builder& padding(std::size_t zero_bytes);
  // Put at the start of the body, and sets flag 0x40.
  Id3v2Builder& extended_header(std::string_view bytes);
  // Claims this body size (synchsafe) instead of the real one.
  Id3v2Builder& size_override(std::uint32_t body_size);
  // Writes these four size bytes as they are, e.g. 00 00 00 81, which no synchsafe size is.
  Id3v2Builder& size_bytes(std::uint8_t b6, std::uint8_t b7, std::uint8_t b8, std::uint8_t b9);

  std::size_t body_size() const;
  std::string build() const;

 private:
  std::uint8_t major_version_;
  std::uint8_t revision_ = 0;
  std::uint8_t flags_ = 0;
  std::optional<std::string> extended_header_;
  std::string frames_;
  std::optional<std::string> size_field_;
};

struct Id3v1Fields {
  // Each text is cut to its field width and filled up with zero bytes.
  std::string title{};
  std::string artist{};
  std::string album{};
  std::string year{};
  std::string comment{};
  // ID3v1.1: with a track, the comment keeps 28 bytes and a zero byte precedes the track.
  std::optional<std::uint8_t> track{};
  std::uint8_t genre = 255;
};

// The 128 bytes of an ID3v1 tag, starting with "TAG".
std::string id3v1_tag(const Id3v1Fields& fields);

enum class ChannelMode : std::uint8_t { Stereo = 0, JointStereo = 1, DualChannel = 2, Mono = 3 };

inline constexpr std::uint32_t kXingFrames = 0x1;
inline constexpr std::uint32_t kXingBytes = 0x2;
inline constexpr std::uint32_t kXingToc = 0x4;
inline constexpr std::uint32_t kXingQuality = 0x8;

struct XingFields {
  // "Info" is what encoders write into a CBR file's first frame.
  std::string tag = "Xing";
  std::uint32_t flags = kXingFrames;
  // Each of these is written only when its flag is set, in this order, as encoders do.
  std::uint32_t frames = 0;
  std::uint32_t bytes = 0;
  std::uint32_t quality = 0;
};

// One MPEG-1 Layer III frame; defaults give 128 kbps, 44.1 kHz, joint stereo, no CRC. The
// header has the "original" bit set and, in joint stereo, mid/side on.
class MpegFrameBuilder {
 public:
  MpegFrameBuilder& bitrate_index(std::uint8_t index);
  MpegFrameBuilder& sampling_index(std::uint8_t index);
  MpegFrameBuilder& padding(bool padded = true);
  MpegFrameBuilder& channel_mode(ChannelMode mode);
  // Clears the protection bit and writes a CRC after the header.
  MpegFrameBuilder& crc(bool protected_frame = true);
  MpegFrameBuilder& xing(XingFields fields = {});
  // Some encoders leave room for no CRC even in a protected file, so their Xing header sits
  // where a reader that skips the CRC will miss it. Offset from the frame's first byte.
  MpegFrameBuilder& xing_offset(std::size_t offset);

  // Where the Xing header belongs: after the header, the CRC and the side information.
  std::size_t standard_xing_offset() const;
  // 144 * bitrate / sampling rate (+1 when padded); nullopt for free format (index 0), the
  // forbidden bitrate 15 and the reserved sampling index 3.
  std::optional<std::size_t> frame_length() const;
  std::string header_bytes() const;
  // The whole frame, zero-filled after the header, CRC and Xing header. A frame without a
  // length holds only those parts.
  std::string build() const;

 private:
  std::uint8_t bitrate_index_ = 9;
  std::uint8_t sampling_index_ = 0;
  bool padding_ = false;
  ChannelMode channel_mode_ = ChannelMode::JointStereo;
  bool crc_ = false;
  std::optional<XingFields> xing_;
  std::optional<std::size_t> xing_offset_;
};

// Optional ID3v2 tag, audio, optional ID3v1 tag, in this order whatever order they are given.
class Mp3FileBuilder {
 public:
  Mp3FileBuilder& id3v2(std::string tag);
  Mp3FileBuilder& frame(const MpegFrameBuilder& frame, std::size_t count = 1);
  // Bytes appended to the audio as they are: junk before a frame, a cut frame.
  Mp3FileBuilder& audio(std::string_view bytes);
  Mp3FileBuilder& id3v1(std::string tag);

  std::string build() const;

 private:
  std::string id3v2_;
  std::string audio_;
  std::string id3v1_;
};

// Throws std::runtime_error when the file cannot be written.
void write_file(const std::filesystem::path& path, std::string_view bytes);
// nullopt when the file cannot be read.
std::optional<std::string> read_file(const std::filesystem::path& path);

// The files shipped in samples/, as make_samples writes them.
struct Sample {
  std::string name;
  std::string bytes;
};
std::vector<Sample> sample_files();

}  // namespace fixtures
