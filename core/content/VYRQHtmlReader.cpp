#include "VYRQHtmlReader_p.h"

#include "VYRQCssReader_p.h"

#include <QHash>
#include <QVector>

#include <algorithm>
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

// The elements of Qt's rich text; others are left out, their content kept, as Qt
// lays out the content of an element it does not know.
bool isKnown(const QString& name)
{
    return oneOf(name, {"a", "address", "b", "big", "blockquote", "body", "br", "caption", "center", "cite", "code",
                        "dd", "dfn", "div", "dl", "dt", "em", "font", "h1", "h2", "h3", "h4", "h5", "h6", "head", "hr",
                        "html", "i", "img", "kbd", "li", "link", "meta", "nobr", "ol", "p", "pre", "qt", "s", "samp",
                        "script", "small", "span", "strong", "style", "sub", "sup", "table", "tbody", "td", "tfoot",
                        "th", "thead", "title", "tr", "tt", "u", "ul", "var"});
}

enum class Value { Text, Url, Color, Size, Number, Span, FontSize, Family, Align, VAlign, Dir, ListType, Style, Flag };

// The attributes Qt reads of `element`, and what their values are; false for others.
bool attributeKind(const QString& element, const QString& key, Value& kind)
{
    struct Attribute {
        const char* elements;   // separated by spaces; empty for all
        const char* name;
        Value kind;
    };
    static const Attribute attributes[] = {
        {"", "style", Value::Style},
        {"", "class", Value::Text},
        {"", "id", Value::Text},
        {"", "dir", Value::Dir},
        {"", "align", Value::Align},
        {"", "valign", Value::VAlign},
        {"a", "href", Value::Url},
        {"a", "name", Value::Text},
        {"img", "src", Value::Url},
        {"img", "alt", Value::Text},
        {"img table td th", "width", Value::Size},
        {"img table td th", "height", Value::Size},
        {"hr", "width", Value::Size},
        {"font", "color", Value::Color},
        {"font", "face", Value::Family},
        {"font", "size", Value::FontSize},
        {"body table tr td th", "bgcolor", Value::Color},
        {"body table tr td th", "background", Value::Url},
        {"table", "border", Value::Number},
        {"table", "cellspacing", Value::Number},
        {"table", "cellpadding", Value::Number},
        {"td th", "colspan", Value::Span},
        {"td th", "rowspan", Value::Span},
        {"td th", "nowrap", Value::Flag},
        {"ol ul", "type", Value::ListType},
        {"link", "rel", Value::Text},
        {"link", "href", Value::Url},
        {"link", "type", Value::Text},
        {"meta", "name", Value::Text},
        {"meta", "content", Value::Text},
    };
    for (const Attribute& attribute : attributes) {
        if (key != QLatin1String(attribute.name))
            continue;
        if (*attribute.elements && !isOneOfWords(element, attribute.elements))
            continue;
        kind = attribute.kind;
        return true;
    }
    return false;
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

// The numeric references of `text` and the entities that name ASCII characters
// decoded, as Qt decodes them in an attribute value; other named entities are kept.
QString decodeEntities(const QString& text)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('&')) {
            out += c;
            continue;
        }
        const int semi = text.indexOf(QLatin1Char(';'), i + 1);
        const QStringRef name = semi < 0 || semi - i > 12 ? QStringRef() : text.midRef(i + 1, semi - i - 1);
        if (name.startsWith(QLatin1Char('#')) && name.size() > 1) {
            bool ok = false;
            const bool hex = name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X');
            const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
            if (ok && !name.contains(QLatin1Char('+')) && !name.contains(QLatin1Char('-'))
                && !name.contains(QLatin1Char(' '))) {
                const uint shown = code == 0 || code > 0x10ffff || (code >= 0xd800 && code < 0xe000)
                    ? uint(QChar::ReplacementCharacter) : code;
                out += QString::fromUcs4(&shown, 1);
                i = semi;
                continue;
            }
        }
        static const struct {
            const char* name;
            char c;
        } ascii[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        bool named = false;
        for (const auto& entity : ascii) {
            if (name.compare(QLatin1String(entity.name), Qt::CaseInsensitive) == 0) {
                out += QLatin1Char(entity.c);
                i = semi;
                named = true;
                break;
            }
        }
        if (!named)
            out += c;
    }
    return out;
}

