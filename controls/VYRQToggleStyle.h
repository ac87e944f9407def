#pragma once

#include "VYRQExport.h"

#include "VYRQStyleDefs.h"
#include "VYRQTypes.h"

class VYRQToggleImpl;

// The accessors the check box and the radio button share: backgrounds of the
// unchecked button, text styles, icon placement, and whether text is shown. The
// setters only store; the next paint shows the change.
class VYRQTLIB_EXPORT VYRQToggleStyle {
public:
    // Per-state backgrounds: 0 to 3 one state, 4 all four, anything else is ignored;
    // the getters read an out-of-range state as Normal.
    void setBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CtrlState state) const;

    void setTextStyle(bool checked, const TextStyleDesc& style);
    const TextStyleDesc& getTextStyle(bool checked) const;
    void setTextStyleByState(CheckBoxTextState state, const TextStyleDesc& style);

    void setIconStyle(const IconStyleDesc& style);
    const IconStyleDesc& getIconStyle() const;
    void setIconHorAlign(DockLayoutType align);
    DockLayoutType getIconHorAlign() const;
    void setIconVerAlign(DockLayoutType align);
    DockLayoutType getIconVerAlign() const;
    void setIconOffsetX(int x);
    int getIconOffsetX() const;
    void setIconOffsetY(int y);
    int getIconOffsetY() const;
    void setShowText(bool on);
    bool getShowText() const;
    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;

protected:
    explicit VYRQToggleStyle(VYRQToggleImpl* toggle);
    ~VYRQToggleStyle();
    VYRQToggleStyle(const VYRQToggleStyle&) = delete;
    VYRQToggleStyle& operator=(const VYRQToggleStyle&) = delete;

private:
    VYRQToggleImpl* m_toggle;
};
