#include "VYRQRibbonBar.h"
#include "VYRQRibbonBarImpl.h"

#include "VYRQContainer.h"
#include "VYRQContainerImpl.h"
#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQRibbonButton.h"
#include "VYRQRibbonConfig_p.h"
#include "VYRQRibbonContextGroup.h"
#include "VYRQRibbonGallery.h"
#include "VYRQRibbonGroup.h"
#include "VYRQRibbonLayout.h"
#include "VYRQRibbonMenu.h"
#include "VYRQRibbonPage.h"
#include "VYRQRibbonPlace_p.h"

#include <QAction>
#include <QEvent>
#include <QHash>
#include <QPainter>
#include <QResizeEvent>
#include <QSignalBlocker>

#include <algorithm>

namespace {

constexpr const char* contentLeftProperty = "vyrRibbonContentLeft";
constexpr const char* contentRightProperty = "vyrRibbonContentRight";
constexpr const char* contextColorProperty = "vyrRibbonContextColor";
// Menus nest; a menu that holds itself must not recurse for ever.
constexpr int maxMenuDepth = 32;

FillStyle solidFill(const QColor& color, const QColor& border, int radius)
{
    FillStyle style;
    style.draw = true;
    style.colorMode = true;
    style.fill.color = color;
    style.fill.borderColor = border.isValid() ? border : color;
    style.fill.border = border.isValid();
    style.fill.borderSize = border.isValid() ? 1 : 0;
    style.fill.round = radius;
    return style;
}

TextStyleDesc centredText(const QColor& color, int size)
{
    TextStyleDesc style;
    style.color = color;
    style.size = size;
    style.hor = 1;
    style.ver = 1;
    style.singleLine = true;
    return style;
}

VYRQContainer* makeRow(QWidget* parent)
{
    auto* row = new VYRQContainer(parent);
    row->setChildLayout(VYRQContainer::NoUse);
    return row;
}

} // namespace

// ---------------------------------------------------------------------------
// VYRQRibbonBarImpl

VYRQRibbonBarImpl::VYRQRibbonBarImpl(VYRQRibbonBar* owner)
    : VYRQWidgetBaseImpl(owner, VYRQRibbonBar::typeName())
    , q(owner)
{
    for (const char* key : {"topRowHeight", "tabRowHeight", "pageHeight", "groupRows", "configFile", "ribbon",
                            "layoutMode", "minimized"})
        claimAttrKey(key);
    const QColor none;
    barBackground = solidFill(QColor(246, 248, 251), QColor(194, 202, 214), 0);
    pageBackground = solidFill(Qt::white, QColor(207, 214, 224), 0);
    groupBackground = solidFill(QColor(250, 252, 255), QColor(215, 221, 231), 4);
    tabBackgrounds.set(Normal, solidFill(QColor(238, 242, 248), none, 0));
    tabBackgrounds.set(Hot, solidFill(QColor(226, 238, 252), QColor(144, 183, 225), 3));
    tabBackgrounds.set(Pressed, solidFill(Qt::white, QColor(128, 171, 220), 3));
    tabBackgrounds.set(Disable, solidFill(QColor(238, 242, 248), none, 0));
    buttonBackgrounds.set(Normal, solidFill(Qt::white, QColor(210, 216, 225), 3));
    buttonBackgrounds.set(Hot, solidFill(QColor(232, 242, 255), QColor(129, 174, 226), 3));
    buttonBackgrounds.set(Pressed, solidFill(QColor(204, 226, 252), QColor(89, 143, 208), 3));
    buttonBackgrounds.set(Disable, solidFill(QColor(238, 238, 238), QColor(220, 220, 220), 3));
    tabText = centredText(QColor(30, 40, 54), 12);
    groupTitleText = centredText(QColor(91, 103, 119), 11);
    buttonText = centredText(QColor(40, 48, 60), 11);
    headerBackground = solidFill(QColor(246, 248, 251), none, 0);
    accentFill = solidFill(QColor(229, 238, 255), QColor(89, 132, 208), 3);
    galleryBackground = solidFill(Qt::white, QColor(207, 214, 224), 3);
}

VYRQRibbonBarImpl::~VYRQRibbonBarImpl() = default;

void VYRQRibbonBarImpl::styleButton(VYRQRibbonButton* button, bool asTab) const
{
    if (!button)
        return;
    for (int state = Normal; state < CtrlStateCount; ++state) {
        button->setBackground(CtrlState(state), (asTab ? tabBackgrounds : buttonBackgrounds).get(state));
        button->setTextStyle(CtrlState(state), asTab ? tabText : buttonText);
    }
}