// `text` as an attribute value in double quotes, or as the text of an element: a
// named entity kept by decodeEntities() stays one, for Qt to decode.
QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"'))
            out += QLatin1String("&quot;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else if (c == QLatin1Char('&')) {
            int j = i + 1;
            while (j < text.size() && j - i < 12 && text.at(j).unicode() < 128 && isAsciiLetter(text.at(j).toLower()))
                ++j;
            out += j > i + 1 && j < text.size() && text.at(j) == QLatin1Char(';') ? QStringLiteral("&")
                                                                                 : QStringLiteral("&amp;");
        } else
            out += c;
    }
    return out;
}

// A clamped whole number of `token`: digits, with a sign, a fraction of zeros or an
// exponent; false for anything else (Qt would then read no number either).
bool wholeNumber(const QString& token, double low, double high, QString& out)
{
    QString clamped;
    if (!readCssLength(token.trimmed(), low, high, 0, clamped) || clamped.contains(QLatin1Char('.'))
        || !clamped.at(clamped.size() - 1).isDigit())
        return false;
    bool ok = false;
    clamped.toInt(&ok);
    if (!ok)
        return false;
    out = clamped;
    return true;
}

// What the words of a text cost Qt's line breaking and shaping, in the units of
// maxHtmlLayout. Qt breaks a word in time growing with the square of its length and of
// the runs it holds (of another direction, another script, another format), and draws
// a character's marks one by one wherever they pile up. A word ends at a space, after
// an ideograph or kana not glued to what follows (Qt breaks there), and at a block or
// line break.
class WordCost {
public:
    // What `c`, the next character, costs.
    qint64 add(uint c)
    {
        if (c == ' ' || c == '\t' || c == 0x200b || c == 0x2028 || c == 0x2029
            || (QChar::category(c) == QChar::Separator_Space && c != 0xa0 && c != 0x2007 && c != 0x202f)) {
            endWord();
            return 0;
        }
        const QChar::Category category = QChar::category(c);
        const bool mark = category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
            || category == QChar::Mark_Enclosing;
        const bool glue = c == 0xa0 || c == 0x2007 || c == 0x202f || c == 0x2060 || c == 0xfeff || c == 0x200d;
        if (breakAfter && !mark && !glue)
            endWord();
        breakAfter = false;
        // A character 1/64, of a script Qt shapes in clusters 1/12; the n-th
        // character of a word n / 1,024 besides: a word of 8,192 costs the budget.
        const QChar::Script runScript = QChar::script(c);
        sixtyFourths += (runScript >= QChar::Script_Devanagari && runScript <= QChar::Script_Myanmar)
                || runScript == QChar::Script_Khmer
            ? 5 : 1;
        qint64 units = sixtyFourths / 64 + length++ / 1024;
        sixtyFourths %= 64;
        if (mark) {
            // Past a few, each mark on one character is drawn at one place, at every paint.
            if (++marks > 16)
                units += 4 + marks / 256;
            return units;
        }
        marks = 0;
        const int runDirection = directionOf(c);
        bool split = runDirection == 4 || (runDirection != 0 && direction != 0 && runDirection != direction);
        if (runDirection != 0)
            direction = runDirection;
        if (runScript > QChar::Script_Common) {
            split = split || (script != QChar::Script_Unknown && runScript != script);
            script = runScript;
        }
        if (split)
            units += run();
        breakAfter = oneOf(runScript, {QChar::Script_Han, QChar::Script_Hiragana, QChar::Script_Katakana,
                                       QChar::Script_Hangul, QChar::Script_Bopomofo, QChar::Script_Yi});
        return units;
    }

    // An element begins or ends (an image stands) here.
    qint64 formatChange() { return length > 0 ? run() : 0; }

    void endWord()
    {
        const int fraction = sixtyFourths;
        *this = WordCost();
        sixtyFourths = fraction;
    }

private:
    // The n-th run of a word 1 + n / 256.
    qint64 run() { return 1 + runs++ / 256; }

