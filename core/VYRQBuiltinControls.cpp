#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"

#include "VYRQCheckBox.h"
#include "VYRQCheckBox.h"
#include "VYRQContainer.h"
#include "VYRQImage.h"
#include "VYRQLabel.h"
#include "VYRQLabelEx.h"
#include "VYRQPushButton.h"
#include "VYRQRadioButton.h"
#include "VYRQScrollBar.h"
#include "VYRQSlider.h"
#include "VYRQSpacer.h"
#include "VYRQSwitch.h"

#include <QCoreApplication>

#include <initializer_list>
#include <utility>

namespace {

using CreateFunction = QWidget* (*)();

// A type key with its designer record, and the further keys (record-less keys and
// short aliases) that build the same control.
void addControl(const char* key, CreateFunction create, ControlInfo info, bool flag,
                std::initializer_list<const char*> aliases = {})
{
    vyrRegisterQtControl(key, create, std::move(info), flag);
    for (const char* alias : aliases)
        vyrRegisterDefaultControl(alias, create);
}

// Keys that build a control without a designer record.
void addFactory(std::initializer_list<const char*> keys, CreateFunction create)
{
    for (const char* key : keys)
        vyrRegisterDefaultControl(key, create);
}

} // namespace

void vyrInitQtControl()
{
    addControl("qtcontainer", &VYRQContainer::createVYRQContainer, VYRQContainer::getProps(), true, {"container"});
    addControl("qtbutton", &VYRQPushButton::createVYRQPushButton, VYRQPushButton::getProps(), true, {"button"});
    addControl("qtlabel", &VYRQLabel::createVYRQLabel, VYRQLabel::getProps(), true, {"label"});
    addControl("qtcheckbox", &VYRQCheckBox::createVYRQCheckBox, VYRQCheckBox::getProps(), true, {"checkbox"});
    addControl("qtradiobox", &VYRQRadioButton::createVYRQRadioButton, VYRQRadioButton::getProps(), true, {"radio", "radiobox"});
    addControl("qtslider", &VYRQSlider::createVYRQSlider, VYRQSlider::getProps(), true, {"slider"});
    addControl("qtspacer", &VYRQSpacer::createVYRQSpacer, VYRQSpacer::getProps(), true);
    addControl("qtswitch", &VYRQSwitch::createVYRQSwitch, VYRQSwitch::getProps(), true, {"switch"});
    addControl("qtscrollbar", &VYRQScrollBar::createVYRQScrollBar, VYRQScrollBar::getProps(), true, {"scrollbar"});
    addControl("qtpicture", &VYRQImage::createVYRQImage, VYRQImage::getProps(), true, {"picture", "image"});
    addFactory({"qtlabelex"}, &VYRQLabelEx::createVYRQLabelEx);

    // The emulator and the designer show demonstration content in their views.
    if (QCoreApplication::instance() && vyr::pathNamesEmulator(QCoreApplication::applicationFilePath()))
        vyr::setQtEmulator(true);
}
