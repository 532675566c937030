#include "codecs/resampler.h"

#include <soxr.h>

#include <cmath>
#include <string>

#include "util/cancellation.h"

namespace sound {
namespace {

[[noreturn]] void refuse(soxr_error_t error) {
    throw sound_exception(N_("The sound cannot be resampled."), {},
                          forge_exception(Message(std::string(soxr_strerror(error)))));
}

}  // namespace

struct Resampler::Soxr {
    soxr_t handle = nullptr;
    ~Soxr() { soxr_delete(handle); }
};

Resampler::Resampler(unsigned inputRate, unsigned outputRate, unsigned channels)
    : channels_(channels), ratio_(static_cast<double>(outputRate) / inputRate) {
    if (inputRate == outputRate) return;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    // One thread: sounds are converted on several threads already.
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    soxr_ = std::make_unique<Soxr>();
    soxr_->handle = soxr_create(inputRate, outputRate, channels, &error, &io, &quality, &runtime);
    if (error != nullptr || soxr_->handle == nullptr) refuse(error);
}

Resampler::~Resampler() = default;

void Resampler::process(std::span<const float> in, std::vector<float>& out) {
    const size_t frames = in.size() / channels_;
    if (!soxr_) {
        out.insert(out.end(), in.begin(), in.begin() + static_cast<ptrdiff_t>(frames * channels_));
        return;
    }
    if (frames != 0) run(in.data(), frames, out);
}

void Resampler::finish(std::vector<float>& out) {
    if (soxr_) run(nullptr, 0, out);
}

// Gives soxr room for the frames the input resamples to and a little more
// until it has taken the whole input and makes no more output; a null input
// marks the end of the stream.
void Resampler::run(const float* in, size_t frames, std::vector<float>& out) {
    for (;;) {
        checkCancelled();
        const size_t room = static_cast<size_t>(std::ceil(static_cast<double>(frames) * ratio_)) + 1024;
        const size_t start = out.size();
        out.resize(start + room * channels_);
        size_t used = 0;
        size_t made = 0;
        const soxr_error_t error = soxr_process(soxr_->handle, in, frames, &used, out.data() + start, room, &made);
        out.resize(start + made * channels_);
        if (error != nullptr) refuse(error);
        if (in != nullptr) {
            in += used * channels_;
            frames -= used;
        }
        if (frames == 0 && made < room) return;
    }
}

void remixChannels(std::span<const float> in, unsigned from, unsigned to, std::vector<float>& out) {
    out.clear();
    if (from == to) {
        out.assign(in.begin(), in.end());
    } else if (from == 2 && to == 1) {
        out.reserve(in.size() / 2);
        for (size_t i = 0; i + 1 < in.size(); i += 2) out.push_back((in[i] + in[i + 1]) * 0.5f);
    } else if (from == 1 && to == 2) {
        out.reserve(in.size() * 2);
        for (const float sample : in) out.insert(out.end(), {sample, sample});
    }
}

}  // namespace sound
