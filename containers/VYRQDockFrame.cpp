#include "VYRQDockFrame.h"

VYRQDockFrame::VYRQDockFrame() = default;

VYRQDockFrame::~VYRQDockFrame() = default;

#include "moc_VYRQDockFrame.cpp"
