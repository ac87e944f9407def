#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QSize>
#include <QWidget>

class VYRQSwitchImpl;

// A two-position switch: a background, a thumb that a mouse press slides to the other
// end, and a text at each end. The side changes when the slide ends; code reads it
// with getIsSwitchToLeft().
class VYRQTLIB_EXPORT VYRQSwitch : public VYRQControl<VYRQSwitch, QWidget, VYRQSwitchImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQSwitch, "qtswitch")
public:
    // Selects a text style.
    // A fixed underlying type: out-of-range values from callers stay defined.
    enum SwitchPosition : int { Left = 0, Right = 1 };

    // Slide durations are clamped into 0 to this many milliseconds.
    static constexpr unsigned int maxSwitchSpeed = 2147483647u;

    explicit VYRQSwitch(QWidget* parent = nullptr);
    ~VYRQSwitch() override;

    // None of the setters repaints; the next paint shows the change.
    // The one background serves every state; the state argument selects nothing.
    void setBackgroundStyle(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackgroundStyle(CommonCtrlState state) const;
    // Thumb styles of states 0 to 3; other states are ignored by the setter and read
    // as Normal by the getter.
    void setThumbStyle(CtrlState state, const FillStyle& style);
    const FillStyle& getThumbStyle(CtrlState state) const;
    // Left selects the left style, any other value the right one.
    void setTextStyle(SwitchPosition position, const TextStyleDesc& style);
    const TextStyleDesc& getTextStyle(SwitchPosition position) const;

    void setLeftText(const QString& text);
    const QString& getLeftText() const;
    void setRightText(const QString& text);
    const QString& getRightText() const;
    void setThumbSize(int w, int h);
    void getThumbSize(int& w, int& h) const;
    void setThumbBtnSize(const QSize& size);
    const QSize& getThumbBtnSize() const;
    void setSwitchSpeed(unsigned int ms);
    unsigned int getSwitchSpeed() const;
    void setMargin(int margin);
    int getMargin() const;
    void setShowAllText(bool on);
    bool getShowAllText() const;
    // A thumb already drawn stays where it is until the next slide.
    void setSwitchToLeft(bool left);
    bool getIsSwitchToLeft() const;
    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
