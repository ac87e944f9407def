#pragma once

#include <QWidget>

// Reading a page element shows the control before its text and look are read, and
// Qt sizes a never-resized child to its size hint on that show: a text layout of the
// placeholder text, which the page then replaces and its container resizes anyway.
// For the read, the control counts as resized.
class VYRQReadSizeGuard {
public:
    explicit VYRQReadSizeGuard(QWidget* w)
        : m_widget(w)
        , m_resized(w->testAttribute(Qt::WA_Resized))
    {
        w->setAttribute(Qt::WA_Resized);
    }
    ~VYRQReadSizeGuard() { m_widget->setAttribute(Qt::WA_Resized, m_resized); }
    VYRQReadSizeGuard(const VYRQReadSizeGuard&) = delete;
    VYRQReadSizeGuard& operator=(const VYRQReadSizeGuard&) = delete;

private:
    QWidget* m_widget;
    bool m_resized;
};
