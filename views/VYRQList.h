#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QListWidget>

class VYRQListImpl;

// The themed list of text items: QListWidget's items and selection, painted from
// per-state item backgrounds and text styles with an optional decoration image, a
// fixed item height, a themed background and the library's own scroll bars.
class VYRQTLIB_EXPORT VYRQList : public VYRQControl<VYRQList, QListWidget, VYRQListImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQList, "qtlist")
public:
    explicit VYRQList(QWidget* parent = nullptr);
    ~VYRQList() override;

    // Stored as given; a height of 0 or less gives rows of 20.
    void setItemHeight(int h);
    int getItemHeight() const;
    // Multi selection when true, single selection when false; any mode but single
    // selection counts as multiple.
    void setIsMultiSelected(bool on);
    bool getIsMultiSelected() const;

    // No repaint. One background for both states; the item styles take 0 to 3 for one
    // state and 4 for all four.
    void setBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CommonCtrlState state) const;
    void setItemBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getItemBackground(CtrlState state) const;
    void setItemTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getItemTextStyle(CtrlState state) const;

    // Scroll bars: the first argument chooses the horizontal (true) or vertical bar.
    void setScrollbarBackgroundStyle(bool horizontal, const FillStyle& style);
    void setScrollbarButtonIcon(bool horizontal, bool up, const QString& icon);
    void setScrollbarButtonIconStyle(bool horizontal, bool up, const IconStyleDesc& style);
    void setScrollbarButtonStyle(bool horizontal, bool up, CtrlState state, const FillStyle& style);
    void setScrollbarThumb(bool horizontal, const QString& icon);
    void setScrollbarThumbStyle(bool horizontal, CtrlState state, const FillStyle& style);
    // Does nothing: the thickness also gives the button size.
    void setScrollbarBtnSize(bool horizontal, int size);
    // Thickness and button size of both bars: replaces both bars' style sheets.
    void setScrollbarSize(bool horizontal, int size);

    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;

    // Before the rows are laid out, their spacing is held within their room (rows,
    // sizes and spacing add up in int).
    void doItemsLayout() override;

protected:
    // The background is painted into the viewport before each of its paint events.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
