#include "VYRQPageElementScope_p.h"

#include "VYRQControl.h"

#include <QApplication>
#include <QFont>
#include <QMetaObject>
#include <QPalette>
#include <QWidget>

#include <cstring>

namespace {
thread_local const char* t_typeKey = nullptr;
thread_local const Json::Value* t_element = nullptr;
thread_local QWidget* t_parent = nullptr;
// The parent handed to a constructor, until its mixin names the widget it built.
thread_local QWidget* t_taker = nullptr;
thread_local bool t_settle = false;

// A widget is constructed as a bare QWidget first: under a parent its palette and font
// are resolved as a QWidget's, reparented afterwards as its own class's. The two only
// differ where the application holds a palette or font for one of its classes.
bool classHasOwnLook(const QMetaObject* meta)
{
    const QPalette& appPalette = QGuiApplication::palette();
    const QFont appFont = QGuiApplication::font();
    for (const QMetaObject* m = meta; m && m != &QWidget::staticMetaObject; m = m->superClass()) {
        if (!QApplication::palette(m->className()).isCopyOf(appPalette)
            || !QApplication::font(m->className()).isCopyOf(appFont))
            return true;
    }
    return false;
}
} // namespace

VYRQPageElementScope::VYRQPageElementScope(const char* typeKey, const Json::Value* element, QWidget* parent)
    : m_outerKey(t_typeKey)
    , m_outerElement(t_element)
    , m_outerParent(t_parent)
    , m_outerTaker(t_taker)
    , m_outerSettle(t_settle)
{
    t_typeKey = typeKey;
    t_element = element;
    // Under a parent that restyles its children (style sheet, own style) or passes on
    // a font or palette of its own, a constructor would see what it never saw
    // parentless (its size from the font, say): such a parent is left to the
    // reparenting after construction, where the control is complete.
    const bool plain = parent && !parent->testAttribute(Qt::WA_StyleSheet) && parent->style() == QApplication::style()
        && qApp && qApp->styleSheet().isEmpty() && parent->font() == QGuiApplication::font()
        && parent->palette() == QGuiApplication::palette();
    t_parent = plain ? parent : nullptr;
    t_taker = nullptr;
    t_settle = false;
}

VYRQPageElementScope::~VYRQPageElementScope()
{
    t_typeKey = m_outerKey;
    t_element = m_outerElement;
    t_parent = m_outerParent;
    t_taker = m_outerTaker;
    t_settle = m_outerSettle;
}

const Json::Value* VYRQPageElementScope::take(const char* typeKey)
{
    if (!t_element || !t_typeKey || !typeKey || std::strcmp(t_typeKey, typeKey) != 0)
        return nullptr;
    const Json::Value* element = t_element;
    t_element = nullptr;
    return element;
}

QWidget* VYRQPageElementScope::builtUnderParent() const
{
    return t_taker;
}

namespace vyr {

QWidget* pageParentFor(QWidget* parent, const char* typeKey, const QMetaObject* meta)
{
    // The first control constructed in the scope decides: a control that a factory
    // or constructor builds besides the element's own never takes the offer.
    QWidget* offered = t_parent;
    t_parent = nullptr;
    if (parent || !offered || !t_typeKey || !typeKey || std::strcmp(t_typeKey, typeKey) != 0
        || classHasOwnLook(meta))
        return parent;
    t_settle = true;
    return offered;
}

void settleUnderPageParent(QWidget* widget)
{
    if (!t_settle)
        return;
    t_settle = false;
    t_taker = widget;
    // A parentless widget starts at 640x480, a child at 100x30; the control's own
    // constructor and the element read start from the size they always had.
    const bool resized = widget->testAttribute(Qt::WA_Resized);
    widget->resize(640, 480);
    widget->setAttribute(Qt::WA_Resized, resized);
}

} // namespace vyr
