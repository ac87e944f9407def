#include "../controls/controls_testutil.h"

#include "VYRQRibbonButton.h"
#include "VYRQRibbonMenu.h"

#include <QAction>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace ctl;

namespace {

using Size = VYR_RIBBON_ITEM_SIZE;
using Mode = VYR_RIBBON_POPUP_MODE;

// A button of that size and mode with a menu (unless told otherwise), 100 x 60.
struct Rig {
    QWidget host;
    VYRQRibbonButton* button;
    QAction action{"Run", &host};
    QPointer<VYRQRibbonMenu> menu;

    Rig(Size size, Mode mode, bool withMenu = true)
        : button(new VYRQRibbonButton(&host, size))
    {
        action.setObjectName("cmd.run");
        button->setRibbonAction(&action);
        if (withMenu) {
            menu = new VYRQRibbonMenu;
            menu->addCommand("cmd.sub", "Sub", "", false);
            button->setPopupMenu(menu);
        }
        button->setPopupMode(mode);
        button->setGeometry(0, 0, 100, 60);
    }
    ~Rig()
    {
        if (menu)
            menu->hide();
    }
    void press(const QPoint& at)
    {
        mouse(*button, QEvent::MouseButtonPress, at);
        mouse(*button, QEvent::MouseButtonRelease, at);
    }
};

} // namespace

