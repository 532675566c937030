#pragma once
// Exporting many resources at once: their files are converted on every
// processor and handed over in order, so that files and messages come out
// as they would one after another.

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/resource_kind.h"

namespace vorlune_forge {

// One file to export, or an id that gets none.
struct ExportItem {
    const ResourceKind* kind = nullptr;
    uint64_t id = 0;
    // Why the id gets no file (a message id taking the id), or nullptr.
    const char* problem = nullptr;
    // The tag to convert; nullptr for a table's id whose tag is of another
    // kind, which fails with the kind's message.
    const swf::Tag* tag = nullptr;
    // The file's name as shown, and where it is written.
    std::string name;
    std::string path;
    // Left out: the file is not to be written.
    bool skip = false;
    // Written as a folder of files: the kind's folder entries, or these.
    bool asFolder = false;
    // What is to be written, when it is not the export of the tag: the file
    // that changed the resource, or the files of its folder.
    std::shared_ptr<const ByteBuffer> bytes{};
    std::shared_ptr<const std::vector<data::NamedEntry>> entries{};

    bool converts() const { return problem == nullptr && !skip; }
};

// A converted file: its bytes, or a folder's files, or why it could not be
// made.
struct Converted {
    ByteBuffer bytes;
    std::vector<data::NamedEntry> entries;
    std::exception_ptr failure;
};

// Whether the file at `path` can be read and holds exactly `bytes`; whether
// the folder at `path` holds exactly the files `entries`.
bool fileEquals(const std::string& path, const ByteBuffer& bytes);
bool folderEquals(const std::string& path, const std::vector<data::NamedEntry>& entries);

// Converts the items that are to be converted on every processor and hands
// every item to `consume` on this thread, in order. Ctrl-C stops the run between
// two items.
void convertInOrder(const std::vector<ExportItem>& items,
                    const std::function<void(const ExportItem& item, Converted&& converted)>& consume);

// Writes the item's converted file, or the file or files it holds already,
// whole or not at all (through a temporary file renamed into place), or
// reports why there is none ("Error for ... with ID=..."); whether the file
// was written.
bool writeConverted(const ExportItem& item, Converted&& converted);

// Of the items whose file exists, those whose file does not hold the item's
// export (their indices), and those whose file holds it already
// (`unchanged`, when given, is set for them); the files are compared on
// every processor.
std::vector<size_t> editedFiles(const std::vector<ExportItem>& items, std::vector<bool>* unchanged = nullptr);

// Names the edited files and asks whether they may be overwritten; true
// without a question when there are none.
bool mayOverwrite(const std::vector<ExportItem>& items, const std::vector<size_t>& edited);

}  // namespace vorlune_forge
