#include "VYRQScrollBar.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQStateStyles.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <json/value.h>

namespace {
// The three active parts, in the order the state rules handle them.
enum Part { ThumbPart = 0, DownPart = 1, UpPart = 2, PartCount = 3 };
} // namespace

class VYRQScrollBarImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQScrollBarImpl(VYRQScrollBar* owner)
        : VYRQWidgetBaseImpl(owner, VYRQScrollBar::typeName())
        , q(owner)
    {
        // Every scroll bar starts hidden; its owner shows it.
        owner->setVisible(false);
    }

    void paintEvent() override;
    void drawControl(QPainter* painter, const QRect& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

    QRect partRect(Part part) const;
    CtrlState& stateOf(Part part);
    enum class Repaint { Part, Whole };
    // Sets a part's state; repaints the part at once, or the whole control.
    void changeState(Part part, CtrlState state, const QRect& rect, Repaint repaint);
    vyr::StyleSlots styleSlots() override;
    void readStyleEntries(const Json::Value& element) { readStyleSlots(element, styleSlots()); }
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQScrollBar* q;
    FillStyle background;
    CtrlState thumbState = Normal;
    vyr::FillStates upButton;
    CtrlState downState = Normal;
    vyr::FillStates downButton;
    CtrlState upState = Normal;
    vyr::FillStates thumb;
    QString upIcon;
    QString downIcon;
    QString thumbIcon;
    bool horizontal = false;
    IconStyleDesc upIconStyle;
    IconStyleDesc downIconStyle;
    int widthHeight = -1;
};

QRect VYRQScrollBarImpl::partRect(Part part) const
{
    static const QStyle::SubControl subControls[PartCount] = {
        QStyle::SC_ScrollBarSlider, QStyle::SC_ScrollBarAddLine, QStyle::SC_ScrollBarSubLine};
    QStyleOptionSlider option;
    q->initStyleOption(&option);
    return q->style()->subControlRect(QStyle::CC_ScrollBar, &option, subControls[part], q);
}

CtrlState& VYRQScrollBarImpl::stateOf(Part part)
{
    switch (part) {
    case ThumbPart:
        return thumbState;
    case DownPart:
        return downState;
    default:
        return upState;
    }
}

void VYRQScrollBarImpl::changeState(Part part, CtrlState state, const QRect& rect, Repaint repaint)
{
    CtrlState& current = stateOf(part);
    if (current == state)
        return;
    current = state;
    if (repaint == Repaint::Whole)
        q->repaint();
    else
        q->repaint(rect);
}

void VYRQScrollBarImpl::paintEvent()
{
    // Unlike the base, the bar's one interaction state is not corrected here: each
    // part keeps its own, and a disabled bar draws as an enabled one.
    QPainter painter(q);
    drawControl(&painter, QRect(0, 0, q->width(), q->height()));
}

void VYRQScrollBarImpl::drawControl(QPainter* painter, const QRect& rect)
{
    drawFillStyle(painter, background, rect);

    const QRect thumbRect = partRect(ThumbPart);
    drawFillStyle(painter, thumb.get(thumbState), thumbRect);
    drawImage(painter, thumbIcon, IconStyleDesc(), thumbRect, false);

    const QRect upRect = partRect(UpPart);
    drawFillStyle(painter, upButton.get(upState), upRect);
    drawImage(painter, upIcon, upIconStyle, upRect, false);

    const QRect downRect = partRect(DownPart);
    drawFillStyle(painter, downButton.get(downState), downRect);
    drawImage(painter, downIcon, downIconStyle, downRect, false);
}

void VYRQScrollBarImpl::mousePressEvent(QMouseEvent* event)
{
    for (int p = 0; p < PartCount; ++p) {
        const Part part = Part(p);
        const QRect rect = partRect(part);
        if (rect.contains(event->pos()))
            changeState(part, Pressed, rect, Repaint::Part);
    }
}

void VYRQScrollBarImpl::mouseReleaseEvent(QMouseEvent* event)
{
    for (int p = 0; p < PartCount; ++p) {
        const Part part = Part(p);
        const QRect rect = partRect(part);
        changeState(part, rect.contains(event->pos()) ? Hot : Normal, rect, Repaint::Part);
    }
}

void VYRQScrollBarImpl::mouseMoveEvent(QMouseEvent* event)
{
    for (int p = 0; p < PartCount; ++p) {
        const Part part = Part(p);
        const QRect rect = partRect(part);
        const CtrlState state = stateOf(part);
        if (rect.contains(event->pos())) {
            if (state != Pressed)
                changeState(part, Hot, rect, Repaint::Part);
        } else if (state == Hot || (state == Pressed && part != ThumbPart)) {
            // A dragged thumb stays Pressed when the pointer leaves its rectangle.
            changeState(part, Normal, rect, Repaint::Part);
        }
    }
}

void VYRQScrollBarImpl::leaveEvent(QEvent*)
{
    for (int p = 0; p < PartCount; ++p) {
        const Part part = Part(p);
        if (part == ThumbPart && thumbState == Pressed)
            continue;
        changeState(part, Normal, QRect(), Repaint::Whole);
    }
}


vyr::StyleSlots VYRQScrollBarImpl::styleSlots()
{
    return {{0, background}, {2, upButton}, {6, downButton}, {10, thumb}};
}

void VYRQScrollBarImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    // A missing icon key clears that icon.
    upIcon.clear();
    downIcon.clear();
    thumbIcon.clear();
    readOwnAttr(*attr, "upicon", upIcon);
    readOwnAttr(*attr, "downicon", downIcon);
    readOwnAttr(*attr, "thumbicon", thumbIcon);
    // The orientation belongs to the bar's owner: a theme element cannot change it.
    claimAttrKey("hor");
    if (!isApplyingTheme() && vyr::json::read(*attr, "hor", horizontal))
        q->setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical);
}

