#include "filetools/CommonTags.h"

#include "filetools/Id3v2.h"

#include <aifffile.h>
#include <apefile.h>
#include <asffile.h>
#include <flacfile.h>
#include <id3v2framefactory.h>
#include <memory>
#include <mp4file.h>
#include <mpcfile.h>
#include <mpegfile.h>
#include <oggflacfile.h>
#include <opusfile.h>
#include <tbytevectorstream.h>
#include <tfilestream.h>
#include <vorbisfile.h>
#include <wavfile.h>
#include <wavpackfile.h>

namespace tb {

namespace {

std::unique_ptr<TagLib::File> openAs(TagLib::IOStream* stream, MusicKind kind, bool properties) {
    constexpr auto style = TagLib::AudioProperties::Average;
    TagLib::ID3v2::FrameFactory* frames = TagLib::ID3v2::FrameFactory::instance();
    switch (kind) {
    case MusicKind::Mp3:
        return std::make_unique<TagLib::MPEG::File>(stream, frames, properties, style);
    case MusicKind::Flac:
        return std::make_unique<TagLib::FLAC::File>(stream, frames, properties, style);
    case MusicKind::OggVorbis:
        return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, properties, style);
    case MusicKind::OggAudio: {
        // .oga holds FLAC in Ogg as often as Vorbis.
        auto flac = std::make_unique<TagLib::Ogg::FLAC::File>(stream, properties, style);
        if (flac->isValid())
            return flac;
        flac.reset();
        stream->seek(0);
        return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, properties, style);
    }
    case MusicKind::Opus:
        return std::make_unique<TagLib::Ogg::Opus::File>(stream, properties, style);
    case MusicKind::Mp4:
        return std::make_unique<TagLib::MP4::File>(stream, properties, style);
    case MusicKind::Wav:
        return std::make_unique<TagLib::RIFF::WAV::File>(stream, properties, style);
    case MusicKind::Aiff:
        return std::make_unique<TagLib::RIFF::AIFF::File>(stream, properties, style);
    case MusicKind::Asf:
        return std::make_unique<TagLib::ASF::File>(stream, properties, style);
    case MusicKind::Ape:
        return std::make_unique<TagLib::APE::File>(stream, properties, style);
    case MusicKind::WavPack:
        return std::make_unique<TagLib::WavPack::File>(stream, properties, style);
    case MusicKind::Musepack:
        return std::make_unique<TagLib::MPC::File>(stream, properties, style);
    case MusicKind::Other:
        break;
    }
    return nullptr;
}

std::string utf8(const TagLib::String& text) {
    return text.to8Bit(true);
}

std::optional<CommonTags> readFrom(TagLib::IOStream& stream, MusicKind kind, AudioLength length) {
    const bool withLength = length == AudioLength::Read;
    const std::unique_ptr<TagLib::File> file = openAs(&stream, kind, withLength);
    if (!file || !file->isValid())
        return std::nullopt;
    // A WAV file's tag() is its ID3v2 chunk alone; most writers give it an INFO chunk
    // instead, which fills what the ID3v2 chunk leaves empty.
    const TagLib::Tag* tagsInOrder[] = {file->tag(), nullptr};
    if (const auto* wav = dynamic_cast<const TagLib::RIFF::WAV::File*>(file.get()))
        tagsInOrder[1] = wav->InfoTag();
    const auto first = [&](TagLib::String (TagLib::Tag::*field)() const) {
        for (const TagLib::Tag* tag : tagsInOrder) {
            if (tag && !(tag->*field)().isEmpty())
                return utf8((tag->*field)());
        }
        return std::string();
    };
    CommonTags tags;
    tags.title = first(&TagLib::Tag::title);
    tags.artist = first(&TagLib::Tag::artist);
    tags.album = first(&TagLib::Tag::album);
    tags.comment = first(&TagLib::Tag::comment);
    // Vorbis comments and APE items may hold an ID3v1 code, bare or in parentheses.
    tags.genre = id3v2::genreOfText(first(&TagLib::Tag::genre));
    for (const TagLib::Tag* tag : tagsInOrder) {
        if (const unsigned year = tag ? tag->year() : 0; year != 0) {
            tags.year = std::to_string(year);
            break;
        }
    }
    if (withLength) {
        if (const TagLib::AudioProperties* audio = file->audioProperties()) {
            const int milliseconds = audio->lengthInMilliseconds();
            tags.milliseconds = milliseconds > 0 ? milliseconds : -1;
        }
    }
    return tags;
}

} // namespace

std::optional<CommonTags> readCommonTags(const std::string& path, MusicKind kind,
                                         AudioLength length) {
    TagLib::FileStream stream(path.c_str(), true);
    if (!stream.isOpen())
        return std::nullopt;
    return readFrom(stream, kind, length);
}

std::optional<CommonTags> readCommonTagsFromBytes(std::string_view bytes, MusicKind kind,
                                                  AudioLength length) {
    TagLib::ByteVectorStream stream(
        TagLib::ByteVector(bytes.data(), static_cast<unsigned int>(bytes.size())));
    return readFrom(stream, kind, length);
}

} // namespace tb
