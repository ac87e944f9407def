#pragma once

#include "VYRQExport.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <map>

class QByteArray;

// The language.txt tables of the skins: for each language, texts by key. Each file adds
// languages and texts (a key given again replaces its text); the first file's first
// language becomes current. A few kilobytes of tabs can name millions of empty texts,
// each a map entry, so the tables are bounded as a whole: a file that would take them
// past a bound is refused, with a warning, and adds nothing. A text costs about 80 bytes
// besides its characters: at the bounds the tables hold about 60 MB.
class VYRQTLIB_EXPORT VYRQLanguageTable {
public:
    static constexpr int maxLanguages = 256;
    static constexpr qint64 maxTexts = 500000;
    // Keys and texts together; a key counts once for its line.
    static constexpr qint64 maxCharacters = 8 * 1024 * 1024;

    // `data` is UTF-16 little-endian text. False for a file without the header line,
    // and for one refused by the bounds.
    bool read(const QByteArray& data);

    // Makes the table of `language` current; false, changing nothing, when there is none.
    bool select(const QString& language);
    // The current table's text for `key`; false when there is no such text.
    bool find(const QString& key, QString& text) const;
    // Empty while no table is current.
    QString currentLanguage() const { return m_current ? m_currentName : QString(); }
    QStringList languages() const;

    qint64 texts() const { return m_texts; }
    qint64 characters() const { return m_characters; }

private:
    enum class Pass { Count, Store };
    // Counts, or stores, the texts of the lines from `from` on under the languages `names`;
    // counting stops, false, once past a bound.
    bool walk(const QString& text, int from, const QStringList& names, Pass pass, qint64& texts, qint64& characters);

    // Nodes of std::map never move, so the current-table pointer survives inserts.
    std::map<QString, QMap<QString, QString>> m_tables;
    QMap<QString, QString>* m_current = nullptr;
    QString m_currentName;
    qint64 m_texts = 0;
    qint64 m_characters = 0;
};
