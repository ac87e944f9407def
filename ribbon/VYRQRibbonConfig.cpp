#include "VYRQRibbonConfig_p.h"

#include "VYRQCheckBox.h"
#include "VYRQComboBox.h"
#include "VYRQContainer.h"
#include "VYRQIconFile_p.h"
#include "VYRQJson.h"
#include "VYRQLabel.h"
#include "VYRQLineEdit.h"
#include "VYRQProgressBar.h"
#include "VYRQRadioButton.h"
#include "VYRQRegularFile.h"
#include "VYRQRibbonBar.h"
#include "VYRQRibbonBarImpl.h"
#include "VYRQRibbonButton.h"
#include "VYRQRibbonContextGroup.h"
#include "VYRQRibbonGallery.h"
#include "VYRQRibbonGroup.h"
#include "VYRQRibbonMenu.h"
#include "VYRQRibbonPage.h"
#include "VYRQRibbonPlace_p.h"
#include "VYRQSpinBox.h"
#include "VYRQSwitch.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include <json/reader.h>
#include <json/value.h>

#include <memory>

namespace {

constexpr const char* iconProperty = "vyrRibbonIconPath";
// Deep enough for any real ribbon; the readers below recurse over menus.
constexpr int maxNesting = 200;
constexpr int maxMenuDepth = 64;
constexpr int maxWidgetSize = 16777215;

// The lenient readers: a value of another JSON type reads as the default.
QString text(const Json::Value& obj, const char* key, const QString& fallback = QString())
{
    const Json::Value* v = vyr::json::member(obj, key);
    return v && v->isString() ? vyr::json::toQString(*v) : fallback;
}

bool flag(const Json::Value& obj, const char* key, bool fallback)
{
    const Json::Value* v = vyr::json::member(obj, key);
    return v && v->isBool() ? v->asBool() : fallback;
}

// An integral number within 32 bits; a real with an integral value counts.
bool integer(const Json::Value& obj, const char* key, int& out)
{
    const Json::Value* v = vyr::json::member(obj, key);
    if (!v || v->isBool() || !v->isInt())
        return false;
    out = v->asInt();
    return true;
}

int integerOr(const Json::Value& obj, const char* key, int fallback)
{
    integer(obj, key, fallback);
    return fallback;
}

// Members of an array key that are objects; a missing or other value gives none.
template <class Fn>
void forEachObject(const Json::Value& obj, const char* key, Fn fn)
{
    const Json::Value* list = vyr::json::array(obj, key);
    if (!list)
        return;
    for (const Json::Value& entry : *list)
        if (entry.isObject())
            fn(entry);
}

// The text an action item shows: "text", else "id", else "Command".
QString actionText(const Json::Value& item)
{
    return text(item, "text", text(item, "id", QStringLiteral("Command")));
}

QString colorText(const QColor& color)
{
    return color.name(QColor::HexArgb);
}

bool comboItemsAreTexts(const Json::Value& item)
{
    if (text(item, "type") != QLatin1String("widget") || text(item, "control") != QLatin1String("comboBox"))
        return true;
    const Json::Value* items = vyr::json::array(item, "items");
    if (!items)
        return true;
    for (const Json::Value& entry : *items)
        if (!entry.isString())
            return false;
    return true;
}

bool pageItemsAreTexts(const Json::Value& page)
{
    bool ok = true;
    forEachObject(page, "groups", [&ok](const Json::Value& group) {
        forEachObject(group, "items", [&ok](const Json::Value& item) { ok = ok && comboItemsAreTexts(item); });
    });
    return ok;
}

struct Counts {
    qint64 pages = 0;
    qint64 groups = 0;
    qint64 items = 0;
};

// Counted as the reader below builds them.
void countMenu(const Json::Value* entries, int depth, Counts& n)
{
    if (!entries || !entries->isArray() || depth >= maxMenuDepth)
        return;
    for (const Json::Value& entry : *entries) {
        if (!entry.isObject())
            continue;
        ++n.items;
        countMenu(vyr::json::array(entry, "items"), depth + 1, n);
    }
}

void countWidget(const Json::Value& item, Counts& n)
{
    ++n.items;
    const Json::Value* texts = vyr::json::array(item, "items");
    if (texts && text(item, "control") == QLatin1String("comboBox"))
        n.items += texts->size();
}

void countItem(const Json::Value& item, Counts& n)
{
    const QString type = text(item, "type", QStringLiteral("button"));
    if (type == QLatin1String("widget")) {
        countWidget(item, n);
        return;
    }
    ++n.items;
    const Json::Value* entries = vyr::json::array(item, "items");
    if (type == QLatin1String("gallery") && entries)
        n.items += entries->size();
    else if (type != QLatin1String("separator"))
        countMenu(vyr::json::member(item, "menu"), 0, n);
}

void countPage(const Json::Value& page, Counts& n)
{
    ++n.pages;
    forEachObject(page, "groups", [&n](const Json::Value& group) {
        ++n.groups;
        forEachObject(group, "items", [&n](const Json::Value& item) { countItem(item, n); });
    });
}

// The message for a document past the bounds, empty when within them.
QString pastBounds(const Json::Value& root)
{
    Counts n;
    if (const Json::Value* application = vyr::json::object(root, "application"))
        countMenu(vyr::json::member(*application, "menu"), 0, n);
    forEachObject(root, "quickAccess", [&n](const Json::Value&) { ++n.items; });
    forEachObject(root, "topRight", [&n](const Json::Value& item) { countWidget(item, n); });
    forEachObject(root, "pages", [&n](const Json::Value& page) { countPage(page, n); });
    forEachObject(root, "contextGroups", [&n](const Json::Value& group) {
        ++n.groups;
        forEachObject(group, "pages", [&n](const Json::Value& page) { countPage(page, n); });
    });
    const auto past = [](qint64 bound, const char* what) {
        return QStringLiteral("Invalid Ribbon config: more than %1 %2.").arg(bound).arg(QLatin1String(what));
    };
    if (n.pages > VYRQRibbonConfig::maxPages)
        return past(VYRQRibbonConfig::maxPages, "pages");
    if (n.groups > VYRQRibbonConfig::maxGroups)
        return past(VYRQRibbonConfig::maxGroups, "groups");
    if (n.items > VYRQRibbonConfig::maxItems)
        return past(VYRQRibbonConfig::maxItems, "items");
    return QString();
}

} // namespace

