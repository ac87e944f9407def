#include "VYRQFlowView.h"
#include "cputimer.h"
#include "VYRQGlobal.h"
#include "textrecorder.h"

#include <QDir>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTemporaryDir>
#include <QtTest>

#include <utility>

namespace {

VYRQFlowNode makeNode(const QString& id, double x, double y, double w = 0.1, double h = 0.1)
{
    VYRQFlowNode n;
    n.id = id;
    n.x = x;
    n.y = y;
    n.size = QSizeF(w, h);
    return n;
}

void send(QWidget& w, QEvent::Type type, const QPointF& pos, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, pos, w.mapToGlobal(pos.toPoint()), type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

// A theme folder without styles whose image "images/bg.png" is all `colour`.
bool writeTheme(const QTemporaryDir& dir, const QColor& colour)
{
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(colour);
    QFile style(dir.filePath(QStringLiteral("style.json")));
    return QDir(dir.path()).mkpath(QStringLiteral("images")) && image.save(dir.filePath(QStringLiteral("images/bg.png")))
        && style.open(QIODevice::WriteOnly) && style.write(R"({"style": []})") > 0;
}

// A 1000 x 800 view with two nodes side by side (a at the left, b at the right).
struct Fixture {
    Fixture()
    {
        view.resize(1000, 800);
        view.setNodes({makeNode("a", 0.25, 0.5), makeNode("b", 0.75, 0.5)});
    }
    QRectF rect(const QString& id) const
    {
        for (const VYRQFlowNode& n : view.nodes())
            if (n.id == id)
                return view.nodeRect(n);
        return QRectF();
    }
    VYRQFlowView view;
};

// Collects what each paint event of the watched widget covers.
class PaintRegions : public QObject {
public:
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            painted += static_cast<QPaintEvent*>(event)->region();
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class tst_FlowView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void nodeGeometry_data()
    {
        QTest::addColumn<QSize>("viewSize");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QSizeF>("fraction");
        QTest::addColumn<QRectF>("expected");
        QTest::addColumn<double>("lineWidth");
        QTest::addColumn<double>("heldLineWidth");
        const QSize v(1000, 800);
        QTest::newRow("minimum size") << v << QPointF(0.5, 0.5) << QSizeF(0.05, 0.05) << QRectF(457, 367, 86, 66)
                                      << 2.4 << 2.4;
        QTest::newRow("fraction size") << v << QPointF(0.5, 0.25) << QSizeF(0.2, 0.1) << QRectF(400, 160, 200, 80)
                                       << 0.5 << 1.0;
        QTest::newRow("centre 0 clamped in") << v << QPointF(0.0, 0.0) << QSizeF(0.1, 0.1) << QRectF(0, 0, 100, 80)
                                             << 2.4 << 2.4;
        QTest::newRow("centre 1 clamped in") << v << QPointF(1.0, 1.0) << QSizeF(0.1, 0.1)
                                             << QRectF(900, 720, 100, 80) << 2.4 << 2.4;
        QTest::newRow("beyond the view") << v << QPointF(-2.0, 3.0) << QSizeF(0.1, 0.1) << QRectF(0, 720, 100, 80)
                                         << 2.4 << 2.4;
        QTest::newRow("node wider than view keeps left edge") << QSize(50, 40) << QPointF(1.0, 1.0)
                                                              << QSizeF(0.1, 0.1) << QRectF(0, 0, 86, 66) << 2.4
                                                              << 2.4;
        // Records the owner filled from bad data: every coordinate and width stays a
        // finite number that converts to int, and the node is painted.
        const double nan = qQNaN();
        const double inf = qInf();
        const double most = 16777215;
        QTest::newRow("size NaN") << v << QPointF(0.5, 0.5) << QSizeF(nan, nan) << QRectF(457, 367, 86, 66) << nan
                                  << 1.0;
        QTest::newRow("size 1e308") << v << QPointF(0.5, 0.5) << QSizeF(1e308, 1e308) << QRectF(0, 0, most, most)
                                    << 1e308 << 1000.0;
        QTest::newRow("size infinite and tiny") << v << QPointF(0.5, 0.5) << QSizeF(inf, -1e308)
                                                << QRectF(0, 367, most, 66) << inf << 1000.0;
        QTest::newRow("size -infinite") << v << QPointF(0.5, 0.5) << QSizeF(-inf, -inf) << QRectF(457, 367, 86, 66)
                                        << -inf << 1.0;
        QTest::newRow("centre NaN") << v << QPointF(nan, nan) << QSizeF(0.1, 0.1) << QRectF(0, 0, 100, 80) << -1e308
                                    << 1.0;
        QTest::newRow("centre infinite") << v << QPointF(inf, -inf) << QSizeF(0.1, 0.1) << QRectF(900, 0, 100, 80)
                                         << 2.4 << 2.4;
        QTest::newRow("centre 1e308") << v << QPointF(1e308, -1e308) << QSizeF(0.1, 0.1) << QRectF(900, 0, 100, 80)
                                      << 2.4 << 2.4;
        QTest::newRow("empty view, infinite size") << QSize(0, 0) << QPointF(inf, nan) << QSizeF(inf, nan)
                                                   << QRectF(0, 0, 86, 66) << 2.4 << 2.4;
    }

    void nodeGeometry()
    {
        QFETCH(QSize, viewSize);
        QFETCH(QPointF, centre);
        QFETCH(QSizeF, fraction);
        QFETCH(QRectF, expected);
        QFETCH(double, lineWidth);
        QFETCH(double, heldLineWidth);
        VYRQFlowView view;
        view.resize(viewSize);
        VYRQFlowNode n = makeNode("n", centre.x(), centre.y(), fraction.width(), fraction.height());
        n.subtitle = n.value = QStringLiteral("Hydrotreater Reactor");
        QCOMPARE(view.nodeRect(n), expected);
        const QPointF back = view.normalizedPosition(expected.center(), fraction);
        QVERIFY(qIsFinite(back.x()) && qIsFinite(back.y()));
        view.setConnectionWidth(lineWidth);
        QCOMPARE(view.connectionWidth(), heldLineWidth);
        VYRQFlowConnection line;
        line.from = QStringLiteral("n");
        line.to = QStringLiteral("m");
        line.arrow = true;
        view.setNodes({n, makeNode("m", 0.8, 0.8)});
        view.setConnections({line});
        view.setSelectedNodeId(QStringLiteral("n"));
        if (!viewSize.isEmpty())
            QVERIFY(!view.grab().isNull());
    }

    void normalizedPositionIsInverse()
    {
        VYRQFlowView view;
        view.resize(1000, 800);
        const QSizeF size(0.1, 0.1);
        QCOMPARE(view.normalizedPosition(QPointF(300, 200), size), QPointF(0.3, 0.25));
        // Clamped like the rectangle: the node stays inside.
        QCOMPARE(view.normalizedPosition(QPointF(10, 790), size), QPointF(0.05, 0.95));
        const QPointF back = view.normalizedPosition(QPointF(640, 410), size);
        QCOMPARE(view.nodeRect(makeNode("n", back.x(), back.y(), 0.1, 0.1)).center(), QPointF(640, 410));
    }

    void ports_data()
    {
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<int>("port");
        QTest::addColumn<QPointF>("portPoint");
        // Around the rectangle (100, 100, 100, 60), centred at (150, 130).
        QTest::newRow("right") << QPointF(300, 140) << int(VYRQFlowView::Right) << QPointF(200, 130);
        QTest::newRow("left") << QPointF(0, 120) << int(VYRQFlowView::Left) << QPointF(100, 130);
        QTest::newRow("tie goes sideways") << QPointF(170, 150) << int(VYRQFlowView::Right) << QPointF(200, 130);
        QTest::newRow("bottom") << QPointF(150, 400) << int(VYRQFlowView::Bottom) << QPointF(150, 160);
        QTest::newRow("top") << QPointF(140, 0) << int(VYRQFlowView::Top) << QPointF(150, 100);
    }

    void ports()
    {
        QFETCH(QPointF, point);
        QFETCH(int, port);
        QFETCH(QPointF, portPoint);
        const QRectF r(100, 100, 100, 60);
        QCOMPARE(int(VYRQFlowView::portFor(r, point)), port);
        QCOMPARE(VYRQFlowView::portPoint(r, VYRQFlowView::Port(port)), portPoint);
        QCOMPARE(VYRQFlowView::portPoint(r, VYRQFlowView::Port(9)), r.center());
    }

    void valueElided_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("as set") << "none";
        QTest::newRow("node widened") << "widen";
        QTest::newRow("value replaced") << "value";
        QTest::newRow("font spaced out") << "font";
    }

    // A value wider than its node ends in an ellipsis instead of being cut mid-letter.
    // What a repaint shows follows the node's width, its value and the font.
    void valueElided()
    {
        QFETCH(QString, change);
        VYRQFlowView view;
        view.resize(1000, 800);
        const QString wide = QStringLiteral("6.9 bar");
        QString narrow = QStringLiteral("134.7 C  6.72 bar  118 m3/h  2.21 mm/s");
        VYRQFlowNode roomy = makeNode("roomy", 0.3, 0.5, 0.3, 0.1);
        roomy.value = wide;
        VYRQFlowNode tight = makeNode("tight", 0.8, 0.5, 0.05, 0.1);
        tight.value = narrow;
        view.setNodes({roomy, tight});
        const auto shown = [&] {
            TextRecorder device(view.size());
            view.render(&device);
            return device.texts();
        };
        const auto elidedOf = [](const QStringList& texts, const QString& text) {
            const auto found = std::find_if(texts.cbegin(), texts.cend(), [&](const QString& t) {
                return t.endsWith(QChar(0x2026)) && text.startsWith(t.chopped(1));
            });
            return found == texts.cend() ? QString() : *found;
        };
        const QString before = elidedOf(shown(), narrow);
        if (change == QLatin1String("widen")) {
            tight.size = QSizeF(0.35, 0.1);
            view.setNodes({roomy, tight});
        } else if (change == QLatin1String("value")) {
            tight.value = narrow = QStringLiteral("221.0 C  9.04 bar  311 m3/h  0.87 mm/s");
            view.setNodes({roomy, tight});
        } else if (change == QLatin1String("font")) {
            QFont font = view.font();
            font.setLetterSpacing(QFont::AbsoluteSpacing, 6);
            view.setFont(font);
        }
        const QStringList texts = shown();
        QVERIFY2(texts.contains(wide), qPrintable(texts.join(QLatin1Char('|'))));
        QCOMPARE(texts.contains(narrow), change == QLatin1String("widen"));
        const QString elided = elidedOf(texts, narrow);
        QVERIFY2(elided.isEmpty() == (change == QLatin1String("widen")), qPrintable(texts.join(QLatin1Char('|'))));
        if (change == QLatin1String("font"))
            QVERIFY2(elided.size() < before.size(), qPrintable(before + QLatin1Char('|') + elided));
    }

    void hitTests()
    {
        VYRQFlowView view;
        view.resize(1000, 800);
        // Overlapping: "top" is later in the list and lies on top.
        view.setNodes({makeNode("under", 0.5, 0.5, 0.2, 0.2), makeNode("top", 0.55, 0.5, 0.2, 0.2)});
        QCOMPARE(view.nodeAt(QPointF(500, 400)), QStringLiteral("top"));
        QCOMPARE(view.nodeAt(QPointF(405, 400)), QStringLiteral("under"));
        QVERIFY(view.nodeAt(QPointF(10, 10)).isEmpty());

        // "under" spans x 400..600, "top" 450..650; both centred at y 400.
        QCOMPARE(view.portNodeAt(QPointF(388, 400)), QStringLiteral("under"));
        QVERIFY(view.portNodeAt(QPointF(387.9, 400)).isEmpty());
        QCOMPARE(view.portNodeAt(QPointF(550, 320 - 12)), QStringLiteral("top"));
        QCOMPARE(view.portNodeAt(QPointF(450, 405)), QStringLiteral("top"));

        QSignalSpy activated(&view, &VYRQFlowView::nodeActivated);
        send(view, QEvent::MouseButtonPress, QPointF(520, 400));
        send(view, QEvent::MouseButtonRelease, QPointF(520, 400));
        QCOMPARE(view.selectedNodeId(), QStringLiteral("top"));
        QCOMPARE(activated.count(), 1);
        QCOMPARE(activated.at(0).at(0).toString(), QStringLiteral("top"));

        // Replacing the list keeps the selection by id, whatever the records say; a
        // right press or one beside every node changes nothing.
        QVector<VYRQFlowNode> nodes = view.nodes();
        std::swap(nodes[0].selected, nodes[1].selected);
        view.setNodes(nodes);
        QVERIFY(!view.nodes()[0].selected && view.nodes()[1].selected);
        send(view, QEvent::MouseButtonPress, QPointF(5, 5));
        send(view, QEvent::MouseButtonPress, QPointF(405, 400), Qt::RightButton);
        QCOMPARE(view.selectedNodeId(), QStringLiteral("top"));
        QCOMPARE(activated.count(), 1);
    }

    void paintCost_data()
    {
        QTest::addColumn<int>("titleLength");
        QTest::newRow("short titles") << 0;
        QTest::newRow("titles of 100,000 characters on one node in seven") << 100000;
    }

    // A repaint grows with nodes plus connections: each end of a connection is found
    // without a scan of the nodes, and a title costs only what of it can show.
    void paintCost()
    {
        QFETCH(int, titleLength);
        const QString longTitle(titleLength, QLatin1Char('T'));
        // Tags of one length with a long common part, as a plant's are.
        const auto tag = [](int i) { return QStringLiteral("hydrotreater-unit-2/equipment-%1").arg(i, 6, 10, QLatin1Char('0')); };
        const LeastCpu least = leastCpuByTurns(2000, 16000, [&](int count) {
            QVector<VYRQFlowNode> nodes;
            QVector<VYRQFlowConnection> connections;
            for (int i = 0; i < count; ++i) {
                VYRQFlowNode n = makeNode(tag(i), (i % 97) / 97.0, (i % 89) / 89.0);
                n.title = titleLength && i % 7 == 0 ? longTitle : n.id;
                n.subtitle = QStringLiteral("Feed Heat Exchanger");
                n.value = QStringLiteral("189 C  3.5 bar");
                nodes.append(n);
                for (int step : {1, 7, 31}) {
                    VYRQFlowConnection c;
                    c.from = n.id;
                    c.to = tag((i + step) % count);
                    connections.append(c);
                }
            }
            VYRQFlowView view;
            view.resize(1000, 800);
            view.setNodes(nodes);
            view.setConnections(connections);
            TextRecorder device(view.size());
            const CpuTimer timer;
            view.render(&device);
            const qint64 ns = timer.nsecsElapsed();
            return device.texts().size() < 3 * count ? qint64(-1) : ns;
        });
        QVERIFY(least.small > 0 && least.large > 0);
        QVERIFY2(least.small < 2000 * qint64(1000000), qPrintable(QString::number(least.small / 1e6)));
        // Linear gives about 8; a scan of the nodes for each end of each connection about 40.
        QVERIFY2(least.large < 16 * least.small, qPrintable(QStringLiteral("2,000 nodes: %1 ms, 16,000: %2 ms of CPU time")
                                                                 .arg(least.small / 1e6)
                                                                 .arg(least.large / 1e6)));
    }

    void connectionRules_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("new") << "b" << "c" << true;
        QTest::newRow("reverse of existing") << "b" << "a" << true;
        QTest::newRow("duplicate") << "a" << "b" << false;
        QTest::newRow("self") << "a" << "a" << false;
        QTest::newRow("unknown to") << "a" << "zz" << false;
        QTest::newRow("unknown from") << "zz" << "a" << false;
        QTest::newRow("empty") << "" << "a" << false;
    }

