#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QLabel>

class VYRQLabelImpl;

// The themed label: a QLabel whose font, colour and alignment come from one named
// text style, and which shortens its text to its width when it is resized. It paints
// as a QLabel and takes no interaction state.
class VYRQTLIB_EXPORT VYRQLabel : public VYRQControl<VYRQLabel, QLabel, VYRQLabelImpl, vyr::ForwardNone> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQLabel, "qtlabel")
public:
    explicit VYRQLabel(QWidget* parent = nullptr);
    ~VYRQLabel() override;

    bool readJsonValue(void* json) override;

    // Stores the full text and shows it unshortened until the next resize.
    void setText(const QString& text);

    // State 0 is the applied style; every other state names the stored disabled style.
    TextStyleDesc getTextStyle(CtrlState state) const;
    void setTextStyle(CtrlState state, const TextStyleDesc& style);
    QColor getColor() const;
    void setColor(const QColor& color);
    QColor getDisableColor() const;
    void setDisableColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class VYRQLabelImpl;
};
