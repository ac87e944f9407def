#include "VYRQWidgetBaseImpl.h"

#include "IVYRQWidgetBase.h"
#include "VYRQPageHooks_p.h"
#include "VYRQJson.h"
#include "VYRQKeptElement_p.h"
#include "VYRQLogging.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQThemeElementForm.h"
#include "VYRQToolTip.h"

#include <QPainter>
#include <QSet>
#include <QHelpEvent>
#include <QWidget>

#include <json/value.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>

namespace {

VYRQResourceManager* resources()
{
    return VYRQResourceManager::getInstance();
}

// The compiled form of `element` when it is a theme element read as one (names then
// resolve in the theme set, as the form's did); null otherwise.
const VYRQThemeElementForm* themeFormOf(const Json::Value& element)
{
    VYRQResourceManager* rm = resources();
    if (!rm->isLoadFromThemeRes())
        return nullptr;
    VYRQResourceManagerImpl* set = rm->getThemeManagerImpl();
    return set ? set->themeElementForm(&element) : nullptr;
}

// Each entry of an element's "style" array that is [string, any, number] or longer:
// fn(name value, kind, slot). Arrays are walked with iterators (an index look-up is a
// map search in jsoncpp); a missing item reads as null, as an index look-up gives it.
template <class Fn>
void forEachEntry(const Json::Value& element, Fn&& fn)
{
    const Json::Value* styles = vyr::json::array(element, "style");
    if (!styles)
        return;
    for (const Json::Value& entry : *styles) {
        if (!entry.isArray() || entry.size() < 3)
            continue;
        auto it = entry.begin();
        const auto end = entry.end();
        if (it.index() != 0 || !(*it).isString())
            continue;
        const Json::Value& name = *it;
        int kind = 0;
        if (++it != end && it.index() == 1) {
            vyr::json::toInt(*it, kind);
            ++it;
        }
        int slot = 0;
        if (it == end || it.index() != 2 || !vyr::json::toInt(*it, slot))
            continue;
        fn(name, kind, slot);
    }
}

QString attrText(const Json::Value& v)
{
    if (v.isString())
        return vyr::json::toQString(v);
    if (v.isBool())
        return v.asBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (v.isInt64())
        return QString::number(v.asInt64());
    if (v.isUInt64())
        return QString::number(v.asUInt64());
    if (v.isDouble())
        return QString::number(v.asDouble(), 'g', 17);
    return QString();
}

// A value of the common "attr" store from its JSON form; false for values that the
// store does not keep (null, objects, empty arrays, arrays not led by a text).
bool attrFromJson(const Json::Value& v, VYRQAttrValue& out)
{
    switch (v.type()) {
    case Json::booleanValue:
        out.kind = VYRQAttrValue::Bool;
        out.value = v.asBool();
        return true;
    case Json::stringValue:
        out.kind = VYRQAttrValue::String;
        out.value = vyr::json::toQString(v);
        return true;
    case Json::intValue:
    case Json::uintValue:
        if (v.isInt()) {
            out.kind = VYRQAttrValue::Int32;
            out.value = v.asInt();
        } else if (v.isUInt()) {
            out.kind = VYRQAttrValue::UInt32;
            out.value = v.asUInt();
        } else {
            out.kind = VYRQAttrValue::Double;
            out.value = v.asDouble();
        }
        return true;
    case Json::realValue:
        out.kind = VYRQAttrValue::Double;
        out.value = v.asDouble();
        return true;
    case Json::arrayValue: {
        if (v.empty() || !v[0].isString())
            return false;
        QStringList list;
        for (Json::ArrayIndex i = 0; i < v.size(); ++i)
            list.append(attrText(v[i]));
        out.kind = VYRQAttrValue::StringList;
        out.value = list;
        return true;
    }
    default:
        return false;
    }
}

Json::Value attrToJson(const VYRQAttrValue& a)
{
    switch (a.kind) {
    case VYRQAttrValue::Bool:
        return Json::Value(a.value.toBool());
    case VYRQAttrValue::String:
        return Json::Value(vyr::json::toUtf8(a.value.toString()));
    case VYRQAttrValue::Int8:
    case VYRQAttrValue::UInt8:
    case VYRQAttrValue::Int16:
    case VYRQAttrValue::UInt16:
    case VYRQAttrValue::Int32:
        return Json::Value(Json::Int(a.value.toInt()));
    case VYRQAttrValue::UInt32:
        return Json::Value(Json::UInt(a.value.toUInt()));
    case VYRQAttrValue::Int64:
        return Json::Value(Json::Int64(a.value.toLongLong()));
    case VYRQAttrValue::UInt64:
        return Json::Value(Json::UInt64(a.value.toULongLong()));
    case VYRQAttrValue::Float:
    case VYRQAttrValue::Double:
        return Json::Value(a.value.toDouble());
    case VYRQAttrValue::StringList: {
        Json::Value list(Json::arrayValue);
        const QStringList texts = a.value.toStringList();
        for (const QString& t : texts)
            list.append(vyr::json::toUtf8(t));
        return list;
    }
    default:
        return Json::Value();
    }
}

// Every control of a type carries its key (and, until a page names another, the same
// theme name): one shared copy per key instead of a fresh string per control.
QString sharedTypeKey(const QString& key)
{
    static std::mutex mutex;
    static QSet<QString> keys;
    const std::lock_guard<std::mutex> lock(mutex);
    const auto found = keys.constFind(key);
    if (found != keys.constEnd())
        return *found;
    keys.insert(key);
    return key;
}

} // namespace

