#pragma once

#include "VYRQExport.h"

// Builders of designer property rows from a control's setter and getter:
//
//   info.rows.push_back(vyr::fillStatesRow("Background", &VYRQFoo::setBackground, &VYRQFoo::getBackground));
//   info.rows.push_back(vyr::boolRow("ShowText", &VYRQFoo::setShowText, &VYRQFoo::getShowText));
//
// The control class comes from the member pointers. An accessor the control inherits
// from a Qt class has that class's type (`&VYRQFoo::text` is a `QString (QLineEdit::*)() const`),
// and a row deduced from it would act on any QLineEdit; such rows name the control first,
// `vyr::textRow<VYRQFoo>("Text", &QLineEdit::setText, &QLineEdit::text)`, and the build
// rejects them otherwise.
//
// The accessors of a row do nothing, or return an empty value, when their target is not
// of the control class.

#include "ControlInfo.h"
#include "IVYRQWidgetBase.h"
#include "VYRQStyleDefs.h"
#include "VYRQTypes.h"

#include <QColor>
#include <QMargins>
#include <QObject>
#include <QSize>
#include <QString>
#include <QVector>

#include <initializer_list>
#include <type_traits>

namespace vyr {

// The choices of a per-state or enumeration row: each value with its label.
struct VYRQTLIB_EXPORT RowOption {
    int value;
    const char* label;
};

struct VYRQTLIB_EXPORT RowOptions {
    RowOptions(std::initializer_list<RowOption> options)
    {
        for (const RowOption& option : options) {
            values.push_back(option.value);
            labels.push_back(QString::fromUtf8(option.label));
        }
    }

