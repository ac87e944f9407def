#include "VYRQContainer.h"

#include "VYRQContainerImpl.h"
#include "VYRQGlobal_p.h"
#include "VYRQLogging.h"
#include "VYRQPropertyRows.h"
#include "VYRQScrollBar.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QWheelEvent>

VYRQContainer::VYRQContainer(QWidget* parent)
    : VYRQControl(parent)
{
    setMouseTracking(true);
    finishConstruction();
}

// The implementation object goes with the mixin's members, before QWidget tears
// the children down.
VYRQContainer::~VYRQContainer() = default;

void VYRQContainer::setChildLayout(AutoChildLayout layout)
{
    impl()->childLayout = layout;
    impl()->relayout();
}

VYRQContainer::AutoChildLayout VYRQContainer::getChildLayout() const
{
    return AutoChildLayout(impl()->childLayout);
}

void VYRQContainer::setChildSpace(int space)
{
    impl()->space = space;
    impl()->relayout();
}

int VYRQContainer::getChildSpace() const
{
    return impl()->space;
}

void VYRQContainer::setChildPadding(int padding)
{
    setChildPadding(padding, padding, padding, padding);
}

void VYRQContainer::setChildPadding(int left, int top, int right, int bottom)
{
    VYRQContainerImpl* d = impl();
    d->paddingLeft = left;
    d->paddingTop = top;
    d->paddingRight = right;
    d->paddingBottom = bottom;
    d->relayout();
}

void VYRQContainer::getChildPadding(int& left, int& top, int& right, int& bottom) const
{
    const VYRQContainerImpl* d = impl();
    left = d->paddingLeft;
    top = d->paddingTop;
    right = d->paddingRight;
    bottom = d->paddingBottom;
}

void VYRQContainer::setAbsoluteDockAutoSize(bool on)
{
    if (impl()->absoluteDockAutoSize == on)
        return;
    impl()->absoluteDockAutoSize = on;
    impl()->relayout();
    if (VYRQContainer* parent = qobject_cast<VYRQContainer*>(parentWidget()))
        parent->forceResize();
}

bool VYRQContainer::getAbsoluteDockAutoSize() const
{
    return impl()->absoluteDockAutoSize;
}

void VYRQContainer::setChildRatio(QWidget* child, int ratio)
{
    if (!child)
        return;
    if (IVYRQWidgetBase* control = dynamic_cast<IVYRQWidgetBase*>(child))
        control->setLayoutRatio(ratio);
    impl()->relayout();
}

void VYRQContainer::addChildWidget(QWidget* child, int ratio)
{
    if (!child)
        return;
    if (vyr::isSelfOrInside(this, child)) {
        qCWarning(vyrLayout) << "a container cannot hold itself or one of its ancestors";
        return;
    }
    if (child->parentWidget() != this)
        child->setParent(this);
    impl()->watchChild(child);
    if (IVYRQWidgetBase* control = dynamic_cast<IVYRQWidgetBase*>(child))
        control->setLayoutRatio(ratio);
    if (impl()->childLayout != NoUse)
        impl()->layoutChildren();
    // The first refresh may show a bar whose room the second one then accounts for.
    impl()->refreshScroll();
    impl()->refreshScroll();
}

void VYRQContainer::forceResize()
{
    if (impl())
        impl()->relayout();
}

void VYRQContainer::setDrawBackground(bool on)
{
    if (impl()->drawBackground == on)
        return;
    impl()->drawBackground = on;
    update();
}

bool VYRQContainer::getDrawBackground() const
{
    return impl()->drawBackground;
}

void VYRQContainer::setBackground(const FillStyle& style)
{
    impl()->background = style;
    update();
}

const FillStyle& VYRQContainer::getBackground() const
{
    return impl()->background;
}

void VYRQContainer::setDisableBackground(const FillStyle& style)
{
    impl()->disableBackground = style;
    update();
}

const FillStyle& VYRQContainer::getDisableBackground() const
{
    return impl()->disableBackground;
}

void VYRQContainer::setBackgroundState(CtrlState state, const FillStyle& style)
{
    (state == Normal ? impl()->background : impl()->disableBackground) = style;
    update();
}

const FillStyle& VYRQContainer::getBackgroundState(CtrlState state) const
{
    return state == Normal ? impl()->background : impl()->disableBackground;
}

void VYRQContainer::setColor(QColor color)
{
    FillStyle& background = impl()->background.edit();
    background.colorMode = true;
    background.fill.color = color;
    update();
}

void VYRQContainer::setUseFillStyle(bool on)
{
    impl()->background.edit().colorMode = on;
}

bool VYRQContainer::getUseFillStyle() const
{
    return impl()->background->colorMode;
}

void VYRQContainer::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

bool VYRQContainer::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

void VYRQContainer::bindScrollBar(VYRQScrollBar* bar, bool horizontal)
{
    impl()->bindScrollBar(bar, horizontal);
}

VYRQScrollBar* VYRQContainer::getBindScrollBar(bool horizontal) const
{
    return impl()->boundBar(horizontal);
}

void VYRQContainer::setScrollPos(bool horizontal, int pos)
{
    impl()->setScrollPos(horizontal, pos);
}

