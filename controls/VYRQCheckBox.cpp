#include "VYRQCheckBox.h"
#include "VYRQCheckBoxImpl_p.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"

#include <QPainter>

#include <json/value.h>

const QString VYRQCheckBoxImpl::defaultUncheckIcon = QStringLiteral("IDB_UNCHECK");
const QString VYRQCheckBoxImpl::defaultCheckedIcon = QStringLiteral("IDB_CHECKED");

VYRQCheckBoxImpl::VYRQCheckBoxImpl(VYRQCheckBox* owner)
    : VYRQToggleImpl(owner, VYRQCheckBox::typeName())
    , q(owner)
{
    uncheckIcon = defaultUncheckIcon;
    uncheckHotIcon = defaultUncheckIcon;
    checkedIcon = defaultCheckedIcon;
    checkedHotIcon = defaultCheckedIcon;
}

VYRQCheckBoxImpl::~VYRQCheckBoxImpl() = default;

// ---------------------------------------------------------------------------
// Painting

int VYRQCheckBoxImpl::textStart() const
{
    if (!showIcon || iconStyle.hor != DockNear || uncheckIcon.isEmpty())
        return 0;
    const QSize size = getImageSize(uncheckIcon, false);
    return size.isValid() ? iconStyle.x + size.width() : 0;
}

const QString& VYRQCheckBoxImpl::iconFor(CtrlState state, bool checked) const
{
    static const QString none;
    switch (state) {
    case Normal:
    case Pressed:
        return checked ? checkedIcon : uncheckIcon;
    case Hot:
        return checked ? checkedHotIcon : uncheckHotIcon;
    case Disable:
        return checked ? disableCheckedIcon : disableUncheckIcon;
    default:
        return none;
    }
}

void VYRQCheckBoxImpl::drawControl(QPainter* painter, const QRect& rect)
{
    const bool checked = q->isChecked();
    const CtrlState state = ctrlState();

    drawFillStyle(painter, checked ? checkedBackgrounds.get(state) : uncheckedBackgrounds.get(state), rect);

    if (showText) {
        const int x = textStart();
        const TextStyleDesc& style = !q->isEnabled() ? disabledText : checked ? checkedText : uncheckedText;
        drawText(painter, q->text(), style, rect.left() + x, rect.top(), rect.width() - x, rect.height(), true);
    }

    // Drawn last: an icon away from the near edge lies over the text.
    if (showIcon)
        drawImage(painter, iconFor(state, checked), iconStyle, rect, false);
}

// ---------------------------------------------------------------------------
// Language and JSON


vyr::StyleSlots VYRQCheckBoxImpl::styleSlots()
{
    return {{0, uncheckedBackgrounds}, {4, checkedBackgrounds},
            {8, uncheckedText}, {9, checkedText}, {10, disabledText}};
}

void VYRQCheckBoxImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    readOwnAttr(*attr, "iconHor", iconStyle.hor);
    readOwnAttr(*attr, "iconVer", iconStyle.ver);
    readOwnAttr(*attr, "iconX", iconStyle.x);
    readOwnAttr(*attr, "iconY", iconStyle.y);
    readOwnAttr(*attr, "showIcon", showIcon);
    readOwnAttr(*attr, "showText", showText);

    QString text;
    if (readOwnAttr(*attr, "text", text)) {
        q->setText(textKey.read(text));
    } else if (!isApplyingTheme()) {
        // A theme element without a text leaves the application's text alone; a page
        // element without one means an empty box label.
        q->setText(textKey.read(QString()));
    }

    readOwnAttr(*attr, "iconPath", uncheckIcon);
    readOwnAttr(*attr, "hotIconPath", uncheckHotIcon);
    if (uncheckHotIcon == defaultUncheckIcon)
        uncheckHotIcon = uncheckIcon;
    readOwnAttr(*attr, "siconPath", checkedIcon);
    readOwnAttr(*attr, "sHotIconPath", checkedHotIcon);
    if (checkedHotIcon == defaultCheckedIcon)
        checkedHotIcon = checkedIcon;
    readOwnAttr(*attr, "disableIconPath", disableUncheckIcon);
    readOwnAttr(*attr, "disableSIconPath", disableCheckedIcon);
}

