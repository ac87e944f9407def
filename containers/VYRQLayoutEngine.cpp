#include "VYRQLayoutEngine.h"

#include "IVYRQWidgetBase.h"
#include "VYRQContainer.h"
#include "VYRQContainerImpl.h"
#include "VYRQScrollBar.h"
#include "VYRQSpacer.h"

#include <QHash>
#include <QRect>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <limits>

namespace {

// Qt's largest widget size; a maximum this large or larger is no limit.
constexpr qint64 kNoMaximumFrom = 16777215;
// Stands for "no maximum" in the scratch items: larger than any size the pass makes.
constexpr qint64 kUnlimited = std::numeric_limits<qint64>::max() / 4;
// Coordinates and sizes handed to Qt stay well inside int, right() included.
constexpr qint64 kCoordLimit = qint64(1) << 30;

qint64 maximumOf(int maximum)
{
    return maximum >= kNoMaximumFrom ? kUnlimited : qint64(maximum);
}

int toCoord(qint64 v)
{
    return int(std::clamp(v, -kCoordLimit, kCoordLimit));
}

// a * b / c, truncated toward zero; c > 0, a and b not negative. Falls back to
// floating point only where the exact product leaves 64 bits.
qint64 mulDiv(qint64 a, qint64 b, qint64 c)
{
    if (a == 0 || b == 0)
        return 0;
    if (a <= std::numeric_limits<qint64>::max() / b)
        return a * b / c;
    return qint64(static_cast<long double>(a) * static_cast<long double>(b) / static_cast<long double>(c));
}

// max(min(low, cap), min(cap, value)): a size kept under its cap, and at least its
// minimum while the cap allows; the recurring clamp of the pass.
qint64 clampSize(qint64 low, qint64 cap, qint64 value)
{
    return std::max(std::min(std::max(low, qint64(0)), cap), std::min(cap, value));
}

qint64 visibleBarWidth(const VYRQScrollBar* bar)
{
    return bar && !bar->isHidden() ? std::max(bar->sizeHint().width(), 0) : 0;
}

qint64 visibleBarHeight(const VYRQScrollBar* bar)
{
    return bar && !bar->isHidden() ? std::max(bar->sizeHint().height(), 0) : 0;
}

} // namespace

// The container's inputs of one pass.
struct VYRQLayoutEngine::Pass {
    VYRQContainerImpl* impl = nullptr;
    QWidget* owner = nullptr;
    qint64 width = 0;
    qint64 height = 0;
    qint64 pl = 0;
    qint64 pt = 0;
    qint64 pr = 0;
    qint64 pb = 0;
    qint64 sp = 0;
    qint64 barW = 0;      // bound vertical bar's thickness while shown
    qint64 barH = 0;      // bound horizontal bar's thickness while shown
    bool horizontalBar = false;
    bool verticalBar = false;

    // The room of `count` items in a line along one axis: what is left of the main
    // length after the spacing between them, the padding and a shown bar, and the
    // same across it; neither below 0.
    struct Axis {
        qint64 avail;
        qint64 cross;
        qint64 startPad;
        qint64 crossStart;
        bool scrollable;
    };
    Axis axis(bool horizontal, qint64 count) const
    {
        const qint64 mainLength = horizontal ? width : height;
        const qint64 barMain = horizontal ? barW : barH;
        const qint64 startPad = horizontal ? pl : pt;
        const qint64 endPad = horizontal ? pr : pb;
        const qint64 crossLength = horizontal ? height : width;
        const qint64 barCross = horizontal ? barH : barW;
        const qint64 crossStart = horizontal ? pt : pl;
        const qint64 crossEnd = horizontal ? pb : pr;
        return {std::max<qint64>(mainLength - (count - 1) * sp - barMain - startPad - endPad, 0),
                std::max<qint64>(crossLength - barCross - crossStart - crossEnd, 0), startPad, crossStart,
                horizontal ? horizontalBar : verticalBar};
    }
};

