#include "VYRQTreeConerWidget.h"

#include "VYRQTreeViewImpl.h"

#include <QPainter>

VYRQTreeConerWidget::VYRQTreeConerWidget(VYRQTreeViewImpl* impl, QWidget* parent)
    : QWidget(parent)
    , m_impl(impl)
{
}

VYRQTreeConerWidget::~VYRQTreeConerWidget() = default;

void VYRQTreeConerWidget::paintEvent(QPaintEvent*)
{
    if (!m_impl)
        return;
    QPainter painter(this);
    VYRQWidgetBaseImpl::drawFillStyle(&painter, m_impl->background, rect());
}

#include "moc_VYRQTreeConerWidget.cpp"
