#pragma once
// The one family of errors the program reports. An error keeps what went
// wrong apart from how it is said: a message id (the English text, which is
// also the gettext id) with its arguments, and the error that caused it,
// when a layer that knows more wrapped the one from below. Whoever prints
// the error translates it; what() gives the English text for logs and tests.

#include <concepts>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Marks a message id for extraction where it is translated later.
#ifndef N_
#define N_(text) (text)
#endif

// A message: an id whose "%s" placeholders take the arguments in order, or
// plain data (a name, a number, a library's own text). Plain data comes
// from outside, so it is shown with its control characters made visible;
// the program's own texts are shown as they are.
class Message {
public:
    // Plain data.
    Message(std::string data) : data_(std::move(data)) {}  // NOLINT: implicit on purpose
    template <std::integral Number>
    Message(Number number) : data_(std::to_string(number)) {}  // NOLINT
    // A message id and its arguments.
    static Message text(const char* id, std::vector<Message> args = {});
    // Text that the program has already made ready to show, such as
    // another message rendered: shown as it is.
    static Message shown(std::string text);

    using Translator = std::function<const char*(const char*)>;
    // The message with each id translated and the arguments put in.
    std::string render(const Translator& translate) const;

private:
    Message() = default;

    const char* id_ = nullptr;
    std::string data_;
    bool shown_ = false;
    std::vector<Message> args_;
};

class forge_exception : public std::exception {
public:
    forge_exception(const char* id, std::vector<Message> args = {});
    // An error that `cause` led to. It reads as this message followed by
    // the cause's text; any other exception's own text serves as its reason.
    forge_exception(const char* id, std::vector<Message> args, const std::exception& cause);
    // A reason that is plain data, such as a library's own text.
    explicit forge_exception(Message reason);

    // The message followed by the reasons underneath, each translated.
    std::string render(const Message::Translator& translate) const;
    // The same as a message, for use within another message.
    Message asMessage() const;
    const char* what() const noexcept override { return english_.c_str(); }

private:
    Message message_;
    std::shared_ptr<const forge_exception> cause_;
    std::string english_;
};

// A file could not be opened, read or written; the message names the file
// and the system's reason.
class file_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

// The messages of a file that cannot be read or written, for fileError.
inline constexpr const char* kCannotRead = N_("Cannot read '%s': %s.");
inline constexpr const char* kCannotWrite = N_("Cannot write '%s': %s.");

// "Cannot read '<path>': <reason>." and its kin, for the errno of a failed
// call; a directory where a file was expected says so.
file_exception fileError(const char* id, const std::string& path, int error);
