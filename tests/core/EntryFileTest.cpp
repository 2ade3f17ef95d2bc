#include "playlist/formats/EntryFile.h"

#include <gtest/gtest.h>

#include <set>

namespace {

#ifndef _WIN32 // the paths are those of Linux; Windows names differ in their separators

const std::set<std::string> kFiles = {"/music/a b.mp3", "/lists/rel/c.mp3", "/lists/d\\e.mp3",
                                      "/lists/win/f.mp3", "/music/ž.mp3"};

struct ResolveCase {
    const char* entry;
    const char* file; // empty: names none
    friend void PrintTo(const ResolveCase& c, std::ostream* out) { *out << c.entry; }
};

bool exists(const std::string& path) {
    return kFiles.contains(path);
}

class EntryFileResolve : public testing::TestWithParam<ResolveCase> {};

TEST_P(EntryFileResolve, NamesTheFile) {
    EXPECT_EQ(tb::resolveEntryFile(GetParam().entry, "/lists", exists), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(EntryFile, EntryFileResolve,
                         testing::Values(ResolveCase{"/music/a b.mp3", "/music/a b.mp3"},
                                         ResolveCase{"rel/c.mp3", "/lists/rel/c.mp3"},
                                         ResolveCase{"/music/missing.mp3", ""}, ResolveCase{"", ""},
                                         ResolveCase{"file:///music/a%20b.mp3", "/music/a b.mp3"},
                                         ResolveCase{"FILE://localhost/music/%C5%BE.mp3",
                                                     "/music/ž.mp3"},
                                         ResolveCase{"file:///music/%c5%be.mp3", "/music/ž.mp3"},
                                         ResolveCase{"file:/music/a%20b.mp3", "/music/a b.mp3"},
                                         ResolveCase{"file://elsewhere/music/a%20b.mp3", ""},
                                         ResolveCase{"file:///music/a%2", ""},
                                         // A backslash is a name's own character while that name
                                         // exists, and a separator only where it does not.
                                         ResolveCase{"d\\e.mp3", "/lists/d\\e.mp3"},
                                         ResolveCase{"win\\f.mp3", "/lists/win/f.mp3"},
                                         ResolveCase{"\\music\\a b.mp3", "/music/a b.mp3"}));

TEST(EntryFile, AListInTheRootFolderNamesItsFiles) {
    EXPECT_EQ(tb::resolveEntryFile("music/a b.mp3", "/", exists), "/music/a b.mp3");
}

TEST(EntryFile, LocationsRoundTrip) {
    struct Case {
        std::string entry;
        std::string location;
    };
    for (const Case& c : std::vector<Case>{
             {"/music/a b.mp3", "file:///music/a%20b.mp3"},
             {"rel/ž#1?.mp3", "rel/%C5%BE%231%3F.mp3"},
             {"a:b/c.mp3", "a%3Ab/c.mp3"},
             {"win\\f.mp3", "win%5Cf.mp3"},
             {std::string("/\xE8\x01%.mp3"), "file:///%E8%01%25.mp3"},
             {"http://radio.example/s?q=1", "http://radio.example/s?q=1"},
             {"http://bad example", "http%3A//bad%20example"},
         }) {
        EXPECT_EQ(tb::locationFromEntry(c.entry), c.location);
        EXPECT_TRUE(tb::isUriReference(c.location)) << c.location;
        EXPECT_EQ(tb::entryFromLocation(c.location), c.entry) << c.location;
    }
    // An IRI goes out as a URI, and stays one.
    EXPECT_EQ(tb::locationFromEntry("ftp://h/ž"), "ftp://h/%C5%BE");
    // Other writers' forms: a share elsewhere kept as it is.
    EXPECT_EQ(tb::entryFromLocation("file://host/x.mp3"), "file://host/x.mp3");
}

#endif

TEST(EntryFile, WhatIsNoUriReference) {
    for (const char* text : {"a b", "%", "%4", "%G0", "a\"b", "a<b", "a\\b", "a\nb", "{x}"}) {
        EXPECT_FALSE(tb::isUriReference(text)) << text;
        EXPECT_FALSE(tb::entryFromLocation(text)) << text;
    }
    for (const char* text : {"", "a%2fB", "http://h/p?q#f", "mailto:x@y", "žluť"})
        EXPECT_TRUE(tb::isUriReference(text)) << text;
    EXPECT_FALSE(tb::fileUriPath("file:///a%00b"));
    EXPECT_FALSE(tb::fileUriPath("http:///a"));
}

} // namespace
