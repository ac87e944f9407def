#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QScrollBar>

class QStyleOptionSlider;
class VYRQScrollBarImpl;

// The themed scroll bar: Qt's scrolling behaviour (range, value, steps, dragging,
// valueChanged) with a look made of named fill styles for the background and, per
// interaction state, the up/left button, the down/right button and the thumb.
// Every scroll bar starts hidden; its owner shows it.
class VYRQTLIB_EXPORT VYRQScrollBar : public VYRQControl<VYRQScrollBar, QScrollBar, VYRQScrollBarImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQScrollBar, "qtscrollbar")
public:
    explicit VYRQScrollBar(QWidget* parent = nullptr);
    VYRQScrollBar(Qt::Orientation orientation, QWidget* parent);
    ~VYRQScrollBar() override;

    // None of the style and icon setters repaints; the new look shows at the next paint.
    // One background for every state: the state argument selects nothing.
    // The "style" entries of an element that styles this bar from elsewhere (an
    // owner's scroll-bar "child" element), with the bar's own slots.
    void readStyleEntries(const Json::Value& element);
    void setScrollbarBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getScrollbarBackground(CommonCtrlState state) const;
    // Per-state parts: 0 to 3 set one state, 4 (AllStates) all four, other values
    // are ignored; getters read out-of-range states as Normal.
    void setScrollbarUpButton(CtrlState state, const FillStyle& style);
    const FillStyle& getScrollbarUpButton(CtrlState state) const;
    void setScrollbarDownButton(CtrlState state, const FillStyle& style);
    const FillStyle& getScrollbarDownButton(CtrlState state) const;
    void setScrollbarThumb(CtrlState state, const FillStyle& style);
    const FillStyle& getScrollbarThumb(CtrlState state) const;

    void setScrollbarBtnIcon(bool up, const QString& icon);
    const QString& getScrollbarBtnIcon(bool up) const;
    void setScrollbarThumbIcon(const QString& icon);
    const QString& getScrollbarThumbIcon() const;
    void setScrollbarIconStyle(bool up, const IconStyleDesc& style);
    const IconStyleDesc& getScrollbarIconStyle(bool up) const;

    // Thickness reported by sizeHint(); -1 keeps Qt's. Neither relayouts nor repaints.
    void setWidthHeight(int size);
    int getWidthHeight() const;

    // Interaction state of each part (Normal, Hot or Pressed).
    CtrlState getThumbState() const;
    CtrlState getUpState() const;
    CtrlState getDownState() const;

    QSize sizeHint() const override;
    void initStyleOption(QStyleOptionSlider* option) const;

protected:
    // The control does not forward enter events; the parts follow moves and leaves.
    void enterEvent(QEvent* event) override;

private:
    friend class VYRQScrollBarImpl;
};
