#pragma once

#include "VYRQExport.h"

#include "VYRQItemViewImpl.h"
#include "VYRQStateStyles.h"

#include <memory>

class VYRQTreeView;
class VYRQTreeViewItemDelegate;

// The tree's state, read by its item delegate and its corner.
class VYRQTLIB_EXPORT VYRQTreeViewImpl : public VYRQItemViewImpl {
    Q_OBJECT
public:
    explicit VYRQTreeViewImpl(VYRQTreeView* owner);
    ~VYRQTreeViewImpl() override;

    void drawControl(QPainter* painter, const QRect& rect) override;
    void createComplete() override;
    void setScrollbarBtnSize(bool horizontal, int size) override;
    void setScrollbarSize(bool horizontal, int size) override;
    // The height rows are given, from the stored one as rowSize() bounds it.
    int rowHeight() const { return rowSize(itemHeight); }

    int scrollbarSize = 23;
    int scrollbarButtonSize = 23;
    int itemHeight = 0;
    FillStyle background;
    vyr::FillStates itemBackgrounds;
    vyr::TextStates itemTextStyles;
    // Stored only: the header stays hidden.
    vyr::FillStates headerBackgrounds;
    vyr::TextStates headerTextStyles;
    std::unique_ptr<VYRQTreeViewItemDelegate> delegate;

private:
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQTreeView* q;
};
