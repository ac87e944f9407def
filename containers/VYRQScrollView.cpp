#include "VYRQScrollView.h"

#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQKeptElement_p.h"
#include "VYRQPropertyRows.h"
#include "VYRQStateStyles.h"

#include <QEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStringList>

#include <json/value.h>

#include <algorithm>

namespace {

QString thicknessSheet(int size)
{
    return QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%2; } "
                          "QScrollBar::add-line:vertical{ width:%3px;width:%3px; subcontrol-origin: margin;} "
                          "QScrollBar::sub-line:vertical{ width:%3px;width:%3px;subcontrol-origin: margin; }")
        .arg(size)
        .arg(size)
        .arg(size);
}

QString buttonSheet(bool horizontal, int size)
{
    if (horizontal)
        return QStringLiteral("QScrollBar::add-line{ width:%1px;width:%1px; } "
                              "QScrollBar::sub-line{ width:%1px;width:%1px; }")
            .arg(size);
    return QStringLiteral("QScrollBar::add-line:vertical{ height:%1px;width:%1px; } "
                          "QScrollBar::sub-line:vertical{ height:%1px;width:%1px; }")
        .arg(size);
}

bool isScrollBarElement(const Json::Value& entry)
{
    QString type;
    return vyr::json::read(entry, "type", type) && type.contains(QLatin1String("scrollbar"));
}

} // namespace

class VYRQScrollViewImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQScrollViewImpl(VYRQScrollView* owner)
        : VYRQWidgetBaseImpl(owner, VYRQScrollView::typeName())
        , q(owner)
    {
    }

    void drawControl(QPainter* painter, const QRect& rect) override;
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;
    void createComplete() override;

    void readScrollBarElement(const Json::Value& entry);
    void writeContent(Json::Value& element);
    // Where the content goes among `others` written children.
    Json::ArrayIndex contentPlace(Json::ArrayIndex others) const;

    VYRQScrollView* q;
    QPointer<VYRQContainer> content;
    // The content's place among the written children when it was taken: after
    // contentAfter (null: first), or contentIndex of them when that one is gone.
    QPointer<QObject> contentAfter;
    int contentIndex = 0;
    FillStyle background;
    // Button sheets read from scroll bar elements (vertical, horizontal): a later
    // thickness sheet keeps them instead of wiping them out.
    QString readButtonSheet[2];
};

void VYRQScrollViewImpl::drawControl(QPainter* painter, const QRect& rect)
{
    drawFillStyle(painter, background, rect);
}

namespace {

// Whether the common writer writes `child` into the view's "child" list.
bool isWrittenChild(const QObject* child)
{
    return qobject_cast<const VYRQKeptElement*>(child)
        || (child->isWidgetType() && dynamic_cast<const IVYRQWidgetBase*>(child));
}

} // namespace

void VYRQScrollViewImpl::createComplete()
{
    int written = 0;
    QObject* previous = nullptr;
    for (QObject* child : q->children()) {
        if (auto* container = qobject_cast<VYRQContainer*>(child)) {
            content = container;
            // Its place among the children, which the viewport it moves into loses.
            contentIndex = written;
            contentAfter = previous;
            q->setWidget(container);
            return;
        }
        if (isWrittenChild(child)) {
            ++written;
            previous = child;
        }
    }
}

Json::ArrayIndex VYRQScrollViewImpl::contentPlace(Json::ArrayIndex others) const
{
    if (contentAfter && contentAfter->parent() == q) {
        Json::ArrayIndex place = 0;
        for (const QObject* child : q->children()) {
            if (!isWrittenChild(child))
                continue;
            ++place;
            if (child == contentAfter)
                return std::min(place, others);
        }
    }
    return std::min(Json::ArrayIndex(std::max(contentIndex, 0)), others);
}

vyr::StyleSlots VYRQScrollViewImpl::styleSlots()
{
    return {{0, background, vyr::StyleSlot::Reach::Onward}};
}

void VYRQScrollViewImpl::readJson(const Json::Value& element)
{
    if (const Json::Value* children = vyr::json::array(element, "child")) {
        for (Json::ArrayIndex i = 0; i < children->size(); ++i) {
            if (isScrollBarElement((*children)[i]))
                readScrollBarElement((*children)[i]);
        }
    }
}

void VYRQScrollViewImpl::writeJson(Json::Value& element)
{
    if (!element.isMember("attr"))
        element["attr"] = Json::Value(Json::nullValue);
    if (vyrIsSerializeChild())
        writeContent(element);
}

// The content lives in the viewport, out of reach of the common writer, which only
// walks the view's own children: without this a saved page reloads empty.
void VYRQScrollViewImpl::writeContent(Json::Value& element)
{
    QWidget* widget = q->widget();
    auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
    if (!control)
        return;
    Json::Value written(Json::objectValue);
    if (!control->serializeJsonValue(&written, false))
        return;
    // In its place among the other children: a reload takes the first container as
    // the content again, and none is written before it.
    Json::Value children(Json::arrayValue);
    Json::Value* others = vyr::json::member(element, "child");
    const Json::ArrayIndex count = others && others->isArray() ? others->size() : 0;
    const Json::ArrayIndex place = contentPlace(count);
    for (Json::ArrayIndex i = 0; i < count; ++i) {
        if (i == place)
            children.append(std::move(written));
        children.append(std::move((*others)[i]));
    }
    if (place >= count)
        children.append(std::move(written));
    element["child"] = std::move(children);
}

