#include "VYRQList.h"
#include "VYRQListImpl.h"

#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQListItemDelegate.h"
#include "VYRQPropertyRows.h"
#include "VYRQScrollBar.h"

#include <QEvent>
#include <QPainter>

#include <json/value.h>

namespace {

const char* const ownKeys[] = {"multiselect", "itemHeight"};

} // namespace

// ---------------------------------------------------------------------------
// VYRQListImpl

VYRQListImpl::VYRQListImpl(VYRQList* owner)
    : VYRQItemViewImpl(owner, VYRQList::typeName())
    , q(owner)
{
}

VYRQListImpl::~VYRQListImpl() = default;

int VYRQListImpl::rowHeight() const
{
    return rowSize(itemHeight, q->count(), q->spacing());
}

void VYRQListImpl::createComplete()
{
    if (!vyrIsQtEmulator())
        return;
    for (int i = 0; i < 20; ++i)
        q->addItem(QStringLiteral("item %1").arg(i));
}

void VYRQListImpl::setScrollbarBtnSize(bool, int)
{
}

void VYRQListImpl::setScrollbarSize(bool, int size)
{
    setBarSheets(QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; } "
                                "QScrollBar::add-line:vertical{ width:%3px;width:%3px; subcontrol-origin: margin;} "
                                "QScrollBar::sub-line:vertical{ width:%3px;width:%3px;subcontrol-origin: margin; }")
                     .arg(size)
                     .arg(size)
                     .arg(size));
}

void VYRQListImpl::readJson(const Json::Value& element)
{
    forEachStyleEntry(element, [this](const QString& name, int, int slot) {
        if (slot == 0 || (slot >= 2 && slot <= 5)) {
            FillStyle fill;
            if (!lookupFill(name, fill))
                return;
            if (slot == 0)
                background = fill;
            else
                itemBackgrounds.readSlot(slot - 2, fill);
        } else if (slot >= 6 && slot <= 9) {
            TextStyleDesc text;
            if (lookupText(name, text))
                itemTextStyles.readSlot(slot - 6, text);
        }
    });

    for (const char* key : ownKeys)
        claimAttrKey(key);
    if (const Json::Value* attr = vyr::json::object(element, "attr")) {
        bool multi = false;
        if (vyr::json::read(*attr, "multiselect", multi))
            q->setIsMultiSelected(multi);
        vyr::json::read(*attr, "itemHeight", itemHeight);
    }
    readScrollBarChildren(element);
}

void VYRQListImpl::writeJson(Json::Value& element)
{
    Json::Value styles(Json::arrayValue);
    if (!background.name.isEmpty())
        vyr::appendStyleEntry(styles, background.name, vyr::styleEntryKind(background), 0);
    itemBackgrounds.write(styles, 2);
    itemTextStyles.writeByName(styles, 6);
    element["style"] = styles;

    Json::Value own(Json::objectValue);
    if (q->selectionMode() == QAbstractItemView::MultiSelection)
        own["multiselect"] = 1;
    if (itemHeight != 20)
        own["itemHeight"] = itemHeight;
    if (!own.empty()) {
        Json::Value& attr = element["attr"];
        for (const std::string& key : own.getMemberNames())
            attr[key] = own[key];
    }
}

// ---------------------------------------------------------------------------
// VYRQList

VYRQList::VYRQList(QWidget* parent)
    : VYRQControl(parent)
{
    VYRQListImpl* d = impl();
    d->delegate.reset(new VYRQListItemDelegate(d));
    setItemDelegate(d->delegate.get());
    d->createScrollBars(this);
    setVerticalScrollBar(d->scrollBar(false));
    setHorizontalScrollBar(d->scrollBar(true));
    setFrameStyle(0);
    viewport()->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    viewport()->installEventFilter(this);
    setMouseTracking(true);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    finishConstruction();
}

VYRQList::~VYRQList() = default;

void VYRQList::setItemHeight(int h)
{
    impl()->itemHeight = h;
}

int VYRQList::getItemHeight() const
{
    return impl()->itemHeight;
}

void VYRQList::setIsMultiSelected(bool on)
{
    setSelectionMode(on ? MultiSelection : SingleSelection);
}

bool VYRQList::getIsMultiSelected() const
{
    return selectionMode() != SingleSelection;
}

VYR_ITEM_VIEW_ITEM_STYLES(VYRQList)

VYR_ITEM_VIEW_SCROLLBAR_SETTERS(VYRQList)

void VYRQList::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

bool VYRQList::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

void VYRQList::doItemsLayout()
{
    impl()->spacing.hold(this, impl()->itemHeight);
    QListWidget::doItemsLayout();
}

bool VYRQList::eventFilter(QObject* watched, QEvent* event)
{
    if (impl() && VYRQItemViewImpl::paintViewportBackground(viewport(), watched, event, impl()->background))
        return false;
    return QListWidget::eventFilter(watched, event);
}

void VYRQList::paintEvent(QPaintEvent* event)
{
    QListWidget::paintEvent(event);
}

// ---------------------------------------------------------------------------
// Designer record

ControlInfo VYRQList::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQList>("List", "Control List", "list");
    info.rows.push_back(
        vyr::fillStatesRow("Background", &VYRQList::setBackground, &VYRQList::getBackground, vyr::commonStates()));
    info.rows.push_back(
        vyr::fillStatesRow("ItemBackground", &VYRQList::setItemBackground, &VYRQList::getItemBackground));
    info.rows.push_back(vyr::textStatesRow("TextStyle", &VYRQList::setItemTextStyle, &VYRQList::getItemTextStyle));
    info.rows.push_back(vyr::boolRow("MultiSelect", &VYRQList::setIsMultiSelected, &VYRQList::getIsMultiSelected));
    info.rows.push_back(vyr::intRow("ItemHeight", &VYRQList::setItemHeight, &VYRQList::getItemHeight));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQList.cpp"
#include "moc_VYRQListImpl.cpp"
