#include "controls_testutil.h"
#include "peakmemory.h"
#include "warningcapture.h"

#include "VYRQImage.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"

#include <QLabel>
#include <QMovie>
#include <QDir>
#include <QPointer>
#include <QTemporaryDir>

using namespace ctl;

namespace {
const QString media = QStringLiteral(VYR_TEST_DATA "/controls-media/");
const QColor paper(250, 250, 250);
const QColor red(255, 0, 0), blue(0, 0, 255);

QImage solidImage(const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

QString styled(const Json::Value& value)
{
    return QString::fromStdString(value.toStyledString());
}
} // namespace

class tst_Image : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    // Defaults are left out, "attr" colours are opaque and written whether recolouring
    // is on or not; an SVG name under "path", in any case, is written as "svgPath" only.
    void json()
    {
        VYRQImage image;
        QVERIFY(!write(image).isMember("attr"));
        Json::Value element = parse(R"({"attr": {"path": "pic.png", "fill": false, "svgUseColor": true,
                                                 "svgColor": "80102030"}})");
        QVERIFY(image.readJsonValue(&element));
        Json::Value expected = parse(R"({"path": "pic.png", "fill": 0, "svgUseColor": 1, "svgColor": "FF102030"})");
        QCOMPARE(styled(write(image)["attr"]), styled(expected));
        image.setUseSvgColor(false);
        expected.removeMember("svgUseColor");
        QCOMPARE(styled(write(image)["attr"]), styled(expected));
        VYRQImage svg;
        element = parse(R"({"attr": {"path": "icons/Logo.SVG"}})");
        QVERIFY(svg.readJsonValue(&element));
        QCOMPARE(styled(write(svg)["attr"]), styled(parse(R"({"svgPath": "icons/Logo.SVG"})")));
        svg.setImagePath(QStringLiteral("plain.png"));
        QVERIFY(svg.getSvgPath().isEmpty());
    }

    // Stretched, the picture fills the control whatever the alignment; otherwise it
    // keeps its size, aligned near, centred or far (an unknown value is near).
    void placement_data()
    {
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("ver");
        QTest::addColumn<QRect>("area");
        QTest::newRow("stretched") << true << 2 << 2 << QRect(0, 0, 25, 25);
        QTest::newRow("far") << false << 2 << 2 << QRect(15, 15, 10, 10);
        QTest::newRow("centre") << false << 1 << 1 << QRect(7, 7, 10, 10);
        QTest::newRow("left, bottom") << false << 0 << 2 << QRect(0, 15, 10, 10);
        QTest::newRow("unknown is near") << false << 5 << 1 << QRect(0, 7, 10, 10);
    }

    void placement()
    {
        QFETCH(bool, stretch);
        QFETCH(int, hor);
        QFETCH(int, ver);
        QFETCH(QRect, area);
        const QImage source = solidImage(QSize(10, 10), red);
        VYRQImage image;
        image.resize(25, 25);
        image.setImage(&source);
        image.setStretchDraw(stretch);
        image.setAlignType(DockLayoutType(hor), DockLayoutType(ver));
        const QImage out = render(image, paper);
        QCOMPARE(pixel(out, area.left(), area.top()), red);
        QCOMPARE(pixel(out, area.right(), area.bottom()), red);
        if (!stretch)
            QCOMPARE(pixel(out, (area.left() + 24) % 25, (area.top() + 24) % 25), paper);
    }

    // An SVG name wins over the caller's image, a bitmap name does not; setting an SVG
    // path drops the caller's image.
    void sourcePrecedence()
    {
        const QImage source = solidImage(QSize(4, 4), blue);
        VYRQImage image;
        image.resize(8, 8);
        image.setImage(&source);
        image.setImagePath(media + "red-square.svg");
        QCOMPARE(pixel(render(image, paper), 4, 4), red);
        image.setImagePath(QStringLiteral("missing.png"));
        QCOMPARE(pixel(render(image, paper), 4, 4), blue);
        image.setSvgPath(media + "red-square.svg");
        QCOMPARE(image.getImage(), nullptr);
        QCOMPARE(pixel(render(image, paper), 4, 4), red);
    }

    // The colour takes the SVG's shape and alpha; where the SVG paints nothing, nothing is painted.
    void recolouredSvgKeepsTransparency()
    {
        VYRQImage image;
        image.resize(20, 20);
        image.setStretchDraw(false);
        image.setSvgPath(media + "half-alpha.svg");
        image.setSvgColor(blue);
        QVERIFY(image.getUseSvgColor());
        const QImage out = render(image, Qt::transparent);
        const QColor inside = QColor::fromRgba(out.pixel(5, 10));
        QCOMPARE(inside.rgb(), blue.rgb());
        QVERIFY(qAbs(inside.alpha() - 128) <= 2);
        QCOMPARE(qAlpha(out.pixel(15, 10)), 0);
        image.setUseSvgColor(false);
        QCOMPARE(QColor::fromRgba(render(image, Qt::transparent).pixel(5, 10)).green(), 255);
    }

    // Recoloured pictures are kept between paints; a new colour or size draws anew.
    void recolouringFollowsColourAndSize()
    {
        VYRQImage image;
        image.resize(10, 10);
        image.setSvgPath(media + "red-square.svg");
        image.setSvgColor(blue);
        QCOMPARE(pixel(render(image, paper), 5, 5), blue);
        QCOMPARE(pixel(render(image, paper), 5, 5), blue);
        const QColor green(0, 200, 0);
        image.setSvgColor(green);
        QCOMPARE(pixel(render(image, paper), 5, 5), green);
        image.resize(30, 30);
        const QImage larger = render(image, paper);
        QCOMPARE(pixel(larger, 25, 25), green);
        image.setSvgColor(blue);
        image.resize(10, 10);
        QCOMPARE(pixel(render(image, paper), 5, 5), blue);
    }

    // Reaching the last frame alone emits nothing; each paint on it does. Another
    // picture ends the movie.
    void gifEndSignal()
    {
        VYRQImage image;
        image.resize(30, 20);
        QSignalSpy finished(&image, &VYRQImage::movieFinished);
        image.loadGif(media + "two-frames.gif");
        QLabel* label = image.findChild<QLabel*>();
        QPointer<QMovie> movie = label ? label->movie() : nullptr;
        QVERIFY(movie);
        QVERIFY(label->isVisibleTo(&image));
        image.show(); // a hidden widget gets its resize event only when shown
        image.resize(40, 30);
        QCOMPARE(label->geometry(), QRect(0, 0, 40, 30));
        image.hide(); // from here on only the test paints the control
        render(image, paper);
        QTRY_COMPARE(movie->state(), QMovie::NotRunning);
        QCOMPARE(movie->currentFrameNumber(), 1);
        QCOMPARE(finished.count(), 0);
        render(image, paper);
        render(image, paper);
        QCOMPARE(finished.count(), 2);
        image.setSvgPath(media + "red-square.svg");
        QVERIFY(!movie);
        QVERIFY(!label->isVisibleTo(&image));
        render(image, paper);
        QCOMPARE(finished.count(), 2);
        image.startAnimate();
        image.stopAnimate();
    }

    // A GIF with a header but no frame, or no file at all, has no end.
    void framelessGifNeverFinishes()
    {
        VYRQImage image;
        image.resize(10, 10);
        QSignalSpy finished(&image, &VYRQImage::movieFinished);
        image.loadGif(media + "no-frames.gif");
        render(image, paper);
        image.loadGif(media + "does-not-exist.gif");
        render(image, paper);
        QCOMPARE(finished.count(), 0);
    }

    void refusedPictures_data()
    {
        QTest::addColumn<QString>("file");    // "fifo", "device" or "huge"
        QTest::addColumn<bool>("movie");      // played by loadGif, or drawn by image path
        QTest::addColumn<QString>("warning");
        QTest::newRow("movie from a FIFO") << "fifo" << true << "not a regular file";
        QTest::newRow("movie from a link to a device") << "device" << true << "not a regular file";
        QTest::newRow("movie of a 16000 x 16000 screen") << "huge" << true << "larger than 16777216 pixels";
        QTest::newRow("image path of a 16000 x 16000 GIF") << "huge" << false << "larger than 16777216 pixels";
    }
    // What a movie or an image path names is read as a theme file is, and refused, with a
    // warning, before it blocks (should it, a writer comes after a few seconds with a
    // GIF to play), reads without end, or decodes a frame beyond the image bound.
    void refusedPictures()
    {
        QFETCH(QString, file);
        QFETCH(bool, movie);
        QFETCH(QString, warning);
        QTemporaryDir dir;
        const QString path = dir.filePath("picture.gif");
        QFile twoFrames(media + "two-frames.gif");
        QVERIFY(twoFrames.open(QIODevice::ReadOnly));
        std::unique_ptr<specialfiles::FifoWriter> writer;
        QVERIFY(placeFile(path, file, file == "fifo" ? twoFrames.readAll() : hugeGif(), writer));
        VYRQImage image;
        image.resize(20, 20);
        WarningCapture capture;
        const PeakMemory memory;
        if (movie)
            image.loadGif(path);
        else
            image.setImagePath(path);
        render(image, paper);
        const qint64 growth = memory.growthMb();
        QCOMPARE(capture.count(warning), 1);
        const QLabel* label = image.findChild<QLabel*>();
        QVERIFY(!label || (!label->movie() && !label->isVisibleTo(&image)));
        if (growth < 0)
            QSKIP("peak memory cannot be read here");
        QVERIFY2(growth < 64, qPrintable(QStringLiteral("%1 MB").arg(growth)));
    }

    void imageOfASet_data()
    {
        QTest::addColumn<QString>("event");
        QTest::newRow("another theme loaded") << "theme";
        QTest::newRow("resources released, its place taken by another image") << "release";
    }
    // An image a set handed out is drawn while its set has it, and is neither drawn nor
    // given back once the set is replaced or released (the sanitizers check that the
    // pointer is not used).
    void imageOfASet()
    {
        QFETCH(QString, event);
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        QTemporaryDir dir;
        for (const char* theme : { "a", "b" }) {
            QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("%1/images").arg(theme)));
            QFile style(dir.filePath(QStringLiteral("%1/style.json").arg(theme)));
            QVERIFY(style.open(QIODevice::WriteOnly) && style.write(R"({"style": []})") > 0);
            style.close();
            QVERIFY(solidImage(QSize(4, 4), theme[0] == 'a' ? red : blue)
                        .save(dir.filePath(QStringLiteral("%1/images/held.png").arg(theme))));
        }
        VYRQResourceManagerImpl* defaults = rm->getDefaultManagerImpl();
        QVERIFY(rm->loadThemeDir(dir.filePath("a")));
        const QImage* held = event == "theme" ? rm->getImage("images/held.png", false)
                                              : defaults->decoded.storeImage("images/held.png", solidImage(QSize(4, 4), red));
        QVERIFY(held);
        VYRQImage image;
        image.resize(8, 8);
        image.setImage(held);
        QCOMPARE(pixel(render(image, paper), 4, 4), red);
        if (event == "theme") {
            QVERIFY(rm->loadThemeDir(dir.filePath("b")));
        } else {
            rm->releaseRes();
            QCOMPARE(defaults->decoded.storeImage("images/other.png", solidImage(QSize(4, 4), blue)), held);
        }
        QCOMPARE(pixel(render(image, paper), 4, 4), paper);
        QCOMPARE(image.getImage(), nullptr);
        rm->releaseRes();
        sty::dropTheme();
    }

    void themeDefaultsApply()
    {
        QVERIFY(vyrLoadThemeDir(VYR_TEST_DATA "/controls-theme"));
        VYRQImage image;
        QVERIFY(!image.getStretchDraw());
        QCOMPARE(image.getSvgColor(), QColor(0x11, 0x22, 0x33));
        sty::dropTheme();
    }
};

QTEST_MAIN(tst_Image)
#include "tst_image.moc"
