// Peer: TagLib reading the fields our tool answers, one line per file, for every file named on
// the command line. MPEG::File directly (no FileRef type resolution) with the fast audio
// properties: the cheapest way TagLib offers to read these.
#include <taglib/mpegfile.h>
#include <taglib/tag.h>

#include <cstdio>

int main(int argc, char** argv) {
  static char buffer[1 << 16];
  std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
  int failures = 0;
  for (int i = 1; i < argc; ++i) {
    TagLib::MPEG::File file(argv[i], true, TagLib::AudioProperties::Fast);
    const TagLib::Tag* tag = file.isValid() ? file.tag() : nullptr;
    const TagLib::AudioProperties* audio = file.isValid() ? file.audioProperties() : nullptr;
    if (!tag || !audio) {
      std::fprintf(stderr, "taglib_read: cannot read '%s'\n", argv[i]);
      ++failures;
      continue;
    }
    std::printf("%s\t%s\t%s\t%s\t%u\t%u\t%s\t%d\t%d\t%d\t%d\n", argv[i],
                tag->artist().toCString(true), tag->title().toCString(true),
                tag->album().toCString(true), tag->track(), tag->year(),
                tag->genre().toCString(true), audio->lengthInSeconds(), audio->bitrate(),
                audio->sampleRate(), audio->channels());
  }
  return failures == 0 ? 0 : 1;
}
