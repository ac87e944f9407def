#pragma once

#include "VYRQExport.h"

#include "VYRQTextDocument.h"
#include "VYRQWidgetBaseImpl.h"

class QPoint;
class QTextLayout;
class QTextLine;
class VYRQLabelEx;

// A place in a rich-text label's document: block index, line index within that
// block, and the cursor position that QTextLine::xToCursor or QTextCursor give.
// -1 in a field means none.
struct VYRQTLIB_EXPORT TextPosition {
    int block = -1;
    int line = -1;
    int cursor = -1;
};

// The rich-text label's state. The template list view's delegate uses the HTML and
// selection operations directly when it paints rows and follows the mouse.
class VYRQTLIB_EXPORT VYRQLabelExImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    explicit VYRQLabelExImpl(VYRQLabelEx* owner);
    ~VYRQLabelExImpl() override;

    void clearSelection();
    TextPosition startPosition() const;
    // Sets the page size to the owner's size plus a margin first. The block field is
    // the block count and the line the last line of the first block.
    TextPosition endPosition();
    TextPosition positionAt(const QPoint& point) const;
    // Stores the earlier of the two positions as the start. No repaint.
    void setSelection(const TextPosition& a, const TextPosition& b);
    bool hasSelection() const;
    TextPosition selectionStart() const { return m_selectionStart; }
    TextPosition selectionEnd() const { return m_selectionEnd; }

    QSize calcSize(const QString& html, int width) const;
    VYRQTextDocument* document() { return &m_document; }
    const VYRQTextDocument* document() const { return &m_document; }

    TextStyleDesc textStyle;
    TextStyleDesc disableTextStyle;

    void drawControl(QPainter* painter, const QRect& rect) override;
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void drawSelection(QPainter* painter);
    void applyDocumentFont();

    TextPosition m_selectionStart;
    TextPosition m_selectionEnd;
    VYRQTextDocument m_document;
};
