#pragma once

#include "VYRQExport.h"

#include <QItemDelegate>

// The base of the library's item delegates: an item's tooltip, and its what's-this
// text, are shown through VYRQToolTip, never through Qt's, which reads every file rich
// text names itself.
class VYRQTLIB_EXPORT VYRQItemDelegate : public QItemDelegate {
    Q_OBJECT
public:
    explicit VYRQItemDelegate(QObject* parent = nullptr);

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};
