#pragma once
// A search for the costliest text a door that shows page text takes: random texts
// built of what costs Qt's rich text most (runs of scripts, formats and directions in
// a word, marks, joiners, images in a paragraph, tall lines and margins, tables,
// lists, style sheets), and mutations of the costliest found so far, each shown
// through the door and its CPU time taken to build and show it and to repaint it.
// The tests run it for a few seconds, bench/bench_text_cost.cpp for longer.

#include "cputimer.h"

#include "VYRQLabelEx.h"
#include "VYRQTextEdit.h"
#include "VYRQToolTip.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStringList>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QWidget>

#include <functional>
#include <memory>

namespace textcost {

enum class Door { RichLabel, ToolTip, TextEdit, PlainLabel };

inline const char* doorName(Door door)
{
    switch (door) {
    case Door::RichLabel:
        return "rich-text label";
    case Door::ToolTip:
        return "tooltip";
    case Door::TextEdit:
        return "text edit";
    case Door::PlainLabel:
        return "plain label";
    }
    return "";
}

struct Found {
    QString text;
    qint64 showNs = -1;      // to build and show it
    qint64 repaintNs = -1;   // to paint it again
};

// The pieces texts are made of, each to be repeated.
inline QString piece(QRandomGenerator& random)
{
    static const QStringList pieces = {
        QStringLiteral("a "), QStringLiteral("a"), QString::fromUtf8("\u0436"), QString::fromUtf8("\u05d0"),
        QString::fromUtf8("\u0627"), QString::fromUtf8("\u4e2d"), QString::fromUtf8("\u0e01"),
        QString::fromUtf8("\u0915\u094d"), QString::fromUtf8("\u0301"), QString::fromUtf8("\u200d"),
        QStringLiteral("&nbsp;"), QString::fromUtf8("\u00a0"), QString::fromUtf8("\u202e"), QString::fromUtf8("\u202d"),
        QString::fromUtf8("\u2067"), QString::fromUtf8("\u2069"), QStringLiteral("&#x202E;"),
        QString::fromUtf8("\U0001F600"), QStringLiteral("<b>"), QStringLiteral("</b>"), QStringLiteral("<i>x</i>"),
        QStringLiteral("<span style=\"font-size:512px\">"), QStringLiteral("</span>"), QStringLiteral("<br>"),
        QStringLiteral("<p>"), QStringLiteral("</p>"), QStringLiteral("\n"),
        QStringLiteral("<p style=\"line-height:4096px;-qt-line-height-type:fixed\">"),
        QStringLiteral("<p style=\"line-height:100000000\">"), QStringLiteral("<p style=\"line-height:1000%\">"),
        QStringLiteral("<p style=\"margin-bottom:4096px;margin-top:4096px\">"),
        QStringLiteral("<img src=\"none.png\">"), QStringLiteral("<img src=\"none.png\" width=\"4096\" height=\"4096\">"),
        QStringLiteral("<table border=\"256\" cellpadding=\"256\"><tr><td>"), QStringLiteral("</td><td>"),
        QStringLiteral("</td></tr><tr><td style=\"padding:4096px\">"), QStringLiteral("</table>"),
        QStringLiteral("<ul><li>"), QStringLiteral("<li>"), QStringLiteral("<pre>"),
        QStringLiteral("<h1 style=\"font-size:512px;line-height:1000%\">"),
        QStringLiteral("<style>p { font-size: 512px; line-height: 1000%; margin: 4096px }</style>"),
        QStringLiteral("<a href=\"#x\">"), QStringLiteral("</a>"), QStringLiteral("<font size=\"7\">"),
        QStringLiteral("<sup>"), QStringLiteral("<div style=\"padding:4096px\">"), QStringLiteral("</div>"),
    };
    return pieces.at(random.bounded(pieces.size()));
}

// A count from 1 to `most`, as likely small as large (log-uniform).
inline int count(QRandomGenerator& random, int most)
{
    const int bits = random.bounded(1, 32 - __builtin_clz(unsigned(most)) + 1);
    return qMin(most, 1 + random.bounded(1 << (bits - 1)) + (1 << (bits - 1)) - 1);
}

inline QString randomText(QRandomGenerator& random, int maxLength)
{
    QString text;
    const int parts = count(random, 8);
    for (int i = 0; i < parts && text.size() < maxLength; ++i) {
        QString unit;
        const int inUnit = count(random, 4);
        for (int j = 0; j < inUnit; ++j)
            unit += piece(random);
        text += unit.repeated(qMax(1, qMin(count(random, 1 << 17), (maxLength - text.size()) / qMax(1, unit.size()))));
    }
    return text.left(maxLength);
}

// The text with one change: a stretch of it repeated, a random text put in, a
// stretch dropped, or two halves swapped.
inline QString mutated(const QString& text, QRandomGenerator& random, int maxLength)
{
    if (text.isEmpty())
        return randomText(random, maxLength);
    const int at = random.bounded(text.size());
    const int length = qMin(text.size() - at, count(random, 64));
    switch (random.bounded(4)) {
    case 0: {
        const QString stretch = text.mid(at, length);
        const int times = qMin(count(random, 1 << 12), maxLength / qMax(1, stretch.size()));
        return (text.left(at) + stretch.repeated(times) + text.mid(at)).left(maxLength);
    }
    case 1:
        return (text.left(at) + randomText(random, maxLength / 4) + text.mid(at)).left(maxLength);
    case 2:
        return text.left(at) + text.mid(at + qMax(1, text.size() / 8));
    default:
        return text.mid(at) + text.left(at);
    }
}

// A door and the widgets it shows text in, within a shown window.
class Shower {
public:
    explicit Shower(Door door)
        : m_door(door)
    {
        m_host.resize(320, 200);
        if (door == Door::TextEdit) {
            m_edit = new VYRQTextEdit(&m_host);
            m_edit->resize(300, 180);
        } else if (door != Door::ToolTip) {
            m_label = new VYRQLabelEx(&m_host);
            m_label->resize(300, 180);
        }
        m_host.show();
        if (!QTest::qWaitForWindowExposed(&m_host))
            qWarning("text cost search: the host window was not exposed");
    }

