#include "mp3info/answer.h"

#include <array>
#include <span>

namespace mp3info {
namespace {

using settings::TFieldCode;

// The label at `index`, or nothing when the index is -1 (no header) or, from a corrupt record,
// outside the table.
template <std::size_t N>
void append_label(const std::array<std::string, N>& labels, std::int32_t index, std::string& out) {
  if (index >= 0 && static_cast<std::size_t>(index) < N) out += labels[index];
}

}  // namespace

std::optional<std::int32_t> FieldCodeOfLetter(char letter) {
  const auto at = kMacroLetters.find(letter);
  if (at == std::string_view::npos) return std::nullopt;
  return static_cast<std::int32_t>(at) + 1;
}

void AppendField(std::int32_t code, const settings::TMp3Settings& settings,
                 const TMp3FileInfo& info, std::string& out) {
  switch (code) {
    case TFieldCode::FieldArtist:
      out += info.Artist;
      break;
    case TFieldCode::FieldTitle:
      out += info.Title;
      break;
    case TFieldCode::FieldAlbum:
      out += info.Album;
      break;
    case TFieldCode::FieldTrack:
      out += info.Track;
      break;
    case TFieldCode::FieldYear:
      out += info.Year;
      break;
    case TFieldCode::FieldGenre:
      out += info.Genre;
      break;
    case TFieldCode::FieldPlayTime:
      out += info.PlayTime;
      break;
    case TFieldCode::FieldBitrate:
      append_label(settings.BitrateLabels, info.BitrateIndex, out);
      break;
    case TFieldCode::FieldSampling:
      append_label(settings.SamplingLabels, info.SamplingIndex, out);
      break;
    case TFieldCode::FieldVbr:
      append_label(settings.VbrLabels, info.VbrFlag, out);
      break;
    case TFieldCode::FieldChannelMode:
      append_label(settings.ChannelLabels, info.ChannelMode, out);
      break;
    default:
      break;  // a code from a hand-edited file contributes nothing
  }
}

void AssembleAnswer(std::string_view parameter, const settings::TMp3Settings& settings,
                    const TMp3FileInfo& info, std::string& answer) {
  answer.clear();
  if (parameter.empty()) {
    for (const auto& item : settings.DefaultItems) {
      if (item.Code == TFieldCode::FieldLiteral) {
        answer += item.Text;
      } else {
        AppendField(item.Code, settings, info, answer);
      }
    }
    return;
  }
  // Two or more bytes select nothing, so a double-byte character never picks an item.
  if (parameter.size() != 1) return;
  if (const auto code = FieldCodeOfLetter(parameter[0])) AppendField(*code, settings, info, answer);
}

}  // namespace mp3info
