#include "VYRQCanvas.h"
#include "VYRQCanvasWindow.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQLabel.h"

#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

namespace {

Json::Value parsed(const QByteArray& text)
{
    Json::Value root;
    vyr::json::parse(text, root);
    return root;
}

Json::Value pageJson(VYRQCanvasWindow& frame)
{
    QString text;
    frame.toJsonString(text);
    return parsed(text.toUtf8());
}

QWidget* marked(QWidget* widget, const QString& name, const QRect& geometry)
{
    widget->setObjectName(name);
    if (auto* control = dynamic_cast<IVYRQWidgetBase*>(widget))
        control->setGeometry(geometry.x(), geometry.y(), geometry.width(), geometry.height());
    else
        widget->setGeometry(geometry);
    widget->setProperty("visibility", true);
    return widget;
}

} // namespace

class tst_CanvasWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void recordAndRegistration();
    void headerKeys_data();
    void headerKeys();
    void elementsAndLoader();
    void hitTest_data();
    void hitTest();
};

void tst_CanvasWindow::initTestCase()
{
    VYRQtLib::init();
}

void tst_CanvasWindow::recordAndRegistration()
{
    VYRQCanvasWindow frame;
    QVERIFY(frame.testAttribute(Qt::WA_NoSystemBackground));
    frame.setResizeable(true);
    QVERIFY(frame.testAttribute(Qt::WA_MouseTracking));
    // setTransparent acts on the window flags only, not on the page's "trans".
    frame.setTransparent(true);
    QVERIFY(frame.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!frame.getTrans());
    QVERIFY(frame.getCaptionHeight());
    frame.setCaptionHeight(0);
    QVERIFY(!frame.getCaptionHeight());

    const ControlInfo info = VYRQCanvasWindow::getProps();
    QCOMPARE(QString::fromStdString(info.typeKey + "/" + info.className + "/" + info.category),
             QStringLiteral("window/VYRQWindow/win"));
    QStringList rows;
    for (const PropertyDef& row : info.rows)
        rows << row.name;
    QCOMPARE(rows, QStringList({"Name", "Width", "Height", "MinWidth", "MinHeight"}));
    info.rows[1].setInt(&frame, 500);
    info.rows[4].setInt(&frame, 90);
    QCOMPARE(frame.width(), 500);
    QCOMPARE(frame.minimumWidth(), 500);   // the width is fixed
    QCOMPARE(info.rows[4].getInt(&frame), 90);
    QObject other;
    QCOMPARE(info.rows[1].getInt(&other), 0);

    // "Window" sorts first and builds the frame; "canvas" has a factory only.
    QCOMPARE(QString::fromStdString(vyrGetAllControlInfo().first()->typeKey), QStringLiteral("window"));
    QVERIFY(!vyrGetControlInfo(QStringLiteral("canvas")));
    QWidget parent;
    QVERIFY(dynamic_cast<VYRQCanvasWindow*>(createControlByType("Window", &parent)));
    QVERIFY(qobject_cast<VYRQCanvas*>(createControlByType("canvas", &parent)));
}

void tst_CanvasWindow::headerKeys_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QByteArray>("expected");   // the whole header

    QTest::newRow("defaults") << "" << QByteArray(R"({"w":250,"h":150,"minW":400,"minH":400,"drag":true,"dbheight":40})");
    // The loader's default drags: a frame that must not drag says so.
    QTest::newRow("no drag") << "drag" << QByteArray(R"({"w":250,"h":150,"minW":400,"minH":400,"drag":false,"dbheight":40})");
    QTest::newRow("flags") << "flags" << QByteArray(R"({"w":250,"h":150,"drag":true,"resize":true,"onlyDragCaption":true})");
    QTest::newRow("read back") << "header" << QByteArray(R"({"w":250,"h":150,"minW":400,"minH":400,"drag":true,
                                                         "dbheight":50,"dbmax":true,"trans":true})");
}

