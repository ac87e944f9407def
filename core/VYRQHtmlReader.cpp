#include "VYRQHtmlReader_p.h"

#include <QVector>

#include <initializer_list>

namespace vyr {
namespace {

bool oneOf(const QString& name, std::initializer_list<const char*> names)
{
    for (const char* candidate : names) {
        if (name == QLatin1String(candidate))
            return true;
    }
    return false;
}

// Elements that hold nothing: written closed at once.
bool isVoid(const QString& name)
{
    return oneOf(name, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param", "source",
                        "track", "wbr"});
}

// Elements Qt lays out as blocks: a paragraph opened inside one of them does not close
// a paragraph around it. Any element Qt might take otherwise is left out, so that a
// paragraph closes more here than in Qt's reader, never less.
bool isBlock(const QString& name)
{
    return oneOf(name, {"p", "div", "ul", "ol", "li", "blockquote", "h1", "h2", "h3", "h4", "h5", "h6", "pre", "dl",
                        "dt", "dd", "center", "td", "th", "body", "qt"});
}

bool isAsciiLetter(QChar c)
{
    return c >= QLatin1Char('a') && c <= QLatin1Char('z');
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A tag name starts with a letter and holds letters and digits; an attribute name may
// also hold '-', '_' and ':'. Anything else names nothing Qt knows.
bool isName(const QString& word, bool tag)
{
    if (word.isEmpty() || (tag && !isAsciiLetter(word.at(0))))
        return false;
    for (QChar c : word) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c)
            && (tag || (c != QLatin1Char('-') && c != QLatin1Char('_') && c != QLatin1Char(':'))))
            return false;
    }
    return true;
}

