#!/usr/bin/env bash
# Regenerates the small clips the playback tests use. Needs ffmpeg; the results are committed,
# so the tests themselves do not.
set -euo pipefail
cd "$(dirname "$0")"
video=(-f lavfi -i testsrc=size=160x120:rate=15:duration=2)
audio=(-f lavfi -i sine=frequency=440:duration=2:sample_rate=22050)
q=(-y -loglevel error)

ffmpeg "${q[@]}" "${video[@]}" "${audio[@]}" -c:v libx264 -preset veryslow -crf 35 \
    -pix_fmt yuv420p -c:a aac -b:a 24k -shortest -movflags +faststart clip.mp4
ffmpeg "${q[@]}" "${video[@]}" "${audio[@]}" -c:v mpeg4 -q:v 12 -c:a libmp3lame -b:a 32k \
    -shortest clip.avi
ffmpeg "${q[@]}" "${video[@]}" "${audio[@]}" -c:v rv20 -b:v 100k -c:a ac3 -ac 2 -ar 44100 \
    -b:a 64k -shortest clip.rm
ffmpeg "${q[@]}" "${audio[@]}" -c:a libmp3lame -b:a 32k audio.mp3
ffmpeg "${q[@]}" "${audio[@]}" -c:a ac3 -ac 2 -ar 44100 -b:a 64k audio.rm
# A 6-second clip for the tests that let an interval pass while the clip still plays.
ffmpeg "${q[@]}" -f lavfi -i testsrc=size=160x120:rate=10:duration=6 -c:v libx264 \
    -preset veryslow -crf 40 -pix_fmt yuv420p -an long.mp4
# Broken input: the head of a clip, and random bytes under a movie's name.
# The truncated clip is cut before its index, which an interrupted copy loses.
ffmpeg "${q[@]}" "${video[@]}" -c:v libx264 -preset veryslow -crf 35 -pix_fmt yuv420p \
    noindex.tmp.mp4
head -c $(( $(stat -c %s noindex.tmp.mp4) / 2 )) noindex.tmp.mp4 > truncated.mp4
rm noindex.tmp.mp4
head -c 4096 /dev/urandom > random.mp4
# A clip whose video codec nothing decodes: the AVI's FourCC renamed.
python3 - <<'PY'
data = open("clip.avi", "rb").read().replace(b"FMP4", b"QQQQ")
open("nocodec.avi", "wb").write(data)
PY
