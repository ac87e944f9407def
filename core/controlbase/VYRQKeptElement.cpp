#include "VYRQKeptElement_p.h"

VYRQKeptElement::VYRQKeptElement(const Json::Value& element, QObject* parent)
    : QObject(parent)
    , m_element(element)
{
}

bool VYRQKeptElement::appendTo(const QObject* child, Json::Value& list)
{
    const auto* kept = qobject_cast<const VYRQKeptElement*>(child);
    if (!kept)
        return false;
    list.append(kept->m_element);
    return true;
}

#include "moc_VYRQKeptElement_p.cpp"
