#pragma once

// A minimal library control that records what the loader did to it.

#include "VYRQControl.h"

class TestControlImpl : public VYRQWidgetBaseImpl {
public:
    explicit TestControlImpl(QWidget* owner) : VYRQWidgetBaseImpl(owner, QStringLiteral("testctl")) {}

    bool serializeJson(Json::Value*& json, bool read) override
    {
        reads += read ? 1 : 0;
        return VYRQWidgetBaseImpl::serializeJson(json, read);
    }
    void createComplete() override
    {
        ++completions;
        childWidgetsAtComplete = 0;
        for (QObject* child : owner()->children())
            childWidgetsAtComplete += child->isWidgetType() ? 1 : 0;
    }

    int reads = 0;
    int completions = 0;
    int childWidgetsAtComplete = -1;
};

class TestControl : public VYRQControl<TestControl, QWidget, TestControlImpl> {
    VYR_CONTROL(TestControl, "testctl")
public:
    explicit TestControl(QWidget* parent = nullptr) : VYRQControl(parent) { finishConstruction(); }
};

inline ControlInfo TestControl::getProps()
{
    return vyr::makeControlInfo("testctl", "TestControl", "Test", "Test control", "test");
}

// Counts the test controls in a widget tree, the root included.
inline int countTestControls(const QWidget* root)
{
    int count = dynamic_cast<const TestControl*>(root) ? 1 : 0;
    for (const QObject* child : root->children())
        count += child->isWidgetType() ? countTestControls(static_cast<const QWidget*>(child)) : 0;
    return count;
}
