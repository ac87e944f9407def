#pragma once

#include "VYRQExport.h"

#include <QRect>
#include <QString>

class QHelpEvent;
class QPoint;
class QWidget;

// The library's tooltips, shown as QToolTip shows its own but through a
// VYRQTextDocument: a rich tooltip reads what it names through our reader and image
// bounds, whatever the spelling, and is laid out only within the HTML bounds; Qt's
// tooltip would read every file its HTML names itself. One tip is shown at a time; it
// goes when the pointer leaves, on a key or a button, or after a time growing with
// its text.
class VYRQTLIB_EXPORT VYRQToolTip {
public:
    VYRQToolTip() = delete;

    // Shows `text` near `globalPos` for `widget`, while the pointer stays within `rect`
    // of `widget` (over `widget` at all when `rect` is null); an empty text, or no
    // widget, hides the tip.
    static void showText(const QPoint& globalPos, const QString& text, QWidget* widget, const QRect& rect = QRect(),
                         int msecShowTime = -1);
    static void hideText();
    static bool isVisible();
    static QString text();
    // The window the tip is shown in; null before the first tip.
    static QWidget* tipWindow();

    // Answers a QEvent::ToolTip that `widget` receives with its tooltip; false when it
    // has none, for the event to go on to its parent.
    static bool showFor(QWidget* widget, const QHelpEvent* event);
};
