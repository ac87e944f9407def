#include "RefineryPlantWindow.h"
#include "RefinerySimulator.h"
#include "VYRQGlobal.h"
#include "VYRQLabel.h"
#include "VYRQPushButton.h"
#include "VYRQStackContainer.h"

#include <QtTest>

#include <memory>

namespace {

template <class T>
T* child(QWidget* root, const char* name)
{
    T* widget = root->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no %s", name);
    return widget;
}

QString themeOf(QWidget* widget)
{
    auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
    return control ? control->getControlImpl()->themeName() : QString();
}

// The sidebar's navigation buttons, top to bottom.
QList<VYRQPushButton*> navigationButtons(QWidget* window)
{
    QList<VYRQPushButton*> buttons;
    for (VYRQPushButton* button : window->findChildren<VYRQPushButton*>())
        if (button->width() == 164 || button->minimumWidth() == 164)
            buttons << button;
    std::sort(buttons.begin(), buttons.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    return buttons;
}

} // namespace

class tst_RefineryPlantWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void frameAfterConstruction();
    void languageTexts_data();
    void languageTexts();
    void pageIndexOutOfRange_data();
    void pageIndexOutOfRange();
    void destructorStopsSimulator();
};

void tst_RefineryPlantWindow::initTestCase()
{
    VYRQtLib::init();
    QVERIFY(vyrLoadThemeDir(TARNEX_THEME_DIR));
}

void tst_RefineryPlantWindow::frameAfterConstruction()
{
    RefineryPlantWindow window;
    QCOMPARE(window.size(), QSize(1440, 900));
    QVERIFY(window.plantSimulator()->isRunning());
    QCOMPARE(window.plantSimulator()->interval(), 1000);

    auto* root = child<VYRQContainer>(&window, "kolvRoot");
    auto* stack = child<VYRQStackContainer>(&window, "kolvPageStack");
    auto* dashboard = child<VYRQContainer>(&window, "dashboardPage");
    auto* plant = child<VYRQContainer>(&window, "plantPage");
    QVERIFY(root && stack && dashboard && plant);
    // Each page scrolls inside its own view.
    QVERIFY(stack->widget(0)->isAncestorOf(dashboard));
    QVERIFY(stack->widget(1)->isAncestorOf(plant));

    // The first layout runs on the next turn of the event loop.
    window.show();
    QTRY_COMPARE(root->geometry(), window.rect());
    QList<VYRQContainer*> columns;
    for (QObject* object : root->children())
        if (auto* c = qobject_cast<VYRQContainer*>(object))
            columns << c;
    QCOMPARE(columns.size(), 2);
    VYRQContainer* sidebar = columns[0]->x() < columns[1]->x() ? columns[0] : columns[1];
    VYRQContainer* main = sidebar == columns[0] ? columns[1] : columns[0];
    QCOMPARE(sidebar->geometry(), QRect(0, 0, 196, 900));
    QCOMPARE(main->geometry(), QRect(196, 0, 1244, 900));
    QCOMPARE(stack->geometry(), QRect(0, 64, 1244, 836));

    // Resizing keeps the root covering the window.
    for (const QSize size : {QSize(1600, 1000), QSize(1280, 720)}) {
        window.resize(size);
        QCOMPARE(root->geometry(), QRect(QPoint(0, 0), size));
        QCOMPARE(stack->height(), size.height() - 64);
        QCOMPARE(stack->width(), size.width() - 196);
    }
    window.resize(200, 100);   // the minimum holds
    QCOMPARE(window.size(), QSize(1280, 720));
}

void tst_RefineryPlantWindow::languageTexts_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("navigation");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("activeLanguageButton");

    const QStringList english{"Dashboard", "Alarms", "Plant Overview", "Equipment Explorer", "Trends & Analysis",
                              "Incidents & Reports"};
    QTest::newRow("English") << 0 << "Qt-UI Tarnex Refinery Monitoring" << english
                             << "North Hydrotreater / In production" << "EN";
    QTest::newRow("Chinese") << 1 << QString::fromUtf8("Qt-UI Tarnex 炼化装置监控")
                             << QString::fromUtf8("运行总览,实时告警,装置流程,设备浏览,趋势分析,事件与报表").split(',')
                             << QString::fromUtf8("北区加氢精制装置 / 生产中") << QString::fromUtf8("中");
    QTest::newRow("any other value is English") << 7 << "Qt-UI Tarnex Refinery Monitoring" << english
                                                << "North Hydrotreater / In production" << QString();
}

void tst_RefineryPlantWindow::languageTexts()
{
    QFETCH(int, language);
    RefineryPlantWindow window;
    window.setLanguage(1 - qMin(language, 1));   // switch away first
    window.setLanguage(language);                // before the window is ever shown
    QCOMPARE(window.getLanguage(), language);
    QTEST(window.windowTitle(), "title");
    QFETCH(QStringList, navigation);
    QStringList texts;
    for (VYRQPushButton* button : ::navigationButtons(&window))
        texts << button->text();
    QCOMPARE(texts, navigation);

    QStringList labels;
    for (VYRQLabel* label : window.findChildren<VYRQLabel*>())
        labels << label->text();
    QFETCH(QString, unit);
    QVERIFY2(labels.contains(unit), qPrintable(unit));

    QFETCH(QString, activeLanguageButton);
    for (VYRQPushButton* button : window.findChildren<VYRQPushButton*>()) {
        if (button->text() != QLatin1String("EN") && button->text() != QString::fromUtf8("中"))
            continue;
        QCOMPARE(themeOf(button), button->text() == activeLanguageButton ? QStringLiteral("KolvLanguageButtonActive")
                                                                         : QStringLiteral("KolvSecondaryButton"));
    }
}

void tst_RefineryPlantWindow::pageIndexOutOfRange_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("negative") << -1;
    QTest::newRow("past the pages") << 2;
}

void tst_RefineryPlantWindow::pageIndexOutOfRange()
{
    QFETCH(int, index);
    RefineryPlantWindow window;
    auto* stack = child<VYRQStackContainer>(&window, "kolvPageStack");
    window.setPage(1);
    window.setPage(index);
    QCOMPARE(window.getCurrentPage(), 1);
    QCOMPARE(stack->currentIndex(), 1);
}

void tst_RefineryPlantWindow::destructorStopsSimulator()
{
    auto window = std::make_unique<RefineryPlantWindow>();
    QPointer<RefinerySimulator> simulator = window->plantSimulator();
    QCOMPARE(simulator->parent(), window.get());
    QSignalSpy ticks(simulator.data(), &RefinerySimulator::snapshotChanged);
    simulator->start(50);
    QTRY_VERIFY(ticks.count() >= 1);
    window.reset();
    QVERIFY(simulator.isNull());
}

QTEST_MAIN(tst_RefineryPlantWindow)
#include "tst_refineryplantwindow.moc"
