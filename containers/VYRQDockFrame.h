#pragma once

#include "VYRQExport.h"

#include <QWidget>

// An empty placeholder widget.
class VYRQTLIB_EXPORT VYRQDockFrame : public QWidget {
    Q_OBJECT
public:
    VYRQDockFrame();
    ~VYRQDockFrame() override;
};
