#!/usr/bin/python3
"""Peer: mutagen reading the fields our tool answers, one line per file named on the command
line. ID3 loads an ID3v1 tag too when there is no ID3v2 tag."""

import sys

from mutagen.mp3 import MP3


def text(tags, key):
    frame = tags.get(key) if tags is not None else None
    return str(frame.text[0]) if frame is not None and frame.text else ""


def main():
    out = sys.stdout
    failures = 0
    for path in sys.argv[1:]:
        try:
            f = MP3(path)
        except Exception as error:  # mutagen raises many kinds for a bad file
            print(f"mutagen_read: cannot read '{path}': {error}", file=sys.stderr)
            failures += 1
            continue
        tags, info = f.tags, f.info
        out.write("\t".join([path, text(tags, "TPE1"), text(tags, "TIT2"), text(tags, "TALB"),
                             text(tags, "TRCK"), text(tags, "TDRC"), text(tags, "TCON"),
                             f"{info.length:.0f}", str(info.bitrate // 1000),
                             str(info.sample_rate), str(info.channels)]) + "\n")
    return 0 if failures == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
