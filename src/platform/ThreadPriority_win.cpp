#include "platform/ThreadPriority.h"

#include <windows.h>

namespace tb {

void lowerThisThreadsPriority() {
    // A worker that keeps its priority is merely slower to yield.
    (void)SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

} // namespace tb
