#pragma once
// Other programs' view of PNG files, for the image tests: PIL reads and
// writes them, ImageMagick converts them. A missing tool makes the test fail
// (scripts/setup.sh installs them), so the checks can never be skipped
// silently.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/l18n_files.h"
#include "util/bytes.h"

namespace imagetools {

// The system's interpreter, which has PIL; another python3 on the PATH may not.
inline constexpr const char* kPython = "/usr/bin/python3";

// ImageMagick's converter: magick from version 7 on (Debian 13), where
// convert is deprecated; convert in version 6 (Debian 12).
inline std::string convertCommand() {
    for (const char* candidate : {"/usr/bin/magick", "/usr/bin/convert"}) {
        if (access(candidate, X_OK) == 0) return candidate;
    }
    throw std::runtime_error("ImageMagick is not installed (scripts/setup.sh installs it)");
}

// A fresh directory, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vlf-images-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Single quotes for the shell.
inline std::string quoted(const std::string& text) {
    std::string out = "'";
    for (const char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// Runs a shell command and returns its standard output; throws when it
// fails, with what it printed.
inline std::string run(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) throw std::runtime_error("popen failed: " + command);
    std::string out;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = pclose(pipe);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("command failed: " + command + "\n" + out);
    }
    return out;
}

inline ByteBuffer fromHex(const std::string& hex) {
    ByteBuffer out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        out.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return out;
}

// What PIL makes of a PNG file.
struct PilImage {
    std::string mode;
    unsigned width = 0;
    unsigned height = 0;
    ByteBuffer rgba;          // the pixels as straight RGBA
    ByteBuffer palette;       // mode P: R, G, B of each entry
    ByteBuffer transparency;  // mode P: the alpha of each entry, when given
    ByteBuffer indices;       // mode P: the index of each pixel
};

inline PilImage pilRead(const std::string& path) {
    static const char* const script = R"(
import sys
from PIL import Image
im = Image.open(sys.argv[1])
im.load()
print(im.mode)
print(im.size[0])
print(im.size[1])
print(im.convert('RGBA').tobytes().hex())
if im.mode == 'P':
    print(bytes(im.getpalette()).hex())
    t = im.info.get('transparency')
    print(t.hex() if isinstance(t, bytes) else '')
    print(im.tobytes().hex())
)";
    const std::string out = run(std::string(kPython) + " -c " + quoted(script) + " " + quoted(path));
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(out.substr(start, end - start));
    }
    if (lines.size() < 4) throw std::runtime_error("unexpected output of PIL:\n" + out);
    PilImage image;
    image.mode = lines[0];
    image.width = static_cast<unsigned>(std::stoul(lines[1]));
    image.height = static_cast<unsigned>(std::stoul(lines[2]));
    image.rgba = fromHex(lines[3]);
    if (image.mode == "P" && lines.size() >= 7) {
        image.palette = fromHex(lines[4]);
        image.transparency = fromHex(lines[5]);
        image.indices = fromHex(lines[6]);
    }
    return image;
}

inline PilImage pilRead(const TempDir& dir, const ByteBuffer& png) {
    const std::string path = dir.file("read.png");
    l18n::writeBinaryFile(path, png);
    return pilRead(path);
}

// A PNG written by PIL from straight RGBA pixels, converted to `mode` first
// ("RGBA", "RGB", "L", "LA"). Mode "P" builds an exact palette of the
// distinct colours, with their alpha in the transparency chunk.
inline ByteBuffer pilWrite(const TempDir& dir, const ByteBuffer& rgba, unsigned width, unsigned height,
                           const std::string& mode) {
    static const char* const script = R"(
import sys
from PIL import Image
raw, w, h, mode, out = open(sys.argv[1], 'rb').read(), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], sys.argv[5]
if mode == 'P':
    pixels = [raw[i:i + 4] for i in range(0, len(raw), 4)]
    colours = sorted(set(pixels))
    im = Image.frombytes('P', (w, h), bytes(colours.index(p) for p in pixels))
    im.putpalette(b''.join(c[:3] for c in colours))
    im.save(out, transparency=bytes(c[3] for c in colours))
else:
    Image.frombytes('RGBA', (w, h), raw).convert(mode).save(out)
)";
    const std::string raw = dir.file("pixels.rgba");
    const std::string out = dir.file("pil.png");
    l18n::writeBinaryFile(raw, rgba);
    run(std::string(kPython) + " -c " + quoted(script) + " " + quoted(raw) + " " + std::to_string(width) + " " +
        std::to_string(height) + " " + quoted(mode) + " " + quoted(out));
    ByteBuffer png;
    l18n::readBinaryFile(out, png);
    return png;
}

// The PNG converted by ImageMagick with `options`; `outputPrefix` is a
// format prefix of the output name such as "PNG8:".
inline ByteBuffer imConvert(const TempDir& dir, const ByteBuffer& png, const std::string& options,
                            const std::string& outputPrefix = "") {
    const std::string in = dir.file("im-in.png");
    const std::string out = dir.file("im-out.png");
    l18n::writeBinaryFile(in, png);
    run(convertCommand() + " " + quoted(in) + " " + options + " " + quoted(outputPrefix + out));
    ByteBuffer converted;
    l18n::readBinaryFile(out, converted);
    return converted;
}

// Bit depth, colour type and interlace method from a PNG's header chunk.
struct PngHeader {
    unsigned bitDepth = 0;
    unsigned colourType = 0;
    unsigned interlace = 0;
};

inline PngHeader pngHeader(const ByteBuffer& png) {
    if (png.size() < 29) throw std::runtime_error("no PNG header");
    return {png[24], png[25], png[28]};
}

}  // namespace imagetools