    void connectionRules()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, accepted);
        VYRQFlowView view;
        view.setNodes({makeNode("a", 0.2, 0.2), makeNode("b", 0.5, 0.5), makeNode("c", 0.8, 0.8)});
        VYRQFlowConnection existing;
        existing.from = QStringLiteral("a");
        existing.to = QStringLiteral("b");
        existing.arrow = true;
        view.setConnections({existing});
        QSignalSpy created(&view, &VYRQFlowView::connectionCreated);

        QCOMPARE(view.addConnection(from, to), accepted);
        QCOMPARE(created.count(), accepted ? 1 : 0);
        QCOMPARE(view.connections().size(), accepted ? 2 : 1);
        if (accepted) {
            const VYRQFlowConnection added = view.connections().last();
            QCOMPARE(QStringList({added.from, added.to}), QStringList({from, to}));
            QCOMPARE(added.color, QColor(74, 122, 128, 255));
            QVERIFY(!added.arrow);
            QCOMPARE(created.at(0), QVariantList({from, to}));
        }
    }

    void editing_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("editable") << false;
        QTest::newRow("read-only") << true;
    }

    // Dragging a node moves it and dragging from a port connects, unless read-only,
    // where the presses only select.
    void editing()
    {
        QFETCH(bool, readOnly);
        Fixture f;
        f.view.setReadOnly(readOnly);
        QSignalSpy moved(&f.view, &VYRQFlowView::nodeMoved);
        QSignalSpy created(&f.view, &VYRQFlowView::connectionCreated);

        send(f.view, QEvent::MouseButtonPress, f.rect("a").center());
        send(f.view, QEvent::MouseMove, QPointF(300, 200));
        QCOMPARE(f.view.nodes()[0].x, readOnly ? 0.25 : 0.3);
        // A list replaced mid-drag: the node with the same id keeps following, and
        // stops with its edges at the view's.
        f.view.setNodes({makeNode("b", 0.75, 0.5), makeNode("a", 0.5, 0.5)});
        send(f.view, QEvent::MouseMove, QPointF(2, 2));
        send(f.view, QEvent::MouseButtonRelease, QPointF(2, 2));
        send(f.view, QEvent::MouseMove, QPointF(600, 300));
        QCOMPARE(moved.count(), readOnly ? 0 : 2);
        QCOMPARE(f.rect("a").topLeft(), readOnly ? QPointF(450, 360) : QPointF(0, 0));
        if (!readOnly) {
            QCOMPARE(moved.at(0).at(0).toString(), QStringLiteral("a"));
            QCOMPARE(moved.at(0).at(1).toPointF(), QPointF(0.3, 0.25));
            QCOMPARE(moved.at(1).at(1).toPointF(), QPointF(0.05, 0.05));
        }

        // Released over empty space, then over the other node.
        const QPointF port = VYRQFlowView::portPoint(f.rect("a"), VYRQFlowView::Right) - QPointF(3, 0);
        send(f.view, QEvent::MouseButtonPress, port);
        send(f.view, QEvent::MouseMove, QPointF(500, 50));
        send(f.view, QEvent::MouseButtonRelease, QPointF(500, 50));
        QCOMPARE(created.count(), 0);
        send(f.view, QEvent::MouseButtonPress, port);
        send(f.view, QEvent::MouseMove, f.rect("b").center());
        send(f.view, QEvent::MouseButtonRelease, f.rect("b").center());
        QCOMPARE(created.count(), readOnly ? 0 : 1);
        QCOMPARE(f.view.hasConnection("a", "b"), !readOnly);
        QCOMPARE(moved.count(), readOnly ? 0 : 2);
        QCOMPARE(f.view.selectedNodeId(), QStringLiteral("a"));
    }

    void backdropPicture_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("newPicture");
        QTest::newRow("none") << "none" << false;
        QTest::newRow("nodes") << "nodes" << false;
        QTest::newRow("resized") << "resize" << true;
        QTest::newRow("new background") << "background" << true;
        QTest::newRow("disabled") << "disable" << true;
        QTest::newRow("grid off") << "grid" << true;
        QTest::newRow("theme with the same image name") << "theme" << true;
    }

    // The background and the grid are one picture that every repaint copies: no line of
    // the grid is drawn again until the size or the look changes, and then the picture
    // shows the new size and look.
    void backdropPicture()
    {
        QFETCH(QString, change);
        QFETCH(bool, newPicture);
        const QColor fill(23, 25, 29);
        const QColor disabledFill(60, 10, 10);
        FillStyle background;
        background.name = QStringLiteral("Canvas");
        background.fill.color = fill;
        FillStyle disabled = background;
        disabled.name = QStringLiteral("CanvasOff");
        disabled.fill.color = disabledFill;
        QColor expected = fill;
        // Two themes whose styles name the same image, light and dark.
        QTemporaryDir light;
        QTemporaryDir dark;
        const QColor darkFill(12, 14, 40);
        if (change == QLatin1String("theme")) {
            QVERIFY(writeTheme(light, QColor(230, 232, 236)) && writeTheme(dark, darkFill));
            QVERIFY(vyrLoadThemeDir(light.path().toUtf8().constData()));
            background.colorMode = false;
            background.image = QStringLiteral("images/bg.png");
            expected = QColor(230, 232, 236);
        }
        VYRQFlowView view;
        view.setBackground(background);
        view.setDisableBackground(disabled);
        view.resize(1000, 800);
        const auto pictures = [&] {
            TextRecorder device(view.size());
            view.render(&device);
            return std::make_pair(device.lines(), device.pixmaps());
        };
        const auto before = pictures();
        QCOMPARE(before.first, 0);
        QCOMPARE(before.second.size(), 1);
        QCOMPARE(view.grab().toImage().pixelColor(14, 14), expected);

        if (change == QLatin1String("nodes")) {
            view.setNodes({makeNode("a", 0.25, 0.5), makeNode("b", 0.75, 0.5)});
            view.setSelectedNodeId(QStringLiteral("b"));
        } else if (change == QLatin1String("resize")) {
            view.resize(610, 300);
        } else if (change == QLatin1String("background")) {
            background.fill.color = expected = QColor(40, 80, 120);
            view.setBackground(background);
        } else if (change == QLatin1String("disable")) {
            view.setEnabled(false);
            expected = disabledFill;
        } else if (change == QLatin1String("grid")) {
            view.setGridVisible(false);
        } else if (change == QLatin1String("theme")) {
            QVERIFY(vyrLoadThemeDir(dark.path().toUtf8().constData()));
            expected = darkFill;
        }
        const auto after = pictures();
        QCOMPARE(after.first, 0);
        QCOMPARE(after.second.size(), 1);
        QCOMPARE(after.second != before.second, newPicture);

        const QImage image = view.grab().toImage();
        const int lastLine = (view.width() - 1) / 28 * 28;
        QCOMPARE(image.pixelColor(14, 14), expected);
        QCOMPARE(image.pixelColor(view.width() - 14, 14), expected);
        const bool grid = change != QLatin1String("grid");
        QCOMPARE(image.pixelColor(28, 14) != expected, grid);
        QCOMPARE(image.pixelColor(lastLine, 14) != expected, grid);
        QCOMPARE(image.pixelColor(14, 28) != expected, grid);
        if (change == QLatin1String("theme"))
            vyrLoadThemeFile("");   // no theme for the cases after this one
    }

    // A view too large to keep a picture of draws its background and grid at each
    // repaint, only where it is exposed.
    void largeViewDrawsDirectly()
    {
        VYRQFlowView view;
        view.resize(5000, 4000);
        TextRecorder whole(view.size());
        view.render(&whole);
        QVERIFY(whole.pixmaps().isEmpty());
        QCOMPARE(whole.lines(), 4999 / 28 + 3999 / 28);
        TextRecorder corner(view.size());
        view.render(&corner, QPoint(), QRegion(0, 0, 100, 60));
        QCOMPARE(corner.lines(), 3 + 2);
    }

    void repaintCoversChangedNodes_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("paintsA");
        QTest::addColumn<bool>("paintsB");
        QTest::addColumn<bool>("paintsAll");
        QTest::newRow("nothing") << "none" << false << false << false;
        QTest::newRow("value of a") << "value" << true << false << false;
        QTest::newRow("accent of b") << "accent" << false << true << false;
        QTest::newRow("a moves") << "move" << true << true << true;
        QTest::newRow("node added") << "add" << true << true << true;
    }

    void repaintCoversChangedNodes()
    {
        QFETCH(QString, change);
        QFETCH(bool, paintsA);
        QFETCH(bool, paintsB);
        QFETCH(bool, paintsAll);
        // A window system may expose and repaint the whole window at any moment (a loaded
        // X server does it late); only the offscreen platform leaves the view's own updates alone.
        if (QGuiApplication::platformName() != QLatin1String("offscreen"))
            QSKIP("repaint regions are only isolated on the offscreen platform");
        Fixture f;
        f.view.addConnection("a", "b");
        f.view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.view));
        QCoreApplication::processEvents();
        const QRect rectA = f.rect("a").toAlignedRect();
        const QRect rectB = f.rect("b").toAlignedRect();
        PaintRegions spy;
        f.view.installEventFilter(&spy);

        QVector<VYRQFlowNode> nodes = f.view.nodes();
        if (change == QLatin1String("value"))
            nodes[0].value = QStringLiteral("58 C");
        else if (change == QLatin1String("accent"))
            nodes[1].accent = Qt::red;
        else if (change == QLatin1String("move"))
            nodes[0].x = 0.3;
        else if (change == QLatin1String("add"))
            nodes.append(makeNode("c", 0.5, 0.1));
        f.view.setNodes(nodes);

        if (paintsA || paintsB)
            QTRY_VERIFY(spy.paints > 0);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(spy.paints > 0, paintsA || paintsB);
        // A changed node is repainted whole, border included; the other is left alone.
        const auto covers = [&](const QRect& r) { return (spy.painted & r) == QRegion(r); };
        QCOMPARE(covers(rectA.adjusted(-1, -1, 1, 1)), paintsA);
        QCOMPARE(spy.painted.intersects(rectB), paintsB);
        QCOMPARE(covers(f.view.rect()), paintsAll);
    }
};

QTEST_MAIN(tst_FlowView)
#include "tst_flowview.moc"
