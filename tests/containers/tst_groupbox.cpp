#include "../controls/controls_testutil.h"
#include "VYRQGlobal.h"
#include "VYRQGroupBox.h"
#include "VYRQResourceManager.h"
#include "VYRQSplitter.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QColor paper(255, 255, 255);
const QColor red(255, 0, 0);

// A 200 x 100 box with a red line and a caption in the paper colour, so that glyphs
// never tell in a probe: only the frame line does.
struct Box {
    VYRQGroupBox box;
    int tw = 0;
    int y = 0;   // the top line: half the caption height
    Box()
    {
        box.resize(200, 100);
        box.setLineColor(red);
        box.setText(QStringLiteral("Caption"));
        const TextStyleDesc style = sty::text(QString(), paper);
        box.setTextStyle(CommonNormal, style);
        const QSize caption = VYRQWidgetBaseImpl::getTextSize(style, box.getText());
        tw = caption.width();
        y = caption.height() / 2;
    }
    QImage image() { return ctl::render(box, paper); }
};

void expect(const QImage& image, std::initializer_list<QPoint> points, const QColor& color)
{
    for (const QPoint& p : points)
        QVERIFY2(ctl::pixel(image, p.x(), p.y()) == color,
                 qPrintable(QStringLiteral("at %1,%2").arg(p.x()).arg(p.y())));
}

} // namespace

class tst_GroupBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addText(QStringLiteral("Caption"));
    }

    // One open polyline from beside the caption down the left, along the bottom, up the
    // right (one pixel in) and back to the caption's right end.
    void framePolylineWithCaptionGap()
    {
        Box b;
        QVERIFY(b.y > 1);
        const QImage image = b.image();
        expect(image, {{3, b.y}, {5, b.y}, {9 + b.tw, b.y}, {190, b.y}}, red);
        expect(image, {{6, b.y}, {7 + b.tw / 2, b.y}, {8 + b.tw, b.y}, {100, b.y - 1}}, paper);
        expect(image, {{0, 50}, {100, 99}, {198, 50}}, red);
        expect(image, {{1, 50}, {100, 98}, {199, 50}, {197, 50}}, paper);

        // Without the caption the top line closes to x 9: a small gap remains.
        b.box.setShowText(false);
        const QImage hidden = b.image();
        expect(hidden, {{5, b.y}, {9, b.y}, {7 + b.tw / 2, b.y}}, red);
        expect(hidden, {{6, b.y}, {7, b.y}, {8, b.y}}, paper);
    }

    void lineSizeLiftsTheBottomLine()
    {
        Box b;
        QVERIFY(sty::load(b.box, R"({"attr": {"size": 3}})"));
        QCOMPARE(b.box.getText(), QStringLiteral("Caption"));
        const QImage image = b.image();
        expect(image, {{100, 97}, {0, 97}}, red);
        expect(image, {{100, 99}, {0, 98}}, paper);
    }

    void readsLineColour_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::newRow("colour text") << QByteArray(R"({"attr": {"color": "80FF0000"}})");
        QTest::newRow("unsigned number") << QByteArray(R"({"attr": {"color": 2164195328}})");
        QTest::newRow("signed number") << QByteArray(R"({"attr": {"color": -2130771968}})");
    }

    // The line colour keeps its alpha: half-transparent red over white.
    void readsLineColour()
    {
        QFETCH(QByteArray, element);
        Box b;
        QVERIFY(sty::load(b.box, element));
        QCOMPARE(b.box.getLineColor(), QColor(255, 0, 0, 128));
        const QColor line = ctl::pixel(b.image(), 0, 50);
        QCOMPARE(line.red(), 255);
        QVERIFY(qAbs(line.green() - 127) <= 2);
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QColor>("color");
        QTest::newRow("no bottom inset") << 0 << QColor(0, 0, 0, 255);
        QTest::newRow("transparent line") << 1 << QColor(0, 0, 0, 0);
        QTest::newRow("both") << 0 << QColor(0, 0, 0, 0);
        QTest::newRow("half red, inset 3") << 3 << QColor(255, 0, 0, 128);
    }

    // Whatever differs from the defaults a reader starts from survives save and reload.
    void roundTrip()
    {
        QFETCH(int, size);
        QFETCH(QColor, color);
        VYRQGroupBox box;
        box.setLineSize(size);
        box.setLineColor(color);
        box.setTextStyle(CommonNormal, sty::text(QStringLiteral("Caption"), Qt::black));

        Json::Value out = ctl::write(box);
        VYRQGroupBox copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(copy.getLineSize(), size);
        QCOMPARE(copy.getLineColor().rgba(), color.rgba());
        QCOMPARE(copy.getTextStyle(CommonDisable).name, QStringLiteral("Caption"));
        QVERIFY(copy.getShowText());
    }

    // A theme element may give group boxes another line: a box saved with the plain
    // line (size 1, black) reloads with it, not with the theme's (size 3, blue).
    void savedLineBeatsTheTheme()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile style(dir.filePath("style.json")), theme(dir.filePath("theme.json"));
        QVERIFY(style.open(QIODevice::WriteOnly) && style.write(R"({"style": []})") > 0);
        QVERIFY(theme.open(QIODevice::WriteOnly)
                && theme.write(R"({"elements": [{"child": [
                       {"name": "qtgroupbox", "attr": {"size": 3, "color": "FF0000FF"}}]}]})") > 0);
        style.close();
        theme.close();
        QVERIFY(vyrLoadThemeDir(dir.path().toUtf8().constData()));
        // A theme name the theme lacks changes nothing, and the saved element then
        // reads its own keys instead of being redirected to the theme's.
        VYRQGroupBox box;
        box.setThemeName(QStringLiteral("NoSuchElement"));
        QCOMPARE(box.getLineSize(), 3);
        box.setLineSize(1);
        box.setLineColor(Qt::black);
        Json::Value out = ctl::write(box);
        VYRQGroupBox copy;
        QCOMPARE(copy.getLineColor(), QColor(Qt::blue));
        QVERIFY(copy.readJsonValue(&out));
        sty::dropTheme();
        QCOMPARE(copy.getLineSize(), 1);
        QCOMPARE(copy.getLineColor().rgba(), QColor(Qt::black).rgba());
    }
};

