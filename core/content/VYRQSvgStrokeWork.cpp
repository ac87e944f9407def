#include "VYRQSvgStrokeWork_p.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

namespace vyr {

namespace {

constexpr double none = std::numeric_limits<double>::infinity();
constexpr double pi = 3.14159265358979323846;

inline ushort code(QChar c) { return c.unicode(); }
inline ushort code(char c) { return uchar(c); }

// A run of characters: as the reader hands out attribute values, or narrowed to bytes.
template <class Char>
struct Chars {
    const Char* at;
    const Char* end;
    Chars(const Char* from, const Char* to) : at(from), end(to) {}
    bool atEnd() const { return at >= end; }
    ushort peek() const { return at < end ? code(*at) : 0; }
};

struct Text : Chars<QChar> {
    explicit Text(QStringView text) : Chars(text.data(), text.data() + text.size()) {}
    Text(const QChar* from, const QChar* to) : Chars(from, to) {}
};

// A path's text as bytes, each character past Latin-1 one that no
// number or command holds, after a zero byte and followed by 64: a path is looked at 64
// bytes at a time, and at a few bytes around where each of its numbers begins.
struct Bytes : Chars<char> {
    static constexpr int padding = 64;
    Bytes(QStringView text, std::vector<char>& buffer) : Chars(nullptr, nullptr)
    {
        buffer.resize(size_t(text.size()) + padding + 1);
        buffer[0] = '\0';
        char* out = buffer.data() + 1;
        const QChar* in = text.data();
        for (int i = 0; i < text.size(); ++i)
            out[i] = char(std::min<ushort>(in[i].unicode(), 0xff));
        std::fill(out + text.size(), out + text.size() + padding, '\0');
        at = out;
        end = out + text.size();
    }
};

bool isDigit(ushort c) { return c >= '0' && c <= '9'; }
bool isSpace(ushort c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool isLetter(ushort c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Whether `name` is `word`: most names met are not, and differ in length.
bool is(QStringView name, QLatin1String word)
{
    if (name.size() != word.size())
        return false;
    for (int i = 0; i < word.size(); ++i) {
        if (name.at(i).unicode() != uchar(word.at(i).toLatin1()))
            return false;
    }
    return true;
}

// Whether `name` is the lower-case `word` in any case, as Qt folds case (beyond ASCII
// a long s is an s).
bool isNoCase(QStringView name, QLatin1String word)
{
    if (name.size() != word.size())
        return false;
    for (int i = 0; i < word.size(); ++i) {
        ushort c = name.at(i).unicode();
        if (c >= 0x80)
            return word.compare(name, Qt::CaseInsensitive) == 0;
        if (c >= 'A' && c <= 'Z')
            c = ushort(c + ('a' - 'A'));
        if (c != uchar(word.at(i).toLatin1()))
            return false;
    }
    return true;
}

template <class Char>
void skipSeparators(Chars<Char>& text)
{
    while (!text.atEnd() && (isSpace(text.peek()) || text.peek() == ','))
        ++text.at;
}

// 10 to the `exponent`, from a table for those path data write.
double powerOfTen(long exponent)
{
    static const double table[] = { 1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12,
                                     1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,
                                     1,     1e1,   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,
                                     1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,
                                     1e22 };
    return exponent >= -22 && exponent <= 22 ? table[exponent + 22] : std::pow(10.0, double(exponent));
}

// A number as SVG writes one ("-1.5e3", ".5", "1.5.5" being two), read the way the
// renderer reads it, without a locale; its value need only be near, and a large
// exponent gives an infinity. False, reading nothing, when none starts here.
template <class Char>
bool readNumber(Chars<Char>& text, double& value)
{
    const Char* p = text.at;
    const auto c = [&]() -> ushort { return p < text.end ? code(*p) : 0; };
    bool negative = false;
    if (c() == '+' || c() == '-') {
        negative = c() == '-';
        ++p;
    }
    double mantissa = 0;
    int digits = 0;
    long exponent = 0;
    bool any = false;
    for (; isDigit(c()); ++p, any = true) {
        if (digits < 18) {
            mantissa = mantissa * 10 + (c() - '0');
            digits += mantissa > 0;
        } else {
            ++exponent;
        }
    }
    if (c() == '.') {
        ++p;
        for (; isDigit(c()); ++p, any = true) {
            if (digits < 18) {
                mantissa = mantissa * 10 + (c() - '0');
                digits += mantissa > 0;
                --exponent;
            }
        }
    }
    if (!any)
        return false;
    if (c() == 'e' || c() == 'E') {
        const Char* e = p + 1;
        bool minus = false;
        if (e < text.end && (code(*e) == '+' || code(*e) == '-')) {
            minus = code(*e) == '-';
            ++e;
        }
        if (e < text.end && isDigit(code(*e))) {
            long power = 0;
            for (p = e; isDigit(c()); ++p)
                power = std::min(power * 10 + (c() - '0'), 100000L);
            exponent += minus ? -power : power;
        }
    }
    text.at = p;
    value = mantissa * powerOfTen(std::max(-400L, std::min(exponent, 400L)));
    if (negative)
        value = -value;
    return true;
}

// The numbers of a list ("1,2 3"), each may carry a unit ("5px"), up to the first that
// is not a number.
template <class Take, class Reading>
void readNumbers(Reading text, const Take& take)
{
    for (;;) {
        skipSeparators(text);
        double value = 0;
        if (!readNumber(text, value))
            return;
        while (!text.atEnd() && (isLetter(text.peek()) || text.peek() == '%'))
            ++text.at;
        take(value);
    }
}

// The first number of a length ("12.5px"), 0 when there is none.
double lengthOf(QStringView value)
{
    Text text(value);
    while (!text.atEnd() && isSpace(text.peek()))
        ++text.at;
    double number = 0;
    return readNumber(text, number) ? std::abs(number) : 0;
}

// The length of one repeat of a dash pattern; infinite for "none", a pattern of
// zeros (drawn solid) or no numbers.
double dashPattern(Text text)
{
    double sum = 0;
    readNumbers(text, [&](double v) { sum += std::abs(v); });
    return sum > 0 ? sum : none;
}

struct Point {
    double x = 0;
    double y = 0;
};

// Without std::hypot's care against overflow: a distance past 1e154 is infinite, which
// the bounds treat as they treat one as long.
double distance(const Point& a, const Point& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

struct Cost {
    double points = 0;
    double length = 0;
    double segments = 0;   // what its curves are flattened into
    double outline = 0;    // device pixels of its edges, each at most across the picture
};

// Where a shape is drawn: device pixels a unit, and the picture's diagonal, beyond
// which an edge costs the rasteriser no more (it is clipped).
struct Device {
    double scale = 1;
    double diagonal = 0;
    double edge(double length) const { return curve(length, 1); }
    // A curve may be longer than the diagonal, but its segments no longer.
    double curve(double length, double segments) const
    {
        const double pixels = length * scale;
        return pixels < segments * diagonal ? pixels : segments * diagonal;
    }
};

// The segments Qt flattens a curve into whose control polygon is `length` long on the
// device: it halves the curve until each part lies within a quarter of a pixel of its
// chord, nine times at most. Halving quarters a part's distance from its chord, so
// the segments grow with the square root of the length (measured: within 4 times it).
double curveSegments(double length)
{
    constexpr double most = 512;
    return length >= 0 && length < most * most ? std::min(most, 2 + std::ceil(4 * std::sqrt(length))) : most;
}

// A path read a character at a time, separators passed over.
struct PathText {
    Bytes text;
    bool atEnd()
    {
        skipSeparators(text);
        return text.atEnd();
    }
    ushort peek() const { return text.peek(); }
    void skip() { ++text.at; }
    bool number(double& value)
    {
        skipSeparators(text);
        return readNumber(text, value);
    }
};

// Which of 64 bytes of a path are of each kind it is written in, a bit each, the first
// byte the lowest bit.
struct ByteKinds {
    quint64 digits = 0;
    quint64 points = 0;
    quint64 signs = 0;
    quint64 letters = 0;   // but for "e" and "E", which may begin an exponent
    quint64 exponents = 0; // "e" and "E"
    quint64 separators = 0;
};

#if defined(__SSE2__)
void kindsSse2(const char* at, ByteKinds& out)
{
    const auto bits = [](__m128i lanes) { return quint64(uint(_mm_movemask_epi8(lanes))); };
    const auto is = [](__m128i c, char b) { return _mm_cmpeq_epi8(c, _mm_set1_epi8(b)); };
    const auto within = [](__m128i c, char from, char to) {
        return _mm_and_si128(_mm_cmpgt_epi8(c, _mm_set1_epi8(char(from - 1))), _mm_cmplt_epi8(c, _mm_set1_epi8(char(to + 1))));
    };
    for (int k = 0; k < 4; ++k) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * k));
        const __m128i lower = _mm_or_si128(c, _mm_set1_epi8(0x20));
        const int shift = 16 * k;
        out.digits |= bits(within(c, '0', '9')) << shift;
        out.points |= bits(is(c, '.')) << shift;
        out.signs |= bits(_mm_or_si128(is(c, '-'), is(c, '+'))) << shift;
        out.letters |= bits(_mm_andnot_si128(is(lower, 'e'), within(lower, 'a', 'z'))) << shift;
        out.exponents |= bits(is(lower, 'e')) << shift;
        out.separators |= bits(_mm_or_si128(_mm_or_si128(is(c, ' '), is(c, ',')),
                                            _mm_or_si128(within(c, '\t', '\n'), within(c, '\f', '\r'))))
            << shift;
    }
}
#endif

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define VYR_PATH_AVX2 1
#define VYR_AVX2 __attribute__((target("avx2")))

VYR_AVX2 inline quint64 avx2Bits(__m256i lanes)
{
    return quint64(uint(_mm256_movemask_epi8(lanes)));
}

VYR_AVX2 inline __m256i avx2Is(__m256i c, char b)
{
    return _mm256_cmpeq_epi8(c, _mm256_set1_epi8(b));
}

VYR_AVX2 inline __m256i avx2Within(__m256i c, char from, char to)
{
    return _mm256_and_si256(_mm256_cmpgt_epi8(c, _mm256_set1_epi8(char(from - 1))),
                            _mm256_cmpgt_epi8(_mm256_set1_epi8(char(to + 1)), c));
}

// The same 32 bytes at a time, where the processor has AVX2: a path's every byte passes here.
VYR_AVX2 void kindsAvx2(const char* at, ByteKinds& out)
{
    for (int k = 0; k < 2; ++k) {
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + 32 * k));
        const __m256i lower = _mm256_or_si256(c, _mm256_set1_epi8(0x20));
        const int shift = 32 * k;
        out.digits |= avx2Bits(avx2Within(c, '0', '9')) << shift;
        out.points |= avx2Bits(avx2Is(c, '.')) << shift;
        out.signs |= avx2Bits(_mm256_or_si256(avx2Is(c, '-'), avx2Is(c, '+'))) << shift;
        out.letters |= avx2Bits(_mm256_andnot_si256(avx2Is(lower, 'e'), avx2Within(lower, 'a', 'z'))) << shift;
        out.exponents |= avx2Bits(avx2Is(lower, 'e')) << shift;
        out.separators |= avx2Bits(_mm256_or_si256(_mm256_or_si256(avx2Is(c, ' '), avx2Is(c, ',')),
                                                 _mm256_or_si256(avx2Within(c, '\t', '\n'), avx2Within(c, '\f', '\r'))))
            << shift;
    }
}

