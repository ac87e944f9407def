#include "ChartStrokeCoverage_p.h"

#include "VYRQChartMath.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Each channel of x times a / 255, rounded as the raster engine's blending rounds it.
QRgb byteMul(QRgb x, uint a)
{
    quint64 t = ((quint64(x) | (quint64(x) << 24)) & 0x00ff00ff00ff00ffULL) * a;
    t = (t + ((t >> 8) & 0x00ff00ff00ff00ffULL) + 0x0080008000800080ULL) >> 8;
    t &= 0x00ff00ff00ff00ffULL;
    return uint(t) | uint(t >> 24);
}

// The columns of one band being filled: for each column, the accumulated area of
// each cell, the steps by which the share of the cells below changes, and the first
// and last cell touched.
struct BandCells {
    static constexpr float unit = 65536;
    qint32* cells;
    int stepOffset;  // from a column's cells to its steps
    int* low;
    int* high;
    int stride;
    int left;    // the band's first column
    int right;   // past its last
    float height;

    // The edge's signed share of each cell, spread down the columns it crosses so that
    // the sum of a column's cells from its top is the winding of the outline over
    // that pixel: each pixel column a rasteriser's scanline, turned on its side.
    // Within the bounds every coordinate is at least 0, where a cast floors it.
    // `weight` counts the edge that many times over.
    Q_ALWAYS_INLINE void addEdge(QPointF a, QPointF b, float weight = 1)
    {
        if (a.x() == b.x())
            return;
        float direction = weight;
        if (a.x() > b.x()) {
            std::swap(a, b);
            direction = -weight;
        }
        // Only what lies within the band is turned into columns: int() of anything
        // beyond an int's range is undefined.
        if (a.x() >= left && b.x() <= right && b.x() <= int(a.x()) + 1.0) {
            // Within one column, as most edges of a dense line are.
            addPiece(int(a.x()) - left, std::clamp(float(a.y()), 0.0f, height), std::clamp(float(b.y()), 0.0f, height),
                     float(b.x() - a.x()) * direction);
            return;
        }
        const double from = std::max(a.x(), double(left));
        const double to = std::min(b.x(), double(right));
        if (!(from < to))
            return;
        // A steep edge's slope may be infinite: at its own x, which would take 0 times
        // that, it is at its own y.
        const double slope = (b.y() - a.y()) / (b.x() - a.x());
        const auto yAt = [&](double x) {
            return std::clamp(float(x == a.x() ? a.y() : a.y() + (x - a.x()) * slope), 0.0f, height);
        };
        const int lastColumn = int(to) + (double(int(to)) < to) - 1;
        double x0 = from;
        float y0 = yAt(from);
        for (int column = int(from); column <= lastColumn; ++column) {
            const bool end = column == lastColumn;
            const double x1 = end ? to : column + 1.0;
            const float y1 = end && b.x() == to ? std::clamp(float(b.y()), 0.0f, height) : yAt(x1);
            addPiece(column - left, y0, y1, float(x1 - x0) * direction);
            x0 = x1;
            y0 = y1;
        }
    }

