#pragma once

#include <string>

// Where paths really lead: through links, and onto which file system.
namespace tb {

// Whether both paths are there and lie on one file system (one volume on Windows);
// false where either cannot be looked up.
bool onSameVolume(const std::string& path, const std::string& otherPath);

// The path with every link, "." and ".." resolved as the system resolves them; the
// path as given where it cannot be (on Windows, where links are rare, always).
std::string realPath(const std::string& path);

} // namespace tb