bool hasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

#if !defined(__SSE2__)
void kindsPlain(const char* at, ByteKinds& out)
{
    for (int k = 0; k < 64; ++k) {
        const ushort c = uchar(at[k]);
        const quint64 bit = 1ull << k;
        out.digits |= isDigit(c) ? bit : 0;
        out.points |= c == '.' ? bit : 0;
        out.signs |= c == '-' || c == '+' ? bit : 0;
        out.letters |= isLetter(c) && (c | 0x20) != 'e' ? bit : 0;
        out.exponents |= (c | 0x20) == 'e' ? bit : 0;
        out.separators |= isSpace(c) || c == ',' ? bit : 0;
    }
}
#endif

struct PathBytes {
    quint64 digits = 0;
    quint64 points = 0;
    quint64 signs = 0;
    quint64 letters = 0;   // but for "e" and "E", which may begin an exponent
    quint64 exponents = 0; // "e" and "E"
    quint64 other = 0;     // none of those nor a separator

    PathBytes() = default;
    // The 64 bytes from `at`, of which the first `valid` are the path's.
    PathBytes(const char* at, qint64 valid)
    {
        if (valid <= 0)
            return;
        ByteKinds kinds;
#if defined(VYR_PATH_AVX2)
        if (hasAvx2())
            kindsAvx2(at, kinds);
        else
#endif
#if defined(__SSE2__)
            kindsSse2(at, kinds);
#else
            kindsPlain(at, kinds);
#endif
        const quint64 inside = valid >= 64 ? ~0ull : (1ull << valid) - 1;
        digits = kinds.digits & inside;
        points = kinds.points & inside;
        signs = kinds.signs & inside;
        letters = kinds.letters & inside;
        exponents = kinds.exponents & inside;
        other = inside & ~(digits | points | signs | letters | exponents | kinds.separators);
    }
};

// `a` + `b` + `carry` into `sum`; the carry out.
quint64 addCarry(quint64 a, quint64 b, quint64 carry, quint64& sum)
{
    sum = a + b;
    const quint64 out = sum < a;
    sum += carry;
    return out | (sum < carry);
}

