#include "playlist/formats/SavedPaths.h"

#include <algorithm>
#include <vector>

namespace tb {

namespace {

struct SplitPath {
    std::string root; // as written out: "/", "C:\", "\\server\share\"
    std::string key;  // the root as compared: in lower case on Windows
    std::vector<std::string_view> steps;
};

bool isSeparator(char c, PathStyle style) {
    return c == '/' || (style == PathStyle::Windows && c == '\\');
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

bool sameStep(std::string_view a, std::string_view b, PathStyle style) {
    if (style == PathStyle::Posix)
        return a == b;
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

// The steps of what follows the root, with "." and ".." worked out.
void addSteps(std::string_view rest, PathStyle style, std::vector<std::string_view>& steps) {
    std::size_t start = 0;
    while (start <= rest.size()) {
        std::size_t end = start;
        while (end < rest.size() && !isSeparator(rest[end], style))
            ++end;
        const std::string_view step = rest.substr(start, end - start);
        if (step == "..") {
            if (!steps.empty())
                steps.pop_back(); // above the root is the root
        } else if (!step.empty() && step != ".") {
            steps.push_back(step);
        }
        start = end + 1;
    }
}

std::optional<SplitPath> split(std::string_view path, PathStyle style) {
    SplitPath out;
    std::string_view rest;
    if (style == PathStyle::Posix) {
        if (!path.starts_with('/'))
            return std::nullopt;
        out.root = out.key = "/";
        rest = path;
    } else if (path.size() >= 3 && path[1] == ':' && isSeparator(path[2], style) &&
               lowerAscii(path[0]) >= 'a' && lowerAscii(path[0]) <= 'z') {
        out.root = std::string(path.substr(0, 2)) + '\\';
        out.key = lowered(out.root);
        rest = path.substr(3);
    } else if (path.size() >= 2 && isSeparator(path[0], style) && isSeparator(path[1], style)) {
        // A share: its server and name belong to the root, so a path never climbs out.
        std::vector<std::string_view> share;
        addSteps(path.substr(2), style, share);
        if (share.size() < 2)
            return std::nullopt;
        out.root = "\\\\" + std::string(share[0]) + '\\' + std::string(share[1]) + '\\';
        out.key = lowered(out.root);
        out.steps.assign(share.begin() + 2, share.end());
        return out;
    } else if (!path.empty() && isSeparator(path[0], style)) {
        out.root = out.key = "\\"; // the root of whichever drive is current
        rest = path;
    } else {
        return std::nullopt;
    }
    addSteps(rest, style, out.steps);
    return out;
}

std::string joined(std::string text, const std::vector<std::string_view>& steps, std::size_t first,
                   char separator) {
    for (std::size_t i = first; i < steps.size(); ++i) {
        if (i > first)
            text += separator;
        text.append(steps[i]);
    }
    return text;
}

char separatorOf(PathStyle style) {
    return style == PathStyle::Windows ? '\\' : '/';
}

} // namespace

std::optional<std::string> tidyAbsolutePath(std::string_view path, PathStyle style) {
    const std::optional<SplitPath> parts = split(path, style);
    if (!parts)
        return std::nullopt;
    return joined(parts->root, parts->steps, 0, separatorOf(style));
}

std::optional<std::string> relativePath(std::string_view file, std::string_view folder,
                                        PathStyle style) {
    const std::optional<SplitPath> to = split(file, style);
    const std::optional<SplitPath> from = split(folder, style);
    if (!to || !from || to->key != from->key)
        return std::nullopt;
    std::size_t common = 0;
    while (common < to->steps.size() && common < from->steps.size() &&
           sameStep(to->steps[common], from->steps[common], style))
        ++common;
    if (common == to->steps.size())
        return std::nullopt; // the folder itself or one above it: no file
    std::string up;
    for (std::size_t i = common; i < from->steps.size(); ++i)
        up += std::string("..") + separatorOf(style);
    return joined(std::move(up), to->steps, common, separatorOf(style));
}

std::string savedEntryText(std::string_view text, std::string_view file,
                           std::string_view playlistFolder, SavedPathMode mode,
                           const SameVolume& sameVolume, PathStyle style) {
    if (mode == SavedPathMode::AsEntered || file.empty())
        return std::string(text);
    const std::optional<std::string> full = tidyAbsolutePath(file, style);
    if (!full)
        return std::string(text);
    if (mode == SavedPathMode::Relative &&
        (!sameVolume || sameVolume(std::string(file), std::string(playlistFolder)))) {
        if (std::optional<std::string> relative = relativePath(*full, playlistFolder, style))
            return *std::move(relative);
    }
    return *full;
}

} // namespace tb
