#include "VYRQSpinBox.h"

#include "VYRQWidgetBaseImpl.h"

class VYRQSpinBoxImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQSpinBoxImpl(VYRQSpinBox* owner)
        : VYRQWidgetBaseImpl(owner, VYRQSpinBox::typeName())
    {
    }
};

VYRQSpinBox::VYRQSpinBox(QWidget* parent)
    : VYRQControl(parent)
{
    setFrame(false);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    finishConstruction();
}

VYRQSpinBox::~VYRQSpinBox() = default;

#include "moc_VYRQSpinBox.cpp"
