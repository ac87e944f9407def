#include "RefinerySimulator.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const RefineryEquipment* find(const RefinerySnapshot& s, const QString& id)
{
    for (const RefineryEquipment& item : s.equipment)
        if (item.id == id)
            return &item;
    return nullptr;
}

void advanceTo(RefinerySimulator& sim, int tick)
{
    while (sim.snapshot().tick < tick)
        sim.advance();
}

} // namespace

class tst_RefinerySimulator : public QObject {
    Q_OBJECT
private slots:
    void keyFiguresAndReadings_data();
    void keyFiguresAndReadings();
    void equipmentTableAndCounts();
    void historyBuildAndRoll_data();
    void historyBuildAndRoll();
    void signalsPerTick();
    void acknowledgeRefusals_data();
    void acknowledgeRefusals();
    void acknowledgeSuccess();
    void timerInterval_data();
    void timerInterval();
    void snapshotTravelsQueued();
    void roundingHalvesGoUp_data();
    void roundingHalvesGoUp();
};

// Expected values worked out from the formulas, independently of the code under test.
void tst_RefinerySimulator::keyFiguresAndReadings_data()
{
    QTest::addColumn<int>("tick");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QVector<double>>("figures");   // throughput, availability, energy
    QTest::addColumn<QVector<double>>("readings");  // temperature, pressure, flow, vibration, health, efficiency

    using V = QVector<double>;
    const V t0{468.0, 96.4, 38.7}, t5{470.4, 96.5, 39.0}, t10{472.8, 96.5, 39.3}, t100{463.1, 96.9, 39.9};
    QTest::newRow("0 P-101") << 0 << "P-101" << t0 << V{58.0, 2.2, 118.0, 1.4, 92.0, 88.0};
    QTest::newRow("0 R-203") << 0 << "R-203" << t0 << V{220.6, 9.03, 236.6, 2.25, 61.0, 91.8};
    QTest::newRow("0 C-310") << 0 << "C-310" << t0 << V{101.5, 6.8, 154.9, 5.21, 68.0, 88.0};
    QTest::newRow("0 P-421") << 0 << "P-421" << t0 << V{156.7, 3.53, 233.8, 1.94, 90.2, 90.4};
    QTest::newRow("5 P-101") << 5 << "P-101" << t5 << V{59.9, 2.32, 121.1, 1.75, 90.8, 89.6};
    QTest::newRow("10 R-203") << 10 << "R-203" << t10 << V{217.1, 8.8, 232.5, 1.79, 61.0, 89.7};
    QTest::newRow("100 F-102") << 100 << "F-102" << t100 << V{911.0, 4.55, 193.3, 1.55, 58.0, 88.7};
    QTest::newRow("100 HX-7") << 100 << "HX-7" << t100 << V{189.6, 3.56, 160.7, 2.04, 76.0, 72.0};
}

void tst_RefinerySimulator::keyFiguresAndReadings()
{
    QFETCH(int, tick);
    QFETCH(QString, id);
    QFETCH(QVector<double>, figures);
    QFETCH(QVector<double>, readings);

    RefinerySimulator sim;
    advanceTo(sim, tick);
    const RefinerySnapshot& s = sim.snapshot();
    QCOMPARE(s.tick, tick);
    QCOMPARE(s.shiftCode, QStringLiteral("B162"));
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(s.timeText).hasMatch());
    QCOMPARE(s.throughput, figures[0]);
    QCOMPARE(s.availability, figures[1]);
    QCOMPARE(s.energy, figures[2]);
    const RefineryEquipment* item = find(s, id);
    QVERIFY(item);
    QCOMPARE(item->temperature, readings[0]);
    QCOMPARE(item->pressure, readings[1]);
    QCOMPARE(item->flow, readings[2]);
    QCOMPARE(item->vibration, readings[3]);
    QCOMPARE(item->health, readings[4]);
    QCOMPARE(item->efficiency, readings[5]);
}