int VYRQContainer::getScrollPos(bool horizontal) const
{
    return impl()->scrollPos(horizontal);
}

bool VYRQContainer::startResizeAnimation(const QSize& from, const QSize& to, int durationMs)
{
    return impl()->startResizeAnimation(from, to, durationMs);
}

bool VYRQContainer::isResizeAnimationRunning() const
{
    return impl()->isResizeAnimationRunning();
}

void VYRQContainer::bindWindowHandle(void* handle)
{
    impl()->bindWindowHandle(handle);
}

void VYRQContainer::unbindWindowHandle()
{
    impl()->bindWindowHandle(nullptr);
}

void* VYRQContainer::getWindowHandle() const
{
    return impl()->windowHandle();
}

// --- form-designer plugin ---------------------------------------------------------

QString VYRQContainer::name() const
{
    return QStringLiteral("VYRQContainer");
}

QString VYRQContainer::group() const
{
    return QString();
}

QString VYRQContainer::toolTip() const
{
    return QString();
}

QString VYRQContainer::whatsThis() const
{
    return QString();
}

QIcon VYRQContainer::icon() const
{
    return QIcon();
}

QString VYRQContainer::includeFile() const
{
    return QStringLiteral("VYRQContainer.h");
}

QString VYRQContainer::domXml() const
{
    return QStringLiteral("<widget class=\"VYRQContainer\" name=\"container\">\n</widget>\n");
}

bool VYRQContainer::isContainer() const
{
    return false;
}

QWidget* VYRQContainer::createWidget(QWidget* parent)
{
    return new VYRQContainer(parent);
}

void VYRQContainer::initialize(QDesignerFormEditorInterface* core)
{
    Q_UNUSED(core)
    m_initialized = true;
}

bool VYRQContainer::isInitialized() const
{
    return m_initialized;
}

// --- events -----------------------------------------------------------------------

bool VYRQContainer::event(QEvent* event)
{
    if (VYRQContainerImpl* d = impl()) {
        if (event->type() == QEvent::Resize && !isVisible() && !window()->testAttribute(Qt::WA_Mapped)
            && !qobject_cast<VYRQContainer*>(parentWidget())) {
            // Every widget posts itself a polish request when it is built, and a push
            // button answers it with updateGeometry(). Answered after the first show,
            // each answer posts a layout request to its container (which has no
            // QLayout to absorb it), and QApplication compares every such post with
            // all pending events: quadratic in the size of a page. The resize that an
            // outermost container gets while its window is first shown comes after the
            // polish of the whole window and before anything inside it is visible:
            // answered now, the requests post nothing.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::PolishRequest);
        }
        if (event->type() == QEvent::ChildAdded)
            d->childAdded(static_cast<QChildEvent*>(event)->child());
        else if (event->type() == QEvent::ChildRemoved)
            d->childRemoved(static_cast<QChildEvent*>(event)->child());
    }
    return VYRQControl::event(event);
}

bool VYRQContainer::eventFilter(QObject* watched, QEvent* event)
{
    if (VYRQContainerImpl* d = impl())
        d->watchedChildEvent(watched, event);
    return QWidget::eventFilter(watched, event);
}

void VYRQContainer::mouseReleaseEvent(QMouseEvent* event)
{
    // Nobody listening: the release goes on to the parents, so that a clickable
    // container still gets it through the plain containers laid out inside it.
    if (event && !isSignalConnected(QMetaMethod::fromSignal(&VYRQContainer::mouseClickEvent)))
        event->ignore();
    emit mouseClickEvent();
}

void VYRQContainer::wheelEvent(QWheelEvent* event)
{
    if (!impl()->wheel(event))
        QWidget::wheelEvent(event);
}

void VYRQContainer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    impl()->ownerResized();
}

// --- designer record ----------------------------------------------------------------

ControlInfo VYRQContainer::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQContainer>("Container", "Control container",
                                            "container");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQContainer::setBackgroundState,
                                           &VYRQContainer::getBackgroundState,
                                           {{Normal, "Normal"}, {Disable, "Disable"}}));
    info.rows.push_back(
        vyr::boolRow("DrawBackground", &VYRQContainer::setDrawBackground, &VYRQContainer::getDrawBackground));
    info.rows.push_back(vyr::boolRow("AbsoluteDockAutoSize", &VYRQContainer::setAbsoluteDockAutoSize,
                                     &VYRQContainer::getAbsoluteDockAutoSize));
    info.rows.push_back(vyr::enumRow("ChildLayout", &VYRQContainer::setChildLayout, &VYRQContainer::getChildLayout,
                                     {{Horizontal, "Horizontal"},
                                      {Vertical, "Vertical"},
                                      {HorFloat, "HorFloat"},
                                      {VerFloat, "VerFloat"},
                                      {NoUse, "No Use"}},
                                     NoUse));
    info.rows.push_back(vyr::marginsRow("ChildPadding", &VYRQContainer::setChildPadding,
                                        &VYRQContainer::getChildPadding, vyr::MarginOrder::LeftTopRightBottom));
    return info;
}

#include "moc_VYRQContainer.cpp"
