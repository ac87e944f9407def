#pragma once

#include "VYRQExport.h"

#include "VYRQStateStyles.h"
#include "VYRQWidgetBaseImpl.h"

class VYRQMenuBar;

// The menu bar's styles and its hovered and pressed items. "style" slots: 0 the
// background, 1-4 item fills, 5-8 item texts, 9 the popup background (and, from
// the same name, the popup item fills), 9-12 popup item fills, 13-16 popup texts.
class VYRQTLIB_EXPORT VYRQMenuBarImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    explicit VYRQMenuBarImpl(VYRQMenuBar* owner);
    ~VYRQMenuBarImpl() override;

    void drawControl(QPainter* painter, const QRect& rect) override;

    int hoveredIndex = -1;
    int pressedIndex = -1;
    FillStyle background;
    vyr::TextStates itemTextStyles;
    vyr::FillStates itemBackgrounds;
    FillStyle popupBackground;
    vyr::TextStates popupItemTextStyles;
    vyr::FillStates popupItemBackgrounds;

protected:
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

private:
    void readStyleEntry(const QString& name, int slot);

    VYRQMenuBar* q;
};
