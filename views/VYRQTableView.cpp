#include "VYRQTableView.h"
#include "VYRQTableViewImpl.h"

#include "VYRQCheckBox.h"
#include "VYRQCheckBoxImpl_p.h"
#include "VYRQConerWidget.h"
#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQResourceManager.h"
#include "VYRQScrollBar.h"
#include "VYRQTableHeader.h"
#include "VYRQTableViewitemDelegate.h"
#include "VYRQViewport.h"

#include <QCoreApplication>
#include <QImage>
#include <QItemSelectionModel>
#include <QPainter>
#include <QSet>
#include <QStandardItemModel>

#include <algorithm>

#include <json/value.h>

namespace {

const char* const ownKeys[] = {"multiselect", "itemHeight", "checkstyle", "checkedImg", "uncheckImg"};

QString scrollBarSheet(int size, int buttonSize)
{
    return QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; } "
                          "QScrollBar::add-line:vertical{ width:%3px;width:%3px; subcontrol-origin: margin;} "
                          "QScrollBar::sub-line:vertical{ width:%3px;width:%3px;subcontrol-origin: margin; }")
        .arg(size)
        .arg(size)
        .arg(buttonSize);
}

} // namespace

// ---------------------------------------------------------------------------
// VYRQTableViewImpl

VYRQTableViewImpl::VYRQTableViewImpl(VYRQTableView* owner)
    : VYRQItemViewImpl(owner, VYRQTableView::typeName())
    , q(owner)
{
    itemBackgrounds.set(AllStates, undrawnFill());

    // The stamp paints every check icon. It stays out of the widget tree: never
    // shown, never refreshed by a theme walk, never written as a child of the table.
    checkStamp = std::make_unique<VYRQCheckBox>();
    checkStamp->setShowText(false);
    checkStamp->setBackground(AllStates, undrawnFill());
    checkStamp->setCheckedBackground(AllStates, undrawnFill());
    checkStamp->setCheckedIcon(checkedImage);
    checkStamp->setUncheckIcon(uncheckedImage);
}

VYRQTableViewImpl::~VYRQTableViewImpl() = default;

void VYRQTableViewImpl::drawControl(QPainter* painter, const QRect& rect)
{
    drawFillStyle(painter, background, rect);
}

void VYRQTableViewImpl::createComplete()
{
    if (!vyrIsQtEmulator())
        return;
    auto* model = new QStandardItemModel(q);
    const char* const headers[] = {"Col1", "Col2", "Col3", "Col4", "Col5"};
    QStringList labels;
    for (const char* header : headers)
        labels << QCoreApplication::translate("VYRQTableView", header);
    model->setHorizontalHeaderLabels(labels);
    for (int row = 0; row < 100; ++row) {
        for (int column = 0; column < 5; ++column)
            model->setItem(row, column, new QStandardItem(QStringLiteral("item %1 %2").arg(row).arg(column)));
    }
    q->setModel(model);
}

void VYRQTableViewImpl::setScrollbarBtnSize(bool, int size)
{
    scrollbarButtonSize = size;
}

void VYRQTableViewImpl::setScrollbarSize(bool, int size)
{
    scrollbarSize = size;
    setBarSheets(scrollBarSheet(scrollbarSize, scrollbarButtonSize));
}

void VYRQTableViewImpl::setItemHeight(int h)
{
    if (h <= 0)
        return;
    itemHeight = h;
    q->verticalHeader()->setDefaultSectionSize(rowSize(itemHeight, rowsToHold()));
}

void VYRQTableViewImpl::holdRows(qint64 rows)
{
    QHeaderView* header = q->verticalHeader();
    const int height = rowSize(itemHeight, rows);
    if (header->defaultSectionSize() != height)
        header->setDefaultSectionSize(height);
}

qint64 VYRQTableViewImpl::rowsToHold() const
{
    const QAbstractItemModel* model = q->model();
    const int rows = model ? model->rowCount(q->rootIndex()) : 0;
    return qMax(rows, q->verticalHeader()->count());
}

void VYRQTableViewImpl::setCheckBoxImage(bool checked, const QString& name)
{
    const QImage* image = VYRQResourceManager::getInstance()->getImage(name, false);
    if (image && !image->isNull())
        checkImageSize = image->size();
    (checked ? checkedImage : uncheckedImage) = name;
    if (!checkStamp)
        return;
    if (checked)
        checkStamp->setCheckedIcon(name);
    else
        checkStamp->setUncheckIcon(name);
}

