// Export and replacement of the game's data files. The conversions are
// still being built; until then each operation says so and changes nothing.

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

int vlf::exportData(std::vector<uint64_t>&) { return notYetAvailable(); }
void vlf::replaceData(uint64_t, const std::string&) { notYetAvailable(); }

}  // namespace vorlune_forge
