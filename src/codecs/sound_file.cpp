#include "codecs/sound_file.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <mutex>
#include <string>

#include "util/cancellation.h"

namespace sound {
namespace {

constexpr const char* kCannotRead = N_("The sound file cannot be read.");
constexpr const char* kCannotDecode = N_("The sound file cannot be decoded.");
constexpr const char* kCannotWrite = N_("The WAV file cannot be written.");

// Frames asked of libsndfile at a time: a few milliseconds of work, so
// that Ctrl-C is seen soon.
constexpr size_t kChunkFrames = 4096;

// The kinds of file read, by libsndfile's major format and, where one
// container holds several codecs, its subformat (0: any); the name shown
// and the extension a file of the kind is given.
struct FormatRow {
    int major;
    int subtype;
    SoundFileFormat format;
    const char* name;
    const char* extension;
};

constexpr FormatRow kFormats[] = {
    {SF_FORMAT_WAV, 0, SoundFileFormat::Wav, "WAV", ".wav"},
    {SF_FORMAT_WAVEX, 0, SoundFileFormat::Wav, "WAV", ".wav"},
    {SF_FORMAT_RF64, 0, SoundFileFormat::Wav, "WAV", ".wav"},
    {SF_FORMAT_AIFF, 0, SoundFileFormat::Aiff, "AIFF", ".aiff"},
    {SF_FORMAT_FLAC, 0, SoundFileFormat::Flac, "FLAC", ".flac"},
    {SF_FORMAT_OGG, SF_FORMAT_VORBIS, SoundFileFormat::OggVorbis, "Ogg Vorbis", ".ogg"},
    {SF_FORMAT_OGG, SF_FORMAT_OPUS, SoundFileFormat::Opus, "Opus", ".opus"},
    {SF_FORMAT_MPEG, SF_FORMAT_MPEG_LAYER_III, SoundFileFormat::Mp3, "MP3", ".mp3"},
};

// The first row of the format: every format has one.
const FormatRow& rowOf(SoundFileFormat format) {
    return *std::find_if(std::begin(kFormats), std::end(kFormats),
                         [format](const FormatRow& row) { return row.format == format; });
}

// libsndfile reads and writes through these callbacks: from a view of the
// file's bytes, and into a growing buffer.
struct MemoryFile {
    ByteView input;
    ByteBuffer* output = nullptr;
    sf_count_t position = 0;

