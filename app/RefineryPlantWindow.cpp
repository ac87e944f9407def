#include "RefineryPlantWindow.h"

#include "RefineryFocusFrame.h"
#include "RefineryProcessView.h"
#include "RefinerySimulator.h"
#include "TarnexStartup.h"
#include "VYRQComboBox.h"
#include "ChartTheme.h"
#include "LineSeries.h"
#include "PieSlice.h"
#include "VYRQImage.h"
#include "VYRQLabel.h"
#include "VYRQLineChart.h"
#include "VYRQOpenGLPieChart.h"
#include "VYRQPushButton.h"
#include "VYRQScrollBar.h"
#include "VYRQScrollView.h"
#include "VYRQStackContainer.h"
#include "VYRQTableView.h"
#include "VYRQWindowImpl_p.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShowEvent>
#include <QStandardItemModel>
#include <QTextLayout>
#include <QTimer>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

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

void alignRight(VYRQLabel* label)
{
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

// Applying a theme element restyles and repaints even when the name stays.
template <class Widget>
void setThemeNameIfChanged(Widget* widget, const QString& name)
{
    if (widget->getThemeName() != name)
        widget->setThemeName(name);
}

// A wrapped label must not be cut to one line with an ellipsis.
void wrapWords(VYRQLabel* label)
{
    label->setWordWrap(true);
    TextStyleDesc style = label->getTextStyle(Normal);
    style.singleLine = false;
    label->setTextStyle(AllStates, style);
}

// A label elides its text to its width when it is resized; a text set in between
// would show cut off mid-letter until the next resize.
void setElidedText(VYRQLabel* label, const QString& text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    // Not laid out yet: the first layout's resize elides it.
    if (label->width() < 1)
        return;
    QResizeEvent resize(label->size(), label->size());
    QCoreApplication::sendEvent(label, &resize);
}

// Word-wrapped text cut to the lines the label's height holds, the last one elided;
// kept whole in a property so that a resize can cut it again.
const char* const kWrappedText = "tarnexWrappedText";

void fitWrappedText(VYRQLabel* label)
{
    const QString text = label->property(kWrappedText).toString();
    const int width = label->width();
    QString shown = text;
    if (width > 0) {
        const QFontMetrics metrics(label->font());
        // A line whose descent reaches a pixel past the label still reads.
        const int lines = qMax(1, qRound(double(label->height()) / metrics.lineSpacing()));
        QTextLayout layout(text, label->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        int lastStart = -1;
        for (int i = 0; i <= lines; ++i) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(width);
            if (i == lines) {
                shown = text.left(lastStart) + metrics.elidedText(text.mid(lastStart), Qt::ElideRight, width);
                break;
            }
            lastStart = line.textStart();
        }
        layout.endLayout();
    }
    if (label->text() != shown)
        label->setText(shown);
}

void setWrappedText(VYRQLabel* label, const QString& text)
{
    // Every refresh writes the texts again; a resize or a new font cuts the same text anew.
    const QVariant kept = label->property(kWrappedText);
    if (kept.isValid() && kept.toString() == text)
        return;
    label->setProperty(kWrappedText, text);
    fitWrappedText(label);
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

const QColor kGreen(63, 220, 137);
const QColor kAmber(255, 194, 92);
const QColor kRed(255, 83, 105);
const QColor kViolet(150, 139, 255);

constexpr int kDrawerWidth = 390;
constexpr int kDrawerSlideMs = 220;
constexpr int kPageSpace = 10;
constexpr int kPagePaddingTop = 14;
constexpr int kPagePaddingBottom = 16;
// The drawer is that much lower than the plant page, centred on it.
constexpr int kDrawerMargin = 28;

// The height a vertical container needs for the minimum heights of its direct child
// containers, controls and charts, less the one left out.
int columnMinimum(const VYRQContainer* column, const QWidget* leftOut = nullptr)
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    column->getChildPadding(left, top, right, bottom);
    int content = top + bottom;
    int rows = 0;
    for (QObject* object : column->children()) {
        auto* row = qobject_cast<QWidget*>(object);
        if (!row || row == leftOut || row->isWindow())
            continue;
        content += row->minimumHeight();
        ++rows;
    }
    return content + qMax(rows - 1, 0) * column->getChildSpace();
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
    setMinSize(1280, 720);
    resize(1440, 900);
    setResizeable(true);
    setCanDrag(true);
    setOnlyDragCaption(true);
    setCaptionHeight(64);

    buildUi();
    // The window keeps the focus itself until the operator moves it: nothing that
    // shows it would have it at first, and Tab starts at the first control that does.
    setFocus();

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
        // Centred on the screen's available area, never with the top bar or the
        // left border off it; a maximised window is where it belongs.
        if (!(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
            if (QScreen* screen = this->screen())
                move(tarnex::startPosition(size(), screen->availableGeometry()));
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
    // The buttons act on a click, as on a toolbar. None draws a focus, so none takes
    // it: Tab would walk through them unseen, and Space press the one it stopped on.
    button->setFocusPolicy(Qt::NoFocus);
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

    // Each page sits in a scroll view: where the window is too low for its content,
    // the page scrolls rather than squeeze its charts and lists below reading size.
    auto makePage = [this](const QString& name) {
        auto* scroller = new VYRQScrollView(pageStack);
        scroller->setObjectName(name + QStringLiteral("Scroller"));
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroller->setWidgetResizable(true);
        // Shows no focus either: a click lets the keys scroll the page, Tab passes it by.
        scroller->setFocusPolicy(Qt::ClickFocus);
        setPolicies(scroller, 0);
        if (auto* bar = qobject_cast<VYRQScrollBar*>(scroller->verticalScrollBar()))
            bar->setThemeName(QStringLiteral("KolvScrollV"));
        auto* page = new VYRQContainer;
        page->setObjectName(name);
        page->setThemeName(QStringLiteral("KolvPage"));
        page->setChildLayout(VYRQContainer::Vertical);
        page->setChildSpace(kPageSpace);
        page->setChildPadding(18, kPagePaddingTop, 18, kPagePaddingBottom);
        setPolicies(page, 0);
        scroller->setWidget(page);
        pageStack->addWidget(scroller);
        return page;
    };
    dashboardPage = makePage(QStringLiteral("dashboardPage"));
    plantPage = makePage(QStringLiteral("plantPage"));

    buildSidebar();
    buildTopBar();
    buildDashboardPage();
    buildPlantPage();
    buildDetailDrawer();
    // The pages' rows hold their minimum heights; below their sum the page scrolls.
    // The plant page also keeps the drawer's controls whole, in a window lower than
    // its minimum (maximised on a small screen).
    dashboardPage->setMinimumHeight(columnMinimum(dashboardPage));
    plantPage->setMinimumHeight(
        qMax(columnMinimum(plantPage, detailDrawer), columnMinimum(detailDrawer) + kDrawerMargin));
    // A page gets its size from its scroll view, also while it is hidden: the drawer
    // follows the plant page's height whenever it changes.
    plantPage->installEventFilter(this);
}

bool RefineryPlantWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == plantPage) {
        updateDrawerGeometry();
    } else if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange) {
        if (auto* label = qobject_cast<VYRQLabel*>(watched); label && label->property(kWrappedText).isValid())
            fitWrappedText(label);
    }
    return VYRQWindow::eventFilter(watched, event);
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
        selectFirstOpenAlarm();
    });
}

