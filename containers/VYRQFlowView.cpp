#include "VYRQFlowView.h"

#include "VYRQResourceManager.h"
#include "VYRQSharedStyle.h"
#include "VYRQWidgetBaseImpl.h"

#include <QFontMetrics>
#include <QImage>
#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

constexpr double minNodeWidth = 86.0;
constexpr double minNodeHeight = 66.0;
// Node sizes come from the owner's records: past this many pixels a node would only
// stretch out of every view, and its coordinates out of what painters and ints hold.
constexpr double maxNodeExtent = 16777215.0;
constexpr double maxConnectionWidth = 1000.0;
constexpr double portRadius = 12.0;
constexpr int gridStep = 28;
// Larger views draw their background and grid at each repaint rather than keep a
// picture of this many pixels or more (64 MiB).
constexpr qint64 maxBackdropPixels = qint64(4096) * 4096;

const QColor gridColor(39, 43, 49, 255);
const QColor newConnectionColor(74, 122, 128, 255);
const QColor rubberBandColor(146, 134, 255, 255);
const QColor titleColor(242, 244, 247, 255);
const QColor subtitleColor(167, 176, 184, 255);

// Keeps a centre coordinate so that an extent of `half` on each side stays within
// [0, length] when it fits; a node larger than the view sticks to the near edge.
double clampCentre(double centre, double half, double length)
{
    return std::min(std::max(centre, half), std::max(length - half, half));
}

// A node's extent for a fraction of the view's `length`: at least `least`, NaN taken
// as nothing, infinities and huge fractions held to maxNodeExtent.
double nodeExtent(double fraction, double length, double least)
{
    const double pixels = length * fraction;
    return std::isnan(pixels) ? least : std::clamp(pixels, least, maxNodeExtent);
}

// A centre fraction; infinities are clamped with the centre, NaN is taken as 0.
double centreFraction(double fraction)
{
    return std::isnan(fraction) ? 0.0 : fraction;
}

// The part of a text that `pixels` can show. A glyph that shows is wider than half a
// pixel, so a text far longer than that is cut before it is laid out or elided, and a
// node's title of a million characters costs what a short one does.
QString cutToWidth(const QString& text, int pixels)
{
    const int most = 2 * std::max(pixels, 0) + 64;
    if (text.size() <= most)
        return text;
    return text.left(text.at(most - 1).isHighSurrogate() ? most - 1 : most);
}

} // namespace

VYRQFlowView::VYRQFlowView(QWidget* parent)
    : VYRQContainer(parent)
{
    setObjectName(QStringLiteral("flowView"));
    setChildLayout(NoUse);
    setMouseTracking(true);
}

VYRQFlowView::~VYRQFlowView() = default;

// --- records --------------------------------------------------------------------------

void VYRQFlowView::setNodes(const QVector<VYRQFlowNode>& nodes)
{
    const QVector<VYRQFlowNode> before = m_nodes;
    m_nodes = nodes;
    constexpr int most = VYRQWidgetBaseImpl::maxTextLength;
    for (VYRQFlowNode& n : m_nodes) {
        if (n.title.size() > most || n.subtitle.size() > most || n.value.size() > most) {
            n.title = VYRQWidgetBaseImpl::boundedText(n.title, "node title");
            n.subtitle = VYRQWidgetBaseImpl::boundedText(n.subtitle, "node subtitle");
            n.value = VYRQWidgetBaseImpl::boundedText(n.value, "node value");
        }
    }
    indexNodes();
    m_shownTexts.resize(m_nodes.size());
    applySelection();
    // Live values change a few node texts at a time: when no node moved, resized or
    // was replaced, the connections stay and only the changed nodes are repainted.
    bool samePlaces = before.size() == m_nodes.size();
    for (int i = 0; samePlaces && i < m_nodes.size(); ++i) {
        const VYRQFlowNode& a = before.at(i);
        const VYRQFlowNode& b = m_nodes.at(i);
        samePlaces = a.id == b.id && a.x == b.x && a.y == b.y && a.size == b.size;
    }
    if (!samePlaces) {
        update();
        return;
    }
    QRegion dirty;
    for (int i = 0; i < m_nodes.size(); ++i) {
        const VYRQFlowNode& a = before.at(i);
        const VYRQFlowNode& b = m_nodes.at(i);
        if (a.title != b.title || a.subtitle != b.subtitle || a.value != b.value || a.accent != b.accent
            || a.fill != b.fill || a.border != b.border || a.selectedBorder != b.selectedBorder
            || a.selected != b.selected)
            // The border pen straddles the rectangle's edge.
            dirty += nodeRect(b).toAlignedRect().adjusted(-3, -3, 3, 3);
    }
    if (!dirty.isEmpty())
        update(dirty);
}

