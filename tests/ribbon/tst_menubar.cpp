#include "../controls/controls_testutil.h"
#include "testaccess.h"

#include "VYRQMenuBar.h"
#include "VYRQMenuBarImpl.h"

#include <QAction>
#include <QMenu>

using namespace ctl;
using sty::names;

namespace {

const QColor barFill(240, 240, 240), itemFill(0, 0, 200), hotFill(200, 0, 0);

// "background / item fills / item texts / popup background / popup fills / popup texts".
QString looks(VYRQMenuBar& bar)
{
    VYRQMenuBarImpl* d = vyrtest::impl(bar);
    return QStringList{d->background.name, names(d->itemBackgrounds).join(','), names(d->itemTextStyles).join(','),
                       d->popupBackground.name, names(d->popupItemBackgrounds).join(','),
                       names(d->popupItemTextStyles).join(',')}
        .join(" / ");
}

TextStyleDesc sized(const QString& name, int size)
{
    TextStyleDesc style = sty::text(name, Qt::black);
    style.size = size;
    return style;
}

} // namespace

class tst_MenuBar : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFills({{"Bar", barFill}, {"A", itemFill}, {"B", hotFill}, {"C", Qt::green}});
        sty::addTexts({"Ta", "Tb"});
        TextStyleDesc big = sized("T12", 12);
        VYRQResourceManager::getInstance()->setTextStyle("T12", big);
    }

    void readStyle_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("expected");
        QTest::newRow("background and item fan-out")
            << QByteArray(R"([["Bar", 1, 0], ["A", 1, 1], ["B", 1, 2]])") << "Bar / A,B,A,A / ,,, /  / ,,, / ,,,";
        QTest::newRow("slot 9 feeds both popup groups, 10 overrides hot")
            << QByteArray(R"([["A", 1, 9], ["B", 1, 10]])") << " / ,,, / ,,, / A / A,B,A,A / ,,,";
        QTest::newRow("texts") << QByteArray(R"([["Ta", 2, 5], ["Tb", 2, 8], ["Tb", 2, 13], ["Ta", 2, 16]])")
                               << " / ,,, / Ta,Ta,Ta,Tb /  / ,,, / Tb,Tb,Tb,Ta";
        QTest::newRow("unknown names and slots") << QByteArray(R"([["Nope", 1, 0], ["A", 1, 17], ["A", 1, -1]])")
                                                 << " / ,,, / ,,, /  / ,,, / ,,,";
    }

    void readStyle()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        VYRQMenuBar bar;
        QVERIFY(sty::load(bar, "{\"style\": " + json + "}"));
        QCOMPARE(looks(bar), expected);
    }

    // Slot 5 sets the bar's font to the Normal text size plus one; slots 6 to 8 do not.
    void normalTextSetsFontSize()
    {
        VYRQMenuBar bar;
        const QFont before = bar.font();
        QVERIFY(sty::load(bar, R"({"style": [["T12", 2, 6], ["T12", 2, 8]]})"));
        QCOMPARE(bar.font(), before);
        QVERIFY(sty::load(bar, R"({"style": [["T12", 2, 5]]})"));
        QCOMPARE(bar.font().pixelSize(), 13);
    }

    // Groups whose states look alike write one entry at their first slot; a state that
    // differs writes every named state. Groups come in slot order.
    void writeStyle_data()
    {
        QTest::addColumn<QString>("items");   // fill names of the four item states
        QTest::addColumn<QStringList>("written");
        QTest::newRow("all alike") << "A,A,A,A"
                                   << QStringList{"Bar:1:0", "A:1:1", "Ta:2:5", "C:1:9", "C:1:9", "Tb:2:13"};
        QTest::newRow("hot differs") << "A,B,A,A"
                                     << QStringList{"Bar:1:0", "A:1:1", "B:1:2", "A:1:3", "A:1:4", "Ta:2:5",
                                                    "C:1:9", "C:1:9", "Tb:2:13"};
    }

    void writeStyle()
    {
        QFETCH(QString, items);
        QFETCH(QStringList, written);
        VYRQMenuBar bar;
        const QStringList fills = items.split(',');
        bar.setBackground(CommonNormal, sty::solid("Bar", barFill));
        for (int s = 0; s < 4; ++s)
            bar.setItemBackground(CtrlState(s), sty::solid(fills[s], fills[s] == "A" ? itemFill : hotFill));
        bar.setTextStyle(AllStates, sty::text("Ta", Qt::black));
        bar.setPopupBackground(CommonDisable, sty::solid("C", Qt::green));
        for (int s = 0; s < 4; ++s) {
            bar.setPopupItemBackground(CtrlState(s), sty::solid("C", Qt::green));
            bar.setPopupTextStyle(CtrlState(s), sty::text("Tb", Qt::black));
        }
        const Json::Value value = write(bar);
        QCOMPARE(sty::entries(value["style"]), written);

        VYRQMenuBar back;
        Json::Value copy = value;
        QVERIFY(back.readJsonValue(&copy));
        QCOMPARE(looks(back), looks(bar));
    }

    // Item setters take 4 for all states; popup item setters only 0 to 3; getters of the
    // single styles ignore the state.
    void setterStates()
    {
        VYRQMenuBar bar;
        bar.setItemBackground(AllStates, sty::solid("A", itemFill));
        bar.setTextStyle(AllStates, sty::text("Ta", Qt::black));
        bar.setPopupItemBackground(AllStates, sty::solid("A", itemFill));
        bar.setPopupTextStyle(CtrlState(-2), sty::text("Ta", Qt::black));
        bar.setPopupItemBackground(Pressed, sty::solid("B", hotFill));
        QCOMPARE(looks(bar), QStringLiteral(" / A,A,A,A / Ta,Ta,Ta,Ta /  / ,,B, / ,,,"));
        QCOMPARE(bar.getPopupItemBackground(CtrlState(9)).name, QString());
        bar.setPopupBackground(CommonNormal, sty::solid("C", Qt::green));
        QCOMPARE(bar.getPopupBackground(CommonDisable).name, QStringLiteral("C"));
        QCOMPARE(bar.getPopupBackground(CommonCtrlState(7)).name, QStringLiteral("C"));
        QVERIFY(bar.actionGeometry(nullptr).isNull());
    }

    // The item under the pointer paints Hot; off the items but still over the bar it
    // stays; leaving the bar clears it.
    void hoverTrackingAndPaint()
    {
        VYRQMenuBar bar;
        bar.setBackground(CommonNormal, sty::solid("Bar", barFill));
        bar.setItemBackground(AllStates, sty::solid("A", itemFill));
        bar.setItemBackground(Hot, sty::solid("B", hotFill));
        QMenu file("File"), edit("Edit");
        bar.addMenu(&file);
        bar.addMenu(&edit);
        bar.resize(400, 30);
        QVERIFY(shown(bar));
        const QRect second = bar.actionGeometry(bar.actions().at(1));
        QVERIFY(second.isValid());

        mouse(bar, QEvent::MouseMove, second.center(), Qt::NoButton);
        QCOMPARE(vyrtest::impl(bar)->hoveredIndex, 1);
        QImage image = render(bar);
        QCOMPARE(pixel(image, second.left() + 2, bar.height() - 2), hotFill);
        QCOMPARE(pixel(image, bar.actionGeometry(bar.actions().at(0)).left() + 2, 2), itemFill);
        QCOMPARE(pixel(image, 390, 15), barFill);

        mouse(bar, QEvent::MouseMove, QPoint(390, 15), Qt::NoButton);
        QCOMPARE(vyrtest::impl(bar)->hoveredIndex, 1);
        hover(bar, false);
        QCOMPARE(vyrtest::impl(bar)->hoveredIndex, -1);
    }

    // Pages build the bar by its key and its alias; the designer's style rows reach
    // the bar's per-state slots.
    void registeredByKeyAndAlias()
    {
        for (const char* key : {"qtmenubar", "menubar"}) {
            std::unique_ptr<QWidget> widget(createControlByType(key, nullptr));
            QVERIFY2(qobject_cast<VYRQMenuBar*>(widget.get()), key);
        }
        const ControlInfo* info = vyrGetControlInfo("qtmenubar");
        QVERIFY(info);
        QCOMPARE(info->rows[11].name, QStringLiteral("PopupItemBackground"));

        VYRQMenuBar bar;
        info->rows[11].setFill(&bar, Hot, sty::solid("B", hotFill));
        QCOMPARE(info->rows[11].getFill(&bar, Hot).name, QStringLiteral("B"));
    }

};

VYR_TEST_SUITE(tst_MenuBar, 2)
#include "tst_menubar.moc"
