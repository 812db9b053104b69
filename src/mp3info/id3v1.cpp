#include "mp3info/id3v1.h"

#include <array>
#include <cstring>
#include <string>

#include "mp3info/genre_names.h"
#include "mp3info/tag_text.h"
#include "mp3info/track_number.h"

namespace mp3info {
namespace {

// Offsets within the 128-byte record at the end of the file.
constexpr std::size_t kTagSize = 128;
constexpr std::size_t kTitle = 3;
constexpr std::size_t kArtist = 33;
constexpr std::size_t kAlbum = 63;
constexpr std::size_t kYear = 93;
constexpr std::size_t kComment = 97;
constexpr std::size_t kTrackByte = 126;  // the comment's last byte
constexpr std::size_t kGenreByte = 127;
constexpr std::size_t kTextFieldSize = 30;
constexpr std::size_t kYearSize = 4;
// A zero among the comment's first 29 bytes makes its last byte a track number.
constexpr std::size_t kCommentBytesBeforeTrack = 29;

std::string field_text(const std::array<char, kTagSize>& tag, std::size_t offset,
                       std::size_t size) {
  return std::string(TrimRight(UntilFirstZero(std::string_view(tag.data() + offset, size))));
}

}  // namespace

void ReadId3v1Tag(fileio::RandomAccessFile& file, const settings::TMp3Settings& settings,
                  TMp3FileInfo& info) {
  const auto size = file.size();
  if (!size || *size < kTagSize) return;
  std::array<char, kTagSize> tag;
  if (file.read_at(*size - kTagSize, tag.data(), kTagSize) != kTagSize) return;
  if (std::memcmp(tag.data(), "TAG", 3) != 0) return;

  info.Title = field_text(tag, kTitle, kTextFieldSize);
  info.Artist = field_text(tag, kArtist, kTextFieldSize);
  info.Album = field_text(tag, kAlbum, kTextFieldSize);
  info.Year = field_text(tag, kYear, kYearSize);

  const auto genre = static_cast<unsigned char>(tag[kGenreByte]);
  info.Genre = std::string(GenreName(genre).value_or(""));

  const std::string_view comment_head(tag.data() + kComment, kCommentBytesBeforeTrack);
  if (comment_head.find('\0') != std::string_view::npos) {
    const auto track = static_cast<unsigned char>(tag[kTrackByte]);
    // Track 0 means "no track" in this format.
    if (track != 0) info.Track = PadTrackNumber(std::to_string(track), settings.TrackOption);
  }
}

}  // namespace mp3info
