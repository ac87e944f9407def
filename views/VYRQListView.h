#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QListView>
#include <QModelIndex>

class VYRQLabelEx;
class VYRQListViewImpl;

// A list view over any item model whose rows are drawn with an item template: a
// container of library controls that is laid out and painted for every visible row.
// An item display callback fills the template for each row, an item size callback
// may size the rows, and pressCtrl reports the template control pressed in a row.
// Extended labels in the template can have their rich text selected across rows.
class VYRQTLIB_EXPORT VYRQListView : public VYRQControl<VYRQListView, QListView, VYRQListViewImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQListView, "qtlistview")
public:
    using ItemSizeCallBack = QSize (*)(const VYRQListView*, const QStyleOptionViewItem&, const QModelIndex&);
    using ItemDisplayCallBack = void (*)(const VYRQListView*, const QWidget*, const QModelIndex&);
    using LabelExCallBack = void (*)(const VYRQListView*, VYRQLabelEx*, const QModelIndex&);

    explicit VYRQListView(QWidget* parent = nullptr);
    ~VYRQListView() override;

    void setModel(QAbstractItemModel* model) override;

    // Hides the widget and paints it for every row; null is ignored.
    void setItemTemplate(QWidget* itemTemplate);
    QWidget* getitemTemplate() const;
    void setItemDisplayCallBack(ItemDisplayCallBack callBack);
    ItemDisplayCallBack getItemDisplayCallBack() const;
    // The sizes the callback gives are held between 0 and a row's room.
    void setItemForSizeCallBack(ItemSizeCallBack callBack);
    ItemSizeCallBack getItemForSizeCallBack() const;
    // Stored only.
    void setLabelExCallBack(LabelExCallBack callBack);
    LabelExCallBack getLabelExCallBack() const;
    // Rich-text selection in the template's extended labels.
    void setEnableSelection(bool on);
    bool getEnableSelection() const;
    // Drops the selection; no repaint.
    void clearHighLight();

    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;
    // No repaint. One background for both states; an item state outside 0 to 3
    // addresses Normal.
    void setBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CommonCtrlState state) const;
    void setItemBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getItemBackground(CtrlState state) const;
    // No relayout. Sizes of 0 or less give 20; the width counts in icon mode only.
    void setItemHeight(int h);
    int getItemHeight() const;
    void setItemWidth(int w);
    int getItemWidth() const;

    // A model of 20 empty rows.
    void initDemoData();

    // Before the rows are laid out, their spacing is held within their room (rows,
    // sizes and spacing add up in int); the spacing asked for is what pages keep.
    void doItemsLayout() override;

    // Scroll bars: the first argument chooses the horizontal (true) or vertical bar.
    void setScrollbarBackgroundStyle(bool horizontal, const FillStyle& style);
    void setScrollbarButtonIcon(bool horizontal, bool up, const QString& icon);
    void setScrollbarButtonIconStyle(bool horizontal, bool up, const IconStyleDesc& style);
    void setScrollbarButtonStyle(bool horizontal, bool up, CtrlState state, const FillStyle& style);
    void setScrollbarThumb(bool horizontal, const QString& icon);
    void setScrollbarThumbStyle(bool horizontal, CtrlState state, const FillStyle& style);
    // Button length of the chosen bar: replaces that bar's style sheet.
    void setScrollbarBtnSize(bool horizontal, int size);
    // Thickness of both bars, set through the vertical flag (false); true changes
    // nothing. Replaces both bars' style sheets.
    void setScrollbarSize(bool horizontal, int size);

Q_SIGNALS:
    // A press landed on the template control `pWidget` as painted in the row of `index`.
    void pressCtrl(QWidget* pWidget, QModelIndex index);

protected:
    // The background is painted into the viewport before each of its paint events.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};