void RefineryPlantWindow::buildTopBar()
{
    plantUnitLabel = createLabel(topBar, QStringLiteral("KolvLabelSmBold"), 0, 36);
    fixWidth(plantUnitLabel, 230);
    createContainer(topBar, QStringLiteral("KolvClear"), 0, 1, 0, 0, 0, 0, 0);
    VYRQPushButton* search = createIconButton(topBar, QStringLiteral("KolvIconButton"), QString(), 34, 34,
                                              iconPath(QStringLiteral("search")), kNavIconColor);
    clockLabel = createLabel(topBar, QStringLiteral("KolvLabelMuted"), 0, 34);
    fixWidth(clockLabel, 86);
    VYRQImage* user = createSvgImage(topBar, iconPath(QStringLiteral("user")), 25, 25, QColor(205, 209, 216));
    userLabel = createLabel(topBar, QStringLiteral("KolvLabelSmBold"), 0, 34);
    fixWidth(userLabel, 92);
    // In the order they give way to a narrow window (maximised on a small screen): the
    // language and window buttons stay whole.
    topBarOptional = {user, userLabel, search, clockLabel, plantUnitLabel};
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

void RefineryPlantWindow::fitTopBar()
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    topBar->getChildPadding(left, top, right, bottom);
    const int space = topBar->getChildSpace();
    // What the whole bar takes at its parts' fixed widths; the spacer takes the rest.
    int needed = left + right - space;
    for (QObject* child : topBar->children())
        if (auto* part = qobject_cast<QWidget*>(child); part && (!part->isHidden() || topBarOptional.contains(part)))
            needed += part->minimumWidth() + space;
    // A hidden child keeps its place in the layout; one laid out by hand has none.
    const auto giveWay = [](QWidget* part, bool hide) {
        if (part->isHidden() == hide)
            return;
        part->setHidden(hide);
        if (auto* control = dynamic_cast<IVYRQWidgetBase*>(part))
            control->setAbsoluteLayout(hide);
    };
    const int room = width() - sidebar->minimumWidth();
    for (QWidget* part : qAsConst(topBarOptional)) {
        const bool hide = needed > room;
        if (hide)
            needed -= part->minimumWidth() + space;
        giveWay(part, hide);
    }
    // Narrower still, the sidebar gives way as well.
    giveWay(sidebar, needed > room);
}

void RefineryPlantWindow::updateLayoutGeometry()
{
    fitTopBar();
    rootContainer->setGeometry(rect());
    rootContainer->forceResize();
    updateDrawerGeometry();
}

void RefineryPlantWindow::updateDrawerGeometry()
{
    if (!detailDrawer)
        return;
    const int height = qMax(plantPage->height() - kDrawerMargin, 440);
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

// The monitor is a dialog only by descent: Escape must not reject (close) it, and
// Enter must not press the default button the dialog picks on show, a navigation
// button. A button with the focus still takes Enter itself.
void RefineryPlantWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        if (drawerOpen)
            setDrawerOpen(false);
        event->accept();
        return;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        event->ignore();
        return;
    default:
        VYRQWindow::keyPressEvent(event);
    }
}

// The frame's own maximise: it lifts the window's minimum while maximised, and keeps
// the window maximised on a screen smaller than that minimum.
void RefineryPlantWindow::toggleMaximized()
{
    impl()->toggleMaximized();
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
    if (index != 1) {
        if (drawerOpen)
            setDrawerOpen(false);
        if (index == 0 && isVisible())
            replayDashboardCharts();
    }
}

void RefineryPlantWindow::updateNavigationStyles()
{
    navDashboardButton->setThemeName(
        currentPage == 0 ? QStringLiteral("KolvNavButtonActive") : QStringLiteral("KolvNavButton"));
    navPlantButton->setThemeName(
        currentPage == 1 ? QStringLiteral("KolvNavButtonActive") : QStringLiteral("KolvNavButton"));
    navAlarmButton->setThemeName(QStringLiteral("KolvNavButton"));
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

    dashboardTitleLabel->setText(localized("Operations Dashboard", "运行总览"));
    dashboardSubtitleLabel->setText(
        localized("Live process status, risk alarms, and predictive analysis", "实时装置状态、风险告警与预测分析"));
    auto card = [this](MetricCardWidgets& widgets, const char* captionEn, const char* captionZh, const QString& unit,
                       const char* noteEn, const char* noteZh) {
        widgets.captionLabel->setText(localized(captionEn, captionZh));
        widgets.unitLabel->setText(unit);
        widgets.noteLabel->setText(localized(noteEn, noteZh));
    };
    card(throughputCard, "Unit throughput", "装置处理量", QStringLiteral("t/h"), "Plan 480", "计划值 480");
    card(availabilityCard, "Plant availability", "装置可用率", QStringLiteral("%"), "Stable this shift", "本班次稳定");
    card(energyCard, "Live energy", "实时能耗", QStringLiteral("MW"), "2.1% below baseline", "较基线低 2.1%");
    card(alarmCountCard, "Active alarms", "活动告警", QString(), "Operator action required", "需要操作员确认");
    processSectionLabel->setText(localized("Hydrotreater Process Overview", "加氢精制工艺流程"));
    processHintLabel->setText(localized("Select equipment for live details", "点击设备进入实时详情"));
    alarmSectionLabel->setText(localized("Priority Alarms", "优先告警"));
    viewAllButton->setText(localized("View all", "查看"));
    openButton->setText(localized("Open", "打开"));
    shiftSummaryLabel->setText(localized("Shift Summary", "班次状态"));
    watchSectionLabel->setText(localized("Equipment Watch", "重点设备"));
    trendSectionLabel->setText(localized("Predictive Alerts Preview", "预测告警趋势"));

    plantTitleLabel->setText(localized("Plant Overview", "装置流程总览"));
    plantSubtitleLabel->setText(
        localized("Live process routing, equipment health, and operating envelope", "实时工艺路径、设备健康度与运行边界"));
    const QString units = localized("units", "台");
    card(liveThroughputTile, "Live throughput", "实时处理量", QStringLiteral("t/h"), "Feed rate", "进料流量");
    card(normalEquipmentTile, "Normal equipment", "正常设备", units, "Stable", "运行稳定");
    card(warningEquipmentTile, "Warning equipment", "预警设备", units, "Review required", "需要关注");
    card(criticalEquipmentTile, "Critical equipment", "紧急设备", units, "Immediate action", "立即处置");
    equipmentSectionLabel->setText(localized("Equipment Telemetry & Health", "设备遥测与健康状态"));

    drawerTemperatureTile.captionLabel->setText(localized("Temperature", "温度"));
    drawerPressureTile.captionLabel->setText(localized("Pressure", "压力"));
    drawerFlowTile.captionLabel->setText(localized("Flow", "流量"));
    drawerVibrationTile.captionLabel->setText(localized("Vibration", "振动"));
    drawerChartLabel->setText(localized("Equipment Health Trend", "设备健康趋势"));
    drawerAlarmLabel->setText(localized("Associated Alarm", "关联告警"));
    acknowledgeButton->setText(localized("Acknowledge Alarm", "确认当前告警"));

    // Refilled without a signal: the selected series stays what it was.
    const int series = trendSeries;
    const QSignalBlocker blocker(trendCombo);
    trendCombo->clear();
    trendCombo->addItem(localized("Temperature", "温度"));
    trendCombo->addItem(localized("Pressure", "压力"));
    trendCombo->addItem(localized("Vibration", "振动"));
    trendCombo->setCurrentIndex(series);

    languageEnButton->setThemeName(language == 0 ? QStringLiteral("KolvLanguageButtonActive")
                                                 : QStringLiteral("KolvSecondaryButton"));
    languageZhButton->setThemeName(language == 1 ? QStringLiteral("KolvLanguageButtonActive")
                                                 : QStringLiteral("KolvSecondaryButton"));
}

