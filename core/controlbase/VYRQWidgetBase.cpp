#include "VYRQWidgetBase.h"

#include "IVYRQWidgetBase.h"
#include "VYRQPageHooks_p.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQWidgetBaseImpl.h"
#include "VYRQWidgetNotices_p.h"

#include <QMetaObject>
#include <QVariant>
#include <QWidget>

#include <json/value.h>

#include <algorithm>
#include <climits>
#include <cstring>

vyr::DesignModes& vyr::designModes()
{
    static DesignModes modes;
    return modes;
}

vyr::ControlMaker& vyr::controlMaker()
{
    static ControlMaker maker = nullptr;
    return maker;
}

namespace {

// A theme or language change reaches each control through its base.
[[maybe_unused]] const bool noticesSet = [] {
    vyr::WidgetNotices& notices = vyr::widgetNotices();
    notices.themeChanged = [](QWidget* widget) {
        if (auto* control = dynamic_cast<IVYRQWidgetBase*>(widget)) {
            if (VYRQWidgetBase* base = control->getControlBase())
                base->refreshTheme();
        }
    };
    notices.languageChanged = [](QWidget* widget) {
        if (auto* control = dynamic_cast<IVYRQWidgetBase*>(widget))
            control->notifyChangeLanguage();
    };
    return true;
}();

constexpr int maxWidgetSize = 16777215;   // QWIDGETSIZE_MAX

// Geometry from pages and callers is kept where Qt's own arithmetic cannot overflow:
// sizes within QWIDGETSIZE_MAX, positions so that x + w (and x + w - 1) stay in int.
constexpr int maxPosition = INT_MAX - maxWidgetSize;

int clampSize(int value)
{
    return std::clamp(value, -maxWidgetSize, maxWidgetSize);
}

int clampPosition(int value)
{
    return std::clamp(value, -maxPosition, maxPosition);
}

int clampDock(int value)
{
    return std::clamp(value, int(DockNear), int(DockFar));
}

// Size limits from a page: below 1 means no limit at that end.
bool readLimit(const Json::Value* v, int& out)
{
    int value = 0;
    if (!v || !vyr::json::toInt(*v, value))
        return false;
    out = std::clamp(value, 0, maxWidgetSize);
    return true;
}

LayoutSizePolicy readPolicy(const Json::Value* v, LayoutSizePolicy current)
{
    if (!v)
        return current;
    int value = 0;
    if (vyr::json::toInt(*v, value) && (value == PolicyUnset || value == PolicyFill || value == PolicyFixed))
        return LayoutSizePolicy(value);
    return PolicyUnset;
}

int intOr(const Json::Value* v, int fallback)
{
    if (v)
        vyr::json::toInt(*v, fallback);
    return fallback;
}

// The base keys of an element, found in one walk over its members instead of a
// look-up per key.
enum BaseKey {
    KeyName, KeyTooltip, KeyVisibility, KeyEnable, KeyLayout, KeyX, KeyY, KeyW, KeyH, KeyAbsoluteLayout,
    KeyDockHor, KeyDockVer, KeyDockOffsetX, KeyDockOffsetY, KeyWidthPolicy, KeyHeightPolicy, KeyMinWidth,
    KeyMinHeight, KeyMaxWidth, KeyMaxHeight, BaseKeyCount
};

struct BaseKeyName {
    const char* name;
    size_t length;
};

template <size_t N>
constexpr BaseKeyName keyName(const char (&name)[N])
{
    return {name, N - 1};
}

constexpr BaseKeyName baseKeyNames[BaseKeyCount] = {
    keyName("name"), keyName("tooltip"), keyName("visibility"), keyName("enable"), keyName("layout"),
    keyName("x"), keyName("y"), keyName("w"), keyName("h"), keyName("absoluteLayout"),
    keyName("absoluteDockHor"), keyName("absoluteDockVer"), keyName("absoluteDockOffsetX"),
    keyName("absoluteDockOffsetY"), keyName("widthPolicy"), keyName("heightPolicy"), keyName("minWidth"),
    keyName("minHeight"), keyName("maxWidth"), keyName("maxHeight"),
};

struct BaseKeys {
    const Json::Value* values[BaseKeyCount] = {};
    const Json::Value* operator[](BaseKey key) const { return values[key]; }

