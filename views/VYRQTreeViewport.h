#pragma once

#include "VYRQExport.h"

#include <QPointer>
#include <QWidget>

class VYRQTreeViewImpl;

// The tree's viewport. The tree paints its background through an event filter.
class VYRQTLIB_EXPORT VYRQTreeViewport : public QWidget {
    Q_OBJECT
public:
    explicit VYRQTreeViewport(VYRQTreeViewImpl* impl, QWidget* parent = nullptr);
    ~VYRQTreeViewport() override;

private:
    QPointer<VYRQTreeViewImpl> m_impl;
};
