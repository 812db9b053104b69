#include "mp3info/audio_header.h"

namespace mp3info {

// Accepts no header yet: the reader comes with the audio-header work.
std::optional<std::int32_t> ReadAudioHeader(fileio::RandomAccessFile&, std::uint64_t,
                                            const settings::TMp3Settings&, TMp3FileInfo&) {
  return std::nullopt;
}

}  // namespace mp3info
