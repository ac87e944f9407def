#include "VYRQRadioButton.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQResourceManager.h"
#include "VYRQToggleImpl_p.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <json/value.h>

class VYRQRadioButtonImpl : public VYRQToggleImpl {
public:
    explicit VYRQRadioButtonImpl(VYRQRadioButton* owner);

    void drawControl(QPainter* painter, const QRect& rect) override;

    // The largest size of the icon's aspect that fits the full width and half the height.
    static QSize fitIcon(const QSize& natural, const QRect& rect);
    // The icon drawn in a state: a missing hot icon falls back to the plain one, and a
    // disabled button without a disabled icon shows its plain icon greyed.
    const QString& iconFor(CtrlState state, bool checked, bool* gray) const;
    QRect textRect(const QRect& rect, CtrlState state, bool checked) const;
    void drawFittedIcon(QPainter* painter, const QString& name, const QRect& rect, bool gray) const;

    QString disableIcon;
    bool pushlike = false;

private:
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQRadioButton* q;
};

VYRQRadioButtonImpl::VYRQRadioButtonImpl(VYRQRadioButton* owner)
    : VYRQToggleImpl(owner, VYRQRadioButton::typeName())
    , q(owner)
{
    iconStyle.x = 10;
}

// ---------------------------------------------------------------------------
// Painting

QSize VYRQRadioButtonImpl::fitIcon(const QSize& natural, const QRect& rect)
{
    if (!natural.isValid() || natural.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return QSize();
    return natural.scaled(qMax(rect.width(), 1), qMax(rect.height() / 2, 1), Qt::KeepAspectRatio);
}

const QString& VYRQRadioButtonImpl::iconFor(CtrlState state, bool checked, bool* gray) const
{
    const bool disabled = state == Disable;
    if (gray)
        *gray = false;
    if (disabled && !disableIcon.isEmpty())
        return disableIcon;
    if (gray)
        *gray = disabled;
    const QString& hot = checked ? checkedHotIcon : uncheckHotIcon;
    if (state == Hot && !hot.isEmpty())
        return hot;
    return checked ? checkedIcon : uncheckIcon;
}

// The text keeps clear of the icon that the state shows, whether or not icons are
// drawn, so hiding the icons leaves the text where it was.
QRect VYRQRadioButtonImpl::textRect(const QRect& rect, CtrlState state, bool checked) const
{
    const QSize fitted = fitIcon(getImageSize(iconFor(state, checked, nullptr), false), rect);
    QRect box = rect;
    if (fitted.isValid())
        box.setLeft(rect.left() + fitted.width() + 2);
    return box;
}

void VYRQRadioButtonImpl::drawFittedIcon(QPainter* painter, const QString& name, const QRect& rect, bool gray) const
{
    if (name.isEmpty())
        return;
    const QSize natural = getImageSize(name, gray);
    const QSize fitted = fitIcon(natural, rect);
    if (!fitted.isValid())
        return;
    if (fitted == natural) {
        drawImage(painter, name, iconStyle, rect, gray);
        return;
    }

    const QRect target(alignedStart(iconStyle.hor, rect.left(), rect.width(), fitted.width()) + iconStyle.x,
                       alignedStart(iconStyle.ver, rect.top(), rect.height(), fitted.height()) + iconStyle.y,
                       fitted.width(), fitted.height());
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    if (isSvgName(name)) {
        drawSvg(painter, rm->getSvgRenderer(name), name, target, gray ? SvgLook::Grey : SvgLook::Plain);
        return;
    }
    const QImage* image = rm->getImageToDraw(name, gray);
    if (!image || !isImageValid(*image))
        return;
    painter->drawImage(target, *image);
}

void VYRQRadioButtonImpl::drawControl(QPainter* painter, const QRect& rect)
{
    const bool checked = q->isChecked();
    const CtrlState state = ctrlState();
    // The icon follows the enabled flag itself, also when drawn outside a paint event.
    const CtrlState iconState = q->isEnabled() ? state : Disable;
    const QRect text = textRect(rect, iconState, checked);

    drawFillStyle(painter, checked ? checkedBackgrounds.get(state) : uncheckedBackgrounds.get(state), rect);

    if (showIcon) {
        bool gray = false;
        const QString& name = iconFor(iconState, checked, &gray);
        drawFittedIcon(painter, name, rect, gray);
    }

    if (showText) {
        const TextStyleDesc& style = state == Disable ? disabledText : checked ? checkedText : uncheckedText;
        drawText(painter, q->text(), style, text.x(), text.y(), text.width(), text.height(), true);
    }
}

// ---------------------------------------------------------------------------
// Language and JSON


vyr::StyleSlots VYRQRadioButtonImpl::styleSlots()
{
    // Slot 8 dresses the checked text too and slot 9 the disabled one, so that a
    // theme naming fewer styles still gives every state a look.
    using R = vyr::StyleSlot::Reach;
    return {{0, uncheckedBackgrounds}, {4, checkedBackgrounds},
            {8, uncheckedText}, {8, checkedText, R::ReadOnly},
            {9, checkedText}, {9, disabledText, R::ReadOnly},
            {10, disabledText}};
}

void VYRQRadioButtonImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    // Icons and the text belong to the page, never to the theme; they stay the
    // button's own keys all the same.
    const bool themeDefaults = isApplyingTheme();
    if (themeDefaults) {
        for (const char* key : {"iconPath", "hotIconPath", "siconPath", "sHotIconPath", "text"})
            claimAttrKey(key);
    }
    readOwnAttr(*attr, "pushlike", pushlike);
    readOwnAttr(*attr, "showIcon", showIcon);
    readOwnAttr(*attr, "showText", showText);
    if (!themeDefaults) {
        readOwnAttr(*attr, "iconPath", uncheckIcon);
        readOwnAttr(*attr, "hotIconPath", uncheckHotIcon);
        readOwnAttr(*attr, "siconPath", checkedIcon);
        readOwnAttr(*attr, "sHotIconPath", checkedHotIcon);
    }
    int align = 0;
    if (readOwnAttr(*attr, "iconHor", align) && align != -1)
        iconStyle.hor = align;
    if (readOwnAttr(*attr, "iconVer", align) && align != -1)
        iconStyle.ver = align;
    if (!themeDefaults) {
        QString text;
        readOwnAttr(*attr, "text", text);
        q->setText(textKey.read(text));
    }
    readOwnAttr(*attr, "iconX", iconStyle.x);
    readOwnAttr(*attr, "iconY", iconStyle.y);
}

