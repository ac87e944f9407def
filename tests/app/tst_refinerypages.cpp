#include "monitor_testutil.h"
#include "RefineryPlantWindow.h"
#include "testaccess.h"
#include "RefineryProcessView.h"
#include "RefinerySimulator.h"
#include "VYRQComboBox.h"
#include "VYRQGlobal.h"
#include "VYRQLabel.h"
#include "VYRQPushButton.h"
#include "VYRQLineChart.h"
#include "VYRQLineChartImpl.h"
#include "VYRQLineChartMath.h"
#include "VYRQOpenGLPieChart.h"
#include "VYRQOpenGLPieChartImpl.h"
#include "VYRQStackContainer.h"
#include "VYRQTableView.h"

#include <QAbstractItemView>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QThread>
#include <QtTest>

#include <cmath>

namespace {

QString themeOf(QWidget* widget)
{
    auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
    return control ? control->getControlImpl()->themeName() : QString();
}

QStringList labelTexts(QWidget* root)
{
    QStringList texts;
    for (VYRQLabel* label : root->findChildren<VYRQLabel*>())
        texts << label->text();
    return texts;
}

VYRQPushButton* buttonByTheme(QWidget* root, const char* theme)
{
    for (VYRQPushButton* button : root->findChildren<VYRQPushButton*>())
        if (themeOf(button) == QLatin1String(theme))
            return button;
    return nullptr;
}

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

QStringList alarmIds(const RefineryPlantWindow& window)
{
    QStringList ids;
    for (const RefineryPlantWindow::AlarmRowWidgets& row : window.getAlarmRows())
        if (!row.rowContainer->isHidden())
            ids << row.alarmId;
    return ids;
}

VYRQContainer* drawerOf(QWidget* window)
{
    return window->findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
}

bool drawerSettled(VYRQContainer* drawer)
{
    return !drawer->isResizeAnimationRunning() && drawer->getChildLayout() == VYRQContainer::Vertical;
}

// Luminance contrast of two colours, 1 to 21.
double contrast(QColor a, QColor b)
{
    auto luminance = [](const QColor& c) {
        auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double x = luminance(a);
    const double y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// The largest contrast of any pixel of `area` against the colour at `background`.
double bestContrast(const QImage& image, const QRect& area, const QPoint& background)
{
    const QColor base = image.pixelColor(background);
    double best = 1.0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, contrast(image.pixelColor(x, y), base));
    return best;
}

// A window whose simulator holds still at tick 0.
struct StillWindow : RefineryPlantWindow {
    StillWindow() { plantSimulator()->stop(); }
};

} // namespace

class tst_RefineryPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pageTexts_data();
    void pageTexts();
    void alarmRowsFollowAcknowledgements();
    void selectEquipment_data();
    void selectEquipment();
    void unknownIdsChangeNothing();
    void acknowledgeFromDrawer();
    void rowClicks();
    void trendSeriesAndLanguage();
    void chartsFromSnapshot();
    void tableConfigurationAndClicks();
    void navigationAndDrawer();
    void drawerTimings();
    void drawerReopenedDuringClose();
    void drawerHeightFollowsPage();
    void drawerCyclesUnderLoad();
    void tableTickKeepsScrollAndSelection();
    void readableAtEverySize_data();
    void readableAtEverySize();
    void comboChevronReadableAfterPick();
    void textsFitTheirRows();
};

void tst_RefineryPages::initTestCase()
{
    VYRQtLib::init();
    QVERIFY(vyrLoadThemeDir(TARNEX_THEME_DIR));
}

void tst_RefineryPages::pageTexts_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("dashboard");
    QTest::addColumn<QStringList>("plant");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("reactorRow");   // the equipment table's fourth row

    QTest::newRow("English") << 0
                             << QStringList{"Operations Dashboard", "Plan 480", "Predictive Alerts Preview",
                                            "SHIFT B162", "468", "96.4", "38.7", "5", "2 min ago"}
                             << QStringList{"Plant Overview", "units", "Equipment Telemetry & Health", "7", "3", "2"}
                             << "7 normal / 5 alarms"
                             << QStringList{"Equipment", "Name", "Area", "Temperature", "Pressure", "Flow", "Health",
                                            "Status"}
                             << QStringList{"R-203", "Hydrotreater Reactor", "Reaction Unit", "220.6 C", "9.03 bar",
                                            "237 m3/h", "61%", "CRITICAL"};
    QTest::newRow("Chinese") << 1
                             << QStringList{u("运行总览"), u("计划值 480"), u("预测告警趋势"), "SHIFT B162",
                                            u("紧急"), u("2 分钟前")}
                             << QStringList{u("装置流程总览"), u("台"), u("设备遥测与健康状态")}
                             << u("7 正常 / 5 告警") << u("设备,名称,区域,温度,压力,流量,健康度,状态").split(',')
                             << QStringList{"R-203", u("加氢反应器"), u("反应单元"), "220.6 C", "9.03 bar", "237 m3/h",
                                            "61%", u("紧急")};
}

