#include "VYRQResourceManager.h"
#include "VYRQWidgetBaseImpl.h"

#include <QIcon>
#include <QPainter>
#include <QtTest>

// Images of tests/data/core-theme/images:
//  nine.png (8 x 4): red 2 x 1 corners, green top and bottom edges, magenta left and
//    right edges, a 4 x 2 centre of two blue columns then two yellow columns;
//  dot.png (3 x 2): red;  half.svg (10 x 10): black left half, transparent right half.
class tst_Painters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void roundedRectPath();
    void fill_data();
    void fill();
    void fillNotDrawn();
    void ninePatch_data();
    void ninePatch();
    void svgImage_data();
    void svgImage();
    void svgGray();
    void bitmapAndIconPlacement();
    void elidedTextStaysInside();
    void verticalTextStaysInside();
    void scaleSize_data();
    void scaleSize();
    void imageAndTextSizes();
    void svgNames_data();
    void svgNames();
    void colorFromHex_data();
    void colorFromHex();
};

namespace {

const QColor background(10, 20, 30);

QImage canvas(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    return image;
}

// Colours compared by channel with some room for antialiased edges.
bool closeTo(const QColor& a, const QColor& b, int tolerance = 12)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance && qAbs(a.alpha() - b.alpha()) <= tolerance;
}

#define PROBE(image, x, y, expected)                                                                     \
    QVERIFY2(closeTo((image).pixelColor(x, y), expected),                                                    \
             qPrintable(QStringLiteral("(%1, %2) is %3, expected %4")                                     \
                            .arg(x).arg(y).arg((image).pixelColor(x, y).name(QColor::HexArgb))           \
                            .arg(QColor(expected).name(QColor::HexArgb))))

struct Probe {
    QPoint at;
    QColor color;
};

} // namespace
Q_DECLARE_METATYPE(FillRes)
Q_DECLARE_METATYPE(ImageDesc)
Q_DECLARE_METATYPE(IconStyleDesc)
Q_DECLARE_METATYPE(Probe)

void tst_Painters::initTestCase()
{
    QVERIFY(VYRQResourceManager::getInstance()->loadThemeDir(QStringLiteral(VYR_TEST_DATA "/core-theme")));
}

void tst_Painters::cleanup()
{
    VYRQResourceManager::getInstance()->setScaleFactor(1.0f);
}

void tst_Painters::roundedRectPath()
{
    QVERIFY(VYRQWidgetBaseImpl::makeRoundedRectPath(QRectF(0, 0, 0, 10), 3, true, true, true, true).isEmpty());
    const QPainterPath square = VYRQWidgetBaseImpl::makeRoundedRectPath(QRectF(0, 0, 30, 10), 0, true, true,
                                                                        true, true);
    QVERIFY(square.contains(QPointF(0.2, 0.2)));

    // Radius 20 in a 30 x 10 rectangle is limited to 5: the ends are half circles.
    const QPainterPath limited = VYRQWidgetBaseImpl::makeRoundedRectPath(QRectF(0, 0, 30, 10), 20, true, true,
                                                                         true, true);
    QCOMPARE(limited.boundingRect(), QRectF(0, 0, 30, 10));
    QVERIFY(limited.contains(QPointF(0.3, 5)));
    QVERIFY(!limited.contains(QPointF(0.5, 0.5)));
    QVERIFY(limited.contains(QPointF(15, 0.2)));

    // Only flagged corners are rounded.
    const QPainterPath oneCorner = VYRQWidgetBaseImpl::makeRoundedRectPath(QRectF(0, 0, 20, 20), 6, false, true,
                                                                           false, false);
    QVERIFY(oneCorner.contains(QPointF(0.3, 0.3)));
    QVERIFY(!oneCorner.contains(QPointF(19.5, 0.5)));
    QVERIFY(oneCorner.contains(QPointF(19.7, 19.7)));
}