    static bool oneOf(QChar::Script script, std::initializer_list<QChar::Script> scripts)
    {
        return std::find(scripts.begin(), scripts.end(), script) != scripts.end();
    }

    // 1 left to right, 2 right to left, 3 numbers, 4 an embedding, override or
    // isolate mark (a run of its own however many), 0 neutral.
    static int directionOf(uint c)
    {
        switch (QChar::direction(c)) {
        case QChar::DirL:
            return 1;
        case QChar::DirR:
        case QChar::DirAL:
            return 2;
        case QChar::DirEN:
        case QChar::DirAN:
            return 3;
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirPDF:
        case QChar::DirLRI:
        case QChar::DirRLI:
        case QChar::DirFSI:
        case QChar::DirPDI:
            return 4;
        default:
            return 0;
        }
    }

    qint64 length = 0;
    qint64 runs = 0;
    qint64 marks = 0;       // on the last character that is not a mark
    int direction = 0;
    QChar::Script script = QChar::Script_Unknown;
    bool breakAfter = false;   // the last character lets a line break after it
    int sixtyFourths = 0;      // of a unit, the characters' own cost not yet spent
};

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
            countText(at, textEnd);
            at = textEnd;
            if (lt >= 0 && ok)
                readTag();
        }
        if (ok)
            popTo(0);
        // Qt matches every rule of a style sheet against the elements it may apply to;
        // what the sheets this text links or imports may cost is left to them.
        census.elements = elements;
        const qint64 work = cssWork(sheetTargets, census, styleSheets);
        if (ok && work > maxHtmlStyleWork)
            fail(QStringLiteral("matches style sheets past %1 rules times elements").arg(maxHtmlStyleWork));
        census.workLeft = maxHtmlStyleWork - work;
        HtmlRead result;
        if (!ok) {
            result.withinBounds = false;
            result.refusal = refusal;
            return result;
        }
        result.html = out;
        result.census = std::move(census);
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

    struct Attribute {
        QString key;
        QString value;
        bool hasValue;
    };

    // The attributes up to the tag's end; true when the tag ends in "/>".
    bool readAttributes(QVector<Attribute>& attrs)
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
            if (isName(key, false))
                attrs.append({key, value, hasValue});
        }
        return false;
    }

    // The attributes of `element` that Qt reads, their values clamped, as written in
    // its tag; what is read of a cell's spans and of its classes and id, in the members
    // below. Qt takes a repeated attribute's last value it can read, and every style.
    QString attributes(const QString& element, const QVector<Attribute>& attrs)
    {
        struct Kept {
            QString key;
            QString value;
            bool flag;
        };
        QVector<Kept> kept;
        colspan = 1;
        rowspan = 1;
        for (const Attribute& attribute : attrs) {
            Value kind;
            if (!attributeKind(element, attribute.key, kind))
                continue;
            // Qt reads a border without a value as 1.
            const QString value = !attribute.hasValue && kind == Value::Number && attribute.key == QLatin1String("border")
                ? QStringLiteral("1")
                : decodeEntities(attribute.value);
            const QString word = value.trimmed().toLower();
            QString out;
            bool keep = true;
            switch (kind) {
            case Value::Text:
            case Value::Url:
                out = value;
                break;
            case Value::Color:
                out = word;
                keep = isCssColor(word);
                break;
            case Value::Family:
                out = value.simplified();
                keep = isCssFamily(value);
                break;
            case Value::Size:
                // a number of pixels or a percentage; Qt reads nothing else
                keep = readCssLength(word, 0, maxCssLength, 100, out)
                    && (out.at(out.size() - 1).isDigit() || out.endsWith(QLatin1Char('%')));
                break;
            case Value::Number:
                keep = wholeNumber(word, 0, 256, out);
                break;
            case Value::Span: {
                keep = wholeNumber(word, 1, maxHtmlSpan, out);
                if (keep)
                    (attribute.key == QLatin1String("colspan") ? colspan : rowspan) = out.toInt();
                break;
            }
            case Value::FontSize:
                keep = wholeNumber(word, -7, 7, out);
                if (keep && word.startsWith(QLatin1Char('+')))
                    out.prepend(QLatin1Char('+'));
                break;
            case Value::Align:
                out = word;
                keep = oneOf(word, {"left", "right", "center", "justify", "middle", "top", "bottom", "baseline"});
                break;
            case Value::VAlign:
                out = word;
                keep = oneOf(word, {"top", "middle", "bottom", "baseline"});
                break;
            case Value::Dir:
                out = word;
                keep = oneOf(word, {"ltr", "rtl"});
                if (keep)
                    spend(1);
                break;
            case Value::ListType:
                out = value.trimmed();
                keep = oneOf(out, {"1", "a", "A", "i", "I"}) || oneOf(word, {"disc", "circle", "square"});
                if (keep && out.size() > 1)
                    out = word;
                break;
            case Value::Style:
                out = readCssDeclarations(value, element).css;
                keep = !out.isEmpty();
                break;
            case Value::Flag:
                out.clear();
                break;
            }
            if (!keep)
                continue;
            auto same = std::find_if(kept.begin(), kept.end(), [&](const Kept& one) { return one.key == attribute.key; });
            if (same == kept.end())
                kept.append({attribute.key, out, kind == Value::Flag});
            else if (kind == Value::Style)
                same->value += QLatin1String("; ") + out;
            else
                same->value = out;
        }
        QString written;
        for (const Kept& attribute : kept) {
            written += QLatin1Char(' ') + attribute.key;
            if (!attribute.flag)
                written += QLatin1String("=\"") + escaped(attribute.value) + QLatin1Char('"');
            if (attribute.key == QLatin1String("class")) {
                // each class once: a selector of it matches the element once
                QStringList classes = attribute.value.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
                classes.removeDuplicates();
                for (const QString& name : classes)
                    ++census.counts[QLatin1Char('.') + name];
            } else if (attribute.key == QLatin1String("id")) {
                ++census.counts[QLatin1Char('#') + attribute.value];
            }
        }
        return written;
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
        QVector<Attribute> attrs;
        const bool selfClosed = readAttributes(attrs);
        if (!isName(name, true) || !isKnown(name))
            return;
        if (name == QLatin1String("style")) {
            if (!selfClosed)
                readStyle();
            return;
        }
        openElement(name, attributes(name, attrs), selfClosed);
    }

    // The text of a style element, up to its end, written again as a style sheet.
    void readStyle()
    {
        const int end = in.indexOf(QLatin1String("</style"), at, Qt::CaseInsensitive);
        const QString sheet = in.mid(at, end < 0 ? -1 : end - at);
        at = end < 0 ? n : end;
        skipPast(QStringLiteral(">"));
        const CssRead css = readCssSheet(decodeEntities(sheet), true);
        sheetTargets += css.targets;
        ++elements;
        spend(1);
        if (!css.css.isEmpty()) {
            out += QLatin1String("<style>") + css.css + QLatin1String("</style>");   // holds no '<' or '&'
            ++styleSheets;
        }
    }

    // Counts what the text from `from` to `to` lays out: a line break in it as a
    // paragraph (it is one in <pre>), and what its words cost (WordCost).
    void countText(int from, int to)
    {
        for (int i = from; i < to && ok; ++i) {
            uint c = in.at(i).unicode();
            if (c == '&') {
                int next = i;
                const uint code = reference(next);
                if (code) {
                    c = code;
                    i = next - 1;
                } else if (in.midRef(i, 5).compare(QLatin1String("&lrm;"), Qt::CaseInsensitive) == 0
                           || in.midRef(i, 5).compare(QLatin1String("&rlm;"), Qt::CaseInsensitive) == 0) {
                    c = in.at(i + 1).toLower() == QLatin1Char('l') ? 0x200e : 0x200f;
                    i += 4;
                } else if (in.midRef(i, 6).compare(QLatin1String("&nbsp;"), Qt::CaseInsensitive) == 0) {
                    c = 0xa0;
                    i += 5;
                }
            } else if (QChar::isHighSurrogate(c) && i + 1 < to && in.at(i + 1).isLowSurrogate()) {
                c = QChar::surrogateToUcs4(ushort(c), in.at(++i).unicode());
            }
            if (c == '\n') {
                spend(1);
                endWord();
                continue;
            }
            if (c == '\r')
                c = ' ';
            spend(words.add(c));
        }
    }

    void endWord() { words.endWord(); }

    void endParagraph()
    {
        words.endWord();
        paragraphImages = 0;
    }

    // An element that begins or ends within a word splits it into runs of their own.
    void formatChange() { spend(words.formatChange()); }

    void spend(qint64 units)
    {
        layout += units;
        if (layout > maxHtmlLayout)
            fail(QStringLiteral("lays out more than %1 paragraphs, cells, list items or runs").arg(maxHtmlLayout));
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
            if (name == QLatin1String("table"))
                closeTable();
            else if (name == QLatin1String("ul") || name == QLatin1String("ol"))
                listItems.removeLast();
            if (isBlock(name))
                endParagraph();
            else
                formatChange();
            out += QLatin1String("</") + name + QLatin1Char('>');
        }
    }

    // Qt lays a table out as a grid of its rows times its columns, spans included,
    // and a row without cells is a row of the grid too.
    struct Grid {
        qint64 rows = 0;          // the rows begun
        qint64 last = 0;          // the rows spans reach to
        qint64 columns = 0;
        qint64 rowColumns = 0;    // the columns of the row being read
        qint64 spanning = 0;      // of them, those spans from rows above take
        qint64 pending = 0;       // what spans begun in this row take from the next
        qint64 cells = 0;
        QHash<qint64, qint64> spanEnds;   // the row a span no longer reaches, its columns
    };

    void beginRow()
    {
        Grid& grid = grids.last();
        grid.columns = qMax(grid.columns, grid.rowColumns);
        const qint64 row = grid.rows++;
        grid.spanning += grid.pending - grid.spanEnds.take(row);
        grid.pending = 0;
        grid.rowColumns = grid.spanning;
        grid.last = qMax(grid.last, grid.rows);
    }

    void addCell()
    {
        Grid& grid = grids.last();
        if (grid.rows == 0)
            beginRow();
        grid.rowColumns += colspan;
        ++grid.cells;
        if (rowspan > 1) {
            grid.pending += colspan;
            grid.spanEnds[grid.rows - 1 + rowspan] += colspan;
            grid.last = qMax(grid.last, grid.rows - 1 + rowspan);
        }
    }

    void closeTable()
    {
        const Grid grid = grids.takeLast();
        const qint64 slots = qMin<qint64>(qMax<qint64>(grid.last, 1) * qMax(qMax(grid.columns, grid.rowColumns), qint64(1)),
                                          maxHtmlLayout + 1);
        // Weighed as its cells were, the slots that no cell fills besides.
        if (grid.cells < slots && tables <= 13) {
            weight += (slots - grid.cells) << (tables - 1);
            if (weight > maxHtmlTableWeight)
                fail(QStringLiteral("holds tables in tables past a weight of %1").arg(maxHtmlTableWeight));
        }
        --tables;
        // A slot lays out in about the time of four paragraphs.
        spend(4 * slots);
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
        ++elements;
        ++census.counts[name];
        spend(1);
        if (isBlock(name))
            endParagraph();
        else
            formatChange();
        if (name == QLatin1String("table")) {
            ++tables;
            grids.append(Grid());
        } else if (name == QLatin1String("tr") && !grids.isEmpty()) {
            beginRow();
        } else if ((name == QLatin1String("td") || name == QLatin1String("th")) && !grids.isEmpty()) {
            addCell();
        } else if (name == QLatin1String("ul") || name == QLatin1String("ol")) {
            listItems.append(0);
        } else if (name == QLatin1String("li")) {
            // Qt renumbers a list at each item it adds: an item costs more the more
            // items its list has before it.
            spend((listItems.isEmpty() ? looseItems++ : listItems.last()++) / 64);
        }
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
            // a cell in a table but outside a row gets a row of that table
            const int table = nearest({"table"});
            const int row = nearest({"tr"});
            if (row > table) {
                popTo(row + 1);
            } else if (table >= 0) {
                popTo(qMax(table, nearest({"thead", "tbody", "tfoot"})) + 1);
                push(QStringLiteral("tr"), QString());
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
            ++elements;
            ++census.counts[name];
            spend(1);
            if (name == QLatin1String("br")) {
                endWord();
            } else if (name == QLatin1String("hr")) {
                endParagraph();
            } else if (name == QLatin1String("img")) {
                // Qt reads the n-th image of a paragraph in time growing with n.
                formatChange();
                spend(paragraphImages++ / 16);
            }
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
    QVector<Grid> grids;           // of the open tables
    QVector<qint64> listItems;     // of the open lists
    qint64 looseItems = 0;         // items outside lists
    qint64 layout = 0;
    qint64 elements = 0;
    QVector<CssTarget> sheetTargets;   // the selectors of the text's style elements
    qint64 styleSheets = 0;            // style elements handed on
    CssCensus census;
    WordCost words;
    qint64 paragraphImages = 0;    // in the paragraph being read
    int colspan = 1;               // of the element being opened
    int rowspan = 1;
    bool ok = true;
    QString refusal;
};

} // namespace