void VYRQCheckBoxImpl::writeJson(Json::Value& element)
{
    Json::Value& attr = element["attr"];
    if (!attr.isObject())
        attr = Json::Value(Json::objectValue);
    // Every alignment is written: a reader keeps its own default for a missing key,
    // and the centre would otherwise come back as the near edge.
    attr["iconHor"] = iconStyle.hor;
    if (iconStyle.ver != DockCenter)
        attr["iconVer"] = iconStyle.ver;
    if (iconStyle.x != 0)
        attr["iconX"] = iconStyle.x;
    if (iconStyle.y != 0)
        attr["iconY"] = iconStyle.y;
    if (!showIcon)
        attr["showIcon"] = 0;
    if (!showText)
        attr["showText"] = 0;
    const QString text = q->text();
    vyr::json::writeUnlessEmpty(attr, "text", text);

    // Names with a built-in default are written even when emptied, so that a box
    // saved without icons does not come back with the default ones.
    enum class Default { Builtin, None };
    auto putIcon = [&attr](const char* key, const QString& name, Default given) {
        if (!name.isEmpty() || given == Default::Builtin)
            attr[key] = vyr::json::toUtf8(name);
    };
    putIcon("iconPath", uncheckIcon, Default::Builtin);
    putIcon("hotIconPath", uncheckHotIcon, Default::Builtin);
    putIcon("siconPath", checkedIcon, Default::Builtin);
    putIcon("sHotIconPath", checkedHotIcon, Default::Builtin);
    putIcon("disableIconPath", disableUncheckIcon, Default::None);
    putIcon("disableSIconPath", disableCheckedIcon, Default::None);
}

// ---------------------------------------------------------------------------
// VYRQCheckBox

VYRQCheckBox::VYRQCheckBox(QWidget* parent)
    : VYRQControl(parent)
    , VYRQToggleStyle(impl())
{
    finishConstruction();
}

VYRQCheckBox::~VYRQCheckBox() = default;

VYRQCheckBoxImpl* VYRQCheckBox::getImpl() const
{
    return impl();
}

void VYRQCheckBox::setCheckedBackground(CtrlState state, const FillStyle& style)
{
    impl()->checkedBackgrounds.set(state, style);
}

const FillStyle& VYRQCheckBox::getCheckedBackground(CtrlState state) const
{
    return impl()->checkedBackgrounds.get(state);
}

const TextStyleDesc& VYRQCheckBox::getTextStyleByState(CheckBoxTextState state) const
{
    if (state == TextUnchecked)
        return impl()->uncheckedText;
    if (state == TextDisable)
        return impl()->disabledText;
    return impl()->checkedText;
}

void VYRQCheckBox::setDisableTextStyle(const TextStyleDesc& style)
{
    impl()->disabledText = style;
}

const TextStyleDesc& VYRQCheckBox::getDisableTextStyle() const
{
    return impl()->disabledText;
}

void VYRQCheckBox::setUncheckIcon(const QString& name)
{
    impl()->uncheckIcon = name;
    if (impl()->uncheckHotIcon == VYRQCheckBoxImpl::defaultUncheckIcon)
        impl()->uncheckHotIcon = name;
}

QString VYRQCheckBox::getUncheckIcon() const
{
    return impl()->uncheckIcon;
}

void VYRQCheckBox::setUncheckHotIcon(const QString& name)
{
    impl()->uncheckHotIcon = name;
}

QString VYRQCheckBox::getUncheckHotIcon() const
{
    return impl()->uncheckHotIcon;
}

void VYRQCheckBox::setCheckedIcon(const QString& name)
{
    impl()->checkedIcon = name;
    if (impl()->checkedHotIcon == VYRQCheckBoxImpl::defaultCheckedIcon)
        impl()->checkedHotIcon = name;
}

QString VYRQCheckBox::getCheckedIcon() const
{
    return impl()->checkedIcon;
}

void VYRQCheckBox::setCheckedHotIcon(const QString& name)
{
    impl()->checkedHotIcon = name;
}

