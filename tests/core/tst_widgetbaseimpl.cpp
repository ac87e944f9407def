#include "corecontrol.h"

#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"

#include <QIcon>
#include <QtTest>

// Runs with tests/data/core-theme loaded. Its theme.json gives the type key "corecontrol"
// the fill "ThemeRed" and "TestRedirect" the fill "ThemeBlue" (and attr level 3); those
// names exist in the theme set only. Its images:
//  nine.png (8 x 4): red 2 x 1 corners, green top and bottom edges, magenta left and
//    right edges, a 4 x 2 centre of two blue columns then two yellow columns;
//  dot.png (3 x 2): red;  half.svg (10 x 10): black left half, transparent right half.

namespace {

const QColor background(10, 20, 30);

struct Probe {
    QPoint at;
    QColor color;
};
using Probes = QVector<Probe>;

// Paints into a fresh canvas and checks the probes, with room for antialiased edges.
template <class Paint>
void verifyPainted(QSize size, const Probes& probes, Paint paint)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    {
        QPainter p(&image);
        paint(&p);
    }
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
    s.name = QString::fromLatin1(name);
    s.fill.color = color;
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

} // namespace
Q_DECLARE_METATYPE(FillRes)
Q_DECLARE_METATYPE(ImageDesc)
Q_DECLARE_METATYPE(IconStyleDesc)
Q_DECLARE_METATYPE(Probes)
Q_DECLARE_METATYPE(QVector<FillStyle>)

class tst_WidgetBaseImpl : public QObject {
    Q_OBJECT
    static QColor normalColor(const CoreControl& c) { return c.impl()->fills.get(Normal).fill.color; }

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
        QVERIFY(c.impl()->themeSwitchDuringRead);
        for (int s = Normal; s <= Disable; ++s)
            QCOMPARE(c.impl()->fills.get(s).fill.color, QColor(Qt::red));
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
        CoreControlImpl* impl = c.impl();
        auto send = [&c](QEvent::Type type) { QEvent e(type); QCoreApplication::sendEvent(&c, &e); };
        const int paints = impl->paints;
        QTest::mousePress(&c, Qt::LeftButton);
        QCOMPARE(impl->paintedState, Pressed);   // repainted at once, not scheduled
        QVERIFY(impl->paints > paints);
        QTest::mouseRelease(&c, Qt::LeftButton);
        QCOMPARE(impl->ctrlState(), Normal);
        send(QEvent::Enter);
        QCOMPARE(impl->paintedState, Hot);
        QTest::mousePress(&c, Qt::LeftButton);
        QTest::mouseRelease(&c, Qt::LeftButton);
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