bool VYRQLayoutEngine::isLayoutChild(QWidget* widget, IVYRQWidgetBase*& control)
{
    control = nullptr;
    if (VYRQContainerImpl::isExcludedBar(widget))
        return false;
    control = dynamic_cast<IVYRQWidgetBase*>(widget);
    return !(control && control->getAbsoluteLayout());
}

void VYRQLayoutEngine::refreshChildren(QWidget* owner)
{
    // Items of a running pass point into the records.
    if (m_inPass)
        return;
    const QObjectList& objects = owner->children();
    if (m_childrenValid) {
        // raise() and lower() reorder the children without an event.
        size_t i = 0;
        bool same = true;
        for (QObject* object : objects) {
            if (!object->isWidgetType())
                continue;
            if (i >= m_children.size() || m_children[i].widget != object) {
                same = false;
                break;
            }
            ++i;
        }
        m_childrenValid = same && i == m_children.size();
    }
    if (!m_childrenValid) {
        // Known bases survive a rebuild; a removed child made them all unknown.
        std::vector<Child> previous;
        previous.swap(m_children);
        QHash<const QObject*, size_t> previousIndex;
        previousIndex.swap(m_recordIndex);
        m_children.reserve(size_t(objects.size()));
        m_recordIndex.reserve(objects.size());
        for (QObject* object : objects) {
            if (!object->isWidgetType())
                continue;
            Child child;
            child.widget = static_cast<QWidget*>(object);
            child.control = dynamic_cast<IVYRQWidgetBase*>(child.widget);
            child.barMark = VYRQContainerImpl::boundBarMark(object);
            if (m_basesKnown) {
                const auto known = previousIndex.constFind(object);
                if (known != previousIndex.constEnd() && previous[*known].baseWritten) {
                    child.base = previous[*known].base;
                    child.baseWritten = true;
                }
            }
            m_recordIndex.insert(object, m_children.size());
            m_children.push_back(child);
        }
        m_childrenValid = true;
    } else if (!m_basesKnown) {
        for (Child& child : m_children)
            child.baseWritten = false;
    }
    m_basesKnown = true;
}

size_t VYRQLayoutEngine::recordOf(const QObject* widget) const
{
    const auto found = m_recordIndex.constFind(widget);
    if (found == m_recordIndex.constEnd() || *found >= m_children.size() || m_children[*found].widget != widget)
        return size_t(-1);
    return *found;
}

void VYRQLayoutEngine::setBaseGeometry(size_t record, const QRect& rect)
{
    if (record >= m_children.size())
        return;
    Child& child = m_children[record];
    // Writing a dynamic property looks its name up, allocates and sends an event:
    // most passes leave most children where they were.
    if (m_basesKnown && child.baseWritten && child.base == rect)
        return;
    child.base = rect;
    child.baseWritten = true;
    m_writing = true;
    child.widget->setProperty(vyr::kBaseGeometryProperty, rect);
    m_writing = false;
}

void VYRQLayoutEngine::writeBaseGeometry(QWidget* widget, const QRect& rect)
{
    // Stale records are kept up to date too: a rebuild carries their bases over.
    const size_t record = recordOf(widget);
    if (record != size_t(-1)) {
        setBaseGeometry(record, rect);
        return;
    }
    m_writing = true;
    widget->setProperty(vyr::kBaseGeometryProperty, rect);
    m_writing = false;
}

void VYRQLayoutEngine::childPropertyChanged(const QByteArray& name)
{
    if (m_writing)
        return;
    if (name == vyr::kBaseGeometryProperty)
        m_basesKnown = false;
    else if (name == vyr::kBoundScrollBarProperty)
        m_childrenValid = false;
}

