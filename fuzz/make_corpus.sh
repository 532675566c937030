#!/usr/bin/env bash
# Regenerates the seed corpora under fuzz/corpus/: small valid inputs for each
# fuzz target. Movies, AMF values, JSON documents and data files come from the
# program's own writers (fuzz_seed_writer, built in build-fuzz); MP3 files
# from lame, PNG files from Python's PIL, zip archives from zip. The seeds are
# checked in; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=fuzz/corpus
python=/usr/bin/python3

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVLF_FUZZ=ON -DVLF_TESTS=OFF >/dev/null
cmake --build build-fuzz --target fuzz_seed_writer -j"$(nproc)" >/dev/null

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

rm -rf "$corpus"
mkdir -p "$corpus"/{mp3_replace,png_replace,zip}
build-fuzz/fuzz/fuzz_seed_writer "$corpus"

# MP3: a tenth of a second of a tone at each rate a sound can have that lame
# encodes, with and without tags, information frame and junk around the frames.
"$python" - "$scratch" <<'PY'
import math, struct, sys, wave
for rate, channels in ((11025, 1), (22050, 2), (44100, 1)):
    frames = rate // 10
    with wave.open(f"{sys.argv[1]}/tone_{rate}.wav", "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        samples = (int(8000 * math.sin(2 * math.pi * 440 * i / rate)) for i in range(frames))
        w.writeframes(b"".join(struct.pack("<h", s) * channels for s in samples))
PY
lame --quiet --resample 11.025 -b 8 "$scratch/tone_11025.wav" "$corpus/mp3_replace/mono_11025.mp3"
lame --quiet --resample 22.05 -b 32 --add-id3v2 --tt Vorlune "$scratch/tone_22050.wav" "$corpus/mp3_replace/stereo_22050_tagged.mp3"
lame --quiet --resample 44.1 -b 32 -t "$scratch/tone_44100.wav" "$corpus/mp3_replace/mono_44100_no_info_frame.mp3"
"$python" - "$corpus/mp3_replace" <<'PY'
import sys
d = sys.argv[1]
frames = open(f"{d}/mono_11025.mp3", "rb").read()
tag = b"TAG" + b"Vorlune".ljust(30, b"\0") + bytes(95)
open(f"{d}/junk_and_id3v1.mp3", "wb").write(b"\x00junk before\x00" + frames + tag)
PY

# PNG: each colour type the decoder converts from.
"$python" - "$corpus/png_replace" <<'PY'
import sys
from PIL import Image
d = sys.argv[1]
Image.new("RGBA", (1, 1), (200, 100, 50, 128)).save(f"{d}/rgba_1x1.png")
rgb = Image.new("RGB", (3, 2))
rgb.putdata([(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255), (0, 0, 0), (10, 20, 30)])
rgb.save(f"{d}/rgb_3x2.png")
rgba = Image.new("RGBA", (4, 2))
rgba.putdata([(255, 255, 255, 0), (255, 0, 0, 255), (0, 255, 0, 1), (0, 0, 255, 254),
              (9, 9, 9, 64), (100, 150, 200, 128), (0, 0, 0, 255), (255, 255, 255, 255)])
rgba.save(f"{d}/rgba_4x2.png")
palette = Image.new("P", (4, 4))
palette.putpalette([0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255])
palette.putdata([i % 4 for i in range(16)])
palette.save(f"{d}/palette_4x4_transparent.png", transparency=0)
grey = Image.new("LA", (2, 3))
grey.putdata([(0, 255), (128, 128), (255, 0), (64, 32), (32, 64), (200, 200)])
grey.save(f"{d}/grey_alpha_2x3.png")
Image.new("I;16", (3, 3), 40000).save(f"{d}/grey16_3x3.png")
PY

# Zip: stored and deflated entries, an archive comment, a directory entry.
mkdir -p "$scratch/zip/Limbs"
printf '{"Data.Spt": {"x": 1.0}}\n' >"$scratch/zip/Spt.json"
printf '{"Data.Attack": {"power": 12.5}}\n' >"$scratch/zip/Attack_0.json"
printf '{"Data.PtWithName": {"name": "a"}}\n' >"$scratch/zip/PtWithName_0.json"
printf '{"Data.Limb": null}\n' >"$scratch/zip/Limbs/Limb_0.json"
touch -d '2020-01-02 03:04:06' "$scratch/zip/Limbs" "$scratch"/zip/*.json "$scratch"/zip/Limbs/*.json
(
  cd "$scratch/zip"
  TZ=UTC zip -q -X -0 ../stored.zip Spt.json
  echo "Vorlune data" | TZ=UTC zip -q -X -9 -z ../deflated_with_comment.zip Attack_0.json PtWithName_0.json
  TZ=UTC zip -q -r ../with_directory.zip Limbs
)
cp "$scratch"/*.zip "$corpus/zip/"
printf 'PK\005\006%018d' 0 | tr 0 '\000' >"$corpus/zip/empty.zip"

du -sh --apparent-size "$corpus"
