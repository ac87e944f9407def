#!/usr/bin/env bash
# Every file the library and the monitor open by a name goes through one reader,
# vyr::readRegularFile (core/files/VYRQRegularFile.h): opened without blocking, refused
# unless regular, its size checked before it is read. Qt also reads files of its own
# accord where content reaches its readers: rich text (a label's, a text edit's, a
# tooltip's, a message box's, an item's tooltip) reads every image and style sheet its
# HTML names, and an SVG renderer what the SVG names. Such content reaches Qt only as
# a VYRQTextDocument (core/content/VYRQTextDocument.h) or after the SVG inspection of
# core/content/VYRQSvgBounds_p.h. This lists, from the built objects of each source file,
# the calls that open a file by name or hand content to one of Qt's readers, and fails
# on any but the few allowed below.
# Calls are found from the relocations of each function: an allowance names the
# function that calls and the exact function called, so that another call in the same
# file fails. Each function allowed is defined Q_NEVER_INLINE: inlined, its calls would
# be found in its callers, under names that change with the build type and the compiler
# (scripts/test.sh checks a Release build besides its own). Inline functions of Qt's
# (an item's setToolTip) leave no call to find: item
# tooltips are shown through the delegate's helpEvent, which is listed. A reference
# from data (a vtable) is listed as from "(data)".
# Usage: check-file-opens.sh <build folder> [nm] [objdump]; VYR_OPENS_OBJECTS, when
# set, names the folders whose objects are checked instead of the library's and the
# monitor's (the self-test, tests/fileopens, plants each forbidden call in one).
set -euo pipefail
build=${1:?usage: check-file-opens.sh <build folder> [nm] [objdump]}
nm=${2:-nm}
objdump=${3:-objdump}
[ -n "$objdump" ] || objdump=objdump

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
opens+='|^(QWidget|QAction)::set(ToolTip|WhatsThis)'
opens+='|^(QTabBar|QTabWidget|QToolBox)::set(Tab|Item)(ToolTip|WhatsThis)'
opens+='|^QMessageBox::(QMessageBox|information|warning|critical|question|about|setText|setInformativeText)\('
opens+='|^(QSvgRenderer|QSvgWidget)::(QSvgRenderer|QSvgWidget|load)\((QByteArray|QXmlStreamReader)'
# Readers of bytes or a device: Qt's SVG plugin behind them reads the files an SVG names.
opens+='|^(QImage|QPixmap)::(fromData|loadFromData)\(|^(QImageReader|QMovie)::(QImageReader|QMovie)\(QIODevice'
opens+='|^(QImageReader|QMovie)::setDevice\('

# <calling function> | <function called> | why it may open files or hand content to Qt.
allowed='
vyr::readRegularFile | open | the reader itself
vyr::readRegularFile | QFile::QFile(QString const&) | the reader, for resources inside the executable (":/")
vyr::readResourceFile | QFile::QFile(QString const&) | the reader, for resources inside the executable (":/")
openRegularFile | open64 | an archive, streamed: opened as the reader opens a file
openZipHandle | unzOpen2_64 | over the stream of the archive opened above
VYRQTextDocument::VYRQTextDocument | QTextDocument::QTextDocument(QObject*) | rich text whose resources are read through the reader
VYRQTextDocument::setContent | QTextDocument::setHtml(QString const&) | the HTML our reader wrote, within its bounds
VYRQTextDocument::richText | QTextDocument::setHtml(QString const&) | the HTML our reader wrote, built apart to be weighed
VYRQControl<VYRQTextEdit, QTextEdit, VYRQTextEditImpl, 2>::VYRQControl<QWidget*&> | QTextEdit::QTextEdit(QWidget*) | its document is a VYRQTextDocument
VYRQTextEdit::setContent | QTextEdit::setHtml(QString const&) | the HTML our reader wrote
VYRQTextEdit::insertHtml | QTextEdit::insertHtml(QString const&) | the HTML our reader wrote
VYRQTextEdit::append | QTextEdit::append(QString const&) | the HTML our reader wrote, or plain text made HTML by Qt
VYRQTextEdit::insertFromMimeData | QTextEdit::insertFromMimeData(QMimeData const*) | pasted HTML as our reader wrote it
VYRQLabelImpl::setText | QLabel::setText(QString const&) | a plain-text label
VYRQLabelImpl::showElided | QLabel::setText(QString const&) | a plain-text label
VYRQLabel::VYRQLabel | QLabel::setTextFormat(Qt::TextFormat) | set to plain text
VYRQWidgetBase::readBaseKeys | QWidget::setToolTip(QString const&) | on a control: shown through VYRQToolTip
vyr::setControlToolTip | QWidget::setToolTip(QString const&) | on a control: shown through VYRQToolTip
VYRQRibbonBar::addQuickAction | QWidget::setToolTip(QString const&) | on a ribbon button: shown through VYRQToolTip
VYRQRibbonButton::syncFromAction | QWidget::setToolTip(QString const&) | on itself, a control: shown through VYRQToolTip
VYRQRibbonConfig::createActionItem | QAction::setToolTip(QString const&) | shown only by the ribbon button that takes it
loadDocument | QSvgRenderer::load(QByteArray const&) | a theme SVG after the inspection of VYRQSvgBounds
vyr::renderSvg | QSvgRenderer::QSvgRenderer(QByteArray const&, QObject*) | an icon SVG after the inspection of VYRQSvgBounds
vyr::ImageBytesReader::ImageBytesReader | QImageReader::setDevice(QIODevice*) | bytes the reader read, their format checked first
vyr::decodeImage | QImageReader::QImageReader(QIODevice*, QByteArray const&) | bytes, SVG only after the inspection of VYRQSvgBounds
VYRQImage::loadGif | QMovie::QMovie(QIODevice*, QByteArray const&, QObject*) | bytes the reader read, their format checked first
VYRQPushButtonImpl::setIconPath | QIcon::QIcon(QString const&) | icons inside the executable (":/") only
tarnex::refuseToStart | QMessageBox::QMessageBox(QMessageBox::Icon, QString const&, QString const&, QFlags<QMessageBox::StandardButton>, QWidget*, QFlags<Qt::WindowType>) | its text set to plain text before it is shown
vyr::saveWholeFile | QSaveFile::QSaveFile(QString const&) | saves, only over no file or a regular one
'

