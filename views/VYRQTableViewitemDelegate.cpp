#include "VYRQTableViewitemDelegate.h"

#include "VYRQContainer.h"
#include "VYRQHostedControls.h"
#include "VYRQTableView.h"
#include "VYRQTableViewImpl.h"

#include <QAbstractItemModel>
#include <QCursor>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

// Width from `left` to the right edge `right` inclusive, never negative.
int widthTo(int left, int right)
{
    return std::max(right + 1 - left, 0);
}

// The text's advance rounded up: the text painter elides at the width less 2, so a
// width rounded to the nearest pixel would elide a text that fits.
int naturalWidth(const TextStyleDesc& style, const QString& text)
{
    return int(std::ceil(QFontMetricsF(VYRQWidgetBaseImpl::fontOf(style)).horizontalAdvance(text)));
}

CtrlState cellState(const QStyleOptionViewItem& option, int row, int hoverRow)
{
    // A selected row keeps its selected look under the mouse.
    if (option.state & QStyle::State_Selected)
        return Pressed;
    if ((option.state & QStyle::State_MouseOver) || row == hoverRow)
        return Hot;
    return Normal;
}

} // namespace

VYRQTableViewitemDelegate::VYRQTableViewitemDelegate(VYRQTableViewImpl* impl)
    : m_impl(impl)
{
}

VYRQTableViewitemDelegate::~VYRQTableViewitemDelegate() = default;

void VYRQTableViewitemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                      const QModelIndex& index) const
{
    VYRQTableViewImpl* impl = m_impl.data();
    if (!painter || !impl || !index.isValid())
        return;
    painter->save();

    const QRect cell = option.rect;
    const QString text = index.data(Qt::DisplayRole).toString();
    const QRect inner = VYRQTableViewImpl::innerRect(cell);
    const bool checkCell = index.column() == 0 && impl->checkStyle;
    QRect textRect = checkCell ? impl->textRightOfCheck(inner) : inner;

    const QString image = index.data(VYRQTableViewImpl::imageRole).toString();
    const QSize imageSize = image.isEmpty() ? QSize() : VYRQWidgetBaseImpl::getImageSize(image, false);

    const CtrlState state = cellState(option, index.row(), impl->hoverRow);
    VYRQWidgetBaseImpl::drawFillStyle(painter, impl->itemBackgrounds.get(state), cell);
    TextStyleDesc style = impl->itemTextStyles.get(state);
    VYRQTableViewImpl::applyAlignment(style, index.data(Qt::TextAlignmentRole));

    QRect imageRect;
    if (imageSize.isValid()) {
        const int w = imageSize.width();
        if (style.hor != 1) {
            imageRect = QRect(textRect.x(), textRect.y(), w + 10, textRect.height());
            const int left = textRect.left() + w + 10;
            textRect = QRect(left, textRect.y(), widthTo(left, inner.right()), textRect.height());
        } else {
            // Image and text centred together, 6 pixels apart.
            const int spacing = text.isEmpty() ? 0 : 6;
            const int available = std::max(inner.width() - spacing - w, 0);
            const int t = std::min(available, naturalWidth(style, text) + 2);
            const int x0 = inner.left() + std::max((inner.width() - (t + w + spacing)) / 2, 0);
            imageRect = QRect(x0, inner.top(), w, inner.height());
            textRect = QRect(x0 + w + spacing, inner.top(), t, inner.height());
        }
    }
    VYRQWidgetBaseImpl::drawText(painter, text, style, textRect);

    if (VYRQContainer* hosted = impl->columnWidget(index.column())) {
        paintHosted(painter, cell, hosted);
    } else {
        if (imageSize.isValid()) {
            painter->save();
            painter->setClipRect(cell, Qt::IntersectClip);
            IconStyleDesc centred;
            centred.hor = 1;
            centred.ver = 1;
            VYRQWidgetBaseImpl::drawImage(painter, image, centred, imageRect, false);
            painter->restore();
        }
        if (checkCell)
            impl->drawCheck(painter, impl->checkRect(cell), VYRQTableViewImpl::isChecked(index));
    }
    painter->restore();
}

