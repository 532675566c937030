#pragma once
// How resources are named to the user: their exported files, their names in
// listings and reports, what a change did to them; and which resource a
// file's name stands for.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "app/resource_kind.h"
#include "util/error.h"

namespace vorlune_forge {

// The extension of the resource's export: the kind's, or its tag's when
// the kind's files differ by tag and the tag is known.
std::string exportExtension(const ResourceKind& kind, const swf::Tag* tag);

// "<id> - <symbol><extension>", or "<id><extension>" for a resource found
// by its tag that has no symbol; a "/" or a control character in the
// symbol becomes "_". The kind's file suffix follows in the file written.
std::string fileName(const ResourceKind& kind, uint64_t id, const std::string& symbol, const swf::Tag* tag);
// The same without the extension, for a file of another format.
std::string fileStem(const ResourceKind& kind, uint64_t id, const std::string& symbol);
// The name shown in listings: the symbol and the extension, or the id for a
// resource found by its tag that has no symbol.
std::string displayName(const ResourceKind& kind, uint64_t id, const std::string& symbol, const swf::Tag* tag);

// "image 600 HeroSprite.png".
Message resourceTitle(const ResourceKind& kind, uint64_t id, const std::string& symbol, const swf::Tag* tag);
// What a replacement changes: the facts of the kind, each that changed as
// "<before> → <after>", the others once.
Message changeSummary(const ResourceKind& kind, const swf::Tag& before, const swf::Tag& after);
// The same of a tag made from a file: what its conversion did, or the
// change summary; and the file's format when it is not the kind's own.
Message changeSummary(const ResourceKind& kind, const swf::Tag& before, const MadeTag& made);

// The resource a file stands for by its name: "<id><extension>" or
// "<id> - <anything><extension>", the extension, in any case, one the kind
// takes back.
struct NamedResource {
    const ResourceKind* kind;
    uint64_t id;
};
std::optional<NamedResource> resourceOfFileName(const std::string& name, std::span<const ResourceKind* const> kinds);
// The resource a folder stands for by its name, "<id>" or "<id> - <anything>":
// a resource of a kind whose resources are folders of files, when the kind
// may have the id.
std::optional<NamedResource> resourceOfFolderName(const std::string& name, std::span<const ResourceKind* const> kinds);

}  // namespace vorlune_forge
