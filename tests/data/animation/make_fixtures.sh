#!/usr/bin/env bash
# Makes the animation fixtures: three 32 x 24 frames, red for 200 ms, green for 300 ms and blue
# for 400 ms, looping. Needs ImageMagick, img2webp (Debian's webp), avifenc (libavif-bin) and
# apngasm; the files are committed, so the tests need none of them.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frame=1
for colour in ff0000 00ff00 0000ff; do
    convert -size 32x24 "xc:#$colour" "$work/$colour.png"
    # apngasm takes each frame's delay from a text file beside it.
    cp "$work/$colour.png" "$work/frame$frame.png"
    echo "delay=$((frame + 1))/10" >"$work/frame$frame.txt"
    frame=$((frame + 1))
done
convert -delay 20 "$work/ff0000.png" -delay 30 "$work/00ff00.png" -delay 40 "$work/0000ff.png" \
    -loop 0 three.gif
img2webp -loop 0 -lossless -d 200 "$work/ff0000.png" -d 300 "$work/00ff00.png" \
    -d 400 "$work/0000ff.png" -o three.webp
avifenc -l --timescale 10 --duration 2 "$work/ff0000.png" --duration 3 "$work/00ff00.png" \
    --duration 4 "$work/0000ff.png" three.avif >/dev/null
(cd "$work" && apngasm three.png frame1.png >/dev/null) && mv "$work/three.png" three.png
