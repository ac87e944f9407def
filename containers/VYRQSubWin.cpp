#include "VYRQSubWin.h"

#include "VYRQWindowImpl_p.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>

VYRQSubWin::VYRQSubWin(QWidget* parent)
    : QWidget(parent)
    , m_impl(new VYRQWindowImpl(this, QString::fromLatin1(typeName())))
{
    setMouseTracking(true);
}

VYRQSubWin::~VYRQSubWin()
{
    m_impl->releasePress();
    setProperty("impl", QVariant());
}

void VYRQSubWin::setResizeable(bool on) { m_impl->setResizeable(on); }
bool VYRQSubWin::getResizeable() const { return m_impl->resizeable; }
void VYRQSubWin::setCanDrag(bool on) { m_impl->canDrag = on; }
bool VYRQSubWin::getCanGrag() const { return m_impl->canDrag; }
void VYRQSubWin::setOnlyDragCaption(bool on) { m_impl->onlyDragCaption = on; }
bool VYRQSubWin::getOnlyDragCaption() const { return m_impl->onlyDragCaption; }
void VYRQSubWin::setCaptionHeight(int height) { m_impl->captionHeight = height; }
bool VYRQSubWin::getCaptionHeight() const { return m_impl->captionHeight != 0; }
void VYRQSubWin::setShowBackground(bool on) { m_impl->showBackground = on; }
void VYRQSubWin::setUseFillColor(bool on) { m_impl->useFillColor = on; }
void VYRQSubWin::setBackgroundColor(const FillRes& color) { m_impl->backgroundColor = color; }
void VYRQSubWin::setTransparent(bool on) { m_impl->setTransparent(on); }
void VYRQSubWin::setX(int x) { m_impl->setX(x); }
void VYRQSubWin::setY(int y) { m_impl->setY(y); }
void VYRQSubWin::centerWindow() { m_impl->centerWindow(); }
QWidget* VYRQSubWin::hitTest(QWidget* root, int x, int y) { return VYRQWindowImpl::hitTest(root, x, y); }
void VYRQSubWin::setDoubleClickMaximize(bool on) { m_impl->doubleClickMaximize = on; }
bool VYRQSubWin::getDoubleClickMaximize() const { return m_impl->doubleClickMaximize; }
void VYRQSubWin::setMinWidth(int width) { m_impl->minWidth = width; }
void VYRQSubWin::setMinHeight(int height) { m_impl->minHeight = height; }

void VYRQSubWin::setBackgroundImage(const QString& name, const ImageDesc& desc)
{
    m_impl->backgroundImageDesc = desc;
    m_impl->backgroundImage = name;
}

void VYRQSubWin::mousePressEvent(QMouseEvent* event)
{
    // The base handler ignores the event; the sub-window's own handling accepts it.
    QWidget::mousePressEvent(event);
    m_impl->mousePressEvent(event);
}

void VYRQSubWin::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    m_impl->mouseMoveEvent(event);
}

void VYRQSubWin::mouseReleaseEvent(QMouseEvent* event)
{
    m_impl->mouseReleaseEvent(event);
    QWidget::mouseReleaseEvent(event);
}

void VYRQSubWin::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_impl->mouseDoubleClickEvent(event);
    QWidget::mouseDoubleClickEvent(event);
}

void VYRQSubWin::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_impl->drawControl(&painter, rect());
}

void VYRQSubWin::resizeEvent(QResizeEvent* event)
{
    m_impl->resizeChildren();
    QWidget::resizeEvent(event);
}

void VYRQSubWin::closeEvent(QCloseEvent* event)
{
    m_impl->releasePress();
    QWidget::closeEvent(event);
}

void VYRQSubWin::hideEvent(QHideEvent* event)
{
    m_impl->releasePress();
    QWidget::hideEvent(event);
}

#include "moc_VYRQSubWin.cpp"
