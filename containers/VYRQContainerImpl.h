#pragma once

#include "VYRQLayoutEngine.h"
#include "VYRQSharedStyle.h"
#include "VYRQStyleDefs.h"
#include "VYRQWidgetBaseImpl.h"

#include <QPointer>
#include <QSize>

#include <memory>

class QEvent;
class QObject;
class QVariantAnimation;
class QWheelEvent;
class QWindow;
class VYRQContainer;
class VYRQScrollBar;

namespace vyr {
// Dynamic properties the container sets on its children; other controls read them.
constexpr const char* kBaseGeometryProperty = "_vyr_container_base_geometry";
constexpr const char* kBoundScrollBarProperty = "_vyr_container_bound_scrollbar";
} // namespace vyr

// State of a VYRQContainer: settings, bound scroll bars, scroll offset, resize
// animation and native window binding. The stack, the flow view, the scroll view
// and the page frame build on it.
class VYRQTLIB_EXPORT VYRQContainerImpl : public VYRQWidgetBaseImpl {
    Q_OBJECT
public:
    explicit VYRQContainerImpl(VYRQContainer* owner);
    ~VYRQContainerImpl() override;

    VYRQContainer* container() const;

    void drawControl(QPainter* painter, const QRect& rect) override;
    vyr::StyleSlots styleSlots() override;
    void readJson(const Json::Value& element) override;
    void writeJson(Json::Value& element) override;

    // The layout pass unless the child layout is NoUse, then the scroll refresh.
    void relayout();
    // The layout pass itself (VYRQLayoutEngine).
    void layoutChildren();
    // Shows, hides and sizes the bound bars for the content, then moves the content.
    void refreshScroll();
    // Moves every child to its base geometry less the scroll offset.
    void applyScrollOffset();

    QSize contentSize(VYRQContainer* child) const;
    QSize preferredChildSize(QWidget* child) const;

    // Events of the owner and of its watched children.
    void childAdded(QObject* child);
    void childRemoved(QObject* child);
    void watchedChildEvent(QObject* watched, QEvent* event);
    void ownerResized();
    bool wheel(QWheelEvent* event);
    void watchChild(QWidget* child);

    void bindScrollBar(VYRQScrollBar* bar, bool horizontal);
    VYRQScrollBar* boundBar(bool horizontal) const;
    void setScrollPos(bool horizontal, int pos);
    int scrollPos(bool horizontal) const { return horizontal ? scrollX : scrollY; }
    // True for a bound bar and for any widget marked as one.
    bool isBoundBar(const QObject* object) const;
    // The same for a child whose bound-bar mark is known.
    bool isBoundChild(const QObject* object, int barMark) const;
    // Bound bars and former bars that stay hidden take no part in the layout.
    static bool isExcludedBar(const QWidget* widget);
    // -1 when the widget carries no bound-bar property, else its value (0 or 1).
    static int boundBarMark(const QObject* object);

    bool startResizeAnimation(const QSize& from, const QSize& to, int durationMs);
    bool isResizeAnimationRunning() const { return animationRunning; }

    void bindWindowHandle(void* handle);
    void* windowHandle() const { return m_windowHandle; }
    // Keeps the bound native window over the owner's area.
    void syncNativeWindow();

    bool isLayouting() const { return layouting; }
    bool isScrolling() const { return scrolling; }

    vyr::SharedStyle<FillStyle> background;
    vyr::SharedStyle<FillStyle> disableBackground;
    int childLayout = 4;
    int space = 0;
    int paddingLeft = 0;
    int paddingTop = 0;
    int paddingRight = 0;
    int paddingBottom = 0;
    bool drawBackground = true;
    bool absoluteDockAutoSize = false;

private:
    friend class VYRQLayoutEngine;

    void releaseBar(VYRQScrollBar* bar);
    // Drops the binding of a bar that left the container or is being destroyed.
    void forgetBar(bool horizontal, bool destroyed);
    void barValueChanged(bool horizontal, int value);
    void queueRelayout();
    void applyAnimatedSize(const QSize& size);
    void restoreUnscrolled();

    void* m_windowHandle = nullptr;
    QPointer<VYRQScrollBar> horizontalBar;
    QPointer<VYRQScrollBar> verticalBar;
    // Addresses of the bound bars, to recognise them while they are torn down.
    const QObject* m_horizontalBarAddress = nullptr;
    const QObject* m_verticalBarAddress = nullptr;
    int scrollX = 0;
    int scrollY = 0;
    bool scrolling = false;
    bool layouting = false;
    QVariantAnimation* resizeAnimation = nullptr;
    bool animationRunning = false;
    bool animateWidth = false;
    bool animateHeight = false;
    QSize animationTarget;

    bool m_relayoutQueued = false;
    int m_refreshDepth = 0;
    QPointer<QWindow> m_nativeWindow;
    bool m_nativeWindowOwned = false;
    VYRQLayoutEngine m_engine;
};