QVector<VYRQFlowNode> VYRQFlowView::nodes() const
{
    return m_nodes;
}

void VYRQFlowView::setConnections(const QVector<VYRQFlowConnection>& connections)
{
    m_connections = connections;
    update();
}

QVector<VYRQFlowConnection> VYRQFlowView::connections() const
{
    return m_connections;
}

bool VYRQFlowView::addConnection(const QString& from, const QString& to)
{
    if (from.isEmpty() || to.isEmpty() || from == to || !node(from) || !node(to) || hasConnection(from, to))
        return false;
    VYRQFlowConnection connection;
    connection.from = from;
    connection.to = to;
    connection.color = newConnectionColor;
    connection.arrow = false;
    m_connections.append(connection);
    update();
    emit connectionCreated(from, to);
    return true;
}

bool VYRQFlowView::removeConnection(const QString& from, const QString& to)
{
    for (int i = 0; i < m_connections.size(); ++i) {
        if (m_connections.at(i).from == from && m_connections.at(i).to == to) {
            m_connections.remove(i);
            update();
            return true;
        }
    }
    return false;
}

void VYRQFlowView::setSelectedNodeId(const QString& id)
{
    m_selectedId = id;
    applySelection();
    update();
}

QString VYRQFlowView::selectedNodeId() const
{
    return m_selectedId;
}

void VYRQFlowView::setReadOnly(bool on)
{
    m_readOnly = on;
    m_dragNodeId.clear();
    m_draggingNode = false;
    m_connectFromId.clear();
    m_connecting = false;
    update();
}

bool VYRQFlowView::isReadOnly() const
{
    return m_readOnly;
}

void VYRQFlowView::setGridVisible(bool on)
{
    if (m_gridVisible == on)
        return;
    m_gridVisible = on;
    update();
}

bool VYRQFlowView::isGridVisible() const
{
    return m_gridVisible;
}

void VYRQFlowView::setConnectionWidth(double width)
{
    width = std::isnan(width) ? 1.0 : std::clamp(width, 1.0, maxConnectionWidth);
    if (m_connectionWidth == width)
        return;
    m_connectionWidth = width;
    update();
}

double VYRQFlowView::connectionWidth() const
{
    return m_connectionWidth;
}

void VYRQFlowView::applySelection()
{
    for (VYRQFlowNode& n : m_nodes)
        n.selected = n.id == m_selectedId;
}

void VYRQFlowView::indexNodes()
{
    m_nodeIndex.clear();
    m_nodeIndex.reserve(m_nodes.size());
    // Backwards, so that the first of equal ids is the one kept.
    for (int i = m_nodes.size() - 1; i >= 0; --i)
        m_nodeIndex.insert(m_nodes.at(i).id, i);
}

const VYRQFlowNode* VYRQFlowView::node(const QString& id) const
{
    const auto found = m_nodeIndex.constFind(id);
    return found == m_nodeIndex.constEnd() ? nullptr : &m_nodes.at(*found);
}

VYRQFlowNode* VYRQFlowView::node(const QString& id)
{
    const auto found = m_nodeIndex.constFind(id);
    return found == m_nodeIndex.constEnd() ? nullptr : &m_nodes[*found];
}

bool VYRQFlowView::hasConnection(const QString& from, const QString& to) const
{
    return std::any_of(m_connections.cbegin(), m_connections.cend(),
                       [&](const VYRQFlowConnection& c) { return c.from == from && c.to == to; });
}

// --- geometry ---------------------------------------------------------------------------

