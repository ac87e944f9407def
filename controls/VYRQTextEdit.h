#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QTextEdit>

class VYRQScrollBar;
class VYRQTextEditImpl;

// The themed multi-line text area: a QTextEdit whose viewport shows a per-state
// themed background and a placeholder of its own, with its text colour and font from
// the theme's text styles, and whose two scroll bars are library scroll bars that a
// page styles through scroll-bar elements under the text edit's "child".
//
// Unlike most controls it does not take the theme defaults of its type key when it is
// built, only on a theme refresh, a change of theme name, or from its page element.
class VYRQTLIB_EXPORT VYRQTextEdit : public VYRQControl<VYRQTextEdit, QTextEdit, VYRQTextEditImpl, vyr::ForwardHover> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQTextEdit, "qttext")
public:
    explicit VYRQTextEdit(QWidget* parent = nullptr);
    ~VYRQTextEdit() override;

    // Per-state styles, states 0 to 3 (other values: setters ignore them, getters
    // read Normal). None repaints; setting the Normal text style applies it at once.
    void setBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CtrlState state) const;
    void setTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getTextStyle(CtrlState state) const;
    void setPlaceholderTextStyle(const TextStyleDesc& style);
    const TextStyleDesc& getPlaceholderTextStyle() const;
    void setPlaceholderText(const QString& text);
    const QString& getPlaceholderText() const;
    // The edit margins, which inset the viewport, in the order top, bottom, left, right.
    void setEditMargin(int top, int bottom, int left, int right);
    void getEditMargin(int& top, int& bottom, int& left, int& right) const;

    // The scroll bars: hor true picks the horizontal bar, false the vertical one.
    void setScrollbarBackgroundStyle(bool hor, const FillStyle& style);
    void setScrollbarButtonStyle(bool hor, bool up, CtrlState state, const FillStyle& style);
    void setScrollbarButtonIcon(bool hor, bool up, const QString& icon);
    void setScrollbarButtonIconStyle(bool hor, bool up, const IconStyleDesc& style);
    void setScrollbarThumb(bool hor, const QString& icon);
    void setScrollbarThumbStyle(bool hor, CtrlState state, const FillStyle& style);
    // One thickness style sheet for both bars, whichever bar is named.
    void setScrollbarSize(bool hor, int size);
    void setScrollbarBtnSize(bool hor, int size);

    VYRQScrollBar* scrollBar(bool hor) const;

public slots:
    // Text reaches the edit's document (a VYRQTextDocument) as that document takes
    // content: rich text as our HTML reader writes it again, and past its bounds as
    // its plain text; plain text cut to what Qt lays out within them. They hide
    // QTextEdit's slots of the same names, so they
    // cannot cover what reaches Qt's own HTML reader past them: these slots called
    // through a QTextEdit pointer, setProperty("html", ...) and document()->setHtml().
    void setText(const QString& text);
    void setHtml(const QString& text);
    void setPlainText(const QString& text);
    void insertHtml(const QString& text);
    void append(const QString& text);

protected:
    // Pasted and dropped HTML too.
    void insertFromMimeData(const QMimeData* source) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void setContent(const QString& text, Qt::TextFormat format);

    friend class VYRQTextEditImpl;
    VYRQScrollBar* m_horBar = nullptr;
    VYRQScrollBar* m_verBar = nullptr;
};
