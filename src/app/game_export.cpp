// Main menu options 6 and 7: writing the modified game as an SWF movie or
// as a projector executable.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "app/vlf.h"
#include "console/l18n.h"
#include "console/signals.h"
#include "util/file_types.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// Asks until one of the accepted answers comes.
std::string askUntilAccepted(const char* prompt, std::initializer_list<const char*> accepted) {
    std::string answer;
    readLine(answer, prompt);
    for (;;) {
        for (const char* ok : accepted) {
            if (answer == ok) return answer;
        }
        printf_error("%s", _("Invalid option.\n"));
        answer.clear();
        readLine(answer, retryPrompt(prompt));
    }
}

// The answers are the numbers the menu shows, 1 (zlib) when empty.
swf::Compression askCompression() {
    printf_colored(kHeading, "%s", _("Compression: \n"));
    const std::string answer = askUntilAccepted(
        _("[0] Uncompressed\n[1] *zlib (faster, bigger)\n[2] LZMA (slower, smaller)\nPick option (default=1): "),
        {"0", "1", "2", ""});
    return answer.empty() ? swf::Compression::Zlib : swf::compressionOf(answer[0] - '0');
}

std::string askPath(const char* prompt, const char* fallback) {
    const std::string path = readPath(prompt);
    return path.empty() ? fallback : path;
}

// The "Generating ... Please wait." line. On a terminal it ends with a
// percentage that is updated in place while the game is compressed;
// elsewhere it is printed as it is, once.
class GeneratingLine {
public:
    explicit GeneratingLine(std::string text) : text_(std::move(text)), terminal_(isatty(STDOUT_FILENO) != 0) {
        if (!terminal_) {
            printf_normal("%s", text_.c_str());
            return;
        }
        if (!text_.empty() && text_.back() == '\n') text_.pop_back();
        printf_normal("%s", text_.c_str());
    }

    // Ctrl-C stops the work at its next report.
    ProgressSink progress() {
        return [this](uint64_t done, uint64_t total) {
            checkInterrupt();
            if (!terminal_) return;
            const int percent = total == 0 ? 100 : static_cast<int>(std::min<uint64_t>(done, total) * 100 / total);
            if (percent == shown_) return;
            shown_ = percent;
            printf_normal("\r%s %d%%", text_.c_str(), percent);
        };
    }

    // The work is done: a percentage shown goes to 100.
    void complete() {
        if (shown_ >= 0 && shown_ != 100) printf_normal("\r%s 100%%", text_.c_str());
    }

    // Ends the line once the work is over, whether it succeeded or not.
    ~GeneratingLine() {
        if (terminal_) printf_normal("\n");
    }

private:
    std::string text_;
    bool terminal_;
    int shown_ = -1;
};

// Builds the game under the generating line and writes it to `path`;
// reports a failure and says whether the game was written.
bool writeGame(const std::string& generating, const std::string& path, bool executable,
               const std::function<ByteBuffer(const ProgressSink&)>& build) {
    try {
        ByteBuffer game;
        {
            GeneratingLine line(generating);
            game = build(line.progress());
            line.complete();
        }
        writeBinaryFileSafely(path, game, executable);
        return true;
    } catch (const std::exception& e) {
        reportFailure(e);
        return false;
    }
}

}  // namespace

void vlf::gameWritten() {
    changes.written(*swfFile);
    unsavedChanges = false;
}

void vlf::exportSwf() {
    const swf::Compression compression = askCompression();
    const std::string path = askPath(_("Path to output file (default=Vorlune_out.swf): "), "Vorlune_out.swf");
    if (writeGame(_("Generating SWF... Please wait.\n"), path, false,
                  [&](const ProgressSink& progress) { return swfFile->exportSwf(compression, progress); })) {
        gameWritten();
    }
}

void vlf::exportExe() {
    const swf::Compression compression = askCompression();
    const std::string path = askPath(_("Path to output file (default=Vorlune_out.exe): "), "Vorlune_out.exe");

    bool useHeld = false;
    if (!swfFile->projector.empty()) {
        useHeld = askYesNo(
            _("You have already loaded a Flash Player SA into memory.\nWould you like to use it? [y/n] (default=y): "),
            true);
    }

    ByteBuffer projector;
    const char* kind = swfFile->projectorIsPE ? "EXE" : "ELF";
    if (!useHeld) {
        const std::string projectorPath =
            askPath(_("Path to Adobe Flash Player Projector (default=SA.exe): "), "SA.exe");
        try {
            readBinaryFile(projectorPath, projector);
        } catch (const std::exception& e) {
            reportFailure(e);
            printf_error(_("Export EXE needs a Flash Player projector executable (a Windows or Linux standalone "
                           "player); give its path, or put it at '%s'.\n"),
                         projectorPath.c_str());
            return;
        }
        kind = isPEfile(projector) ? "EXE" : "ELF";
    }

    char generating[256];
    std::snprintf(generating, sizeof generating, _("Generating %s... Please wait.\n"), kind);
    // An empty file would otherwise stand for the projector already held,
    // the one the user just declined.
    if (!useHeld && projector.empty() && !swfFile->projector.empty()) {
        printf_normal("%s", generating);
        printf_error("%s\n", _("Invalid projector file."));
        return;
    }
    if (writeGame(generating, path, true,
                  [&](const ProgressSink& progress) { return swfFile->exportExe(projector, compression, progress); })) {
        gameWritten();
    }
}

}  // namespace vorlune_forge
