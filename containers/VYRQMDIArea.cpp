#include "VYRQMDIArea.h"

VYRQMDIArea::VYRQMDIArea() = default;

VYRQMDIArea::~VYRQMDIArea()
{
    m_windows.clear();
}

#include "moc_VYRQMDIArea.cpp"