    // The share of an edge that crosses column c of the band from y0 to y1, `d` wide,
    // in units of 1/65536 of a pixel: whole numbers, summed without rounding.
    Q_ALWAYS_INLINE void addPiece(int c, float y0, float y1, float d)
    {
        qint32* cell = cells + c * stride;
        qint32* steps = cell + stepOffset;
        d *= unit;
        const float top = std::min(y0, y1);
        const float bottom = std::max(y0, y1);
        const int topCell = int(top);
        const int bottomCell = int(bottom) + (float(int(bottom)) < bottom);
        low[c] = std::min(low[c], topCell);
        const qint32 whole = qint32(d);
        if (bottomCell <= topCell + 1) {
            const float mid = 0.5f * (y0 + y1) - float(topCell);
            const qint32 below = qint32(d * mid);
            cell[topCell] += whole - below;
            cell[topCell + 1] += below;
            high[c] = std::max(high[c], topCell + 1);
            return;
        }
        const float s = 1.0f / (bottom - top);
        const float f0 = top - float(topCell);
        const float a0 = 0.5f * s * (1 - f0) * (1 - f0);
        const float f1 = bottom - float(bottomCell) + 1;
        const float am = 0.5f * s * f1 * f1;
        const qint32 first = qint32(d * a0);
        const qint32 final = qint32(d * am);
        cell[topCell] += first;
        qint32 given = first + final;
        if (bottomCell > topCell + 2) {
            const float a1 = s * (1.5f - f0);
            const qint32 second = qint32(d * (a1 - a0));
            cell[topCell + 1] += second;
            // The cells between take the same share each: it goes in as a step that
            // the composing sums down the column, whatever the length of the edge.
            const qint32 each = qint32(d * s);
            steps[topCell + 2] += each;
            steps[bottomCell - 1] -= each;
            given += second + each * (bottomCell - topCell - 3);
        }
        // The last but one cell takes what is left, so that the cells add up to the
        // whole share.
        cell[bottomCell - 1] += whole - given;
        cell[bottomCell] += final;
        high[c] = std::max(high[c], bottomCell);
    }
};

// The half-pixel column of x: std::floor is a call into the maths library where the
// compiler may not assume SSE4.1, and this runs for every point.
Q_ALWAYS_INLINE double halfColumn(double x)
{
    x *= 2;
    if (!(std::abs(x) < 1e15))
        return std::floor(x);
    const double t = double(qint64(x));
    return t > x ? t - 1 : t;
}

} // namespace

void ChartStrokeCoverage::begin(const QRect& bounds)
{
    m_bounds = bounds;
    m_points.clear();
    m_lines.clear();
}

void ChartStrokeCoverage::addLine(const QPointF* points, int count, double width, const QColor& color)
{
    if (!(width > 0) || !std::isfinite(width) || m_bounds.isEmpty())
        return;
    // Far outside, coordinates are cut to the bounds grown by more than the pen reaches:
    // the caps where the line is cut stay outside.
    const QRectF area = QRectF(m_bounds).adjusted(-width - 2, -width - 2, width + 2, width + 2);
    // The outline lies within a pen's width of the area: the distance between any two
    // of its points must be a finite number, or the arithmetic gives infinities and NaNs.
    if (!std::isfinite(area.width() + 2 * width) || !std::isfinite(area.height() + 2 * width))
        return;
    const double left = area.left();
    const double right = area.right();
    const double top = area.top();
    const double bottom = area.bottom();
    for (int i = 0; i < count; ++i) {
        const double x = points[i].x();
        const double y = points[i].y();
        if (std::isfinite(x) && std::isfinite(y) && !(x >= left && x <= right && y >= top && y <= bottom)) {
            QPolygonF line;
            for (int j = 0; j < count; ++j) {
                if (std::isfinite(points[j].x()) && std::isfinite(points[j].y()))
                    line.append(points[j]);
            }
            for (const QPolygonF& run : vyr::chart::clipPolyline(line, area))
                addRun(run.constData(), run.size(), width, color);
            return;
        }
    }
    addRun(points, count, width, color);
}

void ChartStrokeCoverage::addRun(const QPointF* points, int count, double width, const QColor& color)
{
    Line line;
    line.from = m_points.size();
    line.half = width / 2;
    line.color = qPremultiply(color.rgba());
    const QPointF origin = m_bounds.topLeft();
    const auto close = [&] {
        keepColumnExtremes(line.from);
        line.count = m_points.size() - line.from;
        if (line.count >= 2)
            m_lines.append(line);
        else
            m_points.resize(line.from);
        line.from = m_points.size();
    };
    for (int i = 0; i < count; ++i) {
        const QPointF p = points[i] - origin;
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            continue;
        if (m_points.size() > line.from) {
            const QPointF& previous = m_points.last();
            if (p == previous)
                continue;
            // The columns are walked left to right: a line that turns back goes on
            // as a line of its own.
            if (p.x() < previous.x())
                close();
        }
        m_points.append(p);
    }
    close();
}

