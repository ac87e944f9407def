#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QList>
#include <QTableView>

class VYRQContainer;
class VYRQTableHeader;
class VYRQTableViewImpl;

// The themed table over any item model: row selection, per-state cell and header
// styles, a hover row, an optional check column (the check state of column 0, with
// a select-all icon in the first header section), per-cell images (model role 356),
// containers painted into every cell of a column with their child controls
// clickable, and the library's own scroll bars.
class VYRQTLIB_EXPORT VYRQTableView : public VYRQControl<VYRQTableView, QTableView, VYRQTableViewImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQTableView, "qtdatagrid")
public:
    explicit VYRQTableView(QWidget* parent = nullptr);
    ~VYRQTableView() override;

    void setModel(QAbstractItemModel* model) override;

    // Every model row with at least one selected index, once each, in no set order.
    QList<int> selectedRows() const;

    // Row height; values of 0 or less are ignored.
    void setItemHeight(int h);
    int getItemHeight() const;
    // The check column; no repaint.
    void setCheckstyle(bool on);
    bool getCheckstyle() const;
    // Names the checked or unchecked icon; an existing image also gives the check size.
    void setCheckBoxImage(bool checked, const QString& name);
    QString getCheckBoxImage(bool checked) const;
    // Store the name only.
    void setCheckedImage(const QString& name);
    QString getCheckedImage() const;
    void setUncheckedImage(const QString& name);
    QString getUncheckedImage() const;

    // A container painted into every cell of the column; it is hidden and not owned.
    // Null removes the column's container. No repaint.
    void setColumnWidget(int column, VYRQContainer* container);
    VYRQContainer* getColumnWidget(int column) const;

    // The style setters do not repaint. The background is one style for both states;
    // the others take 0 to 3 for one state and 4 for all four.
    void setBackground(CommonCtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CommonCtrlState state) const;
    void setItemBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getItemBackground(CtrlState state) const;
    void setItemTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getItemTextStyle(CtrlState state) const;
    void setHeaderBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getHeaderBackground(CtrlState state) const;
    void setHeaderTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getHeaderTextStyle(CtrlState state) const;

    // Scroll bars: the first argument chooses the horizontal (true) or vertical bar.
    void setScrollbarBackgroundStyle(bool horizontal, const FillStyle& style);
    void setScrollbarButtonIcon(bool horizontal, bool up, const QString& icon);
    void setScrollbarButtonIconStyle(bool horizontal, bool up, const IconStyleDesc& style);
    void setScrollbarButtonStyle(bool horizontal, bool up, CtrlState state, const FillStyle& style);
    void setScrollbarThumb(bool horizontal, const QString& icon);
    void setScrollbarThumbStyle(bool horizontal, CtrlState state, const FillStyle& style);
    // Button size of both bars, used by the next setScrollbarSize.
    void setScrollbarBtnSize(bool horizontal, int size);
    // Thickness of both bars: replaces both bars' style sheets.
    void setScrollbarSize(bool horizontal, int size);

    // The demonstration model of the emulator (nothing outside it).
    void initDemoData();

    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;

Q_SIGNALS:
    // The header's select-all icon was toggled to `check`.
    void headerCheckedChanged(bool check);
    // A press hit the child control `name` of a cell-hosted container in `row`.
    void customControlClicked(int row, const QString& name);

protected:
    void headerChecked(bool check);

    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class VYRQTableHeader;
    friend class VYRQTableViewImpl;
    friend class VYRQTableViewitemDelegate;
};