// ---------------------------------------------------------------------------
// Loading

bool VYRQRibbonConfig::fail(VYRQRibbonBar& bar, const QString& source, const QString& message)
{
    bar.impl()->lastError = message;
    emit bar.configLoadFailed(source, message);
    return false;
}

bool VYRQRibbonConfig::parse(const QByteArray& bytes, Json::Value& root, QString& errors)
{
    const int end = bytes.indexOf('\0');
    const char* begin = bytes.constData();
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    builder["stackLimit"] = maxNesting;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string messages;
    try {
        Json::Value parsed;
        if (reader->parse(begin, begin + (end >= 0 ? end : bytes.size()), &parsed, &messages)) {
            root.swap(parsed);
            return true;
        }
    } catch (...) {
        messages += "document nests too deeply\n";
    }
    errors = QString::fromStdString(messages);
    return false;
}

bool VYRQRibbonConfig::loadFile(VYRQRibbonBar& bar, const QString& path)
{
    QStringList candidates;
    if (QFileInfo(path).isAbsolute()) {
        candidates << path;
    } else {
        candidates << QDir(QCoreApplication::applicationDirPath()).filePath(path)
                   << QDir::current().absoluteFilePath(path) << path;
    }
    // Read as theme files are: a FIFO or a device under a candidate's name is passed
    // over without being waited on or read.
    QByteArray bytes;
    QString opened;
    for (const QString& candidate : qAsConst(candidates)) {
        const vyr::FileRead result = vyr::readRegularFile(candidate, maxFileSize, bytes);
        if (result == vyr::FileRead::TooLarge) {
            return fail(bar, candidate, QStringLiteral("Ribbon config file is larger than %1 bytes: %2")
                                            .arg(maxFileSize)
                                            .arg(candidate));
        }
        if (result == vyr::FileRead::Read) {
            opened = candidate;
            break;
        }
    }
    if (opened.isEmpty())
        return fail(bar, path, QStringLiteral("Ribbon config file was not found: %1").arg(path));
    Json::Value root;
    QString errors;
    if (!parse(bytes, root, errors))
        return fail(bar, opened, QStringLiteral("Invalid Ribbon JSON in %1: %2").arg(opened, errors));
    bar.impl()->configFile = path;
    return apply(bar, root, opened);
}

