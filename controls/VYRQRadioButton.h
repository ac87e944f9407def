#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"
#include "VYRQToggleStyle.h"

#include <QRadioButton>

class VYRQRadioButtonImpl;

// Which icon `VYRQRadioButton::setIcon(RadioIconState, ...)` sets. The disabled icon
// is never among them.
enum RadioIconState : int {
    RadioSelected = 0,
    RadioSelectedHot = 1,
    RadioUnselected = 2,
    RadioUnselectedHot = 3,
    RadioAllIcons = 4
};

// The themed radio button: per-state backgrounds for the unselected and the selected
// button, three text styles, four state icons and a disabled icon, the icon scaled to
// fit the control. The whole control is its clickable area, and every press emits
// `pressedEvent`. Exclusive selection among siblings is QRadioButton's.
class VYRQTLIB_EXPORT VYRQRadioButton : public VYRQControl<VYRQRadioButton, QRadioButton, VYRQRadioButtonImpl>,
                        public VYRQToggleStyle {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQRadioButton, "qtradiobox")
public:
    explicit VYRQRadioButton(QWidget* parent = nullptr);
    ~VYRQRadioButton() override;

    // No repaint.
    void setSelectedBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getSelectedBackground(CtrlState state) const;

    // Any value but 0 and 2 gives the unchecked style.
    const TextStyleDesc& getTextStyleByState(CheckBoxTextState state) const;

    // The four state icons.
    void setIcon(const QString& name);
    void setIcon(RadioIconState state, const QString& name);
    bool setUncheckIcon(const QString& name);
    bool setUncheckHotIcon(const QString& name);
    bool setCheckedIcon(const QString& name);
    bool setCheckedHotIcon(const QString& name);
    bool setDisableIcon(const QString& name);
    const QString& getUncheckIcon() const;
    const QString& getUncheckHotIcon() const;
    const QString& getCheckedIcon() const;
    const QString& getCheckedHotIcon() const;
    const QString& getDisableIcon() const;


    // Stored and filed only; it changes neither painting nor input.
    void setPushlike(bool on);
    bool getPushlike() const;
    void setShowIcon(bool on);
    bool getShowIcon() const;

    // Every point of the control arms the button.
    bool hitButton(const QPoint& pos) const override;

signals:
    void pressedEvent();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
