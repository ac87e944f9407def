#include "VYRQWindowFrame.h"

#include "VYRQWindowImpl_p.h"

VYRQWindowFrame::VYRQWindowFrame(VYRQWindowImpl* impl)
    : m_impl(impl)
{
}

VYRQWindowFrame::~VYRQWindowFrame() = default;

void VYRQWindowFrame::setResizeable(bool on) { m_impl->setResizeable(on); }
bool VYRQWindowFrame::getResizeable() const { return m_impl->resizeable; }
void VYRQWindowFrame::setCanDrag(bool on) { m_impl->canDrag = on; }
bool VYRQWindowFrame::getCanGrag() const { return m_impl->canDrag; }
void VYRQWindowFrame::setOnlyDragCaption(bool on) { m_impl->onlyDragCaption = on; }
bool VYRQWindowFrame::getOnlyDragCaption() const { return m_impl->onlyDragCaption; }
void VYRQWindowFrame::setCaptionHeight(int height) { m_impl->captionHeight = height; }
bool VYRQWindowFrame::getCaptionHeight() const { return m_impl->captionHeight != 0; }
void VYRQWindowFrame::setShowBackground(bool on) { m_impl->showBackground = on; }
void VYRQWindowFrame::setUseFillColor(bool on) { m_impl->useFillColor = on; }
void VYRQWindowFrame::setBackgroundColor(const FillRes& color) { m_impl->backgroundColor = color; }
void VYRQWindowFrame::setTransparent(bool on) { m_impl->setTransparent(on); }
void VYRQWindowFrame::setX(int x) { m_impl->setX(x); }
void VYRQWindowFrame::setY(int y) { m_impl->setY(y); }
void VYRQWindowFrame::centerWindow() { m_impl->centerWindow(); }
QWidget* VYRQWindowFrame::hitTest(QWidget* root, int x, int y) { return VYRQWindowImpl::hitTest(root, x, y); }
void VYRQWindowFrame::setDoubleClickMaximize(bool on) { m_impl->doubleClickMaximize = on; }
bool VYRQWindowFrame::getDoubleClickMaximize() const { return m_impl->doubleClickMaximize; }

void VYRQWindowFrame::setBackgroundImage(const QString& name, const ImageDesc& desc)
{
    m_impl->backgroundImageDesc = desc;
    m_impl->backgroundImage = name;
}
