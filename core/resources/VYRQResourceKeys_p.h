#pragma once

// Library-internal; not installed. How the resource manager names and reads files.

#include <QByteArray>
#include <QDir>
#include <QString>

#include <string>

namespace vyr {

// A style, language or page file read whole, within the size a zip entry may have
// (checked before reading), and only when it is a regular file; empty otherwise, with
// a warning when the file is there but refused.
QByteArray readWholeFile(const QString& path);

// The files a set reads itself rather than hands out, by their keys.
constexpr const char* styleFileKey = "style.json";
constexpr const char* themeFileKey = "theme.json";
constexpr const char* languageFileKey = "language.txt";

// Added to an image's name for the key of its grey look.
constexpr QLatin1String grayKeySuffix("_gray", 5);

inline QString imageKey(const QString& name, bool gray)
{
    return gray ? name + grayKeySuffix : name;
}

// A set's key for a file name: lower-cased in ASCII only, so that UTF-8 names stay
// intact and a look-up builds exactly the key that loading built; "\" read as "/".
inline std::string fileKey(QByteArray bytes)
{
    for (char& c : bytes) {
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        else if (c == '\\')
            c = '/';
    }
    return std::string(bytes.constData(), size_t(bytes.size()));
}

inline std::string fileKey(const QString& name)
{
    // An ASCII name, as nearly all are, is keyed without going through UTF-8.
    std::string key(size_t(name.size()), '\0');
    for (int i = 0; i < name.size(); ++i) {
        const ushort c = name.at(i).unicode();
        if (c >= 0x80)
            return fileKey(name.toUtf8());
        key[size_t(i)] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c == '\\' ? '/' : char(c);
    }
    return key;
}

inline QString fsPath(QString path)
{
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

// Folder paths are kept clean and ending in "/" so that the same folder always
// compares equal, however it was spelled.
inline QString folderPathOf(const QString& dir)
{
    QString path = fsPath(dir);
    if (path.isEmpty())
        return path;
    path = QDir::cleanPath(path);
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return path;
}

} // namespace vyr
