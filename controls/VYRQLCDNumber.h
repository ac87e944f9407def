#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QColor>
#include <QLCDNumber>

class VYRQLCDNumberImpl;

// A frameless seven-segment display over one themed background, with digits in a
// colour of its own.
class VYRQTLIB_EXPORT VYRQLCDNumber : public VYRQControl<VYRQLCDNumber, QLCDNumber, VYRQLCDNumberImpl, vyr::ForwardNone> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQLCDNumber, "qtlcdnumber")
public:
    explicit VYRQLCDNumber(QWidget* parent = nullptr);
    ~VYRQLCDNumber() override;

    // One background serves every state: the state selects nothing. No repaint.
    void setBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CommonCtrlState state) const;

    // The digits take the colour at the next paint; until then getColor() reports
    // the palette's previous one.
    void setColor(const QColor& color);
    QColor getColor() const;

    // A text given here (or through display(QString)) is reported back as given,
    // "12:30" or "007" included; after a numeric display the value is reported.
    void setNumText(const QString& text);
    QString getNumText() const;

public Q_SLOTS:
    // Hide QLCDNumber's slots of the same names so the control knows whether its
    // content came from a text or from a number.
    void display(const QString& text);
    void display(int number);
    void display(double number);

protected:
    void paintEvent(QPaintEvent* event) override;
};
