// A copy of a library file with every call the file-opens check forbids planted in
// it, one a function: the check must name each (scripts/check-file-opens-self.sh),
// those beside the allowed calls of the same file too.
#include "../../core/content/VYRQTextDocument.cpp"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QFontDatabase>
#include <QGraphicsTextItem>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>
#include <QMovie>
#include <QSettings>
#include <QSvgRenderer>
#include <QTabBar>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QToolTip>
#include <QWhatsThis>

#include <cstdio>
#include <fcntl.h>
#include <fstream>

void plantedOpen() { ::open("x", O_RDONLY); }
void plantedFopen() { std::fopen("x", "r"); }
void plantedStream() { std::ifstream stream("x"); }
void plantedFile() { QFile file(QStringLiteral("x")); }
void plantedFileName(QFile& file) { file.setFileName(QStringLiteral("x")); }
void plantedImageReader() { QImageReader reader(QStringLiteral("x")); }
void plantedMovie() { QMovie movie(QStringLiteral("x")); }
void plantedImage() { QImage image(QStringLiteral("x")); }
void plantedPixmap() { QPixmap pixmap(QStringLiteral("x")); }
void plantedImageLoad(QImage& image) { image.load(QStringLiteral("x")); }
void plantedIcon() { QIcon icon(QStringLiteral("x")); }
void plantedSvgFile() { QSvgRenderer renderer(QStringLiteral("x")); }
void plantedFont() { QFontDatabase::addApplicationFont(QStringLiteral("x")); }
void plantedSettings() { QSettings settings(QStringLiteral("x"), QSettings::IniFormat); }
void plantedDocument() { QTextDocument document; }
void plantedSetHtml(QTextDocument& document) { document.setHtml(QStringLiteral("x")); }
void plantedFragment() { QTextDocumentFragment::fromHtml(QStringLiteral("x")); }
void plantedInsertHtml(QTextCursor& cursor) { cursor.insertHtml(QStringLiteral("x")); }
void plantedEditHtml(QTextEdit& edit) { edit.setHtml(QStringLiteral("x")); }
void plantedLabel(QLabel& label) { label.setText(QStringLiteral("x")); }
void plantedTextItem(QGraphicsTextItem& item) { item.setHtml(QStringLiteral("x")); }
void plantedToolTip() { QToolTip::showText(QPoint(), QStringLiteral("x")); }
void plantedWhatsThis() { QWhatsThis::showText(QPoint(), QStringLiteral("x")); }
void plantedWidgetTip(QWidget& widget) { widget.setToolTip(QStringLiteral("x")); }
void plantedActionTip(QAction& action) { action.setToolTip(QStringLiteral("x")); }
void plantedTabTip(QTabBar& bar) { bar.setTabToolTip(0, QStringLiteral("x")); }
void plantedMessage() { QMessageBox::information(nullptr, QString(), QStringLiteral("x")); }
void plantedSvgBytes(QSvgRenderer& renderer) { renderer.load(QByteArray("x")); }
void plantedFromData() { QImage::fromData(QByteArray("x")); }
void plantedImageFromBytes(QImage& image) { image.loadFromData(QByteArray("x")); }
void plantedPixmapFromBytes(QPixmap& pixmap) { pixmap.loadFromData(QByteArray("x")); }
void plantedImageDevice(QBuffer& buffer) { QImageReader reader(&buffer); }
void plantedMovieDevice(QBuffer& buffer) { QMovie movie(&buffer); }
void plantedReaderDevice(QImageReader& reader, QBuffer& buffer) { reader.setDevice(&buffer); }
