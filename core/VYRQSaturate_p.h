#pragma once

// Saturating integer helpers for paint and layout code that adds or scales numbers
// read from pages and style files: any int may arrive there, and an overflow is
// undefined behaviour, so results are computed wide and clamped back into int.

#include <QRect>
#include <QtGlobal>

#include <algorithm>
#include <climits>
#include <cmath>

namespace vyr {

inline int clampInt(qint64 value)
{
    return int(std::clamp<qint64>(value, INT_MIN, INT_MAX));
}

inline int clampInt(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, double(INT_MIN), double(INT_MAX)));
}

inline int addSat(int a, int b) { return clampInt(qint64(a) + b); }
inline int subSat(int a, int b) { return clampInt(qint64(a) - b); }

// A rectangle that Qt's own arithmetic (right = x + w - 1) cannot overflow: sizes
// within QWIDGETSIZE_MAX, positions within the rest of the int range.
inline QRect safeRect(qint64 x, qint64 y, qint64 w, qint64 h)
{
    constexpr qint64 maxSize = 16777215;
    constexpr qint64 maxPos = INT_MAX - maxSize;
    return QRect(int(std::clamp(x, -maxPos, maxPos)), int(std::clamp(y, -maxPos, maxPos)),
                 int(std::clamp(w, -maxSize, maxSize)), int(std::clamp(h, -maxSize, maxSize)));
}

} // namespace vyr
