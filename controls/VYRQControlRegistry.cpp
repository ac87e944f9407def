#include "VYRQControlRegistry.h"

#include "VYRQCheckBox.h"
#include "VYRQComboBox.h"
#include "VYRQGlobal_p.h"
#include "VYRQImage.h"
#include "VYRQLCDNumber.h"
#include "VYRQLabel.h"
#include "VYRQLabelEx.h"
#include "VYRQLineEdit.h"
#include "VYRQProgressBar.h"
#include "VYRQPushButton.h"
#include "VYRQRadioButton.h"
#include "VYRQScrollBar.h"
#include "VYRQSlider.h"
#include "VYRQSpinBox.h"
#include "VYRQSwitch.h"
#include "VYRQTextEdit.h"

void vyrRegisterBasicControls()
{
    using vyr::registerControl;
    using vyr::registerFactory;
    registerControl("qtbutton", &VYRQPushButton::createVYRQPushButton, VYRQPushButton::getProps(), true, {"button"});
    registerControl("qtlabel", &VYRQLabel::createVYRQLabel, VYRQLabel::getProps(), true, {"label"});
    registerControl("qtcheckbox", &VYRQCheckBox::createVYRQCheckBox, VYRQCheckBox::getProps(), true, {"checkbox"});
    registerControl("qtprogressbar", &VYRQProgressBar::createVYRQProgressBar, VYRQProgressBar::getProps(), true,
                    {"progressbar"});
    registerControl("qtradiobox", &VYRQRadioButton::createVYRQRadioButton, VYRQRadioButton::getProps(), true,
                    {"radio", "radiobox"});
    registerControl("qtslider", &VYRQSlider::createVYRQSlider, VYRQSlider::getProps(), true, {"slider"});
    registerControl("qtdedit", &VYRQLineEdit::createVYRQLineEdit, VYRQLineEdit::getProps(), true, {"dedit"});
    registerControl("qtcombobox", &VYRQComboBox::createVYRQComboBox, VYRQComboBox::getProps(), true, {"combobox"});
    registerControl("qtlcdnumber", &VYRQLCDNumber::createVYRQLCDNumber, VYRQLCDNumber::getProps(), true);
    registerControl("qtswitch", &VYRQSwitch::createVYRQSwitch, VYRQSwitch::getProps(), true, {"switch"});
    registerControl("qtscrollbar", &VYRQScrollBar::createVYRQScrollBar, VYRQScrollBar::getProps(), true, {"scrollbar"});
    registerControl("qttext", &VYRQTextEdit::createVYRQTextEdit, VYRQTextEdit::getProps(), true, {"qttext"});
    registerControl("qtpicture", &VYRQImage::createVYRQImage, VYRQImage::getProps(), true, {"picture", "image"});
    registerFactory({"qtlabelex"}, &VYRQLabelEx::createVYRQLabelEx);
    registerFactory({"qtspinbox", "spinbox", "dnumedit"}, &VYRQSpinBox::createVYRQSpinBox);
}
