#!/usr/bin/python3
"""Writes the benchmark corpus: N MP3 files in one folder, plus a JSON index beside it.

    make_corpus.py --files N --out DIR --sources DIR

Encoding is slow, so a few dozen distinct sources are encoded once (cached in --sources) and
every corpus file is a copy of one of them with its own tags. Output is deterministic for N.
"""

import argparse
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

from mutagen.id3 import (APIC, COMM, ID3, TALB, TCON, TDRC, TIT2, TPE1, TRCK, TYER)

# Bump when the output changes, so cached corpora are rebuilt.
GENERATOR_VERSION = 2

# (sample rate, channels, lame options, what it is)
ENCODINGS = [
    (44100, 2, ["-b", "128", "--cbr"], "cbr128"),
    (44100, 2, ["-b", "192", "--cbr"], "cbr192"),
    (44100, 2, ["-b", "320", "--cbr"], "cbr320"),
    (48000, 2, ["-b", "160", "--cbr", "-t"], "cbr160-notag"),
    (32000, 2, ["-b", "96", "--cbr"], "cbr96-32k"),
    (44100, 1, ["-m", "m", "-b", "64", "--cbr"], "mono64"),
    (48000, 1, ["-m", "m", "-b", "48", "--cbr", "-t"], "mono48-notag"),
    (44100, 2, ["-V", "2"], "vbr-v2-xing"),
    (44100, 2, ["-V", "5"], "vbr-v5-xing"),
    (48000, 2, ["-V", "0"], "vbr-v0-xing"),
    (44100, 1, ["-m", "m", "-V", "4"], "vbr-mono-xing"),
    (32000, 2, ["-V", "6"], "vbr-32k-xing"),
]
SOURCES_PER_ENCODING = 3  # 36 distinct sources

SHIFT_JIS_TEXTS = ["山田太郎", "海の表情", "テスト盤", "鈴木花子", "夜明けのうた",
                   "ソナタ第十番", "表現の自由", "春の祭典", "東京ブルース", "さくら（独唱）",
                   "風の谷", "ボーカロイド"]
ASCII_TEXTS = ["The Example Band", "Quiet Rooms", "Field Recordings", "Kana Sato", "Night Drive",
               "Blue in Green (Live)", "Untitled 12", "A Rather Long Album Title For Testing",
               "Moonlight", "Echoes"]
GENRES_V1 = [0, 8, 13, 17, 24, 32, 52, 80, 98, 255]
TAG_KINDS = ["v1", "v23", "v24", "v1+v23"]


def latin1_carrier(text_bytes):
    """A str mutagen writes back as exactly these bytes in an ISO-8859-1 frame."""
    return text_bytes.decode("latin-1")


