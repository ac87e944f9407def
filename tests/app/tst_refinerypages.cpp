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
#include "VYRQOpenGLPieChart.h"
#include "VYRQOpenGLPieChartImpl.h"
#include "VYRQStackContainer.h"
#include "VYRQTableView.h"

#include <QHeaderView>
#include <QScrollBar>

#include <QStandardItemModel>
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

} // namespace

class tst_RefineryPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pageTexts_data();
    void pageTexts();
    void alarmRowsFollowAcknowledgements();
    void watchRows_data();
    void watchRows();
    void equipmentModelAtTickZero_data();
    void equipmentModelAtTickZero();
    void selectAlarmOpensDrawer();
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

    QTest::newRow("English") << 0
                             << QStringList{"Operations Dashboard", "Unit throughput", "Plan 480", "Active alarms",
                                            "Hydrotreater Process Overview", "Priority Alarms", "Shift Summary",
                                            "Equipment Watch", "Predictive Alerts Preview", "SHIFT B162", "468",
                                            "96.4", "38.7", "5", "High pressure in reactor R-203", "CRITICAL",
                                            "2 min ago", "5.2 mm/s"}
                             << QStringList{"Plant Overview", "Live throughput", "units", "Immediate action",
                                            "Equipment Telemetry & Health", "468", "7", "3", "2"}
                             << "7 normal / 5 alarms";
    QTest::newRow("Chinese") << 1
                             << QStringList{u("运行总览"), u("装置处理量"), u("计划值 480"), u("活动告警"),
                                            u("加氢精制工艺流程"), u("优先告警"), u("班次状态"), u("重点设备"),
                                            u("预测告警趋势"), "SHIFT B162", u("反应器 R-203 压力过高"), u("紧急"),
                                            u("警告"), u("2 分钟前"), u("预警")}
                             << QStringList{u("装置流程总览"), u("实时处理量"), "units", u("立即处置"),
                                            u("设备遥测与健康状态")}
                             << u("7 正常 / 5 告警");
}

void tst_RefineryPages::pageTexts()
{
    QFETCH(int, language);
    QFETCH(QStringList, dashboard);
    QFETCH(QStringList, plant);
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.setLanguage(language);
    const QStringList onDashboard = labelTexts(window.findChild<QWidget*>(QStringLiteral("dashboardPage")));
    for (const QString& text : dashboard)
        QVERIFY2(onDashboard.contains(text), qPrintable(text));
    const QStringList onPlant = labelTexts(window.findChild<QWidget*>(QStringLiteral("plantPage")));
    for (const QString& text : plant)
        QVERIFY2(onPlant.contains(text), qPrintable(text));
    QTEST(window.findChild<VYRQLabel*>(QStringLiteral("shiftSummaryValue"))->text(), "summary");
    // "Open" keeps its English text in both languages.
    QVERIFY(buttonByTheme(window.findChild<QWidget*>(QStringLiteral("dashboardPage")), "KolvSecondaryButton")->text()
            == QLatin1String("Open"));
    const QStringList inDrawer = labelTexts(window.findChild<QWidget*>(QStringLiteral("equipmentDetailDrawer")));
    QVERIFY(inDrawer.contains(language == 1 ? u("设备健康趋势") : QStringLiteral("Equipment Health Trend")));
    QCOMPARE(buttonByTheme(&window, "KolvPrimaryButton")->text(),
             language == 1 ? u("确认当前告警") : QStringLiteral("Acknowledge Alarm"));
}

void tst_RefineryPages::alarmRowsFollowAcknowledgements()
{
    RefineryPlantWindow window;
    RefinerySimulator* simulator = window.plantSimulator();
    simulator->stop();
    auto* dashboard = window.findChild<QWidget*>(QStringLiteral("dashboardPage"));
    QCOMPARE(alarmIds(window), QStringList({"ALM-203", "ALM-102", "ALM-HX7", "ALM-310"}));
    QCOMPARE(themeOf(window.getAlarmRows()[0].severityLabel), QStringLiteral("KolvLabelDanger"));
    QCOMPARE(themeOf(window.getAlarmRows()[2].severityLabel), QStringLiteral("KolvLabelWarning"));
    QCOMPARE(window.getAlarmRows()[3].severityLabel->text(), QStringLiteral("WARNING"));

    QVERIFY(simulator->acknowledgeAlarm(QStringLiteral("ALM-203")));
    QCOMPARE(alarmIds(window), QStringList({"ALM-102", "ALM-HX7", "ALM-310", "ALM-112"}));
    QCOMPARE(themeOf(window.getAlarmRows()[0].severityLabel), QStringLiteral("KolvLabelDanger"));
    QCOMPARE(themeOf(window.getAlarmRows()[1].severityLabel), QStringLiteral("KolvLabelWarning"));
    QVERIFY(labelTexts(dashboard).contains(QStringLiteral("4")));

    for (const char* id : {"ALM-102", "ALM-HX7", "ALM-310", "ALM-112"})
        QVERIFY(simulator->acknowledgeAlarm(QString::fromLatin1(id)));
    QVERIFY(alarmIds(window).isEmpty());
    for (const RefineryPlantWindow::AlarmRowWidgets& row : window.getAlarmRows())
        QVERIFY(row.alarmId.isEmpty());
    QVERIFY(labelTexts(dashboard).contains(QStringLiteral("0")));
    // The summary counts equipment by status, not alarms.
    QCOMPARE(window.findChild<VYRQLabel*>(QStringLiteral("shiftSummaryValue"))->text(),
             QStringLiteral("7 normal / 5 alarms"));
}

