#include "VYRQToggleStyle.h"

#include "VYRQToggleImpl_p.h"

VYRQToggleStyle::VYRQToggleStyle(VYRQToggleImpl* toggle)
    : m_toggle(toggle)
{
}

VYRQToggleStyle::~VYRQToggleStyle() = default;

void VYRQToggleStyle::setBackground(CtrlState state, const FillStyle& style)
{
    m_toggle->uncheckedBackgrounds.set(state, style);
}

const FillStyle& VYRQToggleStyle::getBackground(CtrlState state) const
{
    return m_toggle->uncheckedBackgrounds.get(state);
}

void VYRQToggleStyle::setTextStyle(bool checked, const TextStyleDesc& style)
{
    (checked ? m_toggle->checkedText : m_toggle->uncheckedText) = style;
}

const TextStyleDesc& VYRQToggleStyle::getTextStyle(bool checked) const
{
    return checked ? m_toggle->checkedText : m_toggle->uncheckedText;
}

void VYRQToggleStyle::setTextStyleByState(CheckBoxTextState state, const TextStyleDesc& style)
{
    m_toggle->setTextStyle(state, style);
}

void VYRQToggleStyle::setIconStyle(const IconStyleDesc& style)
{
    m_toggle->iconStyle = style;
}

const IconStyleDesc& VYRQToggleStyle::getIconStyle() const
{
    return m_toggle->iconStyle;
}

void VYRQToggleStyle::setIconHorAlign(DockLayoutType align)
{
    m_toggle->iconStyle.hor = align;
}

DockLayoutType VYRQToggleStyle::getIconHorAlign() const
{
    return DockLayoutType(m_toggle->iconStyle.hor);
}

void VYRQToggleStyle::setIconVerAlign(DockLayoutType align)
{
    m_toggle->iconStyle.ver = align;
}

DockLayoutType VYRQToggleStyle::getIconVerAlign() const
{
    return DockLayoutType(m_toggle->iconStyle.ver);
}

void VYRQToggleStyle::setIconOffsetX(int x)
{
    m_toggle->iconStyle.x = x;
}

int VYRQToggleStyle::getIconOffsetX() const
{
    return m_toggle->iconStyle.x;
}

void VYRQToggleStyle::setIconOffsetY(int y)
{
    m_toggle->iconStyle.y = y;
}

int VYRQToggleStyle::getIconOffsetY() const
{
    return m_toggle->iconStyle.y;
}

void VYRQToggleStyle::setShowText(bool on)
{
    m_toggle->showText = on;
}

bool VYRQToggleStyle::getShowText() const
{
    return m_toggle->showText;
}

void VYRQToggleStyle::setDelegateItemVisible(bool visible)
{
    m_toggle->setDelegateItemVisible(visible);
}

bool VYRQToggleStyle::getDelegateItemVisible() const
{
    return m_toggle->getDelegateItemVisible();
}
