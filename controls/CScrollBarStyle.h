#pragma once

#include "VYRQExport.h"

#include <QProxyStyle>

// The application style the library installs at start-up: a proxy over Fusion
// (named explicitly, so metrics do not depend on the desktop) that answers every
// sub-control and sub-element rectangle with Qt's common style and gives
// VYRQSlider its thumb length and its centred, fixed-size thumb rectangle.
// Painting and every other question go to Fusion.
class VYRQTLIB_EXPORT CScrollBarStyle : public QProxyStyle {
    Q_OBJECT
public:
    CScrollBarStyle();
    ~CScrollBarStyle() override;

    QRect subElementRect(SubElement element, const QStyleOption* option, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl subControl,
                         const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};