void VYRQRibbonBarImpl::applyRibbonStyles()
{
    if (!topRow)
        return;
    topRow->setBackground(headerBackground);
    tabRow->setBackground(headerBackground);
    pageArea->setBackground(pageBackground);
    styleButton(applicationButton, false);
    styleButton(tabScrollLeft, false);
    styleButton(tabScrollRight, false);
    QSet<VYRQRibbonButton*> tabs;
    for (const QPointer<VYRQRibbonButton>& tab : qAsConst(tabButtons)) {
        styleButton(tab, true);
        tabs.insert(tab);
    }
    // The page area is reached only while it is a child of the bar.
    for (VYRQRibbonButton* button : q->findChildren<VYRQRibbonButton*>())
        if (!tabs.contains(button))
            styleButton(button, false);
    for (VYRQRibbonGallery* gallery : q->findChildren<VYRQRibbonGallery*>())
        gallery->setBackground(galleryBackground);
    q->update();
}

void VYRQRibbonBarImpl::notifyChangeLanguage()
{
    applyRibbonStyles();
    q->updateLayout();
}

FillStyle* VYRQRibbonBarImpl::fillSlot(int slot)
{
    switch (slot) {
    case 0: return &barBackground;
    case 1: return &pageBackground;
    case 2: return &groupBackground;
    case 4: case 5: case 6: case 7: return &tabBackgrounds.at(slot - 4);
    case 8: case 9: case 10: case 11: return &buttonBackgrounds.at(slot - 8);
    case 16: return &headerBackground;
    case 17: return &accentFill;
    case 18: return &galleryBackground;
    default: return nullptr;
    }
}

TextStyleDesc* VYRQRibbonBarImpl::textSlot(int slot)
{
    switch (slot) {
    case 12: return &tabText;
    case 13: return &groupTitleText;
    case 14: case 15: return &buttonText;
    default: return nullptr;
    }
}

void VYRQRibbonBarImpl::readJson(const Json::Value& element)
{
    forEachStyleEntry(element, [this](const QString& name, int kind, int slot) {
        if (kind == 1) {
            FillStyle found;
            FillStyle* target = fillSlot(slot);
            if (target && lookupFill(name, found))
                *target = found;
        } else if (kind == 2) {
            TextStyleDesc found;
            TextStyleDesc* target = textSlot(slot);
            if (target && lookupText(name, found))
                *target = found;
        }
    });
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (attr) {
        // Sizes beyond a screen would only ask the window system for absurd surfaces.
        auto readSize = [attr](const char* key, int& field) {
            const Json::Value* v = vyr::json::member(*attr, key);
            if (v && !v->isBool() && v->isInt())
                field = std::max(0, std::min(v->asInt(), maxRowHeight));
        };
        readSize("topRowHeight", topRowHeight);
        readSize("tabRowHeight", tabRowHeight);
        readSize("pageHeight", pageHeight);
        const Json::Value* rows = vyr::json::member(*attr, "groupRows");
        if (rows && !rows->isBool() && rows->isInt())
            groupRows = std::max(2, std::min(rows->asInt(), 3));
    }
    if (attr && !isApplyingTheme()) {
        QString file;
        if (vyr::json::read(*attr, "configFile", file) && !file.isEmpty())
            configFile = file;
        if (const Json::Value* ribbon = vyr::json::object(*attr, "ribbon"))
            q->loadConfigValue(*ribbon, QStringLiteral("inline"));
        else if (!file.isEmpty())
            q->loadConfigFile(file);
        QString mode = vyr::ribbonLayoutModeName(layoutMode);
        vyr::json::read(*attr, "layoutMode", mode);
        q->setLayoutMode(vyr::ribbonLayoutModeFromName(mode));
        const Json::Value* minimizedValue = vyr::json::member(*attr, "minimized");
        q->setMinimized(minimizedValue && minimizedValue->isBool() ? minimizedValue->asBool() : minimized);
    }
    applyRibbonStyles();
    q->relayoutPages();
    q->updateLayout();
}