    ~Shower() { VYRQToolTip::hideText(); }

    // Shows `text`; its costs in `found`.
    void show(const QString& text, Found& found)
    {
        CpuTimer timer;
        QWidget* painted = nullptr;
        switch (m_door) {
        case Door::RichLabel:
        case Door::PlainLabel:
            if (m_door == Door::RichLabel)
                m_label->setHtmlContent(text);
            else
                m_label->setText(text);
            painted = m_label;
            break;
        case Door::TextEdit:
            m_edit->setHtml(text);
            // The edit lays out in steps between events: all of it, for the scroll bar.
            m_edit->document()->documentLayout()->blockBoundingRect(m_edit->document()->lastBlock());
            painted = m_edit->viewport();
            break;
        case Door::ToolTip:
            VYRQToolTip::showText(m_host.mapToGlobal(QPoint(10, 10)), text, &m_host);
            painted = VYRQToolTip::tipWindow();
            break;
        }
        painted->repaint();
        found.showNs = timer.nsecsElapsed();
        found.text = text;
        timer.restart();
        painted->repaint();
        found.repaintNs = timer.nsecsElapsed();
        if (m_door == Door::ToolTip)
            VYRQToolTip::hideText();
    }

private:
    Door m_door;
    QWidget m_host;
    VYRQLabelEx* m_label = nullptr;
    VYRQTextEdit* m_edit = nullptr;
};

// Searches for `budgetMs` of CPU time (at least `leastTries` tries): the costliest
// text to show and the costliest to repaint.
inline void search(Door door, quint32 seed, qint64 budgetMs, int leastTries, int maxLength, Found& costliestShow,
                   Found& costliestRepaint, int& tries)
{
    QRandomGenerator random(seed);
    Shower shower(door);
    // Fonts for each script are found at their first use, once for the process.
    Found warm;
    QRandomGenerator all(seed);
    QString every;
    for (int i = 0; i < 256; ++i)
        every += piece(all) + QLatin1Char(' ');
    shower.show(every, warm);
    const CpuTimer spent;
    costliestShow = Found();
    costliestRepaint = Found();
    for (tries = 0; tries < leastTries || spent.elapsed() < budgetMs; ++tries) {
        // Half the tries build on the costliest so far.
        const bool fromBest = tries >= 8 && random.bounded(2) == 0;
        const Found& base = random.bounded(2) ? costliestShow : costliestRepaint;
        const QString text = fromBest ? mutated(base.text, random, maxLength) : randomText(random, maxLength);
        Found found;
        shower.show(text, found);
        if (found.showNs > costliestShow.showNs)
            costliestShow = found;
        if (found.repaintNs > costliestRepaint.repaintNs)
            costliestRepaint = found;
        QCoreApplication::processEvents();
    }
}

} // namespace textcost
