#pragma once

#include "VYRQExport.h"

#include <QHash>
#include <QRect>
#include <QSize>
#include <QtGlobal>

#include <vector>

class IVYRQWidgetBase;
class QByteArray;
class QObject;
class QWidget;
class VYRQContainer;
class VYRQContainerImpl;

// The layout pass of a VYRQContainer: docking of absolute children, floating rows
// and columns, and the horizontal and vertical axis layout with ratios, fixed sizes
// and stretch spacers. Integer arithmetic throughout, divisions truncate; sums and
// products of weights are taken in 64 bits so that page data cannot overflow them.
// Between passes the engine keeps its scratch vectors and a record of each widget
// child (its control interface, bound-bar mark and the base geometry last written to
// it), rebuilt whenever the container's children may have changed.
class VYRQTLIB_EXPORT VYRQLayoutEngine {
public:
    // One full pass over the container's children.
    void layoutChildren(VYRQContainerImpl& container);

    // The child records no longer match the children (added, removed, shown, hidden,
    // marked as a bar, or being destroyed).
    void invalidateChildren() { m_childrenValid = false; }
    // A base geometry may have been written by someone else: the next pass writes
    // every one again.
    void forgetBaseGeometries() { m_basesKnown = false; }
    // A dynamic property of a watched child changed: a base geometry written by
    // someone else is no longer known, a bar mark changes the records.
    void childPropertyChanged(const QByteArray& name);
    // Records the base geometry on a child unless that value is already there.
    void writeBaseGeometry(QWidget* child, const QRect& rect);
    // Calls f(widget, barMark, base, known) for every widget child in order; `known`
    // says whether `base` is the child's current base geometry (else read the property).
    template <class F>
    void forEachChild(QWidget* owner, F f)
    {
        refreshChildren(owner);
        // By index: what f does to a child may make the records be rebuilt.
        for (size_t i = 0; i < m_children.size(); ++i) {
            const Child c = m_children[i];
            f(c.widget, c.barMark, c.base, c.baseWritten);
        }
    }

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
        bool baseWritten = false;
        QRect base;             // the base geometry last written, while baseWritten
    };

    struct Item {
        QWidget* widget = nullptr;
        IVYRQWidgetBase* control = nullptr;
        size_t record = 0;      // index into m_children
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

    // Makes m_children match the owner's widget children.
    void refreshChildren(QWidget* owner);
    void setBaseGeometry(size_t record, const QRect& rect);
    // Docks the absolute children into the padded area.
    void layoutAbsoluteChildren(const Pass& pass);
    void layoutFloating(const Pass& pass, bool rows);
    // False when the axis layout found nothing to do or took the ratio path.
    bool layoutAxis(const Pass& pass, bool horizontal);
    void layoutByRatio(const Pass& pass, bool horizontal);
    void layoutByStretch(const Pass& pass, bool horizontal, qint64 stretchSum);
    void placeChild(const Item& item, bool horizontal, qint64 mainPos, qint64 crossPos, qint64 mainSize,
                    qint64 cross, bool stretch, int thickness);

    // The record of a child, found in constant time: every event of every child
    // looks its record up.
    size_t recordOf(const QObject* widget) const;

    std::vector<Child> m_children;
    // Index of each child's record in m_children, rebuilt with the records.
    QHash<const QObject*, size_t> m_recordIndex;
    std::vector<Item> m_items;
    bool m_childrenValid = false;
    bool m_basesKnown = true;
    bool m_writing = false;
    bool m_inPass = false;
};
