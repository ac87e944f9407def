#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"
#include "VYRQScrollBar.h"

#include <QPointer>
#include <QScrollArea>

class QEvent;
class QMouseEvent;
class QPaintEvent;
class VYRQScrollViewImpl;

// The themed scrolling area: a QScrollArea whose two bars are VYRQScrollBar
// controls, over one background fill. When its page is complete, the first child
// container becomes the scrolled content. The scroll bar elements of its page
// element ("child" entries whose type names a scroll bar) style the built-in bars.
class VYRQTLIB_EXPORT VYRQScrollView : public VYRQControl<VYRQScrollView, QScrollArea, VYRQScrollViewImpl, vyr::ForwardNone> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQScrollView, "qtscrollview")
public:
    explicit VYRQScrollView(QWidget* parent = nullptr);
    ~VYRQScrollView() override;

    // One background for every state: the state argument selects nothing. No repaint.
    void setBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CommonCtrlState state) const;

    int getHScrollPos() const;
    void setHScrollPos(int pos);
    int getVScrollPos() const;
    void setVScrollPos(int pos);

    // Styling of the built-in bars; `horizontal` chooses the bar.
    void setScrollbarBackgroundStyle(bool horizontal, const FillStyle& style);
    void setScrollbarButtonStyle(bool horizontal, bool up, CtrlState state, const FillStyle& style);
    void setScrollbarThumbStyle(bool horizontal, CtrlState state, const FillStyle& style);
    void setScrollbarButtonIcon(bool horizontal, bool up, const QString& icon);
    void setScrollbarButtonIconStyle(bool horizontal, bool up, const IconStyleDesc& style);
    void setScrollbarThumb(bool horizontal, const QString& icon);
    // Thickness of both bars (the flag is not used); replaces both bars' style sheets.
    void setScrollbarSize(bool horizontal, int size);
    // Button length of the chosen bar; replaces that bar's style sheet.
    void setScrollbarBtnSize(bool horizontal, int size);

Q_SIGNALS:
    // The change of the content's offset, positive when the content moves right or down.
    void scrollPosChanged(int dx, int dy);

protected:
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The look is drawn on the viewport by eventFilter; the area itself draws nothing.
    void paintEvent(QPaintEvent* event) override;

private:
    friend class VYRQScrollViewImpl;
    VYRQScrollBar* bar(bool horizontal) const;

    // Owned by the area; code may replace them through QAbstractScrollArea, which
    // deletes the old bar.
    QPointer<VYRQScrollBar> verticalBar;
    QPointer<VYRQScrollBar> horizontalBar;
};
