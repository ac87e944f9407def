#include "controls_testutil.h"

#include "VYRQScrollBar.h"

#include <QStyleOptionSlider>

using namespace ctl;
using namespace sty;

namespace {
const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), yellow(255, 255, 0), grey(128, 128, 128);

enum PartId { Thumb, Up, Down };

// A scroll bar whose parts are placed by the application style, counting its paints.
class ProbeBar : public VYRQScrollBar {
public:
    using VYRQScrollBar::VYRQScrollBar;
    QRect part(PartId id) const
    {
        static const QStyle::SubControl controls[] = {QStyle::SC_ScrollBarSlider, QStyle::SC_ScrollBarSubLine,
                                                      QStyle::SC_ScrollBarAddLine};
        QStyleOptionSlider option;
        initStyleOption(&option);
        return style()->subControlRect(QStyle::CC_ScrollBar, &option, controls[id], this);
    }
    CtrlState state(PartId id) const
    {
        return id == Thumb ? getThumbState() : id == Up ? getUpState() : getDownState();
    }
    int paints = 0;
    QRegion lastPaint;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        lastPaint = event->region();
        VYRQScrollBar::paintEvent(event);
    }
};

// A shown vertical bar 16 x 200, range 0 to 100, page 20, value 50. It starts hidden:
// its owner shows it.
struct Fixture {
    QWidget window;
    ProbeBar* bar = new ProbeBar(Qt::Vertical, &window);
    bool startedHidden = false;
    bool exposed = false;
    Fixture()
    {
        window.resize(300, 300);
        bar->setGeometry(0, 0, 16, 200);
        bar->setRange(0, 100);
        bar->setPageStep(20);
        bar->setValue(50);
        window.show();
        startedHidden = bar->isHidden();
        bar->show();
        // Immediate repaints need an exposed window; settle pending updates first.
        exposed = QTest::qWaitForWindowExposed(&window);
        QCoreApplication::processEvents();
    }
};

QStringList thumbNames(const VYRQScrollBar& bar)
{
    QStringList out;
    for (int s = 0; s < CtrlStateCount; ++s)
        out << bar.getScrollbarThumb(CtrlState(s)).name;
    return out;
}
} // namespace

