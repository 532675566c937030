#pragma once
// Sound files in memory through libsndfile: reading the files people give
// as replacement sounds (WAV, AIFF, FLAC, Ogg Vorbis, Opus and MP3), and
// writing WAV files of 8- or 16-bit samples. Failures are sound_exception,
// with libsndfile's reason after our sentence where it has one.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "codecs/sound_exception.h"
#include "util/bytes.h"

namespace sound {

enum class SoundFileFormat { Wav, Aiff, Flac, OggVorbis, Opus, Mp3 };

// The name shown to the user: "WAV", "AIFF", "FLAC", "Ogg Vorbis", "Opus",
// "MP3"; and the extension a file of the format is given (".wav", ...).
const char* soundFileFormatName(SoundFileFormat format);
const char* soundFileExtension(SoundFileFormat format);

// The longest sound that is read.
inline constexpr unsigned kMaxSoundSeconds = 600;
// The sample rates that are read; no sound file people use lies outside.
inline constexpr unsigned kMinSampleRate = 1000;
inline constexpr unsigned kMaxSampleRate = 384000;

struct SoundFileInfo {
    SoundFileFormat format = SoundFileFormat::Wav;
    unsigned sampleRate = 0;  // Hz
    unsigned channels = 0;    // 1 or 2
    // Per channel, as the file's header gives it, or 0 when it does not
    // (an Ogg stream whose end cannot be found).
    uint64_t frames = 0;

    double seconds() const { return sampleRate == 0 ? 0 : static_cast<double>(frames) / sampleRate; }
};

// A sound file read from bytes in memory, which must outlive it. Opening
// reads the header and refuses a file of another kind, of more than two
// channels, of a sample rate outside kMinSampleRate..kMaxSampleRate, or
// longer than kMaxSoundSeconds by its header; reading refuses a file that
// decodes to more than kMaxSoundSeconds, whatever its header said. One
// file is read by one thread at a time; several files may be read at once.
class SoundFile {
public:
    explicit SoundFile(ByteView bytes);
    ~SoundFile();
    SoundFile(const SoundFile&) = delete;
    SoundFile& operator=(const SoundFile&) = delete;

    const SoundFileInfo& info() const { return info_; }

    // Decodes the next frames into `out`, interleaved, as many as it has
    // room for; returns the frames decoded, 0 at the end of the sound.
    // Float samples lie in [-1, 1].
    size_t read(std::span<float> out);
    size_t read(std::span<int16_t> out);

private:
    struct Stream;

    void checkDecodedLength(uint64_t frames) const;
    template <typename Sample>
    size_t readFrames(std::span<Sample> out);

    std::unique_ptr<Stream> stream_;
    SoundFileInfo info_;
    uint64_t maxFrames_ = 0;
    uint64_t decoded_ = 0;
};

// Interleaved 16-bit samples, as uncompressed and ADPCM sounds decode.
struct PcmSound {
    unsigned sampleRate = 0;
    unsigned channels = 0;
    // How a WAV file stores them: 8 (each sample a multiple of 256) or 16.
    unsigned bitsPerSample = 16;
    std::vector<int16_t> samples;

    uint64_t frames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

// The whole sound of a file as 16-bit samples; the same refusals as
// SoundFile's, and a file without a single frame.
PcmSound readPcm(ByteView file);

// A WAV file of the samples, 8-bit unsigned or 16-bit signed PCM.
ByteBuffer writeWav(const PcmSound& sound);

// Whether both hold the same samples at the same rate and channels, however
// many bits a file stores them in.
bool samePcm(const PcmSound& a, const PcmSound& b);

}  // namespace sound