VYRQWidgetBaseImpl::VYRQWidgetBaseImpl(QWidget* owner, const QString& typeKey)
    : QObject(nullptr)
    , m_typeKey(sharedTypeKey(typeKey))
    , m_themeName(m_typeKey)
    , m_owner(owner)
{
    if (m_owner)
        m_owner->setProperty("impl", QVariant::fromValue<void*>(this));
}

VYRQWidgetBaseImpl::~VYRQWidgetBaseImpl() = default;

void VYRQWidgetBaseImpl::setKeptKeys(Json::Value keys)
{
    if (keys.isNull())
        m_keptKeys.reset();
    else
        m_keptKeys = std::make_unique<Json::Value>(std::move(keys));
}

const std::map<std::string, VYRQAttrValue>& VYRQWidgetBaseImpl::attrValues() const
{
    static const std::map<std::string, VYRQAttrValue> none;
    return m_attrValues ? *m_attrValues : none;
}

std::map<std::string, VYRQAttrValue>& VYRQWidgetBaseImpl::attrStore()
{
    if (!m_attrValues)
        m_attrValues = std::make_unique<std::map<std::string, VYRQAttrValue>>();
    return *m_attrValues;
}

VYRQWidgetBaseImpl* VYRQWidgetBaseImpl::fromWidget(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    const QVariant v = widget->property("impl");
    if (v.userType() != QMetaType::VoidStar)
        return nullptr;
    return static_cast<VYRQWidgetBaseImpl*>(v.value<void*>());
}

// ---------------------------------------------------------------------------
// Interaction state

void VYRQWidgetBaseImpl::setCtrlState(CtrlState state)
{
    if (state < Normal || state > Disable || state == m_ctrlState)
        return;
    m_ctrlState = state;
    if (m_owner)
        m_owner->repaint();
}

void VYRQWidgetBaseImpl::paintEvent()
{
    if (!m_owner)
        return;
    // Enabling or disabling takes effect here, without a repaint of its own.
    if (!m_owner->isEnabled())
        m_ctrlState = Disable;
    else if (m_ctrlState == Disable)
        m_ctrlState = Normal;
    QPainter painter(m_owner);
    drawControl(&painter, QRect(0, 0, m_owner->width(), m_owner->height()));
}

