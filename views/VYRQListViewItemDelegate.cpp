#include "VYRQListViewItemDelegate.h"

#include "VYRQContainer.h"
#include "VYRQHostedControls.h"
#include "VYRQImplAccess_p.h"
#include "VYRQLabelEx.h"
#include "VYRQListView.h"
#include "VYRQListViewImpl.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QStyle>
#include <QTextDocument>

#include <utility>

namespace {

bool selectableByMouse(const VYRQLabelEx* label)
{
    return label->textInteractionFlags() == Qt::TextSelectableByMouse;
}

bool complete(const TextPosition& p)
{
    return p.block != -1 && p.line != -1 && p.cursor != -1;
}

} // namespace

VYRQListViewItemDelegate::VYRQListViewItemDelegate(VYRQListViewImpl* impl)
    : m_impl(impl)
{
}

VYRQListViewItemDelegate::~VYRQListViewItemDelegate() = default;

void VYRQListViewItemDelegate::collectTemplateControls(QWidget* itemTemplate)
{
    m_controls.clear();
    m_hovered = nullptr;
    m_loaded = LoadedText();
    for (const VYRQHostedControls::Control& c : VYRQHostedControls::collect(itemTemplate)) {
        m_controls.append({c.widget, c.impl});
        // The display callback, or anyone, may give the label other text.
        if (auto* label = dynamic_cast<VYRQLabelEx*>(c.widget))
            connect(VYRQImplAccess::of(label)->document(), &QTextDocument::contentsChanged, this,
                    &VYRQListViewItemDelegate::forgetLoadedText, Qt::UniqueConnection);
    }
}

void VYRQListViewItemDelegate::forgetLoadedText()
{
    m_loaded = LoadedText();
}

void VYRQListViewItemDelegate::clearHighLight()
{
    m_start = Anchor();
    m_end = Anchor();
}

bool VYRQListViewItemDelegate::selectInRow(VYRQLabelExImpl* label, int row) const
{
    if (m_start.row == -1 || m_end.row == -1)
        return false;
    Anchor first = m_start;
    Anchor last = m_end;
    if (first.row > last.row)
        std::swap(first, last);
    if (row < first.row || row > last.row)
        return false;
    if (first.row != last.row) {
        if (row == first.row)
            label->setSelection(first.position, label->endPosition());
        else if (row == last.row)
            label->setSelection(label->startPosition(), last.position);
        else
            label->setSelection(label->startPosition(), label->endPosition());
        return true;
    }
    if (!complete(first.position) || !complete(last.position))
        return false;
    label->setSelection(first.position, last.position);
    return true;
}

void VYRQListViewItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    VYRQListViewImpl* impl = m_impl.data();
    QWidget* itemTemplate = impl ? impl->itemTemplate.data() : nullptr;
    if (!painter || !itemTemplate || !index.isValid() || m_controls.isEmpty() || !m_controls.first().widget)
        return;
    VYRQListView* view = impl->view();
    const QRect row = option.rect;
    auto* container = qobject_cast<VYRQContainer*>(itemTemplate);

    CtrlState state = Normal;
    if (option.state & QStyle::State_Selected)
        state = Pressed;
    else if (option.state & QStyle::State_MouseOver)
        state = Hot;
    if (container)
        container->setBackground(impl->itemBackgrounds.get(state));
    const QPoint mouse = view->viewport()->mapFromGlobal(QCursor::pos());

    painter->save();
    painter->setClipRect(row);
    m_controls.first().impl->drawControl(painter, row);
    if (impl->itemDisplayCallBack)
        impl->itemDisplayCallBack(view, itemTemplate, index);
    itemTemplate->resize(row.size());
    if (auto* control = dynamic_cast<IVYRQWidgetBase*>(itemTemplate))
        control->setGeometry(0, 0, row.width(), row.height());
    if (container)
        container->forceResize();

    QHash<const VYRQWidgetBaseImpl*, QRect> rects;
    for (int i = 1; i < m_controls.size(); ++i) {
        QWidget* widget = m_controls[i].widget;
        VYRQWidgetBaseImpl* control = m_controls[i].impl;
        if (!widget || !control->getDelegateItemVisible())
            continue;
        const QRect rect = VYRQHostedControls::rectIn(widget, itemTemplate).translated(row.topLeft());
        rects.insert(control, rect);

        VYRQLabelExImpl* selected = nullptr;
        auto* label = impl->enableSelection ? dynamic_cast<VYRQLabelEx*>(widget) : nullptr;
        if (label) {
            if (!impl->rowRichText.contains(index.row()))
                impl->rowRichText.insert(index.row(), label->getHtmlContent());
            if (selectableByMouse(label) && selectInRow(VYRQImplAccess::of(label), index.row()))
                selected = VYRQImplAccess::of(label);
        }
        if (rect.contains(mouse)) {
            control->setCtrlState(Hot);
            control->drawControl(painter, rect);
            control->setCtrlState(Normal);
        } else {
            control->drawControl(painter, rect);
        }
        if (selected)
            selected->clearSelection();
    }
    impl->rowRects.insert(index.row(), rects);
    painter->restore();
}

