#include "VYRQListView.h"
#include "VYRQListViewImpl.h"

#include "VYRQContainer.h"
#include "VYRQJson.h"
#include "VYRQListViewItemDelegate.h"
#include "VYRQPropertyRows.h"
#include "VYRQScrollBar.h"

#include <QEvent>
#include <QPainter>
#include <QStandardItemModel>
#include <QWidget>

#include <json/value.h>

namespace {

const char* const ownKeys[] = {"itemHeight", "itemWidth", "spacing", "itemMode"};

// QListView places rows at multiples of the spacing and narrows them by twice it, all
// in int: the spacing asked for is kept within the sizes a widget may have, as the
// geometry keys are (and is applied within the rows' room, VYRQListSpacing).
int boundedSpacing(int spacing)
{
    return qBound(-QWIDGETSIZE_MAX, spacing, QWIDGETSIZE_MAX);
}

} // namespace

// ---------------------------------------------------------------------------
// VYRQListViewImpl

VYRQListViewImpl::VYRQListViewImpl(VYRQListView* owner)
    : VYRQItemViewImpl(owner, VYRQListView::typeName())
    , q(owner)
{
    itemBackgrounds.set(AllStates, undrawnFill());
}

VYRQListViewImpl::~VYRQListViewImpl() = default;

void VYRQListViewImpl::createComplete()
{
    for (QObject* child : q->children()) {
        if (auto* container = qobject_cast<VYRQContainer*>(child)) {
            q->setItemTemplate(container);
            return;
        }
    }
}

int VYRQListViewImpl::rows() const
{
    const QAbstractItemModel* model = q->model();
    return model ? model->rowCount(q->rootIndex()) : 0;
}

void VYRQListViewImpl::dropRowCaches()
{
    rowRichText.clear();
    rowRects.clear();
}

void VYRQListViewImpl::setScrollbarBtnSize(bool horizontal, int size)
{
    if (horizontal)
        setBarSheet(true, QStringLiteral("QScrollBar::add-line{ width:%1px;width:%1px; } "
                                         "QScrollBar::sub-line{ width:%1px;width:%1px; }")
                              .arg(size));
    else
        setBarSheet(false, QStringLiteral("QScrollBar::add-line:vertical{ height:%1px;width:%1px; } "
                                          "QScrollBar::sub-line:vertical{ height:%1px;width:%1px; }")
                               .arg(size));
}

void VYRQListViewImpl::setScrollbarSize(bool horizontal, int size)
{
    if (horizontal)
        return;
    setBarSheets(QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; }")
                     .arg(size)
                     .arg(size));
}

void VYRQListViewImpl::readJson(const Json::Value& element)
{
    forEachStyleEntry(element, [this](const QString& name, int, int slot) {
        if (slot != 0 && (slot < 2 || slot > 5))
            return;
        FillStyle fill;
        if (!lookupFill(name, fill))
            return;
        switch (slot) {
        case 0: background = fill; break;
        // The Normal entry stands for the painted states; Disable is never painted.
        case 2:
            for (CtrlState state : {Normal, Hot, Pressed})
                itemBackgrounds.set(state, fill);
            break;
        default: itemBackgrounds.set(CtrlState(slot - 2), fill); break;
        }
    });

    for (const char* key : ownKeys)
        claimAttrKey(key);
    if (const Json::Value* attr = vyr::json::object(element, "attr")) {
        vyr::json::read(*attr, "itemHeight", itemHeight);
        vyr::json::read(*attr, "itemWidth", itemWidth);
        int value = 0;
        if (vyr::json::read(*attr, "spacing", value))
            spacing.ask(q, boundedSpacing(value));
        if (vyr::json::read(*attr, "itemMode", value))
            q->setViewMode(value == 0 ? QListView::ListMode : QListView::IconMode);
    }
    readScrollBarChildren(element);
}

void VYRQListViewImpl::writeJson(Json::Value& element)
{
    Json::Value styles(Json::nullValue);
    if (!background.name.isEmpty())
        vyr::appendStyleEntry(styles, background.name, vyr::styleEntryKind(background), 0);
    itemBackgrounds.write(styles, 2);
    element["style"] = styles;

    Json::Value& attr = element["attr"];
    if (!attr.isObject())
        attr = Json::Value(Json::objectValue);
    if (itemHeight != 20)
        attr["itemHeight"] = itemHeight;
    if (itemWidth != 20)
        attr["itemWidth"] = itemWidth;
    const int asked = spacing.asked(q);
    if (asked != 0)
        attr["spacing"] = asked;
    attr["itemMode"] = q->viewMode() == QListView::IconMode ? 1 : 0;
}

// ---------------------------------------------------------------------------
// VYRQListView

VYRQListView::VYRQListView(QWidget* parent)
    : VYRQControl(parent)
{
    VYRQListViewImpl* d = impl();
    d->delegate.reset(new VYRQListViewItemDelegate(d));
    setItemDelegate(d->delegate.get());
    d->createScrollBars(this);
    setVerticalScrollBar(d->scrollBar(false));
    setHorizontalScrollBar(d->scrollBar(true));
    setFrameStyle(0);
    viewport()->setBackgroundRole(QPalette::NoRole);
    setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    viewport()->installEventFilter(this);
    setEditTriggers(NoEditTriggers);
    d->spacing.ask(this, 1);
    setMouseTracking(true);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    finishConstruction();
}

VYRQListView::~VYRQListView() = default;

