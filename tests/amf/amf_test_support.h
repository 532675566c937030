#pragma once
// Byte fixtures written as text, and a way of naming how an action failed.

#include <functional>
#include <stdexcept>
#include <string>

#include "amf/json_document.h"
#include "swf/swf_exception.h"
#include "util/bytes.h"

namespace amftest {

// Blank-separated tokens: hex digits in pairs ("0001", "3FF0000000000000"),
// or 'text' for the bytes of the text (no blanks inside).
inline ByteBuffer bytes(const std::string& tokens) {
    ByteBuffer out;
    size_t i = 0;
    while (i < tokens.size()) {
        if (tokens[i] == ' ') {
            ++i;
        } else if (tokens[i] == '\'') {
            const size_t close = tokens.find('\'', i + 1);
            if (close == std::string::npos) throw std::invalid_argument("unclosed text in " + tokens);
            out.insert(out.end(), tokens.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                       tokens.begin() + static_cast<std::ptrdiff_t>(close));
            i = close + 1;
        } else {
            if (i + 1 >= tokens.size() || tokens[i + 1] == ' ') throw std::invalid_argument("odd hex digits in " + tokens);
            out.push_back(static_cast<uint8_t>(std::stoi(tokens.substr(i, 2), nullptr, 16)));
            i += 2;
        }
    }
    return out;
}

// "ok", "swf: <message>", "parse_error", "type_error: <message>", or
// "other: <message>" for any other exception.
inline std::string outcomeOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const swf::swf_exception& e) {
        return std::string("swf: ") + e.what();
    } catch (const swf::JsonDocument::parse_error&) {
        return "parse_error";
    } catch (const swf::JsonDocument::type_error& e) {
        return std::string("type_error: ") + e.what();
    } catch (const std::exception& e) {
        return std::string("other: ") + e.what();
    }
    return "ok";
}

}  // namespace amftest
