#include "controls_testutil.h"

#include "VYRQGlobal.h"
#include "VYRQImage.h"
#include "VYRQResourceManager.h"

#include <QLabel>
#include <QMovie>
#include <QtTest>

using namespace ctl;

namespace {

const QString media = QStringLiteral(VYR_TEST_DATA "/controls-media/");
const QColor paper(250, 250, 250);
const QColor red(255, 0, 0);

QImage solidImage(const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QMovie* movieOf(VYRQImage& image)
{
    QLabel* label = image.findChild<QLabel*>();
    return label ? label->movie() : nullptr;
}

} // namespace

class tst_Image : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void readAndWriteAttr();
    void upperCaseSvgPathFillsBothPaths();
    void alignment_data();
    void alignment();
    void stretchFillsTheControl();
    void callerImageWinsOverPath();
    void recolouredSvgKeepsTransparency();
    void svgReplacesCallerImage();
    void clickedForAnyButton();
    void gifPlaysToItsLastFrame();
    void movieWithoutFramesNeverFinishes();
    void pathEndsTheMovie();
    void registry();
    void themeDefaultsApply();
};

void tst_Image::initTestCase()
{
    VYRQtLib::init();
}

void tst_Image::readAndWriteAttr()
{
    VYRQImage image;
    QVERIFY(!write(image).isMember("attr"));
    Json::Value element = parse(R"({"attr": {"path": "pic.png", "fill": false, "svgUseColor": true,
                                             "svgColor": "80102030"}})");
    QVERIFY(image.readJsonValue(&element));
    QCOMPARE(image.getImagePath(), QStringLiteral("pic.png"));
    QVERIFY(image.getSvgPath().isEmpty());
    QVERIFY(!image.getStretchDraw());
    QVERIFY(image.getUseSvgColor());
    // Colours of "attr" are always opaque.
    QCOMPARE(image.getSvgColor(), QColor(0x10, 0x20, 0x30));

    const Json::Value out = write(image);
    QCOMPARE(out["attr"]["path"].asString(), std::string("pic.png"));
    QCOMPARE(out["attr"]["fill"].asInt(), 0);
    QCOMPARE(out["attr"]["svgUseColor"].asInt(), 1);
    QCOMPARE(out["attr"]["svgColor"].asString(), std::string("FF102030"));
    QVERIFY(!out["attr"].isMember("svgPath"));

    // The colour is written whether or not recolouring is on.
    image.setUseSvgColor(false);
    QCOMPARE(write(image)["attr"]["svgColor"].asString(), std::string("FF102030"));
    QVERIFY(!write(image)["attr"].isMember("svgUseColor"));
}

void tst_Image::upperCaseSvgPathFillsBothPaths()
{
    VYRQImage image;
    Json::Value element = parse(R"({"attr": {"path": "icons/Logo.SVG"}})");
    QVERIFY(image.readJsonValue(&element));
    QCOMPARE(image.getImagePath(), QStringLiteral("icons/Logo.SVG"));
    QCOMPARE(image.getSvgPath(), QStringLiteral("icons/Logo.SVG"));
    const Json::Value out = write(image);
    QVERIFY(!out["attr"].isMember("path"));
    QCOMPARE(out["attr"]["svgPath"].asString(), std::string("icons/Logo.SVG"));

    image.setImagePath(QStringLiteral("plain.png"));
    QVERIFY(image.getSvgPath().isEmpty());
}

void tst_Image::alignment_data()
{
    QTest::addColumn<int>("hor");
    QTest::addColumn<int>("ver");
    QTest::addColumn<QPoint>("topLeft");

    QTest::newRow("far") << 2 << 2 << QPoint(15, 15);
    QTest::newRow("centre") << 1 << 1 << QPoint(7, 7);
    QTest::newRow("near") << 0 << 0 << QPoint(0, 0);
    QTest::newRow("left, bottom") << 0 << 2 << QPoint(0, 15);
    QTest::newRow("unknown is near") << 5 << 1 << QPoint(0, 7);
}

void tst_Image::alignment()
{
    QFETCH(int, hor);
    QFETCH(int, ver);
    QFETCH(QPoint, topLeft);

    const QImage source = solidImage(QSize(10, 10), red);
    VYRQImage image;
    image.resize(25, 25);
    image.setImage(&source);
    image.setStretchDraw(false);
    image.setAlignType(DockLayoutType(hor), DockLayoutType(ver));

    const QImage out = render(image, paper);
    QCOMPARE(pixel(out, topLeft.x(), topLeft.y()), red);
    QCOMPARE(pixel(out, topLeft.x() + 9, topLeft.y() + 9), red);
    QCOMPARE(pixel(out, (topLeft.x() + 24) % 25, (topLeft.y() + 24) % 25), paper);
}

void tst_Image::stretchFillsTheControl()
{
    const QImage source = solidImage(QSize(10, 10), red);
    VYRQImage image;
    image.resize(25, 25);
    image.setImage(&source);
    image.setAlignType(DockFar, DockFar);
    const QImage out = render(image, paper);
    QCOMPARE(pixel(out, 0, 0), red);
    QCOMPARE(pixel(out, 24, 24), red);

    // An SVG by name, stretched likewise.
    image.setSvgPath(media + QLatin1String("red-square.svg"));
    QVERIFY(!image.getImage());
    const QImage svg = render(image, paper);
    QCOMPARE(pixel(svg, 1, 1), red);
    QCOMPARE(pixel(svg, 23, 23), red);
}

