#include "VYRQPushButton.h"
#include "VYRQPushButtonImpl_p.h"
#include "VYRQSaturate_p.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQReadSizeGuard_p.h"
#include "VYRQResourceManager.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <string>
#include <utility>
#include <vector>

#include <json/value.h>

namespace {
QColor blend(const QColor& from, const QColor& to, double weight)
{
    auto mix = [weight](qreal a, qreal b) { return a + (b - a) * weight; };
    return QColor::fromRgbF(mix(from.redF(), to.redF()), mix(from.greenF(), to.greenF()),
                            mix(from.blueF(), to.blueF()), mix(from.alphaF(), to.alphaF()));
}

FillStyle defaultBackground(const QColor& fill)
{
    FillStyle style;
    style.fill.color = fill;
    style.fill.borderColor = QColor(204, 204, 204);
    return style;
}
} // namespace

VYRQPushButtonImpl::VYRQPushButtonImpl(VYRQPushButton* owner)
    : VYRQWidgetBaseImpl(owner, VYRQPushButton::typeName())
    , q(owner)
{
    const VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    fadeEnabled = rm->getButtonFadeEnabled();
    fadeDuration = rm->getButtonFadeDuration();
    if (fadeDuration < 1)
        fadeDuration = 150;

    // Every button starts from the same records.
    static const vyr::FillStates defaultBackgrounds = [] {
        vyr::FillStates states;
        states.set(Normal, defaultBackground(QColor(245, 245, 245)));
        states.set(Hot, defaultBackground(QColor(237, 251, 255)));
        states.set(Pressed, defaultBackground(QColor(245, 245, 245)));
        return states;
    }();
    static const vyr::TextStates defaultTextStyles = [] {
        TextStyleDesc text;
        text.hor = 1;
        vyr::TextStates states;
        states.set(AllStates, text);
        return states;
    }();
    backgrounds = defaultBackgrounds;
    textStyles = defaultTextStyles;
}

VYRQPushButtonImpl::~VYRQPushButtonImpl()
{
    if (fadeTimer)
        fadeTimer->stop();
}

// Made on the first fade: most buttons of a page never fade.
QTimer* VYRQPushButtonImpl::timer()
{
    if (!fadeTimer) {
        fadeTimer = new QTimer(this);
        connect(fadeTimer, &QTimer::timeout, this, &VYRQPushButtonImpl::fadeTick);
    }
    return fadeTimer;
}

bool VYRQPushButtonImpl::isFadeRunning() const
{
    return fadeTimer && fadeTimer->isActive();
}

void VYRQPushButtonImpl::setFadeEnabled(bool on)
{
    fadeEnabled = on;
    if (!on) {
        if (fadeTimer)
            fadeTimer->stop();
        fadeProgress = 1.0;
    }
}

void VYRQPushButtonImpl::setFadeDuration(int ms)
{
    fadeDuration = ms < 1 ? 150 : ms;
}

// ---------------------------------------------------------------------------
// Icons