HtmlRead readHtml(const QString& text)
{
    return Reader(text).read();
}

int plainTextFit(const QString& text)
{
    WordCost words;
    qint64 layout = 0;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        uint c = text.at(i).unicode();
        const int start = i;
        if (QChar::isHighSurrogate(c) && i + 1 < n && text.at(i + 1).isLowSurrogate())
            c = QChar::surrogateToUcs4(ushort(c), text.at(++i).unicode());
        if (c == '\n' || c == '\r') {
            ++layout;
            words.endWord();
        } else {
            layout += words.add(c);
        }
        if (layout > maxHtmlLayout)
            return start;
    }
    return n;
}

namespace {

// The character a named entity stands for: those of Latin-1 and the punctuation
// pages use most; 0 for others, which stay as written.
uint namedEntity(const QStringRef& name)
{
    static const QHash<QString, uint> entities = [] {
        static const char* const latin1[] = {
            "nbsp", "iexcl", "cent", "pound", "curren", "yen", "brvbar", "sect", "uml", "copy", "ordf", "laquo", "not",
            "shy", "reg", "macr", "deg", "plusmn", "sup2", "sup3", "acute", "micro", "para", "middot", "cedil", "sup1",
            "ordm", "raquo", "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc", "Atilde", "Auml",
            "Aring", "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml", "Igrave", "Iacute", "Icirc", "Iuml", "ETH",
            "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml", "times", "Oslash", "Ugrave", "Uacute", "Ucirc",
            "Uuml", "Yacute", "THORN", "szlig", "agrave", "aacute", "acirc", "atilde", "auml", "aring", "aelig",
            "ccedil", "egrave", "eacute", "ecirc", "euml", "igrave", "iacute", "icirc", "iuml", "eth", "ntilde",
            "ograve", "oacute", "ocirc", "otilde", "ouml", "divide", "oslash", "ugrave", "uacute", "ucirc", "uuml",
            "yacute", "thorn", "yuml"};
        QHash<QString, uint> table;
        for (uint i = 0; i < sizeof latin1 / sizeof *latin1; ++i)
            table.insert(QLatin1String(latin1[i]), 0xa0 + i);
        const std::pair<const char*, uint> others[] = {
            {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"ensp", 0x2002},
            {"emsp", 0x2003}, {"thinsp", 0x2009}, {"zwnj", 0x200c}, {"zwj", 0x200d}, {"lrm", 0x200e},
            {"rlm", 0x200f}, {"ndash", 0x2013}, {"mdash", 0x2014}, {"lsquo", 0x2018}, {"rsquo", 0x2019},
            {"sbquo", 0x201a}, {"ldquo", 0x201c}, {"rdquo", 0x201d}, {"bdquo", 0x201e}, {"dagger", 0x2020},
            {"Dagger", 0x2021}, {"bull", 0x2022}, {"hellip", 0x2026}, {"permil", 0x2030}, {"prime", 0x2032},
            {"lsaquo", 0x2039}, {"rsaquo", 0x203a}, {"euro", 0x20ac}, {"trade", 0x2122}, {"larr", 0x2190},
            {"uarr", 0x2191}, {"rarr", 0x2192}, {"darr", 0x2193}, {"harr", 0x2194}, {"minus", 0x2212},
            {"le", 0x2264}, {"ge", 0x2265}, {"ne", 0x2260}, {"infin", 0x221e}};
        for (const auto& entity : others)
            table.insert(QLatin1String(entity.first), entity.second);
        return table;
    }();
    return entities.value(name.toString());
}

// Elements whose content a reader does not see.
bool isHidden(const QString& name)
{
    return oneOf(name, {"style", "script", "head", "title"});
}

} // namespace

