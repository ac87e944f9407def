#pragma once

#include "VYRQExport.h"

#include "VYRQItemViewImpl.h"
#include "VYRQListSpacing_p.h"
#include "VYRQListView.h"
#include "VYRQStateStyles.h"

#include <QHash>
#include <QMap>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <memory>

class VYRQListViewItemDelegate;

// The template list view's state, read by its item delegate.
class VYRQTLIB_EXPORT VYRQListViewImpl : public VYRQItemViewImpl {
    Q_OBJECT
public:
    explicit VYRQListViewImpl(VYRQListView* owner);
    ~VYRQListViewImpl() override;

    VYRQListView* view() const { return q; }

    void createComplete() override;
    void setScrollbarBtnSize(bool horizontal, int size) override;
    void setScrollbarSize(bool horizontal, int size) override;

    // Whatever was cached per row no longer belongs to the rows the model holds now.
    void dropRowCaches();
    // The rows' texts changed: their cached rich text is stale.
    void dropRichText() { rowRichText.clear(); }

    // The rows under the view's root.
    int rows() const;

    bool enableSelection = false;
    int itemHeight = 20;
    VYRQListSpacing spacing{0};
    int itemWidth = 20;
    QPointer<QWidget> itemTemplate;
    FillStyle background;
    vyr::FillStates itemBackgrounds;
    VYRQListView::ItemSizeCallBack itemSizeCallBack = nullptr;
    VYRQListView::ItemDisplayCallBack itemDisplayCallBack = nullptr;
    VYRQListView::LabelExCallBack labelExCallBack = nullptr;
    // Where each template control (by its implementation object) was last painted,
    // per row, in viewport coordinates.
    QMap<int, QHash<const VYRQWidgetBaseImpl*, QRect>> rowRects;
    // The rich text of each row's extended label, cached while selection is on.
    QMap<int, QString> rowRichText;
    std::unique_ptr<VYRQListViewItemDelegate> delegate;

private:
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQListView* q;
};
