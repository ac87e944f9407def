#include "VYRQRibbonPage.h"

#include "VYRQContainerImpl.h"
#include "VYRQRibbonBar.h"
#include "VYRQRibbonBarImpl.h"
#include "VYRQRibbonButton.h"
#include "VYRQRibbonContextGroup.h"
#include "VYRQRibbonGroup.h"
#include "VYRQRibbonLayout.h"
#include "VYRQRibbonPlace_p.h"

#include <QWheelEvent>

#include <algorithm>

VYRQRibbonPage::VYRQRibbonPage(const QString& id, const QString& title, QWidget* parent)
    : VYRQContainer(parent)
    , m_id(id)
    , m_title(title.isEmpty() ? id : title)
{
    m_scrollLeft = new VYRQRibbonButton(this, VYR_RIBBON_ITEM_SIZE::small);
    m_scrollLeft->setText(QStringLiteral("<"));
    m_scrollRight = new VYRQRibbonButton(this, VYR_RIBBON_ITEM_SIZE::small);
    m_scrollRight->setText(QStringLiteral(">"));
    m_scrollLeft->hide();
    m_scrollRight->hide();
    setDrawBackground(false);
    setChildLayout(NoUse);
    connect(m_scrollLeft, &QAbstractButton::clicked, this, [this] { scrollBy(-120); });
    connect(m_scrollRight, &QAbstractButton::clicked, this, [this] { scrollBy(120); });
}

VYRQRibbonPage::~VYRQRibbonPage()
{
    // The groups go with the widget; they must not report back to a page half gone.
    for (VYRQRibbonGroup* group : qAsConst(m_groups))
        group->m_page = nullptr;
    m_groups.clear();
    if (m_bar)
        m_bar->forgetPage(this);
}

void VYRQRibbonPage::setBar(VYRQRibbonBar* bar)
{
    m_bar = bar;
}

VYRQRibbonGroup* VYRQRibbonPage::addGroup(const QString& id, const QString& title)
{
    return insertGroup(groupCount(), id, title);
}

VYRQRibbonGroup* VYRQRibbonPage::insertGroup(int index, const QString& id, const QString& title)
{
    auto* group = new VYRQRibbonGroup(id, title, this);
    group->m_page = this;
    m_groups.insert(std::max(0, std::min(index, groupCount())), group);
    group->show();
    updateGroupLayout();
    return group;
}

bool VYRQRibbonPage::removeGroup(VYRQRibbonGroup* group)
{
    const int index = m_groups.indexOf(group);
    if (index < 0)
        return false;
    m_groups.removeAt(index);
    group->m_page = nullptr;
    vyr::discardRibbonWidget(group);
    updateGroupLayout();
    return true;
}

void VYRQRibbonPage::clearGroups()
{
    const QVector<VYRQRibbonGroup*> groups = m_groups;
    m_groups.clear();
    for (VYRQRibbonGroup* group : groups) {
        group->m_page = nullptr;
        vyr::discardRibbonWidget(group);
    }
    m_scrollOffset = 0;
}

void VYRQRibbonPage::forgetGroup(VYRQRibbonGroup* group)
{
    if (m_groups.removeAll(group) > 0)
        updateGroupLayout();
}

VYRQRibbonGroup* VYRQRibbonPage::groupAt(int index) const
{
    return index >= 0 && index < m_groups.size() ? m_groups.at(index) : nullptr;
}

VYRQRibbonGroup* VYRQRibbonPage::groupById(const QString& id) const
{
    for (VYRQRibbonGroup* group : m_groups)
        if (group->groupId() == id)
            return group;
    return nullptr;
}

void VYRQRibbonPage::setTitle(const QString& title)
{
    m_title = title;
    if (m_bar)
        m_bar->rebuildTabs();
}

bool VYRQRibbonPage::barLoading() const
{
    return m_bar && m_bar->impl()->loading > 0;
}

void VYRQRibbonPage::setContextGroup(VYRQRibbonContextGroup* group)
{
    m_contextGroup = group;
}

void VYRQRibbonPage::updateGroupLayout()
{
    // A bar reading a configuration lays every page out once, at its end.
    if (barLoading())
        return;
    QVector<VYRQRibbonLayout::PageGroup> groups;
    for (VYRQRibbonGroup* group : qAsConst(m_groups))
        groups.append({group->sizeHint().width(), group->isExpanding()});
    const VYRQRibbonLayout::PagePlacement placed =
        VYRQRibbonLayout::pageGroups(groups, width(), height(), m_scrollOffset);
    m_contentWidth = placed.contentWidth;
    m_scrollOffset = placed.offset;
    for (int i = 0; i < m_groups.size(); ++i)
        vyr::placeRibbonChild(m_groups[i], placed.groups[i]);
    m_scrollLeft->setVisible(placed.overflow);
    m_scrollRight->setVisible(placed.overflow);
    m_scrollLeft->setEnabled(placed.canScrollLeft);
    m_scrollRight->setEnabled(placed.canScrollRight);
    if (placed.overflow) {
        vyr::placeRibbonChild(m_scrollLeft, placed.leftButton);
        vyr::placeRibbonChild(m_scrollRight, placed.rightButton);
        m_scrollLeft->raise();
        m_scrollRight->raise();
    }
}

void VYRQRibbonPage::relayoutGroups()
{
    for (VYRQRibbonGroup* group : qAsConst(m_groups))
        group->updateItemLayout();
    updateGroupLayout();
}

void VYRQRibbonPage::scrollBy(int dx)
{
    const int maxOffset = VYRQRibbonLayout::pageMaxOffset(m_contentWidth, width());
    m_scrollOffset = int(std::max<qint64>(0, std::min<qint64>(qint64(m_scrollOffset) + dx, maxOffset)));
    updateGroupLayout();
}

QSize VYRQRibbonPage::sizeHint() const
{
    return QSize(m_contentWidth, m_bar ? m_bar->pageHeight() : 96);
}

void VYRQRibbonPage::wheelEvent(QWheelEvent* event)
{
    if (m_contentWidth <= width()) {
        VYRQContainer::wheelEvent(event);
        return;
    }
    scrollBy(event->angleDelta().y() < 0 ? 80 : -80);
    event->accept();
}

void VYRQRibbonPage::resizeEvent(QResizeEvent* event)
{
    VYRQContainer::resizeEvent(event);
    updateGroupLayout();
}

VYRQRibbonBar* VYRQRibbonPage::bar() const
{
    return m_bar.data();
}

VYRQRibbonContextGroup* VYRQRibbonPage::contextGroup() const
{
    return m_contextGroup.data();
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQRibbonPage.cpp"
