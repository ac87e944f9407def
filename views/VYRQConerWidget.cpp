#include "VYRQConerWidget.h"

#include "VYRQTableViewImpl.h"

#include <QPainter>

VYRQConerWidget::VYRQConerWidget(VYRQTableViewImpl* impl, QWidget* parent)
    : QWidget(parent)
    , m_impl(impl)
{
}

VYRQConerWidget::~VYRQConerWidget() = default;

void VYRQConerWidget::paintEvent(QPaintEvent*)
{
    if (!m_impl)
        return;
    QPainter painter(this);
    VYRQWidgetBaseImpl::drawFillStyle(&painter, m_impl->background, rect());
}

#include "moc_VYRQConerWidget.cpp"
