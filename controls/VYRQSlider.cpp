#include "VYRQSlider.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQSaturate_p.h"
#include "VYRQStateStyles.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include <json/value.h>

class VYRQSliderImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQSliderImpl(VYRQSlider* owner)
        : VYRQWidgetBaseImpl(owner, VYRQSlider::typeName())
        , q(owner)
    {
    }

    void drawControl(QPainter* painter, const QRect& rect) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEvent*) override {}
    void leaveEvent(QEvent* event) override;

    QRect thumbRect() const;
    void changeState(CtrlState state);
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQSlider* q;
    FillStyle background;
    FillStyle foreground;
    vyr::FillStates thumb;
    int channelSize = 10;
    int thumbW = 20;
    int thumbH = 20;
};

QRect VYRQSliderImpl::thumbRect() const
{
    QStyleOptionSlider option;
    q->initStyleOption(&option);
    QRect rect = q->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, q);
    return vyr::safeRect(rect.x(), rect.y(), thumbW, thumbH);
}

void VYRQSliderImpl::changeState(CtrlState state)
{
    // setCtrlState repaints the whole control at once when the state changes.
    setCtrlState(state);
}

void VYRQSliderImpl::drawControl(QPainter* painter, const QRect& rect)
{
    const qint64 range = qint64(q->maximum()) - q->minimum();
    const qint64 divisor = range == 0 ? 100 : range;
    // The value itself is divided, not value - minimum: stored pages rely on it.
    const float fraction = float(q->value()) / float(divisor);
    if (q->orientation() == Qt::Horizontal) {
        const int fill = vyr::clampInt(double(fraction) * rect.width());
        const int y = vyr::clampInt((qint64(rect.height()) - channelSize) / 2 + rect.top());
        drawFillStyle(painter, background, rect.left(), y, rect.width(), channelSize);
        drawFillStyle(painter, foreground, rect.left(), y, fill, channelSize);
    } else {
        const int fill = vyr::clampInt(double(fraction) * rect.height());
        const int x = vyr::clampInt((qint64(rect.width()) - channelSize) / 2 + rect.left());
        drawFillStyle(painter, background, x, rect.top(), channelSize, rect.height());
        drawFillStyle(painter, foreground, x, vyr::subSat(rect.bottom(), fill), channelSize, fill);
    }
    drawFillStyle(painter, thumb.get(ctrlState()), thumbRect());
}

void VYRQSliderImpl::mousePressEvent(QMouseEvent* event)
{
    if (ctrlState() != Pressed && thumbRect().contains(event->pos()))
        changeState(Pressed);
}

void VYRQSliderImpl::mouseReleaseEvent(QMouseEvent* event)
{
    changeState(thumbRect().contains(event->pos()) ? Hot : Normal);
}

void VYRQSliderImpl::mouseMoveEvent(QMouseEvent* event)
{
    if (ctrlState() == Pressed)
        return;
    changeState(thumbRect().contains(event->pos()) ? Hot : Normal);
}

void VYRQSliderImpl::leaveEvent(QEvent*)
{
    changeState(Normal);
}


vyr::StyleSlots VYRQSliderImpl::styleSlots()
{
    return {{0, background}, {2, foreground}, {4, thumb}};
}

void VYRQSliderImpl::readJson(const Json::Value& element)
{
    // Theme defaults (a theme change included) change only what the theme element
    // names: a refresh must not reset the orientation, range or value of a live slider.
    const bool theme = isApplyingTheme();
    const Json::Value* attr = vyr::json::object(element, "attr");
    // The writer leaves "attr" null when every key has its default; read back, that
    // is an empty object, so such a slider reloads as it was saved.
    static const Json::Value emptyAttr(Json::objectValue);
    if (!attr && !theme) {
        const Json::Value* present = vyr::json::member(element, "attr");
        if (present && present->isNull())
            attr = &emptyAttr;
    }
    if (!attr)
        return;

    bool horizontal = true;
    if (readOwnAttr(*attr, "isHor", horizontal) || !theme)
        q->setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical);

    readOwnAttr(*attr, "thumbW", thumbW);
    readOwnAttr(*attr, "thumbH", thumbH);
    readOwnAttr(*attr, "channelSize", channelSize);

    int minimum = q->minimum();
    // An absent "max" means the writer's default, so a maximum of 100 survives a
    // save and reload into a slider that starts at Qt's 99.
    int maximum = theme ? q->maximum() : 100;
    const bool hasMin = readOwnAttr(*attr, "min", minimum);
    const bool hasMax = readOwnAttr(*attr, "max", maximum);
    if (!theme || hasMin || hasMax) {
        q->setMaximum(maximum);
        q->setMinimum(minimum);
    }

    int value = 0;
    if (readOwnAttr(*attr, "val", value) || !theme)
        q->setSliderPosition(value);
}

