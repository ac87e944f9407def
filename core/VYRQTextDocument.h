#pragma once

#include "VYRQExport.h"

#include <QTextDocument>

class QUrl;
class QVariant;

// A QTextDocument for HTML that a page or a caller supplies. Qt's own document reads
// every image and style sheet such HTML names by path, whatever the file is (a FIFO
// blocks it, a device never ends), and decodes an image at whatever size it claims.
// Here a named file is read as theme files are, an image (from a file or a data URL)
// kept only within the image bounds, and nothing is fetched for any other scheme;
// an image refused or missing shows nothing.
class VYRQTLIB_EXPORT VYRQTextDocument : public QTextDocument {
    Q_OBJECT
public:
    explicit VYRQTextDocument(QObject* parent = nullptr);

    // The resource of `type` at `url` (already resolved), read that way; never null, so
    // that Qt's document reads nothing on its own. For a QTextEdit's loadResource.
    static QVariant boundedResource(int type, const QUrl& url);
    // `text` as Qt's own widgets may show it (a tooltip): rich text keeps its markup but
    // names no file, image, style sheet or link; plain text is returned as it is.
    static QString namingNothing(const QString& text);

protected:
    QVariant loadResource(int type, const QUrl& name) override;
};
