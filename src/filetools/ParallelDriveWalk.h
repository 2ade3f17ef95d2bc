#pragma once

#include "filetools/DriveWalk.h"

#include <functional>
#include <memory>

namespace tb {

// Makes a lister for one thread of the walk; called once for each lister needed.
using DirectoryListerFactory = std::function<std::unique_ptr<DirectoryLister>()>;

// The same walk as walkForMp3, with the same matches in the same order, on two threads:
// the calling thread walks and reports as walkForMp3 does, while a helper takes
// folders the walk has listed but not yet reached (the last pending one at the
// shallowest level) and searches them into a buffer of its own, which the calling
// thread reports when the walk comes to that folder; while it waits there, it takes
// such folders itself. Each thread keeps its own listers. The sink is called only on
// the calling thread. The stop flag ends both threads promptly.
WalkEnd walkForMp3Parallel(const DirectoryListerFactory& makeLister,
                           std::string_view startDirectory, WalkSink& sink,
                           const WalkOptions& options = {});

} // namespace tb
