// JSON to AMF0: the writing half of amf0.h.

#include <bit>
#include <string>
#include <unordered_map>

#include "amf/amf0.h"
#include "util/cancellation.h"

namespace swf {
namespace {

using namespace amf0;

constexpr size_t kMaxStringLength = 0xFFFF;

// Builds a document from the library's parse events as the library's own
// parser does (a repeated key keeps its first place and takes its last
// value), but finds the keys of each open object through a hash index: the
// ordered object map looks keys up one by one, which makes the library's
// parser quadratic in the number of members.
class OrderedDocumentBuilder {
public:
    using number_integer_t = JsonDocument::number_integer_t;
    using number_unsigned_t = JsonDocument::number_unsigned_t;
    using number_float_t = JsonDocument::number_float_t;
    using string_t = JsonDocument::string_t;
    using binary_t = JsonDocument::binary_t;

    explicit OrderedDocumentBuilder(JsonDocument& root) : root_(root) {}

    bool null() { return place(nullptr); }
    bool boolean(bool value) { return place(value); }
    bool number_integer(number_integer_t value) { return place(value); }
    bool number_unsigned(number_unsigned_t value) { return place(value); }
    bool number_float(number_float_t value, const string_t&) { return place(value); }
    bool string(string_t& value) { return place(std::move(value)); }
    bool binary(binary_t& value) { return place(JsonDocument::binary(std::move(value))); }

    bool start_object(std::size_t) { return open(JsonDocument::object()); }
    bool end_object() { return close(); }
    bool start_array(std::size_t) { return open(JsonDocument::array()); }
    bool end_array() { return close(); }

    // A large document takes long to read: Ctrl-C is looked for on the way.
    bool key(string_t& name) {
        checkCancelledNowAndThen();
        Container& object = open_.back();
        auto& members = object.value->get_ref<JsonDocument::object_t&>();
        const auto [entry, added] = object.keys.try_emplace(name, members.size());
        if (added) members.emplace_back(std::move(name), nullptr);
        pendingMember_ = &members.begin()[entry->second].second;
        return true;
    }

    // Templated so that the library's exception is rethrown with its own type.
    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        throw error;
    }

private:
    // An open object or array. Pointers into the containers stay valid while
    // they are open: a container only grows after its open child is closed.
    struct Container {
        JsonDocument* value;
        std::unordered_map<std::string, size_t> keys;  // objects only
    };

