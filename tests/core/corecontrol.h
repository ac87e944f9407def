#pragma once

// A minimal library control for the core tests: one per-state fill array read from
// "style" slots 0 to 3, and two attr keys of its own ("level" and "tint").

#include "VYRQControl.h"
#include "VYRQJson.h"
#include "VYRQStateStyles.h"

#include <QPainter>

class CoreControlImpl : public VYRQWidgetBaseImpl {
public:
    explicit CoreControlImpl(QWidget* owner) : VYRQWidgetBaseImpl(owner, QStringLiteral("corecontrol")) {}

    void drawControl(QPainter* painter, const QRect& rect) override
    {
        ++paints;
        paintedState = ctrlState();
        drawFillStyle(painter, fills.get(ctrlState()), rect);
    }

    bool serializeJson(Json::Value*& json, bool read) override
    {
        if (!VYRQWidgetBaseImpl::serializeJson(json, read))
            return false;
        if (read) {
            themeSwitchDuringRead = isApplyingTheme();
            forEachStyleEntry(*json, [this](const QString& name, int kind, int slot) {
                FillStyle style;
                if (kind == 1 && lookupFill(name, style))
                    fills.readSlot(slot, style);
            });
            if (const Json::Value* attr = vyr::json::object(*json, "attr")) {
                readOwnAttr(*attr, "level", level);
                readOwnColor(*attr, "tint", tint);
            }
            return true;
        }
        Json::Value styles(Json::arrayValue);
        fills.write(styles, 0);
        if (!styles.empty())
            (*json)["style"] = styles;
        if (level != 0)
            (*json)["attr"]["level"] = level;
        if (tint.isValid())
            (*json)["attr"]["tint"] = vyr::json::colorToText(tint);
        return true;
    }

    vyr::FillStates fills;
    int level = 0;
    QColor tint;
    int paints = 0;
    CtrlState paintedState = Normal;
    bool themeSwitchDuringRead = false;
};

class CoreControl : public VYRQControl<CoreControl, QWidget, CoreControlImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(CoreControl, "corecontrol")
public:
    explicit CoreControl(QWidget* parent = nullptr) : VYRQControl(parent) { finishConstruction(); }
};

inline ControlInfo CoreControl::getProps()
{
    return vyr::makeControlInfo("corecontrol", "CoreControl", "Test", "Control of the core tests", "test");
}

// Reads `text` as JSON; an empty value when it does not parse.
inline Json::Value jsonOf(const char* text)
{
    Json::Value v;
    vyr::json::parse(QByteArray(text), v);
    return v;
}
