#include "codecs/swf_adpcm.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

namespace sound {
namespace {

constexpr uint64_t kBlockFrames = 4096;
// Bits of a channel's block header: the first sample and the step index.
constexpr uint64_t kHeaderBits = 22;

[[noreturn]] void refuse(int error) {
    char reason[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, reason, sizeof reason);
    throw sound_exception(N_("The ADPCM sound cannot be decoded."), {}, forge_exception(Message(std::string(reason))));
}

// The bytes that hold the first `frames` frames, so that the decoder, which
// decodes all it is given at once, makes no more than those (and the few
// that the padding bits of the last byte make).
ByteView dataOfFrames(ByteView data, unsigned channels, uint64_t frames) {
    if (data.empty() || frames == 0) return {};
    const uint64_t codeBits = (data[0] >> 6) + 2u;
    const uint64_t blockBits = channels * (kHeaderBits + codeBits * (kBlockFrames - 1));
    const uint64_t lastFrames = frames % kBlockFrames;
    const uint64_t bits = 2 + frames / kBlockFrames * blockBits +
                          (lastFrames == 0 ? 0 : channels * (kHeaderBits + codeBits * (lastFrames - 1)));
    return data.first(std::min<uint64_t>(data.size(), (bits + 7) / 8));
}

struct ContextFree {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};

// libavcodec's log would write over the console's dialogue; its reasons
// come back as error codes.
void silenceLibrary() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

std::unique_ptr<AVCodecContext, ContextFree> openDecoder(unsigned channels) {
    silenceLibrary();
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_ADPCM_SWF);
    if (codec == nullptr) refuse(AVERROR_DECODER_NOT_FOUND);
    std::unique_ptr<AVCodecContext, ContextFree> context(avcodec_alloc_context3(codec));
    if (!context) refuse(AVERROR(ENOMEM));
    av_channel_layout_default(&context->ch_layout, static_cast<int>(channels));
    // The rate does not change the samples; the decoder wants one.
    context->sample_rate = 44100;
    if (const int error = avcodec_open2(context.get(), codec, nullptr); error < 0) refuse(error);
    return context;
}

}  // namespace

std::vector<int16_t> decodeSwfAdpcm(ByteView data, unsigned channels, uint64_t frames) {
    const ByteView used = dataOfFrames(data, channels, frames);
    std::vector<int16_t> samples;
    if (used.empty()) return samples;
    // The decoder counts the bits of a packet in an int.
    if (used.size() > INT_MAX / 8 - AV_INPUT_BUFFER_PADDING_SIZE) refuse(AVERROR(E2BIG));

    const auto context = openDecoder(channels);
    const std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    const std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!packet || !frame) refuse(AVERROR(ENOMEM));
    if (const int error = av_new_packet(packet.get(), static_cast<int>(used.size())); error < 0) refuse(error);
    std::memcpy(packet->data, used.data(), used.size());
    if (const int error = avcodec_send_packet(context.get(), packet.get()); error < 0) refuse(error);
    if (const int error = avcodec_send_packet(context.get(), nullptr); error < 0) refuse(error);

    // Each frame takes at least two bits a channel.
    samples.reserve(std::min<uint64_t>(frames, used.size() * 4 / channels + 1) * channels);
    for (;;) {
        const int error = avcodec_receive_frame(context.get(), frame.get());
        if (error == AVERROR_EOF) break;
        if (error < 0) refuse(error);
        if (frame->format != AV_SAMPLE_FMT_S16) refuse(AVERROR_BUG);
        const uint64_t wanted = std::min<uint64_t>(frames - samples.size() / channels,
                                                   static_cast<uint64_t>(std::max(frame->nb_samples, 0)));
        const auto* decoded = reinterpret_cast<const int16_t*>(frame->data[0]);
        samples.insert(samples.end(), decoded, decoded + wanted * channels);
        av_frame_unref(frame.get());
    }
    return samples;
}

}  // namespace sound
