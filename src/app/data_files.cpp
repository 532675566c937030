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

void printLimbWarning(data::LimbWarning warning, int position) {
    if (warning == data::LimbWarning::SameFlags) {
        printf_colored(kHeading,
                       _("WARNING: LimbPic with ID=%d has \"disabled\" and \"embeded\" with the same value. This "
                         "should not happen.\n"),
                       position);
    } else {
        printf_colored(kHeading,
                       _("WARNING: LimbPic with ID=%d has \"embeded\" set to \"true\", but there is no PNG file "
                         "with that ID. If you wish to disable it, change \"disabled\" to \"true\" and \"embeded\" "
                         "to \"false\".\n"),
                       position);
    }
}

}  // namespace

ByteBuffer dataArchive(swf::SWF& game, uint64_t id) {
    const std::optional<ByteBuffer> content = data::inflateDataFile(game.exportBinary(id));
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
    return [archive](swf::SWF& game, uint64_t id, const std::string& symbol) {
        const std::optional<data::DataKind> kind = data::kindOfSymbol(symbol);
        if (!kind) throw swf::swf_exception(N_("Unrecognized data file extension.\n"));
        // The whole body is built before the tag is touched, so a failure
        // leaves the game as it was.
        game.replaceBinary(data::buildDataFile(*kind, archive, printLimbWarning), id);
    };
}

}  // namespace vorlune_forge