void VYRQWidgetBaseImpl::drawControl(QPainter*, const QRect&)
{
}

void VYRQWidgetBaseImpl::notifyChangeLanguage()
{
}

void VYRQWidgetBaseImpl::createComplete()
{
}

void VYRQWidgetBaseImpl::mousePressEvent(QMouseEvent*)
{
    setCtrlState(Pressed);
}

void VYRQWidgetBaseImpl::mouseReleaseEvent(QMouseEvent*)
{
    setCtrlState(m_hovered ? Hot : Normal);
}

void VYRQWidgetBaseImpl::enterEvent(QEvent*)
{
    const bool changed = !m_hovered || m_ctrlState != Hot;
    m_hovered = true;
    m_ctrlState = Hot;
    if (changed && m_owner)
        m_owner->repaint();
}

void VYRQWidgetBaseImpl::leaveEvent(QEvent*)
{
    const CtrlState next = m_owner && !m_owner->isEnabled() ? Disable : Normal;
    const bool changed = m_hovered || m_ctrlState != next;
    m_hovered = false;
    m_ctrlState = next;
    if (changed && m_owner)
        m_owner->repaint();
}

void VYRQWidgetBaseImpl::mouseMoveEvent(QMouseEvent*)
{
}

void VYRQWidgetBaseImpl::mouseDoubleClickEvent(QMouseEvent*)
{
}

// ---------------------------------------------------------------------------
// Common JSON part

bool VYRQWidgetBaseImpl::serializeJson(Json::Value*& json, bool read)
{
    if (read) {
        if (!json)
            return false;
        // The common attr values of a page element are stored after the control's own
        // read: the keys it claims there are then never stored only to be dropped again.
        // A theme element's are stored at once, as the read may load another theme (the
        // window designer's does) and so free the element.
        const bool themeElement = isApplyingTheme();
        const Json::Value* attr = readCommon(json);
        if (attr && themeElement) {
            storeAttrValues(*attr);
            attr = nullptr;
        }
        readStyleSlots(*json, styleSlots());
        readJson(*json);
        if (attr)
            storeAttrValues(*attr);
        return true;
    }
    if (!serializeCommon(json, read))
        return false;
    writeStyleSlots(*json, styleSlots());
    writeJson(*json);
    return true;
}

vyr::StyleSlots VYRQWidgetBaseImpl::styleSlots()
{
    return {};
}

void VYRQWidgetBaseImpl::readStyleSlots(const Json::Value& element, const vyr::StyleSlots& table)
{
    if (table.empty())
        return;
    if (const VYRQThemeElementForm* form = themeFormOf(element)) {
        for (const VYRQThemeElementForm::StyleEntry& entry : form->styles) {
            for (const vyr::StyleSlot& row : table) {
                if (!row.covers(entry.slot))
                    continue;
                if (row.kind() == vyr::FillEntry) {
                    if (entry.hasFill)
                        row.read(entry.slot, &entry.fill);
                } else if (entry.hasText) {
                    row.read(entry.slot, &entry.text);
                }
            }
        }
        shareStyleSlots(table);
        return;
    }
    const VYRQResourceManager* rm = resources();
    forEachEntry(element, [&table, rm](const Json::Value& nameValue, int, int slot) {
        const char* name = nullptr;
        const char* nameEnd = nullptr;
        nameValue.getString(&name, &nameEnd);
        const int size = int(nameEnd - name);
        // Each name is looked up at most once per kind, however many rows share the slot.
        FillStyle fill;
        TextStyleDesc text;
        int fillFound = -1;
        int textFound = -1;
        for (const vyr::StyleSlot& row : table) {
            if (!row.covers(slot))
                continue;
            if (row.kind() == vyr::FillEntry) {
                if (fillFound < 0)
                    fillFound = rm->getFillStyle(name, size, fill) ? 1 : 0;
                if (fillFound)
                    row.read(slot, &fill);
            } else {
                if (textFound < 0)
                    textFound = rm->getTextStyle(name, size, text) ? 1 : 0;
                if (textFound)
                    row.read(slot, &text);
            }
        }
    });
    shareStyleSlots(table);
}