void VYRQRibbonBarImpl::writeJson(Json::Value& element)
{
    Json::Value styles(Json::arrayValue);
    auto put = [&styles](const auto& style, int slot) {
        if (!style.name.isEmpty())
            vyr::appendStyleEntry(styles, style.name, vyr::styleEntryKind(style), slot);
    };
    put(barBackground, 0);
    put(pageBackground, 1);
    put(groupBackground, 2);
    // The reader takes each state's slot alone, so every named state is written.
    for (int state = 0; state < CtrlStateCount; ++state)
        put(tabBackgrounds.get(state), 4 + state);
    for (int state = 0; state < CtrlStateCount; ++state)
        put(buttonBackgrounds.get(state), 8 + state);
    put(tabText, 12);
    put(groupTitleText, 13);
    put(buttonText, 14);
    put(headerBackground, 16);
    put(accentFill, 17);
    put(galleryBackground, 18);
    if (!styles.empty())
        element["style"] = styles;
    // Every child of the bar is its own (rows, buttons) or built from "ribbon": written
    // as "child" they would come back from a page as extra controls laid over the bar,
    // one more set on every save, and their places follow the bar's size of the moment.
    element.removeMember("child");

    Json::Value& attr = element["attr"];
    if (!attr.isObject())
        attr = Json::Value(Json::objectValue);
    attr["configFile"] = vyr::json::toUtf8(configFile);
    attr["layoutMode"] = vyr::json::toUtf8(vyr::ribbonLayoutModeName(layoutMode));
    attr["minimized"] = minimized;
    attr["topRowHeight"] = topRowHeight;
    attr["tabRowHeight"] = tabRowHeight;
    attr["pageHeight"] = pageHeight;
    attr["groupRows"] = groupRows;
    attr["ribbon"] = VYRQRibbonConfig::write(*q);
}

// ---------------------------------------------------------------------------
// Construction

VYRQRibbonBar::VYRQRibbonBar(QWidget* parent)
    : VYRQControl(parent)
{
    VYRQRibbonBarImpl* d = impl();
    d->topRow = makeRow(this);
    d->tabRow = makeRow(this);
    d->pageArea = makeRow(this);
    d->popup = makeRow(nullptr);
    d->popup->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    d->popup->installEventFilter(this);

    d->applicationButton = new VYRQRibbonButton(d->topRow, VYR_RIBBON_ITEM_SIZE::small);
    d->applicationButton->setObjectName(QStringLiteral("ribbonApplicationButton"));
    d->applicationButton->setText(QStringLiteral("File"));
    d->applicationButton->hide();
    d->tabScrollLeft = new VYRQRibbonButton(d->tabRow, VYR_RIBBON_ITEM_SIZE::small);
    d->tabScrollLeft->setText(QStringLiteral("<"));
    d->tabScrollRight = new VYRQRibbonButton(d->tabRow, VYR_RIBBON_ITEM_SIZE::small);
    d->tabScrollRight->setText(QStringLiteral(">"));
    connect(d->tabScrollLeft, &QAbstractButton::clicked, this, [this] {
        impl()->tabScrollOffset = std::max(impl()->tabScrollOffset - 100, 0);
        updateTabLayout();
    });
    connect(d->tabScrollRight, &QAbstractButton::clicked, this, [this] {
        impl()->tabScrollOffset = int(std::min<qint64>(qint64(impl()->tabScrollOffset) + 100, INT_MAX / 2));
        updateTabLayout();
    });

    finishConstruction();
    d->applyRibbonStyles();
    updateLayout();
}

// The page area is not handed back from an open popup here: the bar's parent may be
// tearing down its own children, and the popup deletes the area with itself.
VYRQRibbonBar::~VYRQRibbonBar()
{
    VYRQRibbonBarImpl* d = impl();
    d->destroying = true;
    d->popup->removeEventFilter(this);
    hideMinimizedPopup();
    clearContent();
    delete d->popup;
    d->popup = nullptr;
}

// ---------------------------------------------------------------------------
// Pages and tabs

VYRQRibbonPage* VYRQRibbonBar::insertPage(int index, const QString& id, const QString& title)
{
    VYRQRibbonBarImpl* d = impl();
    auto* page = new VYRQRibbonPage(id, title, d->pageArea);
    page->setBar(this);
    page->hide();
    d->pages.insert(std::max(0, std::min(index, d->pages.size())), page);
    if (!d->currentPage)
        d->currentPage = page;
    rebuildTabs();
    return page;
}

VYRQRibbonPage* VYRQRibbonBar::addPage(const QString& id, const QString& title)
{
    return insertPage(pageCount(), id, title);
}

// The page leaves every list at once and goes once the event loop is back.
void VYRQRibbonBar::detachPage(VYRQRibbonPage* page)
{
    VYRQRibbonBarImpl* d = impl();
    for (VYRQRibbonContextGroup* group : qAsConst(d->contextGroups))
        group->m_pages.removeAll(page);
    d->pages.removeAll(page);
    d->tabPages.removeAll(page);
    page->setBar(nullptr);
    vyr::discardRibbonWidget(page);
}

bool VYRQRibbonBar::removePage(VYRQRibbonPage* page)
{
    VYRQRibbonBarImpl* d = impl();
    if (!page || !d->pages.contains(page))
        return false;
    detachPage(page);
    if (d->currentPage == page)
        d->currentPage = d->pages.value(0, nullptr);
    rebuildTabs();
    return true;
}