void VYRQPushButtonImpl::placeIconBesideText(const QSize& iconSize)
{
    const QString text = q->text();
    if (showText && !text.isEmpty()) {
        const int textWidth = getTextSize(textStyles.get(Normal), text).width();
        iconStyle.x = -(iconSize.width() + textWidth / 2);
        textOffsetX = iconSize.width() / 2;
    } else {
        iconStyle.x = 0;
        iconStyle.y = 0;
        textOffsetX = 0;
        textOffsetY = 0;
    }
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQPushButtonImpl::setIconPath(const QString& path)
{
    useIcon = true;
    q->update();
    if (!path.isEmpty() && path.startsWith(QLatin1Char(':')) && !isSvgName(path)) {
        setIcon(QIcon(path));
        return;
    }
    icon = QIcon();
    if (isSvgName(path)) {
        const QSize size = getImageSize(path, false);
        if (size.isValid())
            placeIconBesideText(size);
    }
    if (path != iconPath) {
        iconPath = path;
        q->update();
    }
}

void VYRQPushButtonImpl::setIcon(const QIcon& newIcon)
{
    useIcon = true;
    placeIconBesideText(q->iconSize());
    icon = newIcon;
    q->update();
}

// ---------------------------------------------------------------------------
// Painting

QRect VYRQPushButtonImpl::textRect(const QRect& rect) const
{
    return vyr::safeRect(qint64(rect.left()) + textOffsetX, qint64(rect.top()) + textOffsetY,
                         qint64(q->width()) - textOffsetX, qint64(q->height()) - textOffsetY);
}

void VYRQPushButtonImpl::drawStateLayers(QPainter* painter, const QRect& rect, CtrlState state, double progress)
{
    const QRect box = textRect(rect);
    const bool towardHot = fadeTo == Hot;
    const bool blending = fadeEnabled && fadeFrom != fadeTo && (towardHot || fadeTo == Normal) && progress > 0.0
        && progress < 1.0;
    if (blending) {
        const CtrlState from = towardHot ? Normal : Hot;
        const CtrlState to = towardHot ? Hot : Normal;
        const double weight = towardHot ? progress : 1.0 - progress;
        if (drawBackground) {
            FillStyle background = backgrounds.get(from);
            const FillStyle& target = backgrounds.get(to);
            background.fill.color = blend(background.fill.color, target.fill.color, weight);
            background.fill.borderColor = blend(background.fill.borderColor, target.fill.borderColor, weight);
            drawFillStyle(painter, background, rect);
        }
        if (showText) {
            TextStyleDesc text = textStyles.get(from);
            text.color = blend(text.color, textStyles.get(to).color, weight);
            drawText(painter, q->text(), text, box.x(), box.y(), box.width(), box.height(), true);
        }
        return;
    }
    if (drawBackground)
        drawFillStyle(painter, backgrounds.get(state), rect);
    if (showText)
        drawText(painter, q->text(), textStyles.get(state), box.x(), box.y(), box.width(), box.height(), true);
}

void VYRQPushButtonImpl::drawControl(QPainter* painter, const QRect& rect)
{
    const CtrlState state = ctrlState();
    const int width = q->width();
    const int height = q->height();

    if (!isExtBtn || !extHot) {
        const double progress = (fadeEnabled && state == Hot) ? fadeProgress : 1.0;
        drawStateLayers(painter, rect, state, progress);
    } else {
        // Only the extension part shows the state's background.
        if (drawBackground) {
            drawFillStyle(painter, backgrounds.get(state), rect);
            painter->save();
            painter->setClipRect(vyr::safeRect(0, 0, qint64(width) - extWidth, height));
            drawFillStyle(painter, backgrounds.get(Normal), rect);
            painter->restore();
        }
        if (showText) {
            const QRect box = textRect(rect);
            drawText(painter, q->text(), textStyles.get(Normal), box.x(), box.y(), box.width(), box.height(), true);
        }
    }

    if (useIcon) {
        if (icon.isNull()) {
            QString name = iconPath;
            if (state == Hot && !hotIconPath.isEmpty())
                name = hotIconPath;
            else if (state == Pressed && !pressedIconPath.isEmpty())
                name = pressedIconPath;
            if (!name.isEmpty()) {
                // A tinted icon would stay bright beside greyed text: disabled, it takes
                // the disabled text's colour.
                IconStyleDesc look = iconStyle;
                if (look.useColor && !q->isEnabled())
                    look.color = textStyles.get(Disable).color;
                drawImage(painter, name, look, rect.left(), rect.top(), width, height, !q->isEnabled());
            }
        } else {
            drawIcon(painter, icon, q->iconSize(), iconStyle, rect);
        }
    }

    if (isExtBtn) {
        const QString& name = (state == Hot && !extHotIconPath.isEmpty()) ? extHotIconPath : extIconPath;
        if (!name.isEmpty())
            drawImage(painter, name, IconStyleDesc(), vyr::subSat(width, extWidth), rect.top(), extWidth, height, false);
    }
}

// ---------------------------------------------------------------------------
// Hover fade

void VYRQPushButtonImpl::enterEvent(QEvent* event)
{
    if (!fadeEnabled || !q->isEnabled()) {
        VYRQWidgetBaseImpl::enterEvent(event);
        return;
    }
    fadeFrom = ctrlState();
    fadeTo = Hot;
    fadeProgress = 0.0;
    setHovered(true);
    setCtrlState(Hot);
    timer()->start(fadeInterval);
}

void VYRQPushButtonImpl::leaveEvent(QEvent* event)
{
    if (!fadeEnabled) {
        VYRQWidgetBaseImpl::leaveEvent(event);
        return;
    }
    setHovered(false);
    fadeFrom = Hot;
    fadeProgress = 1.0;
    if (q->isEnabled()) {
        fadeTo = Normal;
        setCtrlState(Hot);
    } else {
        fadeTo = Disable;
        setCtrlState(Disable);
    }
    timer()->start(fadeInterval);
}

// Only fades between Normal and Hot advance; any other target, or a fade that has
// nowhere to go, ends at once on the plain look of the state.
void VYRQPushButtonImpl::fadeTick()
{
    if (fadeTo == fadeFrom || (fadeTo != Hot && fadeTo != Normal)) {
        fadeTimer->stop();
        q->update();
        return;
    }
    const double step = double(fadeTimer->interval()) / double(fadeDuration);
    if (fadeTo == Hot) {
        fadeProgress += step;
        if (fadeProgress >= 1.0) {
            fadeProgress = 1.0;
            fadeTimer->stop();
            fadeFrom = Hot;
        }
    } else {
        fadeProgress -= step;
        if (fadeProgress <= 0.0) {
            fadeProgress = 0.0;
            fadeTimer->stop();
            fadeFrom = Normal;
            setCtrlState(Normal);
        }
    }
    q->update();
}

void VYRQPushButtonImpl::mouseMoveEvent(QMouseEvent* event)
{
    if (!isExtBtn)
        return;
    const bool hot = event->x() > qint64(q->width()) - extWidth;
    if (hot == extHot)
        return;
    extHot = hot;
    q->update();
}

// ---------------------------------------------------------------------------
// Language and JSON

void VYRQPushButtonImpl::notifyChangeLanguage()
{
    if (textKey.isSet())
        q->QAbstractButton::setText(textKey.translation());
}

void VYRQPushButtonImpl::readText(const QString& value)
{
    QString text = textKey.read(value);
    // A translation may itself name a key; that one is followed once, not kept.
    if (TextKey::namesKey(text))
        text = TextKey::translate(text);
    q->QAbstractButton::setText(text);
}

// While theme defaults apply, "text" and "iconPath" are not read; they are still
// the button's own keys, never kept in the common store.
void VYRQPushButtonImpl::readAttr(const Json::Value& attr)
{
    const bool themeDefaults = isApplyingTheme();
    bool on = false;
    int n = 0;
    bool extRead = false, fadeRead = false, durationRead = false;
    readOwnAttrs(attr, {{"hasIcon", useIcon}, {"isExtBtn", isExtBtn, &extRead}, {"extWidth", extWidth},
                        {"extIconPath", extIconPath}, {"extHotIconPath", extHotIconPath},
                        {"hotIconPath", hotIconPath}, {"showText", showText}, {"drawBackground", drawBackground},
                        {"fadeEnabled", on, &fadeRead}, {"fadeDuration", n, &durationRead},
                        {"iconHor", iconStyle.hor}, {"iconVer", iconStyle.ver}, {"iconX", iconStyle.x},
                        {"iconY", iconStyle.y}, {"iconUseColor", iconStyle.useColor},
                        {"iconColor", iconStyle.color}, {"txtX", textOffsetX}, {"txtY", textOffsetY}});
    if (extRead && isExtBtn)
        q->setMouseTracking(true);
    if (fadeRead)
        setFadeEnabled(on);
    if (durationRead)
        setFadeDuration(n);
    if (themeDefaults) {
        claimAttrKey("iconPath");
        claimAttrKey("text");
        return;
    }
    readOwnAttr(attr, "iconPath", iconPath);
    QString text;
    if (readOwnAttr(attr, "text", text))
        readText(text);
}

vyr::StyleSlots VYRQPushButtonImpl::styleSlots()
{
    return {{0, backgrounds}, {4, textStyles, vyr::StyleSlot::StatesWrite::ByName}};
}

void VYRQPushButtonImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (attr)
        readAttr(*attr);
}

