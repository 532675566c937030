#include "console/l18n.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <readline/history.h>
#include <readline/readline.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "console/path_quoting.h"
#include "console/screen.h"
#include "console/terminal.h"

namespace {

using l18n::Colour;

const std::string kReset = "\x1b[0m";
const std::string kLightRed = "\x1b[01;31m";
const std::string kYellow = "\x1b[01;33m";

// Points a file descriptor somewhere else for the lifetime of the object.
// The C streams are flushed on both sides of the switch so that nothing
// written before lands in the capture, or the reverse; error flags left by a
// failing target are cleared so they do not outlive the test.
class Redirect {
public:
    Redirect(int fd, int target) : fd_(fd), saved_(dup(fd)) {
        flushAll();
        dup2(target, fd_);
    }
    ~Redirect() {
        flushAll();
        std::clearerr(stdout);
        std::clearerr(stderr);
        dup2(saved_, fd_);
        close(saved_);
    }
    Redirect(const Redirect&) = delete;
    Redirect& operator=(const Redirect&) = delete;

private:
    static void flushAll() {
        std::fflush(stdout);
        std::fflush(stderr);
    }
    int fd_;
    int saved_;
};

std::string contents(std::FILE* file) {
    std::string text;
    lseek(fileno(file), 0, SEEK_SET);
    char buffer[4096];
    for (ssize_t n; (n = read(fileno(file), buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    return text;
}

struct Captured {
    std::string out;
    std::string err;
    std::exception_ptr error;
};

// Runs `call` with standard output and standard error captured, either
// apart or interleaved in one file (which shows the order they would reach
// a terminal in). Test assertions must wait until the capture has ended.
template <typename Call>
Captured capture(Call call, bool merged = false) {
    std::FILE* outFile = std::tmpfile();
    std::FILE* errFile = merged ? outFile : std::tmpfile();
    Captured result;
    {
        Redirect out(STDOUT_FILENO, fileno(outFile));
        Redirect err(STDERR_FILENO, fileno(errFile));
        try {
            call();
        } catch (...) {
            result.error = std::current_exception();
        }
    }
    result.out = contents(outFile);
    if (!merged) {
        result.err = contents(errFile);
        std::fclose(errFile);
    }
    std::fclose(outFile);
    return result;
}

TEST(ConsoleOutput, PrintfColoredWritesTheColourTextAndReset) {
    // Colour numbers follow the PC palette, not the ANSI code order.
    const struct {
        Colour colour;
        std::string sequence;
    } cases[] = {
        {Colour::Black, "\x1b[22;30m"},     {Colour::Blue, "\x1b[22;34m"},         {Colour::Green, "\x1b[22;32m"},
        {Colour::Cyan, "\x1b[22;36m"},      {Colour::Red, "\x1b[22;31m"},          {Colour::Magenta, "\x1b[22;35m"},
        {Colour::Brown, "\x1b[22;33m"},     {Colour::Grey, "\x1b[22;37m"},         {Colour::DarkGrey, "\x1b[01;30m"},
        {Colour::LightBlue, "\x1b[01;34m"}, {Colour::LightGreen, "\x1b[01;32m"},   {Colour::LightCyan, "\x1b[01;36m"},
        {Colour::LightRed, "\x1b[01;31m"},  {Colour::LightMagenta, "\x1b[01;35m"}, {Colour::Yellow, "\x1b[01;33m"},
        {Colour::White, "\x1b[01;37m"},
    };
    for (const auto& c : cases) {
        int count = 0;
        const Captured got = capture([&] { count = l18n::printf_colored(c.colour, "Compression: %s\n", ""); });
        EXPECT_EQ(got.out, c.sequence + "Compression: \n" + kReset) << "colour " << static_cast<int>(c.colour);
        EXPECT_EQ(got.err, "");
        EXPECT_EQ(count, 14) << "colour " << static_cast<int>(c.colour);
    }
}

TEST(ConsoleOutput, PrintfErrorColoursStandardOutputAndWritesTextToStandardError) {
    int count = 0;
    const Captured apart = capture([&] { count = l18n::printf_error("Error: %s\n", "No such file"); });
    EXPECT_EQ(apart.out, kLightRed + kReset);
    EXPECT_EQ(apart.err, "Error: No such file\n");
    EXPECT_EQ(count, 20);

    // On one terminal the text must sit between the colour and the reset,
    // and after whatever was printed before it.
    const Captured together = capture(
        [] {
            l18n::printf_colored(Colour::Yellow, "Exporting\n");
            l18n::printf_error("Error: %s\n", "disk full");
            l18n::printf_normal("next");
        },
        true);
    EXPECT_EQ(together.out, kYellow + "Exporting\n" + kReset + kLightRed + "Error: disk full\n" + kReset + "next");
}

TEST(ConsoleOutput, Print2ColorsSplitsEveryLineAtTheColumn) {
    const std::string R = kLightRed, Y = kYellow;
    const struct {
        const char* text;
        size_t column;
        Colour colour2;
        std::string expected;
        int count;
    } cases[] = {
        // The newline belongs to the first colour again.
        {"ab\ncd\n", 1, Colour::Yellow, R + "a" + Y + "b" + R + "\n" + R + "c" + Y + "d" + R + "\n" + kReset, 6},
        {"ab\n", 0, Colour::Yellow, Y + "a" + Y + "b" + R + "\n" + kReset, 3},
        // A line shorter than the column, and a long line after it.
        {"a\nbcd", 2, Colour::Yellow, R + "a" + R + "\n" + R + "b" + R + "c" + Y + "d" + kReset, 5},
        {"", 1, Colour::Yellow, kReset, 0},
    };
    for (const auto& c : cases) {
        int count = -1;
        const Captured got =
            capture([&] { count = l18n::print2Colors(c.text, c.column, Colour::LightRed, c.colour2); });
        EXPECT_EQ(got.out, c.expected) << '"' << c.text << "\" column " << c.column;
        EXPECT_EQ(count, c.count) << '"' << c.text << '"';
        EXPECT_FALSE(got.error);
    }
}

TEST(ConsoleOutput, Print2ColorsKeepsMultibyteCharactersWhole) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "C.UTF-8") == nullptr) GTEST_SKIP() << "no UTF-8 locale";
    int count = 0;
    const Captured got =
        capture([&] { count = l18n::print2Colors("\xC3\xA9t\xC3\xA9", 1, Colour::LightRed, Colour::Yellow); });
    std::setlocale(LC_ALL, previous.c_str());

    EXPECT_EQ(got.out, kLightRed + "\xC3\xA9" + kYellow + "t" + kYellow + "\xC3\xA9" + kReset);
    EXPECT_EQ(count, 3);
}

TEST(ConsoleOutput, Print2ColorsReportsAFailedWrite) {
    const int full = open("/dev/full", O_WRONLY);
    if (full < 0) GTEST_SKIP() << "no /dev/full";
    std::exception_ptr error;
    int colouredCount = 0;
    {
        Redirect out(STDOUT_FILENO, full);
        try {
            l18n::print2Colors("banner\nline\n", 3, Colour::LightRed, Colour::Yellow);
        } catch (...) {
            error = std::current_exception();
        }
        // The other printers do not report output failures.
        colouredCount = l18n::printf_colored(Colour::LightRed, "%d", 42);
    }
    close(full);

    ASSERT_TRUE(error) << "no exception";
    try {
        std::rethrow_exception(error);
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code(), std::error_code(ENOSPC, std::generic_category()));
    } catch (...) {
        ADD_FAILURE() << "not a std::system_error";
    }
    EXPECT_EQ(colouredCount, 2);
}

