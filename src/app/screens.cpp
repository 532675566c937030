// The title screen and the help screen.

#include <sys/ioctl.h>
#include <unistd.h>

#include <string>

#include "app/vlf.h"
#include "console/l18n.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

const char* const kForumAddress = "https://vorlune-forge.example/forum";

// Columns of UTF-8 text, counting every character as one.
size_t columnsOf(const std::string& text) {
    size_t count = 0;
    for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// Prints the help text's pieces one after another, each in its colour. On a
// terminal the paragraphs are wrapped between words to the terminal's
// width, across pieces, and a text taller than the terminal stops at each
// screenful until the user presses Enter; elsewhere (a pipe, a file) the
// text is left as is.
class HelpPrinter {
public:
    HelpPrinter() {
        winsize size{};
        if (isatty(STDOUT_FILENO) == 0) return;
        const bool known = ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0;
        width_ = known && size.ws_col > 0 ? size.ws_col : 80;
        // Waiting for Enter needs someone at the keyboard: answers piped in
        // are never taken for it.
        if (known && isatty(STDIN_FILENO) != 0) rows_ = size.ws_row;
    }

    void print(int colour, const std::string& text) { write(colour, width_ == 0 ? text : wrapped(text)); }

    // Whole lines printed as they are (art, for one), blanks included.
    void printLines(int colour, const char* lines) {
        write(colour, lines);
        column_ = 0;
        pendingBlank_ = false;
    }

private:
    // Writes the text a screen line at a time, counting the lines the
    // terminal shows, those it breaks itself included. The pause comes only
    // when there is more to show, so the help never ends on a prompt.
    void write(int colour, const std::string& text) {
        size_t start = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const bool lead = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
            if (lead && rows_ > 1 && linesShown_ >= rows_ - 1) {
                put(colour, text.substr(start, i - start));
                start = i;
                waitForEnter();
                linesShown_ = 0;
            }
            if (text[i] == '\n') {
                ++linesShown_;
                screenColumn_ = 0;
            } else if (lead && ++screenColumn_ > width_ && width_ > 0) {
                ++linesShown_;
                screenColumn_ = 1;
            }
        }
        put(colour, text.substr(start));
    }

    static void put(int colour, const std::string& text) {
        if (text.empty()) return;
        if (colour < 0) {
            printf_normal("%s", text.c_str());
        } else {
            printf_colored(colour, "%s", text.c_str());
        }
    }

    // The prompt is readline's own, so that it knows the line is taken and
    // ends it when Enter is pressed.
    static void waitForEnter() {
        std::string answer;
        readLine(answer, _("-- Press Enter to continue --"));
    }

    // A blank between two words is held back until the next word shows
    // whether it fits on the line or a line break takes the blank's place.
    std::string wrapped(const std::string& text) {
        std::string out;
        size_t start = 0;
        while (start < text.size()) {
            const size_t end = text.find_first_of(" \n", start);
            const std::string word = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (!word.empty()) placeWord(out, word);
            if (end == std::string::npos) break;
            if (text[end] == '\n') {
                out += '\n';
                column_ = 0;
                pendingBlank_ = false;
            } else if (column_ > 0) {
                pendingBlank_ = true;
            }
            start = end + 1;
        }
        return out;
    }

    void placeWord(std::string& out, const std::string& word) {
        const size_t columns = columnsOf(word);
        if (pendingBlank_ && column_ + 1 + columns > width_) {
            out += '\n';
            column_ = 0;
        } else if (pendingBlank_) {
            out += ' ';
            ++column_;
        }
        pendingBlank_ = false;
        out += word;
        column_ += columns;
    }

    size_t width_ = 0;
    size_t column_ = 0;
    bool pendingBlank_ = false;
    // Paging: the terminal's height (0 for none) and what is on screen
    // since the last pause.
    size_t rows_ = 0;
    size_t linesShown_ = 0;
    size_t screenColumn_ = 0;
};

constexpr int kPlain = -1;

}  // namespace