class tst_RibbonButton : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    void sizeHint_data()
    {
        QTest::addColumn<Size>("size");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("extra");    // added to the text advance
        QTest::addColumn<QSize>("least");  // the hint of an empty or short text
        const QString longText = QStringLiteral("A considerably long command text");
        QTest::newRow("large empty") << Size::large << QString() << 20 << QSize(64, 68);
        QTest::newRow("large long") << Size::large << longText << 20 << QSize(64, 68);
        QTest::newRow("medium long") << Size::medium << longText << 34 << QSize(74, 30);
        QTest::newRow("small empty") << Size::small << QString() << 30 << QSize(54, 24);
        QTest::newRow("small long") << Size::small << longText << 30 << QSize(54, 24);
    }

    void sizeHint()
    {
        QFETCH(Size, size);
        QFETCH(QString, text);
        QFETCH(int, extra);
        QFETCH(QSize, least);
        VYRQRibbonButton button(nullptr, size);
        button.setText(text);
        const int advance = button.fontMetrics().horizontalAdvance(text);
        QCOMPARE(button.sizeHint(), QSize(qMax(advance + extra, least.width()), least.height()));
        if (!text.isEmpty())
            QVERIFY(button.sizeHint().width() > least.width());
    }

    void popupIndicatorRect_data()
    {
        QTest::addColumn<Size>("size");
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<bool>("withMenu");
        QTest::addColumn<QSize>("buttonSize");
        QTest::addColumn<QRect>("strip");
        QTest::newRow("large split") << Size::large << Mode::split << true << QSize(80, 68) << QRect(0, 48, 80, 20);
        QTest::newRow("large short") << Size::large << Mode::instant << true << QSize(80, 12) << QRect(0, 0, 80, 12);
        QTest::newRow("medium") << Size::medium << Mode::split << true << QSize(90, 30) << QRect(73, 0, 17, 30);
        QTest::newRow("small narrow") << Size::small << Mode::instant << true << QSize(10, 24) << QRect(0, 0, 10, 24);
        QTest::newRow("mode none") << Size::small << Mode::none << true << QSize(90, 24) << QRect();
        QTest::newRow("no menu") << Size::large << Mode::split << false << QSize(80, 68) << QRect();
    }

    void popupIndicatorRect()
    {
        QFETCH(Size, size);
        QFETCH(Mode, mode);
        QFETCH(bool, withMenu);
        QFETCH(QSize, buttonSize);
        QFETCH(QRect, strip);
        Rig rig(size, mode, withMenu);
        rig.button->resize(buttonSize);
        QCOMPARE(rig.button->popupIndicatorRect(), strip);
    }

    // Instant: every press opens the menu and its release is swallowed, so no command
    // runs. Split: only a press on the strip opens it; elsewhere the button clicks and
    // the command runs. None: a click runs the command.
    void pressOpensOrClicks_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("opened");
        QTest::addColumn<int>("triggered");
        QTest::newRow("instant") << Mode::instant << QPoint(10, 10) << 1 << 0;
        QTest::newRow("split on the strip") << Mode::split << QPoint(50, 50) << 1 << 0;
        QTest::newRow("split elsewhere") << Mode::split << QPoint(10, 10) << 0 << 1;
        QTest::newRow("none") << Mode::none << QPoint(50, 50) << 0 << 1;
    }

    void pressOpensOrClicks()
    {
        QFETCH(Mode, mode);
        QFETCH(QPoint, at);
        QFETCH(int, opened);
        QFETCH(int, triggered);
        Rig rig(Size::large, mode);
        QSignalSpy shows(rig.button, &VYRQRibbonButton::menuAboutToShow);
        QSignalSpy clicks(rig.button, &QAbstractButton::clicked);
        QSignalSpy runs(&rig.action, &QAction::triggered);
        rig.press(at);
        QCOMPARE(shows.count(), opened);
        QCOMPARE(rig.menu->isVisible(), opened == 1);
        QCOMPARE(clicks.count(), opened ? 0 : 1);
        QCOMPARE(runs.count(), triggered);
        if (opened) {
            QCOMPARE(rig.menu->pos(), rig.button->mapToGlobal(QPoint(0, rig.button->height())));
            rig.menu->hide();
            // The next plain release after a swallowed one clicks again.
            mouse(*rig.button, QEvent::MouseButtonRelease, at);
            QCOMPARE(clicks.count(), 0);
        }
    }

    // The button mirrors its action; a checked state copied from the action does not
    // emit toggled; an action without icon path or icon leaves the shown icon.
    void followsAction()
    {
        Rig rig(Size::medium, Mode::none, false);
        QSignalSpy toggles(rig.button, &QAbstractButton::toggled);
        rig.action.setCheckable(true);
        rig.action.setChecked(true);
        rig.action.setText("Renamed");
        rig.action.setToolTip("tip");
        rig.action.setEnabled(false);
        QCOMPARE(rig.button->text(), QStringLiteral("Renamed"));
        QCOMPARE(rig.button->toolTip(), QStringLiteral("tip"));
        QVERIFY(rig.button->isCheckable() && rig.button->isChecked() && !rig.button->isEnabled());
        QCOMPARE(toggles.count(), 0);

        rig.action.setProperty("vyrRibbonIconPath", "a.svg");
        rig.action.setText("again");
        QCOMPARE(rig.button->ribbonIcon(), QStringLiteral("a.svg"));
        rig.button->setRibbonIcon("kept.svg");
        rig.action.setProperty("vyrRibbonIconPath", QVariant());
        rig.action.setText("third");
        QCOMPARE(rig.button->ribbonIcon(), QString());
        QCOMPARE(rig.button->getIcon(), QStringLiteral("kept.svg"));

        // A click on a checkable command brings the action's new state back.
        rig.action.setEnabled(true);
        rig.button->click();
        QVERIFY(!rig.action.isChecked());
        QVERIFY(!rig.button->isChecked());
    }

    // Watched, not owned: destroyed actions and menus count as unset; a menu without
    // parent joins the button but stays a popup window.
    void watchedActionAndMenu()
    {
        QWidget host;
        auto* button = new VYRQRibbonButton(&host, Size::small);
        auto* action = new QAction("x", &host);
        button->setRibbonAction(action);
        auto* menu = new VYRQRibbonMenu;
        button->setPopupMenu(menu);
        QCOMPARE(menu->parent(), button);
        QVERIFY(menu->isWindow());
        QCOMPARE(menu->windowType(), Qt::Popup);
        button->setPopupMode(Mode::split);
        button->resize(80, 24);
        QVERIFY(button->popupIndicatorRect().isValid());

        delete action;
        QVERIFY(!button->ribbonAction());
        button->click();
        delete menu;
        QVERIFY(!button->popupMenu());
        QVERIFY(!button->popupIndicatorRect().isValid());
        mouse(*button, QEvent::MouseButtonPress, QPoint(75, 10));
        mouse(*button, QEvent::MouseButtonRelease, QPoint(75, 10));
    }

    // A command whose slot deletes the button that ran it.
    void commandDeletesItsButton()
    {
        QWidget host;
        QPointer<VYRQRibbonButton> button = new VYRQRibbonButton(&host, Size::large);
        QAction action("Rebuild");
        button->setRibbonAction(&action);
        connect(&action, &QAction::triggered, &host, [&] { delete button.data(); });
        button->click();
        QVERIFY(button.isNull());
    }

    // Without an icon the text takes the icon's place, so narrow buttons ("<", tabs
    // sized to their text) still show it; with an icon it starts after the icon.
    void textBesideIconOnly_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("withIcon");
        QTest::addColumn<int>("fromX");   // the text's left edge lies in [fromX, toX)
        QTest::addColumn<int>("toX");
        QTest::newRow("scroll button") << 20 << "<" << false << 4 << 16;
        QTest::newRow("tab") << 68 << "Home" << false << 4 << 27;
        QTest::newRow("with icon") << 120 << "Home" << true << 27 << 116;
    }

    void textBesideIconOnly()
    {
        QFETCH(int, width);
        QFETCH(QString, text);
        QFETCH(bool, withIcon);
        QFETCH(int, fromX);
        QFETCH(int, toX);
        VYRQRibbonButton button(nullptr, Size::small);
        button.resize(width, 24);
        button.setText(text);
        button.setTextStyle(AllStates, sty::text("t", Qt::black, 1));
        QAction action(text);
        if (withIcon) {
            QPixmap pixmap(16, 16);
            pixmap.fill(Qt::white);
            action.setIcon(QIcon(pixmap));
            button.setRibbonAction(&action);
        }
        button.setShowText(true);
        const QImage with = render(button);
        button.setShowText(false);
        const QImage without = render(button);
        int left = width, right = -1;
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < 24; ++y)
                if (with.pixel(x, y) != without.pixel(x, y)) {
                    left = qMin(left, x);
                    right = qMax(right, x);
                }
        QVERIFY2(right >= 0, "no text drawn");
        QVERIFY(left >= fromX && left < toX);
        QVERIFY(right < width - 4);
    }

    // Pressed look when checked, the context colour strip, the split divider and arrow.
    void paint()
    {
        Rig rig(Size::large, Mode::split);
        rig.button->resize(80, 68);
        rig.button->setBackground(AllStates, sty::solid("n", Qt::white));
        rig.button->setBackground(Pressed, sty::solid("p", Qt::blue));
        TextStyleDesc text = sty::text("t", Qt::red, 1);
        rig.button->setTextStyle(AllStates, text);
        rig.button->setProperty("vyrRibbonContextColor", QColor(Qt::green));
        QImage image = render(*rig.button);
        QCOMPARE(pixel(image, 40, 1), QColor(Qt::green));
        QCOMPARE(pixel(image, 40, 10), QColor(Qt::white));
        // The antialiased divider on row 48 covers rows 47 and 48 by half.
        QVERIFY(sty::near(pixel(image, 20, 48), QColor(217, 221, 227)));
        QCOMPARE(pixel(image, 20, 46), QColor(Qt::white));
        const QPoint c = rig.button->popupIndicatorRect().center();
        QCOMPARE(pixel(image, c.x(), c.y()), QColor(Qt::red));

        rig.action.setCheckable(true);
        rig.action.setChecked(true);
        rig.button->setProperty("vyrRibbonContextColor", QStringLiteral("not a colour"));
        image = render(*rig.button);
        QCOMPARE(pixel(image, 40, 1), QColor(Qt::blue));

        // A ribbon icon is kept at the size it is drawn at, and read again when the
        // button grows: a small button's icon would not fill a large one's.
        QTemporaryDir dir;
        const QString icon = dir.filePath("icon.png");
        QVERIFY(sty::saveSolid(icon, QSize(40, 40), Qt::magenta));
        Rig grown(Size::small, Mode::none, false);
        grown.button->setRibbonIcon(icon);
        grown.button->setItemSize(Size::large);
        grown.button->resize(80, 68);
        image = render(*grown.button);
        int iconPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                iconPixels += pixel(image, x, y) == QColor(Qt::magenta);
        }
        QCOMPARE(iconPixels, 32 * 32);
    }
};

VYR_TEST_SUITE(tst_RibbonButton, 3)
#include "tst_ribbonbutton.moc"
