#include "../controls/controls_testutil.h"
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"
#include "VYRQSplitter.h"

#include <QtTest>

class tst_Splitter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        FillStyle bar;
        bar.name = QStringLiteral("Bar");
        bar.fill.color = Qt::green;
        VYRQResourceManager::getInstance()->setFillStyle(bar.name, bar);
    }

    void paintsAndWritesOnlyANamedStyle()
    {
        const QColor paper(1, 2, 3);
        VYRQSplitter splitter;
        splitter.resize(40, 20);
        QCOMPARE(ctl::pixel(ctl::render(splitter, paper), 20, 10), paper);
        QVERIFY(ctl::write(splitter).isMember("style"));
        QVERIFY(ctl::write(splitter)["style"].isNull());

        Json::Value element = ctl::parse(R"({"style": [["Bar", 1, 1], ["Nope", 1, 0]]})");
        QVERIFY(splitter.readJsonValue(&element));
        QCOMPARE(ctl::pixel(ctl::render(splitter, paper), 20, 10), paper);
        element = ctl::parse(R"({"style": [["Bar", 1, 0]]})");
        QVERIFY(splitter.readJsonValue(&element));
        QCOMPARE(ctl::pixel(ctl::render(splitter, paper), 20, 10), QColor(Qt::green));
        QCOMPARE(ctl::write(splitter)["style"], element["style"]);
    }

    // Only settings: the mouse moves nothing, not even the interaction state.
    void mouseChangesNothing()
    {
        QWidget host;
        host.resize(200, 100);
        auto* left = new QWidget(&host);
        auto* right = new QWidget(&host);
        left->setGeometry(0, 0, 90, 100);
        auto* splitter = new VYRQSplitter(&host);
        splitter->setGeometry(90, 0, 20, 100);
        splitter->setUpLeftWidget(left);
        splitter->setDownRightWidget(right);

        ctl::mouse(*splitter, QEvent::MouseButtonPress, QPoint(10, 50));
        QCOMPARE(splitter->getControlImpl()->ctrlState(), Normal);
        ctl::mouse(*splitter, QEvent::MouseMove, QPoint(60, 50));
        ctl::mouse(*splitter, QEvent::MouseButtonRelease, QPoint(60, 50));
        QCOMPARE(splitter->getControlImpl()->ctrlState(), Normal);
        QCOMPARE(splitter->geometry(), QRect(90, 0, 20, 100));
        QCOMPARE(left->geometry(), QRect(0, 0, 90, 100));

        // The panes are not owned: a deleted pane reads as null.
        QCOMPARE(splitter->getDownRightWidget(), right);
        delete right;
        QVERIFY(!splitter->getDownRightWidget());
    }

    void registeredWithoutRecord()
    {
        for (const char* key : {"qtsplitter", "splitter"})
            QVERIFY(qobject_cast<VYRQSplitter*>(QScopedPointer<QWidget>(createControlByType(key, nullptr)).data()));
        QVERIFY(!vyrGetControlInfo(QStringLiteral("qtsplitter")));
    }
};

QTEST_MAIN(tst_Splitter)
#include "tst_splitter.moc"
