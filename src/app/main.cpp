#include "app/vlf.h"

// The application object runs the whole session in its constructor, which
// returns only when an error ended the run; leaving normally exits with
// status 0 from inside the dialogue.
int main() {
    { vorlune_forge::vlf app; }
    return 1;
}
