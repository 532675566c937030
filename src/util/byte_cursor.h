#pragma once
// A bounded reader over a byte view. Every read of untrusted bytes goes
// through it: a read that would pass the end throws the caller's exception
// type (a forge_exception) in one format for every input: "<input>: <what>
// at offset <n> needs <k> bytes, <m> left." `context` names the input and
// `what` the field; both are message ids.

#include <cstdint>
#include <string>

#include "util/bytes.h"
#include "util/error.h"

template <typename Error>
class ByteCursor {
public:
    // `origin` is added to positions in messages, so that a cursor over part
    // of a file reports offsets within the whole file; `context` leads every
    // message and says what kind of input was being read.
    explicit ByteCursor(ByteView bytes, size_t origin, const char* context)
        : bytes_(bytes), origin_(origin), context_(context) {}

    size_t position() const { return pos_; }
    size_t offset() const { return origin_ + pos_; }
    size_t remaining() const { return bytes_.size() - pos_; }
    bool atEnd() const { return pos_ == bytes_.size(); }
    ByteView rest() const { return bytes_.subspan(pos_); }

    uint8_t u8(const char* what) { return *take(1, what); }
    uint16_t u16le(const char* what) { return loadU16le(take(2, what)); }
    uint32_t u32le(const char* what) { return loadU32le(take(4, what)); }
    uint16_t u16be(const char* what) { return loadU16be(take(2, what)); }
    uint32_t u32be(const char* what) { return loadU32be(take(4, what)); }
    ByteView bytes(size_t n, const char* what) { return ByteView(take(n, what), n); }
    void skip(size_t n, const char* what) { take(n, what); }

    // The bytes up to and including the next 0 byte.
    ByteView untilZero(const char* what) {
        for (size_t i = pos_; i < bytes_.size(); ++i) {
            if (bytes_[i] == 0) return bytes(i - pos_ + 1, what);
        }
        throw Error(N_("%s: %s at offset %s has no terminating 0 byte."),
                    {Message::text(context_), Message::text(what), offset()});
    }

private:
    const uint8_t* take(size_t n, const char* what) {
        if (n > remaining()) {
            throw Error(N_("%s: %s at offset %s needs %s bytes, %s left."),
                        {Message::text(context_), Message::text(what), offset(), n, remaining()});
        }
        const uint8_t* p = bytes_.data() + pos_;
        pos_ += n;
        return p;
    }

    ByteView bytes_;
    size_t origin_;
    const char* context_;
    size_t pos_ = 0;
};
