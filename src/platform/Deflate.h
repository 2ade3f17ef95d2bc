#pragma once

#include <string>
#include <string_view>

namespace tb {

// Bytes packed with zlib's deflate, fast rather than small, and unpacked again.
std::string deflated(std::string_view bytes);
// The bytes that `packed` was made of; `size` is how many they were. Throws IoError where
// `packed` is not such bytes (zlib's check sum finds a changed byte).
std::string inflated(std::string_view packed, std::size_t size);

} // namespace tb
