// Export and replacement of the game's resources. The conversions of each
// kind are still being built; until then each operation says so and
// changes nothing.

#include "app/vlf.h"
#include "console/l18n.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

int notYetAvailable() {
    printf_error("%s", _("This operation is not available yet.\n"));
    return 0;
}

}  // namespace

int vlf::exportStages(std::vector<uint64_t>&) { return notYetAvailable(); }
void vlf::replaceStage(uint64_t, const std::string&) { notYetAvailable(); }
int vlf::exportSounds(std::vector<uint64_t>&) { return notYetAvailable(); }
void vlf::replaceSound(uint64_t, const std::string&) { notYetAvailable(); }
int vlf::exportImages(std::vector<uint64_t>&) { return notYetAvailable(); }
void vlf::replaceImage(uint64_t, const std::string&) { notYetAvailable(); }
int vlf::exportData(std::vector<uint64_t>&) { return notYetAvailable(); }
void vlf::replaceData(uint64_t, const std::string&) { notYetAvailable(); }

}  // namespace vorlune_forge
