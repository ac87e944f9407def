#pragma once

#include "VYRQExport.h"

#include <QPointer>
#include <QWidget>

class VYRQTreeViewImpl;

// The tree's corner between the scroll bars, filled with the tree's background.
class VYRQTLIB_EXPORT VYRQTreeConerWidget : public QWidget {
    Q_OBJECT
public:
    explicit VYRQTreeConerWidget(VYRQTreeViewImpl* impl, QWidget* parent = nullptr);
    ~VYRQTreeConerWidget() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<VYRQTreeViewImpl> m_impl;
};
