#include "VYRQTreeView.h"
#include "VYRQTreeViewImpl.h"

#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQScrollBar.h"
#include "VYRQTreeConerWidget.h"
#include "VYRQTreeViewItemDelegate.h"
#include "VYRQTreeViewport.h"

#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QStandardItemModel>

#include <json/value.h>

// ---------------------------------------------------------------------------
// VYRQTreeViewImpl

VYRQTreeViewImpl::VYRQTreeViewImpl(VYRQTreeView* owner)
    : VYRQItemViewImpl(owner, VYRQTreeView::typeName())
    , q(owner)
{
}

VYRQTreeViewImpl::~VYRQTreeViewImpl() = default;

void VYRQTreeViewImpl::drawControl(QPainter* painter, const QRect& rect)
{
    drawFillStyle(painter, background, rect);
}

void VYRQTreeViewImpl::createComplete()
{
    if (!vyrIsQtEmulator())
        return;
    auto* model = new QStandardItemModel(q);
    for (int row = 0; row < 100; ++row) {
        auto* item = new QStandardItem(QStringLiteral("item1"));
        item->setCheckable(true);
        item->appendRow({new QStandardItem(QStringLiteral("item2")), new QStandardItem(QStringLiteral("item3"))});
        model->appendRow(item);
    }
    q->setModel(model);
}

int VYRQTreeViewImpl::rowHeight()
{
    if (shownRowsStale) {
        const qint64 before = shownRows;
        shownRows = countShownRows();
        shownRowsStale = false;
        if (rowSize(itemHeight, 2 * before) != rowSize(itemHeight, 2 * shownRows))
            q->scheduleDelayedItemsLayout();
    }
    return rowSize(itemHeight, 2 * shownRows);
}

void VYRQTreeViewImpl::forgetExpanded()
{
    expanded.clear();
    shownRowsStale = true;
}

// The root's rows and those of every index expanded: no fewer than the tree shows.
qint64 VYRQTreeViewImpl::countShownRows()
{
    const QAbstractItemModel* model = q->model();
    if (!model)
        return 0;
    qint64 rows = model->rowCount(q->rootIndex());
    for (auto it = expanded.begin(); it != expanded.end();) {
        if (!it->isValid() || it->model() != model) {
            it = expanded.erase(it);
            continue;
        }
        rows += model->rowCount(*it);
        ++it;
    }
    return rows;
}

void VYRQTreeViewImpl::setScrollbarBtnSize(bool, int size)
{
    scrollbarButtonSize = size;
}

void VYRQTreeViewImpl::setScrollbarSize(bool, int size)
{
    scrollbarSize = size;
    setBarSheets(QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; } ")
                     .arg(size)
                     .arg(size));
}

void VYRQTreeViewImpl::readJson(const Json::Value& element)
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
    readScrollBarChildren(element);
    if (const Json::Value* attr = vyr::json::object(element, "attr"))
        readOwnAttr(*attr, "itemHeight", itemHeight);
    else
        claimAttrKey("itemHeight");
}

void VYRQTreeViewImpl::writeJson(Json::Value& element)
{
    Json::Value styles(Json::nullValue);
    if (!background.name.isEmpty())
        vyr::appendStyleEntry(styles, background.name, vyr::styleEntryKind(background), 0);
    itemBackgrounds.write(styles, 2);
    itemTextStyles.write(styles, 6);
    element["style"] = styles;
    if (itemHeight != 20)
        element["attr"]["itemHeight"] = itemHeight;
}

// ---------------------------------------------------------------------------
// VYRQTreeView