QString VYRQCheckBox::getCheckedHotIcon() const
{
    return impl()->checkedHotIcon;
}

void VYRQCheckBox::setDisableCheckIcon(const QString& name)
{
    impl()->disableCheckedIcon = name;
}

QString VYRQCheckBox::getDisableCheckIcon() const
{
    return impl()->disableCheckedIcon;
}

void VYRQCheckBox::setDisableUncheckIcon(const QString& name)
{
    impl()->disableUncheckIcon = name;
}

QString VYRQCheckBox::getDisableUncheckIcon() const
{
    return impl()->disableUncheckIcon;
}

void VYRQCheckBox::setShowIcon(bool on)
{
    impl()->showIcon = on;
}

bool VYRQCheckBox::getShowIcon() const
{
    return impl()->showIcon;
}

// Qt's button handling comes first, so the toggle has happened when the state repaints.
void VYRQCheckBox::mousePressEvent(QMouseEvent* event)
{
    QAbstractButton::mousePressEvent(event);
    impl()->mousePressEvent(event);
}

void VYRQCheckBox::mouseReleaseEvent(QMouseEvent* event)
{
    QAbstractButton::mouseReleaseEvent(event);
    impl()->mouseReleaseEvent(event);
}

void VYRQCheckBox::mouseMoveEvent(QMouseEvent* event)
{
    QCheckBox::mouseMoveEvent(event);
    impl()->mouseMoveEvent(event);
}

// ---------------------------------------------------------------------------
// Designer record

ControlInfo VYRQCheckBox::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQCheckBox>("Checkbox", "Control CheckBox", "checkbox");
    info.rows.push_back(
        vyr::fillStatesRow<VYRQCheckBox>("UncheckBg", &VYRQCheckBox::setBackground, &VYRQCheckBox::getBackground));
    info.rows.push_back(vyr::fillStatesRow("CheckedBg", &VYRQCheckBox::setCheckedBackground,
                                           &VYRQCheckBox::getCheckedBackground));
    info.rows.push_back(vyr::textStatesRow("TextStyle", &VYRQCheckBox::setTextStyleByState,
                                           &VYRQCheckBox::getTextStyleByState, vyr::checkTextStates()));
    info.rows.push_back(vyr::separatorRow());
    info.rows.push_back(vyr::boolRow("ShowIcon", &VYRQCheckBox::setShowIcon, &VYRQCheckBox::getShowIcon));
    info.rows.push_back(vyr::iconRow("UncheckIcon", &VYRQCheckBox::setUncheckIcon, &VYRQCheckBox::getUncheckIcon));
    info.rows.push_back(
        vyr::iconRow("UncheckHotIcon", &VYRQCheckBox::setUncheckHotIcon, &VYRQCheckBox::getUncheckHotIcon));
    info.rows.push_back(vyr::iconRow("CheckedIcon", &VYRQCheckBox::setCheckedIcon, &VYRQCheckBox::getCheckedIcon));
    info.rows.push_back(
        vyr::iconRow("CheckedHotIcon", &VYRQCheckBox::setCheckedHotIcon, &VYRQCheckBox::getCheckedHotIcon));
    info.rows.push_back(vyr::enumRow<VYRQCheckBox>("HorAlign", &VYRQCheckBox::setIconHorAlign,
                                                   &VYRQCheckBox::getIconHorAlign, vyr::dockAlignments()));
    info.rows.push_back(vyr::enumRow<VYRQCheckBox>("VerAlign", &VYRQCheckBox::setIconVerAlign,
                                                   &VYRQCheckBox::getIconVerAlign, vyr::dockAlignments()));
    info.rows.push_back(
        vyr::intRow<VYRQCheckBox>("OffsetX", &VYRQCheckBox::setIconOffsetX, &VYRQCheckBox::getIconOffsetX));
    info.rows.push_back(
        vyr::intRow<VYRQCheckBox>("OffsetY", &VYRQCheckBox::setIconOffsetY, &VYRQCheckBox::getIconOffsetY));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQCheckBox.cpp"
#include "moc_VYRQCheckBoxImpl_p.cpp"
