#pragma once
// What tells one kind of resource from another: stage files, sounds, images
// and data files are rows of one table. The section menu, the listing, the
// id checks, the export loop and the replace dialogue are written once and
// read everything kind-specific from the row.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "swf/swf.h"

namespace vorlune_forge {

class vlf;

// Puts a replacement, read from a file beforehand, into the game.
using Replacement = std::function<void(swf::SWF& game, uint64_t id, const std::string& symbol)>;

struct ResourceKind {
    // The section menu's entries 1 to 3 and its questions (message ids).
    std::array<const char*, 3> entries;
    const char* exportQuestion;
    const char* countMessage;
    const char* replaceQuestion;
    const char* idPrompt;
    const char* fileQuestion;

    // Where the ids come from: a fixed table of character ids, listed and
    // exported in table order; or, when `table` is empty, the game's tags of
    // these codes, code by code, each in stream order.
    std::span<const uint64_t> table;
    std::span<const swf::TagCode> codes;

    // The extension of the names listed, shown and exported, and what the
    // exported file adds to the name shown.
    const char* extension;
    const char* fileSuffix;

    // Messages: an id the kind does not have; an id of the table missing
    // from the game; a resource that cannot be exported; an export that
    // failed; the start of a replacement.
    const char* noSuchId;
    const char* notInGame;
    const char* notExportable;
    const char* errorFor;
    const char* replacing;

    // The two conversions. `exportable`, when set, picks the tags that can
    // be exported. `convert` gives the bytes of the resource's file (it runs
    // on several threads at once and only reads the game);
    // `readReplacement` reads a file and returns what puts it in the game.
    bool (*exportable)(const swf::Tag& tag);
    ByteBuffer (*convert)(swf::SWF& game, uint64_t id);
    Replacement (*readReplacement)(const std::string& path);

    // The operations the section menu calls.
    int (vlf::*exportIds)(std::vector<uint64_t>& ids);
    void (vlf::*replace)(uint64_t id, const std::string& path);

    bool fromTable() const { return !table.empty(); }
};

}  // namespace vorlune_forge
