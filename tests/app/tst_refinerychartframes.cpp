// The monitor's charts as Qt composes them into the window: on X with Mesa's OpenGL
// (the _xcb run). Without an OpenGL context the cases skip.

#include "monitor_testutil.h"
#include "RefineryPlantWindow.h"
#include "composedframe.h"
#include "RefinerySimulator.h"
#include "VYRQChartBase.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQPushButton.h"

#include <QOpenGLContext>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

using monitor::buttonWithText;
using monitor::clickOn;

// The first frame composed while part of a chart is visible, and the frame the chart
// draws from its data at that moment.
struct FirstFrame {
    QImage composed;
    QImage current;
    QMetaObject::Connection watch;
    ~FirstFrame() { QObject::disconnect(watch); }
};

void watchFirstFrame(VYRQChartBase* chart, FirstFrame& frame)
{
    frame.watch = QObject::connect(chart, &QOpenGLWidget::aboutToCompose, chart, [chart, &frame] {
        if (!frame.composed.isNull() || chart->visibleRegion().isEmpty())
            return;
        frame.composed = vyrtest::composedFrame(*chart);
        frame.current = chart->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    });
}

// Pixels where the composed frame differs from the chart's current one.
int stalePixels(const FirstFrame& frame)
{
    if (frame.composed.size() != frame.current.size())
        return -1;
    int stale = 0;
    for (int y = 0; y < frame.composed.height(); ++y) {
        for (int x = 0; x < frame.composed.width(); ++x) {
            const QRgb composed = frame.composed.pixel(x, y);
            const QRgb current = frame.current.pixel(x, y);
            const int diff = qMax(qMax(qAbs(qRed(composed) - qRed(current)), qAbs(qGreen(composed) - qGreen(current))),
                                  qAbs(qBlue(composed) - qBlue(current)));
            stale += diff > 40;
        }
    }
    return stale;
}

bool hasGl(VYRQChartBase* chart)
{
    return QTest::qWaitFor([chart] { return chart->context(); }) && chart->context()->isValid();
}

} // namespace

class tst_RefineryChartFrames : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("charts reach the screen on X only");
        VYRQtLib::init();
        QVERIFY(vyrLoadThemeDir(TARNEX_THEME_DIR));
    }

    // Chinese chosen on the plant page: the dashboard's charts come back in Chinese
    // from the first frame they show.
    void languageSwitchReachesDashboardCharts()
    {
        auto window = monitor::shown();
        QVERIFY(window);
        RefineryPlantWindow* w = window.get();
        auto* pie = w->findChild<VYRQChartBase*>(QStringLiteral("shiftSummaryChart"));
        auto* trend = w->findChild<VYRQChartBase*>(QStringLiteral("predictiveTrendChart"));
        if (!hasGl(pie))
            QSKIP("no OpenGL context");
        // The entry animation of the first showing has run and is off again.
        QTRY_VERIFY(w->getChartsIntroduced() && pie->animationProgress() == 1.0 && trend->animationProgress() == 1.0);

        VYRQPushButton* dashboard = buttonWithText(w, QStringLiteral("Dashboard"));
        clickOn(w, buttonWithText(w, QStringLiteral("Plant Overview")));
        clickOn(w, buttonWithText(w, QString::fromUtf8("中")));
        QCOMPARE(w->getLanguage(), 1);

        FirstFrame pieFrame;
        FirstFrame trendFrame;
        watchFirstFrame(pie, pieFrame);
        watchFirstFrame(trend, trendFrame);
        clickOn(w, dashboard);
        QCOMPARE(w->getCurrentPage(), 0);
        QTRY_VERIFY(!pieFrame.composed.isNull() && !trendFrame.composed.isNull());
        QCOMPARE(QStringLiteral("pie %1, trend %2").arg(stalePixels(pieFrame)).arg(stalePixels(trendFrame)),
                 QStringLiteral("pie 0, trend 0"));
    }

    // F-102 opened from its watch row and closed, then HX-7 from its alarm row: the
    // drawer's chart shows HX-7 from the first frame of the slide on.
    void drawerChartShowsNewEquipment()
    {
        auto window = monitor::shown();
        QVERIFY(window);
        RefineryPlantWindow* w = window.get();
        auto* chart = w->findChild<VYRQChartBase*>(QStringLiteral("equipmentDetailChart"));
        auto* drawer = w->findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
        VYRQPushButton* dashboard = buttonWithText(w, QStringLiteral("Dashboard"));
        QWidget* f102 = nullptr;
        for (const RefineryPlantWindow::WatchRowWidgets& row : w->getWatchRows())
            if (row.equipmentId == QLatin1String("F-102"))
                f102 = row.rowContainer;
        clickOn(w, f102);
        QCOMPARE(w->getSelectedEquipmentId(), QStringLiteral("F-102"));
        if (!hasGl(chart))
            QSKIP("no OpenGL context");
        // Slid in, laid out, its entry animation played and off again.
        QTRY_VERIFY(!drawer->isResizeAnimationRunning() && drawer->getChildLayout() == VYRQContainer::Vertical);
        QTRY_VERIFY(chart->animationProgress() == 1.0);
        clickOn(w, buttonWithText(drawer, QString()));   // the drawer's close button
        QTRY_VERIFY(drawer->isHidden());
        clickOn(w, dashboard);

        QWidget* hx7 = nullptr;
        for (const RefineryPlantWindow::AlarmRowWidgets& row : w->getAlarmRows())
            if (row.alarmId == QLatin1String("ALM-HX7"))
                hx7 = row.rowContainer;
        FirstFrame frame;
        watchFirstFrame(chart, frame);
        clickOn(w, hx7);
        QCOMPARE(w->getSelectedEquipmentId(), QStringLiteral("HX-7"));
        QTRY_VERIFY(!frame.composed.isNull());
        QCOMPARE(stalePixels(frame), 0);
    }
};

QTEST_MAIN(tst_RefineryChartFrames)
#include "tst_refinerychartframes.moc"
