#include "playlist/formats/EntryFile.h"

#include <algorithm>

namespace tb {

namespace {
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

bool isAlpha(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isUnreserved(char c) {
    return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~';
}
int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The scheme of a URI ("http" of "http://…"), or empty. One letter is no scheme,
// so that a drive letter such as "C:" is never taken for one.
std::string_view schemeOf(std::string_view text) {
    if (text.empty() || !isAlpha(text[0]))
        return {};
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ':')
            return i >= 2 ? text.substr(0, i) : std::string_view();
        if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return {};
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               const auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? char(c + 32) : c;
               };
               return lower(x) == lower(y);
           });
}

std::string joined(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != kSeparator && path.back() != '/')
        path += kSeparator;
    return path.append(name);
}

std::string resolvePath(std::string_view path, std::string_view folder, const FileExists& exists) {
    if (isAbsolutePath(path)) {
        std::string absolute(path);
        return exists(absolute) ? absolute : std::string();
    }
    if (folder.empty())
        return {};
    std::string relative = joined(folder, path);
    return exists(relative) ? relative : std::string();
}
} // namespace

bool isAbsolutePath(std::string_view path) {
#ifdef _WIN32
    if (path.size() >= 3 && isAlpha(path[0]) && path[1] == ':' &&
        (path[2] == '\\' || path[2] == '/'))
        return true;
    return !path.empty() && (path[0] == '\\' || path[0] == '/');
#else
    return path.starts_with('/');
#endif
}

std::string resolveEntryFile(std::string_view entry, std::string_view playlistFolder,
                             const FileExists& exists) {
    if (entry.empty())
        return {};
    if (sameIgnoringCase(schemeOf(entry), "file")) {
        const std::optional<std::string> path = fileUriPath(entry);
        return path && exists(*path) ? *path : std::string();
    }
    std::string found = resolvePath(entry, playlistFolder, exists);
#ifndef _WIN32
    if (found.empty() && entry.find('\\') != std::string_view::npos) {
        std::string slashed(entry);
        std::replace(slashed.begin(), slashed.end(), '\\', '/');
        found = resolvePath(slashed, playlistFolder, exists);
    }
#endif
    return found;
}

std::string percentEncoded(std::string_view bytes, std::string_view keep) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        if (isUnreserved(c) || keep.find(c) != std::string_view::npos) {
            out += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::optional<std::string> percentDecoded(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

bool isUriReference(std::string_view text) {
    static constexpr std::string_view kAllowed = ":/?#[]@!$&'()*+,;=";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size() || hexValue(text[i + 1]) < 0 || hexValue(text[i + 2]) < 0)
                return false;
            i += 2;
        } else if (!isUnreserved(c) && kAllowed.find(c) == std::string_view::npos &&
                   static_cast<unsigned char>(c) < 0x80) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> fileUriPath(std::string_view uri) {
    const std::string_view scheme = schemeOf(uri);
    if (!sameIgnoringCase(scheme, "file"))
        return std::nullopt;
    std::string_view rest = uri.substr(scheme.size() + 1);
    // A query or a fragment is no part of the file's name.
    rest = rest.substr(0, rest.find_first_of("?#"));
    std::string_view host;
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        host = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    }
    if (!rest.starts_with('/'))
        return std::nullopt;
    std::optional<std::string> path = percentDecoded(rest);
    if (!path || path->find('\0') != std::string::npos)
        return std::nullopt;
#ifdef _WIN32
    std::replace(path->begin(), path->end(), '/', '\\');
    if (!host.empty() && !sameIgnoringCase(host, "localhost"))
        return "\\\\" + std::string(host) + *path; // a share: \\host\share\…
    // "/C:/…" names the drive's path "C:\…".
    if (path->size() >= 3 && isAlpha((*path)[1]) && (*path)[2] == ':')
        path->erase(0, 1);
    return path;
#else
    if (!host.empty() && !sameIgnoringCase(host, "localhost"))
        return std::nullopt;
    return path;
#endif
}

std::string locationFromEntry(std::string_view entry) {
    if (!schemeOf(entry).empty() && isUriReference(entry)) {
        // An IRI's bytes from 0x80 up as %XX, which makes it a URI.
        std::string uri;
        for (const char c : entry) {
            if (static_cast<unsigned char>(c) < 0x80)
                uri += c;
            else
                uri += percentEncoded(std::string_view(&c, 1));
        }
        return uri;
    }
    std::string path(entry);
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.starts_with("//")) // a share
        return "file:" + percentEncoded(path, "/");
    if (isAbsolutePath(entry))
        return "file:///" + percentEncoded(path.starts_with('/') ? path.substr(1) : path, "/:");
#else
    if (isAbsolutePath(entry))
        return "file://" + percentEncoded(path, "/:");
#endif
    // A colon in a relative reference's first segment would read as a scheme's end.
    return percentEncoded(path, "/");
}

std::optional<std::string> entryFromLocation(std::string_view location) {
    if (!isUriReference(location))
        return std::nullopt;
    const std::string_view scheme = schemeOf(location);
    if (sameIgnoringCase(scheme, "file")) {
        if (std::optional<std::string> path = fileUriPath(location))
            return path;
        return std::string(location);
    }
    if (!scheme.empty())
        return std::string(location);
    std::optional<std::string> path = percentDecoded(location);
#ifdef _WIN32
    if (path)
        std::replace(path->begin(), path->end(), '/', '\\');
#endif
    return path;
}

} // namespace tb
