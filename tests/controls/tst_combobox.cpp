#include "controls_testutil.h"
#include "testaccess.h"

#include "VYRQComboBox.h"
#include "VYRQComboBoxImpl_p.h"
#include "VYRQComboItemDelegate.h"
#include "VYRQComboList.h"
#include "VYRQGlobal_p.h"

#include <QItemDelegate>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>

using namespace ctl;
using namespace sty;

namespace {
const QColor red(255, 0, 0), green(0, 255, 0), blue(0, 0, 255), yellow(255, 255, 0);

QIcon solidIcon(const QColor& color)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(color);
    return QIcon(pixmap);
}

// Posts an event of its own to every widget as it gets a parent and counts those
// thrown away undelivered. A widget deleted before the event loop has run throws its
// posted events away, and Qt scans the whole posted-event queue to find them: a queue
// that grows with every widget built.
class DroppedEvents : public QObject {
public:
    DroppedEvents()
    {
        dropped = 0;
        qApp->installEventFilter(this);
    }
    ~DroppedEvents() override
    {
        QCoreApplication::sendPostedEvents();
        qApp->removeEventFilter(this);
    }
    static int count() { return dropped; }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType())
                QCoreApplication::postEvent(child, new Marker);
        } else if (event->type() == markerType()) {
            static_cast<Marker*>(event)->delivered = true;
        }
        return false;
    }

private:
    static QEvent::Type markerType()
    {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
    struct Marker : QEvent {
        Marker()
            : QEvent(markerType())
        {
        }
        ~Marker() override { dropped += !delivered; }
        bool delivered = false;
    };
    static int dropped;
};
int DroppedEvents::dropped = 0;

class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type)
        : type(type)
    {
    }
    const QEvent::Type type;
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == type;
        return false;
    }
};
} // namespace