void tst_RefineryPages::pageTexts()
{
    QFETCH(int, language);
    QFETCH(QStringList, dashboard);
    QFETCH(QStringList, plant);
    StillWindow window;
    window.setLanguage(language);
    const QStringList onDashboard = labelTexts(window.findChild<QWidget*>(QStringLiteral("dashboardPage")));
    for (const QString& text : dashboard)
        QVERIFY2(onDashboard.contains(text), qPrintable(text));
    const QStringList onPlant = labelTexts(window.findChild<QWidget*>(QStringLiteral("plantPage")));
    for (const QString& text : plant)
        QVERIFY2(onPlant.contains(text), qPrintable(text));
    // An alarm title too long for its row shows elided.
    const QString title = window.getAlarmRows().at(0).titleLabel->text();
    const QString fullTitle = language == 1 ? u("反应器 R-203 压力过高") : QStringLiteral("High pressure in reactor R-203");
    QVERIFY2(title == fullTitle || (title.endsWith(QChar(0x2026)) && fullTitle.startsWith(title.chopped(1))),
             qPrintable(title));
    QTEST(window.findChild<VYRQLabel*>(QStringLiteral("shiftSummaryValue"))->text(), "summary");
    QCOMPARE(buttonByTheme(window.findChild<QWidget*>(QStringLiteral("dashboardPage")), "KolvSecondaryButton")->text(),
             language == 1 ? u("打开") : QStringLiteral("Open"));
    const QStringList inDrawer = labelTexts(drawerOf(&window));
    QVERIFY(inDrawer.contains(language == 1 ? u("设备健康趋势") : QStringLiteral("Equipment Health Trend")));
    QCOMPARE(buttonByTheme(&window, "KolvPrimaryButton")->text(),
             language == 1 ? u("确认当前告警") : QStringLiteral("Acknowledge Alarm"));

    // The equipment table: every cell carries its row's id, the status column its icon.
    QFETCH(QStringList, headers);
    QFETCH(QStringList, reactorRow);
    QStandardItemModel* model = window.getEquipmentModel();
    QCOMPARE(model->rowCount(), 12);
    QCOMPARE(model->columnCount(), 8);
    for (int c = 0; c < 8; ++c) {
        QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), headers.at(c));
        QCOMPARE(model->item(3, c)->text(), reactorRow.at(c));
    }
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 8; ++c)
            QCOMPARE(model->item(r, c)->data(866).toString(), model->item(r, 0)->text());
    QCOMPARE(model->item(0, 7)->data(356).toString(), QStringLiteral(":/tarnex/icons/normal.svg"));
    QCOMPARE(model->item(1, 7)->data(356).toString(), QStringLiteral(":/tarnex/icons/warning.svg"));
    QCOMPARE(model->item(2, 7)->data(356).toString(), QStringLiteral(":/tarnex/icons/critical.svg"));
    QVERIFY(!model->item(0, 0)->data(356).isValid());
}

void tst_RefineryPages::alarmRowsFollowAcknowledgements()
{
    StillWindow window;
    RefinerySimulator* simulator = window.plantSimulator();
    auto* dashboard = window.findChild<QWidget*>(QStringLiteral("dashboardPage"));
    // The watch rows show each item's own reading and status.
    const QStringList watch[] = {{"C-310", "5.2 mm/s", "WARNING", "KolvLabelWarning"},
                                 {"F-102", "925 C", "CRITICAL", "KolvLabelDanger"},
                                 {"P-112", "39 m3/h", "WARNING", "KolvLabelWarning"}};
    for (int i = 0; i < 3; ++i) {
        const RefineryPlantWindow::WatchRowWidgets& row = window.getWatchRows().at(i);
        QCOMPARE((QStringList{row.equipmentId, row.valueLabel->text(), row.statusLabel->text(),
                              themeOf(row.statusLabel)}),
                 watch[i]);
    }

    QCOMPARE(alarmIds(window), QStringList({"ALM-203", "ALM-102", "ALM-HX7", "ALM-310"}));
    QCOMPARE(window.getAlarmRows()[3].severityLabel->text(), QStringLiteral("WARNING"));

    QVERIFY(simulator->acknowledgeAlarm(QStringLiteral("ALM-203")));
    QCOMPARE(alarmIds(window), QStringList({"ALM-102", "ALM-HX7", "ALM-310", "ALM-112"}));
    QCOMPARE(themeOf(window.getAlarmRows()[0].severityLabel), QStringLiteral("KolvLabelDanger"));
    QCOMPARE(themeOf(window.getAlarmRows()[1].severityLabel), QStringLiteral("KolvLabelWarning"));
    QVERIFY(labelTexts(dashboard).contains(QStringLiteral("4")));

    for (const char* id : {"ALM-102", "ALM-HX7", "ALM-310", "ALM-112"})
        QVERIFY(simulator->acknowledgeAlarm(QString::fromLatin1(id)));
    QVERIFY(alarmIds(window).isEmpty());
    QVERIFY(labelTexts(dashboard).contains(QStringLiteral("0")));
    // The summary counts equipment by status, not alarms.
    QCOMPARE(window.findChild<VYRQLabel*>(QStringLiteral("shiftSummaryValue"))->text(),
             QStringLiteral("7 normal / 5 alarms"));
}

