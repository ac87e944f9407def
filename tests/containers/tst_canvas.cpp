#include "VYRQCanvas.h"
#include "VYRQCanvasWindow.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQScrollBar.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

#include <memory>

namespace {

// A root container filling the page, a control to edit, siblings to snap to
// (lefts 150 and 13, tops 100 and 120), and a host that already holds a qtbutton1.
const char* const mainPage = R"({
    "w": 300, "h": 200, "drag": false, "trans": true, "dbmax": true, "dbheight": 50, "resize": true,
    "elements": [{"type": "qtcontainer", "name": "root", "w": 300, "h": 200, "child": [
        {"type": "qtcontainer", "name": "box", "x": 10, "y": 10, "w": 100, "h": 50},
        {"type": "qtlabel", "name": "sibling", "x": 150, "y": 100, "w": 60, "h": 40},
        {"type": "qtcontainer", "name": "host", "x": 13, "y": 120, "w": 100, "h": 60,
         "child": [{"type": "qtbutton", "name": "qtbutton1", "x": 5, "y": 5, "w": 30, "h": 20}]}]}]
})";
const char* const largePage = R"({"w": 800, "h": 600, "elements": [
    {"type": "qtcontainer", "name": "largeRoot", "w": 800, "h": 600}]})";

class TestCanvas : public VYRQCanvas {
public:
    using VYRQCanvas::VYRQCanvas;
    using VYRQCanvas::HitInSelected;
    using VYRQCanvas::IsInSelected;
};

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, w->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(w, &event);
}

void drag(QWidget* w, const QPoint& from, const QPoint& delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    sendMouse(w, QEvent::MouseButtonPress, from, Qt::LeftButton, modifiers);
    if (!delta.isNull()) {
        sendMouse(w, QEvent::MouseMove, from + delta / 2, Qt::LeftButton, modifiers);
        sendMouse(w, QEvent::MouseMove, from + delta, Qt::LeftButton, modifiers);
    }
    sendMouse(w, QEvent::MouseButtonRelease, from + delta, Qt::NoButton, modifiers);
}

void click(QWidget* w, const QPoint& pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    drag(w, pos, QPoint(), modifiers);
}

QRect recordedRect(QWidget* widget)
{
    auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
    return control && control->getLayoutType() == LayoutAbsolute ? control->getControlBase()->layoutRect() : QRect();
}

// Every control the page built: name, type, parent and geometry.
QStringList snapshot(QWidget* frame)
{
    QStringList out;
    for (QWidget* widget : frame->findChildren<QWidget*>()) {
        auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
        if (!control || !widget->property("visibility").isValid())
            continue;
        const QRect r = widget->geometry();
        out << QStringLiteral("%1 %2 in %3 at %4,%5 %6x%7")
                   .arg(widget->objectName(), control->getTypeName(), widget->parentWidget()->objectName())
                   .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    out.sort();
    return out;
}

} // namespace

class tst_Canvas : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void openSwitchAndClose();
    void unreadablePages_data();
    void unreadablePages();
    void renamePath();
    void hitZones_data();
    void hitZones();
    void clickSelection();
    void dragEdits_data();
    void dragEdits();
    void rootRatioAndDeletedControlsStay();
    void dropAndNaming();
    void scrolling();
    void painting();
    void saveRoundTrip();
    void saveStyle();
    void editSaveReopen_data();
    void editSaveReopen();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QWidget* control(const QString& name) const { return m_canvas->GetCurWindow()->findChild<QWidget*>(name); }
    QPoint at(const QString& name, const QPoint& local) const { return control(name)->mapTo(m_canvas, local); }
    void openMain() { QVERIFY(m_canvas->OpenJsonFile(path("pages/MainPage.old.json"))); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_host;
    TestCanvas* m_canvas = nullptr;
};

void tst_Canvas::initTestCase()
{
    VYRQtLib::init();
}