void RefineryPlantWindow::setTrendSeries(int index)
{
    trendSeries = qBound(0, index, 2);
    if (trendCombo && trendCombo->currentIndex() != trendSeries) {
        const QSignalBlocker blocker(trendCombo);
        trendCombo->setCurrentIndex(trendSeries);
    }
    refreshTrendChart();
}

// ---------------------------------------------------------------------------
// Dashboard

void RefineryPlantWindow::createMetricCard(VYRQContainer* row, MetricCardWidgets& card, const QString& icon,
                                           const QColor& iconColor)
{
    VYRQContainer* box = createContainer(row, QStringLiteral("KolvCard"), 0, 1, 7, 12, 8, 10, 8);
    VYRQContainer* column = createContainer(box, QStringLiteral("KolvClear"), 1, 1, 0, 0, 0, 0, 0);
    card.captionLabel = createLabel(column, QStringLiteral("KolvLabelMuted"), 0, 18);
    VYRQContainer* valueRow = createContainer(column, QStringLiteral("KolvClear"), 0, 1, 3, 0, 0, 0, 0);
    card.valueLabel = createLabel(valueRow, QStringLiteral("KolvLabelMetric"), 1, 31);
    card.unitLabel = createLabel(valueRow, QStringLiteral("KolvLabelMuted"), 0, 25);
    fixWidth(card.unitLabel, 54);
    card.noteLabel = createLabel(column, QStringLiteral("KolvLabelXs"), 0, 16);
    createSvgImage(box, icon, 24, 24, iconColor);
}

ChartTheme RefineryPlantWindow::applicationChartTheme()
{
    ChartTheme theme;
    theme.name = QStringLiteral("Tarnex");
    theme.background = QColor(28, 30, 34);
    theme.plotBackground = QColor(28, 30, 34);
    theme.textColor = QColor(244, 245, 247);
    theme.axisColor = QColor(67, 70, 78);
    theme.labelColor = QColor(143, 148, 158);
    theme.gridColor = QColor(50, 52, 59);
    theme.pointerColor = QColor(255, 194, 92, 200);
    theme.palette = {QColor(146, 134, 255), QColor(255, 194, 92), QColor(63, 220, 137), QColor(255, 83, 105)};
    theme.labelFontSize = 12;
    theme.tipFontSize = 12;
    theme.lineWidth = 2.2;
    theme.pointRadius = 3.2;
    theme.hoverPointRadius = 5.0;
    return theme;
}

VYRQLineChart* RefineryPlantWindow::createLineChart(VYRQContainer* parent, const QString& objectName)
{
    auto* chart = new VYRQLineChart(parent);
    chart->setObjectName(objectName);
    setPolicies(chart, 0);
    chart->setTheme(applicationChartTheme());
    chart->setTitle(QString());
    chart->setLegendPosition(0);
    chart->setHoverMode(2);
    chart->setHoverEnabled(true);
    chart->setAnimationDuration(420);
    chart->setAnimationEnabled(false);
    // The charts' own minimum (420 x 260) is larger than the cards and the drawer
    // that hold them here; the layout gives them what there is.
    chart->setMinimumSize(0, 0);
    return chart;
}

// A page's title and subtitle stacked at the left of a header row; the caller may add
// to the row's right.
VYRQContainer* RefineryPlantWindow::createPageHeader(VYRQContainer* page, VYRQLabel*& title, VYRQLabel*& subtitle)
{
    VYRQContainer* header = createContainer(page, QStringLiteral("KolvClear"), 0, 0, 8, 0, 0, 0, 0);
    fixHeight(header, 42);
    VYRQContainer* titles = createContainer(header, QStringLiteral("KolvClear"), 1, 1, 0, 0, 0, 0, 0);
    title = createLabel(titles, QStringLiteral("KolvLabelTitle"), 1, 25);
    subtitle = createLabel(titles, QStringLiteral("KolvLabelMuted"), 1, 17);
    return header;
}

RefineryProcessView* RefineryPlantWindow::createProcessView(VYRQContainer* card, const QString& objectName)
{
    auto* view = new RefineryProcessView(card);
    view->setObjectName(objectName);
    setPolicies(view, 0);
    card->addChildWidget(view, 1);
    return view;
}

