#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QLabel>

class VYRQLabelExImpl;

// The rich-text label: keeps its text in a QTextDocument, paints the document itself
// and keeps a selection that a double-click, a drag and outside callers set.
// It declares no meta-object of its own (no signals, no Qt properties); pages create
// it by its type key, and it has no designer record.
class VYRQTLIB_EXPORT VYRQLabelEx : public VYRQControl<VYRQLabelEx, QLabel, VYRQLabelExImpl> {
public:
    static const char* typeName() { return "qtlabelex"; }
    static QWidget* createVYRQLabelEx() { return new VYRQLabelEx(nullptr); }

    explicit VYRQLabelEx(QWidget* parent = nullptr);
    ~VYRQLabelEx() override;

    bool readJsonValue(void* json) override;

    // Neither repaints.
    void setText(const QString& text);
    void setHtmlContent(const QString& html);
    QString getHtmlContent() const;
    // The size the HTML takes at a width, in the label's text style.
    QSize calcSize(const QString& html, int width);

    // As on VYRQLabel, but nothing is applied or repainted: the document font follows
    // the style only when JSON is read.
    TextStyleDesc getTextStyle(CtrlState state) const;
    void setTextStyle(CtrlState state, const TextStyleDesc& style);
    QColor getColor() const;
    void setColor(const QColor& color);
    QColor getDisableColor() const;
    void setDisableColor(const QColor& color);

protected:
    // Mouse input drives the selection only while text interaction is allowed; the
    // QLabel handlers never run.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
