#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QTreeView>

class VYRQTreeViewImpl;

// The themed tree over any item model: whole-row single selection, a hidden header,
// items painted from per-state backgrounds and text styles with an optional
// decoration icon, a themed background behind the tree, its viewport and corner, and
// the library's own scroll bars.
class VYRQTLIB_EXPORT VYRQTreeView : public VYRQControl<VYRQTreeView, QTreeView, VYRQTreeViewImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQTreeView, "qttree")
public:
    explicit VYRQTreeView(QWidget* parent = nullptr);
    ~VYRQTreeView() override;

    void setModel(QAbstractItemModel* model) override;
    // Counts again the rows the tree may show, which bound the rows' height.
    void doItemsLayout() override;

    // No repaint. One background for both states; the item and header styles take 0
    // to 3 for one state and 4 for all four.
    void setBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CommonCtrlState state) const;
    void setItemBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getItemBackground(CtrlState state) const;
    void setItemTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getItemTextStyle(CtrlState state) const;
    // Stored only: the header is not shown.
    void setHeaderBgStyle(CtrlState state, const FillStyle& style);
    void setHeaderTextStyle(CtrlState state, const TextStyleDesc& style);
    // Row height; 0 (the default) gives rows of 20. No relayout.
    void setItemHeight(int h);
    int getItemHeight() const;

    // Thickness of both bars, whichever the flag: replaces both bars' style sheets.
    void setScrollbarSize(bool horizontal, int size);
    // Stored only.
    void setScrollbarBtnSize(bool horizontal, int size);
    // Scroll bars: the first argument chooses the horizontal (true) or vertical bar.
    void setScrollbarBackgroundStyle(bool horizontal, const FillStyle& style);
    void setScrollbarButtonIcon(bool horizontal, bool up, const QString& icon);
    void setScrollbarButtonIconStyle(bool horizontal, bool up, const IconStyleDesc& style);
    void setScrollbarButtonStyle(bool horizontal, bool up, CtrlState state, const FillStyle& style);
    void setScrollbarThumb(bool horizontal, const QString& icon);
    void setScrollbarThumbStyle(bool horizontal, CtrlState state, const FillStyle& style);

    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;

protected:
    // The background is painted into the viewport before each of its paint events.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    friend class VYRQTreeViewImpl;
};
