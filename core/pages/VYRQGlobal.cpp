#include "VYRQGlobal.h"

#include "IVYRQWidgetBase.h"
#include "LanguageManager.h"
#include "VYRQPageHooks_p.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQJsonReader.h"
#include "VYRQLogging.h"
#include "VYRQPageElementScope_p.h"
#include "VYRQPageKeeping_p.h"
#include "VYRQResourceManager.h"
#include "VYRQWidgetBase.h"

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <QWidget>

#include <json/value.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

using CreateFunction = QWidget* (*)();
using BoundCreateFunction = QWidget* (*)(const QString& name, const QString& typeKey);

// Keyed by UTF-8 bytes, so iteration follows the byte order of the keys.
struct Registry {
    std::map<std::string, CreateFunction> createFuncMap;
    std::map<std::string, ControlInfo> controlInfoMap;
    std::set<std::string> flaggedKeys;
    BoundCreateFunction boundCreate = nullptr;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

struct ModeFlags {
    bool started = false;
    bool emulator = false;
};

ModeFlags& modeFlags()
{
    static ModeFlags flags;
    return flags;
}

std::string utf8Key(const QString& key)
{
    return vyr::json::toUtf8(key);
}

bool builtByOwner(const QStringList& ownTypes, const Json::Value& child)
{
    if (ownTypes.isEmpty())
        return false;
    const QString type = vyr::json::stringOr(child, "type");
    for (const QString& own : ownTypes) {
        if (type.contains(own))
            return true;
    }
    return false;
}

QWidget* createControl(const char* typeKey, const Json::Value& element, QWidget* parent, IVYRQWidgetBase*& control);

// `depth`: the element's level, 1 for a page's top-level elements.
QWidget* createElementAt(const Json::Value& element, QWidget* parent, int depth)
{
    if (depth > vyr::maxElementDepth) {
        qCWarning(vyrCore) << "page element nested deeper than" << vyr::maxElementDepth << "levels skipped";
        return nullptr;
    }
    VYRQPageKeeping* keeping = VYRQPageKeeping::active();
    std::string type;
    IVYRQWidgetBase* control = nullptr;
    QWidget* widget = vyr::json::read(element, "type", type) ? createControl(type.c_str(), element, parent, control)
                                                              : nullptr;
    if (!widget) {
        if (keeping)
            keeping->notBuilt(element, parent);
        return nullptr;
    }
    if (keeping)
        keeping->built(widget, element);
    if (const Json::Value* children = vyr::json::array(element, "child")) {
        const QStringList ownTypes = widget->property(vyr::ownChildTypesProperty).toStringList();
        for (Json::ArrayIndex i = 0; i < children->size(); ++i) {
            if (builtByOwner(ownTypes, (*children)[i])) {
                // Read by the control, written back by no one but the keeping.
                if (keeping)
                    keeping->notBuilt((*children)[i], widget);
                continue;
            }
            createElementAt((*children)[i], widget, depth + 1);
        }
    }
    if (control)
        control->createComplete();
    return widget;
}

VYRQResourceManager* startedManager()
{
    return modeFlags().started ? VYRQResourceManager::getInstance() : nullptr;
}

} // namespace

