#pragma once
// Helpers of the monitor's window suites: the monitor shown and settled, and clicks
// that enter through the window system's window, as an operator's do.

#include "RefineryPlantWindow.h"
#include "RefinerySimulator.h"
#include "VYRQContainer.h"
#include "VYRQPushButton.h"
#include "VYRQWindowImpl_p.h"

#include <QScreen>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace monitor {

// The monitor shown and laid out, its simulator stopped so that no refresh
// reorders the rows under the mouse.
inline std::unique_ptr<RefineryPlantWindow> shown()
{
    std::unique_ptr<RefineryPlantWindow> window(new RefineryPlantWindow);
    window->plantSimulator()->stop();
    // The offscreen platform's 800 x 600 screen cannot hold the window: the frame would
    // maximise it there at the first drag. These suites give it input at its own size;
    // where it is held is tst_tarnexstartup's, on X servers of every size.
    const QSize screen = window->screen()->availableGeometry().size();
    if (screen.width() < window->minimumWidth() || screen.height() < window->minimumHeight())
        window->impl()->holdsToScreens = false;
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    auto* root = window->findChild<VYRQContainer*>(QStringLiteral("kolvRoot"));
    // The first layout and the centring run on the next turn of the event loop.
    if (!root || !QTest::qWaitFor([&] { return root->geometry() == window->rect(); })
        || !QTest::qWaitFor([&] { return window->windowHandle()->geometry() == window->geometry(); }))
        return nullptr;
    return window;
}

// A click through the window system's window on `at` in `target`'s coordinates
// (its centre by default).
inline void clickOn(QWidget* window, QWidget* target, QPoint at = QPoint(-1, -1))
{
    if (at.x() < 0)
        at = target->rect().center();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, target->mapTo(window, at));
}

inline VYRQPushButton* buttonWithText(QWidget* root, const QString& text)
{
    for (VYRQPushButton* button : root->findChildren<VYRQPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

} // namespace monitor
