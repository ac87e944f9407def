#pragma once

// Library-internal helper of the ribbon family; not installed.

#include "IVYRQWidgetBase.h"

#include <QRect>
#include <QWidget>

namespace vyr {

// Places a child of a ribbon container: library controls record the rectangle as
// their absolute geometry, other widgets just take it.
inline void placeRibbonChild(QWidget* widget, const QRect& rect)
{
    if (!widget)
        return;
    if (auto* control = dynamic_cast<IVYRQWidgetBase*>(widget))
        control->setGeometry(rect.x(), rect.y(), rect.width(), rect.height());
    else
        widget->setGeometry(rect);
}

// Hides a widget and lets it go once the event loop is back: a command, a page change
// or a tab click may remove the very widget whose signal is running.
inline void discardRibbonWidget(QWidget* widget)
{
    if (!widget)
        return;
    widget->hide();
    widget->deleteLater();
}

} // namespace vyr
