#include "VYRQResourceManagerImpl.h"

#include "VYRQJson.h"
#include "VYRQThemeElementForm.h"

#include <QSvgRenderer>

VYRQResourceManagerImpl::VYRQResourceManagerImpl() = default;

VYRQResourceManagerImpl::~VYRQResourceManagerImpl()
{
    clear();
}

void VYRQResourceManagerImpl::clear()
{
    // The element map points into the theme root: drop it first.
    dropThemeElements();
    themeRoot = Json::Value();
    files.clear();
    styleFiles.clear();
    images.clear();
    svgs.clear();
    fillStyles.clear();
    textStyles.clear();
    fillIndex.clear();
    textIndex.clear();
    fonts.clear();
}

void VYRQResourceManagerImpl::storeFillStyle(const QString& name, const FillStyle& style)
{
    const auto it = fillIndex.constFind(name);
    if (it != fillIndex.constEnd() && *it >= 0 && *it < fillStyles.size()) {
        // In place: a style file that names the same styles again loads in linear time.
        fillStyles.replace(*it, style);
        forgetForms();
        return;
    }
    forgetForms();
    fillStyles.append(style);
    fillIndex.insert(name, fillStyles.size() - 1);
}

void VYRQResourceManagerImpl::storeTextStyle(const QString& name, const TextStyleDesc& style)
{
    const auto it = textIndex.constFind(name);
    if (it != textIndex.constEnd() && *it >= 0 && *it < textStyles.size()) {
        textStyles.replace(*it, style);
        forgetForms();
        return;
    }
    forgetForms();
    textStyles.append(style);
    textIndex.insert(name, textStyles.size() - 1);
}

const FillStyle* VYRQResourceManagerImpl::findFillStyle(const QString& name) const
{
    const auto it = fillIndex.constFind(name);
    if (it == fillIndex.constEnd() || *it < 0 || *it >= fillStyles.size())
        return nullptr;
    return &fillStyles.at(*it);
}

const TextStyleDesc* VYRQResourceManagerImpl::findTextStyle(const QString& name) const
{
    const auto it = textIndex.constFind(name);
    if (it == textIndex.constEnd() || *it < 0 || *it >= textStyles.size())
        return nullptr;
    return &textStyles.at(*it);
}

void VYRQResourceManagerImpl::indexThemeElements()
{
    dropThemeElements();
    const Json::Value* list = vyr::json::array(themeRoot, "elements");
    if (!list || list->empty())
        return;
    const Json::Value& first = (*list)[Json::ArrayIndex(0)];
    const Json::Value* children = vyr::json::array(first, "child");
    if (!children)
        return;
    for (Json::ArrayIndex i = 0; i < children->size(); ++i) {
        const Json::Value& child = (*children)[i];
        if (!child.isObject())
            continue;
        // A name of another type counts as missing: the element is filed under "".
        std::string name;
        vyr::json::read(child, "name", name);
        elements.emplace(name, &child);
        m_forms.emplace(&child, nullptr);
    }
}

void VYRQResourceManagerImpl::dropThemeElements()
{
    elements.clear();
    m_forms.clear();
}

void VYRQResourceManagerImpl::forgetForms()
{
    for (auto& form : m_forms)
        form.second.reset();
}

const VYRQThemeElementForm* VYRQResourceManagerImpl::themeElementForm(const Json::Value* element)
{
    const auto it = m_forms.find(element);
    if (it == m_forms.end())
        return nullptr;
    if (!it->second)
        it->second = std::make_unique<VYRQThemeElementForm>(*element);
    return it->second.get();
}
