#pragma once
// Small helpers shared by the label, button and image tests.

#include "IVYRQWidgetBase.h"
#include "VYRQJson.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>

#include <json/value.h>

namespace ctl {

inline Json::Value parse(const QByteArray& text)
{
    Json::Value value;
    vyr::json::parse(text, value);
    return value;
}

inline Json::Value write(IVYRQWidgetBase& control)
{
    Json::Value value;
    control.serializeJsonValue(&value, false);
    return value;
}

inline QImage render(QWidget& w, const QColor& paper = Qt::white)
{
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(paper);
    w.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

inline QColor pixel(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

// Events sent straight to the widget, as the window system would deliver them.
inline void mouse(QWidget& w, QEvent::Type type, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent event(type, pos, w.mapToGlobal(pos), changed, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

inline void hover(QWidget& w, bool in)
{
    QEvent event(in ? QEvent::Enter : QEvent::Leave);
    QApplication::sendEvent(&w, &event);
}

inline QString str(const Json::Value& v)
{
    return vyr::json::toQString(v);
}

} // namespace ctl
