#include "mp3info/id3v2.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "mp3info/big_endian.h"
#include "mp3info/genre_reference.h"
#include "mp3info/tag_text.h"
#include "mp3info/track_number.h"

namespace mp3info {
namespace {

constexpr std::uint64_t kTagHeaderSize = 10;
constexpr std::uint8_t kExtendedHeaderFlag = 0x40;
// Every version is scanned with one frame layout: 4-byte id, 4-byte plain size, 2 flag bytes,
// then the encoding byte and the text.
constexpr std::uint64_t kFrameHeaderSize = 10;
constexpr std::size_t kFrameSizeEnd = 8;
constexpr std::size_t kEncodingEnd = 11;

std::uint32_t read_synchsafe32(std::string_view p) {
  return std::uint32_t{static_cast<unsigned char>(p[0]) & 0x7Fu} << 21 |
         std::uint32_t{static_cast<unsigned char>(p[1]) & 0x7Fu} << 14 |
         std::uint32_t{static_cast<unsigned char>(p[2]) & 0x7Fu} << 7 |
         std::uint32_t{static_cast<unsigned char>(p[3]) & 0x7Fu};
}

// The body bytes that exist, seen through a bounded window that is read again wherever the scan
// moves outside it. Positions are relative to the body start.
class BodyWindow {
 public:
  BodyWindow(fileio::RandomAccessFile& file, std::uint64_t data_end, std::size_t window_size)
      : file_(file),
        data_end_(data_end),
        // No larger than the body, and left uninitialised: a small tag costs a small buffer.
        size_(static_cast<std::size_t>(
            std::min<std::uint64_t>(std::max<std::size_t>(window_size, 16), data_end))),
        buffer_(std::make_unique_for_overwrite<char[]>(size_)) {}

  // Where the body's bytes end: the claimed size or the end of the file, whichever is first.
  std::uint64_t data_end() const { return data_end_; }

  // Up to `count` bytes at `position`; fewer where the data ends.
  std::string_view bytes(std::uint64_t position, std::size_t count) {
    if (position >= data_end_) return {};
    count = static_cast<std::size_t>(std::min<std::uint64_t>(count, data_end_ - position));
    if (position < window_start_ || position + count > window_start_ + window_length_) {
      window_start_ = position;
      const auto wanted =
          static_cast<std::size_t>(std::min<std::uint64_t>(size_, data_end_ - position));
      window_length_ = file_.read_at(kTagHeaderSize + position, buffer_.get(), wanted);
      // A read that comes short ends the data there.
      if (window_length_ < wanted) data_end_ = position + window_length_;
      count = std::min(count, window_length_);
    }
    return {buffer_.get() + (position - window_start_), count};
  }

  // The bytes from `position` to the end of the window, read anew only when `position` lies
  // outside it: a search ahead costs no read of bytes already held.
  std::string_view rest_from(std::uint64_t position) {
    if (position >= window_start_ && position < window_start_ + window_length_) {
      return {buffer_.get() + (position - window_start_),
              static_cast<std::size_t>(window_start_ + window_length_ - position)};
    }
    return bytes(position, size_);
  }

  std::size_t size() const { return size_; }