void VYRQPushButtonImpl::writeJson(Json::Value& element)
{
    const VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    Json::Value own(Json::objectValue);
    if (!useIcon)
        own["hasIcon"] = 0;
    vyr::json::writeUnlessEmpty(own, "iconPath", iconPath);
    vyr::json::writeUnlessEmpty(own, "hotIconPath", hotIconPath);
    if (isExtBtn)
        own["isExtBtn"] = 1;
    vyr::json::writeUnlessDefault(own, "extWidth", extWidth, 0);
    vyr::json::writeUnlessEmpty(own, "extIconPath", extIconPath);
    vyr::json::writeUnlessEmpty(own, "extHotIconPath", extHotIconPath);
    vyr::json::writeUnlessEmpty(own, "text", q->text());
    if (!showText)
        own["showText"] = 0;
    if (!drawBackground)
        own["drawBackground"] = 0;
    if (fadeEnabled != rm->getButtonFadeEnabled())
        own["fadeEnabled"] = fadeEnabled ? 1 : 0;
    vyr::json::writeUnlessDefault(own, "fadeDuration", fadeDuration, rm->getButtonFadeDuration());
    vyr::json::writeUnlessDefault(own, "iconHor", iconStyle.hor, 1);
    vyr::json::writeUnlessDefault(own, "iconVer", iconStyle.ver, 1);
    vyr::json::writeUnlessDefault(own, "iconX", iconStyle.x, 0);
    vyr::json::writeUnlessDefault(own, "iconY", iconStyle.y, 0);
    if (iconStyle.useColor)
        own["iconUseColor"] = 1;
    const std::string color = vyr::json::colorToText(iconStyle.color);
    if (color != "FF000000")
        own["iconColor"] = color;
    vyr::json::writeUnlessDefault(own, "txtX", textOffsetX, 0);
    vyr::json::writeUnlessDefault(own, "txtY", textOffsetY, 0);
    if (!own.empty()) {
        Json::Value& attr = element["attr"];
        for (const std::string& key : own.getMemberNames())
            attr[key] = own[key];
    }
}

