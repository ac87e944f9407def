#pragma once

#include "VYRQExport.h"
#include "VYRQItemDelegate.h"

#include "VYRQLabelExImpl.h"

#include <QPointer>
#include <QVector>

class VYRQLabelEx;
class VYRQListViewImpl;

// Paints every row of a template list view by laying its item template out in the
// row and drawing the template's controls there; finds the control under a press,
// and selects rich text across the rows' extended labels.
class VYRQTLIB_EXPORT VYRQListViewItemDelegate : public VYRQItemDelegate {
    Q_OBJECT
public:
    explicit VYRQListViewItemDelegate(VYRQListViewImpl* impl);
    ~VYRQListViewItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The template first, then its library controls depth first.
    void collectTemplateControls(QWidget* itemTemplate);
    void clearHighLight();
    void endDrag() { m_pressed = false; }
    int templateControlCount() const { return m_controls.size(); }

private:
    struct Control {
        QPointer<QWidget> widget;
        VYRQWidgetBaseImpl* impl;
    };
    struct Anchor {
        int row = -1;
        TextPosition position;
    };
    // What loadRowText last read into a label, until anything changes that label's
    // document.
    struct LoadedText {
        QPointer<VYRQLabelEx> label;
        int row = -1;
        QString text;
    };

    // The control painted in `row` under `point` (viewport coordinates), never the
    // template itself; -1 for none.
    int controlAt(int row, const QPoint& point, QRect* rect) const;
    // Selects the part of the label's text that the selection covers in `row`;
    // false when it covers none of it.
    bool selectInRow(VYRQLabelExImpl* label, int row) const;
    // The row's cached rich text into the label, unless the label's document holds it
    // already, laid out for the control's rectangle.
    void loadRowText(VYRQLabelEx* label, int row, const QRect& rect) const;
    void forgetLoadedText();

    QPointer<QWidget> m_hovered;
    QPointer<VYRQListViewImpl> m_impl;
    QVector<Control> m_controls;
    Anchor m_start;
    Anchor m_end;
    mutable LoadedText m_loaded;
    bool m_pressed = false;
    bool m_cursorChanged = false;
};