void VYRQTableViewitemDelegate::paintHosted(QPainter* painter, const QRect& cell, VYRQContainer* container) const
{
    const QVector<VYRQHostedControls::Control> controls = VYRQHostedControls::collect(container);
    if (controls.isEmpty())
        return;
    painter->save();
    painter->setClipRect(cell);
    container->resize(cell.size());
    container->forceResize();
    controls.first().impl->drawControl(painter, cell);

    const QPoint cursor = m_impl->view()->viewport()->mapFromGlobal(QCursor::pos());
    for (int i = 1; i < controls.size(); ++i) {
        VYRQWidgetBaseImpl* control = controls[i].impl;
        const QRect rect = VYRQHostedControls::rectIn(controls[i].widget, container).translated(cell.topLeft());
        if (rect.contains(cursor)) {
            control->setCtrlState(Hot);
            control->drawControl(painter, rect);
            control->setCtrlState(Normal);
        } else {
            control->drawControl(painter, rect);
        }
    }
    painter->restore();
}

QWidget* VYRQTableViewitemDelegate::hostedControlAt(const QRect& cell, VYRQContainer* container,
                                                    const QPoint& globalPos) const
{
    const QVector<VYRQHostedControls::Control> controls = VYRQHostedControls::collect(container);
    if (controls.size() < 2)
        return nullptr;
    container->resize(cell.size());
    container->forceResize();
    const QPoint point = m_impl->view()->viewport()->mapFromGlobal(globalPos);
    // The container itself is never reported.
    for (int i = 1; i < controls.size(); ++i) {
        if (VYRQHostedControls::rectIn(controls[i].widget, container).translated(cell.topLeft()).contains(point))
            return controls[i].widget;
    }
    return nullptr;
}

bool VYRQTableViewitemDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                            const QStyleOptionViewItem& option, const QModelIndex& index)
{
    VYRQTableViewImpl* impl = m_impl.data();
    if (!impl || !event)
        return QItemDelegate::editorEvent(event, model, option, index);

    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (index.isValid() && index.row() != impl->hoverRow)
            impl->setHoverRow(index.row());
        if (impl->columnWidget(index.column())) {
            // Hosted controls show their hover look at once.
            QWidget* port = impl->view()->viewport();
            if (option.rect.contains(port->mapFromGlobal(mouse->globalPos())))
                port->repaint(option.rect);
        }
        return QItemDelegate::editorEvent(event, model, option, index);
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease
        && type != QEvent::MouseButtonDblClick)
        return QItemDelegate::editorEvent(event, model, option, index);

    auto* mouse = static_cast<QMouseEvent*>(event);
    // The check column handles the whole click itself: passing the release on as
    // well would let the base toggle a checkable item a second time.
    const bool onCheck = index.column() == 0 && impl->checkStyle && impl->checkRect(option.rect).contains(mouse->pos());
    if (onCheck && type == QEvent::MouseButtonPress && model) {
        const bool checked = VYRQTableViewImpl::isChecked(index);
        model->setData(index, int(checked ? Qt::Unchecked : Qt::Checked), Qt::CheckStateRole);
    }

    if (type == QEvent::MouseButtonPress) {
        if (VYRQContainer* hosted = impl->columnWidget(index.column())) {
            if (QWidget* hit = hostedControlAt(option.rect, hosted, mouse->globalPos())) {
                // The receiver may reset or replace the model: the base handling
                // below must not run on a stale model or index.
                const QPointer<QAbstractItemModel> guard(model);
                const QPersistentModelIndex kept(index);
                emit impl->view()->customControlClicked(index.row(), hit->objectName());
                if (!guard || !kept.isValid() || kept != index)
                    return true;
            }
        }
    }
    if (onCheck)
        return true;
    return QItemDelegate::editorEvent(event, model, option, index);
}

#include "moc_VYRQTableViewitemDelegate.cpp"