QSize VYRQListViewItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    VYRQListViewImpl* impl = m_impl.data();
    if (!impl)
        return QItemDelegate::sizeHint(option, index);
    const int rows = impl->rows();
    const int spacing = impl->view()->spacing();
    if (impl->itemSizeCallBack && !m_controls.isEmpty())
        return VYRQItemViewImpl::rowSize(impl->itemSizeCallBack(impl->view(), option, index), rows, spacing);
    // Sizes of 0 or less would give rows that cannot be seen or hit.
    const int height = VYRQItemViewImpl::rowSize(impl->itemHeight, rows, spacing);
    if (impl->view()->viewMode() == QListView::IconMode)
        return QSize(VYRQItemViewImpl::rowSize(impl->itemWidth, rows, spacing), height);
    return QSize(option.rect.width(), height);
}

int VYRQListViewItemDelegate::controlAt(int row, const QPoint& point, QRect* rect) const
{
    VYRQListViewImpl* impl = m_impl.data();
    const auto found = impl->rowRects.constFind(row);
    if (found == impl->rowRects.constEnd())
        return -1;
    for (int i = m_controls.size() - 1; i >= 1; --i) {
        if (!m_controls[i].widget)
            continue;
        const auto at = found->constFind(m_controls[i].impl);
        if (at != found->constEnd() && at->contains(point)) {
            *rect = *at;
            return i;
        }
    }
    return -1;
}

void VYRQListViewItemDelegate::loadRowText(VYRQLabelEx* label, int row, const QRect& rect) const
{
    VYRQTextDocument* document = VYRQImplAccess::of(label)->document();
    const auto cached = m_impl->rowRichText.constFind(row);
    // Read again, a drag would read the text (and decode its images) at every move.
    if (cached != m_impl->rowRichText.constEnd()
        && (m_loaded.label != label || m_loaded.row != row || m_loaded.text != *cached)) {
        document->setContent(*cached, Qt::RichText);
        m_loaded = {label, row, *cached};
    }
    // Set again, the page would be laid out again for every row painted.
    const QSizeF page(rect.width() + 20, rect.height() + 10);
    if (document->pageSize() != page)
        document->setPageSize(page);
}

bool VYRQListViewItemDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                           const QStyleOptionViewItem& option, const QModelIndex& index)
{
    VYRQListViewImpl* impl = m_impl.data();
    const QEvent::Type type = event ? event->type() : QEvent::None;
    if (!impl || (type != QEvent::MouseButtonPress && type != QEvent::MouseMove))
        return QItemDelegate::editorEvent(event, model, option, index);

    VYRQListView* view = impl->view();
    QWidget* port = view->viewport();
    const QPoint point = static_cast<QMouseEvent*>(event)->pos();
    const QRect row = option.rect;

    if (type == QEvent::MouseButtonPress) {
        clearHighLight();
        port->repaint();
        QRect rect;
        const int hit = row.contains(point) ? controlAt(index.row(), point, &rect) : -1;
        if (hit < 0)
            return QItemDelegate::editorEvent(event, model, option, index);
        QWidget* widget = m_controls[hit].widget;
        auto* label = impl->enableSelection ? dynamic_cast<VYRQLabelEx*>(widget) : nullptr;
        if (label) {
            loadRowText(label, index.row(), rect);
            if (selectableByMouse(label)) {
                m_start = {index.row(), VYRQImplAccess::of(label)->positionAt(point - rect.topLeft())};
                m_pressed = true;
            }
        }
        // The receiver may change or replace the model: the base handling must not
        // then run on a stale model or index.
        const QPointer<QAbstractItemModel> guard(model);
        const QPersistentModelIndex kept(index);
        emit view->pressCtrl(widget, index);
        if (!guard || !kept.isValid() || kept != index)
            return true;
        return QItemDelegate::editorEvent(event, model, option, index);
    }

    if (!row.contains(point))
        return QItemDelegate::editorEvent(event, model, option, index);
    QRect rect;
    const int hit = controlAt(index.row(), point, &rect);
    QWidget* widget = hit > 0 ? m_controls[hit].widget.data() : nullptr;
    bool overSelectable = false;
    if (widget) {
        if (auto* label = dynamic_cast<VYRQLabelEx*>(widget)) {
            overSelectable = selectableByMouse(label);
            if (overSelectable) {
                view->setCursor(Qt::IBeamCursor);
                m_cursorChanged = true;
            }
            if (m_pressed) {
                loadRowText(label, index.row(), rect);
                if (overSelectable) {
                    const TextPosition position = VYRQImplAccess::of(label)->positionAt(point - rect.topLeft());
                    if (complete(position)) {
                        m_end = {index.row(), position};
                        port->repaint(row);
                    }
                }
                port->update();
            }
        }
        if (widget != m_hovered) {
            m_hovered = widget;
            port->repaint(row);
        }
    }
    if (m_cursorChanged && !overSelectable) {
        view->setCursor(Qt::ArrowCursor);
        m_cursorChanged = false;
    }
    if (!widget && m_hovered) {
        m_hovered = nullptr;
        port->update();
    }
    return QItemDelegate::editorEvent(event, model, option, index);
}

#include "moc_VYRQListViewItemDelegate.cpp"
