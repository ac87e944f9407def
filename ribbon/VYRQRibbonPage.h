#pragma once

#include "VYRQExport.h"

#include "VYRQContainer.h"

#include <QPointer>
#include <QVector>

class VYRQRibbonBar;
class VYRQRibbonButton;
class VYRQRibbonContextGroup;
class VYRQRibbonGroup;

// The content of one ribbon tab: groups laid out left to right, each as wide as its
// content, spare width shared among expanding groups, and two scroll buttons with
// wheel scrolling when the groups do not fit.
class VYRQTLIB_EXPORT VYRQRibbonPage : public VYRQContainer {
    Q_OBJECT
public:
    // An empty title shows the id.
    VYRQRibbonPage(const QString& id, const QString& title, QWidget* parent = nullptr);
    ~VYRQRibbonPage() override;

    VYRQRibbonGroup* addGroup(const QString& id, const QString& title);
    // The index is clamped to the ends.
    VYRQRibbonGroup* insertGroup(int index, const QString& id, const QString& title);
    // False for a group of another page.
    bool removeGroup(VYRQRibbonGroup* group);
    // No relayout.
    void clearGroups();
    VYRQRibbonGroup* groupAt(int index) const;
    VYRQRibbonGroup* groupById(const QString& id) const;
    int groupCount() const { return m_groups.size(); }

    QString pageId() const { return m_id; }
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    VYRQRibbonBar* bar() const;
    VYRQRibbonContextGroup* contextGroup() const;

    void scrollBy(int dx);
    int scrollOffset() const { return m_scrollOffset; }
    bool isOverflowing() const { return m_contentWidth > width(); }

    QSize sizeHint() const override;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class VYRQRibbonBar;
    friend class VYRQRibbonConfig;
    friend class VYRQRibbonContextGroup;
    friend class VYRQRibbonGroup;

    void updateGroupLayout();
    // True while the page's bar reads a configuration.
    bool barLoading() const;
    // Every group lays its items out again (a new row count), then the page its groups.
    void relayoutGroups();
    void setBar(VYRQRibbonBar* bar);
    void setContextGroup(VYRQRibbonContextGroup* group);
    // A group being destroyed leaves the list.
    void forgetGroup(VYRQRibbonGroup* group);

    QString m_id;
    QString m_title;
    QVector<VYRQRibbonGroup*> m_groups;
    VYRQRibbonButton* m_scrollLeft = nullptr;
    VYRQRibbonButton* m_scrollRight = nullptr;
    int m_scrollOffset = 0;
    int m_contentWidth = 0;
    QPointer<VYRQRibbonBar> m_bar;
    QPointer<VYRQRibbonContextGroup> m_contextGroup;
};
