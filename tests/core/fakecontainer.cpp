// The common base finds containers by class name only; this stand-in carries that
// name (in its own translation unit, away from the library's declaration) and
// counts the relayout requests it receives.

#include "fakecontainer.h"

#include "VYRQControl.h"

namespace {

class FakeContainerImpl : public VYRQWidgetBaseImpl {
public:
    explicit FakeContainerImpl(QWidget* owner)
        : VYRQWidgetBaseImpl(owner, QStringLiteral("qtcontainer"))
    {
    }
};

class VYRQContainer : public VYRQControl<VYRQContainer, QWidget, FakeContainerImpl> {
    Q_OBJECT
    VYR_CONTROL(VYRQContainer, "qtcontainer")
public:
    explicit VYRQContainer(QWidget* parent = nullptr)
        : VYRQControl(parent)
    {
        finishConstruction();
    }
    Q_INVOKABLE void forceResize() { ++forceResizeCalls; }
    int forceResizeCalls = 0;
};

[[maybe_unused]] ControlInfo VYRQContainer::getProps()
{
    return ControlInfo();
}

} // namespace

QWidget* createFakeContainer(QWidget* parent)
{
    return new VYRQContainer(parent);
}

int fakeContainerRelayouts(const QWidget* container)
{
    const auto* c = dynamic_cast<const VYRQContainer*>(container);
    return c ? c->forceResizeCalls : -1;
}

#include "fakecontainer.moc"
