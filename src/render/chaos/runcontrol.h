#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>

namespace Vorlane {

// How a run of either renderer is carried out; none of it changes a bit of
// the picture.
struct RunControl
{
    // Threads to work on; 0 for one a core.
    int threads = 0;
    // The window's renderer gives a thread of its own no fewer points.
    qint64 pointsPerThread = 200000;
    // Told the work done and the work of the whole run. The window's renderer
    // counts progress steps of progressStep(totalPoints) points and tells
    // each step once, in order, on the calling thread, at most a few
    // milliseconds late; the poster counts points and tells them from a
    // worker thread every few million points.
    std::function<void(qint64 done, qint64 total)> onProgress;
    // When it turns true the run stops soon, keeping what it has done.
    const std::atomic<bool> *stop = nullptr;

    bool stopped() const { return stop != nullptr && stop->load(std::memory_order_relaxed); }
};

// The threads a run asks for: requested, or one a core when it is 0.
int runThreads(int requested);

} // namespace Vorlane
