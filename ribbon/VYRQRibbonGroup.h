#pragma once

#include "VYRQExport.h"

#include "VYRQContainer.h"
#include "VYRQRibbonTypes.h"

#include <QPointer>
#include <QVector>

class QAction;
class VYRQRibbonButton;
class VYRQRibbonGallery;
class VYRQRibbonMenu;
class VYRQRibbonPage;

// A titled block of a ribbon page: large items, galleries and separators take the
// full content height, medium and small items stack in columns of the bar's row
// count. It paints the bar's group background and title style; without a bar it
// paints nothing of its own.
class VYRQTLIB_EXPORT VYRQRibbonGroup : public VYRQContainer {
    Q_OBJECT
public:
    struct Item {
        QPointer<QWidget> widget;         // a child of the group
        VYR_RIBBON_ITEM_SIZE size = VYR_RIBBON_ITEM_SIZE::large;
        QString kind;                     // "button", "widget", "gallery" or "separator"
        QPointer<QAction> action;         // the command of a "button" item
    };

    VYRQRibbonGroup(const QString& id, const QString& title, QWidget* parent = nullptr);
    ~VYRQRibbonGroup() override;

    // Null for a null action. The button mirrors the action; with a page on a bar the
    // bar registers the action and every command of the menu.
    VYRQRibbonButton* addAction(QAction* action, VYR_RIBBON_ITEM_SIZE size, VYR_RIBBON_POPUP_MODE mode,
                                VYRQRibbonMenu* menu);
    VYRQRibbonButton* addLargeAction(QAction* action);
    VYRQRibbonButton* addMediumAction(QAction* action);
    VYRQRibbonButton* addSmallAction(QAction* action);
    // A button for the menu under a new action of the group titled like the menu.
    VYRQRibbonButton* addMenu(VYRQRibbonMenu* menu, VYR_RIBBON_ITEM_SIZE size, VYR_RIBBON_POPUP_MODE mode);
    // Adopts and shows the widget; null for null.
    QWidget* addWidget(QWidget* widget, VYR_RIBBON_ITEM_SIZE size);
    VYRQRibbonGallery* addGallery(int columns, int rows);
    void addSeparator();
    // Drops every item; their widgets go once the event loop is back (a command may
    // clear the group that holds its own button). No relayout.
    void clearItems();

    int itemCount() const { return m_items.size(); }
    const QVector<Item>& items() const { return m_items; }
    QString groupId() const { return m_id; }
    QString title() const { return m_title; }
    void setTitle(const QString& title);
    bool isExpanding() const { return m_expanding; }
    void setExpanding(bool on);
    VYRQRibbonPage* page() const;

    QSize sizeHint() const override;

signals:
    void actionTriggered(QAction* action);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class VYRQRibbonPage;

    int rowCount() const;
    void updateItemLayout();
    void appendItem(QWidget* widget, VYR_RIBBON_ITEM_SIZE size, const QString& kind, QAction* action);
    void forwardTriggered();

    QString m_id;
    QString m_title;
    bool m_expanding = false;
    QVector<Item> m_items;
    QPointer<VYRQRibbonPage> m_page;
};
