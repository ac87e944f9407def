#include "controls_testutil.h"

#include "CScrollBarStyle.h"
#include "VYRQSlider.h"
#include "VYRQWidgetBaseImpl.h"

#include <QPointer>
#include <QProxyStyle>

using namespace ctl;
using namespace sty;

namespace {
const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), yellow(255, 255, 0), grey(128, 128, 128);
const QColor paper(1, 2, 3);

// Channel red, filled part green, thumb blue (Hot yellow, Disable grey).
void dress(VYRQSlider& slider)
{
    slider.setBackgroundStyle(CommonNormal, solid("Chan", red));
    slider.setForegroundStyle(CommonNormal, solid("Fill", green));
    slider.setThumbStyle(AllStates, solid("T", blue));
    slider.setThumbStyle(Hot, solid("H", yellow));
    slider.setThumbStyle(Disable, solid("D", grey));
}

QColor at(VYRQSlider& s, const QPoint& p)
{
    return render(s, paper).pixelColor(p);
}
} // namespace

class tst_Slider : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        addFills({{"Chan", red}, {"Fill", green}, {"T", blue}, {"H", yellow}});
    }

    // QApplication deletes a replaced style; vyrGetStyle then makes a new Fusion proxy
    // rather than hand out a dangling one.
    void styleSurvivesReplacement()
    {
        QPointer<QStyle> first = vyrGetStyle();
        QCOMPARE(static_cast<QProxyStyle*>(first.data())->baseStyle()->metaObject()->className(), "QFusionStyle");
        QApplication::setStyle(QStringLiteral("Fusion"));
        QVERIFY(first.isNull());
        QStyle* second = vyrGetStyle();
        QVERIFY(qobject_cast<CScrollBarStyle*>(second));
        QApplication::setStyle(second);
        QCOMPARE(vyrGetStyle(), second);
    }

    void thumbGeometry_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QSize>("widgetSize");
        QTest::addColumn<QSize>("thumb");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("across"); // top (horizontal) or left (vertical)
        QTest::newRow("horizontal odd") << true << QSize(150, 31) << QSize(30, 12) << 50 << 9;
        QTest::newRow("thinner than thumb") << true << QSize(150, 15) << QSize(20, 20) << 100 << -2;
        QTest::newRow("vertical") << false << QSize(40, 220) << QSize(16, 30) << 25 << 12;
    }

    // Along the groove where Qt's common style puts a handle of the thumb's length
    // (the style's slider-length metric), centred across (signed division toward zero).
    void thumbGeometry()
    {
        QFETCH(bool, horizontal);
        QFETCH(QSize, widgetSize);
        QFETCH(QSize, thumb);
        QFETCH(int, value);
        QFETCH(int, across);
        VYRQSlider slider(nullptr, horizontal ? Qt::Horizontal : Qt::Vertical);
        slider.setRange(0, 100);
        slider.setValue(value);
        slider.setThumbSize(thumb.width(), thumb.height());
        slider.resize(widgetSize);
        const QRect rect = slider.getThumbRect();
        QCOMPARE(rect.size(), thumb);
        const int span = horizontal ? widgetSize.width() - thumb.width() : widgetSize.height() - thumb.height();
        const int along = QStyle::sliderPositionFromValue(0, 100, value, span, !horizontal);
        QCOMPARE(horizontal ? rect.topLeft() : rect.topLeft().transposed(), QPoint(along, across));
    }

    void paintsChannelFillAndThumb_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("fillEnd"); // first channel column not filled
        QTest::newRow("half") << 0 << 100 << 50 << 100;
        QTest::newRow("empty range divides by 100") << 5 << 5 << 5 << 10;
        QTest::newRow("value, not value minus minimum") << 10 << 20 << 15 << 200;
    }

    void paintsChannelFillAndThumb()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, fillEnd);
        VYRQSlider slider;
        slider.resize(200, 30);
        slider.setRange(minimum, maximum);
        slider.setValue(value);
        slider.setThumbSize(4, 6); // rows 12..17, clear of the probed rows
        dress(slider);
        const QImage image = render(slider, paper);
        // The default channel of 10 is centred: rows 10..19.
        QCOMPARE(pixel(image, 2, 9), paper);
        QCOMPARE(pixel(image, 2, 20), paper);
        QCOMPARE(pixel(image, fillEnd - 1, 10), green);
        QCOMPARE(pixel(image, qMin(fillEnd, 199), 19), fillEnd >= 200 ? green : red);
        const QPoint thumb = slider.getThumbRect().center();
        QCOMPARE(pixel(image, thumb.x(), thumb.y()), blue);
        // Upright, the filled part grows upward from above the bottom row.
        slider.setOrientation(Qt::Vertical);
        slider.setThumbSize(2, 2);
        slider.resize(30, 200);
        const QImage up = render(slider, paper);
        QCOMPARE(pixel(up, 11, 199), red);
        QCOMPARE(pixel(up, 11, qMax(0, 199 - fillEnd)), green);
        if (fillEnd < 200)
            QCOMPARE(pixel(up, 11, 198 - fillEnd), red);
    }

    // Hover, press, drag, release and leave as the thumb sees them; Qt's own dragging
    // still runs, and a press beside the thumb (Qt pages from there) leaves it alone.
    void thumbStatesFromMouse()
    {
        QWidget window;
        VYRQSlider slider(&window);
        slider.setGeometry(0, 0, 200, 40);
        slider.setRange(0, 100);
        dress(slider);
        QVERIFY(shown(window));
        VYRQWidgetBaseImpl* impl = slider.getControlImpl();
        const QPoint centre = slider.getThumbRect().center();
        hover(slider, true); // moves without a button arrive only while it tracks
        QVERIFY(slider.hasMouseTracking());
        mouse(slider, QEvent::MouseMove, centre, Qt::NoButton);
        QCOMPARE(at(slider, centre), yellow);
        mouse(slider, QEvent::MouseMove, QPoint(190, 20), Qt::NoButton);
        QCOMPARE(at(slider, centre), blue);
        mouse(slider, QEvent::MouseButtonPress, centre);
        QCOMPARE(impl->ctrlState(), Pressed);
        QVERIFY(slider.isSliderDown());
        mouse(slider, QEvent::MouseMove, QPoint(190, 35));
        QCOMPARE(impl->ctrlState(), Pressed);
        hover(slider, false);
        QCOMPARE(impl->ctrlState(), Normal);
        QVERIFY(!slider.hasMouseTracking());
        mouse(slider, QEvent::MouseButtonRelease, QPoint(190, 35));
        mouse(slider, QEvent::MouseButtonPress, slider.getThumbRect().x() > 100 ? QPoint(5, 20) : QPoint(195, 20));
        QCOMPARE(impl->ctrlState(), Normal);
        slider.setEnabled(false);
        QCOMPARE(at(slider, slider.getThumbRect().center()), grey);
    }

    // Slot 0 channel, 2 filled part, 4..7 thumb (4 fans out); others are ignored, and so
    // are thumb states beyond the four.
    void styleSlotsAndStates()
    {
        VYRQSlider slider;
        QVERIFY(load(slider, R"({"style": [["Chan", 1, 0], ["Fill", 1, 2], ["T", 1, 4], ["H", 1, 5],
            ["Missing", 1, 6], ["H", 1, 1], ["H", 1, 3], ["H", 1, 8]]})"));
        slider.setThumbStyle(CtrlState(5), solid("X", red));
        slider.setThumbStyle(CtrlState(7), solid("X", red));
        QCOMPARE(slider.getBackgroundStyle(CommonNormal).name, QStringLiteral("Chan"));
        QCOMPARE(slider.getForegroundStyle(CommonDisable).name, QStringLiteral("Fill"));
        QStringList thumb;
        for (int s : {0, 1, 2, 3, 4, 7})
            thumb << slider.getThumbStyle(CtrlState(s)).name;
        QCOMPARE(thumb, (QStringList{"T", "H", "T", "T", "T", "T"}));
    }

    void jsonRoundTrip_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QVector<int>>("values"); // minimum, maximum, value, thumb w, thumb h, channel
        QTest::addColumn<QByteArray>("attr");
        // The writer leaves out a maximum of 100 and the reader takes that as the
        // default, so a slider that starts at Qt's 99 reloads as it was saved.
        QTest::newRow("defaults, max 100") << true << QVector<int>{0, 100, 0, 20, 20, 10} << QByteArray("null");
        QTest::newRow("qt initial range") << true << QVector<int>{0, 99, 0, 20, 20, 10}
                                          << QByteArray(R"({"max": 99})");
        QTest::newRow("everything") << false << QVector<int>{-50, 300, -20, 12, 18, 6}
                                    << QByteArray(R"({"isHor": 0, "thumbW": 12, "thumbH": 18, "channelSize": 6,
                                                      "min": -50, "max": 300, "val": -20})");
    }

    void jsonRoundTrip()
    {
        QFETCH(bool, horizontal);
        QFETCH(QVector<int>, values);
        QFETCH(QByteArray, attr);
        VYRQSlider slider(nullptr, horizontal ? Qt::Horizontal : Qt::Vertical);
        slider.setRange(values[0], values[1]);
        slider.setValue(values[2]);
        slider.setThumbSize(values[3], values[4]);
        slider.setChannelHeight(values[5]);
        slider.setThumbStyle(AllStates, solid("T", blue));
        slider.setThumbStyle(Hot, solid("H", yellow));
        Json::Value out = write(slider);
        QCOMPARE(out["attr"], parse(attr));
        QCOMPARE(entries(out["style"]), (QStringList{"T:1:4", "H:1:5", "T:1:6", "T:1:7"}));
        VYRQSlider back(nullptr, horizontal ? Qt::Vertical : Qt::Horizontal);
        back.setValue(40);
        QVERIFY(back.readJsonValue(&out));
        QCOMPARE(back.getIsHorizontal(), horizontal);
        QCOMPARE(QVector<int>({back.minimum(), back.maximum(), back.value(), back.getThumbBtnSize().width(),
                               back.getThumbBtnSize().height(), back.getChannelHeight()}),
                 values);
        QCOMPARE(write(back), out);
    }

    // A theme change re-reads the theme element: it changes what the element names and
    // keeps the orientation, range and value of a live slider.
    void themeRefreshKeepsLiveValues()
    {
        QWidget window;
        VYRQResourceManager::getInstance()->registerWindow(&window);
        auto* slider = new VYRQSlider(&window, Qt::Vertical);
        slider->setRange(-10, 500);
        slider->setValue(321);
        auto* other = new VYRQSlider(&window);
        QTemporaryDir dir;
        QVERIFY(loadTheme(dir, R"({"style": [{"type": 1, "name": "ThemeThumb", "clr": "FF00FF00"}]})",
                          R"({"elements": [{"child": [
            {"name": "qtslider", "style": [["ThemeThumb", 1, 4]], "attr": {"channelSize": 7, "thumbW": 9}},
            {"name": "SliderWithRange", "attr": {"isHor": false, "max": 50, "val": 12}}]}]})"));
        QVERIFY(vyrNotifyThemeChange());
        QCOMPARE(slider->getChannelHeight(), 7);
        QCOMPARE(slider->getThumbBtnSize(), QSize(9, 20));
        QCOMPARE(slider->getThumbStyle(Hot).name, QStringLiteral("ThemeThumb"));
        QVERIFY(!slider->getIsHorizontal());
        QCOMPARE(QVector<int>({slider->minimum(), slider->maximum(), slider->value()}), QVector<int>({-10, 500, 321}));
        // What a theme element names applies, on every refresh.
        other->setThemeName(QStringLiteral("SliderWithRange"));
        other->setValue(30);
        QVERIFY(vyrNotifyThemeChange());
        QVERIFY(!other->getIsHorizontal());
        QCOMPARE(QVector<int>({other->minimum(), other->maximum(), other->value()}), QVector<int>({0, 50, 12}));
        VYRQResourceManager::getInstance()->unregisterWindow(&window);
        dropTheme();
    }
};

VYR_TEST_SUITE(tst_Slider, 1)
#include "tst_slider.moc"
