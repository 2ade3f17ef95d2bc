#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Which file a playlist entry names, and entries as the URI references of XSPF.
// Everything here works on bytes: names are kept as the file system spells them.
namespace tb {

using FileExists = std::function<bool(const std::string& path)>;
// The file that an entry's text names, as resolveEntryFile finds it; empty for none.
using EntryFileLookup = std::function<std::string(std::string_view entry)>;

// The file that an entry read from a playlist names, or empty where it names none
// that exists: an absolute path; a path relative to the playlist's folder; a file://
// URI, percent-decoded (file:///abs, file://localhost/abs, file:/abs). Off Windows,
// where a name as written does not exist, its backslashes are read as slashes, since
// playlists from Windows separate with them.
std::string resolveEntryFile(std::string_view entry, std::string_view playlistFolder,
                             const FileExists& exists);

// Whether the path starts from a root (on Windows also a drive letter or a share).
bool isAbsolutePath(std::string_view path);

// Every byte but the unreserved ones of RFC 3986 and those in `keep` as %XX.
std::string percentEncoded(std::string_view bytes, std::string_view keep = {});

// The bytes that %XX stand for; nothing where a % is not followed by two hex digits.
std::optional<std::string> percentDecoded(std::string_view text);

// Whether the text may stand as a URI reference: the characters that RFC 3986 allows
// and % only before two hex digits. Bytes from 0x80 up pass too, as in the IRIs that
// some players write.
bool isUriReference(std::string_view text);

// The path of a file:// URI on this machine, decoded; nothing for another host or a
// path holding a NUL.
std::optional<std::string> fileUriPath(std::string_view uri);

// An entry as an XSPF location: an absolute path as a file:/// URI, a relative one as
// a relative reference (on Windows backslashes become slashes), percent-encoded; an
// entry that is already a URI of some scheme (http://…) as it stands, but for bytes
// from 0x80 up, which become %XX.
std::string locationFromEntry(std::string_view entry);

// The reverse: a file URI of this machine, or a relative reference, as its decoded
// path; a URI of any other kind as written. Nothing where the location is not a URI
// reference.
std::optional<std::string> entryFromLocation(std::string_view location);

} // namespace tb