// The power of ten the exponent after the number at `p` (its first digit or point)
// raises it by, 0 when none follows; false when an exponent is cut short or its power
// is past 22, for the reading digit by digit. Reads no further than a zero byte.
bool exponentAfter(const char* p, int& power)
{
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    while (digit(*p))
        ++p;
    if (*p == '.') {
        for (++p; digit(*p);)
            ++p;
    }
    power = 0;
    if ((*p | 0x20) != 'e')
        return true;
    ++p;
    const bool minus = *p == '-';
    p += *p == '-' || *p == '+';
    if (!digit(*p))
        return false;
    for (; digit(*p); ++p) {
        power = power * 10 + (*p - '0');
        if (power > 22)
            return false;
    }
    power = minus ? -power : power;
    return true;
}

// A value known to lie between two numbers.
struct Range {
    double low = 0;
    double high = 0;
    Range operator+(const Range& other) const { return { low + other.low, high + other.high }; }
    Range operator-() const { return { -high, -low }; }
    double magnitude() const { return std::max(std::abs(low), std::abs(high)); }
};

// The most two values of these ranges may lie apart.
double apart(const Range& a, const Range& b)
{
    return std::max(a.high - b.low, b.high - a.low);
}

struct Place {
    Range x, y;
    Place operator+(const Place& other) const { return { x + other.x, y + other.y }; }
    Place operator-() const { return { -x, -y }; }
};

// The most two places may lie apart, as the width plus the height between them (no
// shorter than the straight line).
double apart(const Place& a, const Place& b)
{
    return apart(a.x, b.x) + apart(a.y, b.y);
}

// The same costs as pathCost's, or more, read without each number's value: only its
// first two digits and where its point stands, which bound it within a tenth or so
// (12.34 lies from 12 to 13, .5 from .5 to .51), so that no number is read digit by
// digit. Where each number begins is found for 64 bytes at a time from which bytes are
// digits, points, signs and letters. A length taken as its width plus its height is no
// shorter than the straight one; a curve's segments, 2 + ceil(4 sqrt(polygon)), are at most
// 3 + 4 sqrt(polygon) each, and by Cauchy-Schwarz their roots together at most the root
// of the curves' count times their polygons' sum; an arc counts as four curves around
// its whole ellipse, and a curve's edge at its polygon's length. An exponent scales
// its number's range; its own digits are no number. False, for the reading digit by
// digit, when the path holds a number of eight whole digits or more, a power past 22,
// or anything that reading stops at (a byte of another kind, a sign before no number,
// a point alone, an exponent after no number or before no digit).
bool pathBound(const Bytes& path, const Device& device, Cost& cost)
{
    static const double units[] = { 0.01, 0.1, 1, 10, 100, 1e3, 1e4, 1e5 };
    const char* const begin = path.at;
    const qint64 size = path.end - path.at;
    cost = Cost();
    double curves = 0, polygons = 0;
    Place at, start;
    Place control;   // the last control point less the place it led to
    ushort command = 0;
    int count = 0;   // numbers the command takes
    int taken = 0;
    Range n[7];
    quint64 inRun = 0, firstCarry = 0, afterCarry = 0;
    // What the last byte of the 64 before was: an exponent's "e", its sign, a digit of it.
    quint64 lastExponent = 0, lastExponentSign = 0, lastExponentDigit = 0;
    const auto finish = [&] {
        if (curves > 0)
            cost.segments = 3 * curves + 4 * std::sqrt(curves * device.scale * polygons);
        return true;
    };
    PathBytes next(begin, size);
    for (qint64 block = 0; block < size; block += 64) {
        PathBytes here = next;
        next = PathBytes(begin + block + 64, size - block - 64);
        // An exponent's digits follow its "e", or its sign; they belong to the number
        // before, not to one of their own (adding a run's start to its digits clears them).
        const quint64 afterExponent = here.exponents << 1 | lastExponent;
        const quint64 exponentSigns = afterExponent & here.signs;
        const quint64 exponentStarts =
            (afterExponent | exponentSigns << 1 | lastExponentSign | (lastExponentDigit & 1)) & here.digits;
        const quint64 exponentDigits = ((here.digits + exponentStarts) ^ here.digits) & here.digits;
        lastExponent = here.exponents >> 63;
        lastExponentSign = exponentSigns >> 63;
        lastExponentDigit = exponentDigits >> 63;
        here.digits &= ~exponentDigits;
        here.signs &= ~exponentSigns;
        // Runs of digits and points. A run's first point belongs to its first number
        // (found where adding the run's start to its digits carries to), and every
        // later point begins a number of its own ("1.5.5" is 1.5 and .5).
        const quint64 run = here.digits | here.points;
        const quint64 starts = run & ~(run << 1 | inRun);
        quint64 first = 0, after = 0;
        firstCarry = addCarry(here.digits, starts, firstCarry, first);
        first &= here.points;
        afterCarry = addCarry(run, first, afterCarry, after);
        after = (after ^ run) & run & ~first;
        const quint64 numbers = starts | (here.points & after);
        const quint64 exponentFollows = here.exponents & (run << 1 | inRun);
        inRun = run >> 63;
        const quint64 runFollows = run >> 1 | (next.digits | next.points) << 63;
        const quint64 digitFollows = here.digits >> 1 | next.digits << 63;
        if (here.other | (here.signs & ~runFollows) | (numbers & here.points & ~digitFollows)
            | (here.exponents & ~exponentFollows))
            return false;
        // Each number of these bytes looks for an exponent after it when one may follow:
        // in these bytes or the next, or past them when the next are all one run.
        const bool exponents = (here.exponents | next.exponents) != 0 || ~(next.digits | next.points) == 0;
        for (quint64 tokens = numbers | here.letters; tokens; tokens &= tokens - 1) {
            const int bit = int(qCountTrailingZeroBits(tokens));
            const char* p = begin + block + bit;
            if (here.letters >> bit & 1) {
                if (taken != 0)
                    return finish();   // a command cut short: its numbers are not drawn
                command = ushort(uchar(*p));
                const ushort upper = ushort(command & ~0x20);
                if (upper == 'Z') {
                    const double edge = apart(at, start);
                    cost.points += 1;
                    cost.length += edge;
                    cost.outline += device.edge(edge);
                    at = start;
                    control = Place();
                    count = 0;   // and no number may follow
                    continue;
                }
                count = upper == 'M' || upper == 'L' || upper == 'T' ? 2
                    : upper == 'H' || upper == 'V'                   ? 1
                    : upper == 'S' || upper == 'Q'                   ? 4
                    : upper == 'C'                                   ? 6
                    : upper == 'A'                                   ? 7
                                                                     : 0;
                if (count == 0)
                    return finish();
                continue;
            }
            if (count == 0)
                return finish();   // a number where no command takes one ends the path
            // The whole digits from here, across into the next 64 bytes.
            const quint64 ahead = quint64(((unsigned __int128)next.digits << 64 | here.digits) >> bit);
            const int whole = int(qCountTrailingZeroBits(~ahead));
            if (whole >= 8)
                return false;
            // The first two digits, the second after the point for a number of one
            // whole digit; none past the number's end.
            const int second = whole >= 2 ? 1 : 2;
            const bool secondIn = whole != 1 || p[1] == '.';
            const uint a = uint(uchar(p[whole == 0 ? 1 : 0])) - '0';
            uint b = uint(uchar(p[second])) - '0';
            b = secondIn && b < 10 ? b : 0;
            // In units of the second digit, from `from` to `from` + 1; a negative number's
            // from -(first two digits) - 1, flipped without a branch on the sign, which half
            // the numbers of a path may carry.
            const int negative = -int(p[-1] == '-');
            const int from = int(a * 10 + b) ^ negative;
            const double unit = units[whole];
            n[taken++] = { double(from) * unit, double(from + 1) * unit };
            int power = 0;
            if (exponents && !exponentAfter(p, power))
                return false;
            if (power != 0) {
                // A number made smaller keeps a range as wide as the narrowest without an
                // exponent (a hundredth), wider than the rounding of the reading digit by
                // digit; one made larger stays below eight whole digits, as they all do.
                Range& number = n[taken - 1];
                const double scale = powerOfTen(power);
                const double margin = power < 0 ? units[0] : 0;
                number = { number.low * scale - margin, number.high * scale + margin };
                if (number.magnitude() >= 1e7)
                    return false;
            }
            if (taken < count)
                continue;
            taken = 0;
            const bool relative = command >= 'a';
            const ushort upper = ushort(command & ~0x20);
            // Relative places are kept from the command's start, whose own place then
            // drops out of the lengths between them.
            const Place origin = relative ? Place() : at;
            const auto point = [&n](int i) { return Place{ n[i], n[i + 1] }; };
            Place via[2];
            int vias = 0;
            Place to;
            switch (upper) {
            case 'M':
                to = point(0);
                command = relative ? 'l' : 'L';
                break;
            case 'L': to = point(0); break;
            case 'H': to = { n[0], origin.y }; break;
            case 'V': to = { origin.x, n[0] }; break;
            case 'C':
                via[vias++] = point(0);
                via[vias++] = point(2);
                to = point(4);
                break;
            case 'S':
                via[vias++] = origin + -control;
                via[vias++] = point(0);
                to = point(2);
                break;
            case 'Q':
                via[vias++] = point(0);
                to = point(2);
                break;
            case 'T':
                via[vias++] = origin + -control;
                to = point(0);
                break;
            case 'A': to = point(5); break;
            }
            const Place end = relative ? at + to : to;
            if (upper == 'A') {
                const double arc = 2 * pi * std::max({ n[0].magnitude(), n[1].magnitude(), apart(origin, to) });
                cost.points += 12;
                cost.length += arc;
                curves += 4;
                polygons += arc;
                cost.outline += arc * device.scale;
                control = Place();
            } else if (upper == 'M') {
                cost.points += 1;
                start = end;
                control = Place();
            } else {
                // A level or upright line keeps one coordinate of where it starts.
                double polygon = upper == 'H' ? apart(origin.x, to.x) : upper == 'V' ? apart(origin.y, to.y) : 0;
                Place from = origin;
                for (int i = 0; upper != 'H' && upper != 'V' && i < vias; ++i) {
                    polygon += apart(from, via[i]);
                    from = via[i];
                }
                if (upper != 'H' && upper != 'V')
                    polygon += apart(from, to);
                cost.length += polygon;
                if (vias > 0) {
                    curves += 1;
                    polygons += polygon;
                    cost.outline += polygon * device.scale;
                    control = via[vias - 1] + -to;
                } else {
                    cost.points += 1;
                    cost.outline += device.edge(polygon);
                    control = Place();
                }
            }
            at = end;
        }
    }
    return finish();
}

