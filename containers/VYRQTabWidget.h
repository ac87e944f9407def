#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QVariant>
#include <QWidget>

class VYRQTabWidgetImpl;

// An own-drawn strip of equally sized tabs, each with a text, an icon, an icon for
// the selected look and a user value. It holds no pages: a press selects a tab and
// emits currentChanged(), and the host switches its content.
class VYRQTLIB_EXPORT VYRQTabWidget : public VYRQControl<VYRQTabWidget, QWidget, VYRQTabWidgetImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQTabWidget, "qttab")
public:
    explicit VYRQTabWidget(QWidget* parent = nullptr);
    ~VYRQTabWidget() override;

    // Tabs are added in code only; they are not part of the control's JSON.
    // An empty selectedIcon shows icon also while the tab is selected. No repaint.
    void addTab(const QString& text, const QString& icon, const QString& selectedIcon);
    // Neither adjusts the selected or hovered index.
    void removeTab(int index);
    void clear();
    int getTabCount() const;
    QString getTabText(int index) const;
    bool setItemData(int index, QVariant value);
    QVariant getItemData(int index) const;

    int getSelectedIndex() const;
    // Emits currentChanged() only when the index changes; a negative index selects
    // no tab, an index at or beyond the count is ignored.
    void setSelectedIndex(int index);
    // Adds the demonstration tabs in emulator mode.
    void initDemoData();

    // None of the appearance setters repaints.
    void setBackground(const FillStyle& style);
    const FillStyle& getBackground() const;
    // States 0 (normal), 1 (hovered), 2 (selected), 3 (disabled), or 4 for all.
    void setItemBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getItemBackground(CtrlState state) const;
    void setItemTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getItemTextStyle(CtrlState state) const;
    void setIsHor(bool hor);
    bool getIsHor() const;
    void setItemSize(int size);
    int getItemSize() const;
    void setItemSpace(int space);
    int getItemSpace() const;
    void setShowText(bool show);
    bool getShowText() const;
    void setShowIcon(bool show);
    bool getShowIcon() const;

    // The rectangle of tab `index` (also for tabs beyond the control).
    QRect tabRect(int index) const;
    // The first tab containing `pos`, or -1.
    int tabAt(const QPoint& pos) const;
    int getHoverIndex() const;

Q_SIGNALS:
    void currentChanged(int index);

protected:
    // Tabs follow the mouse themselves; the interaction state is left alone.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

};
