#pragma once
// A search for the costliest SVG a door accepts. Documents are built from the pieces
// that cost Qt's renderer (text in pairs of scripts, words and spans, text areas of a
// set width, text elements, uses, transforms, curves near and far, circles, stroked and
// dashed polylines) at sizes spread over four orders of magnitude; half the tries are
// new documents, half mutations of the costliest accepted so far (a piece grown, shrunk,
// changed or added). The caller measures each document: whether it was accepted, the CPU
// time of its load and first render, and of a repaint.

#include <QByteArray>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <functional>

class SvgCostSearch {
public:
    struct Cost {
        bool accepted = false;
        qint64 loadNs = 0;      // the load and the first render
        qint64 repaintNs = 0;   // a render again
    };
    struct Found {
        QByteArray svg;
        QString recipe;
        Cost cost;
        double weight = -1;   // the larger of its load over `loadBoundNs` and repaint over `repaintBoundNs`
    };
    using Measure = std::function<Cost(const QByteArray&)>;

    SvgCostSearch(quint32 seed, qint64 loadBoundNs, qint64 repaintBoundNs)
        : m_random(seed), m_loadBound(double(loadBoundNs)), m_repaintBound(double(repaintBoundNs))
    {
    }

    // One document measured; the costliest accepted are kept.
    void tryOne(const Measure& measure)
    {
        QVector<Piece> pieces;
        if (m_kept.isEmpty() || m_random.bounded(2) == 0) {
            const int count = 1 + int(m_random.bounded(3));
            for (int i = 0; i < count; ++i)
                pieces.append(randomPiece());
        } else {
            pieces = m_kept.at(int(m_random.bounded(m_kept.size()))).pieces;
            mutate(pieces);
        }
        ++m_tries;
        const QByteArray svg = documentOf(pieces);
        const Cost cost = measure(svg);
        if (!cost.accepted)
            return;
        ++m_accepted;
        const double weight = std::max(cost.loadNs / m_loadBound, cost.repaintNs / m_repaintBound);
        m_kept.append({ pieces, weight });
        std::sort(m_kept.begin(), m_kept.end(), [](const Kept& a, const Kept& b) { return a.weight > b.weight; });
        if (m_kept.size() > 8)
            m_kept.removeLast();
        if (weight > m_worst.weight)
            m_worst = { svg, recipeOf(pieces), cost, weight };
    }

    const Found& costliest() const { return m_worst; }
    int tries() const { return m_tries; }
    int accepted() const { return m_accepted; }

private:
    enum Kind { Text, TextElements, Curves, Circles, Polyline, KindCount };
    struct Piece {
        int kind = Text;
        int size = 1;     // characters, elements, curves or points
        int uses = 0;     // drawn again through as many uses
        int variant = 0;  // the script pair, text area, stroke, ...
        int reach = 0;    // a power of ten: how far curves reach, a transform's scale
        int word = 0;     // characters a word (0: one word)
    };
    struct Kept {
        QVector<Piece> pieces;
        double weight = 0;
    };

    int logSize(int most) { return std::min(most, 1 << m_random.bounded(15)) + int(m_random.bounded(4)); }

    Piece randomPiece()
    {
        Piece piece;
        piece.kind = int(m_random.bounded(int(KindCount)));
        piece.size = logSize(20000);
        piece.uses = m_random.bounded(3) == 0 ? logSize(300) : 0;
        piece.variant = int(m_random.bounded(64));
        piece.reach = int(m_random.bounded(10));
        piece.word = m_random.bounded(2) ? 0 : 1 + int(m_random.bounded(16));
        return piece;
    }

    void mutate(QVector<Piece>& pieces)
    {
        Piece& piece = pieces[int(m_random.bounded(pieces.size()))];
        switch (m_random.bounded(7)) {
        case 0: piece.size = std::max(1, piece.size + piece.size / 4 + 1); break;
        case 1: piece.size = std::max(1, piece.size - piece.size / 4); break;
        case 2: piece.uses = piece.uses ? piece.uses * 2 : 1; break;
        case 3: piece.variant = int(m_random.bounded(64)); break;
        case 4: piece.reach = int(m_random.bounded(10)); break;
        case 5: piece.word = m_random.bounded(2) ? 0 : 1 + int(m_random.bounded(16)); break;
        default:
            if (pieces.size() < 4)
                pieces.append(randomPiece());
            break;
        }
    }

    // Letters of two scripts (or marks, joiners, direction overrides) by turns.
    static QString letters(int count, int variant, int word)
    {
        static const uint others[] = { 'b', 0x0431, 0x05d0, 0x0627, 0x4e00, 0x0301, 0x200d, 0x202e, 0x1f600, 0x00a0,
                                       0x0e01, 0x3b1 };
        const uint other = others[variant % int(sizeof others / sizeof *others)];
        QString text;
        for (int i = 0; i < count; ++i) {
            if (word > 0 && i % (word + 1) == word)
                text += QLatin1Char(' ');
            else
                text += i % 2 ? QString::fromUcs4(&other, 1) : QStringLiteral("a");
        }
        return text.toHtmlEscaped();
    }

