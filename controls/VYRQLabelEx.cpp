#include "VYRQLabelEx.h"
#include "VYRQLabelExImpl.h"

#include "VYRQJson.h"
#include "VYRQReadSizeGuard_p.h"
#include "VYRQStateStyles.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <json/value.h>

#include <algorithm>

namespace {
const QColor selectionColor(155, 202, 239, 255);

bool samePlace(const TextPosition& a, const TextPosition& b)
{
    return a.block == b.block && a.line == b.line && a.cursor == b.cursor;
}
} // namespace

VYRQLabelExImpl::VYRQLabelExImpl(VYRQLabelEx* owner)
    : VYRQWidgetBaseImpl(owner, VYRQLabelEx::typeName())
{
}

VYRQLabelExImpl::~VYRQLabelExImpl() = default;

void VYRQLabelExImpl::clearSelection()
{
    m_selectionStart = TextPosition();
    m_selectionEnd = TextPosition();
}

TextPosition VYRQLabelExImpl::startPosition() const
{
    return TextPosition{0, 0, 0};
}

TextPosition VYRQLabelExImpl::endPosition()
{
    if (QWidget* w = owner())
        m_document.setPageSize(QSizeF(w->width() + 20, w->height() + 10));
    TextPosition end;
    end.block = m_document.blockCount();
    const QTextBlock first = m_document.firstBlock();
    m_document.documentLayout()->blockBoundingRect(first);   // lays the block out
    const QTextLayout* layout = first.layout();
    if (!layout || layout->lineCount() < 1)
        return end;
    end.line = layout->lineCount() - 1;
    QTextCursor cursor(&m_document);
    cursor.movePosition(QTextCursor::End);
    end.cursor = cursor.position();
    return end;
}

TextPosition VYRQLabelExImpl::positionAt(const QPoint& point) const
{
    QAbstractTextDocumentLayout* docLayout = m_document.documentLayout();
    int index = 0;
    for (QTextBlock block = m_document.firstBlock(); block.isValid(); block = block.next(), ++index) {
        docLayout->blockBoundingRect(block);
        const QTextLayout* layout = block.layout();
        if (!layout)
            continue;
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            if (line.rect().contains(point))
                return TextPosition{index, i, line.xToCursor(point.x())};
        }
    }
    return TextPosition();
}

void VYRQLabelExImpl::setSelection(const TextPosition& a, const TextPosition& b)
{
    if (a.block <= b.block && a.line <= b.line && a.cursor <= b.cursor) {
        m_selectionStart = a;
        m_selectionEnd = b;
    } else {
        m_selectionStart = b;
        m_selectionEnd = a;
    }
}

bool VYRQLabelExImpl::hasSelection() const
{
    const TextPosition& s = m_selectionStart;
    const TextPosition& e = m_selectionEnd;
    return s.block != -1 && s.line != -1 && s.cursor != -1 && e.block != -1 && e.line != -1 && e.cursor != -1;
}

QSize VYRQLabelExImpl::calcSize(const QString& html, int width) const
{
    VYRQTextDocument doc;
    doc.setDefaultFont(fontOf(textStyle));
    doc.setContent(html, Qt::RichText);
    doc.setPageSize(QSizeF(width, 1000));
    return QSize(int(doc.idealWidth()), int(doc.size().height()));
}

void VYRQLabelExImpl::applyDocumentFont()
{
    m_document.setDefaultFont(fontOf(textStyle));
}

// Only the first block's lines are highlighted. A position inside a later block
// carries that block's line index, which means nothing to the first block's layout:
// such a position stands for the end of the first block. (The end position of a
// select-all names the block count, past every block, with a line of the first block.)
void VYRQLabelExImpl::drawSelection(QPainter* painter)
{
    if (!hasSelection())
        return;
    const QTextBlock first = m_document.firstBlock();
    m_document.documentLayout()->blockBoundingRect(first);
    const QTextLayout* layout = first.layout();
    if (!layout || layout->lineCount() < 1)
        return;

    const int blockCount = m_document.blockCount();
    const int lastLine = layout->lineCount() - 1;
    const QTextLine last = layout->lineAt(lastLine);
    const int blockEnd = last.textStart() + last.textLength();
    auto resolve = [&](const TextPosition& p, int& line, int& cursor) {
        if (p.block > 0 && p.block < blockCount) {
            line = lastLine;
            cursor = blockEnd;
        } else {
            line = p.line;
            cursor = p.cursor;
        }
    };
    int startLine = 0, startCursor = 0, endLine = 0, endCursor = 0;
    resolve(m_selectionStart, startLine, startCursor);
    resolve(m_selectionEnd, endLine, endCursor);

    auto fill = [painter](const QTextLine& line, int x, int width) {
        painter->fillRect(QRect(x, int(line.y() + 5), width, int(line.height())), selectionColor);
    };

    if (startLine == endLine) {
        const QTextLine line = layout->lineAt(endLine);
        if (m_document.isEmpty() || !line.isValid())
            return;
        const int x1 = int(line.cursorToX(startCursor));
        const int x2 = int(line.cursorToX(endCursor));
        fill(line, x1 + 5, x2 - x1);
        return;
    }

    const QTextLine startTextLine = layout->lineAt(startLine);
    if (startTextLine.isValid()) {
        const int x1 = int(startTextLine.cursorToX(startCursor));
        fill(startTextLine, x1 + 5, int(startTextLine.horizontalAdvance()) - x1);
    }
    const QTextLine endTextLine = layout->lineAt(endLine);
    if (endTextLine.isValid())
        fill(endTextLine, 5, int(endTextLine.cursorToX(endCursor)));
    const int from = std::min(startLine, endLine) + 1;
    const int to = std::min(std::max(startLine, endLine), layout->lineCount());
    for (int i = std::max(from, 0); i < to; ++i) {
        const QTextLine line = layout->lineAt(i);
        fill(line, 5, int(line.horizontalAdvance()));
    }
}

