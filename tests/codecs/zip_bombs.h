#pragma once
// Archives made byte by byte whose entries inflate to far more than the
// archive holds: the attacks the zip reader's limits are for.

#include <zlib.h>

#include <string>
#include <vector>

#include "util/bytes.h"

namespace zipbombs {

// Raw deflate data of `mebibytes` MiB of zeros: one block of 1 MiB, flushed
// to a byte boundary and repeated, then an empty final block. Each copy
// starts with a literal zero, so it may follow any other.
inline ByteBuffer zerosStream(size_t mebibytes) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    ByteBuffer zeros(size_t{1} << 20);
    ByteBuffer block(deflateBound(&stream, zeros.size()) + 16);
    stream.next_in = zeros.data();
    stream.avail_in = static_cast<uInt>(zeros.size());
    stream.next_out = block.data();
    stream.avail_out = static_cast<uInt>(block.size());
    deflate(&stream, Z_SYNC_FLUSH);
    block.resize(static_cast<size_t>(stream.total_out));
    deflateEnd(&stream);
    ByteBuffer out;
    for (size_t i = 0; i < mebibytes; ++i) appendBytes(out, block);
    out.insert(out.end(), {0x03, 0x00});
    return out;
}

// An archive whose entries, named `names`, are all the one deflated
// `stream` at its start, each declaring `declared` bytes with the CRC `crc`.
inline ByteBuffer sharedStream(const ByteBuffer& stream, const std::vector<std::string>& names, uint32_t declared,
                               uint32_t crc) {
    auto header = [&](uint32_t signature, const std::string& name, bool central) {
        ByteBuffer out;
        appendU32le(out, signature);
        if (central) appendU16le(out, 20);  // made by
        for (const uint16_t field : {20, 0, 8, 0, 0x21})
            appendU16le(out, field);  // version, flags, deflated, time, date
        appendU32le(out, crc);
        appendU32le(out, static_cast<uint32_t>(stream.size()));
        appendU32le(out, declared);
        appendU16le(out, static_cast<uint16_t>(name.size()));
        appendU16le(out, 0);  // extra field
        if (central) {
            for (int field = 0; field < 3; ++field) appendU16le(out, 0);  // comment, disk, attributes
            appendU32le(out, 0);                                          // external attributes
            appendU32le(out, 0);                                          // the local header's place
        }
        out.insert(out.end(), name.begin(), name.end());
        return out;
    };
    ByteBuffer archive = header(0x04034b50, names.front(), false);
    appendBytes(archive, stream);
    const size_t directory = archive.size();
    for (const std::string& name : names) appendBytes(archive, header(0x02014b50, name, true));
    const size_t directorySize = archive.size() - directory;
    appendU32le(archive, 0x06054b50);
    appendU32le(archive, 0);  // disks
    appendU16le(archive, static_cast<uint16_t>(names.size()));
    appendU16le(archive, static_cast<uint16_t>(names.size()));
    appendU32le(archive, static_cast<uint32_t>(directorySize));
    appendU32le(archive, static_cast<uint32_t>(directory));
    appendU16le(archive, 0);  // comment
    return archive;
}

// 34 KB: 400 attacks, "Attack_000.json" to "Attack_399.json", that are all
// one stream of 10 MiB of zeros.
inline ByteBuffer sharedStreamBomb() {
    const ByteBuffer zeros(size_t{10} << 20);
    std::vector<std::string> names;
    for (int i = 0; i < 400; ++i)
        names.push_back("Attack_" + std::string(i < 10 ? "00" : i < 100 ? "0" : "") + std::to_string(i) + ".json");
    const auto crc = static_cast<uint32_t>(crc32_z(crc32(0, Z_NULL, 0), zeros.data(), zeros.size()));
    return sharedStream(zerosStream(10), names, static_cast<uint32_t>(zeros.size()), crc);
}

// 4 MB: one entry `name` of 4 GiB of zeros that declares 2 bytes less.
inline ByteBuffer hugeEntryBomb(const std::string& name) {
    return sharedStream(zerosStream(4096), {name}, 0xFFFFFFFE, 0);
}

}  // namespace zipbombs
