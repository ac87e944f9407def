#include "VYRQToggleImpl_p.h"

#include <QAbstractButton>

VYRQToggleImpl::VYRQToggleImpl(QAbstractButton* owner, const QString& typeKey)
    : VYRQWidgetBaseImpl(owner, typeKey)
{
    iconStyle.hor = DockNear;
    iconStyle.ver = DockCenter;
    uncheckedBackgrounds.set(AllStates, undrawnFill());
    checkedBackgrounds.set(AllStates, undrawnFill());
}

VYRQToggleImpl::~VYRQToggleImpl() = default;

void VYRQToggleImpl::notifyChangeLanguage()
{
    if (textKey.isSet())
        static_cast<QAbstractButton*>(owner())->setText(textKey.translation());
}

void VYRQToggleImpl::setTextStyle(CheckBoxTextState state, const TextStyleDesc& style)
{
    switch (state) {
    case TextChecked:
        checkedText = style;
        break;
    case TextUnchecked:
        uncheckedText = style;
        break;
    case TextDisable:
        disabledText = style;
        break;
    }
}
