#pragma once

#include "VYRQToggleImpl_p.h"

class VYRQCheckBox;

// The check box's state. Item views and the property list draw check boxes through it.
class VYRQCheckBoxImpl : public VYRQToggleImpl {
    Q_OBJECT
public:
    // Names of the box images that start-up paints into the default resource set.
    static const QString defaultUncheckIcon;
    static const QString defaultCheckedIcon;

    explicit VYRQCheckBoxImpl(VYRQCheckBox* owner);
    ~VYRQCheckBoxImpl() override;

    void drawControl(QPainter* painter, const QRect& rect) override;

    // Where the text starts: right of a near-edge icon, else at 0. The unchecked icon
    // measures the gap in every state, so the text does not move when toggled.
    int textStart() const;
    // The icon of an interaction state; empty for none.
    const QString& iconFor(CtrlState state, bool checked) const;

    QString disableCheckedIcon;
    QString disableUncheckIcon;

private:
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQCheckBox* q;
};
