#include "VYRQTreeViewport.h"

#include "VYRQTreeViewImpl.h"

VYRQTreeViewport::VYRQTreeViewport(VYRQTreeViewImpl* impl, QWidget* parent)
    : QWidget(parent)
    , m_impl(impl)
{
}

VYRQTreeViewport::~VYRQTreeViewport() = default;

#include "moc_VYRQTreeViewport.cpp"
