#include "VYRQSpacer.h"

#include "VYRQContainer.h"
#include "VYRQJson.h"
#include "VYRQPropertyRows.h"

#include <json/value.h>

#include <algorithm>

class VYRQSpacerImpl : public VYRQWidgetBaseImpl {
public:
    explicit VYRQSpacerImpl(VYRQSpacer* owner)
        : VYRQWidgetBaseImpl(owner, VYRQSpacer::typeName())
    {
    }

    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    int direction = VYRQSpacer::Auto;
    int thickness = 0;
};

void VYRQSpacerImpl::readJson(const Json::Value& element)
{
    const Json::Value* attr = vyr::json::object(element, "attr");
    if (!attr)
        return;
    int value = 0;
    if (readOwnAttr(*attr, "direction", value))
        direction = (value < VYRQSpacer::Auto || value > VYRQSpacer::Vertical) ? VYRQSpacer::Auto : value;
    if (readOwnAttr(*attr, "thickness", value))
        thickness = std::max(value, 0);
}

void VYRQSpacerImpl::writeJson(Json::Value& element)
{
    if (direction != VYRQSpacer::Auto)
        element["attr"]["direction"] = direction;
    if (thickness != 0)
        element["attr"]["thickness"] = thickness;
}

namespace {

void relayoutParent(QWidget* spacer)
{
    if (VYRQContainer* parent = qobject_cast<VYRQContainer*>(spacer->parentWidget()))
        parent->forceResize();
}

} // namespace

VYRQSpacer::VYRQSpacer(QWidget* parent)
    : VYRQControl(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(false);
    setMinimumSize(0, 0);
    finishConstruction();
}

VYRQSpacer::~VYRQSpacer() = default;

void VYRQSpacer::setDirection(Direction direction)
{
    const int value = int(direction);
    impl()->direction = (value < Auto || value > Vertical) ? Auto : value;
    relayoutParent(this);
}

VYRQSpacer::Direction VYRQSpacer::getDirection() const
{
    return Direction(impl()->direction);
}

void VYRQSpacer::setThickness(int thickness)
{
    impl()->thickness = std::max(thickness, 0);
    relayoutParent(this);
}

int VYRQSpacer::getThickness() const
{
    return impl()->thickness;
}

void VYRQSpacer::setDelegateItemVisible(bool visible)
{
    impl()->setDelegateItemVisible(visible);
}

bool VYRQSpacer::getDelegateItemVisible() const
{
    return impl()->getDelegateItemVisible();
}

ControlInfo VYRQSpacer::getProps()
{
    ControlInfo info = vyr::makeControlInfo<VYRQSpacer>("Spacer", "Elastic spacer", "container");
    // setDirection() turns out-of-range values into Auto.
    info.rows.push_back(vyr::enumRow("Direction", &VYRQSpacer::setDirection, &VYRQSpacer::getDirection,
                                     {{Auto, "Auto"}, {Horizontal, "Horizontal"}, {Vertical, "Vertical"}}, Auto));
    info.rows.push_back(vyr::intRow("Thickness", &VYRQSpacer::setThickness, &VYRQSpacer::getThickness));
    return info;
}

#include "moc_VYRQSpacer.cpp"
