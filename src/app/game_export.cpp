// Main menu options 6 and 7: writing the modified game as an SWF movie or
// as a projector executable.

#include "app/vlf.h"
#include "console/l18n.h"
#include "util/file_types.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// Asks until one of the accepted answers comes; the prompt is shown once.
std::string askUntilAccepted(const char* prompt, std::initializer_list<const char*> accepted) {
    std::string answer;
    readLine(answer, prompt);
    for (;;) {
        for (const char* ok : accepted) {
            if (answer == ok) return answer;
        }
        printf_error("%s", _("Invalid option.\n"));
        answer.clear();
        readLine(answer, "");
    }
}

int askCompression() {
    printf_colored(14, "%s", _("Compression: \n"));
    const std::string answer = askUntilAccepted(
        _("[0] Uncompressed\n[1] *zlib (faster, bigger)\n[2] LZMA (slower, smaller)\nPick option (default=1): "),
        {"0", "1", "2", ""});
    return answer.empty() ? 1 : answer[0] - '0';
}

std::string askPath(const char* prompt, const char* fallback) {
    std::string path;
    readLine(path, prompt);
    trim(path);
    removequotes(path);
    return path.empty() ? fallback : path;
}

}  // namespace

void vlf::exportSwf() {
    const int compression = askCompression();
    std::string path;
    readLine(path, _("Path to output file (default=Vorlune_out.swf): "));
    if (path.empty()) path = "Vorlune_out.swf";
    printf_normal("%s", _("Generating SWF... Please wait.\n"));
    try {
        writeBinaryFileSafely(path, swfFile->exportSwf(compression));
        unsavedChanges = false;
    } catch (const std::exception& e) {
        printf_error("%s\n", e.what());
    }
}

void vlf::exportExe() {
    const int compression = askCompression();
    const std::string path = askPath(_("Path to output file (default=Vorlune_out.exe): "), "Vorlune_out.exe");

    bool useHeld = false;
    if (!swfFile->projector.empty()) {
        const std::string answer = askUntilAccepted(
            _("You have already loaded a Flash Player SA into memory.\nWould you like to use it? [y/n] (default=y): "),
            {"y", "Y", "n", "N", ""});
        useHeld = answer != "n" && answer != "N";
    }

    ByteBuffer projector;
    const char* kind = swfFile->projectorIsPE ? "EXE" : "ELF";
    if (!useHeld) {
        const std::string projectorPath =
            askPath(_("Path to Adobe Flash Player Projector (default=SA.exe): "), "SA.exe");
        try {
            readBinaryFile(projectorPath, projector);
        } catch (const std::exception& e) {
            printf_error("%s\n", e.what());
            return;
        }
        kind = isPEfile(projector) ? "EXE" : "ELF";
    }

    printf_normal(_("Generating %s... Please wait.\n"), kind);
    // An empty file would otherwise stand for the projector already held,
    // the one the user just declined.
    if (!useHeld && projector.empty() && !swfFile->projector.empty()) {
        printf_error("%s\n", "Invalid projector file.");
        return;
    }
    try {
        writeBinaryFileSafely(path, swfFile->exportExe(projector, compression), true);
        unsavedChanges = false;
    } catch (const std::exception& e) {
        printf_error("%s\n", e.what());
    }
}

}  // namespace vorlune_forge
