#include "CScrollBarStyle.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQSlider.h"
#include "VYRQWidgetBaseImpl.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);
const QColor yellow(255, 255, 0);
const QColor grey(128, 128, 128);
const QColor paper(1, 2, 3);

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    style.fill.color2 = color;
    return style;
}

// Styles of the default set, which page reads search.
void defineStyle(const QString& name, const QColor& color)
{
    FillStyle style = solid(name, color);
    VYRQResourceManager::getInstance()->setFillStyle(name, style);
}

QImage render(QWidget& w)
{
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(paper);
    w.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

QColor pixel(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y)).toRgb();
}

// Mouse events are sent straight to the widget, as the window system would deliver them.
void send(QWidget& w, QEvent::Type type, const QPoint& pos, Qt::MouseButton button = Qt::NoButton)
{
    // A press holds its button, a release no longer does, a move carries what is held.
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent event(type, pos, w.mapToGlobal(pos), changed, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void sendLeave(QWidget& w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&w, &event);
}

// Moves without a button reach a widget only while it tracks the mouse, which a
// slider does from its enter event on.
void sendEnter(QWidget& w)
{
    QEvent event(QEvent::Enter);
    QApplication::sendEvent(&w, &event);
}

CtrlState stateOf(VYRQSlider& s)
{
    return s.getControlImpl()->ctrlState();
}

Json::Value parse(const char* text)
{
    Json::Value value;
    vyr::json::parse(QByteArray(text), value);
    return value;
}

Json::Value write(VYRQSlider& s)
{
    Json::Value value;
    s.serializeJsonValue(&value, false);
    return value;
}

} // namespace