int digitValue(QChar c, int base)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (base == 16 && u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (base == 16 && u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

class Reader {
public:
    explicit Reader(const QString& text)
        : in(text)
        , n(text.size())
    {
        out.reserve(n + n / 8 + 64);
    }

    HtmlRead read()
    {
        while (at < n && ok) {
            const int lt = in.indexOf(QLatin1Char('<'), at);
            const int textEnd = lt < 0 ? n : lt;
            out.append(in.constData() + at, textEnd - at);
            at = textEnd;
            if (lt >= 0)
                readTag();
        }
        HtmlRead result;
        if (!ok) {
            result.withinBounds = false;
            result.refusal = refusal;
            return result;
        }
        popTo(0);
        result.html = out;
        return result;
    }

private:
    // The character of a numeric character reference ("&#99;", "&#x63;") at `pos`;
    // 0 when there is none there. `pos` then lies past it.
    uint reference(int& pos) const
    {
        int i = pos + 1;
        if (i >= n || in.at(i) != QLatin1Char('#'))
            return 0;
        ++i;
        int base = 10;
        if (i < n && (in.at(i) == QLatin1Char('x') || in.at(i) == QLatin1Char('X'))) {
            base = 16;
            ++i;
        }
        uint code = 0;
        int digits = 0;
        for (; i < n && digits < 8; ++i, ++digits) {
            const int digit = digitValue(in.at(i), base);
            if (digit < 0)
                break;
            code = code * uint(base) + uint(digit);
        }
        if (digits == 0 || i >= n || in.at(i) != QLatin1Char(';'))
            return 0;
        pos = i + 1;
        return code;
    }

    // A tag or attribute name, as Qt's reader takes one: up to a space, '>', '/', '=',
    // '<' or a quote, character references decoded, in lower case.
    QString readWord()
    {
        QString word;
        while (at < n) {
            const QChar c = in.at(at);
            if (c.isSpace() || c == QLatin1Char('>') || c == QLatin1Char('/') || c == QLatin1Char('=')
                || c == QLatin1Char('<') || c == QLatin1Char('"') || c == QLatin1Char('\''))
                break;
            if (c == QLatin1Char('&')) {
                int next = at;
                const uint code = reference(next);
                if (code) {
                    word += code < 128 ? QChar(ushort(code)) : QChar(QChar::ReplacementCharacter);
                    at = next;
                    continue;
                }
            }
            word += c;
            ++at;
        }
        return word.toLower();
    }

    void skipSpace()
    {
        while (at < n && in.at(at).isSpace())
            ++at;
    }

    void skipPast(const QString& end)
    {
        const int found = in.indexOf(end, at);
        at = found < 0 ? n : found + end.size();
    }

    // The attributes up to the tag's end, each written with its value in double quotes;
    // true when the tag ends in "/>".
    bool readAttributes(QString& attrs)
    {
        while (at < n) {
            skipSpace();
            if (at >= n)
                break;
            const QChar c = in.at(at);
            if (c == QLatin1Char('>')) {
                ++at;
                return false;
            }
            if (c == QLatin1Char('/')) {
                ++at;
                if (at < n && in.at(at) == QLatin1Char('>')) {
                    ++at;
                    return true;
                }
                continue;
            }
            const QString key = readWord();
            if (key.isEmpty() && at < n && in.at(at) != QLatin1Char('=')) {
                ++at;   // a stray quote or '<'
                continue;
            }
            skipSpace();
            bool hasValue = false;
            QString value;
            if (at < n && in.at(at) == QLatin1Char('=')) {
                ++at;
                skipSpace();
                hasValue = true;
                value = readValue();
            }
            if (!isName(key, false))
                continue;
            attrs += QLatin1Char(' ') + key;
            if (hasValue)
                attrs += QLatin1String("=\"") + QString(value).replace(QLatin1Char('"'), QLatin1String("&quot;"))
                    + QLatin1Char('"');
        }
        return false;
    }

    // Entities stay as they are: Qt decodes them in a value in double quotes as it
    // does anywhere else.
    QString readValue()
    {
        if (at < n && (in.at(at) == QLatin1Char('"') || in.at(at) == QLatin1Char('\''))) {
            const QChar quote = in.at(at++);
            const int end = in.indexOf(quote, at);
            const QString value = in.mid(at, end < 0 ? -1 : end - at);
            at = end < 0 ? n : end + 1;
            return value;
        }
        const int start = at;
        while (at < n && !in.at(at).isSpace() && in.at(at) != QLatin1Char('>'))
            ++at;
        return in.mid(start, at - start);
    }

    // After a '<' at `at`.
    void readTag()
    {
        const int lt = at++;
        skipSpace();
        if (at < n && in.at(at) == QLatin1Char('!')) {
            skipPast(in.midRef(at, 3) == QLatin1String("!--") ? QStringLiteral("-->") : QStringLiteral(">"));
            return;
        }
        if (at < n && in.at(at) == QLatin1Char('?')) {
            skipPast(QStringLiteral(">"));
            return;
        }
        if (at < n && in.at(at) == QLatin1Char('/')) {
            ++at;
            skipSpace();
            const QString name = readWord();
            skipPast(QStringLiteral(">"));
            const int element = open.lastIndexOf(name);
            if (element >= 0)
                popTo(element);
            return;
        }
        const QString name = readWord();
        if (name.isEmpty()) {
            out += QLatin1String("&lt;");
            at = lt + 1;
            return;
        }
        QString attrs;
        const bool selfClosed = readAttributes(attrs);
        if (isName(name, true))
            openElement(name, attrs, selfClosed);
    }

    // The innermost open element of one of `names`; -1 when none is open.
    int nearest(std::initializer_list<const char*> names) const
    {
        for (int i = open.size() - 1; i >= 0; --i) {
            if (oneOf(open.at(i), names))
                return i;
        }
        return -1;
    }

    // Closes the open elements from the innermost down to `depth` of them left open.
    void popTo(int depth)
    {
        while (open.size() > depth) {
            const QString name = open.takeLast();
            tables -= name == QLatin1String("table");
            out += QLatin1String("</") + name + QLatin1Char('>');
        }
    }

    // Qt puts a table that lies in another table outside its cells into whatever it
    // laid out last there, so that tables side by side nest one in the next: such a
    // table gets a cell of its own first.
    void enterCell()
    {
        const int table = nearest({"table"});
        const int row = nearest({"tr"});
        if (row > table) {
            popTo(row + 1);
        } else {
            popTo(qMax(table, nearest({"thead", "tbody", "tfoot"})) + 1);
            push(QStringLiteral("tr"), QString());
        }
        push(QStringLiteral("td"), QString());
    }

    void push(const QString& name, const QString& attrs)
    {
        if (name == QLatin1String("table")) {
            const int innermost = nearest({"table", "td", "th"});
            if (innermost >= 0 && open.at(innermost) == QLatin1String("table"))
                enterCell();
        }
        if (!ok)
            return;
        if (open.size() >= maxHtmlNesting) {
            fail(QStringLiteral("nests more than %1 elements").arg(maxHtmlNesting));
            return;
        }
        open.append(name);
        tables += name == QLatin1String("table");
        // Qt lays out a table, even one without cells, and each cell, once for each
        // table around it.
        if (oneOf(name, {"table", "td", "th"})) {
            weight += tables > 13 ? maxHtmlTableWeight + 1 : qint64(1) << (tables - 1);
            if (weight > maxHtmlTableWeight)
                fail(QStringLiteral("holds tables in tables past a weight of %1").arg(maxHtmlTableWeight));
        }
        out += QLatin1Char('<') + name + attrs + QLatin1Char('>');
    }

    // Where Qt's reader would move an element or give it a parent of its own, the
    // elements are closed or opened here first, so that Qt has nothing to mend.
    void placeElement(const QString& name)
    {
        if (name == QLatin1String("td") || name == QLatin1String("th")) {
            const int row = nearest({"tr"});
            if (row >= 0) {
                popTo(row + 1);
            } else {
                push(QStringLiteral("table"), QString());
                push(QStringLiteral("tr"), QString());
            }
        } else if (name == QLatin1String("tr")) {
            const int table = nearest({"table", "thead", "tbody", "tfoot"});
            if (table >= 0)
                popTo(table + 1);
            else
                push(QStringLiteral("table"), QString());
        } else if (oneOf(name, {"thead", "tbody", "tfoot", "caption"})) {
            const int table = nearest({"table"});
            if (table >= 0)
                popTo(table + 1);
            else
                push(QStringLiteral("table"), QString());
        } else if (name == QLatin1String("dd")) {
            popTo(nearest({"dt", "dl"}) + 1);
        } else if (name == QLatin1String("dt")) {
            popTo(nearest({"dl"}) + 1);
        } else if (name == QLatin1String("body") || name == QLatin1String("qt")) {
            popTo(nearest({"html"}) + 1);
        } else if (name == QLatin1String("p")) {
            int block = open.size() - 1;
            while (block >= 0 && !isBlock(open.at(block)))
                --block;
            if (block >= 0 && open.at(block) == QLatin1String("p"))
                popTo(block);
        } else if (name == QLatin1String("li")) {
            if (!open.isEmpty() && open.last() == QLatin1String("li"))
                popTo(open.size() - 1);
        }
    }

    void openElement(const QString& name, const QString& attrs, bool selfClosed)
    {
        placeElement(name);
        if (!ok)
            return;
        if (isVoid(name)) {
            out += QLatin1Char('<') + name + attrs + QLatin1String("/>");
            return;
        }
        push(name, attrs);
        if (selfClosed)
            popTo(open.size() - 1);
    }

    void fail(const QString& why)
    {
        if (ok)
            refusal = why;
        ok = false;
    }

    const QString& in;
    const int n;
    int at = 0;
    QString out;
    QVector<QString> open;
    int tables = 0;
    qint64 weight = 0;
    bool ok = true;
    QString refusal;
};

} // namespace

HtmlRead readHtml(const QString& text)
{
    return Reader(text).read();
}

} // namespace vyr
