#include "filetools/Id3v2.h"

#include "filetools/Id3v1.h"

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

std::string joined(const TagLib::StringList& values) {
    std::string out;
    for (const TagLib::String& value : values) {
        if (value.isEmpty())
            continue;
        if (!out.empty())
            out += " / ";
        out += utf8(value);
    }
    return out;
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

std::string genre(const TagLib::StringList& values) {
    std::string out;
    for (const TagLib::String& value : values) {
        const std::string shown = id3v1::genreOfText(utf8(value));
        if (shown.empty())
            continue;
        if (!out.empty())
            out += " / ";
        out += shown;
    }
    return out;
}

} // namespace

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
    texts.genre = genre(values(tag, "TCON"));
    return texts;
}

} // namespace tb::id3v2