    explicit BaseKeys(const Json::Value& json)
    {
        if (!json.isObject())
            return;
        for (auto it = json.begin(); it != json.end(); ++it) {
            const char* end = nullptr;
            const char* name = it.memberName(&end);
            if (!name || !end)
                continue;
            const size_t length = size_t(end - name);
            for (int key = 0; key < BaseKeyCount; ++key) {
                const BaseKeyName& known = baseKeyNames[key];
                if (known.length == length && std::memcmp(known.name, name, length) == 0) {
                    values[key] = &*it;
                    break;
                }
            }
        }
    }
};

bool isMenu(const QWidget* w)
{
    return w->inherits("VYRQMenu");
}

} // namespace

VYRQWidgetBase::VYRQWidgetBase(QWidget* owner)
    : m_owner(owner)
    , m_dockHor(DockNear)
    , m_dockVer(DockNear)
    , m_layoutType(LayoutAbsolute)
{
    m_layout.rect = { 0, 0, 0, 0 };
}

void VYRQWidgetBase::setLayoutRatio(int ratio)
{
    m_layoutType = LayoutRatio;
    m_layout.ratio = std::max(ratio, 1);
    if (!m_owner)
        return;
    // The container is only known by name here; it relays its children on request.
    QWidget* parent = m_owner->parentWidget();
    if (parent && parent->inherits("VYRQContainer"))
        QMetaObject::invokeMethod(parent, "forceResize");
}

int VYRQWidgetBase::getLayoutRatio() const
{
    if (m_layoutType != LayoutRatio)
        return 1;
    return std::max(m_layout.ratio, 1);
}

void VYRQWidgetBase::setAbsoluteDock(DockLayoutType hor, DockLayoutType ver, int x, int y)
{
    m_absoluteLayout = true;
    m_dockHor = DockLayoutType(clampDock(hor));
    m_dockVer = DockLayoutType(clampDock(ver));
    m_dockOffsetX = clampPosition(x);
    m_dockOffsetY = clampPosition(y);
}

void VYRQWidgetBase::getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver, int& x, int& y) const
{
    hor = m_dockHor;
    ver = m_dockVer;
    x = m_dockOffsetX;
    y = m_dockOffsetY;
}

void VYRQWidgetBase::getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver) const
{
    hor = m_dockHor;
    ver = m_dockVer;
}

void VYRQWidgetBase::getLayoutData(void*& data) const
{
    if (m_layoutType == LayoutRatio || m_layoutType == LayoutAbsolute)
        data = const_cast<LayoutData*>(&m_layout);
    else
        data = nullptr;
}

void VYRQWidgetBase::setGeometry(const QRect& rect)
{
    setGeometry(rect.left(), rect.top(), rect.width(), rect.height());
}

void VYRQWidgetBase::setGeometry(int x, int y, int w, int h)
{
    m_layoutType = LayoutAbsolute;
    m_layout.rect = { clampPosition(x), clampPosition(y), clampSize(w), clampSize(h) };
    if (m_owner)
        m_owner->QWidget::setGeometry(layoutRect());
}

void VYRQWidgetBase::setOpacity(int opacity)
{
    if (opacity == m_opacity)
        return;
    m_opacity = opacity;
    if (m_owner)
        m_owner->update();
}

QRect VYRQWidgetBase::layoutRect() const
{
    return QRect(m_layout.rect.x, m_layout.rect.y, m_layout.rect.w, m_layout.rect.h);
}

void VYRQWidgetBase::LoadLayout(const Json::Value& element)
{
    if (const Json::Value* layout = vyr::json::object(element, "layout"))
        readLayout(*layout, vyr::json::member(element, "x"), vyr::json::member(element, "y"),
                   vyr::json::member(element, "w"), vyr::json::member(element, "h"));
}

void VYRQWidgetBase::readLayout(const Json::Value& layout, const Json::Value* x, const Json::Value* y,
                                const Json::Value* w, const Json::Value* h)
{
    const Json::Value* type = vyr::json::member(layout, "type");
    if (!type) {
        m_layoutType = LayoutRatio;
        m_layout.ratio = 1;
        vyr::json::read(layout, "ratio", m_layout.ratio);
        return;
    }
    const int kind = intOr(type, -1);
    if (kind == LayoutRatio) {
        m_layoutType = LayoutRatio;
        m_layout.ratio = 1;
        vyr::json::read(layout, "ratio", m_layout.ratio);
    } else if (kind == LayoutAbsolute) {
        m_layoutType = LayoutAbsolute;
        m_layout.rect = { clampPosition(intOr(x, 0)), clampPosition(intOr(y, 0)),
                          clampSize(intOr(w, m_owner ? m_owner->width() : 0)),
                          clampSize(intOr(h, m_owner ? m_owner->height() : 0)) };
        if (m_owner)
            m_owner->QWidget::setGeometry(layoutRect());
    } else {
        m_layoutType = LayoutAbsolute;
    }
}

