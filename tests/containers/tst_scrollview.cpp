#include "VYRQContainer.h"
#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQScrollBar.h"
#include "VYRQScrollView.h"

#include <QImage>
#include <QtTest>

#include <json/value.h>

namespace {

Json::Value parse(const char* text)
{
    Json::Value root;
    vyr::json::parse(QByteArray(text), root);
    return root;
}

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    style.fill.color2 = color;
    return style;
}

VYRQScrollBar* vbar(VYRQScrollView& view)
{
    return qobject_cast<VYRQScrollBar*>(view.verticalScrollBar());
}

VYRQScrollBar* hbar(VYRQScrollView& view)
{
    return qobject_cast<VYRQScrollBar*>(view.horizontalScrollBar());
}

QString thickness(int size)
{
    return QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%1; } "
                          "QScrollBar::add-line:vertical{ width:%1px;width:%1px; subcontrol-origin: margin;} "
                          "QScrollBar::sub-line:vertical{ width:%1px;width:%1px;subcontrol-origin: margin; }")
        .arg(size);
}

// Reads one element into a fresh view.
bool readInto(VYRQScrollView& view, const char* text)
{
    Json::Value element = parse(text);
    return view.readJsonValue(&element);
}

} // namespace

class tst_ScrollView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        for (const FillStyle& style : {solid(QStringLiteral("A"), QColor(0, 0, 255)),
                                       solid(QStringLiteral("B"), QColor(0, 255, 0)),
                                       solid(QStringLiteral("Bar"), QColor(255, 0, 0))}) {
            FillStyle copy = style;
            rm->setFillStyle(copy.name, copy);
        }
    }

    void backgroundStyle_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("expected");
        QTest::newRow("last found wins, any slot") << R"({"style": [["A", 1, 0], ["B", 1, 5]]})" << "B";
        QTest::newRow("negative slot ignored") << R"({"style": [["A", 1, 0], ["B", 1, -1]]})" << "A";
        QTest::newRow("unknown name ignored") << R"({"style": [["A", 1, 0], ["Nope", 1, 0]]})" << "A";
    }

    void backgroundStyle()
    {
        QFETCH(QString, element);
        QFETCH(QString, expected);
        VYRQScrollView view;
        QVERIFY(readInto(view, element.toUtf8().constData()));
        QCOMPARE(view.getBackground(CommonNormal).name, expected);
        QCOMPARE(view.getBackground(CommonDisable).name, expected);
    }

    void scrollBarElementChoice_data()
    {
        QTest::addColumn<QString>("child");
        QTest::addColumn<int>("styled");   // 0 vertical, 1 horizontal, -1 none
        QTest::newRow("qtscrollbar, vertical by default")
            << R"({"type": "qtscrollbar", "style": [["Bar", 1, 0]]})" << 0;
        QTest::newRow("any type naming a scroll bar")
            << R"({"type": "myscrollbarish", "style": [["Bar", 1, 0]]})" << 0;
        QTest::newRow("hor true") << R"({"type": "scrollbar", "attr": {"hor": true}, "style": [["Bar", 1, 0]]})" << 1;
        QTest::newRow("hor false") << R"({"type": "scrollbar", "attr": {"hor": false}, "style": [["Bar", 1, 0]]})"
                                   << 0;
        QTest::newRow("other type skipped") << R"({"type": "qtlabel", "style": [["Bar", 1, 0]]})" << -1;
        QTest::newRow("short type skipped") << R"({"type": "scroll", "style": [["Bar", 1, 0]]})" << -1;
        QTest::newRow("no type skipped") << R"({"style": [["Bar", 1, 0]]})" << -1;
    }

    void scrollBarElementChoice()
    {
        QFETCH(QString, child);
        QFETCH(int, styled);
        VYRQScrollView view;
        const QByteArray element = "{\"child\": [" + child.toUtf8() + "]}";
        QVERIFY(readInto(view, element.constData()));
        QCOMPARE(vbar(view)->getScrollbarBackground(CommonNormal).name == QLatin1String("Bar"), styled == 0);
        QCOMPARE(hbar(view)->getScrollbarBackground(CommonNormal).name == QLatin1String("Bar"), styled == 1);
        // Skipped entries do not set the thickness either.
        QCOMPARE(vbar(view)->styleSheet().isEmpty(), styled < 0);
    }

    void lastElementSetsBothThicknesses()
    {
        VYRQScrollView view;
        QVERIFY(readInto(view, R"({"child": [{"type": "qtscrollbar", "w": 10, "h": 99},
                                             {"type": "qtscrollbar", "attr": {"hor": true}, "w": 99, "h": 6}]})"));
        QCOMPARE(vbar(view)->styleSheet(), thickness(6));
        QCOMPARE(hbar(view)->styleSheet(), thickness(6));

        VYRQScrollView bare;
        QVERIFY(readInto(bare, R"({"child": [{"type": "qtscrollbar"}]})"));
        QCOMPARE(vbar(bare)->styleSheet(), thickness(0));
        QCOMPARE(hbar(bare)->styleSheet(), thickness(0));
    }

    // "size" gives the button length of its bar; the thickness sheet read with it
    // (or after it) keeps it.
    void buttonSizeSurvivesThickness()
    {
        VYRQScrollView view;
        QVERIFY(readInto(view, R"({"child": [{"type": "qtscrollbar", "w": 8, "attr": {"size": 5}},
                                             {"type": "qtscrollbar", "attr": {"hor": true}, "h": 7}]})"));
        QVERIFY(vbar(view)->styleSheet().startsWith(thickness(7)));
        QVERIFY(vbar(view)->styleSheet().contains(QLatin1String("QScrollBar::add-line:vertical{ height:5px;width:5px; }")));
        QCOMPARE(hbar(view)->styleSheet(), thickness(7));
    }

    void barStyleSlots_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("part");   // 0 up, 1 down, 2 thumb
        QTest::addColumn<QVector<bool>>("states");
        QTest::newRow("up normal fans out") << 2 << 0 << QVector<bool>{true, true, true, true};
        QTest::newRow("up disabled") << 5 << 0 << QVector<bool>{false, false, false, true};
        QTest::newRow("down normal fans out") << 6 << 1 << QVector<bool>{true, true, true, true};
        QTest::newRow("down hot only") << 7 << 1 << QVector<bool>{false, true, false, false};
        QTest::newRow("thumb pressed") << 12 << 2 << QVector<bool>{false, false, true, false};
        QTest::newRow("slot 1 nothing") << 1 << 0 << QVector<bool>{false, false, false, false};
        QTest::newRow("slot 14 nothing") << 14 << 2 << QVector<bool>{false, false, false, false};
    }

    void barStyleSlots()
    {
        QFETCH(int, slot);
        QFETCH(int, part);
        QFETCH(QVector<bool>, states);
        VYRQScrollView view;
        const QByteArray element =
            QStringLiteral(R"({"child": [{"type": "qtscrollbar", "style": [["Bar", 1, %1]]}]})").arg(slot).toUtf8();
        QVERIFY(readInto(view, element.constData()));
        VYRQScrollBar* bar = vbar(view);
        for (int s = 0; s < 4; ++s) {
            const CtrlState state = CtrlState(s);
            const FillStyle& got = part == 0   ? bar->getScrollbarUpButton(state)
                                   : part == 1 ? bar->getScrollbarDownButton(state)
                                               : bar->getScrollbarThumb(state);
            QCOMPARE(got.name == QLatin1String("Bar"), states[s]);
        }
        QVERIFY(bar->getScrollbarBackground(CommonNormal).name.isEmpty());
    }

    void barIcons()
    {
        VYRQScrollView view;
        QVERIFY(readInto(view, R"({"child": [{"type": "qtscrollbar", "attr": {"hor": true, "upicon": "u.png",
                                             "downicon": "d.png", "thumbicon": "t.png"}}]})"));
        QCOMPARE(hbar(view)->getScrollbarBtnIcon(true), QStringLiteral("u.png"));
        QCOMPARE(hbar(view)->getScrollbarBtnIcon(false), QStringLiteral("d.png"));
        QCOMPARE(hbar(view)->getScrollbarThumbIcon(), QStringLiteral("t.png"));
        QVERIFY(vbar(view)->getScrollbarThumbIcon().isEmpty());
    }

    void sheetSetters()
    {
        VYRQScrollView a;
        VYRQScrollView b;
        a.setScrollbarSize(true, 12);
        b.setScrollbarSize(false, 12);
        QCOMPARE(vbar(a)->styleSheet(), thickness(12));
        QCOMPARE(hbar(a)->styleSheet(), thickness(12));
        QCOMPARE(vbar(b)->styleSheet(), vbar(a)->styleSheet());
        QCOMPARE(hbar(b)->styleSheet(), hbar(a)->styleSheet());

        a.setScrollbarBtnSize(true, 9);
        QCOMPARE(hbar(a)->styleSheet(),
                 QStringLiteral("QScrollBar::add-line{ width:9px;width:9px; } QScrollBar::sub-line{ width:9px;width:9px; }"));
        QCOMPARE(vbar(a)->styleSheet(), thickness(12));
    }

    void contentChoice()
    {
        VYRQScrollView view;
        new QWidget(&view);
        auto* first = new VYRQContainer(&view);
        new VYRQContainer(&view);
        view.createComplete();
        QCOMPARE(view.widget(), first);

        VYRQScrollView empty;
        new QWidget(&empty);
        empty.createComplete();
        QVERIFY(!empty.widget());
    }

    void scrollSignalSign()
    {
        VYRQScrollView view;
        view.resize(200, 100);
        auto* content = new VYRQContainer(&view);
        content->resize(400, 600);
        view.createComplete();
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.verticalScrollBar()->maximum() > 30);

        QSignalSpy spy(&view, &VYRQScrollView::scrollPosChanged);
        view.setVScrollPos(view.getVScrollPos() + 30);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 0);
        QCOMPARE(spy.at(0).at(1).toInt(), -30);
        QCOMPARE(content->y(), -30);

        view.setHScrollPos(15);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toInt(), -15);
        QCOMPARE(view.getHScrollPos(), 15);
    }

    void writeJson()
    {
        VYRQScrollView view;
        vbar(view)->setScrollbarBackground(CommonNormal, solid(QStringLiteral("Bar"), Qt::red));
        Json::Value written(Json::objectValue);
        QVERIFY(view.serializeJsonValue(&written, false));
        QVERIFY(written.isMember("style"));
        QVERIFY(written["style"].isNull());
        QVERIFY(written.isMember("attr"));
        QVERIFY(!written.isMember("child"));

        view.setBackground(CommonDisable, solid(QStringLiteral("A"), Qt::blue));
        written = Json::Value(Json::objectValue);
        QVERIFY(view.serializeJsonValue(&written, false));
        QVERIFY(written["style"] == parse(R"([["A", 1, 0]])"));
    }

    // The content lives in the viewport, where the common writer does not look.
    void contentSurvivesSaveAndReload()
    {
        QWidget host;
        Json::Value page = parse(R"({"type": "qtscrollview", "name": "view", "child": [
            {"type": "qtscrollbar", "w": 9, "style": [["Bar", 1, 0]]},
            {"type": "qtcontainer", "name": "content", "child": [{"type": "qtcontainer", "name": "inner"}]},
            {"type": "qtcontainer", "name": "second"}]})");
        auto* view = qobject_cast<VYRQScrollView*>(createElementFromJson(page, &host));
        QVERIFY(view);
        QCOMPARE(view->widget() ? view->widget()->objectName() : QString(), QStringLiteral("content"));

        Json::Value saved(Json::objectValue);
        QVERIFY(view->serializeJsonValue(&saved, false));
        const Json::Value* children = vyr::json::array(saved, "child");
        QVERIFY(children);
        QCOMPARE(int(children->size()), 2);
        QCOMPARE(vyr::json::stringOr((*children)[0], "name"), QStringLiteral("content"));
        QCOMPARE(vyr::json::stringOr((*children)[1], "name"), QStringLiteral("second"));

        QWidget other;
        auto* reloaded = qobject_cast<VYRQScrollView*>(createElementFromJson(saved, &other));
        QVERIFY(reloaded);
        QVERIFY(reloaded->widget());
        QCOMPARE(reloaded->widget()->objectName(), QStringLiteral("content"));
        QVERIFY(reloaded->widget()->findChild<VYRQContainer*>(QStringLiteral("inner")));
    }

    // Scroll bar elements style the built-in bars and build no control of their own.
    void pageBuildsNoStrayBars()
    {
        QWidget host;
        Json::Value page = parse(R"({"type": "scrollview", "child": [
            {"type": "qtscrollbar", "attr": {"hor": true}, "h": 11, "style": [["Bar", 1, 0]]},
            {"type": "qtcontainer", "name": "content"}]})");
        auto* view = qobject_cast<VYRQScrollView*>(createElementFromJson(page, &host));
        QVERIFY(view);
        QCOMPARE(view->findChildren<VYRQScrollBar*>().size(), 2);
        QCOMPARE(hbar(*view)->getScrollbarBackground(CommonNormal).name, QStringLiteral("Bar"));
        QCOMPARE(hbar(*view)->styleSheet(), thickness(11));
        QVERIFY(view->widget());
    }

    void paintsBackgroundOnViewport()
    {
        VYRQScrollView view;
        view.resize(60, 40);
        view.setBackground(CommonNormal, solid(QStringLiteral("A"), QColor(0, 0, 255)));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QImage image = view.grab().toImage();
        QCOMPARE(QColor(image.pixel(30, 20)), QColor(0, 0, 255));
    }
};

QTEST_MAIN(tst_ScrollView)
#include "tst_scrollview.moc"
