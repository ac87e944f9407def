#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"
#include "VYRQToggleStyle.h"

#include <QCheckBox>

class VYRQCheckBoxImpl;

// The themed check box: separate backgrounds per interaction state for the unchecked
// and the checked box, three text styles and six icon names. Toggling, the clickable
// area and the Qt signals are QCheckBox's own; the control paints everything itself.
class VYRQTLIB_EXPORT VYRQCheckBox : public VYRQControl<VYRQCheckBox, QCheckBox, VYRQCheckBoxImpl>, public VYRQToggleStyle {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQCheckBox, "qtcheckbox")
public:
    explicit VYRQCheckBox(QWidget* parent = nullptr);
    ~VYRQCheckBox() override;

    VYRQCheckBoxImpl* getImpl() const;

    // The setters below only store; the next paint shows the change.
    void setCheckedBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getCheckedBackground(CtrlState state) const;

    // Any value but 1 and 2 gives the checked style.
    const TextStyleDesc& getTextStyleByState(CheckBoxTextState state) const;
    void setDisableTextStyle(const TextStyleDesc& style);
    const TextStyleDesc& getDisableTextStyle() const;

    // A hot icon that still carries its default name follows its base icon.
    void setUncheckIcon(const QString& name);
    QString getUncheckIcon() const;
    void setUncheckHotIcon(const QString& name);
    QString getUncheckHotIcon() const;
    void setCheckedIcon(const QString& name);
    QString getCheckedIcon() const;
    void setCheckedHotIcon(const QString& name);
    QString getCheckedHotIcon() const;
    void setDisableCheckIcon(const QString& name);
    QString getDisableCheckIcon() const;
    void setDisableUncheckIcon(const QString& name);
    QString getDisableUncheckIcon() const;

    void setShowIcon(bool on);
    bool getShowIcon() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