void RefineryPlantWindow::buildDashboardPage()
{
    VYRQContainer* header = createPageHeader(dashboardPage, dashboardTitleLabel, dashboardSubtitleLabel);
    VYRQLabel* shift = createLabel(header, QStringLiteral("KolvLabelAccent"), 0, 30);
    fixWidth(shift, 126);
    shift->setText(QStringLiteral("SHIFT B162"));

    VYRQContainer* figures = createContainer(dashboardPage, QStringLiteral("KolvClear"), 0, 0, 10, 0, 0, 0, 0);
    fixHeight(figures, 84);
    createMetricCard(figures, throughputCard, iconPath(QStringLiteral("throughput")), QColor(150, 139, 255));
    createMetricCard(figures, availabilityCard, iconPath(QStringLiteral("activity")), QColor(63, 220, 137));
    createMetricCard(figures, energyCard, iconPath(QStringLiteral("energy")), QColor(77, 177, 255));
    createMetricCard(figures, alarmCountCard, iconPath(QStringLiteral("alarm")), QColor(255, 83, 105));

    VYRQContainer* middle = createContainer(dashboardPage, QStringLiteral("KolvClear"), 0, 3, 10, 0, 0, 0, 0);
    // Four alarm rows of two text lines each under the card's header.
    middle->setMinimumHeight(284);
    VYRQContainer* processCard = createContainer(middle, QStringLiteral("KolvCard"), 1, 3, 3, 12, 8, 12, 10);
    VYRQContainer* processHeader = createContainer(processCard, QStringLiteral("KolvClear"), 0, 0, 6, 0, 0, 0, 0);
    fixHeight(processHeader, 38);
    VYRQContainer* processTitles = createContainer(processHeader, QStringLiteral("KolvClear"), 1, 1, 0, 0, 0, 0, 0);
    processSectionLabel = createLabel(processTitles, QStringLiteral("KolvLabelSection"), 1, 22);
    processHintLabel = createLabel(processTitles, QStringLiteral("KolvLabelXs"), 1, 15);
    openButton = createIconButton(processHeader, QStringLiteral("KolvSecondaryButton"),
                                                  QStringLiteral("Open"), 82, 30, QString(), kNavIconColor);
    dashboardProcessView = createProcessView(processCard, QStringLiteral("dashboardProcessView"));

    VYRQContainer* alarmCard = createContainer(middle, QStringLiteral("KolvCard"), 1, 1, 5, 10, 9, 10, 9);
    VYRQContainer* alarmHeader = createContainer(alarmCard, QStringLiteral("KolvClear"), 0, 0, 6, 0, 0, 0, 0);
    fixHeight(alarmHeader, 30);
    alarmSectionLabel = createLabel(alarmHeader, QStringLiteral("KolvLabelSection"), 1, 28);
    viewAllButton = createIconButton(alarmHeader, QStringLiteral("KolvLinkButton"), QStringLiteral("View all"), 68, 26,
                                     QString(), kNavIconColor);
    for (int i = 0; i < 4; ++i) {
        AlarmRowWidgets row;
        row.rowContainer = createContainer(alarmCard, QStringLiteral("KolvCardAlt"), 0, 1, 5, 8, 5, 7, 5);
        VYRQContainer* text = createContainer(row.rowContainer, QStringLiteral("KolvClear"), 1, 1, 0, 0, 0, 0, 0);
        row.titleLabel = createLabel(text, QStringLiteral("KolvLabelSmBold"), 0, 19);
        row.detailLabel = createLabel(text, QStringLiteral("KolvLabelXs"), 1, 25);
        wrapWords(row.detailLabel);
        row.detailLabel->installEventFilter(this);
        VYRQContainer* side = createContainer(row.rowContainer, QStringLiteral("KolvClear"), 1, 0, 0, 0, 0, 0, 0);
        fixWidth(side, 72);
        row.severityLabel = createLabel(side, QStringLiteral("KolvLabelWarning"), 0, 21);
        alignRight(row.severityLabel);
        row.ageLabel = createLabel(side, QStringLiteral("KolvLabelMuted"), 1, 20);
        alignRight(row.ageLabel);
        for (VYRQLabel* label : {row.titleLabel, row.detailLabel, row.severityLabel, row.ageLabel})
            label->setText(QString());
        connect(row.rowContainer, &VYRQContainer::mouseClickEvent, this, [this, i] {
            if (i < alarmRows.size() && !alarmRows[i].alarmId.isEmpty())
                selectAlarm(alarmRows[i].alarmId);
        });
        alarmRows.append(row);
    }

    VYRQContainer* lower = createContainer(dashboardPage, QStringLiteral("KolvClear"), 0, 2, 10, 0, 0, 0, 0);
    // Room for a trend plot and a donut an operator can read.
    lower->setMinimumHeight(217);
    VYRQContainer* shiftCard = createContainer(lower, QStringLiteral("KolvCard"), 1, 1, 3, 10, 8, 10, 8);
    shiftSummaryLabel = createLabel(shiftCard, QStringLiteral("KolvLabelSection"), 0, 25);
    shiftSummaryValue = createLabel(shiftCard, QStringLiteral("KolvLabelAccentCenter"), 0, 18);
    shiftSummaryValue->setObjectName(QStringLiteral("shiftSummaryValue"));
    shiftSummaryChart = new VYRQOpenGLPieChart(shiftCard);
    shiftSummaryChart->setObjectName(QStringLiteral("shiftSummaryChart"));
    setPolicies(shiftSummaryChart, 0);
    shiftSummaryChart->setTheme(applicationChartTheme());
    shiftSummaryChart->setTitle(QString());
    shiftSummaryChart->setHoleRatio(0.67);
    shiftSummaryChart->setLabelsVisible(false);
    shiftSummaryChart->setHoverEnabled(false);
    shiftSummaryChart->setAnimationEnabled(false);
    // A small card: the chart's own minimum would spill over its neighbours, and a
    // legend below the donut would leave it no height; the legend stands beside it.
    shiftSummaryChart->setMinimumSize(0, 0);
    shiftSummaryChart->setLegendPosition(3);
    shiftCard->addChildWidget(shiftSummaryChart, 1);

    VYRQContainer* watchCard = createContainer(lower, QStringLiteral("KolvCard"), 1, 1, 4, 9, 8, 9, 8);
    watchSectionLabel = createLabel(watchCard, QStringLiteral("KolvLabelSection"), 0, 25);
    for (const char* id : {"C-310", "F-102", "P-112"}) {
        WatchRowWidgets row;
        row.equipmentId = QString::fromLatin1(id);
        row.rowContainer = createContainer(watchCard, QStringLiteral("KolvCardAlt"), 0, 1, 5, 8, 4, 8, 4);
        // No fixed height: the texts fill the row and sit on its middle line.
        row.nameLabel = createLabel(row.rowContainer, QStringLiteral("KolvLabelSmBold"), 1, 0);
        row.valueLabel = createLabel(row.rowContainer, QStringLiteral("KolvLabelMuted"), 1, 0);
        row.statusLabel = createLabel(row.rowContainer, QStringLiteral("KolvLabelWarning"), 0, 0);
        fixWidth(row.statusLabel, 72);
        alignRight(row.statusLabel);
        for (VYRQLabel* label : {row.nameLabel, row.valueLabel, row.statusLabel})
            label->setText(QString());
        const QString equipmentId = row.equipmentId;
        connect(row.rowContainer, &VYRQContainer::mouseClickEvent, this,
                [this, equipmentId] { selectEquipment(equipmentId); });
        watchRows.append(row);
    }

    VYRQContainer* trendCard = createContainer(lower, QStringLiteral("KolvCard"), 1, 2, 3, 10, 8, 10, 8);
    VYRQContainer* trendHeader = createContainer(trendCard, QStringLiteral("KolvClear"), 0, 0, 6, 0, 0, 0, 0);
    fixHeight(trendHeader, 30);
    trendSectionLabel = createLabel(trendHeader, QStringLiteral("KolvLabelSection"), 1, 28);
    trendCombo = new VYRQComboBox(trendHeader);
    trendCombo->setThemeName(QStringLiteral("KolvCombo"));
    trendCombo->setNormalBtnIcon(iconPath(QStringLiteral("chevron-down")));
    trendCombo->setHotBtnIcon(iconPath(QStringLiteral("chevron-down")));
    fixWidth(trendCombo, 126);
    fixHeight(trendCombo, 30);
    trendHeader->addChildWidget(trendCombo, 0);
    new RefineryFocusFrame(trendCombo);
    predictiveTrendChart = createLineChart(trendCard, QStringLiteral("predictiveTrendChart"));
    trendCard->addChildWidget(predictiveTrendChart, 1);

    connect(openButton, &QAbstractButton::clicked, this, [this] { setPage(1); });
    connect(viewAllButton, &QAbstractButton::clicked, this, &RefineryPlantWindow::selectFirstOpenAlarm);
    connect(dashboardProcessView, &RefineryProcessView::equipmentActivated, this,
            &RefineryPlantWindow::selectEquipment);
    connect(trendCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &RefineryPlantWindow::setTrendSeries);
}

// ---------------------------------------------------------------------------
// Plant page and drawer

void RefineryPlantWindow::createMetricTile(VYRQContainer* row, MetricCardWidgets& tile)
{
    VYRQContainer* box = createContainer(row, QStringLiteral("KolvCard"), 1, 1, 1, 11, 7, 11, 7);
    tile.captionLabel = createLabel(box, QStringLiteral("KolvLabelMuted"), 0, 18);
    VYRQContainer* valueRow = createContainer(box, QStringLiteral("KolvClear"), 0, 1, 4, 0, 0, 0, 0);
    tile.valueLabel = createLabel(valueRow, QStringLiteral("KolvLabelMetric"), 1, 31);
    tile.unitLabel = createLabel(valueRow, QStringLiteral("KolvLabelMuted"), 0, 26);
    fixWidth(tile.unitLabel, 54);
    tile.noteLabel = createLabel(box, QStringLiteral("KolvLabelXs"), 0, 15);
}

