// AMF0 to JSON: the reading half of amf0.h.

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <unordered_map>

#include "amf/amf0.h"
#include "amf/amf_cursor.h"
#include "util/cancellation.h"

namespace swf {
namespace {

using namespace amf0;

// The members of one JSON value being read, found by name through a hash
// index: the ordered object map looks names up one by one, which would make
// an object of n members cost n² string comparisons.
class MemberTable {
public:
    // `target` may already hold members when an object name repeats within
    // its parent: the later object's members are then added to the earlier.
    MemberTable(JsonDocument& target, std::string_view owner) : target_(target), owner_(owner) {
        if (!target_.is_object()) return;
        const auto& members = target_.get_ref<const JsonDocument::object_t&>();
        size_t position = 0;
        for (const auto& member : members) index_.emplace(member.first, position++);
    }

    bool contains(const std::string& name) const { return index_.contains(name); }

    // The member called `name`, added as null after the others when missing.
    // The target turns from null into an object with its first member.
    JsonDocument& slot(const std::string& name, size_t position) {
        if (target_.is_null()) target_ = JsonDocument::object();
        if (!target_.is_object()) {
            throw swf_exception(
                N_("Position: %s. The object '%s' repeats the name of an earlier member that is not an object."),
                {position, std::string(owner_)});
        }
        auto& members = target_.get_ref<JsonDocument::object_t&>();
        const auto [entry, added] = index_.try_emplace(name, members.size());
        if (added) members.emplace_back(name, nullptr);
        // The ordered map hides the vector's operator[], which takes an index.
        return members.begin()[entry->second].second;
    }

private:
    JsonDocument& target_;
    std::string_view owner_;
    std::unordered_map<std::string, size_t> index_;
};

// A 16-bit length, then that many bytes taken as they are.
std::string readString(AmfCursor& cursor, const char* what) {
    const uint16_t length = cursor.u16be(what);
    const ByteView text = cursor.bytes(length, what);
    return std::string(text.begin(), text.end());
}

double loadDoubleBe(ByteView eight) {
    uint64_t bits = 0;
    for (const uint8_t byte : eight) bits = (bits << 8) | byte;
    return std::bit_cast<double>(bits);
}

JsonDocument numberValue(ByteView eight) {
    const double value = loadDoubleBe(eight);
    if (std::isfinite(value)) return value;
    // JSON has no NaN or infinity; the stored bytes stand in for them, which
    // also keeps the NaN payload.
    JsonDocument bytes = JsonDocument::array();
    for (const uint8_t byte : eight) bytes.push_back(byte);
    return bytes;
}

void checkNesting(unsigned depth, size_t position) {
    if (depth >= AMF0::kMaxNesting) {
        throw swf_exception(N_("Position: %s. Objects are nested more than %s levels deep."),
                            {position, AMF0::kMaxNesting});
    }
}

// Reads members until an object end (consumed) or the end of the data.
// Typed and anonymous objects are added to an earlier member of the same
// name; every other value replaces it.
void readMembers(AmfCursor& cursor, MemberTable& table, unsigned depth) {
    while (!cursor.atEnd()) {
        checkCancelledNowAndThen();
        const std::string name = readString(cursor, N_("a member name"));
        if (cursor.atEnd()) return;  // a name without a value is dropped
        const size_t position = cursor.offset();
        const uint8_t marker = cursor.u8(N_("a marker"));
        switch (marker) {
            case kObjectEnd:
                return;
            case kNumber: {
                JsonDocument number = numberValue(cursor.bytes(8, N_("a number")));
                table.slot(name, position) = std::move(number);
                break;
            }
            case kBoolean: {
                const bool value = cursor.u8(N_("a boolean")) != 0;
                table.slot(name, position) = value;
                break;
            }
            case kString: {
                std::string text = readString(cursor, N_("a string"));
                table.slot(name, position) = std::move(text);
                break;
            }
            case kNull:
                table.slot(name, position) = nullptr;
                break;
            case kUndefined:
                table.slot(name, position) = kUndefinedValue;
                break;
            case kObject: {
                checkNesting(depth, position);
                // Stays null unless the object has members.
                MemberTable inner(table.slot(name, position), name);
                readMembers(cursor, inner, depth + 1);
                break;
            }
            case kTypedObject: {
                std::string className = readString(cursor, N_("a class name"));
                checkNesting(depth, position);
                const bool existed = table.contains(name);
                JsonDocument& member = table.slot(name, position);
                if (!existed) {
                    member = JsonDocument::object();
                    member[kClassNameKey] = std::move(className);
                }
                MemberTable inner(member, name);
                readMembers(cursor, inner, depth + 1);
                break;
            }
            case kEcmaArray: {
                // The count is kept as declared; it need not match the members.
                const uint32_t count = cursor.u32be(N_("an ECMA array count"));
                checkNesting(depth, position);
                // Not an object to add to: it replaces an earlier member.
                JsonDocument& member = table.slot(name, position);
                member = JsonDocument::object();
                MemberTable inner(member, name);
                inner.slot(kArrayLenKey, position) = count;
                readMembers(cursor, inner, depth + 1);
                break;
            }
            default:
                invalidMarker(position, marker);
        }
    }
}

}  // namespace

AMF0::AMF0(ByteView bytes) {
    if (bytes.empty() || bytes[0] != kTypedObject) {
        throw swf_exception(N_("Sorry, only serialization of objects implemented."));
    }
    AmfCursor cursor = amfCursor(bytes);
    cursor.skip(1, "a marker");
    const std::string className = readString(cursor, N_("the class name"));

    // The class name becomes the document's only key; its value stays null
    // when the object has no members.
    JsonDocument document = JsonDocument::object();
    MemberTable members(document[className], className);
    readMembers(cursor, members, 0);
    json = std::move(document);
}

}  // namespace swf