class tst_Slider : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        QVERIFY(qobject_cast<CScrollBarStyle*>(QApplication::style()));
        defineStyle("Chan", red);
        defineStyle("Fill", green);
        defineStyle("T", blue);
        defineStyle("H", yellow);
        defineStyle("D", grey);
        defineStyle("B", QColor(9, 9, 9));
    }

    // The style proxies Fusion, named explicitly, whatever the desktop offers.
    void styleProxiesFusion()
    {
        auto* style = qobject_cast<QProxyStyle*>(vyrGetStyle());
        QVERIFY(style);
        QVERIFY(style->baseStyle());
        QCOMPARE(QString::fromLatin1(style->baseStyle()->metaObject()->className()), QStringLiteral("QFusionStyle"));
        QCOMPARE(vyrGetStyle(), static_cast<QStyle*>(style));
    }

    // QApplication owns the installed style; once it is gone vyrGetStyle makes a new one.
    void styleIsRecreatedAfterTheApplicationDeletesIt()
    {
        QPointer<QStyle> first = vyrGetStyle();
        QApplication::setStyle(QStringLiteral("Fusion"));
        QVERIFY(first.isNull());
        QStyle* second = vyrGetStyle();
        QVERIFY(second);
        QVERIFY(qobject_cast<CScrollBarStyle*>(second));
        QApplication::setStyle(second);
        QCOMPARE(QApplication::style(), second);
        QCOMPARE(vyrGetStyle(), second);
    }

    void sliderLengthMetricFollowsTheThumb()
    {
        VYRQSlider horizontal;
        horizontal.setThumbSize(26, 14);
        QCOMPARE(horizontal.getSliderLength(), 26);
        QCOMPARE(horizontal.style()->pixelMetric(QStyle::PM_SliderLength, nullptr, &horizontal), 26);
        horizontal.setIsHorizontal(false);
        QCOMPARE(horizontal.style()->pixelMetric(QStyle::PM_SliderLength, nullptr, &horizontal), 14);

        // Other widgets get the proxied style's own value.
        QSlider plain;
        QStyle* fusion = static_cast<QProxyStyle*>(vyrGetStyle())->baseStyle();
        QCOMPARE(plain.style()->pixelMetric(QStyle::PM_SliderLength, nullptr, &plain),
                 fusion->pixelMetric(QStyle::PM_SliderLength, nullptr, &plain));
    }

    void thumbGeometry_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QSize>("widgetSize");
        QTest::addColumn<QSize>("thumb");
        QTest::addColumn<int>("value");
        QTest::addColumn<QPoint>("across");   // expected (left or -1, top or -1) across the slider

        QTest::newRow("horizontal 40 high, 20x20") << true << QSize(220, 40) << QSize(20, 20) << 50 << QPoint(-1, 10);
        QTest::newRow("horizontal odd") << true << QSize(150, 31) << QSize(30, 12) << 0 << QPoint(-1, 9);
        QTest::newRow("horizontal thinner than thumb") << true << QSize(150, 15) << QSize(20, 20) << 100
                                                      << QPoint(-1, -2);
        QTest::newRow("vertical") << false << QSize(40, 220) << QSize(16, 30) << 25 << QPoint(12, -1);
        QTest::newRow("vertical thinner than thumb") << false << QSize(15, 200) << QSize(20, 24) << 75
                                                    << QPoint(-2, -1);
    }

    // The thumb sits along the groove where Qt's common style puts a handle of the
    // thumb's length, centred across the slider (signed division toward zero).
    void thumbGeometry()
    {
        QFETCH(bool, horizontal);
        QFETCH(QSize, widgetSize);
        QFETCH(QSize, thumb);
        QFETCH(int, value);
        QFETCH(QPoint, across);

        VYRQSlider slider(nullptr, horizontal ? Qt::Horizontal : Qt::Vertical);
        slider.setRange(0, 100);
        slider.setValue(value);
        slider.setThumbSize(thumb.width(), thumb.height());
        slider.resize(widgetSize);

        QStyleOptionSlider option;
        option.initFrom(&slider);
        option.orientation = slider.orientation();
        option.minimum = 0;
        option.maximum = 100;
        option.sliderPosition = value;
        option.sliderValue = value;
        option.upsideDown = !horizontal;   // a vertical QSlider is upside down unless inverted
        option.rect = slider.rect();
        const QRect viaStyle = slider.style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                                              &slider);
        const QRect thumbRect = slider.getThumbRect();
        QCOMPARE(thumbRect, viaStyle);
        QCOMPARE(thumbRect.size(), thumb);

        const int length = horizontal ? thumb.width() : thumb.height();
        const int span = (horizontal ? widgetSize.width() : widgetSize.height()) - length;
        const int along = QStyle::sliderPositionFromValue(0, 100, value, span, !horizontal);
        if (horizontal) {
            QCOMPARE(thumbRect.left(), along);
            QCOMPARE(thumbRect.top(), across.y());
        } else {
            QCOMPARE(thumbRect.top(), along);
            QCOMPARE(thumbRect.left(), across.x());
        }
    }

    // The property list relies on the rows' order and kinds.
    void designerRecord()
    {
        const ControlInfo info = VYRQSlider::getProps();
        QCOMPARE(QString::fromStdString(info.typeKey), QStringLiteral("qtslider"));
        QCOMPARE(QString::fromStdString(info.className), QStringLiteral("VYRQSlider"));
        QCOMPARE(QString::fromStdString(info.category), QStringLiteral("slider"));
        QStringList rows;
        for (const PropertyDef& row : info.rows)
            rows << QStringLiteral("%1:%2").arg(row.name).arg(row.kind);
        QCOMPARE(rows, (QStringList{"Name:0", "Type:2", "Visibility:3", "Enable:3", "Tooltip:1", "Alpha:10", "Line:4",
                                    "Background:5", "Foreground:5", "Thumb:5", "IsHorizontal:3", "ThumbWidth:11",
                                    "MaxValue:10", "MinValue:10", "Value:10"}));

        VYRQSlider slider;
        info.rows[11].setSize(&slider, QSize(14, 22));
        QCOMPARE(slider.getThumbBtnSize(), QSize(14, 22));
        QCOMPARE(info.rows[11].getSize(&slider), QSize(14, 22));
        info.rows[12].setInt(&slider, 250);
        info.rows[14].setInt(&slider, 120);
        QCOMPARE(slider.value(), 120);
        QCOMPARE(info.rows[12].getInt(&slider), 250);
        info.rows[10].setBool(&slider, false);
        QCOMPARE(slider.orientation(), Qt::Vertical);
    }

    void perStateSettersClamp()
    {
        VYRQSlider slider;
        slider.setThumbStyle(AllStates, solid("T", blue));
        for (int s = 0; s < CtrlStateCount; ++s)
            QCOMPARE(slider.getThumbStyle(CtrlState(s)).name, QStringLiteral("T"));
        slider.setThumbStyle(Hot, solid("H", yellow));
        // Out-of-range states within the enumeration's value range (0 to 7).
        slider.setThumbStyle(CtrlState(5), solid("X", red));
        slider.setThumbStyle(CtrlState(7), solid("X", red));
        QCOMPARE(slider.getThumbStyle(Normal).name, QStringLiteral("T"));
        QCOMPARE(slider.getThumbStyle(Hot).name, QStringLiteral("H"));
        QCOMPARE(slider.getThumbStyle(Disable).name, QStringLiteral("T"));
        QCOMPARE(slider.getThumbStyle(AllStates).name, QStringLiteral("T"));
        QCOMPARE(slider.getThumbStyle(CtrlState(7)).name, QStringLiteral("T"));

        // One background and one foreground, whatever the state argument.
        slider.setBackgroundStyle(CommonDisable, solid("Chan", red));
        QCOMPARE(slider.getBackgroundStyle(CommonNormal).name, QStringLiteral("Chan"));
        slider.setForegroundStyle(CommonNormal, solid("Fill", green));
        QCOMPARE(slider.getForegroundStyle(CommonDisable).name, QStringLiteral("Fill"));
    }

    // Channel, filled part and thumb as painted; the value itself is divided.
    void paintsChannelFillAndThumb_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("fillEnd");   // first channel column not filled

        QTest::newRow("half") << 0 << 100 << 50 << 100;
        QTest::newRow("empty range divides by 100") << 5 << 5 << 5 << 10;
        QTest::newRow("value not value-minus-minimum") << 10 << 20 << 15 << 200;
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
        slider.setThumbSize(4, 6);   // thumb rows 12..17, clear of the probed rows
        slider.setBackgroundStyle(CommonNormal, solid("Chan", red));
        slider.setForegroundStyle(CommonNormal, solid("Fill", green));
        slider.setThumbStyle(AllStates, solid("T", blue));

        const QImage image = render(slider);
        // Channel rows 10..19 for a 30 high slider with the default channel of 10.
        const int row = 10;
        QCOMPARE(pixel(image, 2, row - 1), paper);
        QCOMPARE(pixel(image, 199, 19), fillEnd >= 200 ? green : red);
        QCOMPARE(pixel(image, 2, 20), paper);
        QCOMPARE(pixel(image, fillEnd - 1, row), green);
        if (fillEnd < 200)
            QCOMPARE(pixel(image, fillEnd, row), red);
        const QRect thumb = slider.getThumbRect();
        QCOMPARE(thumb.top(), 12);
        QCOMPARE(pixel(image, thumb.center().x(), thumb.center().y()), blue);
    }

    void channelCentring()
    {
        VYRQSlider slider;
        slider.resize(100, 30);
        slider.setThumbSize(2, 2);
        slider.setThumbStyle(AllStates, solid("T", blue));
        slider.setBackgroundStyle(CommonNormal, solid("Chan", red));
        slider.setForegroundStyle(CommonNormal, solid("Fill", green));
        slider.setChannelHeight(11);
        const QImage image = render(slider);
        // Value 0 fills nothing; the thumb sits at the left end.
        QCOMPARE(pixel(image, 50, 8), paper);
        QCOMPARE(pixel(image, 50, 9), red);
        QCOMPARE(pixel(image, 50, 19), red);
        QCOMPARE(pixel(image, 50, 20), paper);
    }

    // A vertical slider's filled part grows upward from the bottom row.
    void verticalFillGrowsUpward()
    {
        VYRQSlider slider(nullptr, Qt::Vertical);
        slider.resize(30, 100);
        slider.setRange(0, 100);
        slider.setValue(25);
        slider.setThumbSize(2, 2);   // columns 14..15
        slider.setBackgroundStyle(CommonNormal, solid("Chan", red));
        slider.setForegroundStyle(CommonNormal, solid("Fill", green));
        const QImage image = render(slider);
        QCOMPARE(pixel(image, 11, 73), red);
        QCOMPARE(pixel(image, 11, 74), green);
        QCOMPARE(pixel(image, 11, 98), green);
        QCOMPARE(pixel(image, 11, 99), red);
        QCOMPARE(pixel(image, 9, 80), paper);
        QCOMPARE(pixel(image, 20, 80), paper);
    }

    void thumbColourFollowsState()
    {
        QWidget window;
        VYRQSlider slider(&window);
        slider.setGeometry(0, 0, 200, 40);
        slider.setRange(0, 100);
        slider.setThumbStyle(Normal, solid("T", blue));
        slider.setThumbStyle(Hot, solid("H", yellow));
        slider.setThumbStyle(Pressed, solid("H", red));
        slider.setThumbStyle(Disable, solid("D", grey));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QPoint centre = slider.getThumbRect().center();
        QCOMPARE(pixel(render(slider), centre.x(), centre.y()), blue);
        sendEnter(slider);
        send(slider, QEvent::MouseMove, centre);
        QCOMPARE(stateOf(slider), Hot);
        QCOMPARE(pixel(render(slider), centre.x(), centre.y()), yellow);
        send(slider, QEvent::MouseMove, QPoint(190, 20));
        QCOMPARE(stateOf(slider), Normal);

        slider.setEnabled(false);
        QCOMPARE(pixel(render(slider), centre.x(), centre.y()), grey);
        QCOMPARE(stateOf(slider), Disable);
        slider.setEnabled(true);
        QCOMPARE(pixel(render(slider), centre.x(), centre.y()), blue);
    }

    // Press, drag, release and leave as the thumb sees them, by sent mouse events.
    void thumbStatesFromMouse()
    {
        QWidget window;
        VYRQSlider slider(&window);
        slider.setGeometry(0, 0, 200, 40);
        slider.setRange(0, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const QPoint centre = slider.getThumbRect().center();
        send(slider, QEvent::MouseButtonPress, centre, Qt::LeftButton);
        QCOMPARE(stateOf(slider), Pressed);
        QVERIFY(slider.isSliderDown());   // Qt's own dragging still runs
        send(slider, QEvent::MouseMove, QPoint(190, 35), Qt::LeftButton);
        QCOMPARE(stateOf(slider), Pressed);
        sendLeave(slider);
        QCOMPARE(stateOf(slider), Normal);
        send(slider, QEvent::MouseButtonRelease, QPoint(190, 35), Qt::LeftButton);
        QCOMPARE(stateOf(slider), Normal);

        const QPoint now = slider.getThumbRect().center();
        sendEnter(slider);
        send(slider, QEvent::MouseMove, now);
        QCOMPARE(stateOf(slider), Hot);
        send(slider, QEvent::MouseButtonPress, now, Qt::RightButton);
        QCOMPARE(stateOf(slider), Pressed);
        send(slider, QEvent::MouseButtonRelease, now, Qt::RightButton);
        QCOMPARE(stateOf(slider), Hot);

        // A press beside the thumb (Qt pages from there) leaves the thumb alone.
        sendLeave(slider);
        QCOMPARE(stateOf(slider), Normal);
        const QPoint away = slider.getThumbRect().center().x() > 100 ? QPoint(5, 20) : QPoint(195, 20);
        send(slider, QEvent::MouseButtonPress, away, Qt::LeftButton);
        QCOMPARE(stateOf(slider), Normal);
        send(slider, QEvent::MouseButtonRelease, away, Qt::LeftButton);
        QCOMPARE(stateOf(slider), Normal);
    }

    void mouseTrackingWhileInside()
    {
        VYRQSlider slider;
        QVERIFY(!slider.hasMouseTracking());
        sendEnter(slider);
        QVERIFY(slider.hasMouseTracking());
        sendLeave(slider);
        QVERIFY(!slider.hasMouseTracking());
    }

    void readsStyleSlots()
    {
        VYRQSlider slider;
        Json::Value element =
            parse(R"({"style": [["Chan", 1, 0], ["Fill", 1, 2], ["T", 1, 4], ["H", 1, 5], ["Missing", 1, 6]]})");
        QVERIFY(slider.readJsonValue(&element));
        QCOMPARE(slider.getBackgroundStyle(CommonNormal).name, QStringLiteral("Chan"));
        QCOMPARE(slider.getForegroundStyle(CommonNormal).name, QStringLiteral("Fill"));
        QCOMPARE(slider.getThumbStyle(Normal).name, QStringLiteral("T"));
        QCOMPARE(slider.getThumbStyle(Hot).name, QStringLiteral("H"));
        QCOMPARE(slider.getThumbStyle(Pressed).name, QStringLiteral("T"));
        QCOMPARE(slider.getThumbStyle(Disable).name, QStringLiteral("T"));
        QCOMPARE(slider.getThumbStyle(Disable).fill.color, blue);

        Json::Value ignored = parse(R"({"style": [["B", 1, 1], ["B", 1, 3], ["B", 1, 8]]})");
        QVERIFY(slider.readJsonValue(&ignored));
        QCOMPARE(slider.getBackgroundStyle(CommonNormal).name, QStringLiteral("Chan"));
        QCOMPARE(slider.getForegroundStyle(CommonNormal).name, QStringLiteral("Fill"));
        QCOMPARE(slider.getThumbStyle(Disable).name, QStringLiteral("T"));
    }

    void emptyAttrResetsOrientationAndPosition()
    {
        VYRQSlider slider(nullptr, Qt::Vertical);
        slider.setValue(40);
        Json::Value element = parse(R"({"attr": {}})");
        QVERIFY(slider.readJsonValue(&element));
        QVERIFY(slider.getIsHorizontal());
        QCOMPARE(slider.value(), 0);
    }

    void writesOnlyWhatDiffersFromDefaults()
    {
        VYRQSlider slider(nullptr, Qt::Vertical);
        slider.setRange(0, 100);
        Json::Value out = write(slider);
        QVERIFY(out.isMember("style"));
        QVERIFY(out["style"].isNull());
        QVERIFY(out["attr"].isObject());
        QCOMPARE(int(out["attr"].size()), 1);
        QCOMPARE(out["attr"]["isHor"].asInt(), 0);

        VYRQSlider back;
        QVERIFY(back.readJsonValue(&out));
        QVERIFY(!back.getIsHorizontal());
        QCOMPARE(back.maximum(), 100);

        // Qt's initial range 0 to 99 is not the writer's default.
        VYRQSlider initial;
        Json::Value fresh = write(initial);
        QCOMPARE(fresh["attr"]["max"].asInt(), 99);
        QVERIFY(!fresh["attr"].isMember("isHor"));
    }

    // Every value of a slider survives a save and a reload into a new slider,
    // including a maximum of 100, which the writer leaves out.
    void jsonRoundTrip_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<QSize>("thumb");
        QTest::addColumn<int>("channel");

        QTest::newRow("defaults with max 100") << true << 0 << 100 << 0 << QSize(20, 20) << 10;
        QTest::newRow("qt initial range") << true << 0 << 99 << 0 << QSize(20, 20) << 10;
        QTest::newRow("everything changed") << false << 5 << 300 << 42 << QSize(12, 18) << 6;
        QTest::newRow("negative range") << true << -50 << -10 << -20 << QSize(20, 8) << 4;
    }

    void jsonRoundTrip()
    {
        QFETCH(bool, horizontal);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(QSize, thumb);
        QFETCH(int, channel);

        VYRQSlider slider;
        slider.setIsHorizontal(horizontal);
        slider.setRange(minimum, maximum);
        slider.setValue(value);
        slider.setThumbSize(thumb.width(), thumb.height());
        slider.setChannelHeight(channel);
        slider.setBackgroundStyle(CommonNormal, solid("Chan", red));
        slider.setThumbStyle(AllStates, solid("T", blue));
        slider.setThumbStyle(Hot, solid("H", yellow));

        Json::Value out = write(slider);
        VYRQSlider back;
        QVERIFY(back.readJsonValue(&out));
        QCOMPARE(back.getIsHorizontal(), horizontal);
        QCOMPARE(back.minimum(), minimum);
        QCOMPARE(back.maximum(), maximum);
        QCOMPARE(back.value(), value);
        QCOMPARE(back.getThumbBtnSize(), thumb);
        QCOMPARE(back.getChannelHeight(), channel);
        QCOMPARE(back.getBackgroundStyle(CommonNormal).name, QStringLiteral("Chan"));
        QCOMPARE(back.getForegroundStyle(CommonNormal).name, QString());
        QCOMPARE(back.getThumbStyle(Normal).name, QStringLiteral("T"));
        QCOMPARE(back.getThumbStyle(Hot).name, QStringLiteral("H"));
        QCOMPARE(back.getThumbStyle(Pressed).name, QStringLiteral("T"));
        QCOMPARE(back.getThumbStyle(Disable).name, QStringLiteral("T"));
        QCOMPARE(write(back), out);
    }

    // A theme change re-reads the theme element: it changes what the element names
    // and keeps the orientation, range and value of a live slider.
    void themeRefreshKeepsLiveValues()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile style(dir.filePath("style.json"));
        QVERIFY(style.open(QIODevice::WriteOnly));
        style.write(R"({"style": [{"type": 1, "name": "ThemeThumb", "clr": "FF00FF00"}]})");
        style.close();
        QFile theme(dir.filePath("theme.json"));
        QVERIFY(theme.open(QIODevice::WriteOnly));
        theme.write(R"({"elements": [{"child": [
            {"name": "qtslider", "style": [["ThemeThumb", 1, 4]], "attr": {"channelSize": 7, "thumbW": 9}},
            {"name": "SliderWithRange", "attr": {"isHor": false, "max": 50, "val": 12}}]}]})");
        theme.close();

        QWidget window;
        VYRQResourceManager::getInstance()->registerWindow(&window);
        auto* slider = new VYRQSlider(&window);
        slider->setIsHorizontal(false);
        slider->setRange(-10, 500);
        slider->setValue(321);
        auto* other = new VYRQSlider(&window);
        other->setRange(0, 400);
        other->setValue(300);

        QVERIFY(vyrLoadThemeDir(dir.path().toUtf8().constData()));
        QVERIFY(vyrNotifyThemeChange());
        QCOMPARE(slider->getChannelHeight(), 7);
        QCOMPARE(slider->getThumbBtnSize(), QSize(9, 20));
        QCOMPARE(slider->getThumbStyle(Hot).name, QStringLiteral("ThemeThumb"));
        QVERIFY(!slider->getIsHorizontal());
        QCOMPARE(slider->minimum(), -10);
        QCOMPARE(slider->maximum(), 500);
        QCOMPARE(slider->value(), 321);

        // Keys the theme element does name do apply.
        other->setThemeName(QStringLiteral("SliderWithRange"));
        QVERIFY(!other->getIsHorizontal());
        QCOMPARE(other->minimum(), 0);
        QCOMPARE(other->maximum(), 50);
        QCOMPARE(other->value(), 12);
        other->setValue(30);
        QVERIFY(vyrNotifyThemeChange());
        QCOMPARE(other->value(), 12);

        // A new slider takes the theme defaults of its type key.
        VYRQSlider built;
        QCOMPARE(built.getChannelHeight(), 7);
        QVERIFY(built.getIsHorizontal());
        QCOMPARE(built.maximum(), 99);

        VYRQResourceManager::getInstance()->unregisterWindow(&window);
    }
};

QTEST_MAIN(tst_Slider)
#include "tst_slider.moc"
