#pragma once

#include "VYRQExport.h"

#include "VYRQControl.h"
#include "VYRQRibbonTypes.h"

#include <QColor>
#include <QWidget>

class QAction;
class VYRQRibbonBarImpl;
class VYRQRibbonButton;
class VYRQRibbonContextGroup;
class VYRQRibbonMenu;
class VYRQRibbonPage;

// The ribbon command surface: a header with an application button and its menu,
// quick-access buttons and widgets at the top right, a row of page tabs, and a page
// area showing the current page. Pages belong to the bar directly or to a context
// group, whose pages have tabs only while the group is shown. Every command is a
// QAction whose object name is its identifier; the bar reports them all through
// commandTriggered. In the office layout the top row stands above the tab row, in
// the compact layout both share one header row.
class VYRQTLIB_EXPORT VYRQRibbonBar : public VYRQControl<VYRQRibbonBar, QWidget, VYRQRibbonBarImpl> {
    Q_OBJECT
    Q_PROPERTY(QString jsonData READ jsonData WRITE setJsonData)
    VYR_CONTROL(VYRQRibbonBar, "qtribbonbar")
public:
    explicit VYRQRibbonBar(QWidget* parent = nullptr);
    ~VYRQRibbonBar() override;

    // Pages and tabs. The first page added becomes current without a signal.
    VYRQRibbonPage* insertPage(int index, const QString& id, const QString& title);
    VYRQRibbonPage* addPage(const QString& id, const QString& title);
    bool removePage(VYRQRibbonPage* page);
    void clearPages();
    VYRQRibbonPage* pageAt(int index) const;
    VYRQRibbonPage* pageById(const QString& id) const;
    int pageCount() const;
    int currentPage() const;
    VYRQRibbonPage* currentPageWidget() const;
    // False out of range and for a page without tab; emits currentPageChanged also
    // for the page already current.
    bool setCurrentPage(int index);
    bool setCurrentPage(const QString& id);

    // Context groups
    VYRQRibbonContextGroup* addContextGroup(const QString& id, const QString& title, const QColor& color);
    VYRQRibbonContextGroup* contextGroupById(const QString& id) const;
    void showContextGroup(const QString& id);
    void hideContextGroup(const QString& id);

    // Header content and commands
    void setApplicationMenu(const QString& text, VYRQRibbonMenu* menu, const QString& iconPath);
    VYRQRibbonButton* applicationButton() const;
    VYRQRibbonButton* addQuickAction(QAction* action);
    void addTopRightWidget(QWidget* widget);
    void registerAction(QAction* action);
    QAction* findAction(const QString& commandId) const;

    void setLayoutMode(VYR_RIBBON_LAYOUT_MODE mode);
    VYR_RIBBON_LAYOUT_MODE layoutMode() const;
    void setMinimized(bool on);
    bool isMinimized() const;
    bool isTabOverflowing() const;
    int groupRows() const;
    int pageHeight() const;
    int topRowHeight() const;
    int tabRowHeight() const;

    // The full placement pass.
    void updateLayout();

    // Configuration documents ("schemaVersion" 1) replace the bar's whole content; a
    // failed load changes nothing, sets lastError and emits configLoadFailed.
    bool loadConfigFile(const QString& path);
    bool loadConfigJson(const QString& json);
    // The current content as a configuration document.
    QString configJson() const;
    QString configFile() const;
    QString lastError() const;

    QSize sizeHint() const override;

signals:
    void commandTriggered(const QString& commandId, bool checked);
    void currentPageChanged(int index);
    void layoutModeChanged(VYR_RIBBON_LAYOUT_MODE mode);
    void minimizedChanged(bool minimized);
    void configLoadFailed(const QString& source, const QString& message);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The bar takes no interaction state.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    friend class VYRQRibbonBarImpl;
    friend class VYRQRibbonConfig;
    friend class VYRQRibbonContextGroup;
    friend class VYRQRibbonGroup;
    friend class VYRQRibbonPage;

    bool loadConfigValue(const Json::Value& root, const QString& source);
    void rebuildTabs();
    void updateTabLayout();
    void updatePageVisibility();
    void showMinimizedPopup();
    void hideMinimizedPopup();
    void clearContent();
    void registerMenuActions(QWidget* menu, int depth = 0);
    void onTabClicked(VYRQRibbonPage* page);
    void onActionTriggered(bool checked);
    void onActionDestroyed(QObject* action);
    // A page destroyed from outside leaves every list.
    void forgetPage(VYRQRibbonPage* page);
    void forgetContextGroup(VYRQRibbonContextGroup* group);
    // Pages and their groups take a new row count or page height.
    void relayoutPages();
    void detachPage(VYRQRibbonPage* page);
    void dropObject(QObject* object);
};
