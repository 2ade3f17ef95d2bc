#include "playlist/store/KeptPlaylist.h"
#include "platform/Sqlite.h"
#include "support/ScratchDirectory.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Every row's text and side bytes in order: what the keeping must bring back.
std::string state(const tb::EntryStore& store) {
    std::string all;
    for (std::size_t row = 0; row < store.size(); ++row) {
        all += std::to_string(store.at(row).size()) + ':' + std::string(store.at(row));
        all += std::to_string(store.side(row).size()) + ':' + std::string(store.side(row));
    }
    return all;
}

// One random change of the kinds the playlist makes, undo's putting back included.
void change(tb::EntryStore& store, tb::EntryStore& earlier, std::mt19937& random) {
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const std::size_t kind = pick(store.empty() ? 1 : 5);
    if (kind == 1) {
        std::swap(store, earlier);
        return;
    }
    earlier = store.copy();
    switch (kind) {
    case 0: {
        const std::size_t count = 1 + pick(40);
        for (std::size_t i = 0; i < count; ++i) {
            std::string text(pick(60), static_cast<char>(pick(256)));
            text += std::to_string(random());
            if (i % 3 == 0)
                store.append(text, "/hudba/" + text.substr(0, 5));
            else if (i % 3 == 1)
                store.appendItem({text, "Umělec - Píseň", "Píseň", "Umělec", "Album", 1234, "f"});
            else
                store.append(i % 2 ? text : std::string("stejný"));
        }
        break;
    }
    case 2: {
        std::vector<bool> remove(store.size());
        for (std::size_t i = 0; i < remove.size(); ++i)
            remove[i] = pick(3) == 0;
        if (remove.size() % 2)
            store.removeFlagged(remove); // in place, as the playlist removes
        else
            store = store.withoutFlagged(remove);
        break;
    }
    case 3: {
        std::vector<std::uint32_t> rows(store.size());
        std::iota(rows.begin(), rows.end(), 0u);
        std::shuffle(rows.begin(), rows.end(), random);
        store.reorder(rows);
        break;
    }
    default:
        store.clear();
    }
}

// What does not hold a playlist of ours is refused, and set aside rather than deleted.
TEST(KeptPlaylist, RefusesWhatItCannotReadAndSetsItAside) {
    ScratchDirectory folder;
    const std::string path = folder.path() + "/playlist.db";
    const auto refused = [&] {
        tb::KeptPlaylist kept(path);
        EXPECT_THROW(kept.open(), tb::IoError);
        const std::string aside = tb::KeptPlaylist::setAside(path);
        EXPECT_FALSE(fs::exists(path));
        EXPECT_TRUE(fs::exists(aside));
        return aside;
    };
    { std::ofstream(path) << "not a database at all, but some bytes of another file"; }
    const std::string first = refused();
    fs::create_directory(path); // a folder in its place
    EXPECT_NE(refused(), first);
    tb::KeptPlaylist(path).keep(tb::EntryStore());
    tb::SqliteDatabase(path, false).exec("PRAGMA user_version=2"); // a newer program's layout
    refused();
}

// A store or its log cut anywhere opens to a state that was kept whole, or is refused.
TEST(KeptPlaylist, CutFilesOpenToAKeptStateOrAreRefused) {
    ScratchDirectory folder;
    const std::string path = folder.path() + "/playlist.db";
    std::mt19937 random(11);
    std::vector<std::string> kept;
    tb::EntryStore playlist, earlier;
    {
        tb::KeptPlaylist writer(path);
        for (int step = 0; step < 25; ++step) {
            change(playlist, earlier, random);
            writer.keep(playlist);
            kept.push_back(state(playlist));
        }
        // Copies of the open file: the log still holds the changes.
        for (const char* suffix : {"", "-wal"})
            fs::copy_file(path + suffix, path + ".whole" + suffix);
    }
    int opened = 0;
    for (int trial = 0; trial < 60; ++trial) {
        for (const char* suffix : {"", "-wal"})
            fs::copy_file(path + ".whole" + suffix, path + suffix,
                          fs::copy_options::overwrite_existing);
        const std::string cut = path + (trial % 2 ? "-wal" : "");
        fs::resize_file(
            cut, std::uniform_int_distribution<std::uintmax_t>(0, fs::file_size(cut))(random));
        tb::KeptPlaylist reader(path);
        try {
            const std::string read = state(reader.open());
            EXPECT_TRUE(read.empty() || std::find(kept.begin(), kept.end(), read) != kept.end())
                << "trial " << trial;
            ++opened;
        } catch (const tb::IoError&) {
        }
    }
    EXPECT_GT(opened, 0);
}

// A writer killed at any moment leaves the state of its last completed write, or of the
// one it was making: never a mixture, never an older one.
TEST(KeptPlaylist, KilledWriterLeavesALastState) {
    ScratchDirectory folder;
    const std::string path = folder.path() + "/playlist.db";
    std::mt19937 random(2026);
    const auto hashOf = [](const tb::EntryStore& store) {
        return std::hash<std::string>()(state(store));
    };
    std::size_t kept = hashOf(tb::EntryStore()); // what the store holds as each child starts
    for (int kill = 0; kill < 200; ++kill) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const unsigned seed = random();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Says "b" and the state's hash before each write, in one piece, and "d" after.
            std::mt19937 childRandom(seed);
            tb::KeptPlaylist writer(path);
            tb::EntryStore playlist = writer.open(), earlier;
            for (char said[1 + sizeof kept] = {'b'};;) {
                change(playlist, earlier, childRandom);
                const std::size_t next = hashOf(playlist);
                std::memcpy(said + 1, &next, sizeof next);
                (void)!::write(pipeEnds[1], said, sizeof said);
                writer.keep(playlist);
                (void)!::write(pipeEnds[1], "d", 1);
            }
        }
        ::close(pipeEnds[1]);
        // A random moment to kill at, not a wait for anything.
        ::usleep(std::uniform_int_distribution<unsigned>(1000, 60000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        std::size_t inFlight = kept;
        char said[1 + sizeof kept];
        while (::read(pipeEnds[0], said, 1) == 1) {
            if (said[0] == 'd')
                kept = inFlight;
            else if (::read(pipeEnds[0], said + 1, sizeof kept) == sizeof kept)
                std::memcpy(&inFlight, said + 1, sizeof kept);
        }
        ::close(pipeEnds[0]);
        tb::KeptPlaylist reader(path);
        const std::size_t read = hashOf(reader.open());
        EXPECT_TRUE(read == kept || read == inFlight) << "kill " << kill;
        kept = read;
    }
}

} // namespace