namespace vyr {

void setQtEmulator(bool on)
{
    modeFlags().emulator = on;
}

void setStarted(bool on)
{
    modeFlags().started = on;
}

bool readPageDocument(QString name, Json::Value& root)
{
    if (!name.contains(QLatin1String(".json")))
        name += QLatin1String(".json");

    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    QByteArray content;
    ResSourceType source = ResDefault;
    // Read, not handed out: the set need not keep a page it only parses.
    if (!rm->readResource(name, content, source)) {
        QString path = rm->getSkinDirPath() + name;
        if (!QFileInfo(path).isFile())
            path = name;
        if (!QFileInfo::exists(path)) {
            qCDebug(vyrCore) << "page file not found:" << name;
            return false;
        }
        content = readWholeFile(path);
    }
    if (content.isEmpty())
        return false;
    // Stored pages are read as NUL-terminated text.
    const int end = content.indexOf('\0');
    const char* begin = content.constData();
    if (!vyr::json::parse(begin, begin + (end >= 0 ? end : content.size()), root)) {
        qCWarning(vyrCore) << "page file does not parse:" << name;
        return false;
    }
    return true;
}

namespace {

static_assert(VYRQJsonReader::maxDepth >= 2 * maxElementDepth + 2,
              "a page's deepest built element must be within what the fast reader takes");

enum class PageLimit { Within, Siblings, Controls };

// What the walk met so far in the whole document: its elements, and whether any lie
// deeper than the loader builds.
struct PageCount {
    qint64 total = 0;
    bool cut = false;
};

// `list` holds the elements of level `depth`. `stacked`: the entries of the lists that
// hold the elements above them. Qt paints an element's children from within the
// recursion over its own siblings, so what one paint stacks up is the sum of the lists
// along the path, not the longest of them.
// `built`: whether the loader builds the list's elements as controls; below an element
// of a type no factory is registered for it builds nothing, and nothing is cut there.
PageLimit pageLimitOf(const Json::Value* list, int depth, Json::ArrayIndex stacked, PageCount& count, bool built)
{
    if (!list)
        return PageLimit::Within;
    if (list->size() > Json::ArrayIndex(maxPageSiblings) - stacked)
        return PageLimit::Siblings;
    // Deeper elements are never built.
    if (depth > maxElementDepth) {
        count.cut = count.cut || (built && !list->empty());
        return PageLimit::Within;
    }
    count.total += list->size();
    if (count.total > maxPageControls)
        return PageLimit::Controls;
    stacked += list->size();
    for (const Json::Value& element : *list) {
        if (!element.isObject())
            continue;
        std::string type;
        const bool typed = built && vyr::json::read(element, "type", type)
            && registry().createFuncMap.count(type) != 0;
        const PageLimit limit = pageLimitOf(vyr::json::array(element, "child"), depth + 1, stacked, count, typed);
        if (limit != PageLimit::Within)
            return limit;
    }
    return PageLimit::Within;
}

// Adds the items of `list` and of its sub-menus to `count`, stopping once past the limit.
void countMenuItems(const Json::Value* list, int depth, int& count)
{
    if (!list || depth > maxElementDepth)
        return;
    for (const Json::Value& item : *list) {
        if (++count > maxMenuItems)
            return;
        if (item.isObject())
            countMenuItems(vyr::json::array(item, "items"), depth + 1, count);
    }
}

} // namespace

bool pageWithinLimits(const Json::Value& root, QString* refusal, bool* cut)
{
    PageCount count;
    const PageLimit limit = pageLimitOf(vyr::json::array(root, "elements"), 1, 0, count, true);
    if (cut)
        *cut = count.cut;
    if (refusal && limit == PageLimit::Siblings)
        *refusal = QStringLiteral("has lists of more than %1 elements along one path").arg(maxPageSiblings);
    else if (refusal && limit == PageLimit::Controls)
        *refusal = QStringLiteral("has more than %1 elements in all").arg(maxPageControls);
    return limit == PageLimit::Within;
}

bool menuWithinLimits(const Json::Value& root)
{
    int count = 0;
    countMenuItems(vyr::json::array(root, "items"), 0, count);
    return count <= maxMenuItems;
}

QStringList registeredKeys()
{
    QStringList keys;
    for (const auto& entry : registry().createFuncMap)
        keys << QString::fromStdString(entry.first);
    return keys;
}

bool pathNamesEmulator(const QString& path)
{
    return path.contains(QLatin1String("VyrantQtEmulator"), Qt::CaseSensitive)
        || path.contains(QLatin1String("Halvik"), Qt::CaseSensitive);
}

} // namespace vyr

// ---------------------------------------------------------------------------
// Life cycle

namespace VYRQtLib {

void shutdown()
{
}

bool isStarted()
{
    return modeFlags().started;
}

} // namespace VYRQtLib

// ---------------------------------------------------------------------------
// Registry

void vyrRegisterQtControl(const char* key, QWidget* (*create)(), ControlInfo info, bool flag)
{
    if (!key || !create)
        return;
    Registry& reg = registry();
    reg.createFuncMap[key] = create;
    reg.controlInfoMap[key] = std::move(info);
    if (flag)
        reg.flaggedKeys.insert(key);
}

