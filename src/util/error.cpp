#include "util/error.h"

#include <cerrno>
#include <cstring>

#include "util/strings.h"

Message Message::text(const char* id, std::vector<Message> args) {
    Message message;
    message.id_ = id;
    message.args_ = std::move(args);
    return message;
}

Message Message::shown(std::string text) {
    Message message;
    message.data_ = std::move(text);
    message.shown_ = true;
    return message;
}

// Arguments are put in as text, never read as a format, so a name or a
// library's text holding "%" shows as it is.
std::string Message::render(const Translator& translate) const {
    if (id_ == nullptr) return shown_ ? data_ : visibleText(data_);
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

namespace {

const char* untranslated(const char* id) { return id; }

std::shared_ptr<const forge_exception> causeOf(const std::exception& cause) {
    if (const auto* own = dynamic_cast<const forge_exception*>(&cause)) {
        return std::make_shared<const forge_exception>(*own);
    }
    return std::make_shared<const forge_exception>(Message(std::string(cause.what())));
}

}  // namespace

forge_exception::forge_exception(const char* id, std::vector<Message> args)
    : message_(Message::text(id, std::move(args))), english_(render(untranslated)) {}

forge_exception::forge_exception(const char* id, std::vector<Message> args, const std::exception& cause)
    : message_(Message::text(id, std::move(args))), cause_(causeOf(cause)), english_(render(untranslated)) {}

forge_exception::forge_exception(Message reason) : message_(std::move(reason)), english_(render(untranslated)) {}

// A message that ends its line keeps the line end after the reasons.
std::string forge_exception::render(const Message::Translator& translate) const {
    std::string text = message_.render(translate);
    if (!cause_) return text;
    const bool endsLine = !text.empty() && text.back() == '\n';
    if (endsLine) text.pop_back();
    // TRANSLATORS: an error followed by the reason underneath it.
    text =
        Message::text(N_("%s %s"), {Message::shown(text), Message::shown(cause_->render(translate))}).render(translate);
    return endsLine ? text + '\n' : text;
}

Message forge_exception::asMessage() const {
    if (!cause_) return message_;
    return Message::text(N_("%s %s"), {message_, cause_->asMessage()});
}

file_exception fileError(const char* id, const std::string& path, int error) {
    if (error == EISDIR) return file_exception(N_("'%s' is a directory."), {path});
    return file_exception(id, {path, std::string(std::strerror(error != 0 ? error : EIO))});
}
