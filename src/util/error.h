#pragma once
// The one family of errors the program reports. An error keeps what went
// wrong apart from how it is said: a message id (the English text, which is
// also the gettext id) with its arguments, and the context it happened in
// (the file, what was being read, the byte offset). Whoever prints the error
// translates it; what() gives the English text for logs and tests.

#include <concepts>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Marks a message id for extraction where it is translated later.
#ifndef N_
#define N_(text) (text)
#endif

// A message: an id whose "%s" placeholders take the arguments in order, or
// plain data (a name, a number, a library's own text) shown as it is.
class Message {
public:
    // Plain data.
    Message(std::string data) : data_(std::move(data)) {}  // NOLINT: implicit on purpose
    template <std::integral Number>
    Message(Number number) : data_(std::to_string(number)) {}  // NOLINT
    // A message id and its arguments.
    static Message text(const char* id, std::vector<Message> args = {});

    using Translator = std::function<const char*(const char*)>;
    // The message with each id translated and the arguments put in.
    std::string render(const Translator& translate) const;
    std::string english() const;

    // The id, or nullptr for plain data.
    const char* id() const { return id_; }
    const std::vector<Message>& args() const { return args_; }

private:
    Message() = default;

    const char* id_ = nullptr;
    std::string data_;
    std::vector<Message> args_;
};

// Where an error happened, as far as it is known.
struct ErrorContext {
    std::string path;                // the file concerned
    std::string reading;             // what was being read
    std::optional<uint64_t> offset;  // the byte offset of that read
};

class forge_exception : public std::exception {
public:
    forge_exception(const char* id, std::vector<Message> args = {}, ErrorContext context = {});

    const Message& message() const { return message_; }
    const ErrorContext& context() const { return context_; }
    const char* what() const noexcept override { return english_.c_str(); }

    // Names the file the error is about, unless it already names one: the
    // message then reads "'<path>': <message>".
    void setPath(const std::string& path);

private:
    Message message_;
    ErrorContext context_;
    std::string english_;
};

// A file could not be opened, read or written; the message names the file
// and the system's reason.
class file_exception : public forge_exception {
public:
    using forge_exception::forge_exception;
};

// "Cannot read '<path>': <reason>." and its kin, for the errno of a failed
// call; a directory where a file was expected says so.
file_exception fileError(const char* id, const std::string& path, int error);