void VYRQRibbonBar::clearPages()
{
    VYRQRibbonBarImpl* d = impl();
    // Every list is emptied whole; taking the pages out one by one is quadratic.
    const QVector<VYRQRibbonPage*> pages = d->pages;
    d->pages.clear();
    d->tabPages.clear();
    for (VYRQRibbonContextGroup* group : qAsConst(d->contextGroups))
        group->m_pages.clear();
    for (VYRQRibbonPage* page : pages) {
        page->setBar(nullptr);
        dropObject(page);
    }
    d->currentPage = nullptr;
    rebuildTabs();
}

void VYRQRibbonBar::forgetPage(VYRQRibbonPage* page)
{
    VYRQRibbonBarImpl* d = impl();
    for (VYRQRibbonContextGroup* group : qAsConst(d->contextGroups))
        group->m_pages.removeAll(page);
    d->pages.removeAll(page);
    d->tabPages.removeAll(page);
    if (d->currentPage == page)
        d->currentPage = nullptr;
    rebuildTabs();
}

// A context group deleted from outside: its pages stay, as pages of the bar.
void VYRQRibbonBar::forgetContextGroup(VYRQRibbonContextGroup* group)
{
    if (impl()->contextGroups.removeAll(group) > 0)
        rebuildTabs();
}

VYRQRibbonPage* VYRQRibbonBar::pageAt(int index) const
{
    return impl()->pages.value(index, nullptr);
}

VYRQRibbonPage* VYRQRibbonBar::pageById(const QString& id) const
{
    for (VYRQRibbonPage* page : impl()->pages)
        if (page->pageId() == id)
            return page;
    return nullptr;
}

int VYRQRibbonBar::pageCount() const
{
    return impl()->pages.size();
}

int VYRQRibbonBar::currentPage() const
{
    return impl()->pages.indexOf(impl()->currentPage);
}

VYRQRibbonPage* VYRQRibbonBar::currentPageWidget() const
{
    return impl()->currentPage;
}

bool VYRQRibbonBar::setCurrentPage(int index)
{
    VYRQRibbonBarImpl* d = impl();
    VYRQRibbonPage* page = d->pages.value(index, nullptr);
    if (!page || !d->tabPages.contains(page))
        return false;
    d->currentPage = page;
    updatePageVisibility();
    for (int i = 0; i < d->tabButtons.size(); ++i) {
        if (VYRQRibbonButton* tab = d->tabButtons[i]) {
            const QSignalBlocker blocker(tab);
            tab->setChecked(d->tabPages.value(i) == page);
        }
    }
    updateTabLayout();
    emit currentPageChanged(index);
    if (d->minimized)
        showMinimizedPopup();
    return true;
}

bool VYRQRibbonBar::setCurrentPage(const QString& id)
{
    VYRQRibbonPage* page = pageById(id);
    return page && setCurrentPage(impl()->pages.indexOf(page));
}

void VYRQRibbonBar::rebuildTabs()
{
    VYRQRibbonBarImpl* d = impl();
    if (d->loading > 0)
        return;
    // A page keeps its tab button: rebuilding after every added page must not make a
    // new set of buttons each time.
    QHash<VYRQRibbonPage*, QPointer<VYRQRibbonButton>> kept;
    kept.swap(d->tabOfPage);
    d->tabButtons.clear();
    d->tabPages.clear();
    for (VYRQRibbonPage* page : qAsConst(d->pages)) {
        VYRQRibbonContextGroup* group = page->contextGroup();
        if (group && !group->isVisible())
            continue;
        d->tabPages.append(page);
        VYRQRibbonButton* tab = kept.take(page).data();
        if (!tab) {
            tab = new VYRQRibbonButton(d->tabRow, VYR_RIBBON_ITEM_SIZE::small);
            tab->setObjectName(QStringLiteral("ribbonTab_%1").arg(page->pageId()));
            tab->setCheckable(true);
            const QPointer<VYRQRibbonPage> target(page);
            connect(tab, &QAbstractButton::clicked, this, [this, target] {
                if (target)
                    onTabClicked(target);
            });
            d->styleButton(tab, true);
        }
        tab->setText(page->title());
        tab->setChecked(page == d->currentPage);
        tab->setProperty(contextColorProperty, group ? group->color() : QColor());
        d->tabButtons.append(tab);
        d->tabOfPage.insert(page, tab);
    }
    // A slot on currentPageChanged may rebuild the tabs while the clicked tab is still
    // handling its release: the buttons of pages without a tab go once the event loop
    // is back.
    for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
        d->tabAdvances.remove(it.value().data());
        dropObject(it.value());
    }
    if (!d->tabPages.contains(d->currentPage))
        d->currentPage = d->tabPages.value(0, nullptr);
    updatePageVisibility();
    updateTabLayout();
}