QRectF VYRQFlowView::nodeRect(const VYRQFlowNode& n) const
{
    const double W = width();
    const double H = height();
    const double w = nodeExtent(n.size.width(), W, minNodeWidth);
    const double h = nodeExtent(n.size.height(), H, minNodeHeight);
    const double cx = clampCentre(std::max(W, 1.0) * centreFraction(n.x), w / 2, W);
    const double cy = clampCentre(std::max(H, 1.0) * centreFraction(n.y), h / 2, H);
    return QRectF(cx - w / 2, cy - h / 2, w, h);
}

QPointF VYRQFlowView::normalizedPosition(const QPointF& point, const QSizeF& size) const
{
    const double W = width();
    const double H = height();
    const double w = nodeExtent(size.width(), W, minNodeWidth);
    const double h = nodeExtent(size.height(), H, minNodeHeight);
    return QPointF(clampCentre(point.x(), w / 2, W) / std::max(W, 1.0),
                   clampCentre(point.y(), h / 2, H) / std::max(H, 1.0));
}

QString VYRQFlowView::nodeAt(const QPointF& point) const
{
    for (int i = m_nodes.size() - 1; i >= 0; --i) {
        if (nodeRect(m_nodes.at(i)).contains(point))
            return m_nodes.at(i).id;
    }
    return QString();
}

VYRQFlowView::Port VYRQFlowView::portFor(const QRectF& rect, const QPointF& point)
{
    const double dx = point.x() - rect.center().x();
    const double dy = point.y() - rect.center().y();
    if (std::abs(dx) >= std::abs(dy))
        return dx >= 0 ? Right : Left;
    return dy >= 0 ? Bottom : Top;
}

QPointF VYRQFlowView::portPoint(const QRectF& rect, Port port)
{
    const QPointF c = rect.center();
    switch (port) {
    case Left:
        return QPointF(rect.left(), c.y());
    case Right:
        return QPointF(rect.right(), c.y());
    case Top:
        return QPointF(c.x(), rect.top());
    case Bottom:
        return QPointF(c.x(), rect.bottom());
    }
    return c;
}

QString VYRQFlowView::portNodeAt(const QPointF& point) const
{
    static const Port order[] = {Left, Right, Top, Bottom};
    for (int i = m_nodes.size() - 1; i >= 0; --i) {
        const QRectF r = nodeRect(m_nodes.at(i));
        for (Port port : order) {
            if (QLineF(portPoint(r, port), point).length() <= portRadius)
                return m_nodes.at(i).id;
        }
    }
    return QString();
}

// --- mouse ---------------------------------------------------------------------------

void VYRQFlowView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF pos = event->localPos();
    const QString id = nodeAt(pos);
    if (id.isEmpty()) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_selectedId = id;
    applySelection();
    update();
    emit nodeActivated(id);

    if (!m_readOnly) {
        // The port may belong to a neighbouring node lying within reach of the press.
        const QString portNode = portNodeAt(pos);
        if (!portNode.isEmpty()) {
            m_connectFromId = portNode;
            m_connectPoint = pos;
            m_connecting = true;
        } else {
            m_dragNodeId = id;
            m_draggingNode = true;
        }
    }
    event->accept();
}

void VYRQFlowView::mouseMoveEvent(QMouseEvent* event)
{
    if (m_draggingNode && !m_dragNodeId.isEmpty()) {
        // By id: the owner may replace the list while the drag runs.
        if (VYRQFlowNode* n = node(m_dragNodeId)) {
            const QPointF centre = normalizedPosition(event->localPos(), n->size);
            n->x = centre.x();
            n->y = centre.y();
            update();
            emit nodeMoved(m_dragNodeId, centre);
        }
        event->accept();
        return;
    }
    if (m_connecting) {
        m_connectPoint = event->localPos();
        update();
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void VYRQFlowView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        VYRQContainer::mouseReleaseEvent(event);
        return;
    }
    if (m_connecting) {
        const QString target = nodeAt(event->localPos());
        if (!target.isEmpty() && target != m_connectFromId)
            addConnection(m_connectFromId, target);
        m_connectFromId.clear();
        m_connecting = false;
        update();
    }
    m_dragNodeId.clear();
    m_draggingNode = false;
    event->accept();
}

