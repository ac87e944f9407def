#include "VYRQToggleImpl.h"

#include <QAbstractButton>

VYRQToggleImpl::VYRQToggleImpl(QAbstractButton* owner, const QString& typeKey)
    : VYRQWidgetBaseImpl(owner, typeKey)
    , m_button(owner)
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
        m_button->setText(textKey.translation());
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
