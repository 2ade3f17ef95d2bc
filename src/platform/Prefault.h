#pragma once

#include <cstddef>

namespace tb {

// Faults in, on a helper thread, memory that the window's thread is about to fill.
// A fresh page on a virtual machine whose host has taken its free memory back costs
// the host's fault as well as the guest's, several times the copy that fills it; a
// playlist of a million entries touches 48 MB of them. Asked a little ahead of the
// writer, the helper takes those faults on the other core.
//
// It only ever asks the system to back the pages (MADV_POPULATE_WRITE), never reads
// or writes them, so what the writer put there stays as it was. Where the system
// cannot do that (other systems, kernels before 5.14) nothing is done, and the
// writer takes its own faults as before.
class Prefaulter {
public:
    // The one helper the program's stores share; its thread starts with the first ask.
    static Prefaulter& shared();

    // Backs [start, start + length) soon; ranges are taken in the order asked.
    void ask(void* start, std::size_t length);
    // Drops what is still to do within [start, start + length), and waits for a step
    // there under way, so that the piece may then be given back to the system.
    void forget(const void* start, std::size_t length);
    // Waits until all that was asked is done (for tests and benches).
    void waitUntilIdle();

    Prefaulter(const Prefaulter&) = delete;
    Prefaulter& operator=(const Prefaulter&) = delete;

private:
    Prefaulter();
    ~Prefaulter();
    struct State;
    State* state_;
};

} // namespace tb