void VYRQLayoutEngine::layoutChildren(VYRQContainerImpl& container)
{
    QWidget* owner = container.owner();
    // A pass that a placement sets off again would clobber the scratch vectors.
    if (!owner || container.layouting)
        return;

    Pass pass;
    pass.impl = &container;
    pass.owner = owner;
    pass.width = owner->width();
    pass.height = owner->height();
    pass.pl = container.paddingLeft;
    pass.pt = container.paddingTop;
    pass.pr = container.paddingRight;
    pass.pb = container.paddingBottom;
    pass.sp = std::max(container.space, 0);
    pass.barW = visibleBarWidth(container.verticalBar.data());
    pass.barH = visibleBarHeight(container.horizontalBar.data());
    pass.horizontalBar = !container.horizontalBar.isNull();
    pass.verticalBar = !container.verticalBar.isNull();

    refreshChildren(owner);
    container.layouting = true;
    m_inPass = true;
    layoutAbsoluteChildren(pass);
    bool dockAgain = true;
    switch (container.childLayout) {
    case VYRQContainer::HorFloat:
        layoutFloating(pass, true);
        break;
    case VYRQContainer::VerFloat:
        layoutFloating(pass, false);
        break;
    case VYRQContainer::Horizontal:
        dockAgain = layoutAxis(pass, true);
        break;
    case VYRQContainer::Vertical:
        dockAgain = layoutAxis(pass, false);
        break;
    default:
        break;
    }
    if (dockAgain)
        layoutAbsoluteChildren(pass);
    m_inPass = false;
    container.layouting = false;
}

void VYRQLayoutEngine::layoutAbsoluteChildren(const Pass& pass)
{
    const qint64 left = std::max<qint64>(pass.pl, 0);
    const qint64 top = std::max<qint64>(pass.pt, 0);
    const qint64 availW = std::max<qint64>(pass.width - pass.barW - pass.pl - pass.pr, 0);
    const qint64 availH = std::max<qint64>(pass.height - pass.barH - pass.pt - pass.pb, 0);

    for (size_t record = 0; record < m_children.size(); ++record) {
        const Child entry = m_children[record];
        IVYRQWidgetBase* control = entry.control;
        if (!control || entry.barMark == 1 || !control->getAbsoluteLayout())
            continue;
        QWidget* child = entry.widget;
        DockLayoutType hor = DockNear;
        DockLayoutType ver = DockNear;
        int ox = 0;
        int oy = 0;
        control->getAbsoluteDock(hor, ver, ox, oy);
        QSize size = child->size();
        VYRQContainer* autoSized = qobject_cast<VYRQContainer*>(child);
        if (autoSized && !autoSized->getAbsoluteDockAutoSize())
            autoSized = nullptr;
        if (autoSized) {
            const QSize content = contentSize(autoSized);
            if (content.isValid())
                size = content;
        }

        const qint64 capW = std::min(availW, maximumOf(child->maximumWidth()));
        const qint64 capH = std::min(availH, maximumOf(child->maximumHeight()));
        const qint64 w = clampSize(child->minimumWidth(), capW, size.width());
        const qint64 h = clampSize(child->minimumHeight(), capH, size.height());
        qint64 x = left;
        if (hor == DockCenter)
            x = left + (availW - w) / 2;
        else if (hor == DockFar)
            x = left + availW - w;
        qint64 y = top;
        if (ver == DockCenter)
            y = top + (availH - h) / 2;
        else if (ver == DockFar)
            y = top + availH - h;
        const QRect rect(toCoord(x + ox), toCoord(y + oy), toCoord(w), toCoord(h));
        control->setGeometry(rect.x(), rect.y(), rect.width(), rect.height());
        setBaseGeometry(record, rect);
        if (autoSized)
            autoSized->forceResize();
    }
}

QSize VYRQLayoutEngine::preferredChildSize(QWidget* child)
{
    if (!child)
        return QSize();
    QSize size = child->sizeHint();
    if (!size.isValid())
        size = child->minimumSizeHint();
    if (!size.isValid())
        size = child->minimumSize();
    qint64 w = std::max(size.width(), 0);
    qint64 h = std::max(size.height(), 0);
    if (const IVYRQWidgetBase* control = dynamic_cast<const IVYRQWidgetBase*>(child)) {
        if (control->getWidthPolicy() == PolicyFixed)
            w = std::max<qint64>(w, child->width());
        if (control->getHeightPolicy() == PolicyFixed)
            h = std::max<qint64>(h, child->height());
    }
    w = std::min(std::max<qint64>(w, child->minimumWidth()), maximumOf(child->maximumWidth()));
    h = std::min(std::max<qint64>(h, child->minimumHeight()), maximumOf(child->maximumHeight()));
    return QSize(toCoord(w), toCoord(h));
}

