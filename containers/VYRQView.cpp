#include "VYRQView.h"

VYRQView::VYRQView() = default;

VYRQView::~VYRQView() = default;
