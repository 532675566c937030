#pragma once
// What tells one kind of resource from another: stage files, sounds, images
// and data files are rows of one table (resource_kinds.cpp). Everything that
// works on resources (the section menus, the listings, the id checks, the
// exports and the replacements) is written once and reads what is
// kind-specific from the row.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "data/data_archive.h"
#include "swf/swf.h"
#include "util/error.h"

namespace vorlune_forge {

// Told of what the user should know about a replacement that goes ahead.
using WarningSink = std::function<void(const Message& warning)>;

// The new tag that a replacement makes; when it converted the file on the
// way, what it did, which stands for the summary of the change; and when
// the file is of another format than the kind's own, which one.
struct MadeTag {
    MadeTag(std::unique_ptr<swf::Tag> made = nullptr)  // NOLINT: implicit on purpose
        : tag(std::move(made)) {}
    std::unique_ptr<swf::Tag> tag;
    std::optional<Message> conversion;
    std::optional<Message> format;
};

// Makes the new tag of a resource from a file read beforehand, leaving the
// tag it replaces (`current`) as it is; `symbol` is the resource's name.
// Gives no tag when the file holds what the game already holds for the
// resource, so that storing it again would change nothing (or change the
// stored content for the worse, as a bitmap premultiplied again would).
using Replacement = std::function<MadeTag(const swf::Tag& current, const std::string& symbol, const WarningSink&)>;

// A replacement file as it was read: its path as given; what it holds,
// kept from the moment it was read so that the change can be exported as
// the file that made it: its bytes and the extension of their format, or,
// for a data file, the entries of its archive or folder; and what makes the
// new tag from them.
struct ReplacementFile {
    std::string path;
    std::shared_ptr<const ByteBuffer> bytes;
    std::string extension;
    Replacement make;
    std::shared_ptr<const std::vector<data::NamedEntry>> entries{};
};

// The tag that the file makes for the resource whose tag is `current`; no
// tag when the game would then store the record it holds already.
MadeTag replacementTag(const ReplacementFile& file, const swf::Tag& current, const std::string& symbol,
                       const WarningSink& warn);

struct ResourceKind {
    // The main menu's entry, the section menu's entries 1 to 3 and its
    // questions (message ids).
    const char* editEntry;
    // What one resource is called in reports ("image 600 Hero.png: ...").
    const char* noun;
    // The folder of the kind's files in a folder of resources; never
    // translated, so that a folder exported in one language applies in
    // another.
    const char* folder;
    std::array<const char*, 3> entries;
    const char* exportQuestion;
    const char* countMessage;
    const char* replaceQuestion;
    const char* idPrompt;
    const char* fileQuestion;

    // Where the ids come from: a fixed table of character ids, listed and
    // exported in table order; or, when `table` is empty, the game's tags of
    // the kind, in the order of `tagsIn`.
    std::span<const uint64_t> table;
    // The codes of the kind's tags, and every tag of the kind in the game:
    // code by code, each in stream order.
    std::span<const swf::TagCode> codes;
    std::vector<const swf::Tag*> (*tagsIn)(const swf::SWF& game);

    // The extension of the names listed, shown and exported: the kind's
    // own, or, when `extensionOf` is set, the one of each resource's export
    // (a sound's ".mp3" or ".wav"); and what the exported file adds to the
    // name shown (a data file's ".zip").
    const char* extension;
    const char* (*extensionOf)(const swf::Tag& tag);
    const char* fileSuffix;
    // The extensions of the files the kind takes back, by which a folder's
    // files are claimed; those of its formats that the program does not
    // read, and what a folder's report says of a file of one of them
    // (taking its path and its extension).
    std::span<const char* const> readExtensions;
    std::span<const char* const> otherFormats;
    const char* otherFormat;

    // Messages: an id the kind does not have; a name none of its resources
    // has (taking the name); an id of the table missing
    // from the game; a table id whose tag is not of the kind (taking the id
    // as its argument); why a resource cannot be exported; an export that
    // failed; the start of a replacement.
    const char* noSuchId;
    const char* noSuchName;
    const char* notInGame;
    const char* missingTag;
    const char* (*notExportable)(const swf::Tag& tag);
    const char* errorFor;
    const char* replacing;

    // The two conversions. `exportable`, when set, picks the tags that can
    // be exported. `convert` gives the bytes of the resource's file; it
    // runs on several threads at once. `readReplacement` reads a file.
    bool (*exportable)(const swf::Tag& tag);
    ByteBuffer (*convert)(const swf::Tag& tag);
    ReplacementFile (*readReplacement)(const std::string& path);
    // Whether the file at `path` holds what the export of the tag writes,
    // as far as the resource goes (an archive's entry times do not count).
    // It runs on several threads at once.
    bool (*fileHolds)(const std::string& path, const swf::Tag& tag);
    // Kinds whose resources go into a folder of resources as folders of
    // files (a data file's entries): the files of the resource, and whether
    // the folder at `path` holds them; nullptr for the others.
    std::vector<data::NamedEntry> (*folderEntries)(const swf::Tag& tag);
    bool (*folderHolds)(const std::string& path, const swf::Tag& tag);

    // What the user is told of a resource: its size, and for images and
    // sounds their form, one fact a message; and a warning when a
    // replacement changes what the game may not expect to change (nullptr
    // when there is none).
    std::vector<Message> (*facts)(const swf::Tag& tag);
    const char* (*changeWarning)(const swf::Tag& before, const swf::Tag& after);

    bool fromTable() const { return !table.empty(); }
};

// The kinds of resource, in menu order: what every menu and every operation
// on all kinds goes through.
std::span<const ResourceKind* const> resourceKinds();

}  // namespace vorlune_forge
