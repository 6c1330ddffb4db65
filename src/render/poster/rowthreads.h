#pragma once

#include <QtGlobal>

#include <system_error>
#include <thread>
#include <vector>

namespace Vorlane {

// Calls work(row) for rows 0 to rows − 1, shared out among one thread for
// every processor; for work whose every row depends on nothing another row
// writes. When fewer threads start, the calling thread does the rest.
template<typename Work>
void shareRowsAmongThreads(int rows, const Work &work)
{
    const int threads = int(qBound(1u, std::thread::hardware_concurrency(), 64u));
    const auto some = [&](int start) {
        for (int row = start; row < rows; row += threads)
            work(row);
    };
    std::vector<std::thread> helpers;
    try {
        for (int t = 1; t < threads; ++t)
            helpers.emplace_back(some, t);
    } catch (const std::system_error &) {
        // Fewer helpers: the rows of those that did not start are done below.
    }
    for (int t = int(helpers.size()) + 1; t < threads; ++t)
        some(t);
    some(0);
    for (std::thread &helper : helpers)
        helper.join();
}

} // namespace Vorlane
