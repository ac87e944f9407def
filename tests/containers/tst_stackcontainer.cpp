#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQStackContainer.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QPointer>
#include <QtTest>

#include <json/value.h>

namespace {

Json::Value parse(const char* text)
{
    Json::Value root;
    vyr::json::parse(QByteArray(text), root);
    return root;
}

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    style.fill.color2 = color;
    return style;
}

QColor pixelAt(QWidget& w, const QPoint& at)
{
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    w.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return QColor::fromRgba(image.pixel(at));
}

// Counts the layout requests a widget receives.
class LayoutRequestCounter : public QObject {
public:
    explicit LayoutRequestCounter(QWidget* watched) { watched->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            ++count;
        return false;
    }
    int count = 0;
};

// Lets the event loop run for a while: the test observes what happens meanwhile.
void runEventLoopFor(int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A stack of 200 x 120 holding `n` plain pages.
struct Fixture {
    explicit Fixture(int n)
    {
        stack.resize(200, 120);
        for (int i = 0; i < n; ++i)
            pages << new QWidget;
        for (QWidget* page : pages)
            stack.addWidget(page);
    }
    VYRQStackContainer stack;
    QVector<QWidget*> pages;
};

} // namespace

class tst_StackContainer : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        FillStyle blue = solid(QStringLiteral("StackBlue"), QColor(0, 0, 255));
        FillStyle red = solid(QStringLiteral("StackRed"), QColor(255, 0, 0));
        rm->setFillStyle(blue.name, blue);
        rm->setFillStyle(red.name, red);
    }

    void insertIndexes_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("expected");
        QTest::newRow("past the end appends") << 5 << 2;
        QTest::newRow("negative appends") << -1 << 2;
        QTest::newRow("at count appends") << 2 << 2;
        QTest::newRow("front") << 0 << 0;
        QTest::newRow("middle") << 1 << 1;
    }

    void insertIndexes()
    {
        QFETCH(int, index);
        QFETCH(int, expected);
        Fixture f(2);
        auto* page = new QWidget;
        QCOMPARE(f.stack.insertWidget(index, page), expected);
        QCOMPARE(f.stack.count(), 3);
        QCOMPARE(f.stack.widget(expected), page);
        QCOMPARE(page->parentWidget(), &f.stack);
        // The same page stays current wherever the new one went.
        QCOMPARE(f.stack.currentWidget(), f.pages[0]);
        QCOMPARE(f.stack.currentIndex(), expected == 0 ? 1 : 0);
        QVERIFY(page->isHidden());
    }

    void insertNullChangesNothing()
    {
        Fixture f(1);
        QCOMPARE(f.stack.insertWidget(0, nullptr), -1);
        QCOMPARE(f.stack.addWidget(nullptr), -1);
        QCOMPARE(f.stack.count(), 1);
        QCOMPARE(f.stack.currentIndex(), 0);
    }

    void reinsertMovesPage()
    {
        Fixture f(3);
        QCOMPARE(f.stack.insertWidget(1, f.pages[1]), 1);
        QCOMPARE(f.stack.count(), 3);
        QCOMPARE(f.stack.widget(1), f.pages[1]);

        QCOMPARE(f.stack.insertWidget(0, f.pages[1]), 0);
        QCOMPARE(f.stack.count(), 3);
        QCOMPARE(f.stack.widget(0), f.pages[1]);
        QCOMPARE(f.stack.widget(1), f.pages[0]);
        QCOMPARE(f.stack.currentWidget(), f.pages[0]);
        QCOMPARE(f.stack.currentIndex(), 1);

        // Moving the current page backwards: the index shrinks past its old place.
        QCOMPARE(f.stack.insertWidget(3, f.pages[0]), 2);
        QCOMPARE(f.stack.widget(2), f.pages[0]);
        QCOMPARE(f.stack.currentWidget(), f.pages[0]);
        QCOMPARE(f.stack.currentIndex(), 2);
        QVERIFY(!f.pages[0]->isHidden());
    }

    void firstPagesFitAndShow()
    {
        VYRQStackContainer stack;
        stack.resize(200, 120);
        stack.show();
        QVERIFY(QTest::qWaitForWindowExposed(&stack));
        auto* plain = new QWidget;
        auto* container = new VYRQContainer;
        auto* third = new QWidget;
        plain->setGeometry(5, 5, 10, 10);
        QCOMPARE(stack.addWidget(plain), 0);
        QCOMPARE(stack.addWidget(container), 1);
        QCOMPARE(stack.addWidget(third), 2);

        QCOMPARE(stack.currentIndex(), 0);
        QVERIFY(plain->isVisible());
        QVERIFY(!container->isVisible());
        QVERIFY(!third->isVisible());
        for (QWidget* page : {plain, static_cast<QWidget*>(container), third})
            QCOMPARE(page->geometry(), QRect(0, 0, 200, 120));
        // A library page is placed through its control base, which records the rectangle.
        QCOMPARE(container->getLayoutType(), LayoutAbsolute);

        stack.resize(300, 150);
        for (QWidget* page : {plain, static_cast<QWidget*>(container), third})
            QCOMPARE(page->geometry(), QRect(0, 0, 300, 150));
    }

    void removeKeepsCurrent_data()
    {
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<int>("expectedPage");
        QTest::newRow("current last of three") << 2 << 2 << 1 << 1;
        QTest::newRow("current first") << 0 << 0 << 0 << 1;
        QTest::newRow("before current") << 2 << 0 << 1 << 2;
        QTest::newRow("after current") << 0 << 2 << 0 << 0;
    }

    void removeKeepsCurrent()
    {
        QFETCH(int, current);
        QFETCH(int, removed);
        QFETCH(int, expectedIndex);
        QFETCH(int, expectedPage);
        Fixture f(3);
        f.stack.setCurrentIndex(current);
        f.stack.removeWidget(f.pages[removed]);
        QCOMPARE(f.stack.count(), 2);
        QCOMPARE(f.stack.currentIndex(), expectedIndex);
        QCOMPARE(f.stack.currentWidget(), f.pages[expectedPage]);
        QVERIFY(!f.pages[expectedPage]->isHidden());
        QVERIFY(f.pages[removed]->isHidden());
        QCOMPARE(f.pages[removed]->parentWidget(), &f.stack);
    }

    void removeLastAndStrangers()
    {
        Fixture f(1);
        QWidget stranger;
        f.stack.removeWidget(&stranger);
        f.stack.removeWidget(nullptr);
        QCOMPARE(f.stack.count(), 1);

        f.stack.removeWidget(f.pages[0]);
        QCOMPARE(f.stack.count(), 0);
        QCOMPARE(f.stack.currentIndex(), -1);
        QVERIFY(!f.stack.currentWidget());
        QCOMPARE(f.pages[0]->parentWidget(), &f.stack);
        // A removed page is no longer kept at the stack's size.
        f.pages[0]->move(7, 7);
        QCOMPARE(f.pages[0]->pos(), QPoint(7, 7));
    }

    void setCurrentIndexBounds()
    {
        Fixture f(3);
        f.stack.setCurrentIndex(1);
        QCOMPARE(f.stack.currentIndex(), 1);
        QVERIFY(f.pages[0]->isHidden());
        f.stack.setCurrentIndex(f.stack.count());
        f.stack.setCurrentIndex(-1);
        QCOMPARE(f.stack.currentIndex(), 1);
        QWidget stranger;
        f.stack.setCurrentWidget(&stranger);
        QCOMPARE(f.stack.currentIndex(), 1);
        f.stack.setCurrentWidget(f.pages[2]);
        QCOMPARE(f.stack.currentIndex(), 2);
        QVERIFY(f.pages[1]->isHidden());
    }

    void pagesKeepFullSize()
    {
        Fixture f(3);
        f.stack.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.stack));
        // A page that is not current but shown by hand is pulled back at once.
        f.pages[1]->show();
        f.pages[1]->move(30, 40);
        QCOMPARE(f.pages[1]->geometry(), QRect(0, 0, 200, 120));
        f.pages[1]->resize(10, 10);
        QCOMPARE(f.pages[1]->geometry(), QRect(0, 0, 200, 120));
        // A hidden page moved by hand is fitted again before it shows.
        f.pages[2]->setGeometry(5, 5, 20, 20);
        f.stack.setCurrentIndex(2);
        QCOMPARE(f.pages[2]->geometry(), QRect(0, 0, 200, 120));
        QVERIFY(f.pages[2]->isVisible());

        // The current page stays where it is put until the stack refreshes it.
        f.pages[2]->setGeometry(30, 40, 50, 50);
        QCOMPARE(f.pages[2]->geometry(), QRect(30, 40, 50, 50));
        f.stack.setCurrentIndex(2);
        QCOMPARE(f.pages[2]->geometry(), QRect(0, 0, 200, 120));
        QVERIFY(f.pages[2]->isVisible());
    }

    // Refreshing the current page must not ask for yet another layout request.
    void shownStackGoesIdle()
    {
        QWidget window;
        window.resize(240, 160);
        auto* outer = new VYRQStackContainer(&window);
        outer->setGeometry(0, 0, 240, 160);
        auto* page = new VYRQContainer;
        page->setChildLayout(VYRQContainer::Vertical);
        new VYRQContainer(page);
        auto* inner = new VYRQStackContainer;
        inner->addWidget(new QWidget);
        outer->addWidget(page);
        outer->addWidget(inner);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        outer->setCurrentIndex(1);
        outer->setCurrentIndex(0);
        QCoreApplication::processEvents();

        LayoutRequestCounter outerRequests(outer);
        LayoutRequestCounter innerRequests(inner);
        runEventLoopFor(200);
        QCOMPARE(outerRequests.count, 0);
        QCOMPARE(innerRequests.count, 0);
        // A layout request still refits a page that was moved by hand.
        page->move(20, 20);
        QCoreApplication::postEvent(outer, new QEvent(QEvent::LayoutRequest));
        QTRY_COMPARE(page->pos(), QPoint(0, 0));
        runEventLoopFor(200);
        QCOMPARE(outerRequests.count, 1);
    }

    void deletedPageLeavesStack()
    {
        Fixture f(4);
        f.stack.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.stack));
        f.stack.setCurrentIndex(2);

        delete f.pages[0];
        QCOMPARE(f.stack.count(), 3);
        QCOMPARE(f.stack.currentIndex(), 1);
        QCOMPARE(f.stack.currentWidget(), f.pages[2]);

        delete f.pages[2];
        QCOMPARE(f.stack.count(), 2);
        QCOMPARE(f.stack.currentIndex(), 1);
        QCOMPARE(f.stack.currentWidget(), f.pages[3]);
        QVERIFY(f.pages[3]->isVisible());

        // Nothing below may touch the deleted pages.
        f.stack.resize(150, 90);
        QCoreApplication::postEvent(&f.stack, new QEvent(QEvent::LayoutRequest));
        QCoreApplication::processEvents();
        QCOMPARE(f.pages[1]->size(), QSize(150, 90));
        QCOMPARE(f.stack.widget(0), f.pages[1]);
        QCOMPARE(f.stack.widget(1), f.pages[3]);
        f.stack.setCurrentIndex(0);
        QVERIFY(f.pages[3]->isHidden());
    }

    void reparentedPageLeavesStack()
    {
        Fixture f(2);
        QWidget elsewhere;
        f.pages[0]->setParent(&elsewhere);
        QCOMPARE(f.stack.count(), 1);
        QCOMPARE(f.stack.currentWidget(), f.pages[1]);
        // No longer watched: the stack does not pull it back to its size.
        f.pages[0]->setGeometry(1, 2, 3, 4);
        QCOMPARE(f.pages[0]->geometry(), QRect(1, 2, 3, 4));
    }

    void writeJson_data()
    {
        QTest::addColumn<QString>("normal");
        QTest::addColumn<QString>("disabled");
        QTest::addColumn<bool>("draw");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing named") << "" << "" << true << R"({"style":null})";
        QTest::newRow("drawing off") << "" << "" << false << R"({"attr":{"drawBackground":0},"style":null})";
        QTest::newRow("both") << "StackBlue" << "StackRed" << true
                              << R"({"style":[["StackBlue",1,0],["StackRed",1,1]]})";
        QTest::newRow("disabled only") << "" << "StackRed" << true << R"({"style":[["StackRed",1,1]]})";
    }

    void writeJson()
    {
        QFETCH(QString, normal);
        QFETCH(QString, disabled);
        QFETCH(bool, draw);
        QFETCH(QString, expected);
        VYRQStackContainer stack;
        FillStyle style;
        style.name = normal;
        stack.setBackground(style);
        style.name = disabled;
        stack.setDisableBackground(style);
        stack.setDrawBackground(draw);

        Json::Value written(Json::objectValue);
        QVERIFY(stack.serializeJsonValue(&written, false));
        const Json::Value want = parse(expected.toUtf8().constData());
        QVERIFY(written.isMember("style"));
        QVERIFY2(written["style"] == want["style"], vyr::json::styledText(written["style"]).c_str());
        const Json::Value* attr = vyr::json::object(written, "attr");
        QCOMPARE(attr && attr->isMember("drawBackground"), !draw);
        if (!draw)
            QVERIFY((*attr)["drawBackground"] == want["attr"]["drawBackground"]);
    }

    void readJson()
    {
        VYRQStackContainer stack;
        Json::Value element = parse(R"({"style": [["StackBlue", 1, 0], ["StackRed", 1, 1]],
                                         "attr": {"drawBackground": 0}})");
        QVERIFY(stack.readJsonValue(&element));
        QCOMPARE(stack.getBackground().name, QStringLiteral("StackBlue"));
        QCOMPARE(stack.getDisableBackground().name, QStringLiteral("StackRed"));
        QVERIFY(!stack.getDrawBackground());

        element = parse(R"({"style": [["Missing", 1, 0], ["StackBlue", 1, 2], ["StackBlue", 1, -1]],
                            "attr": {"drawBackground": true}})");
        QVERIFY(stack.readJsonValue(&element));
        QCOMPARE(stack.getBackground().name, QStringLiteral("StackBlue"));
        QCOMPARE(stack.getDisableBackground().name, QStringLiteral("StackRed"));
        QVERIFY(stack.getDrawBackground());

        // The key is the control's own: never echoed from the common store.
        stack.setDrawBackground(true);
        Json::Value written(Json::objectValue);
        QVERIFY(stack.serializeJsonValue(&written, false));
        QVERIFY(!written.isMember("attr") || !written["attr"].isMember("drawBackground"));
    }

    void paintsStateBackground()
    {
        VYRQStackContainer stack;
        stack.resize(40, 30);
        stack.setBackground(solid(QStringLiteral("StackBlue"), QColor(0, 0, 255)));
        stack.setDisableBackground(solid(QStringLiteral("StackRed"), QColor(255, 0, 0)));
        QCOMPARE(pixelAt(stack, QPoint(20, 15)), QColor(0, 0, 255));
        stack.setEnabled(false);
        QCOMPARE(pixelAt(stack, QPoint(20, 15)), QColor(255, 0, 0));
        stack.setDrawBackground(false);
        QCOMPARE(pixelAt(stack, QPoint(20, 15)).alpha(), 0);
    }

    void pageFileBuildsNoPages()
    {
        QWidget host;
        Json::Value element = parse(R"({"type": "stackcontainer", "name": "pages",
                                         "child": [{"type": "qtcontainer", "name": "a"}]})");
        QWidget* built = createElementFromJson(element, &host);
        auto* stack = qobject_cast<VYRQStackContainer*>(built);
        QVERIFY(stack);
        QCOMPARE(stack->count(), 0);
        QVERIFY(stack->findChild<VYRQContainer*>(QStringLiteral("a")));
        QVERIFY(vyrGetControlInfo(QStringLiteral("qtstackcontainer")));
    }
};

QTEST_MAIN(tst_StackContainer)
#include "tst_stackcontainer.moc"
