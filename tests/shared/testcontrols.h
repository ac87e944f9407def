#pragma once

// The small library controls the tests build pages from, written the way a real
// control is:
// - TestControl ("testctl") records what the loader did to it;
// - CoreControl ("corecontrol") has one per-state fill array on "style" slots 0 to 3
//   and two "attr" keys of its own, "level" and "tint";
// - Cell ("testcell") has a size hint of choice and counts the placements that go
//   through the control interface (the docking of absolute children), which
//   QWidget::setGeometry does not touch.

#include "VYRQControl.h"
#include "VYRQJson.h"
#include "VYRQStateStyles.h"

#include <QPainter>

class TestControlImpl;
class CoreControlImpl;
class CellImpl;

class TestControl : public VYRQControl<TestControl, QWidget, TestControlImpl> {
    VYR_CONTROL(TestControl, "testctl")
public:
    explicit TestControl(QWidget* parent = nullptr);
};

class CoreControl : public VYRQControl<CoreControl, QWidget, CoreControlImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(CoreControl, "corecontrol")
public:
    explicit CoreControl(QWidget* parent = nullptr);
};

class Cell : public VYRQControl<Cell, QWidget, CellImpl> {
    VYR_CONTROL(Cell, "testcell")
public:
    explicit Cell(QWidget* parent = nullptr, int w = 100, int h = 30);

    using VYRQControl::setGeometry;
    void setGeometry(int x, int y, int w, int h) override
    {
        ++interfacePlacements;
        VYRQControl::setGeometry(x, y, w, h);
    }
    QSize sizeHint() const override { return hint; }

    QSize hint;
    int interfacePlacements = 0;
};

class TestControlImpl : public VYRQWidgetBaseImpl {
public:
    explicit TestControlImpl(TestControl* owner) : VYRQWidgetBaseImpl(owner, TestControl::typeName()) {}

    // Counts every read the loader starts, also one that fails before the control's
    // own keys.
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

class CoreControlImpl : public VYRQWidgetBaseImpl {
public:
    explicit CoreControlImpl(CoreControl* owner) : VYRQWidgetBaseImpl(owner, CoreControl::typeName()) {}

    void drawControl(QPainter* painter, const QRect& rect) override
    {
        ++paints;
        paintedState = ctrlState();
        drawFillStyle(painter, fills.get(ctrlState()), rect);
    }
    vyr::StyleSlots styleSlots() override { return {{0, fills}}; }
    void readJson(const Json::Value& element) override
    {
        themeSwitchDuringRead = isApplyingTheme();
        if (const Json::Value* attr = vyr::json::object(element, "attr")) {
            readOwnAttr(*attr, "level", level);
            readOwnColor(*attr, "tint", tint);
        }
    }
    void writeJson(Json::Value& element) override
    {
        if (level != 0)
            element["attr"]["level"] = level;
        if (tint.isValid())
            element["attr"]["tint"] = vyr::json::colorToText(tint);
    }

    vyr::FillStates fills;
    int level = 0;
    QColor tint;
    int paints = 0;
    CtrlState paintedState = Normal;
    bool themeSwitchDuringRead = false;
};

class CellImpl : public VYRQWidgetBaseImpl {
public:
    explicit CellImpl(Cell* owner) : VYRQWidgetBaseImpl(owner, Cell::typeName()) {}
};

inline TestControl::TestControl(QWidget* parent) : VYRQControl(parent) { finishConstruction(); }
inline CoreControl::CoreControl(QWidget* parent) : VYRQControl(parent) { finishConstruction(); }
inline Cell::Cell(QWidget* parent, int w, int h) : VYRQControl(parent)
{
    finishConstruction();
    resize(w, h);
}

inline ControlInfo TestControl::getProps()
{
    return vyr::makeControlInfo(typeName(), "TestControl", "Test", "Test control", "test");
}
inline ControlInfo CoreControl::getProps()
{
    return vyr::makeControlInfo<CoreControl>("Test", "Control of the core tests", "test");
}
inline ControlInfo Cell::getProps() { return vyr::makeControlInfo(typeName(), "Cell", "Cell", "Test cell", "test"); }

// Counts the test controls in a widget tree, the root included.
inline int countTestControls(const QWidget* root)
{
    int count = dynamic_cast<const TestControl*>(root) ? 1 : 0;
    for (const QObject* child : root->children())
        count += child->isWidgetType() ? countTestControls(static_cast<const QWidget*>(child)) : 0;
    return count;
}

// Reads `text` as JSON; an empty value when it does not parse.
inline Json::Value jsonOf(const char* text)
{
    Json::Value v;
    vyr::json::parse(QByteArray(text), v);
    return v;
}

// The rectangle the layout pass computed for a child, before Qt's own clamping and
// the scroll offset.
inline QRect baseGeometry(const QWidget* w) { return w->property("_vyr_container_base_geometry").toRect(); }
