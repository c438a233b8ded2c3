#!/usr/bin/env bash
# Regenerates the sample pictures that `scripts/run` shows when it is given no argument.
# Needs ImageMagick (installed by scripts/deps). The output is committed.
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.jpg ./*.png ./*.gif ./*.bmp

sky()    { convert -size "$1" gradient:'#1e3c72'-'#f4c27f' "$2"; }
sunset() { convert -size "$1" -define gradient:angle=135 gradient:'#ff5e62'-'#ffd86f' "$2"; }
plasma() { convert -seed "$3" -size "$1" plasma:fractal -blur 0x6 -modulate 100,140 "$2"; }
radial() { convert -size "$1" radial-gradient:"$3" "$2"; }

plasma 1600x1200 01-plasma-landscape.jpg 7
sky 900x1350 02-sky-portrait.jpg
sunset 2400x800 03-sunset-panorama.jpg
radial 600x600 04-glow-square.jpg '#fff7c2-#2b5876'
plasma 3000x2000 05-large-meadow.jpg 21
convert -size 320x240 pattern:checkerboard -fill '#4a90d9' -tint 60 06-small-checker.png
plasma 1920x1080 07-wide-dusk.jpg 42
convert -size 500x1500 gradient:'#134e5e'-'#71b280' -swirl 120 08-tall-swirl.jpg
convert -size 1024x768 xc:'#fdfbfb' -fill '#7f7fd5' -draw 'circle 512,384 512,120' \
    -fill '#86a8e7' -draw 'circle 380,300 380,200' -fill '#91eae4' -draw 'circle 650,460 650,390' -depth 8 \
    09-circles.png
radial 400x300 10-lamp.gif '#ffecd2-#fcb69f'
convert -size 1200x1600 -define gradient:angle=45 gradient:'#c471f5'-'#fa71cd' 11-violet-portrait.jpg
convert -seed 5 -size 320x240 plasma:'#a8e063'-'#56ab2f' -blur 0x3 -depth 8 12-leaves.bmp

# Two files that cannot be shown: random bytes, and a picture cut short.
head -c 4096 /dev/urandom > 13-broken.jpg
head -c 2000 09-circles.png > 14-truncated.png
