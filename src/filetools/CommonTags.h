#pragma once

// Tags and lengths of music files of every kind, read with TagLib: the reader is the
// one the name's extension names, never one guessed from the contents, and the texts
// come through the tag interface that all of TagLib's readers share (Vorbis comments,
// MP4 atoms, APE, ASF, the ID3v2 or INFO chunk of WAV and AIFF).
#include "filetools/MusicFormats.h"

#include <optional>
#include <string>
#include <string_view>

namespace tb {

struct CommonTags {
    // UTF-8; the year as its digits (empty where none), the genre as a name.
    std::string title;
    std::string artist;
    std::string album;
    std::string year;
    std::string comment;
    std::string genre;
    int milliseconds = -1; // -1 where not asked for or not known
};

enum class AudioLength { Skip, Read };

// The tag of the regular file at path, read as `kind`; nothing where the file cannot be
// opened or is no file of that kind (cut short, empty, of another kind). Keeps no state,
// so any thread may call it. Callers make sure path names a regular file: a FIFO would
// block the open.
std::optional<CommonTags> readCommonTags(const std::string& path, MusicKind kind,
                                         AudioLength length);

// The same for a file's bytes already in memory.
std::optional<CommonTags> readCommonTagsFromBytes(std::string_view bytes, MusicKind kind,
                                                  AudioLength length);

} // namespace tb
