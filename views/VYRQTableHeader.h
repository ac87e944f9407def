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

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<VYRQTableViewImpl> m_impl;
};
