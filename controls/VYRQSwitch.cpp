#include "VYRQSwitch.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQSaturate_p.h"
#include "VYRQStateStyles.h"

#include <QPainter>
#include <QVariantAnimation>

#include <json/value.h>

namespace {

constexpr int defaultThumb = 25;
constexpr unsigned int defaultSpeed = 300;
constexpr int defaultMargin = 2;

// QVariantAnimation refuses a negative duration and keeps its old one, and an
// unsigned value above INT_MAX would turn negative on the way there.
unsigned int clampSpeed(double ms)
{
    if (!(ms > 0))
        return 0;
    if (ms >= double(VYRQSwitch::maxSwitchSpeed))
        return VYRQSwitch::maxSwitchSpeed;
    return unsigned(ms);
}

} // namespace

class VYRQSwitchImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQSwitchImpl(VYRQSwitch* owner);
    ~VYRQSwitchImpl() override;

    void drawControl(QPainter* painter, const QRect& rect) override;

    void startSlide();
    void valueChanged(const QVariant& value);
    void finished();

    int travel() const { return vyr::clampInt(qint64(q->width()) - 2 * qint64(margin) - thumbSize.width()); }
    QRect thumbRect() const
    {
        return vyr::safeRect(qint64(margin) + thumbOffset, margin, thumbSize.width(), thumbSize.height());
    }
    QRect leftBox() const { return vyr::safeRect(margin, margin, thumbSize.width(), thumbSize.height()); }
    // Not inset by the margin, unlike the left box.
    QRect rightBox(const QRect& rect) const
    {
        return vyr::safeRect(qint64(rect.width()) - thumbSize.width(), margin, thumbSize.width(), thumbSize.height());
    }

    bool showAllText = true;
    int thumbOffset = -1;
    bool animating = false;
    int margin = defaultMargin;
    bool showText = true;
    bool switchedToLeft = false;
    unsigned int speed = defaultSpeed;
    QString leftText = QStringLiteral("On");
    QString rightText = QStringLiteral("Off");
    QSize thumbSize = QSize(defaultThumb, defaultThumb);
    FillStyle background;
    vyr::FillStates thumbStyles;
    TextStyleDesc leftStyle;
    TextStyleDesc rightStyle;
    QVariantAnimation* animation = nullptr;

private:
    void drawTexts(QPainter* painter, const QRect& rect);
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQSwitch* q;
};

VYRQSwitchImpl::VYRQSwitchImpl(VYRQSwitch* owner)
    : VYRQWidgetBaseImpl(owner, VYRQSwitch::typeName())
    , animation(new QVariantAnimation(owner))
    , q(owner)
{
    connect(animation, &QVariantAnimation::valueChanged, this, &VYRQSwitchImpl::valueChanged);
    connect(animation, &QVariantAnimation::finished, this, &VYRQSwitchImpl::finished);
}

VYRQSwitchImpl::~VYRQSwitchImpl()
{
    // The animation belongs to the owner and outlives this object by a moment.
    animation->disconnect(this);
    animation->stop();
}

// ---------------------------------------------------------------------------
// Painting and sliding

void VYRQSwitchImpl::drawControl(QPainter* painter, const QRect& rect)
{
    // Placed once; later resizes leave the thumb at its pixel offset.
    if (thumbOffset == -1)
        thumbOffset = switchedToLeft ? 0 : travel();

    drawFillStyle(painter, background, rect);
    drawFillStyle(painter, thumbStyles.get(ctrlState()), thumbRect());
    if (showText)
        drawTexts(painter, rect);
}

// With both texts shown, the left style dresses the end where the thumb rests.
void VYRQSwitchImpl::drawTexts(QPainter* painter, const QRect& rect)
{
    const QRect left = leftBox();
    const QRect right = rightBox(rect);
    auto draw = [&](const QString& text, const TextStyleDesc& style, const QRect& box) {
        drawText(painter, text, style, box.x(), box.y(), box.width(), box.height(), true);
    };
    if (showAllText) {
        draw(leftText, switchedToLeft ? leftStyle : rightStyle, left);
        draw(rightText, switchedToLeft ? rightStyle : leftStyle, right);
    } else if (switchedToLeft) {
        draw(rightText, rightStyle, right);
    } else {
        draw(leftText, leftStyle, left);
    }
}

