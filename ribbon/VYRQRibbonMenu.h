#pragma once

#include "VYRQExport.h"

#include "VYRQMenu.h"

// A popup menu of ribbon commands: items carry a command identifier (the action's
// object name), separators show as lines and checked commands get a tick, both
// painted over the themed items.
class VYRQTLIB_EXPORT VYRQRibbonMenu : public VYRQMenu {
    Q_OBJECT
public:
    explicit VYRQRibbonMenu(QWidget* parent = nullptr);
    explicit VYRQRibbonMenu(const QString& title, QWidget* parent = nullptr);
    ~VYRQRibbonMenu() override;

    // The icon path (also an empty one) is kept in "vyrRibbonIconPath".
    QAction* addCommand(const QString& commandId, const QString& text, const QString& iconPath, bool checkable);

protected:
    void paintEvent(QPaintEvent* event) override;
};
