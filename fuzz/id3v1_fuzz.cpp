// Feeds arbitrary file endings to the tag parser and checks what it promises.
#include "filetools/Id3v1.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto tag = tb::id3v1::parseTail(bytes);
    if (!tag)
        return 0;
    if (size < tb::id3v1::TagSize || tag->title.size() > 30 || tag->artist.size() > 30 ||
        tag->album.size() > 30 || tag->year.size() > 4 || tag->comment.size() > 30)
        std::abort();
    if (tag->title.find('\0') != std::string::npos)
        std::abort();
    const std::string_view genre = tb::id3v1::genreName(tag->genre);
    if ((tag->genre < tb::id3v1::GenreCount) == genre.empty())
        std::abort();
    const std::string proposal =
        tb::id3v1::renameProposal(static_cast<int>(size % 1000), tag->artist, tag->title);
    if (proposal.size() < 12 || proposal.compare(proposal.size() - 4, 4, ".mp3") != 0)
        std::abort();
    return 0;
}
