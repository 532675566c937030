#include "app/bulk_export.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "console/l18n.h"
#include "console/signals.h"
#include "util/strings.h"
#include "util/thread_pool.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

// How many converted files may wait while an earlier one is still being
// converted, so that one large resource does not hold the other processors
// up.
constexpr size_t kExportLookahead = 64;

namespace fs = std::filesystem;

// Whether what the item writes is there already: its file, or its folder.
bool exists(const ExportItem& item) {
    struct stat info {};
    if (stat(item.path.c_str(), &info) != 0) return false;
    return item.asFolder ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode);
}

// Writes the files into the folder at `path`, made when missing, each whole
// or not at all; files that the folder held and that are not among them
// go, so that the folder holds them alone.
void writeFolder(const std::string& path, const std::vector<data::NamedEntry>& entries) {
    std::error_code error;
    fs::create_directory(path, error);
    if (error) throw fileError(kCannotWrite, path, error.value());
    std::set<std::string> names;
    for (const data::NamedEntry& entry : entries) {
        const std::string name = safeFileName(entry.name);
        names.insert(name);
        writeBinaryFileSafely((fs::path(path) / name).string(), entry.bytes, false, Durability::Written);
    }
    for (fs::directory_iterator each(path, error), end; !error && each != end; each.increment(error)) {
        const std::string name = each->path().filename().string();
        if (name.front() != '.' && each->is_regular_file(error) && !names.contains(name))
            fs::remove(each->path(), error);
    }
}

// Whether the item's folder holds what the item writes.
bool holdsFolder(const ExportItem& item) {
    if (item.entries) return folderEquals(item.path, *item.entries);
    return item.kind->folderHolds(item.path, *item.tag);
}

}  // namespace

bool fileEquals(const std::string& path, const ByteBuffer& bytes) {
    try {
        ByteBuffer present;
        readBinaryFile(path, present);
        return present == bytes;
    } catch (const std::exception&) {
        return false;
    }
}

bool folderEquals(const std::string& path, const std::vector<data::NamedEntry>& entries) {
    try {
        data::DataFolder folder(path);
        if (folder.names().size() != entries.size()) return false;
        // A name the folder lacks throws: the folder does not hold the files.
        return std::all_of(entries.begin(), entries.end(),
                           [&](const data::NamedEntry& entry) { return folder.bytes(entry.name) == entry.bytes; });
    } catch (const std::exception&) {
        return false;
    }
}

void convertInOrder(const std::vector<ExportItem>& items,
                    const std::function<void(const ExportItem& item, Converted&& converted)>& consume) {
    parallelOrdered<Converted>(
        items.size(),
        [&](size_t i) {
            Converted result;
            const ExportItem& item = items[i];
            // What a change came from is written as it is, without a copy.
            if (!item.converts() || item.bytes || item.entries) return result;
            try {
                if (item.tag == nullptr) {
                    throw swf::swf_exception(item.kind->missingTag, {item.id});
                } else if (item.asFolder) {
                    result.entries = item.kind->folderEntries(*item.tag);
                } else {
                    result.bytes = item.kind->convert(*item.tag);
                }
            } catch (const std::exception&) {
                // Ctrl-C (not a std::exception) is no failure of this
                // resource: it escapes and stops the whole export.
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

bool writeConverted(const ExportItem& item, Converted&& converted) {
    try {
        if (converted.failure) std::rethrow_exception(converted.failure);
        if (item.asFolder) {
            writeFolder(item.path, item.entries ? *item.entries : converted.entries);
        } else {
            writeBinaryFileSafely(item.path, item.bytes ? *item.bytes : converted.bytes, false, Durability::Written);
        }
        return true;
    } catch (const std::exception& e) {
        printf_error(_(item.kind->errorFor), static_cast<size_t>(item.id), errorText(e).c_str());
        return false;
    }
}

std::vector<size_t> editedFiles(const std::vector<ExportItem>& items, std::vector<bool>* unchanged) {
    std::vector<size_t> existing;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].converts() && items[i].tag != nullptr && exists(items[i])) existing.push_back(i);
    }
    if (unchanged != nullptr) unchanged->assign(items.size(), false);
    std::vector<size_t> edited;
    parallelOrdered<bool>(
        existing.size(),
        [&](size_t i) {
            const ExportItem& item = items[existing[i]];
            if (item.asFolder) return holdsFolder(item);
            return item.bytes ? fileEquals(item.path, *item.bytes) : item.kind->fileHolds(item.path, *item.tag);
        },
        [&](size_t i, bool&& holds) {
            checkInterrupt();
            if (!holds) {
                edited.push_back(existing[i]);
            } else if (unchanged != nullptr) {
                (*unchanged)[existing[i]] = true;
            }
        });
    return edited;
}

bool mayOverwrite(const std::vector<ExportItem>& items, const std::vector<size_t>& edited) {
    if (edited.empty()) return true;
    for (const size_t i : edited) printf_normal("  %s\n", visibleText(items[i].path).c_str());
    printf_colored(kHeading, _("%zu file(s) differ from the game's resources and would be overwritten.\n"),
                   edited.size());
    return askYesNo(_("Overwrite them? [y/n] (default=n): "), false);
}

}  // namespace vorlune_forge
