#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QComboBox>
#include <QPointer>

class VYRQComboBoxImpl;
class VYRQComboList;

// The themed drop-down selector: a QComboBox whose face is painted entirely from
// theme styles (box background, a square drop-down button with an icon, the current
// item's icon and text, each per interaction state) and whose popup is a
// VYRQComboList with a themed background and rows painted by VYRQComboItemDelegate.
// view() gives that list from construction on, though it is built only when first
// needed (see ensurePopupList()). Items, the current index and the signals are
// QComboBox's own.
class VYRQTLIB_EXPORT VYRQComboBox : public VYRQControl<VYRQComboBox, QComboBox, VYRQComboBoxImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQComboBox, "qtcombobox")
public:
    explicit VYRQComboBox(QWidget* parent = nullptr);
    ~VYRQComboBox() override;

    // Per-state styles and icons, states (row indices) 0 to 3: setters ignore any
    // other value, getters read it as entry 0. None of the setters repaints.
    void setBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getBackground(CtrlState state) const;
    void setBtnBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getBtnBackground(CtrlState state) const;
    void setTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getTextStyle(CtrlState state) const;
    // Popup rows: 0 plain, 1 under the pointer, 2 selected (3 is kept, never drawn).
    void setItemBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getItemBackground(CtrlState state) const;
    void setItemTextStyle(CtrlState state, const TextStyleDesc& style);
    const TextStyleDesc& getItemTextStyle(CtrlState state) const;
    // One popup background: the state argument selects nothing.
    void setPopupBackground(CtrlState state, const FillStyle& style);
    const FillStyle& getPopupBackground(CtrlState state) const;
    void setBtnIcon(CtrlState state, const QString& icon);
    const QString& getBtnIcon(CtrlState state) const;
    void setNormalBtnIcon(const QString& icon);
    const QString& getNormalBtnIcon() const;
    void setHotBtnIcon(const QString& icon);
    const QString& getHotBtnIcon() const;
    // Height of a popup row in pixels (25 unless set).
    void setItemHeight(int height);
    int getItemHeight() const;

    // The emulator's demonstration items (only in emulator mode).
    void initDemoData();

    bool getDelegateItemVisible() const;
    void setDelegateItemVisible(bool visible);

    // The popup list, built on the first call; null when the application has set a
    // view of its own before.
    VYRQComboList* popupList() const;
    // QComboBox operations that are not virtual and reach its list, hidden so that
    // through this class they find the themed one: what a caller reads or sets before
    // the first open is the popup list's (or the application's own view's), and
    // QComboBox builds no list of its own beside it.
    QAbstractItemView* view() const;
    QAbstractItemDelegate* itemDelegate() const;
    void setItemDelegate(QAbstractItemDelegate* delegate);
    void setEditable(bool editable);
    void setModelColumn(int visibleColumn);
    void setRootModelIndex(const QModelIndex& index);
    void setIconSize(const QSize& size);
    void setSizeAdjustPolicy(SizeAdjustPolicy policy);

    void showPopup() override;

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // QComboBox's handlers of these reach its list (a style or font change, a typed
    // letter's search, the wheel), so the themed one is built first.
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    friend class VYRQComboBoxImpl;
    VYRQComboList* ensurePopupList();

    QPointer<VYRQComboList> m_list;
    bool m_listMade = false;
};