QSize VYRQLayoutEngine::contentSize(VYRQContainer* child)
{
    if (!child || !child->getAbsoluteDockAutoSize())
        return QSize();
    const VYRQContainerImpl* impl = child->impl();
    const qint64 sp = std::max(impl->space, 0);
    const int layout = impl->childLayout;

    qint64 n = 0;
    qint64 w = 0;
    qint64 h = 0;
    QRect united;
    for (QObject* object : child->children()) {
        if (!object->isWidgetType())
            continue;
        QWidget* widget = static_cast<QWidget*>(object);
        IVYRQWidgetBase* control = nullptr;
        if (!isLayoutChild(widget, control))
            continue;
        const QSize preferred = preferredChildSize(widget);
        ++n;
        if (layout == VYRQContainer::Horizontal) {
            w += preferred.width();
            h = std::max<qint64>(h, preferred.height());
        } else if (layout == VYRQContainer::Vertical) {
            w = std::max<qint64>(w, preferred.width());
            h += preferred.height();
        } else {
            united |= QRect(widget->pos(), preferred);
        }
    }
    if (layout == VYRQContainer::Horizontal) {
        if (n >= 2)
            w += (n - 1) * sp;
    } else if (layout == VYRQContainer::Vertical) {
        if (n >= 2)
            h += (n - 1) * sp;
    } else {
        // Child positions already include the paddings, which are added once more below.
        w = std::max<qint64>(qint64(united.right()) + 1, 0);
        h = std::max<qint64>(qint64(united.bottom()) + 1, 0);
    }
    const qint64 width = std::max<qint64>(impl->paddingLeft + w + impl->paddingRight, 0);
    const qint64 height = std::max<qint64>(impl->paddingTop + h + impl->paddingBottom, 0);
    return QSize(toCoord(width), toCoord(height));
}

void VYRQLayoutEngine::layoutFloating(const Pass& pass, bool rows)
{
    // Every widget child moves here, bound bars and docked children included: the
    // second docking and the scroll refresh place those again.
    const qint64 startMain = rows ? pass.pl : pass.pt;
    const qint64 limit = rows ? pass.width - pass.pr : pass.height - pass.pb;
    qint64 main = startMain;
    qint64 cross = rows ? pass.pt : pass.pl;
    qint64 line = 0;
    for (size_t record = 0; record < m_children.size(); ++record) {
        QWidget* child = m_children[record].widget;
        const qint64 w = child->width();
        const qint64 h = child->height();
        const qint64 along = rows ? w : h;
        if (main > startMain && main + along > limit) {
            main = startMain;
            cross += line + pass.sp;
            line = 0;
        }
        const QRect rect = rows ? QRect(toCoord(main), toCoord(cross), int(w), int(h))
                                : QRect(toCoord(cross), toCoord(main), int(w), int(h));
        setBaseGeometry(record, rect);
        child->setGeometry(rect);
        main += along + pass.sp;
        line = std::max(line, rows ? h : w);
    }
}

