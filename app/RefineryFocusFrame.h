#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class QPaintEvent;

// A frame in the theme's accent colour over a widget while it has the focus and the
// keyboard brought it there or drives it: the monitor's themed controls draw no focus
// of their own. A click gives the focus without the frame (a key pressed then shows
// it); a focus that leaves with the window or for a popup comes back with it. The
// frame is the widget's sibling, stacked above it, so that nothing the widget holds (a
// view's scroll bar) covers it.
class RefineryFocusFrame : public QWidget {
    Q_OBJECT
public:
    explicit RefineryFocusFrame(QWidget* framed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(bool shown);

    QPointer<QWidget> framed;
    bool fromKeyboard = false;
    QColor accent;
};
