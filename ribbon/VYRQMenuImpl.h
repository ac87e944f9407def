#pragma once

#include "VYRQExport.h"

#include "VYRQStateStyles.h"
#include "VYRQWidgetBaseImpl.h"

class QAction;
class VYRQMenu;

// The popup menu's styles, icon column and hovered item.
class VYRQTLIB_EXPORT VYRQMenuImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    explicit VYRQMenuImpl(VYRQMenu* owner);
    ~VYRQMenuImpl() override;

    void drawControl(QPainter* painter, const QRect& rect) override;

    // Copies the background and the item styles into a sub-menu (not the icon column).
    void copyStylesTo(VYRQMenuImpl& other) const;

    // Painting uses the Normal and Hot slots; Pressed and Disable are only carried.
    vyr::FillStates itemStyles;
    vyr::TextStates itemTextStyles;
    FillStyle background;
    int iconOffset = 0;
    int hoveredIndex = -1;

protected:
    // The menu keys. Writing adds nothing of its own: the menu file is read-only.
    void readJson(const Json::Value& element) override;

private:
    void readStyleKeys(const Json::Value& element);
    void drawItem(QPainter* painter, QAction* action, bool hot) const;

    VYRQMenu* q;
};