// Records that read alike end up shared between controls (VYRQSharedStyle.h).
void VYRQWidgetBaseImpl::shareStyleSlots(const vyr::StyleSlots& table)
{
    for (const vyr::StyleSlot& row : table)
        row.share();
}

void VYRQWidgetBaseImpl::writeStyleSlots(Json::Value& element, const vyr::StyleSlots& table)
{
    Json::Value styles(Json::arrayValue);
    for (const vyr::StyleSlot& row : table)
        row.write(styles);
    if (!styles.empty())
        element[Json::StaticString("style")] = std::move(styles);
}

void VYRQWidgetBaseImpl::readJson(const Json::Value&)
{
}

void VYRQWidgetBaseImpl::writeJson(Json::Value&)
{
}

bool VYRQWidgetBaseImpl::serializeCommon(Json::Value*& json, bool read)
{
    if (!json)
        return false;
    if (read) {
        if (const Json::Value* attr = readCommon(json))
            storeAttrValues(*attr);
        return true;
    }

    if (!json->isObject())
        *json = Json::Value(Json::objectValue);
    Json::Value attr(Json::objectValue);
    for (const auto& entry : attrValues()) {
        if (isOwnAttrKey(entry.first))
            continue;
        Json::Value v = attrToJson(entry.second);
        if (!v.isNull())
            attr[entry.first] = std::move(v);
    }
    if (!m_themeName.isEmpty())
        (*json)[Json::StaticString("theme")] = vyr::json::toUtf8(m_themeName);
    if (!attr.empty())
        (*json)[Json::StaticString("attr")] = std::move(attr);

    if (vyr::designModes().serializeChild && m_owner) {
        Json::Value children(Json::arrayValue);
        for (QObject* object : m_owner->children()) {
            QWidget* widget = qobject_cast<QWidget*>(object);
            IVYRQWidgetBase* control = dynamic_cast<IVYRQWidgetBase*>(widget);
            if (!control) {
                VYRQKeptElement::appendTo(object, children);
                continue;
            }
            Json::Value child(Json::objectValue);
            if (control->serializeJsonValue(&child, false))
                children.append(std::move(child));
        }
        // Moved, not copied: a copy at every level would copy a page's deepest
        // controls once per level above them.
        if (!children.empty())
            (*json)[Json::StaticString("child")] = std::move(children);
    }
    return true;
}

const Json::Value* VYRQWidgetBaseImpl::readCommon(Json::Value*& json)
{
    VYRQResourceManager* rm = resources();
    const VYRQThemeElementForm* form = themeFormOf(*json);
    const Json::Value* attr = form ? form->attr : vyr::json::object(*json, "attr");
    // Without an "attr" object the "theme" redirect is not followed either.
    if (!attr)
        return nullptr;
    std::string theme;
    const bool named = form ? form->hasThemeKey : vyr::json::read(*json, "theme", theme);
    if (form && named)
        theme = form->theme;
    if (!rm->isDesigner() && named) {
        if (const Json::Value* element = rm->getThemeJsonValue(theme.c_str())) {
            // Control serializers only read through the pointer while reading.
            json = const_cast<Json::Value*>(element);
            rm->setSwitchToThemeRes(true);
            // Written back as the redirect it came from, so a saved page reloads alike.
            m_themeName = QString::fromUtf8(theme.c_str());
        } else {
            qCDebug(vyrCore) << "theme element not found:" << theme.c_str();
        }
    }
    return attr;
}

void VYRQWidgetBaseImpl::storeAttrValues(const Json::Value& attr)
{
    for (auto it = attr.begin(); it != attr.end(); ++it) {
        const std::string name = it.name();
        if (isOwnAttrKey(name))
            continue;
        VYRQAttrValue value;
        if (attrFromJson(*it, value))
            attrStore()[name] = value;
    }
}

