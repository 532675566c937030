#include "app/sound_files.h"

#include <cstdio>

#include "codecs/mp3.h"
#include "codecs/sound_file.h"
#include "codecs/sound_to_mp3.h"
#include "codecs/swf_sound_pcm.h"
#include "console/l18n.h"

namespace vorlune_forge {

namespace {

const swf::Tag_DefineSound& soundOf(const swf::Tag& tag) { return dynamic_cast<const swf::Tag_DefineSound&>(tag); }

unsigned sampleRateOf(const swf::Tag_DefineSound& sound) {
    return swf::Tag_DefineSound::soundRates.at(sound.soundRate & 3);
}
unsigned channelsOf(const swf::Tag_DefineSound& sound) { return sound.soundType != 0 ? 2 : 1; }

// The sounds that decode to samples here: uncompressed and ADPCM.
bool isPcmSound(const swf::Tag_DefineSound& sound) {
    const std::optional<swf::SoundFormat> format = sound.soundFormat();
    if (!format) return false;
    switch (*format) {
        case swf::SoundFormat::UncompressedNativeEndian:
        case swf::SoundFormat::UncompressedLittleEndian:
        case swf::SoundFormat::Adpcm:
            return true;
        case swf::SoundFormat::Mp3:
        case swf::SoundFormat::Nellymoser16kHz:
        case swf::SoundFormat::Nellymoser8kHz:
        case swf::SoundFormat::Nellymoser:
        case swf::SoundFormat::Speex:
            return false;
    }
    return false;
}

bool isMp3Sound(const swf::Tag_DefineSound& sound) { return sound.soundFormat() == swf::SoundFormat::Mp3; }

sound::SwfSoundFormat pcmFormatOf(const swf::Tag_DefineSound& sound) {
    return {sound.soundFormatNumber, sound.soundRate & 3, sound.soundSize != 0, sound.soundType != 0,
            sound.soundSampleCount};
}

// The bitrate of the MP3 a sound becomes, so that the game keeps its size:
// the replaced MP3's average; for other sounds what suits speech and
// effects, 128 kbit/s for stereo at 44.1 kHz, half for mono, scaled with
// the rate.
double averageKbps(const swf::Tag_DefineSound& sound) {
    const double rate = sampleRateOf(sound);
    const double seconds = sound.soundSampleCount / rate;
    constexpr size_t kSeekSamplesSize = 2;
    if (isMp3Sound(sound) && seconds > 0 && sound.data.size() > kSeekSamplesSize) {
        return static_cast<double>(sound.data.size() - kSeekSamplesSize) * 8 / seconds / 1000;
    }
    return 64.0 * channelsOf(sound) * rate / 44100;
}

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

Message channelsText(unsigned channels) { return Message::text(channels == 2 ? N_("stereo") : N_("mono")); }

// What a conversion did: "WAV 48000 Hz stereo 2.10 s → MP3 44100 Hz stereo
// 96 kbps 2.10 s".
Message conversionText(const sound::SoundFileInfo& from, double fromSeconds, const sound::Mp3Settings& to,
                       double toSeconds) {
    const Message source =
        Message::text(N_("%s %s Hz %s %s s"), {std::string(sound::soundFileFormatName(from.format)), from.sampleRate,
                                               channelsText(from.channels), secondsText(fromSeconds)});
    const Message mp3 = Message::text(N_("MP3 %s Hz %s %s kbps %s s"),
                                      {to.sampleRate, channelsText(to.channels), to.bitrate, secondsText(toSeconds)});
    return Message::text(N_("%s → %s"), {source, mp3});
}

// The format of a sound file, by its content; nothing when the sound file
// reader does not know it.
std::optional<sound::SoundFileFormat> soundFileFormat(const ByteBuffer& file) {
    try {
        return sound::SoundFile(file).info().format;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// Whether the file is an MP3 the movie can hold as it is. A file of another
// format is never taken for one, whatever frames its bytes seem to hold.
bool isStorableMp3(const ByteBuffer& file) {
    const std::optional<sound::SoundFileFormat> format = soundFileFormat(file);
    if (format && format != sound::SoundFileFormat::Mp3) return false;
    try {
        const mp3::Mp3Info info = mp3::inspectMp3(file);
        return info.sampleRate == 11025 || info.sampleRate == 22050 || info.sampleRate == 44100;
    } catch (const mp3::mp3_exception&) {
        return false;
    }
}

// Whether the file holds what the export of the sound writes, or the same
// samples as its WAV.
bool holdsSound(const ByteBuffer& file, const swf::Tag_DefineSound& sound) {
    try {
        if (isMp3Sound(sound)) return swf::soundToMp3(sound) == file;
        if (!isPcmSound(sound)) return false;
        return sound::samePcm(sound::readPcm(file), sound::decodeSwfSound(pcmFormatOf(sound), sound.data));
    } catch (const std::exception&) {
        return false;
    }
}

// The file encoded to MP3 at the rate, channels and bitrate of the sound
// it replaces.
MadeTag encodedSound(const ByteBuffer& file, const swf::Tag_DefineSound& sound) {
    sound::SoundFile source(file);
    const sound::SoundFileInfo& from = source.info();
    sound::Mp3Settings target;
    target.sampleRate = sound::swfMp3SampleRate(sampleRateOf(sound));
    target.channels = channelsOf(sound);
    target.bitrate = sound::nearestMp3Bitrate(target.sampleRate, averageKbps(sound));
    const sound::EncodedMp3 encoded = sound::encodeAsMp3(source, target);
    MadeTag made(swf::soundWithFrames(encoded.frames,
                                      {target.sampleRate, target.channels, encoded.sampleCount,
                                       static_cast<uint16_t>(encoded.encoderDelay + sound::kMp3DecoderDelay)},
                                      sound));
    const double seconds = static_cast<double>(encoded.sampleCount) / target.sampleRate;
    made.conversion = conversionText(from, from.frames != 0 ? from.seconds() : seconds, target, seconds);
    return made;
}

MadeTag soundFromFile(const ByteBuffer& file, const swf::Tag& current) {
    const auto& sound = soundOf(current);
    if (holdsSound(file, sound)) return {};
    if (isStorableMp3(file)) return MadeTag(swf::soundFromMp3(file, sound));
    return encodedSound(file, sound);
}

}  // namespace

bool isExportableSound(const swf::Tag& tag) {
    const auto* sound = dynamic_cast<const swf::Tag_DefineSound*>(&tag);
    return sound != nullptr && (isMp3Sound(*sound) || isPcmSound(*sound));
}

const char* soundExtension(const swf::Tag& tag) { return isPcmSound(soundOf(tag)) ? ".wav" : ".mp3"; }

const char* soundNotExportable(const swf::Tag& tag) {
    const std::optional<swf::SoundFormat> format = soundOf(tag).soundFormat();
    if (!format) return N_("Sound with ID=%zu is of a format this program does not know.\n");
    switch (*format) {
        case swf::SoundFormat::Nellymoser16kHz:
        case swf::SoundFormat::Nellymoser8kHz:
        case swf::SoundFormat::Nellymoser:
            return N_("Sound with ID=%zu is a Nellymoser sound, which this program cannot export.\n");
        case swf::SoundFormat::Speex:
            return N_("Sound with ID=%zu is a Speex sound, which this program cannot export.\n");
        case swf::SoundFormat::UncompressedNativeEndian:
        case swf::SoundFormat::UncompressedLittleEndian:
        case swf::SoundFormat::Adpcm:
        case swf::SoundFormat::Mp3:
            return nullptr;
    }
    return nullptr;
}

ByteBuffer soundFile(const swf::Tag& tag) {
    const auto& sound = soundOf(tag);
    if (isPcmSound(sound)) return sound::swfSoundToWav(pcmFormatOf(sound), sound.data);
    return swf::soundToMp3(sound);
}

ReplacementFile readSound(const std::string& path) {
    auto bytes = std::make_shared<ByteBuffer>();
    l18n::readBinaryFile(path, *bytes);
    return {path, bytes, sound::soundFileExtension(soundFileFormat(*bytes).value_or(sound::SoundFileFormat::Mp3)),
            [bytes](const swf::Tag& current, const std::string&, const WarningSink&) {
                return soundFromFile(*bytes, current);
            }};
}

std::vector<Message> soundFacts(const swf::Tag& tag) {
    const auto& sound = soundOf(tag);
    const unsigned rate = sampleRateOf(sound);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", static_cast<double>(sound.soundSampleCount) / rate);
    return {Message::text(N_("%s Hz"), {rate}), channelsText(channelsOf(sound)),
            Message::text(N_("%s s"), {std::string(seconds)})};
}

}  // namespace vorlune_forge
