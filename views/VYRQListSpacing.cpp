#include "VYRQListSpacing_p.h"

#include "VYRQItemViewImpl.h"

#include <QAbstractItemModel>
#include <QListView>

VYRQListSpacing::VYRQListSpacing(int spacing)
    : m_asked(spacing)
    , m_applied(spacing)
{
}

void VYRQListSpacing::takeUp(const QListView* view)
{
    if (view->spacing() != m_applied)
        m_asked = m_applied = view->spacing();
}

int VYRQListSpacing::asked(const QListView* view)
{
    takeUp(view);
    return m_asked;
}

void VYRQListSpacing::ask(QListView* view, int spacing)
{
    m_asked = m_applied = spacing;
    view->setSpacing(spacing);
}

void VYRQListSpacing::hold(QListView* view, int storedSize)
{
    takeUp(view);
    const QAbstractItemModel* model = view->model();
    const int rows = model ? model->rowCount(view->rootIndex()) : 0;
    m_applied = VYRQItemViewImpl::rowSpacing(m_asked, rows, storedSize);
    // Setting the spacing asks for another layout; the one about to run takes its place.
    if (view->spacing() != m_applied)
        view->setSpacing(m_applied);
}
