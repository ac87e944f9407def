#include "monitor_testutil.h"
#include "RefineryPlantWindow.h"
#include "RefineryProcessView.h"
#include "RefinerySimulator.h"
#include "VYRQComboBox.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQLabel.h"
#include "VYRQPushButton.h"
#include "VYRQTableView.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

using monitor::buttonWithText;
using monitor::clickOn;

// Charts without a GL context and a platform without grabs say so at every turn.
QtMessageHandler previousHandler = nullptr;
void dropPlatformNoise(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    for (const char* noise : {"OpenGL", "does not support", "composeAndFlush"})
        if (message.contains(QLatin1String(noise)))
            return;
    previousHandler(type, context, message);
}

// The shown monitor as the active window, which takes the keys.
std::unique_ptr<RefineryPlantWindow> activeMonitor()
{
    auto window = monitor::shown();
    if (!window)
        return nullptr;
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        return nullptr;
    return window;
}

// Press at `at`, move by `delta` with the button held, release, all through the
// window system's window.
void dragBy(QWidget* window, const QPoint& at, const QPoint& delta)
{
    QWindow* handle = window->windowHandle();
    const QPoint end = handle->mapToGlobal(at + delta);
    QTest::mousePress(handle, Qt::LeftButton, {}, at);
    QTest::mouseMove(handle, at + delta);
    // The window may have moved under the mouse: release where the mouse is now.
    QTRY_COMPARE(handle->geometry(), window->geometry());
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->mapFromGlobal(end));
}

VYRQTableView* equipmentTable(QWidget* window)
{
    return window->findChild<VYRQTableView*>(QStringLiteral("refineryEquipmentTable"));
}

int tableRowOf(RefineryPlantWindow* window, const QString& id)
{
    QStandardItemModel* model = window->getEquipmentModel();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->item(row, 0)->data(RefineryPlantWindow::EquipmentIdRole).toString() == id)
            return row;
    return -1;
}

// A click on the name cell of the table row holding `id`.
void clickTableRow(RefineryPlantWindow* window, const QString& id)
{
    VYRQTableView* table = equipmentTable(window);
    const QRect cell = table->visualRect(window->getEquipmentModel()->index(tableRowOf(window, id), 1));
    clickOn(window, table->viewport(), cell.center());
}

// The equipment each view names: the table's selected row, both diagrams' selected
// node and the drawer's title (its first label).
QStringList shownSelection(RefineryPlantWindow* window)
{
    QStringList names;
    const QModelIndexList rows = equipmentTable(window)->selectionModel()->selectedRows();
    names << (rows.size() == 1 ? rows.first().data(RefineryPlantWindow::EquipmentIdRole).toString()
                               : QStringLiteral("%1 rows").arg(rows.size()));
    for (const char* name : {"dashboardProcessView", "plantProcessView"})
        names << window->findChild<RefineryProcessView*>(QLatin1String(name))->selectedNodeId();
    auto* drawer = window->findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
    names << drawer->findChildren<VYRQLabel*>().first()->text();
    return names;
}

} // namespace