def encode_source(index, work):
    rate, channels, options, name = ENCODINGS[index % len(ENCODINGS)]
    variant = index // len(ENCODINGS)
    seconds = 2 + (index % 4)  # 2..5 s
    wav = os.path.join(work, f"s{index:02d}.wav")
    mp3 = os.path.join(work, f"s{index:02d}-{name}.mp3")
    tones = ["pluck", "sine", "square"][variant % 3]
    base = 110 + 37 * index
    synth = ["synth", str(seconds), tones, str(base)]
    if channels == 2:
        synth += [tones, str(base * 3 // 2)]
    subprocess.run(["sox", "-R", "-n", "-r", str(rate), "-c", str(channels), "-b", "16", wav] + synth
                   + ["vol", "0.5"], check=True)
    subprocess.run(["lame", "--quiet", "--noreplaygain"] + options + [wav, mp3], check=True)
    os.unlink(wav)
    return mp3


def audio_only(path):
    """The file without any ID3v2 at the front or ID3v1 at the end."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:3] == b"ID3" and len(data) >= 10:
        size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
        data = data[10 + size:]
    if data[-128:-125] == b"TAG":
        data = data[:-128]
    return data


def load_sources(sources_dir):
    marker = os.path.join(sources_dir, ".complete")
    count = len(ENCODINGS) * SOURCES_PER_ENCODING
    if not os.path.exists(marker):
        shutil.rmtree(sources_dir, ignore_errors=True)
        os.makedirs(sources_dir)
        with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
            list(pool.map(lambda i: encode_source(i, sources_dir), range(count)))
        with open(marker, "w") as f:
            f.write(f"{count}\n")
    names = sorted(n for n in os.listdir(sources_dir) if n.endswith(".mp3"))
    if len(names) != count:
        sys.exit(f"make_corpus: expected {count} sources in {sources_dir}, found {len(names)}")
    return [(n, audio_only(os.path.join(sources_dir, n))) for n in names]


def pick_text(rng, japanese):
    if japanese:
        return rng.choice(SHIFT_JIS_TEXTS).encode("cp932")
    return rng.choice(ASCII_TEXTS).encode()


def id3v1_block(fields):
    def fixed(b, n):
        b = b[:n]
        # Never end on the lead byte of a Shift-JIS pair.
        text = b.decode("cp932", errors="ignore").encode("cp932")
        return text + b"\0" * (n - len(text))
    return (b"TAG" + fixed(fields["title"], 30) + fixed(fields["artist"], 30)
            + fixed(fields["album"], 30) + fixed(fields["year"].encode(), 4)
            + fixed(b"bench corpus", 28) + b"\0" + bytes([fields["track"] % 256])
            + bytes([fields["genre_v1"]]))


def picture_bytes(rng):
    size = rng.randrange(200_000, 400_000)
    header = b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
    return header + rng.randbytes(size - len(header) - 2) + b"\xff\xd9"


def write_id3v2(path, fields, version, rng, picture):
    tags = ID3()
    # Mostly ISO-8859-1 frames holding Shift-JIS bytes; some UTF-16 (v2.3) or UTF-8 (v2.4).
    unicode_frames = rng.random() < 0.2
    enc = (1 if version == 3 else 3) if unicode_frames else 0

    def text(b):
        return b.decode("cp932") if enc else latin1_carrier(b)

    tags.add(TPE1(encoding=enc, text=[text(fields["artist"])]))
    tags.add(TIT2(encoding=enc, text=[text(fields["title"])]))
    tags.add(TALB(encoding=enc, text=[text(fields["album"])]))
    track = str(fields["track"])
    if rng.random() >= 0.6:
        track += f"/{fields['track'] + 7}"
    tags.add(TRCK(encoding=0, text=[track]))
    if version == 3:
        tags.add(TYER(encoding=0, text=[fields["year"]]))
    else:
        tags.add(TDRC(encoding=0, text=[fields["year"]]))
    genre = f"({fields['genre_v1']})" if rng.random() < 0.5 else "Rock"
    tags.add(TCON(encoding=0, text=[genre]))
    tags.add(COMM(encoding=0, lang="eng", desc="", text=["bench corpus"]))
    if picture:
        tags.add(APIC(encoding=0, mime="image/jpeg", type=3, desc="cover", data=picture_bytes(rng)))
    padding = rng.choice([0, 256, 1024, 2048])
    tags.save(path, v1=0, v2_version=version, padding=lambda info: padding)


def write_file(path, index, audio, rng):
    kind = TAG_KINDS[(index // 7) % len(TAG_KINDS)]
    picture = index % 10 == 5 and kind != "v1"
    if index % 10 == 5 and kind == "v1":
        kind = "v1+v23"
        picture = True
    japanese = rng.random() < 0.5
    fields = {
        "artist": pick_text(rng, japanese),
        "title": pick_text(rng, japanese),
        "album": pick_text(rng, rng.random() < 0.5),
        "year": str(rng.randrange(1960, 2024)),
        "track": rng.randrange(1, 20),
        "genre_v1": rng.choice(GENRES_V1),
    }
    with open(path, "wb") as f:
        f.write(audio)
    if kind in ("v23", "v1+v23"):
        write_id3v2(path, fields, 3, rng, picture)
    elif kind == "v24":
        write_id3v2(path, fields, 4, rng, picture)
    if kind in ("v1", "v1+v23"):
        with open(path, "ab") as f:
            f.write(id3v1_block(fields))
    return kind, picture


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--files", type=int, required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--sources", required=True)
    args = parser.parse_args()
    if args.files < 1:
        sys.exit("make_corpus: --files must be at least 1")

    sources = load_sources(args.sources)
    parent = os.path.dirname(os.path.abspath(args.out))
    os.makedirs(parent, exist_ok=True)
    work = tempfile.mkdtemp(prefix=".corpus-", dir=parent)
    index = {"generator": GENERATOR_VERSION, "files": [], "pictures": [], "kinds": {}}
    width = max(5, len(str(args.files - 1)))
    for i in range(args.files):
        rng = random.Random(i * 7919 + GENERATOR_VERSION)
        name = f"t{i:0{width}d}.mp3"
        source_name, audio = sources[(i * 5) % len(sources)]
        kind, picture = write_file(os.path.join(work, name), i, audio, rng)
        index["files"].append(name)
        if picture:
            index["pictures"].append(name)
        key = f"{kind} {source_name.split('-', 1)[1][:-4]}"
        index["kinds"][key] = index["kinds"].get(key, 0) + 1
    shutil.rmtree(args.out, ignore_errors=True)
    os.rename(work, args.out)
    with open(args.out + ".json", "w") as f:
        json.dump(index, f, indent=1)


if __name__ == "__main__":
    main()
