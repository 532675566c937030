#include "app/stage_files.h"

#include "codecs/xml.h"
#include "console/l18n.h"

namespace vorlune_forge {

Replacement readStage(const std::string& path) {
    ByteBuffer bytes;
    l18n::readBinaryFile(path, bytes);
    return [bytes = std::move(bytes), path](swf::SWF& game, uint64_t id, const std::string&) {
        try {
            xml::checkWellFormed(bytes);
        } catch (const xml::xml_exception& e) {
            if (xml::isWellFormed(game.exportBinary(id))) {
                throw swf::swf_exception(N_("Cannot use '%s' as a stage: it is not well-formed XML."), {path}, e);
            }
        }
        game.replaceBinary(bytes, id);
    };
}

}  // namespace vorlune_forge
