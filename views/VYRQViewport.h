#pragma once

#include "VYRQExport.h"

#include "VYRQConerWidget.h"

// The table's viewport; painted like the corner.
class VYRQTLIB_EXPORT VYRQViewport : public VYRQConerWidget {
    Q_OBJECT
public:
    explicit VYRQViewport(VYRQTableViewImpl* impl, QWidget* parent = nullptr);
    ~VYRQViewport() override;
};
