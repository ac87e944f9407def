#include "VYRQProgressBar.h"

#include "VYRQJson.h"
#include "VYRQPropertyRows.h"
#include "VYRQStateStyles.h"

#include <QPainter>
#include <QPolygon>
#include <QRegion>

#include <json/value.h>

#include <algorithm>
#include <climits>
#include <cmath>

class VYRQProgressBarImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQProgressBarImpl(VYRQProgressBar* owner)
        : VYRQWidgetBaseImpl(owner, VYRQProgressBar::typeName())
        , q(owner)
    {
    }

    void paintEvent() override;
    void drawControl(QPainter* painter, const QRect& rect) override;

    double doneFraction() const;
    QRect barForegroundRect(const QRect& rect, double fraction) const;
    void drawCircle(QPainter* painter, int w, int h, double fraction);
    void buildSweep(int w, int h, double fraction);
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQProgressBar* q;
    bool circle = false;
    // A full turn from straight down until code sets a range, so that a circle bar
    // between empty and full is drawn sensibly from the start.
    int startAngle = 0;
    int endAngle = 360;
    bool showText = false;
    TextStyleDesc textStyle;
    FillStyle background;
    FillStyle foreground;
    // Reused between paints; holds at most one point per degree plus the centre twice.
    QPolygon sweep;
};

// The done share: the value (not value - minimum) over the length of the range,
// held to 0..1 so that neither a value outside the range nor an empty range can
// stretch the foreground beyond the bar or the sweep beyond one turn.
double VYRQProgressBarImpl::doneFraction() const
{
    const double value = q->value();
    const double span = double(q->maximum()) - double(q->minimum());
    if (span <= 0.0)
        return value >= double(q->maximum()) ? 1.0 : 0.0;
    return std::clamp(value / span, 0.0, 1.0);
}

QRect VYRQProgressBarImpl::barForegroundRect(const QRect& rect, double fraction) const
{
    if (q->orientation() == Qt::Vertical) {
        const int done = int(fraction * rect.height());
        return QRect(rect.left(), rect.top() + rect.height() - done, rect.width(), done);
    }
    return QRect(rect.left(), rect.top(), int(fraction * rect.width()), rect.height());
}

void VYRQProgressBarImpl::buildSweep(int w, int h, double fraction)
{
    const double span = std::max(double(endAngle) - double(startAngle), 0.0);
    // The sweep ends at this degree itself, not at startAngle plus it, and never runs
    // more than one turn past the start.
    const double reach = std::min({fraction * span, double(startAngle) + 360.0, double(INT_MAX)});
    const int end = int(reach);
    const int radius = std::max(w, h);
    const QPoint centre(w / 2, h / 2);

    sweep.resize(0);
    sweep.reserve(362);
    sweep << centre;
    for (int degree = startAngle; degree < end; ++degree) {
        const float theta = float(degree / 180.0 * 3.1415926);
        sweep << QPoint(centre.x() - int(std::sin(theta) * radius), centre.y() + int(std::cos(theta) * radius));
    }
    sweep << centre;
}

void VYRQProgressBarImpl::drawCircle(QPainter* painter, int w, int h, double fraction)
{
    drawFillStyle(painter, background, 0, 0, w, h);
    const int value = q->value();
    if (value == 0)
        return;
    painter->save();
    if (value == q->maximum()) {
        drawFillStyle(painter, foreground, 0, 0, w, h);
    } else {
        buildSweep(w, h, fraction);
        // The centre alone encloses nothing: no degree is swept.
        if (sweep.size() > 2) {
            painter->setClipRegion(QRegion(sweep, Qt::OddEvenFill));
            drawFillStyle(painter, foreground, 0, 0, w, h);
        }
    }
    painter->restore();
}

void VYRQProgressBarImpl::paintEvent()
{
    // The bar has no interaction state to correct.
    QPainter painter(q);
    drawControl(&painter, QRect(0, 0, q->width(), q->height()));
}

void VYRQProgressBarImpl::drawControl(QPainter* painter, const QRect& rect)
{
    const double fraction = doneFraction();
    if (circle) {
        drawCircle(painter, rect.width(), rect.height(), fraction);
    } else {
        drawFillStyle(painter, background, rect);
        drawFillStyle(painter, foreground, barForegroundRect(rect, fraction));
    }
    if (showText)
        drawText(painter, QStringLiteral("%1%").arg(q->value()), textStyle, rect.left(), rect.top(),
                 rect.width(), rect.height(), true);
}


vyr::StyleSlots VYRQProgressBarImpl::styleSlots()
{
    return {{0, background}, {2, foreground}, {4, textStyle}};
}

void VYRQProgressBarImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    readOwnAttr(*attr, "showText", showText);
    int value = 0;
    readOwnAttr(*attr, "val", value);
    q->setValue(value);
}

void VYRQProgressBarImpl::writeJson(Json::Value& element)
{
    // Always present, null when nothing goes into it.
    Json::Value& attr = element["attr"];
    if (showText)
        attr["showText"] = 1;
    if (q->value() != 0)
        attr["val"] = q->value();
}

// VYRQProgressBar

VYRQProgressBar::VYRQProgressBar(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
}

VYRQProgressBar::~VYRQProgressBar() = default;

void VYRQProgressBar::setBackground(CommonCtrlState, const FillStyle& style)
{
    impl()->background = style;
}

const FillStyle& VYRQProgressBar::getBackground(CommonCtrlState) const
{
    return impl()->background;
}

void VYRQProgressBar::setForeground(CommonCtrlState, const FillStyle& style)
{
    impl()->foreground = style;
}

const FillStyle& VYRQProgressBar::getForeground(CommonCtrlState) const
{
    return impl()->foreground;
}

void VYRQProgressBar::setShowText(bool show)
{
    if (impl()->showText == show)
        return;
    impl()->showText = show;
    update();
}

bool VYRQProgressBar::getShowText() const
{
    return impl()->showText;
}

void VYRQProgressBar::setCircleProgressBar(bool circle)
{
    impl()->circle = circle;
}

bool VYRQProgressBar::getIsCircleProgressBar() const
{
    return impl()->circle;
}

void VYRQProgressBar::setCircleAngleRange(int a, int b)
{
    if (a < 1 || b <= a)
        return;
    impl()->startAngle = a;
    impl()->endAngle = b;
}

void VYRQProgressBar::getCirleAngleRange(int& a, int& b) const
{
    a = impl()->startAngle;
    b = impl()->endAngle;
}

ControlInfo VYRQProgressBar::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQProgressBar>("ProgressBar",
                                            "Control ProgressBar", "progressbar");
    info.rows.push_back(vyr::fillStatesRow("Background", &VYRQProgressBar::setBackground,
                                           &VYRQProgressBar::getBackground, vyr::commonStates()));
    info.rows.push_back(vyr::fillStatesRow("Foreground", &VYRQProgressBar::setForeground,
                                           &VYRQProgressBar::getForeground, vyr::commonStates()));
    info.rows.push_back(vyr::boolRow("ShowText", &VYRQProgressBar::setShowText, &VYRQProgressBar::getShowText));
    return info;
}

#include "moc_VYRQProgressBar.cpp"
