#include "VYRQContainer.h"
#include "VYRQJson.h"
#include "VYRQSpacer.h"
#include "cell.h"

#include <QtTest>

#include <json/value.h>

class tst_Spacer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stretchByDirection_data();
    void stretchByDirection();
    void spacersShareByWeight();
    void thickness_data();
    void thickness();
    void settersClampAndRelayout();
    void json_data();
    void json();
};

void tst_Spacer::stretchByDirection_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QVector<int>>("sizes");

    // Two 40-pixel children around a spacer in 200 pixels: a fitting spacer takes
    // the rest; any other is shared by ratio like every child.
    const QVector<int> stretched{40, 120, 40};
    const QVector<int> shared{66, 67, 67};
    QTest::newRow("h auto") << true << int(VYRQSpacer::Auto) << stretched;
    QTest::newRow("h horizontal") << true << int(VYRQSpacer::Horizontal) << stretched;
    QTest::newRow("h vertical") << true << int(VYRQSpacer::Vertical) << shared;
    QTest::newRow("v auto") << false << int(VYRQSpacer::Auto) << stretched;
    QTest::newRow("v vertical") << false << int(VYRQSpacer::Vertical) << stretched;
    QTest::newRow("v horizontal") << false << int(VYRQSpacer::Horizontal) << shared;
}

void tst_Spacer::stretchByDirection()
{
    QFETCH(bool, horizontal);
    QFETCH(int, direction);
    QFETCH(QVector<int>, sizes);

    VYRQContainer container;
    container.resize(horizontal ? 200 : 50, horizontal ? 50 : 200);
    QWidget* children[3] = {new QWidget(&container), new VYRQSpacer(&container), new QWidget(&container)};
    children[0]->resize(40, 40);
    children[2]->resize(40, 40);
    static_cast<VYRQSpacer*>(children[1])->setDirection(VYRQSpacer::Direction(direction));
    container.setChildLayout(horizontal ? VYRQContainer::Horizontal : VYRQContainer::Vertical);

    int pos = 0;
    for (int i = 0; i < 3; ++i) {
        const QRect base = baseGeometry(children[i]);
        QCOMPARE(horizontal ? base.width() : base.height(), sizes[i]);
        QCOMPARE(horizontal ? base.x() : base.y(), pos);
        pos += sizes[i];
    }
}

void tst_Spacer::spacersShareByWeight()
{
    VYRQContainer container;
    container.resize(160, 30);
    new VYRQSpacer(&container);
    Cell* button = new Cell(&container, 60, 20);
    VYRQSpacer* three = new VYRQSpacer(&container);
    three->setLayoutRatio(3);
    container.setChildLayout(VYRQContainer::Horizontal);
    QCOMPARE(button->geometry(), QRect(25, 0, 60, 20));
    QCOMPARE(baseGeometry(three), QRect(85, 0, 75, 30));

    // Equal spacers centre; a spacer's maximum holds and its lost share goes to no one.
    three->setLayoutRatio(1);
    QCOMPARE(button->geometry(), QRect(50, 0, 60, 20));
    VYRQSpacer* capped = new VYRQSpacer(&container);
    capped->setMaximumWidth(0);
    container.forceResize();
    QCOMPARE(button->x(), 33);
    QCOMPARE(baseGeometry(three).width(), 33);
    QCOMPARE(baseGeometry(capped), QRect(126, 0, 0, 30));
}

void tst_Spacer::thickness_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("thickness");
    QTest::addColumn<int>("policy");
    QTest::addColumn<int>("expected");

    // Cross size: 100 less paddings of 10 and 10; the spacer is 30 across on its own.
    for (bool horizontal : {true, false}) {
        const QByteArray axis = horizontal ? "h " : "v ";
        QTest::newRow(axis + "thickness") << horizontal << 8 << -1 << 8;
        QTest::newRow(axis + "thickness over policy") << horizontal << 8 << 0 << 8;
        QTest::newRow(axis + "clamped to cross") << horizontal << 500 << -1 << 80;
        QTest::newRow(axis + "none, fill") << horizontal << 0 << 0 << 80;
        QTest::newRow(axis + "none, own") << horizontal << 0 << -1 << 30;
    }
}