VYRQTreeView::VYRQTreeView(QWidget* parent)
    : VYRQControl(parent)
{
    VYRQTreeViewImpl* d = impl();
    d->delegate.reset(new VYRQTreeViewItemDelegate(d));
    d->createScrollBars(this);
    header()->hide();
    setCornerWidget(new VYRQTreeConerWidget(d));
    setViewport(new VYRQTreeViewport(d));
    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setVerticalScrollBar(d->scrollBar(false));
    setHorizontalScrollBar(d->scrollBar(true));
    setItemDelegate(d->delegate.get());
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    viewport()->installEventFilter(this);
    setExpandsOnDoubleClick(true);
    setMouseTracking(true);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    connect(this, &QTreeView::expanded, d, [d](const QModelIndex& index) {
        d->expanded.insert(index);
        d->dropShownRows();
    });
    connect(this, &QTreeView::collapsed, d, [d](const QModelIndex& index) {
        d->expanded.remove(index);
        d->dropShownRows();
    });
    finishConstruction();
}

VYRQTreeView::~VYRQTreeView() = default;

void VYRQTreeView::setModel(QAbstractItemModel* model)
{
    VYRQTreeViewImpl* d = impl();
    if (QAbstractItemModel* old = this->model())
        disconnect(old, nullptr, d, nullptr);
    QTreeView::setModel(model);
    d->forgetExpanded();
    if (!model)
        return;
    connect(model, &QAbstractItemModel::rowsInserted, d, &VYRQTreeViewImpl::dropShownRows);
    connect(model, &QAbstractItemModel::rowsRemoved, d, &VYRQTreeViewImpl::dropShownRows);
    connect(model, &QAbstractItemModel::rowsMoved, d, &VYRQTreeViewImpl::dropShownRows);
    connect(model, &QAbstractItemModel::layoutChanged, d, &VYRQTreeViewImpl::dropShownRows);
    connect(model, &QAbstractItemModel::modelReset, d, &VYRQTreeViewImpl::forgetExpanded);
}

void VYRQTreeView::doItemsLayout()
{
    impl()->dropShownRows();
    QTreeView::doItemsLayout();
}

VYR_ITEM_VIEW_ITEM_STYLES(VYRQTreeView)

void VYRQTreeView::setHeaderBgStyle(CtrlState state, const FillStyle& style)
{
    impl()->headerBackgrounds.set(state, style);
}

void VYRQTreeView::setHeaderTextStyle(CtrlState state, const TextStyleDesc& style)
{
    impl()->headerTextStyles.set(state, style);
}

void VYRQTreeView::setItemHeight(int h)
{
    impl()->itemHeight = h;
}

int VYRQTreeView::getItemHeight() const
{
    return impl()->itemHeight;
}

VYR_ITEM_VIEW_SCROLLBAR_SETTERS(VYRQTreeView)

void VYRQTreeView::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

bool VYRQTreeView::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

bool VYRQTreeView::eventFilter(QObject* watched, QEvent* event)
{
    if (impl() && VYRQItemViewImpl::paintViewportBackground(viewport(), watched, event, impl()->background))
        return false;
    return QTreeView::eventFilter(watched, event);
}

// Runs for the viewport's paint events only (the scroll area paints its own frame), so
// the control's own painter, which would draw on the tree itself, has no place here.
void VYRQTreeView::paintEvent(QPaintEvent* event)
{
    QTreeView::paintEvent(event);
}

// ---------------------------------------------------------------------------
// Designer record

ControlInfo VYRQTreeView::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQTreeView>("TreeView", "Control TreeView", "tree");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQTreeView::setBackground, &VYRQTreeView::getBackground,
                                           vyr::commonStates()));
    info.rows.push_back(
        vyr::fillStatesRow("Background", &VYRQTreeView::setItemBackground, &VYRQTreeView::getItemBackground));
    info.rows.push_back(
        vyr::textStatesRow("TextStyle", &VYRQTreeView::setItemTextStyle, &VYRQTreeView::getItemTextStyle));
    info.rows.push_back(vyr::intRow("ItemHeight", &VYRQTreeView::setItemHeight, &VYRQTreeView::getItemHeight));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQTreeView.cpp"
#include "moc_VYRQTreeViewImpl.cpp"
