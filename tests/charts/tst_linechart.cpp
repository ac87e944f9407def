#include "chart_testutil.h"
#include "cputimer.h"
#include "testaccess.h"

#include "VYRQChartRegistry.h"
#include "VYRQLineChart.h"
#include "VYRQLineChartImpl.h"
#include "textrecorder.h"


#include <algorithm>
#include <cmath>
#include <limits>

using chart::move;

namespace {

// The demo chart at 500 x 300: plot (56, 48, 404, 176), value range 0 to 270,
// categories 404 / 6 pixels apart; Thu (218) sits at (258, 81.9).
const QPoint thursday(258, 82);
const QPoint legendEntry(62, 267);

QPoint demoPoint(int category, double value)
{
    return QPointF(56 + 404.0 * category / 6, 224 - 176.0 * value / 270).toPoint();
}

LineSeries lineOf(const QString& name, const QVector<double>& values)
{
    LineSeries s;
    s.name = name;
    s.values = values;
    return s;
}

} // namespace

class tst_LineChart : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void hoverModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("series");
        QTest::newRow("point within 14") << 1 << thursday + QPoint(0, 13) << "Data\nThu: 218" << 3 << 0;
        QTest::newRow("point too far") << 1 << thursday + QPoint(0, 16) << "" << -1 << -1;
        QTest::newRow("category") << 2 << QPoint(280, 200) << "Thu\nData: 218" << 3 << -1;
        QTest::newRow("outside the plot") << 2 << QPoint(20, 200) << "" << -1 << -1;
        QTest::newRow("off") << 0 << thursday << "" << -1 << -1;
    }
    void hoverModes()
    {
        QFETCH(int, mode);
        QFETCH(QPoint, pos);
        QFETCH(QString, tip);
        QFETCH(int, category);
        QFETCH(int, series);
        VYRQLineChart line;
        chart::settle(line);
        line.setHoverMode(mode);
        line.setTooltipEnabled(true);
        move(line, pos);
        QCOMPARE(line.hoverTipText(), tip);
        QCOMPARE(vyrtest::impl(line)->hoveredCategory, category);
        QCOMPARE(vyrtest::impl(line)->hoveredSeries, series);
        if (!tip.isEmpty())
            QCOMPARE(line.hoverTipPos(), pos);

        // Leaving, switching hover off, or mode 0 drop the hover and the tip.
        ctl::hover(line, false);
        QVERIFY(!vyrtest::impl(line)->hovered);
        QVERIFY(line.hoverTipText().isEmpty());
        move(line, pos);
        line.setHoverEnabled(false);
        QVERIFY(!vyrtest::impl(line)->hovered);
        QVERIFY(line.hoverTipText().isEmpty());
        move(line, pos);
        QVERIFY(!vyrtest::impl(line)->hovered);
    }

    // Without tips, the hover still marks the point: its centre turns from the plot
    // background to the series colour.
    void hoveredPointLooks()
    {
        VYRQLineChart line;
        chart::settle(line);
        line.setThemeIndex(3);
        const ChartTheme& theme = line.theme();
        QCOMPARE(ctl::pixel(chart::frame(line), thursday.x(), thursday.y()), theme.plotBackground);
        line.setHoverMode(1);
        move(line, thursday);
        QVERIFY(vyrtest::impl(line)->hovered);
        QVERIFY(line.hoverTipText().isEmpty());
        const QImage image = chart::frame(line);
        QCOMPARE(ctl::pixel(image, thursday.x(), thursday.y()), theme.palette.first());
        QCOMPARE(ctl::pixel(image, 100, 60), theme.plotBackground);
        QCOMPARE(ctl::pixel(image, 5, 5), theme.background);
    }

    // A legend click hides the series (hover and tip cleared, no replay) and a second
    // one shows it again; the hidden entry's symbol is hollow.
    void legendToggle()
    {
        VYRQLineChart line;
        chart::settle(line);
        line.setHoverMode(2);
        line.setTooltipEnabled(true);
        const QColor colour = line.theme().palette.first();
        const QPoint symbol(56 + 6, 258 + 9);
        QCOMPARE(ctl::pixel(chart::frame(line), symbol.x(), symbol.y()), colour);

        move(line, thursday);
        QVERIFY(!line.hoverTipText().isEmpty());
        chart::click(line, legendEntry);
        QVERIFY(!vyrtest::impl(line)->series.first().visible);
        QVERIFY(!vyrtest::impl(line)->hovered);
        QVERIFY(line.hoverTipText().isEmpty());
        QCOMPARE(line.animationProgress(), 1.0);
        QCOMPARE(ctl::pixel(chart::frame(line), symbol.x(), symbol.y()), line.theme().plotBackground);
        move(line, thursday);
        QVERIFY(!vyrtest::impl(line)->hovered);

        chart::click(line, legendEntry, Qt::RightButton);
        QVERIFY(!vyrtest::impl(line)->series.first().visible);
        chart::click(line, legendEntry);
        QVERIFY(vyrtest::impl(line)->series.first().visible);
        move(line, thursday);
        QCOMPARE(line.hoverTipText(), QStringLiteral("Thu\nData: 218"));
    }

    // Empty charts, one point, equal values and values that are not numbers: hover,
    // legend and painting neither divide by zero nor draw from a non-finite value.
    void degenerateData_data()
    {
        QTest::addColumn<QVector<double>>("values");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("tip");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("no values") << QVector<double>{} << QPoint(100, 200) << "";
        QTest::newRow("one point") << QVector<double>{4} << demoPoint(0, 4 / 5.16 * 270) << "S\nMon: 4";
        QTest::newRow("all equal") << QVector<double>{5, 5, 5, 5, 5, 5, 5} << demoPoint(2, 5 / 6.16 * 270)
                                   << "S\nWed: 5";
        QTest::newRow("not numbers") << QVector<double>{nan, inf, -inf, nan, nan, nan, nan} << demoPoint(1, 0) << "";
        QTest::newRow("one number among them") << QVector<double>{nan, 2, nan} << demoPoint(1, 2 / 3.16 * 270)
                                               << "S\nTue: 2";
    }
    void degenerateData()
    {
        QFETCH(QVector<double>, values);
        QFETCH(QPoint, pos);
        QFETCH(QString, tip);
        VYRQLineChart line;
        chart::settle(line);
        line.setHoverMode(1);
        line.setTooltipEnabled(true);
        line.setSingleSeries(QStringLiteral("S"), values, QColor(Qt::red));
        move(line, pos);
        QCOMPARE(line.hoverTipText(), tip);
        chart::frame(line);
        line.setHoverMode(2);
        move(line, pos);
        chart::frame(line);

        line.setSeries({});
        move(line, pos);
        chart::click(line, legendEntry);
        QVERIFY(line.hoverTipText().isEmpty());
        const QImage empty = chart::frame(line);
        QCOMPARE(ctl::pixel(empty, 200, 150), line.theme().plotBackground);
    }

    // An area fill shows the series colour at its opacity below the line only.
    void areaFill()
    {
        VYRQLineChart line;
        chart::settle(line);
        LineSeries s = lineOf("S", {10, 100, 10});
        s.areaFill = true;
        s.areaOpacity = 0.5;
        s.color = QColor(0, 0, 255);
        s.showPoints = false;
        line.setCategories({"Mon", "Tue", "Wed"});
        line.setSeries({s});
        // Range 0 to 107.2: at x 200 the line passes y 102.
        const QImage image = chart::frame(line);
        VERIFY_NEAR(ctl::pixel(image, 200, 200), QColor(127, 127, 255));
        QCOMPARE(ctl::pixel(image, 200, 60), QColor(255, 255, 255));
    }

    // Value labels, 16 pixels tall and centred on their levels, are thinned where the
    // plot is too low for six, the top and the bottom ones kept.
    void valueLabelsApart_data()
    {
        QTest::addColumn<int>("plotHeight");
        QTest::addColumn<int>("labels");
        QTest::newRow("roomy") << 176 << 6;
        QTest::newRow("low") << 50 << 3;
    }
    void valueLabelsApart()
    {
        QFETCH(int, plotHeight);
        QFETCH(int, labels);
        VYRQLineChart line;
        chart::settle(line);
        vyrtest::impl(line)->margins.bottom = 300 - 48 - plotHeight;
        const QRectF plot = vyrtest::impl(line)->plotRect(line.size());
        TextRecorder device(line.size());
        {
            QPainter painter(&device);
            vyrtest::impl(line)->paintFrame(painter, line.size());
        }
        QVector<double> baselines;
        for (const QPointF& p : device.positions()) {
            if (p.x() < plot.left() && p.y() < plot.bottom() + 12)
                baselines.append(p.y());
        }
        std::sort(baselines.begin(), baselines.end());
        QCOMPARE(baselines.size(), labels);
        for (int i = 1; i < baselines.size(); ++i)
            QVERIFY2(baselines[i] - baselines[i - 1] >= 16, qPrintable(QString::number(plot.height())));
    }

    // A million points with markers, and values at the ends of the doubles among
    // infinities and not-a-number, draw in bounded time and cover the plot's height;
    // hovering them finds a point.
    void hostileData_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("extreme");
        QTest::newRow("a million points") << 1000000 << false;
        QTest::newRow("extreme values") << 100000 << true;
    }
    void hostileData()
    {
        QFETCH(int, count);
        QFETCH(bool, extreme);
        QVector<double> values(count);
        const double specials[] = {1.7e308, -1.7e308, std::numeric_limits<double>::quiet_NaN(), 1e308,
                                   std::numeric_limits<double>::infinity(), -1e300};
        for (int i = 0; i < count; ++i)
            values[i] = extreme ? specials[i % 6] : 100 + 90 * std::sin(i * 0.05);
        VYRQLineChart line;
        chart::settle(line);
        line.setHoverMode(1);
        line.setSingleSeries(QStringLiteral("S"), values, QColor(Qt::blue));
        const CpuTimer timer;
        const QImage image = chart::frame(line);
        VERIFY_CPU_BELOW(timer, 30000);
        // The series crosses the whole plot height in the middle of the plot.
        for (const int y : {70, 136, 200})
            QCOMPARE(ctl::pixel(image, 258, y), QColor(Qt::blue));
        move(line, QPoint(258, 136));
        VERIFY_CPU_BELOW(timer, 60000);
    }

    void registration()
    {
        registerChartControls();
        std::unique_ptr<QWidget> created(createControlByType("qtlinechart", nullptr));
        QVERIFY(qobject_cast<VYRQLineChart*>(created.get()));
        const ControlInfo* info = vyrGetControlInfo(QStringLiteral("qtlinechart"));
        QVERIFY(info);
        QCOMPARE(QString::fromStdString(info->displayName), QStringLiteral("LineChart"));
        QCOMPARE(QString::fromStdString(info->category), QStringLiteral("columnChart"));
        QVERIFY(info->rows.empty());
        QCOMPARE(QString::fromStdString(vyrGetControlInfo(QStringLiteral("qtopenglpiechart"))->category),
                 QStringLiteral("pieChart"));

        // Only the common "attr" keys are read and written back.
        auto* chart = static_cast<VYRQLineChart*>(created.get());
        QVERIFY(sty::load(*chart, R"({"attr": {"unit": "bar"}, "title": "ignored"})"));
        const Json::Value written = ctl::write(*chart);
        QCOMPARE(ctl::str(written["attr"]["unit"]), QStringLiteral("bar"));
        QCOMPARE(chart->getTypeName(), QStringLiteral("qtlinechart"));
    }
};

VYR_TEST_SUITE(tst_LineChart, 1)
#include "tst_linechart.moc"