void tst_RefineryPages::selectEquipment_data()
{
    QTest::addColumn<QString>("select");   // an alarm id selects through selectAlarm
    QTest::addColumn<QString>("equipment");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<QStringList>("drawerTexts");
    QTest::addColumn<bool>("canAcknowledge");
    QTest::addColumn<QString>("badge");
    QTest::newRow("no alarm") << "P-101" << "P-101" << QString()
                              << QStringList{"No unacknowledged alarm for this equipment."} << false
                              << "KolvStatusNormal";
    QTest::newRow("reactor by its alarm")
        << "ALM-203" << "R-203" << "ALM-203"
        << QStringList{"Risk of reactor trip or pressure relief activation", "Hydrotreater Reactor / Reaction Unit",
                       "2.25 mm/s", "61% health / 92% efficiency"}
        << true << "KolvStatusCritical";
    QTest::newRow("exchanger") << "HX-7" << "HX-7" << "ALM-HX7"
                               << QStringList{"Reduced heat-transfer efficiency indicates fouling"} << true
                               << "KolvStatusWarning";
}

void tst_RefineryPages::selectEquipment()
{
    QFETCH(QString, select);
    QFETCH(QString, equipment);
    StillWindow window;
    window.show();
    auto* drawer = drawerOf(&window);
    QVERIFY(drawer->isHidden());
    if (select.startsWith(QLatin1String("ALM-")))
        window.selectAlarm(select);
    else
        window.selectEquipment(select);
    QCOMPARE(window.getSelectedEquipmentId(), equipment);
    QTEST(window.getSelectedAlarmId(), "alarm");
    QCOMPARE(window.findChild<VYRQStackContainer*>(QStringLiteral("kolvPageStack"))->currentIndex(), 1);
    QVERIFY(window.isDrawerOpen() && drawer->isVisible());
    QFETCH(QStringList, drawerTexts);
    const QStringList texts = labelTexts(drawer);
    for (const QString& text : drawerTexts)
        QVERIFY2(texts.contains(text), qPrintable(text));
    QTEST(buttonByTheme(drawer, "KolvPrimaryButton")->isEnabled(), "canAcknowledge");
    QStringList badges;
    for (VYRQContainer* c : drawer->findChildren<VYRQContainer*>())
        if (themeOf(c).startsWith(QLatin1String("KolvStatus")))
            badges << themeOf(c);
    QFETCH(QString, badge);
    QCOMPARE(badges, QStringList{badge});
    for (RefineryProcessView* view : window.findChildren<RefineryProcessView*>())
        QCOMPARE(view->selectedNodeId(), equipment);
}

void tst_RefineryPages::unknownIdsChangeNothing()
{
    StillWindow window;
    // Ids are matched exactly; an alarm id is no equipment id and the reverse.
    for (const QString& id : {QString(), QStringLiteral("ALM-999"), QStringLiteral("alm-203"),
                              QStringLiteral("R-203"), QStringLiteral("r-203")}) {
        window.selectAlarm(id);
        window.selectEquipment(id == QLatin1String("R-203") ? QStringLiteral("ALM-203") : id);
        QCOMPARE(window.getCurrentPage(), 0);
        QVERIFY(!window.isDrawerOpen());
        QVERIFY(window.getSelectedAlarmId().isEmpty());
        QCOMPARE(window.getSelectedEquipmentId(), QStringLiteral("R-203"));
    }
    QVERIFY(!window.acknowledgeSelectedAlarm());   // nothing selected
    int acknowledged = 0;
    for (const RefineryAlarm& alarm : window.currentSnapshot().alarms)
        acknowledged += alarm.acknowledged;
    QCOMPARE(acknowledged, 0);
}

void tst_RefineryPages::acknowledgeFromDrawer()
{
    StillWindow window;
    window.show();
    window.selectAlarm(QStringLiteral("ALM-102"));
    auto* drawer = drawerOf(&window);
    VYRQPushButton* acknowledge = buttonByTheme(drawer, "KolvPrimaryButton");
    QTRY_COMPARE(drawer->width(), 390);
    QVERIFY(acknowledge->isEnabled());
    QSignalSpy acks(window.plantSimulator(), &RefinerySimulator::alarmAcknowledged);
    QTest::mouseClick(acknowledge, Qt::LeftButton);
    QCOMPARE(acks.count(), 1);
    QVERIFY(!acknowledge->isEnabled());
    // The alarm stays selected; the dashboard drops it and counts one less.
    QCOMPARE(window.getSelectedAlarmId(), QStringLiteral("ALM-102"));
    QCOMPARE(alarmIds(window), QStringList({"ALM-203", "ALM-HX7", "ALM-310", "ALM-112"}));
    QVERIFY(labelTexts(drawer).contains(QStringLiteral("Tube skin temperature is above the operating envelope")));
    // Refused a second time: nothing changes.
    QVERIFY(!window.acknowledgeSelectedAlarm());
    QCOMPARE(acks.count(), 1);
    // Equipment selected later follows its own open alarm.
    window.selectEquipment(QStringLiteral("F-102"));
    QVERIFY(window.getSelectedAlarmId().isEmpty());
}