void tst_RefineryPages::watchRows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("theme");
    QTest::newRow("compressor: vibration") << 0 << "C-310" << "5.2 mm/s" << "WARNING" << "KolvLabelWarning";
    QTest::newRow("furnace: temperature") << 1 << "F-102" << "925 C" << "CRITICAL" << "KolvLabelDanger";
    QTest::newRow("pump: flow") << 2 << "P-112" << "39 m3/h" << "WARNING" << "KolvLabelWarning";
}

void tst_RefineryPages::watchRows()
{
    QFETCH(int, row);
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    QCOMPARE(window.getWatchRows().size(), 3);
    const RefineryPlantWindow::WatchRowWidgets& widgets = window.getWatchRows().at(row);
    QTEST(widgets.equipmentId, "name");
    QTEST(widgets.nameLabel->text(), "name");
    QTEST(widgets.valueLabel->text(), "value");
    QTEST(widgets.statusLabel->text(), "status");
    QTEST(themeOf(widgets.statusLabel), "theme");
}

void tst_RefineryPages::equipmentModelAtTickZero_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("reactorRow");
    QTest::newRow("English") << 0
                             << QStringList{"Equipment", "Name", "Area", "Temperature", "Pressure", "Flow", "Health",
                                            "Status"}
                             << QStringList{"R-203", "Hydrotreater Reactor", "Reaction Unit", "220.6 C", "9.03 bar",
                                            "237 m3/h", "61%", "CRITICAL"};
    QTest::newRow("Chinese") << 1 << u("设备,名称,区域,温度,压力,流量,健康度,状态").split(',')
                             << QStringList{"R-203", u("加氢反应器"), u("反应单元"), "220.6 C", "9.03 bar", "237 m3/h",
                                            "61%", u("紧急")};
}

void tst_RefineryPages::equipmentModelAtTickZero()
{
    QFETCH(int, language);
    QFETCH(QStringList, headers);
    QFETCH(QStringList, reactorRow);
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.setLanguage(language);
    QStandardItemModel* model = window.getEquipmentModel();
    QCOMPARE(model->parent(), window.findChild<QWidget*>(QStringLiteral("refineryEquipmentTable")));
    QCOMPARE(model->rowCount(), 12);
    QCOMPARE(model->columnCount(), 8);
    for (int c = 0; c < 8; ++c)
        QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), headers.at(c));
    for (int c = 0; c < 8; ++c)
        QCOMPARE(model->item(3, c)->text(), reactorRow.at(c));
    for (int r = 0; r < 12; ++r) {
        const QString id = model->item(r, 0)->text();
        for (int c = 0; c < 8; ++c)
            QCOMPARE(model->item(r, c)->data(866).toString(), id);
    }
    QCOMPARE(model->item(0, 7)->data(356).toString(), QStringLiteral(":/tarnex/icons/normal.svg"));
    QCOMPARE(model->item(1, 7)->data(356).toString(), QStringLiteral(":/tarnex/icons/warning.svg"));
    QCOMPARE(model->item(2, 7)->data(356).toString(), QStringLiteral(":/tarnex/icons/critical.svg"));
    QVERIFY(!model->item(0, 0)->data(356).isValid());
    QCOMPARE(model->item(0, 3)->text(), QStringLiteral("58.0 C"));
    QCOMPARE(model->item(0, 4)->text(), QStringLiteral("2.20 bar"));
}

