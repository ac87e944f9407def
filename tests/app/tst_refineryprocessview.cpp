#include "RefineryProcessView.h"
#include "RefinerySimulator.h"
#include "VYRQGlobal.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const VYRQFlowNode* nodeOf(const QVector<VYRQFlowNode>& nodes, const QString& id)
{
    for (const VYRQFlowNode& node : nodes)
        if (node.id == id)
            return &node;
    return nullptr;
}

const QColor kGrey(116, 126, 137);

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class tst_RefineryProcessView : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void emptySnapshotShowsTagsOnly();
    void nodesFromSnapshot_data();
    void nodesFromSnapshot();
    void selection_data();
    void selection();
    void lookupIgnoresCaseAndMissingItems();
    void clickReportsEquipment();
    void repaintsOnlyOnChange_data();
    void repaintsOnlyOnChange();
    void canvasFollowsSize();
};

void tst_RefineryProcessView::initTestCase()
{
    VYRQtLib::init();
    QVERIFY(vyrLoadThemeDir(TARNEX_THEME_DIR));
}

void tst_RefineryProcessView::emptySnapshotShowsTagsOnly()
{
    RefineryProcessView view;
    const QVector<VYRQFlowNode> nodes = view.nodes();
    QCOMPARE(nodes.size(), 11);
    QVERIFY(!nodeOf(nodes, QStringLiteral("P-421")));
    for (const VYRQFlowNode& node : nodes) {
        QCOMPARE(node.title, node.id);
        QVERIFY(node.subtitle.isEmpty());
        QVERIFY(node.value.isEmpty());
        QCOMPARE(node.accent, kGrey);
        QVERIFY(!node.selected);
    }
    QCOMPARE(view.connections().size(), 12);
}

void tst_RefineryProcessView::nodesFromSnapshot_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("subtitle");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QColor>("accent");

    QTest::newRow("pump, normal") << false << "P-101" << "Crude Feed Pump" << "58 C  2.2 bar"
                                  << QColor(63, 220, 137);
    QTest::newRow("reactor, critical") << false << "R-203" << "Hydrotreater Reactor" << "221 C  9.0 bar"
                                       << QColor(255, 83, 105);
    QTest::newRow("exchanger, warning") << false << "HX-7" << "Feed Heat Exchanger" << "189 C  3.5 bar"
                                        << QColor(255, 194, 92);
    QTest::newRow("Chinese subtitle") << true << "C-310" << QString::fromUtf8("循环气压缩机") << "102 C  6.8 bar"
                                      << QColor(255, 194, 92);
}

void tst_RefineryProcessView::nodesFromSnapshot()
{
    QFETCH(bool, chinese);
    QFETCH(QString, id);
    RefinerySimulator simulator;
    RefineryProcessView view;
    view.setChinese(chinese);
    view.setSnapshot(simulator.snapshot());
    const QVector<VYRQFlowNode> nodes = view.nodes();
    const VYRQFlowNode* node = nodeOf(nodes, id);
    QVERIFY(node);
    QTEST(node->subtitle, "subtitle");
    QTEST(node->value, "value");
    QTEST(node->accent, "accent");
}

void tst_RefineryProcessView::selection_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("selected");
    QTest::newRow("reactor") << "R-203" << 1;
    QTest::newRow("equipment without a node") << "P-421" << 0;
    QTest::newRow("none") << QString() << 0;
}

void tst_RefineryProcessView::selection()
{
    QFETCH(QString, id);
    QFETCH(int, selected);
    RefinerySimulator simulator;
    RefineryProcessView view;
    view.setSelectedEquipmentId(QStringLiteral("F-102"));
    view.setSelectedEquipmentId(id);
    view.setSnapshot(simulator.snapshot());   // the selection survives a new snapshot
    int count = 0;
    for (const VYRQFlowNode& node : view.nodes())
        if (node.selected) {
            ++count;
            QCOMPARE(node.id, id);
        }
    QCOMPARE(count, selected);
    QCOMPARE(view.selectedNodeId(), id);
}

void tst_RefineryProcessView::lookupIgnoresCaseAndMissingItems()
{
    RefinerySimulator simulator;
    RefinerySnapshot snapshot = simulator.snapshot();
    snapshot.equipment[0].id = QStringLiteral("p-101");   // found without regard to case
    snapshot.equipment.remove(2);                          // F-102 gone
    RefineryProcessView view;
    view.setSnapshot(snapshot);
    const QVector<VYRQFlowNode> nodes = view.nodes();
    QCOMPARE(nodeOf(nodes, QStringLiteral("P-101"))->subtitle, QStringLiteral("Crude Feed Pump"));
    const VYRQFlowNode* furnace = nodeOf(nodes, QStringLiteral("F-102"));
    QVERIFY(furnace->value.isEmpty());
    QCOMPARE(furnace->accent, kGrey);
}

