#include "platform/Prefault.h"

#include <gtest/gtest.h>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace {

// Fresh anonymous pages that no one has touched yet.
class FreshPages {
public:
    explicit FreshPages(std::size_t bytes) : bytes_(bytes) {
        void* start =
            ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        start_ = start == MAP_FAILED ? nullptr : static_cast<char*>(start);
    }
    ~FreshPages() {
        if (start_)
            ::munmap(start_, bytes_);
    }
    FreshPages(const FreshPages&) = delete;

    char* start() const { return start_; }
    std::size_t bytes() const { return bytes_; }
    std::size_t pages() const { return bytes_ / static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)); }
    std::size_t residentPages() const {
        std::vector<unsigned char> resident(pages());
        if (::mincore(start_, bytes_, resident.data()) != 0)
            return 0;
        std::size_t count = 0;
        for (unsigned char flags : resident)
            count += flags & 1;
        return count;
    }

private:
    std::size_t bytes_;
    char* start_ = nullptr;
};

// What it is asked to back is backed, the bytes as they were; a piece let go of while it
// still waits is not.
TEST(Prefaulter, BacksWhatItIsAskedAndForgetsWhatIsLetGo) {
    const FreshPages probe(static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)));
    if (::madvise(probe.start(), probe.bytes(), MADV_POPULATE_WRITE) != 0)
        GTEST_SKIP() << "this kernel has no MADV_POPULATE_WRITE";
    FreshPages pages(std::size_t{8} << 20);
    ASSERT_NE(pages.start(), nullptr);
    std::memcpy(pages.start() + 4096 * 3 + 17, "written before", 14);
    std::memcpy(pages.start() + pages.bytes() - 5, "last", 5);
    EXPECT_EQ(pages.residentPages(), 2u);

    // Not page-aligned at either end, as a block's unused rest is.
    tb::Prefaulter::shared().ask(pages.start() + 100, pages.bytes() - 200);
    tb::Prefaulter::shared().waitUntilIdle();

    EXPECT_EQ(pages.residentPages(), pages.pages());
    EXPECT_EQ(std::memcmp(pages.start() + 4096 * 3 + 17, "written before", 14), 0);
    EXPECT_STREQ(pages.start() + pages.bytes() - 5, "last");
    EXPECT_EQ(pages.start()[0], 0);
    EXPECT_EQ(pages.start()[pages.bytes() / 2], 0);

    // The helper is busy with the first piece for some milliseconds, so the second
    // is still waiting when it is let go of.
    FreshPages first(std::size_t{128} << 20);
    FreshPages second(std::size_t{4} << 20);
    ASSERT_NE(first.start(), nullptr);
    ASSERT_NE(second.start(), nullptr);
    tb::Prefaulter::shared().ask(first.start(), first.bytes());
    tb::Prefaulter::shared().ask(second.start(), second.bytes());
    tb::Prefaulter::shared().forget(second.start(), second.bytes());
    tb::Prefaulter::shared().waitUntilIdle();

    EXPECT_EQ(second.residentPages(), 0u);
    EXPECT_GT(first.residentPages(), 0u);
}

} // namespace
#endif
