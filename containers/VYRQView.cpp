#include "VYRQView.h"

VYRQView::VYRQView() = default;

VYRQView::~VYRQView() = default;

#include "moc_VYRQView.cpp"
