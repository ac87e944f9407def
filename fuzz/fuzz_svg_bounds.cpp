// Feeds arbitrary bytes to the SVG stroke count, as a document and as the data of a path
// drawn at a scale the first byte picks, and checks that a document's paths bounded
// without reading their numbers digit by digit never count less than the same paths
// counted exactly: a document the bound lets through is one the exact count would.

#include "VYRQSvgQuickReading_p.h"
#include "VYRQSvgStrokeWork_p.h"

#include <QByteArray>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using vyr::SvgQuickReading;
using vyr::SvgStrokeWork;

bool atLeast(double bound, double exact)
{
    return !std::isfinite(bound) || bound >= exact - 1e-9 * std::abs(exact) - 1e-6;
}

void check(const QByteArray& document)
{
    SvgStrokeWork exact(true, SvgStrokeWork::Paths::Exact);
    SvgStrokeWork bounded(true, SvgStrokeWork::Paths::Bounded);
    SvgQuickReading exactReading(document, exact);
    SvgQuickReading boundedReading(document, bounded);
    if (!exactReading.read() || !boundedReading.read())
        return;
    const SvgStrokeWork::Totals e = exact.totals();
    const SvgStrokeWork::Totals b = bounded.totals();
    if (!atLeast(b.points, e.points) || !atLeast(b.outline, e.outline) || !atLeast(b.dashes, e.dashes)
        || !atLeast(b.glyphs, e.glyphs) || !atLeast(b.textThroughUses, e.textThroughUses))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    check(bytes);
    if (size < 1)
        return 0;
    QByteArray path = bytes.mid(1);
    for (char& c : path) {
        if (c == '"' || c == '<' || c == '&')
            c = ' ';
    }
    static const char* const sides[] = { "16", "1", "0.001", "1000", "3.5", "24", "100000", "0.25" };
    const QByteArray side = sides[data[0] % 8];
    const QByteArray stroke = (data[0] & 8) ? QByteArray(R"( stroke-dasharray="1")") : QByteArray();
    check(R"(<svg viewBox="0 0 )" + side + ' ' + side + R"("><path)" + stroke + R"( d=")" + path + R"("/></svg>)");
    return 0;
}
