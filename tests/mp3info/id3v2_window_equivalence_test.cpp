// The windowed ID3v2 scan against the plainest whole-buffer scan, over generated and damaged
// tags: both must fill the same items and give the same audio offset.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "mp3info/genre_reference.h"
#include "mp3info/id3v2.h"
#include "mp3info/track_number.h"
#include "support/mp3_builder.h"

namespace mp3info {
namespace {

using fixtures::be32;
using namespace std::string_literals;

constexpr std::int32_t kTrackOption = 1;  // so that a wrong TRCK text shows in its padding

struct ScanResult {
  TMp3FileInfo info;
  std::uint64_t audio_offset = 0;
  bool operator==(const ScanResult&) const = default;
};

std::uint32_t be32_at(std::string_view s, std::uint64_t i) {
  const auto at = [&](std::uint64_t k) {
    return std::uint32_t{static_cast<unsigned char>(s[static_cast<std::size_t>(k)])};
  };
  return at(i) << 24 | at(i + 1) << 16 | at(i + 2) << 8 | at(i + 3);
}

std::uint32_t synchsafe_at(std::string_view s, std::uint64_t i) {
  const auto at = [&](std::uint64_t k) {
    return std::uint32_t{static_cast<unsigned char>(s[static_cast<std::size_t>(k)]) & 0x7Fu};
  };
  return at(i) << 21 | at(i + 1) << 14 | at(i + 2) << 7 | at(i + 3);
}

// All of the body that the file holds, in one string, and the scan in its plainest form.
ScanResult whole_buffer_scan(const std::string& file) {
  const auto header = [&](std::size_t i) -> std::uint64_t {
    return i < file.size() ? static_cast<unsigned char>(file[i]) : 0u;
  };
  const std::uint64_t major = header(3);
  const std::uint64_t flags = header(5);
  const std::uint64_t S = (header(6) << 21) + (header(7) << 14) + (header(8) << 7) + header(9);
  ScanResult result;
  result.audio_offset = S + 10;
  const std::string body =
      file.size() <= 10
          ? ""
          : file.substr(10, static_cast<std::size_t>(std::min<std::uint64_t>(S, file.size() - 10)));
  const std::uint64_t end = body.size();

  std::uint64_t p = 0;
  if (major > 2 && (flags & 0x40) != 0) {
    if (end < 4) {
      p = S;
    } else if (major == 3) {
      p = 4 + std::uint64_t{be32_at(body, 0)};
    } else {
      p = synchsafe_at(body, 0);
    }
  }
  TMp3FileInfo& info = result.info;
  while (p < end) {
    if (end - p < 8) break;
    const auto F = static_cast<std::int32_t>(be32_at(body, p + 4));
    if (F < 0 || static_cast<std::uint64_t>(F) > S) {
      p += 1;
      continue;
    }
    const bool has_encoding = end - p > 10;
    if (has_encoding && body[static_cast<std::size_t>(p + 10)] != 0) {
      p += static_cast<std::uint64_t>(F) + 10;
      continue;
    }
    const auto first = static_cast<unsigned char>(body[static_cast<std::size_t>(p)]);
    const auto fourth = static_cast<unsigned char>(body[static_cast<std::size_t>(p + 3)]);
    if (first <= 0x20 || fourth <= 0x20) {
      p += 1;
      continue;
    }
    std::string text;
    if (has_encoding && F > 0) {
      text = body.substr(static_cast<std::size_t>(p + 11), static_cast<std::size_t>(F - 1));
    }
    text = text.substr(0, text.find('\0'));
    const std::string id = body.substr(static_cast<std::size_t>(p), 4);
    if (id == "TIT2") info.Title = text;
    if (id == "TPE1") info.Artist = text;
    if (id == "TALB") info.Album = text;
    if (id == "TYER") info.Year = text;
    if (id == "TRCK") info.Track = PadTrackNumber(text, kTrackOption);
    if (id == "TCON") {
      while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.pop_back();
      info.Genre = ResolveGenreReference(text);
    }
    p += static_cast<std::uint64_t>(F) + 10;
  }
  return result;
}

// How the file reports its size: truly, not at all, or more than it can deliver.
enum class SizeReport { Exact, Unknown, Overclaimed };

class StringFile final : public fileio::RandomAccessFile {
 public:
  StringFile(const std::string& data, SizeReport report) : data_(data), report_(report) {}