void VYRQRibbonBar::onTabClicked(VYRQRibbonPage* page)
{
    VYRQRibbonBarImpl* d = impl();
    if (page == d->currentPage && !d->minimized) {
        d->minimized = true;
        emit minimizedChanged(true);
        updateGeometry();
        updateLayout();
        return;
    }
    setCurrentPage(d->pages.indexOf(page));
}

void VYRQRibbonBar::updatePageVisibility()
{
    VYRQRibbonBarImpl* d = impl();
    const bool popupShown = d->popup && d->popup->isVisible();
    for (VYRQRibbonPage* page : qAsConst(d->pages))
        page->setVisible(page == d->currentPage && (!d->minimized || popupShown));
    if (d->currentPage) {
        vyr::placeRibbonChild(d->currentPage, QRect(0, 0, d->pageArea->width(), d->pageArea->height()));
        d->currentPage->raise();
    }
}

// ---------------------------------------------------------------------------
// Context groups

VYRQRibbonContextGroup* VYRQRibbonBar::addContextGroup(const QString& id, const QString& title, const QColor& color)
{
    if (VYRQRibbonContextGroup* existing = contextGroupById(id))
        return existing;
    auto* group = new VYRQRibbonContextGroup(id, title, color, this);
    impl()->contextGroups.append(group);
    return group;
}

VYRQRibbonContextGroup* VYRQRibbonBar::contextGroupById(const QString& id) const
{
    for (VYRQRibbonContextGroup* group : impl()->contextGroups)
        if (group->contextId() == id)
            return group;
    return nullptr;
}

void VYRQRibbonBar::showContextGroup(const QString& id)
{
    VYRQRibbonContextGroup* group = contextGroupById(id);
    if (!group)
        return;
    group->m_visible = true;
    rebuildTabs();
}

void VYRQRibbonBar::hideContextGroup(const QString& id)
{
    VYRQRibbonContextGroup* group = contextGroupById(id);
    if (!group)
        return;
    group->m_visible = false;
    VYRQRibbonBarImpl* d = impl();
    if (d->currentPage && d->currentPage->contextGroup() == group) {
        d->currentPage = nullptr;
        for (VYRQRibbonPage* page : qAsConst(d->tabPages)) {
            if (page->contextGroup() != group) {
                d->currentPage = page;
                break;
            }
        }
    }
    rebuildTabs();
}

// ---------------------------------------------------------------------------
// Header content and commands

void VYRQRibbonBar::setApplicationMenu(const QString& text, VYRQRibbonMenu* menu, const QString& iconPath)
{
    VYRQRibbonButton* button = impl()->applicationButton;
    button->setText(text);
    button->setRibbonIcon(iconPath);
    button->setPopupMode(VYR_RIBBON_POPUP_MODE::instant);
    if (menu && menu->parent() != button)
        menu->setParent(button, menu->windowFlags());
    button->setPopupMenu(menu);
    button->setVisible(menu != nullptr);
    if (menu)
        registerMenuActions(menu);
    if (impl()->loading == 0)
        updateLayout();
}

VYRQRibbonButton* VYRQRibbonBar::applicationButton() const
{
    return impl()->applicationButton;
}

// Never inlined: scripts/check-file-opens.sh allows its call by this function's name.
Q_NEVER_INLINE VYRQRibbonButton* VYRQRibbonBar::addQuickAction(QAction* action)
{
    if (!action)
        return nullptr;
    VYRQRibbonBarImpl* d = impl();
    registerAction(action);
    auto* button = new VYRQRibbonButton(d->topRow, VYR_RIBBON_ITEM_SIZE::small);
    button->setRibbonAction(action);
    button->setShowText(false);
    button->setToolTip(action->text());
    d->quickAccess.append(button);
    d->styleButton(button, false);
    button->show();
    if (d->loading == 0)
        updateLayout();
    return button;
}

void VYRQRibbonBar::addTopRightWidget(QWidget* widget)
{
    if (!widget)
        return;
    widget->setParent(impl()->topRow);
    impl()->topRight.append(widget);
    widget->show();
    if (impl()->loading == 0)
        updateLayout();
}

void VYRQRibbonBar::registerAction(QAction* action)
{
    if (!action)
        return;
    VYRQRibbonBarImpl* d = impl();
    if (!d->registeredSet.contains(action)) {
        d->registeredSet.insert(action);
        d->registeredActions.append(action);
        connect(action, &QObject::destroyed, this, &VYRQRibbonBar::onActionDestroyed, Qt::UniqueConnection);
        connect(action, &QAction::triggered, this, &VYRQRibbonBar::onActionTriggered, Qt::UniqueConnection);
    }
    if (action->parent() == this && !d->ownedSet.contains(action)) {
        d->ownedSet.insert(action);
        d->ownedActions.append(action);
    }
}