void tst_RefineryPages::rowClicks()
{
    StillWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.getAlarmRows()[1].rowContainer->width() > 0);
    QTest::mouseClick(window.getAlarmRows()[1].rowContainer, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(window.getSelectedAlarmId(), QStringLiteral("ALM-102"));
    QCOMPARE(window.getCurrentPage(), 1);
    window.setPage(0);
    QTest::mouseClick(window.getWatchRows()[2].rowContainer, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(window.getSelectedEquipmentId(), QStringLiteral("P-112"));
    QCOMPARE(window.getSelectedAlarmId(), QStringLiteral("ALM-112"));

    // An empty alarm row does nothing.
    window.setDrawerOpen(false);
    window.setPage(0);
    for (const char* id : {"ALM-203", "ALM-102", "ALM-HX7", "ALM-310", "ALM-112"})
        window.plantSimulator()->acknowledgeAlarm(QString::fromLatin1(id));
    QTest::mouseClick(window.getAlarmRows()[0].rowContainer, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(window.getCurrentPage(), 0);
}

void tst_RefineryPages::trendSeriesAndLanguage()
{
    StillWindow window;
    auto* combo = window.findChild<VYRQComboBox*>();
    QVERIFY(combo);
    window.setTrendSeries(7);
    QCOMPARE(window.getTrendSeries(), 2);
    QCOMPARE(combo->currentIndex(), 2);
    window.setTrendSeries(-3);
    QCOMPARE(combo->currentIndex(), 0);
    combo->setCurrentIndex(1);   // the user's choice goes to the window
    QCOMPARE(window.getTrendSeries(), 1);

    QSignalSpy changes(combo, QOverload<int>::of(&QComboBox::currentIndexChanged));
    window.setLanguage(1);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(window.getTrendSeries(), 1);
    QCOMPARE(combo->currentIndex(), 1);
    QCOMPARE(combo->itemText(1), u("压力"));
    auto* trend = window.findChild<VYRQLineChart*>(QStringLiteral("predictiveTrendChart"));
    QCOMPARE(vyrtest::impl(trend)->series.size(), 1);
    QCOMPARE(vyrtest::impl(trend)->series[0].name, u("反应器压力"));
    QCOMPARE(vyrtest::impl(trend)->series[0].values, window.currentSnapshot().reactorPressureHistory);
    window.setTrendSeries(0);   // back to the temperature: the forecast returns
    QCOMPARE(vyrtest::impl(trend)->series.size(), 2);
    QCOMPARE(vyrtest::impl(trend)->series[1].name, u("AI 预测"));
    window.setTrendSeries(2);
    QCOMPARE(vyrtest::impl(trend)->series.size(), 1);
    QCOMPARE(vyrtest::impl(trend)->series[0].values, window.currentSnapshot().compressorVibrationHistory);
    window.setTrendSeries(1);
    window.setLanguage(0);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(combo->itemText(2), QStringLiteral("Vibration"));
}

void tst_RefineryPages::chartsFromSnapshot()
{
    StillWindow window;
    auto* pie = window.findChild<VYRQOpenGLPieChart*>(QStringLiteral("shiftSummaryChart"));
    auto* trend = window.findChild<VYRQLineChart*>(QStringLiteral("predictiveTrendChart"));
    auto* detail = window.findChild<VYRQLineChart*>(QStringLiteral("equipmentDetailChart"));
    QVERIFY(pie && trend && detail);

    const QVector<PieSlice>& slices = vyrtest::impl(pie)->slices;
    QCOMPARE(slices.size(), 3);
    QCOMPARE(slices[0].value, 7.0);
    QCOMPARE(slices[1].value, 3.0);
    QCOMPARE(slices[2].value, 2.0);

    const RefinerySnapshot& s = window.currentSnapshot();
    QCOMPARE(vyrtest::impl(trend)->categories, s.historyLabels);
    QCOMPARE(vyrtest::impl(trend)->series.size(), 2);
    QCOMPARE(vyrtest::impl(trend)->series[0].values, s.reactorTemperatureHistory);
    QCOMPARE(vyrtest::impl(trend)->series[1].values, s.reactorTemperatureForecast);

    // The drawer's line follows the selected equipment, red while it is critical.
    auto checkDetail = [&](const char* id, int index, const QColor& color) {
        const LineSeries& line = vyrtest::impl(detail)->series.at(0);
        QCOMPARE(vyrtest::impl(detail)->series.size(), 1);
        QCOMPARE(line.values.size(), 24);
        double temperature = 0;
        for (const RefineryEquipment& item : window.currentSnapshot().equipment)
            if (item.id == QLatin1String(id))
                temperature = item.temperature;
        QCOMPARE(line.values[0], temperature + 4 * std::sin(0.3 * index));
        QCOMPARE(line.values[5], temperature + 4 * std::sin(0.52 * 5 + 0.3 * index));
        QCOMPARE(line.color, color);
    };
    checkDetail("R-203", 3, QColor(255, 83, 105));
    window.selectEquipment(QStringLiteral("P-101"));
    checkDetail("P-101", 0, QColor(150, 139, 255));

    // Ticks, a fifth one rolling the history, and an acknowledgement start the drawer's
    // chart over only when its line moves with the temperature.
    const auto temperatureOf = [&](const char* id) {
        for (const RefineryEquipment& item : window.currentSnapshot().equipment)
            if (item.id == QLatin1String(id))
                return item.temperature;
        return 0.0;
    };
    const quint64 revision = vyrtest::impl(detail)->seriesRevision;
    quint64 moved = 0;
    for (int tick = 0; tick < 10; ++tick) {
        const double before = temperatureOf("P-101");
        window.plantSimulator()->advance();
        moved += temperatureOf("P-101") != before;
        checkDetail("P-101", 0, QColor(150, 139, 255));
    }
    QVERIFY(window.plantSimulator()->acknowledgeAlarm(QStringLiteral("ALM-102")));
    checkDetail("P-101", 0, QColor(150, 139, 255));
    QCOMPARE(vyrtest::impl(detail)->seriesRevision - revision, moved);

    window.setLanguage(1);
    QCOMPARE(vyrtest::impl(pie)->slices[1].name, u("预警"));
    QCOMPARE(vyrtest::impl(detail)->series[0].name, u("设备温度"));
}

void tst_RefineryPages::tableConfigurationAndClicks()
{
    StillWindow window;
    window.show();
    window.setPage(1);
    auto* table = window.findChild<VYRQTableView*>(QStringLiteral("refineryEquipmentTable"));
    QVERIFY(table);
    // A click on any cell selects that row's equipment.
    QTRY_VERIFY(table->viewport()->height() > 3 * 38);
    const QModelIndex cell = window.getEquipmentModel()->index(2, 5);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, table->visualRect(cell).center());
    QCOMPARE(window.getSelectedEquipmentId(), QStringLiteral("F-102"));
    QCOMPARE(window.getSelectedAlarmId(), QStringLiteral("ALM-102"));
    QVERIFY(window.isDrawerOpen());
}

void tst_RefineryPages::navigationAndDrawer()
{
    StillWindow window;
    window.show();
    QTRY_VERIFY(window.getChartsIntroduced());   // the first showing of the dashboard
    QList<VYRQPushButton*> nav;
    for (VYRQPushButton* b : window.findChildren<VYRQPushButton*>())
        if (b->minimumWidth() == 164)
            nav << b;
    std::sort(nav.begin(), nav.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    QCOMPARE(nav.size(), 6);
    QCOMPARE(themeOf(nav[0]), QStringLiteral("KolvNavButtonActive"));
    // The last three stay disabled in both languages and do nothing.
    for (int language : {1, 0}) {
        window.setLanguage(language);
        for (int i = 3; i < 6; ++i) {
            QVERIFY(!nav[i]->isEnabled());
            QTest::mouseClick(nav[i], Qt::LeftButton);
            QCOMPARE(window.getCurrentPage(), 0);
        }
    }

    // Alarms: the first open alarm, on the plant page with the drawer.
    QTest::mouseClick(nav[1], Qt::LeftButton);
    QCOMPARE(window.getSelectedAlarmId(), QStringLiteral("ALM-203"));
    QVERIFY(window.isDrawerOpen());
    QCOMPARE(themeOf(nav[0]), QStringLiteral("KolvNavButton"));
    QCOMPARE(themeOf(nav[1]), QStringLiteral("KolvNavButton"));
    QCOMPARE(themeOf(nav[2]), QStringLiteral("KolvNavButtonActive"));
    // Plant while the drawer is open leaves it open; the dashboard closes it.
    QTest::mouseClick(nav[2], Qt::LeftButton);
    QVERIFY(window.isDrawerOpen());
    QTest::mouseClick(nav[0], Qt::LeftButton);
    QCOMPARE(window.getCurrentPage(), 0);
    QVERIFY(!window.isDrawerOpen());

    // With every alarm acknowledged, Alarms just shows the dashboard.
    window.setPage(1);
    const QVector<RefineryAlarm> alarms = window.currentSnapshot().alarms;
    for (const RefineryAlarm& alarm : alarms)
        window.plantSimulator()->acknowledgeAlarm(alarm.id);
    QTest::mouseClick(nav[1], Qt::LeftButton);
    QCOMPARE(window.getCurrentPage(), 0);
    QVERIFY(!window.isDrawerOpen());
}

void tst_RefineryPages::drawerTimings()
{
    StillWindow window;
    window.show();
    auto* drawer = drawerOf(&window);
    window.setPage(1);
    QElapsedTimer clock;
    clock.start();
    window.setDrawerOpen(true);
    QVERIFY(drawer->isVisible());
    QCOMPARE(drawer->getChildLayout(), VYRQContainer::NoUse);
    QVERIFY(drawer->isResizeAnimationRunning());
    QTRY_COMPARE(drawer->getChildLayout(), VYRQContainer::Vertical);
    QVERIFY(clock.elapsed() >= 200);
    QTRY_COMPARE(drawer->width(), 390);

    QTRY_VERIFY(!drawer->isResizeAnimationRunning());
    window.setDrawerOpen(true);   // already open: no animation
    QVERIFY(!drawer->isResizeAnimationRunning());

    clock.restart();
    window.setDrawerOpen(false);
    QVERIFY(drawer->isVisible());
    QVERIFY(drawer->isResizeAnimationRunning());
    QTRY_VERIFY(drawer->isHidden());
    QVERIFY(clock.elapsed() >= 200);
    QCOMPARE(drawer->width(), 390);
    QCOMPARE(drawer->minimumWidth(), 390);
    QCOMPARE(drawer->getChildLayout(), VYRQContainer::Vertical);
    window.setDrawerOpen(false);   // already closed
    QVERIFY(!drawer->isResizeAnimationRunning());
}

void tst_RefineryPages::drawerReopenedDuringClose()
{
    StillWindow window;
    window.show();
    auto* drawer = drawerOf(&window);
    window.setPage(1);
    window.setDrawerOpen(true);
    QTRY_COMPARE(drawer->getChildLayout(), VYRQContainer::Vertical);

    // Reopened while the closing slide still runs: the drawer ends open at full width
    // and is never shown at zero width while open.
    window.setDrawerOpen(false);
    QTest::qWait(60);
    window.setDrawerOpen(true);
    bool zeroWhileOpen = false;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 900) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (window.isDrawerOpen() && drawer->isVisible() && drawer->width() == 0)
            zeroWhileOpen = true;
    }
    QVERIFY(!zeroWhileOpen);
    QVERIFY(drawer->isVisible());
    QTRY_COMPARE(drawer->width(), 390);
    QTRY_COMPARE(drawer->getChildLayout(), VYRQContainer::Vertical);

    // Closed again after its slide: the late completion of an earlier close never
    // hides a drawer that was reopened.
    window.setDrawerOpen(false);
    QTRY_VERIFY(drawer->isHidden());
    window.setDrawerOpen(true);
    QTest::qWait(300);
    QVERIFY(drawer->isVisible());
}

