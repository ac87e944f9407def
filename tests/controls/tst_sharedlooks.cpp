#include "controls_testutil.h"
#include "testaccess.h"

#include "VYRQContainer.h"
#include "VYRQLabel.h"
#include "VYRQPushButton.h"
#include "VYRQPushButtonImpl_p.h"

#include <QTemporaryDir>

#include <memory>

using ctl::write;

// Controls that read alike hold one style record; whatever one of them is then told
// must stay its own.
class tst_SharedLooks : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFills({{"ShR", Qt::red}, {"ShG", Qt::green}, {"ShB", Qt::blue}});
        sty::addText("ShT", QColor(10, 20, 30));
    }

    void buttonsReadAlikeWriteApart()
    {
        const QByteArray element = R"({"style": [["ShR", 1, 0], ["ShG", 1, 1], ["ShT", 2, 4]]})";
        VYRQPushButton a, b;
        QVERIFY(sty::load(a, element));
        QVERIFY(sty::load(b, element));
        QVERIFY(vyrtest::impl(a)->backgrounds.sharesWith(vyrtest::impl(b)->backgrounds));
        QVERIFY(vyrtest::impl(a)->textStyles.sharesWith(vyrtest::impl(b)->textStyles));

        const Json::Value before = write(b);
        a.setBackground(Hot, sty::solid("ShB", Qt::blue));
        a.setTextStyle(Pressed, sty::text("Other", Qt::magenta));
        QCOMPARE(a.getBackground(Hot).name, QStringLiteral("ShB"));
        QCOMPARE(b.getBackground(Hot).name, QStringLiteral("ShG"));
        QCOMPARE(b.getTextStyle(Pressed).name, QStringLiteral("ShT"));
        QVERIFY(write(b) == before);

        // b paints its own Hot look, not the one a was given.
        b.resize(40, 20);
        ctl::hover(b, true);
        QCOMPARE(ctl::pixel(ctl::render(b), 20, 2), QColor(Qt::green));
        ctl::hover(a, true);
        a.resize(40, 20);
        QCOMPARE(ctl::pixel(ctl::render(a), 20, 2), QColor(Qt::blue));

        // Reading the element again brings a back onto the record b holds.
        QVERIFY(sty::load(a, element));
        QCOMPARE(a.getBackground(Hot).name, QStringLiteral("ShG"));
        QVERIFY(vyrtest::impl(a)->backgrounds.sharesWith(vyrtest::impl(b)->backgrounds));
    }

    void labelsReadAlikeWriteApart()
    {
        const QByteArray element = R"({"style": [["ShT", 2, 0]]})";
        VYRQLabel a, b;
        QVERIFY(sty::load(a, element));
        QVERIFY(sty::load(b, element));
        a.setColor(Qt::red);
        a.setDisableColor(Qt::blue);
        QCOMPARE(a.getColor(), QColor(Qt::red));
        QCOMPARE(b.getColor(), QColor(10, 20, 30));
        QCOMPARE(b.palette().color(QPalette::WindowText), QColor(10, 20, 30));
        QCOMPARE(b.getDisableColor(), TextStyleDesc().color);
        QCOMPARE(b.getTextStyle(Normal).name, QStringLiteral("ShT"));
    }

    void containersStartAlikeWriteApart()
    {
        VYRQContainer a, b;
        const FillStyle start = b.getBackground();
        a.setColor(Qt::red);
        a.setUseFillStyle(false);
        a.setBackgroundState(Disable, sty::solid("ShB", Qt::blue));
        QCOMPARE(a.getBackground().fill.color, QColor(Qt::red));
        QCOMPARE(b.getBackground().fill.color, start.fill.color);
        QVERIFY(b.getUseFillStyle());
        QVERIFY(b.getDisableBackground().name.isEmpty());
    }

    // A theme switch gives every control the new look, also those that shared the old
    // one with a control told otherwise in between.
    void themeSwitchReachesSharers()
    {
        QWidget window;
        VYRQResourceManager::getInstance()->registerWindow(&window);
        auto theme = [](const char* color) {
            return QByteArray(R"({"style": [{"type": 1, "name": "ShTheme", "drawImg": false, "clr": "COLOR"}]})")
                .replace("COLOR", color);
        };
        const QByteArray elements = R"({"elements": [{"child": [{"name": "qtbutton", "style": [["ShTheme", 1, 0]]}]}]})";
        QTemporaryDir first, second;
        QVERIFY(sty::loadTheme(first, theme("FFFF0000"), elements));
        auto* a = new VYRQPushButton(&window);
        auto* b = new VYRQPushButton(&window);
        QCOMPARE(b->getBackground(Hot).fill.color, QColor(Qt::red));
        a->setBackground(Normal, sty::solid("ShB", Qt::blue));

        QVERIFY(sty::loadTheme(second, theme("FF00FF00"), elements));
        QVERIFY(vyrNotifyThemeChange());
        for (VYRQPushButton* button : {a, b})
            for (int s = 0; s < CtrlStateCount; ++s)
                QCOMPARE(button->getBackground(CtrlState(s)).fill.color, QColor(Qt::green));
        QVERIFY(vyrtest::impl(a)->backgrounds.sharesWith(vyrtest::impl(b)->backgrounds));
        VYRQResourceManager::getInstance()->unregisterWindow(&window);
        sty::dropTheme();
    }
};

QTEST_MAIN(tst_SharedLooks)
#include "tst_sharedlooks.moc"
