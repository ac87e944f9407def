#pragma once

#include "VYRQExport.h"

#include "VYRQItemViewImpl.h"
#include "VYRQListSpacing_p.h"
#include "VYRQStateStyles.h"

#include <memory>

class VYRQList;
class VYRQListItemDelegate;

// The list's state, read by its item delegate.
class VYRQTLIB_EXPORT VYRQListImpl : public VYRQItemViewImpl {
    Q_OBJECT
public:
    explicit VYRQListImpl(VYRQList* owner);
    ~VYRQListImpl() override;

    void createComplete() override;
    void setScrollbarBtnSize(bool horizontal, int size) override;
    void setScrollbarSize(bool horizontal, int size) override;
    // The height rows are given, from the stored one as rowSize() bounds it among the
    // list's rows.
    int rowHeight() const;

    int itemHeight = 20;
    VYRQListSpacing spacing{0};
    FillStyle background;
    vyr::FillStates itemBackgrounds;
    vyr::TextStates itemTextStyles;
    std::unique_ptr<VYRQListItemDelegate> delegate;

private:
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    VYRQList* q;
};
