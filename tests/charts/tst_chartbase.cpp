#include "chart_testutil.h"

#include "VYRQLineChart.h"
#include "VYRQLineChartImpl.h"

#include <QFontMetrics>

namespace {

// The base on its own, counting its hook calls.
class HookedChart : public VYRQChartBase {
public:
    int themeChanges = 0;
    int settingChanges = 0;
    QVector<double> progress;

protected:
    void onThemeChanged() override { ++themeChanges; }
    void onAnimationSettingsChanged() override { ++settingChanges; }
    void onAnimationProgress() override { progress.append(animationProgress()); }
};

} // namespace

class tst_ChartBase : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    // Out-of-range indexes show "Default"; setTheme takes any record as it is; a
    // background override stands until an invalid colour removes it.
    void themes()
    {
        HookedChart chart;
        chart.setThemeIndex(3);
        chart.setThemeIndex(7);
        QCOMPARE(chart.theme().name, QStringLiteral("Default"));
        ChartTheme own;
        own.name = QStringLiteral("Own");
        own.palette.clear();
        own.background = Qt::darkRed;
        chart.setTheme(own);
        QCOMPARE(chart.theme().name, QStringLiteral("Own"));
        QVERIFY(chart.theme().palette.isEmpty());
        QCOMPARE(chart.backgroundColor(), QColor(Qt::darkRed));
        chart.setBackgroundColor(Qt::green);
        QCOMPARE(chart.backgroundColor(), QColor(Qt::green));
        chart.setBackgroundColor(QColor());
        QCOMPARE(chart.backgroundColor(), QColor(Qt::darkRed));
        QCOMPARE(chart.themeChanges, 5);
        QCOMPARE(chart.settingChanges, 0);
    }

    void animation()
    {
        HookedChart chart;
        chart.setAnimationDuration(-5);
        QCOMPARE(chart.animationDuration(), 0);
        QCOMPARE(chart.settingChanges, 1);

        // Off: a replay shows the chart complete at once.
        chart.setAnimationEnabled(false);
        chart.progress.clear();
        chart.replayAnimation();
        QCOMPARE(chart.progress, QVector<double>{1.0});

        // On: the progress runs from 0 up to 1 and stays there.
        chart.setAnimationEnabled(true);
        chart.setAnimationDuration(80);
        chart.progress.clear();
        chart.replayAnimation();
        QVERIFY(chart.animationProgress() < 0.5);
        QTRY_COMPARE(chart.animationProgress(), 1.0);
        QVERIFY(chart.progress.size() >= 2);
        QVERIFY(std::is_sorted(chart.progress.begin(), chart.progress.end()));

        // Switching it off mid-run completes the chart.
        chart.setAnimationDuration(60000);
        chart.replayAnimation();
        QVERIFY(chart.animationProgress() < 0.1);
        chart.setAnimationEnabled(false);
        QCOMPARE(chart.animationProgress(), 1.0);
        QTest::qWait(30);
        QCOMPARE(chart.animationProgress(), 1.0);
    }

    // The tip's colours follow the theme's own background, not the override: a dark
    // override on the light theme still gets the light tip. A text ending in a line
    // feed has one more line of height.
    void tipLooks_data()
    {
        QTest::addColumn<int>("theme");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("lightTip");
        QTest::addColumn<bool>("secondLine");
        QTest::newRow("light theme, dark override") << 0 << "Tip" << true << false;
        QTest::newRow("dark theme") << 3 << "Tip" << false << false;
        QTest::newRow("trailing line feed") << 0 << "Tip\n" << true << true;
    }
    void tipLooks()
    {
        QFETCH(int, theme);
        QFETCH(QString, text);
        QFETCH(bool, lightTip);
        QFETCH(bool, secondLine);
        VYRQLineChart line;
        chart::settle(line);
        line.setThemeIndex(theme);
        line.setBackgroundColor(QColor(16, 20, 28));
        line.setHoverTip(QPoint(0, 120), text);
        const QImage image = chart::frame(line);

        QFont font = line.font();
        font.setPixelSize(12);
        const int spacing = QFontMetrics(font).lineSpacing();
        // The box starts at (16, 140); x 20 lies in the left margin, left of its text.
        const QColor inside = ctl::pixel(image, 20, 140 + (spacing + 16) / 2);
        QVERIFY2(lightTip ? inside.red() > 200 : inside.red() < 40, qPrintable(inside.name()));
        const QColor below = ctl::pixel(image, 20, 140 + spacing + 16 + spacing / 2);
        QCOMPARE(below.red() > 200, secondLine);

        line.clearHoverTip();
        QCOMPARE(ctl::pixel(chart::frame(line), 20, 140 + (spacing + 16) / 2), QColor(16, 20, 28));
    }
};

VYR_TEST_SUITE(tst_ChartBase, 0)
#include "tst_chartbase.moc"
