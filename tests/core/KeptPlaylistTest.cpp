#include "playlist/store/KeptPlaylist.h"
#include "platform/Sqlite.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
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

struct Folder {
    Folder() {
        path = fs::temp_directory_path() /
               ("kept-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~Folder() { fs::remove_all(path); }
    std::string file(const char* name) const { return (path / name).string(); }
    fs::path path;
    static inline int counter = 0;
};

// One random change of the kinds the playlist makes: appends (with files and what a
// playlist file said), removals, reorderings and emptying.
void change(tb::EntryStore& store, std::mt19937& random) {
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    switch (pick(store.empty() ? 1 : 5)) {
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
    case 1:
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
        for (std::uint32_t i = 0; i < rows.size(); ++i)
            rows[i] = i;
        std::shuffle(rows.begin(), rows.end(), random);
        tb::EntryStore reordered = store.copy();
        reordered.reorder(rows);
        store = std::move(reordered);
        break;
    }
    default:
        store.clear();
    }
}

// Every change comes back exactly from a store opened afresh, whatever the changes did to
// the rows, and a closed store writes the playlist whole again.
TEST(KeptPlaylist, OpensToTheLastKeptStateAfterEveryKindOfChange) {
    Folder folder;
    const std::string path = folder.file("playlist.db");
    std::mt19937 random(7);
    tb::EntryStore playlist;
    tb::KeptPlaylist writer(path);
    EXPECT_EQ(writer.open().size(), 0u); // no file yet: an empty playlist
    for (int step = 0; step < 60; ++step) {
        tb::EntryStore before = playlist.copy();
        change(playlist, random);
        if (step % 7 == 3)
            playlist = std::move(before); // as undo puts an earlier state back
        writer.keep(playlist.copy());     // the copy goes, as the window's snapshot does
        if (step % 10 == 9) {
            writer.close();
            tb::KeptPlaylist reader(path);
            ASSERT_EQ(state(reader.open()), state(playlist)) << "after step " << step;
            reader.close();
            writer.open();
        }
    }
}

// What does not hold a playlist of ours is refused, and set aside rather than deleted.
TEST(KeptPlaylist, RefusesWhatItCannotReadAndSetsItAside) {
    Folder folder;
    const std::string path = folder.file("playlist.db");
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
    {
        tb::KeptPlaylist kept(path);
        tb::EntryStore one;
        one.append("a");
        kept.keep(one);
    }
    {
        tb::SqliteDatabase db(path, false);
        db.exec("PRAGMA user_version=2"); // a newer program's layout
    }
    refused();
}

// A store or its log cut anywhere opens to a state that was kept whole, or is refused.
TEST(KeptPlaylist, CutFilesOpenToAKeptStateOrAreRefused) {
    Folder folder;
    const std::string path = folder.file("playlist.db");
    std::mt19937 random(11);
    std::vector<std::string> kept;
    tb::EntryStore playlist;
    {
        tb::KeptPlaylist writer(path);
        for (int step = 0; step < 25; ++step) {
            change(playlist, random);
            writer.keep(playlist);
            kept.push_back(state(playlist));
        }
        // Copies of the open file: the log still holds the changes.
        fs::copy_file(path, folder.file("whole.db"));
        fs::copy_file(path + "-wal", folder.file("whole.db-wal"));
    }
    int opened = 0;
    for (int trial = 0; trial < 60; ++trial) {
        for (const char* suffix : {"", "-wal"})
            fs::copy_file(folder.file("whole.db") + suffix, path + suffix,
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
    Folder folder;
    const std::string path = folder.file("playlist.db");
    std::mt19937 random(2026);
    constexpr int kKills = 200;
    int kills = 0;
    // What the store holds before each child starts.
    std::string kept = std::to_string(std::hash<std::string>()(std::string()));
    for (int kill = 0; kill < kKills; ++kill) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const unsigned seed = random();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            std::mt19937 childRandom(seed);
            tb::KeptPlaylist writer(path);
            tb::EntryStore playlist = writer.open();
            for (;;) {
                change(playlist, childRandom);
                // The state's hash: its bytes may hold any byte, the markers too.
                const std::string next =
                    std::to_string(std::hash<std::string>()(state(playlist))) + '\n';
                // "b" and the state before a write, "d" once it is kept.
                (void)!::write(pipeEnds[1], "b", 1);
                (void)!::write(pipeEnds[1], next.data(), next.size());
                writer.keep(playlist);
                (void)!::write(pipeEnds[1], "d", 1);
            }
        }
        ::close(pipeEnds[1]);
        ::usleep(std::uniform_int_distribution<unsigned>(1000, 60000)(random));
        ::kill(child, SIGKILL);
        ++kills;
        ::waitpid(child, nullptr, 0);
        std::string said;
        char buffer[65536];
        for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
            said.append(buffer, static_cast<std::size_t>(got));
        ::close(pipeEnds[0]);

        // The last completed state, and the one being written when the kill came.
        std::vector<std::string> states;
        std::vector<bool> done;
        for (std::size_t at = 0; at < said.size();) {
            if (said[at] == 'd') {
                done.back() = true;
                ++at;
                continue;
            }
            const std::size_t end = said.find('\n', at);
            if (end == std::string::npos)
                break; // cut off mid-state: its write had not begun
            states.push_back(said.substr(at + 1, end - at - 1));
            done.push_back(false);
            at = end + 1;
        }
        tb::KeptPlaylist reader(path);
        const std::string read = std::to_string(std::hash<std::string>()(state(reader.open())));
        // The last state kept whole: the last done, else what the child opened.
        std::string lastKept = kept;
        for (std::size_t i = states.size(); i-- > 0;)
            if (done[i]) {
                lastKept = states[i];
                break;
            }
        const bool isInFlight = !states.empty() && !done.back() && read == states.back();
        EXPECT_TRUE(read == lastKept || isInFlight) << "kill " << kill;
        kept = read;
    }
    EXPECT_EQ(kills, kKills);
}

} // namespace
