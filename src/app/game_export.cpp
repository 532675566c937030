// Writing the modified game as an SWF movie or as a projector executable.

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>

#include "app/dialogues.h"
#include "app/menus.h"
#include "console/l18n.h"
#include "console/signals.h"
#include "swf/projector_form.h"
#include "util/file_types.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// Asks until one of the accepted answers comes.
std::string askUntilAccepted(const std::string& prompt, const std::vector<std::string>& accepted) {
    std::string answer;
    readLine(answer, prompt);
    while (std::find(accepted.begin(), accepted.end(), answer) == accepted.end()) {
        printf_error("%s", _("Invalid option.\n"));
        answer.clear();
        readLine(answer, retryPrompt(prompt));
    }
    return answer;
}

constexpr swf::Compression kDefaultCompression = swf::Compression::Zlib;

// What the menu says of a form.
const char* menuText(swf::Compression compression) {
    switch (compression) {
        case swf::Compression::Uncompressed:
            return N_("Uncompressed");
        case swf::Compression::Zlib:
            return N_("zlib (faster, bigger)");
        case swf::Compression::Lzma:
            return N_("LZMA (slower, smaller)");
    }
    return "";
}

// The forms by their numbers, the default marked; an empty answer takes
// the default.
swf::Compression askCompression() {
    printf_colored(kHeading, "%s", _("Compression: \n"));
    const std::vector<swf::Compression> forms = swf::compressions();
    std::string prompt;
    std::vector<std::string> accepted = {""};
    size_t byDefault = 0;
    for (size_t number = 0; number < forms.size(); ++number) {
        const bool isDefault = forms[number] == kDefaultCompression;
        if (isDefault) byDefault = number;
        prompt += '[';
        prompt += std::to_string(number);
        prompt += isDefault ? "] *" : "] ";
        prompt += _(menuText(forms[number]));
        prompt += '\n';
        accepted.push_back(std::to_string(number));
    }
    prompt += translated(N_("Pick option (default=%s): "), {byDefault});
    const std::string answer = askUntilAccepted(prompt, accepted);
    return answer.empty() ? kDefaultCompression : forms[std::stoul(answer)];
}

std::string askPath(const char* prompt, const char* fallback) {
    const std::string path = readPath(prompt);
    return path.empty() ? fallback : path;
}

bool exists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

// The loaded game is never written over without keeping its original.
std::string backupOf(const std::string& path) { return path + ".orig"; }

// On a terminal: whether the user wants the file at `path` written over.
// The question says when it is the loaded game, and where its original is.
bool allowsOverwrite(const std::string& path, const std::string& gamePath) {
    if (!sameFile(path, gamePath)) {
        return askYesNo(translated(N_("'%s' exists. Overwrite it? [y/n] (default=n): "), {path}), false);
    }
    const std::string backup = backupOf(path);
    const char* question =
        exists(backup) ? N_("'%s' exists: it is the game you loaded, and '%s' already keeps an earlier original. "
                            "Overwrite it? [y/n] (default=n): ")
                       : N_("'%s' exists: it is the game you loaded, and its original will be kept as '%s'. "
                            "Overwrite it? [y/n] (default=n): ");
    return askYesNo(translated(question, {path, backup}), false);
}

// Asks for the output path and checks at once that the game can be written
// there, so that a long build never ends in a failure known from the start.
// On a terminal a path that cannot be written, or an existing file that is
// not to be written over, is asked for again (Ctrl-D goes back). Elsewhere
// the failure is reported and nothing is returned; no question is added.
std::optional<std::string> askOutputPath(const char* prompt, const char* fallback, const std::string& gamePath) {
    for (;;) {
        const std::string path = askPath(prompt, fallback);
        try {
            checkWritable(path);
        } catch (const std::exception& e) {
            reportFailure(e);
            if (interactive()) continue;
            return std::nullopt;
        }
        if (!interactive() || !exists(path) || allowsOverwrite(path, gamePath)) return path;
    }
}

const char* compressionName(swf::Compression compression) {
    switch (compression) {
        case swf::Compression::Uncompressed:
            return _("uncompressed");
        case swf::Compression::Zlib:
            return "zlib";
        case swf::Compression::Lzma:
            return "LZMA";
    }
    return "";
}

