#pragma once

#include "VYRQExport.h"

#include <QWidget>

// An empty placeholder widget.
class VYRQTLIB_EXPORT VYRQView : public QWidget {
    Q_OBJECT
public:
    VYRQView();
    ~VYRQView() override;
};
