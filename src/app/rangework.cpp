#include "rangework.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

#if defined(__linux__)
#include <pthread.h>
#include <sched.h>
#endif

namespace Tunesmith
{

namespace
{

// Below this many ranges a thread's start costs about what it saves.
constexpr qsizetype minRangesForHelper = 4;

#if defined(__linux__)
// The CPUs the calling thread may run on other than the one it runs on now; false when there is none.
bool otherCpus(cpu_set_t *others)
{
    CPU_ZERO(others);
    if (sched_getaffinity(0, sizeof(cpu_set_t), others) != 0)
        return false;
    const int here = sched_getcpu();
    if (here >= 0 && here < CPU_SETSIZE)
        CPU_CLR(here, others);
    return CPU_COUNT(others) > 0;
}
#endif

// A thread running work beside the caller, or none when the process has a single CPU or no thread can be started.
std::thread startHelper(const std::function<void()> &work)
{
    std::thread helper;
#if defined(__linux__)
    cpu_set_t others;
    if (!otherCpus(&others))
        return helper;
#else
    if (std::thread::hardware_concurrency() < 2)
        return helper;
#endif
    try {
        helper = std::thread(work);
    } catch (const std::system_error &) {
        return helper; // the caller does all the work
    }
#if defined(__linux__)
    // Linux may start a new thread on its parent's CPU and leave it waiting there for as long as the parent keeps
    // busy, which would leave every range to the caller: the helper is asked to run elsewhere.
    pthread_setaffinity_np(helper.native_handle(), sizeof(cpu_set_t), &others);
#endif
    return helper;
}

} // namespace

qsizetype rangeCount(qsizetype count, qsizetype rangeSize)
{
    return count <= 0 ? 0 : (count + rangeSize - 1) / rangeSize;
}

void forEachRange(qsizetype count, qsizetype rangeSize,
                  const std::function<void(qsizetype begin, qsizetype end, qsizetype range)> &work)
{
    const qsizetype ranges = rangeCount(count, rangeSize);
    std::atomic<qsizetype> next{0};
    const std::function<void()> takeRanges = [&] {
        for (qsizetype range = next++; range < ranges; range = next++)
            work(range * rangeSize, std::min(count, (range + 1) * rangeSize), range);
    };
    std::thread helper = ranges >= minRangesForHelper ? startHelper(takeRanges) : std::thread();
    takeRanges();
    if (helper.joinable())
        helper.join();
}

} // namespace Tunesmith
