#include "VYRQResourceManager.h"

#include "IVYRQWidgetBase.h"
#include "LanguageManager.h"
#include "VYRQFileIdentity_p.h"
#include "VYRQGlobal_p.h"
#include "VYRQImageBounds_p.h"
#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQRegularFile.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQWidgetBase.h"
#include "VYRQZip.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QSvgRenderer>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>
#include <zlib.h>

namespace {

const char* const styleFileKey = "style.json";
const char* const themeFileKey = "theme.json";
const char* const languageFileKey = "language.txt";

// File keys are lower-cased in ASCII only, so that UTF-8 names stay intact and a
// look-up builds exactly the key that loading built.
std::string fileKey(QByteArray bytes)
{
    for (char& c : bytes) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        else if (c == '\\')
            c = '/';
    }
    return std::string(bytes.constData(), size_t(bytes.size()));
}

std::string fileKey(const QString& name)
{
    return fileKey(name.toUtf8());
}

QString fsPath(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

// Folder paths are kept clean and ending in "/" so that the same folder always
// compares equal, however it was spelled.
QString folderPathOf(const QString& dir)
{
    QString path = fsPath(dir);
    if (path.isEmpty())
        return path;
    path = QDir::cleanPath(path);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace

QByteArray vyr::readWholeFile(const QString& path)
{
    QByteArray out;
    const vyr::FileRead result = vyr::readRegularFile(path, vyr::maxFileBytes, out);
    if (result != vyr::FileRead::Read && result != vyr::FileRead::Missing)
        qCWarning(vyrRes) << "file" << path << "refused:" << vyr::fileReadText(result);
    return out;
}

using vyr::readWholeFile;

namespace {

bool haveGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

QImage disabledImage(QImage image)
{
    if (haveGuiApplication()) {
        const QSize size = image.size();
        // Handed over, so that the pixmap may convert the pixels in place: a large
        // image is then not held twice while its grey copy is made.
        const QIcon icon(QPixmap::fromImage(std::move(image)));
        QImage out = icon.pixmap(size, QIcon::Disabled, QIcon::Off).toImage();
        if (!out.isNull())
            return out;
        image = icon.pixmap(size).toImage();
    }
    // Without a GUI application there are no pixmaps: grey the pixels directly.
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int g = qGray(line[x]);
            line[x] = qRgba(g, g, g, qAlpha(line[x]) / 2);
        }
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// Instance and switches

VYRQResourceManager* VYRQResourceManager::getInstance()
{
    static VYRQResourceManager manager;
    return &manager;
}

VYRQResourceManager::VYRQResourceManager()
    : m_default(std::make_unique<VYRQResourceManagerImpl>(&m_decoded))
{
    m_languageConnection = QObject::connect(LanguageManager::instance(), &LanguageManager::languageChanged,
                                            [this](const QString&) { notifyLanguageToWindows(); });
}

VYRQResourceManager::~VYRQResourceManager()
{
    QObject::disconnect(m_languageConnection);
    releaseRes();
    m_default.reset();
    m_theme.reset();
    m_project.reset();
}

int VYRQResourceManager::getButtonFadeDuration() const
{
    return m_config.buttonFadeDuration > 0 ? m_config.buttonFadeDuration : 150;
}

QString VYRQResourceManager::getFileSkinPath() const
{
    return m_default->filePath;
}

QString VYRQResourceManager::getSkinDirPath() const
{
    return m_default->folderPath;
}

QString VYRQResourceManager::getThemePath() const
{
    if (!m_theme)
        return QString();
    return m_theme->filePath.isEmpty() ? m_theme->folderPath : m_theme->filePath;
}

VYRQResSwitchGuard::VYRQResSwitchGuard(Switch which, bool value)
    : m_which(which)
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    switch (which) {
    case ThemeRes:
        m_saved = rm->isLoadFromThemeRes();
        rm->setSwitchToThemeRes(value);
        break;
    case ProjectRes:
        m_saved = rm->isProjectRes();
        rm->setSwitchToProjectRes(value);
        break;
    case CreatedByFile:
        m_saved = rm->isCreatedByFile();
        rm->setCreatedByFile(value);
        break;
    }
}

VYRQResSwitchGuard::~VYRQResSwitchGuard()
{
    VYRQResourceManager* rm = VYRQResourceManager::getInstance();
    switch (m_which) {
    case ThemeRes:
        rm->setSwitchToThemeRes(m_saved);
        break;
    case ProjectRes:
        rm->setSwitchToProjectRes(m_saved);
        break;
    case CreatedByFile:
        rm->setCreatedByFile(m_saved);
        break;
    }
}

// ---------------------------------------------------------------------------
// Reading folders and zips

bool VYRQResourceManager::readFolder(VYRQResourceManagerImpl* set, const QString& dir)
{
    const QString path = fsPath(dir);
    if (path.isEmpty())
        return false;
    const QDir folder(path);
    if (!folder.exists())
        return false;

    // style.json is read now; every other file when it is first looked up.
    const auto addFile = [set](const QFileInfo& info, const QByteArray& prefix) {
        const std::string key = fileKey(prefix + info.fileName().toUtf8());
        if (!prefix.isEmpty() || key != styleFileKey) {
            set->files.listFolderFile(key, info.filePath());
            return;
        }
        QByteArray buffer;
        if (set->files.readFolderFile(info.filePath(), buffer))
            set->addStyleFile(buffer);
    };

    const QDir::Filters filters = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
    const QFileInfoList entries = folder.entryInfoList(filters, QDir::DirsFirst | QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            if (entry.fileName() != QLatin1String("images"))
                continue;
            const QFileInfoList images = QDir(entry.filePath()).entryInfoList(filters, QDir::DirsFirst | QDir::Name);
            for (const QFileInfo& image : images) {
                if (image.isFile())
                    addFile(image, QByteArrayLiteral("images/"));
            }
            continue;
        }
        if (!entry.isFile() || entry.fileName() == QLatin1String("tmpTheme.zip"))
            continue;
        addFile(entry, QByteArray());
    }
    return true;
}

namespace {

// The items of an archive that a set takes, from one walk over its directory: every
// style.json, and the first item under each other key.
struct ArchiveListing {
    std::vector<VYRQFileStore::ArchiveEntry> styles;
    std::vector<std::pair<std::string, VYRQFileStore::ArchiveEntry>> files;
};

bool listArchive(ZipHandle* zip, ArchiveListing& out)
{
    std::vector<VYRQFileStore::ArchiveEntry> entries;
    if (!VYRQFileStore::listArchive(zip, entries))
        return false;
    // Sizes in an archive are claims: each is checked before anything is allocated,
    // and together they must keep within what a set may hold.
    std::set<std::string> seen;
    uint64_t total = 0;
    for (VYRQFileStore::ArchiveEntry& entry : entries) {
        const std::string key = fileKey(entry.name);
        const bool isStyle = key == styleFileKey;
        if (!isStyle && !seen.insert(key).second)
            continue;   // the first item of a key is kept
        if (entry.size > ZipMaxEntrySize) {
            qCWarning(vyrRes) << "zip entry too large:" << entry.name << entry.size;
            if (isStyle || key == themeFileKey)
                return false;
            continue;
        }
        total += entry.size;
        if (total > ZipMaxArchiveSize) {
            qCWarning(vyrRes) << "zip archive unpacks to more than" << ZipMaxArchiveSize << "bytes";
            return false;
        }
        if (isStyle)
            out.styles.push_back(std::move(entry));
        else
            out.files.emplace_back(key, std::move(entry));
    }
    return true;
}

// Unpacks an item the listing found through the same handle: in the listing's order
// this is one more walk over the directory, cheaper than going to each item by its
// position. The layer gives ZR_OK only when the item filled the buffer to its listed
// size and its CRC matched.
bool unpack(ZipHandle* zip, const VYRQFileStore::ArchiveEntry& entry, QByteArray& out)
{
    out.resize(int(entry.size));
    const uint32_t result = unzipItem(zip, entry.ref.index, out.data(), entry.size);
    if (result == ZR_OK)
        return true;
    qCWarning(vyrRes) << "zip entry does not unpack:" << entry.name << Qt::hex << Qt::showbase << result;
    out.clear();
    return false;
}

ZipHandle* openArchive(const char* path, const char* data, unsigned int size)
{
    ZipHandle* zip = path ? openZipFromFile(path, nullptr) : openZipFromMemory(data, size, nullptr);
    if (!zip)
        qCDebug(vyrRes) << "cannot open zip" << (path ? path : "(memory)") << Qt::hex << Qt::showbase << zipLastResult();
    return zip;
}

} // namespace

bool VYRQResourceManager::readZip(VYRQResourceManagerImpl* set, const char* path)
{
    ZipHandleGuard zip(openArchive(path, nullptr, 0));
    ArchiveListing listing;
    if (!zip || !listArchive(zip.get(), listing))
        return false;
    const QString archive = QFile::decodeName(path);
    for (const VYRQFileStore::ArchiveEntry& style : listing.styles) {
        QByteArray bytes;
        if (!unpack(zip.get(), style, bytes))
            return false;
        set->addStyleFile(bytes);
    }
    for (const auto& file : listing.files) {
        QByteArray bytes;
        if (!unpack(zip.get(), file.second, bytes)) {
            if (file.first == themeFileKey)
                return false;
            continue;
        }
        set->files.addArchiveEntry(file.first, bytes, archive, file.second);
    }
    return true;
}

void VYRQResourceManager::readThemeJson(VYRQResourceManagerImpl* set, ThemeIndex index)
{
    set->dropThemeElements();
    set->themeRoot = Json::Value();
    const QByteArray* text = set->files.bytes(themeFileKey);
    if (!text)
        return;
    Json::Value root;
    const bool parsed = vyr::json::parse(text->constData(), text->constData() + text->size(), root);
    // The parsed tree is what stays; the file is read again should it be asked for.
    set->files.release(themeFileKey);
    if (!parsed) {
        qCWarning(vyrRes) << "theme.json does not parse; the theme has no elements";
        return;
    }
    set->themeRoot.swap(root);
    if (index == ThemeIndex::Build)
        set->indexThemeElements();
}

// ---------------------------------------------------------------------------
// Loading

bool VYRQResourceManager::setSkinDirPath(const QString& dir)
{
    if (dir.isEmpty())
        return false;
    m_default->folderPath = folderPathOf(dir);
    Json::Value root;
    const Json::Value* styles =
        styleArrayOf(readWholeFile(m_default->folderPath + QLatin1String(styleFileKey)), root, m_default.get());
    if (!styles)
        return false;
    readStyle(m_default.get(), *styles);
    const QByteArray language = readWholeFile(m_default->folderPath + QLatin1String(languageFileKey));
    if (!language.isEmpty())
        readLanguage(language);
    return true;
}

namespace {

// What stands for a skin given in memory: its size and CRC-32, so that the same bytes
// loaded again replace what they added. A file's origin is an absolute path, which
// never reads like this.
QString memoryOrigin(const char* data, unsigned int size)
{
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(data), uInt(size));
    return QStringLiteral("memory:%1:%2").arg(size).arg(quint32(crc), 8, 16, QLatin1Char('0'));
}

} // namespace