// A slide always starts from the end the side flag names, wherever the thumb was.
void VYRQSwitchImpl::startSlide()
{
    if (animating)
        return;
    animating = true;
    const int distance = travel();
    animation->setStartValue(switchedToLeft ? 0 : distance);
    animation->setEndValue(switchedToLeft ? distance : 0);
    animation->setDuration(int(speed));
    animation->start();
}

void VYRQSwitchImpl::valueChanged(const QVariant& value)
{
    thumbOffset = value.toInt();
    q->repaint();
}

void VYRQSwitchImpl::finished()
{
    animating = false;
    switchedToLeft = !switchedToLeft;
    q->repaint();
}

// ---------------------------------------------------------------------------
// JSON


vyr::StyleSlots VYRQSwitchImpl::styleSlots()
{
    return {{0, background}, {2, thumbStyles}, {6, leftStyle}, {7, rightStyle}};
}

void VYRQSwitchImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    // A page element says everything: a missing key means its default. A theme
    // element only changes what it names, so a theme refresh keeps what the
    // application set.
    const bool partial = isApplyingTheme();
    QString text;
    if (readOwnAttr(*attr, "leftText", text) || !partial)
        leftText = text;
    text.clear();
    if (readOwnAttr(*attr, "rightText", text) || !partial)
        rightText = text;
    int side = defaultThumb;
    if (readOwnAttr(*attr, "thumbW", side) || !partial)
        thumbSize.setWidth(side);
    side = defaultThumb;
    if (readOwnAttr(*attr, "thumbH", side) || !partial)
        thumbSize.setHeight(side);
    double ms = 0;
    if (readOwnAttr(*attr, "speed", ms))
        speed = clampSpeed(ms);
    bool on = false;
    if (readOwnAttr(*attr, "on", on) || !partial)
        switchedToLeft = !on;
    readOwnAttr(*attr, "margin", margin);
}

void VYRQSwitchImpl::writeJson(Json::Value& element)
{

    // Always present: a reader takes a missing "attr" as "leave everything", but a
    // present one without "on" as the left side.
    Json::Value& attr = element["attr"];
    if (!attr.isObject())
        attr = Json::Value(Json::objectValue);
    vyr::json::writeUnlessEmpty(attr, "leftText", leftText);
    vyr::json::writeUnlessEmpty(attr, "rightText", rightText);
    if (thumbSize.width() != 0)
        attr["thumbW"] = thumbSize.width();
    if (thumbSize.height() != 0)
        attr["thumbH"] = thumbSize.height();
    if (speed != defaultSpeed)
        attr["speed"] = speed;
    if (!switchedToLeft)
        attr["on"] = true;
    if (margin != defaultMargin)
        attr["margin"] = margin;
}

// ---------------------------------------------------------------------------
// VYRQSwitch

VYRQSwitch::VYRQSwitch(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
}

VYRQSwitch::~VYRQSwitch() = default;

void VYRQSwitch::setBackgroundStyle(CommonCtrlState, const FillStyle& style)
{
    impl()->background = style;
}

const FillStyle& VYRQSwitch::getBackgroundStyle(CommonCtrlState) const
{
    return impl()->background;
}

void VYRQSwitch::setThumbStyle(CtrlState state, const FillStyle& style)
{
    if (state < Normal || state > Disable)
        return;
    impl()->thumbStyles.set(state, style);
}

const FillStyle& VYRQSwitch::getThumbStyle(CtrlState state) const
{
    return impl()->thumbStyles.get(state);
}

void VYRQSwitch::setTextStyle(SwitchPosition position, const TextStyleDesc& style)
{
    (position == Left ? impl()->leftStyle : impl()->rightStyle) = style;
}

const TextStyleDesc& VYRQSwitch::getTextStyle(SwitchPosition position) const
{
    return position == Left ? impl()->leftStyle : impl()->rightStyle;
}

