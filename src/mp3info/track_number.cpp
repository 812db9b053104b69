#include "mp3info/track_number.h"

namespace mp3info {

std::string PadTrackNumber(std::string_view track, std::int32_t track_option) {
  std::string padded(track);
  if (padded.size() != 1) return padded;
  if (track_option == 1) padded.insert(0, 1, '0');
  if (track_option == 2) padded.insert(0, 1, ' ');
  return padded;
}

}  // namespace mp3info
