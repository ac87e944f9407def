#pragma once

#include "LineSeries.h"
#include "PieSlice.h"
#include "RefinerySnapshot.h"
#include "VYRQContainer.h"
#include "VYRQWindow.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

class QKeyEvent;
class QResizeEvent;
class QShowEvent;
class QStandardItemModel;
class QVariantAnimation;
class RefineryProcessView;
class RefinerySimulator;
class VYRQComboBox;
class VYRQImage;
class VYRQLineChart;
class VYRQOpenGLPieChart;
class VYRQTableView;
struct ChartTheme;
class VYRQLabel;
class VYRQPushButton;
class VYRQStackContainer;

// The monitor's only window: a frameless window built entirely in code from library
// controls, each given its look by a "Kolv..." theme name. It owns the simulator and
// redraws itself from every snapshot the simulator sends.
class RefineryPlantWindow : public VYRQWindow {
    Q_OBJECT
public:
    // The labels of one key-figure card or plant tile (not owned).
    struct MetricCardWidgets {
        VYRQLabel* captionLabel = nullptr;
        VYRQLabel* valueLabel = nullptr;
        VYRQLabel* unitLabel = nullptr;
        VYRQLabel* noteLabel = nullptr;
    };
    struct AlarmRowWidgets {
        VYRQContainer* rowContainer = nullptr;
        VYRQLabel* titleLabel = nullptr;
        VYRQLabel* detailLabel = nullptr;
        VYRQLabel* severityLabel = nullptr;
        VYRQLabel* ageLabel = nullptr;
        QString alarmId;
    };
    struct WatchRowWidgets {
        VYRQContainer* rowContainer = nullptr;
        VYRQLabel* nameLabel = nullptr;
        VYRQLabel* valueLabel = nullptr;
        VYRQLabel* statusLabel = nullptr;
        QString equipmentId;
    };
    struct DetailTileWidgets {
        VYRQLabel* captionLabel = nullptr;
        VYRQLabel* valueLabel = nullptr;
    };

    // Item data roles of the equipment table: the row's equipment id on every cell,
    // and the status cell's icon path.
    static constexpr int EquipmentIdRole = Qt::UserRole + 610;
    static constexpr int CellImageRole = 356;

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
    void selectEquipment(const QString& equipmentId);
    void setDrawerOpen(bool open);
    void setTrendSeries(int index);
    // false with no selected alarm; otherwise the simulator's answer.
    bool acknowledgeSelectedAlarm();

    bool isDrawerOpen() const { return drawerOpen; }
    int getTrendSeries() const { return trendSeries; }
    QString getSelectedEquipmentId() const { return selectedEquipmentId; }
    QString getSelectedAlarmId() const { return selectedAlarmId; }
    bool getChartsIntroduced() const { return chartsIntroduced; }
    QStandardItemModel* getEquipmentModel() const { return equipmentModel; }
    const QVector<AlarmRowWidgets>& getAlarmRows() const { return alarmRows; }
    const QVector<WatchRowWidgets>& getWatchRows() const { return watchRows; }

    QString statusText(int status) const;
    static QString statusIconPath(int status);
    static ChartTheme applicationChartTheme();

    static QString iconPath(const QString& key);

public Q_SLOTS:
    void refreshSnapshot(const RefinerySnapshot& snapshot);
    void refreshHistory(const RefinerySnapshot& snapshot);
    void toggleMaximized();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildUi();
    void buildSidebar();
    void buildTopBar();
    void buildDashboardPage();
    void buildPlantPage();
    void buildDetailDrawer();
    void setupEquipmentTable(VYRQTableView* table);
    void createMetricCard(VYRQContainer* row, MetricCardWidgets& card, const QString& iconPath,
                          const QColor& iconColor);
    void createMetricTile(VYRQContainer* row, MetricCardWidgets& tile);
    void createDetailTileRow(DetailTileWidgets& left, DetailTileWidgets& right);
    void createDetailTile(VYRQContainer* row, DetailTileWidgets& tile);
    VYRQLineChart* createLineChart(VYRQContainer* parent, const QString& objectName);
    VYRQContainer* createPageHeader(VYRQContainer* page, VYRQLabel*& title, VYRQLabel*& subtitle);
    RefineryProcessView* createProcessView(VYRQContainer* card, const QString& objectName);

