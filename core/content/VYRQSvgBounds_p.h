#pragma once

// Library-internal; not installed.
//
// Reading an SVG before Qt is given it. An SVG costs by its elements and text, and by
// the points and dashes of its strokes, on every paint, so a document is read once,
// as the XML reader Qt's renderer uses reads it (entities expanded, prefixes taken as
// written), and refused past a bound on its length, its elements, its expanded text,
// its points or its dashes. Nearly every icon is read in one quick pass over its bytes
// and handed to Qt as it was read; what that pass does not take (type declarations,
// references, CDATA, processing instructions, images, other encodings) goes through
// the XML reader itself. Qt's renderer also reads what a document names: an
// <image>'s file or data URL, decoded at whatever size it claims, and an
// xml-stylesheet's file, read to its end. Qt is given none of these: each image is read
// through our reader and image bounds and handed over as the data URL of the bytes
// checked, or left out, and style sheets are left out, with one warning a document.

#include <QByteArray>
#include <QString>

namespace vyr {

// An icon drawn from an SVG is parsed once but rendered on every paint: measured in a
// release build, 10,000 text elements take about 0.4 s a paint and 14 MB, 50,000 points
// of a 30-pixel stroke zigzagging across a 64-pixel icon 1.7 s, and 20,000 dashes of it
// 0.35 s. A curve counts as the segments Qt flattens it into (up to 512: 9,600 curves
// reaching out to 1e8 took 3.8 s and 1.55 GB a paint). Text counts in glyphs of plain
// Latin text, the runs within its words and the lines of its text areas weighed as
// they cost (`SvgStrokeWork`): 4,096 of them lay out and draw in 10 to 20 ms, where 16,000
// characters drawn through 261 uses took 8.8 s a paint, and a text area of one word of
// 16 Ki alternating Latin and Cyrillic letters 6.3 s. An SVG's images together keep
// within one image's pixels and 4 MiB of bytes.
constexpr qint64 maxSvgBytes = 4 * 1024 * 1024;
constexpr int maxSvgElements = 10000;
constexpr double maxSvgPoints = 50000;
constexpr double maxSvgDashes = 20000;
constexpr double maxSvgGlyphs = 4096;
// The edges of its shapes in device pixels, drawn at 128 a side, a line no longer than
// the picture's diagonal, and a dash outlined twice across its stroke's width: Qt's
// rasteriser walks every pixel of an edge, about 0.5 us each (5,000 points of a polyline
// zigzagging across a 16-unit icon took 200 ms a paint at 128 pixels, 57 ms at 64; a
// 193-byte polyline dashed every 0.01 unit with a stroke 1,000 units wide 18 s).
constexpr double maxSvgOutline = 64000;

struct CheckedSvg {
    QByteArray text;        // the document for Qt: inflated, its images routed
    qint64 weight = 0;      // the bytes a renderer built from it holds, its images' pixels included
    bool namesFiles = false;   // it held images or style sheets (routed or left out here)
};

// Reads the SVG of `data`, inflated when it is gzip-compressed, into `out` when it keeps
// within the bounds above. False with the reason in `refusal`, or with an empty
// `refusal` when the data do not inflate or parse (which the renderer would refuse
// too).
bool boundedSvg(const QByteArray& data, CheckedSvg& out, QString& refusal);

// The same reading for an SVG that is itself an image of another: what it names is not
// read, only noted in `namesFiles`.
bool boundedInnerSvg(const QByteArray& data, CheckedSvg& out, QString& refusal);

} // namespace vyr
