#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace settings {

// Codes of the composition entries. Entries loaded from a hand-edited file may carry other
// values, so entries store a plain integer.
enum TFieldCode : std::int32_t {
  FieldLiteral = 0,
  FieldArtist = 1,
  FieldTitle = 2,
  FieldAlbum = 3,
  FieldTrack = 4,
  FieldYear = 5,
  FieldGenre = 6,
  FieldPlayTime = 7,
  FieldBitrate = 8,
  FieldSampling = 9,
  FieldVbr = 10,
  FieldChannelMode = 11,
};

struct TDefaultItem {
  std::string Text;  // the literal's text; empty for a field
  std::int32_t Code = FieldLiteral;

  bool operator==(const TDefaultItem&) const = default;
};

constexpr std::size_t kBitrateLabelCount = 17;
constexpr std::size_t kSamplingLabelCount = 4;
constexpr std::size_t kVbrLabelCount = 2;
constexpr std::size_t kChannelLabelCount = 4;
constexpr std::size_t kVbrBitrateLabel = 16;

// All texts are Shift-JIS bytes. Value-initialised it is the state before initialisation:
// empty texts, zero numbers.
struct TMp3Settings {
  std::string IniPath;
  std::string IniSection;
  std::vector<TDefaultItem> DefaultItems;
  std::int32_t TrackOption = 0;
  std::int32_t TimeFormat = 0;
  std::string TimeSeparator;
  std::array<std::string, kBitrateLabelCount> BitrateLabels;
  bool ShowVbrAsBitrate = false;
  std::array<std::string, kSamplingLabelCount> SamplingLabels;
  std::array<std::string, kVbrLabelCount> VbrLabels;
  std::array<std::string, kChannelLabelCount> ChannelLabels;

  bool operator==(const TMp3Settings&) const = default;
};

}  // namespace settings