void tst_Painters::fill_data()
{
    QTest::addColumn<FillRes>("fill");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QVector<Probe>>("probes");

    const QColor red(Qt::red), blue(Qt::blue), green(Qt::green);
    FillRes solid;
    solid.color = red;
    QTest::newRow("solid") << solid << QRect(2, 2, 10, 6)
                           << QVector<Probe>{ { { 2, 2 }, red }, { { 11, 7 }, red }, { { 12, 7 }, background },
                                              { { 1, 2 }, background } };

    FillRes gradient = solid;
    gradient.gradient = true;
    gradient.color2 = blue;
    QTest::newRow("gradient") << gradient << QRect(0, 0, 40, 4)
                              << QVector<Probe>{ { { 0, 1 }, red }, { { 39, 1 }, QColor(6, 0, 249) } };

    FillRes outlined = solid;
    outlined.border = true;
    outlined.borderSize = 1;
    outlined.borderColor = green;
    QTest::newRow("outline 1") << outlined << QRect(0, 0, 20, 10)
                               << QVector<Probe>{ { { 0, 0 }, green }, { { 19, 9 }, green }, { { 10, 9 }, green },
                                                  { { 19, 5 }, green }, { { 1, 1 }, red }, { { 18, 8 }, red } };
    FillRes thick = outlined;
    thick.borderSize = 3;
    QTest::newRow("outline 3") << thick << QRect(0, 0, 20, 10)
                               << QVector<Probe>{ { { 2, 2 }, green }, { { 3, 3 }, red }, { { 17, 7 }, green },
                                                  { { 16, 6 }, red }, { { 19, 9 }, green } };
    FillRes bottomOnly = outlined;
    bottomOnly.leftBorder = bottomOnly.topBorder = bottomOnly.rightBorder = false;
    QTest::newRow("bottom side only") << bottomOnly << QRect(0, 0, 20, 10)
                                      << QVector<Probe>{ { { 10, 9 }, green }, { { 0, 9 }, green },
                                                         { { 10, 0 }, red }, { { 0, 5 }, red }, { { 19, 5 }, red } };
    FillRes noBorder = outlined;
    noBorder.border = false;
    QTest::newRow("border off") << noBorder << QRect(0, 0, 20, 10)
                                << QVector<Probe>{ { { 0, 0 }, red }, { { 19, 9 }, red } };

    FillRes round = solid;
    round.round = 20;
    QTest::newRow("radius limited") << round << QRect(0, 0, 30, 10)
                                    << QVector<Probe>{ { { 0, 0 }, background }, { { 29, 9 }, background },
                                                       { { 1, 5 }, red }, { { 15, 0 }, red }, { { 28, 5 }, red } };
    FillRes squareCorner = round;
    squareCorner.round = 6;
    squareCorner.roundTopLeft = false;
    QTest::newRow("unflagged corner square") << squareCorner << QRect(0, 0, 20, 20)
                                             << QVector<Probe>{ { { 0, 0 }, red }, { { 19, 0 }, background } };

    FillRes roundBorder = round;
    roundBorder.round = 4;
    roundBorder.border = true;
    roundBorder.borderSize = 2;
    roundBorder.borderColor = green;
    QTest::newRow("rounded outline") << roundBorder << QRect(0, 0, 30, 20)
                                     << QVector<Probe>{ { { 15, 0 }, green }, { { 15, 1 }, green },
                                                        { { 15, 2 }, red }, { { 0, 10 }, green }, { { 29, 10 }, green },
                                                        { { 15, 19 }, green }, { { 15, 10 }, red },
                                                        { { 0, 0 }, background } };
    FillRes roundTop = roundBorder;
    roundTop.leftBorder = roundTop.rightBorder = roundTop.bottomBorder = false;
    QTest::newRow("rounded top side") << roundTop << QRect(0, 0, 30, 20)
                                      << QVector<Probe>{ { { 15, 0 }, green }, { { 15, 18 }, red },
                                                         { { 1, 10 }, red }, { { 28, 10 }, red },
                                                         { { 0, 10 }, background } };
}