void ChartStrokeCoverage::keepColumnExtremes(int from)
{
    // Of more than four points within half a pixel, the first, the highest, the lowest
    // and the last, in their order: the stroke through those covers what the whole
    // line's does to within a few hundredths of a pixel's share, once it crosses and
    // recrosses each pixel several times.
    QPointF* p = m_points.data();
    const int end = m_points.size();
    int kept = from;
    for (int i = from; i < end;) {
        const double column = halfColumn(p[i].x());
        int next = i + 1;
        int top = i;
        int bottom = i;
        for (; next < end && halfColumn(p[next].x()) == column; ++next) {
            top = p[next].y() < p[top].y() ? next : top;
            bottom = p[next].y() > p[bottom].y() ? next : bottom;
        }
        if (next - i <= 4) {
            for (int j = i; j < next; ++j)
                p[kept++] = p[j];
        } else {
            const int middle[] = {std::min(top, bottom), std::max(top, bottom)};
            p[kept++] = p[i];
            for (const int j : middle) {
                if (j != i && j != next - 1 && p[kept - 1] != p[j])
                    p[kept++] = p[j];
            }
            // The last may repeat the highest or the lowest: a segment of no length has
            // no direction.
            if (p[kept - 1] != p[next - 1])
                p[kept++] = p[next - 1];
        }
        i = next;
    }
    m_points.resize(kept);
}

bool ChartStrokeCoverage::drawsWith(const QTransform& t)
{
    return t.type() <= QTransform::TxScale && t.m11() == t.m22() && t.m11() > 0;
}

bool ChartStrokeCoverage::drawnAlready(const QTransform& toDevice) const
{
    if (m_bounds != m_drawnBounds || toDevice != m_drawnTransform || m_lines.size() != m_drawnLines.size()
        || m_points.size() != m_drawnPoints.size())
        return false;
    for (int k = 0; k < m_lines.size(); ++k) {
        const Line& a = m_lines.at(k);
        const Line& b = m_drawnLines.at(k);
        if (a.from != b.from || a.count != b.count || a.half != b.half || a.color != b.color)
            return false;
    }
    // Exactly the same coordinates, which QPointF's own comparison does not ask.
    return std::memcmp(m_points.constData(), m_drawnPoints.constData(), m_points.size() * sizeof(QPointF)) == 0;
}