// --- painting ---------------------------------------------------------------------------

void VYRQFlowView::paintEvent(QPaintEvent* event)
{
    const QPixmap& picture = backdrop();
    if (picture.isNull())
        VYRQContainer::paintEvent(event);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!picture.isNull())
        painter.drawPixmap(0, 0, picture);
    else if (m_gridVisible)
        drawGrid(&painter, event->rect());
    for (const VYRQFlowConnection& c : qAsConst(m_connections))
        drawConnection(&painter, c);
    if (m_connecting) {
        if (const VYRQFlowNode* from = node(m_connectFromId)) {
            const QRectF r = nodeRect(*from);
            painter.setPen(QPen(rubberBandColor, m_connectionWidth, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
            painter.setBrush(Qt::NoBrush);
            painter.drawLine(portPoint(r, portFor(r, m_connectPoint)), m_connectPoint);
        }
    }
    m_shownTexts.resize(m_nodes.size());
    for (int i = 0; i < m_nodes.size(); ++i) {
        m_drawingNode = i;
        drawNode(&painter, m_nodes.at(i));
    }
    m_drawingNode = -1;
}

const QPixmap& VYRQFlowView::backdrop()
{
    const bool background = getDrawBackground();
    const FillStyle& style = isEnabled() ? getBackground() : getDisableBackground();
    qint64 imageKey = 0;
    if (background && style.draw && !style.colorMode && !style.image.isEmpty()) {
        if (const QImage* image = VYRQResourceManager::getInstance()->getImage(style.image, false))
            imageKey = image->cacheKey();
    }
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if ((!background && !m_gridVisible) || pixels.isEmpty()
        || qint64(pixels.width()) * pixels.height() > maxBackdropPixels) {
        m_backdrop = QPixmap();
        return m_backdrop;
    }
    // A theme change or a setter gives the background a new look; compared by value,
    // since equal records may be shared and replaced at any time.
    if (!m_backdrop.isNull() && m_backdrop.size() == pixels && m_backdrop.devicePixelRatioF() == ratio
        && m_backdropBackground == background && m_backdropGrid == m_gridVisible
        && (!background || vyr::sameStyle(m_backdropStyle, style)) && m_backdropImageKey == imageKey)
        return m_backdrop;

    m_backdropBackground = background;
    m_backdropGrid = m_gridVisible;
    m_backdropStyle = style;
    m_backdropImageKey = imageKey;
    m_backdrop = QPixmap(pixels);
    m_backdrop.setDevicePixelRatio(ratio);
    m_backdrop.fill(Qt::transparent);
    QPainter painter(&m_backdrop);
    if (background)
        getControlImpl()->drawControl(&painter, rect());
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_gridVisible)
        drawGrid(&painter, rect());
    return m_backdrop;
}

void VYRQFlowView::drawGrid(QPainter* painter, const QRect& area) const
{
    painter->setPen(QPen(gridColor, 1.0));
    const int w = width();
    const int h = height();
    // An antialiased line of width 1 reaches half a pixel to either side.
    const QRect reach = area.adjusted(-1, -1, 1, 1);
    for (int x = gridStep; x < w; x += gridStep) {
        if (x >= reach.left() && x <= reach.right())
            painter->drawLine(QPointF(x, 0), QPointF(x, h));
    }
    for (int y = gridStep; y < h; y += gridStep) {
        if (y >= reach.top() && y <= reach.bottom())
            painter->drawLine(QPointF(0, y), QPointF(w, y));
    }
}

