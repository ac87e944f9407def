#include "VYRQCssReader_p.h"

#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vyr {
namespace {

enum class Kind {
    Color,
    Length,      // one length, or one of the keywords
    Lengths,     // one to four lengths (margin, padding, border-width)
    Keywords,    // one or more of the keywords, separated by spaces
    Keyword,     // one of the keywords
    Integer,
    Family,
    Font,
    Image,       // url(...) or none
    Background,
    Border,
    Colors,      // one to four colors
    Text,        // a quoted string
};

struct Property {
    const char* name;
    Kind kind;
    double low;        // for lengths in px or pt; em a sixteenth of it
    double high;
    double percent;    // the largest percentage; 0 when none is taken
    const char* words; // keywords, separated by spaces
};

constexpr double L = maxCssLength;

const char* const borderStyles = "none dotted dashed solid double dot-dash dot-dot-dash groove ridge inset outset";
const char* const sizeWords =
    "xx-small x-small small medium large x-large xx-large smaller larger";

// What Qt's rich text reads of CSS.
const Property properties[] = {
    {"color", Kind::Color, 0, 0, 0, ""},
    {"background-color", Kind::Color, 0, 0, 0, ""},
    {"background-image", Kind::Image, 0, 0, 0, "none"},
    {"background", Kind::Background, 0, 0, 0, ""},
    {"font-family", Kind::Family, 0, 0, 0, ""},
    {"font-size", Kind::Length, 0, 512, 1000, sizeWords},
    {"font-style", Kind::Keyword, 0, 0, 0, "normal italic oblique"},
    {"font-weight", Kind::Length, 0, 1000, 0, "normal bold bolder lighter"},
    {"font-variant", Kind::Keyword, 0, 0, 0, "normal small-caps"},
    {"font", Kind::Font, 0, 0, 0, ""},
    {"text-decoration", Kind::Keywords, 0, 0, 0, "none underline overline line-through"},
    {"text-indent", Kind::Length, -L, L, 100, ""},
    {"text-align", Kind::Keyword, 0, 0, 0, "left right center justify start end"},
    {"text-transform", Kind::Keyword, 0, 0, 0, "none uppercase lowercase capitalize"},
    {"white-space", Kind::Keyword, 0, 0, 0, "normal pre nowrap pre-wrap pre-line"},
    {"word-spacing", Kind::Length, -256, 256, 0, "normal"},
    {"letter-spacing", Kind::Length, -256, 256, 0, "normal"},
    {"line-height", Kind::Length, 0, L, 1000, "normal"},
    {"-qt-line-height-type", Kind::Keyword, 0, 0, 0, "proportional fixed minimum line-distance single"},
    {"vertical-align", Kind::Keyword, 0, 0, 0, "baseline sub super middle top bottom text-top text-bottom"},
    {"margin", Kind::Lengths, -L, L, 100, "auto"},
    {"margin-top", Kind::Length, -L, L, 100, "auto"},
    {"margin-bottom", Kind::Length, -L, L, 100, "auto"},
    {"margin-left", Kind::Length, -L, L, 100, "auto"},
    {"margin-right", Kind::Length, -L, L, 100, "auto"},
    {"padding", Kind::Lengths, 0, L, 100, ""},
    {"padding-top", Kind::Length, 0, L, 100, ""},
    {"padding-bottom", Kind::Length, 0, L, 100, ""},
    {"padding-left", Kind::Length, 0, L, 100, ""},
    {"padding-right", Kind::Length, 0, L, 100, ""},
    {"width", Kind::Length, 0, L, 100, "auto"},
    {"height", Kind::Length, 0, L, 100, "auto"},
    {"border", Kind::Border, 0, 256, 0, ""},
    {"border-top", Kind::Border, 0, 256, 0, ""},
    {"border-bottom", Kind::Border, 0, 256, 0, ""},
    {"border-left", Kind::Border, 0, 256, 0, ""},
    {"border-right", Kind::Border, 0, 256, 0, ""},
    {"border-width", Kind::Lengths, 0, 256, 0, "thin medium thick"},
    {"border-top-width", Kind::Length, 0, 256, 0, "thin medium thick"},
    {"border-bottom-width", Kind::Length, 0, 256, 0, "thin medium thick"},
    {"border-left-width", Kind::Length, 0, 256, 0, "thin medium thick"},
    {"border-right-width", Kind::Length, 0, 256, 0, "thin medium thick"},
    {"border-style", Kind::Keywords, 0, 0, 0, borderStyles},
    {"border-top-style", Kind::Keyword, 0, 0, 0, borderStyles},
    {"border-bottom-style", Kind::Keyword, 0, 0, 0, borderStyles},
    {"border-left-style", Kind::Keyword, 0, 0, 0, borderStyles},
    {"border-right-style", Kind::Keyword, 0, 0, 0, borderStyles},
    {"border-color", Kind::Colors, 0, 0, 0, ""},
    {"border-top-color", Kind::Color, 0, 0, 0, ""},
    {"border-bottom-color", Kind::Color, 0, 0, 0, ""},
    {"border-left-color", Kind::Color, 0, 0, 0, ""},
    {"border-right-color", Kind::Color, 0, 0, 0, ""},
    {"border-collapse", Kind::Keyword, 0, 0, 0, "collapse separate"},
    {"float", Kind::Keyword, 0, 0, 0, "left right none"},
    {"page-break-before", Kind::Keyword, 0, 0, 0, "auto always"},
    {"page-break-after", Kind::Keyword, 0, 0, 0, "auto always"},
    {"list-style-type", Kind::Keyword, 0, 0, 0,
     "none disc circle square decimal lower-alpha upper-alpha lower-roman upper-roman"},
    {"list-style", Kind::Keyword, 0, 0, 0,
     "none disc circle square decimal lower-alpha upper-alpha lower-roman upper-roman"},
    {"-qt-block-indent", Kind::Integer, 0, 64, 0, ""},
    {"-qt-list-indent", Kind::Integer, 0, 64, 0, ""},
    {"-qt-paragraph-type", Kind::Keyword, 0, 0, 0, "empty"},
    {"-qt-table-type", Kind::Keyword, 0, 0, 0, "root frame"},
    {"-qt-list-number-prefix", Kind::Text, 0, 0, 0, ""},
    {"-qt-list-number-suffix", Kind::Text, 0, 0, 0, ""},
    {"display", Kind::Keyword, 0, 0, 0, "none"},
};

const Property* property(const QString& name)
{
    for (const Property& candidate : properties) {
        if (name == QLatin1String(candidate.name))
            return &candidate;
    }
    return nullptr;
}

bool isCssSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r')
        || c == QLatin1Char('\f');
}

