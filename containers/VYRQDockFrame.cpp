#include "VYRQDockFrame.h"

VYRQDockFrame::VYRQDockFrame() = default;

VYRQDockFrame::~VYRQDockFrame() = default;