QString htmlPlainText(const QString& html)
{
    QString out;
    out.reserve(html.size() / 2);
    const int n = html.size();
    bool space = false;   // white space read since the last character written
    const auto newLine = [&out, &space] {
        space = false;
        if (!out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
            out += QLatin1Char('\n');
    };
    for (int i = 0; i < n;) {
        const QChar c = html.at(i);
        if (c == QLatin1Char('<')) {
            if (html.midRef(i, 4) == QLatin1String("<!--")) {
                const int end = html.indexOf(QLatin1String("-->"), i + 4);
                i = end < 0 ? n : end + 3;
                continue;
            }
            int j = i + 1;
            const bool closing = j < n && html.at(j) == QLatin1Char('/');
            if (closing)
                ++j;
            int nameEnd = j;
            while (nameEnd < n && nameEnd - j < 16 && html.at(nameEnd).unicode() < 128 && html.at(nameEnd).isLetterOrNumber())
                ++nameEnd;
            const QString name = html.mid(j, nameEnd - j).toLower();
            if (name.isEmpty() && !(j < n && (html.at(j) == QLatin1Char('!') || html.at(j) == QLatin1Char('?')))) {
                // not a tag: the '<' is text
                if (space && !out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
                    out += QLatin1Char(' ');
                space = false;
                out += c;
                ++i;
                continue;
            }
            const int end = html.indexOf(QLatin1Char('>'), nameEnd);
            i = end < 0 ? n : end + 1;
            if (!closing && isHidden(name)) {
                const int close = html.indexOf(QLatin1String("</") + name, i, Qt::CaseInsensitive);
                const int past = close < 0 ? -1 : html.indexOf(QLatin1Char('>'), close);
                i = past < 0 ? n : past + 1;
                continue;
            }
            if (isBlock(name) || oneOf(name, {"br", "tr", "table", "hr", "caption", "address", "thead", "tbody", "tfoot"}))
                newLine();
            else if (oneOf(name, {"td", "th"}))
                space = true;
            continue;
        }
        uint code = c.unicode();
        int next = i + 1;
        if (c == QLatin1Char('&')) {
            const int semi = html.indexOf(QLatin1Char(';'), i + 1);
            if (semi > i + 1 && semi - i <= 12) {
                const QStringRef name = html.midRef(i + 1, semi - i - 1);
                uint decoded = 0;
                if (name.startsWith(QLatin1Char('#'))) {
                    bool ok = false;
                    const bool hex = name.size() > 1 && (name.at(1) == QLatin1Char('x') || name.at(1) == QLatin1Char('X'));
                    decoded = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
                    if (!ok || decoded == 0 || decoded > 0x10ffff || (decoded >= 0xd800 && decoded < 0xe000))
                        decoded = ok ? uint(QChar::ReplacementCharacter) : 0;
                } else {
                    decoded = namedEntity(name);
                }
                if (decoded) {
                    code = decoded;
                    next = semi + 1;
                }
            }
        }
        i = next;
        if (code == ' ' || code == '\t' || code == '\n' || code == '\r' || code == '\f') {
            space = true;
            continue;
        }
        if (space && !out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
            out += QLatin1Char(' ');
        space = false;
        out += QString::fromUcs4(&code, 1);
    }
    while (out.endsWith(QLatin1Char('\n')))
        out.chop(1);
    return out;
}

} // namespace vyr
