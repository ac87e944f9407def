#pragma once

#include "VYRQExport.h"

#include "VYRQDecodedCache.h"
#include "VYRQLanguageTable.h"
#include "VYRQStyleDefs.h"
#include "VYRQTypes.h"

#include <QByteArray>
#include <QMap>
#include <QMetaObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <map>
#include <memory>
#include <set>
#include <string>

namespace Json { class Value; }

class QImage;
class QSvgRenderer;
class QWidget;
class VYRQFileStore;
class VYRQResourceManagerImpl;

// The process-wide owner of everything a theme supplies: named styles, file data,
// images, SVG renderers, fonts, theme elements and the language.txt tables. It keeps
// three resource sets: the default set (start-up and skins), the project set and
// the theme set. GUI thread only.
//
// What a look-up hands out (the bytes of getResource, the image of getImage, the
// renderer of getSvgRenderer, the element of getThemeJsonValue) stays valid until its
// set is replaced or removed, or releaseRes runs; the default set is never replaced.
// What a holder sees meanwhile:
// - After eviction (decoded images and renderers together pass 256 MiB): the least
//   recently used are emptied in place. An emptied image or renderer is decoded again,
//   into the same object and from the very file it came from (its set's file, or the
//   file beside the skin), when its name is next asked for or drawn, and when an image
//   control given the pointer paints: a control never draws an emptied image while its
//   file gives one. A pointer kept elsewhere shows the empty object until then. One
//   changed through its pointer is not emptied (it could not be decoded back) and
//   counts until its set goes.
// - After an edit on disk: what is decoded stays as it was decoded. A set's file is read
//   again only as it was first read (its size and CRC-32): changed, it is missing from
//   then on (with a warning), and an image or renderer of it, once emptied, shows
//   nothing until a new set is loaded. A file beside the skin is read again as it is
//   then. Pages and menus open again, for the set's life, with the bytes the set first
//   read of them; bytes getResource handed out never change.
// - After a change through the pointer: painters draw the image itself (it is kept in
//   the form they draw, premultiplied or opaque 32-bit, as a QPixmap would hold it; one
//   changed to another form is drawn from a copy made again whenever it changes), so
//   every control drawing it by name, or given the pointer, shows the change; a
//   renderer given another document draws it, tinted and grey pictures included. The
//   grey look is an image of its own, not changed with the plain one.
// - After a skin is loaded again: what changed in it is decoded at once into the same
//   objects; bytes handed out keep what they held. A changed file that does not unpack
//   refuses the skin and leaves the set as it was.
// - After the set is replaced or releaseRes: an image control given one of its images
//   draws nothing (it holds the set and the name, not the pointer).
class VYRQTLIB_EXPORT VYRQResourceManager {
public:
    static VYRQResourceManager* getInstance();
    ~VYRQResourceManager();

    bool isCreatedByFile() const { return m_createdByFile; }
    void setCreatedByFile(bool on) { m_createdByFile = on; }
    bool isLoadFromThemeRes() const { return m_loadFromTheme; }
    void setSwitchToThemeRes(bool on) { m_loadFromTheme = on; }
    bool isProjectRes() const { return m_projectRes; }
    void setSwitchToProjectRes(bool on) { m_projectRes = on; }
    bool isDesigner() const { return m_designer; }
    void setIsDesigner(bool on) { m_designer = on; }

    float getScaleFactor() const { return m_scale; }
    void setScaleFactor(float scale) { m_scale = scale; }
    bool getButtonFadeEnabled() const { return m_config.buttonFadeEnabled; }
    int getButtonFadeDuration() const;
    const VYRGlobalConfig& getGlobalConfig() const { return m_config; }
    QString getGlobalFontFamily() const { return m_config.fontFamily; }

    VYRQResourceManagerImpl* getProjectManagerImpl() const { return m_project.get(); }
    VYRQResourceManagerImpl* getDefaultManagerImpl() const { return m_default.get(); }
    VYRQResourceManagerImpl* getThemeManagerImpl() const { return m_theme.get(); }
    QString getFileSkinPath() const;
    QString getSkinDirPath() const;
    QString getThemePath() const;

    // Loading
    bool setSkinDirPath(const QString& dir);
    bool loadSkinFile(const QString& zipPath);
    bool loadSkinFile(const char* data, int size);
    bool setProjectDirPath(const QString& dir);
    bool loadThemeDir(const QString& dir);
    bool loadThemeFile(const QString& zipPath);
    void initDefaultImageRes();
    void initDefaultStyleRes();
    void initFontRes(bool fromFolder);

