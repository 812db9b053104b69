#include "mp3info/id3v2.h"

namespace mp3info {

// Reads nothing yet: the reader comes with the tag-reading work.
std::uint64_t ReadId3v2Tag(fileio::RandomAccessFile&, const settings::TMp3Settings&,
                           TMp3FileInfo&) {
  return 0;
}

}  // namespace mp3info