  std::size_t read_at(std::uint64_t offset, void* buffer, std::size_t size) override {
    if (offset >= data_.size()) return 0;
    const auto count =
        static_cast<std::size_t>(std::min<std::uint64_t>(size, data_.size() - offset));
    std::memcpy(buffer, data_.data() + offset, count);
    return count;
  }
  std::optional<std::uint64_t> size() override {
    if (report_ == SizeReport::Unknown) return std::nullopt;
    return data_.size() + (report_ == SizeReport::Overclaimed ? 100'000 : 0);
  }

 private:
  const std::string& data_;
  SizeReport report_;
};

ScanResult windowed_scan(const std::string& file, std::size_t window_size, SizeReport report) {
  StringFile input(file, report);
  settings::TMp3Settings settings;
  settings.TrackOption = kTrackOption;
  ScanResult result;
  result.audio_offset = ReadId3v2Tag(input, settings, result.info, window_size);
  return result;
}

// Tags as taggers write them, then damaged the ways files are.
class TagGenerator {
 public:
  TagGenerator(std::mt19937& rng, std::size_t window_size) : rng_(rng), window_(window_size) {}

  std::string file() {
    std::string body = extended_header();
    const int pieces = uniform(1, 10);
    for (int i = 0; i < pieces; ++i) {
      const int kind = uniform(0, 99);
      if (kind < 70) {
        body += frame();
      } else if (kind < 85) {
        body.append(chance(10) ? static_cast<std::size_t>(uniform(0, 3 * static_cast<int>(window_)))
                               : static_cast<std::size_t>(uniform(0, 40)),
                    '\0');
      } else {
        body += bytes(static_cast<std::size_t>(uniform(1, 40)), true);
      }
    }
    std::string out = "ID3"s + static_cast<char>(major_) + '\0' + static_cast<char>(flags_) +
                      size_bytes(body.size()) + body;
    // What follows the tag: audio, or frames that must not be read as the tag's.
    out += chance(50) ? bytes(static_cast<std::size_t>(uniform(0, 64)), true) : frame();
    damage(out);
    return out;
  }

 private:
  int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }
  bool chance(int percent) { return uniform(0, 99) < percent; }
  template <typename T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[static_cast<std::size_t>(uniform(0, static_cast<int>(N) - 1))];
  }

  std::string bytes(std::size_t count, bool any) {
    // Texts: letters, blanks, controls and Shift-JIS lead and trail bytes, with the odd zero.
    static const char kTextBytes[] = "abcXYZ09 ()-/\t\x81\x40\x82\xa0\x83\x65\xff";
    std::string out(count, '\0');
    for (char& c : out) {
      c = any ? static_cast<char>(uniform(0, 255))
              : (chance(4) ? '\0' : kTextBytes[uniform(0, sizeof kTextBytes - 2)]);
    }
    return out;
  }

  std::string extended_header() {
    major_ = static_cast<std::uint8_t>(pick({2, 3, 3, 3, 4, 4, 5}));
    flags_ = chance(60) ? 0 : chance(75) ? 0x40 : static_cast<std::uint8_t>(uniform(0, 255));
    if (major_ <= 2 || (flags_ & 0x40) == 0 || chance(5)) return {};
    const auto content = static_cast<std::uint32_t>(chance(80) ? uniform(0, 12) : uniform(0, 300));
    std::string size;
    if (chance(15)) {
      size = bytes(4, true);
    } else if (major_ == 3) {
      size = be32(content);
    } else {
      size = fixtures::synchsafe32(content + 4);
    }
    return (size + bytes(content, true))
        .substr(0, chance(5) ? static_cast<std::size_t>(uniform(0, 3)) : std::string::npos);
  }

  std::uint32_t frame_size() {
    const auto w = static_cast<int>(window_);
    switch (uniform(0, 9)) {
      case 0:
        return 0;
      case 1:
        return 1;
      case 2:
      case 3:
      case 4:
        return static_cast<std::uint32_t>(uniform(2, 24));
      case 5:
      case 6:
        return static_cast<std::uint32_t>(std::max(0, uniform(w - 14, w + 14)));
      default:
        return static_cast<std::uint32_t>(uniform(w + 1, 3 * w));
    }
  }

  std::string frame() {
    static const char* const kIds[] = {"TIT2", "TPE1",  "TALB", "TYER", "TRCK",    "TCON",
                                       "TIT2", "TRCK",  "TCON", "TXXX", "APIC",    "TDRC",
                                       "COMM", "\0IT2", " PE1", "TAL ", "TYE\x01", "T  K"};
    const std::string id = chance(10) ? bytes(4, true) : std::string(pick(kIds), 4);
    const std::uint32_t size = frame_size();
    std::string body;
    if (size > 0) {
      body += chance(75) ? '\0' : static_cast<char>(pick({1, 2, 3, 0x41}));
      if (id == "TCON" && chance(60)) {
        static const char* const kGenres[] = {"(17)", "(17)Rock", "((17)", "(200)",
                                              "(RX)", "(abc)x",   "(17",   "(+1) "};
        body += pick(kGenres);
      }
      body += bytes(size - std::min<std::size_t>(size, body.size()), false);
      body.resize(size);
    }
    std::uint32_t claimed = size;
    switch (uniform(0, 19)) {
      case 0:
        claimed = size | 0x80000000u;  // negative
        break;
      case 1:
        claimed = size + static_cast<std::uint32_t>(uniform(1, 40));
        break;
      case 2:
        claimed = size - std::min<std::uint32_t>(size, static_cast<std::uint32_t>(uniform(1, 40)));
        break;
      case 3:
        claimed = 0x00FFFFFFu + static_cast<std::uint32_t>(uniform(0, 1000));  // larger than S
        break;
      case 4:
        claimed = static_cast<std::uint32_t>(uniform(0, 255)) << 24 |
                  static_cast<std::uint32_t>(uniform(0, 0xFFFFFF));
        break;
      default:
        break;
    }
    return id + be32(claimed) + bytes(2, chance(10)) + body;
  }

