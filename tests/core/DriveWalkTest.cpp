#include "filetools/DriveWalk.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>

using tb::EntryKind;
using tb::FileId;

namespace {

// Plain files are {"name"}; links and directories come from the helpers below.
struct Entry {
    std::string name;
    EntryKind kind = EntryKind::Other;
    FileId id{};
};

Entry link(std::string name) {
    return {std::move(name), EntryKind::SymbolicLink};
}

// A file system in memory: each directory path holds its entries in listing order.
class FakeLister final : public tb::DirectoryLister {
public:
    // Directories get nodes 2, 3, ... on device 1 unless told otherwise.
    Entry dir(std::string name, FileId id = {}) {
        return {std::move(name), EntryKind::Directory,
                id == FileId{} ? FileId{1, nextInode_++} : id};
    }

    std::optional<FileId> identify(const std::string& path) override {
        return directories.count(path) ? std::optional(FileId{1, 1}) : std::nullopt;
    }
    bool list(const std::string& path, tb::DirectoryListing& listing) override {
        listed.push_back(path);
        const auto it = directories.find(path);
        if (it == directories.end())
            return false;
        for (const Entry& entry : it->second)
            listing.add(entry.name, entry.kind, entry.id);
        return true;
    }

    std::map<std::string, std::vector<Entry>> directories;
    std::vector<std::string> listed;

private:
    std::uint64_t nextInode_ = 2;
};

// Keeps what the walk finds, and raises `found1` at the first find.
struct Collect final : tb::WalkSink {
    void found(std::string_view entry) override {
        entries.emplace_back(entry);
        found1 = true;
    }
    std::vector<std::string> entries;
    std::atomic<bool> found1{false};
};

using Names = std::vector<std::string>;

Names walk(FakeLister& lister, std::string_view start, char separator = '/') {
    Collect sink;
    tb::WalkOptions options;
    options.separator = separator;
    EXPECT_EQ(tb::walkForMp3(lister, start, sink, options), tb::WalkEnd::Completed);
    return sink.entries;
}

} // namespace

TEST(DriveWalk, PathsDepthFirstInListingOrder) {
    FakeLister fs;
    fs.directories["c:\\"] = {{"SONG.mp3"}, fs.dir("ROCK"), {"z.MP3"}};
    fs.directories["c:\\ROCK\\"] = {{"b.Mp3"}, fs.dir("."), fs.dir(".."), {"A.MP3"}};
    // A subdirectory is searched at once, before the entries after it.
    EXPECT_EQ(walk(fs, "c:\\", '\\'),
              (Names{"c:\\SONG.mp3", "c:\\ROCK\\b.Mp3", "c:\\ROCK\\A.MP3", "c:\\z.MP3"}));

    // The start gets exactly one separator.
    fs.directories["/"] = {{"a.mp3"}};
    fs.directories["/media/usb/"] = {{"b.mp3"}};
    EXPECT_EQ(walk(fs, "/"), Names{"/a.mp3"});
    EXPECT_EQ(walk(fs, "/media/usb"), Names{"/media/usb/b.mp3"});
    EXPECT_EQ(walk(fs, "/media/usb/"), Names{"/media/usb/b.mp3"});
}

TEST(DriveWalk, ExtensionTest) {
    // Latin-1 and UTF-8 names alike; only the last four bytes count.
    for (const char* name :
         {".MP3", "a.mP3", "p\xc3\xadse\xc5\x88.Mp3", "p\355se\362.mp3", "x.tar.mp3"})
        EXPECT_TRUE(tb::hasMp3Extension(name)) << name;
    for (const char* name :
         {"MP3", "mp3", "", ".mp", "SONG.MP3.BAK", "x_mp3", "x.mp3 ", "x.m\303\2513"})
        EXPECT_FALSE(tb::hasMp3Extension(name)) << name;
}

// Only plain visible directories on the start's file system and mount are searched
// ("usb" is a mount below the start, "bound" a folder of the same file system mounted
// again) and none twice (music/again is music mounted below itself, root
// the start); every other entry, hidden directories and links included, is tested as a
// file, and a directory that cannot be listed is passed over silently.
TEST(DriveWalk, WhichEntriesAreSearched) {
    FakeLister fs;
    const FileId music{1, 50};
    fs.directories["/"] = {fs.dir(".hidden"),
                           link("link"),
                           fs.dir("usb", FileId{7, 1}),
                           fs.dir("music", music),
                           link("song.mp3"),
                           fs.dir(".old.mp3"),
                           fs.dir("d.mp3"),
                           fs.dir("gone"),
                           {"a.mp3"},
                           fs.dir("bound", FileId{1, 50, 9})};
    fs.directories["/music/"] = {
        {"a.mp3"}, fs.dir("again", music), fs.dir("root", {1, 1}), {"b.mp3"}};
    fs.directories["/d.mp3/"] = {};
    EXPECT_EQ(walk(fs, "/"),
              (Names{"/music/a.mp3", "/music/b.mp3", "/song.mp3", "/.old.mp3", "/a.mp3"}));
    EXPECT_EQ(fs.listed, (Names{"/", "/music/", "/d.mp3/", "/gone/"}));

    FakeLister missing;
    EXPECT_TRUE(walk(missing, "/nowhere").empty());
    EXPECT_TRUE(missing.listed.empty());
}

TEST(DriveWalk, DeepTreesKeepTheirPaths) {
    FakeLister fs;
    std::string path = "/";
    for (int depth = 0; depth < 300; ++depth, path += "d/")
        fs.directories[path] = {{"x.mp3"}, fs.dir("d")};
    const Names found = walk(fs, "/");
    ASSERT_EQ(found.size(), 300U);
    EXPECT_EQ(found.back(), path.substr(0, path.size() - 2) + "x.mp3");
}

TEST(DriveWalk, StopsAtOnce) {
    FakeLister fs;
    fs.directories["/"] = {fs.dir("a"), {"z.mp3"}};
    fs.directories["/a/"] = {{"1.mp3"}, {"2.mp3"}, fs.dir("b")};
    fs.directories["/a/b/"] = {{"3.mp3"}};
    Collect sink;
    tb::WalkOptions options;
    options.stop = &sink.found1;
    EXPECT_EQ(tb::walkForMp3(fs, "/", sink, options), tb::WalkEnd::Stopped);
    EXPECT_EQ(sink.entries, Names{"/a/1.mp3"});
    EXPECT_EQ(fs.listed, (Names{"/", "/a/"}));
}
