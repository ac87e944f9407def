#include "VYRQLanguageTable.h"

#include "VYRQLogging.h"

#include <QByteArray>
#include <QSet>
#include <QStringView>

#include <algorithm>
#include <vector>

namespace {

const QChar tab(QLatin1Char('\t'));

// The end of the line starting at `from`: the next "\r\n", or the end of the text.
int lineEnd(const QString& text, int from)
{
    const int end = text.indexOf(QLatin1String("\r\n"), from);
    return end < 0 ? text.size() : end;
}

// The cells of the line [from, end), at most `most` of them (the last one then ends at
// the next TAB): each cell's start, and one more entry past the end of the last, so that
// cell i is [starts[i], starts[i + 1] - 1).
void cellsOf(const QString& text, int from, int end, int most, std::vector<int>& starts)
{
    starts.clear();
    starts.push_back(from);
    const QChar* data = text.constData();
    int stop = end;
    for (int i = from; i < end; ++i) {
        if (data[i] != tab)
            continue;
        if (int(starts.size()) == most) {
            stop = i;
            break;
        }
        starts.push_back(i + 1);
    }
    starts.push_back(stop + 1);
}

QStringView cell(const QString& text, const std::vector<int>& starts, int i)
{
    return QStringView(text.constData() + starts[size_t(i)], starts[size_t(i) + 1] - 1 - starts[size_t(i)]);
}

} // namespace

bool VYRQLanguageTable::read(const QByteArray& data)
{
    // Decoded by hand so that a leading U+FEFF stays in the first cell (and fails the
    // header check) and an odd trailing byte is dropped.
    const int units = data.size() / 2;
    QString text(units, Qt::Uninitialized);
    QChar* out = text.data();
    const uchar* in = reinterpret_cast<const uchar*>(data.constData());
    for (int i = 0; i < units; ++i)
        out[i] = QChar(ushort(in[2 * i] | (in[2 * i + 1] << 8)));

    const int headerEnd = text.indexOf(QLatin1String("\r\n"));
    if (headerEnd < 0)
        return false;
    // One cell past the bound is enough to tell that the header names too many.
    std::vector<int> starts;
    cellsOf(text, 0, headerEnd, maxLanguages + 2, starts);
    const int cells = int(starts.size()) - 1;
    if (cells < 2 || cell(text, starts, 0) != QLatin1String("Language"))
        return false;
    QStringList names;
    QSet<QString> added;
    for (int j = 1; j < cells; ++j) {
        names.append(cell(text, starts, j).toString());
        if (m_tables.find(names.last()) == m_tables.end())
            added.insert(names.last());
    }
    if (names.size() > maxLanguages || m_tables.size() + size_t(added.size()) > size_t(maxLanguages)) {
        qCWarning(vyrRes) << "language.txt refused: the language tables would hold more than" << maxLanguages
                          << "languages";
        return false;
    }

    qint64 texts = 0;
    qint64 characters = 0;
    if (!walk(text, headerEnd + 2, names, Pass::Count, texts, characters)) {
        const bool tooManyTexts = m_texts + texts > maxTexts;
        qCWarning(vyrRes) << "language.txt refused: the language tables would hold more than"
                          << (tooManyTexts ? maxTexts : maxCharacters) << (tooManyTexts ? "texts" : "characters");
        return false;
    }
    // Counting took every text as new that is not in a table yet, and no text as
    // shorter, so storing adds no more than was counted.
    texts = 0;
    characters = 0;
    walk(text, headerEnd + 2, names, Pass::Store, texts, characters);
    m_texts += texts;
    m_characters += characters;
    return true;
}

bool VYRQLanguageTable::walk(const QString& text, int from, const QStringList& names, Pass pass, qint64& texts,
                             qint64& characters)
{
    // A language not in the tables yet has no texts to replace: counting needs no table.
    std::vector<QMap<QString, QString>*> tables;
    bool anyTable = pass == Pass::Store;
    for (const QString& name : names) {
        QMap<QString, QString>* table = nullptr;
        if (pass == Pass::Store) {
            table = &m_tables[name];
            if (!m_current) {
                m_current = table;
                m_currentName = name;
            }
        } else {
            const auto found = m_tables.find(name);
            table = found == m_tables.end() ? nullptr : &found->second;
            anyTable = anyTable || table;
        }
        tables.push_back(table);
    }

    std::vector<int> starts;
    while (from <= text.size()) {
        const int end = lineEnd(text, from);
        cellsOf(text, from, end, names.size() + 1, starts);
        from = end + 2;
        const int count = int(starts.size()) - 1;
        if (count < 2)
            continue;
        const QString key = anyTable ? cell(text, starts, 0).toString() : QString();
        bool newText = false;
        for (int j = 1; j < count; ++j) {
            const QStringView value = cell(text, starts, j);
            QMap<QString, QString>* table = tables[size_t(j - 1)];
            if (table) {
                const auto it = table->find(key);
                if (it != table->end()) {
                    // Counting takes no credit for a shorter text: a language named twice
                    // in the header replaces the same text twice on one line.
                    const qint64 change = value.size() - it->size();
                    characters += pass == Pass::Store ? change : std::max<qint64>(change, 0);
                    if (pass == Pass::Store)
                        *it = value.toString();
                    continue;
                }
                if (pass == Pass::Store)
                    table->insert(key, value.toString());
            }
            ++texts;
            characters += value.size();
            newText = true;
        }
        if (newText)
            characters += starts[1] - 1 - starts[0];
        if (pass == Pass::Count && (m_texts + texts > maxTexts || m_characters + characters > maxCharacters))
            return false;
    }
    return true;
}

bool VYRQLanguageTable::select(const QString& language)
{
    const auto it = m_tables.find(language);
    if (it == m_tables.end())
        return false;
    m_current = &it->second;
    m_currentName = language;
    return true;
}

bool VYRQLanguageTable::find(const QString& key, QString& text) const
{
    if (!m_current)
        return false;
    const auto it = m_current->constFind(key);
    if (it == m_current->constEnd())
        return false;
    text = *it;
    return true;
}

QStringList VYRQLanguageTable::languages() const
{
    QStringList names;
    for (const auto& table : m_tables)
        names.append(table.first);
    return names;
}