void tst_Image::callerImageWinsOverPath()
{
    const QImage source = solidImage(QSize(4, 4), QColor(0, 0, 255));
    VYRQImage image;
    image.resize(8, 8);
    image.setImage(&source);
    image.setImagePath(media + QLatin1String("red-square.svg"));
    // An SVG name is drawn as SVG whatever image the caller set.
    QCOMPARE(pixel(render(image, paper), 4, 4), red);
    image.setImagePath(QStringLiteral("missing.png"));
    QCOMPARE(pixel(render(image, paper), 4, 4), QColor(0, 0, 255));
}

void tst_Image::recolouredSvgKeepsTransparency()
{
    VYRQImage image;
    image.resize(20, 20);
    image.setStretchDraw(false);
    image.setSvgPath(media + QLatin1String("half-alpha.svg"));
    image.setSvgColor(QColor(0, 0, 255));
    QVERIFY(image.getUseSvgColor());

    QImage out(20, 20, QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    image.render(&out, QPoint(), QRegion(), QWidget::RenderFlags());
    const QColor inside = QColor::fromRgba(out.pixel(5, 10));
    QCOMPARE(inside.blue(), 255);
    QCOMPARE(inside.red(), 0);
    QCOMPARE(inside.green(), 0);
    QVERIFY(qAbs(inside.alpha() - 128) <= 2);
    // Where the SVG paints nothing, nothing is painted.
    QCOMPARE(qAlpha(out.pixel(15, 10)), 0);

    image.setUseSvgColor(false);
    out.fill(Qt::transparent);
    image.render(&out, QPoint(), QRegion(), QWidget::RenderFlags());
    QCOMPARE(QColor::fromRgba(out.pixel(5, 10)).green(), 255);
}

void tst_Image::svgReplacesCallerImage()
{
    const QImage source = solidImage(QSize(10, 10), QColor(0, 0, 255));
    VYRQImage image;
    image.resize(10, 10);
    image.setImage(&source);
    image.setSvgPath(media + QLatin1String("red-square.svg"));
    QCOMPARE(image.getImage(), nullptr);
    QCOMPARE(pixel(render(image, paper), 5, 5), red);
}

void tst_Image::clickedForAnyButton()
{
    VYRQImage image;
    image.resize(20, 20);
    QSignalSpy clicked(&image, &VYRQImage::clicked);
    mouse(image, QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton);
    QCOMPARE(clicked.count(), 0);
    mouse(image, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::RightButton);
    mouse(image, QEvent::MouseButtonRelease, QPoint(5, 5), Qt::LeftButton);
    QCOMPARE(clicked.count(), 2);
}

void tst_Image::gifPlaysToItsLastFrame()
{
    VYRQImage image;
    image.resize(30, 20);
    image.setImagePath(QStringLiteral("some.png"));
    QSignalSpy finished(&image, &VYRQImage::movieFinished);
    image.loadGif(media + QLatin1String("two-frames.gif"));
    QVERIFY(image.getImagePath().isEmpty());
    QMovie* movie = movieOf(image);
    QVERIFY(movie);
    QLabel* label = image.findChild<QLabel*>();
    QCOMPARE(label->geometry(), QRect(0, 0, 30, 20));
    QVERIFY(label->isVisibleTo(&image));
    image.show(); // a hidden widget gets its resize event only when shown
    image.resize(40, 30);
    QCOMPARE(label->geometry(), QRect(0, 0, 40, 30));
    image.hide(); // from here on only the test paints the control

    render(image, paper);
    QCOMPARE(finished.count(), 0);
    QTRY_COMPARE(movie->state(), QMovie::NotRunning);
    QCOMPARE(movie->currentFrameNumber(), 1);
    // Reaching the last frame alone emits nothing; each paint on it does.
    QCOMPARE(finished.count(), 0);
    render(image, paper);
    render(image, paper);
    QCOMPARE(finished.count(), 2);
}

// A GIF that has a header but no frame reports no frame count and no frame.
void tst_Image::movieWithoutFramesNeverFinishes()
{
    VYRQImage image;
    image.resize(10, 10);
    QSignalSpy finished(&image, &VYRQImage::movieFinished);
    image.loadGif(media + QLatin1String("no-frames.gif"));
    render(image, paper);
    image.loadGif(media + QLatin1String("does-not-exist.gif"));
    render(image, paper);
    QCOMPARE(finished.count(), 0);
}

void tst_Image::pathEndsTheMovie()
{
    VYRQImage image;
    image.resize(10, 10);
    image.loadGif(media + QLatin1String("two-frames.gif"));
    QPointer<QMovie> movie = movieOf(image);
    QVERIFY(movie);
    QSignalSpy finished(&image, &VYRQImage::movieFinished);
    image.setSvgPath(media + QLatin1String("red-square.svg"));
    QVERIFY(!movie);
    QVERIFY(!image.findChild<QLabel*>()->isVisibleTo(&image));
    render(image, paper);
    QCOMPARE(finished.count(), 0);
    image.startAnimate();
    image.stopAnimate();
}

void tst_Image::registry()
{
    for (const char* key : {"qtpicture", "picture", "image"}) {
        QScopedPointer<QWidget> w(createControlByType(key, nullptr));
        QVERIFY2(qobject_cast<VYRQImage*>(w.data()), key);
    }
    ControlInfo* info = vyrGetControlInfo(QStringLiteral("qtpicture"));
    QVERIFY(info && info->rows.size() == 9);
    QCOMPARE(info->rows[7].kind, unsigned(PropertyDef::IconPath));
}

// Runs last: the loaded theme set stays for the rest of the process.
void tst_Image::themeDefaultsApply()
{
    QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/controls-theme"));
    VYRQImage image;
    QVERIFY(!image.getStretchDraw());
    QCOMPARE(image.getSvgColor(), QColor(0x11, 0x22, 0x33));
}

QTEST_MAIN(tst_Image)
#include "tst_image.moc"
