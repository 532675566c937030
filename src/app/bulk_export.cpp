#include "app/bulk_export.h"

#include <sys/stat.h>

#include "console/l18n.h"
#include "console/signals.h"
#include "util/thread_pool.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// How many converted files may wait while an earlier one is still being
// converted, so that one large resource does not hold the other processors
// up.
constexpr size_t kExportLookahead = 64;

bool fileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void convertInOrder(const std::vector<ExportItem>& items,
                    const std::function<void(const ExportItem& item, Converted&& converted)>& consume) {
    parallelOrdered<Converted>(
        items.size(),
        [&](size_t i) {
            Converted result;
            const ExportItem& item = items[i];
            if (!item.converts()) return result;
            try {
                if (item.tag == nullptr) throw swf::swf_exception(item.kind->missingTag, {item.id});
                result.bytes = item.kind->convert(*item.tag);
            } catch (...) {
                result.failure = std::current_exception();
            }
            return result;
        },
        [&](size_t i, Converted&& converted) {
            // The files written so far are whole.
            checkInterrupt();
            consume(items[i], std::move(converted));
        },
        processorCount(), kExportLookahead);
}

std::vector<size_t> editedFiles(const std::vector<ExportItem>& items, std::vector<bool>* unchanged) {
    std::vector<ExportItem> existing;
    std::vector<size_t> places;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].converts() && fileExists(items[i].path)) {
            existing.push_back(items[i]);
            places.push_back(i);
        }
    }
    if (unchanged != nullptr) unchanged->assign(items.size(), false);
    std::vector<size_t> edited;
    size_t next = 0;
    convertInOrder(existing, [&](const ExportItem& item, Converted&& converted) {
        const size_t place = places[next++];
        // A file that cannot be read, or a resource that cannot be
        // converted, is left to the export, which reports it.
        if (converted.failure) return;
        ByteBuffer present;
        try {
            readBinaryFile(item.path, present);
        } catch (const std::exception&) {
            return;
        }
        if (present != converted.bytes) {
            edited.push_back(place);
        } else if (unchanged != nullptr) {
            (*unchanged)[place] = true;
        }
    });
    return edited;
}

bool mayOverwrite(const std::vector<ExportItem>& items, const std::vector<size_t>& edited) {
    if (edited.empty()) return true;
    for (const size_t i : edited) printf_normal("  %s\n", items[i].path.c_str());
    printf_colored(kHeading, _("%zu file(s) differ from the game's resources and would be overwritten.\n"),
                   edited.size());
    return askYesNo(_("Overwrite them? [y/n] (default=n): "), false);
}

}  // namespace vorlune_forge
