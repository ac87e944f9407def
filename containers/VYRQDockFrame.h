#pragma once

#include <QWidget>

// An empty placeholder widget.
class VYRQDockFrame : public QWidget {
    Q_OBJECT
public:
    VYRQDockFrame();
    ~VYRQDockFrame() override;
};
