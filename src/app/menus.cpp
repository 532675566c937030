#include "app/menus.h"

#include "console/l18n.h"
#include "console/signals.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// The number of the entry at `position` of a menu of `count` entries: 1, 2,
// ..., and 0 for the last.
size_t optionLabel(size_t position, size_t count) { return position + 1 == count ? 0 : position + 1; }

}  // namespace

void printOptions(const std::vector<MenuEntry>& entries) {
    printf_colored(kHeading, "%s", _("What do you wish to do?\n"));
    for (size_t i = 0; i < entries.size(); ++i) {
        printf_colored(kHighlight, "%zu. ", optionLabel(i, entries.size()));
        printf_normal("%s\n", _(entries[i].label));
    }
}

std::optional<size_t> chosenEntry(const std::string& answer, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (answer == std::to_string(optionLabel(i, count))) return i;
    }
    return std::nullopt;
}

// The message ends its line, whether or not its text ends in a line break.
void reportFailure(const std::exception& e) {
    std::string text = errorText(e);
    if (text.empty() || text.back() != '\n') text += '\n';
    printf_error("%s", text.c_str());
}

std::function<void()> guarded(std::function<void()> step) {
    return [step = std::move(step)] {
        try {
            step();
        } catch (const std::exception& e) {
            printf_error(_("Error: %s\n"), errorText(e).c_str());
        }
    };
}

void runStep(const std::function<void()>& step) {
    try {
        step();
    } catch (const go_back&) {
    } catch (const operation_cancelled&) {
        printf_error("%s", _("Cancelled.\n"));
    }
}

}  // namespace vorlune_forge
