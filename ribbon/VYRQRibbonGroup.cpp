#include "VYRQRibbonGroup.h"

#include "VYRQContainerImpl.h"
#include "VYRQRibbonBar.h"
#include "VYRQRibbonBarImpl.h"
#include "VYRQRibbonButton.h"
#include "VYRQRibbonGallery.h"
#include "VYRQRibbonLayout.h"
#include "VYRQRibbonPlace_p.h"
#include "VYRQRibbonMenu.h"
#include "VYRQRibbonPage.h"

#include <QAction>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

// The vertical line between items of a group.
class RibbonSeparator : public QWidget {
public:
    explicit RibbonSeparator(QWidget* parent)
        : QWidget(parent)
    {
    }
    QSize sizeHint() const override { return QSize(7, 52); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(QColor(180, 188, 200));
        painter.drawLine(width() / 2, 5, width() / 2, height() - 5);
    }
};

bool stacks(VYR_RIBBON_ITEM_SIZE size)
{
    return size == VYR_RIBBON_ITEM_SIZE::medium || size == VYR_RIBBON_ITEM_SIZE::small;
}

} // namespace

VYRQRibbonGroup::VYRQRibbonGroup(const QString& id, const QString& title, QWidget* parent)
    : VYRQContainer(parent)
    , m_id(id)
    , m_title(title)
    , m_page(qobject_cast<VYRQRibbonPage*>(parent))
{
    setDrawBackground(false);
    setChildLayout(NoUse);
}

VYRQRibbonGroup::~VYRQRibbonGroup()
{
    if (m_page)
        m_page->forgetGroup(this);
}

int VYRQRibbonGroup::rowCount() const
{
    VYRQRibbonBar* bar = m_page ? m_page->bar() : nullptr;
    return bar ? bar->groupRows() : 3;
}

void VYRQRibbonGroup::appendItem(QWidget* widget, VYR_RIBBON_ITEM_SIZE size, const QString& kind, QAction* action)
{
    Item item;
    item.widget = widget;
    item.size = size;
    item.kind = kind;
    item.action = action;
    m_items.append(item);
    widget->show();
    updateGeometry();
    updateItemLayout();
    // The page keeps its layout in step with the groups' content.
    if (m_page)
        m_page->updateGroupLayout();
}

VYRQRibbonButton* VYRQRibbonGroup::addAction(QAction* action, VYR_RIBBON_ITEM_SIZE size, VYR_RIBBON_POPUP_MODE mode,
                                             VYRQRibbonMenu* menu)
{
    if (!action)
        return nullptr;
    auto* button = new VYRQRibbonButton(this, size);
    button->setRibbonAction(action);
    button->setPopupMode(mode);
    button->setPopupMenu(menu);
    if (VYRQRibbonBar* bar = m_page ? m_page->bar() : nullptr) {
        bar->registerAction(action);
        bar->registerMenuActions(menu);
    }
    // Unique: an action added twice, or again after clearItems, reports once.
    connect(action, &QAction::triggered, this, &VYRQRibbonGroup::forwardTriggered, Qt::UniqueConnection);
    appendItem(button, size, QStringLiteral("button"), action);
    return button;
}

void VYRQRibbonGroup::forwardTriggered()
{
    if (auto* action = qobject_cast<QAction*>(sender()))
        emit actionTriggered(action);
}

VYRQRibbonButton* VYRQRibbonGroup::addLargeAction(QAction* action)
{
    return addAction(action, VYR_RIBBON_ITEM_SIZE::large, VYR_RIBBON_POPUP_MODE::none, nullptr);
}

VYRQRibbonButton* VYRQRibbonGroup::addMediumAction(QAction* action)
{
    return addAction(action, VYR_RIBBON_ITEM_SIZE::medium, VYR_RIBBON_POPUP_MODE::none, nullptr);
}

VYRQRibbonButton* VYRQRibbonGroup::addSmallAction(QAction* action)
{
    return addAction(action, VYR_RIBBON_ITEM_SIZE::small, VYR_RIBBON_POPUP_MODE::none, nullptr);
}