void RefineryPlantWindow::buildPlantPage()
{
    createPageHeader(plantPage, plantTitleLabel, plantSubtitleLabel);

    VYRQContainer* tiles = createContainer(plantPage, QStringLiteral("KolvClear"), 0, 0, 10, 0, 0, 0, 0);
    fixHeight(tiles, 78);
    createMetricTile(tiles, liveThroughputTile);
    createMetricTile(tiles, normalEquipmentTile);
    createMetricTile(tiles, warningEquipmentTile);
    createMetricTile(tiles, criticalEquipmentTile);

    VYRQContainer* processCard = createContainer(plantPage, QStringLiteral("KolvCard"), 1, 3, 4, 10, 8, 10, 8);
    processCard->setMinimumHeight(235);
    plantProcessView = createProcessView(processCard, QStringLiteral("plantProcessView"));

    VYRQContainer* tableCard = createContainer(plantPage, QStringLiteral("KolvCard"), 1, 2, 4, 10, 7, 10, 8);
    tableCard->setMinimumHeight(165);
    equipmentSectionLabel = createLabel(tableCard, QStringLiteral("KolvLabelSection"), 0, 26);
    equipmentTable = new VYRQTableView(tableCard);
    equipmentTable->setObjectName(QStringLiteral("refineryEquipmentTable"));
    setupEquipmentTable(equipmentTable);
    new RefineryFocusFrame(equipmentTable);
    tableCard->addChildWidget(equipmentTable, 1);
    equipmentModel = new QStandardItemModel(equipmentTable);
    equipmentTable->setModel(equipmentModel);

    connect(plantProcessView, &RefineryProcessView::equipmentActivated, this, &RefineryPlantWindow::selectEquipment);
    // Any cell of a row selects the row's equipment: only column 0 is read. The click
    // also reopens the drawer on the row already selected, which changes no selection.
    connect(equipmentTable, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (QStandardItem* item = equipmentModel->item(index.row(), 0))
            selectEquipment(item->data(EquipmentIdRole).toString());
    });
    connect(equipmentTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RefineryPlantWindow::tableSelectionChanged);
}

void RefineryPlantWindow::setupEquipmentTable(VYRQTableView* table)
{
    table->setThemeName(QStringLiteral("KolvTable"));
    setPolicies(table, 0);
    table->setItemHeight(38);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table->horizontalHeader()->setMinimumHeight(32);
    auto* vertical = new VYRQScrollBar(Qt::Vertical, table);
    vertical->setThemeName(QStringLiteral("KolvScrollV"));
    auto* horizontal = new VYRQScrollBar(Qt::Horizontal, table);
    horizontal->setThemeName(QStringLiteral("KolvScrollH"));
    table->setVerticalScrollBar(vertical);
    table->setHorizontalScrollBar(horizontal);
}

void RefineryPlantWindow::createDetailTile(VYRQContainer* row, DetailTileWidgets& tile)
{
    VYRQContainer* box = createContainer(row, QStringLiteral("KolvCardAlt"), 1, 1, 0, 9, 6, 9, 6);
    tile.captionLabel = createLabel(box, QStringLiteral("KolvLabelXs"), 0, 18);
    tile.valueLabel = createLabel(box, QStringLiteral("KolvLabelMetricSm"), 1, 29);
}

void RefineryPlantWindow::createDetailTileRow(DetailTileWidgets& left, DetailTileWidgets& right)
{
    VYRQContainer* row = createContainer(detailDrawer, QStringLiteral("KolvClear"), 0, 0, 7, 0, 0, 0, 0);
    fixHeight(row, 61);
    createDetailTile(row, left);
    createDetailTile(row, right);
}

void RefineryPlantWindow::buildDetailDrawer()
{
    detailDrawer = new VYRQContainer(plantPage);
    detailDrawer->setObjectName(QStringLiteral("equipmentDetailDrawer"));
    detailDrawer->setThemeName(QStringLiteral("KolvDrawer"));
    detailDrawer->setChildLayout(VYRQContainer::Vertical);
    detailDrawer->setChildSpace(8);
    detailDrawer->setChildPadding(14, 13, 14, 14);
    detailDrawer->setWidthPolicy(LayoutSizePolicy(1));
    detailDrawer->setAbsoluteDock(DockLayoutType(2), DockLayoutType(1), 16, 0);
    fixWidth(detailDrawer, kDrawerWidth);
    detailDrawer->resize(kDrawerWidth, 620);

    VYRQContainer* head = createContainer(detailDrawer, QStringLiteral("KolvClear"), 0, 0, 8, 0, 0, 0, 0);
    fixHeight(head, 43);
    VYRQContainer* titles = createContainer(head, QStringLiteral("KolvClear"), 1, 1, 0, 0, 0, 0, 0);
    drawerTitleLabel = createLabel(titles, QStringLiteral("KolvLabelSection"), 1, 23);
    drawerSubtitleLabel = createLabel(titles, QStringLiteral("KolvLabelMuted"), 1, 18);
    VYRQPushButton* closeButton = createIconButton(head, QStringLiteral("KolvCloseButton"), QString(), 32, 32,
                                                   iconPath(QStringLiteral("close")), kNavIconColor);

    drawerStatusBadge = createContainer(detailDrawer, QStringLiteral("KolvStatusNormal"), 0, 0, 0, 0, 0, 0, 0);
    fixHeight(drawerStatusBadge, 28);
    drawerStatusLabel = createLabel(drawerStatusBadge, QStringLiteral("KolvLabelWhiteCenter"), 1, 28);
    createDivider(detailDrawer);
    createDetailTileRow(drawerTemperatureTile, drawerPressureTile);
    createDetailTileRow(drawerFlowTile, drawerVibrationTile);
    drawerChartLabel = createLabel(detailDrawer, QStringLiteral("KolvLabelSmBold"), 0, 22);
    drawerChartValueLabel = createLabel(detailDrawer, QStringLiteral("KolvLabelAccent"), 0, 26);
    equipmentDetailChart = createLineChart(detailDrawer, QStringLiteral("equipmentDetailChart"));
    equipmentDetailChart->setMinimumHeight(145);
    detailDrawer->addChildWidget(equipmentDetailChart, 1);
    createDivider(detailDrawer);
    drawerAlarmLabel = createLabel(detailDrawer, QStringLiteral("KolvLabelSmBold"), 0, 22);
    drawerAlarmText = createLabel(detailDrawer, QStringLiteral("KolvLabelMuted"), 0, 44);
    wrapWords(drawerAlarmText);
    acknowledgeButton = createIconButton(detailDrawer, QStringLiteral("KolvPrimaryButton"), QString(), 0, 36,
                                         iconPath(QStringLiteral("check")), QColor(24, 22, 33));
    acknowledgeButton->setShowText(true);
    // The layout keeps a button's own width unless told to fill: the button spans the
    // drawer's content width whatever width it had when a layout last ran.
    acknowledgeButton->setWidthPolicy(PolicyFill);
    IconStyleDesc icon = acknowledgeButton->getIconStyle();
    icon.x = 16;
    icon.hor = 0;
    acknowledgeButton->setIconStyle(icon);

    connect(closeButton, &QAbstractButton::clicked, this, [this] { setDrawerOpen(false); });
    connect(acknowledgeButton, &QAbstractButton::clicked, this, &RefineryPlantWindow::acknowledgeSelectedAlarm);
    detailDrawer->hide();
}

