#pragma once
// MP3 files for the sound tests, made at run time by the lame encoder from
// generated tones and checked with the mpg123 player. Both programs are
// required: a test that needs one that is missing fails.

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>

#include "util/bytes.h"

namespace testmp3 {

namespace fs = std::filesystem;

// A directory of this test process, removed when the process ends.
class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "vlf-sounds-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

inline const ScratchDir& scratch() {
    static const ScratchDir dir;
    return dir;
}

inline void runTool(const std::string& command) {
    if (std::system(command.c_str()) != 0) throw std::runtime_error("Command failed: " + command);
}

inline void writeFile(const std::string& path, const ByteBuffer& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("Cannot write " + path);
}

inline ByteBuffer readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("Cannot read " + path);
    return ByteBuffer(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A 16-bit PCM WAV file of a tone, a different pitch on each channel.
inline ByteBuffer toneWav(unsigned rate, unsigned channels, double seconds) {
    const auto frames = static_cast<uint32_t>(rate * seconds);
    const uint32_t dataSize = frames * channels * 2;
    ByteBuffer out = {'R', 'I', 'F', 'F'};
    appendU32le(out, 36 + dataSize);
    appendBytes(out, ByteBuffer{'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    appendU32le(out, 16);
    appendU16le(out, 1);
    appendU16le(out, static_cast<uint16_t>(channels));
    appendU32le(out, rate);
    appendU32le(out, rate * channels * 2);
    appendU16le(out, static_cast<uint16_t>(channels * 2));
    appendU16le(out, 16);
    appendBytes(out, ByteBuffer{'d', 'a', 't', 'a'});
    appendU32le(out, dataSize);
    for (uint32_t i = 0; i < frames; ++i) {
        for (unsigned channel = 0; channel < channels; ++channel) {
            const double pitch = 440.0 * (channel + 1);
            appendU16le(out,
                        static_cast<uint16_t>(static_cast<int16_t>(9000 * std::sin(6.2831853 * pitch * i / rate))));
        }
    }
    return out;
}

// The MP3 file lame makes of a tone with the given extra options. lame is
// deterministic, so the same tone with and without tag options gives the
// same frames; each file is made once per run.
inline const ByteBuffer& encodeMp3(unsigned rate, unsigned channels, double seconds = 0.3, const char* options = "") {
    static std::map<std::string, ByteBuffer> made;
    const std::string key =
        std::to_string(rate) + "-" + std::to_string(channels) + "-" + std::to_string(seconds) + options;
    if (const auto found = made.find(key); found != made.end()) return found->second;
    const std::string name = std::to_string(made.size());
    writeFile(scratch().file(name + ".wav"), toneWav(rate, channels, seconds));
    runTool("lame --quiet " + std::string(options) + " '" + scratch().file(name + ".wav") + "' '" +
            scratch().file(name + ".mp3") + "'");
    return made[key] = readFile(scratch().file(name + ".mp3"));
}

// Decodes the file with the mpg123 player, every stored frame in full (no
// gapless trimming, the information frame decoded as audio), and returns the
// number of samples per channel it wrote.
inline uint64_t decodedSampleCount(const ByteBuffer& mp3) {
    static int serial = 0;
    const std::string name = "decoded" + std::to_string(serial++);
    writeFile(scratch().file(name + ".mp3"), mp3);
    runTool("mpg123 -q --no-gapless --no-infoframe -w '" + scratch().file(name + ".wav") + "' '" +
            scratch().file(name + ".mp3") + "'");
    const ByteBuffer wav = readFile(scratch().file(name + ".wav"));
    // Chunks after the 12-byte RIFF header: the block size comes from "fmt ",
    // the samples are everything after the "data" chunk header.
    size_t blockSize = 0;
    for (size_t at = 12; at + 8 <= wav.size();) {
        const uint32_t size = loadU32le(&wav[at + 4]);
        if (std::equal(wav.begin() + at, wav.begin() + at + 4, "fmt ") && at + 22 <= wav.size()) {
            blockSize = loadU16le(&wav[at + 8 + 12]);
        } else if (std::equal(wav.begin() + at, wav.begin() + at + 4, "data") && blockSize != 0) {
            return (wav.size() - at - 8) / blockSize;
        }
        at += 8 + size;
    }
    throw std::runtime_error("mpg123 wrote no readable WAV file");
}

inline ByteBuffer concat(std::initializer_list<ByteBuffer> parts) {
    ByteBuffer out;
    for (const auto& part : parts) appendBytes(out, part);
    return out;
}

inline ByteBuffer slice(const ByteBuffer& bytes, size_t begin, size_t end) {
    return ByteBuffer(bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                      bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

}  // namespace testmp3
