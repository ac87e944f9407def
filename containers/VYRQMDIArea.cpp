#include "VYRQMDIArea.h"

VYRQMDIArea::VYRQMDIArea() = default;

VYRQMDIArea::~VYRQMDIArea()
{
    m_windows.clear();
}