// A path's points, the segments of its curves at `scale` device pixels a unit, and
// the length of its control polygon. Numbers after a command are taken in groups of
// the command's size, a move's later pairs as lines, as the renderer does; reading
// stops at the first thing that is neither.
template <class Reading>
Cost pathCost(Reading& text, const Device& device)
{
    Cost cost;
    Point at, start, control;
    ushort command = 0;
    for (;;) {
        if (text.atEnd())
            break;
        if (isLetter(text.peek())) {
            command = text.peek();
            text.skip();
            if (command == 'z' || command == 'Z') {
                cost.points += 1;
                cost.length += distance(at, start);
                cost.outline += device.edge(distance(at, start));
                at = control = start;
                continue;
            }
        } else if (command == 0 || command == 'z' || command == 'Z') {
            break;
        }
        const bool relative = command >= 'a';
        const ushort upper = relative ? ushort(command - ('a' - 'A')) : command;
        int count = 0;
        switch (upper) {
        case 'M': case 'L': case 'T': count = 2; break;
        case 'H': case 'V': count = 1; break;
        case 'S': case 'Q': count = 4; break;
        case 'C': count = 6; break;
        case 'A': count = 7; break;
        default: return cost;
        }
        double n[7] = {};
        for (int i = 0; i < count; ++i) {
            if (!text.number(n[i]))
                return cost;
        }
        const auto point = [&](double x, double y) { return relative ? Point{ at.x + x, at.y + y } : Point{ x, y }; };
        const Point reflected{ 2 * at.x - control.x, 2 * at.y - control.y };
        Point via[2];   // a curve's control points
        int vias = 0;
        Point to;
        switch (upper) {
        case 'M':
            to = start = point(n[0], n[1]);
            command = relative ? 'l' : 'L';
            break;
        case 'L': to = point(n[0], n[1]); break;
        case 'H': to = { relative ? at.x + n[0] : n[0], at.y }; break;
        case 'V': to = { at.x, relative ? at.y + n[0] : n[0] }; break;
        case 'C':
            via[vias++] = point(n[0], n[1]);
            via[vias++] = point(n[2], n[3]);
            to = point(n[4], n[5]);
            break;
        case 'S':
            via[vias++] = reflected;
            via[vias++] = point(n[0], n[1]);
            to = point(n[2], n[3]);
            break;
        case 'Q':
            via[vias++] = point(n[0], n[1]);
            to = point(n[2], n[3]);
            break;
        case 'T':
            via[vias++] = reflected;
            to = point(n[0], n[1]);
            break;
        case 'A': to = point(n[5], n[6]); break;
        }
        if (upper == 'A') {
            // Drawn as up to four curves, somewhere on an ellipse that its radii give
            // or, when they are too short, the ends stretch it to. An arc of less than
            // half of it is no longer than a half circle over its chord, stretched by
            // the ellipse's ratio, and is drawn as two curves at most.
            cost.points += 12;
            const double rx = std::abs(n[0]), ry = std::abs(n[1]), chord = distance(at, to);
            double arc = 2 * pi * std::max({ rx, ry, chord });
            if (n[3] == 0 && std::min(rx, ry) > 0)
                arc = std::min(arc, pi / 2 * chord * std::max(rx, ry) / std::min(rx, ry));
            const int curves = n[3] == 0 ? 2 : 4;
            const double segments = curves * curveSegments(arc / curves * device.scale);
            cost.length += arc;
            cost.segments += segments;
            cost.outline += device.curve(arc, segments);
        } else if (upper == 'M') {
            cost.points += 1;
        } else {
            double polygon = 0;
            Point from = at;
            for (int i = 0; i < vias; ++i) {
                polygon += distance(from, via[i]);
                from = via[i];
            }
            polygon += distance(from, to);
            cost.length += polygon;
            if (vias > 0) {
                const double segments = curveSegments(polygon * device.scale);
                cost.segments += segments;
                cost.outline += device.curve(polygon, segments);
            } else {
                cost.points += 1;
                cost.outline += device.edge(polygon);
            }
        }
        control = vias > 0 ? via[vias - 1] : to;
        at = to;
    }
    return cost;
}