class tst_RefineryWindowInput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        previousHandler = qInstallMessageHandler(dropPlatformNoise);
        VYRQtLib::init();
        QVERIFY(vyrLoadThemeDir(TARNEX_THEME_DIR));
    }

    void rowClickSelects_data()
    {
        QTest::addColumn<bool>("alarm");
        QTest::addColumn<int>("row");
        for (int row = 0; row < 4; ++row)
            QTest::addRow("alarm row %d", row) << true << row;
        for (int row = 0; row < 3; ++row)
            QTest::addRow("watch row %d", row) << false << row;
    }

    // A click on a dashboard row, through the window, selects what the row shows.
    void rowClickSelects()
    {
        QFETCH(bool, alarm);
        QFETCH(int, row);

        auto window = monitor::shown();
        QVERIFY(window);
        const auto alarmRow = window->getAlarmRows().value(row);
        const auto watchRow = window->getWatchRows().value(row);
        QWidget* rowWidget = alarm ? alarmRow.rowContainer : watchRow.rowContainer;
        const QString id = alarm ? alarmRow.alarmId : watchRow.equipmentId;
        QVERIFY(rowWidget && rowWidget->isVisible());
        QVERIFY(!id.isEmpty());

        const QPoint at = rowWidget->mapTo(window.get(), rowWidget->rect().center());
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
        QCOMPARE(alarm ? window->getSelectedAlarmId() : window->getSelectedEquipmentId(), id);
        QCOMPARE(window->getCurrentPage(), 1);
        QVERIFY(window->isDrawerOpen());
    }

    // The top bar's plain background still drags the window.
    void topBarDragMoves()
    {
        auto window = monitor::shown();
        QVERIFY(window);
        const QPoint at(700, 32);
        QWidget* under = window->childAt(at);
        QVERIFY(qobject_cast<VYRQContainer*>(under));
        const QPoint start = window->pos();
        dragBy(window.get(), at, QPoint(40, 30));
        QTRY_COMPARE(window->pos(), start + QPoint(40, 30));
        QCOMPARE(window->size(), QSize(1440, 900));
    }

    void borderDrag_data()
    {
        QTest::addColumn<QPoint>("pressAt");   // on the 1440 x 900 window
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<QPoint>("moved");     // of the top-left corner

        QTest::newRow("right, wider") << QPoint(1438, 450) << QPoint(100, 0) << QSize(1540, 900) << QPoint();
        QTest::newRow("right, past the minimum") << QPoint(1438, 450) << QPoint(-1000, 0) << QSize(1280, 900)
                                                 << QPoint();
        QTest::newRow("bottom, past the minimum") << QPoint(720, 898) << QPoint(0, -500) << QSize(1440, 720)
                                                  << QPoint();
        // The minimum stops the dragged edge; the opposite edge stays where it was.
        QTest::newRow("left, past the minimum") << QPoint(1, 450) << QPoint(500, 0) << QSize(1280, 900)
                                                << QPoint(160, 0);
        QTest::newRow("top, past the minimum") << QPoint(720, 1) << QPoint(0, 400) << QSize(1440, 720)
                                               << QPoint(0, 180);
        QTest::newRow("top-left, past the minimum") << QPoint(1, 1) << QPoint(2000, 2000) << QSize(1280, 720)
                                                    << QPoint(160, 180);
    }

    // A border drag stops at the monitor's minimum and leaves the size free
    // afterwards, so the window can still be maximised and resized.
    void borderDrag()
    {
        QFETCH(QPoint, pressAt);
        QFETCH(QPoint, delta);
        QFETCH(QSize, expected);
        QFETCH(QPoint, moved);

        auto window = monitor::shown();
        QVERIFY(window);
        const QPoint start = window->pos();
        dragBy(window.get(), pressAt, delta);
        QTRY_COMPARE(window->size(), expected);
        QTRY_COMPARE(window->pos(), start + moved);
        QCOMPARE(window->minimumSize(), QSize(1280, 720));
        QCOMPARE(window->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }

    void keyboardFocusShows_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("byTab");   // else by a click
        QTest::addColumn<QList<int>>("keys");   // then, each a key with its modifiers
        QTest::addColumn<bool>("framed");
        const QList<int> none;
        QTest::newRow("trend selector, Tab") << 0 << true << none << true;
        QTest::newRow("equipment table, Tab") << 1 << true << none << true;
        QTest::newRow("equipment table, click") << 1 << false << none << false;
        // The selector is the dashboard's only stop: Tab keeps the focus where it is.
        const QList<int> listOpenedAndClosed{Qt::Key_Space, Qt::Key_Escape};
        QTest::newRow("trend selector, its list opened and closed") << 0 << true << listOpenedAndClosed << true;
        QTest::newRow("trend selector, its list opened and closed, Tab")
            << 0 << true << listOpenedAndClosed + QList<int>{Qt::Key_Tab} << true;
        QTest::newRow("trend selector, its list opened and closed, Shift+Tab")
            << 0 << true << listOpenedAndClosed + QList<int>{int(Qt::ShiftModifier | Qt::Key_Backtab)} << true;
        QTest::newRow("equipment table, click, Down") << 1 << false << QList<int>{Qt::Key_Down} << true;
    }

    // Tab stops only where the focus shows: the selector and the table, framed while
    // the keyboard brought the focus there or drives the control. No button or page
    // takes it (Space would press a button unseen); a click gives the focus without
    // the frame.
    void keyboardFocusShows()
    {
        QFETCH(int, page);
        QFETCH(bool, byTab);
        QFETCH(QList<int>, keys);
        QFETCH(bool, framed);
        auto window = activeMonitor();
        QVERIFY(window);
        window->setPage(page);
        QWidget* target = page == 0 ? static_cast<QWidget*>(window->findChild<VYRQComboBox*>())
                                    : equipmentTable(window.get());
        QVERIFY(target && target->isVisible());
        if (byTab) {
            // The first stop from the window: no button or page before it.
            QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
            QWidget* focused = QApplication::focusWidget();
            QVERIFY2(focused == target, focused ? focused->metaObject()->className() : "nothing");
        } else {
            clickTableRow(window.get(), QStringLiteral("HX-7"));
            auto* drawer = window->findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
            QTRY_VERIFY(!drawer->isResizeAnimationRunning());
        }
        for (int key : keys) {
            QTest::keyClick(window->windowHandle(), Qt::Key(key & ~Qt::KeyboardModifierMask),
                            Qt::KeyboardModifiers(key & Qt::KeyboardModifierMask));
            // A list that opened took the keys; it has closed again before the next.
            if (key == Qt::Key_Space)
                QTRY_VERIFY(QApplication::activePopupWidget());
            else
                QTRY_VERIFY(!QApplication::activePopupWidget());
        }
        QCOMPARE(QApplication::focusWidget(), target);
        const QImage focused = target->grab().toImage();
        window->setFocus();
        QVERIFY(!target->hasFocus());
        const QImage unfocused = target->grab().toImage();
        // The frame runs along all four edges, above a view's own scroll bar too.
        const int w = focused.width();
        const int h = focused.height();
        for (const QPoint& edge : {QPoint(1, h / 2), QPoint(w - 2, h / 2), QPoint(w / 2, 1), QPoint(w / 2, h - 2)})
            QCOMPARE(focused.pixel(edge) != unfocused.pixel(edge), framed);
        QCOMPARE(focused != unfocused, framed);
    }

    void escapeNeverClosesMonitor_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("on the dashboard") << "dashboard";
        QTest::newRow("drawer open") << "drawer";
        QTest::newRow("combo popup open") << "popup";
    }

    // Escape closes the drawer or a popup; it never closes the monitor itself.
    void escapeNeverClosesMonitor()
    {
        QFETCH(QString, state);
        auto window = activeMonitor();
        QVERIFY(window);
        auto* drawer = window->findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
        auto* combo = window->findChild<VYRQComboBox*>();
        if (state == QLatin1String("drawer")) {
            clickOn(window.get(), window->getWatchRows().first().rowContainer);
            QVERIFY(window->isDrawerOpen());
        } else if (state == QLatin1String("popup")) {
            clickOn(window.get(), combo);
            QTRY_VERIFY(QApplication::activePopupWidget());
        }
        const int page = window->getCurrentPage();

        QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
        QVERIFY(window->isVisible());
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(!window->isDrawerOpen());
        QTRY_VERIFY(drawer->isHidden());
        QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
        QVERIFY(window->isVisible());
        QCOMPARE(window->getCurrentPage(), page);
    }

    void enterPressesNoUnfocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
    }

    // With a table row clicked, Enter presses no button: the drawer stays open on the
    // plant page.
    void enterPressesNoUnfocusedButton()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        auto window = activeMonitor();
        QVERIFY(window);
        clickOn(window.get(), buttonWithText(window.get(), QStringLiteral("Plant Overview")));
        QCOMPARE(window->getCurrentPage(), 1);
        clickTableRow(window.get(), QStringLiteral("HX-7"));
        QVERIFY(window->isDrawerOpen());
        QCOMPARE(window->focusWidget(), equipmentTable(window.get()));

        QList<QSharedPointer<QSignalSpy>> clicks;
        for (VYRQPushButton* button : window->findChildren<VYRQPushButton*>())
            clicks << QSharedPointer<QSignalSpy>::create(button, &QAbstractButton::clicked);
        QTest::keyClick(window->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        for (const auto& spy : clicks)
            QCOMPARE(spy->count(), 0);
        QCOMPARE(window->getCurrentPage(), 1);
        QVERIFY(window->isDrawerOpen());
    }

    void oneSelectionEverywhere_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("expected");
        // Each starts on the plant page with the HX-7 row clicked; the keys in the table
        // with the focus it took, the others after the drawer was closed.
        QTest::newRow("diagram node") << "node R-203" << "R-203";
        QTest::newRow("Down key in the table") << "key down" << "F-102";
        QTest::newRow("Up key in the table") << "key up" << "P-101";
        QTest::newRow("alarm row") << "alarm row" << "R-203";
        QTest::newRow("watch row") << "watch row" << "C-310";
        QTest::newRow("View all") << "View all" << "R-203";
        QTest::newRow("Alarms entry") << "Alarms" << "R-203";
    }

    // The table's selected row, both diagrams and the drawer name the same equipment,
    // wherever the operator selects it.
    void oneSelectionEverywhere()
    {
        QFETCH(QString, source);
        QFETCH(QString, expected);
        auto window = activeMonitor();
        QVERIFY(window);
        RefineryPlantWindow* w = window.get();
        VYRQPushButton* dashboard = buttonWithText(w, QStringLiteral("Dashboard"));
        clickOn(w, buttonWithText(w, QStringLiteral("Plant Overview")));
        clickTableRow(w, QStringLiteral("HX-7"));
        QCOMPARE(shownSelection(w), QStringList({"HX-7", "HX-7", "HX-7", "HX-7"}));
        const bool key = source.startsWith(QLatin1String("key "));
        if (!key) {
            auto* drawer = w->findChild<VYRQContainer*>(QStringLiteral("equipmentDetailDrawer"));
            QTRY_VERIFY(!drawer->isResizeAnimationRunning());
            clickOn(w, buttonWithText(drawer, QString()));   // the drawer's close button
            QVERIFY(!w->isDrawerOpen());
            QTRY_VERIFY(drawer->isHidden());
        }

        if (source.startsWith(QLatin1String("node "))) {
            auto* view = w->findChild<RefineryProcessView*>(QStringLiteral("plantProcessView"));
            for (const VYRQFlowNode& node : view->nodes())
                if (node.id == source.mid(5))
                    clickOn(w, view, view->nodeRect(node).center().toPoint());
        } else if (key) {
            QCOMPARE(w->focusWidget(), equipmentTable(w));
            QTest::keyClick(w->windowHandle(), source.endsWith(QLatin1String("down")) ? Qt::Key_Down : Qt::Key_Up);
        } else if (source == QLatin1String("Alarms")) {
            clickOn(w, buttonWithText(w, source));
        } else {
            clickOn(w, dashboard);
            if (source == QLatin1String("alarm row"))
                clickOn(w, w->getAlarmRows().first().rowContainer);
            else if (source == QLatin1String("watch row"))
                clickOn(w, w->getWatchRows().first().rowContainer);
            else
                clickOn(w, buttonWithText(w, source));
        }
        QCOMPARE(w->getCurrentPage(), 1);
        QVERIFY(w->isDrawerOpen());
        QCOMPARE(w->getSelectedEquipmentId(), expected);
        QCOMPARE(shownSelection(w), QStringList({expected, expected, expected, expected}));
    }

    void restoreAfterMaximisedDrag_data()
    {
        QTest::addColumn<bool>("byDoubleClick");
        QTest::newRow("top bar double click") << true;
        QTest::newRow("maximise button") << false;
    }

    // Maximised, the top bar's drag moves nothing, and the maximise button gives the
    // window its place, size and minimum back, at every round.
    void restoreAfterMaximisedDrag()
    {
        QFETCH(bool, byDoubleClick);
        auto window = monitor::shown();
        QVERIFY(window);
        const QSize screen = window->screen()->availableGeometry().size();
        if (screen.width() < 1280 || screen.height() < 720)
            QSKIP("the screen is smaller than the monitor's minimum (the offscreen platform's is 800 x 600)");
        QWindow* handle = window->windowHandle();
        auto* root = window->findChild<VYRQContainer*>(QStringLiteral("kolvRoot"));
        VYRQPushButton* maximise = nullptr;
        for (auto* button : window->findChildren<VYRQPushButton*>())
            if (button->getIcon() == QLatin1String(":/tarnex/icons/maximize.svg"))
                maximise = button;
        QVERIFY(maximise);
        const auto laidOut = [&] {
            return QTest::qWaitFor([&] { return handle->geometry() == window->geometry(); })
                && QTest::qWaitFor([&] { return root->geometry() == window->rect(); });
        };
        const auto pressMaximise = [&] {
            QTest::mouseClick(handle, Qt::LeftButton, {}, maximise->mapTo(window.get(), maximise->rect().center()));
            // The platform answers before the operator's next step.
            QCoreApplication::processEvents();
        };
        const QPoint topBar(700, 32);
        const QRect normal = window->geometry();

        for (int round = 0; round < 2; ++round) {
            if (byDoubleClick) {
                QTest::mouseDClick(handle, Qt::LeftButton, {}, topBar);
                QCoreApplication::processEvents();
            } else {
                pressMaximise();
            }
            QTRY_VERIFY(window->isMaximized());
            QVERIFY(laidOut());
            const QPoint moved = window->pos() + QPoint(150, 0);
            dragBy(window.get(), topBar, QPoint(150, 0));
            QVERIFY(window->isMaximized());
            QVERIFY(window->pos() != moved);

            pressMaximise();
            QTRY_VERIFY(!window->isMaximized());
            QTRY_COMPARE(window->geometry(), normal);
            QCOMPARE(window->minimumSize(), QSize(1280, 720));
            QVERIFY(laidOut());
        }
    }

    void borderOverPageScrollBar_data()
    {
        QTest::addColumn<bool>("corner");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("right border") << false << QPoint(100, 0) << QSize(1380, 720);
        QTest::newRow("bottom-right corner") << true << QPoint(60, 40) << QSize(1340, 760);
    }

    // At 1280 x 720 the page's scroll bar lies along the window's right edge: a press
    // on the border band over it resizes the window and leaves the page where it is.
    void borderOverPageScrollBar()
    {
        QFETCH(bool, corner);
        QFETCH(QPoint, delta);
        QFETCH(QSize, expected);
        auto window = monitor::shown();
        QVERIFY(window);
        window->resize(1280, 720);
        auto* root = window->findChild<VYRQContainer*>(QStringLiteral("kolvRoot"));
        QTRY_COMPARE(root->geometry(), window->rect());
        QTRY_COMPARE(window->windowHandle()->geometry(), window->geometry());

        QScrollArea* page = nullptr;
        for (auto* scroller : window->findChildren<QScrollArea*>())
            if (scroller->isVisible())
                page = scroller;
        QVERIFY(page);
        QScrollBar* bar = page->verticalScrollBar();
        QTRY_VERIFY(bar->isVisible());
        QVERIFY(bar->maximum() > 0);
        const QRect barArea(bar->mapTo(window.get(), QPoint(0, 0)), bar->size());
        QCOMPARE(barArea.right(), window->width() - 1);
        const QPoint pressAt(window->width() - 2, corner ? window->height() - 2 : barArea.center().y());
        if (!corner)
            QVERIFY(bar->isAncestorOf(window->childAt(pressAt)) || window->childAt(pressAt) == bar);
        const int scrolled = bar->value();

        dragBy(window.get(), pressAt, delta);
        QTRY_COMPARE(window->size(), expected);
        QCOMPARE(bar->value(), scrolled);
        QCOMPARE(window->minimumSize(), QSize(1280, 720));
    }
};

QTEST_MAIN(tst_RefineryWindowInput)
#include "tst_refinerywindowinput.moc"