bool VYRQLayoutEngine::layoutAxis(const Pass& pass, bool horizontal)
{
    m_items.clear();
    qint64 weightTotal = 0;
    qint64 stretchCount = 0;
    qint64 stretchSum = 0;
    for (size_t record = 0; record < m_children.size(); ++record) {
        const Child& entry = m_children[record];
        QWidget* widget = entry.widget;
        // Bound bars, and former bars that stay hidden, are no content.
        if (entry.barMark == 1 || (entry.barMark == 0 && widget->isHidden()))
            continue;
        if (entry.control && entry.control->getAbsoluteLayout())
            continue;
        Item item;
        item.record = record;
        item.control = entry.control;
        item.widget = widget;
        item.weight = item.control ? std::max(item.control->getLayoutRatio(), 1) : 1;
        item.current = horizontal ? widget->width() : widget->height();
        item.minimum = horizontal ? widget->minimumWidth() : widget->minimumHeight();
        item.maximum = maximumOf(horizontal ? widget->maximumWidth() : widget->maximumHeight());
        if (item.control) {
            item.fixed = (horizontal ? item.control->getWidthPolicy() : item.control->getHeightPolicy())
                == PolicyFixed;
            if (const VYRQSpacer* spacer = qobject_cast<const VYRQSpacer*>(widget)) {
                const VYRQSpacer::Direction direction = spacer->getDirection();
                item.stretch = direction == VYRQSpacer::Auto
                    || direction == (horizontal ? VYRQSpacer::Horizontal : VYRQSpacer::Vertical);
                item.thickness = spacer->getThickness();
            }
        }
        weightTotal += item.weight;
        if (item.stretch) {
            ++stretchCount;
            stretchSum += item.weight;
        }
        m_items.push_back(item);
    }
    if (m_items.empty() || weightTotal < 1)
        return false;
    if (stretchCount == 0 || stretchSum < 1) {
        layoutByRatio(pass, horizontal);
        return false;
    }
    layoutByStretch(pass, horizontal, stretchSum);
    return true;
}

void VYRQLayoutEngine::layoutByRatio(const Pass& pass, bool horizontal)
{
    const Pass::Axis axis = pass.axis(horizontal, qint64(m_items.size()));
    qint64 avail = axis.avail;
    if (axis.scrollable) {
        qint64 need = 0;
        for (const Item& item : m_items) {
            const qint64 size = std::min(std::max(std::max<qint64>(item.current, 0), item.minimum), item.maximum);
            need += std::max<qint64>(size, 0);
        }
        avail = std::max(avail, need);
    }

    qint64 fixedSum = 0;
    qint64 ratioCount = 0;
    qint64 ratioSum = 0;
    for (const Item& item : m_items) {
        if (item.fixed) {
            // The vertical axis sums the current heights as they are; stored pages
            // were laid out with that difference, so it stays.
            if (horizontal)
                fixedSum += clampSize(item.minimum, std::min(avail, item.maximum), std::max<qint64>(item.current, 0));
            else
                fixedSum += std::max<qint64>(item.current, 0);
        } else {
            ++ratioCount;
            ratioSum += item.weight;
        }
    }

    qint64 rest = std::max<qint64>(avail - fixedSum, 0);
    qint64 pos = axis.startPad;
    for (const Item& item : m_items) {
        qint64 size = 0;
        if (!item.fixed) {
            const qint64 share = (ratioCount < 2 || ratioSum < 1) ? rest : mulDiv(rest, item.weight, ratioSum);
            const qint64 cap = std::min(std::max<qint64>(avail, 0), item.maximum);
            size = clampSize(item.minimum, cap, share);
        } else if (axis.scrollable) {
            size = std::min(std::max(std::max<qint64>(item.current, 0), item.minimum), item.maximum);
        } else {
            const qint64 cap = std::min(std::max<qint64>(avail, 0), item.maximum);
            size = clampSize(item.minimum, cap, std::max<qint64>(item.current, 0));
        }
        size = std::max<qint64>(size, 0);
        placeChild(item, horizontal, pos, axis.crossStart, size, axis.cross, false, 0);
        if (!item.fixed) {
            --ratioCount;
            rest = std::max<qint64>(rest - size, 0);
            ratioSum -= item.weight;
        }
        avail -= size;
        if (!axis.scrollable)
            avail = std::max<qint64>(avail, 0);
        pos += pass.sp + size;
    }
}

