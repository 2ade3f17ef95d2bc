#pragma once

#include <string>

namespace tb {

// Whether both paths are there and lie on one file system (one volume on Windows);
// false where either cannot be looked up.
bool onSameVolume(const std::string& path, const std::string& otherPath);

} // namespace tb
