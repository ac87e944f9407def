#pragma once

// Library-internal; not installed.
//
// CSS from rich text (a style attribute, a <style> element, a linked or imported style
// sheet) is read here before Qt sees it, and written again with only the properties
// Qt's rich text knows, each value one Qt reads as we do and every number clamped to
// what a screen can show: Qt's layout takes any length it is given, and some
// (a line height of 100000000 %) overflow inside it and never finish. Anything else
// is dropped: unknown properties, values with escapes, comments or entities that Qt
// might read otherwise, at-rules but @import and @media for the screen, selectors
// beyond names, classes, ids, attributes, pseudo-classes and the descendant and child
// combinators.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

namespace vyr {

// A length in pixels or points, at most; margins and indents may be as negative.
constexpr double maxCssLength = 4096;

// Qt matches a selector whose subject names an element only against elements of that
// name, and any other against every element; a match costs about as much as each
// compound and declaration it applies, a descendant combinator walking up to the
// nesting bound. `key` is the subject's element name (lower case), or its first id
// ("#id") or class (".class"), or empty when it names none.
struct CssTarget {
    QString key;
    qint64 weight = 0;
};

struct CssRead {
    QString css;
    int declarations = 0;   // properties written, and selectors for a sheet
    QStringList imports;    // what the sheet's @import rules name, as written
    QVector<CssTarget> targets;   // a sheet's selectors
};

// The elements of a text by name, class (".class") and id ("#id"), and what the style
// sheets it links or imports may still cost matched against them.
struct CssCensus {
    QHash<QString, qint64> counts;
    qint64 elements = 0;
    qint64 workLeft = 0;
};

// What Qt's matching of `targets`, from `sheets` style sheets, against the elements of
// `census` costs, in units of about a quarter of a microsecond. Qt looks each element
// up in every sheet: 3,000 style elements of one rule each took 0.8 s.
qint64 cssWork(const QVector<CssTarget>& targets, const CssCensus& census, qint64 sheets = 1);

// A number with its unit (px, pt, em, ex, %, or none) in any spelling, written again
// clamped: px, pt and none to [low, high], em and ex to a sixteenth of it, % to
// [0, percent] (or as far below zero as `low` goes); false for anything else.
bool readCssLength(const QString& token, double low, double high, double percent, QString& out);
// A color as Qt reads one: a name, #hex, or rgb(...) and its kin.
bool isCssColor(const QString& token);
// A list of font families, quoted or not.
bool isCssFamily(const QString& value);
// Whether `token` is one of `words`, separated by spaces.
bool isOneOfWords(const QString& token, const char* words);

// The declarations of a style attribute of `element` (lower case).
CssRead readCssDeclarations(const QString& text, const QString& element);
// A style sheet; its @import rules are kept only when `imports` is true.
CssRead readCssSheet(const QString& text, bool imports);

} // namespace vyr
