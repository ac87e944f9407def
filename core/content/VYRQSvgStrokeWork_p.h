#pragma once

// Library-internal; not installed.
//
// What painting an SVG asks of Qt's stroker, counted from the document before Qt is
// given it: the points of its shapes, and the dashes their strokes break into (a
// stroke's length over the length of its dash pattern). Both are paid on every paint:
// a polyline of a few megabytes holds hundreds of thousands of points, and a pattern
// one unit long cuts every unit of a stroke into a dash of its own. A shape drawn
// through <use> counts once for each use, and so does text (each use lays it out
// again). The estimates err upwards: a curve counts at
// the length of its control polygon, an arc at its whole ellipse, and a stroke at the
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
    SvgStrokeWork();

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
    void characters(qint64 count);

    struct Totals {
        double points = 0;
        double dashes = 0;
        double textThroughUses = 0;   // characters drawn again by uses, beyond the document's own
    };
    Totals totals() const;

private:
    struct Shape {
        double points = 0;
        double length = 0;
        double pattern = 0;      // the shortest dash pattern its stroke may take here (infinite: none)
        double ownPattern = 0;   // the shortest it sets itself
        double text = 0;         // characters directly inside it
        int end = 0;             // the index after its last descendant
        QString use;             // the id of the element a <use> draws
    };
    QVector<Shape> m_shapes;     // every element, in document order
    QVector<int> m_open;         // the elements not yet ended, outermost first
    QHash<QString, QVector<int>> m_ids;
    double m_sheetPattern;   // the smallest a style sheet sets
    double m_text = 0;       // characters fed, each once
};

} // namespace vyr
