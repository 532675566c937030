#pragma once
// ANSI escape sequences for colours, attributes, the cursor and the window
// title.

namespace rlutil {

inline constexpr const char* ANSI_CLS = "\x1b[2J\x1b[3J";
inline constexpr const char* ANSI_CONSOLE_TITLE_PRE = "\x1b]0;";
inline constexpr const char* ANSI_CONSOLE_TITLE_POST = "\a";
// The terminal's title stack (xterm's window operations 22 and 23).
inline constexpr const char* ANSI_TITLE_PUSH = "\x1b[22;0t";
inline constexpr const char* ANSI_TITLE_POP = "\x1b[23;0t";
inline constexpr const char* ANSI_ATTRIBUTE_RESET = "\x1b[0m";
inline constexpr const char* ANSI_CURSOR_HIDE = "\x1b[?25l";
inline constexpr const char* ANSI_CURSOR_SHOW = "\x1b[?25h";
inline constexpr const char* ANSI_CURSOR_HOME = "\x1b[H";

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

inline constexpr const char* ANSI_BACKGROUND_BLACK = "\x1b[40m";
inline constexpr const char* ANSI_BACKGROUND_RED = "\x1b[41m";
inline constexpr const char* ANSI_BACKGROUND_GREEN = "\x1b[42m";
inline constexpr const char* ANSI_BACKGROUND_YELLOW = "\x1b[43m";
inline constexpr const char* ANSI_BACKGROUND_BLUE = "\x1b[44m";
inline constexpr const char* ANSI_BACKGROUND_MAGENTA = "\x1b[45m";
inline constexpr const char* ANSI_BACKGROUND_CYAN = "\x1b[46m";
inline constexpr const char* ANSI_BACKGROUND_WHITE = "\x1b[47m";

// The foreground sequence of a colour number 0 to 15; empty for any other.
const char* colourSequence(int colour);

}  // namespace rlutil
