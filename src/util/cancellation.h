#pragma once
// A point where long work may be stopped. The codecs call checkCancelled()
// between the blocks they work on, on whichever thread they run; what it
// does is installed by the program (Ctrl-C, console/signals.h), so that the
// codecs need not know about the console. Until a check is installed, as in
// the tests of the codecs alone, it does nothing.

// Throws, when the work is to stop, whatever the installed check throws.
void checkCancelled();

// The same, for loops of many small steps: it checks on one call in 4096
// (counted on each thread), so that the check costs nothing there.
void checkCancelledNowAndThen();

// Installs the check; nullptr removes it.
void setCancellationCheck(void (*check)());
