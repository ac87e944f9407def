#include "RefineryPlantWindow.h"

#include "RefinerySimulator.h"
#include "TarnexStartup.h"
#include "VYRQImage.h"
#include "VYRQLabel.h"
#include "VYRQPushButton.h"
#include "VYRQStackContainer.h"

#include <QResizeEvent>
#include <QTimer>

namespace {

const QColor kNavIconColor(210, 214, 221);

// A fixed size is minimum = maximum together with the layout policy 1.
void fixWidth(QWidget* widget, int width)
{
    widget->setMinimumWidth(width);
    widget->setMaximumWidth(width);
    if (auto* control = dynamic_cast<IVYRQWidgetBase*>(widget))
        control->setWidthPolicy(LayoutSizePolicy(1));
}

void fixHeight(QWidget* widget, int height)
{
    widget->setMinimumHeight(height);
    widget->setMaximumHeight(height);
    if (auto* control = dynamic_cast<IVYRQWidgetBase*>(widget))
        control->setHeightPolicy(LayoutSizePolicy(1));
}

void setPolicies(IVYRQWidgetBase* control, int policy)
{
    control->setWidthPolicy(LayoutSizePolicy(policy));
    control->setHeightPolicy(LayoutSizePolicy(policy));
}

} // namespace

RefineryPlantWindow::RefineryPlantWindow(QWidget* parent)
    : VYRQWindow(parent)
{
    tarnex::initResources();
    simulator = new RefinerySimulator(this);

    setObjectName(QStringLiteral("refineryPlantWindow"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowMaximizeButtonHint);
    setMinimumSize(1280, 720);
    resize(1440, 900);
    setResizeable(true);
    setCanDrag(true);
    setOnlyDragCaption(true);
    setCaptionHeight(64);

    buildUi();

    connect(simulator, &RefinerySimulator::snapshotChanged, this, &RefineryPlantWindow::refreshSnapshot);
    connect(simulator, &RefinerySimulator::historyChanged, this, &RefineryPlantWindow::refreshHistory);
    snapshot = simulator->snapshot();
    setLanguage(0);
    setPage(0);
    refreshSnapshot(snapshot);
    refreshHistory(snapshot);
    simulator->start(1000);

    QTimer::singleShot(0, this, [this] {
        updateLayoutGeometry();
        centerWindow();
    });
}

RefineryPlantWindow::~RefineryPlantWindow()
{
    simulator->stop();
}

QString RefineryPlantWindow::iconPath(const QString& key)
{
    return QStringLiteral(":/tarnex/icons/") + key + QStringLiteral(".svg");
}

QString RefineryPlantWindow::localized(const char* english, const char* chinese) const
{
    return QString::fromUtf8(language == 1 ? chinese : english);
}

// ---------------------------------------------------------------------------
// Factories

VYRQContainer* RefineryPlantWindow::createContainer(VYRQContainer* parent, const QString& themeName, int layout,
                                                    int ratio, int space, int paddingLeft, int paddingTop,
                                                    int paddingRight, int paddingBottom)
{
    auto* container = new VYRQContainer(parent);
    container->setThemeName(themeName);
    setPolicies(container, 0);
    container->setChildLayout(VYRQContainer::AutoChildLayout(layout));
    container->setChildSpace(space);
    container->setChildPadding(paddingLeft, paddingTop, paddingRight, paddingBottom);
    parent->addChildWidget(container, ratio);
    return container;
}

VYRQLabel* RefineryPlantWindow::createLabel(VYRQContainer* parent, const QString& themeName, int ratio, int height)
{
    auto* label = new VYRQLabel(parent);
    label->setThemeName(themeName);
    setPolicies(label, 0);
    if (height > 0)
        fixHeight(label, height);
    parent->addChildWidget(label, ratio);
    return label;
}

VYRQPushButton* RefineryPlantWindow::createIconButton(VYRQContainer* parent, const QString& themeName,
                                                      const QString& text, int width, int height,
                                                      const QString& iconPath, const QColor& iconColor)
{
    auto* button = new VYRQPushButton(parent);
    button->setThemeName(themeName);
    button->setText(text);
    button->setFadeEnabled(false);
    if (!iconPath.isEmpty()) {
        button->setIcon(iconPath);
        button->setUseIcon(true);
        button->setShowText(!text.isEmpty());
        IconStyleDesc icon = button->getIconStyle();
        icon.useColor = true;
        icon.color = iconColor;
        button->setIconStyle(icon);
    }
    if (width > 0)
        fixWidth(button, width);
    if (height > 0)
        fixHeight(button, height);
    parent->addChildWidget(button, width < 1 ? 1 : 0);
    return button;
}

VYRQPushButton* RefineryPlantWindow::createNavButton(VYRQContainer* parent, const QString& text,
                                                     const QString& iconPath)
{
    VYRQPushButton* button =
        createIconButton(parent, QStringLiteral("KolvNavButton"), text, 164, 40, iconPath, kNavIconColor);
    IconStyleDesc icon = button->getIconStyle();
    icon.x = 13;
    icon.hor = 0;
    button->setIconStyle(icon);
    button->setTextOffsetX(44);
    return button;
}

VYRQImage* RefineryPlantWindow::createSvgImage(VYRQContainer* parent, const QString& svgPath, int width, int height,
                                               const QColor& color)
{
    auto* image = new VYRQImage(parent);
    image->setSvgPath(svgPath);
    image->setStretchDraw(true);
    image->setAlignType(DockLayoutType(1), DockLayoutType(1));
    image->setUseSvgColor(true);
    image->setSvgColor(color);
    fixWidth(image, width);
    fixHeight(image, height);
    parent->addChildWidget(image, 0);
    return image;
}

VYRQContainer* RefineryPlantWindow::createDivider(VYRQContainer* parent)
{
    VYRQContainer* divider = createContainer(parent, QStringLiteral("KolvDivider"), 4, 0, 0, 0, 0, 0, 0);
    fixHeight(divider, 1);
    return divider;
}

// ---------------------------------------------------------------------------
// Frame

void RefineryPlantWindow::buildUi()
{
    rootContainer = new VYRQContainer(this);
    rootContainer->setObjectName(QStringLiteral("kolvRoot"));
    rootContainer->setThemeName(QStringLiteral("KolvWindow"));
    rootContainer->setChildLayout(VYRQContainer::Horizontal);
    rootContainer->setChildSpace(0);
    rootContainer->setChildPadding(0, 0, 0, 0);

    sidebar = createContainer(rootContainer, QStringLiteral("KolvSidebar"), 1, 0, 6, 16, 14, 16, 14);
    fixWidth(sidebar, 196);
    mainColumn = createContainer(rootContainer, QStringLiteral("KolvWindow"), 1, 1, 0, 0, 0, 0, 0);
    topBar = createContainer(mainColumn, QStringLiteral("KolvTopbar"), 0, 0, 8, 18, 9, 12, 9);
    fixHeight(topBar, 64);

    pageStack = new VYRQStackContainer(mainColumn);
    pageStack->setObjectName(QStringLiteral("kolvPageStack"));
    pageStack->setThemeName(QStringLiteral("KolvStack"));
    setPolicies(pageStack, 0);
    mainColumn->addChildWidget(pageStack, 1);

    auto makePage = [this](const QString& name) {
        auto* page = new VYRQContainer(pageStack);
        page->setObjectName(name);
        page->setThemeName(QStringLiteral("KolvPage"));
        page->setChildLayout(VYRQContainer::Vertical);
        page->setChildSpace(10);
        page->setChildPadding(18, 14, 18, 16);
        setPolicies(page, 0);
        pageStack->addWidget(page);
        return page;
    };
    dashboardPage = makePage(QStringLiteral("dashboardPage"));
    plantPage = makePage(QStringLiteral("plantPage"));

    buildSidebar();
    buildTopBar();
}

void RefineryPlantWindow::buildSidebar()
{
    VYRQContainer* brand = createContainer(sidebar, QStringLiteral("KolvClear"), 0, 0, 9, 0, 0, 0, 0);
    fixHeight(brand, 48);
    createSvgImage(brand, iconPath(QStringLiteral("logo")), 34, 34, QColor(150, 139, 255));
    brandLabel = createLabel(brand, QStringLiteral("KolvLabelMdBold"), 1, 42);

    navDashboardButton =
        createNavButton(sidebar, QStringLiteral("Dashboard"), iconPath(QStringLiteral("dashboard")));
    navAlarmButton = createNavButton(sidebar, QStringLiteral("Alarms"), iconPath(QStringLiteral("alarm")));
    navPlantButton = createNavButton(sidebar, QStringLiteral("Plant Overview"), iconPath(QStringLiteral("plant")));
    navEquipmentButton =
        createNavButton(sidebar, QStringLiteral("Equipment Explorer"), iconPath(QStringLiteral("equipment")));
    navTrendButton = createNavButton(sidebar, QStringLiteral("Trends & Analysis"), iconPath(QStringLiteral("trend")));
    navReportButton =
        createNavButton(sidebar, QStringLiteral("Incidents & Reports"), iconPath(QStringLiteral("report")));
    navEquipmentButton->setEnabled(false);
    navTrendButton->setEnabled(false);
    navReportButton->setEnabled(false);

    createContainer(sidebar, QStringLiteral("KolvClear"), 1, 1, 0, 0, 0, 0, 0);

    VYRQContainer* status = createContainer(sidebar, QStringLiteral("KolvCardAlt"), 0, 0, 8, 10, 7, 10, 7);
    fixHeight(status, 44);
    createSvgImage(status, iconPath(QStringLiteral("activity")), 18, 18, QColor(63, 220, 137));
    VYRQLabel* live = createLabel(status, QStringLiteral("KolvLabelSmBold"), 1, 28);
    live->setText(QStringLiteral("LIVE / OPC-UA"));

    connect(navDashboardButton, &QAbstractButton::clicked, this, [this] { setPage(0); });
    connect(navPlantButton, &QAbstractButton::clicked, this, [this] { setPage(1); });
    connect(navAlarmButton, &QAbstractButton::clicked, this, [this] {
        setPage(0);
        for (const RefineryAlarm& alarm : snapshot.alarms) {
            if (!alarm.acknowledged) {
                selectAlarm(alarm.id);
                break;
            }
        }
    });
}

void RefineryPlantWindow::buildTopBar()
{
    plantUnitLabel = createLabel(topBar, QStringLiteral("KolvLabelSmBold"), 0, 36);
    fixWidth(plantUnitLabel, 230);
    createContainer(topBar, QStringLiteral("KolvClear"), 0, 1, 0, 0, 0, 0, 0);
    createIconButton(topBar, QStringLiteral("KolvIconButton"), QString(), 34, 34, iconPath(QStringLiteral("search")),
                     kNavIconColor);
    clockLabel = createLabel(topBar, QStringLiteral("KolvLabelMuted"), 0, 34);
    fixWidth(clockLabel, 86);
    createSvgImage(topBar, iconPath(QStringLiteral("user")), 25, 25, QColor(205, 209, 216));
    userLabel = createLabel(topBar, QStringLiteral("KolvLabelSmBold"), 0, 34);
    fixWidth(userLabel, 92);
    languageEnButton =
        createIconButton(topBar, QStringLiteral("KolvSecondaryButton"), QStringLiteral("EN"), 38, 30, QString(), QColor());
    languageZhButton = createIconButton(topBar, QStringLiteral("KolvSecondaryButton"), QStringLiteral("中"), 38, 30,
                                        QString(), QColor());
    VYRQPushButton* minimise = createIconButton(topBar, QStringLiteral("KolvIconButton"), QString(), 30, 30,
                                                iconPath(QStringLiteral("minimize")), kNavIconColor);
    VYRQPushButton* maximise = createIconButton(topBar, QStringLiteral("KolvIconButton"), QString(), 30, 30,
                                                iconPath(QStringLiteral("maximize")), kNavIconColor);
    VYRQPushButton* closeButton = createIconButton(topBar, QStringLiteral("KolvCloseButton"), QString(), 30, 30,
                                                   iconPath(QStringLiteral("close")), kNavIconColor);

    connect(languageEnButton, &QAbstractButton::clicked, this, [this] { setLanguage(0); });
    connect(languageZhButton, &QAbstractButton::clicked, this, [this] { setLanguage(1); });
    connect(minimise, &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(maximise, &QAbstractButton::clicked, this, &RefineryPlantWindow::toggleMaximized);
    connect(closeButton, &QAbstractButton::clicked, this, &QWidget::close);
}

void RefineryPlantWindow::updateLayoutGeometry()
{
    rootContainer->setGeometry(rect());
    rootContainer->forceResize();
    if (!detailDrawer)
        return;
    const int height = qMax(plantPage->height() - 28, 440);
    fixHeight(detailDrawer, height);
    if (!detailDrawer->isResizeAnimationRunning())
        detailDrawer->resize(390, height);
    detailDrawer->resizeWidget();
    detailDrawer->raise();
}

void RefineryPlantWindow::resizeEvent(QResizeEvent* event)
{
    VYRQWindow::resizeEvent(event);
    updateLayoutGeometry();
}

void RefineryPlantWindow::toggleMaximized()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

// ---------------------------------------------------------------------------
// Pages, language and refresh

void RefineryPlantWindow::setPage(int index)
{
    // The stack ignores an index it does not hold; so does the window, or the stored
    // page and the shown one would disagree.
    if (index < 0 || index > 1)
        return;
    currentPage = index;
    pageStack->setCurrentIndex(index);
    updateNavigationStyles();
}

void RefineryPlantWindow::updateNavigationStyles()
{
    navDashboardButton->setThemeName(
        currentPage == 0 ? QStringLiteral("KolvNavButtonActive") : QStringLiteral("KolvNavButton"));
    navPlantButton->setThemeName(
        currentPage == 1 ? QStringLiteral("KolvNavButtonActive") : QStringLiteral("KolvNavButton"));
    navAlarmButton->setThemeName(QStringLiteral("KolvNavButton"));
}

void RefineryPlantWindow::selectAlarm(const QString& alarmId)
{
    for (const RefineryAlarm& alarm : snapshot.alarms) {
        if (alarm.id != alarmId)
            continue;
        selectedAlarmId = alarm.id;
        selectedEquipmentId = alarm.equipmentId;
        currentPage = 1;
        pageStack->setCurrentIndex(1);
        updateNavigationStyles();
        return;
    }
}

void RefineryPlantWindow::setLanguage(int value)
{
    language = value;
    retranslateUi();
    refreshSnapshot(snapshot);
    refreshHistory(snapshot);
}

void RefineryPlantWindow::retranslateUi()
{
    setWindowTitle(localized("Qt-UI Tarnex Refinery Monitoring", "Qt-UI Tarnex 炼化装置监控"));
    brandLabel->setText(QStringLiteral("TARNEX"));
    plantUnitLabel->setText(localized("North Hydrotreater / In production", "北区加氢精制装置 / 生产中"));
    userLabel->setText(QStringLiteral("Rena Tolvik"));
    navDashboardButton->setText(localized("Dashboard", "运行总览"));
    navAlarmButton->setText(localized("Alarms", "实时告警"));
    navPlantButton->setText(localized("Plant Overview", "装置流程"));
    navEquipmentButton->setText(localized("Equipment Explorer", "设备浏览"));
    navTrendButton->setText(localized("Trends & Analysis", "趋势分析"));
    navReportButton->setText(localized("Incidents & Reports", "事件与报表"));

    languageEnButton->setThemeName(language == 0 ? QStringLiteral("KolvLanguageButtonActive")
                                                 : QStringLiteral("KolvSecondaryButton"));
    languageZhButton->setThemeName(language == 1 ? QStringLiteral("KolvLanguageButtonActive")
                                                 : QStringLiteral("KolvSecondaryButton"));
}

void RefineryPlantWindow::refreshSnapshot(const RefinerySnapshot& value)
{
    snapshot = value;
    clockLabel->setText(snapshot.timeText);
}

void RefineryPlantWindow::refreshHistory(const RefinerySnapshot& value)
{
    snapshot = value;
}