void tst_Spacer::thickness()
{
    QFETCH(bool, horizontal);
    QFETCH(int, thickness);
    QFETCH(int, policy);
    QFETCH(int, expected);

    VYRQContainer container;
    container.resize(horizontal ? 200 : 100, horizontal ? 100 : 200);
    container.setChildPadding(10);
    VYRQSpacer* spacer = new VYRQSpacer(&container);
    spacer->resize(30, 30);
    spacer->setThickness(thickness);
    if (horizontal)
        spacer->setHeightPolicy(LayoutSizePolicy(policy));
    else
        spacer->setWidthPolicy(LayoutSizePolicy(policy));
    container.setChildLayout(horizontal ? VYRQContainer::Horizontal : VYRQContainer::Vertical);

    const QRect base = baseGeometry(spacer);
    QCOMPARE(horizontal ? base.height() : base.width(), expected);
    QCOMPARE(base.topLeft(), QPoint(10, 10));
    QCOMPARE(horizontal ? base.width() : base.height(), 180);
}

void tst_Spacer::settersClampAndRelayout()
{
    VYRQContainer container;
    container.resize(200, 50);
    Cell* a = new Cell(&container, 40, 40);
    a->setWidthPolicy(PolicyFixed);
    VYRQSpacer* spacer = new VYRQSpacer(&container);
    spacer->setDirection(VYRQSpacer::Vertical);
    spacer->setHeightPolicy(PolicyFill);
    container.setChildLayout(VYRQContainer::Horizontal);
    // An ordinary child has no thickness.
    spacer->setThickness(12);
    QCOMPARE(baseGeometry(spacer).height(), 50);

    // Each setter lays the parent out again: the spacer now stretches with its thickness.
    spacer->setDirection(VYRQSpacer::Direction(5));
    QCOMPARE(spacer->getDirection(), VYRQSpacer::Auto);
    QCOMPARE(baseGeometry(spacer).height(), 12);
    spacer->setThickness(-3);
    QCOMPARE(spacer->getThickness(), 0);
    QCOMPARE(baseGeometry(spacer).height(), 50);
    QVERIFY(spacer->testAttribute(Qt::WA_TransparentForMouseEvents));
}

void tst_Spacer::json_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("direction");
    QTest::addColumn<int>("thickness");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("values") << QByteArray(R"({"attr": {"direction": 2, "thickness": 8}})") << 2 << 8
                            << QByteArray(R"({"direction": 2, "thickness": 8})");
    QTest::newRow("out of range") << QByteArray(R"({"attr": {"direction": 9, "thickness": -4}})") << 0 << 0
                                  << QByteArray("null");
    QTest::newRow("negative direction") << QByteArray(R"({"attr": {"direction": -1}})") << 0 << 0
                                        << QByteArray("null");
}

void tst_Spacer::json()
{
    QFETCH(QByteArray, input);
    QFETCH(int, direction);
    QFETCH(int, thickness);
    QFETCH(QByteArray, written);

    QWidget parent;
    VYRQContainer* container = new VYRQContainer(&parent);
    container->setChildLayout(VYRQContainer::Horizontal);
    VYRQSpacer* spacer = new VYRQSpacer(container);
    QCoreApplication::processEvents();
    spacer->resize(33, 33);
    Json::Value root;
    QVERIFY(vyr::json::parse(input, root));
    QVERIFY(spacer->readJsonValue(&root));
    QCOMPARE(int(spacer->getDirection()), direction);
    QCOMPARE(spacer->getThickness(), thickness);
    // Reading does not lay the parent out.
    QCOMPARE(spacer->size(), QSize(33, 33));

    Json::Value out;
    spacer->serializeJsonValue(&out, false);
    Json::Value expected;
    vyr::json::parse(written, expected);
    QCOMPARE(out["attr"], expected);
}

QTEST_MAIN(tst_Spacer)
#include "tst_spacer.moc"