// ---------------------------------------------------------------------------
// VYRQPushButton

VYRQPushButton::VYRQPushButton(QWidget* parent)
    : VYRQControl(parent)
{
    setMouseTracking(true);
    finishConstruction();
}

VYRQPushButton::~VYRQPushButton() = default;

bool VYRQPushButton::readJsonValue(void* json)
{
    VYRQReadSizeGuard guard(this);
    return VYRQControl::readJsonValue(json);
}

void VYRQPushButton::setBackground(CtrlState state, const FillStyle& style)
{
    impl()->backgrounds.set(state, style);
}

FillStyle VYRQPushButton::getBackground(CtrlState state) const
{
    return impl()->backgrounds.get(state);
}

void VYRQPushButton::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    impl()->textStyles.set(state, style);
}

TextStyleDesc VYRQPushButton::getTextStyle(CtrlState state) const
{
    return impl()->textStyles.get(state);
}

void VYRQPushButton::setUseFillStyle(CtrlState state, bool on)
{
    if (state == AllStates) {
        for (FillStyle& style : impl()->backgrounds.raw())
            style.colorMode = on;
    } else if (state >= Normal && state <= Disable) {
        impl()->backgrounds.at(state).colorMode = on;
    }
}

bool VYRQPushButton::getUseFillStyle(CtrlState state) const
{
    return impl()->backgrounds.get(state).colorMode;
}

void VYRQPushButton::setDrawBackground(bool on)
{
    if (impl()->drawBackground == on)
        return;
    impl()->drawBackground = on;
    update();
}

bool VYRQPushButton::getDrawBackground() const
{
    return impl()->drawBackground;
}