void tst_Canvas::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(writeFile(path("pages/MainPage.old.json"), mainPage));
    QVERIFY(writeFile(path("pages/Large.json"), largePage));
    m_host.reset(new QWidget);
    m_host->resize(800, 600);
    m_canvas = new TestCanvas(m_host.get());
    m_canvas->resize(800, 600);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
}

void tst_Canvas::cleanup()
{
    m_host.reset();
    vyrSetIsInDesigner(false);
    VYRQResourceManager::getInstance()->setSwitchToProjectRes(false);
}

void tst_Canvas::openSwitchAndClose()
{
    openMain();
    VYRQCanvasWindow* main = m_canvas->GetCurWindow();
    QCOMPARE(main->objectName(), QStringLiteral("MainPage"));
    QCOMPARE(main->pageName(), QStringLiteral("MainPage.old.json"));
    QVERIFY(main->isVisible());
    // Controls stay hidden widgets at their recorded places; the canvas draws them.
    QVERIFY(control("box")->isHidden());
    QVERIFY(control("box")->property("visibility").toBool());
    QCOMPARE(control("qtbutton1")->geometry(), QRect(5, 5, 30, 20));

    QVERIFY(m_canvas->OpenJsonFile(path("pages/Large.json")));
    VYRQCanvasWindow* large = m_canvas->GetCurWindow();
    QVERIFY(main->isHidden());
    QVERIFY(!main->property("visibility").toBool());
    // An open path switches back instead of loading again, and drops the selection.
    m_canvas->AddSelectedControl(control("largeRoot"));
    openMain();
    QCOMPARE(m_canvas->GetCurWindow(), main);
    QVERIFY(large->isHidden());
    QCOMPARE(m_canvas->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 2);
    QVERIFY(!m_canvas->IsInSelected(large->findChild<QWidget*>("largeRoot")));

    // Without a "/" the path names the frame whole.
    QVERIFY(writeFile(path("page.json"), mainPage));
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    QVERIFY(m_canvas->OpenJsonFile(QStringLiteral("page.json")));
    QDir::setCurrent(cwd);
    QCOMPARE(m_canvas->GetCurWindow()->objectName(), QStringLiteral("page.json"));

    // Closing the current page empties the selection; a frame deleted elsewhere
    // leaves its path free.
    openMain();
    m_canvas->AddSelectedControl(control("box"));
    QVERIFY(m_canvas->removePage(main));
    QVERIFY(!m_canvas->GetCurWindow());
    QCOMPARE(m_canvas->HitInSelected(50, 30), VYR_CAV_HIT_NONE);
    QVERIFY(!m_canvas->removePage(main));
    openMain();
    delete m_canvas->GetCurWindow();
    QVERIFY(!m_canvas->SavePage(path("pages/MainPage.old.json")));
    openMain();
    QPointer<VYRQCanvasWindow> last = m_canvas->GetCurWindow();
    m_canvas->closeAllWindows();
    QVERIFY(!last && !m_canvas->GetCurWindow());
    QVERIFY(m_canvas->findChildren<QWidget*>().isEmpty());
}

void tst_Canvas::unreadablePages_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");   // null: not written

    QByteArray cut("{\"w\": 1}");
    cut.append('\0').append("{\"elements\": []}");
    QTest::newRow("missing file") << "missing.json" << QByteArray();
    QTest::newRow("empty path") << "" << QByteArray();
    QTest::newRow("not json") << "bad.json" << QByteArray("{ \"elements\": [ ");
    QTest::newRow("no elements") << "plain.json" << QByteArray(R"({"w": 100, "h": 100})");
    QTest::newRow("elements after a NUL") << "nul.json" << cut;
}

void tst_Canvas::unreadablePages()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    const QString page = file.isEmpty() ? QString() : path(file);
    if (!content.isNull())
        QVERIFY(writeFile(page, content));

    openMain();
    VYRQCanvasWindow* frame = m_canvas->GetCurWindow();
    QVERIFY(!m_canvas->OpenJsonFile(page));
    // Nothing opened: the previous page stays current and shown.
    QCOMPARE(m_canvas->GetCurWindow(), frame);
    QVERIFY(frame->isVisible());
    QCOMPARE(m_canvas->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
}

