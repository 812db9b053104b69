#include "support/mp3_builder.h"

#include <array>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace fixtures {
namespace {

constexpr std::size_t kMpegHeaderSize = 4;
constexpr std::size_t kCrcSize = 2;
constexpr std::size_t kXingTocSize = 100;

// MPEG-1 Layer III, in kbps and Hz; 0 marks free format, forbidden and reserved entries.
constexpr std::array<std::uint32_t, 16> kBitrateKbps = {0,   32,  40,  48,  56,  64,  80,  96,
                                                        112, 128, 160, 192, 224, 256, 320, 0};
constexpr std::array<std::uint32_t, 4> kSamplingRateHz = {44100, 48000, 32000, 0};

char byte(std::uint32_t value) { return static_cast<char>(value & 0xFF); }

std::string be24(std::uint32_t value) { return {byte(value >> 16), byte(value >> 8), byte(value)}; }

std::string be16(std::uint32_t value) { return {byte(value >> 8), byte(value)}; }

std::string fixed_field(std::string_view text, std::size_t width) {
  std::string field(text.substr(0, width));
  field.resize(width, '\0');
  return field;
}

std::size_t side_info_size(ChannelMode mode) { return mode == ChannelMode::Mono ? 17 : 32; }

// CRC-16 with polynomial 0x8005, as MPEG audio protects the header's last two bytes and the
// side information.
std::uint16_t mpeg_crc(std::string_view bytes) {
  std::uint16_t crc = 0xFFFF;
  for (char c : bytes) {
    crc = static_cast<std::uint16_t>(crc ^ (static_cast<unsigned char>(c) << 8));
    for (int bit = 0; bit < 8; ++bit) {
      const bool top = (crc & 0x8000) != 0;
      crc = static_cast<std::uint16_t>(crc << 1);
      if (top) crc = static_cast<std::uint16_t>(crc ^ 0x8005);
    }
  }
  return crc;
}

std::string xing_bytes(const XingFields& xing) {
  std::string out = fixed_field(xing.tag, 4) + be32(xing.flags);
  if (xing.flags & kXingFrames) out += be32(xing.frames);
  if (xing.flags & kXingBytes) out += be32(xing.bytes);
  if (xing.flags & kXingToc) {
    // A linear table: seek points spread evenly over the bytes.
    for (std::size_t i = 0; i < kXingTocSize; ++i)
      out += byte(static_cast<std::uint32_t>(i * 256 / kXingTocSize));
  }
  if (xing.flags & kXingQuality) out += be32(xing.quality);
  return out;
}

}  // namespace

std::string be32(std::uint32_t value) {
  return {byte(value >> 24), byte(value >> 16), byte(value >> 8), byte(value)};
}

std::string synchsafe32(std::uint32_t value) {
  return {byte((value >> 21) & 0x7F), byte((value >> 14) & 0x7F), byte((value >> 7) & 0x7F),
          byte(value & 0x7F)};
}

Id3v2Builder::Id3v2Builder(std::uint8_t major_version) : major_version_(major_version) {}

Id3v2Builder& Id3v2Builder::revision(std::uint8_t revision) {
  revision_ = revision;
  return *this;
}

Id3v2Builder& Id3v2Builder::flags(std::uint8_t flags) {
  flags_ = flags;
  return *this;
}

Id3v2Builder& Id3v2Builder::frame(std::string_view id, std::string_view body,
                                  std::uint16_t frame_flags) {
  const auto size = static_cast<std::uint32_t>(body.size());
  if (major_version_ == 2) return frame_claiming_size(id, size, body);
  if (id.size() != 4) throw std::invalid_argument("ID3v2.3/2.4 frame ids have 4 bytes");
  frames_ += id;
  frames_ += major_version_ >= 4 ? synchsafe32(size) : be32(size);
  frames_ += be16(frame_flags);
  frames_ += body;
  return *this;
}

