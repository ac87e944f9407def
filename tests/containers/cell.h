#pragma once

// A bare library control for layout tests: a size hint of choice, and a count of the placements that go
// through the control interface (the docking of absolute children), which QWidget::setGeometry does not touch.

#include "VYRQControl.h"

class CellImpl : public VYRQWidgetBaseImpl {
public:
    explicit CellImpl(QWidget* owner) : VYRQWidgetBaseImpl(owner, QStringLiteral("testcell")) {}
};

class Cell : public VYRQControl<Cell, QWidget, CellImpl> {
    VYR_CONTROL(Cell, "testcell")
public:
    explicit Cell(QWidget* parent = nullptr, int w = 100, int h = 30) : VYRQControl(parent)
    {
        finishConstruction();
        resize(w, h);
    }

    using VYRQControl::setGeometry;
    void setGeometry(int x, int y, int w, int h) override
    {
        ++interfacePlacements;
        VYRQControl::setGeometry(x, y, w, h);
    }
    QSize sizeHint() const override { return hint; }

    QSize hint;
    int interfacePlacements = 0;
};

inline ControlInfo Cell::getProps() { return vyr::makeControlInfo("testcell", "Cell", "Cell", "Test cell", "test"); }

// The rectangle the layout pass computed for a child, before Qt's own clamping and the scroll offset.
inline QRect baseGeometry(const QWidget* w) { return w->property("_vyr_container_base_geometry").toRect(); }
