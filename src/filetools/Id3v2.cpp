#include "filetools/Id3v2.h"

#include "filetools/Id3v1.h"

#include <algorithm>
#include <commentsframe.h>
#include <id3v2header.h>
#include <id3v2tag.h>
#include <tbytevectorstream.h>
#include <textidentificationframe.h>
#include <tfile.h>

namespace tb::id3v2 {

namespace {

// TagLib reads a tag from a file; this one is the tag's bytes alone, so that nothing
// of the audio is read, nor searched for other tags.
class TagBytes : public TagLib::File {
public:
    explicit TagBytes(TagLib::IOStream* stream) : TagLib::File(stream) {}
    TagLib::Tag* tag() const override { return nullptr; }
    TagLib::AudioProperties* audioProperties() const override { return nullptr; }
    bool save() override { return false; }
};

std::string utf8(const TagLib::String& text) {
    return text.to8Bit(true);
}

// The values as shown, joined by " / "; those shown empty are left out.
template <typename Shown> std::string joined(const TagLib::StringList& values, Shown shown) {
    std::string out;
    for (const TagLib::String& value : values) {
        const std::string text = shown(value);
        if (text.empty())
            continue;
        if (!out.empty())
            out += " / ";
        out += text;
    }
    return out;
}

std::string joined(const TagLib::StringList& values) {
    return joined(values, utf8);
}

TagLib::StringList values(const TagLib::ID3v2::Tag& tag, const char* frameId) {
    const TagLib::ID3v2::FrameList& frames = tag.frameList(frameId);
    if (frames.isEmpty())
        return {};
    if (const auto* text =
            dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frames.front()))
        return text->fieldList();
    return TagLib::StringList(frames.front()->toString());
}

// The first characters of the text, not of its bytes.
std::string firstCharacters(const TagLib::StringList& values, unsigned count) {
    if (values.isEmpty())
        return {};
    return utf8(values.front().substr(0, count));
}

// The frames that readTexts reads, by their names in version 2.2 and in later ones.
bool isShownFrame(std::string_view id) {
    static constexpr std::string_view shown[] = {"TT2",  "TP1",  "TAL",  "TYE",  "COM",
                                                 "TCO",  "TIT2", "TPE1", "TALB", "TYER",
                                                 "TDRC", "COMM", "TCON"};
    return std::find(std::begin(shown), std::end(shown), id) != std::end(shown);
}

std::size_t bigEndian(std::string_view bytes) {
    std::size_t value = 0;
    for (const char byte : bytes)
        value = (value << 8) | static_cast<unsigned char>(byte);
    return value;
}

// Four bytes of seven bits each. Some writers put a plain number into a 2.4 frame's
// size, which a set eighth bit gives away; TagLib reads those as plain too.
std::size_t synchsafeOrPlain(std::string_view bytes) {
    std::size_t value = 0;
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) & 0x80)
            return bigEndian(bytes);
        value = (value << 7) | static_cast<unsigned char>(byte);
    }
    return value;
}

} // namespace