TEST(ConsoleFiles, MakeFopenOpensOrThrowsTheSystemMessage) {
    std::string path = "/tmp/vlf-fopen-XXXXXX";
    const int fd = mkstemp(path.data());
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, "swf", 3), 3);
    close(fd);

    {
        const l18n::FileHandle file = l18n::make_fopen(path.c_str(), "rb");
        ASSERT_TRUE(file);
        char buffer[4] = {};
        EXPECT_EQ(std::fread(buffer, 1, 3, file.get()), 3u);
        EXPECT_STREQ(buffer, "swf");
    }
    unlink(path.c_str());

    try {
        l18n::make_fopen(path.c_str(), "rb");
        ADD_FAILURE() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot read '" + path + "': " + std::strerror(ENOENT) + ".");
    }
}

TEST(ConsoleLocale, InitLocaleSelectsTheProgramsCatalogue) {
    const std::string previousLocale = std::setlocale(LC_ALL, nullptr);
    const std::string previousDomain = textdomain(nullptr);

    l18n::localization::initLocale();
    const std::string domain = textdomain(nullptr);
    const std::string directory = bindtextdomain("vorluneforge", nullptr);

    textdomain(previousDomain.c_str());
    std::setlocale(LC_ALL, previousLocale.c_str());
    EXPECT_EQ(domain, "vorluneforge");
    EXPECT_EQ(directory.substr(directory.size() - 6), "locale") << directory;
}

