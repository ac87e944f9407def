#pragma once

#include "VYRQExport.h"

#include <QList>
#include <QWidget>

// An empty placeholder for a multiple-document area; windows may remember one.
class VYRQTLIB_EXPORT VYRQMDIArea : public QWidget {
    Q_OBJECT
public:
    VYRQMDIArea();
    ~VYRQMDIArea() override;

private:
    QList<QWidget*> m_windows;
};
