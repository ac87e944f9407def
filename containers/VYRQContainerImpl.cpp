#include "VYRQContainerImpl.h"

#include "VYRQContainer.h"
#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQScrollBar.h"
#include "VYRQStateStyles.h"

#include <QEasingCurve>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QTimer>
#include <QVariantAnimation>
#include <QWheelEvent>
#include <QWindow>

#include <json/value.h>

#include <algorithm>

namespace {

const QColor kDefaultBackground(128, 128, 128, 255);

QRect baseGeometryOf(const QWidget* widget)
{
    return widget->property(vyr::kBaseGeometryProperty).toRect();
}

// Shows a bound bar at `geometry` over a view of `view` pixels, with a range that
// reaches `contentEnd`, or hides and empties it. `offset` takes the scroll offset
// before the bar's value is corrected, so it is current when the bar reports it.
void placeBar(VYRQScrollBar* bar, bool needed, int contentEnd, int view, const QRect& geometry, int& offset)
{
    if (!needed) {
        bar->hide();
        bar->setRange(0, 0);
        bar->setValue(0);
        offset = 0;
        return;
    }
    const int maximum = std::max(contentEnd - view, 0);
    bar->setRange(0, maximum);
    bar->setPageStep(view);
    static_cast<IVYRQWidgetBase*>(bar)->setGeometry(geometry.x(), geometry.y(), geometry.width(),
                                                     geometry.height());
    bar->show();
    offset = std::max(std::min(maximum, bar->value()), 0);
    if (bar->value() != offset)
        bar->setValue(offset);
}

} // namespace

VYRQContainerImpl::VYRQContainerImpl(VYRQContainer* owner)
    : VYRQWidgetBaseImpl(owner, VYRQContainer::typeName())
{
    // Every container starts from the same record.
    static const vyr::SharedStyle<FillStyle> defaultBackground = [] {
        FillStyle style;
        style.fill.color = kDefaultBackground;
        return vyr::SharedStyle<FillStyle>(style);
    }();
    background = defaultBackground;
    disableBackground = defaultBackground;
}

VYRQContainerImpl::~VYRQContainerImpl()
{
    if (m_nativeWindowOwned)
        delete m_nativeWindow.data();
}

VYRQContainer* VYRQContainerImpl::container() const
{
    return static_cast<VYRQContainer*>(owner());
}

void VYRQContainerImpl::drawControl(QPainter* painter, const QRect& rect)
{
    if (!drawBackground || !owner())
        return;
    drawFillStyle(painter, owner()->isEnabled() ? background : disableBackground, rect);
}

vyr::StyleSlots VYRQContainerImpl::styleSlots()
{
    return {{0, background}, vyr::StyleSlot(1, disableBackground).unlessAlike(background)};
}

void VYRQContainerImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    int layout = VYRQContainer::NoUse;
    if (!readOwnAttr(*attr, "childLayout", layout) || layout < VYRQContainer::Horizontal
        || layout > VYRQContainer::VerFloat)
        layout = VYRQContainer::NoUse;
    childLayout = layout;
    readOwnAttr(*attr, "space", space);
    readOwnAttr(*attr, "paddingLeft", paddingLeft);
    readOwnAttr(*attr, "paddingTop", paddingTop);
    readOwnAttr(*attr, "paddingRight", paddingRight);
    readOwnAttr(*attr, "paddingBottom", paddingBottom);
    readOwnAttr(*attr, "absoluteDockAutoSize", absoluteDockAutoSize);
}

void VYRQContainerImpl::writeJson(Json::Value& element)
{
    Json::Value& attr = element["attr"];
    attr["childLayout"] = childLayout;
    if (space != 0)
        attr["space"] = space;
    if (paddingLeft != 0)
        attr["paddingLeft"] = paddingLeft;
    if (paddingTop != 0)
        attr["paddingTop"] = paddingTop;
    if (paddingRight != 0)
        attr["paddingRight"] = paddingRight;
    if (paddingBottom != 0)
        attr["paddingBottom"] = paddingBottom;
    if (absoluteDockAutoSize)
        attr["absoluteDockAutoSize"] = 1;
}