    sf_count_t size() const { return static_cast<sf_count_t>(output != nullptr ? output->size() : input.size()); }
};

MemoryFile& fileOf(void* user) { return *static_cast<MemoryFile*>(user); }

sf_count_t fileLength(void* user) { return fileOf(user).size(); }

sf_count_t seekFile(sf_count_t offset, int whence, void* user) {
    MemoryFile& file = fileOf(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR) {
        base = file.position;
    } else if (whence == SEEK_END) {
        base = file.size();
    } else if (whence != SEEK_SET) {
        return -1;
    }
    // As with a file, a seek may pass the end: reading there gives nothing,
    // writing there fills the gap.
    if (offset < -base || offset > std::numeric_limits<sf_count_t>::max() - base) return -1;
    file.position = base + offset;
    return file.position;
}

sf_count_t readFile(void* out, sf_count_t count, void* user) {
    MemoryFile& file = fileOf(user);
    if (count <= 0 || file.position >= file.size()) return 0;
    const sf_count_t n = std::min(count, file.size() - file.position);
    const uint8_t* data = file.output != nullptr ? file.output->data() : file.input.data();
    std::memcpy(out, data + file.position, static_cast<size_t>(n));
    file.position += n;
    return n;
}

sf_count_t writeFile(const void* bytes, sf_count_t count, void* user) {
    MemoryFile& file = fileOf(user);
    if (file.output == nullptr || count <= 0) return 0;
    const auto end = static_cast<size_t>(file.position + count);
    if (end > file.output->size()) file.output->resize(end);
    std::memcpy(file.output->data() + file.position, bytes, static_cast<size_t>(count));
    file.position += count;
    return count;
}

sf_count_t tellFile(void* user) { return fileOf(user).position; }

struct CloseFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using FileHandle = std::unique_ptr<SNDFILE, CloseFile>;

// libsndfile keeps the reason of a failed open in one place for the whole
// process; opening under a lock keeps that reason the one of this open.
std::mutex g_openLock;

FileHandle openFile(MemoryFile& file, int mode, SF_INFO& info) {
    static SF_VIRTUAL_IO memoryIo = {fileLength, seekFile, readFile, writeFile, tellFile};
    const std::lock_guard lock(g_openLock);
    FileHandle handle(sf_open_virtual(&memoryIo, mode, &info, &file));
    if (!handle) {
        const std::string reason = sf_strerror(nullptr);
        throw sound_exception(mode == SFM_READ ? kCannotRead : kCannotWrite, {}, forge_exception(Message(reason)));
    }
    return handle;
}

std::string formatName(int format) {
    SF_FORMAT_INFO info{};
    info.format = format;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || info.name == nullptr) {
        return std::to_string(format);
    }
    return info.name;
}

SoundFileFormat formatOf(int format) {
    const int major = format & SF_FORMAT_TYPEMASK;
    const int subtype = format & SF_FORMAT_SUBMASK;
    for (const FormatRow& row : kFormats) {
        if (row.major == major && (row.subtype == 0 || row.subtype == subtype)) return row.format;
    }
    throw sound_exception(N_("The sound file is of a kind that cannot be used (%s, %s); use a WAV, AIFF, FLAC, "
                             "Ogg Vorbis, Opus or MP3 file."),
                          {formatName(major), formatName(subtype)});
}

uint64_t secondsRoundedUp(uint64_t frames, unsigned rate) { return (frames + rate - 1) / rate; }

[[noreturn]] void refuseDecodedLength() {
    throw sound_exception(N_("The sound lasts more than %s seconds, the longest a sound may last."),
                          {kMaxSoundSeconds});
}

// Samples of float files may lie outside [-1, 1] or not be numbers at all;
// the resampler and the encoder get full scale at most.
void clampSamples(std::span<float> samples) {
    for (float& sample : samples) sample = std::isfinite(sample) ? std::clamp(sample, -1.0f, 1.0f) : 0.0f;
}
void clampSamples(std::span<int16_t>) {}

sf_count_t readInto(SNDFILE* file, float* out, sf_count_t frames) { return sf_readf_float(file, out, frames); }
sf_count_t readInto(SNDFILE* file, int16_t* out, sf_count_t frames) { return sf_readf_short(file, out, frames); }

}  // namespace

const char* soundFileFormatName(SoundFileFormat format) { return rowOf(format).name; }

const char* soundFileExtension(SoundFileFormat format) { return rowOf(format).extension; }

struct SoundFile::Stream {
    MemoryFile file;
    SF_INFO info{};
    FileHandle handle;
};

SoundFile::SoundFile(ByteView bytes) : stream_(std::make_unique<Stream>()) {
    stream_->file.input = bytes;
    stream_->handle = openFile(stream_->file, SFM_READ, stream_->info);
    const SF_INFO& header = stream_->info;
    info_.format = formatOf(header.format);
    if (header.channels < 1 || header.channels > 2) {
        throw sound_exception(N_("The sound has %s channels; only mono and stereo sounds can be used."),
                              {header.channels});
    }
    if (header.samplerate < static_cast<int>(kMinSampleRate) || header.samplerate > static_cast<int>(kMaxSampleRate)) {
        throw sound_exception(N_("The sound's sample rate of %s Hz is outside the %s to %s Hz that can be used."),
                              {header.samplerate, kMinSampleRate, kMaxSampleRate});
    }
    info_.channels = static_cast<unsigned>(header.channels);
    info_.sampleRate = static_cast<unsigned>(header.samplerate);
    // libsndfile gives the largest count for a length it cannot tell.
    const bool lengthKnown = header.frames > 0 && header.frames != SF_COUNT_MAX;
    info_.frames = lengthKnown ? static_cast<uint64_t>(header.frames) : 0;
    maxFrames_ = uint64_t{kMaxSoundSeconds} * info_.sampleRate;
    if (info_.frames > maxFrames_) {
        throw sound_exception(N_("The sound lasts %s seconds; a sound may last at most %s seconds."),
                              {secondsRoundedUp(info_.frames, info_.sampleRate), kMaxSoundSeconds});
    }
}

