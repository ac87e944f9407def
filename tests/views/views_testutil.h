#pragma once

#include <QAbstractItemView>
#include <QScrollBar>
#include <QTest>

namespace views {

// Qt places a view's rows in int. Rows far apart lie one below the other, the scroll
// range reaches the last row's bottom, and scrolling moves a row by the distance
// scrolled. The view is shown; the rows are those under `parent`.
inline void checkRowsPlaced(QAbstractItemView& view, const QModelIndex& parent = QModelIndex())
{
    const QAbstractItemModel* model = view.model();
    const int rows = model->rowCount(parent);
    QScrollBar* bar = view.verticalScrollBar();
    bar->setValue(0);
    int previous = -1;
    for (int row : {0, 1, rows / 2, rows - 2, rows - 1}) {
        const int top = view.visualRect(model->index(row, 0, parent)).top();
        QVERIFY2(top > previous, qPrintable(QStringLiteral("row %1 at %2, the row before at %3").arg(row).arg(top).arg(previous)));
        previous = top;
    }
    const QModelIndex last = model->index(rows - 1, 0, parent);
    const QRect placed = view.visualRect(last);
    const qint64 reach = qint64(bar->maximum()) + view.viewport()->height();
    QVERIFY2(reach > placed.bottom(), qPrintable(QStringLiteral("scrolls to %1 of %2").arg(reach).arg(placed.bottom())));
    bar->setValue(bar->maximum());
    QCOMPARE(view.visualRect(last).top(), placed.top() - bar->maximum());
}

} // namespace views