// ---------------------------------------------------------------------------
// Live refresh

QString RefineryPlantWindow::statusText(int status) const
{
    switch (status) {
    case 0: return localized("NORMAL", "正常");
    case 1: return localized("WARNING", "预警");
    case 2: return localized("CRITICAL", "紧急");
    case 3: return localized("OFFLINE", "离线");
    default: return QString();
    }
}

QString RefineryPlantWindow::statusIconPath(int status)
{
    switch (status) {
    case 0: return iconPath(QStringLiteral("normal"));
    case 1: return iconPath(QStringLiteral("warning"));
    case 2: return iconPath(QStringLiteral("critical"));
    case 3: return iconPath(QStringLiteral("offline"));
    default: return QString();
    }
}

static QString statusThemeName(int status)
{
    switch (status) {
    case 0: return QStringLiteral("KolvStatusNormal");
    case 1: return QStringLiteral("KolvStatusWarning");
    case 2: return QStringLiteral("KolvStatusCritical");
    default: return QStringLiteral("KolvStatusOffline");
    }
}

const RefineryEquipment* RefineryPlantWindow::selectedEquipment() const
{
    for (const RefineryEquipment& item : snapshot.equipment)
        if (item.id == selectedEquipmentId)
            return &item;
    return nullptr;
}

void RefineryPlantWindow::refreshSnapshot(const RefinerySnapshot& value)
{
    snapshot = value;
    clockLabel->setText(snapshot.timeText);
    refreshKeyFigures();
    refreshAlarmRows();
    refreshWatchRows();
    liveThroughputTile.valueLabel->setText(fixed(snapshot.throughput, 0));
    normalEquipmentTile.valueLabel->setText(QString::number(snapshot.normalCount));
    warningEquipmentTile.valueLabel->setText(QString::number(snapshot.warningCount));
    criticalEquipmentTile.valueLabel->setText(QString::number(snapshot.criticalCount));
    refreshEquipmentTable();
    refreshProcessViews();
    refreshDetailDrawer();
}

void RefineryPlantWindow::refreshHistory(const RefinerySnapshot& value)
{
    snapshot = value;
    refreshTrendChart();
    refreshEquipmentChart();
}

void RefineryPlantWindow::refreshKeyFigures()
{
    throughputCard.valueLabel->setText(fixed(snapshot.throughput, 0));
    availabilityCard.valueLabel->setText(fixed(snapshot.availability, 1));
    energyCard.valueLabel->setText(fixed(snapshot.energy, 1));
    int open = 0;
    for (const RefineryAlarm& alarm : snapshot.alarms)
        open += alarm.acknowledged ? 0 : 1;
    alarmCountCard.valueLabel->setText(QString::number(open));
    const QVector<PieSlice> slices{
        PieSlice{localized("Normal", "正常"), double(snapshot.normalCount), kGreen, true},
        PieSlice{localized("Warning", "预警"), double(snapshot.warningCount), kAmber, true},
        PieSlice{localized("Critical", "紧急"), double(snapshot.criticalCount), kRed, true},
    };
    // The pie is a GL surface: repaint it only when the counts or the names move.
    bool same = shiftSlices.size() == slices.size();
    for (int i = 0; same && i < slices.size(); ++i)
        same = shiftSlices.at(i).name == slices.at(i).name && shiftSlices.at(i).value == slices.at(i).value
            && shiftSlices.at(i).color == slices.at(i).color && shiftSlices.at(i).visible == slices.at(i).visible;
    if (!same) {
        shiftSlices = slices;
        shiftSummaryChart->setSlices(slices);
    }
    shiftSummaryValue->setText((language == 1 ? QStringLiteral("%1 正常 / %2 告警")
                                              : QStringLiteral("%1 normal / %2 alarms"))
                                   .arg(snapshot.normalCount)
                                   .arg(snapshot.warningCount + snapshot.criticalCount));
}

void RefineryPlantWindow::refreshAlarmRows()
{
    int row = 0;
    for (const RefineryAlarm& alarm : snapshot.alarms) {
        if (row >= alarmRows.size())
            break;
        if (alarm.acknowledged)
            continue;
        AlarmRowWidgets& widgets = alarmRows[row++];
        widgets.alarmId = alarm.id;
        setElidedText(widgets.titleLabel, language == 1 ? alarm.titleZh : alarm.titleEn);
        setWrappedText(widgets.detailLabel, language == 1 ? alarm.detailZh : alarm.detailEn);
        const bool critical = alarm.severity == 2;
        widgets.severityLabel->setText(critical ? localized("CRITICAL", "紧急") : localized("WARNING", "警告"));
        setThemeNameIfChanged(widgets.severityLabel,
                              critical ? QStringLiteral("KolvLabelDanger") : QStringLiteral("KolvLabelWarning"));
        alignRight(widgets.severityLabel);
        widgets.ageLabel->setText(language == 1 ? alarm.ageZh : alarm.ageEn);
        widgets.rowContainer->show();
    }
    for (; row < alarmRows.size(); ++row) {
        alarmRows[row].alarmId.clear();
        alarmRows[row].rowContainer->hide();
    }
}

void RefineryPlantWindow::refreshWatchRows()
{
    for (WatchRowWidgets& row : watchRows) {
        const RefineryEquipment* item = nullptr;
        for (const RefineryEquipment& candidate : snapshot.equipment)
            if (candidate.id == row.equipmentId) {
                item = &candidate;
                break;
            }
        if (!item)
            continue;
        row.nameLabel->setText(item->id);
        if (item->kind == 5)
            row.valueLabel->setText(QStringLiteral("%1 mm/s").arg(fixed(item->vibration, 1)));
        else if (item->kind == 2)
            row.valueLabel->setText(QStringLiteral("%1 C").arg(fixed(item->temperature, 0)));
        else
            row.valueLabel->setText(QStringLiteral("%1 m3/h").arg(fixed(item->flow, 0)));
        row.statusLabel->setText(statusText(item->status));
        setThemeNameIfChanged(row.statusLabel, item->status == 2 ? QStringLiteral("KolvLabelDanger")
                                                                 : QStringLiteral("KolvLabelWarning"));
        alignRight(row.statusLabel);
    }
}

