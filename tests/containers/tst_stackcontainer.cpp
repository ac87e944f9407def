#include "../controls/controls_testutil.h"
#include "VYRQContainer.h"
#include "VYRQStackContainer.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QtTest>

namespace {

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

} // namespace

class tst_StackContainer : public QObject {
    Q_OBJECT

private slots:
    void operations_data()
    {
        QTest::addColumn<QStringList>("ops");
        QTest::addColumn<QString>("order");   // page names in stack order
        QTest::addColumn<int>("current");

        // A shown stack of p0, p1, p2, p0 current. "+i" inserts a new page n at i,
        // "m<page>:<i>" inserts a page already there, "c<i>" and "w<page>" set the
        // current page, "r<page>" removes, "d<page>" deletes, "x<page>" re-parents it
        // elsewhere; "?" stands for a page that is not in the stack, "null" for none.
        QTest::newRow("insert past the end appends") << QStringList{"+5"} << "p0 p1 p2 n" << 0;
        QTest::newRow("insert at -1 appends") << QStringList{"+-1"} << "p0 p1 p2 n" << 0;
        QTest::newRow("insert in front") << QStringList{"+0"} << "n p0 p1 p2" << 1;
        QTest::newRow("insert in the middle") << QStringList{"+1"} << "p0 n p1 p2" << 0;
        QTest::newRow("insert null") << QStringList{"+null"} << "p0 p1 p2" << 0;
        QTest::newRow("reinsert in place") << QStringList{"m1:1"} << "p0 p1 p2" << 0;
        QTest::newRow("move before the current") << QStringList{"m1:0"} << "p1 p0 p2" << 1;
        QTest::newRow("move the current back") << QStringList{"m0:3"} << "p1 p2 p0" << 2;
        QTest::newRow("remove the current last") << QStringList{"c2", "r2"} << "p0 p1" << 1;
        QTest::newRow("remove the current first") << QStringList{"r0"} << "p1 p2" << 0;
        QTest::newRow("remove before the current") << QStringList{"c2", "r0"} << "p1 p2" << 1;
        QTest::newRow("remove after the current") << QStringList{"r2"} << "p0 p1" << 0;
        QTest::newRow("remove strangers") << QStringList{"r?", "rnull"} << "p0 p1 p2" << 0;
        QTest::newRow("remove all") << QStringList{"r0", "r1", "r2"} << "" << -1;
        QTest::newRow("indexes out of range") << QStringList{"c1", "c3", "c-1", "w?"} << "p0 p1 p2" << 1;
        QTest::newRow("current by widget") << QStringList{"w2"} << "p0 p1 p2" << 2;
        QTest::newRow("delete before the current") << QStringList{"c2", "d0"} << "p1 p2" << 1;
        QTest::newRow("delete the current") << QStringList{"c1", "d1"} << "p0 p2" << 1;
        QTest::newRow("delete the current last") << QStringList{"c2", "d2"} << "p0 p1" << 1;
        QTest::newRow("re-parent a page") << QStringList{"c2", "x0"} << "p1 p2" << 1;
    }

