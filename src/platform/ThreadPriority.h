#pragma once

namespace tb {

// Lets the calling thread yield to the window's thread: a long job on a worker then
// takes what the processor has to spare, and the window answers at once when it
// wakes, however many cores the job keeps busy.
void lowerThisThreadsPriority();

} // namespace tb