// Whether `c` lies in a quoted string (its quotes included), `quote` being the open
// string's quote, or null outside any.
bool quoted(QChar c, QChar& quote)
{
    if (!quote.isNull()) {
        if (c == quote)
            quote = QChar();
        return true;
    }
    if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
        quote = c;
        return true;
    }
    return false;
}

// `text` cut at `separator`s outside quotes and parentheses, or at spaces for a space.
QStringList split(const QString& text, QChar separator)
{
    QStringList parts;
    QString part;
    QChar quote;
    int depth = 0;
    for (QChar c : text) {
        if (quoted(c, quote)) {
            part += c;
            continue;
        }
        if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (depth == 0 && (separator == QLatin1Char(' ') ? isCssSpace(c) : c == separator)) {
            if (!part.trimmed().isEmpty())
                parts.append(part.trimmed());
            part.clear();
            continue;
        }
        part += c;
    }
    if (!part.trimmed().isEmpty())
        parts.append(part.trimmed());
    return parts;
}

QString number(double value)
{
    QString text = QString::number(std::round(value * 100) / 100, 'f', 2);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

// A number with its unit (px, pt, em, ex, %, or none), in any case, with exponents
// and leading zeros, written again clamped: px and pt (and none) to [low, high], em
// and ex to a sixteenth of that, % to `percent` (and as far below zero as `low` is).
bool length(const QString& token, double low, double high, double percent, QString& out)
{
    const QByteArray latin = token.toLower().toLatin1();
    int i = 0;
    const int size = latin.size();
    if (i < size && (latin[i] == '+' || latin[i] == '-'))
        ++i;
    const int digits = i;
    while (i < size && (std::isdigit(uchar(latin[i])) || latin[i] == '.'))
        ++i;
    if (i == digits || latin.mid(digits, i - digits).count('.') > 1 || latin.mid(digits, i - digits) == ".")
        return false;
    if (i + 1 < size && latin[i] == 'e' && (std::isdigit(uchar(latin[i + 1])) || latin[i + 1] == '+' || latin[i + 1] == '-')) {
        int j = i + 1;
        if (latin[j] == '+' || latin[j] == '-')
            ++j;
        const int exponent = j;
        while (j < size && std::isdigit(uchar(latin[j])))
            ++j;
        if (j > exponent)
            i = j;
    }
    double value = std::strtod(latin.left(i).constData(), nullptr);
    if (!std::isfinite(value))
        value = value < 0 ? -1e300 : 1e300;
    if (std::isnan(value))
        return false;
    const QByteArray unit = latin.mid(i);
    double lo = low;
    double hi = high;
    if (unit == "em" || unit == "ex") {
        lo /= 16;
        hi /= 16;
    } else if (unit == "%") {
        if (percent <= 0)
            return false;
        lo = low < 0 ? -percent : 0;
        hi = percent;
    } else if (!unit.isEmpty() && unit != "px" && unit != "pt") {
        return false;
    }
    out = number(qBound(lo, value, hi)) + QString::fromLatin1(unit);
    return true;
}

bool isNumberStart(const QString& token)
{
    const QChar c = token.at(0);
    return c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('+') || c == QLatin1Char('-');
}

bool color(const QString& token)
{
    if (token.size() > 64)
        return false;
    if (token.startsWith(QLatin1Char('#'))) {
        if (token.size() < 2 || token.size() > 13)
            return false;
        for (int i = 1; i < token.size(); ++i) {
            if (!isxdigit(token.at(i).toLatin1()))
                return false;
        }
        return true;
    }
    const int open = token.indexOf(QLatin1Char('('));
    if (open < 0) {
        for (QChar c : token) {
            if (c < QLatin1Char('a') || c > QLatin1Char('z'))
                return false;
        }
        return !token.isEmpty();
    }
    const QString function = token.left(open);
    if (!isOneOfWords(function, "rgb rgba hsl hsla hsv hsva") || !token.endsWith(QLatin1Char(')')))
        return false;
    for (int i = open + 1; i < token.size() - 1; ++i) {
        const QChar c = token.at(i);
        if (!c.isDigit() && !QByteArrayLiteral(" .,%+-").contains(c.toLatin1()))
            return false;
    }
    return true;
}

// url(name) or url("name"), written as the latter; the name without quotes, spaces
// or parentheses.
bool url(const QString& token, QString& out, QString* name = nullptr)
{
    QString inner;
    if (token.startsWith(QLatin1String("url(")) && token.endsWith(QLatin1Char(')')))
        inner = token.mid(4, token.size() - 5).trimmed();
    else if (name && token.size() >= 2 && (token.startsWith(QLatin1Char('"')) || token.startsWith(QLatin1Char('\''))))
        inner = token;   // @import "name"
    else
        return false;
    if (inner.size() >= 2 && (inner.startsWith(QLatin1Char('"')) || inner.startsWith(QLatin1Char('\'')))
        && inner.endsWith(inner.at(0)))
        inner = inner.mid(1, inner.size() - 2);
    if (inner.isEmpty())
        return false;
    for (QChar c : inner) {
        if (c.isSpace() || QByteArrayLiteral("\"'()&<>\\").contains(c.toLatin1()))
            return false;
    }
    out = QStringLiteral("url(\"%1\")").arg(inner);
    if (name)
        *name = inner;
    return true;
}

bool family(const QString& value)
{
    if (value.size() > 256)
        return false;
    for (QChar c : value) {
        if (c.unicode() < 128 && !c.isLetterOrNumber()
            && !QByteArrayLiteral(" -_,\"'").contains(c.toLatin1()))
            return false;
    }
    return !value.trimmed().isEmpty();
}

// A value of `p`, written again; false when it is none Qt's rich text reads as we do.
bool value(const Property& p, const QString& text, QString& out)
{
    const QString lower = text.toLower();
    const QStringList tokens = split(lower, QLatin1Char(' '));
    if (tokens.isEmpty())
        return false;
    QStringList written;
    switch (p.kind) {
    case Kind::Color:
        if (tokens.size() != 1 || !color(tokens.first()))
            return false;
        out = tokens.first();
        return true;
    case Kind::Colors:
        if (tokens.size() > 4)
            return false;
        for (const QString& token : tokens) {
            if (!color(token))
                return false;
        }
        out = tokens.join(QLatin1Char(' '));
        return true;
    case Kind::Length:
    case Kind::Lengths:
        if (tokens.size() > (p.kind == Kind::Length ? 1 : 4))
            return false;
        for (const QString& token : tokens) {
            QString one;
            if (isOneOfWords(token, p.words))
                one = token;
            else if (!length(token, p.low, p.high, p.percent, one))
                return false;
            // Qt reads a line height without a unit as a multiple of the line's.
            if (std::strcmp(p.name, "line-height") == 0 && one.at(one.size() - 1).isDigit())
                one = number(std::min(one.toDouble(), p.percent / 100));
            written.append(one);
        }
        out = written.join(QLatin1Char(' '));
        return true;
    case Kind::Keyword:
    case Kind::Keywords:
        if (p.kind == Kind::Keyword && tokens.size() != 1)
            return false;
        for (const QString& token : tokens) {
            if (!isOneOfWords(token, p.words))
                return false;
        }
        out = tokens.join(QLatin1Char(' '));
        return true;
    case Kind::Integer: {
        bool ok = false;
        QString one;
        if (tokens.size() != 1 || !length(tokens.first(), p.low, p.high, 0, one))
            return false;
        const double number = one.toDouble(&ok);
        if (!ok)
            return false;
        out = QString::number(qRound(number));
        return true;
    }
    case Kind::Family:
        if (!family(text))
            return false;
        out = text.simplified();
        return true;
    case Kind::Text:
        if (text.size() > 34 || text.size() < 2 || !(text.startsWith(QLatin1Char('"')) || text.startsWith(QLatin1Char('\'')))
            || !text.endsWith(text.at(0)) || text.mid(1, text.size() - 2).contains(text.at(0)))
            return false;
        out = text;
        return true;
    case Kind::Image:
        if (tokens.size() != 1)
            return false;
        if (tokens.first() == QLatin1String("none")) {
            out = tokens.first();
            return true;
        }
        return url(split(text, QLatin1Char(' ')).first(), out);
    case Kind::Background: {
        const QStringList original = split(text, QLatin1Char(' '));
        for (int i = 0; i < tokens.size(); ++i) {
            QString one;
            const QString& token = tokens.at(i);
            if (isOneOfWords(token, "none transparent repeat repeat-x repeat-y no-repeat scroll fixed top bottom left right center"))
                one = token;
            else if (isNumberStart(token)) {
                if (!length(token, -L, L, 100, one))
                    return false;
            } else if (color(token))
                one = token;
            else if (!url(original.value(i), one))
                return false;
            written.append(one);
        }
        out = written.join(QLatin1Char(' '));
        return true;
    }
    case Kind::Border:
        for (const QString& token : tokens) {
            QString one;
            if (isOneOfWords(token, borderStyles) || isOneOfWords(token, "thin medium thick"))
                one = token;
            else if (isNumberStart(token)) {
                if (!length(token, p.low, p.high, 0, one))
                    return false;
            } else if (color(token))
                one = token;
            else
                return false;
            written.append(one);
        }
        out = written.join(QLatin1Char(' '));
        return true;
    case Kind::Font: {
        // [style] [variant] [weight] size[/line-height] family
        const QStringList original = split(text, QLatin1Char(' '));
        bool sized = false;
        for (int i = 0; i < tokens.size(); ++i) {
            const QString& token = tokens.at(i);
            QString one;
            if (!sized && isOneOfWords(token, "normal italic oblique small-caps bold bolder lighter")) {
                one = token;
            } else if (!sized && isOneOfWords(token, sizeWords)) {
                one = token;
                sized = true;
            } else if (!sized && isNumberStart(token)) {
                const QStringList parts = token.split(QLatin1Char('/'));
                const QChar last = parts.first().at(parts.first().size() - 1);
                // a number alone is a weight; with a unit, the size
                const bool size = parts.size() == 2 || last.isLetter() || last == QLatin1Char('%');
                QString height;
                if (parts.size() > 2 || !length(parts.first(), 0, size ? 512 : 1000, size ? 1000 : 0, one)
                    || (parts.size() == 2 && !length(parts.last(), 0, L, 1000, height)))
                    return false;
                if (parts.size() == 2)
                    one += QLatin1Char('/') + height;
                sized = size;
            } else if (sized) {
                const QString rest = original.mid(i).join(QLatin1Char(' '));
                if (!family(rest))
                    return false;
                written.append(rest);
                break;
            } else {
                return false;
            }
            written.append(one);
        }
        out = written.join(QLatin1Char(' '));
        return true;
    }
    }
    return false;
}

// Comments out; one that does not end takes the rest.
QString withoutComments(const QString& text)
{
    QString out;
    int at = 0;
    while (at < text.size()) {
        const int start = text.indexOf(QLatin1String("/*"), at);
        if (start < 0) {
            out += text.midRef(at);
            break;
        }
        out += text.midRef(at, start - at) + QLatin1Char(' ');
        const int end = text.indexOf(QLatin1String("*/"), start + 2);
        at = end < 0 ? text.size() : end + 2;
    }
    return out;
}

void declarations(const QString& text, const QString& element, CssRead& read)
{
    QStringList written;
    for (const QString& declaration : split(text, QLatin1Char(';'))) {
        // Escapes, entities Qt may decode and markup are read by Qt otherwise than here.
        if (declaration.contains(QLatin1Char('\\')) || declaration.contains(QLatin1Char('&'))
            || declaration.contains(QLatin1Char('<')) || declaration.contains(QLatin1Char('{'))
            || declaration.contains(QLatin1Char('}')))
            continue;
        const int colon = declaration.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            continue;
        const QString name = declaration.left(colon).trimmed().toLower();
        QString rest = declaration.mid(colon + 1).trimmed();
        QString important;
        if (rest.endsWith(QLatin1String("important"), Qt::CaseInsensitive)) {
            const int bang = rest.lastIndexOf(QLatin1Char('!'));
            if (bang < 0 || !rest.midRef(bang + 1).trimmed().startsWith(QLatin1String("important"), Qt::CaseInsensitive))
                continue;
            rest = rest.left(bang).trimmed();
            important = QStringLiteral(" !important");
        }
        const Property* p = property(name);
        // Qt takes a list indent anywhere else for a list of its own making.
        if (!p || (name == QLatin1String("-qt-list-indent") && element != QLatin1String("ul")
                   && element != QLatin1String("ol")))
            continue;
        QString out;
        if (!value(*p, rest, out))
            continue;
        written.append(name + QLatin1String(": ") + out + important);
        ++read.declarations;
    }
    read.css = written.join(QLatin1String("; "));
}

bool isIdentChar(QChar c)
{
    return (c.unicode() < 128 && c.isLetterOrNumber()) || c == QLatin1Char('-') || c == QLatin1Char('_');
}

// An identifier at `i` of `s`, `i` then past it; empty when there is none.
QString ident(const QString& s, int& i)
{
    const int start = i;
    while (i < s.size() && isIdentChar(s.at(i)))
        ++i;
    return s.mid(start, i - start);
}

// An attribute selector at `i` of `s` ('['): [name], or with =, ~= or |= and a value, an
// identifier or a quoted string of letters, digits, spaces and "-_.".
bool attributeSelector(const QString& s, int& i)
{
    const auto spaces = [&] {
        while (i < s.size() && s.at(i) == QLatin1Char(' '))
            ++i;
    };
    ++i;
    spaces();
    if (ident(s, i).isEmpty())
        return false;
    spaces();
    if (i < s.size() && (s.at(i) == QLatin1Char('~') || s.at(i) == QLatin1Char('|'))
        && (++i >= s.size() || s.at(i) != QLatin1Char('=')))
        return false;
    if (i < s.size() && s.at(i) == QLatin1Char('=')) {
        ++i;
        spaces();
        if (i < s.size() && (s.at(i) == QLatin1Char('"') || s.at(i) == QLatin1Char('\''))) {
            const QChar quote = s.at(i++);
            while (i < s.size() && (isIdentChar(s.at(i)) || s.at(i) == QLatin1Char(' ') || s.at(i) == QLatin1Char('.')))
                ++i;
            if (i >= s.size() || s.at(i++) != quote)
                return false;
        } else if (ident(s, i).isEmpty()) {
            return false;
        }
        spaces();
    }
    return i < s.size() && s.at(i++) == QLatin1Char(']');
}

// One selector of a group (spaces simplified), its subject and weight in `target`; false
// for anything Qt might read otherwise than here.
bool selector(const QString& s, CssTarget& target)
{
    int i = 0;
    int compounds = 0;
    bool descendant = false;
    while (i < s.size()) {
        if (compounds > 0) {
            const bool spaced = s.at(i) == QLatin1Char(' ');
            if (spaced)
                ++i;
            if (i < s.size() && s.at(i) == QLatin1Char('>')) {
                ++i;
                if (i < s.size() && s.at(i) == QLatin1Char(' '))
                    ++i;
            } else if (spaced) {
                descendant = true;
            } else {
                return false;
            }
        }
        QString name;
        if (i < s.size() && s.at(i) == QLatin1Char('*'))
            ++i;
        else
            name = ident(s, i).toLower();
        QString id;
        QString cls;
        int parts = 0;
        while (i < s.size()) {
            const QChar c = s.at(i);
            if (c == QLatin1Char('.') || c == QLatin1Char('#')) {
                ++i;
                const QString word = ident(s, i);
                if (word.isEmpty())
                    return false;
                QString& key = c == QLatin1Char('.') ? cls : id;
                if (key.isEmpty())
                    key = c + word;
            } else if (c == QLatin1Char(':')) {
                ++i;
                if (i < s.size() && s.at(i) == QLatin1Char(':'))
                    ++i;
                if (ident(s, i).isEmpty())
                    return false;
            } else if (c == QLatin1Char('[')) {
                if (!attributeSelector(s, i))
                    return false;
            } else {
                break;
            }
            ++parts;
        }
        if (name.isEmpty() && parts == 0 && (i == 0 || s.at(i - 1) != QLatin1Char('*')))
            return false;
        target.key = !name.isEmpty() ? name : !id.isEmpty() ? id : cls;
        ++compounds;
    }
    if (compounds == 0)
        return false;
    target.weight = compounds + (descendant ? 16 : 0);
    return true;
}

// The selectors of a rule's group, each weighing besides the rule's declarations.
bool selectors(const QString& group, int declarations, QVector<CssTarget>& targets)
{
    if (group.isEmpty() || group.startsWith(QLatin1Char(',')) || group.endsWith(QLatin1Char(','))
        || group.contains(QLatin1String(",,")))
        return false;
    QVector<CssTarget> read;
    for (const QString& one : group.split(QLatin1Char(','))) {
        CssTarget target;
        if (!selector(one.trimmed(), target))
            return false;
        target.weight += declarations;
        read.append(target);
    }
    targets += read;
    return true;
}

// Whether an @media prelude names the screen, which is all Qt's rich text applies.
bool forScreen(const QString& prelude)
{
    if (!prelude.startsWith(QLatin1String("media"), Qt::CaseInsensitive) || prelude.size() < 6
        || !isCssSpace(prelude.at(5)))
        return false;
    bool screen = false;
    for (const QString& medium : prelude.mid(6).split(QLatin1Char(','))) {
        const QString name = medium.trimmed();
        int end = 0;
        if (name.isEmpty() || ident(name, end).size() != name.size())
            return false;
        screen = screen || name.compare(QLatin1String("screen"), Qt::CaseInsensitive) == 0;
    }
    return screen;
}

// The end of the block that opens at `open` ('{'), past its '}'; -1 when it does not end.
int blockEnd(const QString& text, int open)
{
    int depth = 0;
    QChar quote;
    for (int i = open; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted(c, quote))
            continue;
        if (c == QLatin1Char('{')) {
            ++depth;
        } else if (c == QLatin1Char('}') && --depth == 0) {
            return i + 1;
        }
    }
    return -1;
}

