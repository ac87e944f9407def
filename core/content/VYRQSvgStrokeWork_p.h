#pragma once

// Library-internal; not installed.
//
// What painting an SVG asks of Qt's stroker and text layout, counted from the document
// before Qt is given it: the points of its shapes, the dashes their strokes break into
// (a stroke's length over the length of its dash pattern) and the glyphs its text
// lays out. All are paid on every paint: a polyline of a few megabytes holds hundreds
// of thousands of points, a pattern one unit long cuts every unit of a stroke into a
// dash of its own, and Qt flattens a curve into up to 512 segments, as many as its
// length on the device asks. A shape drawn through <use> counts once for each use, and
// so does text (each use lays it out again). Shapes are counted as drawn at 128 pixels
// a side, the size of a large icon, scaled by every transform above them; the edges
// the rasteriser walks count in device pixels, each at most the picture's diagonal
// (what lies outside is clipped). The estimates err upwards: a curve counts at the
// length of its control polygon, an arc at its whole ellipse, and a stroke at the
// smallest pattern that can reach it (its own or inherited, or one a style sheet sets
// anywhere in the document).

#include <QHash>
#include <QString>
#include <QStringView>
#include <QVector>

#include <vector>

class QXmlStreamReader;

namespace vyr {

class SvgStrokeWork {
public:
    // How paths are counted: exactly, or bounded from above without reading their
    // numbers digit by digit (the counts then may come out higher, by a few times).
    enum class Paths { Exact, Bounded };

    // `uses`: false for a document that holds no <use>, whose ids then need no keeping.
    explicit SvgStrokeWork(bool uses = true, Paths paths = Paths::Exact);
    ~SvgStrokeWork();
    SvgStrokeWork(const SvgStrokeWork&) = delete;
    SvgStrokeWork& operator=(const SvgStrokeWork&) = delete;

    // An attribute as the reader gives it, prefixes taken as written: `name` is the part
    // after the prefix.
    struct Attribute {
        QStringView name;
        QStringView qualifiedName;
        QStringView value;
    };

    // Fed in document order, as the reader meets each element and its end; `element`
    // is the part of its name after the prefix.
    void startElement(const QXmlStreamReader& xml);
    void startElement(QStringView element, const std::vector<Attribute>& attributes);
    void endElement();
    // The text of a <style> element.
    void styleSheet(const QString& css);
    // Characters of text met inside the element read last.
    void characters(QStringView text);

    struct Totals {
        double points = 0;   // a curve counting the segments Qt flattens it into
        double dashes = 0;
        double textThroughUses = 0;   // characters drawn again by uses, beyond the document's own
        double glyphs = 0;   // the text laid out, in glyphs of plain text (see VYRQSvgBounds_p.h)
        double outline = 0;  // device pixels of the shapes' edges the rasteriser walks
    };
    Totals totals() const;

private:
    Totals plainTotals() const;

    struct Shape {
        double points = 0;     // of lines
        double segments = 0;   // of curves, at `scale`
        double outline = 0;    // device pixels of its edges, at `scale`
        double scale = 1;        // device pixels a unit of its own, at most
        double parentScale = 1;  // the same for its parent
        double length = 0;
        double pattern = 0;      // the shortest dash pattern its stroke may take here (infinite: none)
        double ownPattern = 0;   // the shortest it sets itself
        double text = 0;         // characters directly inside it
        double glyphs = 0;       // the weight of its text directly inside it
        int end = 0;             // the index after its last descendant
        QString use;             // the id of the element a <use> draws
    };
    // The buffers of the last count on this thread, kept for the next one: a theme's
    // thousands of icons are then counted without allocating for each.
    struct Spare;
    static Spare& spare();

    std::vector<Shape> m_shapes;   // every element, in document order
    std::vector<int> m_open;       // the elements not yet ended, outermost first
    QHash<QString, QVector<int>> m_ids;
    bool m_uses;
    Paths m_paths;
    bool m_anyUse = false;   // an element draws another
    double m_sheetPattern;   // the smallest a style sheet sets
    double m_widest = 1;     // the widest stroke anything sets, in its own units
    double m_text = 0;       // characters fed, each once
    std::vector<char> m_bytes;   // the path being read, as bytes

    // The text element being read, if any, and where its text stands: what a glyph
    // costs depends on the glyphs before it in its word.
    void textStart(QStringView element, double width);
    double glyphsOf(QStringView text);
    double runChange();
    double m_rootScale = 1;   // the picture the root is drawn into: device pixels a unit
    double m_diagonal = 0;    // and its diagonal
    int m_textElement = -1;
    bool m_wraps = false;      // a text area of a set width, each glyph possibly a line
    int m_lastScript = -1;
    int m_lastSide = -1;       // 0 left to right, 1 right to left
    double m_runsInWord = 0;
};

} // namespace vyr