void VYRQContainerImpl::relayout()
{
    // This pass also serves a queued one.
    if (!layouting)
        m_relayoutQueued = false;
    if (childLayout != VYRQContainer::NoUse)
        layoutChildren();
    refreshScroll();
}

void VYRQContainerImpl::layoutChildren()
{
    m_engine.layoutChildren(*this);
}

QSize VYRQContainerImpl::contentSize(VYRQContainer* child) const
{
    return VYRQLayoutEngine::contentSize(child);
}

QSize VYRQContainerImpl::preferredChildSize(QWidget* child) const
{
    return VYRQLayoutEngine::preferredChildSize(child);
}

// --- children -------------------------------------------------------------------

int VYRQContainerImpl::boundBarMark(const QObject* object)
{
    // Most children carry no such property; scanning the (shared) list of dynamic
    // names is far cheaper than a property() lookup through the meta-object.
    const QList<QByteArray> names = object->dynamicPropertyNames();
    for (const QByteArray& name : names) {
        if (name == vyr::kBoundScrollBarProperty)
            return object->property(vyr::kBoundScrollBarProperty).toBool() ? 1 : 0;
    }
    return -1;
}

bool VYRQContainerImpl::isBoundBar(const QObject* object) const
{
    if (!object)
        return false;
    if (object == m_horizontalBarAddress || object == m_verticalBarAddress)
        return true;
    return boundBarMark(object) == 1;
}

bool VYRQContainerImpl::isBoundChild(const QObject* object, int barMark) const
{
    return object == m_horizontalBarAddress || object == m_verticalBarAddress || barMark == 1;
}

bool VYRQContainerImpl::isExcludedBar(const QWidget* widget)
{
    // An unbound bar carries the property as false; while it stays hidden it is
    // the container's leftover, not content.
    const int mark = boundBarMark(widget);
    return mark == 1 || (mark == 0 && widget->isHidden());
}

void VYRQContainerImpl::watchChild(QWidget* child)
{
    if (!child || isBoundBar(child) || !owner())
        return;
    child->installEventFilter(owner());
}

void VYRQContainerImpl::childAdded(QObject* child)
{
    if (!child || !child->isWidgetType())
        return;
    m_engine.invalidateChildren();
    watchChild(static_cast<QWidget*>(child));
    queueRelayout();
}

void VYRQContainerImpl::queueRelayout()
{
    // Any number of children added in one turn of the event loop share one pass,
    // and a pass that runs before it (the resize on first show) takes its place.
    if (m_relayoutQueued || !owner())
        return;
    m_relayoutQueued = true;
    QTimer::singleShot(0, owner(), [this] {
        if (m_relayoutQueued)
            relayout();
    });
}

void VYRQContainerImpl::childRemoved(QObject* child)
{
    // The child may be half destroyed: only its address and QObject part are used.
    if (child && child == m_horizontalBarAddress)
        forgetBar(true, horizontalBar.isNull());
    if (child && child == m_verticalBarAddress)
        forgetBar(false, verticalBar.isNull());
    if (child && child->isWidgetType()) {
        // Its address may come back as another child's.
        m_engine.invalidateChildren();
        m_engine.forgetBaseGeometries();
        if (owner())
            child->removeEventFilter(owner());
    }
    refreshScroll();
}

void VYRQContainerImpl::watchedChildEvent(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::DynamicPropertyChange) {
        m_engine.childPropertyChanged(static_cast<QDynamicPropertyChangeEvent*>(event)->propertyName());
        return;
    }
    if (event->type() == QEvent::Destroy || event->type() == QEvent::Hide) {
        // A child on its way out may no longer be a control: no record keeps it as one.
        m_engine.invalidateChildren();
    }
    if (event->type() == QEvent::Destroy) {
        // A bound bar on its way out: drop it before anything asks it for its size.
        if (watched == m_horizontalBarAddress)
            forgetBar(true, true);
        if (watched == m_verticalBarAddress)
            forgetBar(false, true);
        return;
    }
    if (layouting || scrolling || !watched->isWidgetType())
        return;
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::LayoutRequest:
        break;
    default:
        return;
    }
    QWidget* child = static_cast<QWidget*>(watched);
    if (child->parentWidget() != owner())
        return;
    m_engine.writeBaseGeometry(child, child->geometry().translated(scrollX, scrollY));
    refreshScroll();
}

