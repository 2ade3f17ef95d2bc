#pragma once

// The kinds of music file the program lists, reads tags from and searches for, told
// apart by the name's extension alone, as the file list's masks tell them.
#include <string_view>

namespace tb {

enum class MusicKind {
    Other, // not a music file of ours
    Mp3,
    Flac,
    OggVorbis, // .ogg
    OggAudio,  // .oga: FLAC in Ogg as often as Vorbis
    Opus,
    Mp4, // .m4a, .m4b
    Wav,
    Aiff,
    Asf, // .wma
    Ape,
    WavPack,
    Musepack,
};

// The kind the name's extension (in any case) names.
MusicKind musicKindOf(std::string_view name);

// Whether the name's extension is one of the music kinds.
inline bool hasMusicExtension(std::string_view name) {
    return musicKindOf(name) != MusicKind::Other;
}

// The file list's masks for every music kind, as the filter box holds them.
inline constexpr std::string_view kMusicMasks =
    "*.mp3; *.flac; *.ogg; *.oga; *.opus; *.m4a; *.m4b; *.wav; *.aif; *.aiff; *.wma; *.ape; "
    "*.wv; *.mpc";

} // namespace tb