void VYRQTableViewImpl::drawCheck(QPainter* painter, const QRect& rect, bool checked)
{
    if (!checkStamp)
        return;
    checkStamp->setChecked(checked);
    checkStamp->getImpl()->drawControl(painter, rect);
}

QRect VYRQTableViewImpl::checkRect(const QRect& cell) const
{
    return QRect(cell.left() + 5, cell.top(), checkImageSize.width(), cell.height());
}

QRect VYRQTableViewImpl::innerRect(const QRect& rect)
{
    return QRect(rect.x() + 2, rect.y() + 2, std::max(rect.width() - 4, 0), std::max(rect.height() - 4, 0));
}

QRect VYRQTableViewImpl::textRightOfCheck(const QRect& inner) const
{
    const int left = inner.left() + 10 + checkImageSize.width();
    return QRect(left, inner.top(), std::max(inner.right() + 1 - left, 0), inner.height());
}

VYRQContainer* VYRQTableViewImpl::columnWidget(int column) const
{
    const auto it = columnWidgets.constFind(column);
    return it == columnWidgets.constEnd() ? nullptr : it->data();
}

void VYRQTableViewImpl::setHoverRow(int row)
{
    hoverRow = row;
    q->viewport()->update();
}

bool VYRQTableViewImpl::isChecked(const QModelIndex& index)
{
    const QVariant state = index.data(Qt::CheckStateRole);
    // A model that stores a plain boolean means what it says.
    if (state.userType() == QMetaType::Bool)
        return state.toBool();
    return state.toInt() == Qt::Checked;
}

void VYRQTableViewImpl::applyAlignment(TextStyleDesc& style, const QVariant& alignment)
{
    if (!alignment.isValid())
        return;
    const int a = alignment.toInt();
    if (a & Qt::AlignHCenter) {
        style.hor = 1;
        style.x = 0;
    } else if (a & Qt::AlignRight) {
        style.hor = 2;
    } else if (a & Qt::AlignLeft) {
        style.hor = 0;
    }
    if (a & Qt::AlignTop)
        style.ver = 0;
    else if (a & Qt::AlignBottom)
        style.ver = 2;
    else if (a & Qt::AlignVCenter)
        style.ver = 1;
}

