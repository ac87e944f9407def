#pragma once

// Library-internal; not installed.

class QWidget;
namespace Json { class Value; }

// The page element a registry factory is building a control for, for the length of
// that call: a constructor may leave out a default that reading the element is known
// to replace. Only a control of the element's own type key sees it, so controls that
// another control builds inside its constructor are not affected.
//
// The scope also offers the page parent the control is built under, so the control
// can be constructed as its child instead of being reparented afterwards (see
// vyr::pageParentFor). Only the first control constructed in the scope can take it.
class VYRQPageElementScope {
public:
    VYRQPageElementScope(const char* typeKey, const Json::Value* element, QWidget* parent = nullptr);
    ~VYRQPageElementScope();
    VYRQPageElementScope(const VYRQPageElementScope&) = delete;
    VYRQPageElementScope& operator=(const VYRQPageElementScope&) = delete;

    // The element being built for typeKey, or null. Used up by the first taker.
    static const Json::Value* take(const char* typeKey);

    // The widget that was constructed under the offered parent, or null.
    QWidget* builtUnderParent() const;

private:
    const char* m_outerKey;
    const Json::Value* m_outerElement;
    QWidget* m_outerParent;
    QWidget* m_outerTaker;
    bool m_outerSettle;
};