void tst_RefineryPages::selectAlarmOpensDrawer()
{
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.show();
    auto* drawer = window.findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
    QVERIFY(drawer->isHidden());
    window.selectAlarm(QStringLiteral("ALM-203"));
    QCOMPARE(window.getCurrentPage(), 1);
    QCOMPARE(window.findChild<VYRQStackContainer*>(QStringLiteral("kolvPageStack"))->currentIndex(), 1);
    QVERIFY(window.isDrawerOpen());
    QVERIFY(drawer->isVisible());
    QCOMPARE(window.getSelectedEquipmentId(), QStringLiteral("R-203"));
    const QStringList texts = labelTexts(drawer);
    for (const QString& text : {QStringLiteral("R-203"), QStringLiteral("Hydrotreater Reactor / Reaction Unit"),
                                QStringLiteral("CRITICAL"), QStringLiteral("220.6 C"), QStringLiteral("9.03 bar"),
                                QStringLiteral("237 m3/h"), QStringLiteral("2.25 mm/s"),
                                QStringLiteral("61% health / 92% efficiency"),
                                QStringLiteral("Risk of reactor trip or pressure relief activation")})
        QVERIFY2(texts.contains(text), qPrintable(text));
    QList<VYRQContainer*> badges;
    for (VYRQContainer* c : drawer->findChildren<VYRQContainer*>())
        if (themeOf(c).startsWith(QLatin1String("KolvStatus")))
            badges << c;
    QCOMPARE(badges.size(), 1);
    QCOMPARE(themeOf(badges[0]), QStringLiteral("KolvStatusCritical"));
    QVERIFY(buttonByTheme(drawer, "KolvPrimaryButton")->isEnabled());
    for (RefineryProcessView* view : window.findChildren<RefineryProcessView*>())
        QCOMPARE(view->selectedNodeId(), QStringLiteral("R-203"));
    QTRY_COMPARE(drawer->width(), 390);
}

void tst_RefineryPages::selectEquipment_data()
{
    QTest::addColumn<QString>("equipment");
    QTest::addColumn<QString>("alarm");
    QTest::addColumn<QString>("alarmText");
    QTest::addColumn<bool>("canAcknowledge");
    QTest::addColumn<QString>("badge");
    QTest::newRow("no alarm") << "P-101" << QString() << "No unacknowledged alarm for this equipment." << false
                              << "KolvStatusNormal";
    QTest::newRow("reactor") << "R-203" << "ALM-203" << "Risk of reactor trip or pressure relief activation" << true
                             << "KolvStatusCritical";
    QTest::newRow("exchanger") << "HX-7" << "ALM-HX7" << "Reduced heat-transfer efficiency indicates fouling" << true
                               << "KolvStatusWarning";
}

void tst_RefineryPages::selectEquipment()
{
    QFETCH(QString, equipment);
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.selectEquipment(equipment);
    QCOMPARE(window.getSelectedEquipmentId(), equipment);
    QTEST(window.getSelectedAlarmId(), "alarm");
    QCOMPARE(window.getCurrentPage(), 1);
    QVERIFY(window.isDrawerOpen());
    auto* drawer = window.findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
    QFETCH(QString, alarmText);
    QVERIFY(labelTexts(drawer).contains(alarmText));
    QTEST(buttonByTheme(drawer, "KolvPrimaryButton")->isEnabled(), "canAcknowledge");
    QString badge;
    for (VYRQContainer* c : drawer->findChildren<VYRQContainer*>())
        if (themeOf(c).startsWith(QLatin1String("KolvStatus")))
            badge = themeOf(c);
    QTEST(badge, "badge");
}