void VYRQRibbonBar::registerMenuActions(QWidget* menu, int depth)
{
    if (!menu || depth > maxMenuDepth)
        return;
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (action->menu())
            registerMenuActions(action->menu(), depth + 1);
        else if (!action->isSeparator())
            registerAction(action);
    }
}

void VYRQRibbonBar::onActionTriggered(bool checked)
{
    if (auto* action = qobject_cast<QAction*>(sender()))
        emit commandTriggered(action->objectName(), checked);
}

// A destroyed action's guarded entries are null by now; the lists drop them once
// they are mostly dead, so that many actions going one by one cost no more than one
// pass each.
void VYRQRibbonBar::onActionDestroyed(QObject* action)
{
    VYRQRibbonBarImpl* d = impl();
    d->registeredSet.remove(action);
    d->ownedSet.remove(action);
    if (d->registeredActions.size() > 2 * d->registeredSet.size() + 16)
        d->registeredActions.removeAll(QPointer<QAction>());
    if (d->ownedActions.size() > 2 * d->ownedSet.size() + 16)
        d->ownedActions.removeAll(QPointer<QAction>());
}

QAction* VYRQRibbonBar::findAction(const QString& commandId) const
{
    for (const QPointer<QAction>& action : impl()->registeredActions)
        if (action && action->objectName() == commandId)
            return action;
    return nullptr;
}

// A command may clear the content while the signal of one of its widgets runs: what
// goes is hidden and deleted once the event loop is back. While the bar is destroyed,
// it goes at once: a deferred deletion still queued when its object dies costs a scan
// of the whole event queue, once per object.
void VYRQRibbonBar::dropObject(QObject* object)
{
    if (!object)
        return;
    if (impl()->destroying) {
        delete object;
    } else if (object->isWidgetType()) {
        vyr::discardRibbonWidget(static_cast<QWidget*>(object));
    } else {
        object->deleteLater();
    }
}

void VYRQRibbonBar::clearContent()
{
    VYRQRibbonBarImpl* d = impl();
    hideMinimizedPopup();
    clearPages();
    // A context group taken away from the bar (another parent) is no longer the
    // bar's to delete; it is only let go.
    const QVector<VYRQRibbonContextGroup*> groups = d->contextGroups;
    d->contextGroups.clear();
    for (VYRQRibbonContextGroup* group : groups) {
        if (group->parent() == this)
            delete group;
        else
            group->m_bar = nullptr;
    }
    for (const QPointer<QWidget>& widget : qAsConst(d->quickAccess))
        dropObject(widget);
    d->quickAccess.clear();
    for (const QPointer<QWidget>& widget : qAsConst(d->topRight))
        dropObject(widget);
    d->topRight.clear();
    // Commands stay connected to nothing: an action that outlives the content and is
    // registered again must not report twice.
    for (const QPointer<QAction>& action : qAsConst(d->registeredActions))
        if (action)
            disconnect(action, nullptr, this, nullptr);
    for (const QPointer<QAction>& action : qAsConst(d->ownedActions))
        dropObject(action);
    d->ownedActions.clear();
    d->registeredActions.clear();
    d->ownedSet.clear();
    d->registeredSet.clear();
    dropObject(d->applicationButton->popupMenu());
    d->applicationButton->setPopupMenu(nullptr);
    d->applicationButton->hide();
}

void VYRQRibbonBar::setLayoutMode(VYR_RIBBON_LAYOUT_MODE mode)
{
    VYRQRibbonBarImpl* d = impl();
    if (mode == d->layoutMode)
        return;
    d->layoutMode = mode;
    d->groupRows = mode == VYR_RIBBON_LAYOUT_MODE::compact ? 2 : 3;
    emit layoutModeChanged(mode);
    relayoutPages();
    updateGeometry();
    updateLayout();
}

void VYRQRibbonBar::relayoutPages()
{
    for (VYRQRibbonPage* page : qAsConst(impl()->pages))
        page->relayoutGroups();
}

VYR_RIBBON_LAYOUT_MODE VYRQRibbonBar::layoutMode() const
{
    return impl()->layoutMode;
}

void VYRQRibbonBar::setMinimized(bool on)
{
    VYRQRibbonBarImpl* d = impl();
    if (on == d->minimized)
        return;
    d->minimized = on;
    if (!on)
        hideMinimizedPopup();
    emit minimizedChanged(on);
    updateGeometry();
    updateLayout();
}

bool VYRQRibbonBar::isMinimized() const
{
    return impl()->minimized;
}

