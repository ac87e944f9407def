#pragma once

#include <QSize>
#include <QtGlobal>

#include <vector>

class IVYRQWidgetBase;
class QWidget;
class VYRQContainer;
class VYRQContainerImpl;

// The layout pass of a VYRQContainer: docking of absolute children, floating rows
// and columns, and the horizontal and vertical axis layout with ratios, fixed sizes
// and stretch spacers. Integer arithmetic throughout, divisions truncate; sums and
// products of weights are taken in 64 bits so that page data cannot overflow them.
// The engine keeps nothing between passes but its reused scratch vectors.
class VYRQLayoutEngine {
public:
    // One full pass over the container's children.
    void layoutChildren(VYRQContainerImpl& container);

    // Size a container with absoluteDockAutoSize wants when docked; invalid otherwise.
    static QSize contentSize(VYRQContainer* child);
    static QSize preferredChildSize(QWidget* child);

    // Children that take part in the axis layout: neither bound bars nor docked.
    static bool isLayoutChild(QWidget* widget, IVYRQWidgetBase*& control);

private:
    // A widget child as the pass found it.
    struct Child {
        QWidget* widget = nullptr;
        IVYRQWidgetBase* control = nullptr;
        int barMark = -1;       // the bound-bar property: -1 absent, else its value
    };

    struct Item {
        QWidget* widget = nullptr;
        IVYRQWidgetBase* control = nullptr;
        qint64 weight = 1;
        qint64 current = 0;     // current size along the axis
        qint64 minimum = 0;
        qint64 maximum = 0;     // no maximum: a very large value
        qint64 size = 0;
        int thickness = 0;
        bool stretch = false;
        bool fixed = false;
    };

    struct Pass;

    void snapshotChildren(QWidget* owner);
    // Docks the absolute children into the padded area.
    void layoutAbsoluteChildren(const Pass& pass);
    void layoutFloating(const Pass& pass, bool rows);
    // False when the axis layout found nothing to do or took the ratio path.
    bool layoutAxis(const Pass& pass, bool horizontal);
    void layoutByRatio(const Pass& pass, bool horizontal);
    void layoutByStretch(const Pass& pass, bool horizontal, qint64 stretchSum);
    void placeChild(const Item& item, bool horizontal, qint64 mainPos, qint64 crossPos, qint64 mainSize,
                    qint64 cross, bool stretch, int thickness);

    std::vector<Child> m_children;
    std::vector<Item> m_items;
};