void VYRQPushButton::setFadeEnabled(bool on)
{
    impl()->setFadeEnabled(on);
    update();
}

bool VYRQPushButton::getFadeEnabled() const
{
    return impl()->fadeEnabled;
}

void VYRQPushButton::setFadeDuration(int ms)
{
    impl()->setFadeDuration(ms);
}

int VYRQPushButton::getFadeDuration() const
{
    return impl()->fadeDuration;
}

void VYRQPushButton::setUseIcon(bool on)
{
    if (impl()->useIcon == on)
        return;
    impl()->useIcon = on;
    update();
}

bool VYRQPushButton::getUseIcon() const
{
    return impl()->useIcon;
}

void VYRQPushButton::setShowText(bool on)
{
    impl()->showText = on;
}

bool VYRQPushButton::getShowText() const
{
    return impl()->showText;
}

void VYRQPushButton::setTextOffsetX(int x)
{
    impl()->textOffsetX = x;
}

void VYRQPushButton::setTextOffsetY(int y)
{
    impl()->textOffsetY = y;
}

int VYRQPushButton::getTextOffsetX() const
{
    return impl()->textOffsetX;
}

int VYRQPushButton::getTextOffsetY() const
{
    return impl()->textOffsetY;
}

void VYRQPushButton::setIconStyle(const IconStyleDesc& style)
{
    impl()->iconStyle = style;
}

IconStyleDesc VYRQPushButton::getIconStyle() const
{
    return impl()->iconStyle;
}

void VYRQPushButton::setIcon(const QString& path)
{
    impl()->setIconPath(path);
}

void VYRQPushButton::setIcon(const QIcon& icon)
{
    impl()->setIcon(icon);
}

QString VYRQPushButton::getIcon() const
{
    return impl()->iconPath;
}

void VYRQPushButton::setHotIcon(const QString& path)
{
    if (impl()->hotIconPath == path)
        return;
    impl()->hotIconPath = path;
    update();
}

QString VYRQPushButton::getHotIcon() const
{
    return impl()->hotIconPath;
}

void VYRQPushButton::setPressedIcon(const QString& path)
{
    if (impl()->pressedIconPath == path)
        return;
    impl()->pressedIconPath = path;
    update();
}

QString VYRQPushButton::getPressedIcon() const
{
    return impl()->pressedIconPath;
}

void VYRQPushButton::enterEvent(QEvent* event)
{
    QWidget::enterEvent(event);
    impl()->enterEvent(event);
    emit enterSignal();
}

void VYRQPushButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    impl()->leaveEvent(event);
    emit leaveSignal();
}

void VYRQPushButton::mouseMoveEvent(QMouseEvent* event)
{
    QAbstractButton::mouseMoveEvent(event);
    impl()->mouseMoveEvent(event);
}

void VYRQPushButton::mousePressEvent(QMouseEvent* event)
{
    QAbstractButton::mousePressEvent(event);
    impl()->mousePressEvent(event);
}

void VYRQPushButton::mouseReleaseEvent(QMouseEvent* event)
{
    QAbstractButton::mouseReleaseEvent(event);
    impl()->mouseReleaseEvent(event);
}

// ---------------------------------------------------------------------------
// Designer record

ControlInfo VYRQPushButton::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQPushButton>("Button", "PushButton", "button");
    info.rows.push_back(
        vyr::fillStatesRow("Background", &VYRQPushButton::setBackground, &VYRQPushButton::getBackground));
    info.rows.push_back(
        vyr::boolRow("DrawBackground", &VYRQPushButton::setDrawBackground, &VYRQPushButton::getDrawBackground));
    info.rows.push_back(vyr::boolRow("FadeEnabled", &VYRQPushButton::setFadeEnabled, &VYRQPushButton::getFadeEnabled));
    info.rows.push_back(
        vyr::intRow("FadeDuration", &VYRQPushButton::setFadeDuration, &VYRQPushButton::getFadeDuration));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQPushButton.cpp"
#include "moc_VYRQPushButtonImpl_p.cpp"
