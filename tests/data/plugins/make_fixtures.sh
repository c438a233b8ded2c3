#!/usr/bin/env bash
# Makes the small pictures the plug-in tests decode. Needs ImageMagick, avifenc (libavif-bin),
# heif-enc (libheif-examples) and cjxl (libjxl-tools); the results are committed, so the tests
# need none of them.
#
# Every picture is 64 x 48 in four quadrants: red top left, green top right, blue bottom left,
# white bottom right. In the GIF the white quadrant is transparent and the GIF's background
# colour is magenta.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 32x24 xc:red xc:lime +append "$tmp/top.png"
convert -size 32x24 xc:blue xc:white +append "$tmp/bottom.png"
convert "$tmp/top.png" "$tmp/bottom.png" -append -depth 8 -type TrueColor "PNG24:$tmp/source.png"

# The GIF is written by hand so that it has a background colour of its own and a second frame
# (all red) that must not be shown.
python3 - <<'PY'
import struct

def lzw(pixels, min_size=3):
    # Codes without compression: a clear code every few pixels keeps the code width fixed.
    clear, end, width = 1 << min_size, (1 << min_size) + 1, min_size + 1
    codes = []
    for i, p in enumerate(pixels):
        if i % 5 == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    bits = acc = 0
    out = bytearray()
    for c in codes:
        acc |= c << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8
    if bits:
        out.append(acc & 0xFF)
    blocks = bytearray([min_size])
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b"\0")

w, h = 64, 48
# 0 red, 1 green, 2 blue, 3 white, 4 magenta (background), 5 black (transparent)
palette = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (255, 0, 255), (0, 0, 0),
           (0, 0, 0), (0, 0, 0)]
first = [(0 if x < 32 else 1) if y < 24 else (2 if x < 32 else 5) for y in range(h) for x in range(w)]
second = [0] * (w * h)
gif = bytearray(b"GIF89a" + struct.pack("<HHBBB", w, h, 0xF2, 4, 0))
for rgb in palette:
    gif += bytes(rgb)
for frame in (first, second):
    gif += b"\x21\xF9\x04" + bytes([0x01]) + struct.pack("<H", 10) + bytes([5, 0])
    gif += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0) + lzw(frame)
gif += b"\x3B"
open("sample.gif", "wb").write(gif)
PY
avifenc --lossless --jobs 1 "$tmp/source.png" sample.avif >/dev/null
heif-enc --quality 90 "$tmp/source.png" -o sample.heic >/dev/null
cjxl --distance 0 --quiet "$tmp/source.png" sample.jxl
ls -l sample.*