void VYRQContainerImpl::ownerResized()
{
    relayout();
    syncNativeWindow();
}

bool VYRQContainerImpl::wheel(QWheelEvent* event)
{
    VYRQScrollBar* bar = verticalBar.data();
    if (!bar || bar->isHidden() || bar->maximum() <= 0)
        return false;
    const int step = std::max(bar->singleStep(), 24);
    bar->setValue(event->angleDelta().y() > 0 ? bar->value() - step : bar->value() + step);
    event->accept();
    return true;
}

// --- scroll bars ----------------------------------------------------------------

VYRQScrollBar* VYRQContainerImpl::boundBar(bool horizontal) const
{
    return horizontal ? horizontalBar.data() : verticalBar.data();
}

void VYRQContainerImpl::releaseBar(VYRQScrollBar* bar)
{
    m_engine.invalidateChildren();
    bar->setProperty(vyr::kBoundScrollBarProperty, false);
    if (owner()) {
        bar->removeEventFilter(owner());
        QObject::disconnect(bar, nullptr, owner(), nullptr);
    }
    QObject::disconnect(bar, nullptr, this, nullptr);
}

void VYRQContainerImpl::forgetBar(bool horizontal, bool destroyed)
{
    QPointer<VYRQScrollBar>& slot = horizontal ? horizontalBar : verticalBar;
    // A dying bar is only a QWidget by now: never downcast it.
    VYRQScrollBar* bar = destroyed ? nullptr : slot.data();
    slot.clear();
    m_engine.invalidateChildren();
    (horizontal ? m_horizontalBarAddress : m_verticalBarAddress) = nullptr;
    // A bar that moved to another parent goes unmarked; a dying one is not touched.
    if (bar)
        releaseBar(bar);
    int& offset = horizontal ? scrollX : scrollY;
    const bool moved = offset != 0;
    offset = 0;
    if (moved)
        restoreUnscrolled();
}

void VYRQContainerImpl::restoreUnscrolled()
{
    // With a bar left, its refresh applies the offset; without one, nothing would
    // move the content back.
    if (!horizontalBar.isNull() || !verticalBar.isNull() || scrolling || !owner())
        return;
    scrolling = true;
    m_engine.forEachChild(owner(), [this](QWidget* child, int barMark, QRect base, bool known) {
        // Bars, bound or not, are placed by the refresh, never by the offset.
        if (barMark >= 0)
            return;
        if (!known)
            base = baseGeometryOf(child);
        if (base.isValid())
            child->setGeometry(base.translated(-scrollX, -scrollY));
    });
    scrolling = false;
}

void VYRQContainerImpl::bindScrollBar(VYRQScrollBar* bar, bool horizontal)
{
    QPointer<VYRQScrollBar>& slot = horizontal ? horizontalBar : verticalBar;
    if (bar == slot.data()) {
        refreshScroll();
        return;
    }
    if (VYRQScrollBar* previous = slot.data()) {
        slot.clear();
        (horizontal ? m_horizontalBarAddress : m_verticalBarAddress) = nullptr;
        releaseBar(previous);
        previous->hide();
    }
    if (bar) {
        // One bar serves one axis.
        if (bar == boundBar(!horizontal))
            forgetBar(!horizontal, false);
        slot = bar;
        (horizontal ? m_horizontalBarAddress : m_verticalBarAddress) = bar;
        if (bar->parentWidget() != owner())
            bar->setParent(owner());
        bar->setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical);
        bar->setProperty(vyr::kBoundScrollBarProperty, true);
        m_engine.invalidateChildren();
        if (owner())
            bar->installEventFilter(owner());
        connect(bar, &QAbstractSlider::valueChanged, this,
                [this, horizontal](int value) { barValueChanged(horizontal, value); });
    } else {
        int& offset = horizontal ? scrollX : scrollY;
        const bool moved = offset != 0;
        offset = 0;
        if (moved)
            restoreUnscrolled();
    }
    refreshScroll();
}

