#include "VYRQFlowView.h"
#include "VYRQGlobal.h"

#include <QImage>
#include <QMouseEvent>
#include <QtTest>

namespace {

VYRQFlowNode makeNode(const QString& id, double x, double y, double w = 0.1, double h = 0.1)
{
    VYRQFlowNode n;
    n.id = id;
    n.x = x;
    n.y = y;
    n.size = QSizeF(w, h);
    n.fill = QColor(20, 24, 28);
    n.border = QColor(80, 80, 80);
    n.selectedBorder = QColor(146, 134, 255);
    n.accent = QColor(0, 200, 0);
    return n;
}

void send(QWidget& w, QEvent::Type type, const QPointF& pos, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, pos, w.mapToGlobal(pos.toPoint()), type == QEvent::MouseMove ? Qt::NoButton : button,
                      held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
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

} // namespace

class tst_FlowView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void connectionWidthAtLeastOne()
    {
        VYRQFlowView view;
        QCOMPARE(view.connectionWidth(), 2.4);
        view.setConnectionWidth(0.5);
        QCOMPARE(view.connectionWidth(), 1.0);
    }

    void nodeGeometry_data()
    {
        QTest::addColumn<QSize>("viewSize");
        QTest::addColumn<QPointF>("centre");
        QTest::addColumn<QSizeF>("fraction");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("minimum size") << QSize(1000, 800) << QPointF(0.5, 0.5) << QSizeF(0.05, 0.05)
                                      << QRectF(457, 367, 86, 66);
        QTest::newRow("fraction size") << QSize(1000, 800) << QPointF(0.5, 0.25) << QSizeF(0.2, 0.1)
                                       << QRectF(400, 160, 200, 80);
        QTest::newRow("centre 0 clamped in") << QSize(1000, 800) << QPointF(0.0, 0.0) << QSizeF(0.1, 0.1)
                                             << QRectF(0, 0, 100, 80);
        QTest::newRow("centre 1 clamped in") << QSize(1000, 800) << QPointF(1.0, 1.0) << QSizeF(0.1, 0.1)
                                             << QRectF(900, 720, 100, 80);
        QTest::newRow("beyond the view") << QSize(1000, 800) << QPointF(-2.0, 3.0) << QSizeF(0.1, 0.1)
                                         << QRectF(0, 720, 100, 80);
        QTest::newRow("node wider than view keeps left edge") << QSize(50, 40) << QPointF(1.0, 1.0)
                                                              << QSizeF(0.1, 0.1) << QRectF(0, 0, 86, 66);
    }

    void nodeGeometry()
    {
        QFETCH(QSize, viewSize);
        QFETCH(QPointF, centre);
        QFETCH(QSizeF, fraction);
        QFETCH(QRectF, expected);
        VYRQFlowView view;
        view.resize(viewSize);
        const VYRQFlowNode n = makeNode("n", centre.x(), centre.y(), fraction.width(), fraction.height());
        QCOMPARE(view.nodeRect(n), expected);
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
    }

    void selection()
    {
        Fixture f;
        QSignalSpy activated(&f.view, &VYRQFlowView::nodeActivated);
        send(f.view, QEvent::MouseButtonPress, f.rect("b").center());
        send(f.view, QEvent::MouseButtonRelease, f.rect("b").center());
        QCOMPARE(activated.count(), 1);
        QCOMPARE(f.view.selectedNodeId(), QStringLiteral("b"));
        QVector<VYRQFlowNode> nodes = f.view.nodes();
        QVERIFY(!nodes[0].selected);
        QVERIFY(nodes[1].selected);

        // Replacing the list keeps the selection by id, whatever the records say.
        nodes[0].selected = true;
        nodes[1].selected = false;
        f.view.setNodes(nodes);
        QVERIFY(!f.view.nodes()[0].selected);
        QVERIFY(f.view.nodes()[1].selected);

        // Neither selecting in code nor a press beside every node signals.
        f.view.setSelectedNodeId(QStringLiteral("a"));
        QVERIFY(f.view.nodes()[0].selected);
        QVERIFY(!f.view.nodes()[1].selected);
        send(f.view, QEvent::MouseButtonPress, QPointF(5, 5));
        send(f.view, QEvent::MouseButtonPress, f.rect("b").center(), Qt::RightButton);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(f.view.selectedNodeId(), QStringLiteral("a"));
    }

    void dragReportsFractions()
    {
        Fixture f;
        f.view.setReadOnly(false);
        QSignalSpy moved(&f.view, &VYRQFlowView::nodeMoved);
        send(f.view, QEvent::MouseButtonPress, f.rect("a").center());
        send(f.view, QEvent::MouseMove, QPointF(300, 200));
        QCOMPARE(moved.count(), 1);
        QCOMPARE(moved.at(0).at(0).toString(), QStringLiteral("a"));
        QCOMPARE(moved.at(0).at(1).toPointF(), QPointF(0.3, 0.25));
        QCOMPARE(f.view.nodes()[0].x, 0.3);
        QCOMPARE(f.view.nodes()[0].y, 0.25);

        // Dragged towards the corner, the node stops with its edges at the view's.
        send(f.view, QEvent::MouseMove, QPointF(2, 2));
        QCOMPARE(moved.last().at(1).toPointF(), QPointF(0.05, 0.05));
        QCOMPARE(f.rect("a").topLeft(), QPointF(0, 0));

        // A list replaced mid-drag: the node with the same id keeps following.
        f.view.setNodes({makeNode("b", 0.75, 0.5), makeNode("a", 0.5, 0.5)});
        send(f.view, QEvent::MouseMove, QPointF(500, 300));
        QCOMPARE(f.view.nodes()[1].y, 0.375);

        send(f.view, QEvent::MouseButtonRelease, QPointF(500, 300));
        const int count = moved.count();
        send(f.view, QEvent::MouseMove, QPointF(600, 300));
        QCOMPARE(moved.count(), count);
    }

