#pragma once

#include "VYRQExport.h"

#include "VYRQContainer.h"

#include <QHash>
#include <QPointer>
#include <QVector>

class QAction;
class VYRQRibbonButton;

// A grid of commands shown a page of rows x columns at a time, with a strip of page
// up ("^"), page down ("v") and "..." (all commands in a popup menu) at its right.
// Each command is a small ribbon button; a triggered command reports its identifier
// (the action's object name) through itemTriggered.
class VYRQTLIB_EXPORT VYRQRibbonGallery : public VYRQContainer {
    Q_OBJECT
public:
    // Column and row counts are kept within this range.
    static constexpr int maxCount = 64;

    explicit VYRQRibbonGallery(QWidget* parent = nullptr);
    ~VYRQRibbonGallery() override;

    // Ignored for null and for an action already in the gallery; not owned.
    void addAction(QAction* action);
    // A new action owned by the gallery.
    QAction* addItem(const QString& commandId, const QString& text, const QString& iconPath);
    // Drops the cells (the actions stay); no relayout.
    void clearItems();

    int count() const { return m_actions.size(); }
    QList<QAction*> galleryActions() const;
    int columnCount() const { return m_columns; }
    void setColumnCount(int n);
    int visibleRowCount() const { return m_rows; }
    void setVisibleRowCount(int n);
    int firstVisibleIndex() const { return m_first; }

    QSize sizeHint() const override;

signals:
    void itemTriggered(const QString& commandId);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class VYRQRibbonConfig;
    void changePage(int delta);
    void showMoreMenu();
    void updateGalleryLayout();
    void forwardTriggered();

    QVector<QPointer<QAction>> m_actions;
    // Where each action stands in m_actions; an entry whose action is gone is stale.
    QHash<const QObject*, int> m_index;
    QVector<VYRQRibbonButton*> m_buttons;
    VYRQRibbonButton* m_up = nullptr;
    VYRQRibbonButton* m_down = nullptr;
    VYRQRibbonButton* m_more = nullptr;
    int m_columns = 3;
    int m_rows = 2;
    int m_first = 0;
    // Set while a batch of items is added: the gallery is laid out once, after it.
    bool m_layoutDeferred = false;
};
