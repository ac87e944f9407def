#include "CScrollBarStyle.h"

#include "VYRQGlobal.h"
#include "VYRQSlider.h"

#include <QPointer>
#include <QStyleFactory>

CScrollBarStyle::CScrollBarStyle()
    : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

CScrollBarStyle::~CScrollBarStyle() = default;

QRect CScrollBarStyle::subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const
{
    return QCommonStyle::subElementRect(element, option, widget);
}

QRect CScrollBarStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                      SubControl subControl, const QWidget* widget) const
{
    QRect rect = QCommonStyle::subControlRect(control, option, subControl, widget);
    if (control == CC_Slider && subControl == SC_SliderHandle) {
        if (const auto* slider = qobject_cast<const VYRQSlider*>(widget)) {
            int thumbW = 0;
            int thumbH = 0;
            slider->getThumbSize(thumbW, thumbH);
            // Only the placement across the slider changes; the position along the
            // groove stays the common style's.
            if (slider->orientation() == Qt::Vertical)
                rect.moveLeft((widget->width() - thumbW) / 2);
            else
                rect.moveTop((widget->height() - thumbH) / 2);
            rect.setWidth(thumbW);
            rect.setHeight(thumbH);
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
