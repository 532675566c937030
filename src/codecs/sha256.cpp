#include "codecs/sha256.h"

#include <nettle/sha2.h>

namespace sha256 {

Digest digestOf(ByteView bytes) {
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, bytes.size(), bytes.data());
    Digest digest{};
    sha256_digest(&context, digest.size(), digest.data());
    return digest;
}

}  // namespace sha256