bool VYRQResourceManager::loadSkinZip(const char* path, const char* data, unsigned int size)
{
    // The archive is checked before anything is added, so that a broken skin, or one
    // the default set has no room for, leaves the set as it was.
    ZipHandleGuard zip(openArchive(path, data, size));
    ArchiveListing listing;
    if (!zip || !listArchive(zip.get(), listing) || listing.styles.empty())
        return false;
    QByteArray style;
    if (!unpack(zip.get(), listing.styles.back(), style))
        return false;
    Json::Value root;
    const Json::Value* styles = styleArrayOf(style, root, m_default.get());
    if (!styles)
        return false;
    QByteArray themeJson;
    for (const auto& file : listing.files) {
        if (file.first == themeFileKey && !unpack(zip.get(), file.second, themeJson))
            return false;
    }
    // The same skin loaded again, from the same file by any spelling of its path or
    // from the same bytes in memory, replaces what it added before.
    QString origin = path ? QFileInfo(QFile::decodeName(path)).canonicalFilePath() : memoryOrigin(data, size);
    if (origin.isEmpty())
        origin = QFile::decodeName(path);
    VYRQFileStore& files = m_default->files;
    // Decided by what the set must keep with the new skin (not by what it happens to
    // hold and could read again), so that the answer does not depend on earlier use.
    const qint64 kept = files.keptWith(origin, listing.files) + style.size() - m_default->styleFileBytes(origin);
    if (kept > files.bound()) {
        qCWarning(vyrRes) << "skin" << (path ? path : "(memory)") << "refused: the default set would hold more than"
                          << files.bound() << "bytes";
        return false;
    }

    const std::set<std::string> changed = files.reviseArchive(origin, listing.files);
    m_default->addStyleFile(style, origin);
    QByteArray language;
    for (const auto& file : listing.files) {
        // A key already held keeps its file (an unchanged one of this skin, or another
        // file's); a skin file's own language.txt is read all the same.
        const bool ownLanguage = path && file.first == languageFileKey;
        const bool held = files.contains(file.first);
        if (held && !ownLanguage)
            continue;
        QByteArray bytes = file.first == themeFileKey ? themeJson : QByteArray();
        if (bytes.isEmpty() && !unpack(zip.get(), file.second, bytes))
            continue;
        if (ownLanguage)
            language = bytes;
        if (held)
            continue;
        if (path)
            files.addArchiveEntry(file.first, bytes, origin, file.second);
        else
            files.addBytes(file.first, bytes, origin, file.second);
    }
    std::vector<std::pair<VYRQDecodedCache::Kind, QString>> emptied = m_default->decoded.emptyDecodedFrom(changed);
    initFontRes(false);
    readStyle(m_default.get(), *styles);
    if (!language.isEmpty())
        readLanguage(language);
    // Decoded again at once into the same objects, so that whoever holds one draws the
    // new file; a plain image before its grey look, which is then made from it.
    std::sort(emptied.begin(), emptied.end());
    for (const auto& entry : emptied) {
        const QString& key = entry.second;
        if (entry.first == VYRQDecodedCache::Kind::Renderer) {
            getSvgRenderer(key);
            continue;
        }
        const bool gray = key.endsWith(QLatin1String("_gray")) && changed.count(fileKey(key.chopped(5)));
        getImage(gray ? key.chopped(5) : key, gray);
    }
    return true;
}

