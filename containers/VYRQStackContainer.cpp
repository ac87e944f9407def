#include "VYRQStackContainer.h"

#include "VYRQContainer.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQPropertyRows.h"
#include "VYRQStateStyles.h"

#include <QChildEvent>
#include <QEvent>
#include <QList>
#include <QPointer>
#include <QResizeEvent>

#include <json/value.h>

#include <algorithm>

class VYRQStackContainerImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQStackContainerImpl(VYRQStackContainer* owner)
        : VYRQWidgetBaseImpl(owner, VYRQStackContainer::typeName())
    {
    }

    void drawControl(QPainter* painter, const QRect& rect) override;
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    int indexOf(const QObject* widget) const;
    QWidget* pageAt(int index) const;

    bool drawBackground = true;
    FillStyle background;
    FillStyle disableBackground;
    // Guarded: a page deleted behind the stack's back reads as null until its
    // ChildRemoved takes it out of the list.
    QList<QPointer<QWidget>> pages;
    int currentIndex = -1;
};

void VYRQStackContainerImpl::drawControl(QPainter* painter, const QRect& rect)
{
    if (!drawBackground)
        return;
    const bool enabled = owner() && owner()->isEnabled();
    drawFillStyle(painter, enabled ? background : disableBackground, rect);
}

vyr::StyleSlots VYRQStackContainerImpl::styleSlots()
{
    return {{0, background}, {1, disableBackground}};
}

void VYRQStackContainerImpl::readJson(const Json::Value& element)
{
    if (const Json::Value* attr = vyr::json::object(element, "attr"))
        readOwnAttr(*attr, "drawBackground", drawBackground);
    else
        claimAttrKey("drawBackground");
}

void VYRQStackContainerImpl::writeJson(Json::Value& element)
{
    if (!drawBackground)
        element["attr"]["drawBackground"] = 0;
}

int VYRQStackContainerImpl::indexOf(const QObject* widget) const
{
    if (!widget)
        return -1;
    for (int i = 0; i < pages.size(); ++i) {
        if (pages.at(i) == widget)
            return i;
    }
    return -1;
}

QWidget* VYRQStackContainerImpl::pageAt(int index) const
{
    return index >= 0 && index < pages.size() ? pages.at(index).data() : nullptr;
}

namespace {

// Depth-first, parent before children: every container in the page lays out again.
void forceResizeTree(QWidget* widget)
{
    if (auto* container = qobject_cast<VYRQContainer*>(widget))
        container->forceResize();
    for (QObject* child : widget->children()) {
        if (child->isWidgetType())
            forceResizeTree(static_cast<QWidget*>(child));
    }
}

} // namespace

// VYRQStackContainer

VYRQStackContainer::VYRQStackContainer(QWidget* parent)
    : VYRQControl(parent)
{
    setLayoutRatio(1);
    setWidthPolicy(PolicyFill);
    setHeightPolicy(PolicyFill);
    setAttribute(Qt::WA_MouseTracking);
    setAttribute(Qt::WA_StyledBackground);
    finishConstruction();
}

VYRQStackContainer::~VYRQStackContainer() = default;

int VYRQStackContainer::addWidget(QWidget* widget)
{
    return insertWidget(count(), widget);
}

int VYRQStackContainer::insertWidget(int index, QWidget* widget)
{
    if (!widget)
        return -1;
    if (vyr::isSelfOrInside(this, widget)) {
        qCWarning(vyrLayout) << "a stack cannot hold itself or one of its ancestors";
        return -1;
    }
    VYRQStackContainerImpl* d = impl();
    if (index < 0 || index > d->pages.size())
        index = d->pages.size();

    const int old = d->indexOf(widget);
    if (old >= 0) {
        if (old == index)
            return old;
        d->pages.removeAt(old);
        if (old < index)
            --index;
        if (d->currentIndex == old)
            d->currentIndex = -1;
        else if (d->currentIndex > old)
            --d->currentIndex;
    }

    if (widget->parentWidget() != this)
        widget->setParent(this);
    widget->installEventFilter(this);
    widget->setVisible(false);

    d->pages.insert(index, widget);
    updatePageGeometry(widget);

    if (d->currentIndex == -1) {
        setCurrentIndex(index);
    } else {
        if (d->currentIndex >= index)
            ++d->currentIndex;
        refreshCurrentPage();
    }
    return index;
}

void VYRQStackContainer::removeWidget(QWidget* widget)
{
    const int index = impl()->indexOf(widget);
    if (index < 0)
        return;
    widget->removeEventFilter(this);
    widget->hide();
    dropPageAt(index);
}

void VYRQStackContainer::dropPageAt(int index)
{
    VYRQStackContainerImpl* d = impl();
    d->pages.removeAt(index);
    if (d->pages.isEmpty()) {
        d->currentIndex = -1;
    } else if (d->currentIndex > index) {
        --d->currentIndex;
    } else if (d->currentIndex == index) {
        d->currentIndex = -1;
        setCurrentIndex(std::min(index, int(d->pages.size()) - 1));
    }
}

