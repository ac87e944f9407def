#include "VYRQResourceManager.h"

#include "LanguageManager.h"
#include "VYRQJson.h"
#include "VYRQLogging.h"
#include "VYRQRegularFile.h"
#include "VYRQResourceDecoder_p.h"
#include "VYRQResourceKeys_p.h"
#include "VYRQResourceManagerImpl.h"
#include "VYRQSetArchive_p.h"
#include "VYRQSkinReload_p.h"
#include "VYRQWidgetNotices_p.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>

#include <dirent.h>
#include <sys/stat.h>

namespace {

using vyr::fileKey;
using vyr::languageFileKey;
using vyr::styleFileKey;
using vyr::themeFileKey;
using vyr::folderPathOf;
using vyr::fsPath;

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

vyr::WidgetNotices& vyr::widgetNotices()
{
    static WidgetNotices notices;
    return notices;
}

namespace {

bool haveGuiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
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

namespace {

enum class Listed { Other, File, Folder };

// The names in a folder (the hidden ones too) and what each is, links followed: what
// the listing itself says where it can, rather than asking the file system again for
// each of thousands of icons. Nothing when the folder cannot be read.
std::vector<std::pair<QString, Listed>> listFolder(const QString& folder)
{
    std::vector<std::pair<QString, Listed>> out;
    const QByteArray path = QFile::encodeName(folder);
    DIR* dir = ::opendir(path.constData());
    if (!dir)
        return out;
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0')))
            continue;
        Listed kind = entry->d_type == DT_REG ? Listed::File : entry->d_type == DT_DIR ? Listed::Folder : Listed::Other;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            if (::stat((path + '/' + name).constData(), &info) == 0)
                kind = S_ISREG(info.st_mode) ? Listed::File : S_ISDIR(info.st_mode) ? Listed::Folder : Listed::Other;
        }
        out.emplace_back(QFile::decodeName(name), kind);
    }
    ::closedir(dir);
    return out;
}

} // namespace

bool VYRQResourceManager::readFolder(VYRQResourceManagerImpl* set, const QString& dir)
{
    const QString path = fsPath(dir);
    if (path.isEmpty())
        return false;
    const QDir folder(path);
    if (!folder.exists())
        return false;

    // Listed as the file system gives them, without sorting thousands of names: the store
    // keeps under a key the file a listing by name meets first, and the images folder's
    // files come first, as in a listing with folders first.
    QString base = folder.path();
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    const QString imagesFolder = base + QStringLiteral("images/");
    std::vector<QString> images;
    std::vector<QString> files;
    std::vector<QString> styles;
    for (auto& entry : listFolder(base)) {
        if (entry.second == Listed::Folder && entry.first == QLatin1String("images")) {
            for (auto& image : listFolder(imagesFolder)) {
                if (image.second == Listed::File)
                    images.push_back(std::move(image.first));
            }
        } else if (entry.second == Listed::File && entry.first != QLatin1String("tmpTheme.zip")) {
            (fileKey(entry.first) == styleFileKey ? styles : files).push_back(std::move(entry.first));
        }
    }
    set->files.reserve(images.size() + files.size());
    for (const QString& image : images)
        set->files.listFolderFile(fileKey(QLatin1String("images/") + image), imagesFolder, image);
    for (const QString& file : files)
        set->files.listFolderFile(fileKey(file), base, file);
    // Every style file is read now, in name order: the last is the one parsed.
    std::sort(styles.begin(), styles.end());
    for (const QString& style : styles) {
        QByteArray buffer;
        if (set->files.readFolderFile(base + style, buffer))
            set->addStyleFile(buffer);
    }
    return true;
}

bool VYRQResourceManager::readZip(VYRQResourceManagerImpl* set, const char* path)
{
    VYRQSetArchive archive(path, nullptr, 0);
    if (!archive.list())
        return false;
    const QString origin = QFile::decodeName(path);
    set->files.reserve(archive.files().size());
    for (const VYRQFileStore::ArchiveEntry& style : archive.styles()) {
        QByteArray bytes;
        if (!archive.unpack(style, bytes))
            return false;
        set->addStyleFile(bytes);
    }
    for (const auto& file : archive.files()) {
        QByteArray bytes;
        if (!archive.unpack(file.second, bytes)) {
            if (file.first == themeFileKey)
                return false;
            continue;
        }
        set->files.addArchiveEntry(file.first, bytes, origin, file.second);
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

bool VYRQResourceManager::loadSkinFile(const QString& zipPath)
{
    m_default->filePath = zipPath;
    if (zipPath.isEmpty())
        return false;
    const QByteArray path = QFile::encodeName(fsPath(zipPath));
    return VYRQSkinReload(*this).load(path.constData(), nullptr, 0);
}

bool VYRQResourceManager::loadSkinFile(const char* data, int size)
{
    if (!data || size <= 0)
        return false;
    return VYRQSkinReload(*this).load(nullptr, data, unsigned(size));
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
        m_default->decoded.storeBuiltIn(QString::fromLatin1(key), std::move(image));
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
    m_default->decoded.release();
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

const QByteArray* VYRQResourceManager::fileOf(const std::string& key, ResSourceType& source,
                                              const QByteArray* (VYRQFileStore::*take)(const std::string&)) const
{
    const std::pair<VYRQResourceManagerImpl*, ResSourceType> order[] = {
        { m_project.get(), ResProject }, { m_default.get(), ResDefault }, { m_theme.get(), ResTheme } };
    for (const auto& candidate : order) {
        if (!candidate.first)
            continue;
        VYRQFileStore& files = candidate.first->files;
        if (const QByteArray* file = (files.*take)(key)) {
            source = candidate.second;
            return file;
        }
    }
    return nullptr;
}

bool VYRQResourceManager::getResource(const QString& name, const char*& data, unsigned int& size, ResSourceType& source) const
{
    source = ResDefault;
    const QByteArray* file = fileOf(fileKey(name), source, &VYRQFileStore::handOut);
    if (!file)
        return false;
    data = file->constData();
    size = unsigned(file->size());
    return true;
}

bool VYRQResourceManager::readResource(const QString& name, QByteArray& out, ResSourceType& source) const
{
    source = ResDefault;
    const QByteArray* file = fileOf(fileKey(name), source, &VYRQFileStore::keep);
    if (!file)
        return false;
    out = *file;
    return true;
}

QImage* VYRQResourceManager::getImage(const QString& name, bool gray)
{
    return VYRQResourceDecoder(*this).image(name, gray);
}

const QImage* VYRQResourceManager::getImageToDraw(const QString& name, bool gray)
{
    return VYRQResourceDecoder(*this).imageToDraw(name, gray);
}

const QImage* VYRQResourceManager::getImageToDraw(const QImage* image)
{
    return VYRQResourceDecoder(*this).imageToDraw(image);
}

QSvgRenderer* VYRQResourceManager::getSvgRenderer(const QString& name)
{
    return VYRQResourceDecoder(*this).renderer(name);
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
        if (auto notice = vyr::widgetNotices().themeChanged)
            notice(child.data());
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
        if (auto notice = vyr::widgetNotices().languageChanged)
            notice(child.data());
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
