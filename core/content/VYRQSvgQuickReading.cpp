#include "VYRQSvgQuickReading_p.h"

#include "VYRQSvgBounds_p.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vyr {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
// The characters of the names read here, a bit each in a table looked up once a character.
struct NameChars {
    bool in[256] = {};
    constexpr NameChars()
    {
        for (int c = 0; c < 256; ++c)
            in[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':'
                || c == '-' || c == '.';
    }
};
constexpr NameChars nameChars;

bool isNameChar(char c)
{
    return nameChars.in[uchar(c)];
}

bool blank(const char* from, const char* to)
{
    return std::all_of(from, to, isSpace);
}

// The part of a name after its prefix, as the reader gives it (names read here have
// one colon at most).
QLatin1String localName(QLatin1String name)
{
    if (name.isEmpty())
        return name;
    const char* colon = static_cast<const char*>(std::memchr(name.data(), ':', size_t(name.size())));
    return colon ? QLatin1String(colon + 1, name.data() + name.size()) : name;
}

// The first `quote` or "<" from `at`, null when neither comes before `end`: a value
// the reader takes ends at its quote, with no "<" before it. 32 bytes at a time.
const char* closingQuote(const char* at, const char* end, char quote)
{
#if defined(__SSE2__)
    const __m128i q = _mm_set1_epi8(quote), lt = _mm_set1_epi8('<');
    const auto found = [&](const char* from) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        return uint(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(c, q), _mm_cmpeq_epi8(c, lt))));
    };
    for (; end - at >= 32; at += 32) {
        const quint64 both = found(at) | quint64(found(at + 16)) << 16;
        if (both)
            return at + qCountTrailingZeroBits(both);
    }
#endif
    for (; at < end; ++at) {
        if (*at == quote || *at == '<')
            return at;
    }
    return nullptr;
}

bool isNameStart(char c)
{
    return isNameChar(c) && c != '-' && c != '.' && c != ':' && !(c >= '0' && c <= '9');
}

} // namespace

struct SvgQuickReading::Spare {
    QString wide;
    std::vector<Attribute> attributes;
    std::vector<SvgStrokeWork::Attribute> views;
};

SvgQuickReading::Spare& SvgQuickReading::spare()
{
    thread_local Spare buffers;
    return buffers;
}

SvgQuickReading::SvgQuickReading(const QByteArray& text, SvgStrokeWork& strokes)
    : m_begin(text.constData())
    , m_at(text.constData())
    , m_end(text.constData() + text.size())
    , m_strokes(strokes)
{
    Spare& buffers = spare();
    m_wide.swap(buffers.wide);
    m_attributes.swap(buffers.attributes);
    m_views.swap(buffers.views);
}

SvgQuickReading::~SvgQuickReading()
{
    // Kept while no larger than an icon's; a large document's copy goes.
    if (m_wide.capacity() > 256 * 1024 || m_attributes.capacity() > 256)
        return;
    Spare& buffers = spare();
    m_wide.swap(buffers.wide);
    m_attributes.swap(buffers.attributes);
    m_views.swap(buffers.views);
}

