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
    registerControl<VYRQPushButton>({"button"});
    registerControl<VYRQLabel>({"label"});
    registerControl<VYRQCheckBox>({"checkbox"});
    registerControl<VYRQProgressBar>({"progressbar"});
    registerControl<VYRQRadioButton>({"radio", "radiobox"});
    registerControl<VYRQSlider>({"slider"});
    registerControl<VYRQLineEdit>({"dedit"});
    registerControl<VYRQComboBox>({"combobox"});
    registerControl<VYRQLCDNumber>();
    registerControl<VYRQSwitch>({"switch"});
    registerControl<VYRQScrollBar>({"scrollbar"});
    registerControl<VYRQTextEdit>({"qttext"});
    registerControl<VYRQImage>({"picture", "image"});
    registerFactory<VYRQLabelEx>();
    registerFactory<VYRQSpinBox>({"spinbox", "dnumedit"});
}
