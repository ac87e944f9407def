#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"

#include "VYRQCanvas.h"
#include "VYRQCanvasWindow.h"
#include "VYRQCheckBox.h"
#include "VYRQComboBox.h"
#include "VYRQContainer.h"
#include "VYRQGroupBox.h"
#include "VYRQImage.h"
#include "VYRQLCDNumber.h"
#include "VYRQLabel.h"
#include "VYRQLabelEx.h"
#include "VYRQLineEdit.h"
#include "VYRQProgressBar.h"
#include "VYRQPushButton.h"
#include "VYRQRadioButton.h"
#include "VYRQRibbonRegistry.h"
#include "VYRQScrollBar.h"
#include "VYRQScrollView.h"
#include "VYRQSlider.h"
#include "VYRQSpinBox.h"
#include "VYRQSpacer.h"
#include "VYRQStackContainer.h"
#include "VYRQSplitter.h"
#include "VYRQSwitch.h"
#include "VYRQTextEdit.h"
#include "VYRQTabWidget.h"

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
    addControl("Window", &VYRQCanvasWindow::createCanvas, VYRQCanvasWindow::getProps(), true);
    addControl("qtcontainer", &VYRQContainer::createVYRQContainer, VYRQContainer::getProps(), true, {"container"});
    addControl("qtbutton", &VYRQPushButton::createVYRQPushButton, VYRQPushButton::getProps(), true, {"button"});
    addControl("qtlabel", &VYRQLabel::createVYRQLabel, VYRQLabel::getProps(), true, {"label"});
    addControl("qtcheckbox", &VYRQCheckBox::createVYRQCheckBox, VYRQCheckBox::getProps(), true, {"checkbox"});
    addControl("qtprogressbar", &VYRQProgressBar::createVYRQProgressBar, VYRQProgressBar::getProps(), true, {"progressbar"});
    addControl("qtradiobox", &VYRQRadioButton::createVYRQRadioButton, VYRQRadioButton::getProps(), true, {"radio", "radiobox"});
    addControl("qtslider", &VYRQSlider::createVYRQSlider, VYRQSlider::getProps(), true, {"slider"});
    addControl("qtstackcontainer", &VYRQStackContainer::createVYRQStackContainer, VYRQStackContainer::getProps(), true, {"stackcontainer"});
    addControl("qtspacer", &VYRQSpacer::createVYRQSpacer, VYRQSpacer::getProps(), true);
    addControl("qttab", &VYRQTabWidget::createVYRQTabWidget, VYRQTabWidget::getProps(), true, {"tab"});
    addControl("qtdedit", &VYRQLineEdit::createVYRQLineEdit, VYRQLineEdit::getProps(), true, {"dedit"});
    addControl("qtcombobox", &VYRQComboBox::createVYRQComboBox, VYRQComboBox::getProps(), true, {"combobox"});
    addControl("qtgroupbox", &VYRQGroupBox::createVYRQGroupBox, VYRQGroupBox::getProps(), true, {"groupbox"});
    addControl("qtlcdnumber", &VYRQLCDNumber::createVYRQLCDNumber, VYRQLCDNumber::getProps(), true);
    addControl("qtswitch", &VYRQSwitch::createVYRQSwitch, VYRQSwitch::getProps(), true, {"switch"});
    addControl("qtscrollview", &VYRQScrollView::createVYRQScrollView, VYRQScrollView::getProps(), true, {"scrollview"});
    addControl("qtscrollbar", &VYRQScrollBar::createVYRQScrollBar, VYRQScrollBar::getProps(), true, {"scrollbar"});
    addControl("qttext", &VYRQTextEdit::createVYRQTextEdit, VYRQTextEdit::getProps(), true, {"qttext"});
    addControl("qtpicture", &VYRQImage::createVYRQImage, VYRQImage::getProps(), true, {"picture", "image"});
    addFactory({"qtsplitter", "splitter"}, &VYRQSplitter::createVYRQSplitter);
    addFactory({"qtlabelex"}, &VYRQLabelEx::createVYRQLabelEx);
    addFactory({"canvas"}, &VYRQCanvas::createVYRQCanvas);
    addFactory({"qtspinbox", "spinbox", "dnumedit"}, &VYRQSpinBox::createVYRQSpinBox);
    vyrRegisterRibbonControls();

    // The emulator and the designer show demonstration content in their views.
    if (QCoreApplication::instance() && vyr::pathNamesEmulator(QCoreApplication::applicationFilePath()))
        vyr::setQtEmulator(true);
}