void VYRQWidgetBaseImpl::finishConstruction(ThemeDefaults theme, IVYRQWidgetBase* control)
{
    m_constructed = true;
    if (theme == ThemeDefaults::Apply)
        applyThemeElement(control);
}

void VYRQWidgetBaseImpl::applyThemeElement(IVYRQWidgetBase* control)
{
    if (vyr::designModes().designer || m_themeName.isEmpty() || !m_owner)
        return;
    VYRQResourceManager* rm = resources();
    // Theme names are mostly ASCII type keys: those are converted on the stack.
    char ascii[48];
    const int length = m_themeName.size();
    const QChar* chars = m_themeName.constData();
    bool plain = length < int(sizeof ascii);
    for (int i = 0; plain && i < length; ++i) {
        const ushort c = chars[i].unicode();
        plain = c != 0 && c < 0x80;
        ascii[i] = char(c);
    }
    QByteArray utf8;
    if (plain)
        ascii[length] = '\0';
    else
        utf8 = m_themeName.toUtf8();
    const Json::Value* element = rm->getThemeJsonValue(plain ? ascii : utf8.constData());
    if (!element)
        return;
    if (!control)
        control = dynamic_cast<IVYRQWidgetBase*>(m_owner);
    if (!control)
        return;
    {
        VYRQResSwitchGuard themeSet(VYRQResSwitchGuard::ThemeRes, true);
        control->serializeJsonValue(const_cast<Json::Value*>(element), true);
    }
    m_owner->update();
}

namespace vyr {
struct OwnAttrKeySet {
    std::vector<std::string> names;
};
} // namespace vyr

namespace {

// The shared sets of own attr keys: each set with one more key is found through a
// table of (set, key) steps. Keys come from the controls' code, so both stay small.
class OwnKeySets {
public:
    using Set = vyr::OwnAttrKeySet;

    static OwnKeySets& instance()
    {
        static OwnKeySets sets;
        return sets;
    }

    const Set* with(const Set* set, const char* key)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        auto step = m_steps.find({set, key});
        if (step != m_steps.end())
            return step->second;
        const Set* next = set;
        if (!set || std::find(set->names.begin(), set->names.end(), key) == set->names.end()) {
            Set grown;
            if (set)
                grown.names = set->names;
            grown.names.emplace_back(key);
            auto known = m_byNames.find(grown.names);
            if (known == m_byNames.end()) {
                m_sets.push_back(std::move(grown));
                known = m_byNames.emplace(m_sets.back().names, &m_sets.back()).first;
            }
            next = known->second;
        }
        m_steps.emplace(std::make_pair(set, std::string(key)), next);
        return next;
    }

private:
    std::mutex m_mutex;
    std::deque<Set> m_sets;
    std::map<std::vector<std::string>, const Set*> m_byNames;
    std::map<std::pair<const Set*, std::string>, const Set*> m_steps;
};

} // namespace

bool VYRQWidgetBaseImpl::isOwnAttrKey(const std::string& name) const
{
    if (!m_ownAttrKeys)
        return false;
    const std::vector<std::string>& names = m_ownAttrKeys->names;
    return std::find(names.begin(), names.end(), name) != names.end();
}

void VYRQWidgetBaseImpl::forEachStyleEntry(const Json::Value& element,
                                           const std::function<void(const QString& name, int kind, int slot)>& fn)
{
    forEachEntry(element, [&fn](const Json::Value& name, int kind, int slot) {
        fn(vyr::json::toQString(name), kind, slot);
    });
}

bool VYRQWidgetBaseImpl::showToolTip(QEvent* event) const
{
    return VYRQToolTip::showFor(m_owner, static_cast<QHelpEvent*>(event));
}

