#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// How the entries of a saved playlist name their files: as the playlist holds them,
// relative to the playlist's folder (so that a playlist on a stick finds its songs
// wherever the stick is mounted), or as full paths. Bytes in, bytes out.
namespace tb {

enum class SavedPathMode { AsEntered, Relative, Absolute };

// Which rules a path follows: "/" alone, or Windows's drive letters, shares and "\"
// (where "/" separates too and names match in any case).
enum class PathStyle { Posix, Windows };
#ifdef _WIN32
inline constexpr PathStyle kHostPathStyle = PathStyle::Windows;
#else
inline constexpr PathStyle kHostPathStyle = PathStyle::Posix;
#endif

// The absolute path without "." and empty steps and with each ".." taking back the step
// before it; nothing for a path that is not absolute. Windows paths come out with "\".
std::optional<std::string> tidyAbsolutePath(std::string_view path,
                                            PathStyle style = kHostPathStyle);

// The path that leads from the folder to the file, with "../" where it climbs; nothing
// where no relative path reaches it (another drive or share, or a path not absolute).
std::optional<std::string> relativePath(std::string_view file, std::string_view folder,
                                        PathStyle style = kHostPathStyle);

// Whether two paths lie on one file system, so that a path from one to the other still
// holds when that file system is mounted somewhere else.
using SameVolume = std::function<bool(const std::string& file, const std::string& folder)>;

// The text an entry is saved with in the playlist file of that folder. An entry that
// does not know its file keeps its text; so does every entry as entered. A file that
// no relative path reaches, or that lies on another volume, is written in full.
std::string savedEntryText(std::string_view text, std::string_view file,
                           std::string_view playlistFolder, SavedPathMode mode,
                           const SameVolume& sameVolume, PathStyle style = kHostPathStyle);

} // namespace tb