void VYRQContainerImpl::barValueChanged(bool horizontal, int value)
{
    if (scrolling)
        return;
    (horizontal ? scrollX : scrollY) = value;
    applyScrollOffset();
}

void VYRQContainerImpl::setScrollPos(bool horizontal, int pos)
{
    if (VYRQScrollBar* bar = boundBar(horizontal)) {
        bar->setValue(std::clamp(pos, bar->minimum(), std::max(bar->minimum(), bar->maximum())));
        return;
    }
    (horizontal ? scrollX : scrollY) = std::max(pos, 0);
    applyScrollOffset();
}

void VYRQContainerImpl::refreshScroll()
{
    VYRQScrollBar* hBar = horizontalBar.data();
    VYRQScrollBar* vBar = verticalBar.data();
    QWidget* widget = owner();
    if (scrolling || (!hBar && !vBar) || !widget)
        return;
    const bool hShownBefore = hBar && !hBar->isHidden();
    const bool vShownBefore = vBar && !vBar->isHidden();
    scrolling = true;

    QRect content;
    m_engine.forEachChild(widget, [this, &content](QWidget* child, int barMark, QRect base, bool known) {
        if (child->isHidden() || isBoundChild(child, barMark))
            return;
        if (!known)
            base = baseGeometryOf(child);
        if (!base.isValid()) {
            base = child->geometry().translated(scrollX, scrollY);
            m_engine.writeBaseGeometry(child, base);
        }
        content |= base;
    });

    const int width = std::max(widget->width(), 0);
    const int height = std::max(widget->height(), 0);
    const int barW = vBar ? std::max(vBar->sizeHint().width(), 0) : 0;
    const int barH = hBar ? std::max(hBar->sizeHint().height(), 0) : 0;
    // Showing one bar narrows the view for the other: decide twice at most.
    bool needH = false;
    bool needV = false;
    for (int round = 0; round < 2; ++round) {
        const int viewW = std::max(width - (needV ? barW : 0), 0);
        const int viewH = std::max(height - (needH ? barH : 0), 0);
        const bool h = hBar && !content.isEmpty() && content.right() + 1 > viewW;
        const bool v = vBar && !content.isEmpty() && content.bottom() + 1 > viewH;
        const bool changed = h != needH || v != needV;
        needH = h;
        needV = v;
        if (!changed)
            break;
    }
    const int viewW = std::max(width - (needV ? barW : 0), 0);
    const int viewH = std::max(height - (needH ? barH : 0), 0);

    // A bar is needed only when there is content, so its range can end with it.
    if (hBar)
        placeBar(hBar, needH, content.right() + 1, viewW, QRect(0, height - barH, viewW, barH), scrollX);
    else
        scrollX = 0;
    if (vBar)
        placeBar(vBar, needV, content.bottom() + 1, viewH, QRect(width - barW, 0, barW, viewH), scrollY);
    else
        scrollY = 0;

    const bool barsChanged = (hBar && !hBar->isHidden()) != hShownBefore
        || (vBar && !vBar->isHidden()) != vShownBefore;
    scrolling = false;
    // A bar that appears or goes changes the room of the pass; the depth limit stops
    // content that needs a bar only while no bar is shown from flipping forever.
    if (barsChanged && childLayout != VYRQContainer::NoUse && m_refreshDepth < 2) {
        ++m_refreshDepth;
        layoutChildren();
        refreshScroll();
        --m_refreshDepth;
        return;
    }
    applyScrollOffset();
}

void VYRQContainerImpl::applyScrollOffset()
{
    if (scrolling || (horizontalBar.isNull() && verticalBar.isNull()) || !owner())
        return;
    scrolling = true;
    m_engine.forEachChild(owner(), [this](QWidget* child, int barMark, const QRect& base, bool known) {
        if (isBoundChild(child, barMark))
            return;
        if (known) {
            child->setGeometry(base.translated(-scrollX, -scrollY));
            return;
        }
        const QVariant value = child->property(vyr::kBaseGeometryProperty);
        if (value.isValid())
            child->setGeometry(value.toRect().translated(-scrollX, -scrollY));
    });
    scrolling = false;
}

