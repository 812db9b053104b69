#!/usr/bin/env bash
# Reads files that real tools make — sox's audio, lame's frames and Xing/Info headers, id3v2's
# and lame's tags — with the native tunlex, and compares every answer.
#   real_encoders_test.sh PATH/TO/tunlex
# Prints each comparison; exits 1 on any mismatch, and when a tool is missing (scripts/setup
# installs them), so a machine without them cannot pass by skipping.
set -uo pipefail

[ -x "${1:-}" ] || { echo "FAIL: usage: real_encoders_test.sh PATH/TO/tunlex"; exit 1; }
tunlex=$(realpath "$1")
for tool in sox lame id3v2 od; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup native)"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0

# Making a fixture must work; if it does not, nothing after it means anything.
run() {
  "$@" >tool.log 2>&1 || { echo "FAIL: $*"; cat tool.log; exit 1; }
}

# `count` bytes of `file` at `offset`, as hex pairs without spaces.
hex_at() {  # file offset count
  od -An -tx1 -v -j"$2" -N"$3" "$1" | tr -d ' \n'
}

be32_at() {  # file offset
  echo $((16#$(hex_at "$1" "$2" 4)))
}

# What lame or id3v2 wrote, where a check below relies on it.
fixture() {  # description actual expected
  if [ "$2" = "$3" ]; then
    echo "ok    fixture: $1"
  else
    echo "FAIL  fixture: $1: $2, expected $3"
    failures=$((failures + 1))
  fi
}

play_time() {  # seconds -> the default format, 246 -> 4'06
  printf "%d'%02d" $(($1 / 60)) $(($1 % 60))
}

# expect FILE LETTER ANSWER [LETTER ANSWER]...
expect() {
  local file=$1 letter got status
  shift
  while [ $# -ge 2 ]; do
    letter=$1
    got=$("$tunlex" --encoding sjis -p "$letter" "$file" 2>&1)
    status=$?
    if [ $status -ne 0 ]; then
      printf 'FAIL  %-22s -p %s  exit status %d: %s\n' "$file" "$letter" $status "$got"
      failures=$((failures + 1))
    elif [ "$got" = "$2" ]; then
      printf 'ok    %-22s -p %s  "%s"\n' "$file" "$letter" "$got"
    else
      printf 'FAIL  %-22s -p %s  "%s", expected "%s"\n' "$file" "$letter" "$got" "$2"
      failures=$((failures + 1))
    fi
    shift 2
  done
}

# Two seconds, a different tone on each side so the stereo modes have something to code; at
# half scale, so dithering does not clip. -D: no dither, the same bytes every run.
run sox -D -n -r 44100 -c 2 -b 16 tone.wav synth 2 sine 440 sine 660 vol 0.5

run lame --quiet -m j -b 128 tone.wav cbr128-joint.mp3
run lame --quiet -m s -b 128 tone.wav cbr128-stereo.mp3
run lame --quiet -m d -b 192 tone.wav cbr192-dual.mp3
run lame --quiet -m m -b 64 --resample 48 tone.wav cbr64-mono-48k.mp3
run lame --quiet -m j -V 2 tone.wav vbr-joint.mp3
# -p adds a CRC, yet lame puts the Xing header where it would be without one.
run lame --quiet -m j -V 2 -p tone.wav vbr-joint-crc.mp3
run lame --quiet -m m -V 4 --resample 32 tone.wav vbr-mono-32k.mp3
run lame --quiet -m j -b 128 --add-id3v2 --tt "Lame Title" --ta "Lame Artist" \
  --tl "Lame Album" --ty 2010 --tn 5 --tg Blues tone.wav lame-tagged.mp3

# The side information ends 36 bytes into a stereo frame and 21 into a mono one.
fixture "lame's CBR frame carries an Info header" "$(hex_at cbr128-joint.mp3 36 4)" 496e666f
fixture "lame's mono CBR frame carries an Info header" "$(hex_at cbr64-mono-48k.mp3 21 4)" 496e666f
fixture "lame's VBR frame carries a Xing header" "$(hex_at vbr-joint.mp3 36 4)" 58696e67
fixture "lame -p clears the protection bit" "$(hex_at vbr-joint-crc.mp3 1 1)" fa
fixture "lame -p puts Xing at 36, not after the CRC at 38" "$(hex_at vbr-joint-crc.mp3 36 4)" \
  58696e67
fixture "lame's mono VBR frame carries a Xing header" "$(hex_at vbr-mono-32k.mp3 21 4)" 58696e67

# The VBR playing time: frames (flags bit 0 set) of 1152 samples at the file's rate. lame's
# count includes the encoder delay and the padding at the end, a few frames beyond 2 s.
xing_time() {  # file xing_offset rate; sets xing_time_text
  local flags frames
  flags=$(be32_at "$1" $(($2 + 4)))
  frames=$(be32_at "$1" $(($2 + 8)))
  fixture "$1: Xing frame count present" $((flags & 1)) 1
  fixture "$1: $frames frames hold 2 s plus lame's delay and padding" \
    $((frames * 1152 >= 2 * $3 && frames * 1152 < 2 * $3 + 3 * 1152)) 1
  xing_time_text=$(play_time $((frames * 1152 / $3)))
}
xing_time vbr-joint.mp3 36 44100
vbr_joint_time=$xing_time_text
xing_time vbr-joint-crc.mp3 36 44100
vbr_crc_time=$xing_time_text
xing_time vbr-mono-32k.mp3 21 32000
vbr_mono_time=$xing_time_text

# id3v2 writes both tags by default: the ID3v2 one must win, seen by a title longer than the
# 30 bytes an ID3v1 tag holds.
long_title="A Sine Wave Title Longer Than Thirty Bytes"
run id3v2 -a "Tone Artist" -t "$long_title" -A "Tone Album" -y 2003 -T 5 -g 17 \
  cbr128-joint.mp3
run id3v2 -2 -a "Second Artist" -t "Second Title" -A "Second Album" -y 2004 -T 12 -g 8 \
  cbr128-stereo.mp3
run id3v2 -2 -a "Vbr Artist" -t "Vbr Title" -A "Vbr Album" -y 2005 -T 5 -g 13 vbr-joint.mp3
run id3v2 -1 -a "Mono Artist" -t "Mono Title" -A "Mono Album" -y 1999 -T 7 -g 8 \
  cbr64-mono-48k.mp3

# id3v2 writes ID3v2.3, text frames with encoding 0 and no terminating zero: the first frame,
# TPE1, is the encoding byte plus the 11 bytes of "Tone Artist".
fixture "id3v2 writes ID3v2.3" "$(hex_at cbr128-joint.mp3 0 4)" 49443303
fixture "id3v2's TPE1: size 12, encoding 0" "$(hex_at cbr128-joint.mp3 10 11)" \
  545045310000000c000000
fixture "id3v2 -1 writes no ID3v2 tag" "$(hex_at cbr64-mono-48k.mp3 0 2)" fffb
fixture "id3v2 also writes an ID3v1 tag" \
  "$(hex_at cbr128-joint.mp3 $(($(stat -c %s cbr128-joint.mp3) - 128)) 3)" 544147
# lame's own tag: ID3v2.3 with UTF-16 text (encoding 1) for every text frame, which our reader
# skips, and a Latin-1 TCON after them, which it reads. lame puts the same texts into an ID3v1
# tag too, which is not read behind an ID3v2 tag.
lame_tit2=$(grep -obUa TIT2 lame-tagged.mp3 | head -n1 | cut -d: -f1)
fixture "lame writes TIT2 as UTF-16 (encoding 1)" "$(hex_at lame-tagged.mp3 $((lame_tit2 + 10)) 1)" 01
fixture "lame also writes an ID3v1 tag" \
  "$(hex_at lame-tagged.mp3 $(($(stat -c %s lame-tagged.mp3) - 128)) 3)" 544147

# CBR times come from the file size at the frame's bitrate, tags included: 2 s of audio and a
# few KB of tags stay under 3 s.
expect cbr128-joint.mp3 P "Tone Artist" T "$long_title" A "Tone Album" N 05 Y 2003 G Rock \
  S "0'02" B 128 F 44100 V "" C JointStereo
expect cbr128-stereo.mp3 P "Second Artist" T "Second Title" A "Second Album" N 12 Y 2004 \
  G Jazz S "0'02" B 128 F 44100 V "" C Stereo
expect cbr192-dual.mp3 P "" T "" N "" S "0'02" B 192 F 44100 V "" C DualChannel
expect cbr64-mono-48k.mp3 P "Mono Artist" T "Mono Title" A "Mono Album" N 07 Y 1999 G Jazz \
  S "0'02" B 64 F 48000 V "" C SingleChannel
# lame writes the Xing frame's header at 128 kbps whatever the stream's rates. Taken from the
# file size at that rate, the times would read 0'01 and 0'00.
expect vbr-joint.mp3 P "Vbr Artist" T "Vbr Title" A "Vbr Album" N 05 Y 2005 G Pop \
  S "$vbr_joint_time" B 128 F 44100 V "(VBR)" C JointStereo
expect vbr-joint-crc.mp3 S "$vbr_crc_time" B 128 F 44100 V "(VBR)" C JointStereo
expect vbr-mono-32k.mp3 S "$vbr_mono_time" B 128 F 32000 V "(VBR)" C SingleChannel
expect lame-tagged.mp3 P "" T "" A "" N "" Y "" G Blues S "0'02" B 128 F 44100 V "" \
  C JointStereo

echo "$failures mismatches"
[ "$failures" -eq 0 ]