void RefineryPlantWindow::refreshEquipmentTable()
{
    const QStringList headers = language == 1
        ? QString::fromUtf8("设备,名称,区域,温度,压力,流量,健康度,状态").split(',')
        : QStringList{"Equipment", "Name", "Area", "Temperature", "Pressure", "Flow", "Health", "Status"};
    auto rowTexts = [this](const RefineryEquipment& item) {
        return QStringList{item.id,
                           language == 1 ? item.nameZh : item.nameEn,
                           language == 1 ? item.areaZh : item.areaEn,
                           QStringLiteral("%1 C").arg(fixed(item.temperature, 1)),
                           QStringLiteral("%1 bar").arg(fixed(item.pressure, 2)),
                           QStringLiteral("%1 m3/h").arg(fixed(item.flow, 0)),
                           QStringLiteral("%1%").arg(fixed(item.health, 0)),
                           statusText(item.status)};
    };

    // The same rows as before are rewritten where they stand: clearing the model every
    // second would throw the reader back to the top and drop the selection and hover.
    bool sameRows = equipmentModel->rowCount() == snapshot.equipment.size() && equipmentModel->columnCount() == 8;
    for (int row = 0; sameRows && row < snapshot.equipment.size(); ++row)
        sameRows = equipmentModel->item(row, 0)->data(EquipmentIdRole).toString() == snapshot.equipment.at(row).id;
    if (sameRows) {
        // An item given the value it holds stays quiet: only changed cells repaint.
        for (int column = 0; column < 8; ++column)
            equipmentModel->setHeaderData(column, Qt::Horizontal, headers.at(column));
        for (int row = 0; row < snapshot.equipment.size(); ++row) {
            const RefineryEquipment& item = snapshot.equipment.at(row);
            const QStringList texts = rowTexts(item);
            for (int column = 0; column < 8; ++column)
                equipmentModel->item(row, column)->setText(texts.at(column));
            equipmentModel->item(row, 7)->setData(statusIconPath(item.status), CellImageRole);
        }
        return;
    }

    equipmentModel->clear();
    equipmentModel->setHorizontalHeaderLabels(headers);
    QHeaderView* header = equipmentTable->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::Stretch);
    for (const RefineryEquipment& item : snapshot.equipment) {
        QList<QStandardItem*> cells;
        for (const QString& text : rowTexts(item)) {
            auto* cell = new QStandardItem(text);
            cell->setData(item.id, EquipmentIdRole);
            cells << cell;
        }
        cells.last()->setData(statusIconPath(item.status), CellImageRole);
        equipmentModel->appendRow(cells);
    }
    const int widths[] = {82, 210, 170, 105, 95, 105, 85, 115};
    for (int column = 0; column < 8; ++column)
        equipmentTable->setColumnWidth(column, widths[column]);
    selectTableRow();
}

void RefineryPlantWindow::refreshProcessViews()
{
    for (RefineryProcessView* view : {dashboardProcessView, plantProcessView}) {
        view->setChinese(language == 1);
        view->setSnapshot(snapshot);
        view->setSelectedEquipmentId(selectedEquipmentId);
    }
}

void RefineryPlantWindow::refreshDetailDrawer()
{
    const RefineryEquipment* item = selectedEquipment();
    if (!item)
        return;
    drawerTitleLabel->setText(item->id);
    setElidedText(drawerSubtitleLabel, language == 1 ? item->nameZh + QStringLiteral(" / ") + item->areaZh
                                                     : item->nameEn + QStringLiteral(" / ") + item->areaEn);
    setThemeNameIfChanged(drawerStatusBadge, statusThemeName(item->status));
    drawerStatusLabel->setText(statusText(item->status));
    drawerTemperatureTile.valueLabel->setText(QStringLiteral("%1 C").arg(fixed(item->temperature, 1)));
    drawerPressureTile.valueLabel->setText(QStringLiteral("%1 bar").arg(fixed(item->pressure, 2)));
    drawerFlowTile.valueLabel->setText(QStringLiteral("%1 m3/h").arg(fixed(item->flow, 0)));
    drawerVibrationTile.valueLabel->setText(QStringLiteral("%1 mm/s").arg(fixed(item->vibration, 2)));
    drawerChartValueLabel->setText((language == 1 ? QStringLiteral("健康度 %1% / 效率 %2%")
                                                  : QStringLiteral("%1% health / %2% efficiency"))
                                       .arg(fixed(item->health, 0), fixed(item->efficiency, 0)));

    const RefineryAlarm* alarm = nullptr;
    for (const RefineryAlarm& candidate : snapshot.alarms)
        if (candidate.id == selectedAlarmId) {
            alarm = &candidate;
            break;
        }
    if (alarm) {
        drawerAlarmText->setText(language == 1 ? alarm->detailZh : alarm->detailEn);
        acknowledgeButton->setEnabled(!alarm->acknowledged);
    } else {
        drawerAlarmText->setText(localized("No unacknowledged alarm for this equipment.", "当前设备没有未确认告警。"));
        acknowledgeButton->setEnabled(false);
    }
    refreshEquipmentChart();
}

void RefineryPlantWindow::refreshTrendChart()
{
    LineSeries main;
    switch (trendSeries) {
    case 1:
        main.name = localized("Reactor pressure", "反应器压力");
        main.values = snapshot.reactorPressureHistory;
        break;
    case 2:
        main.name = localized("Compressor vibration", "压缩机振动");
        main.values = snapshot.compressorVibrationHistory;
        break;
    default:
        main.name = localized("Reactor temperature", "反应器温度");
        main.values = snapshot.reactorTemperatureHistory;
        break;
    }
    main.color = kViolet;
    main.areaColor = kViolet;
    main.showPoints = false;
    main.smooth = true;
    main.areaFill = true;
    main.visible = true;
    main.lineWidth = 2.2;
    main.areaOpacity = 0.18;
    QVector<LineSeries> series{main};
    if (trendSeries == 0) {
        LineSeries forecast;
        forecast.name = localized("AI forecast", "AI 预测");
        forecast.values = snapshot.reactorTemperatureForecast;
        forecast.color = kAmber;
        forecast.showPoints = false;
        forecast.smooth = true;
        forecast.areaFill = false;
        forecast.visible = true;
        forecast.lineWidth = 1.7;
        forecast.areaOpacity = 0.22;
        series.append(forecast);
    }
    predictiveTrendChart->setCategories(snapshot.historyLabels);
    predictiveTrendChart->setSeries(series);
}

static bool sameLine(const LineSeries& a, const LineSeries& b)
{
    return a.name == b.name && a.values == b.values && a.color == b.color && a.areaColor == b.areaColor
        && a.showPoints == b.showPoints && a.smooth == b.smooth && a.areaFill == b.areaFill && a.visible == b.visible
        && a.lineWidth == b.lineWidth && a.areaOpacity == b.areaOpacity;
}

void RefineryPlantWindow::refreshEquipmentChart()
{
    const RefineryEquipment* item = selectedEquipment();
    if (!item)
        return;
    LineSeries line;
    line.name = localized("Equipment temperature", "设备温度");
    for (int k = 0; k < snapshot.historyLabels.size(); ++k)
        line.values.append(item->temperature + 4 * std::sin(0.52 * k + 0.3 * item->index));
    line.color = item->status == 2 ? kRed : kViolet;
    line.areaColor = line.color;
    line.showPoints = false;
    line.smooth = true;
    line.areaFill = true;
    line.visible = true;
    line.lineWidth = 2.0;
    line.areaOpacity = 0.14;
    // Every tick rewrites the drawer and every fifth the history, often with the
    // line the chart already shows: a new series starts the chart over (its caches,
    // its frame), so only a line or labels that changed are handed over.
    const bool shown = equipmentLine.size() == 1;   // the chart's own demo line until then
    if (!shown || equipmentLabels != snapshot.historyLabels) {
        equipmentLabels = snapshot.historyLabels;
        equipmentDetailChart->setCategories(equipmentLabels);
    }
    if (shown && sameLine(equipmentLine.first(), line))
        return;
    equipmentLine = {line};
    equipmentDetailChart->setSeries(equipmentLine);
}

