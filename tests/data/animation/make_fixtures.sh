#!/usr/bin/env bash
# Makes the animation fixtures: three 32 x 24 frames, red for 200 ms, green for 300 ms and blue
# for 400 ms, looping. Needs ImageMagick, img2webp (Debian's webp) and avifenc (libavif-bin); the
# files are committed, so the tests need none of them.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for colour in ff0000 00ff00 0000ff; do
    convert -size 32x24 "xc:#$colour" "$work/$colour.png"
done
convert -delay 20 "$work/ff0000.png" -delay 30 "$work/00ff00.png" -delay 40 "$work/0000ff.png" \
    -loop 0 three.gif
img2webp -loop 0 -lossless -d 200 "$work/ff0000.png" -d 300 "$work/00ff00.png" \
    -d 400 "$work/0000ff.png" -o three.webp
avifenc -l --timescale 10 --duration 2 "$work/ff0000.png" --duration 3 "$work/00ff00.png" \
    --duration 4 "$work/0000ff.png" three.avif >/dev/null
