#include "util/error.h"

#include <cerrno>
#include <cstring>

Message Message::text(const char* id, std::vector<Message> args) {
    Message message;
    message.id_ = id;
    message.args_ = std::move(args);
    return message;
}

// Arguments are put in as text, never read as a format, so a name or a
// library's text holding "%" shows as it is.
std::string Message::render(const Translator& translate) const {
    if (id_ == nullptr) return data_;
    const std::string format = translate(id_);
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && next < args_.size()) {
            out += args_[next++].render(translate);
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

std::string Message::english() const {
    return render([](const char* id) { return id; });
}

forge_exception::forge_exception(const char* id, std::vector<Message> args, ErrorContext context)
    : message_(Message::text(id, std::move(args))), context_(std::move(context)), english_(message_.english()) {}

void forge_exception::setPath(const std::string& path) {
    if (!context_.path.empty()) return;
    context_.path = path;
    message_ = Message::text(N_("'%s': %s"), {path, message_});
    english_ = message_.english();
}

file_exception fileError(const char* id, const std::string& path, int error) {
    if (error == EISDIR) return file_exception(N_("'%s' is a directory."), {path}, {path, "", {}});
    return file_exception(id, {path, std::string(std::strerror(error != 0 ? error : EIO))}, {path, "", {}});
}