void tst_RefineryPages::drawerHeightFollowsPage()
{
    StillWindow window;
    window.show();
    auto* drawer = drawerOf(&window);
    auto* plant = window.findChild<VYRQContainer*>(QStringLiteral("plantPage"));
    window.selectAlarm(QStringLiteral("ALM-203"));
    QTRY_COMPARE(drawer->getChildLayout(), VYRQContainer::Vertical);
    QTRY_VERIFY(!drawer->isResizeAnimationRunning());
    for (const QSize size : {QSize(1440, 900), QSize(1280, 720), QSize(1700, 1050)}) {
        window.resize(size);
        QCOMPARE(drawer->height(), qMax(plant->height() - 28, 440));
        QCOMPARE(drawer->width(), 390);
        // Docked to the far edge with the offset 16 past the page's right padding of 18.
        QCOMPARE(drawer->geometry().right(), plant->width() - 1 - 2);
    }
}

void tst_RefineryPages::drawerCyclesUnderLoad()
{
    StillWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setPage(1);
    auto* drawer = drawerOf(&window);
    VYRQPushButton* acknowledge = buttonByTheme(drawer, "KolvPrimaryButton");
    // A busy turn of the event loop queued before a slide holds back its start, so the
    // slide ends well after its nominal 220 ms, as on a loaded machine.
    auto busyTurn = [&window] {
        QMetaObject::invokeMethod(&window, [] { QThread::msleep(60); }, Qt::QueuedConnection);
    };
    for (int cycle = 0; cycle < 20; ++cycle) {
        if (cycle % 3 == 1)
            busyTurn();
        window.setDrawerOpen(true);
        QTRY_VERIFY(drawerSettled(drawer));
        QCOMPARE(drawer->width(), 390);
        QCOMPARE(acknowledge->width(), 390 - 14 - 14);
        if (cycle % 3 == 2)
            busyTurn();
        window.setDrawerOpen(false);
        QTRY_VERIFY(drawer->isHidden() && drawerSettled(drawer));
        QCOMPARE(drawer->width(), 390);
        QCOMPARE(drawer->minimumWidth(), 390);
        QCOMPARE(drawer->maximumWidth(), 390);
    }
    // The button still takes a click after all that.
    window.selectAlarm(QStringLiteral("ALM-102"));
    QTRY_VERIFY(drawerSettled(drawer));
    QSignalSpy acks(window.plantSimulator(), &RefinerySimulator::alarmAcknowledged);
    monitor::clickOn(&window, acknowledge, QPoint(acknowledge->width() - 20, acknowledge->height() / 2));
    QCOMPARE(acks.count(), 1);
}