Id3v2Builder& Id3v2Builder::frame_claiming_size(std::string_view id, std::uint32_t claimed_size,
                                                std::string_view body) {
  if (major_version_ == 2) {
    if (id.size() != 3) throw std::invalid_argument("ID3v2.2 frame ids have 3 bytes");
    frames_ += id;
    frames_ += be24(claimed_size);
  } else {
    if (id.size() != 4) throw std::invalid_argument("ID3v2.3/2.4 frame ids have 4 bytes");
    frames_ += id;
    frames_ += be32(claimed_size);
    frames_ += be16(0);
  }
  frames_ += body;
  return *this;
}

Id3v2Builder& Id3v2Builder::text_frame(std::string_view id, std::string_view text,
                                       std::uint8_t encoding, bool terminator) {
  std::string body(1, static_cast<char>(encoding));
  body += text;
  if (terminator) body.append(encoding == 1 || encoding == 2 ? 2 : 1, '\0');
  return frame(id, body);
}

Id3v2Builder& Id3v2Builder::raw(std::string_view bytes) {
  frames_ += bytes;
  return *this;
}

Id3v2Builder& Id3v2Builder::padding(std::size_t zero_bytes) {
  frames_.append(zero_bytes, '\0');
  return *this;
}

Id3v2Builder& Id3v2Builder::extended_header(std::string_view bytes) {
  extended_header_ = std::string(bytes);
  return *this;
}

Id3v2Builder& Id3v2Builder::size_override(std::uint32_t body_size) {
  size_field_ = synchsafe32(body_size);
  return *this;
}

Id3v2Builder& Id3v2Builder::size_bytes(std::uint8_t b6, std::uint8_t b7, std::uint8_t b8,
                                       std::uint8_t b9) {
  size_field_ = std::string{static_cast<char>(b6), static_cast<char>(b7), static_cast<char>(b8),
                            static_cast<char>(b9)};
  return *this;
}

std::size_t Id3v2Builder::body_size() const {
  return extended_header_.value_or("").size() + frames_.size();
}

std::string Id3v2Builder::build() const {
  const std::uint8_t flags = extended_header_ ? static_cast<std::uint8_t>(flags_ | 0x40) : flags_;
  std::string out = "ID3";
  out += static_cast<char>(major_version_);
  out += static_cast<char>(revision_);
  out += static_cast<char>(flags);
  out += size_field_.value_or(synchsafe32(static_cast<std::uint32_t>(body_size())));
  out += extended_header_.value_or("");
  out += frames_;
  return out;
}

std::string id3v1_tag(const Id3v1Fields& fields) {
  std::string out = "TAG";
  out += fixed_field(fields.title, 30);
  out += fixed_field(fields.artist, 30);
  out += fixed_field(fields.album, 30);
  out += fixed_field(fields.year, 4);
  if (fields.track) {
    out += fixed_field(fields.comment, 28);
    out += '\0';  // marks ID3v1.1: the comment's last byte is the track
    out += static_cast<char>(*fields.track);
  } else {
    out += fixed_field(fields.comment, 30);
  }
  out += static_cast<char>(fields.genre);
  return out;
}

MpegFrameBuilder& MpegFrameBuilder::bitrate_index(std::uint8_t index) {
  bitrate_index_ = index & 0x0F;
  return *this;
}

MpegFrameBuilder& MpegFrameBuilder::sampling_index(std::uint8_t index) {
  sampling_index_ = index & 0x03;
  return *this;
}

MpegFrameBuilder& MpegFrameBuilder::padding(bool padded) {
  padding_ = padded;
  return *this;
}

MpegFrameBuilder& MpegFrameBuilder::channel_mode(ChannelMode mode) {
  channel_mode_ = mode;
  return *this;
}

MpegFrameBuilder& MpegFrameBuilder::crc(bool protected_frame) {
  crc_ = protected_frame;
  return *this;
}

MpegFrameBuilder& MpegFrameBuilder::xing(XingFields fields) {
  xing_ = std::move(fields);
  return *this;
}

MpegFrameBuilder& MpegFrameBuilder::xing_offset(std::size_t offset) {
  xing_offset_ = offset;
  return *this;
}