SoundFile::~SoundFile() = default;

size_t SoundFile::read(std::span<float> out) { return readFrames(out); }
size_t SoundFile::read(std::span<int16_t> out) { return readFrames(out); }

// One frame more than the longest sound is asked for, so that a file whose
// header understated its length is caught as soon as it passes the bound.
template <typename Sample>
size_t SoundFile::readFrames(std::span<Sample> out) {
    checkCancelled();
    const uint64_t room = out.size() / info_.channels;
    const uint64_t wanted = std::min<uint64_t>(room, maxFrames_ + 1 - decoded_);
    if (wanted == 0) return 0;
    const sf_count_t frames = readInto(stream_->handle.get(), out.data(), static_cast<sf_count_t>(wanted));
    if (sf_error(stream_->handle.get()) != SF_ERR_NO_ERROR) {
        throw sound_exception(kCannotDecode, {}, forge_exception(Message(sf_strerror(stream_->handle.get()))));
    }
    const auto decoded = static_cast<size_t>(std::max<sf_count_t>(frames, 0));
    decoded_ += decoded;
    if (decoded_ > maxFrames_) refuseDecodedLength();
    clampSamples(out.first(decoded * info_.channels));
    return decoded;
}

PcmSound readPcm(ByteView file) {
    SoundFile sound(file);
    PcmSound pcm;
    pcm.sampleRate = sound.info().sampleRate;
    pcm.channels = sound.info().channels;
    // A header may claim far more than the file holds; room for the rest is
    // made as it is decoded.
    constexpr uint64_t kMaxReserved = uint64_t{1} << 24;
    pcm.samples.reserve(std::min(sound.info().frames * pcm.channels, kMaxReserved));
    std::vector<int16_t> chunk(kChunkFrames * pcm.channels);
    while (const size_t frames = sound.read(std::span<int16_t>(chunk))) {
        pcm.samples.insert(pcm.samples.end(), chunk.begin(),
                           chunk.begin() + static_cast<ptrdiff_t>(frames * pcm.channels));
    }
    if (pcm.samples.empty()) throw sound_exception(N_("The sound file holds no sound."));
    return pcm;
}

ByteBuffer writeWav(const PcmSound& sound) {
    // A WAV file counts its bytes in 32 bits.
    constexpr uint64_t kMaxDataBytes = std::numeric_limits<uint32_t>::max() - 1024;
    if (uint64_t{sound.samples.size()} * (sound.bitsPerSample / 8) > kMaxDataBytes) {
        throw sound_exception(N_("The sound is too long for a WAV file."));
    }
    ByteBuffer out;
    MemoryFile file;
    file.output = &out;
    SF_INFO info{};
    info.samplerate = static_cast<int>(sound.sampleRate);
    info.channels = static_cast<int>(sound.channels);
    info.format = SF_FORMAT_WAV | (sound.bitsPerSample == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
    FileHandle handle = openFile(file, SFM_WRITE, info);
    for (size_t at = 0; at < sound.samples.size();) {
        checkCancelled();
        const size_t frames = std::min(kChunkFrames, (sound.samples.size() - at) / sound.channels);
        if (frames == 0) break;
        if (sf_writef_short(handle.get(), sound.samples.data() + at, static_cast<sf_count_t>(frames)) !=
            static_cast<sf_count_t>(frames)) {
            throw sound_exception(kCannotWrite, {}, forge_exception(Message(sf_strerror(handle.get()))));
        }
        at += frames * sound.channels;
    }
    // Closing writes the sizes into the header.
    if (const int error = sf_close(handle.release()); error != 0) {
        throw sound_exception(kCannotWrite, {}, forge_exception(Message(sf_error_number(error))));
    }
    return out;
}

bool samePcm(const PcmSound& a, const PcmSound& b) {
    return a.sampleRate == b.sampleRate && a.channels == b.channels && a.samples == b.samples;
}

}  // namespace sound