bool SvgQuickReading::read()
{
    const size_t size = size_t(m_end - m_at);
    if (std::memchr(m_at, '&', size))
        return false;
    // Written so that the compiler widens it: control characters the reader refuses,
    // and whether any byte is past ASCII.
    uchar high = 0;
    uchar control = 0;
    for (size_t i = 0; i < size; ++i) {
        const uchar c = uchar(m_at[i]);
        high |= c;
        control |= uchar(c < 0x20) & uchar(c != '\t') & uchar(c != '\n') & uchar(c != '\r');
    }
    // Only ASCII is taken: the stroke count reads UTF-16, the same characters at the
    // same places.
    if (control || high >= 0x80)
        return false;
    // Without carriage returns the characters are counted by their length.
    m_plain = !std::memchr(m_at, '\r', size);
    // Widened in place of the last document's, without allocating.
    m_wide.resize(int(size));
    QChar* out = m_wide.data();
    for (size_t i = 0; i < size; ++i)
        out[i] = QChar(ushort(uchar(m_begin[i])));
    if (size >= 3 && std::memcmp(m_at, "\xEF\xBB\xBF", 3) == 0)
        m_at += 3;
    if (!declaration())
        return false;
    bool rootSeen = false;
    bool inSheet = false;
    QString sheet;   // the text of the <style> element being read
    std::vector<QLatin1String> open;
    for (;;) {
        const char* tag = static_cast<const char*>(std::memchr(m_at, '<', size_t(m_end - m_at)));
        const char* textEnd = tag ? tag : m_end;
        // Text outside the root may only be white space, which the reader passes over.
        if (open.empty() && !blank(m_at, textEnd))
            return false;
        if (!open.empty()) {
            const qint64 count = characters(m_at, textEnd);
            m_characters += count;
            m_strokes.characters(wide(m_at, textEnd));
            if (inSheet)
                sheet += wide(m_at, textEnd);
        }
        if (!tag)
            return rootSeen && open.empty();
        m_at = tag + 1;
        if (startsWith("!--")) {
            if (!comment())
                return false;
        } else if (startsWith("/")) {
            ++m_at;
            const QLatin1String name = readName();
            skipSpace();
            if (open.empty() || name != open.back() || !take('>'))
                return false;
            open.pop_back();
            if (!endElement(localName(name), inSheet, sheet))
                return false;
        } else {
            if ((open.empty() && rootSeen) || ++m_elements > maxSvgElements)
                return false;
            const QLatin1String name = readName();
            const QLatin1String local = localName(name);
            bool empty = false;
            if (local.isEmpty() || local == QLatin1String("image") || !attributes(empty))
                return false;
            rootSeen = true;
            if (!startElement(name))
                return false;
            if (local == QLatin1String("style")) {
                inSheet = true;
                sheet.clear();
            }
            if (empty && !endElement(local, inSheet, sheet))
                return false;
            if (!empty)
                open.push_back(name);
        }
    }
}

// The same characters in the document as the stroke count reads it.
QStringView SvgQuickReading::wide(const char* from, const char* to) const
{
    return QStringView(m_wide).mid(int(from - m_begin), int(to - from));
}

QStringView SvgQuickReading::wide(QLatin1String text) const
{
    return wide(text.data(), text.data() + text.size());
}

bool SvgQuickReading::startElement(QLatin1String name)
{
    m_views.clear();
    for (const Attribute& attribute : m_attributes) {
        const QLatin1String local = localName(attribute.name);
        const QLatin1String value = attribute.value;
        // Names and references the reader would give with their white space made plain.
        if (local.isEmpty()
            || ((local == QLatin1String("id") || local == QLatin1String("href"))
                && std::any_of(value.begin(), value.end(), isSpace)))
            return false;
        m_views.push_back({ wide(local), wide(attribute.name), wide(value) });
    }
    m_strokes.startElement(wide(localName(name)), m_views);
    return true;
}

bool SvgQuickReading::endElement(QLatin1String local, bool& inSheet, QString& sheet)
{
    if (local.isEmpty())
        return false;
    m_strokes.endElement();
    if (local == QLatin1String("style")) {
        m_strokes.styleSheet(sheet);
        inSheet = false;
    }
    return true;
}

// The characters the reader gives for these bytes, a line break written "\r\n" being
// one.
qint64 SvgQuickReading::characters(const char* from, const char* to) const
{
    qint64 count = to - from;
    if (m_plain)
        return count;
    for (const char* p = from + 1; p < to; ++p)
        count -= *p == '\n' && p[-1] == '\r';
    return count;
}

bool SvgQuickReading::startsWith(const char* word) const
{
    const size_t length = std::strlen(word);
    return size_t(m_end - m_at) >= length && std::memcmp(m_at, word, length) == 0;
}

