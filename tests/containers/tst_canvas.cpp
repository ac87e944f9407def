#include "VYRQCanvas.h"
#include "VYRQCanvasWindow.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQRegularFile.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQScrollBar.h"
#include "VYRQZip.h"
#include "cputimer.h"
#include "canvasroundtrip.h"
#include "jsontextdiff.h"
#include "peakmemory.h"
#include "randompage.h"
#include "specialfiles.h"
#include "warningcapture.h"

#include <QApplication>
#include <QMimeData>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

#include <cmath>
#include <memory>
#include <set>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A root filling the page, a control to edit, siblings to snap to (lefts 150 and 13,
// tops 100 and 120), and a host that already holds a qtbutton1 running past its right.
// Between them an element of a type no control is registered for.
const char* const mainPage = R"({
    "w": 300, "h": 200, "drag": false, "trans": true, "dbmax": true, "dbheight": 50, "resize": true, "title": "Main",
    "elements": [{"type": "qtcontainer", "name": "root", "w": 300, "h": 200, "child": [
        {"type": "qtcontainer", "name": "box", "x": 10.0, "y": 10, "w": 100, "h": 50},
        {"type": "nosuchcontrol", "name": "future", "x": 5, "child": [{"type": "qtlabel", "name": "inside"}]},
        {"type": "qtlabel", "name": "sibling", "x": 150, "y": 100, "w": 60, "h": 40},
        {"type": "qtcontainer", "name": "host", "x": 13, "y": 120, "w": 100, "h": 60,
         "child": [{"type": "qtbutton", "name": "qtbutton1", "x": 80, "y": 5, "w": 30, "h": 20}]}]}]
})";

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

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent event(type, pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, modifiers);
    QApplication::sendEvent(w, &event);
}

// A press, a move in two steps and a release; a null delta is a click.
void drag(QWidget* w, const QPoint& from, const QPoint& delta, Qt::KeyboardModifiers modifiers = {})
{
    sendMouse(w, QEvent::MouseButtonPress, from, modifiers);
    if (!delta.isNull()) {
        sendMouse(w, QEvent::MouseMove, from + delta / 2, modifiers);
        sendMouse(w, QEvent::MouseMove, from + delta, modifiers);
    }
    sendMouse(w, QEvent::MouseButtonRelease, from + delta, modifiers);
}

QRect recordedRect(QWidget* widget)
{
    auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
    return control ? control->getControlBase()->layoutRect() : QRect();
}

// Every control of the page: name, type, parent and geometry.
QStringList snapshot(QWidget* frame)
{
    QStringList out;
    for (QWidget* widget : frame->findChildren<QWidget*>()) {
        const QRect r = widget->geometry();
        if (auto* control = dynamic_cast<IVYRQWidgetBase*>(widget))
            out << QStringLiteral("%1 %2 in %3 at %4,%5 %6x%7").arg(widget->objectName(), control->getTypeName())
                       .arg(widget->parentWidget()->objectName()).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    out.sort();
    return out;
}

using vyrtest::keysEveryControlWrites;

constexpr int randomPageCount = 200;

} // namespace

