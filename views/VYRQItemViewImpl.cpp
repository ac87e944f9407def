#include "VYRQItemViewImpl.h"

#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQScrollBar.h"

#include <QEvent>
#include <QIcon>
#include <QPainter>
#include <QStringList>
#include <QVariant>

#include <json/value.h>

VYRQItemViewImpl::VYRQItemViewImpl(QWidget* owner, const QString& typeKey)
    : VYRQWidgetBaseImpl(owner, typeKey)
{
    // The page loader builds no control for the scroll-bar elements: they style the
    // view's own bars.
    if (owner)
        owner->setProperty(vyr::ownChildTypesProperty, QStringList(QStringLiteral("scrollbar")));
}

VYRQItemViewImpl::~VYRQItemViewImpl() = default;

void VYRQItemViewImpl::mousePressEvent(QMouseEvent*)
{
}

void VYRQItemViewImpl::mouseReleaseEvent(QMouseEvent*)
{
}

void VYRQItemViewImpl::enterEvent(QEvent*)
{
}

void VYRQItemViewImpl::leaveEvent(QEvent*)
{
}

void VYRQItemViewImpl::createScrollBars(QWidget* view)
{
    m_horizontal = new VYRQScrollBar(Qt::Horizontal, view);
    m_vertical = new VYRQScrollBar(Qt::Vertical, view);
}

VYRQScrollBar* VYRQItemViewImpl::scrollBar(bool horizontal) const
{
    return horizontal ? m_horizontal.data() : m_vertical.data();
}

void VYRQItemViewImpl::setScrollbarBackgroundStyle(bool horizontal, const FillStyle& style)
{
    if (VYRQScrollBar* bar = scrollBar(horizontal))
        bar->setScrollbarBackground(CommonNormal, style);
}

void VYRQItemViewImpl::setScrollbarButtonIcon(bool horizontal, bool up, const QString& icon)
{
    if (VYRQScrollBar* bar = scrollBar(horizontal))
        bar->setScrollbarBtnIcon(up, icon);
}

void VYRQItemViewImpl::setScrollbarButtonIconStyle(bool horizontal, bool up, const IconStyleDesc& style)
{
    if (VYRQScrollBar* bar = scrollBar(horizontal))
        bar->setScrollbarIconStyle(up, style);
}

void VYRQItemViewImpl::setScrollbarButtonStyle(bool horizontal, bool up, CtrlState state, const FillStyle& style)
{
    VYRQScrollBar* bar = scrollBar(horizontal);
    if (!bar)
        return;
    if (up)
        bar->setScrollbarUpButton(state, style);
    else
        bar->setScrollbarDownButton(state, style);
}

void VYRQItemViewImpl::setScrollbarThumb(bool horizontal, const QString& icon)
{
    if (VYRQScrollBar* bar = scrollBar(horizontal))
        bar->setScrollbarThumbIcon(icon);
}

void VYRQItemViewImpl::setScrollbarThumbStyle(bool horizontal, CtrlState state, const FillStyle& style)
{
    if (VYRQScrollBar* bar = scrollBar(horizontal))
        bar->setScrollbarThumb(state, style);
}

void VYRQItemViewImpl::setBarSheet(bool horizontal, const QString& sheet)
{
    if (VYRQScrollBar* bar = scrollBar(horizontal))
        bar->setStyleSheet(sheet);
}

void VYRQItemViewImpl::setBarSheets(const QString& sheet)
{
    setBarSheet(false, sheet);
    setBarSheet(true, sheet);
}

void VYRQItemViewImpl::readScrollBarChildren(const Json::Value& element)
{
    const Json::Value* children = vyr::json::array(element, "child");
    if (!children)
        return;
    for (Json::ArrayIndex i = 0; i < children->size(); ++i) {
        const Json::Value& child = (*children)[i];
        QString type;
        if (vyr::json::read(child, "type", type) && type.contains(QLatin1String("scrollbar")))
            readScrollBarChild(child);
    }
}