std::size_t MpegFrameBuilder::standard_xing_offset() const {
  return kMpegHeaderSize + (crc_ ? kCrcSize : 0) + side_info_size(channel_mode_);
}

std::optional<std::size_t> MpegFrameBuilder::frame_length() const {
  const std::uint32_t kbps = kBitrateKbps[bitrate_index_];
  const std::uint32_t hz = kSamplingRateHz[sampling_index_];
  if (kbps == 0 || hz == 0) return std::nullopt;
  return std::size_t{144} * kbps * 1000 / hz + (padding_ ? 1 : 0);
}

std::string MpegFrameBuilder::header_bytes() const {
  const std::uint32_t b1 = crc_ ? 0xFA : 0xFB;  // sync, MPEG-1, Layer III, protection bit
  const std::uint32_t b2 = (std::uint32_t{bitrate_index_} << 4) |
                           (std::uint32_t{sampling_index_} << 2) | (padding_ ? 0x02 : 0x00);
  // Mid/side in joint stereo and the "original" bit, as encoders set them.
  const std::uint32_t mode_extension = channel_mode_ == ChannelMode::JointStereo ? 0x2 : 0x0;
  const std::uint32_t b3 =
      (std::uint32_t{static_cast<std::uint8_t>(channel_mode_)} << 6) | (mode_extension << 4) | 0x04;
  return {byte(0xFF), byte(b1), byte(b2), byte(b3)};
}

std::string MpegFrameBuilder::build() const {
  std::string out = header_bytes();
  const std::string side_info(side_info_size(channel_mode_), '\0');
  if (crc_) out += be16(mpeg_crc(out.substr(2) + side_info));
  out += side_info;
  if (xing_) {
    const std::size_t offset = xing_offset_.value_or(standard_xing_offset());
    const std::string xing = xing_bytes(*xing_);
    if (out.size() < offset + xing.size()) out.resize(offset + xing.size(), '\0');
    out.replace(offset, xing.size(), xing);
  }
  if (const auto length = frame_length()) {
    if (out.size() > *length) throw std::length_error("the Xing header does not fit the frame");
    out.resize(*length, '\0');
  }
  return out;
}

Mp3FileBuilder& Mp3FileBuilder::id3v2(std::string tag) {
  id3v2_ = std::move(tag);
  return *this;
}

Mp3FileBuilder& Mp3FileBuilder::frame(const MpegFrameBuilder& frame, std::size_t count) {
  const std::string bytes = frame.build();
  for (std::size_t i = 0; i < count; ++i) audio_ += bytes;
  return *this;
}

Mp3FileBuilder& Mp3FileBuilder::audio(std::string_view bytes) {
  audio_ += bytes;
  return *this;
}

Mp3FileBuilder& Mp3FileBuilder::id3v1(std::string tag) {
  id3v1_ = std::move(tag);
  return *this;
}

std::string Mp3FileBuilder::build() const { return id3v2_ + audio_ + id3v1_; }

