#include "swf/compression.h"

#include "swf/swf_exception.h"

namespace swf {
namespace {

// The form after `compression` in the order of their numbers, or nothing
// after the last: a new form is linked in where the compiler asks for it.
std::optional<Compression> nextCompression(Compression compression) {
    switch (compression) {
        case Compression::Uncompressed:
            return Compression::Zlib;
        case Compression::Zlib:
            return Compression::Lzma;
        case Compression::Lzma:
            return std::nullopt;
    }
    return std::nullopt;
}

// The first form, in the order of their numbers, that `wanted` accepts.
template <typename Wanted>
std::optional<Compression> firstCompression(Wanted wanted) {
    for (std::optional<Compression> form = Compression::Uncompressed; form; form = nextCompression(*form)) {
        if (wanted(*form)) return form;
    }
    return std::nullopt;
}

}  // namespace

std::vector<Compression> compressions() {
    std::vector<Compression> forms;
    for (std::optional<Compression> form = Compression::Uncompressed; form; form = nextCompression(*form)) {
        forms.push_back(*form);
    }
    return forms;
}

Compression compressionOf(int number) {
    int position = 0;
    const std::optional<Compression> form = firstCompression([&](Compression) { return position++ == number; });
    if (!form) throw swf_exception(N_("Invalid compression option."));
    return *form;
}

std::optional<Compression> signatureCompression(ByteView bytes) {
    if (bytes.size() < 3 || bytes[1] != 'W' || bytes[2] != 'S') return std::nullopt;
    return firstCompression([&](Compression form) { return bytes[0] == signatureLetter(form); });
}

char signatureLetter(Compression compression) {
    switch (compression) {
        case Compression::Uncompressed:
            return 'F';
        case Compression::Zlib:
            return 'C';
        case Compression::Lzma:
            return 'Z';
    }
    return 'F';
}

}  // namespace swf
