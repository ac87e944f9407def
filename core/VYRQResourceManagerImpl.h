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

class QSvgRenderer;

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

    // Indexes "elements"[0]."child" of the theme root by "name".
    void indexThemeElements();

    Json::Value themeRoot;
    std::map<std::string, QByteArray> files;          // lower-case key -> whole file
    std::map<std::string, const Json::Value*> elements;
    QVector<QByteArray> styleFiles;
    QString folderPath;
    QString filePath;
    std::map<QString, std::unique_ptr<QImage>> images;
    std::map<QString, std::unique_ptr<QSvgRenderer>> svgs;
    QVector<FillStyle> fillStyles;
    QVector<TextStyleDesc> textStyles;
    QHash<QString, int> fillIndex;
    QHash<QString, int> textIndex;
    std::map<QString, QString> fonts;                // file name or key -> family
};