void write_file(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::optional<std::string> read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

namespace {

// ID3v2.3 with Shift-JIS texts, then CBR frames padded the way an encoder pads 128 kbps at
// 44.1 kHz: the first frame is 417 bytes, the next ones 418.
Sample id3v23_cbr_sample() {
  const std::string tag = Id3v2Builder(3)
                              .text_frame("TIT2", "\x8a\x43\x82\xcc\x95\x5c\x8f\xee",  // 海の表情
                                          0, false)
                              .text_frame("TPE1", "\x8e\x52\x93\x63\x91\xbe\x98\x59",  // 山田太郎
                                          0, false)
                              .text_frame("TALB", "\x83\x65\x83\x58\x83\x67\x94\xd5",  // テスト盤
                                          0, false)
                              .text_frame("TYER", "2003", 0, false)
                              .text_frame("TRCK", "5", 0, false)
                              .text_frame("TCON", "(17)", 0, false)
                              .padding(128)
                              .build();
  const MpegFrameBuilder frame;
  return {
      "id3v2-cbr128-joint-stereo.mp3",
      Mp3FileBuilder().id3v2(tag).frame(frame).frame(MpegFrameBuilder(frame).padding(), 7).build()};
}

// 9418 frames of 1152 samples at 44.1 kHz last 246.02 s, so the Xing header claims 4:06, and
// a byte count as for 192 kbps on average; the file holds only the first frames of that stream.
Sample id3v11_xing_vbr_sample() {
  const MpegFrameBuilder stereo = MpegFrameBuilder().channel_mode(ChannelMode::Stereo);
  Mp3FileBuilder file;
  file.frame(
      MpegFrameBuilder(stereo).xing({.tag = "Xing",
                                     .flags = kXingFrames | kXingBytes | kXingToc | kXingQuality,
                                     .frames = 9418,
                                     .bytes = 5'904'000,
                                     .quality = 57}));
  constexpr std::array<std::uint8_t, 6> kBitrateIndexes = {11, 10, 12, 9, 11, 13};
  for (std::uint8_t index : kBitrateIndexes) {
    file.frame(MpegFrameBuilder(stereo).bitrate_index(index));
  }
  file.id3v1(
      id3v1_tag({.title = "\x96\xe9\x96\xbe\x82\xaf\x82\xcc\x82\xa4\x82\xbd",  // 夜明けのうた
                 .artist = "Kana Sato",
                 .album = "Field Recordings",
                 .year = "1999",
                 .comment = "vbr sample",
                 .track = 7,
                 .genre = 8}));
  return {"id3v1-xing-vbr-stereo.mp3", file.build()};
}

// 42 frames of 192 bytes: 8064 bytes, 1.008 s of audio.
Sample untagged_mono_sample() {
  const MpegFrameBuilder frame =
      MpegFrameBuilder().bitrate_index(5).sampling_index(1).channel_mode(ChannelMode::Mono).crc();
  return {"notag-cbr64-mono-48k-crc.mp3", Mp3FileBuilder().frame(frame, 42).build()};
}

// ID3v2.4 keeps the year in TDRC and sizes its frames synchsafe; the first frame carries the
// "Info" header that encoders write into CBR files.
Sample id3v24_info_sample() {
  const std::string tag =
      Id3v2Builder(4)
          .text_frame("TIT2", "\x83\x5c\x83\x69\x83\x5e", 0, false)          // ソナタ
          .text_frame("TPE1", "\x97\xe9\x96\xd8\x89\xd4\x8e\x71", 0, false)  // 鈴木花子
          .text_frame("TALB", "\x8f\x74\x82\xcc\x8d\xd5\x93\x54", 0, false)  // 春の祭典
          .text_frame("TDRC", "2010", 0, false)
          .text_frame("TRCK", "3/12", 0, false)
          .text_frame("TCON", "(24)", 0, false)
          .text_frame("TXXX", std::string("comment\0\xe3\x81\x82", 11), 3)  // UTF-8 "あ"
          .padding(64)
          .build();
  const MpegFrameBuilder frame = MpegFrameBuilder().bitrate_index(11).sampling_index(2);
  constexpr std::uint32_t kAudioFrames = 4;
  const auto frame_bytes = static_cast<std::uint32_t>(*frame.frame_length());
  return {"id3v24-info-cbr192-joint-stereo-32k.mp3",
          Mp3FileBuilder()
              .id3v2(tag)
              .frame(MpegFrameBuilder(frame).xing({.tag = "Info",
                                                   .flags = kXingFrames | kXingBytes,
                                                   .frames = kAudioFrames,
                                                   .bytes = (kAudioFrames + 1) * frame_bytes}))
              .frame(frame, kAudioFrames)
              .build()};
}

}  // namespace

std::vector<Sample> sample_files() {
  return {id3v23_cbr_sample(), id3v11_xing_vbr_sample(), untagged_mono_sample(),
          id3v24_info_sample()};
}

}  // namespace fixtures