void VYRQRadioButtonImpl::writeJson(Json::Value& element)
{
    Json::Value& attr = element["attr"];
    if (!attr.isObject())
        attr = Json::Value(Json::objectValue);
    if (pushlike)
        attr["pushlike"] = 1;
    if (!showIcon)
        attr["showIcon"] = 0;
    if (!showText)
        attr["showText"] = 0;
    vyr::json::writeUnlessEmpty(attr, "iconPath", uncheckIcon);
    vyr::json::writeUnlessEmpty(attr, "hotIconPath", uncheckHotIcon);
    vyr::json::writeUnlessEmpty(attr, "siconPath", checkedIcon);
    vyr::json::writeUnlessEmpty(attr, "sHotIconPath", checkedHotIcon);
    if (iconStyle.hor != DockNear)
        attr["iconHor"] = iconStyle.hor;
    if (iconStyle.ver != DockCenter)
        attr["iconVer"] = iconStyle.ver;
    vyr::json::writeUnlessEmpty(attr, "text", q->text());
    // Always written: a reader keeps its default of 10 for a missing key, so an
    // offset of 0 would otherwise come back as 10.
    attr["iconX"] = iconStyle.x;
    if (iconStyle.y != 0)
        attr["iconY"] = iconStyle.y;
}

// ---------------------------------------------------------------------------
// VYRQRadioButton

VYRQRadioButton::VYRQRadioButton(QWidget* parent)
    : VYRQControl(parent)
    , VYRQToggleStyle(impl())
{
    finishConstruction();
}

VYRQRadioButton::~VYRQRadioButton() = default;

void VYRQRadioButton::setSelectedBackground(CtrlState state, const FillStyle& style)
{
    impl()->checkedBackgrounds.set(state, style);
}

const FillStyle& VYRQRadioButton::getSelectedBackground(CtrlState state) const
{
    return impl()->checkedBackgrounds.get(state);
}

const TextStyleDesc& VYRQRadioButton::getTextStyleByState(CheckBoxTextState state) const
{
    if (state == TextChecked)
        return impl()->checkedText;
    if (state == TextDisable)
        return impl()->disabledText;
    return impl()->uncheckedText;
}

void VYRQRadioButton::setIcon(const QString& name)
{
    setIcon(RadioAllIcons, name);
}

void VYRQRadioButton::setIcon(RadioIconState state, const QString& name)
{
    switch (state) {
    case RadioSelected:
        impl()->checkedIcon = name;
        break;
    case RadioSelectedHot:
        impl()->checkedHotIcon = name;
        break;
    case RadioUnselected:
        impl()->uncheckIcon = name;
        break;
    case RadioUnselectedHot:
        impl()->uncheckHotIcon = name;
        break;
    case RadioAllIcons:
        impl()->checkedIcon = name;
        impl()->checkedHotIcon = name;
        impl()->uncheckIcon = name;
        impl()->uncheckHotIcon = name;
        break;
    }
}

bool VYRQRadioButton::setUncheckIcon(const QString& name)
{
    impl()->uncheckIcon = name;
    return true;
}

bool VYRQRadioButton::setUncheckHotIcon(const QString& name)
{
    impl()->uncheckHotIcon = name;
    return true;
}

bool VYRQRadioButton::setCheckedIcon(const QString& name)
{
    impl()->checkedIcon = name;
    return true;
}

