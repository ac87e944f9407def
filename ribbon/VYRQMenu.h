#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QMenu>

class QAction;
class QHideEvent;
class VYRQMenuImpl;

// The themed popup menu: a QMenu that paints its background and every item itself
// from named styles (one background, item fills and item texts per state) and can
// carry an icon path per item, SVG icons drawn through the resource manager. A menu
// file describes a whole menu tree ("background", "item0".."item3", "text0".."text3",
// nested "items"); the menu file loader builds one and reads it in.
//
// Not a palette control: it has a type key but no registry entry or designer record.
class VYRQTLIB_EXPORT VYRQMenu : public VYRQControl<VYRQMenu, QMenu, VYRQMenuImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
public:
    // Frameless and translucent, theme element applied.
    explicit VYRQMenu(QWidget* parent = nullptr);
    // An ordinary popup window with default styles: no theme element.
    explicit VYRQMenu(const QString& title, QWidget* parent = nullptr);
    ~VYRQMenu() override;

    static const char* typeName() { return "qtmenu"; }
    static QWidget* createVYRQMenu();

    // The path is kept in the action's "vyr_menu_icon_path"; a bitmap path also
    // becomes the action's QIcon.
    QAction* addIconAction(const QString& iconPath, const QString& text);

    // None of the setters repaints. Item styles exist for the four states 0 to 3
    // only: other states are ignored.
    void setBackground(const FillStyle& style);
    void setItemStyle(CtrlState state, const FillStyle& style);
    void setItemTextStyle(CtrlState state, const TextStyleDesc& style);
    // Width of the icon column at the left of every item; 0 draws no icons.
    void setIconOffset(int offset);

    // The size hint Qt uses for the popup stays QMenu's own.
    using QMenu::sizeHint;

protected:
    // QMenu's size hint widened by the icon column; Qt's own popup sizing does not
    // call it.
    QSize sizeHint();

    void mouseMoveEvent(QMouseEvent* event) override;
    // Presses and releases are QMenu's: they leave the interaction state alone.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class VYRQMenuImpl;
};