std::string shownFrames(const ReadAt& readAt) {
    std::string out = readAt(0, HeaderSize);
    const std::size_t declared = declaredSize(out);
    if (declared == 0)
        return {};
    const auto major = static_cast<unsigned char>(out[3]);
    const auto flags = static_cast<unsigned char>(out[5]);
    constexpr unsigned char unsynchronised = 0x80, extendedOr22Compressed = 0x40, footer = 0x10;
    if (major < 4 && (flags & unsynchronised || (major == 2 && flags & extendedOr22Compressed)))
        return out + readAt(HeaderSize, std::min(declared, ReadLimit) - HeaderSize);

    std::size_t budget = ReadLimit - HeaderSize;
    std::size_t position = HeaderSize;
    // Asks for bytes within what is left to read; false once the file or the budget ended.
    const auto take = [&](std::size_t size) {
        if (size > budget)
            return false;
        const std::string bytes = readAt(position, size);
        budget -= size;
        position += size;
        out += bytes;
        return bytes.size() == size;
    };
    if (major >= 3 && flags & extendedOr22Compressed) {
        const std::string sizeBytes = readAt(position, 4);
        if (sizeBytes.size() < 4)
            return out;
        // 2.3 counts the bytes after the size, 2.4 the whole extended header.
        const std::size_t extended =
            major == 3 ? bigEndian(sizeBytes) + 4 : synchsafeOrPlain(sizeBytes);
        if (!take(extended))
            return out;
    }
    const std::size_t frameHeaderSize = major == 2 ? 6 : 10;
    const std::size_t framesEnd = declared - (major == 4 && flags & footer ? HeaderSize : 0);
    while (position + frameHeaderSize <= framesEnd && budget >= frameHeaderSize) {
        const std::string header = readAt(position, frameHeaderSize);
        budget -= frameHeaderSize;
        if (header.size() < frameHeaderSize || header[0] == '\0')
            break; // the file's end, or the padding after the last frame
        const std::string_view id(header.data(), major == 2 ? 3 : 4);
        const std::string_view sizeBytes(header.data() + id.size(), major == 2 ? 3 : 4);
        const std::size_t size = major == 4 ? synchsafeOrPlain(sizeBytes) : bigEndian(sizeBytes);
        const bool shown = isShownFrame(id);
        if (shown)
            out += header;
        position += frameHeaderSize;
        if (!shown) {
            position += size; // passed over unread
            continue;
        }
        // A frame cut short by the budget or the file keeps its start, as a tag cut short would.
        const std::size_t wanted = std::min(size, budget);
        if (!take(wanted) || wanted < size)
            break;
    }
    return out;
}

std::string genreOfText(std::string_view value) {
    std::string_view code = value;
    if (code.size() > 2 && code.front() == '(' && code.back() == ')')
        code = code.substr(1, code.size() - 2);
    if (code == "RX")
        return "Remix";
    if (code == "CR")
        return "Cover";
    const bool digits = !code.empty() && code.size() <= 3 &&
                        code.find_first_not_of("0123456789") == std::string_view::npos;
    if (digits) {
        const int number = std::stoi(std::string(code));
        if (number <= 255)
            return std::string(id3v1::genreName(static_cast<std::uint8_t>(number)));
    }
    return std::string(value);
}

std::size_t declaredSize(std::string_view header) {
    if (header.size() < HeaderSize || !header.starts_with("ID3"))
        return 0;
    const auto major = static_cast<unsigned char>(header[3]);
    const auto revision = static_cast<unsigned char>(header[4]);
    if (major < 2 || major > 4 || revision == 0xFF)
        return 0;
    // The size's four bytes carry seven bits each; TagLib takes a set eighth bit as no tag.
    const TagLib::ID3v2::Header parsed(TagLib::ByteVector(header.data(), HeaderSize));
    if (parsed.tagSize() == 0)
        return 0;
    return parsed.completeTagSize();
}

std::optional<Texts> readTexts(std::string_view tagBytes) {
    if (declaredSize(tagBytes) == 0)
        return std::nullopt;
    TagLib::ByteVectorStream stream(
        TagLib::ByteVector(tagBytes.data(), static_cast<unsigned int>(tagBytes.size())));
    TagBytes file(&stream);
    const TagLib::ID3v2::Tag tag(&file, 0);

    Texts texts;
    texts.title = joined(values(tag, "TIT2"));
    texts.artist = joined(values(tag, "TPE1"));
    texts.album = joined(values(tag, "TALB"));
    // TagLib reads a 2.2 or 2.3 year (TYE, TYER) as the recording time TDRC.
    const TagLib::StringList time = values(tag, "TDRC");
    texts.year = firstCharacters(time.isEmpty() ? values(tag, "TYER") : time, 4);
    const TagLib::ID3v2::FrameList& comments = tag.frameList("COMM");
    if (!comments.isEmpty()) {
        if (const auto* comment =
                dynamic_cast<const TagLib::ID3v2::CommentsFrame*>(comments.front()))
            texts.comment = utf8(comment->text());
    }
    texts.genre = joined(values(tag, "TCON"),
                         [](const TagLib::String& value) { return genreOfText(utf8(value)); });
    return texts;
}

} // namespace tb::id3v2
