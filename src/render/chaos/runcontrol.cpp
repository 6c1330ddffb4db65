#include "render/chaos/runcontrol.h"

#include <QThread>

#include <algorithm>

namespace Vorlane {

int runThreads(int requested)
{
    return requested > 0 ? requested : std::max(1, QThread::idealThreadCount());
}

} // namespace Vorlane