class tst_ComboBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        addFills({{"CbBox", red}, {"CbBoxHot", yellow}, {"CbBtn", blue}, {"CbPopup", green}, {"CbRow", red},
                  {"CbRowSel", blue}});
        addTexts({"CbText", "CbTextHot", "CbRowText"});
    }

    void textPlacement_data()
    {
        QTest::addColumn<int>("hor");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("expected");
        QTest::newRow("near, small offset raised") << 0 << 3 << 10;
        QTest::newRow("near, large offset kept") << 0 << 15 << 15;
        QTest::newRow("centre keeps offset") << 1 << 3 << 3;
    }

    void textPlacement()
    {
        QFETCH(int, hor);
        QFETCH(int, x);
        QFETCH(int, expected);
        QCOMPARE(VYRQComboBoxImpl::placedTextStyle(text("T", Qt::black, hor, x)).x, expected);
    }

    // The face follows the interaction state, the 30 pixel button keeps its own look,
    // and the current item's icon sits centred in (5, 0, 20, 30).
    void facePaint()
    {
        VYRQComboBox combo;
        combo.setBackground(Normal, solid("CbBox", red));
        combo.setBackground(Hot, solid("CbBoxHot", yellow));
        combo.setBtnBackground(Normal, solid("CbBtn", blue));
        combo.setBtnBackground(Hot, solid("CbBtn", blue));
        combo.resize(200, 30);
        QImage image = render(combo);
        for (int x : {14, 100, 165, 185})
            QVERIFY(near(pixel(image, x, 15), x == 185 ? blue : red));
        hover(combo, true);
        image = render(combo);
        QVERIFY(near(pixel(image, 100, 15), yellow));
        QVERIFY(near(pixel(image, 185, 15), blue));
        hover(combo, false);
        combo.addItem(solidIcon(green), QStringLiteral("with icon"));
        image = render(combo);
        QVERIFY(near(pixel(image, 8, 8), green) && near(pixel(image, 21, 21), green));
        QVERIFY(near(pixel(image, 6, 15), red) && near(pixel(image, 24, 15), red));
    }

    // An editable combo box settles after a few paints, over a transparent line edit.
    void editableDoesNotRepaintForever()
    {
        VYRQComboBox combo;
        combo.setEditable(true);
        combo.addItem(QStringLiteral("one"));
        combo.resize(200, 30);
        QVERIFY(shown(combo));
        QCOMPARE(combo.lineEdit()->textMargins(), QMargins(10, 0, 10, 0));
        EventCounter counter(QEvent::Paint);
        combo.installEventFilter(&counter);
        combo.update();
        for (int i = 0; i < 30; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        QVERIFY2(counter.count >= 1 && counter.count <= 3, qPrintable(QString::number(counter.count)));
        QVERIFY(load(combo, R"({"style": []})"));
        QCOMPARE(combo.lineEdit()->styleSheet(), QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    }

    void rowStyleChoice_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("plain") << int(QStyle::State_Enabled) << red;
        QTest::newRow("selected") << int(QStyle::State_Selected) << blue;
        QTest::newRow("under the pointer") << int(QStyle::State_MouseOver) << green;
        QTest::newRow("pointer wins over selected") << int(QStyle::State_MouseOver | QStyle::State_Selected) << green;
    }

    void rowStyleChoice()
    {
        QFETCH(int, state);
        QFETCH(QColor, expected);
        VYRQComboBox combo;
        combo.addItem(QStringLiteral("row"));
        combo.setItemBackground(Normal, solid("CbRow", red));
        combo.setItemBackground(Hot, solid("CbRowHot", green));
        combo.setItemBackground(Pressed, solid("CbRowSel", blue));
        combo.setItemBackground(Disable, solid("CbBox", yellow));
        QStyleOptionViewItem option;
        option.rect = QRect(0, 0, 120, 25);
        option.state = QStyle::State(state);
        QImage image(120, 25, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        combo.popupList()->comboDelegate()->paint(&painter, option, combo.model()->index(0, 0));
        QVERIFY(near(pixel(image, 3, 3), expected));
        QVERIFY(near(pixel(image, 116, 22), expected));
    }

    // The popup list shows its own background below the rows; a row's icon column is
    // not filled, the icon sits centred in it; rows are 25 high whatever the text
    // size, unless set.
    void popupList()
    {
        VYRQComboBox combo;
        combo.setPopupBackground(Disable, solid("CbPopup", green));
        combo.addItem(solidIcon(blue), QStringLiteral("row"));
        combo.setItemBackground(Normal, solid("CbRow", red));
        VYRQComboList list(vyrtest::impl(combo));
        list.setModel(combo.model());
        list.resize(120, 100);
        QVERIFY(shown(list));
        const QImage image = renderAll(list);
        QVERIFY(near(pixel(image, 60, 12), red));
        QVERIFY(near(pixel(image, 60, 80), green));
        QVERIFY(near(pixel(image, 1, 1), green));
        QVERIFY(near(pixel(image, 10, 12), blue));
        TextStyleDesc big = text("Big", Qt::black);
        big.size = 60;
        combo.setItemTextStyle(Normal, big);
        QCOMPARE(list.sizeHintForRow(0), 25);
        combo.setItemHeight(40);
        QCOMPARE(list.sizeHintForRow(0), 40);
        // Once built, the list is the combo box's view.
        VYRQComboList* popup = combo.popupList();
        QCOMPARE(combo.view(), popup);
    }

    // Loading many combo boxes costs time in proportion to their number: building one
    // deletes no widget that still waits for its posted events, and the popup's dozen
    // widgets (each scroll area built scans the posted events too) wait for its first
    // use.
    void buildingDropsNoPostedEvent_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("in code, with items") << "code";
        QTest::newRow("page element") << "page";
    }

    void buildingDropsNoPostedEvent()
    {
        QFETCH(QString, way);
        const int count = 50;
        QWidget page;
        DroppedEvents dropped;
        for (int i = 0; i < count; ++i) {
            if (way == QLatin1String("page")) {
                QVERIFY(qobject_cast<VYRQComboBox*>(createElementFromJson(
                    parse(R"({"type": "combobox", "w": 120, "h": 24, "attr": {"text": "one"}})"), &page)));
            } else {
                auto* combo = new VYRQComboBox(&page);
                combo->addItems({QStringLiteral("one"), QStringLiteral("two")});
                combo->setCurrentIndex(1);
            }
        }
        QVERIFY2(DroppedEvents::count() == 0,
                 qPrintable(QStringLiteral("%1 posted events dropped").arg(DroppedEvents::count())));
        QCOMPARE(page.findChildren<QWidget*>().size(), count);
    }

    // view() is the themed list, with its delegate, before the popup first opens, and
    // what is set on it then is there when it opens. It is the one list on the model:
    // QComboBox builds none of its own on the way (editing, a style sheet, a font, a
    // typed letter, the wheel), except one a caller reached through QComboBox, which
    // stays as long as the combo box. A view the application set stays.
    void popupListOnFirstUse_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("nothing") << "";
        QTest::newRow("Qt's view asked for") << "qt view";
        QTest::newRow("editable") << "editable";
        QTest::newRow("made editable when shown") << "made editable";
        QTest::newRow("style sheet on the window") << "sheet";
        QTest::newRow("font of the window") << "font";
        QTest::newRow("wheel turned") << "wheel";
        QTest::newRow("letter typed") << "letter";
        QTest::newRow("model column set") << "column";
        QTest::newRow("row hidden on view()") << "hidden row";
        QTest::newRow("delegate set on view()") << "view delegate";
        QTest::newRow("delegate set on the combo box") << "combo delegate";
        QTest::newRow("event filter on view()") << "filter";
        QTest::newRow("application's view") << "own view";
    }

    void popupListOnFirstUse()
    {
        QFETCH(QString, before);
        QWidget window;
        auto* combo = new VYRQComboBox(&window);
        combo->addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
        combo->setItemHeight(31);
        combo->setGeometry(10, 10, 160, 30);
        if (before == QLatin1String("editable"))
            combo->setEditable(true);
        window.resize(200, 60);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        combo->setFocus();
        QListView* own = nullptr;
        QItemDelegate* delegate = nullptr;
        EventCounter shows(QEvent::Show);
        QPointer<QAbstractItemView> qtList;
        if (before == QLatin1String("qt view")) {
            qtList = static_cast<QComboBox*>(combo)->view();
            QVERIFY(qtList);
        } else if (before == QLatin1String("made editable")) {
            combo->setEditable(true);
        } else if (before == QLatin1String("sheet")) {
            window.setStyleSheet(QStringLiteral("QWidget { color: #102030; }"));
        } else if (before == QLatin1String("font")) {
            QFont font = window.font();
            font.setPointSize(font.pointSize() + 4);
            window.setFont(font);
        } else if (before == QLatin1String("wheel")) {
            const QPointF at(90, 25);
            QWheelEvent wheel(at, window.mapToGlobal(at.toPoint()), {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(window.windowHandle(), &wheel);
            QCOMPARE(combo->currentIndex(), 1);
        } else if (before == QLatin1String("letter")) {
            QTest::keyClick(window.windowHandle(), 't');
            QCOMPARE(combo->currentText(), QStringLiteral("two"));
        } else if (before == QLatin1String("column")) {
            QVERIFY(combo->model()->insertColumn(1));
            combo->setModelColumn(1);
        } else if (before == QLatin1String("hidden row")) {
            qobject_cast<QListView*>(combo->view())->setRowHidden(1, true);
        } else if (before == QLatin1String("view delegate")) {
            delegate = new QItemDelegate(combo);
            combo->view()->setItemDelegate(delegate);
        } else if (before == QLatin1String("combo delegate")) {
            delegate = new QItemDelegate(combo);
            combo->setItemDelegate(delegate);
        } else if (before == QLatin1String("filter")) {
            combo->view()->installEventFilter(&shows);
        } else if (before == QLatin1String("own view")) {
            own = new QListView;
            combo->setView(own);
        }
        QAbstractItemView* first = combo->view();
        if (!own) {
            auto* themed = qobject_cast<VYRQComboList*>(first);
            QVERIFY(themed);
            QCOMPARE(combo->itemDelegate(), delegate ? delegate : themed->comboDelegate());
            if (!delegate)
                QCOMPARE(themed->sizeHintForRow(0), 31);
        }
        // On the arrow, which an editable box's line edit leaves free.
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(160, 25));
        QTRY_VERIFY(combo->view()->isVisible());
        // A list dropped later would be gone before they are counted.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int onModel = 0;
        for (QAbstractItemView* view : combo->findChildren<QAbstractItemView*>())
            onModel += view->model() == combo->model();
        QCOMPARE(onModel, before == QLatin1String("qt view") ? 2 : 1);
        QCOMPARE(combo->view(), own ? own : first);
        QCOMPARE(static_cast<QComboBox*>(combo)->view(), combo->view());
        QCOMPARE(combo->popupList(), own ? nullptr : first);
        if (delegate)
            QCOMPARE(combo->itemDelegate(), delegate);
        QCOMPARE(qobject_cast<QListView*>(combo->view())->isRowHidden(1), before == QLatin1String("hidden row"));
        QCOMPARE(qobject_cast<QListView*>(combo->view())->modelColumn(), int(before == QLatin1String("column")));
        QCOMPARE(shows.count > 0, before == QLatin1String("filter"));
        QCOMPARE(bool(qtList), before == QLatin1String("qt view"));
        if (qtList)
            QCOMPARE(qtList->model(), combo->model());
        combo->hidePopup();
    }

    // The open popup shows the theme's looks only: its background's border where the
    // platform's style drew a frame, and no window colour at its corners, which are
    // cut to the background's rounded shape.
    void popupWindowLooks()
    {
        const QColor fill(31, 34, 38), border(54, 58, 67), paper(255, 0, 255);
        VYRQComboBox combo;
        FillStyle popup = solid("CbPopupDark", fill);
        popup.fill.round = 6;
        popup.fill.border = true;
        popup.fill.borderColor = border;
        popup.fill.borderSize = 1;
        combo.setPopupBackground(Normal, popup);
        FillStyle clearRow;
        clearRow.draw = false;
        for (CtrlState row : {Normal, Hot, Pressed})
            combo.setItemBackground(row, clearRow);
        combo.addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
        combo.resize(180, 30);
        QVERIFY(shown(combo));
        combo.showPopup();
        QWidget* window = combo.view()->window();
        QVERIFY(window != combo.window());
        QTRY_VERIFY(window->isVisible());

        const QImage image = render(*window, paper, QWidget::DrawWindowBackground | QWidget::DrawChildren);
        const int w = image.width();
        const int h = image.height();
        QVERIFY(w >= 40 && h >= 40);
        for (const QPoint& edge : {QPoint(w / 2, 0), QPoint(0, h / 2), QPoint(w - 1, h / 2), QPoint(w / 2, h - 1)})
            QVERIFY(near(pixel(image, edge.x(), edge.y()), border));
        for (const QPoint& corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
            QCOMPARE(pixel(image, corner.x(), corner.y()), paper);
        // Inside the rounded corners: between the fill and the border, nothing lighter.
        for (const QPoint& inside : {QPoint(2, 2), QPoint(w - 3, 2), QPoint(2, h - 3), QPoint(w - 3, h - 3)}) {
            const QColor c = pixel(image, inside.x(), inside.y());
            QVERIFY2(c.red() <= border.red() + 2 && c.green() <= border.green() + 2 && c.blue() <= border.blue() + 2
                         && c.red() >= fill.red() - 2 && c.blue() >= fill.blue() - 2,
                     qPrintable(c.name()));
        }
        combo.hidePopup();
    }

    // Slots 0..3 face, 4..7 button, 8..11 text, 12 popup, 13..16 rows, 17..20 row text.
    void styleSlots()
    {
        VYRQComboBox combo;
        QVERIFY(load(combo, R"({"style": [
            ["CbBox", 1, 0], ["CbBoxHot", 1, 1], ["CbBtn", 1, 4], ["CbText", 2, 8], ["CbTextHot", 2, 9],
            ["CbPopup", 1, 12], ["CbRow", 1, 13], ["CbRowSel", 1, 15], ["CbRowText", 2, 17],
            ["CbBox", 1, 21], ["CbBox", 1, -1], ["Missing", 1, 4]]})"));
        QCOMPARE(names(vyrtest::impl(combo)->background), (QStringList{"CbBox", "CbBoxHot", "CbBox", "CbBox"}));
        QCOMPARE(names(vyrtest::impl(combo)->btnBackground), (QStringList{"CbBtn", "CbBtn", "CbBtn", "CbBtn"}));
        QCOMPARE(names(vyrtest::impl(combo)->textStyle), (QStringList{"CbText", "CbTextHot", "CbText", "CbText"}));
        QCOMPARE(combo.getPopupBackground(Normal).name, QStringLiteral("CbPopup"));
        QCOMPARE(names(vyrtest::impl(combo)->itemBackground), (QStringList{"CbRow", "CbRow", "CbRowSel", "CbRow"}));
        QCOMPARE(names(vyrtest::impl(combo)->itemTextStyle), (QStringList{"CbRowText", "CbRowText", "CbRowText", "CbRowText"}));
    }

    // Per-state setters and getters given a state outside 0..3 (4 included: there is
    // no all-states value) address slot 0 and leave the other slots alone.
    void outOfRangeStatesAddressSlotZero_data()
    {
        QTest::addColumn<int>("state");
        QTest::newRow("-1") << -1;
        QTest::newRow("4") << 4;
        QTest::newRow("9") << 9;
    }

    void outOfRangeStatesAddressSlotZero()
    {
        QFETCH(int, state);
        const CtrlState s = CtrlState(state);
        VYRQComboBox combo;
        auto dress = [&combo](CtrlState state, const char* fill, const char* textStyle, const char* icon) {
            combo.setBackground(state, solid(fill, red));
            combo.setBtnBackground(state, solid(fill, red));
            combo.setItemBackground(state, solid(fill, red));
            combo.setTextStyle(state, sty::text(textStyle, red));
            combo.setItemTextStyle(state, sty::text(textStyle, red));
            combo.setBtnIcon(state, QString::fromLatin1(icon));
        };
        for (int i = 0; i < CtrlStateCount; ++i)
            dress(CtrlState(i), "CbBox", "CbText", "n.svg");
        dress(s, "CbBtn", "CbTextHot", "x.svg");
        const QStringList fills{"CbBtn", "CbBox", "CbBox", "CbBox"};
        const QStringList texts{"CbTextHot", "CbText", "CbText", "CbText"};
        QCOMPARE(names(vyrtest::impl(combo)->background), fills);
        QCOMPARE(names(vyrtest::impl(combo)->btnBackground), fills);
        QCOMPARE(names(vyrtest::impl(combo)->itemBackground), fills);
        QCOMPARE(names(vyrtest::impl(combo)->textStyle), texts);
        QCOMPARE(names(vyrtest::impl(combo)->itemTextStyle), texts);
        QCOMPARE(combo.getBtnIcon(Normal), QStringLiteral("x.svg"));
        QCOMPARE(combo.getBtnIcon(Hot), QStringLiteral("n.svg"));
        QCOMPARE(combo.getBackground(s).name, QStringLiteral("CbBtn"));
        QCOMPARE(combo.getTextStyle(s).name, QStringLiteral("CbTextHot"));
        QCOMPARE(combo.getBtnIcon(s), QStringLiteral("x.svg"));
    }

    // Equal groups are written once; only the current text is stored, as one item; a
    // hot button icon equal to the normal one is left out; the row height is not stored.
    void jsonRoundTrip()
    {
        VYRQComboBox combo;
        QVERIFY(write(combo)["style"].isNull());
        for (int s = 0; s < CtrlStateCount; ++s) {
            combo.setBackground(CtrlState(s), solid("CbBox", red));
            combo.setItemBackground(CtrlState(s), solid("CbRow", red));
        }
        combo.setTextStyle(Normal, text("CbText", Qt::black));
        combo.setPopupBackground(Normal, solid("CbPopup", green));
        combo.setItemBackground(Pressed, solid("CbRowSel", blue));
        combo.setNormalBtnIcon(QStringLiteral("arrow.svg"));
        combo.setHotBtnIcon(QStringLiteral("arrow-hot.svg"));
        combo.addItem(QStringLiteral("first"));
        combo.addItem(QStringLiteral("chosen"));
        combo.setCurrentIndex(1);
        combo.setItemHeight(33);
        Json::Value out = write(combo);
        QCOMPARE(entries(out["style"]), (QStringList{"CbBox:1:0", "CbText:2:8", "CbPopup:1:12",
                                                     "CbRow:1:13", "CbRow:1:14", "CbRowSel:1:15", "CbRow:1:16"}));
        QCOMPARE(out["attr"], parse(R"({"text": "chosen", "btnIcon": "arrow.svg", "btnHotIcon": "arrow-hot.svg"})"));
        VYRQComboBox copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(copy.count(), 1);
        QCOMPARE(copy.getBtnIcon(Pressed), QStringLiteral("arrow.svg"));
        QCOMPARE(copy.getItemHeight(), 25);
        QCOMPARE(write(copy), out);
        QVERIFY(copy.readJsonValue(&out)); // every read of "text" appends an item and makes it current
        QCOMPARE(copy.count(), 2);
        QCOMPARE(copy.currentIndex(), 1);
        copy.setHotBtnIcon(QStringLiteral("arrow.svg"));
        QVERIFY(!write(copy)["attr"].isMember("btnHotIcon"));
    }

    // Only in emulator mode does a loaded combo box show demonstration items.
    void emulatorDemoItems()
    {
        VYRQComboBox plain;
        plain.initDemoData();
        QCOMPARE(plain.count(), 0);
        vyr::setQtEmulator(true);
        QWidget page;
        auto* combo = qobject_cast<VYRQComboBox*>(createElementFromJson(parse(R"({"type": "combobox"})"), &page));
        vyr::setQtEmulator(false);
        QVERIFY(combo);
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->currentText(), QStringLiteral("Item1"));
        QCOMPARE(combo->itemText(2), QStringLiteral("Item3"));
    }
};

VYR_TEST_SUITE(tst_ComboBox, 4)
#include "tst_combobox.moc"
