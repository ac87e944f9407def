#include "VYRQRibbonContextGroup.h"

#include "VYRQRibbonBar.h"
#include "VYRQRibbonPage.h"

VYRQRibbonContextGroup::VYRQRibbonContextGroup(const QString& id, const QString& title, const QColor& color,
                                               VYRQRibbonBar* bar)
    : QObject(bar)
    , m_id(id)
    , m_title(title)
    , m_color(color)
    , m_bar(bar)
{
}

VYRQRibbonContextGroup::~VYRQRibbonContextGroup()
{
    if (m_bar)
        m_bar->forgetContextGroup(this);
}

void VYRQRibbonContextGroup::setColor(const QColor& color)
{
    m_color = color;
    if (m_bar)
        m_bar->rebuildTabs();
}

VYRQRibbonPage* VYRQRibbonContextGroup::addPage(const QString& id, const QString& title)
{
    if (!m_bar)
        return nullptr;
    VYRQRibbonPage* page = m_bar->insertPage(m_bar->pageCount(), id, title);
    page->setContextGroup(this);
    m_pages.append(page);
    m_bar->rebuildTabs();
    return page;
}

VYRQRibbonPage* VYRQRibbonContextGroup::pageAt(int index) const
{
    return index >= 0 && index < m_pages.size() ? m_pages.at(index).data() : nullptr;
}

VYRQRibbonBar* VYRQRibbonContextGroup::bar() const
{
    return m_bar.data();
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQRibbonContextGroup.cpp"
