#pragma once
// Numbered menus and the steps of a dialogue: how a menu is shown and
// answered, and how a step's failures, Ctrl-C and Ctrl-D end it.

#include <cstddef>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlune_forge {

// An entry of a menu and what choosing it does; the way out (Back) does
// nothing of its own.
struct MenuEntry {
    const char* label;  // message id
    std::function<void()> action;
};

// Prints "What do you wish to do?" and the entries, translated, numbered
// 1, 2, ... and 0 for the last.
void printOptions(const std::vector<MenuEntry>& entries);

// The entry that an answer chooses among `count` entries numbered as
// printOptions numbers them.
std::optional<size_t> chosenEntry(const std::string& answer, size_t count);

// Prints an error's message, translated, as an error line.
void reportFailure(const std::exception& e);

// The step, with any failure it does not report itself reported as
// "Error: ..." rather than ending the run.
std::function<void()> guarded(std::function<void()> step);

// Runs one step of a dialogue: Ctrl-D within it comes back here, and Ctrl-C
// stops it with one line that says so.
void runStep(const std::function<void()>& step);

}  // namespace vorlune_forge