void tst_RefineryPages::tableTickKeepsScrollAndSelection()
{
    StillWindow window;
    window.resize(1280, 720);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setPage(1);
    auto* table = window.findChild<VYRQTableView*>(QStringLiteral("refineryEquipmentTable"));
    QTRY_VERIFY(table->viewport()->height() > 2 * 38);
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
    QVERIFY(table->verticalScrollBar()->value() > 0);
    const int scrolled = table->verticalScrollBar()->value();
    const QModelIndex last = window.getEquipmentModel()->index(11, 0);
    monitor::clickOn(&window, table->viewport(), table->visualRect(last).center());
    QCOMPARE(window.getSelectedEquipmentId(), window.getEquipmentModel()->item(11, 0)->text());
    const QString before = window.getEquipmentModel()->item(11, 3)->text();

    window.plantSimulator()->advance();
    QCOMPARE(table->verticalScrollBar()->value(), scrolled);
    QCOMPARE(table->selectionModel()->selectedRows(), QModelIndexList{window.getEquipmentModel()->index(11, 0)});
    QVERIFY(window.getEquipmentModel()->item(11, 3)->text() != before || table->currentIndex().row() == 11);
    // A language switch rewrites the rows where they stand as well.
    window.setLanguage(1);
    QCOMPARE(table->verticalScrollBar()->value(), scrolled);
    QCOMPARE(window.getEquipmentModel()->headerData(0, Qt::Horizontal).toString(), u("设备"));
}