isAllowed() {   # isAllowed <caller> <symbol>
    local caller called
    while IFS='|' read -r caller called _; do
        # Trimmed in the shell: two processes for each line, for every call, add up.
        caller=${caller#"${caller%%[! ]*}"}; caller=${caller%"${caller##*[! ]}"}
        called=${called#"${called%%[! ]*}"}; called=${called%"${called##*[! ]}"}
        [ -n "$caller" ] || continue
        if [ "$caller" = "$1" ] && [ "$called" = "$2" ]; then
            return 0
        fi
    done <<< "$allowed"
    return 1
}

# "<caller>\t<called>" for each call (or reference) in `object` that the patterns match.
# A caller that is itself one of the functions listed (an inline wrapper of Qt's, such
# as QImage::fromData(QByteArray)) stands for its own callers.
calls() {
    local object=$1 symbols
    symbols=$("$nm" -C --undefined-only "$object" | sed -n 's/^ *U //p' | grep -E "$opens" || true)
    [ -n "$symbols" ] || return 0
    "$objdump" -dr -C --no-show-raw-insn "$object" | VYR_OPENS_RE="$opens" awk -v symbols="$symbols" '
        function short(name,    p) {
            gsub(/\(anonymous namespace\)::/, "", name)
            p = index(name, "("); return p > 1 ? substr(name, 1, p - 1) : name
        }
        function report(target, symbol, depth,    n, i, list) {
            if (!(target in callers)) {
                if (depth == 0) print "(data)\t" symbol
                return
            }
            n = split(substr(callers[target], 2), list, "\034")
            for (i = 1; i <= n; ++i) {
                if (list[i] ~ ENVIRON["VYR_OPENS_RE"] && depth < 4 && list[i] != target) report(list[i], symbol, depth + 1)
                else print short(list[i]) "\t" symbol
            }
        }
        BEGIN { n = split(symbols, list, "\n"); for (i = 1; i <= n; ++i) wanted[list[i]] = 1 }
        /^[0-9a-f]+ <.*>:$/ {
            caller = substr($0, index($0, "<") + 1); caller = substr(caller, 1, length(caller) - 2)
            next
        }
        /R_X86_64_/ {
            sub(/^[ \t]*[0-9a-f]+:[ \t]*R_X86_64_[A-Z0-9_]+[ \t]+/, "")
            sub(/[-+]0x[0-9a-f]+$/, "")
            if (!((caller, $0) in edge)) { edge[caller, $0] = 1; callers[$0] = callers[$0] "\034" caller }
        }
        END { for (s in wanted) report(s, s, 0) }' | sort -u
}

status=0
objects=0
folders=("$build/CMakeFiles/VYRQtLib.dir" "$build/app/CMakeFiles")
[ -z "${VYR_OPENS_OBJECTS:-}" ] || read -r -a folders <<< "$VYR_OPENS_OBJECTS"
while IFS= read -r object; do
    objects=$((objects + 1))
    # CMakeFiles/VYRQtLib.dir/core/files/X.cpp.o -> core/files/X.cpp; app/CMakeFiles/T.dir/X.cpp.o -> app/X.cpp
    rel=${object#"$build"/}
    folder=${rel%%CMakeFiles/*}
    source=${folder}${rel#*.dir/}
    source=${source%.o}
    while IFS=$'\t' read -r caller symbol; do
        [ -n "$symbol" ] || continue
        if ! isAllowed "$caller" "$symbol"; then
            echo "file opens: $source: $caller calls $symbol outside vyr::readRegularFile and VYRQTextDocument" >&2
            status=1
        fi
    done < <(calls "$object")
done < <(find "${folders[@]}" -name '*.o' ! -path '*_autogen/*' ! -path '*/__/*' 2>/dev/null | sort)

if [ $objects -eq 0 ]; then
    echo "file opens: no objects under $build; build first" >&2
    exit 1
fi
[ $status -eq 0 ] && echo "file opens: 1 passed, 0 failed ($objects objects)"
exit $status
