#pragma once

#include "VYRQStateStyles.h"
#include "VYRQWidgetBaseImpl.h"

class QAbstractButton;

// The state the check box and the radio button share: backgrounds for the unchecked
// and the checked button, three text styles, four state icons and their placement.
class VYRQToggleImpl : public VYRQWidgetBaseImpl {
public:
    VYRQToggleImpl(QAbstractButton* owner, const QString& typeKey);
    ~VYRQToggleImpl() override;

    void notifyChangeLanguage() override;
    void setTextStyle(CheckBoxTextState state, const TextStyleDesc& style);

    TextKey textKey;
    QString uncheckIcon;
    QString uncheckHotIcon;
    QString checkedIcon;
    QString checkedHotIcon;
    IconStyleDesc iconStyle;
    TextStyleDesc uncheckedText;
    TextStyleDesc checkedText;
    TextStyleDesc disabledText;
    bool showIcon = true;
    bool showText = true;
    vyr::FillStates uncheckedBackgrounds;
    vyr::FillStates checkedBackgrounds;
};