void VYRQWidgetBase::SaveLayout(Json::Value& element)
{
    if (m_layoutType == LayoutRatio) {
        Json::Value layout(Json::objectValue);
        layout[Json::StaticString("type")] = 0;
        layout[Json::StaticString("ratio")] = m_layout.ratio;
        element[Json::StaticString("layout")] = std::move(layout);
        return;
    }
    m_layoutType = LayoutAbsolute;
    if (vyr::designModes().designer && m_owner)
        m_layout.rect = { m_owner->x(), m_owner->y(), m_owner->width(), m_owner->height() };
    if (m_layout.rect.x != 0)
        element[Json::StaticString("x")] = m_layout.rect.x;
    if (m_layout.rect.y != 0)
        element[Json::StaticString("y")] = m_layout.rect.y;
    element[Json::StaticString("w")] = m_layout.rect.w;
    element[Json::StaticString("h")] = m_layout.rect.h;
}

QWidget* VYRQWidgetBase::cloneWidget(const QString& name)
{
    Q_UNUSED(name)
    const IVYRQWidgetBase* control = dynamic_cast<const IVYRQWidgetBase*>(m_owner);
    if (!control)
        return nullptr;
    const QByteArray key = control->getTypeName().toUtf8();
    const vyr::ControlMaker make = vyr::controlMaker();
    return make ? make(key.constData(), m_owner->parentWidget()) : nullptr;
}

QString VYRQWidgetBase::getThemeName() const
{
    const VYRQWidgetBaseImpl* impl = VYRQWidgetBaseImpl::fromWidget(m_owner);
    return impl ? impl->themeName() : QString();
}

void VYRQWidgetBase::setThemeName(const QString& name)
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    if (!rm->getThemeManagerImpl() || rm->isDesigner())
        return;
    VYRQWidgetBaseImpl* impl = VYRQWidgetBaseImpl::fromWidget(m_owner);
    if (!impl)
        return;
    impl->setThemeNameValue(name);
    refreshTheme();
}

void VYRQWidgetBase::refreshTheme()
{
    if (VYRQWidgetBaseImpl* impl = VYRQWidgetBaseImpl::fromWidget(m_owner))
        impl->applyThemeElement();
}

void VYRQWidgetBase::resizeWidget()
{
    if (!m_owner)
        return;
    QWidget* parent = m_owner->parentWidget();
    if (!parent)
        return;
    if (m_owner->inherits("VYRQContainer") && m_layoutType == LayoutAbsolute
        && (parent->inherits("VYRQWindow") || parent->inherits("VYRQWindowDesigner") || parent->isWindow())) {
        m_layout.rect = { 0, 0, parent->width(), parent->height() };
    }
    if (m_layoutType == LayoutAbsolute)
        m_owner->QWidget::setGeometry(layoutRect());
}

