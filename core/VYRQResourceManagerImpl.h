#pragma once

#include "VYRQExport.h"

// One resource set of the resource manager: the default, project or theme set.

#include "VYRQStyleDefs.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QString>
#include <QVector>
#include <json/value.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

class QSvgRenderer;
class VYRQThemeElementForm;

class VYRQTLIB_EXPORT VYRQResourceManagerImpl {
public:
    VYRQResourceManagerImpl();
    ~VYRQResourceManagerImpl();
    VYRQResourceManagerImpl(const VYRQResourceManagerImpl&) = delete;
    VYRQResourceManagerImpl& operator=(const VYRQResourceManagerImpl&) = delete;

    // Frees every buffer, cached image and renderer and empties every table.
    void clear();

    // Stores a style by name: a known name replaces the record in place, a new one
    // is appended (the set keeps the order of first appearance).
    void storeFillStyle(const QString& name, const FillStyle& style);
    void storeTextStyle(const QString& name, const TextStyleDesc& style);
    const FillStyle* findFillStyle(const QString& name) const;
    const TextStyleDesc* findTextStyle(const QString& name) const;
    // The same look-ups by a name's UTF-8 bytes, without building a QString; null also
    // for a name whose text does not survive the round trip (look it up as a QString).
    const FillStyle* findFillStyle(const char* utf8, int size) const;
    const TextStyleDesc* findTextStyle(const char* utf8, int size) const;
    // Empties the style tables and their indexes.
    void clearStyles();

    // Indexes "elements"[0]."child" of the theme root by "name".
    void indexThemeElements();
    // The compiled form of an indexed theme element, built on first use; null for any
    // other value. Forms hold looked-up styles: storing a style drops them all.
    const VYRQThemeElementForm* themeElementForm(const Json::Value* element);
    // Forgets the indexed elements' forms; before the theme root changes.
    void dropThemeElements();

    // A folder's files are listed when it loads and read on first look-up, so a
    // theme costs only the files it uses. Null when the set holds no such file, or
    // when a listed file is refused (too large, or past the set's total).
    const QByteArray* file(const std::string& key);
    // Lists a folder's file under a key; the first file listed under a key stays.
    void listFolderFile(const std::string& key, const QString& path);
    // Reads a folder file whole within the limits a zip's entries have (per file and
    // for the set in total); the size is checked before anything is allocated.
    // False, with a warning, for a refused file; a file that cannot be opened reads
    // as empty.
    bool readFolderFile(const QString& path, QByteArray& out);

    Json::Value themeRoot;
    std::map<std::string, QByteArray> files;          // lower-case key -> whole file
    std::map<std::string, QString> folderFiles;       // lower-case key -> path, not read yet
    std::map<std::string, const Json::Value*> elements;
    QVector<QByteArray> styleFiles;
    QString folderPath;
    QString filePath;
    std::map<QString, std::unique_ptr<QImage>> images;
    // When each image the manager decoded into `images` was last asked for; the
    // manager drops the least recently used first. Built-in images are not listed.
    std::map<QString, quint64> imageUse;
    std::map<QString, std::unique_ptr<QSvgRenderer>> svgs;
    QVector<FillStyle> fillStyles;
    QVector<TextStyleDesc> textStyles;
    QHash<QString, int> fillIndex;
    QHash<QString, int> textIndex;
    std::map<QString, QString> fonts;                // file name or key -> family

private:
    void forgetForms();
    qint64 m_folderBytes = 0;   // read from the set's folder so far
    QHash<QByteArray, int> m_fillUtf8;
    QHash<QByteArray, int> m_textUtf8;
    // Keyed by the indexed elements only, so a value outside the theme root never
    // finds a form (nor a stale one at a reused address).
    std::unordered_map<const Json::Value*, std::unique_ptr<VYRQThemeElementForm>> m_forms;
};
