#include "../controls/controls_testutil.h"
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"
#include "VYRQStateStyles.h"
#include "VYRQTabWidget.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QColor paper(1, 2, 3);
const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);
const QColor grey(128, 128, 128);

FillStyle fill(const QString& name)
{
    FillStyle style;
    vyrGetFillStyle(name, style);
    return style;
}

QStringList entries(const Json::Value& styles)
{
    QStringList out;
    for (const Json::Value& e : styles)
        out << QStringLiteral("%1:%2:%3").arg(ctl::str(e[0])).arg(e[1].asInt()).arg(e[2].asInt());
    return out;
}

// A horizontal strip 300 x 40 of six tabs, 50 wide with 10 between them: tab 4 starts
// at x 240 and tab 5 at x 300, beyond the control.
struct Strip {
    VYRQTabWidget tabs;
    explicit Strip(int count = 6)
    {
        tabs.resize(300, 40);
        tabs.setItemSpace(10);
        for (int i = 0; i < count; ++i)
            tabs.addTab(QStringLiteral("t%1").arg(i), QString(), QString());
    }
};

} // namespace

class tst_TabWidget : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        const QPair<const char*, QColor> fills[] = {
            {"Strip", grey}, {"Item", red}, {"ItemHot", green}, {"ItemSel", blue}, {"ItemSame", red}};
        for (const auto& f : fills) {
            FillStyle style;
            style.name = QString::fromLatin1(f.first);
            style.fill.color = f.second;
            rm->setFillStyle(QString::fromLatin1(f.first), style);
        }
        for (const char* name : {"Label", "LabelSel"}) {
            TextStyleDesc style;
            style.name = QString::fromLatin1(name);
            style.bold = name[5] != '\0';
            rm->setTextStyle(QString::fromLatin1(name), style);
        }
    }

    void verticalGeometry()
    {
        VYRQTabWidget vertical;
        vertical.resize(120, 200);
        vertical.setIsHor(false);
        vertical.setItemSize(30);
        QCOMPARE(vertical.tabRect(2), QRect(0, 60, 120, 30));
    }

    void pressHitTest_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("hit");
        QTest::newRow("first tab, corner") << QPoint(0, 0) << 0;
        QTest::newRow("first tab, far edge") << QPoint(49, 39) << 0;
        QTest::newRow("gap after the first") << QPoint(50, 20) << -1;
        QTest::newRow("inside the gap") << QPoint(55, 20) << -1;
        QTest::newRow("second tab") << QPoint(65, 20) << 1;
        QTest::newRow("fifth tab") << QPoint(289, 20) << 4;
        QTest::newRow("gap before the sixth") << QPoint(295, 20) << -1;
    }

    // A press selects the hit tab; the gaps hit nothing; the interaction state stays.
    void pressHitTest()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, hit);
        Strip s;
        s.tabs.setSelectedIndex(3);
        QSignalSpy spy(&s.tabs, &VYRQTabWidget::currentChanged);
        ctl::mouse(s.tabs, QEvent::MouseButtonPress, pos);
        ctl::mouse(s.tabs, QEvent::MouseButtonRelease, pos);
        QCOMPARE(spy.count(), hit < 0 ? 0 : 1);
        QCOMPARE(s.tabs.getSelectedIndex(), hit < 0 ? 3 : hit);
        QCOMPARE(s.tabs.getControlImpl()->ctrlState(), Normal);
    }

    void selectionSignals()
    {
        Strip s(3);
        QSignalSpy spy(&s.tabs, &VYRQTabWidget::currentChanged);
        // Pressing the selected tab reports it again; setting it again does not.
        ctl::mouse(s.tabs, QEvent::MouseButtonPress, QPoint(10, 10));
        ctl::mouse(s.tabs, QEvent::MouseButtonPress, QPoint(10, 10));
        QCOMPARE(spy.count(), 2);
        s.tabs.setSelectedIndex(0);
        QCOMPARE(spy.count(), 2);
        s.tabs.setSelectedIndex(2);
        s.tabs.setSelectedIndex(2);
        s.tabs.setSelectedIndex(3);   // beyond the tabs: ignored
        QCOMPARE(spy.count(), 3);
        s.tabs.setSelectedIndex(-1);  // selects no tab
        QCOMPARE(spy.count(), 4);
        QCOMPARE(spy.last().at(0).toInt(), -1);
    }

    // Selected, hovered and plain tabs take their own fills; the gaps show the strip.
    // A tab hovered stays so in the gaps until the mouse leaves.
    void paintsByTabState()
    {
        Strip s;
        s.tabs.setBackground(fill("Strip"));
        s.tabs.setItemBackground(AllStates, fill("Item"));
        s.tabs.setItemBackground(Hot, fill("ItemHot"));
        s.tabs.setItemBackground(Pressed, fill("ItemSel"));
        s.tabs.setItemBackground(Disable, FillStyle());
        s.tabs.setShowText(false);
        s.tabs.setSelectedIndex(2);
        ctl::mouse(s.tabs, QEvent::MouseMove, QPoint(70, 10));
        ctl::mouse(s.tabs, QEvent::MouseMove, QPoint(115, 10));
        QCOMPARE(s.tabs.getHoverIndex(), 1);

        const QImage image = ctl::render(s.tabs, paper);
        QCOMPARE(ctl::pixel(image, 25, 5), red);
        QCOMPARE(ctl::pixel(image, 85, 5), green);
        QCOMPARE(ctl::pixel(image, 145, 5), blue);
        QCOMPARE(ctl::pixel(image, 55, 5), grey);
        QCOMPARE(ctl::pixel(image, 295, 5), grey);

        ctl::hover(s.tabs, false);
        QCOMPARE(s.tabs.getHoverIndex(), -1);
        QCOMPARE(ctl::pixel(ctl::render(s.tabs, paper), 85, 5), red);
    }

    void iconsBySelection()
    {
        const QString media = QStringLiteral(VYR_TEST_DATA "/controls-media/");
        VYRQTabWidget tabs;
        tabs.resize(100, 40);
        tabs.addTab(QStringLiteral("a"), media + "red-square.svg", QString());
        tabs.addTab(QStringLiteral("b"), media + "red-square.svg", media + "blue-square.svg");
        tabs.setItemBackground(AllStates, fill("Strip"));
        tabs.setShowText(false);
        QCOMPARE(ctl::pixel(ctl::render(tabs, paper), 25, 20), red);   // selected, no own icon
        tabs.setSelectedIndex(1);
        QCOMPARE(ctl::pixel(ctl::render(tabs, paper), 75, 20), blue);
        tabs.setShowIcon(false);
        QCOMPARE(ctl::pixel(ctl::render(tabs, paper), 75, 20), grey);
    }

    void readsStylesAndAttr()
    {
        VYRQTabWidget tabs;
        tabs.setIsHor(false);
        Json::Value element = ctl::parse(R"({"style": [["Strip", 1, 0], ["Item", 1, 1], ["ItemSel", 1, 3],
                                                        ["Nope", 1, 2], ["Item", 1, 9], ["LabelSel", 2, 7],
                                                        ["Label", 2, 5]], "attr": {"itemSize": 64}})");
        QVERIFY(tabs.readJsonValue(&element));
        QVERIFY(tabs.getIsHor());   // no "isHor": horizontal
        QCOMPARE(tabs.getItemSize(), 64);
        QCOMPARE(tabs.getBackground().name, QStringLiteral("Strip"));
        QStringList items;
        for (int st = 0; st < 4; ++st)
            items << tabs.getItemBackground(CtrlState(st)).name;
        QCOMPARE(items, (QStringList{"Item", "Item", "ItemSel", "Item"}));
        // Slot 5 after slot 7 fans out over it.
        QCOMPARE(tabs.getItemTextStyle(Pressed).name, QStringLiteral("Label"));
    }

    void attrRoundTrip()
    {
        VYRQTabWidget tabs;
        QVERIFY(!ctl::write(tabs).isMember("attr"));
        tabs.setIsHor(false);
        tabs.setItemSize(64);
        tabs.setItemSpace(3);
        tabs.setShowText(false);
        tabs.setShowIcon(false);
        tabs.addTab(QStringLiteral("not saved"), QString(), QString());
        Json::Value out = ctl::write(tabs);
        QCOMPARE(out["attr"],
                 ctl::parse(R"({"isHor": 0, "itemSize": 64, "itemSpace": 3, "showText": 0, "hasIcon": 0})"));
        VYRQTabWidget copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(ctl::write(copy)["attr"], out["attr"]);
        QCOMPARE(copy.getTabCount(), 0);
    }

    void styleWriterCompaction_data()
    {
        QTest::addColumn<QStringList>("fills");   // per state; "" is an unnamed default
        QTest::addColumn<QStringList>("written");
        QTest::newRow("nothing named") << QStringList{"", "", "", ""} << QStringList{};
        QTest::newRow("one look, one name") << QStringList{"Item", "Item", "Item", "Item"} << QStringList{"Item:1:1"};
        QTest::newRow("one look, two names")
            << QStringList{"Item", "ItemSame", "Item", "Item"} << QStringList{"Item:1:1"};
        QTest::newRow("selected differs: every named state")
            << QStringList{"Item", "Item", "ItemSel", "Item"}
            << QStringList{"Item:1:1", "Item:1:2", "ItemSel:1:3", "Item:1:4"};
        // No neighbouring pair is named on both sides, yet the named state survives.
        QTest::newRow("only the selected state named")
            << QStringList{"", "", "ItemSel", ""} << QStringList{"ItemSel:1:3"};
    }

    // Written entries read back to the same look in every named state.
    void styleWriterCompaction()
    {
        QFETCH(QStringList, fills);
        QFETCH(QStringList, written);
        VYRQTabWidget tabs;
        for (int st = 0; st < 4; ++st)
            tabs.setItemBackground(CtrlState(st), fills[st].isEmpty() ? FillStyle() : fill(fills[st]));
        Json::Value out = ctl::write(tabs);
        QCOMPARE(entries(out["style"]), written);

        VYRQTabWidget copy;
        QVERIFY(copy.readJsonValue(&out));
        for (int st = 0; st < 4; ++st)
            if (!fills[st].isEmpty())
                QVERIFY(vyr::fillAlike(copy.getItemBackground(CtrlState(st)), fill(fills[st])));
    }

    void registration()
    {
        for (const char* key : {"qttab", "tab"})
            QVERIFY(qobject_cast<VYRQTabWidget*>(QScopedPointer<QWidget>(createControlByType(key, nullptr)).data()));
        VYRQTabWidget tabs;
        vyrGetControlInfo(QStringLiteral("qttab"))->rows.at(7).setFill(&tabs, CommonDisable, fill("Strip"));
        QCOMPARE(tabs.getBackground().name, QStringLiteral("Strip"));   // the one background
    }
};

QTEST_MAIN(tst_TabWidget)
#include "tst_tabwidget.moc"
