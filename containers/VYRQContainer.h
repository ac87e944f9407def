#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"

#include <QColor>
#include <QIcon>
#include <QSize>
#include <QString>
#include <QWidget>

class QDesignerFormEditorInterface;
class QEvent;
class QMouseEvent;
class QResizeEvent;
class QWheelEvent;
class VYRQContainerImpl;
class VYRQScrollBar;

// The general layout container: paints an optional background, lays its children
// out in a row, a column, wrapping rows or wrapping columns, docks "absolute"
// children to its edges or centre, scrolls its content through bound scroll bars,
// animates its own size and can keep a native window over its area.
//
// A container built in code starts with NoUse: nothing is laid out until a child
// layout is chosen.
class VYRQTLIB_EXPORT VYRQContainer : public VYRQControl<VYRQContainer, QWidget, VYRQContainerImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQContainer, "qtcontainer")
    friend class VYRQLayoutEngine;

public:
    enum AutoChildLayout : int {
        Horizontal = 0,
        Vertical = 1,
        HorFloat = 2,
        VerFloat = 3,
        NoUse = 4
    };
    Q_ENUM(AutoChildLayout)

    explicit VYRQContainer(QWidget* parent = nullptr);
    ~VYRQContainer() override;

    // Layout settings; each setter lays the children out again.
    void setChildLayout(AutoChildLayout layout);
    AutoChildLayout getChildLayout() const;
    void setChildSpace(int space);
    int getChildSpace() const;
    void setChildPadding(int padding);
    void setChildPadding(int left, int top, int right, int bottom);
    void getChildPadding(int& left, int& top, int& right, int& bottom) const;
    // When this container is itself docked in a container, it takes its content size.
    void setAbsoluteDockAutoSize(bool on);
    bool getAbsoluteDockAutoSize() const;

    void setChildRatio(QWidget* child, int ratio);
    // Adopts the widget and lays it out at once (a plain child waits for the event loop).
    void addChildWidget(QWidget* child, int ratio);
    // Lays the children out now (nothing but the scroll refresh with NoUse).
    Q_INVOKABLE void forceResize();

    // Background
    void setDrawBackground(bool on);
    bool getDrawBackground() const;
    void setBackground(const FillStyle& style);
    const FillStyle& getBackground() const;
    void setDisableBackground(const FillStyle& style);
    const FillStyle& getDisableBackground() const;
    // Normal addresses the enabled background, every other state the disabled one.
    void setBackgroundState(CtrlState state, const FillStyle& style);
    const FillStyle& getBackgroundState(CtrlState state) const;
    void setColor(QColor color);
    void setUseFillStyle(bool on);
    bool getUseFillStyle() const;
    void setDelegateItemVisible(bool visible);
    bool getDelegateItemVisible() const;

    // Scrolling through bound bars (not owned; they become children of the container).
    void bindScrollBar(VYRQScrollBar* bar, bool horizontal);
    VYRQScrollBar* getBindScrollBar(bool horizontal) const;
    void setScrollPos(bool horizontal, int pos);
    int getScrollPos(bool horizontal) const;

    // Animates the container's size; false while an animation runs.
    bool startResizeAnimation(const QSize& from, const QSize& to, int durationMs);
    bool isResizeAnimationRunning() const;

    // A native window kept over the container's area; moved at the next resize.
    void bindWindowHandle(void* handle);
    void unbindWindowHandle();
    void* getWindowHandle() const;

    // Form-designer plugin interface.
    QString name() const;
    QString group() const;
    QString toolTip() const;
    QString whatsThis() const;
    QIcon icon() const;
    QString includeFile() const;
    QString domXml() const;
    bool isContainer() const;
    QWidget* createWidget(QWidget* parent);
    void initialize(QDesignerFormEditorInterface* core);
    bool isInitialized() const;

Q_SIGNALS:
    void mouseClickEvent();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool m_initialized = false;
};