void VYRQSwitch::setLeftText(const QString& text)
{
    impl()->leftText = text;
}

const QString& VYRQSwitch::getLeftText() const
{
    return impl()->leftText;
}

void VYRQSwitch::setRightText(const QString& text)
{
    impl()->rightText = text;
}

const QString& VYRQSwitch::getRightText() const
{
    return impl()->rightText;
}

void VYRQSwitch::setThumbSize(int w, int h)
{
    impl()->thumbSize = QSize(w, h);
}

void VYRQSwitch::getThumbSize(int& w, int& h) const
{
    w = impl()->thumbSize.width();
    h = impl()->thumbSize.height();
}

void VYRQSwitch::setThumbBtnSize(const QSize& size)
{
    impl()->thumbSize = size;
}

const QSize& VYRQSwitch::getThumbBtnSize() const
{
    return impl()->thumbSize;
}

void VYRQSwitch::setSwitchSpeed(unsigned int ms)
{
    impl()->speed = clampSpeed(double(ms));
}

unsigned int VYRQSwitch::getSwitchSpeed() const
{
    return impl()->speed;
}

void VYRQSwitch::setMargin(int margin)
{
    impl()->margin = margin;
}

int VYRQSwitch::getMargin() const
{
    return impl()->margin;
}

void VYRQSwitch::setShowAllText(bool on)
{
    impl()->showAllText = on;
}

bool VYRQSwitch::getShowAllText() const
{
    return impl()->showAllText;
}

void VYRQSwitch::setSwitchToLeft(bool left)
{
    impl()->switchedToLeft = left;
}

bool VYRQSwitch::getIsSwitchToLeft() const
{
    return impl()->switchedToLeft;
}

void VYRQSwitch::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

bool VYRQSwitch::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

// Every mouse button slides the thumb; no QWidget handler runs.
void VYRQSwitch::mousePressEvent(QMouseEvent* event)
{
    impl()->mousePressEvent(event);
    impl()->startSlide();
}

void VYRQSwitch::mouseReleaseEvent(QMouseEvent* event)
{
    impl()->mouseReleaseEvent(event);
}

void VYRQSwitch::enterEvent(QEvent* event)
{
    impl()->enterEvent(event);
}

void VYRQSwitch::leaveEvent(QEvent* event)
{
    impl()->leaveEvent(event);
}

// ---------------------------------------------------------------------------
// Designer record

ControlInfo VYRQSwitch::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQSwitch>("Slider", "Control Slider", "switch");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQSwitch::setBackgroundStyle,
                                           &VYRQSwitch::getBackgroundStyle, vyr::commonStates()));
    info.rows.push_back(vyr::fillStatesRow("Thumb", &VYRQSwitch::setThumbStyle, &VYRQSwitch::getThumbStyle));
    info.rows.push_back(vyr::textStatesRow("TextStyle", &VYRQSwitch::setTextStyle, &VYRQSwitch::getTextStyle,
                                           {{Left, "Left"}, {Right, "Right"}}));
    info.rows.push_back(vyr::textRow("LeftText", &VYRQSwitch::setLeftText, &VYRQSwitch::getLeftText));
    info.rows.push_back(vyr::textRow("RightText", &VYRQSwitch::setRightText, &VYRQSwitch::getRightText));
    info.rows.push_back(vyr::intRow("Speed", &VYRQSwitch::setSwitchSpeed, &VYRQSwitch::getSwitchSpeed));
    info.rows.push_back(vyr::sizeRow("ThumbSize", &VYRQSwitch::setThumbBtnSize, &VYRQSwitch::getThumbBtnSize));
    info.rows.push_back(vyr::boolRow("DefaultIsLeft", &VYRQSwitch::setSwitchToLeft, &VYRQSwitch::getIsSwitchToLeft));
    info.rows.push_back(vyr::intRow("Margin", &VYRQSwitch::setMargin, &VYRQSwitch::getMargin));
    return info;
}

// The meta-object code needs the complete implementation class.
#include "moc_VYRQSwitch.cpp"
