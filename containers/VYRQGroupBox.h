#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QColor>
#include <QWidget>

class VYRQGroupBoxImpl;

// A one-pixel frame line around the control's area with a caption set into its top
// edge. Children are ordinary child widgets placed by the page or by code.
class VYRQTLIB_EXPORT VYRQGroupBox : public VYRQControl<VYRQGroupBox, QWidget, VYRQGroupBoxImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQGroupBox, "qtgroupbox")
public:
    explicit VYRQGroupBox(QWidget* parent = nullptr);
    ~VYRQGroupBox() override;

    // None of the setters repaints; the next paint shows the change.
    void setText(const QString& text);
    QString getText() const;
    // Inset of the bottom line from the bottom edge.
    void setLineSize(int size);
    int getLineSize() const;
    void setLineColor(QColor color);
    QColor getLineColor() const;
    // Off: no caption, though the caption's gap in the top line stays.
    void setShowText(bool show);
    bool getShowText() const;

    // One background (stored, not painted) and one caption style serve every state:
    // the state selects nothing.
    void setBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CommonCtrlState state) const;
    void setTextStyle(CommonCtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getTextStyle(CommonCtrlState state) const;
};
