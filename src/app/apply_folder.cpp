// Apply resource folder: every file of a folder that names a resource is
// read and converted first, on every processor; the report and the
// question come next, and the changed resources go into the game together.

#include "app/dialogues.h"
#include "app/mod_folder.h"
#include "app/mod_manifest.h"
#include "app/resource_folder.h"
#include "console/l18n.h"
#include "console/screen.h"
#include "console/signals.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// The report in the order of the kinds and ids. On a terminal a long one
// stops at each screenful; ending it there still leads to the question.
void printReport(const FolderApply& apply) {
    try {
        const Paging paging;
        for (const FileVerdict& verdict : apply.verdicts()) {
            for (const Message& line : verdict.lines) {
                // Every line ends, whether or not its message does.
                std::string text = translated(line);
                if (text.empty() || text.back() != '\n') text += '\n';
                if (verdict.isError()) {
                    printf_error("%s", text.c_str());
                } else {
                    printf_normal("%s", text.c_str());
                }
            }
        }
    } catch (const go_back&) {
    }
    const Message counts = Message::text(
        N_("%s changed, %s unchanged, %s failed, %s not matched, %s ignored (not named like resources).\n"),
        {apply.count(Verdict::Changed), apply.count(Verdict::Unchanged),
         apply.count(Verdict::Failed) + apply.count(Verdict::Conflict), apply.count(Verdict::NotMatched),
         apply.count(Verdict::Ignored)});
    printf_colored(kHeading, "%s", translated(counts).c_str());
}

}  // namespace

void applyResourceFolder(vlf& session) {
    const std::string folder =
        askFolder(N_("Which folder do you wish to apply?\n"), folderForGame(session, "_resources"));
    // A description that cannot be read stops the apply before anything.
    const std::optional<ModManifest> manifest = readManifest(folder);
    FolderApply apply(resourceKinds(), *session.swfFile);
    apply.sortClaims(scanFolder(folder, resourceKinds()));
    apply.prepare();
    if (manifest) {
        apply.checkVersions(*manifest);
        if (manifest->movie != session.changes.loadedMovieDigest(*session.swfFile)) {
            printf_colored(kHeading, "%s",
                           translated(N_("This mod was made for another version of the game: '%s', whose "
                                         "movie differs from the one loaded.\n"),
                                      {manifest->game})
                               .c_str());
        }
    }
    printReport(apply);
    const size_t changed = apply.count(Verdict::Changed);
    if (changed == 0) return;
    {
        // Ctrl-C at the question too leaves the game as it is.
        const CtrlCCancels cancels;
        const Message question =
            apply.otherVersions() == 0
                ? Message::text(N_("Apply %s replacement(s)? [y/n] (default=y): "), {changed})
                : Message::text(N_("Apply %s replacement(s) (%s for another version)? [y/n] (default=y): "),
                                {changed, apply.otherVersions()});
        if (!askYesNo(translated(question), true)) return;
    }
    apply.putInto(*session.swfFile, session.changes);
    printf_colored(kHeading, "%s", translated(N_("Applied %s replacement(s).\n"), {changed}).c_str());
}

}  // namespace vorlune_forge