Cost pointsCost(QStringView points, bool closed, const Device& device)
{
    Cost cost;
    Point first, last;
    double coordinate = 0;
    bool haveX = false;
    readNumbers(Text(points), [&](double v) {
        if (!haveX) {
            coordinate = v;
            haveX = true;
            return;
        }
        haveX = false;
        const Point p{ coordinate, v };
        if (cost.points == 0) {
            first = p;
        } else {
            cost.length += distance(last, p);
            cost.outline += device.edge(distance(last, p));
        }
        last = p;
        cost.points += 1;
    });
    if (closed && cost.points > 0) {
        cost.length += distance(last, first);
        cost.outline += device.edge(distance(last, first));
    }
    return cost;
}

// The attributes a shape's cost is read from.
struct ShapeAttributes {
    QStringView d, points, x1, y1, x2, y2, width, height, r, rx, ry;
    bool take(QStringView name, QStringView value)
    {
        QStringView ShapeAttributes::*field = nullptr;
        switch (name.size()) {
        case 1:
            field = is(name, QLatin1String("d")) ? &ShapeAttributes::d : is(name, QLatin1String("r")) ? &ShapeAttributes::r : nullptr;
            break;
        case 2:
            field = is(name, QLatin1String("x1"))   ? &ShapeAttributes::x1
                : is(name, QLatin1String("y1")) ? &ShapeAttributes::y1
                : is(name, QLatin1String("x2")) ? &ShapeAttributes::x2
                : is(name, QLatin1String("y2")) ? &ShapeAttributes::y2
                : is(name, QLatin1String("rx")) ? &ShapeAttributes::rx
                : is(name, QLatin1String("ry")) ? &ShapeAttributes::ry
                                                : nullptr;
            break;
        case 5:
            field = is(name, QLatin1String("width")) ? &ShapeAttributes::width : nullptr;
            break;
        case 6:
            field = is(name, QLatin1String("points")) ? &ShapeAttributes::points
                : is(name, QLatin1String("height"))   ? &ShapeAttributes::height
                                                      : nullptr;
            break;
        default:
            break;
        }
        if (!field)
            return false;
        this->*field = value;
        return true;
    }

    // `buffer` holds the bytes of a path while they are read.
    Cost costOf(QStringView element, const Device& device, SvgStrokeWork::Paths paths, std::vector<char>& buffer) const
    {
        if (is(element, QLatin1String("path")))
        {
            const Bytes bytes(d, buffer);
            Cost bound;
            if (paths == SvgStrokeWork::Paths::Bounded && pathBound(bytes, device, bound))
                return bound;
            PathText reading{ bytes };
            return pathCost(reading, device);
        }
        if (is(element, QLatin1String("polyline")) || is(element, QLatin1String("polygon")))
            return pointsCost(points, is(element, QLatin1String("polygon")), device);
        if (is(element, QLatin1String("line"))) {   // no longer than the sum of its ends' distances from 0
            const double length = std::hypot(lengthOf(x1) + lengthOf(x2), lengthOf(y1) + lengthOf(y2));
            return { 2, length, 0, device.edge(length) };
        }
        // Round corners and ellipses are drawn as four curves.
        const auto ellipse = [&device](double points, double length, double outline, double radius) {
            const double around = 2 * pi * radius;
            const double segments = radius > 0 ? 4 * curveSegments(around / 4 * device.scale) : 0;
            return Cost{ points, length + around, segments,
                         outline + device.curve(around, segments) };
        };
        if (is(element, QLatin1String("rect")))
            return ellipse(8, 2 * (lengthOf(width) + lengthOf(height)),
                           2 * (device.edge(lengthOf(width)) + device.edge(lengthOf(height))),
                           std::max(lengthOf(rx), lengthOf(ry)));
        if (is(element, QLatin1String("circle")))
            return ellipse(1, 0, 0, lengthOf(r));
        if (is(element, QLatin1String("ellipse")))
            return ellipse(1, 0, 0, std::max(lengthOf(rx), lengthOf(ry)));
        return {};
    }
};

// How much `transform` may stretch a length at most: the product over its list of
// each one's largest stretch (a matrix's by the root of the sum of its squares).
double transformScale(QStringView value)
{
    double scale = 1;
    Text text(value);
    while (!text.atEnd()) {
        while (!text.atEnd() && !isLetter(text.peek()))
            ++text.at;
        const QChar* name = text.at;
        while (!text.atEnd() && isLetter(text.peek()))
            ++text.at;
        const QStringView function(name, text.at - name);
        while (!text.atEnd() && text.peek() != '(')
            ++text.at;
        const QChar* open = text.at;
        while (!text.atEnd() && text.peek() != ')')
            ++text.at;
        double n[6] = {};
        int count = 0;
        readNumbers(Text(open == text.end ? open : open + 1, text.at), [&](double v) {
            if (count < 6)
                n[count++] = v;
        });
        if (is(function, QLatin1String("matrix")))
            scale *= std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2] + n[3] * n[3]);
        else if (is(function, QLatin1String("scale")))
            scale *= std::max(std::abs(n[0]), count > 1 ? std::abs(n[1]) : 0.0);
        else if (is(function, QLatin1String("skewX")) || is(function, QLatin1String("skewY")))
            scale *= 1 + std::abs(std::tan(n[0] * pi / 180));
    }
    return scale >= 0 ? scale : none;
}

// Device pixels a unit of the root `<svg>` drawn at 128 pixels a side (its view box
// stretched to fill it, as the renderer does), and the diagonal of that picture.
Device rootDevice(QStringView width, QStringView height, QStringView viewBox)
{
    double box[4] = {};
    int count = 0;
    readNumbers(Text(viewBox), [&](double v) {
        if (count < 4)
            box[count++] = v;
    });
    const double w = lengthOf(width), h = lengthOf(height);
    double boxW = count == 4 ? std::abs(box[2]) : 0, boxH = count == 4 ? std::abs(box[3]) : 0;
    if (boxW <= 0 || boxH <= 0) {
        boxW = w > 0 ? w : 100;
        boxH = h > 0 ? h : 100;
    }
    constexpr double side = 128;
    return { std::max(side / boxW, side / boxH), std::hypot(side, side) };
}

int hexValue(QChar c)
{
    const ushort u = c.unicode();
    return isDigit(u) ? u - '0' : (u >= 'a' && u <= 'f') ? u - 'a' + 10 : (u >= 'A' && u <= 'F') ? u - 'A' + 10 : -1;
}

