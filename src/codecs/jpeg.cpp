#include "codecs/jpeg.h"

#include <turbojpeg.h>

#include <memory>
#include <string>

namespace picture {
namespace {

struct Destroy {
    void operator()(void* handle) const { tjDestroy(handle); }
};

[[noreturn]] void refuse(tjhandle handle) { throw undecodable(PictureFormat::Jpeg, tjGetErrorStr2(handle)); }

}  // namespace

Picture decodeJpeg(ByteView file) {
    const std::unique_ptr<void, Destroy> handle(tjInitDecompress());
    if (!handle) refuse(nullptr);
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(handle.get(), file.data(), file.size(), &width, &height, &subsampling, &colourspace) != 0) {
        refuse(handle.get());
    }
    checkPictureSize(static_cast<uint64_t>(width), static_cast<uint64_t>(height));
    Picture picture{static_cast<unsigned>(width), static_cast<unsigned>(height), {}};
    picture.rgba.resize(size_t{picture.width} * picture.height * 4);
    // A progressive file of very many scans would take minutes to decode;
    // the library refuses one of more than 500.
    const int flags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (tjDecompress2(handle.get(), file.data(), file.size(), picture.rgba.data(), width, 0, height, TJPF_RGBA,
                      flags) != 0) {
        refuse(handle.get());
    }
    return picture;
}

}  // namespace picture