    QVector<int> values;
    QVector<QString> labels;
};

inline RowOptions allStates()
{
    return {{Normal, "Normal"}, {Hot, "Hot"}, {Pressed, "Pressed"}, {Disable, "Disable"}};
}

inline RowOptions commonStates()
{
    return {{CommonNormal, "Normal"}, {CommonDisable, "Disable"}};
}

inline RowOptions normalStateOnly()
{
    return {{Normal, "Normal"}};
}

inline RowOptions normalAndDisableStates()
{
    return {{Normal, "Normal"}, {Disable, "Disable"}};
}

inline RowOptions checkTextStates()
{
    return {{TextChecked, "Checked"}, {TextUnchecked, "Unchecked"}, {TextDisable, "Disable"}};
}

inline RowOptions dockAlignments()
{
    return {{DockNear, "Left"}, {DockCenter, "Center"}, {DockFar, "Right"}};
}

// Argument orders of four-int margin accessors.
enum class MarginOrder { LeftTopRightBottom, TopBottomLeftRight };

namespace detail {

template <class C, class = void>
struct hasDesignerRecord : std::false_type {};
template <class C>
struct hasDesignerRecord<C, std::void_t<decltype(&C::getProps)>> : std::true_type {};

// The class a row's accessors cast their target to: the one given, or else the
// more derived of the setter's and the getter's class.
template <class Given, class SetClass, class GetClass>
struct RowClass {
    using type = std::conditional_t<!std::is_void<Given>::value, Given,
                                    std::conditional_t<std::is_base_of<SetClass, GetClass>::value, GetClass, SetClass>>;
    static_assert(std::is_base_of<SetClass, type>::value && std::is_base_of<GetClass, type>::value,
                  "the setter and the getter must belong to the row's control class");
    static_assert(std::is_base_of<IVYRQWidgetBase, type>::value || hasDesignerRecord<type>::value,
                  "accessors inherited from a Qt class: name the control class, e.g. vyr::intRow<VYRQFoo>(...)");
};

template <class Given, class SetClass, class GetClass>
using RowClassT = typename RowClass<Given, SetClass, GetClass>::type;

// Whether C declares a meta-object of its own (Q_OBJECT), which qobject_cast needs.
template <class C, class = void>
struct declaresMetaObject : std::false_type {};
template <class C>
struct declaresMetaObject<C, std::void_t<decltype(&C::qt_metacall)>>
    : std::is_same<decltype(&C::qt_metacall), int (C::*)(QMetaObject::Call, int, void**)> {};

template <class C>
C* rowTarget(QObject* o)
{
    if constexpr (std::is_base_of<QObject, C>::value && declaresMetaObject<C>::value)
        return qobject_cast<C*>(o);
    else
        return dynamic_cast<C*>(o);
}

// A designer integer for a setter parameter; an unsigned parameter never sees a
// negative value wrapped around.
template <class Arg>
Arg intArgument(int value)
{
    if constexpr (std::is_unsigned<Arg>::value)
        return value < 0 ? Arg(0) : Arg(value);
    else
        return static_cast<Arg>(value);
}

template <class Style>
struct StyleSlots;

template <>
struct StyleSlots<FillStyle> {
    static constexpr PropertyDef::Kind kind = PropertyDef::FillStyles;
    static auto& setter(PropertyDef& row) { return row.setFill; }
    static auto& getter(PropertyDef& row) { return row.getFill; }
};

template <>
struct StyleSlots<TextStyleDesc> {
    static constexpr PropertyDef::Kind kind = PropertyDef::TextStyles;
    static auto& setter(PropertyDef& row) { return row.setTextStyle; }
    static auto& getter(PropertyDef& row) { return row.getTextStyle; }
};

inline PropertyDef namedRow(const char* name, PropertyDef::Kind kind)
{
    PropertyDef row;
    row.name = QString::fromUtf8(name);
    row.kind = kind;
    return row;
}

template <class Style, class C, class RS, class SA, class CS, class G, class GA, class CG>
PropertyDef statesRow(const char* name, RS (CS::*set)(SA, const Style&), G (CG::*get)(GA) const,
                      const RowOptions& options)
{
    using State = std::decay_t<SA>;
    using GetState = std::decay_t<GA>;
    PropertyDef row = namedRow(name, StyleSlots<Style>::kind);
    row.optionValues = options.values;
    row.optionLabels = options.labels;
    StyleSlots<Style>::setter(row) = [set](QObject* o, int state, const Style& style) {
        if (C* c = rowTarget<C>(o))
            (c->*set)(static_cast<State>(state), style);
    };
    StyleSlots<Style>::getter(row) = [get](QObject* o, int state) {
        C* c = rowTarget<C>(o);
        return c ? Style((c->*get)(static_cast<GetState>(state))) : Style();
    };
    return row;
}

// One style for every state: the row still lists its states, the accessors ignore them.
template <class Style, class C, class RS, class CS, class G, class CG>
PropertyDef statesRow(const char* name, RS (CS::*set)(const Style&), G (CG::*get)() const, const RowOptions& options)
{
    PropertyDef row = namedRow(name, StyleSlots<Style>::kind);
    row.optionValues = options.values;
    row.optionLabels = options.labels;
    StyleSlots<Style>::setter(row) = [set](QObject* o, int, const Style& style) {
        if (C* c = rowTarget<C>(o))
            (c->*set)(style);
    };
    StyleSlots<Style>::getter(row) = [get](QObject* o, int) {
        C* c = rowTarget<C>(o);
        return c ? Style((c->*get)()) : Style();
    };
    return row;
}

template <class C, class RS, class A, class CS, class G, class CG>
PropertyDef stringRow(const char* name, PropertyDef::Kind kind, RS (CS::*set)(A), G (CG::*get)() const)
{
    PropertyDef row = namedRow(name, kind);
    row.setText = [set](QObject* o, const QString& value) {
        if (C* c = rowTarget<C>(o))
            (c->*set)(value);
    };
    row.getText = [get](QObject* o) {
        C* c = rowTarget<C>(o);
        return c ? QString((c->*get)()) : QString();
    };
    return row;
}

} // namespace detail

// Per-state fill styles (kind 5). The state reaches the setter and the getter as
// their own parameter type.
template <class Given = void, class RS, class SA, class CS, class G, class GA, class CG>
PropertyDef fillStatesRow(const char* name, RS (CS::*set)(SA, const FillStyle&), G (CG::*get)(GA) const,
                          const RowOptions& options = allStates())
{
    using C = detail::RowClassT<Given, CS, CG>;
    return detail::statesRow<FillStyle, C>(name, set, get, options);
}

template <class Given = void, class RS, class CS, class G, class CG>
PropertyDef fillStatesRow(const char* name, RS (CS::*set)(const FillStyle&), G (CG::*get)() const,
                          const RowOptions& options = allStates())
{
    using C = detail::RowClassT<Given, CS, CG>;
    return detail::statesRow<FillStyle, C>(name, set, get, options);
}

// Per-state text styles (kind 6).
template <class Given = void, class RS, class SA, class CS, class G, class GA, class CG>
PropertyDef textStatesRow(const char* name, RS (CS::*set)(SA, const TextStyleDesc&), G (CG::*get)(GA) const,
                          const RowOptions& options = allStates())
{
    using C = detail::RowClassT<Given, CS, CG>;
    return detail::statesRow<TextStyleDesc, C>(name, set, get, options);
}

template <class Given = void, class RS, class CS, class G, class CG>
PropertyDef textStatesRow(const char* name, RS (CS::*set)(const TextStyleDesc&), G (CG::*get)() const,
                          const RowOptions& options = allStates())
{
    using C = detail::RowClassT<Given, CS, CG>;
    return detail::statesRow<TextStyleDesc, C>(name, set, get, options);
}

// kind 3
template <class Given = void, class RS, class A, class CS, class G, class CG>
PropertyDef boolRow(const char* name, RS (CS::*set)(A), G (CG::*get)() const)
{
    using C = detail::RowClassT<Given, CS, CG>;
    PropertyDef row = detail::namedRow(name, PropertyDef::Bool);
    row.setBool = [set](QObject* o, bool on) {
        if (C* c = detail::rowTarget<C>(o))
            (c->*set)(on);
    };
    row.getBool = [get](QObject* o) {
        C* c = detail::rowTarget<C>(o);
        return c && (c->*get)();
    };
    return row;
}

// kind 10; the designer's range stays the row default unless given.
template <class Given = void, class RS, class A, class CS, class G, class CG>
PropertyDef intRow(const char* name, RS (CS::*set)(A), G (CG::*get)() const)
{
    using C = detail::RowClassT<Given, CS, CG>;
    using Arg = std::decay_t<A>;
    PropertyDef row = detail::namedRow(name, PropertyDef::Integer);
    row.setInt = [set](QObject* o, int value) {
        if (C* c = detail::rowTarget<C>(o))
            (c->*set)(detail::intArgument<Arg>(value));
    };
    row.getInt = [get](QObject* o) {
        C* c = detail::rowTarget<C>(o);
        return c ? int((c->*get)()) : 0;
    };
    return row;
}

template <class Given = void, class RS, class A, class CS, class G, class CG>
PropertyDef intRow(const char* name, RS (CS::*set)(A), G (CG::*get)() const, int minimum, int maximum)
{
    PropertyDef row = intRow<Given>(name, set, get);
    row.minimum = minimum;
    row.maximum = maximum;
    return row;
}

// kind 1
template <class Given = void, class RS, class A, class CS, class G, class CG>
PropertyDef textRow(const char* name, RS (CS::*set)(A), G (CG::*get)() const)
{
    using C = detail::RowClassT<Given, CS, CG>;
    return detail::stringRow<C>(name, PropertyDef::Text, set, get);
}

// kind 9
template <class Given = void, class RS, class A, class CS, class G, class CG>
PropertyDef iconRow(const char* name, RS (CS::*set)(A), G (CG::*get)() const)
{
    using C = detail::RowClassT<Given, CS, CG>;
    return detail::stringRow<C>(name, PropertyDef::IconPath, set, get);
}

// kind 13: the value reaches the setter as its own enum type; `fallback` is what a
// wrong target reads as.
template <class Given = void, class RS, class A, class CS, class G, class CG>
PropertyDef enumRow(const char* name, RS (CS::*set)(A), G (CG::*get)() const, const RowOptions& options,
                    int fallback = 0)
{
    using C = detail::RowClassT<Given, CS, CG>;
    using Arg = std::decay_t<A>;
    PropertyDef row = detail::namedRow(name, PropertyDef::Enumeration);
    row.optionValues = options.values;
    row.optionLabels = options.labels;
    row.setInt = [set](QObject* o, int value) {
        if (C* c = detail::rowTarget<C>(o))
            (c->*set)(static_cast<Arg>(value));
    };
    row.getInt = [get, fallback](QObject* o) {
        C* c = detail::rowTarget<C>(o);
        return c ? int((c->*get)()) : fallback;
    };
    return row;
}

// kind 14
template <class Given = void, class RS, class A, class CS, class G, class CG>
PropertyDef colorRow(const char* name, RS (CS::*set)(A), G (CG::*get)() const)
{
    using C = detail::RowClassT<Given, CS, CG>;
    PropertyDef row = detail::namedRow(name, PropertyDef::Color);
    row.setColor = [set](QObject* o, const QColor& color) {
        if (C* c = detail::rowTarget<C>(o))
            (c->*set)(color);
    };
    row.getColor = [get](QObject* o) {
        C* c = detail::rowTarget<C>(o);
        return c ? QColor((c->*get)()) : QColor();
    };
    return row;
}

// kind 11, for a setter taking a QSize
template <class Given = void, class RS, class A, class CS, class G, class CG>
PropertyDef sizeRow(const char* name, RS (CS::*set)(A), G (CG::*get)() const)
{
    using C = detail::RowClassT<Given, CS, CG>;
    PropertyDef row = detail::namedRow(name, PropertyDef::Size);
    row.setSize = [set](QObject* o, const QSize& size) {
        if (C* c = detail::rowTarget<C>(o))
            (c->*set)(size);
    };
    row.getSize = [get](QObject* o) {
        C* c = detail::rowTarget<C>(o);
        return c ? QSize((c->*get)()) : QSize();
    };
    return row;
}

// kind 11, for a setter taking width and height
template <class Given = void, class RS, class CS, class G, class CG>
PropertyDef sizeRow(const char* name, RS (CS::*set)(int, int), G (CG::*get)() const)
{
    using C = detail::RowClassT<Given, CS, CG>;
    PropertyDef row = detail::namedRow(name, PropertyDef::Size);
    row.setSize = [set](QObject* o, const QSize& size) {
        if (C* c = detail::rowTarget<C>(o))
            (c->*set)(size.width(), size.height());
    };
    row.getSize = [get](QObject* o) {
        C* c = detail::rowTarget<C>(o);
        return c ? QSize((c->*get)()) : QSize();
    };
    return row;
}

// kind 12, for accessors taking a QMargins
template <class Given = void, class RS, class A, class CS, class G, class CG>
PropertyDef marginsRow(const char* name, RS (CS::*set)(A), G (CG::*get)() const)
{
    using C = detail::RowClassT<Given, CS, CG>;
    PropertyDef row = detail::namedRow(name, PropertyDef::Margins);
    row.setMargins = [set](QObject* o, const QMargins& margins) {
        if (C* c = detail::rowTarget<C>(o))
            (c->*set)(margins);
    };
    row.getMargins = [get](QObject* o) {
        C* c = detail::rowTarget<C>(o);
        return c ? QMargins((c->*get)()) : QMargins();
    };
    return row;
}

// kind 12, for accessors taking four ints in the given order
template <class Given = void, class RS, class CS, class CG>
PropertyDef marginsRow(const char* name, RS (CS::*set)(int, int, int, int),
                       void (CG::*get)(int&, int&, int&, int&) const, MarginOrder order)
{
    using C = detail::RowClassT<Given, CS, CG>;
    PropertyDef row = detail::namedRow(name, PropertyDef::Margins);
    row.setMargins = [set, order](QObject* o, const QMargins& m) {
        C* c = detail::rowTarget<C>(o);
        if (!c)
            return;
        if (order == MarginOrder::LeftTopRightBottom)
            (c->*set)(m.left(), m.top(), m.right(), m.bottom());
        else
            (c->*set)(m.top(), m.bottom(), m.left(), m.right());
    };
    row.getMargins = [get, order](QObject* o) {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        if (C* c = detail::rowTarget<C>(o)) {
            if (order == MarginOrder::LeftTopRightBottom)
                (c->*get)(left, top, right, bottom);
            else
                (c->*get)(top, bottom, left, right);
        }
        return QMargins(left, top, right, bottom);
    };
    return row;
}

// kind 0: the object name, on any object
inline PropertyDef objectNameRow(const char* name = "Name")
{
    PropertyDef row = detail::namedRow(name, PropertyDef::ObjectName);
    row.setText = [](QObject* o, const QString& text) {
        if (o)
            o->setObjectName(text);
    };
    row.getText = [](QObject* o) { return o ? o->objectName() : QString(); };
    return row;
}

// kind 4: a dividing line in the designer, without accessors
inline PropertyDef separatorRow(const char* name = "Line")
{
    return detail::namedRow(name, PropertyDef::Separator);
}

} // namespace vyr
