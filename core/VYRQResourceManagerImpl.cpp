#include "VYRQResourceManagerImpl.h"

#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQRegularFile.h"
#include "VYRQThemeElementForm.h"
#include "VYRQZip.h"

#include <QFile>
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
    listedFiles.clear();
    m_sources.clear();
    m_folderBytes = 0;
    styleFiles.clear();
    images.clear();
    imageUse.clear();
    svgs.clear();
    svgUse.clear();
    clearStyles();
    fonts.clear();
}

const QByteArray* VYRQResourceManagerImpl::file(const std::string& key)
{
    const auto it = files.find(key);
    if (it != files.end())
        return &it->second;
    const auto listed = listedFiles.find(key);
    if (listed == listedFiles.end())
        return nullptr;
    const FileSource source = listed->second;
    // Tried once: a refused file stays missing rather than warning on every look-up.
    listedFiles.erase(listed);
    QByteArray buffer;
    if (!readSource(source, buffer))
        return nullptr;
    m_sources[key] = source;
    return &files.emplace(key, std::move(buffer)).first->second;
}

void VYRQResourceManagerImpl::listFolderFile(const std::string& key, const QString& path)
{
    if (files.count(key))
        return;
    FileSource source;
    source.path = path;
    listedFiles.emplace(key, source);
}

void VYRQResourceManagerImpl::addFile(const std::string& key, const QByteArray& bytes, const FileSource& source)
{
    if (!files.emplace(key, bytes).second)
        return;
    if (!source.path.isEmpty())
        m_sources[key] = source;
}

void VYRQResourceManagerImpl::addFilesOf(const VYRQResourceManagerImpl& other)
{
    for (const auto& file : other.files) {
        const auto source = other.m_sources.find(file.first);
        addFile(file.first, file.second, source == other.m_sources.end() ? FileSource() : source->second);
    }
}

void VYRQResourceManagerImpl::dropFile(const std::string& key)
{
    const auto source = m_sources.find(key);
    const auto it = files.find(key);
    if (source == m_sources.end() || it == files.end())
        return;
    if (source->second.zipIndex < 0)
        m_folderBytes -= it->second.size();
    files.erase(it);
    listedFiles.emplace(key, std::move(source->second));
    m_sources.erase(source);
}

bool VYRQResourceManagerImpl::readSource(const FileSource& source, QByteArray& out)
{
    if (source.zipIndex < 0)
        return readFolderFile(source.path, out);
    // An entry read at load time and dropped since: the archive must still hold it as
    // it was, so that this never allocates more than the load checked.
    ZipHandleGuard zip(openZipFromFile(QFile::encodeName(source.path).constData(), nullptr));
    ZipEntry entry;
    if (!zip || getZipItem(zip.get(), source.zipIndex, &entry) != ZR_OK || entry.unpackedSize != source.zipSize
        || QByteArray(entry.name) != source.zipName) {
        qCWarning(vyrRes) << "zip entry" << source.zipName << "of" << source.path << "changed since the archive was loaded";
        return false;
    }
    out.resize(int(source.zipSize));
    const uint32_t result = unzipItem(zip.get(), source.zipIndex, out.data(), source.zipSize);
    if (result != ZR_OK) {
        qCWarning(vyrRes) << "zip entry does not unpack:" << source.zipName << Qt::hex << Qt::showbase << result;
        out.clear();
        return false;
    }
    return true;
}

bool VYRQResourceManagerImpl::readFolderFile(const QString& path, QByteArray& out)
{
    // Within the per-file limit, and within what the set may still hold.
    const qint64 room = qMax<qint64>(0, qint64(ZipMaxArchiveSize) - m_folderBytes);
    qint64 size = -1;
    const vyr::FileRead result = vyr::readRegularFile(path, qMin(vyr::maxFileBytes, room), out, &size);
    switch (result) {
    case vyr::FileRead::Read:
        m_folderBytes += out.size();
        return true;
    case vyr::FileRead::Missing:
        return true;
    case vyr::FileRead::TooLarge:
        if (size > vyr::maxFileBytes)
            qCWarning(vyrRes) << "theme file too large:" << path << size << "bytes";
        else
            qCWarning(vyrRes) << "theme file" << path << "refused: the folder's files would hold more than"
                              << ZipMaxArchiveSize << "bytes";
        return false;
    case vyr::FileRead::NotRegular:
    case vyr::FileRead::Failed:
        break;
    }
    qCWarning(vyrRes) << "theme file" << path << "refused:" << vyr::fileReadText(result);
    return false;
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
