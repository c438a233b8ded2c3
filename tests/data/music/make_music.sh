#!/usr/bin/env bash
# Regenerates the short tones the music tests play and the play list over them. Needs ffmpeg;
# the results are committed, so the tests themselves do not.
set -euo pipefail
cd "$(dirname "$0")"
q=(-y -loglevel error)
for n in 1 2 3; do
    ffmpeg "${q[@]}" -f lavfi -i "sine=frequency=$((220 * n)):duration=2:sample_rate=8000" \
        -ac 1 -c:a pcm_u8 "tone$n.wav"
done
printf '#EXTM3U\r\n#EXTINF:0,一曲目\r\ntone1.wav\r\n#EXTINF:0,二曲目\r\ntone2.wav\r\n#EXTINF:0,三曲目\r\ntone3.wav\r\n' > three.m3u
