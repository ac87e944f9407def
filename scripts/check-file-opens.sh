#!/usr/bin/env bash
# Every file the library and the monitor open by a name goes through one reader,
# vyr::readRegularFile (core/VYRQRegularFile.h): opened without blocking, refused
# unless regular, its size checked before it is read. Qt also reads files of its own
# accord where content reaches its readers: rich text (a label's, a text edit's, a
# tooltip's, a message box's, an item's tooltip) reads every image and style sheet its
# HTML names, and an SVG renderer what the SVG names. Such content reaches Qt only as
# a VYRQTextDocument (core/VYRQTextDocument.h) or after the SVG inspection of
# core/VYRQSvgBounds_p.h. This lists, from the built objects of each source file,
# the calls that open a file by name or hand content to one of Qt's readers, and fails
# on any but the few allowed below.
# Usage: check-file-opens.sh <build folder> [nm]
set -euo pipefail
build=${1:?usage: check-file-opens.sh <build folder> [nm]}
nm=${2:-nm}

opens='^(open|open64|openat|openat64|fopen|fopen64|freopen|freopen64|creat|creat64)$'
opens+='|^(gzopen|gzopen64|unzOpen|unzOpen64|unzOpen2|unzOpen2_64)$'
opens+='|^std::basic_(i|o)?fstream<.*>::basic_|^std::basic_filebuf<.*>::open'
opens+='|^(QFile|QSaveFile)::(QFile|QSaveFile)\(QString|^(QFile|QSaveFile)::setFileName'
opens+='|^(QImageReader|QImageWriter|QMovie)::(QImageReader|QImageWriter|QMovie)\(QString'
opens+='|^(QImageReader|QImageWriter|QMovie)::setFileName'
opens+='|^(QImage|QPixmap|QBitmap|QIcon)::(QImage|QPixmap|QBitmap|QIcon)\(QString'
opens+='|^(QImage|QPixmap|QPicture)::(load|save)\(QString|^QIcon::(addFile|fromTheme)'
opens+='|^(QSvgRenderer|QSvgWidget)::(QSvgRenderer|QSvgWidget|load)\(QString'
opens+='|^QFontDatabase::addApplicationFont\(QString|^QSettings::QSettings\(QString'
opens+='|^QResource::registerResource\(QString|^QMimeDatabase::mimeTypeForFile'
opens+='|^QTextDocument::QTextDocument|^(QTextEdit|QTextBrowser)::(QTextEdit|QTextBrowser)\(|^QLabel::setText'
# Qt's readers of content: rich text, tooltips, what's-this texts, message boxes, SVG.
opens+='|^QTextDocument::(setHtml|setMarkdown)|^QTextDocumentFragment::fromHtml|^QTextCursor::insertHtml'
opens+='|^QTextEdit::(setHtml|setText|setMarkdown|insertHtml|append|insertFromMimeData)\('
opens+='|^QLabel::(QLabel\(QString|setTextFormat)|^QGraphicsTextItem::setHtml|^QStaticText::setTextFormat'
opens+='|^QToolTip::showText|^QWhatsThis::showText|^QAbstractItemDelegate::helpEvent'
opens+='|^(QWidget|QAction|QStandardItem|QListWidgetItem|QTreeWidgetItem|QTableWidgetItem)::set(ToolTip|WhatsThis)'
opens+='|^(QTabBar|QTabWidget|QToolBox)::set(Tab|Item)(ToolTip|WhatsThis)'
opens+='|^QMessageBox::(QMessageBox|information|warning|critical|question|about|setText|setInformativeText)\('
opens+='|^(QSvgRenderer|QSvgWidget)::(QSvgRenderer|QSvgWidget|load)\((QByteArray|QXmlStreamReader)'

