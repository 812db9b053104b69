#pragma once

#include <cstdint>
#include <string>

namespace mp3info {

// What one read found in one file. Texts are Shift-JIS bytes; an index of -1 means none.
struct TMp3FileInfo {
  std::string Title;
  std::string Artist;
  std::string Album;
  std::string Year;
  std::string Track;
  std::string Genre;
  std::string PlayTime;
  std::int32_t BitrateIndex = -1;
  std::int32_t SamplingIndex = -1;
  std::int32_t VbrFlag = -1;
  std::int32_t ChannelMode = -1;

  bool operator==(const TMp3FileInfo&) const = default;
};

}  // namespace mp3info
