// Placeholder until the conversions are built.

#include "app/vlf.h"
#include "console/l18n.h"

namespace vorlune_forge {

int vlf::exportImages(std::vector<uint64_t>&) {
    l18n::printf_error("%s", _("This operation is not available yet.\n"));
    return 0;
}

void vlf::replaceImage(uint64_t, const std::string&) { l18n::printf_error("%s", _("This operation is not available yet.\n")); }

}  // namespace vorlune_forge