// A size as people read it: "812 bytes", "15.2 MiB" (in the locale's
// digits).
std::string sizeText(size_t bytes) {
    if (bytes < 1024) return translated(N_("%s bytes"), {bytes});
    const char* const units[] = {"KiB", "MiB", "GiB"};
    double size = static_cast<double>(bytes) / 1024;
    size_t unit = 0;
    while (size >= 1024 && unit + 1 < std::size(units)) {
        size /= 1024;
        ++unit;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.1f %s", size, units[unit]);
    return text;
}

// Where the game goes: the path, and the loaded game's path to tell when it
// is written over.
struct Output {
    std::string path;
    const std::string& gamePath;
    swf::Compression compression;
    bool executable;
};

// On a terminal, what was written. A piped session's transcript stays as
// it was.
void reportWritten(const Output& output, size_t size, bool overGame) {
    if (!interactive()) return;
    std::vector<Message> args = {output.path, sizeText(size), std::string(compressionName(output.compression))};
    const char* line = N_("Wrote '%s': %s, %s.\n");
    if (overGame) {
        line = N_("Wrote '%s': %s, %s; the original is kept as '%s'.\n");
        args.push_back(backupOf(output.path));
    }
    printf_colored(kHeading, "%s", translated(line, std::move(args)).c_str());
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

// Builds the game under the generating line and writes it to the output,
// keeping the original first when that is the loaded game; reports a
// failure and says whether the game was written.
bool writeGame(const std::string& generating, const Output& output,
               const std::function<ByteBuffer(const ProgressSink&)>& build) {
    try {
        ByteBuffer game;
        {
            GeneratingLine line(generating);
            game = build(line.progress());
            line.complete();
        }
        const bool overGame = sameFile(output.path, output.gamePath);
        if (overGame) keepBackup(output.path, backupOf(output.path));
        writeBinaryFileSafely(output.path, game, output.executable);
        reportWritten(output, game.size(), overGame);
        return true;
    } catch (const std::exception& e) {
        reportFailure(e);
        return false;
    }
}

// Reads the projector that a path names and checks that it is one; tells
// why not. An empty file is refused too: it would otherwise stand for the
// projector already held, the one the user just declined.
std::optional<ByteBuffer> readProjector(const std::string& path) {
    ByteBuffer projector;
    try {
        readBinaryFile(path, projector);
    } catch (const std::exception& e) {
        reportFailure(e);
        printf_error(_("Export EXE needs a Flash Player projector executable (a Windows or Linux standalone "
                       "player); give its path, or put it at '%s'.\n"),
                     visibleText(path).c_str());
        return std::nullopt;
    }
    try {
        swf::checkProjectorForm(projector);
    } catch (const std::exception& e) {
        reportFailure(e);
        return std::nullopt;
    }
    return projector;
}

// Asks for the projector. At the keyboard one that is missing or is none
// is told and asked again, until it is given or the answer is empty (or
// Ctrl-D); elsewhere the failure is told and nothing is returned.
std::optional<ByteBuffer> askProjector() {
    const char* prompt = _("Path to Adobe Flash Player Projector (default=SA.exe): ");
    std::string path = askPath(prompt, "SA.exe");
    for (;;) {
        if (std::optional<ByteBuffer> projector = readProjector(path)) return projector;
        if (!interactive()) return std::nullopt;
        path = readPath(retryPrompt(prompt));
        if (path.empty()) return std::nullopt;
    }
}

}  // namespace

void exportSwf(vlf& session) {
    const swf::SWF& game = *session.swfFile;
    const std::string& gamePath = session.gamePath;
    const swf::Compression compression = askCompression();
    const std::optional<std::string> path =
        askOutputPath(_("Path to output file (default=Vorlune_out.swf): "), "Vorlune_out.swf", gamePath);
    if (!path) return;
    if (writeGame(_("Generating SWF... Please wait.\n"), {*path, gamePath, compression, false},
                  [&](const ProgressSink& progress) { return game.exportSwf(compression, progress); })) {
        session.changes.written();
    }
}

void exportExe(vlf& session) {
    swf::SWF& game = *session.swfFile;
    const std::string& gamePath = session.gamePath;
    const swf::Compression compression = askCompression();
    const std::optional<std::string> path =
        askOutputPath(_("Path to output file (default=Vorlune_out.exe): "), "Vorlune_out.exe", gamePath);

    // The held projector came with the game, so the question names it.
    const bool useHeld =
        !game.projector.empty() &&
        askYesNo(translated(N_("You have already loaded a Flash Player SA into memory, from '%s'.\nWould you like to "
                               "use it? [y/n] (default=y): "),
                            {gamePath}),
                 true);

    ByteBuffer projector;
    const char* kind = game.projectorIsPE ? "EXE" : "ELF";
    if (!useHeld) {
        std::optional<ByteBuffer> read = askProjector();
        if (!read) return;
        projector = std::move(*read);
        kind = isPEfile(projector) ? "EXE" : "ELF";
    }
    // A path refused at its question: the questions after it were still
    // asked, so that answers given ahead of them went where they were meant.
    if (!path) return;

    char generating[256];
    std::snprintf(generating, sizeof generating, _("Generating %s... Please wait.\n"), kind);
    if (writeGame(generating, {*path, gamePath, compression, true},
                  [&](const ProgressSink& progress) { return game.exportExe(projector, compression, progress); })) {
        session.changes.written();
    }
}

}  // namespace vorlune_forge
