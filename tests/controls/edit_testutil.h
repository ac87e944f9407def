#pragma once
// Helpers shared by the line edit, text edit and combo box tests.

#include "controls_testutil.h"

#include "VYRQResourceManager.h"
#include "VYRQStyleDefs.h"

#include <QFocusEvent>
#include <QStringList>

namespace edt {

inline FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    return style;
}

inline TextStyleDesc text(const QString& name, const QColor& color, int hor = 0, int x = 0)
{
    TextStyleDesc style;
    style.name = name;
    style.color = color;
    style.hor = hor;
    style.x = x;
    return style;
}

// Named styles in the set the controls search.
inline void addFill(const QString& name, const QColor& color)
{
    FillStyle style = solid(name, color);
    VYRQResourceManager::getInstance()->setFillStyle(name, style);
}

inline void addText(const QString& name, const QColor& color)
{
    TextStyleDesc style = text(name, color);
    VYRQResourceManager::getInstance()->setTextStyle(name, style);
}

inline bool near(const QColor& a, const QColor& b)
{
    return qAbs(a.red() - b.red()) <= 2 && qAbs(a.green() - b.green()) <= 2 && qAbs(a.blue() - b.blue()) <= 2;
}

template <class States>
QStringList names(const States& states)
{
    QStringList out;
    for (const auto& s : states.raw())
        out << s.name;
    return out;
}

// "name:kind:slot" per entry of a written "style" array.
inline QStringList entries(const Json::Value& styles)
{
    QStringList out;
    for (const Json::Value& e : styles)
        out << QStringLiteral("%1:%2:%3").arg(ctl::str(e[0])).arg(e[1].asInt()).arg(e[2].asInt());
    return out;
}

// Rendered with its children: a scroll area paints in its viewport.
inline QImage renderAll(QWidget& w, const QColor& paper = Qt::white)
{
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(paper);
    w.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline void focus(QWidget& w, bool in)
{
    QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(&w, &event);
}

} // namespace edt