void VYRQFlowView::drawConnection(QPainter* painter, const VYRQFlowConnection& connection)
{
    const VYRQFlowNode* from = node(connection.from);
    const VYRQFlowNode* to = node(connection.to);
    if (!from || !to)
        return;
    const QRectF fromRect = nodeRect(*from);
    const QRectF toRect = nodeRect(*to);
    const Port startPort = portFor(fromRect, toRect.center());
    const Port endPort = portFor(toRect, fromRect.center());
    const QPointF start = portPoint(fromRect, startPort);
    const QPointF end = portPoint(toRect, endPort);

    const bool sideways = startPort == Left || startPort == Right;
    QPointF c1;
    QPointF c2;
    if (sideways) {
        double d = std::max(std::abs(end.x() - start.x()) * 0.45, 24.0);
        if (startPort == Left)
            d = -d;
        c1 = QPointF(start.x() + d, start.y());
        c2 = QPointF(end.x() - d, end.y());
    } else {
        double d = std::max(std::abs(end.y() - start.y()) * 0.45, 24.0);
        if (startPort == Top)
            d = -d;
        c1 = QPointF(start.x(), start.y() + d);
        c2 = QPointF(end.x(), end.y() - d);
    }
    QPainterPath path(start);
    path.cubicTo(c1, c2, end);
    painter->setPen(QPen(connection.color, m_connectionWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(path);

    if (!connection.arrow)
        return;
    QPointF dir = sideways ? QPointF(startPort == Right ? 8.0 : -8.0, 0.0)
                           : QPointF(0.0, startPort == Bottom ? 8.0 : -8.0);
    const double length = std::max(std::hypot(dir.x(), dir.y()), 1.0);
    const QPointF u = dir / length;
    const QPointF n(-u.y(), u.x());
    const QPolygonF head({end, end - 7.0 * u + 3.5 * n, end - 7.0 * u - 3.5 * n});
    painter->setPen(Qt::NoPen);
    painter->setBrush(connection.color);
    painter->drawPolygon(head);
}

void VYRQFlowView::drawNode(QPainter* painter, const VYRQFlowNode& n)
{
    const QRectF r = nodeRect(n);
    painter->save();

    painter->setPen(n.selected ? QPen(n.selectedBorder, 2.2) : QPen(n.border, 1.2));
    painter->setBrush(n.fill);
    painter->drawRoundedRect(r, 7.0, 7.0);

    painter->setPen(Qt::NoPen);
    painter->setBrush(n.accent);
    painter->drawEllipse(QRectF(r.left() + 9, r.top() + 9, 9, 9));

    const QFont base = painter->font();
    QFont font = base;
    ShownTexts spare;
    const bool listed = m_drawingNode >= 0 && m_drawingNode < m_nodes.size() && &m_nodes.at(m_drawingNode) == &n
        && m_drawingNode < m_shownTexts.size();
    ShownTexts& shown = listed ? m_shownTexts[m_drawingNode] : spare;
    font.setPixelSize(12);
    if (shown.width != r.width() || shown.font != base || shown.title != n.title
        || shown.subtitle != n.subtitle || shown.value != n.value) {
        shown.width = r.width();
        shown.font = base;
        shown.title = n.title;
        shown.subtitle = n.subtitle;
        shown.value = n.value;
        // The title is clipped at its rectangle, the other lines are elided.
        shown.shownTitle = cutToWidth(n.title, int(r.width() - 31));
        font.setWeight(50);
        const QFontMetrics metrics(font);
        const int textWidth = std::max(int(r.width() - 18), 20);
        shown.shownSubtitle = metrics.elidedText(cutToWidth(n.subtitle, textWidth), Qt::ElideRight, textWidth);
        shown.shownValue = metrics.elidedText(cutToWidth(n.value, textWidth), Qt::ElideRight, textWidth);
    }

    font.setWeight(75);
    painter->setFont(font);
    painter->setPen(titleColor);
    painter->drawText(QRectF(r.left() + 24, r.top() + 5, r.width() - 31, 23), Qt::AlignLeft | Qt::AlignVCenter,
                      shown.shownTitle);

    font.setWeight(50);
    painter->setFont(font);
    painter->setPen(subtitleColor);
    painter->drawText(QRectF(r.left() + 9, r.top() + 27, r.width() - 18, std::max(r.height() - 51, 15.0)),
                      Qt::AlignLeft | Qt::AlignVCenter, shown.shownSubtitle);

    painter->setPen(n.accent);
    painter->drawText(QRectF(r.left() + 9, r.bottom() - 23, r.width() - 18, 18), Qt::AlignLeft | Qt::AlignVCenter,
                      shown.shownValue);

    painter->restore();
}

#include "moc_VYRQFlowView.cpp"
