#include "VYRQViewport.h"

VYRQViewport::VYRQViewport(VYRQTableViewImpl* impl, QWidget* parent)
    : VYRQConerWidget(impl, parent)
{
}

VYRQViewport::~VYRQViewport() = default;

#include "moc_VYRQViewport.cpp"
