#pragma once

#include "VYRQExport.h"

#include "VYRQPushButton.h"
#include "VYRQRibbonTypes.h"

#include <QIcon>
#include <QPointer>

class QAction;
class VYRQRibbonMenu;

// The ribbon's one command control: a push button that mirrors a QAction (text, tool
// tip, enabled, checkable, checked, icon), comes in three item sizes with fixed size
// hints, and can open a ribbon menu at once or from a split indicator strip. It draws
// itself from the push button's styles, which the ribbon bar sets.
//
// The dynamic property "vyrRibbonContextColor" (a QColor) draws a strip in that colour
// along the top edge.
class VYRQTLIB_EXPORT VYRQRibbonButton : public VYRQPushButton {
    Q_OBJECT
public:
    VYRQRibbonButton(QWidget* parent, VYR_RIBBON_ITEM_SIZE size);
    ~VYRQRibbonButton() override;

    VYR_RIBBON_ITEM_SIZE itemSize() const { return m_itemSize; }
    void setItemSize(VYR_RIBBON_ITEM_SIZE size);
    VYR_RIBBON_POPUP_MODE popupMode() const { return m_popupMode; }
    void setPopupMode(VYR_RIBBON_POPUP_MODE mode);

    // Watched, not owned; a menu without a parent becomes the button's child.
    VYRQRibbonMenu* popupMenu() const;
    void setPopupMenu(VYRQRibbonMenu* menu);

    // Watched, not owned: the button follows the action's changes.
    QAction* ribbonAction() const;
    void setRibbonAction(QAction* action);

    // An icon path; it takes precedence over the action's QIcon.
    QString ribbonIcon() const { return m_ribbonIcon; }
    void setRibbonIcon(const QString& path);

    // The strip that opens the menu: along the bottom of a large button, along the
    // right side of the others; invalid without a popup mode and a menu.
    QRect popupIndicatorRect() const;

    QSize sizeHint() const override;

signals:
    void menuAboutToShow();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showPopupMenu();
    void syncFromAction();
    void onClicked();
    // The push button's icon setters also move its icon and text offsets for its
    // own layout; the ribbon button places its icon itself and keeps them.
    template <class Icon>
    void setButtonIcon(const Icon& icon);
    void setShownIcon(const QString& path);
    CtrlState paintState() const;
    int iconSide() const;   // of a ribbon icon, as drawn
    QRect iconRect() const;
    QRect textRect() const;
    bool hasIcon() const;
    QColor contextColor() const;

    VYR_RIBBON_ITEM_SIZE m_itemSize;
    VYR_RIBBON_POPUP_MODE m_popupMode = VYR_RIBBON_POPUP_MODE::none;
    QPointer<QAction> m_action;
    QPointer<VYRQRibbonMenu> m_menu;
    QString m_ribbonIcon;
    QIcon m_ribbonQIcon;   // the icon of m_ribbonIcon, made once per path and icon side
    bool m_popupOpenedByPress = false;
};
