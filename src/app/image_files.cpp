#include "app/image_files.h"

#include <chrono>
#include <semaphore>

#include "codecs/picture.h"
#include "console/l18n.h"
#include "util/cancellation.h"

namespace vorlune_forge {

namespace {

const swf::Tag_DefineBitsLossless& bitmapOf(const swf::Tag& tag) {
    return dynamic_cast<const swf::Tag_DefineBitsLossless&>(tag);
}

// Whether the picture shows exactly the pixels the export of the bitmap
// shows, whatever form it has been saved in since.
bool showsBitmap(const picture::Picture& picture, const swf::Tag_DefineBitsLossless& image) {
    if (picture.width != image.bitmapWidth || picture.height != image.bitmapHeight) return false;
    try {
        return swf::imagePixels(image) == picture.rgba;
    } catch (const std::exception&) {
        return false;
    }
}

// A decoded picture may take a few hundred MiB on its way into a bitmap, so
// however many processors an apply converts on, only so many pictures are
// decoded at once.
constexpr std::ptrdiff_t kPicturesAtOnce = 2;

class PictureSlot {
public:
    PictureSlot() {
        while (!slots().try_acquire_for(std::chrono::milliseconds(100))) checkCancelled();
    }
    ~PictureSlot() { slots().release(); }
    PictureSlot(const PictureSlot&) = delete;
    PictureSlot& operator=(const PictureSlot&) = delete;

private:
    static std::counting_semaphore<kPicturesAtOnce>& slots() {
        static std::counting_semaphore<kPicturesAtOnce> free(kPicturesAtOnce);
        return free;
    }
};

// A bitmap without alpha keeps the colours of a transparent picture,
// darkened, but not its transparency; the user is told.
MadeTag imageFromPicture(const ByteBuffer& file, const swf::Tag& current, const WarningSink& warn) {
    const auto& image = bitmapOf(current);
    const PictureSlot slot;
    picture::Picture picture = picture::decodePicture(file);
    if (showsBitmap(picture, image)) return {};
    const picture::PictureFormat format = *picture::recognisePicture(file);
    bool droppedAlpha = false;
    MadeTag made(swf::imageFromPixels(std::move(picture), image, &droppedAlpha));
    if (droppedAlpha) {
        warn(Message::text(N_("WARNING: This image cannot be transparent, so the transparency of the %s file was "
                              "dropped: its transparent parts show dark.\n"),
                           {std::string(picture::pictureFormatName(format))}));
    }
    if (format != picture::PictureFormat::Png) made.format = std::string(picture::pictureFormatName(format));
    return made;
}

}  // namespace

ByteBuffer imageFile(const swf::Tag& tag) { return swf::imageToPng(bitmapOf(tag)); }

ReplacementFile readImage(const std::string& path) {
    auto bytes = std::make_shared<ByteBuffer>();
    l18n::readBinaryFile(path, *bytes);
    const std::optional<picture::PictureFormat> format = picture::recognisePicture(*bytes);
    return {path, bytes, picture::pictureExtension(format.value_or(picture::PictureFormat::Png)),
            [bytes](const swf::Tag& current, const std::string&, const WarningSink& warn) {
                return imageFromPicture(*bytes, current, warn);
            }};
}

std::vector<Message> imageFacts(const swf::Tag& tag) {
    const auto& image = bitmapOf(tag);
    return {Message::text(N_("%s×%s"), {image.bitmapWidth, image.bitmapHeight}),
            Message::text(image.isLossless2 ? N_("alpha") : N_("no alpha"))};
}

// The game draws a picture in the place and size the old one had.
const char* imageResized(const swf::Tag& before, const swf::Tag& after) {
    const auto& old = bitmapOf(before);
    const auto& now = bitmapOf(after);
    if (old.bitmapWidth == now.bitmapWidth && old.bitmapHeight == now.bitmapHeight) return nullptr;
    return N_(
        "WARNING: The image's size has changed. The game draws it where the old one was, so it may show "
        "cropped or stretched.\n");
}

}  // namespace vorlune_forge
