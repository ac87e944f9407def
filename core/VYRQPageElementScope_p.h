#pragma once

// Library-internal; not installed.

namespace Json { class Value; }

// The page element a registry factory is building a control for, for the length of
// that call: a constructor may leave out a default that reading the element is known
// to replace. Only a control of the element's own type key sees it, so controls that
// another control builds inside its constructor are not affected.
class VYRQPageElementScope {
public:
    VYRQPageElementScope(const char* typeKey, const Json::Value* element);
    ~VYRQPageElementScope();
    VYRQPageElementScope(const VYRQPageElementScope&) = delete;
    VYRQPageElementScope& operator=(const VYRQPageElementScope&) = delete;

    // The element being built for typeKey, or null. Used up by the first taker.
    static const Json::Value* take(const char* typeKey);

private:
    const char* m_outerKey;
    const Json::Value* m_outerElement;
};
