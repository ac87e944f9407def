#include "VYRQResourceManagerImpl.h"

#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQThemeElementForm.h"


VYRQResourceManagerImpl::VYRQResourceManagerImpl(VYRQDecodedCache::Budget* budget)
    : decoded(budget)
{
}

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
    m_styleOrigins.clear();
    decoded.clear();
    clearStyles();
    fonts.clear();
}

bool VYRQResourceManagerImpl::addStyleFile(const QByteArray& bytes, const QString& origin)
{
    const qint64 replaced = styleFileBytes(origin);
    files.discharge(replaced);
    if (!files.charge(bytes.size())) {
        files.charge(replaced);
        return false;
    }
    if (!origin.isEmpty()) {
        for (int i = 0; i < qMin(styleFiles.size(), m_styleOrigins.size()); ++i) {
            if (m_styleOrigins.at(i) == origin) {
                styleFiles.remove(i);
                m_styleOrigins.remove(i);
                break;
            }
        }
    }
    // Buffers appended from outside keep their place without an origin.
    while (m_styleOrigins.size() < styleFiles.size())
        m_styleOrigins.append(QString());
    styleFiles.append(bytes);
    m_styleOrigins.append(origin);
    return true;
}

qint64 VYRQResourceManagerImpl::styleFileBytes(const QString& origin) const
{
    if (origin.isEmpty())
        return 0;
    for (int i = 0; i < qMin(styleFiles.size(), m_styleOrigins.size()); ++i) {
        if (m_styleOrigins.at(i) == origin)
            return styleFiles.at(i).size();
    }
    return 0;
}

void VYRQResourceManagerImpl::clearStyles()
{
    forgetForms();
    fillStyles.clear();
    textStyles.clear();
    fillIndex.clear();
    textIndex.clear();
    m_fillUtf8.clear();
    m_textUtf8.clear();
}

namespace {
// Files a new style name under its UTF-8 bytes too, when they lead back to the same name.
void indexUtf8(QHash<QByteArray, int>& index, const QString& name, int at)
{
    QByteArray utf8 = name.toUtf8();
    if (QString::fromUtf8(utf8) == name)
        index.insert(utf8, at);
}

template <class Style>
const Style* findByUtf8(const QHash<QByteArray, int>& index, const QVector<Style>& styles, const char* utf8, int size)
{
    if (!utf8 || size < 0)
        return nullptr;
    const auto it = index.constFind(QByteArray::fromRawData(utf8, size));
    if (it == index.constEnd() || *it < 0 || *it >= styles.size())
        return nullptr;
    return &styles.at(*it);
}
} // namespace

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
    indexUtf8(m_fillUtf8, name, fillStyles.size() - 1);
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
    indexUtf8(m_textUtf8, name, textStyles.size() - 1);
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

const FillStyle* VYRQResourceManagerImpl::findFillStyle(const char* utf8, int size) const
{
    return findByUtf8(m_fillUtf8, fillStyles, utf8, size);
}

const TextStyleDesc* VYRQResourceManagerImpl::findTextStyle(const char* utf8, int size) const
{
    return findByUtf8(m_textUtf8, textStyles, utf8, size);
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