class tst_Canvas : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(writeFile(mainPath(), mainPage));
        QVERIFY(writeFile(path("pages/Large.json"), R"({"w": 800, "h": 600, "elements": [
            {"type": "qtcontainer", "name": "largeRoot", "w": 800, "h": 600}]})"));
        m_host.reset(new QWidget);
        m_host->resize(800, 600);
        m_canvas = new TestCanvas(m_host.get());
        m_canvas->resize(800, 600);
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
        QVERIFY(m_canvas->OpenJsonFile(mainPath()));
    }

    void cleanup()
    {
        m_host.reset();
        vyrSetIsInDesigner(false);
        VYRQResourceManager::getInstance()->setSwitchToProjectRes(false);
    }

    void openSwitchAndClose()
    {
        VYRQCanvasWindow* main = m_canvas->GetCurWindow();
        QCOMPARE(main->objectName(), QStringLiteral("MainPage"));
        QCOMPARE(main->pageName(), QStringLiteral("MainPage.old.json"));
        // Controls stay hidden widgets; the canvas draws them.
        QVERIFY(control("box")->isHidden() && control("box")->property("visibility").toBool());

        // An open path switches back instead of loading again, and drops the selection.
        QVERIFY(m_canvas->OpenJsonFile(path("pages/Large.json")));
        VYRQCanvasWindow* large = m_canvas->GetCurWindow();
        m_canvas->AddSelectedControl(control("largeRoot"));
        QVERIFY(m_canvas->OpenJsonFile(mainPath()));
        QCOMPARE(m_canvas->GetCurWindow(), main);
        QVERIFY(main->isVisible() && large->isHidden());
        QCOMPARE(m_canvas->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 2);
        QVERIFY(!m_canvas->IsInSelected(large->findChild<QWidget*>("largeRoot")));

        // An unreadable page opens nothing: the current page stays, alone.
        const QByteArray afterNul("{\"w\": 1}\0{\"elements\": []}", 25);
        for (const QByteArray& bad : { QByteArray("{ \"elements\": [ "), QByteArray(R"({"w": 100})"), afterNul }) {
            QVERIFY(writeFile(path("bad.json"), bad));
            QVERIFY2(!m_canvas->OpenJsonFile(path("bad.json")), bad.constData());
        }
        QVERIFY(!m_canvas->OpenJsonFile(path("missing.json")) && !m_canvas->OpenJsonFile(QString()));
        QCOMPARE(m_canvas->GetCurWindow(), main);
        QCOMPARE(m_canvas->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 2);

        // Closing a page forgets it; so does deleting its frame elsewhere.
        QVERIFY(m_canvas->removePage(main));
        QVERIFY(!m_canvas->removePage(main));
        QVERIFY(m_canvas->OpenJsonFile(mainPath()));
        delete m_canvas->GetCurWindow();
        QVERIFY(!m_canvas->GetCurWindow() && !m_canvas->SavePage(mainPath()));
        QVERIFY(m_canvas->OpenJsonFile(mainPath()));
        m_canvas->closeAllWindows();
        QVERIFY(!m_canvas->GetCurWindow() && m_canvas->findChildren<QWidget*>().isEmpty());
    }

    void renameOntoOpenPath()
    {
        const QString renamed = path("pages/MainPage.json");
        VYRQCanvasWindow* frame = m_canvas->GetCurWindow();
        QCOMPARE(m_canvas->UpdatePagePath(path("pages/none.json")), QString());
        QCOMPARE(m_canvas->UpdatePagePath(mainPath()), renamed);
        QVERIFY(m_canvas->OpenJsonFile(path("pages/Large.json")));
        VYRQCanvasWindow* large = m_canvas->GetCurWindow();

        // Onto the path of another open page: refused, and both pages stay reachable.
        frame->setObjectName(QStringLiteral("Large"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is already open")));
        QCOMPARE(m_canvas->UpdatePagePath(renamed), renamed);
        QVERIFY(m_canvas->OpenJsonFile(renamed));
        QCOMPARE(m_canvas->GetCurWindow(), frame);
        QVERIFY(m_canvas->OpenJsonFile(path("pages/Large.json")));
        QCOMPARE(m_canvas->GetCurWindow(), large);
    }

    void clickSelects_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("local");
        QTest::addColumn<QString>("selected");   // empty: nothing

        QTest::newRow("deepest") << "qtbutton1" << QPoint(10, 10) << "qtbutton1";
        QTest::newRow("edge pixel of the parent") << "host" << QPoint(0, 0) << "host";
        // The part of a child past its parent is clipped away, as the canvas draws it.
        QTest::newRow("clipped part") << "qtbutton1" << QPoint(25, 10) << "root";
        QTest::newRow("hidden in the design") << "box" << QPoint(50, 25) << "root";
        QTest::newRow("outside the page") << "root" << QPoint(350, 100) << "";
    }

    void clickSelects()
    {
        QFETCH(QString, name);
        QFETCH(QPoint, local);
        QFETCH(QString, selected);
        control("box")->setProperty("visibility", QTest::currentDataTag() != QByteArray("hidden in the design"));
        QSignalSpy spy(m_canvas, &VYRQCanvas::widgetSelected);
        drag(m_canvas, at(name, local), QPoint());
        QCOMPARE(spy.count(), selected.isEmpty() ? 0 : 1);
        QVERIFY(selected.isEmpty() || m_canvas->IsInSelected(control(selected)));
    }

    void hitZones_data()
    {
        QTest::addColumn<QPoint>("local");   // in the selected 100 x 50 box
        QTest::addColumn<int>("zone");

        QTest::newRow("top-left") << QPoint(3, 3) << int(VYR_CAV_HIT_TOPLEFT);
        QTest::newRow("bottom-left") << QPoint(1, 48) << int(VYR_CAV_HIT_BOTTOMLEFT);
        QTest::newRow("bottom-right") << QPoint(96, 49) << int(VYR_CAV_HIT_BOTTOMRIGHT);
        QTest::newRow("left") << QPoint(4, 25) << int(VYR_CAV_HIT_LEFT);
        QTest::newRow("left margin ends") << QPoint(5, 25) << int(VYR_CAV_HIT_INSIDE);
        QTest::newRow("right") << QPoint(98, 25) << int(VYR_CAV_HIT_RIGHT);
        QTest::newRow("top") << QPoint(50, 0) << int(VYR_CAV_HIT_TOP);
        QTest::newRow("bottom") << QPoint(50, 46) << int(VYR_CAV_HIT_BOTTOM);
        QTest::newRow("bottom margin ends") << QPoint(50, 45) << int(VYR_CAV_HIT_INSIDE);
        QTest::newRow("outside") << QPoint(100, 25) << int(VYR_CAV_HIT_NONE);
    }

    void hitZones()
    {
        QFETCH(QPoint, local);
        QFETCH(int, zone);
        const QPoint p = at("box", local);
        auto hit = [&](int expected) { return m_canvas->HitInSelected(p.x(), p.y()) == expected; };
        QVERIFY(hit(VYR_CAV_HIT_NONE));
        // The first selected control containing the point decides; a page root met
        // first ends the search.
        m_canvas->AddSelectedControl(control("box"));
        m_canvas->AddSelectedControl(control("root"));
        QVERIFY(hit(zone));
        m_canvas->RemoveAllSelected();
        m_canvas->AddSelectedControl(control("root"));
        m_canvas->AddSelectedControl(control("box"));
        QVERIFY(hit(VYR_CAV_HIT_NONE));
    }

    void dragEdits_data()
    {
        QTest::addColumn<QString>("with");   // "shift" held, or the page "root" selected first
        QTest::addColumn<QPoint>("local");   // press point in the box at (10, 10), 100 x 50
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("expected");

        const QPoint in(50, 25);
        QTest::newRow("snap 4 px short") << "" << in << QPoint(136, 0) << QRect(150, 10, 100, 50);
        QTest::newRow("snap 4 px past") << "" << in << QPoint(144, 0) << QRect(150, 10, 100, 50);
        QTest::newRow("5 px stays") << "" << in << QPoint(135, 0) << QRect(145, 10, 100, 50);
        QTest::newRow("snap y") << "" << in << QPoint(20, 93) << QRect(30, 100, 100, 50);
        QTest::newRow("shift, mostly right") << "shift" << in << QPoint(30, 10) << QRect(40, 10, 100, 50);
        // The locked axis is not snapped: host's left (13) lies 3 pixels away.
        QTest::newRow("free, snaps to 13") << "" << in << QPoint(1, 30) << QRect(13, 40, 100, 50);
        QTest::newRow("shift, locked x") << "shift" << in << QPoint(1, 30) << QRect(10, 40, 100, 50);
        // At the 10-pixel minimum a left or top edge keeps the opposite edge in place.
        QTest::newRow("right -95") << "" << QPoint(98, 25) << QPoint(-95, 0) << QRect(10, 10, 10, 50);
        QTest::newRow("left +200") << "" << QPoint(1, 25) << QPoint(200, 0) << QRect(100, 10, 10, 50);
        QTest::newRow("top +45") << "" << QPoint(50, 1) << QPoint(0, 45) << QRect(10, 50, 100, 10);
        QTest::newRow("bottom -60") << "" << QPoint(50, 48) << QPoint(0, -60) << QRect(10, 10, 100, 10);
        QTest::newRow("top-left") << "" << QPoint(2, 2) << QPoint(-5, -4) << QRect(5, 6, 105, 54);
        QTest::newRow("bottom-right") << "" << QPoint(98, 48) << QPoint(-200, 9) << QRect(10, 10, 10, 59);
        // With the page root selected nothing moves, the root nor its company.
        QTest::newRow("root selected") << "root" << in << QPoint(20, 20) << QRect(10, 10, 100, 50);
    }

    void dragEdits()
    {
        QFETCH(QString, with);
        QFETCH(QPoint, local);
        QFETCH(QPoint, delta);
        QFETCH(QRect, expected);
        if (with == QLatin1String("root"))
            m_canvas->AddSelectedControl(control("root"));
        m_canvas->AddSelectedControl(control("box"));
        drag(m_canvas, at("box", local), delta, with == QLatin1String("shift") ? Qt::ShiftModifier : Qt::NoModifier);
        // The edit reaches what is drawn and what is saved alike.
        QCOMPARE(control("box")->geometry(), expected);
        QCOMPARE(recordedRect(control("box")), expected);
        QCOMPARE(control("root")->geometry(), QRect(0, 0, 300, 200));
    }

    void controlDeletedDuringDrag()
    {
        QWidget* sibling = control("sibling");
        m_canvas->AddSelectedControl(control("box"));
        m_canvas->AddSelectedControl(sibling);
        const QPoint from = at("sibling", QPoint(30, 20));
        sendMouse(m_canvas, QEvent::MouseButtonPress, from);
        delete control("box");
        sendMouse(m_canvas, QEvent::MouseMove, from + QPoint(7, 0));
        sendMouse(m_canvas, QEvent::MouseButtonRelease, from + QPoint(7, 0));
        QCOMPARE(sibling->pos(), QPoint(157, 100));
        QVERIFY(!m_canvas->grab().isNull());
    }

    void dropAndNaming()
    {
        QMimeData typed, untyped;
        typed.setProperty("TypeName", QStringLiteral("qtbutton"));
        untyped.setText(QStringLiteral("qtbutton"));
        auto send = [this](bool enter, const QPoint& p, QMimeData* mime) {
            QDragEnterEvent enterEvent(p, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QDropEvent dropEvent(p, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
            QDropEvent* event = enter ? &enterEvent : &dropEvent;
            QApplication::sendEvent(m_canvas, event);
            return event->isAccepted();
        };
        const QPoint inHost = at("host", QPoint(50, 40));
        QVERIFY(!send(true, inHost, &untyped));
        QVERIFY(send(true, inHost, &typed));

        // host already holds qtbutton1: a drop is named on from the counter, placed at the
        // drop point, 100 x 100, hidden but visible in the design.
        QVERIFY(send(false, inHost, &typed));
        QWidget* second = control("host")->findChild<QWidget*>("qtbutton2", Qt::FindDirectChildrenOnly);
        QVERIFY(second);
        QCOMPARE(second->geometry(), QRect(50, 40, 100, 100));
        QCOMPARE(recordedRect(second), QRect(50, 40, 100, 100));
        QVERIFY(second->isHidden() && second->property("visibility").toBool());

        // Outside the page or untyped: nothing is built.
        QVERIFY(!send(false, QPoint(500, 500), &typed) && !send(false, inHost, &untyped));
        QVERIFY(!control("qtbutton3"));

        // By call: under the first selected control, at its origin. The counter stands
        // at 3; a name taken anywhere in the page is skipped.
        QVERIFY(!m_canvas->createControl(QStringLiteral("qtlabel")));   // nothing selected
        control("box")->setObjectName(QStringLiteral("qtlabel3"));
        m_canvas->AddSelectedControl(control("sibling"));
        QVERIFY(m_canvas->createControl(QStringLiteral("qtlabel")));
        QCOMPARE(control("qtlabel4")->parentWidget(), control("sibling"));
        QCOMPARE(recordedRect(control("qtlabel4")), QRect(0, 0, 100, 100));
    }

    void scrolling()
    {
        auto* horizontal = new VYRQScrollBar(Qt::Horizontal, m_host.get());
        auto* vertical = new VYRQScrollBar(Qt::Vertical, m_host.get());
        m_canvas->SetScrollbar(horizontal, true);
        m_canvas->SetScrollbar(vertical, false);
        m_canvas->resize(500, 400);
        // 300 x 200 on 500 x 400: centred, bars hidden.
        QCOMPARE(m_canvas->GetCurWindow()->pos(), QPoint(100, 100));
        QVERIFY(horizontal->isHidden() && vertical->isHidden());

        // 800 x 600: ranges of the overhang, steps of the view.
        const QString large = path("pages/Large.json");
        QVERIFY(m_canvas->OpenJsonFile(large));
        VYRQCanvasWindow* frame = m_canvas->GetCurWindow();
        QVERIFY(horizontal->isVisible() && vertical->isVisible());
        QCOMPARE(QPoint(horizontal->maximum(), vertical->maximum()), QPoint(300, 200));
        QCOMPARE(QPoint(horizontal->pageStep(), vertical->pageStep()), QPoint(500, 400));
        horizontal->setValue(120);
        vertical->setValue(50);
        QCOMPARE(frame->pos(), QPoint(-120, -50));
        // Wider than the page, the canvas centres it again.
        m_canvas->resize(1000, 500);
        QCOMPARE(frame->pos(), QPoint(100, -50));
        QVERIFY(horizontal->isHidden());

        // The position goes with its page: a page opened anew starts at the origin.
        m_canvas->resize(500, 400);
        QVERIFY(m_canvas->removePage(frame));
        QVERIFY(m_canvas->OpenJsonFile(large));
        QCOMPARE(m_canvas->GetCurWindow()->pos(), QPoint(0, 0));
    }

    void saveStyleKeepsFileWithoutStyles()
    {
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        const QString stylePath = path("project/style.json");
        const QByteArray existing = R"({"style": [{"type": 1, "name": "Kept"}]})" + QByteArray(4096, ' ');
        QVERIFY(writeFile(stylePath, existing));
        // No project set, or one without styles: the project's file is left alone.
        m_canvas->SaveStyle(stylePath);
        QVERIFY(writeFile(path("empty/style.json"), R"({"style": []})"));
        QVERIFY(rm->setProjectDirPath(path("empty")));
        m_canvas->SetProjectPath(path("empty"));
        m_canvas->SaveStyle(stylePath);
        QCOMPARE(readFile(stylePath), existing);
        // With styles the file holds exactly them, no trace of the longer old text.
        QVERIFY(rm->setProjectDirPath(QStringLiteral(VYR_TEST_DATA "/project-basic")));
        m_canvas->SaveStyle(stylePath);
        QCOMPARE(QString::fromUtf8(readFile(stylePath)), rm->toProjectStyleString());
    }

    void editSaveReopen()
    {
        // As in the designer application, where a save takes what the canvas shows.
        vyrSetIsInDesigner(true);
        m_canvas->closeAllWindows();
        QVERIFY(m_canvas->OpenJsonFile(mainPath()));
        // Select by click, move by the inside, resize by a corner and by a left edge.
        drag(m_canvas, at("box", QPoint(50, 25)), QPoint());
        drag(m_canvas, at("box", QPoint(50, 25)), QPoint(40, 30));
        drag(m_canvas, at("box", QPoint(98, 48)), QPoint(20, 10));
        drag(m_canvas, at("sibling", QPoint(30, 20)), QPoint());
        drag(m_canvas, at("sibling", QPoint(1, 20)), QPoint(-30, 0));
        QVERIFY(m_canvas->createControl(QStringLiteral("qtlabel")));
        const QStringList before = snapshot(m_canvas->GetCurWindow());
        QVERIFY(m_canvas->SavePage(mainPath()));
        m_canvas->closeAllWindows();

        vyrSetIsInDesigner(false);
        QVERIFY(m_canvas->OpenJsonFile(mainPath()));
        QCOMPARE(snapshot(m_canvas->GetCurWindow()), before);
        QCOMPARE(before.size(), 6);
        QCOMPARE(control("box")->geometry(), QRect(50, 40, 120, 60));
        QCOMPARE(control("sibling")->geometry(), QRect(120, 100, 90, 40));
        // The page header survives the designer, "drag": false and keys it does not know
        // included; so does the element it builds no control for, in its place, while
        // the edited "box" has its new place.
        Json::Value saved, original;
        QVERIFY(vyr::json::parse(readFile(mainPath()), saved) && vyr::json::parse(mainPage, original));
        for (const char* key : { "drag", "trans", "dbmax", "dbheight", "resize", "title" })
            QCOMPARE(saved[key], original[key]);
        const Json::Value& children = saved["elements"][0]["child"];
        QCOMPARE(children.size(), 4u);
        QCOMPARE(children[1], original["elements"][0]["child"][1]);
        QCOMPARE(children[0]["x"], Json::Value(50));

        // A page whose folder became a file: the write fails and says so.
        QVERIFY(QDir(path("pages")).removeRecursively() && writeFile(path("pages"), "a file"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot write .*MainPage.old.json")));
        QVERIFY(!m_canvas->SavePage(mainPath()));
    }

    // A save that cannot write everything (a full disk, here a file-size limit, or a
    // folder without write access) reports false and leaves the old file byte for
    // byte. The limit is set in a child process, so this process can go on writing. An
    // application that keeps SIGXFSZ's default is killed by the first write past the
    // limit: its old file is whole even so.
    void failedSaveKeepsOldFile_data()
    {
        QTest::addColumn<bool>("style");
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::addColumn<bool>("tooDeep");   // the host nested controls past the element limit
        QTest::addColumn<bool>("killed");    // SIGXFSZ at its default
        QTest::addColumn<bool>("changed");   // another program wrote the page since it was opened
        QTest::newRow("page, file-size limit") << false << false << false << false << false;
        QTest::newRow("style, file-size limit") << true << false << false << false << false;
        QTest::newRow("page, file-size limit, killed") << false << false << false << true << false;
        QTest::newRow("style, file-size limit, killed") << true << false << false << true << false;
        QTest::newRow("page, read-only folder") << false << true << false << false << false;
        // Written, the page would not open again.
        QTest::newRow("page nested past the element limit") << false << false << true << false << false;
        // Its content would be lost without a word.
        QTest::newRow("page changed on disk since it was opened") << false << false << false << false << true;
    }

    void failedSaveKeepsOldFile()
    {
        QFETCH(bool, style);
        QFETCH(bool, readOnlyFolder);
        QFETCH(bool, tooDeep);
        QFETCH(bool, killed);
        QFETCH(bool, changed);
        if (readOnlyFolder && geteuid() == 0)
            QSKIP("folder permissions do not bind root");
        // "box" is the second level; the last container is one past the limit.
        QWidget* nested = control("box");
        for (int level = 3; tooDeep && level <= vyr::maxElementDepth + 1; ++level)
            nested = createControlByType("qtcontainer", nested);
        const QString target = style ? path("project/style.json") : mainPath();
        // A page stays the file the canvas opened, unless another program changed it.
        const bool written = style || changed;
        const QByteArray old = written ? "old text that must survive\n" + QByteArray(4096, 'x') : readFile(target);
        if (written)
            QVERIFY(writeFile(target, old));
        if (style)
            QVERIFY(VYRQResourceManager::getInstance()->setProjectDirPath(QStringLiteral(VYR_TEST_DATA "/project-basic")));
        const QString folder = QFileInfo(target).absolutePath();
        const QStringList files = QDir(folder).entryList(QDir::Files);
        const QFileDevice::Permissions permissions = QFile::permissions(folder);
        if (readOnlyFolder)
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            if (!readOnlyFolder && !tooDeep && !changed) {
                const rlimit limit{16, 16};
                signal(SIGXFSZ, killed ? SIG_DFL : SIG_IGN);
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            bool saved = true;
            if (style)
                m_canvas->SaveStyle(target);
            else
                saved = m_canvas->SavePage(target);
            _exit(saved ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QFile::setPermissions(folder, permissions);
        QCOMPARE(readFile(target), old);
        if (killed) {
            QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
            return;   // a killed process leaves its temporary file
        }
        QVERIFY(WIFEXITED(status));
        if (!style)
            QCOMPARE(WEXITSTATUS(status), 1);
        if (changed) {
            QVERIFY(m_canvas->GetCurWindow());
            WarningCapture capture;
            QVERIFY(!m_canvas->SavePage(target));
            QCOMPARE(capture.count(QStringLiteral("changed on disk since it was opened")), 1);
            QCOMPARE(readFile(target), old);
        }
        QCOMPARE(QDir(folder).entryList(QDir::Files), files);   // no temporary file left
    }

    // A page is built from the file the canvas opened, whatever its name and whatever a
    // loaded theme holds under that name, and a save writes the same bytes back; a page
    // the loader refuses, or cuts short, is not opened, and a save that would not open
    // again (past the size a page file is read at) writes nothing, so no save writes over it.
    void saveWritesBackTheFileOpened_data()
    {
        QTest::addColumn<QString>("name");   // opened relative to the page's folder
        QTest::addColumn<bool>("inTheme");   // a loaded theme holds another page of that name
        QTest::addColumn<QString>("type");   // of the leaves l0, l1, ...
        QTest::addColumn<int>("leaves");
        QTest::addColumn<int>("level");      // the leaves' element level, under containers c1, c2, ...
        QTest::addColumn<QByteArray>("text");          // each leaf's text, as the file holds it
        QTest::addColumn<QString>("openRefusal");      // the warning of a refused open
        QTest::addColumn<QString>("saveRefusal");      // the warning of a refused save
        // Instead of the leaves, the page itself; the file a save writes holds the same values.
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QVariant>("stored");          // a value the control l0 holds at the save
        const int depth = vyr::maxElementDepth;
        const int most = VYRQWidgetBaseImpl::maxTextLength;
        QTest::newRow("page.txt") << "page.txt" << false << "qtlabel" << 3 << 1 << QByteArray() << "" << ""
            << QByteArray() << QVariant();
        QTest::newRow("main.json, also in the theme") << "main.json" << true << "qtlabel" << 3 << 1 << QByteArray() << "" << ""
            << QByteArray() << QVariant();
        QTest::newRow("past the sibling limit") << "wide.json" << false << "qtlabel" << vyr::maxPageSiblings + 1 << 1
                                                << QByteArray() << "nothing is built" << ""
            << QByteArray() << QVariant();
        QTest::newRow("no elements") << "empty.json" << false << "qtlabel" << 0 << 1 << QByteArray() << "" << ""
            << QByteArray() << QVariant();
        QTest::newRow("at the element limit") << "deep.json" << false << "qtlabel" << 3 << depth << QByteArray() << "" << ""
            << QByteArray() << QVariant();
        QTest::newRow("past the element limit") << "deeper.json" << false << "qtlabel" << 3 << depth + 1 << QByteArray()
                                                << "a save would drop" << "" << QByteArray() << QVariant();
        QTest::newRow("a text past the control limit") << "long.json" << false << "qtlabel" << 1 << 1
                                                       << QByteArray(most + 1, 'x') << "a save would cut" << ""
            << QByteArray() << QVariant();
        // Styled, the deepest level's indentation alone takes over 64 MiB.
        QTest::newRow("check boxes at the element limit") << "boxes.json" << false << "qtcheckbox" << 7000 << depth
                                                          << QByteArray() << "" << "" << QByteArray() << QVariant();
        // Each control character is written as six.
        QTest::newRow("texts written past the read bound") << "escapes.json" << false << "qtlabel" << 11 << 1
                                                           << QByteArray(most, '\x01') << "" << "would be larger than"
            << QByteArray() << QVariant();

        // What the canvas builds no control for, or does not read, is written back as read,
        // in its place.
        auto page = [](const char* header, const char* elements) {
            return QByteArray(R"({"w": 320, "h": 120, "minW": 400, "minH": 400, "drag": true, "dbheight": 40, )") + header
                + R"("elements": [)" + elements + "]}";
        };
        // Their keys as the canvas writes them.
        const char* const l0 = R"({"type": "qtlabel", "theme": "qtlabel", "name": "l0", "x": 0, "y": 5, "w": 40, "h": 20,
                                   "attr": {"text": "label"}})";
        const char* const l1 = R"({"type": "qtlabel", "theme": "qtlabel", "name": "l1", "x": 50, "y": 5, "w": 40, "h": 20,
                                   "attr": {"text": "label"}})";
        const QByteArray unknown = R"({"type": "nosuchcontrol", "name": "n", "x": 1, "custom": [1, {"k": null}],
                                      "child": [{"type": "qtlabel", "name": "inner"}]})";
        QTest::newRow("an unknown element at the top") << "unknown.json" << false << "" << 2 << 1 << QByteArray() << ""
            << "" << page("", QByteArray(l0) + "," + unknown + "," + l1) << QVariant();
        QTest::newRow("unknown elements in a container") << "inside.json" << false << "" << 2 << 1 << QByteArray() << ""
            << "" << page("", R"({"type": "qtcontainer", "theme": "qtcontainer", "name": "c1", "w": 300, "h": 100,
                                     "attr": {"childLayout": 4}, "child": [)"
                                  + QByteArray(l0) + "," + unknown + R"(, {"name": "untyped"}, 7, [], )" + l1 + "]}")
            << QVariant();
        QTest::newRow("unknown page and element keys") << "keys.json" << false << "" << 1 << 1 << QByteArray() << ""
            << "" << page(R"("title": "Tank farm", "version": 3, "meta": {"by": ["x", 2.5, null]}, )",
                          R"({"type": "qtlabel", "theme": "qtlabel", "name": "l0", "x": 0, "y": 5, "w": 40, "h": 20,
                              "custom": {"k": "v"}, "attr": {"text": "a", "note": "b", "shape": {"r": 1}, "list": [1, "x"]}})")
            << QVariant();
        QTest::newRow("large integers") << "large.json" << false << "" << 1 << 1 << QByteArray() << ""
            << "" << page(R"("serial": 18446744073709551615, )",
                          R"({"type": "qtlabel", "theme": "qtlabel", "name": "l0", "x": 0, "y": 5, "w": 40, "h": 20,
                              "low": -9223372036854775808, "attr": {"text": "label", "count": 18446744073709551615,
                              "exact": 9007199254740993, "past": 18446744073709551616, "tiny": 1e-400}})")
            << QVariant();
        // Its scroll-bar elements the scroll view reads itself, and writes no more.
        QTest::newRow("elements a control reads itself") << "bars.json" << false << "" << 1 << 1 << QByteArray() << ""
            << "" << page("", R"({"type": "qtscrollview", "theme": "qtscrollview", "name": "view", "w": 200, "h": 100,
                                     "attr": null, "child": [)"
                                  + QByteArray(l0) + R"(, {"type": "qtscrollbar", "attr": {"hor": true}, "h": 11}]})")
            << QVariant();
        // No JSON text holds it: a NaN would come back as null.
        QTest::newRow("a double that is not a number") << "nan.json" << false << "" << 1 << 1 << QByteArray() << ""
            << "not finite" << page("", l0) << QVariant(std::nan(""));
        QTest::newRow("an infinite double") << "inf.json" << false << "" << 1 << 1 << QByteArray() << ""
            << "not finite" << page("", l0) << QVariant(-HUGE_VAL);
        // The ribbon bar writes no children: an element under it would be lost.
        QTest::newRow("an element in a control that writes no children") << "ribbon.json" << false << "" << 0 << 1
            << QByteArray() << "a save would not write back" << ""
            << page("", R"({"type": "qtribbonbar", "name": "bar", "w": 300, "h": 100, "child": [)" + unknown + "]}")
            << QVariant();

        // Each value as it was read, numbers as their text, also where the element is
        // not written as the canvas writes it.
        QTest::newRow("a property list's keys") << "property.json" << false << "" << 0 << 1 << QByteArray() << ""
            << "" << page(R"("low": -9223372036854775808, )",
                          R"({"type": "property", "name": "p", "x": 1, "y": 2, "w": 100, "h": 50, "custom": 7,
                              "enable": true, "theme": "txt", "low": -9223372036854775808})")
            << QVariant();
        QTest::newRow("a scroll view's children in order") << "order.json" << false << "" << 0 << 1 << QByteArray()
            << "" << "" << page("", R"({"type": "qtscrollview", "name": "v", "w": 200, "h": 100, "child": [
                                          {"type": "qtlabel", "name": "a"}, {"type": "nosuch", "name": "k"},
                                          {"type": "qtcontainer", "name": "c"}]})")
            << QVariant();
        QTest::newRow("a scroll view's menu bar first") << "menu.json" << false << "" << 0 << 1 << QByteArray()
            << "" << "" << page("", R"({"type": "qtscrollview", "name": "v", "w": 200, "h": 100, "child": [
                                          {"type": "qtmenubar", "name": "m"}, {"type": "qtcontainer", "name": "c"}]})")
            << QVariant();
        QTest::newRow("numbers as written") << "numbers.json" << false << "" << 0 << 1 << QByteArray() << "" << ""
            << page(R"("version": 0.1, "big": 18446744073709551616, )",
                    R"({"type": "qtlabel", "name": "n", "x": 10.0, "y": 5, "w": 40, "h": 20, "pi": 3.141592653589793,
                        "least": 5e-324, "under": 1e-400, "more": 0.10000000000000001, "list": [1.50, 1e2, -0.0],
                        "wide": 123456789012345678901234567890, "attr": {"text": "a", "ratio": 2.50}})")
            << QVariant();
        QTest::newRow("lone surrogates") << "surrogates.json" << false << "" << 0 << 1 << QByteArray() << "" << ""
            << page(R"("zz": "\udc00", )",
                    R"({"type": "qtlabel", "name": "s", "zz": "\ud800", "yy": "a\udc00b\ud800\u0041\ud83d\ude00",
                        "attr": {"text": "\ud800"}})")
            << QVariant();
        // Found by the random pages: a number past Int64 took the page to the full reader,
        // which reads a high surrogate and the escape after it as a pair.
        QTest::newRow("a lone surrogate before an escape, a number past Int64") << "pair.json" << false << "" << 0 << 1
            << QByteArray() << "" << ""
            << page(R"("big": 123456789012345678901234567890, )",
                    R"({"type": "spinbox", "name": "s", "attr": {"text": "\ud800\u0001a"}})")
            << QVariant();
        QTest::newRow("an empty child list") << "childless.json" << false << "" << 0 << 1 << QByteArray() << "" << ""
            << page("", R"({"type": "qtcontainer", "name": "c", "w": 300, "h": 100, "child": []})") << QVariant();
        const QByteArray longText = QByteArray(most + 1, 'y');
        QTest::newRow("long texts no control reads") << "untold.json" << false << "" << 0 << 1 << QByteArray() << ""
            << "" << page("\"title\": \"" + longText + "\", ",
                          R"({"type": "qtlabel", "name": "t", "note": ")" + longText
                              + R"("}, {"type": "nosuch", "name": "u", "attr": {"text": ")" + longText + R"("}})")
            << QVariant();
        QByteArray nested = R"({"type": "nosuch", "name": "deepest"})";
        for (int level = 0; level < depth + 2; ++level)
            nested = R"({"type": "nosuch", "child": [)" + nested + "]}";
        QTest::newRow("unknown elements nested past the element limit") << "nested.json" << false << "" << 0 << 1
            << QByteArray() << "" << "" << page("", nested) << QVariant();

        // Refused at the open, with the reason.
        QTest::newRow("a key twice") << "twice.json" << false << "" << 0 << 1 << QByteArray()
            << "holds the key \"x\" twice" << ""
            << page("", R"({"type": "qtlabel", "name": "l", "x": 5, "x": 9, "k": 1, "k": 2})") << QVariant();
        QTest::newRow("a number past every double") << "huge.json" << false << "" << 0 << 1 << QByteArray()
            << "past the largest double" << "" << page(R"("far": 1e400, )", l0) << QVariant();
        QTest::newRow("a file cut short") << "cut.json" << false << "" << 0 << 1 << QByteArray() << "does not parse"
            << "" << page("", l0).left(60) << QVariant();
        QTest::newRow("no elements key") << "bare.json" << false << "" << 0 << 1 << QByteArray()
            << "has no \"elements\"" << "" << QByteArray(R"({"w": 300, "h": 200})") << QVariant();
    }

    void saveWritesBackTheFileOpened()
    {
        QFETCH(QString, name);
        QFETCH(bool, inTheme);
        QFETCH(QString, type);
        QFETCH(int, leaves);
        QFETCH(int, level);
        QFETCH(QByteArray, text);
        QFETCH(QString, openRefusal);
        QFETCH(QString, saveRefusal);
        QFETCH(QByteArray, page);
        QFETCH(QVariant, stored);
        const bool opens = openRefusal.isEmpty();
        const bool saves = opens && saveRefusal.isEmpty();
        const QByteArray attr = text.isEmpty() ? QByteArray() : "\"attr\": {\"text\": \"" + text + "\"}, ";
        QByteArray list;
        for (int i = 0; i < leaves; ++i)
            list += (i ? ",{" : "{") + attr + QStringLiteral("\"type\": \"%1\", \"name\": \"l%2\", \"x\": %3, \"y\": 5, \"w\": 40, \"h\": 20")
                                                  .arg(type).arg(i).arg(i % 6 * 50).toUtf8() + "}";
        for (int container = level - 1; container > 0; --container)
            list = QStringLiteral(R"({"type": "qtcontainer", "name": "c%1", "w": 300, "h": 100, "child": [)")
                       .arg(container).toUtf8() + list + "]}";
        // The page as the canvas writes it, so that a save that keeps it keeps its bytes.
        const QString user = path("user/" + name);
        QVERIFY(writeFile(user, page.isEmpty() ? R"({"w": 320, "h": 120, "elements": [)" + list + "]}" : page));
        list.clear();
        const PeakMemory memory;
        const CpuTimer timer;
        if (saves) {
            QVERIFY(writeFile(path("seed.json"), readFile(user)));
            QVERIFY(m_canvas->OpenJsonFile(path("seed.json")) && m_canvas->SavePage(path("seed.json")));
            QVERIFY(writeFile(user, readFile(path("seed.json"))));
        }
        const QByteArray original = readFile(user);
        QVERIFY(original.size() <= vyr::maxFileBytes);
        if (inTheme) {
            QVERIFY(writeFile(path("theme/style.json"), R"({"style": []})"));
            QVERIFY(writeFile(path("theme/" + name), R"({"elements": [{"type": "qtcontainer", "name": "themePage"}]})"));
            QVERIFY(vyrLoadThemeDir(QFile::encodeName(path("theme")).constData()));
        }
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(path("user")));
        const auto restore = qScopeGuard([&] {
            QDir::setCurrent(previous);
            vyrLoadThemeFile("");
        });

        WarningCapture capture;
        QCOMPARE(m_canvas->OpenJsonFile(name), opens);
        if (stored.isValid())
            VYRQWidgetBaseImpl::fromWidget(control("l0"))->setAttrValue("custom", { VYRQAttrValue::Double, stored });
        QCOMPARE(m_canvas->SavePage(name), saves);
        QCOMPARE(readFile(user), original);
        if (saves && !page.isEmpty()) {
            const std::string difference
                = vyrtest::jsonTextDifference(page.toStdString(), original.toStdString(), keysEveryControlWrites());
            QVERIFY2(difference.empty(), difference.c_str());
        }
        VERIFY_CPU_BELOW(timer, 10000);
        VERIFY_PEAK_GROWTH_BELOW(memory.growthMb(), 300);
        if (!saves) {
            QCOMPARE(capture.count(opens ? saveRefusal : openRefusal), 1);
            return;
        }
        const QRegularExpression leaf(QStringLiteral("^l\\d+$"));
        QCOMPARE(m_canvas->GetCurWindow()->findChildren<QWidget*>(leaf).size(), leaves);
        QVERIFY(!control("themePage"));
        if (level < vyr::maxElementDepth)
            return;

        // The canvas nests nothing past the limit itself; what it nests up to the limit
        // opens again.
        m_canvas->AddSelectedControl(control("l0"));
        QVERIFY(!m_canvas->createControl(QStringLiteral("qtcontainer")));
        QCOMPARE(capture.count(QStringLiteral("no control is created deeper than")), 1);
        m_canvas->RemoveAllSelected();
        m_canvas->AddSelectedControl(control(QStringLiteral("c%1").arg(level - 1)));
        QVERIFY(m_canvas->createControl(QStringLiteral("qtcontainer")));
        QVERIFY(m_canvas->SavePage(name));
        m_canvas->closeAllWindows();
        QVERIFY(m_canvas->OpenJsonFile(name));
        QCOMPARE(m_canvas->GetCurWindow()->findChildren<QWidget*>(leaf).size(), leaves);
        QVERIFY(control("qtcontainer1"));
    }

    // The promise over random pages of every registered type, with unknown elements and
    // keys at every level and odd values (canvasroundtrip.h); the canvas fuzz target
    // runs the same for longer. Each minimal page it found is a row of
    // saveWritesBackTheFileOpened.
    void randomPagesComeBackAsRead()
    {
        std::vector<std::string> types;
        for (const QString& key : vyr::registeredKeys())
            types.push_back(key.toStdString());
        vyrtest::SeededChoices choices(65);
        vyrtest::RandomPage pages(choices, types);
        int opened = 0;
        const CpuTimer timer;
        for (int i = 0; i < randomPageCount; ++i) {
            const std::string page = pages.page();
            const QString file = path(QStringLiteral("random/%1.json").arg(i));
            QVERIFY(writeFile(file, QByteArray::fromStdString(page)));
            const QString rename = QStringLiteral("e%1").arg(choices.below(std::uint32_t(pages.names())));
            bool open = false;
            const std::string broken = vyrtest::canvasRoundTrip(*m_canvas, file, page, rename, &open);
            if (!broken.empty())
                qWarning("page %d: %s\n%s", i, page.c_str(), broken.c_str());
            QVERIFY2(broken.empty(), broken.substr(0, 200).c_str());
            opened += open ? 1 : 0;
        }
        // Most of them open: the promise is tried, not only the refusals.
        QVERIFY2(opened * 2 > randomPageCount, qPrintable(QString::number(opened)));
        VERIFY_CPU_BELOW(timer, 8000);
    }

    // Opening a page reads no more than a regular file within a zip entry's size: a
    // FIFO is refused before it is opened (the open would wait for a writer; the
    // one here writes a page as soon as a reader comes), a device before it is read
    // (it reads without end), a file past the limit before a byte of it is read.
    void openRefusesSpecialFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("warning");   // empty: the page opens
        QTest::newRow("FIFO") << "fifo" << "not a regular file";
        QTest::newRow("link to a device") << "device" << "not a regular file";
        QTest::newRow("past the size limit") << "huge" << "too large";
        QTest::newRow("at the size limit") << "limit" << "";
    }

    void openRefusesSpecialFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, warning);
        const QString file = path(kind + ".json");
        const QByteArray page = R"({"elements": [{"type": "qtcontainer", "name": "opened"}]})";
        std::unique_ptr<specialfiles::FifoWriter> writer;
        if (kind == "fifo") {
            QVERIFY(specialfiles::fifo(file));
            writer.reset(new specialfiles::FifoWriter({file}, 0, page));
        } else if (kind == "device") {
            QVERIFY(specialfiles::linkToEndlessDevice(file));
        } else {   // the zeros after the page end it, as a NUL ends every stored page
            QVERIFY(specialfiles::sparse(file, page, qint64(ZipMaxEntrySize) + (kind == "huge" ? 1 : 0)));
        }

        WarningCapture capture;
        const PeakMemory memory;
        const CpuTimer timer;
        const bool opened = m_canvas->OpenJsonFile(file);
        VERIFY_CPU_BELOW(timer, 2000);
        QCOMPARE(writer ? writer->readersFound() : 0, 0);
        writer.reset();
        QCOMPARE(opened, warning.isEmpty());
        if (opened) {
            QCOMPARE(m_canvas->GetCurWindow()->pageName(), kind + ".json");
            return;
        }
        QCOMPARE(m_canvas->GetCurWindow()->objectName(), QStringLiteral("MainPage"));
        QCOMPARE(capture.count(warning), 1);
        VERIFY_PEAK_GROWTH_BELOW(memory.growthMb(), 16);
    }

    // A save never replaces what is not a regular file (a FIFO, a device node, also
    // behind a symbolic link) with one: it reports false and leaves the target.
    void saveRefusesSpecialFiles_data()
    {
        QTest::addColumn<bool>("style");
        QTest::addColumn<bool>("device");
        QTest::addColumn<bool>("viaLink");
        QTest::newRow("page, FIFO") << false << false << false;
        QTest::newRow("style, FIFO") << true << false << false;
        QTest::newRow("page, link to a FIFO") << false << false << true;
        QTest::newRow("style, link to a device") << true << true << true;
    }

    void saveRefusesSpecialFiles()
    {
        QFETCH(bool, style);
        QFETCH(bool, device);
        QFETCH(bool, viaLink);
        const QString target = style ? path("project/style.json") : mainPath();
        const QString special = viaLink ? path("special") : target;
        QVERIFY(QDir().mkpath(QFileInfo(target).absolutePath()));
        QFile::remove(target);
        if (!specialfiles::nodeAt(special, device, target))
            QSKIP("no device node or FIFO can be made here");
        if (style)
            QVERIFY(VYRQResourceManager::getInstance()->setProjectDirPath(QStringLiteral(VYR_TEST_DATA "/project-basic")));

        if (style)
            m_canvas->SaveStyle(target);
        else
            QVERIFY(!m_canvas->SavePage(target));
        QVERIFY(specialfiles::isNode(special, device));
        QCOMPARE(QFileInfo(target).isSymLink(), viaLink);
    }

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString mainPath() const { return path("pages/MainPage.old.json"); }
    QWidget* control(const QString& name) const { return m_canvas->GetCurWindow()->findChild<QWidget*>(name); }
    QPoint at(const QString& name, const QPoint& local) const { return control(name)->mapTo(m_canvas, local); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_host;
    TestCanvas* m_canvas = nullptr;
};

QTEST_MAIN(tst_Canvas)
#include "tst_canvas.moc"
