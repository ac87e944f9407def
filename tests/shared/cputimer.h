#pragma once
// The CPU time of the process (all its threads, user and system): what a test's own
// work costs, which the wall clock is not while other processes share the cores. A
// bound on it leaves room for the sanitizers, which slow the work down several times;
// a wait (a blocked read, a sleep) costs none, so a hang of that kind needs a check
// of its own.

#include <QString>
#include <QTest>
#include <QtGlobal>

#include <ctime>

class CpuTimer {
public:
    CpuTimer() : m_start(now()) {}
    void restart() { m_start = now(); }
    qint64 nsecsElapsed() const { return now() - m_start; }
    qint64 elapsed() const { return nsecsElapsed() / 1000000; }   // milliseconds

private:
    static qint64 now()
    {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
    }

    qint64 m_start;
};

// Fails when `timer` counted `boundMs` milliseconds of CPU time or more.
#define VERIFY_CPU_BELOW(timer, boundMs)                                                                     \
    do {                                                                                                     \
        const qint64 cpuMs_ = (timer).elapsed();                                                             \
        QVERIFY2(cpuMs_ < (boundMs),                                                                         \
                 qPrintable(QStringLiteral("%1 ms of CPU time, bound %2 ms").arg(cpuMs_).arg(boundMs)));     \
    } while (false)

// For a ratio of two sizes of one workload: `measure(size)` builds and runs the work
// of that size and returns the CPU nanoseconds its measured part took, or -1 when the
// work went wrong. The sizes run by turns, `rounds` times each, and each keeps its
// least time, so that a busier stretch of the machine (a shared cache, a busy sibling
// core) weighs on both or on neither. Both results are -1 after a failed run.
struct LeastCpu {
    qint64 small = -1;
    qint64 large = -1;
};

template <class Measure>
LeastCpu leastCpuByTurns(int small, int large, const Measure& measure, int rounds = 3)
{
    LeastCpu least;
    for (int round = 0; round < rounds; ++round) {
        for (const bool isLarge : { false, true }) {
            const qint64 ns = measure(isLarge ? large : small);
            if (ns < 0)
                return LeastCpu();
            qint64& best = isLarge ? least.large : least.small;
            if (best < 0 || ns < best)
                best = ns;
        }
    }
    return least;
}
