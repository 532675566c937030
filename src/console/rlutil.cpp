#include "console/rlutil.h"

#include <array>
#include <cstddef>

namespace rlutil {

namespace {

// The numbering is the classic PC text-mode palette (1 blue, 4 red), not the
// ANSI order of the escape codes (1 red, 4 blue), so the table is written out
// rather than computed from the number.
constexpr std::array<const char*, 16> kForeground = {
    ANSI_BLACK,    ANSI_BLUE,      ANSI_GREEN,      ANSI_CYAN,
    ANSI_RED,      ANSI_MAGENTA,   ANSI_BROWN,      ANSI_GREY,
    ANSI_DARKGREY, ANSI_LIGHTBLUE, ANSI_LIGHTGREEN, ANSI_LIGHTCYAN,
    ANSI_LIGHTRED, ANSI_LIGHTMAGENTA, ANSI_YELLOW,  ANSI_WHITE,
};

}  // namespace

const char* colourSequence(int colour) {
    if (colour < 0 || colour >= static_cast<int>(kForeground.size())) return "";
    return kForeground[static_cast<std::size_t>(colour)];
}

}  // namespace rlutil
