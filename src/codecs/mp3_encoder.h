#pragma once
// MP3 encoding through LAME at a given sample rate, channel count and
// constant bitrate, for sounds that a game plays as event sounds. Failures
// are sound_exception.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "codecs/sound_exception.h"
#include "util/bytes.h"

namespace sound {

struct Mp3Settings {
    unsigned sampleRate = 44100;  // Hz, one MP3 allows
    unsigned channels = 2;        // 1 or 2
    unsigned bitrate = 128;       // kbit/s, one MP3 allows at the rate
};

struct EncodedMp3 {
    // The MPEG frames alone: no ID3 tag, and no information frame, which
    // would play as one frame of silence before the sound.
    ByteBuffer frames;
    // The frames of sound given to the encoder, per channel; the frames
    // hold more, the encoder's delay before and padding after them.
    uint64_t sampleCount = 0;
    // Frames of silence the encoder puts before the sound.
    unsigned encoderDelay = 0;
};

// Frames an MP3 decoder outputs before the first it decodes from the data;
// a sound's seek samples are the encoder's delay plus this.
inline constexpr unsigned kMp3DecoderDelay = 529;

// Encodes a stream of interleaved samples in [-1, 1] handed over in pieces.
class Mp3Encoder {
public:
    // Throws when the settings are no MP3 sample rate, channel count and
    // bitrate that the encoder keeps as they are.
    explicit Mp3Encoder(const Mp3Settings& settings);
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    void encode(std::span<const float> frames);
    // The frames of the whole stream; the encoder is used up.
    EncodedMp3 finish();

private:
    struct Lame;

    std::unique_ptr<Lame> lame_;
    unsigned channels_;
    EncodedMp3 result_;
    std::vector<float> left_;
    std::vector<float> right_;
};

// The bitrate (kbit/s) among those MP3 allows at `sampleRate` that is
// nearest to `averageKbps`, the higher of two as near. Throws for a rate
// that is no MP3 rate.
unsigned nearestMp3Bitrate(unsigned sampleRate, double averageKbps);

// The rate of the MP3 sound made for a sound of `sampleRate`: the lowest of
// those a movie's MP3 sounds can have (11025, 22050 and 44100 Hz) that
// keeps the rate, or the highest.
unsigned swfMp3SampleRate(unsigned sampleRate);

}  // namespace sound
