#pragma once

// The row a benchmark prints for each figure, which bench/bench_table.py reads:
//   "  <name, 34 wide> ours <value> <unit>  Qt <value> <unit>  ratio <ours / Qt>  (<note>)"
// The ratio reads "n/a" when the two sides did different work; a figure without a Qt
// side prints its own value only.

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace benchrow {

inline double msSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Milliseconds of CPU time spent so far: by the whole process, on all its threads, or
// (CLOCK_THREAD_CPUTIME_ID) by the calling thread alone.
inline double cpuMs(clockid_t clock = CLOCK_PROCESS_CPUTIME_ID)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The middle figure of a run's samples; 0 for none.
inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

inline void print(const char* name, double ours, double qt, const char* unit, bool sameWork, const char* note = "")
{
    if (sameWork)
        std::printf("  %-34s ours %9.3f %-2s  Qt %9.3f %-2s  ratio %5.2f%s%s\n", name, ours, unit, qt, unit, ours / qt,
                    *note ? "  " : "", note);
    else
        std::printf("  %-34s ours %9.3f %-2s  Qt %9.3f %-2s  ratio  n/a   (the two sides did different work)%s%s\n",
                    name, ours, unit, qt, unit, *note ? "  " : "", note);
}

inline void printOurs(const char* name, double ours, const char* unit, const char* note = "")
{
    std::printf("  %-34s ours %9.3f %-2s%s%s\n", name, ours, unit, *note ? "  " : "", note);
}

} // namespace benchrow