void tst_Painters::fill()
{
    QFETCH(FillRes, fill);
    QFETCH(QRect, rect);
    QFETCH(QVector<Probe>, probes);

    QImage image = canvas(rect.right() + 4, rect.bottom() + 4);
    {
        QPainter p(&image);
        FillStyle style;
        style.fill = fill;
        VYRQWidgetBaseImpl::drawFillStyle(&p, style, rect);
        QVERIFY(!p.testRenderHint(QPainter::Antialiasing));   // state restored
    }
    for (const Probe& probe : probes)
        PROBE(image, probe.at.x(), probe.at.y(), probe.color);
}

void tst_Painters::fillNotDrawn()
{
    QImage image = canvas(10, 10);
    QPainter p(&image);
    FillStyle style;
    style.fill.color = Qt::red;
    style.draw = false;
    VYRQWidgetBaseImpl::drawFillStyle(&p, style, QRect(0, 0, 10, 10));
    style.draw = true;
    style.colorMode = false;   // image mode without an image
    VYRQWidgetBaseImpl::drawFillStyle(&p, style, QRect(0, 0, 10, 10));
    p.end();
    PROBE(image, 5, 5, background);
}

void tst_Painters::ninePatch_data()
{
    QTest::addColumn<ImageDesc>("desc");
    QTest::addColumn<QVector<Probe>>("probes");

    const QColor red(Qt::red), green(Qt::green), magenta(Qt::magenta), blue(Qt::blue), yellow(Qt::yellow);
    ImageDesc whole;
    QTest::newRow("margins 0 stretch everything") << whole
        << QVector<Probe>{ { { 0, 0 }, red }, { { 39, 19 }, red }, { { 20, 10 }, yellow }, { { 12, 10 }, blue } };

    ImageDesc sliced;
    sliced.left = sliced.right = 2;
    sliced.top = sliced.bottom = 1;
    QTest::newRow("stretched centre") << sliced
        << QVector<Probe>{ { { 0, 0 }, red }, { { 39, 19 }, red }, { { 20, 0 }, green }, { { 20, 19 }, green },
                           { { 0, 10 }, magenta }, { { 39, 10 }, magenta }, { { 5, 10 }, blue },
                           { { 35, 10 }, yellow } };
    ImageDesc tiled = sliced;
    tiled.repeatCenter = true;
    // Tiles of 4 x 2 from (2, 1): columns 2-3 blue, 4-5 yellow, and so on.
    QTest::newRow("tiled centre") << tiled
        << QVector<Probe>{ { { 2, 10 }, blue }, { { 5, 10 }, yellow }, { { 35, 10 }, blue }, { { 36, 10 }, yellow },
                           { { 20, 0 }, green }, { { 39, 10 }, magenta } };
}

void tst_Painters::ninePatch()
{
    QFETCH(ImageDesc, desc);
    QFETCH(QVector<Probe>, probes);
    QImage image = canvas(44, 24);
    {
        QPainter p(&image);
        FillStyle style;
        style.colorMode = false;
        style.image = "images/nine.png";
        style.imageDesc = desc;
        VYRQWidgetBaseImpl::drawFillStyle(&p, style, QRect(0, 0, 40, 20));
    }
    for (const Probe& probe : probes)
        PROBE(image, probe.at.x(), probe.at.y(), probe.color);
    PROBE(image, 41, 10, background);
    PROBE(image, 10, 21, background);
}

void tst_Painters::svgImage_data()
{
    QTest::addColumn<IconStyleDesc>("style");
    QTest::addColumn<bool>("gray");
    QTest::addColumn<QVector<Probe>>("probes");

    // The 10 x 10 SVG is centred in (0, 0, 30, 30): its painted half covers x 10 to 14.
    IconStyleDesc plain;
    QTest::newRow("plain") << plain << false
        << QVector<Probe>{ { { 12, 15 }, Qt::black }, { { 17, 15 }, background }, { { 5, 15 }, background } };
    IconStyleDesc opaqueTint;
    opaqueTint.useColor = true;
    opaqueTint.color = Qt::red;
    QTest::newRow("recoloured") << opaqueTint << false
        << QVector<Probe>{ { { 12, 15 }, Qt::red }, { { 17, 15 }, background }, { { 12, 8 }, background } };
    IconStyleDesc placed = opaqueTint;
    placed.hor = 2;
    placed.ver = 0;
    placed.x = -1;
    placed.y = 2;
    QTest::newRow("placed far and near") << placed << false
        << QVector<Probe>{ { { 20, 2 }, Qt::red }, { { 23, 11 }, Qt::red }, { { 20, 1 }, background },
                           { { 24, 5 }, background } };
}