void VYRQTableViewImpl::readJson(const Json::Value& element)
{
    forEachStyleEntry(element, [this](const QString& name, int, int slot) {
        if (slot == 0 || (slot >= 2 && slot <= 5) || (slot >= 10 && slot <= 13)) {
            FillStyle fill;
            if (!lookupFill(name, fill))
                return;
            if (slot == 0)
                background = fill;
            else if (slot <= 5)
                itemBackgrounds.readSlot(slot - 2, fill);
            else
                headerBackgrounds.readSlot(slot - 10, fill);
        } else if ((slot >= 6 && slot <= 9) || (slot >= 14 && slot <= 17)) {
            TextStyleDesc text;
            if (!lookupText(name, text))
                return;
            if (slot <= 9)
                itemTextStyles.readSlot(slot - 6, text);
            else
                headerTextStyles.readSlot(slot - 14, text);
        }
    });

    for (const char* key : ownKeys)
        claimAttrKey(key);
    if (const Json::Value* attr = vyr::json::object(element, "attr")) {
        bool on = false;
        if (vyr::json::read(*attr, "multiselect", on))
            q->setSelectionMode(on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
        int height = 0;
        // A height of 0 or less would collapse the header: ignored like the rows'.
        if (vyr::json::read(*attr, "itemHeight", height) && height > 0) {
            setItemHeight(height);
            q->horizontalHeader()->setFixedHeight(height);
        }
        if (vyr::json::read(*attr, "checkstyle", on))
            checkStyle = on;
        QString name;
        if (vyr::json::read(*attr, "checkedImg", name))
            setCheckBoxImage(true, name);
        if (vyr::json::read(*attr, "uncheckImg", name))
            setCheckBoxImage(false, name);
    }
    readScrollBarChildren(element);
}

void VYRQTableViewImpl::writeJson(Json::Value& element)
{
    Json::Value styles(Json::arrayValue);
    if (!background.name.isEmpty())
        vyr::appendStyleEntry(styles, background.name, vyr::styleEntryKind(background), 0);
    itemBackgrounds.write(styles, 2);
    itemTextStyles.writeByName(styles, 6);
    headerBackgrounds.write(styles, 10);
    headerTextStyles.writeByName(styles, 14);
    element["style"] = styles;

    Json::Value& attr = element["attr"];
    if (!attr.isObject())
        attr = Json::Value(Json::objectValue);
    if (q->selectionMode() == QAbstractItemView::ExtendedSelection)
        attr["multiselect"] = 1;
    attr["itemHeight"] = itemHeight;
    if (checkStyle)
        attr["checkstyle"] = 1;
    if (!checkedImage.isEmpty())
        attr["checkedImg"] = vyr::json::toUtf8(checkedImage);
    if (!uncheckedImage.isEmpty())
        attr["uncheckImg"] = vyr::json::toUtf8(uncheckedImage);
}

// ---------------------------------------------------------------------------
// VYRQTableView

VYRQTableView::VYRQTableView(QWidget* parent)
    : VYRQControl(parent)
{
    VYRQTableViewImpl* d = impl();
    d->delegate.reset(new VYRQTableViewitemDelegate(d));
    setItemDelegate(d->delegate.get());
    d->createScrollBars(this);
    auto* horizontal = new VYRQTableHeader(d, Qt::Horizontal, this);
    auto* vertical = new VYRQTableHeader(d, Qt::Vertical, this);
    setVerticalScrollBar(d->scrollBar(false));
    setHorizontalScrollBar(d->scrollBar(true));
    setHorizontalHeader(horizontal);
    setVerticalHeader(vertical);
    vertical->hide();
    // The style's minimum section size follows the font and would overrule small
    // item heights.
    vertical->setMinimumSectionSize(1);
    vertical->setDefaultSectionSize(d->itemHeight);
    setShowGrid(false);
    setCornerWidget(new VYRQConerWidget(d));
    setViewport(new VYRQViewport(d));

    setEditTriggers(NoEditTriggers);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setFrameStyle(0);
    viewport()->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    viewport()->installEventFilter(this);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    // The scroll area passes the setting on to its viewport.
    setMouseTracking(true);
    finishConstruction();
}

VYRQTableView::~VYRQTableView() = default;

void VYRQTableView::setModel(QAbstractItemModel* model)
{
    VYRQTableViewImpl* d = impl();
    if (QAbstractItemModel* old = this->model())
        disconnect(old, nullptr, d, nullptr);
    // The header takes the new model's rows at the default size at once.
    if (model)
        d->holdRows(qMax(model->rowCount(), verticalHeader()->count()));
    QTableView::setModel(model);
    d->holdRows(verticalHeader()->count());
    d->dropHoverRow();
    if (!model)
        return;
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, d,
            [d](const QModelIndex& parent, int first, int last) {
                if (parent == d->view()->rootIndex())
                    d->holdRows(d->rowsToHold() + last - first + 1);
            });
    // Rows that went leave room to the others.
    connect(model, &QAbstractItemModel::rowsRemoved, d, [d] { d->holdRows(d->rowsToHold()); });
    // Rows that move or vanish take the hover row with them.
    connect(model, &QAbstractItemModel::modelReset, d, &VYRQTableViewImpl::dropHoverRow);
    connect(model, &QAbstractItemModel::layoutChanged, d, &VYRQTableViewImpl::dropHoverRow);
    connect(model, &QAbstractItemModel::rowsRemoved, d, &VYRQTableViewImpl::dropHoverRow);
    connect(model, &QAbstractItemModel::rowsInserted, d, &VYRQTableViewImpl::dropHoverRow);
    connect(model, &QAbstractItemModel::rowsMoved, d, &VYRQTableViewImpl::dropHoverRow);
    connect(model, &QObject::destroyed, d, &VYRQTableViewImpl::dropHoverRow);
}

QList<int> VYRQTableView::selectedRows() const
{
    QSet<int> rows;
    if (const QItemSelectionModel* selection = selectionModel()) {
        for (const QModelIndex& index : selection->selectedIndexes())
            rows.insert(index.row());
    }
    return rows.values();
}

void VYRQTableView::setItemHeight(int h)
{
    impl()->setItemHeight(h);
}

int VYRQTableView::getItemHeight() const
{
    return impl()->itemHeight;
}

void VYRQTableView::setCheckstyle(bool on)
{
    impl()->checkStyle = on;
}

bool VYRQTableView::getCheckstyle() const
{
    return impl()->checkStyle;
}