void tst_RefinerySimulator::equipmentTableAndCounts()
{
    RefinerySimulator sim;
    for (int round = 0; round < 2; ++round) {
        const RefinerySnapshot& s = sim.snapshot();
        QCOMPARE(s.equipment.size(), 12);
        QCOMPARE(s.normalCount, 7);
        QCOMPARE(s.warningCount, 3);
        QCOMPARE(s.criticalCount, 2);
        for (int i = 0; i < s.equipment.size(); ++i)
            QCOMPARE(s.equipment[i].index, i);
        QStringList ids;
        for (const RefineryAlarm& a : s.alarms)
            ids << a.id;
        QCOMPARE(ids, QStringList({"ALM-203", "ALM-102", "ALM-HX7", "ALM-310", "ALM-112"}));
        QVERIFY(s.alarms[2].detailZh.contains(QChar(0xFF0C)));   // full-width comma survives the source encoding
        advanceTo(sim, 37);   // the table and the alarms do not move with time
    }
}

void tst_RefinerySimulator::historyBuildAndRoll_data()
{
    QTest::addColumn<int>("tick");
    QTest::addColumn<QVector<double>>("last");   // temperature, forecast, pressure, vibration

    QTest::newRow("built") << 0 << QVector<double>{199.7, 204.3, 5.5, 2.78};
    QTest::newRow("first roll") << 5 << QVector<double>{218.1, 215.1, 8.71, 5.92};
    QTest::newRow("second roll") << 10 << QVector<double>{221.0, 215.7, 8.85, 6.3};
    QTest::newRow("twentieth roll") << 100 << QVector<double>{217.9, 210.8, 8.69, 5.88};
}

void tst_RefinerySimulator::historyBuildAndRoll()
{
    QFETCH(int, tick);
    QFETCH(QVector<double>, last);

    RefinerySimulator sim;
    const QVector<double> built = sim.snapshot().reactorTemperatureHistory;
    advanceTo(sim, tick);
    const RefinerySnapshot& s = sim.snapshot();
    QCOMPARE(s.historyLabels.at(9), QStringLiteral("09:00"));
    QCOMPARE(s.historyLabels.last(), QStringLiteral("23:00"));
    for (const QVector<double>* series : {&s.reactorTemperatureHistory, &s.reactorTemperatureForecast,
                                          &s.reactorPressureHistory, &s.compressorVibrationHistory})
        QCOMPARE(series->size(), 24);
    QCOMPARE(s.reactorTemperatureHistory.last(), last[0]);
    QCOMPARE(s.reactorTemperatureForecast.last(), last[1]);
    QCOMPARE(s.reactorPressureHistory.last(), last[2]);
    QCOMPARE(s.compressorVibrationHistory.last(), last[3]);

    // The oldest points leave from the front, one per roll.
    QCOMPARE(s.reactorTemperatureHistory.first(), built.at(tick / 5));
    if (tick == 5)
        QCOMPARE(s.reactorTemperatureHistory.first(), 209.5);
    if (tick == 0) {
        QCOMPARE(s.reactorTemperatureHistory.first(), 202.0);
        QCOMPARE(s.reactorTemperatureForecast.first(), 208.3);
        QCOMPARE(s.reactorPressureHistory.first(), 6.72);
        QCOMPARE(s.compressorVibrationHistory.first(), 2.3);
    }
}

void tst_RefinerySimulator::signalsPerTick()
{
    RefinerySimulator sim;
    QStringList order;
    connect(&sim, &RefinerySimulator::snapshotChanged, this,
            [&order](const RefinerySnapshot& s) { order << QStringLiteral("s%1").arg(s.tick); });
    connect(&sim, &RefinerySimulator::historyChanged, this,
            [&order](const RefinerySnapshot& s) { order << QStringLiteral("h%1").arg(s.tick); });
    QVERIFY(order.isEmpty());   // construction emits nothing
    for (int i = 0; i < 10; ++i)
        sim.advance();
    QCOMPARE(order, QStringList({"s1", "s2", "s3", "s4", "s5", "h5", "s6", "s7", "s8", "s9", "s10", "h10"}));
}

void tst_RefinerySimulator::acknowledgeRefusals_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("empty") << QString();
    QTest::newRow("unknown") << QStringLiteral("ALM-999");
    QTest::newRow("lower case") << QStringLiteral("alm-203");
    QTest::newRow("equipment id") << QStringLiteral("R-203");
    QTest::newRow("repeated") << QStringLiteral("ALM-203");
}

