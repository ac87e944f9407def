#include "testcontrols.h"
#include "testaccess.h"

#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"

#include <QIcon>
#include <QPainter>
#include <QtTest>

#include <climits>

// Runs with tests/data/core-theme loaded. Its theme.json gives the type key "corecontrol"
// the fill "ThemeRed" and "TestRedirect" the fill "ThemeBlue" (and attr level 3); those
// names exist in the theme set only. Its images:
//  nine.png (8 x 4): red 2 x 1 corners, green top and bottom edges, magenta left and
//    right edges, a 4 x 2 centre of two blue columns then two yellow columns;
//  dot.png (3 x 2): red;  half.svg (10 x 10): black left half, transparent right half.

namespace {

const QColor background(10, 20, 30);

struct Probe { QPoint at; QColor color; };
using Probes = QVector<Probe>;

using Paint = std::function<void(QPainter*)>;

// Paints into a fresh canvas and checks the probes; fill canvases leave room for antialiased edges.
void verifyPainted(QSize size, const Probes& probes, const Paint& paint)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter p(&image);
    paint(&p);
    p.end();
    for (const Probe& probe : probes) {
        const QColor got = image.pixelColor(probe.at), want = probe.color;
        const bool close = qAbs(got.red() - want.red()) <= 12 && qAbs(got.green() - want.green()) <= 12
            && qAbs(got.blue() - want.blue()) <= 12 && qAbs(got.alpha() - want.alpha()) <= 12;
        QVERIFY2(close, qPrintable(QStringLiteral("(%1, %2) is %3, expected %4").arg(probe.at.x()).arg(probe.at.y())
                                       .arg(got.name(QColor::HexArgb), want.name(QColor::HexArgb))));
    }
}

FillStyle fill(const char* name, const QColor& color)
{
    FillStyle s;
    s.name = QString::fromLatin1(name), s.fill.color = color;
    return s;
}

// The layout state an element leaves behind, in one line.
QString layoutOf(CoreControl& c)
{
    DockLayoutType hor, ver;
    c.getAbsoluteDock(hor, ver);
    const QRect r = c.getControlBase()->layoutRect(), g = c.geometry();
    const QString kind = c.getLayoutType() == LayoutRatio
        ? QString::asprintf("ratio %d", c.getLayoutRatio())
        : QString::asprintf("rect %d,%d %dx%d", r.x(), r.y(), r.width(), r.height());
    return kind + QString::asprintf("; at %d,%d %dx%d; dock %s %d,%d; width %d", g.x(), g.y(), g.width(), g.height(),
                                    c.getAbsoluteLayout() ? "on" : "off", int(hor), int(ver), int(c.getWidthPolicy()));
}

Json::Value written(CoreControl& c)
{
    Json::Value out;
    c.serializeJsonValue(&out, false);
    return out;
}

QStringList keysOf(const Json::Value& obj)
{
    QStringList keys;
    for (const std::string& k : obj.getMemberNames())
        keys << QString::fromStdString(k);
    return keys;
}

// Reaches the base's slot-table reader and writer.
struct SlotTableImpl : VYRQWidgetBaseImpl {
    using VYRQWidgetBaseImpl::readStyleSlots;
    using VYRQWidgetBaseImpl::writeStyleSlots;
};

// Reads the same keys with readOwnAttrs or key by key; "key=value/read" per row.
struct OwnAttrReader : VYRQWidgetBaseImpl {
    OwnAttrReader() : VYRQWidgetBaseImpl(nullptr, QStringLiteral("reader")) {}
    QString read(const Json::Value& attr, bool batch)
    {
        bool b = true;
        int i = -1, twice = -1;
        QString t = QStringLiteral("unset");
        QColor c(1, 2, 3);
        bool found[5] = {};
        if (batch) {
            readOwnAttrs(attr, {{"b", b, &found[0]}, {"i", i, &found[1]}, {"t", t, &found[2]},
                                {"c", c, &found[3]}, {"i", twice, &found[4]}});
        } else {
            found[0] = readOwnAttr(attr, "b", b);
            found[1] = readOwnAttr(attr, "i", i);
            found[2] = readOwnAttr(attr, "t", t);
            found[3] = readOwnColor(attr, "c", c);
            found[4] = readOwnAttr(attr, "i", twice);
        }
        return QString::asprintf("b=%d/%d i=%d/%d t=%s/%d c=%s/%d i=%d/%d", b, found[0], i, found[1], qPrintable(t),
                                 found[2], qPrintable(c.name(QColor::HexArgb)), found[3], twice, found[4]);
    }
};

// "name:kind:slot" for each entry of a written "style" array.
QString entriesOf(const Json::Value& element)
{
    QStringList entries;
    if (element.isMember("style"))
        for (const Json::Value& e : element["style"])
            entries << QString::asprintf("%s:%d:%d", e[0].asCString(), e[1].asInt(), e[2].asInt());
    return entries.join(' ');
}

} // namespace
Q_DECLARE_METATYPE(Paint)
Q_DECLARE_METATYPE(Probes)
Q_DECLARE_METATYPE(QVector<FillStyle>)