void VYRQSliderImpl::writeJson(Json::Value& element)
{
    Json::Value& attr = element["attr"];
    if (q->orientation() == Qt::Vertical)
        attr["isHor"] = 0;
    if (thumbW != 20)
        attr["thumbW"] = thumbW;
    if (thumbH != 20)
        attr["thumbH"] = thumbH;
    if (channelSize != 10)
        attr["channelSize"] = channelSize;
    if (q->minimum() != 0)
        attr["min"] = q->minimum();
    if (q->maximum() != 100)
        attr["max"] = q->maximum();
    if (q->value() != 0)
        attr["val"] = q->value();
}

// VYRQSlider

VYRQSlider::VYRQSlider(QWidget* parent, Qt::Orientation orientation)
    : VYRQControl(parent)
{
    setOrientation(orientation);
    finishConstruction();
}

VYRQSlider::~VYRQSlider() = default;

void VYRQSlider::setBackgroundStyle(CommonCtrlState, const FillStyle& style)
{
    impl()->background = style;
}

const FillStyle& VYRQSlider::getBackgroundStyle(CommonCtrlState) const
{
    return impl()->background;
}

void VYRQSlider::setForegroundStyle(CommonCtrlState, const FillStyle& style)
{
    impl()->foreground = style;
}

const FillStyle& VYRQSlider::getForegroundStyle(CommonCtrlState) const
{
    return impl()->foreground;
}

void VYRQSlider::setThumbStyle(CtrlState state, const FillStyle& style)
{
    impl()->thumb.set(state, style);
}

const FillStyle& VYRQSlider::getThumbStyle(CtrlState state) const
{
    return impl()->thumb.get(state);
}

void VYRQSlider::setIsHorizontal(bool horizontal)
{
    setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical);
}

bool VYRQSlider::getIsHorizontal() const
{
    return orientation() == Qt::Horizontal;
}

void VYRQSlider::setThumbSize(int w, int h)
{
    impl()->thumbW = w;
    impl()->thumbH = h;
}

void VYRQSlider::getThumbSize(int& w, int& h) const
{
    w = impl()->thumbW;
    h = impl()->thumbH;
}

QSize VYRQSlider::getThumbBtnSize() const
{
    return QSize(impl()->thumbW, impl()->thumbH);
}

void VYRQSlider::setChannelHeight(int size)
{
    impl()->channelSize = size;
}

int VYRQSlider::getChannelHeight() const
{
    return impl()->channelSize;
}

int VYRQSlider::getSliderLength() const
{
    return orientation() == Qt::Horizontal ? impl()->thumbW : impl()->thumbH;
}

QRect VYRQSlider::getThumbRect() const
{
    return impl()->thumbRect();
}

// Qt moves the slider first; the thumb state follows from where it ended up.
void VYRQSlider::mousePressEvent(QMouseEvent* event)
{
    QSlider::mousePressEvent(event);
    impl()->mousePressEvent(event);
}

void VYRQSlider::mouseReleaseEvent(QMouseEvent* event)
{
    QSlider::mouseReleaseEvent(event);
    impl()->mouseReleaseEvent(event);
}

void VYRQSlider::mouseMoveEvent(QMouseEvent* event)
{
    QSlider::mouseMoveEvent(event);
    impl()->mouseMoveEvent(event);
}

void VYRQSlider::enterEvent(QEvent* event)
{
    QWidget::enterEvent(event);
    impl()->enterEvent(event);
    setMouseTracking(true);
}

void VYRQSlider::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    impl()->leaveEvent(event);
    setMouseTracking(false);
}

ControlInfo VYRQSlider::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQSlider>("Slider", "Control Slider", "slider");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQSlider::setBackgroundStyle,
                                           &VYRQSlider::getBackgroundStyle, vyr::commonStates()));
    info.rows.push_back(vyr::fillStatesRow("Foreground", &VYRQSlider::setForegroundStyle,
                                           &VYRQSlider::getForegroundStyle, vyr::commonStates()));
    info.rows.push_back(vyr::fillStatesRow("Thumb", &VYRQSlider::setThumbStyle, &VYRQSlider::getThumbStyle));
    info.rows.push_back(vyr::boolRow("IsHorizontal", &VYRQSlider::setIsHorizontal, &VYRQSlider::getIsHorizontal));
    info.rows.push_back(vyr::sizeRow("ThumbWidth", &VYRQSlider::setThumbSize, &VYRQSlider::getThumbBtnSize));
    info.rows.push_back(vyr::intRow<VYRQSlider>("MaxValue", &QAbstractSlider::setMaximum, &QAbstractSlider::maximum));
    info.rows.push_back(vyr::intRow<VYRQSlider>("MinValue", &QAbstractSlider::setMinimum, &QAbstractSlider::minimum));
    info.rows.push_back(vyr::intRow<VYRQSlider>("Value", &QAbstractSlider::setValue, &QAbstractSlider::value));
    return info;
}

#include "moc_VYRQSlider.cpp"
