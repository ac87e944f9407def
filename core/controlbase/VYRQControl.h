#pragma once

#include "VYRQExport.h"

// The mixin every library control derives from. It supplies the 27 operations of
// IVYRQWidgetBase (forwarding to the control's VYRQWidgetBase part and to its
// implementation object), the jsonData text, and the Qt event forwarding to the
// implementation object. A control then reads:
//
//   class VYRQLabel : public VYRQControl<VYRQLabel, QLabel, VYRQLabelImpl> {
//       Q_OBJECT
//       Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
//       VYR_CONTROL(VYRQLabel, "qtlabel")
//   public:
//       explicit VYRQLabel(QWidget* parent = nullptr);   // ends with finishConstruction()
//       ...
//   };
//
// The implementation class is constructed with the control (`Impl(Derived*)`).

#include "IVYRQWidgetBase.h"
#include "VYRQWidgetBase.h"
#include "VYRQWidgetBaseImpl.h"
#include "ControlInfo.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRect>
#include <QVariant>
#include <QWidget>

#include <memory>
#include <type_traits>
#include <utility>

namespace vyr {
// Shared bodies of the mixin's non-template work.
VYRQTLIB_EXPORT bool readJsonInto(IVYRQWidgetBase* control, VYRQWidgetBase& base, VYRQWidgetBaseImpl* impl, void* json);
VYRQTLIB_EXPORT bool serializeInto(VYRQWidgetBase& base, VYRQWidgetBaseImpl* impl, Json::Value* json, bool read);
VYRQTLIB_EXPORT void applyJsonData(IVYRQWidgetBase* control, QString& stored, const QString& text);

// A control the page builder makes is constructed under its page parent rather than
// reparented afterwards: the constructor's null parent becomes that parent when the
// control is the element's own (typeKey), and settleUnderPageParent, called once the
// Qt base exists, gives it the start a parentless widget has.
VYRQTLIB_EXPORT QWidget* pageParentFor(QWidget* parent, const char* typeKey, const QMetaObject* meta);
VYRQTLIB_EXPORT void settleUnderPageParent(QWidget* widget);

template <class Control, class = void>
struct HasPublicTypeName : std::false_type {};
template <class Control>
struct HasPublicTypeName<Control, std::void_t<decltype(Control::typeName())>> : std::true_type {};

// A control whose constructor relies on having no parent yet declares, publicly,
// `static constexpr bool buildsUnderPageParent = false;`.
template <class Control, class = void>
struct BuildsUnderPageParent : std::true_type {};
template <class Control>
struct BuildsUnderPageParent<Control, std::void_t<decltype(Control::buildsUnderPageParent)>>
    : std::bool_constant<Control::buildsUnderPageParent> {};

template <class Derived, class Arg>
decltype(auto) pageParentArg(Arg&& arg)
{
    // A scroll area lays its viewport out from its size in its constructor.
    if constexpr (std::is_convertible_v<Arg&&, QWidget*> && HasPublicTypeName<Derived>::value
                  && BuildsUnderPageParent<Derived>::value
                  && !std::is_base_of_v<QAbstractScrollArea, typename Derived::QtBaseType>)
        return pageParentFor(static_cast<QWidget*>(arg), Derived::typeName(), &Derived::staticMetaObject);
    else
        return std::forward<Arg>(arg);
}
} // namespace vyr

namespace vyr {
// Which input events the mixin hands to the implementation object besides the Qt
// base. Display-only controls take none: their input goes to the Qt base alone.
enum InputForwarding {
    ForwardNone = 0,
    ForwardMouse = 1,   // press, release, move, double-click
    ForwardHover = 2,   // enter, leave
    ForwardAll = ForwardMouse | ForwardHover,
};
} // namespace vyr

struct VYRQImplAccess;

template <class Derived, class QtBase, class Impl, int Forwarding = vyr::ForwardAll>
class VYRQControl : public QtBase, public IVYRQWidgetBase {
public:
    using QtBaseType = QtBase;

    // Never inlined: scripts/check-file-opens.sh allows a Qt base's construction here by
    // this function's name.
    template <class... Args>
    Q_NEVER_INLINE explicit VYRQControl(Args&&... args)
        : QtBase(vyr::pageParentArg<Derived>(std::forward<Args>(args))...)
        , m_base(this)
    {
        vyr::settleUnderPageParent(this);
        // Derived is not constructed yet, so a static_cast down to it is undefined
        // (UBSan's vptr check rejects it). This class is Derived's first base (a second
        // one holds no virtuals), so it sits at its start: the same address, checked
        // in finishConstruction.
        m_baseImpl = new Impl(static_cast<Derived*>(static_cast<void*>(this)));
    }
    ~VYRQControl() override
    {
        // The impl may still be reached through "impl" while Qt tears children down.
        this->setProperty("impl", QVariant());
        delete m_baseImpl;
    }
    VYRQControl(const VYRQControl&) = delete;
    VYRQControl& operator=(const VYRQControl&) = delete;