int VYRQStackContainer::count() const
{
    return impl()->pages.size();
}

int VYRQStackContainer::currentIndex() const
{
    return impl()->currentIndex;
}

QWidget* VYRQStackContainer::widget(int index) const
{
    return impl()->pageAt(index);
}

QWidget* VYRQStackContainer::currentWidget() const
{
    return impl()->pageAt(impl()->currentIndex);
}

void VYRQStackContainer::setCurrentIndex(int index)
{
    VYRQStackContainerImpl* d = impl();
    if (index < 0 || index >= d->pages.size())
        return;
    if (index != d->currentIndex) {
        if (QWidget* previous = d->pageAt(d->currentIndex))
            previous->hide();
        d->currentIndex = index;
    }
    refreshCurrentPage();
}

void VYRQStackContainer::setCurrentWidget(QWidget* widget)
{
    const int index = impl()->indexOf(widget);
    if (index >= 0)
        setCurrentIndex(index);
}

void VYRQStackContainer::setBackground(const FillStyle& style)
{
    impl()->background = style;
    update();
}

void VYRQStackContainer::setDisableBackground(const FillStyle& style)
{
    impl()->disableBackground = style;
    update();
}

void VYRQStackContainer::setBackgroundState(CtrlState state, const FillStyle& style)
{
    (state == Normal ? impl()->background : impl()->disableBackground) = style;
    update();
}

const FillStyle& VYRQStackContainer::getBackground() const
{
    return impl()->background;
}

const FillStyle& VYRQStackContainer::getDisableBackground() const
{
    return impl()->disableBackground;
}

const FillStyle& VYRQStackContainer::getBackgroundState(CtrlState state) const
{
    return state == Normal ? impl()->background : impl()->disableBackground;
}

void VYRQStackContainer::setDrawBackground(bool on)
{
    if (impl()->drawBackground == on)
        return;
    impl()->drawBackground = on;
    update();
}

bool VYRQStackContainer::getDrawBackground() const
{
    return impl()->drawBackground;
}

void VYRQStackContainer::updatePageGeometry(QWidget* page)
{
    if (!page)
        return;
    const QRect target = rect();
    if (page->geometry() == target)
        return;
    auto* control = dynamic_cast<IVYRQWidgetBase*>(page);
    if (VYRQWidgetBase* base = control ? control->getControlBase() : nullptr)
        base->setGeometry(target);
    else
        page->setGeometry(target);
}

void VYRQStackContainer::refreshCurrentPage(PageChange change)
{
    QWidget* page = currentWidget();
    if (!page)
        return;
    updatePageGeometry(page);
    page->show();
    page->raise();
    forceResizeTree(page);
    // updateGeometry() of a visible page posts a LayoutRequest to the stack.
    const bool announce = change == PageChange::Announce;
    if (announce)
        page->updateGeometry();
    page->update();
    if (announce)
        updateGeometry();
    update();
}

// --- events -----------------------------------------------------------------------

bool VYRQStackContainer::event(QEvent* event)
{
    if (impl()) {
        switch (event->type()) {
        case QEvent::LayoutRequest:
            refreshCurrentPage(PageChange::Quiet);
            break;
        case QEvent::Show:
            refreshCurrentPage();
            break;
        case QEvent::ChildRemoved: {
            // A page that is destroyed or moved to another parent leaves the stack;
            // a destroyed one already reads as null.
            QObject* child = static_cast<QChildEvent*>(event)->child();
            VYRQStackContainerImpl* d = impl();
            for (int i = d->pages.size() - 1; i >= 0; --i) {
                const QPointer<QWidget>& page = d->pages.at(i);
                if (page.isNull()) {
                    dropPageAt(i);
                } else if (page == child) {
                    page->removeEventFilter(this);
                    dropPageAt(i);
                }
            }
            break;
        }
        default:
            break;
        }
    }
    return VYRQControl::event(event);
}

bool VYRQStackContainer::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Move || type == QEvent::Resize) && watched->isWidgetType() && impl()) {
        QWidget* page = static_cast<QWidget*>(watched);
        // The current page may be moved by hand; it is put back at the next refresh.
        if (page->parentWidget() == this && page != currentWidget() && impl()->indexOf(page) >= 0)
            updatePageGeometry(page);
    }
    return QWidget::eventFilter(watched, event);
}

void VYRQStackContainer::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (const QPointer<QWidget>& page : impl()->pages)
        updatePageGeometry(page.data());
    refreshCurrentPage();
}

// --- designer record ----------------------------------------------------------------

ControlInfo VYRQStackContainer::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQStackContainer>("StackContainer",
                                            "Stack page container", "container");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQStackContainer::setBackgroundState,
                                           &VYRQStackContainer::getBackgroundState,
                                           {{Normal, "Normal"}, {Disable, "Disable"}}));
    info.rows.push_back(vyr::boolRow("DrawBackground", &VYRQStackContainer::setDrawBackground,
                                     &VYRQStackContainer::getDrawBackground));
    return info;
}

#include "moc_VYRQStackContainer.cpp"
