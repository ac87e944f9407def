#pragma once

#include "VYRQExport.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QVector>

class VYRQRibbonBar;
class VYRQRibbonPage;

// A named, coloured set of extra ribbon pages whose tabs the bar shows only while the
// group is visible. A child object of its bar; the pages belong to the bar. Once the
// bar is gone, the group adds no pages and rebuilds nothing.
class VYRQTLIB_EXPORT VYRQRibbonContextGroup : public QObject {
    Q_OBJECT
public:
    VYRQRibbonContextGroup(const QString& id, const QString& title, const QColor& color, VYRQRibbonBar* bar);
    ~VYRQRibbonContextGroup() override;

    QString contextId() const { return m_id; }
    QString title() const { return m_title; }
    QColor color() const { return m_color; }
    // Rebuilds the bar's tabs.
    void setColor(const QColor& color);
    // Changed by the bar only.
    bool isVisible() const { return m_visible; }

    // A new page at the end of the bar's pages; null without a bar.
    VYRQRibbonPage* addPage(const QString& id, const QString& title);
    int pageCount() const { return m_pages.size(); }
    VYRQRibbonPage* pageAt(int index) const;
    VYRQRibbonBar* bar() const;

private:
    friend class VYRQRibbonBar;
    friend class VYRQRibbonConfig;

    QString m_id;
    QString m_title;
    QColor m_color;
    bool m_visible = false;
    QVector<QPointer<VYRQRibbonPage>> m_pages;
    QPointer<VYRQRibbonBar> m_bar;
};