void tst_CanvasWindow::headerKeys()
{
    QFETCH(QString, change);
    QFETCH(QByteArray, expected);
    VYRQCanvasWindow frame;
    frame.resize(250, 150);
    if (change == QLatin1String("drag")) {
        frame.setCanDrag(false);
    } else if (change == QLatin1String("flags")) {
        frame.setResizeable(true);
        frame.setOnlyDragCaption(true);
        frame.setCaptionHeight(35);   // the stored default
        frame.setMinWidth(0);
        frame.setMinHeight(-5);
    } else if (change == QLatin1String("header")) {
        // The keys the loader leaves to the frame; "drag" is the loader's.
        frame.readPageHeader(parsed(R"({"trans": true, "dbmax": true, "dbheight": 50, "drag": false})"));
    }
    QCOMPARE(pageJson(frame), parsed(expected));
}

void tst_CanvasWindow::elementsAndLoader()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.json"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"w": 320, "h": 180, "drag": false, "resize": true, "minW": 100, "minH": 90,
                  "onlyDragCaption": true, "trans": true, "elements": []})");
    file.close();

    VYRQCanvasWindow frame;
    QVERIFY(!vyrCreatePageByFileName(&frame, path));
    QCOMPARE(frame.size(), QSize(320, 180));
    QVERIFY(!frame.getCanGrag() && frame.getResizeable() && frame.getOnlyDragCaption());
    QCOMPARE(QSize(frame.getMinWidth(), frame.getMinHeight()), QSize(100, 90));
    QVERIFY(frame.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(!pageJson(frame).isMember("elements"));

    // Direct library children only, in child order; grandchildren ride under "child".
    auto* first = marked(new VYRQContainer(&frame), "first", QRect(0, 0, 80, 30));
    marked(new QWidget(&frame), "plain", QRect(0, 0, 5, 5));
    marked(new VYRQLabel(&frame), "second", QRect(5, 6, 40, 20));
    marked(new VYRQLabel(first), "inner", QRect(1, 1, 5, 5));
    const Json::Value elements = pageJson(frame)["elements"];
    QCOMPARE(int(elements.size()), 2);
    QCOMPARE(elements[0]["name"], Json::Value("first"));
    QCOMPARE(elements[0]["child"][0]["name"], Json::Value("inner"));
    QCOMPARE(elements[1]["name"], Json::Value("second"));
    QCOMPARE(elements[1]["x"], Json::Value(5));
}

void tst_CanvasWindow::hitTest_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("expected");   // object name, empty for none

    QTest::newRow("deepest") << QPoint(25, 25) << "inner";
    QTest::newRow("edge pixel of the parent") << QPoint(10, 10) << "outer";
    // inner runs past its parent; that part is clipped away as the canvas clips it.
    QTest::newRow("clipped part") << QPoint(65, 25) << "frame";
    QTest::newRow("hidden in the design") << QPoint(155, 55) << "frame";
    QTest::newRow("outside") << QPoint(250, 50) << "";
}

void tst_CanvasWindow::hitTest()
{
    QFETCH(QPoint, point);
    QFETCH(QString, expected);
    // Under a parent as on the canvas: the search stops at the frame.
    QWidget canvas;
    auto* frame = static_cast<VYRQCanvasWindow*>(marked(new VYRQCanvasWindow(&canvas), "frame", QRect(50, 50, 200, 100)));
    QWidget* outer = marked(new QWidget(frame), "outer", QRect(10, 10, 50, 50));
    marked(new QWidget(outer), "inner", QRect(10, 10, 70, 30));
    QWidget* hidden = marked(new QWidget(frame), "hidden", QRect(140, 40, 40, 40));
    marked(new QWidget(hidden), "hiddenChild", QRect(10, 10, 10, 10));
    hidden->setProperty("visibility", false);
    frame->hideAllWidges();
    QVERIFY(outer->isHidden() && !frame->isHidden());

    QWidget* hit = frame->HitTestWithChildren(frame, point.x(), point.y());
    QCOMPARE(hit ? hit->objectName() : QString(), expected);
    QVERIFY(!frame->HitTestWithChildren(&canvas, 0, 0));
    frame->setProperty("visibility", false);
    QVERIFY(!frame->HitTestWithChildren(frame, point.x(), point.y()));
}

QTEST_MAIN(tst_CanvasWindow)
#include "tst_canvaswindow.moc"