void vlf::printHeader() {
    // The anvil, in the first 15 columns, is light red; the title yellow.
    print2Colors(_(" ___________   __   __       _                 ___                 \n"
                   "(___________)  \\ \\ / /__ _ _| |_  _ _ _  ___  | __|__ _ _ __ _ ___ \n"
                   "   |     |      \\ V / _ \\ '_| | || | ' \\/ -_) | _/ _ \\ '_/ _` / -_)\n"
                   "   |_____|       \\_/\\___/_| |_|\\_,_|_||_\\___| |_|\\___/_| \\__, \\___|\n"
                   "  /_______\\                                              |___/     \n\n"),
                 15, kHighlight, kHeading);
    printf_colored(kHeading, "%s", _("Hello there, hero!\nWhich file do you wish to modify?\n\n"));
}

void vlf::printHelp() {
    HelpPrinter help;
    help.printLines(kPlain, "\n");
    help.printLines(kHeading, _(" _  _ ___ _    ___  \n"
                          "| || | __| |  | _ \\ \n"
                          "| __ | _|| |__|  _/ \n"
                          "|_||_|___|____|_|   \n\n"));
    help.print(kHighlight, _("IMPORTANT: "));
    help.print(kPlain,
               _("Vorlune is property of Tobin Arkwell. This game has suffered a lot at the hands of crackers, who "
                 "sought to unlock all the characters in the game for free, thus making the game unsustainable. "
                 "Vorlune Forge is meant to modify Vorlune in an ETHICAL manner in order to bring new wonders to "
                 "the game. If you wish to see new Vorlune versions released in the future, by no means you'll "
                 "attempt to modify this game in a way that hurts Tobin's income or the game's reputation and its "
                 "users. Keep in mind that sounds and images that you find on the internet might be copyright "
                 "protected in which case you should"));
    help.print(kHighlight, _(" NOT "));
    help.print(kPlain, _("use them. Thank you.\n\n"));
    help.print(kPlain, _("This program allows you to list, export and replace images, sounds, stages and data "
                         "files. It is recommended that you keep the "));
    help.print(kHighlight, _("images resized and sounds compressed"));
    help.print(kPlain, _(" as much as possible so that the final file will not be too large.\n\n"));
    help.print(kHighlight, _("Exporting Vorlune: "));
    help.print(kPlain, _("You may export the modified Vorlune in SWF or EXE formats. When exporting, you'll be given "
                         "the option to compress the SWF file using Zlib or LZMA algorithms. It is highly recommended "
                         "that you use one of these because a smaller file size will be easier to transfer on the "
                         "internet. Zlib compression is the most common, whilst LZMA is more recent and won't work on "
                         "Flash Player versions below 11.\n\n"));
    help.print(kPlain, _("If you're using a Flash Player projector (i.e. an EXE file) it is recommended that you "
                         "compress it using UPX.\n\n"));
    help.print(kHighlight, _("Making a mod: "));
    help.print(kPlain, _("Export all resources writes every resource into a folder. Edit the files you want with "
                         "your usual tools, then choose Apply resource folder: every file is checked first, the "
                         "files you did not change are left out, and you are told what each file changes before "
                         "anything goes into the game. Review changes shows what differs from the game you loaded, "
                         "reverts what you do not want, and exports the changed files alone, a mod to share "
                         "without the game.\n\n"));
    help.print(kHighlight, _("Replacing Images: "));
    help.print(kPlain, _("Only PNG files are supported. It is recommended that you resize and compress your PNG "
                         "files. Note that images get slightly changed during the process of extracting and "
                         "replacing due to premultiplied alpha.\n\n"));
    help.print(kHighlight, _("Replacing MP3: "));
    help.print(kPlain, _("Only MP3 files with "));
    help.print(kHighlight, _("sample rates"));
    help.print(kPlain, _(" of 5512 Hz, 11025 Hz, 22050 Hz and 44100 Hz are allowed (note: sample rates and bit "
                         "rates are not the same thing). This program will tell you if the MP3 file that you're "
                         "trying to replace with doesn't meet the requirements. In this case, you may find a "
                         "converter online for your MP3 file. It is also recommended that you find an MP3 "
                         "compressor to reduce the size of your MP3 files.\n\n"));
    // Through the wrapping, which puts the blank before the address.
    help.print(kPlain, _("For tutorials and discussion visit "));
    help.print(kHeading, std::string(kForumAddress) + "\n\n");
}

}  // namespace vorlune_forge