class tst_WidgetBaseImpl : public QObject {
    Q_OBJECT
    static QColor normalColor(const CoreControl& c) { return vyrtest::impl(c)->fills.get(Normal).fill.color; }

private slots:
    void initTestCase()
    {
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        QVERIFY(rm->loadThemeDir(QStringLiteral(VYR_TEST_DATA "/core-theme")));
        FillStyle yellow = fill("DefYellow", Qt::yellow);
        rm->setFillStyle("DefYellow", yellow);   // default set only
    }

    void cleanup()
    {
        vyrSetIsInDesigner(false);
        VYRQResourceManager::getInstance()->setIsDesigner(false);
        QVERIFY(!VYRQResourceManager::getInstance()->isLoadFromThemeRes());
    }

    // The theme element is read with the theme switch raised, fanned out from Normal, and its
    // base keys ("w", "visibility") are not for the control. The designer skips it.
    void themeDefaults()
    {
        QWidget page;
        CoreControl c(&page);
        QVERIFY(vyrtest::impl(c)->themeSwitchDuringRead);
        for (int s = Normal; s <= Disable; ++s)
            QCOMPARE(vyrtest::impl(c)->fills.get(s).fill.color, QColor(Qt::red));
        QCOMPARE(c.getControlBase()->layoutRect(), QRect(0, 0, 0, 0));
        QVERIFY(!c.isHidden());
        vyrSetIsInDesigner(true);
        CoreControl inDesigner;
        inDesigner.getControlBase()->refreshTheme();
        QCOMPARE(normalColor(inDesigner), QColor(Qt::white));
    }

    void stateMachine()
    {
        CoreControl c;
        c.resize(20, 20);
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        CoreControlImpl* impl = vyrtest::impl(c);
        auto send = [&c](QEvent::Type type) { QEvent e(type); QCoreApplication::sendEvent(&c, &e); };
        const int paints = impl->paints;
        QTest::mousePress(&c, Qt::LeftButton);
        QCOMPARE(impl->paintedState, Pressed);   // repainted at once, not scheduled
        QVERIFY(impl->paints > paints);
        QTest::mouseRelease(&c, Qt::LeftButton);
        QCOMPARE(impl->ctrlState(), Normal);
        send(QEvent::Enter);
        QCOMPARE(impl->paintedState, Hot);
        QTest::mouseClick(&c, Qt::LeftButton);
        QCOMPARE(impl->ctrlState(), Hot);
        send(QEvent::Leave);
        QCOMPARE(impl->ctrlState(), Normal);
        send(QEvent::Enter);
        c.setEnabled(false);
        send(QEvent::Leave);
        QCOMPARE(impl->ctrlState(), Disable);
        // Enabling again takes effect at the next paint, before anything is drawn.
        c.setEnabled(true);
        c.repaint();
        QCOMPARE(impl->paintedState, Normal);
    }