bool VYRQRibbonBar::isTabOverflowing() const
{
    return impl()->totalTabWidth > impl()->tabRow->width();
}

int VYRQRibbonBar::groupRows() const
{
    return impl()->groupRows;
}

int VYRQRibbonBar::pageHeight() const
{
    return impl()->pageHeight;
}

int VYRQRibbonBar::topRowHeight() const
{
    return impl()->topRowHeight;
}

int VYRQRibbonBar::tabRowHeight() const
{
    return impl()->tabRowHeight;
}

bool VYRQRibbonBar::loadConfigFile(const QString& path)
{
    return VYRQRibbonConfig::loadFile(*this, path);
}

bool VYRQRibbonBar::loadConfigJson(const QString& json)
{
    return VYRQRibbonConfig::loadText(*this, json);
}

bool VYRQRibbonBar::loadConfigValue(const Json::Value& root, const QString& source)
{
    return VYRQRibbonConfig::apply(*this, root, source);
}

QString VYRQRibbonBar::configJson() const
{
    return QString::fromStdString(vyr::json::styledText(VYRQRibbonConfig::write(*this)));
}

QString VYRQRibbonBar::configFile() const
{
    return impl()->configFile;
}

QString VYRQRibbonBar::lastError() const
{
    return impl()->lastError;
}

// ---------------------------------------------------------------------------
// Minimised popup

void VYRQRibbonBar::showMinimizedPopup()
{
    VYRQRibbonBarImpl* d = impl();
    if (!d->minimized || !d->currentPage)
        return;
    if (d->pageArea->parentWidget() != d->popup)
        d->pageArea->setParent(d->popup);
    const bool compact = d->layoutMode == VYR_RIBBON_LAYOUT_MODE::compact;
    const QPoint at = mapToGlobal(QPoint(0, compact ? d->topRowHeight : d->topRowHeight + d->tabRowHeight));
    d->popup->setGeometry(QRect(at, QSize(width(), d->pageHeight)));
    vyr::placeRibbonChild(d->pageArea, QRect(0, 0, d->popup->width(), d->popup->height()));
    // Reparenting hid the page area; the popup must not open empty.
    d->pageArea->show();
    d->popup->show();
    updatePageVisibility();
    d->popup->raise();
}

void VYRQRibbonBar::hideMinimizedPopup()
{
    VYRQRibbonBarImpl* d = impl();
    if (!d->popup)
        return;
    if (d->popup->isVisible())
        d->popup->hide();
    if (d->pageArea->parentWidget() != this && !d->destroying) {
        d->pageArea->setParent(this);
        d->pageArea->hide();
    }
}