class tst_ScrollBar : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        addFills({{"A", red}, {"B", green}, {"C", blue}, {"SameAsB", green}});
    }

    void partStatesFromMouse_data()
    {
        QTest::addColumn<int>("part");
        QTest::newRow("thumb") << int(Thumb);
        QTest::newRow("up button") << int(Up);
        QTest::newRow("down button") << int(Down);
    }

    // Hover and press per part; only the part under the pointer changes, and it is
    // repainted at once, alone.
    void partStatesFromMouse()
    {
        QFETCH(int, part);
        const PartId id = PartId(part);
        Fixture f;
        QVERIFY(f.exposed);
        ProbeBar& bar = *f.bar;
        const QPoint on = bar.part(id).center();
        const QPoint sideways(100, on.y()); // off the bar, level with the part
        bar.paints = 0;
        mouse(bar, QEvent::MouseMove, on, Qt::NoButton);
        QCOMPARE(bar.state(id), Hot);
        QCOMPARE(bar.paints, 1);
        QCOMPARE(bar.lastPaint.boundingRect(), bar.part(id));
        mouse(bar, QEvent::MouseMove, on + QPoint(1, 0), Qt::NoButton);
        QCOMPARE(bar.paints, 1);
        bar.paints = 0;
        mouse(bar, QEvent::MouseButtonPress, on);
        QCOMPARE(bar.state(id), Pressed);
        for (PartId other : {Thumb, Up, Down})
            QCOMPARE(bar.state(other), other == id ? Pressed : Normal);
        QVERIFY(bar.paints >= 1);
        // Qt's own handling still runs: the buttons step the value.
        QCOMPARE(bar.value(), id == Up ? 49 : id == Down ? 51 : 50);
        QCOMPARE(bar.isSliderDown(), id == Thumb);
        // A dragged thumb stays Pressed off its rectangle, and on leave; a button does not.
        mouse(bar, QEvent::MouseMove, sideways);
        QCOMPARE(bar.state(id), id == Thumb ? Pressed : Normal);
        hover(bar, false);
        QCOMPARE(bar.state(id), id == Thumb ? Pressed : Normal);
        mouse(bar, QEvent::MouseButtonRelease, sideways);
        QCOMPARE(bar.state(id), Normal);
        // Any button presses; a release on the part leaves it Hot.
        mouse(bar, QEvent::MouseButtonPress, bar.part(id).center(), Qt::RightButton);
        QCOMPARE(bar.state(id), Pressed);
        mouse(bar, QEvent::MouseButtonRelease, bar.part(id).center(), Qt::RightButton);
        QCOMPARE(bar.state(id), Hot);
        // A leave sets every part Normal with one whole repaint.
        bar.paints = 0;
        hover(bar, false);
        QCOMPARE(bar.state(id), Normal);
        QCOMPARE(bar.paints, 1);
        QCOMPARE(bar.lastPaint.boundingRect(), bar.rect());
    }

    void paintsBackgroundAndParts()
    {
        Fixture f;
        QVERIFY(f.startedHidden);
        QVERIFY(f.exposed);
        ProbeBar& bar = *f.bar;
        bar.setScrollbarBackground(CommonNormal, solid("A", red));
        bar.setScrollbarUpButton(AllStates, solid("B", green));
        bar.setScrollbarDownButton(AllStates, solid("C", blue));
        bar.setScrollbarThumb(AllStates, solid("T", yellow));
        bar.setScrollbarThumb(Hot, solid("TH", grey));
        bar.setScrollbarThumb(Disable, solid("TD", Qt::black));
        const QPoint page(8, (bar.part(Thumb).bottom() + bar.part(Down).top()) / 2);
        const QPoint thumb = bar.part(Thumb).center();
        auto at = [&](const QPoint& p) { return render(bar).pixelColor(p); };
        QCOMPARE(at(page), red);
        QCOMPARE(at(bar.part(Up).center()), green);
        QCOMPARE(at(bar.part(Down).center()), blue);
        QCOMPARE(at(thumb), yellow);
        mouse(bar, QEvent::MouseMove, thumb, Qt::NoButton);
        QCOMPARE(at(thumb), grey);
        // The Disable entries are stored but never drawn.
        hover(bar, false);
        bar.setEnabled(false);
        QCOMPARE(at(thumb), yellow);
    }

    // Slot 0 background, 2..5 up button, 6..9 down button, 10..13 thumb, each first
    // slot fanning out to all four states; written back in that order. Setters ignore
    // states beyond the four, getters read them as Normal.
    void slotsAndStates()
    {
        VYRQScrollBar bar;
        QVERIFY(load(bar, R"({"style": [["A", 1, 0], ["C", 1, 1], ["B", 1, 2], ["C", 1, 4], ["C", 1, 6],
                                        ["A", 1, 9], ["B", 1, 11], ["A", 1, 10], ["Nope", 1, 12],
                                        ["C", 1, 14], ["C", 1, -1]]})"));
        bar.setScrollbarThumb(CtrlState(5), solid("C", blue));
        bar.setScrollbarThumb(CtrlState(7), solid("C", blue));
        QCOMPARE(bar.getScrollbarThumb(CtrlState(6)).name, QStringLiteral("A"));
        QCOMPARE(bar.getScrollbarBackground(CommonNormal).fill.color, red);
        QCOMPARE(bar.getScrollbarUpButton(Pressed).name, QStringLiteral("C"));
        QCOMPARE(bar.getScrollbarUpButton(Disable).name, QStringLiteral("B"));
        QCOMPARE(bar.getScrollbarDownButton(Disable).name, QStringLiteral("A"));
        QCOMPARE(thumbNames(bar), (QStringList{"A", "A", "A", "A"}));
        QCOMPARE(entries(write(bar)["style"]), (QStringList{"A:1:0", "B:1:2", "B:1:3", "C:1:4", "B:1:5", "C:1:6",
                                                            "C:1:7", "C:1:8", "A:1:9", "A:1:10"}));
    }

    void writerCompaction_data()
    {
        QTest::addColumn<QStringList>("states"); // up button: Normal, Hot, Pressed, Disable
        QTest::addColumn<QStringList>("written");
        QTest::newRow("one style everywhere") << QStringList{"A", "A", "A", "A"} << QStringList{"A:1:2"};
        QTest::newRow("hot differs") << QStringList{"A", "C", "A", "A"}
                                     << QStringList{"A:1:2", "C:1:3", "A:1:4", "A:1:5"};
        QTest::newRow("names differ, look alike") << QStringList{"B", "SameAsB", "B", "SameAsB"}
                                                  << QStringList{"B:1:2"};
        QTest::newRow("unnamed neighbours keep named states") << QStringList{"A", "", "C", ""}
                                                              << QStringList{"A:1:2", "C:1:4"};
        QTest::newRow("nothing named") << QStringList{"", "", "", ""} << QStringList{};
    }

    // The writer keeps every named state a reader would otherwise lose to the Normal
    // fan-out, and what it writes reads back to the same looks.
    void writerCompaction()
    {
        QFETCH(QStringList, states);
        QFETCH(QStringList, written);
        const QMap<QString, QColor> colours{{"A", red}, {"B", green}, {"C", blue}, {"SameAsB", green}};
        VYRQScrollBar bar;
        for (int s = 0; s < CtrlStateCount; ++s)
            if (!states[s].isEmpty())
                bar.setScrollbarUpButton(CtrlState(s), solid(states[s], colours[states[s]]));
        Json::Value out = write(bar);
        // A written element holds "style" only when it has an entry.
        QCOMPARE(out.isMember("style"), !written.isEmpty());
        QCOMPARE(entries(out["style"]), written);
        VYRQScrollBar back;
        QVERIFY(back.readJsonValue(&out));
        for (int s = 0; s < CtrlStateCount; ++s)
            if (!states[s].isEmpty())
                QCOMPARE(back.getScrollbarUpButton(CtrlState(s)).fill.color, colours[states[s]]);
    }

    // A present "attr" clears the icons it leaves out; "hor" turns the bar.
    void attrRoundTrip()
    {
        VYRQScrollBar bar;
        QVERIFY(write(bar)["attr"].isNull());
        bar.setScrollbarBtnIcon(false, QStringLiteral("down.png"));
        Json::Value element = parse(R"({"attr": {"thumbicon": "t.png", "upicon": "上.png", "hor": 1}})");
        QVERIFY(bar.readJsonValue(&element));
        QVERIFY(bar.getScrollbarBtnIcon(false).isEmpty());
        QCOMPARE(bar.orientation(), Qt::Horizontal);
        Json::Value out = write(bar);
        QCOMPARE(out["attr"], element["attr"]);
        VYRQScrollBar back;
        QVERIFY(back.readJsonValue(&out));
        QCOMPARE(write(back)["attr"], element["attr"]);
        QVERIFY(load(back, R"({"style": []})"));
        QCOMPARE(back.getScrollbarThumbIcon(), QStringLiteral("t.png"));
    }

    // "hor" in a page element turns the bar; in the theme element it is ignored.
    void themeCannotChangeOrientation()
    {
        QTemporaryDir dir;
        QVERIFY(loadTheme(dir, R"({"style": [{"type": 1, "name": "ThemeThumb", "clr": "FF00FF00"}]})",
                          R"({"elements": [{"child": [{"name": "qtscrollbar", "style": [["ThemeThumb", 1, 10]],
                                                       "attr": {"hor": true, "thumbicon": "t.png"}}]}]})"));
        VYRQScrollBar bar;
        QCOMPARE(bar.orientation(), Qt::Vertical);
        QCOMPARE(bar.getScrollbarThumbIcon(), QStringLiteral("t.png"));
        QCOMPARE(bar.getScrollbarThumb(Pressed).name, QStringLiteral("ThemeThumb"));
        QWidget window;
        VYRQResourceManager::getInstance()->registerWindow(&window);
        auto* live = new VYRQScrollBar(Qt::Horizontal, &window);
        QVERIFY(vyrNotifyThemeChange());
        QCOMPARE(live->orientation(), Qt::Horizontal);
        VYRQResourceManager::getInstance()->unregisterWindow(&window);
        dropTheme();
    }
};

VYR_TEST_SUITE(tst_ScrollBar, 2)
#include "tst_scrollbar.moc"
