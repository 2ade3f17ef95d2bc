#include "filetools/MusicFormats.h"

#include <algorithm>

namespace tb {

namespace {

struct ExtensionKind {
    std::string_view extension; // lower case, without the dot
    MusicKind kind;
};

constexpr ExtensionKind kExtensions[] = {
    {"mp3", MusicKind::Mp3},      {"flac", MusicKind::Flac},    {"ogg", MusicKind::OggVorbis},
    {"oga", MusicKind::OggAudio}, {"opus", MusicKind::Opus},    {"m4a", MusicKind::Mp4},
    {"m4b", MusicKind::Mp4},      {"wav", MusicKind::Wav},      {"aif", MusicKind::Aiff},
    {"aiff", MusicKind::Aiff},    {"wma", MusicKind::Asf},      {"ape", MusicKind::Ape},
    {"wv", MusicKind::WavPack},   {"mpc", MusicKind::Musepack},
};

constexpr std::size_t kLongestExtension = 4;

} // namespace

MusicKind musicKindOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.size() - dot - 1 > kLongestExtension)
        return MusicKind::Other;
    // Byte-wise, ASCII only: a byte of a multibyte character never folds into a letter.
    char lower[kLongestExtension];
    const std::string_view extension = name.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), lower, [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    const std::string_view folded(lower, extension.size());
    for (const ExtensionKind& row : kExtensions) {
        if (row.extension == folded)
            return row.kind;
    }
    return MusicKind::Other;
}

} // namespace tb
