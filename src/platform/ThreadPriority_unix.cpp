#include "platform/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tb {

void lowerThisThreadsPriority() {
#ifdef SYS_gettid
    // On Linux the nice value is each thread's own. A worker that keeps its priority
    // is merely slower to yield, so a failure is of no consequence.
    constexpr int kWorkerNice = 5;
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kWorkerNice);
#endif
}

} // namespace tb