// CSS as its parser reads it: comments dropped and escapes ("\61", "\a") replaced by
// the characters they stand for, so that a property is found however it is spelled.
QString plainCss(const QString& css)
{
    if (!css.contains(QLatin1Char('\\')) && !css.contains(QLatin1String("/*")))
        return css;
    QString out;
    out.reserve(css.size());
    for (int i = 0; i < css.size(); ++i) {
        const QChar c = css.at(i);
        if (c == QLatin1Char('/') && i + 1 < css.size() && css.at(i + 1) == QLatin1Char('*')) {
            const int close = css.indexOf(QLatin1String("*/"), i + 2);
            if (close < 0)
                break;
            i = close + 1;
        } else if (c != QLatin1Char('\\') || i + 1 >= css.size()) {
            out += c;
        } else if (hexValue(css.at(i + 1)) < 0) {
            out += css.at(++i);
        } else {
            uint code = 0;
            int j = i + 1;
            for (int digits = 0; j < css.size() && digits < 6 && hexValue(css.at(j)) >= 0; ++j, ++digits)
                code = code * 16 + uint(hexValue(css.at(j)));
            if (j < css.size() && isSpace(css.at(j).unicode()))
                ++j;
            out += code > 0 && code <= 0x10ffff ? QString::fromUcs4(&code, 1) : QString(QChar::ReplacementCharacter);
            i = j - 1;
        }
    }
    return out;
}

// Whether `css` is ASCII without comments or escapes: read as its parser reads it,
// and its property names are found without Qt's case folding.
// Calls `visit` with where each "s" or "S" of `text` stands, eight characters at a time.
template <class Visit>
void eachS(QStringView text, const Visit& visit)
{
    const ushort* at = reinterpret_cast<const ushort*>(text.data());
    const int size = int(text.size());
    int i = 0;
#if defined(__SSE2__)
    for (; i + 8 <= size; i += 8) {
        const __m128i c = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at + i)), _mm_set1_epi16(0x20));
        // Two bits a character: the lower of each is kept.
        uint found = uint(_mm_movemask_epi8(_mm_cmpeq_epi16(c, _mm_set1_epi16('s')))) & 0x5555u;
        for (; found; found &= found - 1)
            visit(i + int(qCountTrailingZeroBits(found)) / 2);
    }
#endif
    for (; i < size; ++i) {
        if ((at[i] | 0x20) == 's')
            visit(i);
    }
}

// Whether `text` may hold a character past ASCII, "\" or "/", eight at a time.
bool mayBeOdd(QStringView text)
{
    const ushort* at = reinterpret_cast<const ushort*>(text.data());
    const int size = int(text.size());
    int i = 0;
#if defined(__SSE2__)
    __m128i odd = _mm_setzero_si128();
    for (; i + 8 <= size; i += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + i));
        const __m128i past = _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(c, _mm_set1_epi16(short(0xff80))), _mm_setzero_si128()),
                                              _mm_set1_epi16(-1));
        odd = _mm_or_si128(odd, _mm_or_si128(past, _mm_or_si128(_mm_cmpeq_epi16(c, _mm_set1_epi16('\\')),
                                                                   _mm_cmpeq_epi16(c, _mm_set1_epi16('/')))));
    }
    if (_mm_movemask_epi8(odd) != 0)
        return true;
#endif
    for (; i < size; ++i) {
        if (at[i] >= 0x80 || at[i] == '\\' || at[i] == '/')
            return true;
    }
    return false;
}

bool plainAscii(QStringView css)
{
    for (int i = 0; i < css.size(); ++i) {
        const ushort c = css.at(i).unicode();
        if (c >= 0x80 || c == '\\' || (c == '/' && i + 1 < css.size() && css.at(i + 1).unicode() == '*'))
            return false;
    }
    return true;
}

// A stroke width in pixels, its unit as the renderer converts it.
double strokeWidth(Text text)
{
    while (!text.atEnd() && isSpace(text.peek()))
        ++text.at;
    double width = 0;
    if (!readNumber(text, width))
        return 0;
    const QStringView unit(text.at, text.end - text.at);
    const double factor = unit.startsWith(QLatin1String("in")) ? 90
        : unit.startsWith(QLatin1String("cm"))                  ? 35.5
        : unit.startsWith(QLatin1String("mm"))                  ? 3.55
        : unit.startsWith(QLatin1String("pt"))                  ? 1.25
                                                                : 1;
    return std::abs(width) * factor;
}

// What the declarations of a style sheet or style attribute set for strokes.
struct CssStroke {
    double pattern = none;   // the smallest dash pattern
    double width = 0;        // the widest stroke

    // The declaration whose property name ends before `i` in `css`, if it has a value.
    template <class Take>
    static void valueAt(QStringView css, int i, const Take& take)
    {
        while (i < css.size() && isSpace(css.at(i).unicode()))
            ++i;
        if (i >= css.size() || css.at(i) != QLatin1Char(':'))
            return;
        int end = i + 1;
        while (end < css.size() && css.at(end) != QLatin1Char(';') && css.at(end) != QLatin1Char('}')
               && css.at(end) != QLatin1Char('!'))
            ++end;
        take(Text(css.data() + i + 1, css.data() + end));
    }

    // Property names are matched without regard to case, wherever they stand.
    explicit CssStroke(QStringView text)
    {
        const QLatin1String dash("stroke-dasharray"), wide("stroke-width"), stroke("stroke-");
        const auto takeDash = [this](Text value) { pattern = std::min(pattern, dashPattern(value)); };
        const auto takeWidth = [this](Text value) { width = std::max(width, strokeWidth(value)); };
        if (!mayBeOdd(text) || plainAscii(text)) {
            const auto at = [text](int i, QLatin1String word) {
                return i + word.size() <= text.size() && isNoCase(QStringView(text.data() + i, word.size()), word);
            };
            eachS(text, [&](int i) {
                if (!at(i, stroke))
                    return;
                if (at(i, dash))
                    valueAt(text, i + dash.size(), takeDash);
                else if (at(i, wide))
                    valueAt(text, i + wide.size(), takeWidth);
            });
            return;
        }
        const QString css = plainCss(text.toString());
        const QStringView view(css);
        for (int at = int(view.indexOf(dash, 0, Qt::CaseInsensitive)); at >= 0;
             at = int(view.indexOf(dash, at + 1, Qt::CaseInsensitive)))
            valueAt(view, at + dash.size(), takeDash);
        for (int at = int(view.indexOf(wide, 0, Qt::CaseInsensitive)); at >= 0;
             at = int(view.indexOf(wide, at + 1, Qt::CaseInsensitive)))
            valueAt(view, at + wide.size(), takeWidth);
    }
};

// Dashes a stroke of `length` breaks into with a pattern of `pattern`.
double dashesOf(double length, double pattern)
{
    return length > 0 && pattern < none ? length / pattern : 0;
}

} // namespace

struct SvgStrokeWork::Spare {
    std::vector<Shape> shapes;
    std::vector<int> open;
    std::vector<char> bytes;
};