bool VYRQRibbonConfig::loadText(VYRQRibbonBar& bar, const QString& source)
{
    Json::Value root;
    QString errors;
    if (!parse(source.toUtf8(), root, errors))
        return fail(bar, QStringLiteral("inline"), QStringLiteral("Invalid Ribbon JSON: %1").arg(errors));
    return apply(bar, root, QStringLiteral("inline"));
}

QString VYRQRibbonConfig::check(const Json::Value& root)
{
    if (!root.isObject())
        return QStringLiteral("Ribbon config root must be an object.");
    int version = 0;
    if (!integer(root, "schemaVersion", version) || version != 1)
        return QStringLiteral("Unsupported Ribbon schemaVersion; expected 1.");
    const QString tooMany = pastBounds(root);
    if (!tooMany.isEmpty())
        return tooMany;
    // The one value the reader cannot take; refused here, before anything is cleared.
    bool ok = true;
    forEachObject(root, "topRight", [&ok](const Json::Value& item) { ok = ok && comboItemsAreTexts(item); });
    forEachObject(root, "pages", [&ok](const Json::Value& page) { ok = ok && pageItemsAreTexts(page); });
    forEachObject(root, "contextGroups", [&ok](const Json::Value& group) {
        forEachObject(group, "pages", [&ok](const Json::Value& page) { ok = ok && pageItemsAreTexts(page); });
    });
    return ok ? QString() : QStringLiteral("Invalid Ribbon config: comboBox items must be strings.");
}

bool VYRQRibbonConfig::apply(VYRQRibbonBar& bar, const Json::Value& root, const QString& source)
{
    const QString refused = check(root);
    if (!refused.isEmpty())
        return fail(bar, source, refused);

    VYRQRibbonBarImpl* d = bar.impl();
    bar.clearContent();
    // Tabs and page layouts are built once, after the whole document is read.
    ++d->loading;
    d->layoutMode = vyr::ribbonLayoutModeFromName(text(root, "layoutMode", QStringLiteral("office")));
    d->groupRows = d->layoutMode == VYR_RIBBON_LAYOUT_MODE::compact ? 2 : 3;

    if (const Json::Value* application = vyr::json::object(root, "application")) {
        const Json::Value* entries = vyr::json::member(*application, "menu");
        VYRQRibbonMenu* menu = createMenu(bar, entries ? *entries : Json::Value(), d->applicationButton);
        menu->setTitle(text(*application, "text", QStringLiteral("File")));
        bar.setApplicationMenu(menu->title(), menu, text(*application, "icon"));
    }
    forEachObject(root, "quickAccess",
                  [&bar](const Json::Value& item) { bar.addQuickAction(createActionItem(bar, item)); });
    forEachObject(root, "topRight", [&bar, d](const Json::Value& item) {
        if (QWidget* widget = createWidgetItem(item, d->topRow))
            bar.addTopRightWidget(widget);
    });
    forEachObject(root, "pages", [&bar](const Json::Value& page) { readPage(bar, page, nullptr); });
    forEachObject(root, "contextGroups", [&bar](const Json::Value& object) {
        VYRQRibbonContextGroup* group = bar.addContextGroup(
            text(object, "id"), text(object, "text"), QColor(text(object, "color", QStringLiteral("#5a8dee"))));
        forEachObject(object, "pages", [&bar, group](const Json::Value& page) { readPage(bar, page, group); });
        group->m_visible = flag(object, "visible", false);
    });
    --d->loading;
    // Everything a page holds is styled, polished and laid out while the pages are
    // still hidden: once a page shows, each button's polish request posts a layout
    // request to its group (and Qt looks for an earlier one through the whole event
    // queue), and each restyled or moved button is a dirty widget of its own.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
    d->applyRibbonStyles();
    const QRect area(0, 0, d->pageArea->width(), d->pageArea->height());
    for (VYRQRibbonPage* page : qAsConst(d->pages))
        vyr::placeRibbonChild(page, area);
    bar.relayoutPages();
    // The commands are children of the bar as well. Qt looks at every later sibling of
    // a repainted widget's ancestors, so the rows go after them in the child list
    // (their stacking among themselves is kept).
    d->topRow->raise();
    d->tabRow->raise();
    d->pageArea->raise();
    bar.rebuildTabs();

    const QString current = text(root, "currentPage");
    if (!current.isEmpty())
        bar.setCurrentPage(current);
    else if (!d->tabPages.isEmpty())
        bar.setCurrentPage(d->pages.indexOf(d->tabPages.first()));

    const bool minimized = flag(root, "minimized", false);
    if (minimized != d->minimized) {
        d->minimized = minimized;
        if (!minimized)
            bar.hideMinimizedPopup();
        emit bar.minimizedChanged(minimized);
        bar.updateGeometry();
        bar.updateLayout();
    }
    bar.updateLayout();
    d->lastError.clear();
    return true;
}

