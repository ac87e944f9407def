#include "VYRQContainer.h"
#include "VYRQJson.h"
#include "VYRQSpacer.h"
#include "cell.h"

#include <QtTest>

#include <json/value.h>

namespace {

Json::Value parse(const char* text)
{
    Json::Value root;
    vyr::json::parse(QByteArray(text), root);
    return root;
}

} // namespace

class tst_Spacer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void construction();
    void stretchByDirection_data();
    void stretchByDirection();
    void spacersShareByWeight();
    void twoSpacersCentre();
    void thickness_data();
    void thickness();
    void ordinaryInFloatingLayouts();
    void settersClampAndRelayout();
    void json_data();
    void json();
    void clicksPassThrough();
};

void tst_Spacer::construction()
{
    VYRQSpacer spacer;
    QCOMPARE(spacer.getDirection(), VYRQSpacer::Auto);
    QCOMPARE(spacer.getThickness(), 0);
    QVERIFY(spacer.testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(spacer.focusPolicy(), Qt::NoFocus);
    QCOMPARE(spacer.minimumSize(), QSize(0, 0));
    QCOMPARE(spacer.getTypeName(), QStringLiteral("qtspacer"));
}

void tst_Spacer::stretchByDirection_data()
{
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<int>("direction");
    QTest::addColumn<QVector<int>>("sizes");

    // Two 40-pixel cells around a spacer in 200 pixels: a fitting spacer takes the
    // rest; any other is shared by ratio like every child.
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
    QWidget* first = new QWidget(&container);
    first->resize(40, 40);
    VYRQSpacer* spacer = new VYRQSpacer(&container);
    spacer->setDirection(VYRQSpacer::Direction(direction));
    QWidget* last = new QWidget(&container);
    last->resize(40, 40);
    container.setChildLayout(horizontal ? VYRQContainer::Horizontal : VYRQContainer::Vertical);

    int pos = 0;
    for (int i = 0; i < 3; ++i) {
        const QWidget* w = i == 0 ? first : (i == 1 ? static_cast<QWidget*>(spacer) : last);
        const QRect base = baseGeometry(w);
        QCOMPARE(horizontal ? base.width() : base.height(), sizes[i]);
        QCOMPARE(horizontal ? base.x() : base.y(), pos);
        pos += sizes[i];
    }
}

void tst_Spacer::spacersShareByWeight()
{
    VYRQContainer container;
    container.resize(160, 30);
    new Cell(&container, 60, 20);
    VYRQSpacer* one = new VYRQSpacer(&container);
    VYRQSpacer* three = new VYRQSpacer(&container);
    three->setLayoutRatio(3);
    container.setChildLayout(VYRQContainer::Horizontal);
    QCOMPARE(baseGeometry(one), QRect(60, 0, 25, 30));
    QCOMPARE(baseGeometry(three), QRect(85, 0, 75, 30));

    // A spacer's own maximum holds; the share it cannot take is not handed on.
    VYRQSpacer* capped = new VYRQSpacer(&container);
    capped->setMaximumWidth(0);
    container.forceResize();
    QCOMPARE(baseGeometry(one).width(), 20);
    QCOMPARE(baseGeometry(three).width(), 60);
    QCOMPARE(baseGeometry(capped), QRect(140, 0, 0, 30));
}

void tst_Spacer::twoSpacersCentre()
{
    VYRQContainer container;
    container.resize(200, 40);
    new VYRQSpacer(&container);
    Cell* button = new Cell(&container, 50, 20);
    button->setWidthPolicy(PolicyFixed);
    new VYRQSpacer(&container);
    container.setChildLayout(VYRQContainer::Horizontal);
    QCOMPARE(button->geometry(), QRect(75, 0, 50, 20));
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
        QTest::newRow(axis + "thickness clamped to cross") << horizontal << 500 << -1 << 80;
        QTest::newRow(axis + "no thickness, fill") << horizontal << 0 << 0 << 80;
        QTest::newRow(axis + "no thickness, own") << horizontal << 0 << -1 << 30;
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

void tst_Spacer::ordinaryInFloatingLayouts()
{
    VYRQContainer container;
    container.resize(200, 200);
    VYRQSpacer* spacer = new VYRQSpacer(&container);
    spacer->resize(30, 20);
    QWidget* after = new QWidget(&container);
    after->resize(40, 40);
    container.setChildLayout(VYRQContainer::HorFloat);
    QCOMPARE(spacer->geometry(), QRect(0, 0, 30, 20));
    QCOMPARE(after->geometry(), QRect(30, 0, 40, 40));
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
    QCOMPARE(baseGeometry(spacer).width(), 160);
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
    QTest::newRow("no attr") << QByteArray(R"({"name": "s"})") << 0 << 0 << QByteArray("null");
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
    spacer->resize(33, 33);
    QCoreApplication::processEvents();
    const QRect before = spacer->geometry();
    Json::Value root = parse(input.constData());
    QVERIFY(spacer->readJsonValue(&root));
    QCOMPARE(int(spacer->getDirection()), direction);
    QCOMPARE(spacer->getThickness(), thickness);
    // Reading does not lay the parent out.
    QCOMPARE(spacer->geometry(), before);

    Json::Value out;
    spacer->serializeJsonValue(&out, false);
    QCOMPARE(out["attr"], parse(written.constData()));
}

void tst_Spacer::clicksPassThrough()
{
    QWidget parent;
    parent.resize(100, 100);
    QWidget* below = new QWidget(&parent);
    below->setGeometry(0, 0, 100, 100);
    VYRQSpacer* spacer = new VYRQSpacer(&parent);
    spacer->setGeometry(0, 0, 100, 100);
    spacer->raise();
    QCOMPARE(parent.childAt(50, 50), below);
}

QTEST_MAIN(tst_Spacer)
#include "tst_spacer.moc"
