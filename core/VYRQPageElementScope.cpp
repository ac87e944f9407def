#include "VYRQPageElementScope_p.h"

#include <cstring>

namespace {
thread_local const char* t_typeKey = nullptr;
thread_local const Json::Value* t_element = nullptr;
} // namespace

VYRQPageElementScope::VYRQPageElementScope(const char* typeKey, const Json::Value* element)
    : m_outerKey(t_typeKey)
    , m_outerElement(t_element)
{
    t_typeKey = typeKey;
    t_element = element;
}

VYRQPageElementScope::~VYRQPageElementScope()
{
    t_typeKey = m_outerKey;
    t_element = m_outerElement;
}

const Json::Value* VYRQPageElementScope::take(const char* typeKey)
{
    if (!t_element || !t_typeKey || !typeKey || std::strcmp(t_typeKey, typeKey) != 0)
        return nullptr;
    const Json::Value* element = t_element;
    t_element = nullptr;
    return element;
}