void tst_Painters::svgImage()
{
    QFETCH(IconStyleDesc, style);
    QFETCH(bool, gray);
    QFETCH(QVector<Probe>, probes);
    QImage image = canvas(30, 30);
    {
        QPainter p(&image);
        VYRQWidgetBaseImpl::drawImage(&p, "images/half.svg", style, QRect(0, 0, 30, 30), gray);
    }
    for (const Probe& probe : probes)
        PROBE(image, probe.at.x(), probe.at.y(), probe.color);
}

void tst_Painters::svgGray()
{
    QImage image = canvas(30, 30);
    {
        QPainter p(&image);
        VYRQWidgetBaseImpl::drawImage(&p, "images/half.svg", IconStyleDesc(), QRect(0, 0, 30, 30), true);
    }
    const QColor painted = image.pixelColor(12, 15);
    QVERIFY2(!closeTo(painted, Qt::black) && !closeTo(painted, background),
             qPrintable(painted.name(QColor::HexArgb)));
    PROBE(image, 17, 15, background);
}

void tst_Painters::bitmapAndIconPlacement()
{
    QImage image = canvas(20, 20);
    {
        QPainter p(&image);
        IconStyleDesc style;
        style.hor = 2;
        style.ver = 2;
        style.x = -2;
        VYRQWidgetBaseImpl::drawImage(&p, "images/dot.png", style, QRect(0, 0, 20, 20), false);
        VYRQWidgetBaseImpl::drawImage(&p, "images/missing.png", style, QRect(0, 0, 20, 20), false);

        QPixmap pixmap(4, 4);
        pixmap.fill(Qt::blue);
        IconStyleDesc iconStyle;
        iconStyle.hor = 0;
        iconStyle.ver = 1;
        iconStyle.x = 1;
        VYRQWidgetBaseImpl::drawIcon(&p, QIcon(pixmap), QSize(4, 4), iconStyle, QRect(0, 0, 20, 20));
        VYRQWidgetBaseImpl::drawIcon(&p, QIcon(), QSize(4, 4), iconStyle, QRect(0, 0, 20, 20));
    }
    // dot.png (3 x 2) at the far corner, moved 2 to the left: x 15 to 17, y 18 to 19.
    PROBE(image, 15, 18, Qt::red);
    PROBE(image, 17, 19, Qt::red);
    PROBE(image, 18, 19, background);
    PROBE(image, 15, 17, background);
    // The icon at the left, centred vertically, moved 1 to the right: x 1 to 4, y 8 to 11.
    PROBE(image, 1, 8, Qt::blue);
    PROBE(image, 4, 11, Qt::blue);
    PROBE(image, 0, 9, background);
    PROBE(image, 2, 12, background);
}

void tst_Painters::elidedTextStaysInside()
{
    TextStyleDesc style;
    style.size = 14;
    style.color = Qt::white;
    style.hor = 0;
    QImage image = canvas(80, 20);
    {
        QPainter p(&image);
        VYRQWidgetBaseImpl::drawText(&p, QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWW"), style,
                                     QRect(0, 0, 60, 20));
    }
    // Cut at w - 2: the last column of the rectangle and everything right of it stay clear.
    for (int y = 0; y < 20; ++y) {
        PROBE(image, 59, y, background);
        PROBE(image, 70, y, background);
    }
}

void tst_Painters::verticalTextStaysInside()
{
    TextStyleDesc style;
    style.size = 14;
    style.color = Qt::white;
    style.isHor = false;
    style.elideMode = 3;
    QImage image = canvas(60, 100);
    {
        QPainter p(&image);
        VYRQWidgetBaseImpl::drawText(&p, QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWW"), style,
                                     QRect(20, 10, 20, 60));
    }
    // Turned on its side, the text is clipped to the 20 x 60 rectangle.
    for (int y = 0; y < 100; ++y) {
        PROBE(image, 19, y, background);
        PROBE(image, 40, y, background);
    }
    for (int x = 0; x < 60; ++x) {
        PROBE(image, x, 9, background);
        PROBE(image, x, 70, background);
    }
}