// --- resize animation -----------------------------------------------------------

bool VYRQContainerImpl::startResizeAnimation(const QSize& from, const QSize& to, int durationMs)
{
    if (!owner() || animationRunning)
        return false;
    const QSize start(std::max(from.width(), 0), std::max(from.height(), 0));
    const QSize end(std::max(to.width(), 0), std::max(to.height(), 0));
    animateWidth = start.width() != end.width();
    animateHeight = start.height() != end.height();
    animationTarget = end;
    if ((!animateWidth && !animateHeight) || durationMs <= 0) {
        applyAnimatedSize(end);
        return true;
    }
    if (!resizeAnimation) {
        resizeAnimation = new QVariantAnimation(this);
        connect(resizeAnimation, &QVariantAnimation::valueChanged, this,
                [this](const QVariant& value) { applyAnimatedSize(value.toSize()); });
        connect(resizeAnimation, &QAbstractAnimation::finished, this, [this] {
            applyAnimatedSize(animationTarget);
            animationRunning = false;
        });
    }
    animationRunning = true;
    resizeAnimation->setDuration(durationMs);
    resizeAnimation->setStartValue(start);
    resizeAnimation->setEndValue(end);
    resizeAnimation->setEasingCurve(QEasingCurve::OutCubic);
    applyAnimatedSize(start);
    resizeAnimation->start();
    return true;
}

void VYRQContainerImpl::applyAnimatedSize(const QSize& size)
{
    QWidget* widget = owner();
    if (!widget)
        return;
    const int w = std::max(size.width(), 0);
    const int h = std::max(size.height(), 0);
    // The pinned limits stay after the animation: the size holds in any layout.
    if (animateWidth) {
        widget->setMinimumWidth(w);
        widget->setMaximumWidth(w);
    }
    if (animateHeight) {
        widget->setMinimumHeight(h);
        widget->setMaximumHeight(h);
    }
    widget->resize(animateWidth ? w : widget->width(), animateHeight ? h : widget->height());
    widget->updateGeometry();
    if (VYRQContainer* parent = qobject_cast<VYRQContainer*>(widget->parentWidget())) {
        parent->forceResize();
    } else if (childLayout != VYRQContainer::NoUse) {
        layoutChildren();
        refreshScroll();
    }
}

// --- native window --------------------------------------------------------------

void VYRQContainerImpl::bindWindowHandle(void* handle)
{
    if (handle == m_windowHandle)
        return;
    if (m_nativeWindowOwned)
        delete m_nativeWindow.data();
    m_nativeWindow.clear();
    m_nativeWindowOwned = false;
    m_windowHandle = handle;
}

void VYRQContainerImpl::syncNativeWindow()
{
    QWidget* widget = owner();
    if (!m_windowHandle || !widget)
        return;
    if (m_nativeWindow.isNull()) {
        const WId id = reinterpret_cast<WId>(m_windowHandle);
        // A window of this process is moved directly; any other is wrapped once.
        for (QWindow* window : QGuiApplication::allWindows()) {
            if (window->handle() && window->winId() == id) {
                m_nativeWindow = window;
                break;
            }
        }
        if (m_nativeWindow.isNull()) {
            m_nativeWindow = QWindow::fromWinId(id);
            m_nativeWindowOwned = !m_nativeWindow.isNull();
        }
        if (m_nativeWindow.isNull()) {
            qCWarning(vyrLayout) << "container cannot reach native window" << id;
            return;
        }
    }
    QWidget* top = widget;
    while (top->parentWidget())
        top = top->parentWidget();
    const QPoint pos = top->mapFromGlobal(widget->mapToGlobal(QPoint(0, 0)));
    m_nativeWindow->setGeometry(pos.x(), pos.y(), widget->width(), widget->height());
}

#include "moc_VYRQContainerImpl.cpp"