void tst_RefineryPages::unknownIdsChangeNothing()
{
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    for (const QString& id : {QString(), QStringLiteral("ALM-999"), QStringLiteral("alm-203"),
                              QStringLiteral("R-203")}) {
        window.selectAlarm(id);
        QCOMPARE(window.getCurrentPage(), 0);
        QVERIFY(!window.isDrawerOpen());
        QVERIFY(window.getSelectedAlarmId().isEmpty());
    }
    for (const QString& id : {QString(), QStringLiteral("X-1"), QStringLiteral("r-203"), QStringLiteral("ALM-203")}) {
        window.selectEquipment(id);
        QCOMPARE(window.getCurrentPage(), 0);
        QVERIFY(!window.isDrawerOpen());
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
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.show();
    window.selectAlarm(QStringLiteral("ALM-102"));
    auto* drawer = window.findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
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
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_VERIFY(window.getAlarmRows()[1].rowContainer->width() > 0);
    // An empty alarm row does nothing.
    for (const char* id : {"ALM-203", "ALM-102", "ALM-HX7", "ALM-310", "ALM-112"})
        window.plantSimulator()->acknowledgeAlarm(QString::fromLatin1(id));
    QTest::mouseClick(window.getAlarmRows()[0].rowContainer, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(window.getCurrentPage(), 0);

    RefineryPlantWindow second;
    second.plantSimulator()->stop();
    second.show();
    QTRY_VERIFY(second.getAlarmRows()[1].rowContainer->width() > 0);
    QTest::mouseClick(second.getAlarmRows()[1].rowContainer, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(second.getSelectedAlarmId(), QStringLiteral("ALM-102"));
    QCOMPARE(second.getCurrentPage(), 1);
    second.setPage(0);
    QTest::mouseClick(second.getWatchRows()[2].rowContainer, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(second.getSelectedEquipmentId(), QStringLiteral("P-112"));
    QCOMPARE(second.getSelectedAlarmId(), QStringLiteral("ALM-112"));
}

void tst_RefineryPages::trendSeriesAndLanguage()
{
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    auto* combo = window.findChild<VYRQComboBox*>();
    QVERIFY(combo);
    QCOMPARE(themeOf(combo), QStringLiteral("KolvCombo"));
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->itemText(1), QStringLiteral("Pressure"));

    window.setTrendSeries(7);
    QCOMPARE(window.getTrendSeries(), 2);
    QCOMPARE(combo->currentIndex(), 2);
    window.setTrendSeries(-3);
    QCOMPARE(window.getTrendSeries(), 0);
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
    QCOMPARE(vyrtest::impl(trend)->series[1].color, QColor(255, 194, 92));
    QVERIFY(!vyrtest::impl(trend)->series[1].areaFill);
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
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    auto* pie = window.findChild<VYRQOpenGLPieChart*>(QStringLiteral("shiftSummaryChart"));
    auto* trend = window.findChild<VYRQLineChart*>(QStringLiteral("predictiveTrendChart"));
    auto* detail = window.findChild<VYRQLineChart*>(QStringLiteral("equipmentDetailChart"));
    QVERIFY(pie && trend && detail);
    QCOMPARE(pie->theme().name, QStringLiteral("Tarnex"));
    QCOMPARE(detail->theme().palette.first(), QColor(146, 134, 255));
    QCOMPARE(trend->legendPosition(), 0);
    QCOMPARE(trend->animationDuration(), 420);

    const QVector<PieSlice>& slices = vyrtest::impl(pie)->slices;
    QCOMPARE(slices.size(), 3);
    QCOMPARE(slices[0].name, QStringLiteral("Normal"));
    QCOMPARE(slices[0].value, 7.0);
    QCOMPARE(slices[1].value, 3.0);
    QCOMPARE(slices[2].value, 2.0);
    QCOMPARE(slices[2].color, QColor(255, 83, 105));

    const RefinerySnapshot& s = window.currentSnapshot();
    QCOMPARE(vyrtest::impl(trend)->categories, s.historyLabels);
    QCOMPARE(vyrtest::impl(trend)->series.size(), 2);
    QCOMPARE(vyrtest::impl(trend)->series[0].name, QStringLiteral("Reactor temperature"));
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
        QCOMPARE(line.areaOpacity, 0.14);
    };
    checkDetail("R-203", 3, QColor(255, 83, 105));
    window.selectEquipment(QStringLiteral("P-101"));
    checkDetail("P-101", 0, QColor(150, 139, 255));

    window.setLanguage(1);
    QCOMPARE(vyrtest::impl(pie)->slices[1].name, u("预警"));
    QCOMPARE(vyrtest::impl(detail)->series[0].name, u("设备温度"));
}

void tst_RefineryPages::tableConfigurationAndClicks()
{
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.show();
    window.setPage(1);
    auto* table = window.findChild<VYRQTableView*>(QStringLiteral("refineryEquipmentTable"));
    QVERIFY(table);
    QCOMPARE(table->model(), window.getEquipmentModel());
    QCOMPARE(table->getItemHeight(), 38);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(themeOf(table->verticalScrollBar()), QStringLiteral("KolvScrollV"));
    QCOMPARE(themeOf(table->horizontalScrollBar()), QStringLiteral("KolvScrollH"));
    const int widths[] = {82, 210, 170, 105, 95, 105, 85, 115};
    for (int c = 0; c < 8; ++c)
        if (c != 1 && c != 2)
            QCOMPARE(table->columnWidth(c), widths[c]);
    QCOMPARE(table->horizontalHeader()->sectionResizeMode(1), QHeaderView::Stretch);
    QCOMPARE(table->horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);

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
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.show();
    QTRY_VERIFY(window.getChartsIntroduced());   // the first showing of the dashboard
    QList<VYRQPushButton*> nav;
    for (VYRQPushButton* b : window.findChildren<VYRQPushButton*>())
        if (b->minimumWidth() == 164)
            nav << b;
    std::sort(nav.begin(), nav.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    QCOMPARE(nav.size(), 6);

    // Alarms: the first open alarm, on the plant page with the drawer.
    QTest::mouseClick(nav[1], Qt::LeftButton);
    QCOMPARE(window.getSelectedAlarmId(), QStringLiteral("ALM-203"));
    QVERIFY(window.isDrawerOpen());
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
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.show();
    auto* drawer = window.findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
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
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.show();
    auto* drawer = window.findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
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
    RefineryPlantWindow window;
    window.plantSimulator()->stop();
    window.show();
    auto* drawer = window.findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
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

QTEST_MAIN(tst_RefineryPages)
#include "tst_refinerypages.moc"