void VYRQRibbonConfig::readPage(VYRQRibbonBar& bar, const Json::Value& object, VYRQRibbonContextGroup* group)
{
    VYRQRibbonPage* page = bar.insertPage(bar.pageCount(), text(object, "id"), text(object, "text"));
    if (group) {
        page->setContextGroup(group);
        group->m_pages.append(page);
        bar.rebuildTabs();
    }
    forEachObject(object, "groups", [&bar, page](const Json::Value& groupObject) {
        VYRQRibbonGroup* ribbonGroup =
            page->insertGroup(page->groupCount(), text(groupObject, "id"), text(groupObject, "text"));
        ribbonGroup->setExpanding(flag(groupObject, "expanding", false));
        ribbonGroup->updateGeometry();
        forEachObject(groupObject, "items", [&bar, ribbonGroup](const Json::Value& item) {
            const QString type = text(item, "type", QStringLiteral("button"));
            if (type == QLatin1String("separator")) {
                ribbonGroup->addSeparator();
            } else if (type == QLatin1String("widget")) {
                if (QWidget* widget = createWidgetItem(item, ribbonGroup))
                    ribbonGroup->addWidget(widget, vyr::ribbonItemSizeFromName(text(item, "size", "small")));
            } else if (type == QLatin1String("gallery")) {
                VYRQRibbonGallery* gallery =
                    ribbonGroup->addGallery(integerOr(item, "columns", 3), integerOr(item, "rows", 2));
                if (const Json::Value* entries = vyr::json::array(item, "items")) {
                    gallery->m_layoutDeferred = true;
                    for (const Json::Value& entry : *entries)
                        gallery->addItem(text(entry, "id"), text(entry, "text"), text(entry, "icon"));
                    gallery->m_layoutDeferred = false;
                    gallery->updateGalleryLayout();
                }
            } else {
                QAction* action = createActionItem(bar, item);
                const Json::Value* entries = vyr::json::member(item, "menu");
                VYRQRibbonMenu* menu = entries ? createMenu(bar, *entries, ribbonGroup) : nullptr;
                const QString popup = text(item, "popup", menu ? QStringLiteral("instant") : QStringLiteral("none"));
                ribbonGroup->addAction(action, vyr::ribbonItemSizeFromName(text(item, "size", "large")),
                                       vyr::ribbonPopupModeFromName(popup), menu);
            }
        });
    });
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE QAction* VYRQRibbonConfig::createActionItem(VYRQRibbonBar& bar, const Json::Value& item)
{
    auto* action = new QAction(&bar);
    action->setText(actionText(item));
    action->setObjectName(text(item, "id"));
    action->setToolTip(text(item, "tooltip"));
    action->setEnabled(flag(item, "enabled", true));
    action->setCheckable(flag(item, "checkable", false));
    action->setChecked(flag(item, "checked", false));
    const QString icon = text(item, "icon");
    action->setProperty(iconProperty, icon);
    if (!icon.isEmpty())
        action->setIcon(vyr::readIconFile(icon, vyr::largeIconSide));
    bar.registerAction(action);
    return action;
}

VYRQRibbonMenu* VYRQRibbonConfig::createMenu(VYRQRibbonBar& bar, const Json::Value& entries, QWidget* parent,
                                             int depth)
{
    auto* menu = new VYRQRibbonMenu(parent);
    menu->setThemeName(QStringLiteral("RibbonMenu"));
    if (!entries.isArray() || depth >= maxMenuDepth)
        return menu;
    for (const Json::Value& entry : entries) {
        if (!entry.isObject())
            continue;
        const Json::Value* separator = vyr::json::member(entry, "separator");
        if (separator && separator->isBool() && separator->asBool()) {
            menu->addSeparator();
        } else if (const Json::Value* items = vyr::json::array(entry, "items")) {
            VYRQRibbonMenu* sub = createMenu(bar, *items, menu, depth + 1);
            sub->setTitle(actionText(entry));
            menu->addMenu(sub);
        } else {
            menu->addAction(createActionItem(bar, entry));
        }
    }
    return menu;
}

QWidget* VYRQRibbonConfig::createWidgetItem(const Json::Value& item, QWidget* parent)
{
    const QString control = text(item, "control");
    QWidget* widget = nullptr;
    if (control == QLatin1String("comboBox")) {
        auto* combo = new VYRQComboBox(parent);
        if (const Json::Value* items = vyr::json::array(item, "items")) {
            for (const Json::Value& entry : *items)
                if (entry.isString())
                    combo->insertItem(combo->count(), vyr::json::toQString(entry));
        }
        combo->setCurrentIndex(integerOr(item, "currentIndex", 0));
        widget = combo;
    } else if (control == QLatin1String("lineEdit")) {
        auto* edit = new VYRQLineEdit(parent);
        edit->setText(text(item, "text"));
        edit->setPlaceholderText(text(item, "placeholder"));
        widget = edit;
    } else if (control == QLatin1String("spinBox")) {
        auto* spin = new VYRQSpinBox(parent);
        spin->setMinimum(integerOr(item, "min", 0));
        spin->setMaximum(integerOr(item, "max", 100));
        spin->setValue(integerOr(item, "value", 0));
        widget = spin;
    } else if (control == QLatin1String("checkBox")) {
        auto* check = new VYRQCheckBox(parent);
        check->setText(text(item, "text"));
        check->setChecked(flag(item, "checked", false));
        widget = check;
    } else if (control == QLatin1String("radioButton")) {
        auto* radio = new VYRQRadioButton(parent);
        radio->setText(text(item, "text"));
        radio->setChecked(flag(item, "checked", false));
        widget = radio;
    } else if (control == QLatin1String("switch")) {
        auto* toggle = new VYRQSwitch(parent);
        toggle->setLeftText(text(item, "leftText"));
        toggle->setRightText(text(item, "rightText"));
        toggle->setSwitchToLeft(!flag(item, "checked", false));
        widget = toggle;
    } else if (control == QLatin1String("progressBar")) {
        auto* progress = new VYRQProgressBar(parent);
        progress->setMinimum(integerOr(item, "min", 0));
        progress->setMaximum(integerOr(item, "max", 100));
        progress->setValue(integerOr(item, "value", 0));
        progress->setShowText(flag(item, "showText", true));
        widget = progress;
    } else if (control == QLatin1String("label")) {
        auto* label = new VYRQLabel(parent);
        label->setText(text(item, "text"));
        TextStyleDesc style = label->getTextStyle(Normal);
        style.hor = 1;
        style.ver = 1;
        label->setTextStyle(Normal, style);
        widget = label;
    } else {
        return nullptr;
    }
    widget->setObjectName(text(item, "id"));
    int width = 0;
    if (integer(item, "width", width) && width > 0)
        widget->setMinimumWidth(std::min(width, maxWidgetSize));
    return widget;
}

// ---------------------------------------------------------------------------
// Writing

Json::Value VYRQRibbonConfig::writeMenu(const QWidget* menu, int depth)
{
    Json::Value entries(Json::arrayValue);
    if (!menu || depth >= maxMenuDepth)
        return entries;
    for (QAction* action : menu->actions()) {
        Json::Value entry(Json::objectValue);
        if (action->isSeparator()) {
            entry["separator"] = true;
            entries.append(entry);
            continue;
        }
        entry["id"] = vyr::json::toUtf8(action->objectName());
        entry["text"] = vyr::json::toUtf8(action->text());
        const QString icon = action->property(iconProperty).toString();
        if (!icon.isEmpty())
            entry["icon"] = vyr::json::toUtf8(icon);
        entry["enabled"] = action->isEnabled();
        entry["checkable"] = action->isCheckable();
        entry["checked"] = action->isChecked();
        if (auto* sub = qobject_cast<VYRQRibbonMenu*>(action->menu()))
            entry["items"] = writeMenu(sub, depth + 1);
        entries.append(entry);
    }
    return entries;
}

Json::Value VYRQRibbonConfig::writeWidget(const QWidget* widget)
{
    Json::Value item(Json::objectValue);
    item["type"] = "widget";
    if (!widget)
        return item;
    item["id"] = vyr::json::toUtf8(widget->objectName());
    const int width = widget->minimumWidth();
    if (width > 0 && width < maxWidgetSize)
        item["width"] = width;
    auto str = [](const QString& s) { return Json::Value(vyr::json::toUtf8(s)); };
    if (auto* combo = qobject_cast<const VYRQComboBox*>(widget)) {
        item["control"] = "comboBox";
        item["currentIndex"] = combo->currentIndex();
        Json::Value texts(Json::arrayValue);
        for (int i = 0; i < combo->count(); ++i)
            texts.append(str(combo->itemText(i)));
        item["items"] = texts;
    } else if (auto* edit = qobject_cast<const VYRQLineEdit*>(widget)) {
        item["control"] = "lineEdit";
        item["text"] = str(edit->text());
        item["placeholder"] = str(edit->getPlaceholderText());
    } else if (auto* spin = qobject_cast<const VYRQSpinBox*>(widget)) {
        item["control"] = "spinBox";
        item["min"] = spin->minimum();
        item["max"] = spin->maximum();
        item["value"] = spin->value();
    } else if (auto* check = qobject_cast<const VYRQCheckBox*>(widget)) {
        item["control"] = "checkBox";
        item["text"] = str(check->text());
        item["checked"] = check->isChecked();
    } else if (auto* radio = qobject_cast<const VYRQRadioButton*>(widget)) {
        item["control"] = "radioButton";
        item["text"] = str(radio->text());
        item["checked"] = radio->isChecked();
    } else if (auto* toggle = qobject_cast<const VYRQSwitch*>(widget)) {
        item["control"] = "switch";
        item["leftText"] = str(toggle->getLeftText());
        item["rightText"] = str(toggle->getRightText());
        item["checked"] = !toggle->getIsSwitchToLeft();
    } else if (auto* progress = qobject_cast<const VYRQProgressBar*>(widget)) {
        item["control"] = "progressBar";
        item["min"] = progress->minimum();
        item["max"] = progress->maximum();
        item["value"] = progress->value();
        item["showText"] = progress->getShowText();
    } else if (auto* label = qobject_cast<const VYRQLabel*>(widget)) {
        item["control"] = "label";
        item["text"] = str(label->text());
    }
    return item;
}

Json::Value VYRQRibbonConfig::writePage(const VYRQRibbonPage* page)
{
    auto str = [](const QString& s) { return Json::Value(vyr::json::toUtf8(s)); };
    Json::Value object(Json::objectValue);
    object["id"] = str(page->pageId());
    object["text"] = str(page->title());
    Json::Value groups(Json::arrayValue);
    for (int g = 0; g < page->groupCount(); ++g) {
        const VYRQRibbonGroup* group = page->groupAt(g);
        Json::Value groupObject(Json::objectValue);
        groupObject["id"] = str(group->groupId());
        groupObject["text"] = str(group->title());
        groupObject["expanding"] = group->isExpanding();
        Json::Value items(Json::arrayValue);
        for (const VYRQRibbonGroup::Item& record : group->items()) {
            Json::Value item(Json::objectValue);
            const QString size = vyr::ribbonItemSizeName(record.size);
            if (QAction* action = record.action) {
                item["id"] = str(action->objectName());
                item["text"] = str(action->text());
                item["icon"] = str(action->property(iconProperty).toString());
                item["tooltip"] = str(action->toolTip());
                item["enabled"] = action->isEnabled();
                item["checkable"] = action->isCheckable();
                item["checked"] = action->isChecked();
                if (auto* button = qobject_cast<VYRQRibbonButton*>(record.widget.data())) {
                    item["popup"] = str(vyr::ribbonPopupModeName(button->popupMode()));
                    if (VYRQRibbonMenu* menu = button->popupMenu())
                        item["menu"] = writeMenu(menu);
                }
            } else if (auto* gallery = qobject_cast<VYRQRibbonGallery*>(record.widget.data())) {
                item["columns"] = gallery->columnCount();
                item["rows"] = gallery->visibleRowCount();
                Json::Value entries(Json::arrayValue);
                for (QAction* action : gallery->galleryActions()) {
                    Json::Value entry(Json::objectValue);
                    entry["id"] = str(action->objectName());
                    entry["text"] = str(action->text());
                    entry["icon"] = str(action->property(iconProperty).toString());
                    entries.append(entry);
                }
                item["items"] = entries;
            } else if (record.kind == QLatin1String("widget")) {
                item = writeWidget(record.widget);
            }
            item["type"] = str(record.kind);
            item["size"] = str(size);
            items.append(item);
        }
        groupObject["items"] = items;
        groups.append(groupObject);
    }
    object["groups"] = groups;
    return object;
}

Json::Value VYRQRibbonConfig::write(const VYRQRibbonBar& bar)
{
    const VYRQRibbonBarImpl* d = bar.impl();
    auto str = [](const QString& s) { return Json::Value(vyr::json::toUtf8(s)); };

    Json::Value root(Json::objectValue);
    root["schemaVersion"] = 1;
    root["layoutMode"] = str(vyr::ribbonLayoutModeName(d->layoutMode));
    root["minimized"] = d->minimized;
    if (d->currentPage)
        root["currentPage"] = str(d->currentPage->pageId());
    if (!d->applicationButton->isHidden()) {
        Json::Value application(Json::objectValue);
        application["text"] = str(d->applicationButton->text());
        application["icon"] = str(d->applicationButton->ribbonIcon());
        application["menu"] = writeMenu(d->applicationButton->popupMenu());
        root["application"] = application;
    }
    Json::Value quick(Json::arrayValue);
    for (const QPointer<QWidget>& widget : d->quickAccess) {
        auto* button = qobject_cast<VYRQRibbonButton*>(widget.data());
        QAction* action = button ? button->ribbonAction() : nullptr;
        if (!action)
            continue;
        Json::Value item(Json::objectValue);
        item["id"] = str(action->objectName());
        item["text"] = str(action->text());
        item["icon"] = str(action->property(iconProperty).toString());
        item["enabled"] = action->isEnabled();
        quick.append(item);
    }
    root["quickAccess"] = quick;
    Json::Value topRight(Json::arrayValue);
    for (const QPointer<QWidget>& widget : d->topRight)
        if (widget)
            topRight.append(writeWidget(widget));
    root["topRight"] = topRight;
    Json::Value pages(Json::arrayValue);
    for (const VYRQRibbonPage* page : d->pages)
        if (!page->contextGroup())
            pages.append(writePage(page));
    root["pages"] = pages;
    Json::Value groups(Json::arrayValue);
    for (const VYRQRibbonContextGroup* group : d->contextGroups) {
        Json::Value object(Json::objectValue);
        object["id"] = str(group->contextId());
        object["text"] = str(group->title());
        object["color"] = str(colorText(group->color()));
        object["visible"] = group->isVisible();
        Json::Value groupPages(Json::arrayValue);
        for (int i = 0; i < group->pageCount(); ++i)
            if (const VYRQRibbonPage* page = group->pageAt(i))
                groupPages.append(writePage(page));
        object["pages"] = groupPages;
        groups.append(object);
    }
    root["contextGroups"] = groups;
    return root;
}
