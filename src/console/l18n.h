#pragma once
// Console dialogue: message catalogue set-up, coloured and plain output,
// prompted line input with editing and history, the guards that page long
// text and let Ctrl-C cancel, and whole-file input and output.

#include <libintl.h>

#include <exception>
#include <string>
#include <vector>

#include "console/input.h"
#include "console/l18n_files.h"
#include "console/output.h"
#include "console/setting_guard.h"

// Every message shown to the user is a gettext message id.
#define _(text) gettext(text)

#include "util/error.h"

namespace l18n {

class localization {
public:
    // Locale from the environment; text domain "vorluneforge" in "./locale".
    static void initLocale();
};

// A message as the user reads it: translated, with its arguments put in.
std::string translated(const Message& message);
std::string translated(const char* id, std::vector<Message> args);

// The text of an error as the user reads it: the program's own errors
// translated, with their arguments put in; any other exception's own text.
std::string errorText(const std::exception& e);

}  // namespace l18n