    JsonDocument* store(JsonDocument value) {
        // What the parsed document takes in memory grows with its values,
        // many times faster than its text: their number is bounded.
        if (++values_ > AMF0::kMaxValues) {
            throw swf_exception(N_("The document holds more than %s values, more than a data file can hold."),
                                {AMF0::kMaxValues});
        }
        if (open_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        JsonDocument& container = *open_.back().value;
        if (container.is_array()) {
            auto& elements = container.get_ref<JsonDocument::array_t&>();
            elements.push_back(std::move(value));
            return &elements.back();
        }
        *pendingMember_ = std::move(value);
        return pendingMember_;
    }

    bool place(JsonDocument value) {
        store(std::move(value));
        return true;
    }

    bool open(JsonDocument empty) {
        open_.push_back({store(std::move(empty)), {}});
        return true;
    }

    bool close() {
        open_.pop_back();
        return true;
    }

    JsonDocument& root_;
    std::vector<Container> open_;
    JsonDocument* pendingMember_ = nullptr;
    size_t values_ = 0;
};

void appendDoubleBe(ByteBuffer& out, double value) {
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    for (int shift = 56; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(bits >> shift));
}

void appendObjectEnd(ByteBuffer& out) { out.insert(out.end(), {0x00, 0x00, kObjectEnd}); }

// The declared count of an ECMA array: integers keep their low 32 bits,
// floating values are truncated first.
uint32_t arrayCount(const JsonDocument& value) {
    if (value.is_number_float()) return truncatedLowBits(value.get<double>(), 32);
    if (value.is_number_unsigned()) return static_cast<uint32_t>(value.get<uint64_t>());
    return static_cast<uint32_t>(value.get<int64_t>());
}

void writeValue(ByteBuffer& out, const JsonDocument& value, unsigned depth);

void writeMember(ByteBuffer& out, std::string_view name, const JsonDocument& value, unsigned depth) {
    checkCancelledNowAndThen();
    AMF0::writeStringWithLenPrefixU16(out, name);
    writeValue(out, value, depth);
}

// An ECMA array when the object holds a numeric count, else a typed object
// when it holds a class name string, else an anonymous object. The marker
// members themselves are never written as members.
void writeObject(ByteBuffer& out, const JsonDocument& object, unsigned depth) {
    if (depth >= AMF0::kMaxNesting) {
        throw swf_exception(N_("JSON objects are nested more than %s levels deep."), {AMF0::kMaxNesting});
    }
    const auto count = object.find(kArrayLenKey);
    const auto className = object.find(kClassNameKey);
    if (count != object.end() && count->is_number()) {
        out.push_back(kEcmaArray);
        appendU32be(out, arrayCount(*count));
    } else if (className != object.end() && className->is_string()) {
        out.push_back(kTypedObject);
        AMF0::writeStringWithLenPrefixU16(out, className->get_ref<const std::string&>());
    } else {
        out.push_back(kObject);
    }
    for (auto member = object.begin(); member != object.end(); ++member) {
        if (member.key() == kArrayLenKey || member.key() == kClassNameKey) continue;
        writeMember(out, member.key(), member.value(), depth + 1);
    }
    appendObjectEnd(out);
}

// `depth` counts the objects that enclose `value` below the top-level object.
void writeValue(ByteBuffer& out, const JsonDocument& value, unsigned depth) {
    switch (value.type()) {
        case JsonDocument::value_t::null:
            out.push_back(kNull);
            break;
        case JsonDocument::value_t::boolean:
            out.insert(out.end(), {kBoolean, static_cast<uint8_t>(value.get<bool>() ? 1 : 0)});
            break;
        case JsonDocument::value_t::number_integer:
        case JsonDocument::value_t::number_unsigned:
        case JsonDocument::value_t::number_float:
            out.push_back(kNumber);
            appendDoubleBe(out, value.get<double>());
            break;
        case JsonDocument::value_t::string: {
            const auto& text = value.get_ref<const std::string&>();
            if (text == kUndefinedValue) {
                out.push_back(kUndefined);
            } else {
                out.push_back(kString);
                AMF0::writeStringWithLenPrefixU16(out, text);
            }
            break;
        }
        case JsonDocument::value_t::array:
            // NaN and the infinities, as their 8 stored bytes.
            if (value.size() != 8) throw swf_exception(N_("JSON Arrays only in use for non-finite numbers."));
            out.push_back(kNumber);
            concatVectorWithContainer(out, value, true);
            break;
        case JsonDocument::value_t::object:
            writeObject(out, value, depth);
            break;
        default:
            throw swf_exception(N_("Unrecognized JSON type."));
    }
}

}  // namespace

JsonDocument AMF0::parseDocument(std::string_view text) {
    JsonDocument document;
    OrderedDocumentBuilder builder(document);
    JsonDocument::sax_parse(text, &builder);
    return document;
}

ByteBuffer AMF0::fromJSON(std::string_view text) { return fromDocument(parseDocument(text)); }

ByteBuffer AMF0::fromDocument(const JsonDocument& document) {
    if (!document.is_object() || document.empty()) {
        throw swf_exception(N_("A data document must be a JSON object whose first member is named after its class."));
    }

    // Only the first member counts; its key is the top-level class name.
    const auto top = document.begin();
    ByteBuffer out{kTypedObject};
    writeStringWithLenPrefixU16(out, top.key());
    const JsonDocument& body = top.value();
    if (body.is_object()) {
        // No member name is special at this level.
        for (auto member = body.begin(); member != body.end(); ++member) {
            writeMember(out, member.key(), member.value(), 0);
        }
    } else if (body.is_array()) {
        for (size_t i = 0; i < body.size(); ++i) writeMember(out, std::to_string(i), body[i], 0);
    } else if (!body.is_null()) {
        throw swf_exception(N_("The members of '%s' must be given as a JSON object."), {top.key()});
    }
    appendObjectEnd(out);
    return out;
}

void AMF0::writeStringWithLenPrefixU16(ByteBuffer& out, std::string_view text) {
    if (text.size() > kMaxStringLength) {
        throw swf_exception(N_("A text of %s bytes is too long for AMF0, which holds at most 65535."), {text.size()});
    }
    appendU16be(out, static_cast<uint16_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

}  // namespace swf
