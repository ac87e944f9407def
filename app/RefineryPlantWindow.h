#pragma once

#include "RefinerySnapshot.h"
#include "VYRQContainer.h"
#include "VYRQWindow.h"

#include <QColor>
#include <QString>

class QResizeEvent;
class QShowEvent;
class RefinerySimulator;
class VYRQImage;
class VYRQLabel;
class VYRQPushButton;
class VYRQStackContainer;

// The monitor's only window: a frameless window built entirely in code from library
// controls, each given its look by a "Kolv..." theme name. It owns the simulator and
// redraws itself from every snapshot the simulator sends.
class RefineryPlantWindow : public VYRQWindow {
    Q_OBJECT
public:
    explicit RefineryPlantWindow(QWidget* parent = nullptr);
    ~RefineryPlantWindow() override;

    RefinerySimulator* plantSimulator() const { return simulator; }
    const RefinerySnapshot& currentSnapshot() const { return snapshot; }
    int getLanguage() const { return language; }
    int getCurrentPage() const { return currentPage; }

    // 0 English, 1 Chinese: rewrites every text.
    void setLanguage(int language);
    // 0 dashboard, 1 plant; any other index is ignored.
    void setPage(int index);
    void selectAlarm(const QString& alarmId);

    static QString iconPath(const QString& key);

public Q_SLOTS:
    void refreshSnapshot(const RefinerySnapshot& snapshot);
    void refreshHistory(const RefinerySnapshot& snapshot);
    void toggleMaximized();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildUi();
    void buildSidebar();
    void buildTopBar();
    void updateLayoutGeometry();
    void updateNavigationStyles();
    void retranslateUi();
    // The English or the Chinese literal, by the current language.
    QString localized(const char* english, const char* chinese) const;

    // Widget factories: each adds the new widget to parent with addChildWidget.
    VYRQContainer* createContainer(VYRQContainer* parent, const QString& themeName, int layout, int ratio,
                                   int space, int paddingLeft, int paddingTop, int paddingRight, int paddingBottom);
    VYRQLabel* createLabel(VYRQContainer* parent, const QString& themeName, int ratio, int height);
    VYRQPushButton* createIconButton(VYRQContainer* parent, const QString& themeName, const QString& text, int width,
                                     int height, const QString& iconPath, const QColor& iconColor);
    VYRQPushButton* createNavButton(VYRQContainer* parent, const QString& text, const QString& iconPath);
    VYRQImage* createSvgImage(VYRQContainer* parent, const QString& svgPath, int width, int height,
                              const QColor& color);
    VYRQContainer* createDivider(VYRQContainer* parent);

    int language = 0;
    int currentPage = 0;
    RefinerySimulator* simulator = nullptr;
    RefinerySnapshot snapshot;
    int trendSeries = 0;
    QString selectedEquipmentId = QStringLiteral("R-203");
    QString selectedAlarmId;
    bool drawerOpen = false;
    bool chartsIntroduced = false;

    VYRQContainer* rootContainer = nullptr;
    VYRQContainer* sidebar = nullptr;
    VYRQContainer* mainColumn = nullptr;
    VYRQContainer* topBar = nullptr;
    VYRQStackContainer* pageStack = nullptr;
    VYRQContainer* dashboardPage = nullptr;
    VYRQContainer* plantPage = nullptr;
    VYRQContainer* detailDrawer = nullptr;
    VYRQLabel* brandLabel = nullptr;
    VYRQLabel* plantUnitLabel = nullptr;
    VYRQLabel* clockLabel = nullptr;
    VYRQLabel* userLabel = nullptr;
    VYRQPushButton* navDashboardButton = nullptr;
    VYRQPushButton* navAlarmButton = nullptr;
    VYRQPushButton* navPlantButton = nullptr;
    VYRQPushButton* navEquipmentButton = nullptr;
    VYRQPushButton* navTrendButton = nullptr;
    VYRQPushButton* navReportButton = nullptr;
    VYRQPushButton* languageEnButton = nullptr;
    VYRQPushButton* languageZhButton = nullptr;
};
