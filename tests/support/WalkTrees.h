#pragma once

// What a drive walk finds, and real folder trees for it to walk.
#include "filetools/DriveWalk.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tb::test {

struct WalkEntries : tb::WalkSink {
    void found(std::string_view entry) override { entries.emplace_back(entry); }
    std::vector<std::string> entries;
};

#ifndef _WIN32
inline void makeDirectory(const std::string& path) {
    ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path;
}

inline void makeFile(const std::string& path) {
    ASSERT_TRUE(std::ofstream(path)) << path;
}

// A folder of `files` files, a third of them MP3s, and `folders` such folders, `levels` deep.
inline void makeTree(const std::string& path, int folders, int files, int levels) {
    makeDirectory(path);
    for (int i = 0; i < files; ++i)
        makeFile(path + "/t" + std::to_string(i) + (i % 3 == 0 ? ".mp3" : ".txt"));
    if (levels > 1)
        for (int i = 0; i < folders; ++i)
            makeTree(path + "/d" + std::to_string(i), folders, files, levels - 1);
}

// `levels` directories, each in the one before, each holding "f.mp3" and side folders with
// "s.mp3" made before and after the next level, so that in any listing order some folders
// are entered after the walk has climbed back up; paths may grow past what the system opens.
inline void makeChain(const std::string& root, int levels, const std::string& levelName) {
    const auto makeFile = [](int directoryFd, const char* name) {
        const int fd = ::openat(directoryFd, name, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0) << name;
        ::close(fd);
    };
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < levels; ++level) {
        ASSERT_EQ(::mkdirat(fd, "side1", 0755), 0);
        makeFile(fd, "side1/s.mp3");
        if (level + 1 < levels) {
            ASSERT_EQ(::mkdirat(fd, levelName.c_str(), 0755), 0);
        }
        ASSERT_EQ(::mkdirat(fd, "side2", 0755), 0);
        makeFile(fd, "side2/s.mp3");
        makeFile(fd, "f.mp3");
        makeFile(fd, "f.txt");
        if (level + 1 < levels) {
            const int next = ::openat(fd, levelName.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            ::close(fd);
            ASSERT_GE(next, 0) << level;
            fd = next;
        }
    }
    ::close(fd);
}
#endif

} // namespace tb::test