    // Values of known kinds are kept and written back; others are dropped.
    void attrKindsRoundTrip()
    {
        QWidget page;
        CoreControl c(&page);
        Json::Value in = jsonOf(R"({"attr": {"a": true, "b": 7, "c": 4000000000, "d": 1.5, "e": ["x", "y"],
                                             "f": null, "g": {}, "h": [], "i": [1, "x"], "j": -5000000000}})");
        QVERIFY(c.readJsonValue(&in));
        QString kinds;
        for (const auto& attr : c.impl()->attrValues())
            kinds += QString::fromStdString(attr.first) + QString::number(attr.second.kind);
        QCOMPARE(kinds, QString::asprintf("a%db%dc%dd%de%dj%d", VYRQAttrValue::Bool, VYRQAttrValue::Int32, VYRQAttrValue::UInt32,
                                          VYRQAttrValue::Double, VYRQAttrValue::StringList, VYRQAttrValue::Double));
        const Json::Value expected = jsonOf(R"({"a": true, "b": 7, "c": 4000000000, "d": 1.5, "e": ["x", "y"], "j": -5e9})");
        QCOMPARE(vyr::json::styledText(written(c)["attr"]), vyr::json::styledText(expected));
    }

    // Keys the control reads itself are its own to write: no stale copy is echoed.
    void ownAttrKeysNeverEchoed()
    {
        QWidget page;
        CoreControl c(&page);
        Json::Value in = jsonOf(R"({"attr": {"level": 4, "tint": "80FF0000", "extra": 1}})");
        QVERIFY(c.readJsonValue(&in));
        QCOMPARE(c.impl()->level, 4);
        QCOMPARE(c.impl()->tint, QColor(255, 0, 0));   // attr colours are opaque
        c.impl()->level = 0;
        c.impl()->tint = QColor();
        QCOMPARE(written(c)["attr"], jsonOf(R"({"extra": 1})"));
    }

    void themeRedirect_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("themeName");
        // The theme element's own keys win over the page's.
        QTest::newRow("redirect") << QByteArray(R"({"attr": {"level": 9}, "theme": "TestRedirect"})")
                                  << QColor(Qt::blue) << 3 << "TestRedirect";
        QTest::newRow("no attr, no redirect") << QByteArray(R"({"theme": "TestRedirect"})") << QColor(Qt::red) << 0 << "corecontrol";
        QTest::newRow("attr not an object") << QByteArray(R"({"attr": 5, "theme": "TestRedirect"})")
                                            << QColor(Qt::red) << 0 << "corecontrol";
        QTest::newRow("missing element") << QByteArray(R"({"attr": {}, "theme": "Nope"})") << QColor(Qt::red) << 0 << "corecontrol";
        // Without a redirect the page's styles resolve in the default set.
        QTest::newRow("own style") << QByteArray(R"({"attr": {}, "style": [["DefYellow", 1, 0]]})")
                                   << QColor(Qt::yellow) << 0 << "corecontrol";
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
        QCOMPARE(c.impl()->level, level);
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
        QTest::newRow("ratio") << QByteArray(R"({"layout": {"type": 0, "ratio": 3}, "x": 9})")
                               << "ratio 3; at 1,1 40x20; dock off 0,0; width 0";
        QTest::newRow("ratio below one") << QByteArray(R"({"layout": {"ratio": -4}})")
                                         << "ratio 1; at 1,1 40x20; dock off 0,0; width 0";
        // Type 1 takes x and y from the element and the size from the widget, and applies them.
        QTest::newRow("absolute layout object") << QByteArray(R"({"layout": {"type": 1}, "x": 5, "y": 6})")
                                                << "rect 5,6 40x20; at 5,6 40x20; dock off 0,0; width 0";
        // Without "layout" the rectangle is only recorded; containers apply it later.
        QTest::newRow("plain rectangle") << QByteArray(R"({"x": 2, "y": 3, "w": 30, "h": 10})")
                                         << "rect 2,3 30x10; at 1,1 40x20; dock off 0,0; width 0";
        QTest::newRow("dock key turns absolute on") << QByteArray(R"({"absoluteDockHor": -3, "absoluteDockVer": 9})")
                                                    << "rect 0,0 0x0; at 1,1 40x20; dock on 0,2; width 0";
        QTest::newRow("explicit flag wins") << QByteArray(R"({"absoluteDockOffsetY": 4, "absoluteLayout": false})")
                                            << "rect 0,0 0x0; at 1,1 40x20; dock off 0,0; width 0";
        QTest::newRow("policy out of range") << QByteArray(R"({"widthPolicy": 5})")
                                             << "rect 0,0 0x0; at 1,1 40x20; dock off 0,0; width -1";
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

    void fillPixels_data()
    {
        QTest::addColumn<FillRes>("fill");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<Probes>("probes");
        const QColor red(Qt::red), green(Qt::green), bg = background;
        const auto fillRes = [&](int border, int round) {   // red, with a green border of `border` pixels
            FillRes f;
            f.color = red;
            f.border = border > 0;
            f.borderSize = border;
            f.borderColor = green;
            f.round = round;
            return f;
        };
        FillRes bottomOnly = fillRes(1, 0), squareCorner = fillRes(0, 6);
        bottomOnly.topBorder = bottomOnly.rightBorder = bottomOnly.leftBorder = false;
        squareCorner.roundTopLeft = false;
        QTest::newRow("border 3") << fillRes(3, 0) << QRect(0, 0, 20, 10)
                                  << Probes{ { { 2, 2 }, green }, { { 3, 3 }, red }, { { 17, 7 }, green }, { { 16, 6 }, red } };
        QTest::newRow("bottom side only") << bottomOnly << QRect(0, 0, 20, 10)
                                          << Probes{ { { 10, 9 }, green }, { { 10, 0 }, red }, { { 0, 5 }, red }, { { 19, 5 }, red } };
        QTest::newRow("radius limited to half the height") << fillRes(0, 20) << QRect(0, 0, 30, 10)
                                          << Probes{ { { 0, 0 }, bg }, { { 29, 9 }, bg }, { { 1, 5 }, red }, { { 15, 0 }, red } };
        QTest::newRow("unflagged corner square") << squareCorner << QRect(0, 0, 20, 20)
                                                 << Probes{ { { 0, 0 }, red }, { { 19, 0 }, bg } };
        QTest::newRow("rounded border") << fillRes(2, 4) << QRect(0, 0, 30, 20)
            << Probes{ { { 15, 1 }, green }, { { 15, 2 }, red }, { { 0, 10 }, green }, { { 29, 10 }, green }, { { 0, 0 }, bg } };
    }

    void fillPixels()
    {
        QFETCH(FillRes, fill);
        QFETCH(QRect, rect);
        QFETCH(Probes, probes);
        FillStyle style;
        style.fill = fill;
        verifyPainted(rect.size() + QSize(4, 4), probes, [&](QPainter* p) { VYRQWidgetBaseImpl::drawFillStyle(p, style, rect); });
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

    void nineSlice_data()
    {
        QTest::addColumn<bool>("tiled");
        QTest::addColumn<Probes>("probes");
        const QColor red(Qt::red), green(Qt::green), magenta(Qt::magenta), blue(Qt::blue), yellow(Qt::yellow);
        QTest::newRow("stretched centre") << false << Probes{ { { 0, 0 }, red }, { { 39, 19 }, red }, { { 20, 0 }, green },
                                                              { { 0, 10 }, magenta }, { { 5, 10 }, blue }, { { 35, 10 }, yellow } };
        // Tiles of 4 x 2 from (2, 1): columns 2-3 blue, 4-5 yellow, and so on.
        QTest::newRow("tiled centre") << true << Probes{ { { 2, 10 }, blue }, { { 5, 10 }, yellow }, { { 35, 10 }, blue },
                                                         { { 36, 10 }, yellow }, { { 39, 10 }, magenta }, { { 41, 10 }, background } };
    }

    void nineSlice()
    {
        QFETCH(bool, tiled);
        QFETCH(Probes, probes);
        FillStyle style;
        style.colorMode = false;
        style.image = "images/nine.png";
        style.imageDesc.left = style.imageDesc.right = 2;
        style.imageDesc.top = style.imageDesc.bottom = 1;
        style.imageDesc.repeatCenter = tiled;
        verifyPainted(QSize(44, 24), probes, [&](QPainter* p) { VYRQWidgetBaseImpl::drawFillStyle(p, style, QRect(0, 0, 40, 20)); });
    }

    // Images and icons in a 30 x 30 rectangle: hor and ver 0 near, 1 centre, 2 far, then moved by x and y.
    void imagePlacement_data()
    {
        QTest::addColumn<QString>("image");   // empty: a 4 x 4 blue icon
        QTest::addColumn<IconStyleDesc>("style");
        QTest::addColumn<Probes>("probes");
        const QColor bg = background;
        const auto icon = [](int hor, int ver, int x, int y, const QColor& tint = QColor()) {
            IconStyleDesc s;
            s.hor = hor, s.ver = ver, s.x = x, s.y = y, s.useColor = tint.isValid(), s.color = tint;
            return s;
        };
        // half.svg is painted on its left half: centred, x 10 to 14.
        QTest::newRow("svg") << "images/half.svg" << icon(1, 1, 0, 0) << Probes{ { { 12, 15 }, Qt::black }, { { 17, 15 }, bg } };
        QTest::newRow("svg recoloured") << "images/half.svg" << icon(1, 1, 0, 0, Qt::red)
                                        << Probes{ { { 12, 15 }, Qt::red }, { { 17, 15 }, bg }, { { 12, 8 }, bg } };
        QTest::newRow("svg far and near") << "images/half.svg" << icon(2, 0, -1, 2, Qt::red)
                                          << Probes{ { { 20, 2 }, Qt::red }, { { 23, 11 }, Qt::red }, { { 20, 1 }, bg },
                                                     { { 24, 5 }, bg } };
        QTest::newRow("bitmap far") << "images/dot.png" << icon(2, 2, -2, 0)   // x 25 to 27, y 28 to 29
                                    << Probes{ { { 25, 28 }, Qt::red }, { { 27, 29 }, Qt::red }, { { 28, 29 }, bg },
                                               { { 25, 27 }, bg } };
        QTest::newRow("icon near") << QString() << icon(0, 1, 1, 0)   // x 1 to 4, y 13 to 16
                                   << Probes{ { { 1, 13 }, Qt::blue }, { { 4, 16 }, Qt::blue }, { { 0, 14 }, bg }, { { 2, 17 }, bg } };
    }

    void imagePlacement()
    {
        QFETCH(QString, image);
        QFETCH(IconStyleDesc, style);
        QFETCH(Probes, probes);
        QPixmap pixmap(4, 4);
        pixmap.fill(Qt::blue);
        verifyPainted(QSize(30, 30), probes, [&](QPainter* p) {
            if (image.isEmpty())
                VYRQWidgetBaseImpl::drawIcon(p, QIcon(pixmap), QSize(4, 4), style, QRect(0, 0, 30, 30));
            else
                VYRQWidgetBaseImpl::drawImage(p, image, style, QRect(0, 0, 30, 30), false);
        });
    }

    // State styles --------------------------------------------------------------------

    void stateStylesCompact_data()
    {
        QTest::addColumn<QVector<FillStyle>>("styles");
        QTest::addColumn<QString>("written");
        const FillStyle a = fill("A", Qt::red), alikeB = fill("B", Qt::red), b = fill("B", Qt::blue), c = fill("C", Qt::green);
        const FillStyle unnamed, unnamedBlue = fill("", Qt::blue);
        QTest::newRow("all the same") << QVector<FillStyle>{ a, a, a, a } << "A:1:0";
        QTest::newRow("named neighbours differ") << QVector<FillStyle>{ a, b, a, a } << "A:1:0 B:1:1 A:1:2 A:1:3";
        QTest::newRow("names differ, looks alike") << QVector<FillStyle>{ a, alikeB, alikeB, a } << "A:1:0";
        QTest::newRow("unnamed Normal keeps a named Hot") << QVector<FillStyle>{ unnamed, b, unnamed, unnamed } << "B:1:1";
        // No two named neighbours differ, yet the named Pressed looks different: it is not lost.
        QTest::newRow("named state between unnamed ones") << QVector<FillStyle>{ a, unnamedBlue, c, unnamedBlue } << "A:1:0 C:1:2";
        QTest::newRow("nothing named") << QVector<FillStyle>{ unnamed, unnamedBlue, unnamedBlue, unnamed } << "";
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
            entries << QStringLiteral("%1:%2:%3").arg(QString::fromStdString(e[0].asString())).arg(e[1].asInt()).arg(e[2].asInt());
        QCOMPARE(entries.join(' '), written);
    }
};

QTEST_MAIN(tst_WidgetBaseImpl)
#include "tst_widgetbaseimpl.moc"