int ChartStrokeCoverage::paint(QPainter& painter)
{
    const QTransform toDevice = painter.deviceTransform();
    const int width = m_bounds.width();
    const int height = m_bounds.height();
    // A band's image (128 bytes a row) holds fewer than 1 << 24 rows, and the cells'
    // offsets must stay within an int.
    if (m_lines.isEmpty() || width <= 0 || height <= 0 || height >= (1 << 24) || !drawsWith(toDevice)) {
        m_lines.clear();
        return 0;
    }
    if (!drawnAlready(toDevice)) {
        if (m_cells.size() != bandWidth * cellStride())
            m_cells.fill(0, bandWidth * cellStride());
        m_low.fill(INT_MAX, bandWidth);
        m_high.fill(-1, bandWidth);
        m_bands.resize((width + bandWidth - 1) / bandWidth);
        m_cursors.fill(0, m_lines.size());
        // The colour of each line at each coverage, as the raster engine blends a span
        // of it.
        m_shades.resize(256 * m_lines.size());
        for (int k = 0; k < m_lines.size(); ++k) {
            for (int coverage = 0; coverage < 256; ++coverage)
                m_shades[256 * k + coverage] = byteMul(m_lines.at(k).color, coverage);
        }
        for (int b = 0; b < m_bands.size(); ++b) {
            Band& band = m_bands[b];
            if (band.image.width() != bandWidth || band.image.height() != height) {
                band.image = QImage(bandWidth, height, QImage::Format_ARGB32_Premultiplied);
                if (band.image.isNull()) {
                    // No memory for it: nothing is drawn, and nothing kept.
                    m_bands.clear();
                    m_drawnLines.clear();
                    m_lines.clear();
                    return 0;
                }
                band.image.fill(Qt::transparent);
            } else {
                uchar* bits = band.image.bits();
                for (int y = band.top; y <= band.bottom; ++y)
                    std::memset(bits + y * band.image.bytesPerLine(), 0, bandWidth * sizeof(QRgb));
            }
            m_bandLeft = b * bandWidth;
            m_bandTop = INT_MAX;
            m_bandBottom = -1;
            std::fill(std::begin(m_drawnLow), std::end(m_drawnLow), INT_MAX);
            std::fill(std::begin(m_drawnHigh), std::end(m_drawnHigh), -1);
            for (int k = 0; k < m_lines.size(); ++k) {
                rasterizeBand(m_lines.at(k), m_cursors[k]);
                composeBand(m_shades.constData() + 256 * k, band.image);
            }
            band.top = m_bandTop;
            band.bottom = m_bandBottom;
        }
        // The points drawn are kept; those of the frame before take their place, to be
        // cleared by the next begin() with their memory kept.
        std::swap(m_points, m_drawnPoints);
        m_drawnLines = m_lines;
        m_drawnBounds = m_bounds;
        m_drawnTransform = toDevice;
    }
    m_lines.clear();
    const QTransform toLogical = toDevice.inverted();
    int images = 0;
    for (int b = 0; b < m_bands.size(); ++b) {
        Band& band = m_bands[b];
        if (band.bottom < band.top)
            continue;
        const int left = b * bandWidth;
        const int columns = std::min(bandWidth, width - left);
        band.image.setDevicePixelRatio(toDevice.m11());
        const QPointF at = toLogical.map(QPointF(m_bounds.left() + left, m_bounds.top() + band.top));
        painter.drawImage(at, band.image, QRectF(0, band.top, columns, band.bottom - band.top + 1));
        ++images;
    }
    return images;
}

void ChartStrokeCoverage::rasterizeBand(const Line& line, int& cursor)
{
    BandCells band{m_cells.data(), cellStride() / 2, m_low.data(), m_high.data(), cellStride(), m_bandLeft,
                   std::min(m_bandLeft + bandWidth, m_bounds.width()), float(m_bounds.height())};
    // Each segment's outline lies within the pen's width of it, caps included.
    const double h = line.half;
    const double reach = 2 * h + 1;
    const QPointF* p = m_points.constData() + line.from;
    const double left = m_bandLeft - reach;
    const double right = m_bandLeft + bandWidth + reach;
    while (cursor < line.count - 1 && p[cursor + 1].x() < left)
        ++cursor;
    // Scaled first: the squares of a span near the ends of the doubles would overflow,
    // those of one near their least vanish.
    const auto unit = [](const QPointF& from, const QPointF& to) {
        QPointF d = to - from;
        const double scale = std::max(std::abs(d.x()), std::abs(d.y()));
        if (!(scale > 0))
            return QPointF();
        d /= scale;
        return d / std::sqrt(d.x() * d.x() + d.y() * d.y());
    };
    // The outline the stroker draws around the line, edge by edge: each segment's two
    // sides, a square cap at either end of the line, and at each joint a bevel on the
    // outer side and a way through the joint on the inner one. Where a line goes on
    // almost straight, or turns almost straight back, that way encloses next to
    // nothing (at most 0.014 of a pixel at the stroke's 1.5 pixels): the sides are
    // joined straight across, as are those of a segment that goes on straight. The
    // joints left of the band lie beyond its reach, whatever the sides there.
    QPointF u = cursor < line.count - 1 ? unit(p[cursor], p[cursor + 1]) : QPointF();
    QPointF leftFrom;
    QPointF rightFrom;
    bool joined = false;
    for (int i = cursor; i < line.count - 1 && p[i].x() < right; ++i) {
        const QPointF a = p[i];
        const QPointF b = p[i + 1];
        const QPointF n = QPointF(-u.y(), u.x()) * h;
        const bool first = i == 0;
        const bool last = i == line.count - 2;
        const QPointF start = first ? a - u * h : a;
        const QPointF end = last ? b + u * h : b;
        if (!joined) {
            leftFrom = start + n;
            rightFrom = start - n;
        }
        band.addEdge(leftFrom, end + n);
        band.addEdge(end - n, rightFrom);
        if (first)
            band.addEdge(start - n, start + n);
        if (last) {
            band.addEdge(end + n, end - n);
            break;
        }
        const QPointF v = unit(b, p[i + 2]);
        const QPointF m = QPointF(-v.y(), v.x()) * h;
        const double turn = u.x() * v.y() - u.y() * v.x();
        const bool slight = std::abs(turn) < 0.05;
        joined = slight && u.x() * v.x() + u.y() * v.y() > 0;
        if (joined) {
            leftFrom = b + n;
            rightFrom = b - n;
        } else if (slight) {
            // Turning back, both sides cross the line at the joint along much the same
            // edge, taken as one counted twice.
            band.addEdge(b + (n - m) / 2, b + (m - n) / 2, 2);
        } else {
            if (turn > 0) {
                band.addEdge(b + n, b);
                band.addEdge(b, b + m);
            } else {
                band.addEdge(b + n, b + m);
            }
            if (turn < 0) {
                band.addEdge(b - m, b);
                band.addEdge(b, b - n);
            } else {
                band.addEdge(b - m, b - n);
            }
        }
        u = v;
    }
}

