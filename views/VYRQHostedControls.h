#pragma once

#include "VYRQExport.h"

#include <QRect>
#include <QVector>

class QWidget;
class VYRQWidgetBaseImpl;

// The library controls of a widget tree that an item view paints in place of live
// widgets (a table's cell-hosted containers, a list view's item template).
class VYRQTLIB_EXPORT VYRQHostedControls {
public:
    struct Control {
        QWidget* widget;
        VYRQWidgetBaseImpl* impl;
    };

    // The root first, then its descendants depth first in child order. Only library
    // controls are taken; a widget that is not one ends the descent on its branch,
    // and a root that is not one gives nothing.
    static QVector<Control> collect(QWidget* root);
    // The widget's geometry plus the offsets of its ancestors up to the root.
    static QRect rectIn(const QWidget* widget, const QWidget* root);
};
