#include "VYRQControl.h"

#include "VYRQJson.h"
#include "VYRQPageKeeping_p.h"
#include "VYRQResourceManager.h"

#include <QWidget>

#include <json/value.h>

namespace vyr {

namespace {

QWidget* widgetOf(QObject* target)
{
    return dynamic_cast<QWidget*>(target);
}

// The "Tooltip" row: shown through VYRQToolTip. Never inlined: scripts/check-file-opens.sh
// allows its call by this function's name.
Q_NEVER_INLINE void setControlToolTip(QObject* target, const QString& text)
{
    if (QWidget* w = widgetOf(target))
        w->setToolTip(text);
}

IVYRQWidgetBase* controlOf(QObject* target)
{
    return dynamic_cast<IVYRQWidgetBase*>(target);
}

// A "theme" redirect raises the load-from-theme switch for the rest of one control's
// read; whatever the switch was before that control, it is again afterwards.
VYRQResSwitchGuard keepThemeSwitch()
{
    return VYRQResSwitchGuard(VYRQResSwitchGuard::ThemeRes,
                              VYRQResourceManager::getInstance()->isLoadFromThemeRes());
}

} // namespace

bool readJsonInto(IVYRQWidgetBase*, VYRQWidgetBase& base, VYRQWidgetBaseImpl* impl, void* json)
{
    return serializeInto(base, impl, static_cast<Json::Value*>(json), true);
}

bool serializeInto(VYRQWidgetBase& base, VYRQWidgetBaseImpl* impl, Json::Value* json, bool read)
{
    if (!impl)
        return false;
    const VYRQResSwitchGuard guard = keepThemeSwitch();
    base.serializeJsonValue(json, read);
    Json::Value* value = json;
    const bool ok = impl->serializeJson(value, read);
    // A written element holds "style" only when it has an entry.
    if (!read && json && json->isObject()) {
        static const char key[] = "style";
        const Json::Value* style = json->find(key, key + sizeof key - 1);
        if (style && (style->isNull() || (style->isArray() && style->empty())))
            json->removeMember("style");
        // What the element held that the control does not write, as it was read.
        // Kept by the object the control names as its own (a property list writes
        // through its scroll view's).
        auto* control = dynamic_cast<IVYRQWidgetBase*>(impl->owner());
        const VYRQWidgetBaseImpl* keeper = control && control->getControlImpl() ? control->getControlImpl() : impl;
        if (const Json::Value* kept = keeper->keptKeys())
            VYRQPageKeeping::restore(*kept, *json);
        VYRQPageKeeping::noteWritten(const_cast<VYRQWidgetBaseImpl*>(keeper), *json);
    }
    return ok;
}

void applyJsonData(IVYRQWidgetBase* control, QString& stored, const QString& text)
{
    if (text == stored)
        return;
    if (stored.isEmpty() && !text.isEmpty() && control) {
        Json::Value root;
        if (vyr::json::parse(text.toUtf8(), root))
            control->readJsonValue(&root);
    }
    stored = text;
}

std::vector<PropertyDef> commonPropertyRows()
{
    std::vector<PropertyDef> rows;

    PropertyDef name;
    name.name = QStringLiteral("Name");
    name.kind = PropertyDef::ObjectName;
    name.setText = [](QObject* t, const QString& v) { if (t) t->setObjectName(v); };
    name.getText = [](QObject* t) { return t ? t->objectName() : QString(); };
    rows.push_back(name);

    PropertyDef type;
    type.name = QStringLiteral("Type");
    type.kind = PropertyDef::TypeName;
    type.getText = [](QObject* t) {
        const IVYRQWidgetBase* c = controlOf(t);
        return c ? c->getTypeName() : QString();
    };
    rows.push_back(type);

    PropertyDef visibility;
    visibility.name = QStringLiteral("Visibility");
    visibility.kind = PropertyDef::Bool;
    visibility.setBool = [](QObject* t, bool v) { if (t) t->setProperty("visibility", v); };
    visibility.getBool = [](QObject* t) { return t && t->property("visibility").toBool(); };
    rows.push_back(visibility);

    PropertyDef enable;
    enable.name = QStringLiteral("Enable");
    enable.kind = PropertyDef::Bool;
    enable.setBool = [](QObject* t, bool v) { if (QWidget* w = widgetOf(t)) w->setEnabled(v); };
    enable.getBool = [](QObject* t) {
        const QWidget* w = widgetOf(t);
        return w && w->isEnabled();
    };
    rows.push_back(enable);

    PropertyDef tooltip;
    tooltip.name = QStringLiteral("Tooltip");
    tooltip.kind = PropertyDef::Text;
    tooltip.setText = setControlToolTip;
    tooltip.getText = [](QObject* t) {
        const QWidget* w = widgetOf(t);
        return w ? w->toolTip() : QString();
    };
    rows.push_back(tooltip);

    PropertyDef alpha;
    alpha.name = QStringLiteral("Alpha");
    alpha.kind = PropertyDef::Integer;
    alpha.setInt = [](QObject* t, int v) { if (IVYRQWidgetBase* c = controlOf(t)) c->setOpacity(v); };
    alpha.getInt = [](QObject* t) {
        const IVYRQWidgetBase* c = controlOf(t);
        return c ? c->getOpacity() : 0;
    };
    rows.push_back(alpha);

    PropertyDef line;
    line.name = QStringLiteral("Line");
    line.kind = PropertyDef::Separator;
    rows.push_back(line);

    return rows;
}

ControlInfo makeControlInfo(const char* typeKey, const char* className, const char* displayName,
                            const char* description, const char* category)
{
    ControlInfo info;
    info.typeKey = typeKey ? typeKey : "";
    info.className = className ? className : "";
    info.displayName = displayName ? displayName : "";
    info.description = description ? description : "";
    info.category = category ? category : "";
    info.rows = commonPropertyRows();
    return info;
}

} // namespace vyr

#include "moc_VYRQControl.cpp"
