// The help screen.

#include <optional>
#include <string>

#include "app/dialogues.h"
#include "console/l18n.h"
#include "console/screen.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

constexpr std::optional<Colour> kPlain = std::nullopt;

// A piece of the help text in its colour; the opening line break and the
// forum's address are not translated.
struct HelpPiece {
    std::optional<Colour> colour;
    const char* text;
    bool translated = true;
};

// The pieces are printed one after another; on a terminal they are wrapped
// as one text, and paged.
const HelpPiece kHelpText[] = {
    {kPlain, "\n", false},
    {kHeading, N_(" _  _ ___ _    ___  \n"
                  "| || | __| |  | _ \\ \n"
                  "| __ | _|| |__|  _/ \n"
                  "|_||_|___|____|_|   \n\n")},
    {kHighlight, N_("IMPORTANT: ")},
    {kPlain, N_("Vorlune is property of Tobin Arkwell. This game has suffered a lot at the hands of crackers, who "
                "sought to unlock all the characters in the game for free, thus making the game unsustainable. "
                "Vorlune Forge is meant to modify Vorlune in an ETHICAL manner in order to bring new wonders to "
                "the game. If you wish to see new Vorlune versions released in the future, by no means you'll "
                "attempt to modify this game in a way that hurts Tobin's income or the game's reputation and its "
                "users. Keep in mind that sounds and images that you find on the internet might be copyright "
                "protected in which case you should")},
    {kHighlight, N_(" NOT ")},
    {kPlain, N_("use them. Thank you.\n\n")},
    {kPlain, N_("This program allows you to list, export and replace images, sounds, stages and data "
                "files. It is recommended that you keep the ")},
    {kHighlight, N_("images resized and sounds compressed")},
    {kPlain, N_(" as much as possible so that the final file will not be too large.\n\n")},
    {kHighlight, N_("Exporting Vorlune: ")},
    {kPlain, N_("You may export the modified Vorlune in SWF or EXE formats. When exporting, you'll be given "
                "the option to compress the SWF file using Zlib or LZMA algorithms. It is highly recommended "
                "that you use one of these because a smaller file size will be easier to transfer on the "
                "internet. Zlib compression is the most common, whilst LZMA is more recent and won't work on "
                "Flash Player versions below 11.\n\n")},
    {kPlain, N_("If you're using a Flash Player projector (i.e. an EXE file) it is recommended that you "
                "compress it using UPX.\n\n")},
    {kHighlight, N_("Making a mod: ")},
    {kPlain, N_("Export all resources writes every resource into a folder. Edit the files you want with "
                "your usual tools, then choose Apply resource folder: every file is checked first, the "
                "files you did not change are left out, and you are told what each file changes before "
                "anything goes into the game. Review changes shows what differs from the game you loaded, "
                "reverts what you do not want, and exports the changed files alone, a mod to share "
                "without the game.\n\n")},
    {kHighlight, N_("Replacing Images: ")},
    {kPlain, N_("Only PNG files are supported. It is recommended that you resize and compress your PNG "
                "files. Note that images get slightly changed during the process of extracting and "
                "replacing due to premultiplied alpha.\n\n")},
    {kHighlight, N_("Replacing MP3: ")},
    {kPlain, N_("Only MP3 files with ")},
    {kHighlight, N_("sample rates")},
    {kPlain, N_(" of 5512 Hz, 11025 Hz, 22050 Hz and 44100 Hz are allowed (note: sample rates and bit "
                "rates are not the same thing). This program will tell you if the MP3 file that you're "
                "trying to replace with doesn't meet the requirements. In this case, you may find a "
                "converter online for your MP3 file. It is also recommended that you find an MP3 "
                "compressor to reduce the size of your MP3 files.\n\n")},
    {kPlain, N_("For tutorials and discussion visit ")},
    {kHeading, "https://vorlune-forge.example/forum\n\n", false},
};

}  // namespace

void printHelp() {
    const Paging paging;
    for (const HelpPiece& piece : kHelpText) {
        const char* text = piece.translated ? _(piece.text) : piece.text;
        if (piece.colour) {
            printf_colored(*piece.colour, "%s", text);
        } else {
            printf_normal("%s", text);
        }
    }
}

}  // namespace vorlune_forge
