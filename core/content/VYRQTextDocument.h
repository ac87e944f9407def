#pragma once

#include "VYRQExport.h"

#include <QHash>
#include <QSet>
#include <QTextDocument>
#include <QUrl>

#include <memory>

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

    explicit VYRQTextDocument(QObject* parent = nullptr);
    ~VYRQTextDocument() override;

    // Replaces the document's content, and drops what the earlier one loaded: rich
    // text (as `format` says, or for Qt::AutoText as Qt would guess) as richText()
    // gives it, else plain text.
    void setContent(const QString& text, Qt::TextFormat format = Qt::AutoText);
    // Whether `text` is shown as rich text, with the HTML Qt is then given in `html`;
    // false for plain text, and for rich text that nests past the bounds (with one
    // warning on vyr.controls), which is shown as plain text. The style sheets the HTML
    // links or imports are read by `parser`, which Qt reads the HTML into next, only
    // within what matching their rules against its elements may cost.
    static bool richText(const QString& text, Qt::TextFormat format, QString& html,
                         VYRQTextDocument* parser = nullptr);

    void clear() override;

protected:
    QVariant loadResource(int type, const QUrl& name) override;

private:
    QHash<QUrl, qint64> m_heldPixels;
    qint64 m_pixels = 0;
    qint64 m_sheetBytes = 0;
    std::unique_ptr<vyr::CssCensus> m_census;   // of the HTML read last
    QSet<QUrl> m_sheets;                        // the style sheets Qt holds
};