    static QByteArray number(double value) { return QByteArray::number(value, 'g', 9); }

    QByteArray body(const Piece& piece, int index) const
    {
        const double reach = std::pow(10.0, piece.reach);
        QByteArray out;
        switch (piece.kind) {
        case Text: {
            const QString text = piece.variant / 16 == 3
                ? QStringLiteral("<tspan>a</tspan><tspan font-weight=\"bold\">b</tspan>").repeated(piece.size / 2)
                : letters(piece.size, piece.variant, piece.word);
            const int area = piece.variant / 16;   // 0, 3: text; 1: 1 pixel wide; 2: 100 wide
            if (area == 1 || area == 2)
                out = "<textArea width=\"" + QByteArray(area == 1 ? "1" : "100") + "\" height=\"16\">" + text.toUtf8()
                    + "</textArea>";
            else
                out = "<text x=\"1\" y=\"12\" font-size=\"" + QByteArray::number(4 << (piece.reach % 4)) + "\">"
                    + text.toUtf8() + "</text>";
            break;
        }
        case TextElements:
            for (int i = 0; i < piece.size; ++i)
                out += "<text y=\"" + QByteArray::number(i % 16) + "\">" + letters(1 + piece.word, piece.variant, 0).toUtf8()
                    + "</text>";
            break;
        case Curves: {
            out = "<path fill=\"" + QByteArray(piece.variant % 2 ? "none" : "green") + "\" stroke=\"red\" stroke-width=\""
                + QByteArray::number(1 + piece.variant % 8) + "\" d=\"M0,0";
            for (int i = 0; i < piece.size; ++i)
                out += " C" + number(reach) + "," + number(reach * (i % 3 - 1)) + " -" + number(reach) + ","
                    + number(reach) + " " + QByteArray::number(i % 16) + "," + QByteArray::number(i * 7 % 16);
            out += "\"/>";
            break;
        }
        case Circles:
            for (int i = 0; i < piece.size; ++i)
                out += "<circle cx=\"8\" cy=\"8\" fill=\"none\" stroke=\"blue\" r=\"" + number(reach * (1 + i % 5)) + "\"/>";
            break;
        case Polyline: {
            out = "<polyline fill=\"none\" stroke=\"red\" stroke-width=\"" + QByteArray::number(1 + piece.variant % 30) + "\"";
            if (piece.variant % 3 == 0)
                out += " stroke-dasharray=\"" + number(std::pow(10.0, 1 - piece.reach % 4)) + "\"";
            out += " points=\"";
            for (int i = 0; i < piece.size; ++i)
                out += QByteArray::number(i * 7 % 17) + "," + QByteArray::number(i * 13 % 17) + " ";
            out += "\"/>";
            break;
        }
        }
        // Scaled by a transform at times: what a curve becomes grows with it.
        if (piece.kind == Curves && piece.variant % 4 == 1)
            out = "<g transform=\"scale(" + number(std::pow(10.0, piece.reach % 5)) + ")\">" + out + "</g>";
        if (piece.uses == 0)
            return out;
        const QByteArray id = "p" + QByteArray::number(index);
        return "<defs><g id=\"" + id + "\">" + out + "</g></defs>"
            + ("<use xlink:href=\"#" + id + "\"/>").repeated(piece.uses);
    }

    QByteArray documentOf(const QVector<Piece>& pieces) const
    {
        QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
                         "version=\"1.2\" baseProfile=\"tiny\" width=\"16\" height=\"16\" viewBox=\"0 0 16 16\">";
        for (int i = 0; i < pieces.size(); ++i)
            svg += body(pieces.at(i), i);
        return svg + "</svg>";
    }

    static QString recipeOf(const QVector<Piece>& pieces)
    {
        static const char* const kinds[] = { "text", "text elements", "curves", "circles", "polyline" };
        QStringList parts;
        for (const Piece& p : pieces)
            parts << QStringLiteral("%1 x%2 (variant %3, reach 1e%4, words of %5) through %6 uses")
                         .arg(QLatin1String(kinds[p.kind]))
                         .arg(p.size)
                         .arg(p.variant)
                         .arg(p.reach)
                         .arg(p.word)
                         .arg(p.uses);
        return parts.join(QStringLiteral("; "));
    }

    QRandomGenerator m_random;
    double m_loadBound;
    double m_repaintBound;
    QVector<Kept> m_kept;   // the costliest accepted, costliest first
    Found m_worst;
    int m_tries = 0;
    int m_accepted = 0;
};
