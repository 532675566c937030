#include "console/rlutil.h"

namespace rlutil {

const char* colourSequence(Colour colour) {
    switch (colour) {
        case Colour::Black:
            return ANSI_BLACK;
        case Colour::Blue:
            return ANSI_BLUE;
        case Colour::Green:
            return ANSI_GREEN;
        case Colour::Cyan:
            return ANSI_CYAN;
        case Colour::Red:
            return ANSI_RED;
        case Colour::Magenta:
            return ANSI_MAGENTA;
        case Colour::Brown:
            return ANSI_BROWN;
        case Colour::Grey:
            return ANSI_GREY;
        case Colour::DarkGrey:
            return ANSI_DARKGREY;
        case Colour::LightBlue:
            return ANSI_LIGHTBLUE;
        case Colour::LightGreen:
            return ANSI_LIGHTGREEN;
        case Colour::LightCyan:
            return ANSI_LIGHTCYAN;
        case Colour::LightRed:
            return ANSI_LIGHTRED;
        case Colour::LightMagenta:
            return ANSI_LIGHTMAGENTA;
        case Colour::Yellow:
            return ANSI_YELLOW;
        case Colour::White:
            return ANSI_WHITE;
    }
    // Only a number cast to a Colour gets here: it changes no colour.
    return "";
}

}  // namespace rlutil