void VYRQLayoutEngine::layoutByStretch(const Pass& pass, bool horizontal, qint64 stretchSum)
{
    const Pass::Axis axis = pass.axis(horizontal, qint64(m_items.size()));
    qint64 avail = axis.avail;

    // Everything but the stretch items keeps its own size.
    qint64 fixedSum = 0;
    for (Item& item : m_items) {
        if (item.stretch) {
            item.size = 0;
            continue;
        }
        const qint64 cap = std::min(avail < 1 ? 0 : avail, item.maximum);
        item.size = std::max(std::min(std::max<qint64>(item.minimum, 0), cap),
                             std::min(std::max(std::max<qint64>(item.current, 0), item.minimum), cap));
        fixedSum += item.size;
    }
    if (axis.scrollable)
        avail = std::max(avail, fixedSum);

    qint64 remaining = avail - fixedSum;
    if (remaining < 1) {
        // Too wide: shrink towards the minimums, first in proportion to how far each
        // item is above its minimum, then in order for what rounding left over.
        qint64 deficit = -remaining;
        qint64 shrinkable = 0;
        for (const Item& item : m_items) {
            if (!item.stretch)
                shrinkable += std::max<qint64>(item.size - item.minimum, 0);
        }
        for (Item& item : m_items) {
            if (deficit < 1 || shrinkable < 1)
                break;
            if (item.stretch)
                continue;
            const qint64 s = std::max<qint64>(item.size - item.minimum, 0);
            if (s > 0) {
                const qint64 take = std::min(s, mulDiv(deficit, s, shrinkable));
                item.size -= take;
                shrinkable -= s;
                deficit -= take;
            }
        }
        for (Item& item : m_items) {
            if (deficit < 1)
                break;
            if (item.stretch)
                continue;
            const qint64 s = std::max<qint64>(item.size - item.minimum, 0);
            if (s > 0) {
                const qint64 take = std::min(s, deficit);
                item.size -= take;
                deficit -= take;
            }
        }
    } else {
        for (Item& item : m_items) {
            if (!item.stretch)
                continue;
            const qint64 share = stretchSum <= 0 ? remaining : mulDiv(remaining, item.weight, stretchSum);
            const qint64 cap = std::min(remaining, item.maximum);
            item.size = std::max<qint64>(0, std::min(cap, share));
            remaining = std::max<qint64>(remaining - item.size, 0);
            stretchSum -= item.weight;
        }
    }

    qint64 pos = axis.startPad;
    qint64 left = avail;
    for (const Item& item : m_items) {
        const qint64 low = item.stretch ? 0 : item.minimum;
        const qint64 cap = std::min(left < 1 ? 0 : left, item.maximum);
        const qint64 size = std::max<qint64>(clampSize(low, cap, item.size), 0);
        placeChild(item, horizontal, pos, axis.crossStart, size, axis.cross, item.stretch, item.thickness);
        left = std::max<qint64>(left - size, 0);
        pos += pass.sp + size;
    }
}

void VYRQLayoutEngine::placeChild(const Item& item, bool horizontal, qint64 mainPos, qint64 crossPos,
                                  qint64 mainSize, qint64 cross, bool stretch, int thickness)
{
    QWidget* widget = item.widget;
    const LayoutSizePolicy crossPolicy = item.control
        ? (horizontal ? item.control->getHeightPolicy() : item.control->getWidthPolicy())
        : PolicyUnset;
    qint64 size = horizontal ? widget->height() : widget->width();
    if (stretch) {
        if (thickness >= 1)
            size = thickness;
        else if (item.control && crossPolicy == PolicyFill)
            size = cross;
    } else if (item.control && crossPolicy == PolicyFill) {
        size = cross;
    }
    const qint64 crossMinimum = horizontal ? widget->minimumHeight() : widget->minimumWidth();
    const qint64 crossMaximum = maximumOf(horizontal ? widget->maximumHeight() : widget->maximumWidth());
    const qint64 capC = std::min(std::max<qint64>(cross, 0), crossMaximum);
    size = std::min(clampSize(crossMinimum, capC, size), cross);

    const int main = toCoord(std::max<qint64>(mainSize, 0));
    const int across = toCoord(size);
    const QRect rect = horizontal ? QRect(toCoord(mainPos), toCoord(crossPos), main, across)
                                  : QRect(toCoord(crossPos), toCoord(mainPos), across, main);
    setBaseGeometry(item.record, rect);
    widget->setGeometry(rect);
}
