#include "platform/Deflate.h"

#include "platform/IoError.h"

#include <zlib.h>

namespace tb {

std::string deflated(std::string_view bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string packed(size, '\0');
    const int code = compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                               reinterpret_cast<const Bytef*>(bytes.data()),
                               static_cast<uLong>(bytes.size()), Z_BEST_SPEED);
    if (code != Z_OK)
        throw IoError(code, "I/O error " + std::to_string(code));
    packed.resize(size);
    return packed;
}

std::string inflated(std::string_view packed, std::size_t size) {
    // Deflate packs at most about a thousand to one: a larger size is a damaged one, and
    // must not make the program ask for that much memory.
    if (size > packed.size() * 1100 + 64)
        throw IoError(Z_DATA_ERROR, "I/O error " + std::to_string(Z_DATA_ERROR));
    std::string bytes(size, '\0');
    uLongf got = static_cast<uLongf>(size);
    const int code = uncompress(reinterpret_cast<Bytef*>(bytes.data()), &got,
                                reinterpret_cast<const Bytef*>(packed.data()),
                                static_cast<uLong>(packed.size()));
    if (code != Z_OK || got != size)
        throw IoError(Z_DATA_ERROR, "I/O error " + std::to_string(Z_DATA_ERROR));
    return bytes;
}

} // namespace tb