// A popup closed by a click outside it hands the page area back to the bar.
bool VYRQRibbonBar::eventFilter(QObject* watched, QEvent* event)
{
    VYRQRibbonBarImpl* d = impl();
    if (d && watched == d->popup && event->type() == QEvent::Hide && d->pageArea->parentWidget() == d->popup) {
        d->pageArea->setParent(this);
        d->pageArea->hide();
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Layout

QSize VYRQRibbonBar::sizeHint() const
{
    const VYRQRibbonBarImpl* d = impl();
    return VYRQRibbonLayout::barSizeHint(d->layoutMode == VYR_RIBBON_LAYOUT_MODE::compact, d->minimized,
                                         d->topRowHeight, d->tabRowHeight, d->pageHeight);
}

void VYRQRibbonBar::updateLayout()
{
    VYRQRibbonBarImpl* d = impl();
    const bool compact = d->layoutMode == VYR_RIBBON_LAYOUT_MODE::compact;
    VYRQContainer* host = compact ? d->tabRow : d->topRow;
    auto adopt = [host](QWidget* widget) {
        if (!widget || widget->parentWidget() == host)
            return;
        const bool hidden = widget->isHidden();
        widget->setParent(host);
        widget->setVisible(!hidden);
    };
    adopt(d->applicationButton);

    VYRQRibbonLayout::HeaderRequest request;
    request.barWidth = width();
    request.compact = compact;
    request.topRowHeight = d->topRowHeight;
    request.tabRowHeight = d->tabRowHeight;
    request.applicationVisible = !d->applicationButton->isHidden();
    request.applicationHintWidth = d->applicationButton->sizeHint().width();
    QVector<QWidget*> quick;
    for (const QPointer<QWidget>& widget : qAsConst(d->quickAccess)) {
        if (!widget)
            continue;
        adopt(widget);
        auto* button = qobject_cast<VYRQRibbonButton*>(widget);
        request.quickWidths.append(
            VYRQRibbonLayout::quickAccessWidth(widget->sizeHint().width(), button && !button->getShowText()));
        quick.append(widget);
    }
    QVector<QWidget*> topRight;
    for (const QPointer<QWidget>& widget : qAsConst(d->topRight)) {
        if (!widget)
            continue;
        adopt(widget);
        request.topRightHintWidths.append(widget->sizeHint().width());
        topRight.append(widget);
    }
    const VYRQRibbonLayout::HeaderPlacement placed = VYRQRibbonLayout::header(request);

    vyr::placeRibbonChild(d->topRow, placed.topRow);
    d->topRow->setVisible(!compact);
    vyr::placeRibbonChild(d->tabRow, placed.tabRow);
    d->tabRow->show();
    if (request.applicationVisible)
        vyr::placeRibbonChild(d->applicationButton, placed.application);
    for (int i = 0; i < quick.size(); ++i)
        vyr::placeRibbonChild(quick[i], placed.quick[i]);
    for (int i = 0; i < topRight.size(); ++i)
        vyr::placeRibbonChild(topRight[i], placed.topRight[i]);
    d->tabRow->setProperty(contentLeftProperty, placed.contentLeft);
    d->tabRow->setProperty(contentRightProperty, placed.contentRight);
    updateTabLayout();

    if (!d->minimized && d->pageArea->parentWidget() != this)
        hideMinimizedPopup();
    if (d->pageArea->parentWidget() == this) {
        vyr::placeRibbonChild(d->pageArea,
                              QRect(0, placed.header, width(), std::max(height() - placed.header, 0)));
        d->pageArea->setVisible(!d->minimized);
    }
    updatePageVisibility();
    update();
}

void VYRQRibbonBar::updateTabLayout()
{
    VYRQRibbonBarImpl* d = impl();
    VYRQRibbonLayout::TabRequest request;
    QVector<VYRQRibbonButton*> tabs;
    QVector<VYRQRibbonPage*> pages;
    for (int i = 0; i < d->tabButtons.size(); ++i) {
        VYRQRibbonButton* tab = d->tabButtons[i];
        if (!tab)
            continue;
        tabs.append(tab);
        pages.append(d->tabPages.value(i, nullptr));
        VYRQRibbonBarImpl::TabAdvance& measured = d->tabAdvances[tab];
        const QString text = tab->text();
        const QFont font = tab->font();
        if (measured.text != text || measured.font != font)
            measured = {text, font, tab->fontMetrics().horizontalAdvance(text)};
        request.widths.append(VYRQRibbonLayout::tabWidth(measured.advance));
    }
    request.compact = d->layoutMode == VYR_RIBBON_LAYOUT_MODE::compact;
    request.contentLeft = d->tabRow->property(contentLeftProperty).toInt();
    request.contentRight = d->tabRow->property(contentRightProperty).toInt();
    request.rowWidth = d->tabRow->width();
    request.rowHeight = d->tabRow->height();
    request.offset = d->tabScrollOffset;
    const VYRQRibbonLayout::TabPlacement placed = VYRQRibbonLayout::tabs(request);
    d->totalTabWidth = placed.total;
    d->tabScrollOffset = placed.offset;
    for (int i = 0; i < tabs.size(); ++i) {
        vyr::placeRibbonChild(tabs[i], placed.tabs[i]);
        tabs[i]->setChecked(pages[i] && pages[i] == d->currentPage);
        tabs[i]->setVisible(placed.visible[i]);
    }
    d->tabScrollLeft->setVisible(placed.overflow);
    d->tabScrollRight->setVisible(placed.overflow);
    d->tabScrollLeft->setEnabled(placed.leftEnabled);
    d->tabScrollRight->setEnabled(placed.rightEnabled);
    if (placed.overflow) {
        vyr::placeRibbonChild(d->tabScrollLeft, placed.left);
        vyr::placeRibbonChild(d->tabScrollRight, placed.right);
        d->tabScrollLeft->raise();
        d->tabScrollRight->raise();
    }
}

// ---------------------------------------------------------------------------
// Events

void VYRQRibbonBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    VYRQWidgetBaseImpl::drawFillStyle(&painter, impl()->barBackground, rect());
}

void VYRQRibbonBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateLayout();
}

void VYRQRibbonBar::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
}

void VYRQRibbonBar::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
}

void VYRQRibbonBar::enterEvent(QEvent* event)
{
    QWidget::enterEvent(event);
}

void VYRQRibbonBar::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
}

// ---------------------------------------------------------------------------
// Designer record: the common rows only; the bar's own keys live in its JSON.

ControlInfo VYRQRibbonBar::getProps()
{
    return vyr::makeControlInfo<VYRQRibbonBar>("RibbonBar", "Vyrant themed ribbon command surface",
                                "ribbonbar");
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQRibbonBar.cpp"
#include "moc_VYRQRibbonBarImpl.cpp"
