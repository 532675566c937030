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
    {kPlain, N_("Export all resources writes every resource into a folder, each data file as a folder of "
                "JSON documents and PNG pictures. Edit the files you want with your usual tools, then choose "
                "Apply resource folder: every file is checked first, the files you did not change are left "
                "out, and you are told what each file changes, and why a file is ignored or refused, before "
                "anything goes into the game. Review changes shows what differs from the game you loaded, "
                "reverts what you do not want, and exports the files that made the changes, with a note of "
                "the game they were made for: a mod to share without the game.\n\n")},
    {kHighlight, N_("Replacing Images: ")},
    {kPlain, N_("PNG, JPEG, GIF, WebP and BMP files are supported; the program tells them apart by their "
                "content, whatever their names say. A GIF gives its first frame, with its transparency. A "
                "picture may have at most 8191 pixels a side and 16,777,215 pixels in all. It is recommended "
                "that you resize and compress your pictures. Note that half-transparent colours may change "
                "slightly when an image is replaced and exported again, due to premultiplied alpha, and that "
                "a JPEG file brings its compression losses with it.\n\n")},
    {kHighlight, N_("Replacing Sounds: ")},
    {kPlain, N_("MP3, WAV, AIFF, FLAC, Ogg Vorbis and Opus files of all ")},
    {kHighlight, N_("sample rates")},
    {kPlain, N_(" can replace a sound if they are mono or stereo and at most 10 minutes long. An MP3 file "
                "at 11025 Hz, 22050 Hz or 44100 Hz is stored as it is; any other file is converted to MP3 at "
                "the sample rate and channels of the sound it replaces and at about its bit rate (note: "
                "sample rates and bit rates are not the same thing), and the program tells you what it did. "
                "Sounds that the game holds uncompressed or as ADPCM are exported as WAV files. It is "
                "recommended that you keep your sounds short so that the final file stays small.\n\n")},
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