    // IVYRQWidgetBase
    VYRQWidgetBase* getControlBase() override { return &m_base; }
    bool readJsonValue(void* json) override { return vyr::readJsonInto(this, m_base, m_baseImpl, json); }
    void setLayoutRatio(int ratio) override { m_base.setLayoutRatio(ratio); }
    int getLayoutRatio() const override { return m_base.getLayoutRatio(); }
    void setWidthPolicy(LayoutSizePolicy p) override { m_base.setWidthPolicy(p); }
    LayoutSizePolicy getWidthPolicy() const override { return m_base.getWidthPolicy(); }
    void setHeightPolicy(LayoutSizePolicy p) override { m_base.setHeightPolicy(p); }
    LayoutSizePolicy getHeightPolicy() const override { return m_base.getHeightPolicy(); }
    void setAbsoluteLayout(bool on) override { m_base.setAbsoluteLayout(on); }
    bool getAbsoluteLayout() const override { return m_base.getAbsoluteLayout(); }
    void setAbsoluteDock(DockLayoutType hor, DockLayoutType ver, int x, int y) override
    {
        m_base.setAbsoluteDock(hor, ver, x, y);
    }
    void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver, int& x, int& y) const override
    {
        m_base.getAbsoluteDock(hor, ver, x, y);
    }
    void getAbsoluteDock(DockLayoutType& hor, DockLayoutType& ver) const override { m_base.getAbsoluteDock(hor, ver); }
    void getLayoutData(void*& data) const override { m_base.getLayoutData(data); }
    void setGeometry(int x, int y, int w, int h) override { m_base.setGeometry(x, y, w, h); }
    virtual void setGeometry(const QRect& rect) { m_base.setGeometry(rect); }
    void setOpacity(int opacity) override { m_base.setOpacity(opacity); }
    int getOpacity() const override { return m_base.getOpacity(); }
    LayoutType getLayoutType() const override { return m_base.getLayoutType(); }
    QString getTypeName() const override { return QString::fromUtf8(Derived::typeName()); }
    VYRQWidgetBaseImpl* getControlImpl() override { return m_baseImpl; }
    void createComplete() override { m_baseImpl->createComplete(); }
    void resizeWidget() override { m_base.resizeWidget(); }
    void notifyChangeLanguage() override { m_baseImpl->notifyChangeLanguage(); }
    bool serializeJsonValue(Json::Value* json, bool read) override
    {
        return vyr::serializeInto(m_base, m_baseImpl, json, read);
    }
    void setThemeName(const QString& name) override { m_base.setThemeName(name); }
    QString jsonData() const override { return m_jsonData; }
    void setJsonData(const QString& text) override { vyr::applyJsonData(this, m_jsonData, text); }

    QString getThemeName() const { return m_base.getThemeName(); }
    QString getInnerTypeName() { return getTypeName(); }
    bool getInnerVisible() const { return this->property("visibility").toBool(); }
    void setInnerVisible(bool visible) { this->setProperty("visibility", visible); }

protected:
    // The implementation object; other library code reaches it through VYRQImplAccess.
    Impl* impl() const { return static_cast<Impl*>(m_baseImpl); }
    friend struct VYRQImplAccess;

    // The last step of every control constructor: theme defaults of the theme name,
    // unless the control is one of the few that take them only from a refresh.
    void finishConstruction(VYRQWidgetBaseImpl::ThemeDefaults theme = VYRQWidgetBaseImpl::ThemeDefaults::Apply)
    {
        Q_ASSERT(static_cast<void*>(static_cast<Derived*>(this)) == static_cast<void*>(this));
        m_baseImpl->finishConstruction(theme, this);
    }

    // Qt events go to the implementation object (input as Forwarding says); the Qt
    // base keeps its own handling of input (clicks, popups, propagation), never its
    // painting.
    void paintEvent(QPaintEvent*) override { m_baseImpl->paintEvent(); }
    void mousePressEvent(QMouseEvent* e) override
    {
        if constexpr ((Forwarding & vyr::ForwardMouse) != 0)
            m_baseImpl->mousePressEvent(e);
        QtBase::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if constexpr ((Forwarding & vyr::ForwardMouse) != 0)
            m_baseImpl->mouseReleaseEvent(e);
        QtBase::mouseReleaseEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if constexpr ((Forwarding & vyr::ForwardMouse) != 0)
            m_baseImpl->mouseMoveEvent(e);
        QtBase::mouseMoveEvent(e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if constexpr ((Forwarding & vyr::ForwardMouse) != 0)
            m_baseImpl->mouseDoubleClickEvent(e);
        QtBase::mouseDoubleClickEvent(e);
    }
    void enterEvent(QEvent* e) override
    {
        if constexpr ((Forwarding & vyr::ForwardHover) != 0)
            m_baseImpl->enterEvent(e);
        QtBase::enterEvent(e);
    }
    void leaveEvent(QEvent* e) override
    {
        if constexpr ((Forwarding & vyr::ForwardHover) != 0)
            m_baseImpl->leaveEvent(e);
        QtBase::leaveEvent(e);
    }
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::ToolTip && m_baseImpl->showToolTip(e))
            return true;
        return QtBase::event(e);
    }

    VYRQWidgetBase m_base;
    // The implementation object, owned, held as its base: the forwarders above go
    // through it, so code that includes only a control's header never needs the
    // complete Impl class (its destructor is virtual).
    VYRQWidgetBaseImpl* m_baseImpl = nullptr;
    QString m_jsonData;
};

// The static family of a control class: its type key and its registry factory.
// `getProps()` is declared here and defined with the control's designer rows.
#define VYR_CONTROL(Class, key)                                                  \
public:                                                                          \
    static const char* typeName() { return key; }                               \
    static QWidget* create##Class() { return new Class(nullptr); }               \
    static ControlInfo getProps();                                               \
                                                                                 \
private:

// The seven rows every control's designer record begins with.
namespace vyr {
VYRQTLIB_EXPORT std::vector<PropertyDef> commonPropertyRows();
VYRQTLIB_EXPORT ControlInfo makeControlInfo(const char* typeKey, const char* className, const char* displayName,
                            const char* description, const char* category);

// The same, with the type key and the class name taken from the control class, so
// the record cannot disagree with the class.
template <class Control>
ControlInfo makeControlInfo(const char* displayName, const char* description, const char* category)
{
    return makeControlInfo(Control::typeName(), Control::staticMetaObject.className(), displayName, description,
                           category);
}
} // namespace vyr