 private:
  fileio::RandomAccessFile& file_;
  std::uint64_t data_end_;
  std::size_t size_;
  std::unique_ptr<char[]> buffer_;
  std::uint64_t window_start_ = 0;
  std::size_t window_length_ = 0;
};

// A frame's text: `length` bytes from `position`, cut where the data ends and at the first zero.
std::string read_text(BodyWindow& body, std::uint64_t position, std::uint64_t length) {
  std::string text;
  const std::uint64_t end = std::min(position + length, body.data_end());
  while (position < end) {
    const auto chunk = body.bytes(
        position, static_cast<std::size_t>(std::min<std::uint64_t>(end - position, body.size())));
    if (chunk.empty()) break;
    const auto zero = chunk.find('\0');
    text.append(chunk.substr(0, zero));
    if (zero != std::string_view::npos) break;
    position += chunk.size();
  }
  return text;
}

// The first byte at or after `position` for which `wanted` holds, or the end of the data.
template <typename Wanted>
std::uint64_t next_byte_where(BodyWindow& body, std::uint64_t position, Wanted wanted) {
  while (position < body.data_end()) {
    const auto chunk = body.rest_from(position);
    if (chunk.empty()) break;
    const auto found = std::find_if(chunk.begin(), chunk.end(), [&](char byte) {
      return wanted(static_cast<unsigned char>(byte));
    });
    if (found != chunk.end()) return position + static_cast<std::uint64_t>(found - chunk.begin());
    position += chunk.size();
  }
  return body.data_end();
}

std::string* item_of(std::string_view id, TMp3FileInfo& info) {
  if (id == "TIT2") return &info.Title;
  if (id == "TPE1") return &info.Artist;
  if (id == "TALB") return &info.Album;
  if (id == "TYER") return &info.Year;
  if (id == "TRCK") return &info.Track;
  if (id == "TCON") return &info.Genre;
  return nullptr;
}

bool blank_or_control(char byte) { return static_cast<unsigned char>(byte) <= 0x20; }

// Where the frames start: after an extended header of ID3v2.3 (its size excludes its own four
// bytes) or ID3v2.4 (a synchsafe size that includes them).
std::uint64_t first_frame(BodyWindow& body, int major_version, std::uint8_t flags,
                          std::uint64_t body_size) {
  if (major_version <= 2 || (flags & kExtendedHeaderFlag) == 0) return 0;
  const auto size_bytes = body.bytes(0, 4);
  if (size_bytes.size() < 4) return body_size;
  if (major_version == 3) return 4 + std::uint64_t{read_be32(size_bytes)};
  return read_synchsafe32(size_bytes);
}

}  // namespace

std::uint64_t ReadId3v2Tag(fileio::RandomAccessFile& file, const settings::TMp3Settings& settings,
                           TMp3FileInfo& info, std::size_t window_size) {
  // Version, revision, flags and four size bytes follow "ID3"; missing bytes count as zero.
  std::array<unsigned char, 7> header{};
  file.read_at(3, header.data(), header.size());
  const int major_version = header[0];
  const std::uint8_t flags = header[2];
  // The size bytes count whole: a byte with its top bit set is not masked to 7 bits, so the
  // parts overlap and must be added, not or-ed.
  const std::uint64_t body_size = (std::uint64_t{header[3]} << 21) +
                                  (std::uint64_t{header[4]} << 14) +
                                  (std::uint64_t{header[5]} << 7) + std::uint64_t{header[6]};
  const std::uint64_t audio_offset = body_size + kTagHeaderSize;

  std::uint64_t data_end = body_size;
  if (const auto file_size = file.size()) {
    data_end = std::min(data_end, *file_size > kTagHeaderSize ? *file_size - kTagHeaderSize : 0);
  }
  BodyWindow body(file, data_end, window_size);

  std::uint64_t p = first_frame(body, major_version, flags, body_size);
  while (p < body.data_end()) {
    const auto frame = body.bytes(p, kEncodingEnd);
    if (frame.size() < kFrameSizeEnd) break;  // no whole size field before the data ends
    if (frame.find_first_not_of('\0') == std::string_view::npos) {
      // Padding: a position whose bytes are all zero passes the size and encoding tests and
      // fails the identifier test, so the scan would step one byte at a time until a non-zero
      // byte comes within reach. Go there at once.
      const std::uint64_t non_zero =
          next_byte_where(body, p, [](unsigned char byte) { return byte != 0; });
      const std::uint64_t reach = kEncodingEnd - 1;
      p = std::max(p + 1, non_zero > reach ? non_zero - reach : 0);
      continue;
    }
    const auto frame_size = static_cast<std::int32_t>(read_be32(frame.substr(4)));
    // Size first, then the encoding byte, then the identifier: the order decides where the
    // scan goes next in damaged tags.
    if (frame_size < 0 || static_cast<std::uint64_t>(frame_size) > body_size) {
      // Every position whose size field starts with a byte above this fails the same test:
      // step over them at once (through pictures whose sizes are synchsafe, for one).
      const auto limit = static_cast<unsigned char>(std::min<std::uint64_t>(0x7F, body_size >> 24));
      const std::uint64_t candidate =
          next_byte_where(body, p + 1 + 4, [limit](unsigned char byte) { return byte <= limit; });
      p = candidate - 4;
      continue;
    }
    const bool has_encoding = frame.size() >= kEncodingEnd;
    if (has_encoding && frame[10] != 0) {
      p += static_cast<std::uint64_t>(frame_size) + kFrameHeaderSize;
      continue;
    }
    if (blank_or_control(frame[0]) || blank_or_control(frame[3])) {
      ++p;
      continue;
    }
    // A copy: reading the text moves the window under `frame`.
    const std::string id(frame.substr(0, 4));
    if (std::string* item = item_of(id, info)) {
      // Text cut short by the end of the data is what lies inside it; a frame of size 0, or
      // one whose encoding byte lies past the end, has no text.
      std::string text;
      if (has_encoding && frame_size > 0) {
        text = read_text(body, p + kEncodingEnd, static_cast<std::uint64_t>(frame_size) - 1);
      }
      if (id == "TCON") {
        text = ResolveGenreReference(TrimRight(text));
      } else if (id == "TRCK") {
        text = PadTrackNumber(text, settings.TrackOption);
      }
      *item = std::move(text);
    }
    p += static_cast<std::uint64_t>(frame_size) + kFrameHeaderSize;
  }
  return audio_offset;
}

}  // namespace mp3info
