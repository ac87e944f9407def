#pragma once

// Library-internal; not installed.
//
// Rich text from a page or a caller is read here before Qt sees any of it. Qt's HTML
// reader takes tag soup and mends it as it goes (a cell outside a row gets a table
// and a row of its own, a table beside another one outside their table's cells goes
// into the one before, an entity may spell a tag's name), so what a text nests is
// known only as Qt reads it, and Qt's costs grow with that nesting: its reader with
// the square of the depth of open elements (10,000 nested list items took 8 s), its
// layout doubling with each table a table or cell lies in (18 nested tables took
// 3 s). So the text is read into elements by the rules below, counted, and written
// out again as HTML in which every element is closed, every attribute value quoted,
// every cell inside a row and every table inside a cell of the table around it: Qt
// reads from it the elements counted here and mends nothing. Only the elements and
// attributes of Qt's rich text are written, each number clamped, and only the CSS
// VYRQCssReader_p.h keeps. Resources are not read here; the document reads what the
// written HTML names.

#include "VYRQCssReader_p.h"

#include <QString>

namespace vyr {

// Elements open one inside another, tables, lists and blocks alike: at this depth
// Qt's reader takes about as long as for text nesting nothing.
constexpr int maxHtmlNesting = 64;
// A table, or a cell, weighs 2^(k-1) when it lies in k tables (itself included), and
// all of them together may weigh this much: a chain of 11 nested tables of one cell
// each weighs 4,094 and lays out in 0.04 s; the heaviest text within it, a table of
// 4,094 cells, in 0.2 s (release build on the machine these figures were taken on).
// The grid of a table counts as its rows times its columns, spans included, for
// each table it lies in as a cell does.
constexpr int maxHtmlTableWeight = 4096;
// What one text lays out, in units of about a paragraph's cost: an element, a line
// break in the text, a list item one more for each 64 before it in its list, a slot
// of a table's grid 4, the n-th image of a paragraph 1 + n / 16, a character 1/64
// (of the Indic and South-East Asian scripts, which Qt shapes in clusters, 1/12), and
// what words cost besides: the n-th run of a word (of another direction, script or
// format) 1 + n / 256, its n-th character n / 1,024, the n-th mark past 16 on one
// character 4 + n / 256. At the bound, the costliest of these lays out in 0.3 to 0.5 s
// (release build): 32,768 spans, 2,000 items in one list, 3,400 runs in one word,
// 1,000 images in one paragraph, one word of 8,192 characters, 400,000 characters
// of Thai.
constexpr int maxHtmlLayout = 32768;
constexpr int maxHtmlSpan = 1024;
// Qt matches each selector of a style sheet against the elements it may apply to (of
// its subject's name, else all), each match costing about as much as the selector's
// compounds and the rule's declarations (cssWork()). The style elements of a text and
// the sheets it links or imports together may cost this much: 87 rules of one
// declaration matched against 3,000 paragraphs lay out in 0.13 s.
constexpr qint64 maxHtmlStyleWork = 1 << 19;


struct HtmlRead {
    QString html;        // what Qt is given; empty when a bound was passed
    bool withinBounds = true;
    QString refusal;     // which bound was passed
    CssCensus census;    // what the sheets the text links or imports may cost
};

HtmlRead readHtml(const QString& text);
// How many characters of a plain text from its start lay out within maxHtmlLayout,
// counted as readHtml counts text (a line break as a paragraph, its words as they
// cost); the whole text's length when all of it does.
int plainTextFit(const QString& text);
// What a reader sees of `html`: tags, comments and what style and script elements
// hold dropped, entities decoded, blocks and line breaks as lines, other white space
// as one space.
QString htmlPlainText(const QString& html);

} // namespace vyr