    // Whatever happens, the current index follows its page, exactly the current page
    // shows and every page is kept at the stack's full size.
    void operations()
    {
        QFETCH(QStringList, ops);
        QFETCH(QString, order);
        QFETCH(int, current);

        VYRQStackContainer stack;
        stack.resize(200, 120);
        QVector<QWidget*> pages;
        for (int i = 0; i < 3; ++i) {
            pages << new QWidget;
            pages.last()->setObjectName(QStringLiteral("p%1").arg(i));
            pages.last()->setGeometry(5, 5, 10, 10);
            QCOMPARE(stack.addWidget(pages.last()), i);
        }
        QVERIFY(ctl::shown(stack));
        QWidget stranger;
        QWidget elsewhere;
        auto page = [&](const QString& name) -> QWidget* {
            return name == "?" ? &stranger : name == "null" ? nullptr : pages[name.toInt()];
        };
        QVector<QWidget*> removed;

        for (const QString& op : ops) {
            const QString arg = op.mid(1);
            switch (op.at(0).toLatin1()) {
            case '+': {
                QWidget* added = arg == QLatin1String("null") ? nullptr : new QWidget;
                if (added)
                    added->setObjectName(QStringLiteral("n"));
                const int at = stack.insertWidget(arg.toInt(), added);
                QCOMPARE(at < 0 ? nullptr : stack.widget(at), added);
                break;
            }
            case 'm': {
                const int at = stack.insertWidget(arg.section(':', 1).toInt(), page(arg.section(':', 0, 0)));
                QCOMPARE(stack.widget(at), page(arg.section(':', 0, 0)));
                break;
            }
            case 'c': stack.setCurrentIndex(arg.toInt()); break;
            case 'w': stack.setCurrentWidget(page(arg)); break;
            case 'r':
                stack.removeWidget(page(arg));
                if (arg.at(0).isDigit())
                    removed << page(arg);
                break;
            case 'd': delete page(arg); break;
            case 'x': page(arg)->setParent(&elsewhere); break;
            }
        }

        QStringList names;
        for (int i = 0; i < stack.count(); ++i)
            names << stack.widget(i)->objectName();
        QCOMPARE(names.join(' '), order);
        QCOMPARE(stack.currentIndex(), current);
        QCOMPARE(stack.currentWidget(), current < 0 ? nullptr : stack.widget(current));

        // Nothing below may touch a page that is gone.
        stack.resize(150, 90);
        QCoreApplication::postEvent(&stack, new QEvent(QEvent::LayoutRequest));
        QCoreApplication::processEvents();
        for (int i = 0; i < stack.count(); ++i) {
            QCOMPARE(stack.widget(i)->isVisible(), i == current);
            QCOMPARE(stack.widget(i)->geometry(), QRect(0, 0, 150, 90));
        }
        // Removed pages stay hidden children, no longer kept at the stack's size.
        for (QWidget* gone : removed) {
            QVERIFY(gone->isHidden());
            QCOMPARE(gone->parentWidget(), &stack);
            gone->move(7, 7);
            QCOMPARE(gone->pos(), QPoint(7, 7));
        }
    }

    // A page moved or resized while not current is fitted again before it shows.
    void pagesKeepFullSize()
    {
        VYRQStackContainer stack;
        stack.resize(200, 120);
        QWidget* pages[] = {new QWidget, new QWidget};
        for (QWidget* page : pages)
            stack.addWidget(page);
        QVERIFY(ctl::shown(stack));
        pages[1]->setGeometry(5, 5, 20, 20);
        stack.setCurrentIndex(1);
        QCOMPARE(pages[1]->geometry(), QRect(0, 0, 200, 120));
        QVERIFY(pages[1]->isVisible());
        // Shown by hand, a page that is not current is pulled back at once.
        pages[0]->show();
        pages[0]->move(30, 40);
        QCOMPARE(pages[0]->geometry(), QRect(0, 0, 200, 120));
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
        QVERIFY(ctl::shown(window));
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

    // A container or stack given itself or one of its ancestors refuses it with a
    // warning: adopting it would close a loop of parents.
    void refusesItselfAndItsAncestors_data()
    {
        QTest::addColumn<bool>("intoStack");
        QTest::addColumn<int>("levelsUp");   // 0 itself, 1 its parent, 2 the grandparent
        for (bool stack : {false, true})
            for (int up : {0, 1, 2})
                QTest::addRow("%s, %d up", stack ? "stack" : "container", up) << stack << up;
    }

    void refusesItselfAndItsAncestors()
    {
        QFETCH(bool, intoStack);
        QFETCH(int, levelsUp);
        VYRQContainer top;
        auto* middle = new VYRQContainer(&top);
        QWidget* host = intoStack ? static_cast<QWidget*>(new VYRQStackContainer(middle)) : new VYRQContainer(middle);
        QWidget* candidate = levelsUp == 0 ? host : levelsUp == 1 ? static_cast<QWidget*>(middle) : &top;
        QWidget* const formerParent = candidate->parentWidget();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot hold itself")));
        if (auto* stack = qobject_cast<VYRQStackContainer*>(host)) {
            QCOMPARE(stack->addWidget(candidate), -1);
            QCOMPARE(stack->count(), 0);
        } else {
            static_cast<VYRQContainer*>(host)->addChildWidget(candidate, 1);
        }
        QCOMPARE(candidate->parentWidget(), formerParent);
        QCOMPARE(host->parentWidget(), middle);
    }
};

QTEST_MAIN(tst_StackContainer)
#include "tst_stackcontainer.moc"