void VYRQScrollViewImpl::readScrollBarElement(const Json::Value& entry)
{
    const Json::Value* attr = vyr::json::object(entry, "attr");
    bool horizontal = false;
    if (attr)
        vyr::json::read(*attr, "hor", horizontal);
    VYRQScrollBar* bar = q->bar(horizontal);
    if (!bar)
        return;

    if (attr) {
        QString icon;
        if (vyr::json::read(*attr, "upicon", icon))
            bar->setScrollbarBtnIcon(true, icon);
        if (vyr::json::read(*attr, "downicon", icon))
            bar->setScrollbarBtnIcon(false, icon);
        if (vyr::json::read(*attr, "thumbicon", icon))
            bar->setScrollbarThumbIcon(icon);
        int size = 0;
        if (vyr::json::read(*attr, "size", size))
            readButtonSheet[horizontal ? 1 : 0] = buttonSheet(horizontal, size);
    }

    // The thickness applies to both bars, so the last scroll bar element sets it.
    const int thickness = vyr::json::intOr(entry, horizontal ? "h" : "w", 0);
    const QString sheet = thicknessSheet(thickness);
    const bool orientations[2] = {false, true};
    for (bool hor : orientations) {
        if (VYRQScrollBar* b = q->bar(hor)) {
            const QString& buttons = readButtonSheet[hor ? 1 : 0];
            b->setStyleSheet(buttons.isEmpty() ? sheet : sheet + QLatin1Char(' ') + buttons);
        }
    }

    bar->readStyleEntries(entry);
}

// VYRQScrollView

VYRQScrollView::VYRQScrollView(QWidget* parent)
    : VYRQControl(parent)
{
    horizontalBar = new VYRQScrollBar(Qt::Horizontal, this);
    verticalBar = new VYRQScrollBar(Qt::Vertical, this);
    setHorizontalScrollBar(horizontalBar);
    setVerticalScrollBar(verticalBar);
    setFrameStyle(0);
    viewport()->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    viewport()->installEventFilter(this);
    // Scroll bar elements of a page style the built-in bars; the page loader builds
    // no separate control for them.
    setProperty(vyr::ownChildTypesProperty, QStringList(QStringLiteral("scrollbar")));
    finishConstruction();
}

VYRQScrollView::~VYRQScrollView() = default;

VYRQScrollBar* VYRQScrollView::bar(bool horizontal) const
{
    return horizontal ? horizontalBar.data() : verticalBar.data();
}

void VYRQScrollView::setBackground(CommonCtrlState state, const FillStyle& style)
{
    Q_UNUSED(state)
    impl()->background = style;
}

const FillStyle& VYRQScrollView::getBackground(CommonCtrlState state) const
{
    Q_UNUSED(state)
    return impl()->background;
}

int VYRQScrollView::getHScrollPos() const
{
    return horizontalScrollBar()->value();
}

void VYRQScrollView::setHScrollPos(int pos)
{
    horizontalScrollBar()->setValue(pos);
}

int VYRQScrollView::getVScrollPos() const
{
    return verticalScrollBar()->value();
}

void VYRQScrollView::setVScrollPos(int pos)
{
    verticalScrollBar()->setValue(pos);
}

void VYRQScrollView::setScrollbarBackgroundStyle(bool horizontal, const FillStyle& style)
{
    if (VYRQScrollBar* b = bar(horizontal))
        b->setScrollbarBackground(CommonNormal, style);
}

void VYRQScrollView::setScrollbarButtonStyle(bool horizontal, bool up, CtrlState state, const FillStyle& style)
{
    VYRQScrollBar* b = bar(horizontal);
    if (!b)
        return;
    if (up)
        b->setScrollbarUpButton(state, style);
    else
        b->setScrollbarDownButton(state, style);
}

void VYRQScrollView::setScrollbarThumbStyle(bool horizontal, CtrlState state, const FillStyle& style)
{
    if (VYRQScrollBar* b = bar(horizontal))
        b->setScrollbarThumb(state, style);
}

void VYRQScrollView::setScrollbarButtonIcon(bool horizontal, bool up, const QString& icon)
{
    if (VYRQScrollBar* b = bar(horizontal))
        b->setScrollbarBtnIcon(up, icon);
}

void VYRQScrollView::setScrollbarButtonIconStyle(bool horizontal, bool up, const IconStyleDesc& style)
{
    if (VYRQScrollBar* b = bar(horizontal))
        b->setScrollbarIconStyle(up, style);
}

void VYRQScrollView::setScrollbarThumb(bool horizontal, const QString& icon)
{
    if (VYRQScrollBar* b = bar(horizontal))
        b->setScrollbarThumbIcon(icon);
}

void VYRQScrollView::setScrollbarSize(bool horizontal, int size)
{
    Q_UNUSED(horizontal)
    const QString sheet = thicknessSheet(size);
    if (verticalBar)
        verticalBar->setStyleSheet(sheet);
    if (horizontalBar)
        horizontalBar->setStyleSheet(sheet);
}

void VYRQScrollView::setScrollbarBtnSize(bool horizontal, int size)
{
    if (VYRQScrollBar* b = bar(horizontal))
        b->setStyleSheet(buttonSheet(horizontal, size));
}

void VYRQScrollView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    emit scrollPosChanged(dx, dy);
}

bool VYRQScrollView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && watched == viewport() && impl()) {
        QWidget* port = viewport();
        QPainter painter(port);
        VYRQWidgetBaseImpl::drawFillStyle(&painter, impl()->background, QRect(0, 0, port->width(), port->height()));
        return false;
    }
    return QScrollArea::eventFilter(watched, event);
}

void VYRQScrollView::paintEvent(QPaintEvent*)
{
}

// --- designer record ----------------------------------------------------------------

ControlInfo VYRQScrollView::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQScrollView>("ScrollView", "Control ScrollView",
                                            "scrollview");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQScrollView::setBackground,
                                           &VYRQScrollView::getBackground, vyr::commonStates()));
    return info;
}

#include "moc_VYRQScrollView.cpp"