    // Look-ups
    bool getFillStyle(const QString& name, FillStyle& out) const;
    bool getTextStyle(const QString& name, TextStyleDesc& out) const;
    // The same by a name's UTF-8 bytes (no QString is built for a name the set holds).
    bool getFillStyle(const char* utf8, int size, FillStyle& out) const;
    bool getTextStyle(const char* utf8, int size, TextStyleDesc& out) const;
    const QVector<FillStyle>& getFillStyles() const;
    const QVector<TextStyleDesc>& getTextStyles() const;
    // The bytes handed out are kept by their set for the caller (see above), and count
    // against its 256 MiB.
    bool getResource(const QString& name, const char*& data, unsigned int& size, ResSourceType& source) const;
    // The same bytes, shared with the caller rather than handed out: the set keeps them
    // while the file is in it, so that a page or menu opens again as first read (the
    // page and menu loaders read this way), and frees them when a reload replaces it.
    bool readResource(const QString& name, QByteArray& out, ResSourceType& source) const;
    // A file's bytes are dropped once decoded (read again when needed), unless they were
    // handed out, read by readResource or came from an archive in memory. A name that gave
    // no image (or no renderer) is tried again only once what was tried changed: the
    // set's file (its size and CRC-32) or the file beside the skin (its identity as the
    // read found it: device, inode, size, modification time). A name found nowhere is
    // looked for again once a set or its files change; one refused for room once an image
    // changed through its pointer gave room back.
    QImage* getImage(const QString& name, bool gray);
    // The same image in the form the painters draw it from (see
    // VYRQDecodedCache::imageToDraw), decoded first when needed; for drawing at once.
    const QImage* getImageToDraw(const QString& name, bool gray);
    // The form to draw an image getImage handed out, decoded again into it first when it
    // was emptied; any other image as it is.
    const QImage* getImageToDraw(const QImage* image);
    QSvgRenderer* getSvgRenderer(const QString& name);
    const Json::Value* getThemeJsonValue(const char* name) const;

    // Storing styles
    void setFillStyle(const QString& name, FillStyle& style);
    void setTextStyle(const QString& name, TextStyleDesc& style);
    void setFillStyle(VYRQResourceManagerImpl* set, const QString& name, FillStyle& style);
    void setTextStyle(VYRQResourceManagerImpl* set, const QString& name, TextStyleDesc& style);
    QString toProjectStyleString() const;

    // Windows and notifications. Windows and window designers pass themselves; they
    // convert to QWidget* where their class is complete.
    bool registerWindow(QWidget* w);
    bool unregisterWindow(QWidget* w);
    bool registerDesignerWindow(QWidget* d);
    bool unregisterDesignerWindow(QWidget* d);
    bool themeChange();
    void setGlobalConfig(const VYRGlobalConfig& config);
    void setGlobalFontFamily(const QString& family);
    // Deletes the default set's decoded images and renderers but the built-in images,
    // and its styles.
    void releaseRes();

    // Languages (language manager first, then the language.txt tables)
    QString getString(const QString& key) const;
    bool setCurrentLanguage(const QString& language);
    QString getCurrentLanguage() const;
    QStringList getLanguageList() const;

protected:
    VYRQResourceManager();
    bool readStyle(VYRQResourceManagerImpl* set, const Json::Value& styleArray);
    bool writeStyle(VYRQResourceManagerImpl* set, Json::Value& styleArray) const;
    bool readLanguage(const QByteArray& data);
    void notifyThemeChange(QWidget* widget);
    void notifyChangeLanguage(QWidget* widget);
    void notifyLanguageToWindows();
    // Parses the last style.json buffer of a set and reads its "style" array into it.
    bool parseStyleTail(VYRQResourceManagerImpl* set);
    // The "style" array of a style.json buffer, or null when the text does not parse,
    // lacks the array or passes the style file's bounds (or `into`'s, when given).
    // `root` keeps the parsed document alive.
    static const Json::Value* styleArrayOf(const QByteArray& buffer, Json::Value& root,
                                           const VYRQResourceManagerImpl* into = nullptr);

private:
    VYRQResourceManagerImpl* lookupSet() const;
    bool readFolder(VYRQResourceManagerImpl* set, const QString& dir);
    // Reads a theme zip into a new set.
    bool readZip(VYRQResourceManagerImpl* set, const char* path);
    friend class VYRQSkinReload;
    // The bytes of the first set (project, default, theme) holding the file `key`, as
    // `take` gives them.
    const QByteArray* fileOf(const std::string& key, ResSourceType& source,
                             const QByteArray* (VYRQFileStore::*take)(const std::string&)) const;
    enum class ThemeIndex { Skip, Build };
    void readThemeJson(VYRQResourceManagerImpl* set, ThemeIndex index);
    enum class WindowWalk { WindowsOnly, WithDesigners };
    // Every live registered window (then designer), over a copy: a refresh may build
    // or close windows.
    void walkWindows(WindowWalk which, void (VYRQResourceManager::*notify)(QWidget*));

    bool m_createdByFile = false;
    bool m_loadFromTheme = false;
    bool m_projectRes = false;
    bool m_designer = false;
    float m_scale = 100.0f;
    VYRGlobalConfig m_config;
    VYRQLanguageTable m_languages;
    // Guarded: a window deleted without unregistering drops out of every walk.
    QList<QPointer<QWidget>> m_windows;
    QList<QPointer<QWidget>> m_designers;
    QMetaObject::Connection m_languageConnection;
    // The decoded images and renderers of all three sets together; declared before the
    // sets, whose caches it outlives.
    VYRQDecodedCache::Budget m_decoded;
    std::unique_ptr<VYRQResourceManagerImpl> m_default;
    std::unique_ptr<VYRQResourceManagerImpl> m_project;
    std::unique_ptr<VYRQResourceManagerImpl> m_theme;
};

// Raises one of the resource manager's look-up switches for a scope and puts back
// the value it had before, so nested builds never run against the wrong set.
class VYRQTLIB_EXPORT VYRQResSwitchGuard {
public:
    enum Switch { ThemeRes, ProjectRes, CreatedByFile };
    VYRQResSwitchGuard(Switch which, bool value);
    ~VYRQResSwitchGuard();
    VYRQResSwitchGuard(const VYRQResSwitchGuard&) = delete;
    VYRQResSwitchGuard& operator=(const VYRQResSwitchGuard&) = delete;
private:
    Switch m_which;
    bool m_saved;
};
