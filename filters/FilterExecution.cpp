#include "FilterExecution.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <thread>
#include <vector>

namespace FilterExecution {

namespace {

std::atomic<int> g_threadCount{0};
std::atomic<bool> g_vectorCode{true};

// Below this much work a second thread costs more than it saves.
constexpr std::size_t kMinimumWorkPerThread = 1 << 15;

bool processorHasAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

} // namespace

void setThreadCount(int count) { g_threadCount = std::max(0, count); }

int threadCount()
{
    const int count = g_threadCount;
    if (count > 0)
        return count;
    return std::max(1u, std::thread::hardware_concurrency());
}

void setVectorCodeEnabled(bool enabled) { g_vectorCode = enabled; }
bool vectorCodeEnabled() { return g_vectorCode; }
bool useAvx2() { return g_vectorCode && processorHasAvx2(); }

void forEachRowBand(int rowCount, std::size_t workPerRow, const std::function<void(int, int)>& body)
{
    if (rowCount <= 0)
        return;
    const std::size_t totalWork = std::size_t(rowCount) * std::max<std::size_t>(workPerRow, 1);
    int bands = std::min(threadCount(), rowCount);
    bands = int(std::min<std::size_t>(std::size_t(bands), std::max<std::size_t>(1, totalWork / kMinimumWorkPerThread)));
    if (bands <= 1) {
        body(0, rowCount);
        return;
    }

    std::vector<std::exception_ptr> failures(static_cast<std::size_t>(bands));
    auto runBand = [&](int band) {
        const int first = int(std::int64_t(rowCount) * band / bands);
        const int end = int(std::int64_t(rowCount) * (band + 1) / bands);
        try {
            body(first, end);
        } catch (...) {
            failures[std::size_t(band)] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(std::size_t(bands - 1));
    try {
        for (int band = 1; band < bands; ++band)
            threads.emplace_back(runBand, band);
    } catch (...) {
        // No thread to be had: the remaining bands run here.
        for (int band = int(threads.size()) + 1; band < bands; ++band)
            runBand(band);
    }
    runBand(0);
    for (std::thread& thread : threads)
        thread.join();
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

} // namespace FilterExecution