VYRQRibbonButton* VYRQRibbonGroup::addMenu(VYRQRibbonMenu* menu, VYR_RIBBON_ITEM_SIZE size, VYR_RIBBON_POPUP_MODE mode)
{
    auto* action = new QAction(menu ? menu->title() : QStringLiteral("Menu"), this);
    return addAction(action, size, mode, menu);
}

QWidget* VYRQRibbonGroup::addWidget(QWidget* widget, VYR_RIBBON_ITEM_SIZE size)
{
    if (!widget)
        return nullptr;
    widget->setParent(this);
    appendItem(widget, size, QStringLiteral("widget"), nullptr);
    return widget;
}

VYRQRibbonGallery* VYRQRibbonGroup::addGallery(int columns, int rows)
{
    auto* gallery = new VYRQRibbonGallery(this);
    gallery->setColumnCount(std::max(columns, 1));
    gallery->setVisibleRowCount(std::max(rows, 1));
    if (VYRQRibbonBar* bar = m_page ? m_page->bar() : nullptr) {
        connect(gallery, &VYRQRibbonGallery::itemTriggered, bar,
                [bar](const QString& commandId) { emit bar->commandTriggered(commandId, false); });
    }
    appendItem(gallery, VYR_RIBBON_ITEM_SIZE::large, QStringLiteral("gallery"), nullptr);
    return gallery;
}

void VYRQRibbonGroup::addSeparator()
{
    appendItem(new RibbonSeparator(this), VYR_RIBBON_ITEM_SIZE::large, QStringLiteral("separator"), nullptr);
}

void VYRQRibbonGroup::clearItems()
{
    for (const Item& item : qAsConst(m_items)) {
        if (item.action)
            disconnect(item.action, &QAction::triggered, this, &VYRQRibbonGroup::forwardTriggered);
        vyr::discardRibbonWidget(item.widget);
    }
    m_items.clear();
}

void VYRQRibbonGroup::setTitle(const QString& title)
{
    m_title = title;
    update();
}

void VYRQRibbonGroup::setExpanding(bool on)
{
    m_expanding = on;
    updateGeometry();
    if (m_page)
        m_page->updateGroupLayout();
}

QSize VYRQRibbonGroup::sizeHint() const
{
    QVector<VYRQRibbonLayout::GroupItem> items;
    for (const Item& item : m_items)
        if (item.widget)
            items.append({item.widget->sizeHint().width(), stacks(item.size)});
    VYRQRibbonBar* bar = m_page ? m_page->bar() : nullptr;
    return QSize(VYRQRibbonLayout::groupWidth(items, rowCount()), bar ? bar->pageHeight() - 8 : 92);
}

void VYRQRibbonGroup::updateItemLayout()
{
    // A bar reading a configuration lays every page out once, at its end.
    if (m_page && m_page->barLoading())
        return;
    QVector<VYRQRibbonLayout::GroupItem> items;
    QVector<QWidget*> widgets;
    for (const Item& item : qAsConst(m_items)) {
        if (!item.widget)
            continue;
        items.append({item.widget->sizeHint().width(), stacks(item.size)});
        widgets.append(item.widget);
    }
    const QVector<QRect> placed = VYRQRibbonLayout::groupItems(items, rowCount(), height());
    for (int i = 0; i < widgets.size(); ++i)
        vyr::placeRibbonChild(widgets[i], placed[i]);
}

void VYRQRibbonGroup::resizeEvent(QResizeEvent* event)
{
    VYRQContainer::resizeEvent(event);
    updateItemLayout();
}

void VYRQRibbonGroup::paintEvent(QPaintEvent*)
{
    VYRQRibbonBar* bar = m_page ? m_page->bar() : nullptr;
    if (!bar || !bar->impl())
        return;
    QPainter painter(this);
    const QRect area = rect();
    VYRQWidgetBaseImpl::drawFillStyle(&painter, bar->impl()->groupBackground, area);
    VYRQWidgetBaseImpl::drawText(&painter, m_title, bar->impl()->groupTitleText,
                                 QRect(5, area.bottom() - 18, width() - 10, 17));
}

VYRQRibbonPage* VYRQRibbonGroup::page() const
{
    return m_page.data();
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQRibbonGroup.cpp"
