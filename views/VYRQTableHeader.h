#pragma once

#include "VYRQExport.h"

#include <QHeaderView>
#include <QPointer>

class VYRQTableViewImpl;

// A table header painted from the table's header styles. With the check column on,
// the first section of the horizontal header carries the select-all check icon.
class VYRQTLIB_EXPORT VYRQTableHeader : public QHeaderView {
    Q_OBJECT
public:
    VYRQTableHeader(VYRQTableViewImpl* impl, Qt::Orientation orientation, QWidget* parent);
    ~VYRQTableHeader() override;

    // A vertical header takes the model's rows anew at the default size: the table's
    // rows are held within their room first, and given back what room is left after.
    void reset() override;
    void doItemsLayout() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Holds the table's rows to the sections the header has, and `ahead` of taking
    // the model's rows, to those as well.
    void holdRows(bool ahead);

    QPointer<VYRQTableViewImpl> m_impl;
};
