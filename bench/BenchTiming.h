#pragma once

// Wall and processor time of repeated runs of one step, for the benchmarks
// whose work runs on one thread (on a loaded machine the wall time also holds
// the waits for a processor).

#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

struct Timing
{
    double best = 0;     // ms
    double median = 0;   // ms
    double bestCpu = 0;  // ms of the thread's processor time
};

inline double ThreadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

inline Timing TimeRuns(int runs, const std::function<void()>& step)
{
    std::vector<double> ms;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        const double cpuStart = ThreadCpuMs();
        timer.start();
        step();
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(ThreadCpuMs() - cpuStart);
    }
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2], *std::min_element(cpu.begin(), cpu.end())};
}