void RefineryPlantWindow::replayDashboardCharts()
{
    if (chartsIntroduced || !shiftSummaryChart || !predictiveTrendChart)
        return;
    chartsIntroduced = true;
    shiftSummaryChart->setAnimationEnabled(true);
    predictiveTrendChart->setAnimationEnabled(true);
    shiftSummaryChart->replayAnimation();
    predictiveTrendChart->replayAnimation();
    const int longest = qMax(shiftSummaryChart->animationDuration(), predictiveTrendChart->animationDuration());
    QTimer::singleShot(longest + 20, this, [this] {
        shiftSummaryChart->setAnimationEnabled(false);
        predictiveTrendChart->setAnimationEnabled(false);
    });
}

// ---------------------------------------------------------------------------
// Selection, acknowledgement, navigation and the drawer

void RefineryPlantWindow::selectFirstOpenAlarm()
{
    for (const RefineryAlarm& alarm : snapshot.alarms) {
        if (!alarm.acknowledged) {
            selectAlarm(alarm.id);
            return;
        }
    }
}

void RefineryPlantWindow::selectAlarm(const QString& alarmId)
{
    const RefineryAlarm* alarm = nullptr;
    for (const RefineryAlarm& candidate : snapshot.alarms)
        if (candidate.id == alarmId) {
            alarm = &candidate;
            break;
        }
    if (!alarm)
        return;
    selectedAlarmId = alarm->id;
    selectedEquipmentId = alarm->equipmentId;
    showSelection();
}

void RefineryPlantWindow::selectEquipment(const QString& equipmentId)
{
    const bool known = std::any_of(snapshot.equipment.cbegin(), snapshot.equipment.cend(),
                                   [&equipmentId](const RefineryEquipment& item) { return item.id == equipmentId; });
    if (!known)
        return;
    selectedEquipmentId = equipmentId;
    selectedAlarmId.clear();
    for (const RefineryAlarm& alarm : snapshot.alarms) {
        if (alarm.equipmentId == equipmentId && !alarm.acknowledged) {
            selectedAlarmId = alarm.id;
            break;
        }
    }
    showSelection();
}

// The plant page with the selected equipment in the table, both diagrams and the drawer.
void RefineryPlantWindow::showSelection()
{
    currentPage = 1;
    pageStack->setCurrentIndex(1);
    updateNavigationStyles();
    selectTableRow();
    refreshProcessViews();
    refreshDetailDrawer();
    setDrawerOpen(true);
}

// Moves the table's selection to the selected equipment's row.
void RefineryPlantWindow::selectTableRow()
{
    const QScopedValueRollback<bool> selecting(selectingTableRow, true);
    QItemSelectionModel* selection = equipmentTable->selectionModel();
    for (int row = 0; row < equipmentModel->rowCount(); ++row) {
        if (equipmentModel->item(row, 0)->data(EquipmentIdRole).toString() == selectedEquipmentId) {
            selection->setCurrentIndex(equipmentModel->index(row, 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return;
        }
    }
    selection->clear();
}

// A row the operator selects, by mouse or keyboard, selects its equipment; a row
// deselected (Ctrl with a click or Space) leaves the selection where it was.
void RefineryPlantWindow::tableSelectionChanged()
{
    if (selectingTableRow)
        return;
    const QModelIndexList rows = equipmentTable->selectionModel()->selectedRows();
    if (rows.size() == 1)
        selectEquipment(equipmentModel->item(rows.first().row(), 0)->data(EquipmentIdRole).toString());
    else
        selectTableRow();
}

bool RefineryPlantWindow::acknowledgeSelectedAlarm()
{
    if (selectedAlarmId.isEmpty())
        return false;
    // The simulator re-emits its snapshot before it answers, which refreshes the window.
    const bool acknowledged = simulator->acknowledgeAlarm(selectedAlarmId);
    if (acknowledged)
        refreshDetailDrawer();
    return acknowledged;
}

void RefineryPlantWindow::setDrawerOpen(bool open)
{
    if (open == drawerOpen)
        return;
    drawerOpen = open;
    // The children keep their places while the width changes.
    detailDrawer->setChildLayout(VYRQContainer::NoUse);
    slideDrawerTo(open ? kDrawerWidth : 0);
}

// Every completion step runs from the end of the slide itself: on a loaded machine a
// slide ends well after its nominal 220 ms, and a step run by a timer would lay out or
// hide a drawer that is still moving. A reversal meeting a slide that still runs ends
// that slide where it stands and slides back from the width it reached, so that an
// open drawer is never shown collapsed.
void RefineryPlantWindow::slideDrawerTo(int width)
{
    const int height = qMax(detailDrawer->height(), 440);
    int from = detailDrawer->isVisible() ? detailDrawer->width() : 0;
    if (detailDrawer->isResizeAnimationRunning()) {
        // The container finishes a slide that reaches its end; it offers no other stop.
        if (QVariantAnimation* slide = drawerSlide()) {
            const QScopedValueRollback<bool> reversing(drawerSlideReversing, true);
            slide->setCurrentTime(slide->duration());
        }
        if (detailDrawer->isResizeAnimationRunning())
            return;   // not reachable with the container's own animation; its end completes the move
    }
    detailDrawer->setMinimumWidth(from);
    detailDrawer->setMaximumWidth(from);
    detailDrawer->resize(from, height);
    if (width > 0) {
        detailDrawer->show();
        detailDrawer->raise();
    }
    detailDrawer->startResizeAnimation(QSize(from, height), QSize(width, height), kDrawerSlideMs);
    if (QVariantAnimation* slide = drawerSlide())
        connect(slide, &QAbstractAnimation::finished, this, &RefineryPlantWindow::drawerSlideFinished,
                Qt::UniqueConnection);
    if (!detailDrawer->isResizeAnimationRunning())
        drawerSlideFinished();   // nothing to animate: the size was applied at once
}

QVariantAnimation* RefineryPlantWindow::drawerSlide() const
{
    return detailDrawer->getControlImpl()->findChild<QVariantAnimation*>();
}

void RefineryPlantWindow::drawerSlideFinished()
{
    if (drawerSlideReversing)
        return;
    const int target = drawerOpen ? kDrawerWidth : 0;
    const int reached = detailDrawer->isVisible() ? detailDrawer->width() : 0;
    if (reached != target) {
        slideDrawerTo(target);
        return;
    }
    if (drawerOpen) {
        detailDrawer->setChildLayout(VYRQContainer::Vertical);
        detailDrawer->forceResize();
        equipmentDetailChart->setAnimationEnabled(true);
        equipmentDetailChart->replayAnimation();
        QTimer::singleShot(equipmentDetailChart->animationDuration() + 20, this, [this] {
            if (drawerOpen)
                equipmentDetailChart->setAnimationEnabled(false);
        });
        return;
    }
    detailDrawer->hide();
    detailDrawer->setMinimumWidth(kDrawerWidth);
    detailDrawer->setMaximumWidth(kDrawerWidth);
    detailDrawer->resize(kDrawerWidth, detailDrawer->height());
    detailDrawer->setChildLayout(VYRQContainer::Vertical);
    detailDrawer->forceResize();
}

void RefineryPlantWindow::showEvent(QShowEvent* event)
{
    VYRQWindow::showEvent(event);
    if (currentPage == 0)
        QTimer::singleShot(0, this, &RefineryPlantWindow::replayDashboardCharts);
}

#include "moc_RefineryPlantWindow.cpp"