    void readOnlyOnlySelects()
    {
        Fixture f;
        QSignalSpy moved(&f.view, &VYRQFlowView::nodeMoved);
        QSignalSpy created(&f.view, &VYRQFlowView::connectionCreated);
        QSignalSpy activated(&f.view, &VYRQFlowView::nodeActivated);
        const QVector<VYRQFlowNode> before = f.view.nodes();

        send(f.view, QEvent::MouseButtonPress, f.rect("a").center());
        send(f.view, QEvent::MouseMove, QPointF(100, 100));
        send(f.view, QEvent::MouseButtonRelease, QPointF(100, 100));
        const QPointF port = VYRQFlowView::portPoint(f.rect("a"), VYRQFlowView::Right);
        send(f.view, QEvent::MouseButtonPress, port - QPointF(3, 0));
        send(f.view, QEvent::MouseMove, f.rect("b").center());
        send(f.view, QEvent::MouseButtonRelease, f.rect("b").center());

        QCOMPARE(activated.count(), 2);
        QCOMPARE(moved.count(), 0);
        QCOMPARE(created.count(), 0);
        QCOMPARE(f.view.nodes()[0].x, before[0].x);
        QVERIFY(f.view.connections().isEmpty());
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
            QCOMPARE(added.from, from);
            QCOMPARE(added.to, to);
            QCOMPARE(added.color, QColor(74, 122, 128, 255));
            QVERIFY(!added.arrow);
            QCOMPARE(created.at(0).at(0).toString(), from);
            QCOMPARE(created.at(0).at(1).toString(), to);
        }
    }

    void removeConnection()
    {
        VYRQFlowView view;
        view.setNodes({makeNode("a", 0.2, 0.2), makeNode("b", 0.5, 0.5)});
        QVERIFY(view.addConnection("a", "b"));
        QVERIFY(view.addConnection("b", "a"));
        QSignalSpy created(&view, &VYRQFlowView::connectionCreated);
        QVERIFY(view.removeConnection("a", "b"));
        QCOMPARE(view.connections().size(), 1);
        QCOMPARE(view.connections()[0].from, QStringLiteral("b"));
        QVERIFY(!view.removeConnection("a", "b"));
        QVERIFY(view.hasConnection("b", "a"));
        QVERIFY(!view.hasConnection("a", "b"));
        QCOMPARE(created.count(), 0);
    }

    void connectByDragging()
    {
        Fixture f;
        f.view.setReadOnly(false);
        QSignalSpy created(&f.view, &VYRQFlowView::connectionCreated);
        QSignalSpy moved(&f.view, &VYRQFlowView::nodeMoved);
        const QPointF port = VYRQFlowView::portPoint(f.rect("a"), VYRQFlowView::Right) - QPointF(5, 0);

        // Released over empty space, then over the start node: nothing.
        send(f.view, QEvent::MouseButtonPress, port);
        send(f.view, QEvent::MouseMove, QPointF(500, 50));
        send(f.view, QEvent::MouseButtonRelease, QPointF(500, 50));
        send(f.view, QEvent::MouseButtonPress, port);
        send(f.view, QEvent::MouseButtonRelease, f.rect("a").center());
        QCOMPARE(created.count(), 0);

        send(f.view, QEvent::MouseButtonPress, port);
        send(f.view, QEvent::MouseMove, f.rect("b").center());
        send(f.view, QEvent::MouseButtonRelease, f.rect("b").center());
        QCOMPARE(created.count(), 1);
        QCOMPARE(moved.count(), 0);
        QVERIFY(f.view.hasConnection("a", "b"));

        // Again onto the same node: the connection exists already.
        send(f.view, QEvent::MouseButtonPress, port);
        send(f.view, QEvent::MouseButtonRelease, f.rect("b").center());
        QCOMPARE(created.count(), 1);
        QCOMPARE(f.view.connections().size(), 1);
    }

    void gridLines()
    {
        const QColor black(0, 0, 0);
        for (int width : {28, 29}) {
            VYRQFlowView view;
            view.setColor(black);
            view.resize(width, 20);
            QImage image(view.size(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            view.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
            // A vertical line sits at x = 28 only while that is inside the view.
            const bool line = QColor(image.pixel(27, 10)) != black;
            QCOMPARE(line, width > 28);
        }
    }

    void paintsNodesOverConnections()
    {
        VYRQFlowView view;
        view.setColor(QColor(0, 0, 0));
        view.setGridVisible(false);
        view.resize(400, 300);
        VYRQFlowNode a = makeNode("a", 0.2, 0.5);
        VYRQFlowNode b = makeNode("b", 0.8, 0.5);
        view.setNodes({a, b});
        VYRQFlowConnection c;
        c.from = QStringLiteral("a");
        c.to = QStringLiteral("b");
        c.color = QColor(255, 0, 0);
        c.arrow = true;
        view.setConnections({c});
        QImage image(view.size(), QImage::Format_ARGB32);
        view.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        // The straight connection between the facing ports, half way.
        QCOMPARE(QColor(image.pixel(200, 150)), QColor(255, 0, 0));
        // Inside a node box, below the texts: its fill.
        const QRectF r = view.nodeRect(a);
        QCOMPARE(QColor(image.pixel(int(r.right()) - 4, int(r.center().y()))), a.fill);
        // Nothing in a corner but the background.
        QCOMPARE(QColor(image.pixel(2, 2)), QColor(0, 0, 0));
    }
};

QTEST_MAIN(tst_FlowView)
#include "tst_flowview.moc"