bool SvgQuickReading::take(char c)
{
    if (m_at >= m_end || *m_at != c)
        return false;
    ++m_at;
    return true;
}

// Returns whether any was skipped.
bool SvgQuickReading::skipSpace()
{
    const char* from = m_at;
    while (m_at < m_end && isSpace(*m_at))
        ++m_at;
    return m_at > from;
}

// A name, empty when there is none or it is not one the reader takes: a colon may
// only stand between its prefix and the rest, and the reader stops at 4 KiB.
QLatin1String SvgQuickReading::readName()
{
    const char* from = m_at;
    const char* colon = nullptr;
    if (m_at < m_end && isNameStart(*m_at)) {
        for (; m_at < m_end && isNameChar(*m_at); ++m_at) {
            if (*m_at != ':')
                continue;
            if (colon)
                return QLatin1String();
            colon = m_at;
        }
    }
    const QLatin1String name(from, int(m_at - from));
    if (name.size() >= 4096 || (colon && (colon + 1 == m_at || !isNameStart(colon[1]))))
        return QLatin1String();
    return name;
}

// What follows an attribute's name: "=" and its quoted value, spaces allowed around "=".
bool SvgQuickReading::quotedValue(QLatin1String& value)
{
    skipSpace();
    if (!take('='))
        return false;
    skipSpace();
    if (m_at >= m_end || (*m_at != '"' && *m_at != '\''))
        return false;
    const char quote = *m_at++;
    const char* close = closingQuote(m_at, m_end, quote);
    if (!close || *close != quote)
        return false;
    value = QLatin1String(m_at, int(close - m_at));
    m_at = close + 1;
    return true;
}

// An XML declaration of version 1.0 that says UTF-8, if any, written as the reader
// takes it; any other processing instruction is for the full reading.
bool SvgQuickReading::declaration()
{
    if (!startsWith("<?"))
        return true;
    if (!startsWith("<?xml"))
        return false;
    m_at += 5;
    const auto pseudoAttribute = [this](const char* name, std::initializer_list<const char*> values) {
        const char* from = m_at;
        if (!skipSpace() || !startsWith(name))
            return m_at = from, false;
        m_at += std::strlen(name);
        QLatin1String value;
        return quotedValue(value) && std::any_of(values.begin(), values.end(), [&value](const char* v) {
            return value.compare(QLatin1String(v), Qt::CaseInsensitive) == 0;
        });
    };
    if (!pseudoAttribute("version", { "1.0" }))
        return false;
    const char* at = m_at;
    if (!pseudoAttribute("encoding", { "utf-8" }) && m_at != at)
        return false;
    at = m_at;
    if (!pseudoAttribute("standalone", { "yes", "no" }) && m_at != at)
        return false;
    skipSpace();
    return take('?') && take('>');
}

bool SvgQuickReading::comment()
{
    m_at += 3;
    for (const char* p = m_at; p + 1 < m_end; ++p) {
        if (p[0] == '-' && p[1] == '-') {
            if (p + 2 >= m_end || p[2] != '>')
                return false;   // "--" within a comment, which the reader refuses
            m_at = p + 3;
            return true;
        }
    }
    return false;
}

// The attributes of a start tag, into m_attributes, and its end; `empty` for "/>".
bool SvgQuickReading::attributes(bool& empty)
{
    m_attributes.clear();
    for (;;) {
        const bool spaced = skipSpace();
        if (take('>'))
            return true;
        if (take('/')) {
            empty = true;
            return take('>');
        }
        const QLatin1String name = readName();
        if (!spaced || name.isEmpty()
            || std::any_of(m_attributes.begin(), m_attributes.end(),
                           [&name](const Attribute& a) { return a.name == name; }))
            return false;
        QLatin1String value;
        if (!quotedValue(value))
            return false;
        m_attributes.push_back({ name, value });
        m_characters += characters(value.data(), value.data() + value.size());
    }
}

} // namespace vyr
