#include "codecs/mp3_encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "util/cancellation.h"

namespace sound {
namespace {

// Frames handed to LAME at a time: a few milliseconds of work, so that
// Ctrl-C is seen soon.
constexpr size_t kChunkFrames = 4096;
// What LAME may write for kChunkFrames frames, as lame.h bounds it
// (1.25 times the samples and 7200 bytes), and for a flush.
constexpr size_t kChunkOutput = kChunkFrames * 5 / 4 + 7200;
constexpr size_t kFlushOutput = 7200;

// The bitrates (kbit/s) of layer III: MPEG-1 at 32, 44.1 and 48 kHz, MPEG-2
// at 16, 22.05 and 24 kHz; MPEG-2.5 at 8, 11.025 and 12 kHz has MPEG-2's
// table, of which LAME encodes the rates up to 64 kbit/s.
constexpr std::array<unsigned, 14> kMpeg1Bitrates = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr std::array<unsigned, 14> kMpeg2Bitrates = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
constexpr size_t kMpeg25BitrateCount = 8;

struct RateRow {
    unsigned sampleRate;
    std::span<const unsigned> bitrates;
};

const RateRow kRates[] = {
    {32000, kMpeg1Bitrates},
    {44100, kMpeg1Bitrates},
    {48000, kMpeg1Bitrates},
    {16000, kMpeg2Bitrates},
    {22050, kMpeg2Bitrates},
    {24000, kMpeg2Bitrates},
    {8000, std::span(kMpeg2Bitrates).first(kMpeg25BitrateCount)},
    {11025, std::span(kMpeg2Bitrates).first(kMpeg25BitrateCount)},
    {12000, std::span(kMpeg2Bitrates).first(kMpeg25BitrateCount)},
};

// The rates a movie's MP3 sounds can have, lowest first.
constexpr std::array<unsigned, 3> kSwfMp3Rates = {11025, 22050, 44100};

std::span<const unsigned> bitratesAt(unsigned sampleRate) {
    for (const RateRow& row : kRates) {
        if (row.sampleRate == sampleRate) return row.bitrates;
    }
    throw sound_exception(N_("MP3 has no sample rate of %s Hz."), {sampleRate});
}

// LAME's initialisation fills tables that every encoder shares, and reads
// them while encoding: encoders are set up alone and encode side by side.
std::shared_mutex g_tables;

[[noreturn]] void refuseLame(int code) {
    // The reasons lame.h gives for its return codes.
    std::string reason = "error " + std::to_string(code);
    switch (code) {
        case -1:
            reason = "mp3buf was too small";
            break;
        case -2:
            reason = "malloc() problem";
            break;
        case -3:
            reason = "lame_init_params() not called";
            break;
        case -4:
            reason = "psycho acoustic problems";
            break;
        default:
            break;
    }
    throw sound_exception(N_("The sound cannot be encoded as MP3."), {}, forge_exception(Message(reason)));
}

}  // namespace

struct Mp3Encoder::Lame {
    lame_t flags = nullptr;
    ~Lame() { lame_close(flags); }
};

Mp3Encoder::Mp3Encoder(const Mp3Settings& settings) : lame_(std::make_unique<Lame>()), channels_(settings.channels) {
    const std::span<const unsigned> bitrates = bitratesAt(settings.sampleRate);
    if (std::find(bitrates.begin(), bitrates.end(), settings.bitrate) == bitrates.end()) {
        throw sound_exception(N_("MP3 has no bitrate of %s kbit/s at %s Hz."), {settings.bitrate, settings.sampleRate});
    }
    if (settings.channels != 1 && settings.channels != 2) {
        throw sound_exception(N_("MP3 has no sound of %s channels."), {settings.channels});
    }
    const std::unique_lock lock(g_tables);
    lame_->flags = lame_init();
    if (lame_->flags == nullptr) refuseLame(-2);
    lame_t flags = lame_->flags;
    // The input has the output's rate already, so LAME resamples nothing.
    lame_set_in_samplerate(flags, static_cast<int>(settings.sampleRate));
    lame_set_out_samplerate(flags, static_cast<int>(settings.sampleRate));
    lame_set_num_channels(flags, static_cast<int>(settings.channels));
    lame_set_mode(flags, settings.channels == 2 ? JOINT_STEREO : MONO);
    lame_set_VBR(flags, vbr_off);
    lame_set_brate(flags, static_cast<int>(settings.bitrate));
    lame_set_bWriteVbrTag(flags, 0);
    lame_set_write_id3tag_automatic(flags, 0);
    if (const int code = lame_init_params(flags); code < 0) refuseLame(code);
    // LAME quietly moves to a rate or bitrate it prefers; the sound's header
    // must describe the frames, so anything but what was asked is refused.
    if (lame_get_out_samplerate(flags) != static_cast<int>(settings.sampleRate) ||
        lame_get_brate(flags) != static_cast<int>(settings.bitrate)) {
        throw sound_exception(N_("The MP3 encoder does not encode %s kbit/s at %s Hz."),
                              {settings.bitrate, settings.sampleRate});
    }
    result_.encoderDelay = static_cast<unsigned>(lame_get_encoder_delay(flags));
}

Mp3Encoder::~Mp3Encoder() = default;

// LAME takes the channels apart; a mono sound passes its one channel as
// both.
void Mp3Encoder::encode(std::span<const float> frames) {
    const size_t total = frames.size() / channels_;
    for (size_t first = 0; first < total; first += kChunkFrames) {
        checkCancelled();
        const size_t count = std::min(kChunkFrames, total - first);
        left_.resize(count);
        right_.resize(count);
        const float* in = frames.data() + first * channels_;
        for (size_t i = 0; i < count; ++i) {
            left_[i] = in[i * channels_];
            right_[i] = in[i * channels_ + channels_ - 1];
        }
        const size_t start = result_.frames.size();
        result_.frames.resize(start + kChunkOutput);
        int written = 0;
        {
            const std::shared_lock lock(g_tables);
            written = lame_encode_buffer_ieee_float(lame_->flags, left_.data(), right_.data(), static_cast<int>(count),
                                                    result_.frames.data() + start, static_cast<int>(kChunkOutput));
        }
        if (written < 0) refuseLame(written);
        result_.frames.resize(start + static_cast<size_t>(written));
        result_.sampleCount += count;
    }
}

EncodedMp3 Mp3Encoder::finish() {
    const size_t start = result_.frames.size();
    result_.frames.resize(start + kFlushOutput);
    int written = 0;
    {
        const std::shared_lock lock(g_tables);
        written = lame_encode_flush(lame_->flags, result_.frames.data() + start, static_cast<int>(kFlushOutput));
    }
    if (written < 0) refuseLame(written);
    result_.frames.resize(start + static_cast<size_t>(written));
    return std::move(result_);
}

unsigned nearestMp3Bitrate(unsigned sampleRate, double averageKbps) {
    const std::span<const unsigned> bitrates = bitratesAt(sampleRate);
    unsigned best = bitrates.front();
    for (const unsigned bitrate : bitrates) {
        if (std::abs(bitrate - averageKbps) <= std::abs(best - averageKbps)) best = bitrate;
    }
    return best;
}

unsigned swfMp3SampleRate(unsigned sampleRate) {
    for (const unsigned rate : kSwfMp3Rates) {
        if (rate >= sampleRate) return rate;
    }
    return kSwfMp3Rates.back();
}

}  // namespace sound
