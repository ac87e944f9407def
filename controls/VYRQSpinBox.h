#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QSpinBox>

class VYRQSpinBoxImpl;

// A thin spin box control: transparent, without frame or step arrows (its painting
// is the implementation's, which draws nothing; the inner text field paints itself).
// Its page element holds only the common keys: the value is not stored. It has a
// factory but no designer record.
class VYRQTLIB_EXPORT VYRQSpinBox : public VYRQControl<VYRQSpinBox, QSpinBox, VYRQSpinBoxImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
public:
    static const char* typeName() { return "qtspinbox"; }
    static QWidget* createVYRQSpinBox() { return new VYRQSpinBox(nullptr); }

    explicit VYRQSpinBox(QWidget* parent = nullptr);
    ~VYRQSpinBox() override;
};
