#!/usr/bin/env bash
# Makes the small pictures the plug-in tests decode. Needs ImageMagick, avifenc (libavif-bin),
# heif-enc (libheif-examples), cjxl (libjxl-tools) and the Adobe RGB profile of icc-profiles-free;
# the results are committed, so the tests need none of them.
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

# One colour, rgb(180,120,60), stated in a wide gamut: Display P3 by the code points of HEIF's
# and AVIF's nclx box, Adobe RGB by an ICC profile in JPEG XL.
convert -size 64x48 "xc:rgb(180,120,60)" -depth 8 -type TrueColor "PNG24:$tmp/flat.png"
# heif-enc leaves the nclx box out (a workaround for another system's decoder that it cannot be
# told to drop), so the HEIF is written through libheif (libheif-dev) directly.
cat > "$tmp/p3heic.cpp" <<'CPP'
#include <libheif/heif.h>
#include <cstring>
int main(int, char **argv)
{
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_image *image = nullptr;
    heif_image_create(64, 48, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, 64, 48, 8);
    int stride = 0;
    uint8_t *rows = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            std::memcpy(rows + y * stride + 3 * x, "\xb4\x78\x3c", 3);
    heif_color_profile_nclx *nclx = heif_nclx_color_profile_alloc();
    heif_nclx_color_profile_set_color_primaries(nclx, 12);
    heif_nclx_color_profile_set_transfer_characteristics(nclx, 13);
    heif_nclx_color_profile_set_matrix_coefficients(nclx, 6);
    nclx->full_range_flag = 1;
    heif_image_set_nclx_color_profile(image, nclx);
    heif_encoding_options *options = heif_encoding_options_alloc();
    options->macOS_compatibility_workaround_no_nclx_profile = 0;
    options->output_nclx_profile = nclx;
    heif_context_encode_image(context, image, encoder, options, nullptr);
    return heif_context_write_to_file(context, argv[1]).code == heif_error_Ok ? 0 : 1;
}
CPP
g++ "$tmp/p3heic.cpp" -o "$tmp/p3heic" $(pkg-config --cflags --libs libheif)
"$tmp/p3heic" p3.heic
avifenc --lossless --jobs 1 --cicp 12/13/0 "$tmp/flat.png" p3.avif >/dev/null
convert "$tmp/flat.png" -profile /usr/share/color/icc/compatibleWithAdobeRGB1998.icc \
    "$tmp/adobe.png"
cjxl --distance 0 --quiet "$tmp/adobe.png" adobe.jxl
ls -l sample.* p3.* adobe.*
