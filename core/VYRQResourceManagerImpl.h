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

    // Where a file's bytes come from, so that they can be read again once dropped:
    // a file of the set's folder, or an entry of an archive on disk.
    struct FileSource {
        QString path;           // the file, or the archive
        int zipIndex = -1;      // the archive's entry; -1 for a folder file
        QByteArray zipName;     // the entry's name and size, checked when it is read again
        quint32 zipSize = 0;
    };

    // A folder's files are listed when it loads and read on first look-up, so a
    // theme costs only the files it uses. Null when the set holds no such file, or
    // when a listed file is refused (too large, past the set's total, not a regular
    // file, or an archive entry that changed since the archive was loaded).
    const QByteArray* file(const std::string& key);
    // Lists a folder's file under a key; the first file listed under a key stays.
    void listFolderFile(const std::string& key, const QString& path);
    // Adds a file's bytes under a key (the first file under a key stays); a source
    // with a path lets dropFile free them.
    void addFile(const std::string& key, const QByteArray& bytes, const FileSource& source);
    void addFile(const std::string& key, const QByteArray& bytes) { addFile(key, bytes, FileSource()); }
    // Adds another set's files under the keys this set does not hold yet.
    void addFilesOf(const VYRQResourceManagerImpl& other);
    // Frees a file's bytes once they are decoded, when they can be read again: the file
    // is listed anew. Bytes without a source (an archive in memory) stay.
    void dropFile(const std::string& key);
    // Reads a folder file whole within the limits a zip's entries have (per file and
    // for the set in total, which counts the bytes held); the file is opened without
    // blocking and its type and size are checked before anything is allocated.
    // False, with a warning, for a refused file; a file that cannot be opened reads
    // as empty.
    bool readFolderFile(const QString& path, QByteArray& out);

    Json::Value themeRoot;
    std::map<std::string, QByteArray> files;          // lower-case key -> whole file
    std::map<std::string, FileSource> listedFiles;    // lower-case key -> source, not read (yet or again)
    std::map<std::string, const Json::Value*> elements;
    QVector<QByteArray> styleFiles;
    QString folderPath;
    QString filePath;
    // When a cached image or renderer was last asked for, and the bytes it holds
    // (estimated for a renderer); the manager drops the least recently used first.
    struct CacheUse {
        quint64 tick = 0;
        qint64 bytes = 0;
    };
    std::map<QString, std::unique_ptr<QImage>> images;
    // The images the manager decoded into `images`; built-in images are not listed.
    std::map<QString, CacheUse> imageUse;
    std::map<QString, std::unique_ptr<QSvgRenderer>> svgs;
    std::map<QString, CacheUse> svgUse;
    QVector<FillStyle> fillStyles;
    QVector<TextStyleDesc> textStyles;
    QHash<QString, int> fillIndex;
    QHash<QString, int> textIndex;
    std::map<QString, QString> fonts;                // file name or key -> family

private:
    void forgetForms();
    bool readSource(const FileSource& source, QByteArray& out);
    qint64 m_folderBytes = 0;   // held from the set's folder
    // The sources of the files in `files` that can be read again.
    std::map<std::string, FileSource> m_sources;
    QHash<QByteArray, int> m_fillUtf8;
    QHash<QByteArray, int> m_textUtf8;
    // Keyed by the indexed elements only, so a value outside the theme root never
    // finds a form (nor a stale one at a reused address).
    std::unordered_map<const Json::Value*, std::unique_ptr<VYRQThemeElementForm>> m_forms;
};
