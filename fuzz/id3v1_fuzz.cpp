// Feeds arbitrary file endings to the ID3v1 tag parser and arbitrary file starts to the
// ID3v2 reader, and checks what they promise.
#include "filetools/Id3v1.h"
#include "filetools/RenameRules.h"
#ifdef TRACKBINDER_ID3V2
#include "filetools/Id3v2.h"
#endif

#include <cstdlib>

namespace {

void checkProposal(std::size_t size, std::string_view artist, std::string_view title) {
    const std::string proposal = tb::rename::proposal(static_cast<int>(size % 1000), artist, title);
    if (proposal.size() < 12 || proposal.compare(proposal.size() - 4, 4, ".mp3") != 0)
        std::abort();
    if (proposal.find_first_of(std::string_view("/\0", 2)) != std::string::npos)
        std::abort();
}

void checkId3v1(std::string_view bytes) {
    const auto tag = tb::id3v1::parseTail(bytes);
    if (!tag)
        return;
    if (bytes.size() < tb::id3v1::TagSize || tag->title.size() > 30 || tag->artist.size() > 30 ||
        tag->album.size() > 30 || tag->year.size() > 4 || tag->comment.size() > 30)
        std::abort();
    if (tag->title.find('\0') != std::string::npos)
        std::abort();
    const std::string_view genre = tb::id3v1::genreName(tag->genre);
    if ((tag->genre < tb::id3v1::GenreCount) == genre.empty())
        std::abort();
    checkProposal(bytes.size(), tag->artist, tag->title);
}

#ifdef TRACKBINDER_ID3V2
// The input as the start of a file, its header made valid so that most inputs reach
// the frames.
void checkId3v2(std::string_view bytes) {
    std::string file(bytes);
    if (file.size() >= tb::id3v2::HeaderSize) {
        file.replace(0, 3, "ID3");
        file[3] = static_cast<char>(2 + static_cast<unsigned char>(file[3]) % 3);
        for (std::size_t i = 6; i < 10; ++i)
            file[i] = static_cast<char>(file[i] & 0x7F);
    }
    const std::size_t declared = tb::id3v2::declaredSize(file);
    const auto texts = tb::id3v2::readTexts(file);
    if (texts.has_value() != (declared > 0))
        std::abort();
    if (!texts)
        return;
    // A year is at most four characters of up to four bytes each.
    if (texts->year.size() > 16)
        std::abort();
    checkProposal(bytes.size(), texts->artist, texts->title);
}
#endif

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkId3v1(bytes);
#ifdef TRACKBINDER_ID3V2
    checkId3v2(bytes);
#endif
    return 0;
}