// readline reads from rl_instream and echoes to rl_outstream; both are
// pointed at test files so the terminal and the test output stay clean.
class ConsoleReadLine : public ::testing::Test {
protected:
    void SetUp() override {
        clear_history();
        savedIn_ = rl_instream;
        savedOut_ = rl_outstream;
        echo_ = std::tmpfile();
        ASSERT_NE(echo_, nullptr);
        rl_outstream = echo_;
    }
    void TearDown() override {
        // readline falls back to the standard streams only when it first
        // initialises, so null is never put back.
        rl_instream = savedIn_ != nullptr ? savedIn_ : stdin;
        rl_outstream = savedOut_ != nullptr ? savedOut_ : stdout;
        if (input_ != nullptr) std::fclose(input_);
        std::fclose(echo_);
        clear_history();
    }

    // Input arrives through a pipe, as when the program's input is piped in.
    void feed(const std::string& text) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        ASSERT_EQ(write(fds[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
        close(fds[1]);
        input_ = fdopen(fds[0], "r");
        rl_instream = input_;
    }

    static std::vector<std::string> history() {
        std::vector<std::string> lines;
        if (HIST_ENTRY** list = history_list())
            for (; *list != nullptr; ++list) lines.emplace_back((*list)->line);
        return lines;
    }

    std::string echo() { return contents(echo_); }

private:
    std::FILE* savedIn_ = nullptr;
    std::FILE* savedOut_ = nullptr;
    std::FILE* echo_ = nullptr;
    std::FILE* input_ = nullptr;
};

TEST_F(ConsoleReadLine, TrimsTheAnswerAndKeepsTheLineAsTypedInTheHistory) {
    // The last line has no newline: it still counts as an answer.
    feed("  42  \n\n3\n  last answer ");
    const std::vector<std::string> expected = {"42", "", "3", "last answer"};

    std::string out = "previous";
    for (const std::string& answer : expected) {
        l18n::readLine(out, "Answer: ");
        EXPECT_EQ(out, answer);
    }
    EXPECT_EQ(history(), (std::vector<std::string>{"  42  ", "", "3", "  last answer "}));
    EXPECT_NE(echo().find("Answer: "), std::string::npos);
}

TEST_F(ConsoleReadLine, EndOfInputThrowsAndLeavesTheAnswerAlone) {
    feed("y\n");
    std::string out = "n";
    l18n::readLine(out, "");
    EXPECT_EQ(out, "y");

    EXPECT_THROW(l18n::readLine(out, "File path: "), l18n::end_of_input);
    EXPECT_EQ(out, "y");
    EXPECT_EQ(history(), std::vector<std::string>{"y"});
}

}  // namespace

namespace {

TEST(ConsoleScreen, WrapTextBreaksAtBlanksOnly) {
    const struct {
        std::string text;
        size_t width;
        size_t column;
        std::string expected;
    } cases[] = {
        {"This file's sample rate", 15, 0, "This file's\nsample rate"},
        // A word longer than the line is not broken; the terminal breaks it
        // anywhere, and the next word may fit after it.
        {"see https://vorlune-forge.example/forum now", 10, 0, "see\nhttps://vorlune-forge.example/forum now"},
        // A number keeps its unit.
        {"the rate is 48000 Hz, not", 16, 0, "the rate is\n48000 Hz, not"},
        {"von 5512 Hz", 8, 0, "von\n5512 Hz"},
        {"needs 12 bytes, 3 left", 10, 0, "needs\n12 bytes,\n3 left"},
        {"image 600 to 650", 9, 0, "image 600\nto 650"},
        // Colours take no columns, German letters one each.
        {"\x1b[01;31mred\x1b[0m word", 8, 0, "\x1b[01;31mred\x1b[0m word"},
        {"Möchtest exportieren?", 20, 0, "Möchtest\nexportieren?"},
        {"über übel", 9, 0, "über übel"},
        // Blanks that fit are kept as they are, those at a break dropped.
        {"  a  b\n", 6, 0, "  a  b\n"},
        {"ab  \ncd", 3, 0, "ab\ncd"},
        {"a b", 2, 0, "a\nb"},
        // Going on from where earlier text ended.
        {" word", 10, 6, "\nword"},
        {"word", 10, 8, "word"},
        {"x ", 10, 0, "x "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(l18n::wrapText(c.text, c.width, c.column), c.expected) << c.text << " at " << c.width;
    }
}

// A guard turns its setting on and puts back what it found: an inner guard
// leaves it on for the outer one, and an exception leaves it as it was.
template <l18n::Setting setting>
void expectGuardRestores(bool onWhileGuarded) {
    const l18n::Terminal& terminal = l18n::terminal();
    ASSERT_FALSE(terminal.isOn(setting));
    try {
        const l18n::SettingGuard<setting> outer;
        EXPECT_EQ(terminal.isOn(setting), onWhileGuarded);
        { const l18n::SettingGuard<setting> inner; }
        EXPECT_EQ(terminal.isOn(setting), onWhileGuarded);
        throw std::runtime_error("left");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(terminal.isOn(setting));
}

TEST(ConsoleSettings, GuardsPutBackWhatTheyFound) {
    expectGuardRestores<l18n::Setting::CtrlCCancels>(true);
    // Only a user at the keyboard can answer the pager's question.
    expectGuardRestores<l18n::Setting::Paging>(l18n::interactive());
}

TEST(ConsolePaths, QuotedPathsReadBackAsTheyWereWritten) {
    const std::vector<std::string> paths = {
        "game.swf",
        "my mods/game.swf",
        "Tobin's game.swf",
        "\"odd\" name.swf",
        "back\\slash",
        "\\ lead",
        " blank ends ",
        "'",
        "a\"",
        "~/play/x (copy).swf",
        "$HOME & co;#!.swf",
    };
    for (const std::string& path : paths) {
        for (const char style : {'\0', '\\', '"', '\''}) {
            char quote = style;
            const std::string written = l18n::quotePath(path, quote);
            const bool opened = quote == '"' || quote == '\'';
            // Completion hands over the text after an opening quote, and
            // closes the quote after a file's name unless it ends in one.
            const std::string closed = opened && written.back() != quote ? written + quote : written;
            EXPECT_EQ(l18n::unquotePath(closed), path) << closed << " (" << style << ")";
            if (opened) {
                EXPECT_EQ(l18n::unquotePath(written.substr(1), quote), path) << written;
            }
        }
    }
}

}  // namespace