void tst_RefineryPages::readableAtEverySize_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("dashboardScrolls");
    QTest::newRow("1280x720") << QSize(1280, 720) << 0 << true;
    QTest::newRow("1280x720 Chinese") << QSize(1280, 720) << 1 << true;
    QTest::newRow("1440x900") << QSize(1440, 900) << 0 << false;
    QTest::newRow("1920x1080 Chinese") << QSize(1920, 1080) << 1 << false;
    // Below the minimum, as maximised on a small screen.
    QTest::newRow("900x600") << QSize(900, 600) << 0 << true;
    QTest::newRow("800x600 Chinese") << QSize(800, 600) << 1 << true;
}

void tst_RefineryPages::readableAtEverySize()
{
    QFETCH(QSize, size);
    QFETCH(int, language);
    StillWindow window;
    window.setLanguage(language);
    window.setMinimumSize(window.minimumSize().boundedTo(size));
    window.resize(size);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.findChild<QWidget*>(QStringLiteral("kolvRoot"))->size(), size);

    // The top bar's shown parts lie whole within it, none over another; the language
    // and window buttons are always among them.
    QWidget* topBar = nullptr;
    for (VYRQContainer* container : window.findChildren<VYRQContainer*>())
        if (container->getThemeName() == QLatin1String("KolvTopbar"))
            topBar = container;
    QVERIFY(topBar);
    QVector<QRect> parts;
    int windowAndLanguageButtons = 0;
    for (QObject* child : topBar->children()) {
        auto* part = qobject_cast<QWidget*>(child);
        if (!part || part->isHidden())
            continue;
        QVERIFY2(topBar->rect().contains(part->geometry()), part->metaObject()->className());
        for (const QRect& other : qAsConst(parts))
            QVERIFY2(!other.intersects(part->geometry()), part->metaObject()->className());
        parts << part->geometry();
        windowAndLanguageButtons += qobject_cast<VYRQPushButton*>(part) && part->width() != 34;
    }
    QCOMPARE(windowAndLanguageButtons, 5);
    // Narrower than the window's minimum, only the top bar keeps its whole layout.
    if (size.width() < 1280)
        return;

    auto* trend = window.findChild<VYRQLineChart*>(QStringLiteral("predictiveTrendChart"));
    const QRectF plot = vyrtest::impl(trend)->plotRect(trend->size());
    QVERIFY2(plot.height() >= 80, qPrintable(QString::number(plot.height())));
    auto* pie = window.findChild<VYRQOpenGLPieChart*>(QStringLiteral("shiftSummaryChart"));
    const QRectF donut = vyrtest::impl(pie)->pieRect(pie->size());
    QVERIFY2(donut.width() >= 60, qPrintable(QString::number(donut.width())));
    const QVector<ChartLegendItem> legend = vyrtest::impl(pie)->legendItems(pie->size());
    QCOMPARE(legend.size(), 3);
    for (const ChartLegendItem& item : legend) {
        QVERIFY(QRectF(QPointF(0, 0), QSizeF(pie->size())).contains(item.rect));
        QVERIFY(!item.rect.intersects(donut));
    }
    auto* scroller = window.findChild<QScrollArea*>(QStringLiteral("dashboardPageScroller"));
    QFETCH(bool, dashboardScrolls);
    QCOMPARE(scroller->verticalScrollBar()->maximum() > 0, dashboardScrolls);

    window.selectAlarm(QStringLiteral("ALM-203"));
    auto* drawer = drawerOf(&window);
    QTRY_VERIFY(drawerSettled(drawer));
    auto* detail = window.findChild<VYRQLineChart*>(QStringLiteral("equipmentDetailChart"));
    const QRectF detailPlot = vyrtest::impl(detail)->plotRect(detail->size());
    QVERIFY2(detailPlot.height() >= 80, qPrintable(QString::number(detailPlot.height())));
    // The drawer, its button included, stays within the window.
    VYRQPushButton* acknowledge = buttonByTheme(drawer, "KolvPrimaryButton");
    QVERIFY(window.rect().contains(QRect(acknowledge->mapTo(&window, QPoint(0, 0)), acknowledge->size())));

    for (RefineryProcessView* view : window.findChildren<RefineryProcessView*>()) {
        const QVector<VYRQFlowNode> nodes = view->nodes();
        for (int a = 0; a < nodes.size(); ++a)
            for (int b = a + 1; b < nodes.size(); ++b)
                QVERIFY2(!view->nodeRect(nodes[a]).intersects(view->nodeRect(nodes[b])),
                         qPrintable(view->objectName() + QLatin1Char(' ') + nodes[a].id + QLatin1Char(' ')
                                    + nodes[b].id));
    }

    // Value labels, 16 pixels tall, are thinned where the plot is too low for six.
    for (double height : {plot.height(), detailPlot.height(), 60.0, 38.0, 9.0}) {
        const QVector<int> levels = vyr::chart::valueLabelLevels(height, 5, 16);
        QCOMPARE(levels.first(), 0);
        for (int i = 1; i < levels.size(); ++i)
            QVERIFY((levels[i] - levels[i - 1]) * height / 5 >= 16);
    }
}

