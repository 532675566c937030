// Prints how converting a replacement sound to MP3 (reading a WAV file,
// resampling, encoding at 128 kbit/s) compares with LAME's own encoder at
// the same settings: bare libmp3lame calls on the file's samples, and the
// lame program. All of it runs on one processor.
//
//   sound_bench [seconds] [work folder]

#include <lame/lame.h>
#include <sched.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench_child.h"
#include "bench_sounds.h"
#include "bench_timing.h"
#include "codecs/sound_to_mp3.h"

namespace {

constexpr int kRepeats = 5;

// libmp3lame alone on the WAV's samples (after its 44-byte header), doing
// the resampling itself when the rates differ.
size_t bareLame(const ByteBuffer& wav, unsigned inputRate) {
    const auto* samples = reinterpret_cast<const short*>(wav.data() + 44);
    const int frames = static_cast<int>((wav.size() - 44) / 4);
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, int(inputRate));
    lame_set_out_samplerate(lame, 44100);
    lame_set_num_channels(lame, 2);
    lame_set_mode(lame, JOINT_STEREO);
    lame_set_VBR(lame, vbr_off);
    lame_set_brate(lame, 128);
    lame_set_bWriteVbrTag(lame, 0);
    lame_init_params(lame);
    std::vector<unsigned char> out(size_t(frames) * 5 / 4 + 7200 + 7200);
    size_t size = 0;
    for (int first = 0; first < frames; first += 4096) {
        const int count = std::min(4096, frames - first);
        size += size_t(lame_encode_buffer_interleaved(lame, const_cast<short*>(samples + 2 * first), count,
                                                      out.data() + size, int(out.size() - size)));
    }
    size += size_t(lame_encode_flush(lame, out.data() + size, int(out.size() - size)));
    lame_close(lame);
    return size;
}

void writeFile(const std::string& path, const ByteBuffer& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void compare(unsigned inputRate, double soundSeconds, const std::string& folder) {
    const ByteBuffer wav = musicWav(inputRate, soundSeconds);
    const std::string path = folder + "/sound_bench_" + std::to_string(inputRate) + ".wav";
    writeFile(path, wav);
    size_t ourSize = 0;
    size_t bareSize = 0;
    const double ours = best(kRepeats, [&] {
        sound::SoundFile file(wav);
        ourSize = sound::encodeAsMp3(file, sound::Mp3Settings{44100, 2, 128}).frames.size();
    });
    const double bare = best(kRepeats, [&] { bareSize = bareLame(wav, inputRate); });
    double tool = 1e30;
    for (int i = 0; i < kRepeats; ++i) {
        tool = std::min(tool, childSeconds({"lame", "--quiet", "-t", "--cbr", "-b", "128", "--resample", "44.1", path,
                                            path + ".mp3"}));
    }
    std::printf("%.0f s of %u Hz stereo to 44100 Hz MP3 at 128 kbit/s%s:\n", soundSeconds, inputRate,
                inputRate == 44100 ? "" : " (resampled: ours by libsoxr at very high quality, LAME's by its own)");
    std::printf("  ours %.3f s (%zu bytes), bare libmp3lame %.3f s (%zu bytes), lame program %.3f s\n", ours, ourSize,
                bare, bareSize, tool);
    std::printf("  ours / bare libmp3lame = %.2f, ours / lame program = %.2f\n", ours / bare, ours / tool);
}

}  // namespace

int main(int argc, char** argv) {
    const double soundSeconds = argc > 1 ? std::atof(argv[1]) : 5;
    const std::string folder = argc > 2 ? argv[2] : "/tmp";
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    sched_setaffinity(0, sizeof one, &one);
    compare(44100, soundSeconds, folder);
    compare(48000, soundSeconds, folder);
}
