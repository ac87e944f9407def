#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QWidget>

class VYRQSpacerImpl;

// An invisible, input-transparent control that takes up the spare room of a
// horizontal or vertical container layout, shared with other spacers by weight.
// A spacer whose direction does not fit the container's axis is an ordinary child.
class VYRQTLIB_EXPORT VYRQSpacer : public VYRQControl<VYRQSpacer, QWidget, VYRQSpacerImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQSpacer, "qtspacer")
public:
    // Transparent for mouse events while still a window: its window flags say so too.
    static constexpr bool buildsUnderPageParent = false;
    enum Direction : int {
        Auto = 0,
        Horizontal = 1,
        Vertical = 2
    };
    Q_ENUM(Direction)

    explicit VYRQSpacer(QWidget* parent = nullptr);
    ~VYRQSpacer() override;

    // Both setters lay the parent container out again.
    void setDirection(Direction direction);
    Direction getDirection() const;
    // Size across the stretch axis; 0 takes the cross size by the size policy.
    void setThickness(int thickness);
    int getThickness() const;

    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;
};