  std::string size_bytes(std::size_t body_size) {
    if (chance(8)) return bytes(4, true);  // top bits set, sizes far past the file end
    std::size_t claimed = body_size;
    if (chance(10)) claimed -= std::min(body_size, static_cast<std::size_t>(uniform(1, 200)));
    if (chance(10)) claimed += static_cast<std::size_t>(uniform(1, 200));
    return fixtures::synchsafe32(static_cast<std::uint32_t>(claimed));
  }

  void damage(std::string& file) {
    if (chance(40)) {
      for (int flips = uniform(1, 8); flips > 0; --flips) {
        // Anything after "ID3", the header included.
        const auto at = static_cast<std::size_t>(uniform(3, static_cast<int>(file.size()) - 1));
        file[at] = static_cast<char>(file[at] ^ (1 << uniform(0, 7)));
      }
    }
    if (chance(15)) {
      file.resize(static_cast<std::size_t>(uniform(3, static_cast<int>(file.size()))));
    }
  }

  std::mt19937& rng_;
  std::size_t window_;
  std::uint8_t major_ = 3;
  std::uint8_t flags_ = 0;
};

std::string hex(std::string_view bytes) {
  std::ostringstream out;
  static const char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 400); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out << kDigits[b >> 4] << kDigits[b & 0xF];
  }
  if (bytes.size() > 400) out << "... (" << bytes.size() << " bytes)";
  return out.str();
}

TEST(Id3v2WindowedScan, EqualsTheWholeBufferScanOnGeneratedAndDamagedTags) {
  const std::size_t kWindows[] = {16, 17, 64, 1000, kId3v2WindowSize};
  const SizeReport kReports[] = {SizeReport::Exact, SizeReport::Exact, SizeReport::Unknown,
                                 SizeReport::Overclaimed};
  std::mt19937 rng(20240611);
  int cases_with_items = 0;
  int texts_longer_than_window = 0;
  int files_ending_inside_the_body = 0;
  int failures = 0;
  constexpr int kCases = 3000;
  for (int n = 0; n < kCases && failures < 5; ++n) {
    const std::size_t window = kWindows[static_cast<std::size_t>(n) % std::size(kWindows)];
    const SizeReport report = kReports[static_cast<std::size_t>(n / 5) % std::size(kReports)];
    const std::string file = TagGenerator(rng, window).file();

    const ScanResult expected = whole_buffer_scan(file);
    const ScanResult actual = windowed_scan(file, window, report);
    if (actual != expected) {
      ++failures;
      ADD_FAILURE() << "case " << n << ", window " << window << ", size report "
                    << static_cast<int>(report) << "\nfile " << hex(file);
      EXPECT_EQ(actual.audio_offset, expected.audio_offset);
      EXPECT_EQ(actual.info.Title, expected.info.Title);
      EXPECT_EQ(actual.info.Artist, expected.info.Artist);
      EXPECT_EQ(actual.info.Album, expected.info.Album);
      EXPECT_EQ(actual.info.Year, expected.info.Year);
      EXPECT_EQ(actual.info.Track, expected.info.Track);
      EXPECT_EQ(actual.info.Genre, expected.info.Genre);
    }
    const TMp3FileInfo& info = expected.info;
    if (info != TMp3FileInfo{}) ++cases_with_items;
    if (file.size() < expected.audio_offset) ++files_ending_inside_the_body;
    for (const std::string* text :
         {&info.Title, &info.Artist, &info.Album, &info.Year, &info.Track, &info.Genre}) {
      if (text->size() > window) ++texts_longer_than_window;
    }
  }
  // The generator must reach what the comparison is about.
  EXPECT_GT(cases_with_items, kCases / 4);
  EXPECT_GT(texts_longer_than_window, kCases / 20);
  EXPECT_GT(files_ending_inside_the_body, kCases / 10);
}

}  // namespace
}  // namespace mp3info