void VYRQListView::setModel(QAbstractItemModel* model)
{
    VYRQListViewImpl* d = impl();
    if (QAbstractItemModel* old = this->model())
        disconnect(old, nullptr, d, nullptr);
    QListView::setModel(model);
    d->dropRowCaches();
    if (!model)
        return;
    // Rows that change, move or vanish take their cached rich text and rectangles
    // with them.
    connect(model, &QAbstractItemModel::modelReset, d, &VYRQListViewImpl::dropRowCaches);
    connect(model, &QAbstractItemModel::layoutChanged, d, &VYRQListViewImpl::dropRowCaches);
    connect(model, &QAbstractItemModel::rowsInserted, d, &VYRQListViewImpl::dropRowCaches);
    connect(model, &QAbstractItemModel::rowsRemoved, d, &VYRQListViewImpl::dropRowCaches);
    connect(model, &QAbstractItemModel::rowsMoved, d, &VYRQListViewImpl::dropRowCaches);
    connect(model, &QAbstractItemModel::dataChanged, d, &VYRQListViewImpl::dropRichText);
}

void VYRQListView::setItemTemplate(QWidget* itemTemplate)
{
    if (!itemTemplate)
        return;
    itemTemplate->hide();
    impl()->itemTemplate = itemTemplate;
    impl()->delegate->collectTemplateControls(itemTemplate);
}

QWidget* VYRQListView::getitemTemplate() const
{
    return impl()->itemTemplate;
}

void VYRQListView::setItemDisplayCallBack(ItemDisplayCallBack callBack)
{
    impl()->itemDisplayCallBack = callBack;
}

VYRQListView::ItemDisplayCallBack VYRQListView::getItemDisplayCallBack() const
{
    return impl()->itemDisplayCallBack;
}

void VYRQListView::setItemForSizeCallBack(ItemSizeCallBack callBack)
{
    impl()->itemSizeCallBack = callBack;
}

VYRQListView::ItemSizeCallBack VYRQListView::getItemForSizeCallBack() const
{
    return impl()->itemSizeCallBack;
}

void VYRQListView::setLabelExCallBack(LabelExCallBack callBack)
{
    impl()->labelExCallBack = callBack;
}

VYRQListView::LabelExCallBack VYRQListView::getLabelExCallBack() const
{
    return impl()->labelExCallBack;
}

void VYRQListView::setEnableSelection(bool on)
{
    impl()->enableSelection = on;
}

bool VYRQListView::getEnableSelection() const
{
    return impl()->enableSelection;
}

void VYRQListView::clearHighLight()
{
    impl()->delegate->clearHighLight();
}

void VYRQListView::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

bool VYRQListView::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

void VYRQListView::setBackground(CommonCtrlState, const FillStyle& style)
{
    impl()->background = style;
}

const FillStyle& VYRQListView::getBackground(CommonCtrlState) const
{
    return impl()->background;
}

void VYRQListView::setItemBackground(CtrlState state, const FillStyle& style)
{
    impl()->itemBackgrounds.at(state) = style;
}

const FillStyle& VYRQListView::getItemBackground(CtrlState state) const
{
    return impl()->itemBackgrounds.get(state);
}

void VYRQListView::setItemHeight(int h)
{
    impl()->itemHeight = h;
}

int VYRQListView::getItemHeight() const
{
    return impl()->itemHeight;
}

void VYRQListView::setItemWidth(int w)
{
    impl()->itemWidth = w;
}

int VYRQListView::getItemWidth() const
{
    return impl()->itemWidth;
}

void VYRQListView::initDemoData()
{
    setModel(new QStandardItemModel(20, 1, this));
}

void VYRQListView::doItemsLayout()
{
    impl()->spacing.hold(this, impl()->itemHeight);
    QListView::doItemsLayout();
}

VYR_ITEM_VIEW_SCROLLBAR_SETTERS(VYRQListView)

bool VYRQListView::eventFilter(QObject* watched, QEvent* event)
{
    if (impl() && VYRQItemViewImpl::paintViewportBackground(viewport(), watched, event, impl()->background))
        return false;
    return QListView::eventFilter(watched, event);
}

void VYRQListView::mouseReleaseEvent(QMouseEvent* event)
{
    impl()->delegate->endDrag();
    QListView::mouseReleaseEvent(event);
}

void VYRQListView::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
}

void VYRQListView::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    impl()->rowRects.clear();
}

// ---------------------------------------------------------------------------
// Designer record

ControlInfo VYRQListView::getProps()
{
    ControlInfo info =
        vyr::makeControlInfo<VYRQListView>("ListView", "Control ListView", "templatelist");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQListView::setBackground, &VYRQListView::getBackground,
                                           vyr::commonStates()));
    info.rows.push_back(
        vyr::fillStatesRow("ItemBackground", &VYRQListView::setItemBackground, &VYRQListView::getItemBackground));
    info.rows.push_back(vyr::intRow("ItemHeight", &VYRQListView::setItemHeight, &VYRQListView::getItemHeight));
    info.rows.push_back(vyr::intRow("ItemWidth", &VYRQListView::setItemWidth, &VYRQListView::getItemWidth));
    info.rows.push_back(vyr::intRow<VYRQListView>("ItemSpace", &QListView::setSpacing, &QListView::spacing));
    info.rows.push_back(vyr::enumRow<VYRQListView>("ItemMode", &QListView::setViewMode, &QListView::viewMode,
                                                   {{QListView::ListMode, "List"}, {QListView::IconMode, "Icon"}}));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQListView.cpp"
#include "moc_VYRQListViewImpl.cpp"