void tst_RefineryPages::comboChevronReadableAfterPick()
{
    StillWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* combo = window.findChild<VYRQComboBox*>();
    QTRY_VERIFY(combo->isVisible() && combo->width() == 126);
    const QRect chevron(combo->width() - 30, 4, 26, combo->height() - 8);
    const QPoint face(combo->width() - 32, combo->height() / 2);
    QVERIFY(bestContrast(combo->grab().toImage(), chevron, face) >= 3.0);

    monitor::clickOn(&window, combo);
    QAbstractItemView* list = combo->view();
    QTRY_VERIFY(list->isVisible());
    const QRect item = list->visualRect(list->model()->index(1, 0));
    QWidget* popup = list->window();
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, list->viewport()->mapTo(popup, item.center()));
    QTRY_COMPARE(window.getTrendSeries(), 1);
    QTRY_VERIFY(!list->isVisible());
    QVERIFY(bestContrast(combo->grab().toImage(), chevron, face) >= 3.0);
}

void tst_RefineryPages::textsFitTheirRows()
{
    StillWindow window;
    window.resize(1280, 720);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.getAlarmRows().at(0).titleLabel->width() > 20);
    // A refresh after the layout writes every title again.
    window.plantSimulator()->acknowledgeAlarm(QStringLiteral("ALM-HX7"));
    int elided = 0;
    for (const RefineryPlantWindow::AlarmRowWidgets& row : window.getAlarmRows()) {
        if (row.rowContainer->isHidden())
            continue;
        const QString title = row.titleLabel->text();
        QVERIFY2(QFontMetrics(row.titleLabel->font()).horizontalAdvance(title) <= row.titleLabel->width(),
                 qPrintable(title));
        elided += title.endsWith(QChar(0x2026));
        // The detail wraps within its label's lines, the last one elided if need be.
        const QString detail = row.detailLabel->text();
        const QFontMetrics metrics(row.detailLabel->font());
        const QRect wrapped = metrics.boundingRect(QRect(0, 0, row.detailLabel->width(), 1000),
                                                   Qt::TextWordWrap, detail);
        QVERIFY2(wrapped.height() <= row.detailLabel->height() + metrics.descent(), qPrintable(detail));
    }
    QVERIFY(elided > 0);

    // Watch-row texts sit on their row's middle line.
    for (const RefineryPlantWindow::WatchRowWidgets& row : window.getWatchRows())
        for (VYRQLabel* label : {row.nameLabel, row.valueLabel, row.statusLabel})
            QVERIFY(qAbs(label->geometry().center().y() - (row.rowContainer->height() - 1) / 2) <= 1);

    // A disabled navigation button dims its icon like its text.
    QList<VYRQPushButton*> nav;
    for (VYRQPushButton* b : window.findChildren<VYRQPushButton*>())
        if (b->minimumWidth() == 164)
            nav << b;
    std::sort(nav.begin(), nav.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    const QRect icon(13, 8, 24, 24);
    const QImage shown = window.grab().toImage();
    auto brightest = [&](QWidget* button) {
        const QRect area = icon.translated(button->mapTo(&window, QPoint(0, 0)));
        int best = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                best = std::max(best, shown.pixelColor(x, y).lightness());
        return best;
    };
    QVERIFY(brightest(nav[2]) > 180);                               // enabled: the bright icon colour
    QVERIFY(brightest(nav[4]) <= QColor(0x5A, 0x60, 0x6B).lightness() + 12);   // disabled: the disabled text's
}

QTEST_MAIN(tst_RefineryPages)
#include "tst_refinerypages.moc"
