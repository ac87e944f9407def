// Painting a flow view of N nodes and 3N connections into a 1440x900 image, in CPU time
// per paint, against a plain QPainter drawing of the same boxes, texts and curves (its
// nodes found through a QHash, its texts elided at every paint, its titles cut to
// what their box shows as ours are). Both sides count what they drew, and their
// images are compared pixel by pixel, first where few nodes leave the connections in
// view (at thousands of nodes the boxes cover every connection); a ratio is printed
// only when the counts agree and the pixels match. Then the same with a title of
// 100,000 characters on one node in seven, and the monitor's eleven nodes repainted
// again and again.
//
// Run a release build: QT_QPA_PLATFORM=offscreen bench_flowview [largest node count]
#include "VYRQFlowView.h"
#include "BenchRow.h"
#include "VYRQGlobal.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct Counts {
    int nodes = 0;
    int connections = 0;
    bool operator==(const Counts& o) const { return nodes == o.nodes && connections == o.connections; }
};

class CountingView : public VYRQFlowView {
public:
    Counts counts;

protected:
    void drawNode(QPainter* painter, const VYRQFlowNode& node) override
    {
        ++counts.nodes;
        VYRQFlowView::drawNode(painter, node);
    }
    void drawConnection(QPainter* painter, const VYRQFlowConnection& connection) override
    {
        ++counts.connections;
        VYRQFlowView::drawConnection(painter, connection);
    }
};

struct Diagram {
    QVector<VYRQFlowNode> nodes;
    QVector<VYRQFlowConnection> connections;
};

Diagram diagram(int count, int titleLength)
{
    Diagram d;
    const QString longTitle(titleLength, QLatin1Char('T'));
    for (int i = 0; i < count; ++i) {
        VYRQFlowNode n;
        n.id = QStringLiteral("unit-2/equipment-%1").arg(i, 6, 10, QLatin1Char('0'));
        n.x = (i % 97) / 97.0;
        n.y = (i % 89) / 89.0;
        n.size = QSizeF(0.09, 0.14);
        n.title = titleLength && i % 7 == 0 ? longTitle : n.id.right(6);
        n.subtitle = QStringLiteral("Feed Heat Exchanger");
        n.value = QStringLiteral("%1 C  3.5 bar").arg(100 + i % 300);
        n.accent = QColor(63, 220, 137);
        n.fill = QColor(29, 32, 36);
        n.border = QColor(58, 72, 78);
        n.selectedBorder = QColor(146, 134, 255);
        d.nodes.append(n);
    }
    for (int i = 0; i < count; ++i)
        for (int step : {1, 7, 31}) {
            VYRQFlowConnection c;
            c.from = d.nodes.at(i).id;
            c.to = d.nodes.at((i + step) % count).id;
            c.color = QColor(74, 122, 128);
            d.connections.append(c);
        }
    return d;
}

// What a plain widget would do: the same looks, nodes found by a hash, texts elided
// as they are drawn.
Counts plainPaint(QPainter& p, const VYRQFlowView& geometry, const Diagram& d, const QSize& size)
{
    Counts counts;
    p.fillRect(QRect(QPoint(), size), QColor(23, 25, 29));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(39, 43, 49), 1.0));
    for (int x = 28; x < size.width(); x += 28)
        p.drawLine(QPointF(x, 0), QPointF(x, size.height()));
    for (int y = 28; y < size.height(); y += 28)
        p.drawLine(QPointF(0, y), QPointF(size.width(), y));
    QHash<QString, int> index;
    index.reserve(d.nodes.size());
    for (int i = d.nodes.size() - 1; i >= 0; --i)
        index.insert(d.nodes.at(i).id, i);
    for (const VYRQFlowConnection& c : d.connections) {
        const auto from = index.constFind(c.from);
        const auto to = index.constFind(c.to);
        if (from == index.constEnd() || to == index.constEnd())
            continue;
        ++counts.connections;
        const QRectF a = geometry.nodeRect(d.nodes.at(*from));
        const QRectF b = geometry.nodeRect(d.nodes.at(*to));
        // Out of the side that faces the other node, bending away from it by 0.45 of
        // the distance along that side's axis, at least 24 pixels.
        const VYRQFlowView::Port out = VYRQFlowView::portFor(a, b.center());
        const QPointF start = VYRQFlowView::portPoint(a, out);
        const QPointF end = VYRQFlowView::portPoint(b, VYRQFlowView::portFor(b, a.center()));
        const bool sideways = out == VYRQFlowView::Left || out == VYRQFlowView::Right;
        const double sign = out == VYRQFlowView::Left || out == VYRQFlowView::Top ? -1.0 : 1.0;
        const QPointF bend = sideways ? QPointF(sign * std::max(std::abs(end.x() - start.x()) * 0.45, 24.0), 0)
                                      : QPointF(0, sign * std::max(std::abs(end.y() - start.y()) * 0.45, 24.0));
        QPainterPath path(start);
        path.cubicTo(start + bend, end - bend, end);
        p.setPen(QPen(c.color, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    for (const VYRQFlowNode& n : d.nodes) {
        ++counts.nodes;
        const QRectF r = geometry.nodeRect(n);
        p.save();
        p.setPen(QPen(n.border, 1.2));
        p.setBrush(n.fill);
        p.drawRoundedRect(r, 7.0, 7.0);
        p.setPen(Qt::NoPen);
        p.setBrush(n.accent);
        p.drawEllipse(QRectF(r.left() + 9, r.top() + 9, 9, 9));
        QFont font = p.font();
        font.setPixelSize(12);
        font.setWeight(75);
        p.setFont(font);
        p.setPen(QColor(242, 244, 247));
        // A box shows no more than two characters a pixel of its title: the rest is cut
        // before it is laid out.
        const int titleWidth = std::max(int(r.width() - 31), 0);
        p.drawText(QRectF(r.left() + 24, r.top() + 5, r.width() - 31, 23), Qt::AlignLeft | Qt::AlignVCenter,
                   n.title.left(2 * titleWidth + 64));
        font.setWeight(50);
        p.setFont(font);
        const QFontMetrics metrics(font);
        const int w = std::max(int(r.width() - 18), 20);
        p.setPen(QColor(167, 176, 184));
        p.drawText(QRectF(r.left() + 9, r.top() + 27, r.width() - 18, std::max(r.height() - 51, 15.0)),
                   Qt::AlignLeft | Qt::AlignVCenter, metrics.elidedText(n.subtitle, Qt::ElideRight, w));
        p.setPen(n.accent);
        p.drawText(QRectF(r.left() + 9, r.bottom() - 23, r.width() - 18, 18), Qt::AlignLeft | Qt::AlignVCenter,
                   metrics.elidedText(n.value, Qt::ElideRight, w));
        p.restore();
    }
    return counts;
}

struct Result {
    double viewMs = 0;
    double plainMs = 0;
    bool same = false;
    QByteArray note;
};

// Pixels whose colour differs by more than a rounding between the two images, and
// pixels in the connections' colour in the first.
struct PixelCounts {
    int differing = 0;
    int connections = 0;
};

PixelCounts comparePixels(const QImage& a, const QImage& b, const QColor& connection)
{
    PixelCounts counts;
    const auto channels = [](QRgb x, QRgb y) {
        return std::max({std::abs(qRed(x) - qRed(y)), std::abs(qGreen(x) - qGreen(y)), std::abs(qBlue(x) - qBlue(y))});
    };
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            counts.differing += channels(p, b.pixel(x, y)) > 8;
            counts.connections += channels(p, connection.rgb()) <= 8;
        }
    }
    return counts;
}