void VYRQScrollBarImpl::writeJson(Json::Value& element)
{
    Json::Value& attr = element["attr"];
    vyr::json::writeUnlessEmpty(attr, "upicon", upIcon);
    vyr::json::writeUnlessEmpty(attr, "downicon", downIcon);
    vyr::json::writeUnlessEmpty(attr, "thumbicon", thumbIcon);
    horizontal = q->orientation() == Qt::Horizontal;
    if (horizontal)
        attr["hor"] = 1;
}

// VYRQScrollBar

VYRQScrollBar::VYRQScrollBar(QWidget* parent)
    : VYRQScrollBar(Qt::Vertical, parent)
{
}

VYRQScrollBar::VYRQScrollBar(Qt::Orientation orientation, QWidget* parent)
    : VYRQControl(orientation, parent)
{
    setMouseTracking(true);
    finishConstruction();
}

VYRQScrollBar::~VYRQScrollBar() = default;

void VYRQScrollBar::setScrollbarBackground(CommonCtrlState, const FillStyle& style)
{
    impl()->background = style;
}

const FillStyle& VYRQScrollBar::getScrollbarBackground(CommonCtrlState) const
{
    return impl()->background;
}

void VYRQScrollBar::readStyleEntries(const Json::Value& element)
{
    impl()->readStyleEntries(element);
}

void VYRQScrollBar::setScrollbarUpButton(CtrlState state, const FillStyle& style)
{
    impl()->upButton.set(state, style);
}

const FillStyle& VYRQScrollBar::getScrollbarUpButton(CtrlState state) const
{
    return impl()->upButton.get(state);
}

void VYRQScrollBar::setScrollbarDownButton(CtrlState state, const FillStyle& style)
{
    impl()->downButton.set(state, style);
}

const FillStyle& VYRQScrollBar::getScrollbarDownButton(CtrlState state) const
{
    return impl()->downButton.get(state);
}

void VYRQScrollBar::setScrollbarThumb(CtrlState state, const FillStyle& style)
{
    impl()->thumb.set(state, style);
}

const FillStyle& VYRQScrollBar::getScrollbarThumb(CtrlState state) const
{
    return impl()->thumb.get(state);
}

void VYRQScrollBar::setScrollbarBtnIcon(bool up, const QString& icon)
{
    (up ? impl()->upIcon : impl()->downIcon) = icon;
}

const QString& VYRQScrollBar::getScrollbarBtnIcon(bool up) const
{
    return up ? impl()->upIcon : impl()->downIcon;
}

void VYRQScrollBar::setScrollbarThumbIcon(const QString& icon)
{
    impl()->thumbIcon = icon;
}

const QString& VYRQScrollBar::getScrollbarThumbIcon() const
{
    return impl()->thumbIcon;
}

void VYRQScrollBar::setScrollbarIconStyle(bool up, const IconStyleDesc& style)
{
    (up ? impl()->upIconStyle : impl()->downIconStyle) = style;
}

const IconStyleDesc& VYRQScrollBar::getScrollbarIconStyle(bool up) const
{
    return up ? impl()->upIconStyle : impl()->downIconStyle;
}

void VYRQScrollBar::setWidthHeight(int size)
{
    impl()->widthHeight = size;
}

int VYRQScrollBar::getWidthHeight() const
{
    return impl()->widthHeight;
}

CtrlState VYRQScrollBar::getThumbState() const
{
    return impl()->thumbState;
}

CtrlState VYRQScrollBar::getUpState() const
{
    return impl()->upState;
}

CtrlState VYRQScrollBar::getDownState() const
{
    return impl()->downState;
}

QSize VYRQScrollBar::sizeHint() const
{
    QSize hint = QScrollBar::sizeHint();
    const int size = impl()->widthHeight;
    if (size != -1) {
        if (orientation() == Qt::Horizontal)
            hint.setHeight(size);
        else
            hint.setWidth(size);
    }
    return hint;
}

void VYRQScrollBar::initStyleOption(QStyleOptionSlider* option) const
{
    if (option)
        QScrollBar::initStyleOption(option);
}

void VYRQScrollBar::enterEvent(QEvent* event)
{
    QScrollBar::enterEvent(event);
}

ControlInfo VYRQScrollBar::getProps()
{
    ControlInfo info =
        vyr::makeControlInfo<VYRQScrollBar>("ScrollBar", "Control RadioButton", "scrollbar");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQScrollBar::setScrollbarBackground,
                                           &VYRQScrollBar::getScrollbarBackground, vyr::commonStates()));
    info.rows.push_back(vyr::fillStatesRow("UpButton", &VYRQScrollBar::setScrollbarUpButton,
                                           &VYRQScrollBar::getScrollbarUpButton));
    info.rows.push_back(vyr::fillStatesRow("DownButton", &VYRQScrollBar::setScrollbarDownButton,
                                           &VYRQScrollBar::getScrollbarDownButton));
    info.rows.push_back(
        vyr::fillStatesRow("Thumb", &VYRQScrollBar::setScrollbarThumb, &VYRQScrollBar::getScrollbarThumb));
    info.rows.push_back(
        vyr::iconRow("Thumb", &VYRQScrollBar::setScrollbarThumbIcon, &VYRQScrollBar::getScrollbarThumbIcon));
    return info;
}

#include "moc_VYRQScrollBar.cpp"
