#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QProgressBar>

class VYRQProgressBarImpl;

// The themed progress bar: Qt's range and value, painted as a background with a
// foreground over the done share (a bar growing from the left or from the bottom),
// or in circle mode as a pie-shaped share of the foreground swept clockwise from
// straight down. Optionally writes the value followed by a percent sign.
class VYRQTLIB_EXPORT VYRQProgressBar : public VYRQControl<VYRQProgressBar, QProgressBar, VYRQProgressBarImpl, vyr::ForwardNone> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQProgressBar, "qtprogressbar")
public:
    explicit VYRQProgressBar(QWidget* parent = nullptr);
    ~VYRQProgressBar() override;

    // One background and one foreground serve every state: the state selects nothing.
    // Neither setter repaints.
    void setBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CommonCtrlState state) const;
    void setForeground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getForeground(CommonCtrlState state) const;

    void setShowText(bool show);
    bool getShowText() const;

    // Circle mode and its angle range are code-only settings (not saved) and show at
    // the next repaint. Only the length of the range (b - a) scales the sweep; a
    // range is accepted when a >= 1 and b > a.
    void setCircleProgressBar(bool circle);
    bool getIsCircleProgressBar() const;
    void setCircleAngleRange(int a, int b);
    void getCirleAngleRange(int& a, int& b) const;

protected:
};
