#pragma once

#include "VYRQStateStyles.h"
#include "VYRQWidgetBaseImpl.h"

#include <QRect>
#include <QStyle>

#include <array>

class VYRQComboBox;

// The combo box's state: the looks of its face, its popup and the popup rows. The
// popup list and its item delegate read the row styles from here.
// Private, but exported: the test suites reach into it.
class VYRQTLIB_EXPORT VYRQComboBoxImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    explicit VYRQComboBoxImpl(VYRQComboBox* owner);
    ~VYRQComboBoxImpl() override;

    void drawControl(QPainter* painter, const QRect& rect) override;
    void createComplete() override;

    // Face and row layout, for a control (or row) rectangle.
    static QRect faceIconRect(const QRect& rect);
    static QRect faceTextRect(const QRect& rect, bool hasIcon);
    static QRect buttonRect(const QRect& rect);
    static QRect rowIconRect(const QRect& rect);
    static QRect rowTextRect(const QRect& rect, bool hasIcon);
    // Left-aligned texts keep at least 10 pixels from the left edge.
    static TextStyleDesc placedTextStyle(const TextStyleDesc& style);
    // Row style of a popup row: pointer-over wins over selected.
    static int rowStyleIndex(QStyle::State state);

    VYRQComboBox* q;
    std::array<QString, CtrlStateCount> btnIcon;
    int itemHeight = 25;
    vyr::FillStates background;
    vyr::FillStates btnBackground;
    vyr::TextStates textStyle;
    FillStyle popupBackground;
    vyr::FillStates itemBackground;
    vyr::TextStates itemTextStyle;

private:
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;
};