    void refreshKeyFigures();
    void refreshAlarmRows();
    void refreshWatchRows();
    void refreshEquipmentTable();
    void refreshProcessViews();
    void refreshDetailDrawer();
    void refreshTrendChart();
    void refreshEquipmentChart();
    void replayDashboardCharts();
    void selectFirstOpenAlarm();
    void showSelection();
    void selectTableRow();
    void tableSelectionChanged();
    void slideDrawerTo(int width);
    QVariantAnimation* drawerSlide() const;
    void drawerSlideFinished();
    const RefineryEquipment* selectedEquipment() const;
    void updateLayoutGeometry();
    // Hides what of the top bar a narrow window has no room for.
    void fitTopBar();
    void updateDrawerGeometry();
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
    bool drawerSlideReversing = false;
    bool selectingTableRow = false;

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
    QVector<QWidget*> topBarOptional;

    // Dashboard
    VYRQLabel* dashboardTitleLabel = nullptr;
    VYRQLabel* dashboardSubtitleLabel = nullptr;
    MetricCardWidgets throughputCard;
    MetricCardWidgets availabilityCard;
    MetricCardWidgets energyCard;
    MetricCardWidgets alarmCountCard;
    VYRQLabel* processSectionLabel = nullptr;
    VYRQLabel* processHintLabel = nullptr;
    RefineryProcessView* dashboardProcessView = nullptr;
    VYRQLabel* alarmSectionLabel = nullptr;
    VYRQPushButton* viewAllButton = nullptr;
    VYRQPushButton* openButton = nullptr;
    QVector<AlarmRowWidgets> alarmRows;
    VYRQLabel* shiftSummaryLabel = nullptr;
    VYRQOpenGLPieChart* shiftSummaryChart = nullptr;
    QVector<PieSlice> shiftSlices;   // what the pie shows, to skip unchanged repaints
    VYRQLabel* shiftSummaryValue = nullptr;
    VYRQLabel* watchSectionLabel = nullptr;
    QVector<WatchRowWidgets> watchRows;
    VYRQLabel* trendSectionLabel = nullptr;
    VYRQComboBox* trendCombo = nullptr;
    VYRQLineChart* predictiveTrendChart = nullptr;

    // Plant page
    VYRQLabel* plantTitleLabel = nullptr;
    VYRQLabel* plantSubtitleLabel = nullptr;
    MetricCardWidgets liveThroughputTile;
    MetricCardWidgets normalEquipmentTile;
    MetricCardWidgets warningEquipmentTile;
    MetricCardWidgets criticalEquipmentTile;
    RefineryProcessView* plantProcessView = nullptr;
    VYRQLabel* equipmentSectionLabel = nullptr;
    VYRQTableView* equipmentTable = nullptr;
    QStandardItemModel* equipmentModel = nullptr;

    // Detail drawer
    VYRQLabel* drawerTitleLabel = nullptr;
    VYRQLabel* drawerSubtitleLabel = nullptr;
    VYRQContainer* drawerStatusBadge = nullptr;
    VYRQLabel* drawerStatusLabel = nullptr;
    DetailTileWidgets drawerTemperatureTile;
    DetailTileWidgets drawerPressureTile;
    DetailTileWidgets drawerFlowTile;
    DetailTileWidgets drawerVibrationTile;
    VYRQLabel* drawerChartLabel = nullptr;
    VYRQLabel* drawerChartValueLabel = nullptr;
    VYRQLineChart* equipmentDetailChart = nullptr;
    QStringList equipmentLabels;          // what the drawer's chart shows, to skip
    QVector<LineSeries> equipmentLine;    // unchanged resets
    VYRQLabel* drawerAlarmLabel = nullptr;
    VYRQLabel* drawerAlarmText = nullptr;
    VYRQPushButton* acknowledgeButton = nullptr;
};
