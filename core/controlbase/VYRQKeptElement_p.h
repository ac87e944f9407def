#pragma once

// Library-internal; not installed.

#include "VYRQExport.h"

#include <QObject>

#include <json/value.h>

// A page element that the design canvas could not build (a type no factory is
// registered for, an element without a type, a value that is no element) or that its
// container reads itself and does not write (its scroll-bar elements), kept as it was
// read. It is a plain object among its parent's children, so it keeps its place
// between the controls built beside it, and no layout, paint or hit test sees it; the
// writers of child lists put it back where it stands.
class VYRQTLIB_EXPORT VYRQKeptElement : public QObject {
    Q_OBJECT
public:
    VYRQKeptElement(const Json::Value& element, QObject* parent);

    const Json::Value& element() const { return m_element; }

    // Appends the element `child` keeps to `list` when it is a kept element.
    static bool appendTo(const QObject* child, Json::Value& list);

private:
    Json::Value m_element;
};
