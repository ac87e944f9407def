#pragma once

#include "VYRQConerWidget.h"

// The table's viewport; painted like the corner.
class VYRQViewport : public VYRQConerWidget {
    Q_OBJECT
public:
    explicit VYRQViewport(VYRQTableViewImpl* impl, QWidget* parent = nullptr);
    ~VYRQViewport() override;
};