// Median CPU time of `paints` paints of each side; the view is painted once before,
// and each side's first paint is compared with the other's. With `oneNode`, only the
// first node's box is painted, as a tick that changes one reading repaints it.
Result measure(const Diagram& d, const QSize& size, int paints, bool oneNode = false)
{
    CountingView view;
    view.resize(size);
    FillStyle canvas;
    canvas.name = QStringLiteral("Canvas");
    canvas.fill.color = QColor(23, 25, 29);
    view.setBackground(canvas);
    view.setNodes(d.nodes);
    view.setConnections(d.connections);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    view.render(&image);
    QImage plainImage(size, QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&plainImage);
        painter.setFont(view.font());
        plainPaint(painter, view, d, size);
    }
    const PixelCounts pixels = comparePixels(image, plainImage, d.connections.value(0).color);
    const QRegion region = oneNode ? QRegion(view.nodeRect(d.nodes.first()).toAlignedRect().adjusted(-3, -3, 3, 3))
                                   : QRegion(QRect(QPoint(), size));
    std::vector<double> viewTimes;
    std::vector<double> plainTimes;
    Counts viewCounts;
    Counts plainCounts;
    for (int i = 0; i < paints; ++i) {
        view.counts = Counts();
        double start = benchrow::cpuMs();
        view.render(&image, QPoint(), region);
        viewTimes.push_back(benchrow::cpuMs() - start);
        viewCounts = view.counts;
        start = benchrow::cpuMs();
        QPainter painter(&image);
        painter.setFont(view.font());
        painter.setClipRegion(region);
        plainCounts = plainPaint(painter, view, d, size);
        painter.end();
        plainTimes.push_back(benchrow::cpuMs() - start);
    }
    const bool sameCounts = viewCounts == plainCounts && viewCounts.nodes == d.nodes.size()
        && viewCounts.connections == d.connections.size();
    // Text antialiasing may round a pixel here and there differently; a curve bent
    // otherwise moves thousands.
    const bool samePixels = pixels.differing <= size.width() * size.height() / 2000;
    Result r{benchrow::median(viewTimes), benchrow::median(plainTimes), sameCounts && samePixels, QByteArray()};
    r.note = QStringLiteral("(pixels differing %1 of %2; connection pixels in view %3%4)")
                 .arg(pixels.differing)
                 .arg(size.width() * size.height())
                 .arg(pixels.connections)
                 .arg(sameCounts ? QString() : QStringLiteral("; drawn counts differ"))
                 .toLatin1();
    return r;
}

void report(const char* what, const Result& r)
{
    benchrow::print(what, r.viewMs, r.plainMs, "ms", r.same, r.note.constData());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    VYRQtLib::init();
    // 16,000 nodes (some 40 s a run) when asked: "bench_flowview 16000".
    const int largest = argc > 1 ? std::max(2000, atoi(argv[1])) : 8000;
    const QSize size(1440, 900);
    std::printf("flow view paint, CPU time per paint (median), image %dx%d; Qt: plain QPainter\n", size.width(),
                size.height());
    for (int count : {100, 2000, 8000, 16000}) {
        if (count > largest)
            break;
        const QString label = QLocale(QLocale::English).toString(count) + QStringLiteral(" nodes, ")
            + QLocale(QLocale::English).toString(3 * count) + QStringLiteral(" connections");
        // Past 2,000 nodes a paint takes seconds: one a run (after the untimed one), the
        // runs of bench/bench_table.py giving the median and the spread.
        report(qPrintable(label), measure(diagram(count, 0), size, count > 2000 ? 1 : count > 100 ? 5 : 51));
    }
    report("2,000 nodes, 1 in 7 titles of 100k", measure(diagram(2000, 100000), size, 3));
    report("11 nodes, 33 connections", measure(diagram(11, 0), size, 201));
    report("11 nodes, one node's box repainted", measure(diagram(11, 0), size, 501, true));
    return 0;
}