bool VYRQRadioButton::setCheckedHotIcon(const QString& name)
{
    impl()->checkedHotIcon = name;
    return true;
}

bool VYRQRadioButton::setDisableIcon(const QString& name)
{
    impl()->disableIcon = name;
    return true;
}

const QString& VYRQRadioButton::getUncheckIcon() const
{
    return impl()->uncheckIcon;
}

const QString& VYRQRadioButton::getUncheckHotIcon() const
{
    return impl()->uncheckHotIcon;
}

const QString& VYRQRadioButton::getCheckedIcon() const
{
    return impl()->checkedIcon;
}

const QString& VYRQRadioButton::getCheckedHotIcon() const
{
    return impl()->checkedHotIcon;
}

const QString& VYRQRadioButton::getDisableIcon() const
{
    return impl()->disableIcon;
}

void VYRQRadioButton::setPushlike(bool on)
{
    if (impl()->pushlike == on)
        return;
    impl()->pushlike = on;
    update();
}

bool VYRQRadioButton::getPushlike() const
{
    return impl()->pushlike;
}

void VYRQRadioButton::setShowIcon(bool on)
{
    if (impl()->showIcon == on)
        return;
    impl()->showIcon = on;
    update();
}

bool VYRQRadioButton::getShowIcon() const
{
    return impl()->showIcon;
}

bool VYRQRadioButton::hitButton(const QPoint&) const
{
    return true;
}

void VYRQRadioButton::mousePressEvent(QMouseEvent* event)
{
    impl()->mousePressEvent(event);
    QAbstractButton::mousePressEvent(event);
    emit pressedEvent();
}

void VYRQRadioButton::mouseReleaseEvent(QMouseEvent* event)
{
    impl()->mouseReleaseEvent(event);
    QAbstractButton::mouseReleaseEvent(event);
}

void VYRQRadioButton::mouseMoveEvent(QMouseEvent* event)
{
    QRadioButton::mouseMoveEvent(event);
    impl()->mouseMoveEvent(event);
}

// ---------------------------------------------------------------------------
// Designer record

ControlInfo VYRQRadioButton::getProps()
{
    ControlInfo info =
        vyr::makeControlInfo<VYRQRadioButton>("RadioButton", "Control RadioButton", "radio");
    info.rows.push_back(vyr::fillStatesRow<VYRQRadioButton>("UnselectedBg", &VYRQRadioButton::setBackground,
                                                            &VYRQRadioButton::getBackground));
    info.rows.push_back(vyr::fillStatesRow("SelectedBg", &VYRQRadioButton::setSelectedBackground,
                                           &VYRQRadioButton::getSelectedBackground));
    info.rows.push_back(vyr::textStatesRow("TextStyle", &VYRQRadioButton::setTextStyleByState,
                                           &VYRQRadioButton::getTextStyleByState, vyr::checkTextStates()));
    info.rows.push_back(vyr::separatorRow());
    info.rows.push_back(vyr::boolRow("PushLike", &VYRQRadioButton::setPushlike, &VYRQRadioButton::getPushlike));
    info.rows.push_back(vyr::boolRow("ShowIcon", &VYRQRadioButton::setShowIcon, &VYRQRadioButton::getShowIcon));
    info.rows.push_back(
        vyr::boolRow<VYRQRadioButton>("ShowText", &VYRQRadioButton::setShowText, &VYRQRadioButton::getShowText));
    info.rows.push_back(
        vyr::iconRow("UncheckIcon", &VYRQRadioButton::setUncheckIcon, &VYRQRadioButton::getUncheckIcon));
    info.rows.push_back(
        vyr::iconRow("UncheckHotIcon", &VYRQRadioButton::setUncheckHotIcon, &VYRQRadioButton::getUncheckHotIcon));
    info.rows.push_back(
        vyr::iconRow("CheckedIcon", &VYRQRadioButton::setCheckedIcon, &VYRQRadioButton::getCheckedIcon));
    info.rows.push_back(
        vyr::iconRow("CheckedHotIcon", &VYRQRadioButton::setCheckedHotIcon, &VYRQRadioButton::getCheckedHotIcon));
    info.rows.push_back(vyr::enumRow<VYRQRadioButton>("HorAlign", &VYRQRadioButton::setIconHorAlign,
                                                      &VYRQRadioButton::getIconHorAlign, vyr::dockAlignments()));
    info.rows.push_back(vyr::enumRow<VYRQRadioButton>("VerAlign", &VYRQRadioButton::setIconVerAlign,
                                                      &VYRQRadioButton::getIconVerAlign, vyr::dockAlignments()));
    info.rows.push_back(vyr::intRow<VYRQRadioButton>("OffsetX", &VYRQRadioButton::setIconOffsetX,
                                                     &VYRQRadioButton::getIconOffsetX));
    info.rows.push_back(vyr::intRow<VYRQRadioButton>("OffsetY", &VYRQRadioButton::setIconOffsetY,
                                                     &VYRQRadioButton::getIconOffsetY));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQRadioButton.cpp"
