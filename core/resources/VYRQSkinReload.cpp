#include "VYRQSkinReload_p.h"

#include "VYRQLogging.h"
#include "VYRQResourceDecoder_p.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceKeys_p.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQSetArchive_p.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <json/value.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using vyr::languageFileKey;
using vyr::themeFileKey;

} // namespace

VYRQSkinReload::VYRQSkinReload(VYRQResourceManager& manager)
    : m_manager(manager)
{
}

QString VYRQSkinReload::originOf(const char* path, const char* data, unsigned int size)
{
    // Bytes in memory by a hash no one can make two skins share; a file's origin is an
    // absolute path, which never reads like this.
    if (!path) {
        const QByteArray bytes = QByteArray::fromRawData(data, int(size));
        return QStringLiteral("memory:%1:").arg(size)
            + QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }
    const QString origin = QFileInfo(QFile::decodeName(path)).canonicalFilePath();
    return origin.isEmpty() ? QFile::decodeName(path) : origin;
}

bool VYRQSkinReload::load(const char* path, const char* data, unsigned int size)
{
    VYRQSetArchive archive(path, data, size);
    if (!archive.list() || archive.styles().empty())
        return false;
    const VYRQFileStore::ArchiveEntries& listed = archive.files();
    QByteArray style;
    if (!archive.unpack(archive.styles().back(), style))
        return false;
    VYRQResourceManagerImpl* set = m_manager.getDefaultManagerImpl();
    Json::Value root;
    const Json::Value* styles = VYRQResourceManager::styleArrayOf(style, root, set);
    if (!styles)
        return false;
    QByteArray themeJson;
    for (const auto& file : listed) {
        if (file.first == themeFileKey && !archive.unpack(file.second, themeJson))
            return false;
    }
    const QString origin = originOf(path, data, size);
    VYRQFileStore& files = set->files;
    // Decided by what the set must keep with the new skin (not by what it happens to
    // hold and could read again), so that the answer does not depend on earlier use.
    const qint64 kept = files.keptWith(origin, listed) + style.size() - set->styleFileBytes(origin);
    if (kept > files.bound()) {
        qCWarning(vyrRes) << "skin" << (path ? path : "(memory)") << "refused: the default set would hold more than"
                          << files.bound() << "bytes";
        return false;
    }

    // Every file that will be added is unpacked (its size and CRC checked) before
    // anything is replaced: a changed file that does not unpack refuses the skin, so
    // the set stays as it was; a new one is left out, as at a first load.
    const std::set<std::string> changed = files.changedBy(origin, listed);
    std::vector<QByteArray> unpacked(listed.size());
    std::vector<bool> broken(listed.size(), false);
    QByteArray language;
    for (size_t i = 0; i < listed.size(); ++i) {
        const auto& file = listed[i];
        // A key already held keeps its file (an unchanged one of this skin, or another
        // file's); a skin file's own language.txt is read all the same.
        const bool ownLanguage = path && file.first == languageFileKey;
        const bool replaced = changed.count(file.first) > 0;
        if (!ownLanguage && !replaced && files.contains(file.first))
            continue;
        QByteArray& bytes = unpacked[i];
        bytes = file.first == themeFileKey ? themeJson : QByteArray();
        if (bytes.isEmpty() && !archive.unpack(file.second, bytes)) {
            if (replaced) {
                qCWarning(vyrRes) << "skin" << (path ? path : "(memory)") << "refused: its changed file"
                                  << QString::fromStdString(file.first) << "does not unpack";
                return false;
            }
            broken[i] = true;
            continue;
        }
        if (ownLanguage)
            language = bytes;
    }

    files.reviseArchive(origin, listed);
    set->addStyleFile(style, origin);
    files.reserve(listed.size());
    for (size_t i = 0; i < listed.size(); ++i) {
        const auto& file = listed[i];
        if (broken[i] || files.contains(file.first))
            continue;
        if (path)
            files.addArchiveEntry(file.first, unpacked[i], origin, file.second);
        else
            files.addBytes(file.first, unpacked[i], origin, file.second);
        unpacked[i] = QByteArray();
    }
    auto emptied = set->decoded.emptyDecodedFrom(changed);
    m_manager.initFontRes(false);
    m_manager.readStyle(set, *styles);
    if (!language.isEmpty())
        m_manager.readLanguage(language);
    // Decoded again at once into the same objects, so that whoever holds one draws the
    // new file.
    VYRQResourceDecoder(m_manager).decodeAgain(set, std::move(emptied));
    return true;
}
