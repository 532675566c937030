#pragma once
// The program's dialogues, each a function in a file named after it, taking
// the session it works on.

#include "app/resource_kind.h"
#include "app/vlf.h"

namespace vorlune_forge {

// The whole run, from the title screen to the end: its exit status.
int run();

// The main menu, until the user leaves (main_menu.cpp).
void mainMenu(vlf& session);

// A kind's section menu: List, Export, Replace (section_menu.cpp).
void sectionMenu(vlf& session, const ResourceKind& kind);

// Writing the game (game_export.cpp).
void exportSwf(vlf& session);
void exportExe(vlf& session);

// A whole mod: every resource to a folder (export_all.cpp), a folder of
// resource files into the game (apply_folder.cpp), the changes made so far
// (review.cpp).
void exportAllResources(vlf& session);
void applyResourceFolder(vlf& session);
void reviewChanges(vlf& session);

// The help screen (help.cpp).
void printHelp();

}  // namespace vorlune_forge
