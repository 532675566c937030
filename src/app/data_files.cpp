// Data files: exported as zip archives of JSON documents and PNG files, and
// rebuilt from such archives.

#include "app/data_files.h"

#include <filesystem>
#include <memory>
#include <set>

#include "codecs/minizip.h"
#include "console/l18n.h"
#include "data/data_archive.h"
#include "data/data_file.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

Message limbWarning(data::LimbWarning warning, int position) {
    switch (warning) {
        case data::LimbWarning::SameFlags:
            return Message::text(N_("WARNING: LimbPic with ID=%s has \"disabled\" and \"embeded\" with the same value. "
                                    "This should not happen.\n"),
                                 {position});
        case data::LimbWarning::MissingImage:
            return Message::text(N_("WARNING: LimbPic with ID=%s has \"embeded\" set to \"true\", but there is no PNG "
                                    "file with that ID. If you wish to disable it, change \"disabled\" to \"true\" and "
                                    "\"embeded\" to \"false\".\n"),
                                 {position});
    }
    return Message(std::string());
}

// The content of the data file, refused when there is none to export.
ByteBuffer exportedContent(const swf::Tag& tag) {
    const std::optional<ByteBuffer> content = data::inflateDataFile(tag.data);
    if (!content) throw swf::swf_exception(N_("Not an AMF3 ByteArray."));
    if (!data::readDataKind(*content)) throw swf::swf_exception(N_("File type unrecognized."));
    return *content;
}

}  // namespace

ByteBuffer dataArchive(const swf::Tag& tag) {
    const ByteBuffer content = exportedContent(tag);
    ByteBuffer archive;
    minizip::Zipper zip(std::to_string(tag.characterId) + ".zip", "Created with Vorlune Forge.", archive);
    data::walkDataFile(content, [&](const std::string& name, const ByteBuffer& bytes) { zip.add(name, "", 9, bytes); });
    zip.close();
    return archive;
}

std::vector<data::NamedEntry> dataEntries(const swf::Tag& tag) {
    std::vector<data::NamedEntry> entries;
    data::walkDataFile(exportedContent(tag), [&](const std::string& name, const ByteBuffer& bytes) {
        entries.push_back({name, bytes});
    });
    return entries;
}

namespace {

// The stored content, or nothing when the body holds none that inflates to
// a data file of a known kind.
std::optional<ByteBuffer> storedContent(const swf::Tag& current) {
    try {
        std::optional<ByteBuffer> content = data::inflateDataFile(current.data);
        if (content && data::readDataKind(*content)) return content;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

// Whether the archive holds the entries the export of the stored content
// writes: the same names with the same contents, in any order, whatever
// their times and compression. Each entry is compared as the walk makes
// it, and the walk stops at the first that differs. An entry that cannot
// be read fails the replacement, as it would fail the build; a stored
// content that cannot be walked is held by no archive.
bool holdsExport(const ByteBuffer& stored, data::DataEntries& archive) {
    const std::set<std::string> names(archive.names().begin(), archive.names().end());
    if (names.size() != archive.names().size()) return false;
    struct Differs {};
    std::exception_ptr unreadable;
    size_t matched = 0;
    try {
        data::walkDataFile(stored, [&](const std::string& name, const ByteBuffer& bytes) {
            if (!names.contains(name)) throw Differs{};
            try {
                if (archive.bytes(name) != bytes) throw Differs{};
            } catch (const std::exception&) {
                unreadable = std::current_exception();
                throw Differs{};
            }
            ++matched;
        });
    } catch (const Differs&) {
        if (unreadable) std::rethrow_exception(unreadable);
        return false;
    } catch (const std::exception&) {
        return false;
    }
    return matched == names.size();
}

}  // namespace

bool dataArchiveHolds(const std::string& path, const swf::Tag& tag) {
    try {
        const std::optional<ByteBuffer> stored = storedContent(tag);
        if (!stored) return false;
        auto bytes = std::make_shared<ByteBuffer>();
        readBinaryFile(path, *bytes);
        data::DataArchive archive(path, bytes);
        return holdsExport(*stored, archive);
    } catch (const std::exception&) {
        return false;
    }
}

bool dataFolderHolds(const std::string& path, const swf::Tag& tag) {
    try {
        const std::optional<ByteBuffer> stored = storedContent(tag);
        if (!stored) return false;
        data::DataFolder folder(path);
        return holdsExport(*stored, folder);
    } catch (const std::exception&) {
        return false;
    }
}

namespace {

// The entries of the archive or folder at `path`, read whole.
std::vector<data::NamedEntry> readEntries(const std::string& path) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return data::DataFolder(path).takeAll();
    auto bytes = std::make_shared<ByteBuffer>();
    readBinaryFile(path, *bytes);
    return data::DataArchive(path, bytes).takeAll();
}

}  // namespace

// An archive or folder that holds the export of the data file, or builds
// the content the data file has, leaves the data file as it is. Its entries
// are read whole at once and held once: the data file is built from them,
// and they are kept as what made the change.
ReplacementFile readDataArchive(const std::string& path) {
    auto kept = std::make_shared<const std::vector<data::NamedEntry>>(readEntries(path));
    return {path, nullptr, "",
            [kept](const swf::Tag& current, const std::string& symbol,
                   const WarningSink& warn) -> std::unique_ptr<swf::Tag> {
                const std::optional<data::DataKind> kind = data::kindOfSymbol(symbol);
                if (!kind) throw swf::swf_exception(N_("Unrecognized data file extension.\n"));
                data::EntryList entries(kept);
                const std::optional<ByteBuffer> stored = storedContent(current);
                if (stored && holdsExport(*stored, entries)) return nullptr;
                const ByteBuffer content = data::buildDataContent(
                    *kind, entries.reader(),
                    [&](data::LimbWarning warning, int position) { warn(limbWarning(warning, position)); });
                if (stored == content) return nullptr;
                return swf::binaryWithPayload(data::wrapDataContent(content),
                                              dynamic_cast<const swf::Tag_DefineBinaryData&>(current));
            },
            kept};
}

}  // namespace vorlune_forge