// The first of `stops` at or after `from` outside quotes; -1 when none is.
int find(const QString& text, int from, const char* stops)
{
    QChar quote;
    for (int i = from; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!quoted(c, quote) && c.unicode() < 128 && std::strchr(stops, c.toLatin1()))
            return i;
    }
    return -1;
}

// The rules of `sheet` into `read`: @import rules first when `imports` is true, the
// rules of @media blocks for the screen when `media` is.
void readRules(const QString& sheet, bool imports, bool media, CssRead& read)
{
    int importsEnd = 0;
    int at = 0;
    while (at < sheet.size()) {
        while (at < sheet.size() && isCssSpace(sheet.at(at)))
            ++at;
        if (at >= sheet.size())
            break;
        const int stop = find(sheet, at, "{;}");
        if (stop < 0)
            break;
        if (sheet.at(stop) == QLatin1Char('}') || (sheet.at(stop) == QLatin1Char(';') && sheet.at(at) != QLatin1Char('@'))) {
            at = stop + 1;   // stray text
            continue;
        }
        if (sheet.at(stop) == QLatin1Char(';')) {
            // @import url(...); anything else of this form is dropped
            QString rule;
            QString name;
            const QString prelude = sheet.mid(at + 1, stop - at - 1).trimmed();
            if (imports && prelude.startsWith(QLatin1String("import"), Qt::CaseInsensitive)
                && !prelude.contains(QLatin1Char('\\'))) {
                const QString target = prelude.mid(6).trimmed();
                if (url(target, rule, &name)) {
                    // before every rule, as CSS has it
                    read.css.insert(importsEnd, QStringLiteral("@import %1;\n").arg(rule));
                    importsEnd = read.css.indexOf(QLatin1Char('\n'), importsEnd) + 1;
                    read.imports.append(name);
                    ++read.declarations;
                }
            }
            at = stop + 1;
            continue;
        }
        const int end = blockEnd(sheet, stop);
        const int next = end < 0 ? sheet.size() : end;
        const QString prelude = sheet.mid(at, stop - at).simplified();
        const QString body = end < 0 ? QString() : sheet.mid(stop + 1, end - stop - 2);
        if (end >= 0 && prelude.startsWith(QLatin1Char('@'))) {
            if (media && !prelude.contains(QLatin1Char('\\')) && forScreen(prelude.mid(1)))
                readRules(body, false, false, read);
        } else if (end >= 0 && !body.contains(QLatin1Char('{'))) {
            CssRead rule;
            declarations(body, QString(), rule);
            if (rule.declarations > 0 && selectors(prelude, rule.declarations, read.targets)) {
                read.css += prelude + QLatin1String(" { ") + rule.css + QLatin1String(" }\n");
                read.declarations += rule.declarations + prelude.count(QLatin1Char(',')) + 1;
            }
        }
        at = next;
    }
}

} // namespace

