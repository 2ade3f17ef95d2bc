#include "filetools/TagReader.h"

#include "filetools/Id3v1.h"
#include "filetools/MusicFormats.h"
#include "platform/FileTail.h"
#include "platform/Windows1250.h"

#ifdef TRACKBINDER_ID3V2
#include "filetools/CommonTags.h"
#include "filetools/Id3v2.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <optional>
#include <string>
#endif

namespace tb {

namespace {

QByteArrayView bytesOf(std::string_view text) {
    return QByteArrayView(text.data(), static_cast<qsizetype>(text.size()));
}

#ifdef TRACKBINDER_ID3V2

// Reads up to `wanted` bytes from the file's position on; fewer at the file's end.
std::string readUpTo(RegularFile& file, std::size_t wanted) {
    std::string bytes(wanted, '\0');
    std::size_t done = 0;
    while (done < wanted) {
        const qint64 got = file.read(bytes.data() + done, static_cast<qint64>(wanted - done));
        if (got < 0)
            throw RegularFile::ioError(file.error());
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

// The ID3v2 tag at the file's start, its shown frames only; nothing when the file begins
// no tag. The tag's first bytes come in one read, which holds the whole of most tags;
// frames beyond them are read where they lie.
std::optional<id3v2::Texts> readId3v2(const QByteArray& path) {
    constexpr std::size_t kFirstRead = 64 * 1024;
    RegularFile file(path);
    std::string first = readUpTo(file, id3v2::HeaderSize);
    const std::size_t declared = id3v2::declaredSize(first);
    if (declared == 0)
        return std::nullopt;
    const std::size_t firstWanted = std::min(declared, kFirstRead);
    first += readUpTo(file, firstWanted - first.size());
    const bool fileEnded = first.size() < firstWanted;
    const std::string tag = id3v2::shownFrames([&](std::size_t offset, std::size_t size) {
        if (offset + size <= first.size() || fileEnded)
            return first.substr(std::min(offset, first.size()), size);
        if (!file.seek(static_cast<qint64>(offset)))
            throw RegularFile::ioError(file.error());
        return readUpTo(file, size);
    });
    return id3v2::readTexts(tag);
}

#endif

// The five texts that both tags hold, decoded.
template <typename Texts, typename Decode>
void takeTexts(TagFields& fields, const Texts& texts, Decode decode) {
    fields.title = decode(texts.title);
    fields.artist = decode(texts.artist);
    fields.album = decode(texts.album);
    fields.year = decode(texts.year);
    fields.comment = decode(texts.comment);
}

} // namespace

namespace {

#ifdef TRACKBINDER_ID3V2
TagFields readCommon(const QByteArray& path, MusicKind kind, AudioLength length) {
    // A file that is missing or cannot be opened is reported as an MP3's is; that also
    // refuses a FIFO, whose open would block.
    readFileTail(path, 0);
    TagFields fields;
    fields.lengthRead = length == AudioLength::Read;
    const std::optional<CommonTags> tags = readCommonTags(path.toStdString(), kind, length);
    if (!tags)
        return fields;
    const auto decode = [](const std::string& text) {
        return QString::fromUtf8(bytesOf(text));
    };
    fields.source = TagFields::Source::Common;
    takeTexts(fields, *tags, decode);
    fields.genre = decode(tags->genre);
    fields.milliseconds = tags->milliseconds;
    return fields;
}
#endif

TagFields readTags(const QByteArray& path, bool withLength) {
#ifdef TRACKBINDER_ID3V2
    const MusicKind kind = musicKindOf(std::string_view(path.constData(), path.size()));
    if (kind != MusicKind::Other && kind != MusicKind::Mp3)
        return readCommon(path, kind, withLength ? AudioLength::Read : AudioLength::Skip);
#else
    (void)withLength;
#endif
    TagFields fields;
    const QByteArray tail = readFileTail(path, static_cast<qint64>(id3v1::TagSize));
    if (const auto tag = id3v1::parseTail(std::string_view(tail.constData(), tail.size()))) {
        // Tag texts are Windows-1250 bytes.
        fields.source = TagFields::Source::Id3v1;
        takeTexts(fields, *tag,
                  [](const std::string& text) { return fromWindows1250(bytesOf(text)); });
        fields.genre = QString::fromLatin1(bytesOf(id3v1::genreName(tag->genre)));
        return fields;
    }
#ifdef TRACKBINDER_ID3V2
    if (const auto texts = readId3v2(path)) {
        const auto decode = [](const std::string& text) {
            return QString::fromUtf8(bytesOf(text));
        };
        fields.source = TagFields::Source::Id3v2;
        takeTexts(fields, *texts, decode);
        fields.genre = decode(texts->genre);
    }
#endif
    return fields;
}

} // namespace

TagFields readTagFields(const QByteArray& path) {
    return readTags(path, false);
}

TagFields readTagFieldsAndLength(const QByteArray& path) {
    return readTags(path, true);
}

} // namespace tb