void vyrRegisterDefaultControl(const char* key, QWidget* (*create)())
{
    if (!key || !create)
        return;
    registry().createFuncMap[key] = create;
}

ControlInfo* vyrGetControlInfo(const QString& key)
{
    auto& infos = registry().controlInfoMap;
    const auto it = infos.find(utf8Key(key));
    return it == infos.end() ? nullptr : &it->second;
}

QVector<ControlInfo*> vyrGetAllControlInfo()
{
    QVector<ControlInfo*> all;
    auto& infos = registry().controlInfoMap;
    all.reserve(int(infos.size()));
    for (auto& entry : infos)
        all.append(&entry.second);
    return all;
}

void vyrBindControlCreateFunction(QWidget* (*fn)(const QString& name, const QString& typeKey))
{
    registry().boundCreate = fn;
}

bool vyrIsQtEmulator()
{
    return modeFlags().emulator;
}

// ---------------------------------------------------------------------------
// Loaders

namespace {

// The widget the factory made, and its interface (cast once, here).
QWidget* createControl(const char* typeKey, const Json::Value& element, QWidget* parent, IVYRQWidgetBase*& control)
{
    control = nullptr;
    if (!typeKey)
        return nullptr;
    Registry& reg = registry();
    QWidget* widget = nullptr;
    bool placed = false;
    if (reg.boundCreate)
        widget = reg.boundCreate(vyr::json::stringOr(element, "name"), QString::fromUtf8(typeKey));
    if (!widget) {
        const auto it = reg.createFuncMap.find(typeKey);
        if (it == reg.createFuncMap.end() || !it->second)
            return nullptr;
        QWidget* builtUnder = nullptr;
        {
            const VYRQPageElementScope building(typeKey, element.isObject() ? &element : nullptr, parent);
            widget = it->second();
            builtUnder = building.builtUnderParent();
        }
        if (!widget)
            return nullptr;
        placed = builtUnder == widget && widget->parentWidget() == parent && !widget->isWindow();
    }
    if (!placed)
        widget->setParent(parent);
    control = dynamic_cast<IVYRQWidgetBase*>(widget);
    if (control) {
        VYRQResourceManager::getInstance()->setSwitchToThemeRes(false);
        if (!element.isNull())
            control->readJsonValue(const_cast<Json::Value*>(&element));
    }
    return widget;
}

} // namespace

QWidget* createControlFromJson(const char* typeKey, const Json::Value& element, QWidget* parent)
{
    IVYRQWidgetBase* control = nullptr;
    return createControl(typeKey, element, parent, control);
}

namespace {

// A control's clone is built by its type key, as createControlFromJson builds one.
[[maybe_unused]] const bool controlMakerSet = [] {
    vyr::controlMaker() = [](const char* typeKey, QWidget* parent) {
        return createControlFromJson(typeKey, Json::Value(), parent);
    };
    return true;
}();

} // namespace

QWidget* createElementFromJson(const Json::Value& element, QWidget* parent)
{
    return createElementAt(element, parent, 1);
}

QWidget* createControlByType(const char* typeKey, QWidget* parent)
{
    if (!typeKey)
        return nullptr;
    auto& factories = registry().createFuncMap;
    const auto it = factories.find(typeKey);
    if (it == factories.end() || !it->second)
        return nullptr;
    QWidget* widget = it->second();
    if (widget)
        widget->setParent(parent);
    return widget;
}

QString jsonUtf8ToQString(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

// ---------------------------------------------------------------------------
// Mode flags

void vyrSetIsInDesigner(bool on)
{
    vyr::designModes().designer = on;
}

bool vyrIsInDesigner()
{
    return vyr::designModes().designer;
}

void vyrEnableSerializeChild(bool on)
{
    vyr::designModes().serializeChild = on;
}

bool vyrIsSerializeChild()
{
    return vyr::designModes().serializeChild;
}

void vyrEnableHighDpi(bool on)
{
    if (QCoreApplication::instance())
        qCWarning(vyrCore) << "vyrEnableHighDpi called after the application was created; it has no effect";
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, on);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, on);
}

// ---------------------------------------------------------------------------
// Forwarders

