#pragma once

#include "VYRQExport.h"

#include <QHash>
#include <QSet>
#include <QTextDocument>
#include <QUrl>

#include <memory>

class QFont;
class QVariant;
namespace vyr {
struct CssCensus;
}

// The document every rich text from a page or a caller is shown through: labels, text
// edits, tooltips. Qt's own document reads every image and style sheet such HTML
// names by path, whatever the file is (a FIFO blocks it, a device never ends), and
// decodes an image at whatever size it claims; its HTML reader and layout cost grow
// with the text's nesting beyond any bound. Here the text is given to Qt only as our
// HTML reader wrote it again (VYRQHtmlReader_p.h: within the nesting bounds, else the
// text is shown as plain text), a named file is read as theme files are, an image
// (from a file or a data URL) is kept only within the image bounds and within what
// the whole document may decode, a style sheet within what the document's sheets may
// read together and what matching its rules against the text's elements may cost, and
// only as our CSS reader writes it again, and nothing is fetched for
// any other scheme; an image or style sheet refused or missing shows nothing.
class VYRQTLIB_EXPORT VYRQTextDocument : public QTextDocument {
    Q_OBJECT
public:
    // What the images of one document may decode to together: 32 Mpx, 128 MiB at 32
    // bits a pixel, twice what one image may; and those of all documents together
    // (a page may hold many): 64 Mpx, 256 MiB, what a resource set may hold.
    static constexpr qint64 maxDocumentPixels = 32 * 1024 * 1024;
    static constexpr qint64 maxAllPixels = 64 * 1024 * 1024;
    // What the style sheets one document links or imports may read together.
    static constexpr qint64 maxSheetBytes = 256 * 1024;

    // How tall Qt's layout may make a document, by our estimate from its fonts, line
    // heights, margins, paddings, cells and images: Qt's own layout never finishes one
    // taller than about 2^23 pixels (8.36 Mpx lays out in 6 ms, 8.40 Mpx takes more
    // than 10 s), and slows well before it: a quarter of that.
    static constexpr qreal maxHeight = 2 * 1024 * 1024;

    explicit VYRQTextDocument(QObject* parent = nullptr);
    ~VYRQTextDocument() override;

    // Replaces the document's content, and drops what the earlier one loaded: rich
    // text (as `format` says, or for Qt::AutoText as Qt would guess) as richText()
    // gives it, else plain text as richText() cuts it.
    void setContent(const QString& text, Qt::TextFormat format = Qt::AutoText);
    // Whether `text` is shown as rich text, with the HTML Qt is then given in `shown`;
    // false for plain text, and for rich text past the bounds or taller than
    // maxHeight in a document of `font` and `width` (-1 for none), which is shown
    // without its markup (vyr::htmlPlainText). `shown` then holds the plain text to
    // show, cut to what Qt lays out within the bounds (vyr::plainTextFit, maxHeight);
    // a refusal or a cut gives one warning on vyr.controls. The style sheets the HTML
    // links or imports are read by `parser`, which Qt reads the HTML into next, only
    // within what matching their rules against its elements may cost.
    static bool richText(const QString& text, Qt::TextFormat format, QString& shown, const QFont& font = QFont(),
                         qreal width = -1, VYRQTextDocument* parser = nullptr);
    // setContent() for a document another object fills (a text edit's), in three
    // steps. The owner holds the document's layout (its page size at zero, so that Qt
    // lays nothing out), gives it the HTML readRich() wrote as it does when that
    // returns true, then asks weigh() whether the document stays: if not, the
    // document is empty and the owner shows the plain text `plain` instead, once it
    // has set the page size again. A refusal or a cut gives one warning on
    // vyr.controls; `uncut` receives a plain text cut (null when it was not). The
    // style sheets are read by `parser` as for richText().
    static bool readRich(const QString& text, Qt::TextFormat format, QString& html, QString& refusal,
                         VYRQTextDocument* parser = nullptr);
    static bool weigh(QTextDocument& document, qreal width, const QString& text, bool built, const QString& refusal,
                      QString& plain, QString* uncut = nullptr);
    // What setContent() showed as plain text, whole: toPlainText(), or the text it
    // cut, as a page written back keeps it.
    QString wholePlainText() const { return m_uncut.isNull() ? toPlainText() : m_uncut; }

    void clear() override;

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    // Takes the census of the HTML Qt reads into it next, and drops the style sheets
    // it holds: one held from an earlier text would be matched again, and not counted.
    void readNext(const vyr::CssCensus& census);

    QHash<QUrl, qint64> m_heldPixels;
    qint64 m_pixels = 0;
    qint64 m_sheetBytes = 0;
    std::unique_ptr<vyr::CssCensus> m_census;   // of the HTML read last
    QSet<QUrl> m_sheets;                        // the style sheets Qt holds
    QString m_uncut;
    bool m_quiet = false;   // built apart to be weighed, before the document Qt shows
};
