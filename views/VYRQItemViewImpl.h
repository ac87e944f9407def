#pragma once

#include "VYRQExport.h"

#include "VYRQWidgetBaseImpl.h"

#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <climits>

class VYRQScrollBar;

// What the item views (table, list, template list, tree) share in their
// implementation objects: the two themed scroll bars and the scroll-bar elements
// of their page element. Each view keeps its own style-sheet rules, given through
// setScrollbarBtnSize and setScrollbarSize.
class VYRQTLIB_EXPORT VYRQItemViewImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    VYRQItemViewImpl(QWidget* owner, const QString& typeKey);
    ~VYRQItemViewImpl() override;

    // A view's interaction state is never painted: presses, releases and hovering
    // change nothing here (and repaint nothing); the view handles its input itself.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // A horizontal and a vertical bar with the view as parent; the view installs them.
    void createScrollBars(QWidget* view);
    VYRQScrollBar* scrollBar(bool horizontal) const;

    // Style setters of the chosen bar (true the horizontal one); nothing repaints.
    void setScrollbarBackgroundStyle(bool horizontal, const FillStyle& style);
    void setScrollbarButtonIcon(bool horizontal, bool up, const QString& icon);
    void setScrollbarButtonIconStyle(bool horizontal, bool up, const IconStyleDesc& style);
    void setScrollbarButtonStyle(bool horizontal, bool up, CtrlState state, const FillStyle& style);
    void setScrollbarThumb(bool horizontal, const QString& icon);
    void setScrollbarThumbStyle(bool horizontal, CtrlState state, const FillStyle& style);

    // The view's own style-sheet rules.
    virtual void setScrollbarBtnSize(bool horizontal, int size) = 0;
    virtual void setScrollbarSize(bool horizontal, int size) = 0;

    // Replaces the style sheet of one bar, or of both.
    void setBarSheet(bool horizontal, const QString& sheet);
    void setBarSheets(const QString& sheet);

    // Qt's views add their rows' sizes, and the spacing around each, up in int. All the
    // rows of a view stay within rowSpan, which leaves a viewport's height of room past
    // the last one, so each row's room shrinks as the model grows. The room is that of
    // the row count rounded up to a power of two: a growing model changes it, and has
    // the rows laid out again, once per doubling.
    static constexpr int rowSpan = INT_MAX - QWIDGETSIZE_MAX;
    static int rowRoom(qint64 rows);
    // The size a stored row height or width gives each of `rows` rows with `spacing`
    // before and after it: 20 for 0 or less, no more than 65535 (styles paint a tree's
    // branch indicator through a pixmap as tall as its row) and no more than the row's
    // room less the spacing, but at least 1.
    static int rowSize(int stored, qint64 rows, int spacing = 0);
    // A size the view's owner gave for a row, held between 0 and the same room.
    static QSize rowSize(const QSize& given, qint64 rows, int spacing);
    // The spacing a list view puts before and after each of `rows` rows, as a stored
    // row size leaves room for it: the spacing gives way before the rows' size does.
    static int rowSpacing(int spacing, qint64 rows, int storedSize);
    // Side of a row's decoration icon: 16 up to a row height of 24, 24 up to 32, 32 above.
    static int decorationSide(int rowHeight);
    // A decoration centred in `rect`: a text names an image or ".svg", a QIcon is drawn at
    // side x side (with `convertible`, also any value that converts to a QIcon); other
    // values draw nothing.
    static void drawDecoration(QPainter* painter, const QVariant& decoration, const QRect& rect, int side,
                               bool convertible);
    // A valid decoration drawn at the cell's left in a column 4 wider than its side;
    // returns the room left for the text (the whole cell without a decoration).
    static QRect drawLeadingDecoration(QPainter* painter, const QVariant& decoration, const QRect& cell,
                                       bool convertible);
    // On a paint event of the viewport, fills it with the background before the view
    // paints over it, and returns true; false for any other event.
    static bool paintViewportBackground(QWidget* viewport, QObject* watched, QEvent* event,
                                        const FillStyle& background);

