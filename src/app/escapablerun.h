#pragma once

#include <atomic>
#include <functional>

namespace Vorlane {

// Runs work on a thread of its own while this thread waits in an event loop,
// so the windows keep painting and poll can show progress every few
// milliseconds. Meanwhile the only input that counts is Esc, which sets
// escPressed for work to watch; every other key, click, wheel turn or close
// request is dropped, also those still queued when work ends, so nothing
// given during the run acts after it.
void runAnsweringOnlyEsc(std::atomic<bool> &escPressed, const std::function<void()> &work,
                         const std::function<void()> &poll);

} // namespace Vorlane