bool readCssLength(const QString& token, double low, double high, double percent, QString& out)
{
    return length(token, low, high, percent, out);
}

bool isCssColor(const QString& token)
{
    return color(token.toLower());
}

bool isCssFamily(const QString& value)
{
    return family(value);
}

CssRead readCssDeclarations(const QString& text, const QString& element)
{
    CssRead read;
    declarations(withoutComments(text), element, read);
    return read;
}

CssRead readCssSheet(const QString& text, bool imports)
{
    CssRead read;
    readRules(withoutComments(text), imports, true, read);
    return read;
}

qint64 cssWork(const QVector<CssTarget>& targets, const CssCensus& census, qint64 sheets)
{
    qint64 work = sheets * (census.elements / 8 + 1);
    for (const CssTarget& target : targets) {
        const bool named = !target.key.isEmpty() && target.key.at(0).isLetter();
        work += (target.key.isEmpty() ? census.elements : census.counts.value(target.key)) * target.weight;
        // A selector not under a name is tried on every element.
        if (!named)
            work += census.elements / 16 + 1;
    }
    return work;
}

bool isOneOfWords(const QString& token, const char* words)
{
    // Read in place: called for every token of every style.
    for (const char* word = words; *word;) {
        const char* end = std::strchr(word, ' ');
        if (!end)
            end = word + std::strlen(word);
        if (end > word && token == QLatin1String(word, int(end - word)))
            return true;
        word = *end ? end + 1 : end;
    }
    return false;
}

} // namespace vyr
