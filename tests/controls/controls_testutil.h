#pragma once
// Small helpers shared by the control tests: ctl for all of them, sty for the tests
// of the styled controls, which also run several test classes in one executable.

#include "IVYRQWidgetBase.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQStyleDefs.h"
#include "specialfiles.h"

#include <QApplication>
#include <QFile>
#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>

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

inline QImage render(QWidget& w, const QColor& paper = Qt::white, QWidget::RenderFlags flags = {})
{
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(paper);
    w.render(&image, QPoint(), QRegion(), flags);
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

// Shows a widget and waits until the window system exposes it.
inline bool shown(QWidget& w)
{
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

// 35 bytes: a GIF of a 16000 x 16000 screen holding one pixel, which decodes to 1 GB.
inline QByteArray hugeGif()
{
    return QByteArray::fromHex("474946383961803e803e800000000000ffffff2c000000000100010000020244" "01003b");
}

// At `path`, as `kind` says: a FIFO that `writer` fills with `bytes` after a few
// seconds (a reader blocked on it goes on, so a test fails instead of hanging), a link
// to an endless device, or a file of `bytes`.
inline bool placeFile(const QString& path, const QString& kind, const QByteArray& bytes,
                      std::unique_ptr<specialfiles::FifoWriter>& writer)
{
    if (kind == QLatin1String("fifo")) {
        if (!specialfiles::fifo(path))
            return false;
        writer = std::make_unique<specialfiles::FifoWriter>(QStringList{ path }, 5000, bytes);
        return true;
    }
    if (kind == QLatin1String("device"))
        return specialfiles::linkToEndlessDevice(path);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace ctl

namespace sty {

// Reads a page element given as JSON text into a control.
inline bool load(IVYRQWidgetBase& control, const QByteArray& element)
{
    Json::Value value = ctl::parse(element);
    return control.readJsonValue(&value);
}

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

inline void addText(const QString& name, const QColor& color = Qt::black)
{
    TextStyleDesc style = text(name, color);
    VYRQResourceManager::getInstance()->setTextStyle(name, style);
}

inline void addFills(std::initializer_list<std::pair<const char*, QColor>> fills)
{
    for (const auto& fill : fills)
        addFill(QString::fromLatin1(fill.first), fill.second);
}

inline void addTexts(std::initializer_list<const char*> names)
{
    for (const char* name : names)
        addText(QString::fromLatin1(name));
}

// Saves an image of one colour, for the controls that take picture files.
inline bool saveSolid(const QString& path, const QSize& size, const QColor& color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image.save(path);
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
inline QImage renderAll(QWidget& w)
{
    return ctl::render(w, Qt::white, QWidget::DrawChildren);
}

inline void focus(QWidget& w, bool in)
{
    QFocusEvent event(in ? QEvent::FocusIn : QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(&w, &event);
}

// Left edge of what drawing a toggle's text changes in it; -1 when nothing was drawn.
template <class Toggle>
int textLeft(Toggle& toggle)
{
    toggle.setShowText(false);
    const QImage without = ctl::render(toggle);
    toggle.setShowText(true);
    const QImage with = ctl::render(toggle);
    for (int x = 0; x < with.width(); ++x)
        for (int y = 0; y < with.height(); ++y)
            if (with.pixel(x, y) != without.pixel(x, y))
                return x;
    return -1;
}

// Writes a theme set (its style and theme files) into a directory and loads it.
inline bool loadTheme(const QTemporaryDir& dir, const QByteArray& styles, const QByteArray& theme)
{
    for (const auto& [name, text] : {std::pair<QString, QByteArray>{"style.json", styles}, {"theme.json", theme}}) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return false;
    }
    return vyrLoadThemeDir(dir.path().toUtf8().constData());
}

// A loaded theme set stays for the rest of the process, and a failed load leaves
// none: a class whose last case loads a theme drops it for the classes after it.
inline void dropTheme()
{
    vyrLoadThemeFile("");
}

// Test classes of one executable, run by suites_main.cpp in the order given.
struct Suite {
    const QMetaObject* meta;
    std::function<int(int, char**)> run;
};

inline std::map<int, Suite>& suites()
{
    static std::map<int, Suite> all;
    return all;
}

template <class Test>
bool addSuite(int order)
{
    suites()[order] = {&Test::staticMetaObject, [](int argc, char** argv) {
                           Test test;
                           return QTest::qExec(&test, argc, argv);
                       }};
    return true;
}

} // namespace sty

#define VYR_TEST_SUITE(Class, order) [[maybe_unused]] static const bool registered##Class = sty::addSuite<Class>(order);
