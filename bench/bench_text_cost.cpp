// The costliest text each door that shows page text takes, found by a search of
// random and mutated texts (tests/shared/textcostsearch.h): its CPU time to build and
// show and to repaint, against Qt alone laying out and painting the same document
// (what our reader hands Qt, at the same width) in the same run.
// "bench_text_cost [seconds per door] [seed] [folder]": the search runs that long per
// door (default 60); the costliest texts are written to the folder when one is given.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include "BenchRow.h"
#include "cputimer.h"
#include "textcostsearch.h"

#include "VYRQTextDocument.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

// Qt alone: the document laid out at the label's width and painted.
qint64 qtAloneNs(const QString& shown, bool rich)
{
    const CpuTimer timer;
    QTextDocument document;
    if (rich)
        document.setHtml(shown);
    else
        document.setPlainText(shown);
    document.setPageSize(QSizeF(300, 180));
    QImage image(300, 180, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, 0, 300, 180);
    document.documentLayout()->draw(&painter, context);
    return timer.nsecsElapsed();
}

void report(textcost::Door door, const char* what, const textcost::Found& found, qint64 ns, const QString& folder)
{
    // What Qt is handed: the same only when the text was neither refused nor cut.
    QString shown;
    const bool plainDoor = door == textcost::Door::PlainLabel;
    const bool rich = !plainDoor && VYRQTextDocument::richText(found.text, door == textcost::Door::ToolTip
                                                                   ? Qt::AutoText : Qt::RichText, shown);
    if (!rich)
        VYRQTextDocument::richText(found.text, plainDoor ? Qt::PlainText : Qt::RichText, shown);
    const bool same = rich || shown == found.text;
    char name[96];
    std::snprintf(name, sizeof name, "%s, %s", textcost::doorName(door), what);
    char note[160];
    std::snprintf(note, sizeof note, "%d characters, %s", int(found.text.size()),
                  rich ? "rich" : same ? "plain" : "refused or cut");
    benchrow::print(name, double(ns) / 1e6, double(qtAloneNs(shown, rich)) / 1e6, "ms", same, note);
    if (!folder.isEmpty()) {
        QFile file(QDir(folder).filePath(QStringLiteral("%1 %2.txt").arg(textcost::doorName(door), what)));
        if (file.open(QIODevice::WriteOnly))
            file.write(found.text.toUtf8());
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "vyr.*.warning=false");
    QApplication app(argc, argv);
    const qint64 seconds = argc > 1 ? QByteArray(argv[1]).toLongLong() : 60;
    const quint32 seed = argc > 2 ? QByteArray(argv[2]).toUInt() : 1;
    const QString folder = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    for (textcost::Door door : {textcost::Door::RichLabel, textcost::Door::ToolTip, textcost::Door::TextEdit,
                                textcost::Door::PlainLabel}) {
        textcost::Found show;
        textcost::Found repaint;
        int tries = 0;
        textcost::search(door, seed, seconds * 1000, 16, 1024 * 1024, show, repaint, tries);
        std::printf("%s: %d tries in %lld s of CPU time\n", textcost::doorName(door), tries, seconds);
        report(door, "costliest to show", show, show.showNs, folder);
        report(door, "costliest to repaint", repaint, repaint.repaintNs, folder);
    }
    return 0;
}
