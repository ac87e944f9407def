#include "../controls/controls_testutil.h"
#include "VYRQGlobal.h"
#include "VYRQResourceManager.h"
#include "VYRQStateStyles.h"
#include "VYRQTabWidget.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

FillStyle fill(const QString& name)
{
    FillStyle style;
    vyrGetFillStyle(name, style);
    return style;
}

// A strip 300 long and 40 across of six tabs, 50 long with 10 between them: tab 4
// starts at 240 and tab 5 at 300, beyond the control.
struct Strip {
    VYRQTabWidget tabs;
    explicit Strip(int count = 6, bool horizontal = true)
    {
        tabs.setIsHor(horizontal);
        tabs.resize(horizontal ? QSize(300, 40) : QSize(40, 300));
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
        sty::addFills({{"Item", Qt::red}, {"ItemSel", Qt::blue}, {"ItemSame", Qt::red}});
        sty::addTexts({"TabText", "TabTextSel"});
    }

    void pressHitTest_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QPoint>("pos");   // along, across
        QTest::addColumn<int>("hit");
        for (bool horizontal : {true, false}) {
            const QByteArray axis = horizontal ? "h " : "v ";
            QTest::newRow(axis + "first tab, corner") << horizontal << QPoint(0, 0) << 0;
            QTest::newRow(axis + "first tab, far edge") << horizontal << QPoint(49, 39) << 0;
            QTest::newRow(axis + "gap after the first") << horizontal << QPoint(50, 20) << -1;
            QTest::newRow(axis + "inside the gap") << horizontal << QPoint(55, 20) << -1;
            QTest::newRow(axis + "second tab") << horizontal << QPoint(65, 20) << 1;
            QTest::newRow(axis + "fifth tab") << horizontal << QPoint(289, 20) << 4;
            QTest::newRow(axis + "gap before the sixth") << horizontal << QPoint(295, 20) << -1;
        }
    }

    // A press selects the hit tab; the gaps hit nothing; the interaction state stays.
    void pressHitTest()
    {
        QFETCH(bool, horizontal);
        QFETCH(QPoint, pos);
        QFETCH(int, hit);
        Strip s(6, horizontal);
        s.tabs.setSelectedIndex(3);
        if (!horizontal)
            pos = pos.transposed();
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
        // "style" is written only when it has an entry, never as null.
        QCOMPARE(out.isMember("style"), !written.isEmpty());
        QCOMPARE(sty::entries(out["style"]), written);

        VYRQTabWidget copy;
        QVERIFY(copy.readJsonValue(&out));
        for (int st = 0; st < 4; ++st)
            if (!fills[st].isEmpty())
                QVERIFY(vyr::fillAlike(copy.getItemBackground(CtrlState(st)), fill(fills[st])));
    }

    // Item text styles are told apart by name alone: a state named apart from its
    // neighbours spells every named state out, though all of them look alike.
    void itemTextStylesByName()
    {
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        TextStyleDesc normal, selected;
        QVERIFY(rm->getTextStyle("TabText", normal) && rm->getTextStyle("TabTextSel", selected));
        VYRQTabWidget tabs;
        tabs.setItemTextStyle(AllStates, normal);
        tabs.setItemTextStyle(Pressed, selected);
        Json::Value out = ctl::write(tabs);
        QCOMPARE(sty::entries(out["style"]),
                 (QStringList{"TabText:2:5", "TabText:2:6", "TabTextSel:2:7", "TabText:2:8"}));
        VYRQTabWidget copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(copy.getItemTextStyle(Hot).name, QStringLiteral("TabText"));
        QCOMPARE(copy.getItemTextStyle(Pressed).name, QStringLiteral("TabTextSel"));
    }
};

QTEST_MAIN(tst_TabWidget)
#include "tst_tabwidget.moc"
