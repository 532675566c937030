// Data files: exported as zip archives of JSON documents and PNG files, and
// rebuilt from such archives.

#include <algorithm>

#include "app/vlf.h"
#include "codecs/minizip.h"
#include "console/l18n.h"
#include "data/data_file.h"
#include "util/strings.h"

namespace vorlune_forge {

using namespace l18n;

namespace {

bool isDataId(uint64_t id) { return std::find(vlf::data_ids.begin(), vlf::data_ids.end(), id) != vlf::data_ids.end(); }

const char* namingMessage(data::DataKind kind) {
    switch (kind) {
        case data::DataKind::Spt:
            return _("Please do not change the format of the file name. It should be \"Spt.json\".\n");
        case data::DataKind::Bg:
            return _("Please do not change the format of the file name. It should be \"BgInfoFile.json\".\n");
        case data::DataKind::LimbInfo:
            return _(
                "Please do not change the format of the file names. They must start with \"LimbPic_\" or "
                "\"Limb_\" in case of .json files and be numbered accordingly to their order.\n");
        case data::DataKind::Gdat:
        default:
            return _(
                "Please do not change the format of the file names. They must start with \"Attack_\" or "
                "\"PtWithName_\" in case of .json files and be numbered accordingly to their order.\n");
    }
}

void printLimbWarning(data::LimbWarning warning, int position) {
    if (warning == data::LimbWarning::SameFlags) {
        printf_colored(14,
                       _("WARNING: LimbPic with ID=%d has \"disabled\" and \"embeded\" with the same value. This "
                         "should not happen.\n"),
                       position);
    } else {
        printf_colored(14,
                       _("WARNING: LimbPic with ID=%d has \"embeded\" set to \"true\", but there is no PNG file "
                         "with that ID. If you wish to disable it, change \"disabled\" to \"true\" and \"embeded\" "
                         "to \"false\".\n"),
                       position);
    }
}

}  // namespace

// Checks that the id names a data file of the game, reporting why not.
bool vlf::findDataFile(uint64_t id) {
    if (!isDataId(id)) {
        printf_error(_("No data file with ID=%zu.\n"), static_cast<size_t>(id));
        return false;
    }
    if (swfFile->getTagWithId(id) == nullptr) {
        printf_error(_("Data file with ID=%zu not found inside the game.\n"), static_cast<size_t>(id));
        return false;
    }
    return true;
}

int vlf::exportData(std::vector<uint64_t>& ids) {
    if (ids.empty()) ids.assign(data_ids.begin(), data_ids.end());
    int count = 0;
    for (const uint64_t id : ids) {
        if (!findDataFile(id)) continue;
        const std::string base = safeFileName(std::to_string(id) + " - " + swfFile->getSymbolName(id));
        printf_normal(_("Exporting: %s\n"), base.c_str());
        try {
            const std::optional<ByteBuffer> content = data::inflateDataFile(swfFile->exportBinary(id));
            if (!content) {
                printf_error(_("Error for data file with ID=%zu: Not an AMF3 ByteArray.\n"), static_cast<size_t>(id));
                continue;
            }
            if (!data::readDataKind(*content)) {
                printf_error(_("Error for data file with ID=%zu: File type unrecognized.\n"), static_cast<size_t>(id));
                continue;
            }
            // Entries go into the archive as they are read, so a file that
            // fails part way leaves the entries before the failure.
            minizip::Zipper zip(base + ".zip", "Created with Vorlune Forge.");
            data::walkDataFile(*content,
                               [&](const std::string& name, const ByteBuffer& bytes) { zip.add(name, "", 9, bytes); });
            zip.close();
            ++count;
        } catch (const std::exception& e) {
            printf_error(_("Error for data file with ID=%zu: %s"), static_cast<size_t>(id), e.what());
            printf_error("\n");
        }
    }
    return count;
}

void vlf::replaceData(uint64_t id, const std::string& path) {
    if (!findDataFile(id)) return;
    const std::string symbol = swfFile->getSymbolName(id);
    try {
        minizip::Unzipper zip(path);
        data::ArchiveReader archive;
        for (const minizip::ZipEntry& entry : zip.getEntries()) archive.names.push_back(entry.name);
        archive.extract = [&zip](const std::string& name) {
            ByteBuffer bytes;
            zip.extractEntryToMemory(name, bytes);
            return bytes;
        };
        printf_colored(14, _("Replacing '%s' with contents of file '%s'...\n"), symbol.c_str(), path.c_str());
        const std::optional<data::DataKind> kind = data::kindOfSymbol(symbol);
        if (!kind) {
            printf_error("%s", _("Unrecognized data file extension.\n"));
            return;
        }
        // The whole body is built before the tag is touched, so a failure
        // leaves the game as it was.
        const ByteBuffer body = data::buildDataFile(*kind, archive, printLimbWarning);
        swfFile->replaceBinary(body, id);
    } catch (const data::entry_name_error& e) {
        printf_error("%s", namingMessage(e.kind));
        return;
    } catch (const std::exception& e) {
        reportFailure(e);
        return;
    }
    unsavedChanges = true;
}

}  // namespace vorlune_forge