#define VYR_READ_OWN_ATTR(Type)                                                                  \
    bool VYRQWidgetBaseImpl::readOwnAttr(const Json::Value& attr, const char* key, Type& out)  \
    {                                                                                            \
        claimAttrKey(key);                                                                       \
        return vyr::json::read(attr, key, out);                                                  \
    }
VYR_READ_OWN_ATTR(bool)
VYR_READ_OWN_ATTR(int)
VYR_READ_OWN_ATTR(unsigned int)
VYR_READ_OWN_ATTR(double)
VYR_READ_OWN_ATTR(float)
VYR_READ_OWN_ATTR(std::string)
#undef VYR_READ_OWN_ATTR

// ---------------------------------------------------------------------------
// Text length

namespace {

// A UTF-16 unit takes one to three UTF-8 bytes (a pair of them four): a text of more
// bytes is longer than a control takes, and these bytes can make up all it keeps.
constexpr qint64 enoughTextBytes = 3 * qint64(VYRQWidgetBaseImpl::maxTextLength) + 3;

// Never half of a surrogate pair.
QString cutText(const QString& text)
{
    constexpr int most = VYRQWidgetBaseImpl::maxTextLength;
    return text.left(text.at(most - 1).isHighSurrogate() ? most - 1 : most);
}

// A JSON string as a control's text; false when the value is no string. A text of
// more than enoughTextBytes is cut from those bytes, never converted whole.
bool readText(const Json::Value& value, QString& out, const char* what)
{
    if (!value.isString())
        return false;
    const char* begin = nullptr;
    const char* end = nullptr;
    value.getString(&begin, &end);
    if (end - begin <= enoughTextBytes) {
        out = VYRQWidgetBaseImpl::boundedText(QString::fromUtf8(begin, int(end - begin)), what);
        return true;
    }
    qCWarning(vyrControls) << "control" << what << "of" << qint64(end - begin) << "bytes cut to"
                           << VYRQWidgetBaseImpl::maxTextLength << "characters";
    out = cutText(QString::fromUtf8(begin, int(enoughTextBytes)));
    return true;
}

} // namespace

// What readText keeps whole; converted only when the byte count cannot tell.
bool VYRQWidgetBaseImpl::fitsControlText(const char* begin, const char* end)
{
    const qint64 bytes = end - begin;
    if (bytes <= maxTextLength)
        return true;
    return bytes <= enoughTextBytes && QString::fromUtf8(begin, int(bytes)).size() <= maxTextLength;
}

QString VYRQWidgetBaseImpl::boundedText(const QString& text, const char* what)
{
    if (text.size() <= maxTextLength)
        return text;
    qCWarning(vyrControls) << "control" << what << "of" << text.size() << "characters cut to" << maxTextLength;
    return cutText(text);
}

bool VYRQWidgetBaseImpl::readOwnAttr(const Json::Value& attr, const char* key, QString& out)
{
    claimAttrKey(key);
    const Json::Value* value = vyr::json::member(attr, key);
    return value && readText(*value, out, key);
}

void VYRQWidgetBaseImpl::claimAttrKey(const char* key)
{
    if (!key)
        return;
    // Keys are mostly the controls' string literals: each thread remembers the steps it
    // took in a small direct-mapped table by set and key address, checked against the
    // key's text, and goes to the shared table (lock and string key) only for a step it
    // has not taken or whose entry another step took over.
    struct Step {
        const vyr::OwnAttrKeySet* from = nullptr;
        const char* address = nullptr;
        const vyr::OwnAttrKeySet* next = nullptr;
        std::string key;
    };
    constexpr size_t stepCount = 1024;
    thread_local std::vector<Step> steps(stepCount);
    uint64_t mixed = reinterpret_cast<uintptr_t>(m_ownAttrKeys) * 0x9E3779B97F4A7C15ull
        + reinterpret_cast<uintptr_t>(key);
    mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ull;
    mixed ^= mixed >> 31;
    Step& step = steps[mixed % stepCount];
    if (!step.next || step.from != m_ownAttrKeys || step.address != key
        || std::strcmp(step.key.c_str(), key) != 0) {
        step.from = m_ownAttrKeys;
        step.address = key;
        step.key = key;
        step.next = OwnKeySets::instance().with(m_ownAttrKeys, key);
    }
    m_ownAttrKeys = step.next;
    if (m_attrValues && m_attrValues->erase(key) && m_attrValues->empty())
        m_attrValues.reset();
}