    // Values of known kinds are kept and written back; others are dropped. Keys the control reads
    // itself are its own to write: no stale copy is echoed.
    void attrKindsRoundTrip()
    {
        QWidget page;
        CoreControl c(&page), own(&page);
        Json::Value in = jsonOf(R"({"attr": {"a": true, "b": 7, "c": 4000000000, "d": 1.5, "e": ["x", "y"],
                                             "f": null, "g": {}, "h": [], "i": [1, "x"], "j": -5000000000}})");
        QVERIFY(c.readJsonValue(&in));
        QString kinds;
        for (const auto& attr : vyrtest::impl(c)->attrValues())
            kinds += QString::fromStdString(attr.first) + QString::number(attr.second.kind);
        QCOMPARE(kinds, QString::asprintf("a%db%dc%dd%de%dj%d", VYRQAttrValue::Bool, VYRQAttrValue::Int32,
                                          VYRQAttrValue::UInt32, VYRQAttrValue::Double, VYRQAttrValue::StringList,
                                          VYRQAttrValue::Double));
        const Json::Value expected = jsonOf(R"({"a": true, "b": 7, "c": 4000000000, "d": 1.5, "e": ["x", "y"], "j": -5e9})");
        QCOMPARE(vyr::json::styledText(written(c)["attr"]), vyr::json::styledText(expected));

        in = jsonOf(R"({"attr": {"level": 4, "tint": "80FF0000", "extra": 1}})");
        QVERIFY(own.readJsonValue(&in));
        QCOMPARE(vyrtest::impl(own)->level, 4);
        QCOMPARE(vyrtest::impl(own)->tint, QColor(255, 0, 0));   // attr colours are opaque
        vyrtest::impl(own)->level = 0, vyrtest::impl(own)->tint = QColor();
        QCOMPARE(written(own)["attr"], jsonOf(R"({"extra": 1})"));

        // Which keys are a control's own is its own business, not its type's: a
        // control that never claimed "level" keeps a stored one and writes it.
        CoreControl unclaimed(&page);
        vyrtest::impl(unclaimed)->setAttrValue("level", VYRQAttrValue{VYRQAttrValue::Int32, 6});
        QCOMPARE(written(unclaimed)["attr"], jsonOf(R"({"level": 6})"));
        // Claims in another order end in the same keys.
        CoreControl reversed(&page);
        in = jsonOf(R"({"attr": {"tint": "FF00FF00", "extra": 2}})");
        QVERIFY(reversed.readJsonValue(&in));
        vyrtest::impl(reversed)->tint = QColor();
        vyrtest::impl(reversed)->setAttrValue("tint", VYRQAttrValue{VYRQAttrValue::String, QStringLiteral("FF0000FF")});
        QCOMPARE(written(reversed)["attr"], jsonOf(R"({"extra": 2})"));
    }

    void themeRedirect_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("themeName");
        const auto plain = [](const char* name, const char* json, const QColor& color = Qt::red) {
            QTest::newRow(name) << QByteArray(json) << color << 0 << "corecontrol";
        };
        // The theme element's own keys win over the page's.
        QTest::newRow("redirect") << QByteArray(R"({"attr": {"level": 9}, "theme": "TestRedirect"})")
                                  << QColor(Qt::blue) << 3 << "TestRedirect";
        plain("no attr, no redirect", R"({"theme": "TestRedirect"})");
        plain("attr not an object", R"({"attr": 5, "theme": "TestRedirect"})");
        plain("missing element", R"({"attr": {}, "theme": "Nope"})");
        // Without a redirect the page's styles resolve in the default set.
        plain("own style", R"({"attr": {}, "style": [["DefYellow", 1, 0]]})", Qt::yellow);
    }
    void themeRedirect()
    {
        QFETCH(QByteArray, json);
        QFETCH(QColor, color);
        QFETCH(int, level);
        QFETCH(QString, themeName);
        QWidget page;
        CoreControl c(&page);
        Json::Value v = jsonOf(json.constData());
        QVERIFY(c.readJsonValue(&v));
        QCOMPARE(normalColor(c), color);
        QCOMPARE(vyrtest::impl(c)->level, level);
        QCOMPARE(c.getThemeName(), themeName);
        // Saved and reloaded, the control looks the same; resource designers never redirect.
        Json::Value saved = written(c);
        CoreControl reloaded(&page);
        QVERIFY(reloaded.readJsonValue(&saved));
        QCOMPARE(normalColor(reloaded), color);
        VYRQResourceManager::getInstance()->setIsDesigner(true);
        CoreControl inDesigner(&page);
        QVERIFY(inDesigner.readJsonValue(&v));
        QCOMPARE(inDesigner.getThemeName(), QStringLiteral("corecontrol"));
    }

    // The base keys ------------------------------------------------------------------

    void readLayoutKeys_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("layout");   // the control starts at 1,1 40x20 with width policy 0
        const auto row = [](const char* name, const char* json, const char* layout) {
            QTest::newRow(name) << QByteArray(json) << QString(layout);
        };
        row("ratio", R"({"layout": {"type": 0, "ratio": 3}, "x": 9})", "ratio 3; at 1,1 40x20; dock off 0,0; width 0");
        row("ratio below one", R"({"layout": {"ratio": -4}})", "ratio 1; at 1,1 40x20; dock off 0,0; width 0");
        // Type 1 takes x and y from the element and the size from the widget, and applies them.
        row("absolute layout object", R"({"layout": {"type": 1}, "x": 5, "y": 6})",
            "rect 5,6 40x20; at 5,6 40x20; dock off 0,0; width 0");
        // Without "layout" the rectangle is only recorded; containers apply it later.
        row("plain rectangle", R"({"x": 2, "y": 3, "w": 30, "h": 10})", "rect 2,3 30x10; at 1,1 40x20; dock off 0,0; width 0");
        row("dock key turns absolute on", R"({"absoluteDockHor": -3, "absoluteDockVer": 9})",
            "rect 0,0 0x0; at 1,1 40x20; dock on 0,2; width 0");
        row("explicit flag wins", R"({"absoluteDockOffsetY": 4, "absoluteLayout": false})",
            "rect 0,0 0x0; at 1,1 40x20; dock off 0,0; width 0");
        row("policy out of range", R"({"widthPolicy": 5})", "rect 0,0 0x0; at 1,1 40x20; dock off 0,0; width -1");
        // Values of the wrong type fall back; a key that is there at all still counts.
        row("wrong types", R"({"layout": 3, "x": "5", "y": 2.9, "w": true, "absoluteDockVer": null, "widthPolicy": null})",
            "rect 0,2 1x0; at 1,1 40x20; dock on 0,0; width -1");
    }
    void readLayoutKeys()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, layout);
        QWidget parent;
        CoreControl c(&parent);
        c.QWidget::setGeometry(1, 1, 40, 20);
        c.setWidthPolicy(LayoutSizePolicy(0));
        Json::Value v = jsonOf(json.constData());
        QVERIFY(c.readJsonValue(&v));
        QCOMPARE(layoutOf(c), layout);
    }

    // Geometry from pages is kept where Qt's arithmetic holds: sizes within
    // QWIDGETSIZE_MAX, positions so that x + w stays in int; placing the control
    // then overflows nothing (the sanitized build aborts on an overflow).
    void extremeGeometryIsClamped_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QRect>("rect");
        const int pos = INT_MAX - QWIDGETSIZE_MAX;
        QTest::newRow("largest") << QByteArray(R"({"x": 2147483647, "y": 2147483647, "w": 2147483647, "h": 2147483647})")
                                 << QRect(pos, pos, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        QTest::newRow("smallest") << QByteArray(R"({"x": -2147483648, "y": -2147483648, "w": -2147483648, "h": 5})")
                                  << QRect(-pos, -pos, -QWIDGETSIZE_MAX, 5);
        QTest::newRow("absolute layout object") << QByteArray(R"({"layout": {"type": 1}, "x": 2147483647, "w": 2147483647})")
                                                << QRect(pos, 0, QWIDGETSIZE_MAX, 20);
        QTest::newRow("ordinary values stay") << QByteArray(R"({"x": -20, "y": 7, "w": 300, "h": 0})") << QRect(-20, 7, 300, 0);
    }
    void extremeGeometryIsClamped()
    {
        QFETCH(QByteArray, json);
        QFETCH(QRect, rect);
        QWidget parent;
        CoreControl c(&parent);
        c.QWidget::setGeometry(0, 0, 40, 20);
        Json::Value v = jsonOf(json.constData());
        QVERIFY(c.readJsonValue(&v));
        QCOMPARE(c.getControlBase()->layoutRect(), rect);
        c.resizeWidget();
        c.setGeometry(INT_MAX, INT_MIN, INT_MAX, INT_MAX);
        QCOMPARE(c.getControlBase()->layoutRect().right(), INT_MAX - 1);
        c.setAbsoluteDock(DockNear, DockNear, INT_MAX, INT_MIN);
        Json::Value out = written(c);
        QVERIFY(out["absoluteDockOffsetX"].asInt() < INT_MAX - QWIDGETSIZE_MAX + 1);
    }

    // The shared painters take any numbers a page or style file holds without
    // overflowing (the sanitized build aborts on an overflow) and paint nothing
    // outside the target.
    void paintersTakeExtremeNumbers()
    {
        QImage image(20, 20, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter p(&image);
        FillStyle fill;
        fill.fill.color = Qt::red;
        fill.fill.border = true;
        fill.fill.borderSize = INT_MIN;
        VYRQWidgetBaseImpl::drawFillStyle(&p, fill, INT_MAX, INT_MAX, INT_MAX, INT_MAX);
        fill.fill.borderSize = INT_MAX;
        fill.fill.round = INT_MAX;
        VYRQWidgetBaseImpl::drawFillStyle(&p, fill, INT_MIN, 30, INT_MAX, INT_MAX);
        FillStyle nine;
        nine.colorMode = false;
        nine.image = "images/nine.png";
        nine.imageDesc.left = INT_MAX;
        nine.imageDesc.right = INT_MIN;
        nine.imageDesc.top = INT_MIN;
        nine.imageDesc.bottom = INT_MAX;
        VYRQWidgetBaseImpl::drawFillStyle(&p, nine, 30, INT_MIN, INT_MAX, INT_MAX);
        TextStyleDesc text;
        text.x = INT_MIN;
        text.y = INT_MAX;
        text.ver = 2;
        VYRQWidgetBaseImpl::drawText(&p, QStringLiteral("ab"), text, INT_MAX, INT_MAX, INT_MAX, INT_MAX, true);
        IconStyleDesc icon;
        icon.x = INT_MAX;
        icon.y = INT_MIN;
        VYRQWidgetBaseImpl::drawImage(&p, QStringLiteral("images/dot.png"), icon, INT_MAX, INT_MIN, INT_MAX, INT_MAX, false);
        p.end();
        QCOMPARE(image.pixelColor(10, 10), QColor(Qt::white));
    }

    // Only what differs from a fresh control is written, and it reads back the same.
    void writeRules()
    {
        QWidget parent;
        CoreControl ratio(&parent);
        ratio.setLayoutRatio(3);
        Json::Value out = written(ratio);
        QCOMPARE(keysOf(out), QStringList({ "layout", "name", "style", "theme", "type" }));   // a name also when empty
        QCOMPARE(out["layout"]["ratio"].asInt(), 3);

        CoreControl absolute(&parent);
        absolute.setGeometry(0, 0, 80, 30);
        absolute.setToolTip("tip");
        absolute.setAbsoluteDock(DockCenter, DockNear, 0, 4);
        absolute.setHeightPolicy(PolicyFixed);
        absolute.setMaximumHeight(90);
        absolute.setEnabled(false);
        absolute.hide();
        out = written(absolute);
        QCOMPARE(keysOf(out), QStringList({ "absoluteDockHor", "absoluteDockOffsetY", "absoluteLayout", "enable", "h", "heightPolicy",
                                            "maxHeight", "name", "style", "theme", "tooltip", "type", "visibility", "w" }));
        CoreControl copy(&parent);
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(layoutOf(copy), QStringLiteral("rect 0,0 80x30; at 0,0 100x30; dock on 1,0; width -1"));
        QVERIFY(copy.toolTip() == "tip" && copy.getHeightPolicy() == PolicyFixed && copy.maximumHeight() == 90);
        QVERIFY(copy.isHidden() && !copy.isEnabled());

        // "enable" only for a control disabled itself, not through its parent.
        QVERIFY(!written(*new CoreControl(&absolute)).isMember("enable"));
        // Once set, the page property wins over the widget state.
        absolute.setInnerVisible(true);
        QVERIFY(!written(absolute).isMember("visibility"));
    }

    // In the designer, the live geometry is what gets saved.
    void designerSavesLiveGeometry()
    {
        QWidget page;
        CoreControl c(&page);
        c.QWidget::setGeometry(3, 4, 50, 60);
        Json::Value plain, designer;
        c.getControlBase()->SaveLayout(plain);
        QVERIFY(!plain.isMember("x"));
        vyrSetIsInDesigner(true);
        c.getControlBase()->SaveLayout(designer);
        vyrSetIsInDesigner(false);
        QCOMPARE(QRect(designer["x"].asInt(), designer["y"].asInt(), designer["w"].asInt(), designer["h"].asInt()),
                 QRect(3, 4, 50, 60));
        QCOMPARE(c.getControlBase()->layoutRect(), QRect(3, 4, 50, 60));
    }

    // The first text is applied; later texts are only stored, broken ones as well.
    void jsonDataAppliesOnce()
    {
        QWidget page;
        CoreControl c(&page);
        c.setJsonData(R"({"name": "first"})");
        QCOMPARE(c.objectName(), QStringLiteral("first"));
        c.setObjectName("renamed");
        c.setJsonData(R"({"name": "first"})");
        c.setJsonData(R"({"name": "second"})");
        QCOMPARE(c.jsonData(), QStringLiteral(R"({"name": "second"})"));
        QCOMPARE(c.objectName(), QStringLiteral("renamed"));

        CoreControl d(&page);
        QVERIFY(d.setProperty("jsonData", QStringLiteral("{ broken")));
        QCOMPARE(d.property("jsonData").toString(), QStringLiteral("{ broken"));
        d.setJsonData(R"({"name": "first"})");
        QCOMPARE(d.objectName(), QString());
    }

    // Painters ------------------------------------------------------------------------

    // Fills, nine-slice images, and images and icons placed in a 30 x 30 rectangle (hor and ver
    // 0 near, 1 centre, 2 far, then moved by x and y).
    void painters_data()
    {
        QTest::addColumn<QSize>("canvas");
        QTest::addColumn<Paint>("paint");
        QTest::addColumn<Probes>("probes");
        const QColor red(Qt::red), green(Qt::green), magenta(Qt::magenta), blue(Qt::blue), yellow(Qt::yellow);
        const QColor bg = background;
        const auto fillRes = [&](int border, int round) {   // red, with a green border of `border` pixels
            FillRes f;
            f.color = red, f.border = border > 0, f.borderSize = border, f.borderColor = green, f.round = round;
            return f;
        };
        const auto fill = [](const FillRes& res, QRect rect) {
            FillStyle style;
            style.fill = res;
            return Paint([=](QPainter* p) { VYRQWidgetBaseImpl::drawFillStyle(p, style, rect); });
        };
        FillRes bottomOnly = fillRes(1, 0), squareCorner = fillRes(0, 6);
        bottomOnly.topBorder = bottomOnly.rightBorder = bottomOnly.leftBorder = false;
        squareCorner.roundTopLeft = false;
        QTest::newRow("border 3") << QSize(24, 14) << fill(fillRes(3, 0), QRect(0, 0, 20, 10))
                                  << Probes{ { { 2, 2 }, green }, { { 3, 3 }, red }, { { 17, 7 }, green }, { { 16, 6 }, red } };
        QTest::newRow("bottom side only") << QSize(24, 14) << fill(bottomOnly, QRect(0, 0, 20, 10))
                                          << Probes{ { { 10, 9 }, green }, { { 10, 0 }, red }, { { 0, 5 }, red }, { { 19, 5 }, red } };
        QTest::newRow("radius limited to half the height") << QSize(34, 14) << fill(fillRes(0, 20), QRect(0, 0, 30, 10))
                                          << Probes{ { { 0, 0 }, bg }, { { 29, 9 }, bg }, { { 1, 5 }, red }, { { 15, 0 }, red } };
        QTest::newRow("unflagged corner square") << QSize(24, 24) << fill(squareCorner, QRect(0, 0, 20, 20))
                                                 << Probes{ { { 0, 0 }, red }, { { 19, 0 }, bg } };
        QTest::newRow("rounded border") << QSize(34, 24) << fill(fillRes(2, 4), QRect(0, 0, 30, 20))
            << Probes{ { { 15, 1 }, green }, { { 15, 2 }, red }, { { 0, 10 }, green }, { { 29, 10 }, green }, { { 0, 0 }, bg } };

        const auto nine = [](bool tiled) {
            FillStyle style;
            style.colorMode = false, style.image = "images/nine.png";
            style.imageDesc.left = style.imageDesc.right = 2, style.imageDesc.top = style.imageDesc.bottom = 1;
            style.imageDesc.repeatCenter = tiled;
            return Paint([=](QPainter* p) { VYRQWidgetBaseImpl::drawFillStyle(p, style, QRect(0, 0, 40, 20)); });
        };
        QTest::newRow("nine, stretched centre") << QSize(44, 24) << nine(false)
            << Probes{ { { 0, 0 }, red }, { { 39, 19 }, red }, { { 20, 0 }, green }, { { 0, 10 }, magenta },
                       { { 5, 10 }, blue }, { { 35, 10 }, yellow } };
        // Tiles of 4 x 2 from (2, 1): columns 2-3 blue, 4-5 yellow, and so on.
        QTest::newRow("nine, tiled centre") << QSize(44, 24) << nine(true)
            << Probes{ { { 2, 10 }, blue }, { { 5, 10 }, yellow }, { { 35, 10 }, blue }, { { 36, 10 }, yellow },
                       { { 39, 10 }, magenta }, { { 41, 10 }, bg } };

        const auto image = [](const QString& name, int hor, int ver, int x, int y, const QColor& tint = QColor()) {
            IconStyleDesc s;
            s.hor = hor, s.ver = ver, s.x = x, s.y = y, s.useColor = tint.isValid(), s.color = tint;
            return Paint([=](QPainter* p) {
                QPixmap icon(4, 4);   // no name: a 4 x 4 blue icon
                icon.fill(Qt::blue);
                if (name.isEmpty())
                    VYRQWidgetBaseImpl::drawIcon(p, QIcon(icon), QSize(4, 4), s, QRect(0, 0, 30, 30));
                else
                    VYRQWidgetBaseImpl::drawImage(p, name, s, QRect(0, 0, 30, 30), false);
            });
        };
        const QSize square(30, 30);
        // half.svg is painted on its left half: centred, x 10 to 14.
        QTest::newRow("svg") << square << image("images/half.svg", 1, 1, 0, 0)
                             << Probes{ { { 12, 15 }, Qt::black }, { { 17, 15 }, bg } };
        QTest::newRow("svg recoloured") << square << image("images/half.svg", 1, 1, 0, 0, red)
                                        << Probes{ { { 12, 15 }, red }, { { 17, 15 }, bg }, { { 12, 8 }, bg } };
        QTest::newRow("svg far and near") << square << image("images/half.svg", 2, 0, -1, 2, red)
                                          << Probes{ { { 20, 2 }, red }, { { 23, 11 }, red }, { { 20, 1 }, bg }, { { 24, 5 }, bg } };
        QTest::newRow("bitmap far") << square << image("images/dot.png", 2, 2, -2, 0)   // x 25 to 27, y 28 to 29
                                    << Probes{ { { 25, 28 }, red }, { { 27, 29 }, red }, { { 28, 29 }, bg }, { { 25, 27 }, bg } };
        QTest::newRow("icon near") << square << image(QString(), 0, 1, 1, 0)   // x 1 to 4, y 13 to 16
                                   << Probes{ { { 1, 13 }, blue }, { { 4, 16 }, blue }, { { 0, 14 }, bg }, { { 2, 17 }, bg } };
    }
    void painters()
    {
        QFETCH(QSize, canvas);
        QFETCH(Paint, paint);
        QFETCH(Probes, probes);
        verifyPainted(canvas, probes, paint);
    }

    // A rounded solid fill painted again (any colour, corners, offset, target format)
    // gives the same pixels as filling its path afresh; a covering clip rectangle
    // makes the painter fill the path itself.
    void roundedFillRepaintsAlike_data()
    {
        QTest::addColumn<QImage::Format>("format");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("corners");
        const auto P = QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("button") << P << QColor(208, 224, 255) << QRect(3, 5, 80, 32) << 4 << 15;
        QTest::newRow("translucent") << P << QColor(200, 10, 90, 120) << QRect(0, 0, 37, 21) << 9 << 15;
        QTest::newRow("some corners") << P << QColor(20, 120, 40) << QRect(11, 2, 50, 50) << 12 << 5;
        QTest::newRow("radius past half") << P << QColor(0, 0, 0, 200) << QRect(1, 1, 30, 10) << 40 << 15;
        QTest::newRow("rgb32 target") << QImage::Format_RGB32 << QColor(90, 60, 30, 180) << QRect(4, 4, 61, 23) << 7
                                      << 10;
    }

    void roundedFillRepaintsAlike()
    {
        QFETCH(QImage::Format, format);
        QFETCH(QColor, color);
        QFETCH(QRect, area);
        QFETCH(int, round);
        QFETCH(int, corners);
        FillRes fill;
        fill.color = color;
        fill.round = round;
        fill.roundTopLeft = corners & 1;
        fill.roundTopRight = corners & 2;
        fill.roundBottomRight = corners & 4;
        fill.roundBottomLeft = corners & 8;
        auto paint = [&](bool clipped, QPoint origin) {
            QImage image(100, 64, format);
            image.fill(QColor(250, 240, 10));
            QPainter p(&image);
            p.translate(origin);
            if (clipped)
                p.setClipRect(image.rect().translated(-origin));
            for (int i = 0; i < 2; ++i) // twice over itself: the second fill sees the first
                VYRQWidgetBaseImpl::paintFillStyle(&p, fill, area.x(), area.y(), area.width(), area.height());
            return image;
        };
        const QImage fresh = paint(true, QPoint(0, 0));
        QCOMPARE(paint(false, QPoint(0, 0)), fresh);
        QCOMPARE(paint(false, QPoint(0, 0)), fresh);
        QCOMPARE(paint(false, QPoint(7, 3)), paint(true, QPoint(7, 3)));
    }

    // A global font family replaces every text style's own family while it is set.
    void globalFontFamily()
    {
        TextStyleDesc style;
        style.family = QStringLiteral("StyleFamily");
        style.size = 0;
        vyrSetGlobalFontFamily(QStringLiteral("GlobalFamily"));
        const QFont global = VYRQWidgetBaseImpl::fontOf(style);
        vyrSetGlobalFontFamily(QString());
        QCOMPARE(global.family(), QStringLiteral("GlobalFamily"));
        QCOMPARE(VYRQWidgetBaseImpl::fontOf(style).family(), QStringLiteral("StyleFamily"));
        QVERIFY(global.pixelSize() >= 1);
    }

    // Own keys read in one walk give what reading them one by one gives, values of the
    // wrong type and all, and are claimed alike (a stored copy is dropped).
    void ownAttrsInOneWalk_data()
    {
        QTest::addColumn<QByteArray>("attr");
        QTest::newRow("all present") << QByteArray(R"({"b": false, "i": 7, "t": "x", "c": "80102030"})");
        QTest::newRow("wrong types")
            << QByteArray(R"({"b": "no", "i": 2.5, "t": 3, "c": 5, "other": 1})");
        QTest::newRow("out of range and near names")
            << QByteArray(R"({"i": 1e12, "b": 1, "ii": 3, "": 4, "t\u0000x": "y"})");
        QTest::newRow("not an object") << QByteArray(R"(["b", "i"])");
        QTest::newRow("empty") << QByteArray(R"({})");
    }
    void ownAttrsInOneWalk()
    {
        QFETCH(QByteArray, attr);
        const Json::Value value = jsonOf(attr.constData());
        OwnAttrReader batch, single;
        for (OwnAttrReader* reader : {&batch, &single})
            reader->setAttrValue("t", VYRQAttrValue{VYRQAttrValue::Int32, 1});
        QCOMPARE(batch.read(value, true), single.read(value, false));
        QVERIFY(batch.attrValues().empty() && single.attrValues().empty());
    }

    // State styles --------------------------------------------------------------------

    // One table read and written: a per-state array, a single fill that also takes the
    // array's first slot, a text row sharing a slot with a fill row, a fill written only
    // while it differs from another, and a last row that takes every later slot.
    void styleSlotTable_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("written");
        QTest::newRow("nothing") << QByteArray(R"({})") << "-,-,-,-|-|-|-|-|-" << "";
        QTest::newRow("normal fans out, read-only row takes it too")
            << QByteArray(R"({"style": [["DefYellow", 1, 0], ["SlotBlue", 1, 2]]})")
            << "DefYellow,DefYellow,SlotBlue,DefYellow|DefYellow|-|-|-|-"
            << "DefYellow:1:0 DefYellow:1:1 SlotBlue:1:2 DefYellow:1:3";
        QTest::newRow("text name in a fill slot")
            << QByteArray(R"({"style": [["SlotText", 2, 6]]})") << "-,-,-,-|-|-|-|-|-" << "";
        QTest::newRow("text and fill rows share a slot")
            << QByteArray(R"({"style": [["SlotText", 2, 5], ["SlotBlue", 1, 5]]})")
            << "-,-,-,-|-|SlotText|SlotBlue|-|-" << "SlotText:2:5 SlotBlue:1:5";
        QTest::newRow("alike fill left out")
            << QByteArray(R"({"style": [["SlotBlue", 1, 5], ["SlotBlue", 1, 6]]})")
            << "-,-,-,-|-|-|SlotBlue|SlotBlue|-" << "SlotBlue:1:5";
        QTest::newRow("onward row, last one wins")
            << QByteArray(R"({"style": [["SlotBlue", 1, 7], ["DefYellow", 1, 900], ["SlotBlue", 1, -1]]})")
            << "-,-,-,-|-|-|-|-|DefYellow" << "DefYellow:1:7";
        QTest::newRow("unknown names and slots")
            << QByteArray(R"({"style": [["Nope", 1, 0], ["SlotBlue", 1, 1000000000000], ["SlotBlue", 1]]})")
            << "-,-,-,-|-|-|-|-|-" << "";
    }
    void styleSlotTable()
    {
        QFETCH(QByteArray, element);
        QFETCH(QString, read);
        QFETCH(QString, written);
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        FillStyle blue = fill("SlotBlue", Qt::blue);
        rm->setFillStyle("SlotBlue", blue);
        TextStyleDesc text;
        text.name = QStringLiteral("SlotText");
        rm->setTextStyle("SlotText", text);

        vyr::FillStates states;
        FillStyle first, shared, other, onward;
        TextStyleDesc label;
        const vyr::StyleSlots table = {{0, states}, {0, first, vyr::StyleSlot::Reach::ReadOnly},
                                       {5, label}, {5, shared},
                                       vyr::StyleSlot(6, other).unlessAlike(shared),
                                       {7, onward, vyr::StyleSlot::Reach::Onward}};
        Json::Value in;
        QVERIFY(vyr::json::parse(element, in));
        SlotTableImpl::readStyleSlots(in, table);
        auto nameOf = [](const QString& name) { return name.isEmpty() ? QStringLiteral("-") : name; };
        QStringList got;
        for (int s = 0; s < 4; ++s)
            got << nameOf(states.get(s).name);
        QCOMPARE(QStringList({got.join(','), nameOf(first.name), nameOf(label.name), nameOf(shared.name),
                              nameOf(other.name), nameOf(onward.name)}).join('|'),
                 read);
        Json::Value out(Json::objectValue);
        SlotTableImpl::writeStyleSlots(out, table);
        QCOMPARE(entriesOf(out), written);
        QCOMPARE(out.isMember("style"), !written.isEmpty());
    }

    // Normal is the enabled look, AllStates both, every other state the disabled look.
    void enabledOrDisabledPair_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("enabledSet");
        QTest::addColumn<bool>("disabledSet");
        QTest::newRow("normal") << int(Normal) << true << false;
        QTest::newRow("hot") << int(Hot) << false << true;
        QTest::newRow("disable") << int(Disable) << false << true;
        QTest::newRow("all") << int(AllStates) << true << true;
        QTest::newRow("out of range") << 9 << false << true;
    }

    void enabledOrDisabledPair()
    {
        QFETCH(int, state);
        QFETCH(bool, enabledSet);
        QFETCH(bool, disabledSet);
        TextStyleDesc enabled, disabled, given;
        given.name = QStringLiteral("given");
        vyr::setEnabledOrDisabled(CtrlState(state), given, enabled, disabled);
        QCOMPARE(enabled.name == given.name, enabledSet);
        QCOMPARE(disabled.name == given.name, disabledSet);
        const TextStyleDesc& read = vyr::enabledOrDisabled(CtrlState(state), enabled, disabled);
        QCOMPARE(&read, state == Normal ? &enabled : &disabled);
    }

    void stateStylesCompact_data()
    {
        QTest::addColumn<QVector<FillStyle>>("styles");
        QTest::addColumn<QString>("written");
        const FillStyle a = fill("A", Qt::red), alikeB = fill("B", Qt::red), b = fill("B", Qt::blue), c = fill("C", Qt::green);
        const FillStyle unnamed, unnamedBlue = fill("", Qt::blue);
        using V = QVector<FillStyle>;
        QTest::newRow("all the same") << V{ a, a, a, a } << "A:1:0";
        QTest::newRow("named neighbours differ") << V{ a, b, a, a } << "A:1:0 B:1:1 A:1:2 A:1:3";
        QTest::newRow("names differ, looks alike") << V{ a, alikeB, alikeB, a } << "A:1:0";
        QTest::newRow("unnamed Normal keeps a named Hot") << V{ unnamed, b, unnamed, unnamed } << "B:1:1";
        // No two named neighbours differ, yet the named Pressed looks different: it is not lost.
        QTest::newRow("named state between unnamed ones") << V{ a, unnamedBlue, c, unnamedBlue } << "A:1:0 C:1:2";
        QTest::newRow("nothing named") << V{ unnamed, unnamedBlue, unnamedBlue, unnamed } << "";
    }
    void stateStylesCompact()
    {
        QFETCH(QVector<FillStyle>, styles);
        QFETCH(QString, written);
        vyr::FillStates states;
        for (int s = 0; s < 4; ++s)
            states.set(s, styles[s]);
        Json::Value out(Json::arrayValue);
        states.write(out, 0);
        QStringList entries;
        for (const Json::Value& e : out)
            entries << QString::asprintf("%s:%d:%d", e[0].asCString(), e[1].asInt(), e[2].asInt());
        QCOMPARE(entries.join(' '), written);
    }
};

QTEST_MAIN(tst_WidgetBaseImpl)
#include "tst_widgetbaseimpl.moc"
