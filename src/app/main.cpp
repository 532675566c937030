#include <csignal>

#include "app/dialogues.h"

int main() {
    // A write beyond the file size limit then fails with an error that the
    // export reports, instead of killing the program half way.
    std::signal(SIGXFSZ, SIG_IGN);
    return vorlune_forge::run();
}