bool vyrLoadThemeDir(const char* path)
{
    VYRQResourceManager* rm = startedManager();
    return rm && path && rm->loadThemeDir(QString::fromUtf8(path));
}

bool vyrLoadThemeFile(const char* path)
{
    VYRQResourceManager* rm = startedManager();
    return rm && path && rm->loadThemeFile(QString::fromUtf8(path));
}

bool vyrNotifyThemeChange()
{
    VYRQResourceManager* rm = startedManager();
    return rm && rm->themeChange();
}

bool vyrLoadSkinFile(const QString& path, float scale)
{
    VYRQResourceManager* rm = startedManager();
    if (!rm)
        return false;
    rm->setScaleFactor(scale);
    return rm->loadSkinFile(path);
}

bool vyrSetSkinFilePath(const QString& path, float scale)
{
    VYRQResourceManager* rm = startedManager();
    if (!rm)
        return false;
    rm->setScaleFactor(scale);
    return rm->setSkinDirPath(path);
}

bool vyrSetProjectFilePath(const QString& path)
{
    VYRQResourceManager* rm = startedManager();
    return rm && rm->setProjectDirPath(path);
}

bool vyrGetFillStyle(const QString& name, FillStyle& out)
{
    return VYRQResourceManager::getInstance()->getFillStyle(name, out);
}

bool vyrGetTextStyle(const QString& name, TextStyleDesc& out)
{
    return VYRQResourceManager::getInstance()->getTextStyle(name, out);
}

bool vyrGetProjectFillStyle(const QString& name, FillStyle& out)
{
    VYRQResSwitchGuard project(VYRQResSwitchGuard::ProjectRes, true);
    return VYRQResourceManager::getInstance()->getFillStyle(name, out);
}

bool vyrGetProjectTextStyle(const QString& name, TextStyleDesc& out)
{
    VYRQResSwitchGuard project(VYRQResSwitchGuard::ProjectRes, true);
    return VYRQResourceManager::getInstance()->getTextStyle(name, out);
}

void vyrSetFillStyle(const QString& name, FillStyle& style)
{
    VYRQResourceManager::getInstance()->setFillStyle(name, style);
}

void vyrSetProjectFillStyle(const QString& name, FillStyle& style)
{
    VYRQResSwitchGuard project(VYRQResSwitchGuard::ProjectRes, true);
    VYRQResourceManager::getInstance()->setFillStyle(name, style);
}

void vyrSetTextStyle(const QString& name, TextStyleDesc& style)
{
    VYRQResourceManager::getInstance()->setTextStyle(name, style);
}

void vyrSetProjectTextStyle(const QString& name, TextStyleDesc& style)
{
    VYRQResSwitchGuard project(VYRQResSwitchGuard::ProjectRes, true);
    VYRQResourceManager::getInstance()->setTextStyle(name, style);
}

const QVector<FillStyle>& vyrGetAllFillStyle()
{
    return VYRQResourceManager::getInstance()->getFillStyles();
}

const QVector<TextStyleDesc>& vyrGetAllTextStyle()
{
    return VYRQResourceManager::getInstance()->getTextStyles();
}

const VYRGlobalConfig& vyrGetGlobalConfig()
{
    return VYRQResourceManager::getInstance()->getGlobalConfig();
}

void vyrSetGlobalConfig(const VYRGlobalConfig& config)
{
    VYRQResourceManager::getInstance()->setGlobalConfig(config);
}

QString vyrGetGlobalFontFamily()
{
    return VYRQResourceManager::getInstance()->getGlobalFontFamily();
}

void vyrSetGlobalFontFamily(const QString& family)
{
    VYRQResourceManager::getInstance()->setGlobalFontFamily(family);
}

LanguageManager* vyrGetLanguageManager()
{
    return LanguageManager::instance();
}

bool vyrLoadLanguageFile(const QString& path, QString* error)
{
    return LanguageManager::instance()->loadFromFile(path, error);
}

bool vyrSetLanguage(const QString& language)
{
    return LanguageManager::instance()->setLanguage(language);
}

QString vyrGetLanguage()
{
    return LanguageManager::instance()->currentLanguage();
}

QString vyrText(const QString& key, const QString& fallback)
{
    return LanguageManager::instance()->text(key, fallback);
}
