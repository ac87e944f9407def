#include "VYRQThemeElementForm.h"

#include "VYRQJson.h"
#include "VYRQResourceManager.h"

#include <json/value.h>

VYRQThemeElementForm::VYRQThemeElementForm(const Json::Value& element)
{
    attr = vyr::json::object(element, "attr");
    hasThemeKey = vyr::json::read(element, "theme", theme);
    const Json::Value* entries = vyr::json::array(element, "style");
    if (!entries)
        return;
    const VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    styles.reserve(entries->size());
    // The same entries the JSON path accepts: [string, any, number] and longer.
    for (const Json::Value& entry : *entries) {
        if (!entry.isArray() || entry.size() < 3 || !entry[0].isString())
            continue;
        StyleEntry resolved;
        if (!vyr::json::toInt(entry[2], resolved.slot))
            continue;
        const QString name = vyr::json::toQString(entry[0]);
        resolved.hasFill = rm->getFillStyle(name, resolved.fill);
        resolved.hasText = rm->getTextStyle(name, resolved.text);
        styles.push_back(std::move(resolved));
    }
}