class tst_Splitter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFill(QStringLiteral("Bar"), Qt::green);
    }

    // Only a named normal style paints, and only that is written.
    void paintsAndWritesOnlyANamedStyle()
    {
        VYRQSplitter splitter;
        splitter.resize(40, 20);
        QCOMPARE(ctl::pixel(ctl::render(splitter, paper), 20, 10), paper);
        QVERIFY(ctl::write(splitter)["style"].isNull());

        QVERIFY(sty::load(splitter, R"({"style": [["Bar", 1, 1], ["Nope", 1, 0]]})"));
        QCOMPARE(ctl::pixel(ctl::render(splitter, paper), 20, 10), paper);
        Json::Value element = ctl::parse(R"({"style": [["Bar", 1, 0]]})");
        QVERIFY(splitter.readJsonValue(&element));
        QCOMPARE(ctl::pixel(ctl::render(splitter, paper), 20, 10), QColor(Qt::green));
        QCOMPARE(ctl::write(splitter)["style"], element["style"]);
    }

    // Only settings: the mouse moves nothing, and the panes are not owned.
    void mouseMovesNothing()
    {
        QWidget host;
        auto* left = new QWidget(&host);
        auto* right = new QWidget(&host);
        left->setGeometry(0, 0, 90, 100);
        auto* splitter = new VYRQSplitter(&host);
        splitter->setGeometry(90, 0, 20, 100);
        splitter->setUpLeftWidget(left);
        splitter->setDownRightWidget(right);

        ctl::mouse(*splitter, QEvent::MouseButtonPress, QPoint(10, 50));
        ctl::mouse(*splitter, QEvent::MouseMove, QPoint(60, 50));
        ctl::mouse(*splitter, QEvent::MouseButtonRelease, QPoint(60, 50));
        QCOMPARE(splitter->geometry(), QRect(90, 0, 20, 100));
        QCOMPARE(left->geometry(), QRect(0, 0, 90, 100));
        delete right;
        QVERIFY(!splitter->getDownRightWidget());
    }
};

// Both units in one executable, which saves a link.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_GroupBox groupBox;
    tst_Splitter splitter;
    const int failedBoxes = QTest::qExec(&groupBox, argc, argv);
    return failedBoxes + QTest::qExec(&splitter, argc, argv);
}

#include "tst_groupbox.moc"