bool VYRQResourceManager::loadSkinFile(const QString& zipPath)
{
    m_default->filePath = zipPath;
    if (zipPath.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(fsPath(zipPath));
    return loadSkinZip(path.constData(), nullptr, 0);
}

bool VYRQResourceManager::loadSkinFile(const char* data, int size)
{
    if (!data || size <= 0)
        return false;
    return loadSkinZip(nullptr, data, unsigned(size));
}

bool VYRQResourceManager::setProjectDirPath(const QString& dir)
{
    m_project.reset();
    auto set = std::make_unique<VYRQResourceManagerImpl>(&m_decoded);
    set->filePath = dir;
    if (!readFolder(set.get(), dir) || !parseStyleTail(set.get()))
        return false;
    readThemeJson(set.get(), ThemeIndex::Skip);
    m_project = std::move(set);
    return true;
}

bool VYRQResourceManager::loadThemeDir(const QString& dir)
{
    const QString folder = folderPathOf(dir);
    // Only a successful load leaves a theme set behind, so this never hides a failure.
    if (!folder.isEmpty() && m_theme && m_theme->folderPath == folder)
        return true;

    m_theme.reset();
    auto set = std::make_unique<VYRQResourceManagerImpl>(&m_decoded);
    set->folderPath = folder;
    if (!readFolder(set.get(), dir) || !parseStyleTail(set.get())) {
        qCDebug(vyrRes) << "cannot load theme folder" << dir;
        return false;
    }
    readThemeJson(set.get(), ThemeIndex::Build);
    m_theme = std::move(set);
    themeChange();
    return true;
}

bool VYRQResourceManager::loadThemeFile(const QString& zipPath)
{
    m_theme.reset();
    if (zipPath.isEmpty())
        return false;
    auto set = std::make_unique<VYRQResourceManagerImpl>(&m_decoded);
    set->filePath = zipPath;
    const QByteArray path = QFile::encodeName(fsPath(zipPath));
    if (!readZip(set.get(), path.constData()) || !parseStyleTail(set.get())) {
        qCDebug(vyrRes) << "cannot load theme zip" << zipPath;
        return false;
    }
    readThemeJson(set.get(), ThemeIndex::Build);
    m_theme = std::move(set);
    return true;
}

void VYRQResourceManager::initFontRes(bool fromFolder)
{
    if (!haveGuiApplication()) {
        qCDebug(vyrRes) << "fonts need a GUI application; none registered";
        return;
    }
    const auto addFont = [this](const QString& key, int id) {
        if (id < 0)
            return;
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty())
            m_default->fonts[key] = families.first();
    };

    if (fromFolder) {
        if (m_default->folderPath.isEmpty())
            return;
        const QDir folder(m_default->folderPath + QLatin1String("fonts/"));
        const QFileInfoList entries = folder.entryInfoList(QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        for (const QFileInfo& entry : entries) {
            if (m_default->fonts.count(entry.fileName()))
                continue;
            QByteArray font;
            const vyr::FileRead result = vyr::readRegularFile(entry.filePath(), vyr::maxFileBytes, font);
            if (result != vyr::FileRead::Read) {
                qCWarning(vyrRes) << "font file" << entry.filePath() << "refused:" << vyr::fileReadText(result);
                continue;
            }
            addFont(entry.fileName(), QFontDatabase::addApplicationFontFromData(font));
        }
        return;
    }
    for (const std::string& file : m_default->files.keys()) {
        if (file.size() < 5 || file.find("fonts") == std::string::npos)
            continue;
        const QString key = QString::fromStdString(file);
        if (m_default->fonts.count(key))
            continue;   // registered by an earlier skin
        // The font database keeps the bytes: handed out, they are never dropped.
        if (const QByteArray* font = m_default->files.handOut(file))
            addFont(key, QFontDatabase::addApplicationFontFromData(*font));
    }
}

void VYRQResourceManager::initDefaultStyleRes()
{
    Json::Value root;
    const Json::Value* styles = styleArrayOf(readWholeFile(QStringLiteral(":/style/resources/style/defaultStyle.json")), root);
    if (styles)
        readStyle(m_default.get(), *styles);
}

void VYRQResourceManager::initDefaultImageRes()
{
    const QRect box(1, 1, 14, 14);
    const auto paint = [this](const char* key, const std::function<void(QPainter&)>& draw) {
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setPen(QPen(QColor(204, 204, 204), 1));
        painter.setBrush(Qt::NoBrush);
        draw(painter);
        painter.end();
        m_default->decoded.keepImage(QString::fromLatin1(key), std::move(image));
    };
    paint("IDB_UNSELECT", [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.drawEllipse(box);
    });
    paint("IDB_SELECTED", [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.drawEllipse(box);
        p.setBrush(QBrush(QColor(204, 204, 204), Qt::SolidPattern));
        p.drawEllipse(QPointF(8, 8), 4, 4);
    });
    paint("IDB_UNCHECK", [&](QPainter& p) { p.drawRect(box); });
    paint("IDB_CHECKED", [&](QPainter& p) {
        p.drawRect(box);
        p.setRenderHint(QPainter::Antialiasing, true);
        const QPoint tick[] = { QPoint(4, 9), QPoint(8, 13), QPoint(14, 3) };
        p.drawPolyline(tick, 3);
    });
}

void VYRQResourceManager::releaseRes()
{
    // The built-in images stay.
    m_default->decoded.release(QStringLiteral("IDB_"));
    m_default->clearStyles();
}

// ---------------------------------------------------------------------------
// Look-ups

VYRQResourceManagerImpl* VYRQResourceManager::lookupSet() const
{
    if (m_loadFromTheme)
        return m_theme.get();
    if (m_projectRes)
        return m_project.get();
    return m_default.get();
}

bool VYRQResourceManager::getFillStyle(const QString& name, FillStyle& out) const
{
    if (name == QLatin1String("empty") || name == QLatin1String("emptyRect")) {
        out.name = name;
        out.draw = false;
        return true;
    }
    const VYRQResourceManagerImpl* set = lookupSet();
    const FillStyle* style = set ? set->findFillStyle(name) : nullptr;
    if (!style)
        return false;
    out = *style;
    out.draw = true;
    return true;
}

bool VYRQResourceManager::getFillStyle(const char* utf8, int size, FillStyle& out) const
{
    // "empty" and "emptyRect" come before the set, as in the look-up by text.
    static const char empty[] = "empty";
    static const char emptyRect[] = "emptyRect";
    const bool special = (size == int(sizeof empty) - 1 && std::memcmp(utf8, empty, sizeof empty - 1) == 0)
        || (size == int(sizeof emptyRect) - 1 && std::memcmp(utf8, emptyRect, sizeof emptyRect - 1) == 0);
    const VYRQResourceManagerImpl* set = special ? nullptr : lookupSet();
    if (const FillStyle* style = set ? set->findFillStyle(utf8, size) : nullptr) {
        out = *style;
        out.draw = true;
        return true;
    }
    return getFillStyle(QString::fromUtf8(utf8, size), out);
}

bool VYRQResourceManager::getTextStyle(const char* utf8, int size, TextStyleDesc& out) const
{
    const VYRQResourceManagerImpl* set = lookupSet();
    if (const TextStyleDesc* style = set ? set->findTextStyle(utf8, size) : nullptr) {
        out = *style;
        return true;
    }
    return getTextStyle(QString::fromUtf8(utf8, size), out);
}

bool VYRQResourceManager::getTextStyle(const QString& name, TextStyleDesc& out) const
{
    const VYRQResourceManagerImpl* set = lookupSet();
    const TextStyleDesc* style = set ? set->findTextStyle(name) : nullptr;
    if (!style)
        return false;
    out = *style;
    return true;
}

const QVector<FillStyle>& VYRQResourceManager::getFillStyles() const
{
    return m_project ? m_project->fillStyles : m_default->fillStyles;
}

const QVector<TextStyleDesc>& VYRQResourceManager::getTextStyles() const
{
    return m_project ? m_project->textStyles : m_default->textStyles;
}

const QByteArray* VYRQResourceManager::fileOf(const std::string& key, ResSourceType& source, bool handOut) const
{
    const std::pair<VYRQResourceManagerImpl*, ResSourceType> order[] = {
        { m_project.get(), ResProject }, { m_default.get(), ResDefault }, { m_theme.get(), ResTheme } };
    for (const auto& candidate : order) {
        if (!candidate.first)
            continue;
        VYRQFileStore& files = candidate.first->files;
        if (const QByteArray* file = handOut ? files.handOut(key) : files.bytes(key)) {
            source = candidate.second;
            return file;
        }
    }
    return nullptr;
}

bool VYRQResourceManager::getResource(const QString& name, const char*& data, unsigned int& size, ResSourceType& source) const
{
    source = ResDefault;
    const QByteArray* file = fileOf(fileKey(name), source, true);
    if (!file)
        return false;
    data = file->constData();
    size = unsigned(file->size());
    return true;
}

bool VYRQResourceManager::readResource(const QString& name, QByteArray& out, ResSourceType& source) const
{
    source = ResDefault;
    const std::string key = fileKey(name);
    const QByteArray* file = fileOf(key, source, false);
    if (!file)
        return false;
    out = *file;
    setOf(source)->files.release(key);
    return true;
}

VYRQResourceManagerImpl* VYRQResourceManager::holderOf(const std::string& key) const
{
    for (VYRQResourceManagerImpl* set : { m_project.get(), m_default.get(), m_theme.get() }) {
        if (set && set->files.contains(key))
            return set;
    }
    return nullptr;
}

VYRQDecodedCache& VYRQResourceManager::failuresOf(VYRQResourceManagerImpl* holder) const
{
    return (holder ? holder : m_default.get())->decoded;
}

namespace {

// The files an image or SVG name may stand for beside the resource sets, in the order
// they are tried.
std::vector<QString> resourceFiles(const QString& folder, const QString& name)
{
    const QString relative = fsPath(name);
    if (relative.isEmpty())
        return {};
    return { folder + relative, relative, folder + QLatin1String("images/") + relative };
}

// The first of those files that is a regular file, read whole.
bool readResourceFile(const QString& folder, const QString& name, QByteArray& out)
{
    for (const QString& candidate : resourceFiles(folder, name)) {
        if (!QFileInfo(candidate).isFile())
            continue;
        const vyr::FileRead result = vyr::readRegularFile(candidate, vyr::maxFileBytes, out);
        if (result == vyr::FileRead::Read)
            return true;
        qCWarning(vyrRes) << "file" << candidate << "refused:" << vyr::fileReadText(result);
        return false;
    }
    return false;
}

} // namespace

VYRQResourceManagerImpl* VYRQResourceManager::setOf(ResSourceType source) const
{
    return source == ResTheme ? m_theme.get() : source == ResProject ? m_project.get() : m_default.get();
}

QByteArray VYRQResourceManager::triedFor(VYRQResourceManagerImpl* holder, const std::string& key,
                                         const QString& name) const
{
    QByteArray tried;
    qint64 size = 0;
    quint32 crc = 0;
    if (holder && holder->files.identity(key, size, crc))
        tried = QByteArray::number(size) + ':' + QByteArray::number(crc, 16);
    for (const QString& candidate : resourceFiles(m_default->folderPath, name)) {
        const QByteArray file = vyr::fileIdentity(candidate);
        if (!file.isEmpty())
            return tried + '|' + candidate.toUtf8() + '|' + file;
    }
    return tried;
}

bool VYRQResourceManager::failedBefore(VYRQDecodedCache::Kind kind, const std::string& key, const QString& name) const
{
    VYRQResourceManagerImpl* holder = holderOf(key);
    const QByteArray* tried = failuresOf(holder).failure(kind, name);
    return tried && *tried == triedFor(holder, key, name);
}

void VYRQResourceManager::noteOutcome(VYRQDecodedCache::Kind kind, const std::string& key, const QString& name,
                                      bool failed)
{
    VYRQResourceManagerImpl* holder = holderOf(key);
    VYRQDecodedCache& failures = failuresOf(holder);
    if (failed)
        failures.rememberFailure(kind, name, triedFor(holder, key, name));
    else if (failures.failure(kind, name))
        failures.forgetFailure(kind, name);
}

QImage* VYRQResourceManager::getImage(const QString& name, bool gray)
{
    const QString key = gray ? name + QLatin1String("_gray") : name;
    VYRQResourceManagerImpl* const sets[] = { m_default.get(), m_project.get(), m_theme.get() };
    for (VYRQResourceManagerImpl* set : sets) {
        if (QImage* cached = set ? set->decoded.image(key) : nullptr)
            return cached;
    }
    const std::string file = fileKey(name);
    if (gray) {
        // The grey look of a decoded image is made from it: nothing is read again.
        for (VYRQResourceManagerImpl* set : sets) {
            if (const QImage* plain = set ? set->decoded.image(name) : nullptr) {
                QImage source = *plain;
                m_decoded.makeRoom(source.sizeInBytes());
                return set->decoded.storeImage(key, disabledImage(std::move(source)), file);
            }
        }
    }

    if (failedBefore(VYRQDecodedCache::Kind::Image, file, name))
        return nullptr;
    QImage image;
    QString refusal;
    ResSourceType source = ResDefault;
    vyr::ImageRead decoded = vyr::ImageRead::Failed;
    bool found = false;
    if (const QByteArray* bytes = fileOf(file, source, false)) {
        found = true;
        decoded = vyr::decodeImage(*bytes, image, refusal);
        // The decoded image is what stays; the file is read again should it be needed.
        setOf(source)->files.release(file);
    }
    QByteArray beside;
    if (decoded == vyr::ImageRead::Failed && readResourceFile(m_default->folderPath, name, beside)) {
        found = true;
        source = ResDefault;
        decoded = vyr::decodeImage(beside, image, refusal);
    }
    // A name found nowhere is looked for again: its file may yet appear beside the skin.
    if (!found)
        return nullptr;
    if (decoded == vyr::ImageRead::Refused)
        qCWarning(vyrRes) << "image" << name << "refused:" << refusal << "- treated as missing";
    if (!image.isNull() && m_scale < 1.0f) {
        image = image.scaled(int(float(image.width()) * m_scale), int(float(image.height()) * m_scale),
                             Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    // An empty image counts as missing; it is neither cached nor handed out.
    const bool failed = decoded != vyr::ImageRead::Read || image.width() <= 0 || image.height() <= 0;
    noteOutcome(VYRQDecodedCache::Kind::Image, file, name, failed);
    if (failed)
        return nullptr;
    // Room first, so that the cache and the copies greying makes never add up past it.
    m_decoded.makeRoom(image.sizeInBytes());
    if (gray)
        image = disabledImage(std::move(image));
    return setOf(source)->decoded.storeImage(key, std::move(image), file);
}

const QImage* VYRQResourceManager::getImageToDraw(const QString& name, bool gray)
{
    const QString key = gray ? name + QLatin1String("_gray") : name;
    for (int pass = 0; pass < 2; ++pass) {
        for (VYRQResourceManagerImpl* set : { m_default.get(), m_project.get(), m_theme.get() }) {
            if (const QImage* image = set ? set->decoded.imageToDraw(key) : nullptr)
                return image;
        }
        if (pass == 0 && !getImage(name, gray))
            return nullptr;
    }
    return nullptr;
}

QSvgRenderer* VYRQResourceManager::getSvgRenderer(const QString& name)
{
    for (VYRQResourceManagerImpl* set : { m_default.get(), m_project.get(), m_theme.get() }) {
        if (QSvgRenderer* cached = set ? set->decoded.renderer(name) : nullptr)
            return cached;
    }
    const std::string file = fileKey(name);
    if (failedBefore(VYRQDecodedCache::Kind::Renderer, file, name))
        return nullptr;
    QString refusal;
    const auto load = [&](VYRQResourceManagerImpl* owner, const QByteArray& bytes) -> QSvgRenderer* {
        vyr::CheckedSvg svg;
        if (bytes.isEmpty() || !vyr::boundedSvg(bytes, svg, refusal))
            return nullptr;
        return owner->decoded.storeRenderer(name, svg.text, svg.weight, file);
    };
    QSvgRenderer* renderer = nullptr;
    ResSourceType source = ResDefault;
    bool found = false;
    if (const QByteArray* bytes = fileOf(file, source, false)) {
        found = true;
        renderer = load(setOf(source), *bytes);
        setOf(source)->files.release(file);
    }
    QByteArray beside;
    if (!renderer && refusal.isEmpty() && readResourceFile(m_default->folderPath, name, beside)) {
        found = true;
        renderer = load(m_default.get(), beside);
    }
    if (!found)
        return nullptr;
    if (!refusal.isEmpty())
        qCWarning(vyrRes) << "SVG" << name << "refused:" << refusal << "- treated as missing";
    noteOutcome(VYRQDecodedCache::Kind::Renderer, file, name, !renderer);
    return renderer;
}

const Json::Value* VYRQResourceManager::getThemeJsonValue(const char* name) const
{
    if (!m_theme || !name || m_theme->themeRoot.isNull())
        return nullptr;
    const auto it = m_theme->elements.find(name);
    return it == m_theme->elements.end() ? nullptr : it->second;
}

// ---------------------------------------------------------------------------
// Storing styles

void VYRQResourceManager::setFillStyle(const QString& name, FillStyle& style)
{
    if (m_projectRes) {
        if (m_project)
            m_project->storeFillStyle(name, style);
        return;
    }
    m_default->storeFillStyle(name, style);
}

void VYRQResourceManager::setTextStyle(const QString& name, TextStyleDesc& style)
{
    if (m_projectRes) {
        if (m_project)
            m_project->storeTextStyle(name, style);
        return;
    }
    m_default->storeTextStyle(name, style);
}

void VYRQResourceManager::setFillStyle(VYRQResourceManagerImpl* set, const QString& name, FillStyle& style)
{
    if (set)
        set->storeFillStyle(name, style);
}

void VYRQResourceManager::setTextStyle(VYRQResourceManagerImpl* set, const QString& name, TextStyleDesc& style)
{
    if (set)
        set->storeTextStyle(name, style);
}

// ---------------------------------------------------------------------------
// Windows and notifications

bool VYRQResourceManager::registerWindow(QWidget* w)
{
    if (!w)
        return false;
    if (!m_windows.contains(w))
        m_windows.append(w);
    return true;
}

bool VYRQResourceManager::unregisterWindow(QWidget* w)
{
    m_windows.removeAll(QPointer<QWidget>());
    return w && m_windows.removeOne(w);
}

bool VYRQResourceManager::registerDesignerWindow(QWidget* d)
{
    if (!d)
        return false;
    if (!m_designers.contains(d))
        m_designers.append(d);
    return true;
}

bool VYRQResourceManager::unregisterDesignerWindow(QWidget* d)
{
    m_designers.removeAll(QPointer<QWidget>());
    return d && m_designers.removeOne(d);
}

void VYRQResourceManager::walkWindows(WindowWalk which, void (VYRQResourceManager::*notify)(QWidget*))
{
    const QList<QPointer<QWidget>> windows = m_windows;
    for (const QPointer<QWidget>& w : windows) {
        if (w)
            (this->*notify)(w);
    }
    if (which == WindowWalk::WindowsOnly)
        return;
    const QList<QPointer<QWidget>> designers = m_designers;
    for (const QPointer<QWidget>& d : designers) {
        if (d)
            (this->*notify)(d);
    }
}

bool VYRQResourceManager::themeChange()
{
    walkWindows(WindowWalk::WithDesigners, &VYRQResourceManager::notifyThemeChange);
    return true;
}

namespace {

// Children of a widget in child order, guarded: a control's refresh may delete
// widgets that the walk has not reached yet.
QVector<QPointer<QWidget>> childWidgets(const QWidget* widget)
{
    QVector<QPointer<QWidget>> out;
    for (QObject* child : widget->children()) {
        if (child->isWidgetType())
            out.append(static_cast<QWidget*>(child));
    }
    return out;
}

} // namespace

void VYRQResourceManager::notifyThemeChange(QWidget* widget)
{
    if (!widget)
        return;
    for (const QPointer<QWidget>& child : childWidgets(widget)) {
        if (!child)
            continue;
        if (auto* control = dynamic_cast<IVYRQWidgetBase*>(child.data())) {
            if (VYRQWidgetBase* base = control->getControlBase())
                base->refreshTheme();
        }
        if (child)
            notifyThemeChange(child);
    }
}

void VYRQResourceManager::notifyChangeLanguage(QWidget* widget)
{
    if (!widget)
        return;
    for (const QPointer<QWidget>& child : childWidgets(widget)) {
        if (!child)
            continue;
        if (auto* control = dynamic_cast<IVYRQWidgetBase*>(child.data()))
            control->notifyChangeLanguage();
        if (child)
            notifyChangeLanguage(child);
    }
}

void VYRQResourceManager::notifyLanguageToWindows()
{
    walkWindows(WindowWalk::WindowsOnly, &VYRQResourceManager::notifyChangeLanguage);
}

void VYRQResourceManager::setGlobalConfig(const VYRGlobalConfig& config)
{
    m_config = config;
    if (m_config.buttonFadeDuration < 1)
        m_config.buttonFadeDuration = 150;
    if (!m_config.fontFamily.isEmpty() && haveGuiApplication()) {
        QFont font = QGuiApplication::font();
        font.setFamily(m_config.fontFamily);
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            QApplication::setFont(font);
        else
            QGuiApplication::setFont(font);
    }
    walkWindows(WindowWalk::WithDesigners, &VYRQResourceManager::notifyThemeChange);
}

void VYRQResourceManager::setGlobalFontFamily(const QString& family)
{
    VYRGlobalConfig config = m_config;
    config.fontFamily = family;
    setGlobalConfig(config);
}

// ---------------------------------------------------------------------------
// Languages

QString VYRQResourceManager::getString(const QString& key) const
{
    const LanguageManager* languages = LanguageManager::instance();
    if (languages->contains(key))
        return languages->text(key);
    QString text;
    return m_languages.find(key, text) ? text : QString();
}

bool VYRQResourceManager::readLanguage(const QByteArray& data)
{
    return m_languages.read(data);
}

bool VYRQResourceManager::setCurrentLanguage(const QString& language)
{
    LanguageManager* languages = LanguageManager::instance();
    if (!languages->languages().isEmpty())
        return languages->setLanguage(language);
    if (!m_languages.select(language))
        return false;
    notifyLanguageToWindows();
    return true;
}

QString VYRQResourceManager::getCurrentLanguage() const
{
    const LanguageManager* languages = LanguageManager::instance();
    if (!languages->languages().isEmpty())
        return languages->currentLanguage();
    return m_languages.currentLanguage();
}

QStringList VYRQResourceManager::getLanguageList() const
{
    const QStringList managed = LanguageManager::instance()->languages();
    if (!managed.isEmpty())
        return managed;
    return m_languages.languages();
}