void VYRQTableView::setCheckBoxImage(bool checked, const QString& name)
{
    impl()->setCheckBoxImage(checked, name);
}

QString VYRQTableView::getCheckBoxImage(bool checked) const
{
    return checked ? impl()->checkedImage : impl()->uncheckedImage;
}

void VYRQTableView::setCheckedImage(const QString& name)
{
    impl()->checkedImage = name;
}

QString VYRQTableView::getCheckedImage() const
{
    return impl()->checkedImage;
}

void VYRQTableView::setUncheckedImage(const QString& name)
{
    impl()->uncheckedImage = name;
}

QString VYRQTableView::getUncheckedImage() const
{
    return impl()->uncheckedImage;
}

void VYRQTableView::setColumnWidget(int column, VYRQContainer* container)
{
    if (!container) {
        impl()->columnWidgets.remove(column);
        return;
    }
    container->setVisible(false);
    impl()->columnWidgets.insert(column, container);
}

VYRQContainer* VYRQTableView::getColumnWidget(int column) const
{
    return impl()->columnWidget(column);
}

VYR_ITEM_VIEW_ITEM_STYLES(VYRQTableView)

void VYRQTableView::setHeaderBackground(CtrlState state, const FillStyle& style)
{
    impl()->headerBackgrounds.set(state, style);
}

const FillStyle& VYRQTableView::getHeaderBackground(CtrlState state) const
{
    return impl()->headerBackgrounds.get(state);
}

void VYRQTableView::setHeaderTextStyle(CtrlState state, const TextStyleDesc& style)
{
    impl()->headerTextStyles.set(state, style);
}

const TextStyleDesc& VYRQTableView::getHeaderTextStyle(CtrlState state) const
{
    return impl()->headerTextStyles.get(state);
}

VYR_ITEM_VIEW_SCROLLBAR_SETTERS(VYRQTableView)

void VYRQTableView::initDemoData()
{
    impl()->createComplete();
}

void VYRQTableView::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

bool VYRQTableView::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

void VYRQTableView::headerChecked(bool check)
{
    emit headerCheckedChanged(check);
}

// The background is painted into the viewport by eventFilter, before the view's
// own painting of each viewport paint event.
void VYRQTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
}

bool VYRQTableView::eventFilter(QObject* watched, QEvent* event)
{
    if (impl() && VYRQItemViewImpl::paintViewportBackground(viewport(), watched, event, impl()->background))
        return false;
    return QTableView::eventFilter(watched, event);
}

void VYRQTableView::leaveEvent(QEvent* event)
{
    if (impl()->hoverRow != -1)
        impl()->setHoverRow(-1);
    QTableView::leaveEvent(event);
}

// ---------------------------------------------------------------------------
// Designer record

ControlInfo VYRQTableView::getProps()
{
    ControlInfo info =
        vyr::makeControlInfo<VYRQTableView>("TableView", "Control TableView", "datagrid");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQTableView::setBackground, &VYRQTableView::getBackground,
                                           vyr::commonStates()));
    info.rows.push_back(
        vyr::fillStatesRow("ItemBg", &VYRQTableView::setItemBackground, &VYRQTableView::getItemBackground));
    info.rows.push_back(
        vyr::textStatesRow("TextStyle", &VYRQTableView::setItemTextStyle, &VYRQTableView::getItemTextStyle));
    info.rows.push_back(
        vyr::fillStatesRow("HeadItemBg", &VYRQTableView::setHeaderBackground, &VYRQTableView::getHeaderBackground));
    info.rows.push_back(
        vyr::textStatesRow("HeadTextStyle", &VYRQTableView::setHeaderTextStyle, &VYRQTableView::getHeaderTextStyle));
    info.rows.push_back(vyr::intRow("ItemHeight", &VYRQTableView::setItemHeight, &VYRQTableView::getItemHeight));
    info.rows.push_back(vyr::boolRow("CheckStyle", &VYRQTableView::setCheckstyle, &VYRQTableView::getCheckstyle));
    info.rows.push_back(
        vyr::iconRow("CheckedImage", &VYRQTableView::setCheckedImage, &VYRQTableView::getCheckedImage));
    info.rows.push_back(
        vyr::iconRow("UncheckedImage", &VYRQTableView::setUncheckedImage, &VYRQTableView::getUncheckedImage));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQTableView.cpp"
#include "moc_VYRQTableViewImpl.cpp"
