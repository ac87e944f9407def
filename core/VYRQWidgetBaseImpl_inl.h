#pragma once
// Template members of VYRQWidgetBaseImpl; included by its header only.

#include "VYRQJson.h"
#include <json/value.h>

template <class Fn>
void VYRQWidgetBaseImpl::forEachStyleEntry(const Json::Value& element, Fn fn)
{
    const Json::Value* styles = vyr::json::array(element, "style");
    if (!styles)
        return;
    for (Json::ArrayIndex i = 0; i < styles->size(); ++i) {
        const Json::Value& entry = (*styles)[i];
        if (!entry.isArray() || entry.size() < 3 || !entry[0].isString())
            continue;
        int kind = 0;
        int slot = 0;
        if (!vyr::json::toInt(entry[2], slot))
            continue;
        vyr::json::toInt(entry[1], kind);
        fn(vyr::json::toQString(entry[0]), kind, slot);
    }
}

template <class T>
bool VYRQWidgetBaseImpl::readOwnAttr(const Json::Value& attr, const char* key, T& out)
{
    claimAttrKey(key);
    return vyr::json::read(attr, key, out);
}