void tst_Painters::scaleSize_data()
{
    QTest::addColumn<float>("factor");
    QTest::addColumn<QSize>("in");
    QTest::addColumn<QSize>("out");
    QTest::newRow("quarter rounds half up") << 0.25f << QSize(10, 10) << QSize(3, 3);
    QTest::newRow("tiny stays one") << 0.01f << QSize(10, 10) << QSize(1, 1);
    QTest::newRow("half") << 0.5f << QSize(7, 4) << QSize(4, 2);
    QTest::newRow("one unchanged") << 1.0f << QSize(10, 7) << QSize(10, 7);
    QTest::newRow("above one unchanged") << 100.0f << QSize(10, 7) << QSize(10, 7);
    QTest::newRow("invalid stays invalid") << 0.5f << QSize() << QSize();
}

void tst_Painters::scaleSize()
{
    QFETCH(float, factor);
    QFETCH(QSize, in);
    QFETCH(QSize, out);
    VYRQResourceManager::getInstance()->setScaleFactor(factor);
    QCOMPARE(VYRQWidgetBaseImpl::scaleSize(in), out);
}

void tst_Painters::imageAndTextSizes()
{
    QCOMPARE(VYRQWidgetBaseImpl::getImageSize("images/half.svg", false), QSize(10, 10));
    QCOMPARE(VYRQWidgetBaseImpl::getImageSize("images/dot.png", false), QSize(3, 2));
    QVERIFY(!VYRQWidgetBaseImpl::getImageSize(QString(), false).isValid());
    QVERIFY(!VYRQWidgetBaseImpl::getImageSize("images/missing.svg", false).isValid());
    QVERIFY(!VYRQWidgetBaseImpl::getImageSize("images/missing.png", false).isValid());
    VYRQResourceManager::getInstance()->setScaleFactor(0.5f);
    QCOMPARE(VYRQWidgetBaseImpl::getImageSize("images/half.svg", false), QSize(5, 5));

    TextStyleDesc style;
    const QSize one = VYRQWidgetBaseImpl::getTextSize(style, "ab");
    const QSize two = VYRQWidgetBaseImpl::getTextSize(style, "abab");
    QVERIFY(one.height() > 0);
    QCOMPARE(two.height(), one.height());
    QVERIFY(two.width() > one.width());
    style.size = 30;
    QVERIFY(VYRQWidgetBaseImpl::getTextSize(style, "ab").height() > one.height());
}

void tst_Painters::svgNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("svg");
    QTest::newRow("plain") << "a.svg" << true;
    QTest::newRow("upper case, blanks") << "  icons/A.SVG  " << true;
    QTest::newRow("compressed") << "a.svgz" << false;
    QTest::newRow("bitmap") << "a.png" << false;
    QTest::newRow("bare") << "svg" << false;
}

void tst_Painters::svgNames()
{
    QFETCH(QString, name);
    QFETCH(bool, svg);
    QCOMPARE(VYRQWidgetBaseImpl::isSvgName(name), svg);
}

void tst_Painters::colorFromHex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    QTest::newRow("alpha ignored") << "80FF0000" << QColor(255, 0, 0);
    QTest::newRow("lower case") << "ff00ff00" << QColor(0, 255, 0);
    QTest::newRow("not hex") << "zz" << QColor(0, 0, 0);
    QTest::newRow("beyond 32 bits") << "1FF000000" << QColor(255, 255, 255);
}

void tst_Painters::colorFromHex()
{
    QFETCH(QString, text);
    QFETCH(QColor, color);
    QCOMPARE(VYRQWidgetBaseImpl::colorFromHex(text.toStdString()), color);
}

QTEST_MAIN(tst_Painters)
#include "tst_painters.moc"
