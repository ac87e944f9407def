#include "CScrollBarStyle.h"

#include "VYRQGlobal.h"
#include "VYRQSaturate_p.h"
#include "VYRQSlider.h"

#include <QPointer>
#include <QStyleOptionSlider>
#include <QStyleFactory>

#include <climits>

CScrollBarStyle::CScrollBarStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

CScrollBarStyle::~CScrollBarStyle() = default;

QRect CScrollBarStyle::subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const
{
    return QCommonStyle::subElementRect(element, option, widget);
}

namespace {

// QStyle's slider arithmetic takes maximum - minimum as an int and fails (a division
// by zero) on a wider range, which a page may give: such a range is halved, with
// the position, before it is measured.
const QStyleOptionComplex* fittedSliderOption(const QStyleOptionComplex* option, QStyleOptionSlider& copy)
{
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (!slider || qint64(slider->maximum) - slider->minimum <= INT_MAX)
        return option;
    copy = *slider;
    copy.minimum /= 2;
    copy.maximum /= 2;
    copy.sliderPosition /= 2;
    copy.sliderValue /= 2;
    return &copy;
}

} // namespace

QRect CScrollBarStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                      SubControl subControl, const QWidget* widget) const
{
    QStyleOptionSlider fitted;
    QRect rect = QCommonStyle::subControlRect(control, fittedSliderOption(option, fitted), subControl, widget);
    if (control == CC_Slider && subControl == SC_SliderHandle) {
        if (const auto* slider = qobject_cast<const VYRQSlider*>(widget)) {
            int thumbW = 0;
            int thumbH = 0;
            slider->getThumbSize(thumbW, thumbH);
            // Only the placement across the slider changes; the position along the
            // groove stays the common style's.
            if (slider->orientation() == Qt::Vertical)
                rect.moveLeft(vyr::clampInt((qint64(widget->width()) - thumbW) / 2));
            else
                rect.moveTop(vyr::clampInt((qint64(widget->height()) - thumbH) / 2));
            rect = vyr::safeRect(rect.x(), rect.y(), thumbW, thumbH);
        }
    }
    return rect;
}

int CScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    if (metric == PM_SliderLength) {
        if (const auto* slider = qobject_cast<const VYRQSlider*>(widget))
            return slider->getSliderLength();
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QStyle* vyrGetStyle()
{
    // QApplication::setStyle takes ownership and deletes the style when it is
    // replaced or at exit; the guard notices that and makes a new one on demand.
    static QPointer<CScrollBarStyle> style;
    if (!style)
        style = new CScrollBarStyle;
    return style.data();
}

#include "moc_CScrollBarStyle.cpp"
