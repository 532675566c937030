// Data files: exported as zip archives of JSON documents and PNG files, and
// rebuilt from such archives.

#include "app/data_files.h"

#include <memory>

#include "codecs/minizip.h"
#include "console/l18n.h"
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

}  // namespace

ByteBuffer dataArchive(const swf::Tag& tag) {
    const uint64_t id = tag.characterId;
    const std::optional<ByteBuffer> content = data::inflateDataFile(tag.data);
    if (!content) throw swf::swf_exception(N_("Not an AMF3 ByteArray."));
    if (!data::readDataKind(*content)) throw swf::swf_exception(N_("File type unrecognized."));
    ByteBuffer archive;
    minizip::Zipper zip(std::to_string(id) + ".zip", "Created with Vorlune Forge.", archive);
    data::walkDataFile(*content,
                       [&](const std::string& name, const ByteBuffer& bytes) { zip.add(name, "", 9, bytes); });
    zip.close();
    return archive;
}

Replacement readDataArchive(const std::string& path) {
    auto zip = std::make_shared<minizip::Unzipper>(path);
    data::ArchiveReader archive;
    for (const minizip::ZipEntry& entry : zip->getEntries()) archive.names.push_back(entry.name);
    archive.extract = [zip](const std::string& name) {
        ByteBuffer bytes;
        zip->extractEntryToMemory(name, bytes);
        return bytes;
    };
    return [archive](const swf::Tag& current, const std::string& symbol,
                     const WarningSink& warn) -> std::unique_ptr<swf::Tag> {
        const std::optional<data::DataKind> kind = data::kindOfSymbol(symbol);
        if (!kind) throw swf::swf_exception(N_("Unrecognized data file extension.\n"));
        ByteBuffer body = data::buildDataFile(
            *kind, archive, [&](data::LimbWarning warning, int position) { warn(limbWarning(warning, position)); });
        return swf::binaryWithPayload(std::move(body), dynamic_cast<const swf::Tag_DefineBinaryData&>(current));
    };
}

}  // namespace vorlune_forge
