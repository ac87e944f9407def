#include "VYRQSplitter.h"

#include "VYRQJson.h"
#include "VYRQStateStyles.h"

#include <QPointer>

#include <json/value.h>

class VYRQSplitterImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQSplitterImpl(VYRQSplitter* owner)
        : VYRQWidgetBaseImpl(owner, VYRQSplitter::typeName())
    {
        background.draw = false;
    }

    void drawControl(QPainter* painter, const QRect& rect) override;
    vyr::StyleSlots styleSlots() override;

    bool isHor = true;
    QPointer<QWidget> upLeftWidget;
    QPointer<QWidget> downRightWidget;
    FillStyle background;
    int upLeftLimit = -1;
    int downRightLimit = -1;
};

void VYRQSplitterImpl::drawControl(QPainter* painter, const QRect& rect)
{
    drawFillStyle(painter, background, rect);
}

vyr::StyleSlots VYRQSplitterImpl::styleSlots()
{
    return {{0, background}};
}

// VYRQSplitter

VYRQSplitter::VYRQSplitter(QWidget* parent)
    : VYRQControl(parent)
{
    finishConstruction();
}

VYRQSplitter::~VYRQSplitter() = default;

void VYRQSplitter::setIsHor(bool hor)
{
    impl()->isHor = hor;
}

bool VYRQSplitter::getIsHor() const
{
    return impl()->isHor;
}

void VYRQSplitter::setUpLeftWidget(QWidget* widget)
{
    impl()->upLeftWidget = widget;
}

const QWidget* VYRQSplitter::getUpLeftWidget() const
{
    return impl()->upLeftWidget.data();
}

void VYRQSplitter::setDownRightWidget(QWidget* widget)
{
    impl()->downRightWidget = widget;
}

const QWidget* VYRQSplitter::getDownRightWidget() const
{
    return impl()->downRightWidget.data();
}

void VYRQSplitter::setUpLeftLimit(int limit)
{
    impl()->upLeftLimit = limit;
}

int VYRQSplitter::getUpLeftLimit() const
{
    return impl()->upLeftLimit;
}

void VYRQSplitter::setDownRightLimit(int limit)
{
    impl()->downRightLimit = limit;
}

int VYRQSplitter::getDownRightLimit() const
{
    return impl()->downRightLimit;
}

void VYRQSplitter::setBackground(const FillStyle& style)
{
    impl()->background = style;
}

FillStyle VYRQSplitter::getBackground() const
{
    return impl()->background;
}

void VYRQSplitter::mousePressEvent(QMouseEvent*)
{
}

void VYRQSplitter::mouseReleaseEvent(QMouseEvent*)
{
}

void VYRQSplitter::mouseMoveEvent(QMouseEvent*)
{
}

// Registered as a factory only; the record carries just the common rows.
ControlInfo VYRQSplitter::getProps()
{
    return vyr::makeControlInfo<VYRQSplitter>("Splitter", "Control Splitter", "splitter");
}

#include "moc_VYRQSplitter.cpp"
