#include "mp3info/id3v1.h"

namespace mp3info {

// Finds no tag yet: the reader comes with the tag-reading work.
void ReadId3v1Tag(fileio::RandomAccessFile&, const settings::TMp3Settings&, TMp3FileInfo&) {}

}  // namespace mp3info