# <source file> <start of the symbol>: why it may open files itself.
allowed='
core/VYRQRegularFile.cpp open                          the reader itself
core/VYRQRegularFile.cpp QFile::QFile(QString          the reader, for resources inside the executable (":/")
core/VYRQZip.cpp open                                  an archive, streamed: opened as the reader opens a file
core/VYRQZip.cpp unzOpen2_64                           over the stream of the archive opened above
core/VYRQTextDocument.cpp QTextDocument::QTextDocument rich text whose resources are read through the reader
core/VYRQTextDocument.cpp QTextDocument::setHtml       the HTML our reader wrote, within its bounds
controls/VYRQTextEdit.cpp QTextEdit::QTextEdit         its document is a VYRQTextDocument
controls/VYRQTextEdit.cpp QTextEdit::setHtml           the HTML our reader wrote
controls/VYRQTextEdit.cpp QTextEdit::insertHtml        the HTML our reader wrote
controls/VYRQTextEdit.cpp QTextEdit::append            the HTML our reader wrote, or plain text made HTML by Qt
controls/VYRQTextEdit.cpp QTextEdit::insertFromMimeData pasted HTML as our reader wrote it
controls/VYRQLabel.cpp QLabel::setText                 a plain-text label
controls/VYRQLabel.cpp QLabel::setTextFormat           set to plain text
core/VYRQWidgetBase.cpp QWidget::setToolTip            on a control: shown through VYRQToolTip
core/VYRQControl.cpp QWidget::setToolTip               on a control: shown through VYRQToolTip
ribbon/VYRQRibbonBar.cpp QWidget::setToolTip           on a ribbon button: shown through VYRQToolTip
ribbon/VYRQRibbonButton.cpp QWidget::setToolTip        on itself, a control: shown through VYRQToolTip
ribbon/VYRQRibbonConfig.cpp QAction::setToolTip        shown only by the ribbon button that takes it
core/VYRQDecodedCache.cpp QSvgRenderer::load(QByteArray a theme SVG after the inspection of VYRQSvgBounds
core/VYRQIconFile.cpp QSvgRenderer::QSvgRenderer(QByteArray an icon SVG after the inspection of VYRQSvgBounds
app/TarnexStartup.cpp QMessageBox::QMessageBox        its text set to plain text before it is shown
controls/VYRQPushButton.cpp QIcon::QIcon(QString       icons inside the executable (":/") only
core/VYRQSaveTarget.cpp QSaveFile::QSaveFile(QString   saves, only over no file or a regular one
'

isAllowed() {   # isAllowed <source> <symbol>
    local file prefix
    while read -r file prefix _; do
        [ -n "$file" ] || continue
        if [ "$file" = "$1" ] && [[ "$2" == "$prefix"* ]]; then
            return 0
        fi
    done <<< "$allowed"
    return 1
}

status=0
objects=0
while IFS= read -r object; do
    objects=$((objects + 1))
    # CMakeFiles/VYRQtLib.dir/core/X.cpp.o -> core/X.cpp; app/CMakeFiles/T.dir/X.cpp.o -> app/X.cpp
    rel=${object#"$build"/}
    folder=${rel%%CMakeFiles/*}
    source=${folder}${rel#*.dir/}
    source=${source%.o}
    while IFS= read -r symbol; do
        if ! isAllowed "$source" "$symbol"; then
            echo "file opens: $source calls $symbol outside vyr::readRegularFile and VYRQTextDocument" >&2
            status=1
        fi
    done < <("$nm" -C --undefined-only "$object" | sed -n 's/^ *U //p' | grep -E "$opens" || true)
done < <(find "$build/CMakeFiles/VYRQtLib.dir" "$build/app/CMakeFiles" -name '*.o' \
             ! -path '*_autogen/*' ! -path '*/__/*' 2>/dev/null | sort)

if [ $objects -eq 0 ]; then
    echo "file opens: no objects under $build; build first" >&2
    exit 1
fi
[ $status -eq 0 ] && echo "file opens: 1 passed, 0 failed ($objects objects)"
exit $status