void tst_RefineryProcessView::clickReportsEquipment()
{
    RefinerySimulator simulator;
    RefineryProcessView view;
    view.resize(900, 400);
    view.setSnapshot(simulator.snapshot());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QSignalSpy spy(&view, &RefineryProcessView::equipmentActivated);
    const QRectF rect = view.nodeRect(*nodeOf(view.nodes(), QStringLiteral("C-310")));
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, rect.center().toPoint());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("C-310"));
    // Read-only: a drag does not move the node.
    const QPointF before = QPointF(nodeOf(view.nodes(), QStringLiteral("C-310"))->x, 0);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, rect.center().toPoint());
    QTest::mouseMove(&view, rect.center().toPoint() + QPoint(60, 40));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, rect.center().toPoint() + QPoint(60, 40));
    QCOMPARE(nodeOf(view.nodes(), QStringLiteral("C-310"))->x, before.x());
}

void tst_RefineryProcessView::repaintsOnlyOnChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("repaint");
    QTest::newRow("same snapshot") << "none" << false;
    QTest::newRow("same selection and language") << "same setters" << false;
    QTest::newRow("temperature moves") << "temperature" << true;
    QTest::newRow("selection moves") << "selection" << true;
    QTest::newRow("language switch") << "language" << true;
}

void tst_RefineryProcessView::repaintsOnlyOnChange()
{
    QFETCH(QString, change);
    QFETCH(bool, repaint);
    RefinerySimulator simulator;
    RefinerySnapshot snapshot = simulator.snapshot();
    RefineryProcessView view;
    view.resize(900, 400);
    view.setSelectedEquipmentId(QStringLiteral("R-203"));
    view.setSnapshot(snapshot);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCoreApplication::processEvents();
    PaintCounter counter;
    view.installEventFilter(&counter);

    if (change == QLatin1String("temperature"))
        snapshot.equipment[0].temperature += 5.0;
    if (change == QLatin1String("selection"))
        view.setSelectedEquipmentId(QStringLiteral("P-101"));
    else if (change == QLatin1String("language"))
        view.setChinese(true);
    else if (change == QLatin1String("same setters")) {
        view.setSelectedEquipmentId(QStringLiteral("R-203"));
        view.setChinese(false);
    }
    view.setSnapshot(snapshot);

    if (repaint) {
        QTRY_VERIFY(counter.paints > 0);
    } else {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(counter.paints, 0);
    }
    // Whatever was skipped, the diagram shows the latest values.
    const VYRQFlowNode* pump = nodeOf(view.nodes(), QStringLiteral("P-101"));
    QCOMPARE(pump->value, QStringLiteral("%1 C  %2 bar")
                              .arg(snapshot.equipment[0].temperature, 0, 'f', 0)
                              .arg(snapshot.equipment[0].pressure, 0, 'f', 1));
    QCOMPARE(view.selectedNodeId(), change == QLatin1String("selection") ? QStringLiteral("P-101")
                                                                        : QStringLiteral("R-203"));
}

void tst_RefineryProcessView::canvasFollowsSize()
{
    // The canvas and its grid are the flow view's, which keeps them as a picture per
    // size: a new size draws a new one.
    const QColor fill(0x17, 0x19, 0x1D);
    RefineryProcessView view;
    QVERIFY(view.isGridVisible());
    QVERIFY(view.getDrawBackground());
    for (const QSize size : {QSize(900, 400), QSize(610, 300), QSize(900, 400)}) {
        view.resize(size);
        const QImage image = view.grab().toImage();
        const int lastLine = (size.width() - 1) / 28 * 28;
        QCOMPARE(image.pixelColor(14, 14), fill);
        QCOMPARE(image.pixelColor(size.width() - 14, size.height() / 2 + 14), fill);
        QVERIFY(image.pixelColor(28, 14) != fill);
        QVERIFY(image.pixelColor(lastLine, 14) != fill);
        QVERIFY(image.pixelColor(14, 28) != fill);
    }
}

QTEST_MAIN(tst_RefineryProcessView)
#include "tst_refineryprocessview.moc"
