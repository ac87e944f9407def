#pragma once

// The control shape every OpenGL chart shares, on top of the control mixin: the
// chart base as the Qt base, the GL hooks, the mouse routing to the implementation
// object, and a destructor that frees the implementation with its GL context current.
//
//   class VYRQLineChart : public VYRQChartControl<VYRQLineChart, VYRQLineChartImpl> {
//       Q_OBJECT
//       Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
//       VYR_CONTROL(VYRQLineChart, "qtlinechart")
//       ...
//   };

#include "VYRQChartBase.h"
#include "VYRQChartBaseImpl.h"
#include "VYRQControl.h"

#include <QMouseEvent>

template <class Derived, class Impl>
class VYRQChartControl : public VYRQControl<Derived, VYRQChartBase, Impl> {
    using Base = VYRQControl<Derived, VYRQChartBase, Impl>;

public:
    explicit VYRQChartControl(QWidget* parent)
        : Base(parent)
    {
        m_chartImpl = this->impl();
        this->setMinimumSize(420, 260);
        this->setMouseTracking(true);
    }
    ~VYRQChartControl() override
    {
        // A shown top-level window would take expose events while the GL widget tears
        // its context down (the offscreen platform on GLX paints it half destroyed).
        if (this->isWindow() && this->isVisible())
            this->hide();
        this->makeCurrent();
        if (m_chartImpl)
            m_chartImpl->releaseGL();
        m_chartImpl = nullptr;
        VYRQWidgetBaseImpl* impl = this->m_baseImpl;
        this->m_baseImpl = nullptr;
        delete impl;
        this->doneCurrent();
    }

protected:
    // A chart's designer record: type key and class name from the chart class, and
    // no property rows (charts are not edited row by row).
    static ControlInfo chartInfo(const char* displayName, const char* description, const char* category)
    {
        ControlInfo info;
        info.typeKey = Derived::typeName();
        info.className = Derived::staticMetaObject.className();
        info.displayName = displayName;
        info.description = description;
        info.category = category;
        return info;
    }

    void initializeGL() override
    {
        if (m_chartImpl)
            m_chartImpl->initializeGL();
    }
    void resizeGL(int, int) override {}
    void paintGL() override
    {
        if (m_chartImpl)
            m_chartImpl->paint();
    }
    // The GL widget's own paint path (it calls paintGL), not the mixin's painter.
    void paintEvent(QPaintEvent* event) override { VYRQChartBase::paintEvent(event); }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (m_chartImpl && m_chartImpl->pressAt(*event)) {
            event->accept();
            this->update();
            return;
        }
        VYRQChartBase::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_chartImpl && m_chartImpl->dragTo(*event)) {
            event->accept();
            this->update();
            return;
        }
        VYRQChartBase::mouseMoveEvent(event);
        if (m_chartImpl && m_chartImpl->updateHover(event->pos()))
            this->update();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (m_chartImpl)
            m_chartImpl->releaseAt(*event);
        VYRQChartBase::mouseReleaseEvent(event);
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override { VYRQChartBase::mouseDoubleClickEvent(event); }
    void enterEvent(QEvent* event) override { VYRQChartBase::enterEvent(event); }
    void leaveEvent(QEvent* event) override
    {
        if (m_chartImpl && m_chartImpl->clearHover())
            this->update();
        VYRQChartBase::leaveEvent(event);
    }

private:
    // The implementation seen as a chart implementation; set while it lives.
    VYRQChartBaseImpl* m_chartImpl = nullptr;
};
