#pragma once
// How far the process's peak resident memory rose within a scope: the peak is reset
// to the current size when the scope starts (Linux 4.0 and later), so that an
// earlier, larger peak does not hide what the scope cost.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>
#include <QtGlobal>

#include <algorithm>

class PeakMemory {
public:
    PeakMemory()
    {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        m_valid = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
        clear.close();
        m_startKb = statusKb("VmRSS:");
        m_valid = m_valid && m_startKb >= 0;
    }

    // Megabytes the peak rose above the resident size at the start; -1 when the
    // system cannot tell (check it with VERIFY_PEAK_GROWTH_BELOW).
    qint64 growthMb() const
    {
        const qint64 peak = m_valid ? statusKb("VmHWM:") : -1;
        return peak < 0 ? -1 : std::max<qint64>(peak - m_startKb, 0) / 1024;
    }

private:
    static qint64 statusKb(const char* field)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith(field))
                return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
        }
        return -1;
    }

    bool m_valid = false;
    qint64 m_startKb = -1;
};

// Fails when the peak rose by `boundMb` megabytes or more (`grownMb`, from growthMb()).
// Where the system cannot tell (no /proc, or no reset of the peak) the rest of the
// test is skipped, saying why: a bound compared with "unknown" would always pass.
#define VERIFY_PEAK_GROWTH_BELOW(grownMb, boundMb)                                                           \
    do {                                                                                                     \
        const qint64 grown_ = (grownMb);                                                                     \
        if (grown_ < 0)                                                                                      \
            QSKIP("peak memory unknown: /proc/self/clear_refs or /proc/self/status unusable here");          \
        QVERIFY2(grown_ < (boundMb),                                                                         \
                 qPrintable(QStringLiteral("the peak grew by %1 MB, bound %2 MB").arg(grown_).arg(boundMb))); \
    } while (false)
