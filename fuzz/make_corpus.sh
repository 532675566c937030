#!/usr/bin/env bash
# Regenerates the seed corpora under fuzz/corpus/: small valid inputs for each
# fuzz target. Movies, AMF values, JSON documents, data files (as archives
# and as folders) and the trees of the folder scan come from the program's
# own writers (fuzz_seed_writer, built in build-fuzz); MP3 files
# from lame, PNG files from Python's PIL, zip archives from zip; sound files
# from sox, flac, oggenc, opusenc and lame, pictures from PIL. The seeds are
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
mkdir -p "$corpus"/{mp3_replace,png_replace,zip,sound_file,swf_sound_wav,jpeg,gif,webp,bmp}
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

# Sound files: a twentieth of a second of each kind a replacement sound can
# be, at rates and sample sizes they come in.
sounds=$corpus/sound_file
sox -n -r 8000 -c 1 -b 8 "$sounds/mono_8000_u8.wav" synth 0.05 sine 440
sox -n -r 48000 -c 2 -b 16 "$scratch/stereo_48000.wav" synth 0.05 sine 440 sine 660
cp "$scratch/stereo_48000.wav" "$sounds/stereo_48000.wav"
sox -n -r 44100 -c 2 -b 32 -e floating-point "$sounds/stereo_44100_float.wav" synth 0.05 sine 300 sine 500
sox -n -r 22050 -c 1 -b 16 "$sounds/mono_22050.aiff" synth 0.05 sine 440
sox -n -r 32000 -c 1 -b 24 "$scratch/mono_32000.wav" synth 0.05 sine 440
flac --silent -f "$scratch/mono_32000.wav" -o "$sounds/mono_32000.flac"
oggenc --quiet "$scratch/stereo_48000.wav" -o "$sounds/stereo_48000.ogg"
opusenc --quiet "$scratch/stereo_48000.wav" "$sounds/stereo_48000.opus"
lame --quiet -b 32 "$scratch/stereo_48000.wav" "$sounds/stereo_48000.mp3"

# Uncompressed and ADPCM sounds for their WAV export: a byte of format
# fields (format chosen by its value modulo 3: 0, 1 or 3; rate code in bits
# 2-3, 16-bit in bit 4, stereo in bit 5), the sample count, the data.
"$python" - "$corpus/swf_sound_wav" <<'PY'
import math, struct, sys
d = sys.argv[1]
def fields(fmt, rate, bits16, stereo):
    return {0: 0, 1: 1, 3: 2}[fmt] | rate << 2 | bits16 << 4 | stereo << 5
def bits(values):
    out, acc, n = bytearray(), 0, 0
    for value, width in values:
        acc, n = acc << width | value & ((1 << width) - 1), n + width
        while n >= 8:
            n -= 8
            out.append(acc >> n & 0xFF)
    if n:
        out.append(acc << (8 - n) & 0xFF)
    return bytes(out)
tone = [int(8000 * math.sin(i / 5)) for i in range(200)]
open(f"{d}/pcm8_mono", "wb").write(bytes([fields(0, 1, 0, 0)]) + struct.pack("<I", 200) + bytes((s >> 8) + 128 for s in tone))
open(f"{d}/pcm16_stereo", "wb").write(bytes([fields(3, 3, 1, 1)]) + struct.pack("<I", 200) + b"".join(struct.pack("<hh", s, -s) for s in tone))
for code_bits in (2, 3, 4, 5):
    codes = [(i * 7) % (1 << code_bits) for i in range(300)]
    data = bits([(code_bits - 2, 2), (1000, 16), (20, 6)] + [(c, code_bits) for c in codes])
    open(f"{d}/adpcm{code_bits}_mono", "wb").write(bytes([fields(1, 2, 1, 0)]) + struct.pack("<I", 301) + data)
stereo = bits([(2, 2), (100, 16), (0, 6), (-100, 16), (0, 6)] + [(c % 16, 4) for c in range(100)])
open(f"{d}/adpcm4_stereo", "wb").write(bytes([fields(1, 0, 1, 1)]) + struct.pack("<I", 51) + stereo)
PY

# Pictures: small ones of each kind a decoder meets.
"$python" - "$corpus" <<'PY'
import sys
from PIL import Image
d = sys.argv[1]
rgba = Image.new("RGBA", (8, 6))
rgba.putdata([(x * 30, y * 40, (x + y) * 15, (x * 37 + y * 11) % 256) for y in range(6) for x in range(8)])
rgb = rgba.convert("RGB")
rgb.save(f"{d}/jpeg/baseline.jpg", quality=90)
rgb.save(f"{d}/jpeg/progressive.jpg", quality=90, progressive=True)
rgb.convert("L").save(f"{d}/jpeg/grey.jpg")
rgb.save(f"{d}/jpeg/subsampled.jpg", quality=50, subsampling=2)
palette = rgb.quantize(4)
palette.save(f"{d}/gif/transparent.gif", transparency=0)
palette.save(f"{d}/gif/interlaced.gif", interlace=True)
frames = [rgb.quantize(8), rgb.transpose(Image.FLIP_LEFT_RIGHT).quantize(8)]
frames[0].save(f"{d}/gif/animated.gif", save_all=True, append_images=frames[1:], duration=100)
rgba.save(f"{d}/webp/lossless_alpha.webp", lossless=True)
rgb.save(f"{d}/webp/lossy.webp", quality=80)
rgba.save(f"{d}/webp/lossy_alpha.webp", quality=80)
rgba.save(f"{d}/webp/animated.webp", save_all=True, append_images=[rgba.rotate(180)], duration=100, lossless=True)
rgb.save(f"{d}/bmp/rgb24.bmp")
rgba.save(f"{d}/bmp/rgba32.bmp")
palette.save(f"{d}/bmp/palette8.bmp")
rgb.convert("1").save(f"{d}/bmp/mono1.bmp")
PY

du -sh --apparent-size "$corpus"
