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

// "<id> - <symbol><extension>", or "<id><extension>" for a resource found
// by its tag that has no symbol; a "/" in the symbol becomes "_". The
// kind's file suffix follows in the file written.
std::string fileName(const ResourceKind& kind, uint64_t id, const std::string& symbol);
// The same without the extension, for a file of another format.
std::string fileStem(const ResourceKind& kind, uint64_t id, const std::string& symbol);
// The name shown in listings: the symbol and the extension, or the id for a
// resource found by its tag that has no symbol.
std::string displayName(const ResourceKind& kind, uint64_t id, const std::string& symbol);
// What the user types and the files carry: the extension and the suffix.
std::string fileExtension(const ResourceKind& kind);

// "image 600 HeroSprite.png".
Message resourceTitle(const ResourceKind& kind, uint64_t id, const std::string& symbol);
// What a replacement changes: the facts of the kind, each that changed as
// "<before> → <after>", the others once.
Message changeSummary(const ResourceKind& kind, const swf::Tag& before, const swf::Tag& after);
// The same of a tag made from a file: what its conversion did, or the
// change summary; and the file's format when it is not the kind's own.
Message changeSummary(const ResourceKind& kind, const swf::Tag& before, const MadeTag& made);

// The resource a file stands for by its name: "<id><extension>" or
// "<id> - <anything><extension>", the extension in any case giving the kind.
struct NamedResource {
    const ResourceKind* kind;
    uint64_t id;
};
std::optional<NamedResource> resourceOfFileName(const std::string& name, std::span<const ResourceKind* const> kinds);

}  // namespace vorlune_forge
