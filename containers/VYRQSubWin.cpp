#include "VYRQSubWin.h"

#include "VYRQWindowImpl_p.h"

#include <QCloseEvent>
#include <QHideEvent>
#include <QMouseEvent>
#include <QPainter>

VYRQSubWin::VYRQSubWin(QWidget* parent)
    : QWidget(parent)
    , VYRQWindowFrame(new VYRQWindowImpl(this, QString::fromLatin1(typeName())))
{
    setMouseTracking(true);
}

VYRQSubWin::~VYRQSubWin()
{
    m_impl->releasePress();
    setProperty("impl", QVariant());
}

void VYRQSubWin::setMinWidth(int width) { m_impl->minWidth = width; }
void VYRQSubWin::setMinHeight(int height) { m_impl->minHeight = height; }

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
