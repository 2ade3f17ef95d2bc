#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

// A fresh directory below the temporary folder, removed with all it holds when it goes,
// however deep, and whatever rights a test took away from the folders in it.
class ScratchDirectory {
public:
    ScratchDirectory() {
        namespace fs = std::filesystem;
        const fs::path temp = fs::temp_directory_path();
        std::random_device random;
        for (;;) { // a name no other test has taken; throws where none can be made
            const fs::path candidate = temp / ("tb-scratch-" + std::to_string(random()));
            if (fs::create_directory(candidate)) {
                path_ = candidate.string();
                return;
            }
        }
    }
    ~ScratchDirectory() {
        namespace fs = std::filesystem;
        std::error_code error;
        // Rights back first, a folder before what it holds, so that each can be listed and
        // emptied; links are left as they are, as what they lead to may lie outside.
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
        for (fs::recursive_directory_iterator it(path_, error), end; !error && it != end;
             it.increment(error)) {
            if (!it->is_symlink(error))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
            error.clear();
        }
        fs::remove_all(path_, error);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    // Without a separator at the end.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
