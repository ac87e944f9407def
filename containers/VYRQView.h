#pragma once

#include <QWidget>

// An empty placeholder widget.
class VYRQView : public QWidget {
    Q_OBJECT
public:
    VYRQView();
    ~VYRQView() override;
};
