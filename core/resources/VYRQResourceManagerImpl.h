#pragma once

#include "VYRQExport.h"

// One resource set of the resource manager: the default, project or theme set.

#include "VYRQDecodedCache.h"
#include "VYRQFileStore.h"
#include "VYRQStyleDefs.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>
#include <json/value.h>

#include <map>
#include <memory>
#include <string>
#include <unordered_map>

class VYRQThemeElementForm;

class VYRQTLIB_EXPORT VYRQResourceManagerImpl {
public:
    // `budget`: shared with the other sets of a manager; without one the set has its own.
    explicit VYRQResourceManagerImpl(VYRQDecodedCache::Budget* budget = nullptr);
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

    // Appends a style.json buffer, counted against the set's bound; the buffer an
    // earlier load of the same `origin` (a skin's file name) added is replaced, and
    // the new one comes last, as the one parsed. False when it does not fit.
    bool addStyleFile(const QByteArray& bytes, const QString& origin = QString());
    // The bytes of the style file `origin` added; 0 for none or an empty origin.
    qint64 styleFileBytes(const QString& origin) const;

    Json::Value themeRoot;
    VYRQFileStore files;                              // lower-case key -> file
    std::map<std::string, const Json::Value*> elements;
    QVector<QByteArray> styleFiles;
    QString folderPath;
    QString filePath;
    VYRQDecodedCache decoded;                         // images and SVG renderers
    QVector<FillStyle> fillStyles;
    QVector<TextStyleDesc> textStyles;
    QHash<QString, int> fillIndex;
    QHash<QString, int> textIndex;
    std::map<QString, QString> fonts;                // file name or key -> family

private:
    void forgetForms();
    QVector<QString> m_styleOrigins;   // beside styleFiles; empty for none
    QHash<QByteArray, int> m_fillUtf8;
    QHash<QByteArray, int> m_textUtf8;
    // Keyed by the indexed elements only, so a value outside the theme root never
    // finds a form (nor a stale one at a reused address).
    std::unordered_map<const Json::Value*, std::unique_ptr<VYRQThemeElementForm>> m_forms;
};
