#include <csignal>

#include "app/vlf.h"

// The application object runs the whole session in its constructor, which
// returns only when an error ended the run; leaving normally exits with
// status 0 from inside the dialogue.
int main() {
    // A write beyond the file size limit then fails with an error that the
    // export reports, instead of killing the program half way.
    std::signal(SIGXFSZ, SIG_IGN);
    { vorlune_forge::vlf app; }
    return 1;
}