void VYRQLabelExImpl::drawControl(QPainter* painter, const QRect& rect)
{
    painter->save();
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    painter->setTransform(QTransform::fromTranslate(rect.x(), rect.y()));
    // Set again, the page would be laid out again at every paint.
    if (m_document.pageSize() != QSizeF(rect.size()))
        m_document.setPageSize(rect.size());

    drawSelection(painter);

    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(QPointF(0, 0), QSizeF(rect.size()));
    context.palette.setColor(QPalette::Text, textStyle.color);
    context.cursorPosition = -1;
    m_document.documentLayout()->draw(painter, context);
    painter->restore();
}

void VYRQLabelExImpl::mousePressEvent(QMouseEvent*)
{
}

void VYRQLabelExImpl::mouseReleaseEvent(QMouseEvent*)
{
    if (QWidget* w = owner()) {
        w->setMouseTracking(false);
        w->update();
    }
}

void VYRQLabelExImpl::mouseMoveEvent(QMouseEvent* event)
{
    const TextPosition p = positionAt(event->pos());
    if (samePlace(p, m_selectionEnd))
        return;
    m_selectionEnd = p;
    if (QWidget* w = owner())
        w->update();
}

void VYRQLabelExImpl::mouseDoubleClickEvent(QMouseEvent*)
{
    m_selectionStart = startPosition();
    m_selectionEnd = endPosition();
    if (QWidget* w = owner())
        w->update();
}

vyr::StyleSlots VYRQLabelExImpl::styleSlots()
{
    return {{0, textStyle}};
}

void VYRQLabelExImpl::readJson(const Json::Value& element)
{
    if (const Json::Value* attr = vyr::json::object(element, "attr")) {
        QString text;
        if (readOwnAttr(*attr, "text", text))
            m_document.setContent(text, Qt::PlainText);
    }
    applyDocumentFont();
}

void VYRQLabelExImpl::writeJson(Json::Value& element)
{
    const QString text = m_document.wholePlainText();
    vyr::json::writeUnlessEmpty(element["attr"], "text", text);
}

VYRQLabelEx::VYRQLabelEx(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
    impl()->document()->setContent(QStringLiteral("label"), Qt::PlainText);
}

VYRQLabelEx::~VYRQLabelEx() = default;

bool VYRQLabelEx::readJsonValue(void* json)
{
    VYRQReadSizeGuard guard(this);
    return VYRQControl::readJsonValue(json);
}

void VYRQLabelEx::setText(const QString& text)
{
    impl()->document()->setContent(VYRQWidgetBaseImpl::boundedText(text), Qt::PlainText);
}

void VYRQLabelEx::setHtmlContent(const QString& html)
{
    impl()->document()->setContent(VYRQWidgetBaseImpl::boundedText(html, "HTML"), Qt::RichText);
}

QString VYRQLabelEx::getHtmlContent() const
{
    return impl()->document()->toHtml(QByteArray());
}

QSize VYRQLabelEx::calcSize(const QString& html, int width)
{
    return impl()->calcSize(html, width);
}

TextStyleDesc VYRQLabelEx::getTextStyle(CtrlState state) const
{
    return vyr::enabledOrDisabled(state, impl()->textStyle, impl()->disableTextStyle);
}

void VYRQLabelEx::setTextStyle(CtrlState state, const TextStyleDesc& style)
{
    vyr::setEnabledOrDisabled(state, style, impl()->textStyle, impl()->disableTextStyle);
}

QColor VYRQLabelEx::getColor() const
{
    return impl()->textStyle.color;
}

void VYRQLabelEx::setColor(const QColor& color)
{
    impl()->textStyle.color = color;
}

QColor VYRQLabelEx::getDisableColor() const
{
    return impl()->disableTextStyle.color;
}

void VYRQLabelEx::setDisableColor(const QColor& color)
{
    impl()->disableTextStyle.color = color;
}

void VYRQLabelEx::mousePressEvent(QMouseEvent* event)
{
    if (textInteractionFlags() != Qt::NoTextInteraction)
        impl()->mousePressEvent(event);
}

void VYRQLabelEx::mouseReleaseEvent(QMouseEvent* event)
{
    if (textInteractionFlags() != Qt::NoTextInteraction)
        impl()->mouseReleaseEvent(event);
}

void VYRQLabelEx::mouseMoveEvent(QMouseEvent* event)
{
    if (textInteractionFlags() != Qt::NoTextInteraction)
        impl()->mouseMoveEvent(event);
}

void VYRQLabelEx::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (textInteractionFlags() != Qt::NoTextInteraction)
        impl()->mouseDoubleClickEvent(event);
}

void VYRQLabelEx::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
}
#include "moc_VYRQLabelExImpl.cpp"
