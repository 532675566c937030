#include "app/stage_files.h"

#include "codecs/xml.h"
#include "console/l18n.h"

namespace vorlune_forge {

ReplacementFile readStage(const std::string& path) {
    auto bytes = std::make_shared<ByteBuffer>();
    l18n::readBinaryFile(path, *bytes);
    return {path, bytes, ".xml",
            [bytes, path](const swf::Tag& current, const std::string&,
                          const WarningSink& warn) -> std::unique_ptr<swf::Tag> {
                if (*bytes == current.data) return nullptr;
                try {
                    xml::checkWellFormed(*bytes);
                } catch (const xml::xml_exception& e) {
                    if (xml::isWellFormed(current.data)) {
                        throw swf::swf_exception(N_("Cannot use '%s' as a stage: it is not well-formed XML."), {path},
                                                 e);
                    }
                    warn(Message::text(N_("WARNING: '%s' is not well-formed XML: %s The stage it replaces was not "
                                          "well-formed either, so it is stored as it is.\n"),
                                       {path, e.asMessage()}));
                }
                return swf::binaryWithPayload(*bytes, dynamic_cast<const swf::Tag_DefineBinaryData&>(current));
            }};
}

}  // namespace vorlune_forge