void VYRQWidgetBase::serializeJsonValue(Json::Value* json, bool read)
{
    // Theme elements (defaults and redirects) never touch the base keys.
    if (!json || !m_owner || (read && VYRQResourceManager::getInstance()->isLoadFromThemeRes()) || isMenu(m_owner))
        return;
    if (read) {
        readBaseKeys(*json);
    } else {
        if (!json->isObject())
            *json = Json::Value(Json::objectValue);
        writeBaseKeys(*json);
    }
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE void VYRQWidgetBase::readBaseKeys(const Json::Value& json)
{
    const BaseKeys keys(json);
    QString text;
    if (keys[KeyName] && vyr::json::toString(*keys[KeyName], text))
        m_owner->setObjectName(text);
    if (keys[KeyTooltip] && vyr::json::toString(*keys[KeyTooltip], text))
        m_owner->setToolTip(VYRQWidgetBaseImpl::boundedText(text, "tooltip"));

    m_owner->setVisible(true);
    bool visible = true;
    if (keys[KeyVisibility] && vyr::json::toBool(*keys[KeyVisibility], visible))
        m_owner->setVisible(visible);
    m_owner->setProperty("visibility", visible);

    bool enabled = true;
    if (keys[KeyEnable] && vyr::json::toBool(*keys[KeyEnable], enabled))
        m_owner->setEnabled(enabled);

    if (keys[KeyLayout] && keys[KeyLayout]->isObject()) {
        readLayout(*keys[KeyLayout], keys[KeyX], keys[KeyY], keys[KeyW], keys[KeyH]);
    } else {
        m_layoutType = LayoutAbsolute;
        m_layout.rect = { clampPosition(intOr(keys[KeyX], 0)), clampPosition(intOr(keys[KeyY], 0)),
                          clampSize(intOr(keys[KeyW], 0)), clampSize(intOr(keys[KeyH], 0)) };
    }

    m_absoluteLayout = keys[KeyDockHor] || keys[KeyDockVer] || keys[KeyDockOffsetX] || keys[KeyDockOffsetY];
    if (keys[KeyAbsoluteLayout])
        vyr::json::toBool(*keys[KeyAbsoluteLayout], m_absoluteLayout);
    m_dockHor = DockLayoutType(clampDock(intOr(keys[KeyDockHor], 0)));
    m_dockVer = DockLayoutType(clampDock(intOr(keys[KeyDockVer], 0)));
    m_dockOffsetX = clampPosition(intOr(keys[KeyDockOffsetX], 0));
    m_dockOffsetY = clampPosition(intOr(keys[KeyDockOffsetY], 0));

    m_widthPolicy = readPolicy(keys[KeyWidthPolicy], m_widthPolicy);
    m_heightPolicy = readPolicy(keys[KeyHeightPolicy], m_heightPolicy);

    int limit = 0;
    if (readLimit(keys[KeyMinWidth], limit))
        m_owner->setMinimumWidth(limit);
    if (readLimit(keys[KeyMinHeight], limit))
        m_owner->setMinimumHeight(limit);
    if (readLimit(keys[KeyMaxWidth], limit))
        m_owner->setMaximumWidth(limit);
    if (readLimit(keys[KeyMaxHeight], limit))
        m_owner->setMaximumHeight(limit);
}

void VYRQWidgetBase::writeBaseKeys(Json::Value& json)
{
    if (const IVYRQWidgetBase* control = dynamic_cast<const IVYRQWidgetBase*>(m_owner))
        json[Json::StaticString("type")] = vyr::json::toUtf8(control->getTypeName());
    json[Json::StaticString("name")] = vyr::json::toUtf8(m_owner->objectName());
    const QString tip = m_owner->toolTip();
    if (!tip.isEmpty())
        json[Json::StaticString("tooltip")] = vyr::json::toUtf8(tip);

    // A control built in code never had its page visibility set; its own state counts.
    const QVariant visibility = m_owner->property("visibility");
    const bool visible = visibility.isValid() ? visibility.toBool() : !m_owner->isHidden();
    if (!visible)
        json[Json::StaticString("visibility")] = false;
    // Only an explicit disable is the control's own; a disabled parent is not.
    if (m_owner->testAttribute(Qt::WA_ForceDisabled))
        json[Json::StaticString("enable")] = false;

    if (m_absoluteLayout) {
        json[Json::StaticString("absoluteLayout")] = true;
        if (m_dockHor != DockNear)
            json[Json::StaticString("absoluteDockHor")] = int(m_dockHor);
        if (m_dockVer != DockNear)
            json[Json::StaticString("absoluteDockVer")] = int(m_dockVer);
        if (m_dockOffsetX != 0)
            json[Json::StaticString("absoluteDockOffsetX")] = m_dockOffsetX;
        if (m_dockOffsetY != 0)
            json[Json::StaticString("absoluteDockOffsetY")] = m_dockOffsetY;
    }
    if (m_widthPolicy != PolicyUnset)
        json[Json::StaticString("widthPolicy")] = int(m_widthPolicy);
    if (m_heightPolicy != PolicyUnset)
        json[Json::StaticString("heightPolicy")] = int(m_heightPolicy);

    if (m_owner->minimumWidth() > 0)
        json[Json::StaticString("minWidth")] = m_owner->minimumWidth();
    if (m_owner->minimumHeight() > 0)
        json[Json::StaticString("minHeight")] = m_owner->minimumHeight();
    if (m_owner->maximumWidth() != maxWidgetSize)
        json[Json::StaticString("maxWidth")] = m_owner->maximumWidth();
    if (m_owner->maximumHeight() != maxWidgetSize)
        json[Json::StaticString("maxHeight")] = m_owner->maximumHeight();

    SaveLayout(json);
}