void ChartStrokeCoverage::composeBand(const QRgb* shade, QImage& image)
{
    const int stride = cellStride();
    const int stepOffset = stride / 2;
    const int rows = m_bounds.height();
    uchar* bits = image.bits();
    const int bytesPerLine = image.bytesPerLine();
    qint32* cells = m_cells.data();
    int* lows = m_low.data();
    int* highs = m_high.data();
    for (int c = 0; c < bandWidth; ++c) {
        if (highs[c] < 0)
            continue;
        qint32* cell = cells + c * stride;
        qint32* steps = cell + stepOffset;
        const int low = lows[c];
        const int high = std::min(highs[c], rows - 1);
        uchar* line = bits + low * bytesPerLine + c * sizeof(QRgb);
        qint32 sum = 0;
        qint32 step = 0;
        // The coverage as the raster engine's scan converter rounds it; over the rows
        // of the column that no line touched before, the shade as it is.
        const int drawnLow = std::max(m_drawnLow[c], low);
        const int drawnHigh = std::min(m_drawnHigh[c], high);
        const auto coverage = [&](int y) {
            step += steps[y];
            sum += cell[y] + step;
            return shade[std::min(std::abs(sum) >> 8, 255)];
        };
        int y = low;
        for (; y <= high && y < drawnLow; ++y, line += bytesPerLine)
            *reinterpret_cast<QRgb*>(line) = coverage(y);
        // No branch on whether the source hides the pixel: covered whole and partly
        // alternate too irregularly to predict.
        for (; y <= drawnHigh; ++y, line += bytesPerLine) {
            const QRgb source = coverage(y);
            QRgb* pixel = reinterpret_cast<QRgb*>(line);
            *pixel = source + byteMul(*pixel, 255 - qAlpha(source));
        }
        for (; y <= high; ++y, line += bytesPerLine)
            *reinterpret_cast<QRgb*>(line) = coverage(y);
        std::fill(cell + low, cell + highs[c] + 1, 0);
        std::fill(steps + low, steps + highs[c] + 1, 0);
        if (low <= high) {
            m_drawnLow[c] = std::min(m_drawnLow[c], low);
            m_drawnHigh[c] = std::max(m_drawnHigh[c], high);
            m_bandTop = std::min(m_bandTop, low);
            m_bandBottom = std::max(m_bandBottom, high);
        }
        lows[c] = INT_MAX;
        highs[c] = -1;
    }
}
