// Flash Player projectors: a PE or ELF player executable with the movie
// appended. PE: player, movie, marker, length. ELF: player, length, marker,
// movie (anything after the movie is ignored).

#include <algorithm>
#include <array>

#include "swf/projector_form.h"
#include "swf/swf.h"
#include "util/file_types.h"

namespace swf {
namespace {

constexpr const char* kNoMovieInExe = N_("SWF not found inside EXE file.");
constexpr const char* kNoMovieInElf = N_("SWF not found inside ELF file.");

bool startsWithSwfSignature(ByteView bytes) { return signatureCompression(bytes).has_value(); }

std::array<uint8_t, 4> markerBytes(uint32_t marker) {
    return {static_cast<uint8_t>(marker), static_cast<uint8_t>(marker >> 8), static_cast<uint8_t>(marker >> 16),
            static_cast<uint8_t>(marker >> 24)};
}

size_t findMarker(ByteView bytes, const std::array<uint8_t, 4>& marker, size_t from) {
    if (from >= bytes.size()) return bytes.size();
    const auto it =
        std::search(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(), marker.begin(), marker.end());
    return static_cast<size_t>(it - bytes.begin());
}

}  // namespace

void checkProjectorForm(const ByteBuffer& bytes) {
    if (bytes.empty()) throw swf_exception(N_("No projector file given."));
    if (!isPEfile(bytes) && !isELFfile(bytes)) throw swf_exception(N_("Invalid projector file."));
}

ByteBuffer SWF::exe2swf(ByteBuffer bytes) {
    const auto marker = markerBytes(projectorMarker);
    if (isPEfile(bytes)) {
        // The trailer is the file's last 8 bytes: the marker, then the length.
        const size_t size = bytes.size();
        SwfCursor trailer(ByteView(bytes).last(8), size - 8, kNoMovieInExe);
        const ByteView found = trailer.bytes(4, N_("projector marker"));
        if (!std::equal(marker.begin(), marker.end(), found.begin())) throw swf_exception(kNoMovieInExe);
        const uint32_t length = trailer.u32le(N_("movie length"));
        if (length > size - 8) {
            throw swf_exception(N_("SWF not found inside EXE file. The movie length in the trailer exceeds the file."));
        }
        const size_t start = size - 8 - length;
        const ByteView movie = ByteView(bytes).subspan(start, length);
        if (!startsWithSwfSignature(movie)) throw swf_exception(kNoMovieInExe);
        ByteBuffer result(movie.begin(), movie.end());
        bytes.resize(start);
        projector = std::move(bytes);
        projectorIsPE = true;
        return result;
    }
    if (isELFfile(bytes)) {
        // The first marker that is followed by an SWF signature is taken:
        // the length before the marker, the movie after it.
        for (size_t p = findMarker(bytes, marker, 4); p < bytes.size(); p = findMarker(bytes, marker, p + 4)) {
            if (p + 12 > bytes.size()) break;
            SwfCursor cursor(ByteView(bytes).subspan(p - 4), p - 4, kNoMovieInElf);
            const uint32_t length = cursor.u32le(N_("movie length"));
            cursor.skip(4, N_("projector marker"));
            if (!startsWithSwfSignature(cursor.rest())) continue;
            if (length > cursor.remaining()) break;
            const ByteView movie = cursor.bytes(length, N_("movie"));
            ByteBuffer result(movie.begin(), movie.end());
            bytes.resize(p - 4);
            projector = std::move(bytes);
            projectorIsPE = false;
            return result;
        }
        throw swf_exception(kNoMovieInElf);
    }
    return bytes;
}

ByteBuffer SWF::exportExe(const ByteBuffer& projectorBytes, Compression form, const ProgressSink& progress) {
    // No bytes mean the projector held; without one, there is none.
    checkProjectorForm(projectorBytes.empty() ? projector : projectorBytes);
    const bool isPE = projectorBytes.empty() ? projectorIsPE : isPEfile(projectorBytes);
    const ByteBuffer movie = exportSwf(form, progress);
    if (movie.size() > UINT32_MAX) throw swf_exception(N_("The movie is too large for a projector (4 GiB or more)."));
    // A projector given here is kept for later exports.
    if (!projectorBytes.empty()) {
        projector = projectorBytes;
        projectorIsPE = isPE;
    }

    const uint32_t length = static_cast<uint32_t>(movie.size());
    const auto marker = markerBytes(projectorMarker);
    ByteBuffer out;
    out.reserve(projector.size() + movie.size() + 8);
    appendBytes(out, projector);
    if (projectorIsPE) {
        appendBytes(out, movie);
        out.insert(out.end(), marker.begin(), marker.end());
        appendU32le(out, length);
    } else {
        appendU32le(out, length);
        out.insert(out.end(), marker.begin(), marker.end());
        appendBytes(out, movie);
    }
    return out;
}

}  // namespace swf