SvgStrokeWork::Spare& SvgStrokeWork::spare()
{
    thread_local Spare buffers;
    return buffers;
}

SvgStrokeWork::SvgStrokeWork(bool uses, Paths paths)
    : m_uses(uses)
    , m_paths(paths)
    , m_sheetPattern(none)
{
    Spare& buffers = spare();
    m_shapes.swap(buffers.shapes);
    m_open.swap(buffers.open);
    m_bytes.swap(buffers.bytes);
    m_shapes.reserve(32);
}

SvgStrokeWork::~SvgStrokeWork()
{
    // Kept while they are no larger than an icon's; a large document's go.
    m_shapes.clear();
    m_open.clear();
    Spare& buffers = spare();
    if (m_shapes.capacity() <= 1024 && m_open.capacity() <= 1024 && m_bytes.capacity() <= 64 * 1024) {
        m_shapes.swap(buffers.shapes);
        m_open.swap(buffers.open);
        m_bytes.swap(buffers.bytes);
    }
}

void SvgStrokeWork::startElement(const QXmlStreamReader& xml)
{
    // Kept while the shape is read: the views refer into it.
    const QXmlStreamAttributes attributes = xml.attributes();
    std::vector<Attribute> views;
    views.reserve(size_t(attributes.size()));
    for (const QXmlStreamAttribute& attribute : attributes)
        views.push_back({ attribute.name(), attribute.qualifiedName(), attribute.value() });
    startElement(xml.name(), views);
}

void SvgStrokeWork::startElement(QStringView element, const std::vector<Attribute>& attributes)
{
    Shape shape;
    ShapeAttributes geometry;
    // A pattern an element sets counts as well as the one it inherits: it may set a
    // longer one, "none" or "inherit" (and may spell them in ways not read here).
    double own = none;
    const bool isUse = is(element, QLatin1String("use"));
    QStringView viewBox, transform;
    for (const Attribute& attribute : attributes) {
        const QStringView name = attribute.name;
        const QStringView value = attribute.value;
        if (geometry.take(name, value))
            continue;
        if (is(name, QLatin1String("transform"))) {
            transform = value;
        } else if (is(name, QLatin1String("viewBox"))) {
            viewBox = value;
        } else if (isNoCase(name, QLatin1String("stroke-dasharray"))) {
            own = std::min(own, dashPattern(Text(value)));
        } else if (isNoCase(name, QLatin1String("stroke-width"))) {
            m_widest = std::max(m_widest, strokeWidth(Text(value)));
        } else if (is(name, QLatin1String("style"))) {
            const CssStroke css(value);
            own = std::min(own, css.pattern);
            m_widest = std::max(m_widest, css.width);
        } else if (m_uses && is(name, QLatin1String("id"))) {
            m_ids[value.toString()].append(int(m_shapes.size()));
        } else if (isUse && is(attribute.qualifiedName, QLatin1String("xlink:href")) && value.startsWith(QLatin1Char('#'))) {
            shape.use = value.mid(1).toString();
        }
    }
    if (m_shapes.empty()) {
        const Device root = rootDevice(geometry.width, geometry.height, viewBox);
        m_rootScale = root.scale;
        m_diagonal = root.diagonal;
    }
    shape.parentScale = m_open.empty() ? m_rootScale : m_shapes[size_t(m_open.back())].scale;
    shape.scale = shape.parentScale * transformScale(transform);
    if (!(shape.scale >= 0))
        shape.scale = none;   // nothing but zero times an infinite stretch
    const Cost cost = geometry.costOf(element, Device{ shape.scale, m_diagonal }, m_paths, m_bytes);
    shape.points = cost.points;
    shape.segments = cost.segments;
    shape.outline = cost.outline;
    shape.length = cost.length >= 0 ? cost.length : none;   // NaN from infinite coordinates
    const double inherited = m_open.empty() ? none : m_shapes[size_t(m_open.back())].pattern;
    shape.pattern = std::min(own, inherited);
    shape.ownPattern = own;
    m_open.push_back(int(m_shapes.size()));
    m_anyUse = m_anyUse || !shape.use.isEmpty();
    m_shapes.push_back(std::move(shape));
    textStart(element, lengthOf(geometry.width));
}

void SvgStrokeWork::endElement()
{
    if (m_open.empty())
        return;
    const int ended = m_open.back();
    m_open.pop_back();
    m_shapes[size_t(ended)].end = int(m_shapes.size());
    if (ended == m_textElement)
        m_textElement = -1;
}

// Measured in a release build, what Qt's text layout costs, in glyphs of plain Latin
// text (about 2.6 us each): a text element 20 and a span 16, a change of script or of
// direction between two characters 16 (each starts a run of its own, however short);
// a combining mark or a format character (a joiner, a direction mark) 8, a character
// beyond the 16-bit plane 4 more. A text area of a set width breaks its lines within
// a word: a glyph there may be a line (20), and the n-th run of a word costs n/3 more.
namespace {
constexpr double textElementGlyphs = 20;
constexpr double spanGlyphs = 16;
constexpr double runGlyphs = 16;
constexpr double markGlyphs = 8;
constexpr double wideGlyphs = 4;
constexpr double lineGlyphs = 20;
} // namespace

void SvgStrokeWork::textStart(QStringView element, double width)
{
    Shape& shape = m_shapes.back();
    const bool area = is(element, QLatin1String("textArea"));
    if (m_textElement < 0 && (area || is(element, QLatin1String("text")))) {
        m_textElement = int(m_shapes.size()) - 1;
        m_wraps = area && width > 0;
        m_lastScript = -1;
        m_lastSide = -1;
        m_runsInWord = 0;
        shape.glyphs += textElementGlyphs;
    } else if (m_textElement >= 0 && is(element, QLatin1String("tspan"))) {
        // A span changes the format, which starts a run even within a word.
        shape.glyphs += spanGlyphs + runChange();
    } else if (m_textElement >= 0 && is(element, QLatin1String("tbreak"))) {
        m_runsInWord = 0;
    }
}

double SvgStrokeWork::runChange()
{
    ++m_runsInWord;
    return runGlyphs + (m_wraps ? m_runsInWord / 3 : 0);
}

double SvgStrokeWork::glyphsOf(QStringView text)
{
    double glyphs = 0;
    for (int i = 0; i < text.size(); ++i) {
        uint c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(ushort(c), text.at(++i).unicode());
            glyphs += wideGlyphs;
        }
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            glyphs += 1;
            m_runsInWord = 0;
            continue;
        }
        glyphs += m_wraps ? lineGlyphs : 1;
        const QChar::Category category = QChar::category(c);
        bool change = false;
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
            || category == QChar::Mark_Enclosing || category == QChar::Other_Format) {
            glyphs += markGlyphs;
            change = category == QChar::Other_Format;   // joiners, direction marks, overrides
        }
        const int script = QChar::script(c);
        if (script != QChar::Script_Common && script != QChar::Script_Inherited) {
            change = change || (m_lastScript >= 0 && script != m_lastScript);
            m_lastScript = script;
        }
        // Runs of either direction (digits after right-to-left letters too).
        const QChar::Direction direction = QChar::direction(c);
        const int side = direction == QChar::DirL ? 0
            : (direction == QChar::DirR || direction == QChar::DirAL || direction == QChar::DirAN) ? 1 : -1;
        if (side >= 0) {
            change = change || (m_lastSide >= 0 && side != m_lastSide);
            m_lastSide = side;
        }
        if (change)
            glyphs += runChange();
    }
    return glyphs;
}

