#include "../controls/controls_testutil.h"
#include "VYRQContainer.h"
#include "VYRQScrollBar.h"
#include "VYRQScrollView.h"

namespace {

VYRQScrollBar* vbar(VYRQScrollView& view) { return qobject_cast<VYRQScrollBar*>(view.verticalScrollBar()); }
VYRQScrollBar* hbar(VYRQScrollView& view) { return qobject_cast<VYRQScrollBar*>(view.horizontalScrollBar()); }

QString thickness(int size)
{
    return QStringLiteral("QScrollBar::vertical{ width:%1; } QScrollBar::horizontal{ height:%1; } "
                          "QScrollBar::add-line:vertical{ width:%1px;width:%1px; subcontrol-origin: margin;} "
                          "QScrollBar::sub-line:vertical{ width:%1px;width:%1px;subcontrol-origin: margin; }")
        .arg(size);
}

} // namespace

class tst_ScrollView : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFill(QStringLiteral("Bar"), QColor(255, 0, 0));
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
        QVERIFY(sty::load(view, "{\"child\": [" + child.toUtf8() + "]}"));
        QCOMPARE(vbar(view)->getScrollbarBackground(CommonNormal).name == QLatin1String("Bar"), styled == 0);
        QCOMPARE(hbar(view)->getScrollbarBackground(CommonNormal).name == QLatin1String("Bar"), styled == 1);
        // Skipped entries do not set the thickness either.
        QCOMPARE(vbar(view)->styleSheet().isEmpty(), styled < 0);
    }

    // The last entry's thickness goes to both bars; "size" gives the button length of
    // its own bar, kept by the thickness sheet read after it.
    void barThicknessAndButtons()
    {
        VYRQScrollView view;
        QVERIFY(sty::load(view, R"({"child": [{"type": "qtscrollbar", "w": 10, "h": 99, "attr": {"size": 5}},
                                             {"type": "qtscrollbar", "attr": {"hor": true}, "w": 99, "h": 6}]})"));
        QVERIFY(vbar(view)->styleSheet().startsWith(thickness(6)));
        QVERIFY(vbar(view)->styleSheet().contains("QScrollBar::add-line:vertical{ height:5px;width:5px; }"));
        QCOMPARE(hbar(view)->styleSheet(), thickness(6));

        VYRQScrollView bare;
        QVERIFY(sty::load(bare, R"({"child": [{"type": "qtscrollbar"}]})"));
        QCOMPARE(vbar(bare)->styleSheet(), thickness(0));
        QCOMPARE(hbar(bare)->styleSheet(), thickness(0));
    }

    // The signal reports the content's offset: the negated scroll positions.
    void scrollSignalSign()
    {
        VYRQScrollView view;
        view.resize(200, 100);
        auto* content = new VYRQContainer(&view);
        content->resize(400, 600);
        view.createComplete();
        QVERIFY(ctl::shown(view));
        QVERIFY(view.verticalScrollBar()->maximum() > 30);

        QSignalSpy spy(&view, &VYRQScrollView::scrollPosChanged);
        view.setVScrollPos(view.getVScrollPos() + 30);
        QCOMPARE(QList<QVariantList>(spy), QList<QVariantList>({{0, -30}}));
        QCOMPARE(content->y(), -30);

        view.setHScrollPos(15);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toInt(), -15);
        QCOMPARE(view.getHScrollPos(), 15);
    }

    // The content lives in the viewport, where the common writer does not look; bar
    // entries style the built-in bars and build no control of their own.
    void contentSurvivesSaveAndReload()
    {
        QWidget host;
        Json::Value page = ctl::parse(R"({"type": "qtscrollview", "name": "view", "child": [
            {"type": "qtscrollbar", "attr": {"hor": true}, "h": 11, "style": [["Bar", 1, 0]]},
            {"type": "qtcontainer", "name": "content", "child": [{"type": "qtcontainer", "name": "inner"}]},
            {"type": "qtcontainer", "name": "second"}]})");
        auto* view = qobject_cast<VYRQScrollView*>(createElementFromJson(page, &host));
        QVERIFY(view);
        QCOMPARE(view->widget() ? view->widget()->objectName() : QString(), QStringLiteral("content"));
        QCOMPARE(view->findChildren<VYRQScrollBar*>().size(), 2);
        QCOMPARE(hbar(*view)->getScrollbarBackground(CommonNormal).name, QStringLiteral("Bar"));
        QCOMPARE(hbar(*view)->styleSheet(), thickness(11));

        Json::Value saved(Json::objectValue);
        QVERIFY(view->serializeJsonValue(&saved, false));
        const Json::Value* children = vyr::json::array(saved, "child");
        QVERIFY(children);
        QCOMPARE(int(children->size()), 2);
        QCOMPARE(vyr::json::stringOr((*children)[0], "name"), QStringLiteral("content"));
        QCOMPARE(vyr::json::stringOr((*children)[1], "name"), QStringLiteral("second"));

        QWidget other;
        auto* reloaded = qobject_cast<VYRQScrollView*>(createElementFromJson(saved, &other));
        QVERIFY(reloaded && reloaded->widget());
        QCOMPARE(reloaded->widget()->objectName(), QStringLiteral("content"));
        QVERIFY(reloaded->widget()->findChild<VYRQContainer*>(QStringLiteral("inner")));
    }
};

QTEST_MAIN(tst_ScrollView)
#include "tst_scrollview.moc"