void tst_RefinerySimulator::acknowledgeRefusals()
{
    QFETCH(QString, id);
    RefinerySimulator sim;
    const bool repeated = QTest::currentDataTag() == QByteArray("repeated");
    if (repeated)
        QVERIFY(sim.acknowledgeAlarm(id));
    QSignalSpy snapshots(&sim, &RefinerySimulator::snapshotChanged);
    QSignalSpy acks(&sim, &RefinerySimulator::alarmAcknowledged);
    QVERIFY(!sim.acknowledgeAlarm(id));
    QCOMPARE(snapshots.count(), 0);
    QCOMPARE(acks.count(), 0);
    int acknowledged = 0;
    for (const RefineryAlarm& a : sim.snapshot().alarms)
        acknowledged += a.acknowledged ? 1 : 0;
    QCOMPARE(acknowledged, repeated ? 1 : 0);
}

void tst_RefinerySimulator::acknowledgeSuccess()
{
    RefinerySimulator sim;
    advanceTo(sim, 3);
    const double throughput = sim.snapshot().throughput;
    QStringList order;
    connect(&sim, &RefinerySimulator::snapshotChanged, this, [&order](const RefinerySnapshot& s) {
        order << QStringLiteral("snapshot %1 %2").arg(s.tick).arg(s.alarms[1].acknowledged);
    });
    connect(&sim, &RefinerySimulator::alarmAcknowledged, this,
            [&order](const QString& id) { order << QStringLiteral("ack ") + id; });
    QSignalSpy history(&sim, &RefinerySimulator::historyChanged);

    bool ok = false;
    QVERIFY(QMetaObject::invokeMethod(&sim, "acknowledgeAlarm", Q_RETURN_ARG(bool, ok),
                                      Q_ARG(QString, QStringLiteral("ALM-102"))));
    QVERIFY(ok);
    QCOMPARE(order, QStringList({"snapshot 3 1", "ack ALM-102"}));
    QCOMPARE(history.count(), 0);
    QCOMPARE(sim.snapshot().throughput, throughput);

    // The acknowledgement outlives later ticks; the alarm stays in the list.
    advanceTo(sim, 8);
    QCOMPARE(sim.snapshot().alarms.size(), 5);
    QVERIFY(sim.snapshot().alarms[1].acknowledged);
    QVERIFY(!sim.snapshot().alarms[0].acknowledged);
}

void tst_RefinerySimulator::timerInterval_data()
{
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("interval");
    QTest::newRow("default") << -1 << 1000;
    QTest::newRow("below floor") << 10 << 50;
    QTest::newRow("floor") << 50 << 50;
    QTest::newRow("above") << 250 << 250;
}

void tst_RefinerySimulator::timerInterval()
{
    QFETCH(int, requested);
    QFETCH(int, interval);
    RefinerySimulator sim;
    QVERIFY(!sim.isRunning());
    if (requested == -1)
        sim.start();
    else
        sim.start(requested);
    QVERIFY(sim.isRunning());
    QCOMPARE(sim.interval(), interval);
    sim.stop();
    QVERIFY(!sim.isRunning());
}

void tst_RefinerySimulator::snapshotTravelsQueued()
{
    RefinerySimulator sim;
    QCOMPARE(QMetaType::type("RefinerySnapshot"), qMetaTypeId<RefinerySnapshot>());
    int seenTick = -1;
    connect(&sim, &RefinerySimulator::snapshotChanged, this,
            [&seenTick](const RefinerySnapshot& s) { seenTick = s.tick; }, Qt::QueuedConnection);
    sim.start(50);
    QTRY_VERIFY(seenTick >= 1);
    sim.stop();
}

void tst_RefinerySimulator::roundingHalvesGoUp_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");
    QTest::newRow("half up") << 2.25 << 1 << 2.3;
    QTest::newRow("negative half") << -2.5 << 0 << -2.0;
    QTest::newRow("two decimals") << 8.6049 << 2 << 8.6;
}

void tst_RefinerySimulator::roundingHalvesGoUp()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, expected);
    QCOMPARE(RefinerySimulator::roundTo(value, decimals), expected);
}

QTEST_GUILESS_MAIN(tst_RefinerySimulator)
#include "tst_refinerysimulator.moc"
