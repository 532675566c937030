#pragma once
// ANSI escape sequences for colours, attributes and the window title, and
// the 16 console colours.

namespace rlutil {

inline constexpr const char* ANSI_CONSOLE_TITLE_PRE = "\x1b]0;";
inline constexpr const char* ANSI_CONSOLE_TITLE_POST = "\a";
// The terminal's title stack (xterm's window operations 22 and 23).
inline constexpr const char* ANSI_TITLE_PUSH = "\x1b[22;0t";
inline constexpr const char* ANSI_TITLE_POP = "\x1b[23;0t";
inline constexpr const char* ANSI_ATTRIBUTE_RESET = "\x1b[0m";

inline constexpr const char* ANSI_BLACK = "\x1b[22;30m";
inline constexpr const char* ANSI_RED = "\x1b[22;31m";
inline constexpr const char* ANSI_GREEN = "\x1b[22;32m";
inline constexpr const char* ANSI_BROWN = "\x1b[22;33m";
inline constexpr const char* ANSI_BLUE = "\x1b[22;34m";
inline constexpr const char* ANSI_MAGENTA = "\x1b[22;35m";
inline constexpr const char* ANSI_CYAN = "\x1b[22;36m";
inline constexpr const char* ANSI_GREY = "\x1b[22;37m";
inline constexpr const char* ANSI_DARKGREY = "\x1b[01;30m";
inline constexpr const char* ANSI_LIGHTRED = "\x1b[01;31m";
inline constexpr const char* ANSI_LIGHTGREEN = "\x1b[01;32m";
inline constexpr const char* ANSI_YELLOW = "\x1b[01;33m";
inline constexpr const char* ANSI_LIGHTBLUE = "\x1b[01;34m";
inline constexpr const char* ANSI_LIGHTMAGENTA = "\x1b[01;35m";
inline constexpr const char* ANSI_LIGHTCYAN = "\x1b[01;36m";
inline constexpr const char* ANSI_WHITE = "\x1b[01;37m";

// The console colours, numbered as in the classic PC text-mode palette
// (1 blue, 4 red), not in the ANSI order of their escape codes (1 red,
// 4 blue).
enum class Colour {
    Black = 0,
    Blue = 1,
    Green = 2,
    Cyan = 3,
    Red = 4,
    Magenta = 5,
    Brown = 6,
    Grey = 7,
    DarkGrey = 8,
    LightBlue = 9,
    LightGreen = 10,
    LightCyan = 11,
    LightRed = 12,
    LightMagenta = 13,
    Yellow = 14,
    White = 15,
};

// The foreground sequence of a colour.
const char* colourSequence(Colour colour);

}  // namespace rlutil