bool VYRQWidgetBaseImpl::readOwnColor(const Json::Value& attr, const char* key, QColor& out)
{
    claimAttrKey(key);
    return vyr::json::readColor(attr, key, out, false);
}

VYRQWidgetBaseImpl::OwnAttr::OwnAttr(const char* key, Kind kind, void* out, bool* found)
    : m_key(key)
    , m_length(key ? std::strlen(key) : 0)
    , m_kind(kind)
    , m_out(out)
    , m_found(found)
{
}

bool VYRQWidgetBaseImpl::OwnAttr::readFrom(const Json::Value& value) const
{
    switch (m_kind) {
    case Bool:
        return vyr::json::toBool(value, *static_cast<bool*>(m_out));
    case Int:
        return vyr::json::toInt(value, *static_cast<int*>(m_out));
    case Text:
        return readText(value, *static_cast<QString*>(m_out), m_key);
    case Color:
        if (!value.isString())
            return false;
        *static_cast<QColor*>(m_out) = vyr::json::colorFromText(value.asString(), false);
        return true;
    }
    return false;
}

void VYRQWidgetBaseImpl::readOwnAttrs(const Json::Value& attr, std::initializer_list<OwnAttr> rows)
{
    for (const OwnAttr& row : rows) {
        claimAttrKey(row.m_key);
        if (row.m_found)
            *row.m_found = false;
    }
    if (!attr.isObject())
        return;
    for (auto it = attr.begin(), end = attr.end(); it != end; ++it) {
        const char* nameEnd = nullptr;
        const char* name = it.memberName(&nameEnd);
        if (!name || !nameEnd)
            continue;
        const size_t length = size_t(nameEnd - name);
        for (const OwnAttr& row : rows) {
            if (row.m_key && row.m_length == length && std::memcmp(row.m_key, name, length) == 0) {
                const bool read = row.readFrom(*it);
                if (row.m_found)
                    *row.m_found = read;
            }
        }
    }
}

bool VYRQWidgetBaseImpl::isApplyingTheme()
{
    return resources()->isLoadFromThemeRes();
}

bool VYRQWidgetBaseImpl::lookupFill(const QString& name, FillStyle& out)
{
    return resources()->getFillStyle(name, out);
}

bool VYRQWidgetBaseImpl::lookupText(const QString& name, TextStyleDesc& out)
{
    return resources()->getTextStyle(name, out);
}

FillStyle VYRQWidgetBaseImpl::undrawnFill()
{
    FillStyle style;
    style.draw = false;
    return style;
}

// ---------------------------------------------------------------------------
// Language keys

namespace {
const QLatin1String languageKeyPrefix("|->");
} // namespace

bool VYRQWidgetBaseImpl::TextKey::namesKey(const QString& text)
{
    return text.startsWith(languageKeyPrefix);
}

QString VYRQWidgetBaseImpl::TextKey::translate(const QString& text)
{
    return boundedText(resources()->getString(text.mid(languageKeyPrefix.size())));
}

QString VYRQWidgetBaseImpl::TextKey::read(const QString& value)
{
    if (namesKey(value)) {
        m_key = value.mid(languageKeyPrefix.size());
        return translation();
    }
    m_key.clear();
    return boundedText(value);
}

QString VYRQWidgetBaseImpl::TextKey::translation() const
{
    return boundedText(resources()->getString(m_key));
}

#include "moc_VYRQWidgetBaseImpl.cpp"