protected:
    // Every "child" element whose "type" contains "scrollbar" styles one of the bars;
    // those elements are read here only and never written.
    void readScrollBarChildren(const Json::Value& element);

private:
    void readScrollBarChild(const Json::Value& child);

    QPointer<VYRQScrollBar> m_horizontal;
    QPointer<VYRQScrollBar> m_vertical;
};

// Defines a view's scroll-bar setters, declared in its header, as forwarders to its
// implementation object (a VYRQItemViewImpl).
#define VYR_ITEM_VIEW_SCROLLBAR_SETTERS(View)                                                             \
    void View::setScrollbarBackgroundStyle(bool horizontal, const FillStyle& style)                         \
    {                                                                                                       \
        impl()->setScrollbarBackgroundStyle(horizontal, style);                                             \
    }                                                                                                       \
    void View::setScrollbarButtonIcon(bool horizontal, bool up, const QString& icon)                        \
    {                                                                                                       \
        impl()->setScrollbarButtonIcon(horizontal, up, icon);                                               \
    }                                                                                                       \
    void View::setScrollbarButtonIconStyle(bool horizontal, bool up, const IconStyleDesc& style)            \
    {                                                                                                       \
        impl()->setScrollbarButtonIconStyle(horizontal, up, style);                                         \
    }                                                                                                       \
    void View::setScrollbarButtonStyle(bool horizontal, bool up, CtrlState state, const FillStyle& style)   \
    {                                                                                                       \
        impl()->setScrollbarButtonStyle(horizontal, up, state, style);                                      \
    }                                                                                                       \
    void View::setScrollbarThumb(bool horizontal, const QString& icon)                                      \
    {                                                                                                       \
        impl()->setScrollbarThumb(horizontal, icon);                                                        \
    }                                                                                                       \
    void View::setScrollbarThumbStyle(bool horizontal, CtrlState state, const FillStyle& style)             \
    {                                                                                                       \
        impl()->setScrollbarThumbStyle(horizontal, state, style);                                           \
    }                                                                                                       \
    void View::setScrollbarBtnSize(bool horizontal, int size)                                               \
    {                                                                                                       \
        impl()->setScrollbarBtnSize(horizontal, size);                                                      \
    }                                                                                                       \
    void View::setScrollbarSize(bool horizontal, int size)                                                  \
    {                                                                                                       \
        impl()->setScrollbarSize(horizontal, size);                                                         \
    }

// Defines the background and item style accessors of a view whose implementation
// object keeps `background`, `itemBackgrounds` and `itemTextStyles`; the background
// is one style for every state.
#define VYR_ITEM_VIEW_ITEM_STYLES(View)                                                                     \
    void View::setBackground(CommonCtrlState, const FillStyle& style)                                       \
    {                                                                                                       \
        impl()->background = style;                                                                         \
    }                                                                                                       \
    const FillStyle& View::getBackground(CommonCtrlState) const                                             \
    {                                                                                                       \
        return impl()->background;                                                                          \
    }                                                                                                       \
    void View::setItemBackground(CtrlState state, const FillStyle& style)                                   \
    {                                                                                                       \
        impl()->itemBackgrounds.set(state, style);                                                          \
    }                                                                                                       \
    const FillStyle& View::getItemBackground(CtrlState state) const                                         \
    {                                                                                                       \
        return impl()->itemBackgrounds.get(state);                                                          \
    }                                                                                                       \
    void View::setItemTextStyle(CtrlState state, const TextStyleDesc& style)                                \
    {                                                                                                       \
        impl()->itemTextStyles.set(state, style);                                                           \
    }                                                                                                       \
    const TextStyleDesc& View::getItemTextStyle(CtrlState state) const                                      \
    {                                                                                                       \
        return impl()->itemTextStyles.get(state);                                                           \
    }
