#include "playlist/Prefix.h"

#include "filetools/DirectoryText.h"

namespace tb {

std::string formPrefix(PrefixMode mode, const PrefixContext& context) {
    const char sep = context.separator;
    switch (mode) {
    case PrefixMode::FullPath:
        return std::string(context.directoryText) + sep;
    case PrefixMode::PathWithoutDrive:
        return withoutDriveRoot(context.directoryText, context.driveRoot, sep) + sep;
    case PrefixMode::LastDirectory:
        return lastDirectory(context.directoryText, sep) + sep;
    case PrefixMode::Text:
        return std::string(context.text);
    case PrefixMode::Nothing:
        break;
    }
    return {};
}

std::string playlistEntry(PrefixMode mode, const PrefixContext& context, std::string_view name) {
    std::string entry = formPrefix(mode, context);
    entry.append(name);
    return entry;
}

} // namespace tb
