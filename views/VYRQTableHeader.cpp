#include "VYRQTableHeader.h"

#include "VYRQTableView.h"
#include "VYRQTableViewImpl.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

VYRQTableHeader::VYRQTableHeader(VYRQTableViewImpl* impl, Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent)
    , m_impl(impl)
{
}

VYRQTableHeader::~VYRQTableHeader() = default;

void VYRQTableHeader::reset()
{
    holdRows(true);
    QHeaderView::reset();
    holdRows(false);
}

void VYRQTableHeader::doItemsLayout()
{
    holdRows(true);
    QHeaderView::doItemsLayout();
    holdRows(false);
}

void VYRQTableHeader::holdRows(bool ahead)
{
    VYRQTableViewImpl* impl = m_impl.data();
    if (!impl || orientation() != Qt::Vertical)
        return;
    const QAbstractItemModel* source = model();
    const int rows = ahead && source ? source->rowCount(rootIndex()) : 0;
    impl->holdRows(qMax(rows, count()));
}

void VYRQTableHeader::paintEvent(QPaintEvent* event)
{
    VYRQTableViewImpl* impl = m_impl.data();
    if (!impl)
        return;
    QWidget* port = viewport();
    QPainter painter(port);
    const FillStyle& fill = impl->headerBackgrounds.get(Normal);
    VYRQWidgetBaseImpl::drawFillStyle(&painter, fill, port->rect());

    QAbstractItemModel* source = model();
    const bool horizontal = orientation() == Qt::Horizontal;
    const QRect exposed = event->rect();
    for (int i = 0; i < count(); ++i) {
        const int position = sectionViewportPosition(i);
        const int size = sectionSize(i);
        const QRect section = horizontal ? QRect(position, 0, size, height()) : QRect(0, position, width(), size);
        // Sections outside the repainted area would only be clipped away.
        if (!section.intersects(exposed))
            continue;
        VYRQWidgetBaseImpl::drawFillStyle(&painter, fill, section);
        const QRect inner = VYRQTableViewImpl::innerRect(section);
        const QString text = source ? source->headerData(i, orientation(), Qt::DisplayRole).toString() : QString();
        if (!horizontal) {
            VYRQWidgetBaseImpl::drawText(&painter, text, impl->headerTextStyles.get(Normal), inner);
            continue;
        }
        const bool checkSection = i == 0 && impl->checkStyle;
        TextStyleDesc style = impl->headerTextStyles.get(Normal);
        if (source)
            VYRQTableViewImpl::applyAlignment(style, source->headerData(i, orientation(), Qt::TextAlignmentRole));
        VYRQWidgetBaseImpl::drawText(&painter, text, style, checkSection ? impl->textRightOfCheck(inner) : inner);
        if (checkSection)
            impl->drawCheck(&painter, impl->checkRect(section), impl->headerAllChecked);
    }
}

void VYRQTableHeader::mousePressEvent(QMouseEvent* event)
{
    VYRQTableViewImpl* impl = m_impl.data();
    if (impl && impl->checkStyle && orientation() == Qt::Horizontal && count() > 0) {
        const QRect section(sectionViewportPosition(0), 0, sectionSize(0), height());
        const QRect check = impl->checkRect(section);
        if (check.contains(event->pos())) {
            impl->headerAllChecked = !impl->headerAllChecked;
            viewport()->update(check);
            const QPointer<VYRQTableHeader> alive(this);
            impl->view()->headerChecked(impl->headerAllChecked);
            if (!alive)
                return;
        }
    }
    QHeaderView::mousePressEvent(event);
}

#include "moc_VYRQTableHeader.cpp"