void tst_Canvas::renamePath()
{
    const QString main = path("pages/MainPage.old.json");
    const QString renamed = path("pages/MainPage.json");
    QVERIFY(m_canvas->OpenJsonFile(path("pages/Large.json")));
    VYRQCanvasWindow* large = m_canvas->GetCurWindow();
    openMain();
    VYRQCanvasWindow* frame = m_canvas->GetCurWindow();

    QCOMPARE(m_canvas->UpdatePagePath(path("pages/none.json")), QString());
    QCOMPARE(m_canvas->UpdatePagePath(main), renamed);
    QCOMPARE(m_canvas->UpdatePagePath(renamed), renamed);
    QVERIFY(m_canvas->OpenJsonFile(renamed));
    QCOMPARE(m_canvas->GetCurWindow(), frame);

    // Onto the path of another open page: refused, and both pages stay reachable.
    frame->setObjectName(QStringLiteral("Large"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is already open")));
    QCOMPARE(m_canvas->UpdatePagePath(renamed), renamed);
    QVERIFY(m_canvas->OpenJsonFile(path("pages/Large.json")));
    QCOMPARE(m_canvas->GetCurWindow(), large);
    QVERIFY(m_canvas->removePage(frame));
    QVERIFY(m_canvas->removePage(large));
}

void tst_Canvas::hitZones_data()
{
    QTest::addColumn<QPoint>("local");   // in the selected 100 x 50 control
    QTest::addColumn<int>("zone");

    QTest::newRow("top-left") << QPoint(3, 3) << int(VYR_CAV_HIT_TOPLEFT);
    QTest::newRow("right") << QPoint(98, 25) << int(VYR_CAV_HIT_RIGHT);
    QTest::newRow("centre") << QPoint(50, 25) << int(VYR_CAV_HIT_INSIDE);
    QTest::newRow("left") << QPoint(4, 25) << int(VYR_CAV_HIT_LEFT);
    QTest::newRow("left margin ends") << QPoint(5, 25) << int(VYR_CAV_HIT_INSIDE);
    QTest::newRow("top") << QPoint(50, 0) << int(VYR_CAV_HIT_TOP);
    QTest::newRow("bottom") << QPoint(50, 46) << int(VYR_CAV_HIT_BOTTOM);
    QTest::newRow("bottom margin ends") << QPoint(50, 45) << int(VYR_CAV_HIT_INSIDE);
    QTest::newRow("bottom-left") << QPoint(1, 48) << int(VYR_CAV_HIT_BOTTOMLEFT);
    QTest::newRow("top-right") << QPoint(99, 1) << int(VYR_CAV_HIT_TOPRIGHT);
    QTest::newRow("bottom-right") << QPoint(96, 49) << int(VYR_CAV_HIT_BOTTOMRIGHT);
    QTest::newRow("outside") << QPoint(100, 25) << int(VYR_CAV_HIT_NONE);
}

void tst_Canvas::hitZones()
{
    QFETCH(QPoint, local);
    QFETCH(int, zone);
    openMain();
    const QPoint p = at("box", local);
    QCOMPARE(m_canvas->HitInSelected(p.x(), p.y()), VYR_CAV_HIT_NONE);
    m_canvas->AddSelectedControl(control("box"));
    QCOMPARE(int(m_canvas->HitInSelected(p.x(), p.y())), zone);
    // The first selected control containing the point decides; a page root met
    // first ends the test.
    m_canvas->AddSelectedControl(control("root"));
    QCOMPARE(int(m_canvas->HitInSelected(p.x(), p.y())), zone);
    m_canvas->RemoveAllSelected();
    m_canvas->AddSelectedControl(control("root"));
    m_canvas->AddSelectedControl(control("box"));
    QCOMPARE(m_canvas->HitInSelected(p.x(), p.y()), VYR_CAV_HIT_NONE);

    // host's inside zone holds the button's top-left corner zone.
    m_canvas->RemoveAllSelected();
    const QPoint corner = at("qtbutton1", QPoint(1, 1));
    m_canvas->AddSelectedControl(control("host"));
    m_canvas->AddSelectedControl(control("qtbutton1"));
    QCOMPARE(m_canvas->HitInSelected(corner.x(), corner.y()), VYR_CAV_HIT_INSIDE);
}

void tst_Canvas::clickSelection()
{
    openMain();
    QSignalSpy selected(m_canvas, &VYRQCanvas::widgetSelected);
    click(m_canvas, at("box", QPoint(50, 25)));
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.last().at(0).value<QWidget*>(), control("box"));
    // A plain click replaces the selection, Shift adds.
    click(m_canvas, at("sibling", QPoint(10, 10)));
    click(m_canvas, at("qtbutton1", QPoint(10, 10)), Qt::ShiftModifier);
    QVERIFY(!m_canvas->IsInSelected(control("box")));
    QVERIFY(m_canvas->IsInSelected(control("sibling")) && m_canvas->IsInSelected(control("qtbutton1")));
    // Inside a selected control the press grabs the selection: nothing toggles.
    click(m_canvas, at("qtbutton1", QPoint(10, 10)), Qt::ShiftModifier);
    QVERIFY(m_canvas->IsInSelected(control("qtbutton1")));
    QCOMPARE(selected.count(), 3);

    // With the page root selected no press grabs: Shift removes a selected control,
    // Shift with another modifier is a plain click.
    m_canvas->RemoveAllSelected();
    m_canvas->AddSelectedControl(control("root"));
    m_canvas->AddSelectedControl(control("box"));
    click(m_canvas, at("box", QPoint(50, 25)), Qt::ShiftModifier);
    QVERIFY(!m_canvas->IsInSelected(control("box")) && m_canvas->IsInSelected(control("root")));
    click(m_canvas, at("box", QPoint(50, 25)), Qt::ShiftModifier | Qt::ControlModifier);
    QVERIFY(m_canvas->IsInSelected(control("box")) && !m_canvas->IsInSelected(control("root")));
    // Outside the page nothing is hit.
    click(m_canvas, QPoint(500, 500));
    QVERIFY(m_canvas->IsInSelected(control("box")));
}

void tst_Canvas::dragEdits_data()
{
    QTest::addColumn<bool>("plain");     // a plain widget in place of the library control
    QTest::addColumn<QPoint>("local");   // press point in the control at (10, 10), 100 x 50
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QRect>("expected");

    const QPoint inside(50, 25);
    QTest::newRow("snap 4 px short") << false << inside << QPoint(136, 0) << false << QRect(150, 10, 100, 50);
    QTest::newRow("snap 4 px past") << false << inside << QPoint(144, 0) << false << QRect(150, 10, 100, 50);
    QTest::newRow("5 px stays") << false << inside << QPoint(135, 0) << false << QRect(145, 10, 100, 50);
    QTest::newRow("snap y") << false << inside << QPoint(20, 93) << false << QRect(30, 100, 100, 50);
    QTest::newRow("shift, mostly right") << false << inside << QPoint(30, 10) << true << QRect(40, 10, 100, 50);
    QTest::newRow("shift, tie goes down") << false << inside << QPoint(20, 20) << true << QRect(10, 30, 100, 50);
    // The locked axis is not snapped: host's left (13) lies 3 pixels away.
    QTest::newRow("free, snaps to 13") << false << inside << QPoint(1, 30) << false << QRect(13, 40, 100, 50);
    QTest::newRow("shift, locked x") << false << inside << QPoint(1, 30) << true << QRect(10, 40, 100, 50);
    QTest::newRow("right -95") << false << QPoint(98, 25) << QPoint(-95, 0) << false << QRect(10, 10, 10, 50);
    QTest::newRow("right -95, plain") << true << QPoint(98, 25) << QPoint(-95, 0) << false << QRect(10, 10, 10, 50);
    // A left or top edge at the minimum keeps the opposite edge in place.
    QTest::newRow("left +200") << false << QPoint(1, 25) << QPoint(200, 0) << false << QRect(100, 10, 10, 50);
    QTest::newRow("top +45") << false << QPoint(50, 1) << QPoint(0, 45) << false << QRect(10, 50, 100, 10);
    QTest::newRow("bottom -60") << false << QPoint(50, 48) << QPoint(0, -60) << false << QRect(10, 10, 100, 10);
    QTest::newRow("top-left") << false << QPoint(2, 2) << QPoint(-5, -4) << false << QRect(5, 6, 105, 54);
    QTest::newRow("top-right") << false << QPoint(98, 2) << QPoint(10, 5) << false << QRect(10, 15, 110, 45);
    QTest::newRow("bottom-left") << false << QPoint(2, 48) << QPoint(5, 10) << false << QRect(15, 10, 95, 60);
    QTest::newRow("bottom-right, plain") << true << QPoint(98, 48) << QPoint(-200, 9) << false << QRect(10, 10, 10, 59);
}

void tst_Canvas::dragEdits()
{
    QFETCH(bool, plain);
    QFETCH(QPoint, local);
    QFETCH(QPoint, delta);
    QFETCH(bool, shift);
    QFETCH(QRect, expected);
    openMain();
    QWidget* target = control("box");
    if (plain) {
        target->setProperty("visibility", false);
        target = new QWidget(control("root"));
        target->setProperty("visibility", true);
        target->setGeometry(10, 10, 100, 50);
    }
    m_canvas->AddSelectedControl(target);
    drag(m_canvas, target->mapTo(m_canvas, local), delta, shift ? Qt::ShiftModifier : Qt::NoModifier);
    // The edit reaches what is drawn and what is saved alike.
    QCOMPARE(target->geometry(), expected);
    if (!plain)
        QCOMPARE(recordedRect(target), expected);
}

void tst_Canvas::rootRatioAndDeletedControlsStay()
{
    openMain();
    QWidget* root = control("root");
    QWidget* box = control("box");
    QWidget* sibling = control("sibling");
    // With the page root selected nothing moves, the root nor its company.
    m_canvas->AddSelectedControl(root);
    m_canvas->AddSelectedControl(box);
    drag(m_canvas, at("root", QPoint(298, 100)), QPoint(-50, 0));
    drag(m_canvas, at("box", QPoint(50, 25)), QPoint(20, 20));
    QCOMPARE(root->geometry(), QRect(0, 0, 300, 200));
    QCOMPARE(box->geometry(), QRect(10, 10, 100, 50));
    // A control in ratio layout is left to its container.
    m_canvas->RemoveAllSelected();
    dynamic_cast<IVYRQWidgetBase*>(box)->setLayoutRatio(2);
    m_canvas->AddSelectedControl(box);
    drag(m_canvas, at("box", QPoint(50, 25)), QPoint(20, 20));
    QCOMPARE(box->geometry(), QRect(10, 10, 100, 50));

    // A selected control deleted by the host in the middle of a drag.
    m_canvas->AddSelectedControl(sibling);
    const QPoint inBox = at("box", QPoint(50, 25));
    const QPoint inSibling = at("sibling", QPoint(30, 20));
    sendMouse(m_canvas, QEvent::MouseButtonPress, inSibling, Qt::LeftButton, Qt::NoModifier);
    delete box;
    sendMouse(m_canvas, QEvent::MouseMove, inSibling + QPoint(7, 0), Qt::LeftButton, Qt::NoModifier);
    sendMouse(m_canvas, QEvent::MouseButtonRelease, inSibling + QPoint(7, 0), Qt::NoButton, Qt::NoModifier);
    QCOMPARE(sibling->pos(), QPoint(157, 100));
    QCOMPARE(m_canvas->HitInSelected(inBox.x(), inBox.y()), VYR_CAV_HIT_NONE);
    QVERIFY(!m_canvas->grab().isNull());
    QVERIFY(m_canvas->createControl(QStringLiteral("qtlabel")));
    QVERIFY(sibling->findChild<QWidget*>("qtlabel1"));
    delete sibling;
    QVERIFY(!m_canvas->createControl(QStringLiteral("qtlabel")));
    QVERIFY(!m_canvas->grab().isNull());
}

void tst_Canvas::dropAndNaming()
{
    QMimeData typed;
    typed.setProperty("TypeName", QStringLiteral("qtbutton"));
    QMimeData untyped;
    untyped.setText(QStringLiteral("qtbutton"));
    auto send = [this](QEvent::Type type, const QPoint& p, QMimeData* mime) {
        std::unique_ptr<QDropEvent> event;
        if (type == QEvent::DragEnter)
            event.reset(new QDragEnterEvent(p, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier));
        else if (type == QEvent::DragMove)
            event.reset(new QDragMoveEvent(p, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier));
        else
            event.reset(new QDropEvent(p, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier));
        QApplication::sendEvent(m_canvas, event.get());
        return event->isAccepted();
    };

    QVERIFY(!send(QEvent::DragEnter, QPoint(20, 20), &untyped));
    QVERIFY(send(QEvent::DragEnter, QPoint(20, 20), &typed));
    QVERIFY(!send(QEvent::DragMove, QPoint(20, 20), &typed));   // no page yet
    openMain();
    const QPoint inHost = at("host", QPoint(50, 40));
    QVERIFY(send(QEvent::DragMove, inHost, &typed));
    QVERIFY(!send(QEvent::DragMove, QPoint(500, 500), &typed));
    QVERIFY(!send(QEvent::DragMove, inHost, &untyped));

    // host already holds qtbutton1: the drops are named on from the counter, each
    // placed at the drop point, 100 x 100, hidden but visible in the design.
    QVERIFY(send(QEvent::Drop, inHost, &typed));
    QWidget* second = control("host")->findChild<QWidget*>("qtbutton2", Qt::FindDirectChildrenOnly);
    QVERIFY(second);
    QCOMPARE(second->geometry(), QRect(50, 40, 100, 100));
    QCOMPARE(recordedRect(second), QRect(50, 40, 100, 100));
    QVERIFY(second->isHidden() && second->property("visibility").toBool());
    // The next drop lands on the new button, at its corner.
    QVERIFY(send(QEvent::DragEnter, inHost, &typed));
    QVERIFY(send(QEvent::Drop, inHost, &typed));
    QVERIFY(second->findChild<QWidget*>("qtbutton3"));

    // Outside the page, untyped, or not a library control: nothing is built.
    const int widgets = m_canvas->GetCurWindow()->findChildren<QWidget*>().size();
    QMimeData frameType;
    frameType.setProperty("TypeName", QStringLiteral("Window"));
    for (const auto& drop : { std::make_pair(QPoint(500, 500), &typed), std::make_pair(inHost, &untyped),
                              std::make_pair(inHost, &frameType) }) {
        QVERIFY(send(QEvent::DragEnter, drop.first, &typed));
        QVERIFY(!send(QEvent::Drop, drop.first, drop.second));
    }
    QCOMPARE(m_canvas->GetCurWindow()->findChildren<QWidget*>().size(), widgets);

    // By call: under the first selected control, at its origin. The counter stands
    // at 4; a name taken anywhere in the page is skipped.
    QVERIFY(!m_canvas->createControl(QStringLiteral("qtlabel")));
    control("box")->setObjectName(QStringLiteral("qtlabel4"));
    m_canvas->AddSelectedControl(control("sibling"));
    QVERIFY(!m_canvas->createControl(QStringLiteral("nosuchkey")));
    QVERIFY(!m_canvas->createControl(QStringLiteral("Window")));
    QVERIFY(m_canvas->createControl(QStringLiteral("qtlabel")));
    QCOMPARE(control("qtlabel5")->parentWidget(), control("sibling"));
    QCOMPARE(recordedRect(control("qtlabel5")), QRect(0, 0, 100, 100));
}

void tst_Canvas::scrolling()
{
    auto* horizontal = new VYRQScrollBar(Qt::Horizontal, m_host.get());
    auto* vertical = new VYRQScrollBar(Qt::Vertical, m_host.get());
    m_canvas->resize(500, 400);
    m_canvas->SetScrollbar(horizontal, true);
    m_canvas->SetScrollbar(vertical, false);

    // 300 x 200 on 500 x 400: centred, bars hidden.
    openMain();
    VYRQCanvasWindow* small = m_canvas->GetCurWindow();
    QCOMPARE(small->pos(), QPoint(100, 100));
    QVERIFY(horizontal->isHidden() && vertical->isHidden());

    // 800 x 600: ranges of the overhang, steps of the view.
    const QString large = path("pages/Large.json");
    QVERIFY(m_canvas->OpenJsonFile(large));
    VYRQCanvasWindow* frame = m_canvas->GetCurWindow();
    QVERIFY(!horizontal->isHidden() && !vertical->isHidden());
    QCOMPARE(QPoint(horizontal->maximum(), vertical->maximum()), QPoint(300, 200));
    QCOMPARE(QPoint(horizontal->pageStep(), vertical->pageStep()), QPoint(500, 400));
    horizontal->setValue(120);
    vertical->setValue(50);
    QCOMPARE(frame->pos(), QPoint(-120, -50));
    // Each page keeps its position.
    openMain();
    QCOMPARE(small->pos(), QPoint(100, 100));
    QVERIFY(m_canvas->OpenJsonFile(large));
    QCOMPARE(frame->pos(), QPoint(-120, -50));
    // Wider than the page the canvas centres it; narrower again, the bar places it.
    m_canvas->resize(1000, 500);
    QCOMPARE(frame->pos(), QPoint(100, -50));
    QVERIFY(horizontal->isHidden());
    m_canvas->resize(500, 500);
    QCOMPARE(frame->x(), -horizontal->value());

    // The position goes with its page: a page opened anew starts at the origin,
    // whatever frame lived at its address before.
    for (int round = 0; round < 3; ++round) {
        horizontal->setValue(150 + round);
        if (round == 2)
            m_canvas->closeAllWindows();
        else
            QVERIFY(m_canvas->removePage(m_canvas->GetCurWindow()));
        QVERIFY(m_canvas->OpenJsonFile(large));
        QCOMPARE(horizontal->value(), 0);
        QCOMPARE(m_canvas->GetCurWindow()->pos(), QPoint(0, 0));
    }
}

void tst_Canvas::painting()
{
    auto pixel = [this](const QPoint& p) { return m_canvas->grab().toImage().pixelColor(p); };
    openMain();
    m_canvas->AddSelectedControl(control("box"));
    m_canvas->AddSelectedControl(control("sibling"));
    // Handles: white fill for the primary selection, light blue for the others.
    const QPoint boxCorner = at("box", QPoint(0, 0));
    const QPoint boxMidRight = at("box", QPoint(100, 25));
    const QPoint siblingCorner = at("sibling", QPoint(60, 40));
    QCOMPARE(pixel(boxCorner - QPoint(1, 1)), QColor(Qt::white));
    QCOMPARE(pixel(boxCorner - QPoint(3, 3)), QColor(Qt::black));
    QCOMPARE(pixel(boxMidRight - QPoint(1, 1)), QColor(Qt::white));
    QCOMPARE(pixel(siblingCorner - QPoint(1, 1)), QColor::fromRgba(0xFFC5E6FF));

    m_canvas->closeAllWindows();
    const QImage image = m_canvas->grab().toImage();
    for (const QPoint& p : { QPoint(0, 0), boxCorner, siblingCorner, QPoint(799, 599) })
        QCOMPARE(image.pixelColor(p), QColor(Qt::gray));
}

void tst_Canvas::saveRoundTrip()
{
    const QString main = path("pages/MainPage.old.json");
    QVERIFY(!m_canvas->SavePage(main));
    openMain();
    m_canvas->AddSelectedControl(control("host"));
    QVERIFY(m_canvas->createControl(QStringLiteral("qtlabel")));
    const QStringList before = snapshot(m_canvas->GetCurWindow());
    QCOMPARE(before.size(), 6);
    QVERIFY(m_canvas->SavePage(main));
    m_canvas->closeAllWindows();
    openMain();
    QCOMPARE(snapshot(m_canvas->GetCurWindow()), before);

    // The header survives the designer.
    Json::Value root;
    QVERIFY(vyr::json::parse(readFile(main), root));
    QCOMPARE(root["drag"], Json::Value(false));
    QCOMPARE(root["trans"], Json::Value(true));
    QCOMPARE(root["dbmax"], Json::Value(true));
    QCOMPARE(root["dbheight"], Json::Value(50));
    QCOMPARE(root["resize"], Json::Value(true));
    VYRQCanvasWindow* frame = m_canvas->GetCurWindow();
    QVERIFY(!frame->getCanGrag() && frame->getTrans() && frame->getDbMax());

    // A page whose folder became a file: the write fails and says so.
    QVERIFY(writeFile(path("gone/page.json"), mainPage));
    QVERIFY(m_canvas->OpenJsonFile(path("gone/page.json")));
    QVERIFY(QDir(path("gone")).removeRecursively());
    QVERIFY(writeFile(path("gone"), "a file"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot write .*gone/page.json")));
    QVERIFY(!m_canvas->SavePage(path("gone/page.json")));
    QCOMPARE(readFile(path("gone")), QByteArray("a file"));
}

void tst_Canvas::saveStyle()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    const QString stylePath = path("project/style.json");
    const QByteArray existing = R"({"style": [{"type": 1, "name": "Kept"}]})" + QByteArray(4096, ' ') + "// old tail";
    QVERIFY(writeFile(stylePath, existing));

    // No project set, or one without styles: the project's file is left alone.
    QVERIFY(!rm->getProjectManagerImpl());
    m_canvas->SaveStyle(stylePath);
    QVERIFY(writeFile(path("empty/style.json"), R"({"style": []})"));
    QVERIFY(rm->setProjectDirPath(path("empty")));
    m_canvas->SetProjectPath(path("empty"));
    QVERIFY(rm->isProjectRes());
    m_canvas->SaveStyle(stylePath);
    QCOMPARE(readFile(stylePath), existing);

    // With styles the file holds exactly them, no trace of the longer old text.
    QVERIFY(rm->setProjectDirPath(QStringLiteral(VYR_TEST_DATA "/project-basic")));
    QVERIFY(!rm->getProjectManagerImpl()->fillStyles.isEmpty());
    m_canvas->SaveStyle(stylePath);
    QCOMPARE(QString::fromUtf8(readFile(stylePath)), rm->toProjectStyleString());
}

void tst_Canvas::editSaveReopen_data()
{
    QTest::addColumn<bool>("designer");
    QTest::newRow("runtime") << false;
    QTest::newRow("designer mode") << true;
}

void tst_Canvas::editSaveReopen()
{
    QFETCH(bool, designer);
    vyrSetIsInDesigner(designer);
    openMain();
    // Select by click, move by the inside, resize by a corner and by a left edge.
    click(m_canvas, at("box", QPoint(50, 25)));
    drag(m_canvas, at("box", QPoint(50, 25)), QPoint(40, 30));
    drag(m_canvas, at("box", QPoint(98, 48)), QPoint(20, 10));
    click(m_canvas, at("sibling", QPoint(30, 20)));
    drag(m_canvas, at("sibling", QPoint(1, 20)), QPoint(-30, 0));
    QVERIFY(m_canvas->SavePage(path("pages/MainPage.old.json")));
    m_canvas->closeAllWindows();

    vyrSetIsInDesigner(false);
    openMain();
    QCOMPARE(control("box")->geometry(), QRect(50, 40, 120, 60));
    QCOMPARE(control("sibling")->geometry(), QRect(120, 100, 90, 40));
    QCOMPARE(control("qtbutton1")->geometry(), QRect(5, 5, 30, 20));
}

QTEST_MAIN(tst_Canvas)
#include "tst_canvas.moc"