void SvgStrokeWork::styleSheet(const QString& css)
{
    const CssStroke sheet(css);
    m_sheetPattern = std::min(m_sheetPattern, sheet.pattern);
    m_widest = std::max(m_widest, sheet.width);
}

void SvgStrokeWork::characters(QStringView text)
{
    if (m_open.empty())
        return;
    Shape& shape = m_shapes[size_t(m_open.back())];
    shape.text += double(text.size());
    m_text += double(text.size());
    if (m_textElement >= 0)
        shape.glyphs += glyphsOf(text);
}

// Without uses every element is drawn once, where it stands.
SvgStrokeWork::Totals SvgStrokeWork::plainTotals() const
{
    Totals totals;
    double dashPixels = 0;
    for (const Shape& shape : m_shapes) {
        const double dashes = dashesOf(shape.length, std::min(shape.pattern, m_sheetPattern));
        totals.points += shape.points + shape.segments;
        totals.glyphs += shape.glyphs;
        totals.outline += shape.outline;
        totals.dashes += dashes;
        dashPixels += dashes * shape.scale;
    }
    totals.outline += 2 * m_widest * dashPixels;
    return totals;
}

SvgStrokeWork::Totals SvgStrokeWork::totals() const
{
    // Per element, with what it draws through uses: its points, its length, the
    // smallest pattern set within it, and its dashes where it stands.
    if (!m_anyUse)
        return plainTotals();
    const int count = int(m_shapes.size());
    std::vector<double> points(size_t(count), 0), length(size_t(count), 0), pattern(size_t(count), none),
        dashes(size_t(count), 0), text(size_t(count), 0), glyphs(size_t(count), 0), segments(size_t(count), 0),
        outline(size_t(count), 0), dashPixels(size_t(count), 0);
    enum : char { Unseen, Open, Done };
    std::vector<char> state(size_t(count), Unseen);
    const auto endOf = [&](int i) { return std::max(m_shapes[size_t(i)].end, i + 1); };
    const auto targets = [&](int i) { return m_shapes[size_t(i)].use.isEmpty() ? QVector<int>() : m_ids.value(m_shapes[size_t(i)].use); };

    // Depth first without recursion: the tree and the uses may be thousands deep. What
    // is still open when its user ends is a cycle, and counts nothing there.
    std::vector<std::pair<int, bool>> stack;
    Totals totals;
    for (int root = 0; root < count; root = endOf(root)) {
        stack.emplace_back(root, false);
        while (!stack.empty()) {
            const auto [i, leaving] = stack.back();
            stack.pop_back();
            if (!leaving) {
                if (state[size_t(i)] != Unseen)
                    continue;
                state[size_t(i)] = Open;
                stack.emplace_back(i, true);
                for (int child = i + 1; child < endOf(i); child = endOf(child))
                    stack.emplace_back(child, false);
                for (int target : targets(i))
                    stack.emplace_back(target, false);
                continue;
            }
            const Shape& shape = m_shapes[size_t(i)];
            const double here = std::min(shape.pattern, m_sheetPattern);
            double p = shape.points, l = shape.length, smallest = shape.ownPattern, d = dashesOf(shape.length, here);
            double t = shape.text, g = shape.glyphs, s = shape.segments, o = shape.outline, dp = d * shape.scale;
            for (int child = i + 1; child < endOf(i); child = endOf(child)) {
                if (state[size_t(child)] != Done)
                    continue;
                p += points[size_t(child)];
                s += segments[size_t(child)];
                o += outline[size_t(child)];
                dp += dashPixels[size_t(child)];
                t += text[size_t(child)];
                g += glyphs[size_t(child)];
                l += length[size_t(child)];
                smallest = std::min(smallest, pattern[size_t(child)]);
                d += dashes[size_t(child)];
            }
            double usedPoints = 0, usedLength = 0, usedPattern = none, usedText = 0, usedGlyphs = 0, usedSegments = 0,
                   usedOutline = 0, usedDashPixels = 0, usedDashScale = 0;
            for (int target : targets(i)) {
                if (state[size_t(target)] != Done)
                    continue;
                // Drawn through the use, a shape is scaled by the use and what holds it,
                // not by what holds the shape: its curves by the root of the change.
                const double stretch = shape.scale / std::max(m_shapes[size_t(target)].parentScale, 1e-9);
                usedSegments = std::max(usedSegments, segments[size_t(target)] * std::max(1.0, std::sqrt(stretch)));
                usedOutline = std::max(usedOutline, outline[size_t(target)] * std::max(1.0, stretch));
                usedDashPixels = std::max(usedDashPixels, dashPixels[size_t(target)] * std::max(1.0, stretch));
                const double ownScale = m_shapes[size_t(target)].scale / std::max(m_shapes[size_t(target)].parentScale, 1e-9);
                usedDashScale = std::max(usedDashScale, shape.scale * std::max(1.0, ownScale));
                usedPoints = std::max(usedPoints, points[size_t(target)]);
                usedText = std::max(usedText, text[size_t(target)]);
                usedGlyphs = std::max(usedGlyphs, glyphs[size_t(target)]);
                usedLength = std::max(usedLength, length[size_t(target)]);
                usedPattern = std::min(usedPattern, pattern[size_t(target)]);
            }
            // What a use draws takes its pattern from the use unless it sets its own.
            points[size_t(i)] = p + usedPoints;
            text[size_t(i)] = t + usedText;
            glyphs[size_t(i)] = g + usedGlyphs;
            segments[size_t(i)] = s + usedSegments;
            outline[size_t(i)] = o + usedOutline;
            length[size_t(i)] = l + usedLength;
            pattern[size_t(i)] = std::min(smallest, usedPattern);
            const double usedDashes = dashesOf(usedLength, std::min(here, usedPattern));
            dashes[size_t(i)] = d + usedDashes;
            dashPixels[size_t(i)] = dp + std::max(usedDashPixels, usedDashes * usedDashScale);
            state[size_t(i)] = Done;
        }
        totals.points += points[size_t(root)] + segments[size_t(root)];
        totals.glyphs += glyphs[size_t(root)];
        // Each dash is outlined across the stroke's width, twice.
        totals.outline += outline[size_t(root)] + 2 * m_widest * dashPixels[size_t(root)];
        totals.dashes += dashes[size_t(root)];
        totals.textThroughUses += text[size_t(root)];
    }
    totals.textThroughUses = std::max(0.0, totals.textThroughUses - m_text);
    return totals;
}

} // namespace vyr
