#pragma once

#include "VYRQExport.h"

#include "VYRQItemViewImpl.h"
#include "VYRQStateStyles.h"

#include <QPersistentModelIndex>
#include <QSet>

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
    // The height rows are given, from the stored one as rowSize() bounds it among the
    // rows the tree may show. The tree keeps the heights it was given (up to 32767)
    // until its next full layout, and lays its rows out again when their room changes;
    // until then rows of the old room and rows of the new one are on show together, so
    // each room is that of twice the rows and the two add up to no more than rowSpan.
    int rowHeight();
    // The rows the tree may show changed: the model's rows, its root or an expansion.
    void dropShownRows() { shownRowsStale = true; }
    // The model was set or reset, and with it the tree's expanded indexes.
    void forgetExpanded();

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
    // The indexes expanded since the model was set, as the tree reports them. Some may
    // lie under a collapsed parent; their rows count as shown all the same.
    QSet<QPersistentModelIndex> expanded;

private:
    qint64 countShownRows();

    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQTreeView* q;
    qint64 shownRows = 0;
    bool shownRowsStale = true;
};
