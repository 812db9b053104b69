#include "mp3info/play_time.h"

namespace mp3info {

std::string FormatPlayTime(std::int32_t seconds, std::int32_t time_format,
                           std::string_view separator) {
  // No reader yields a meaningful negative time; -1 marks "unknown".
  if (seconds < 0) return {};
  if (time_format == 0) return std::to_string(seconds);

  std::string text;
  if (seconds > 3600) {  // exactly 3600 reads as 60 minutes
    text += std::to_string(seconds / 3600);
    text += separator;
    seconds %= 3600;
  }
  std::string minutes = std::to_string(seconds / 60);
  if (minutes.size() < 2) {
    if (time_format == 1) minutes.insert(0, 1, '0');
    if (time_format == 2) minutes.insert(0, 1, ' ');
  }
  text += minutes;
  text += separator;
  const std::int32_t rest = seconds % 60;
  if (rest < 10) text += '0';
  text += std::to_string(rest);
  return text;
}

}  // namespace mp3info