void VYRQItemViewImpl::readScrollBarChild(const Json::Value& child)
{
    bool horizontal = false;
    const Json::Value* attr = vyr::json::object(child, "attr");
    if (attr) {
        vyr::json::read(*attr, "hor", horizontal);
        QString icon;
        if (vyr::json::read(*attr, "upicon", icon))
            setScrollbarButtonIcon(horizontal, true, icon);
        if (vyr::json::read(*attr, "downicon", icon))
            setScrollbarButtonIcon(horizontal, false, icon);
        if (vyr::json::read(*attr, "thumbicon", icon))
            setScrollbarThumb(horizontal, icon);
        int size = 0;
        if (vyr::json::read(*attr, "size", size))
            setScrollbarBtnSize(horizontal, size);
    }
    setScrollbarSize(horizontal, vyr::json::intOr(child, horizontal ? "h" : "w", 0));

    forEachStyleEntry(child, [this, horizontal](const QString& name, int, int slot) {
        if (slot < 0 || slot == 1 || slot > 13)
            return;
        FillStyle style;
        if (!lookupFill(name, style))
            return;
        if (slot == 0) {
            setScrollbarBackgroundStyle(horizontal, style);
            return;
        }
        // The Normal entry of a part stands for all its states.
        const int base = slot <= 5 ? 2 : slot <= 9 ? 6 : 10;
        const CtrlState state = slot == base ? AllStates : CtrlState(slot - base);
        if (base == 10)
            setScrollbarThumbStyle(horizontal, state, style);
        else
            setScrollbarButtonStyle(horizontal, base == 2, state, style);
    });
}

int VYRQItemViewImpl::rowRoom(qint64 rows)
{
    // The row before the first stands for the spacing a list view puts ahead of it.
    qint64 capacity = 1;
    while (capacity < rows + 1 && capacity <= rowSpan)
        capacity *= 2;
    return int(qMax<qint64>(rowSpan / capacity, 1));
}

int VYRQItemViewImpl::rowSize(int stored, qint64 rows, int spacing)
{
    const int wanted = stored > 0 ? qMin(stored, 65535) : 20;
    return int(qBound<qint64>(1, qint64(rowRoom(rows)) - 2 * qAbs(qint64(spacing)), wanted));
}

QSize VYRQItemViewImpl::rowSize(const QSize& given, qint64 rows, int spacing)
{
    const int room = int(qMax<qint64>(qint64(rowRoom(rows)) - 2 * qAbs(qint64(spacing)), 0));
    return QSize(qBound(0, given.width(), room), qBound(0, given.height(), room));
}

int VYRQItemViewImpl::rowSpacing(int spacing, qint64 rows, int storedSize)
{
    const int wanted = storedSize > 0 ? qMin(storedSize, 65535) : 20;
    const int most = int(qBound<qint64>(0, (qint64(rowRoom(rows)) - wanted) / 2, QWIDGETSIZE_MAX));
    return qBound(-most, spacing, most);
}

int VYRQItemViewImpl::decorationSide(int rowHeight)
{
    return rowHeight <= 24 ? 16 : rowHeight <= 32 ? 24 : 32;
}

void VYRQItemViewImpl::drawDecoration(QPainter* painter, const QVariant& decoration, const QRect& rect, int side,
                                      bool convertible)
{
    IconStyleDesc centred;
    centred.hor = 1;
    centred.ver = 1;
    if (decoration.userType() == QMetaType::QString) {
        drawImage(painter, decoration.toString(), centred, rect, false);
        return;
    }
    const bool icon = decoration.userType() == qMetaTypeId<QIcon>();
    if (icon || (convertible && decoration.canConvert<QIcon>()))
        drawIcon(painter, decoration.value<QIcon>(), QSize(side, side), centred, rect);
}

QRect VYRQItemViewImpl::drawLeadingDecoration(QPainter* painter, const QVariant& decoration, const QRect& cell,
                                              bool convertible)
{
    if (!decoration.isValid())
        return cell;
    const int side = decorationSide(cell.height());
    drawDecoration(painter, decoration, QRect(cell.x(), cell.y(), side + 4, cell.height()), side, convertible);
    QRect textRect = cell;
    textRect.setLeft(cell.left() + side + 4);
    return textRect;
}

bool VYRQItemViewImpl::paintViewportBackground(QWidget* viewport, QObject* watched, QEvent* event,
                                               const FillStyle& background)
{
    if (event->type() != QEvent::Paint || watched != viewport)
        return false;
    QPainter painter(viewport);
    drawFillStyle(&painter, background, QRect(0, 0, viewport->width(), viewport->height()));
    return true;
}

#include "moc_VYRQItemViewImpl.cpp"
