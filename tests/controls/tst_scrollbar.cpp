#include "VYRQGlobal.h"
#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQScrollBar.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <json/value.h>

namespace {

const QColor red(255, 0, 0);
const QColor green(0, 255, 0);
const QColor blue(0, 0, 255);
const QColor yellow(255, 255, 0);
const QColor grey(128, 128, 128);
const QColor black(0, 0, 0);
const QColor paper(1, 2, 3);

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    style.fill.color2 = color;
    return style;
}

void defineStyle(const QString& name, const QColor& color)
{
    FillStyle style = solid(name, color);
    VYRQResourceManager::getInstance()->setFillStyle(name, style);
}

QImage render(QWidget& w)
{
    QImage image(w.size(), QImage::Format_ARGB32);
    image.fill(paper);
    w.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

QColor pixelAt(const QImage& image, const QPoint& p)
{
    return QColor(image.pixel(p)).toRgb();
}

// Mouse events are sent straight to the widget, as the window system would deliver them.
void send(QWidget& w, QEvent::Type type, const QPoint& pos, Qt::MouseButton button = Qt::NoButton)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent event(type, pos, w.mapToGlobal(pos), changed, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void sendLeave(QWidget& w)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&w, &event);
}

enum PartId { Thumb, Up, Down };

// A scroll bar's part as the application style places it.
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
    // Number of paint events since the last reset, and the region of the last one.
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

Json::Value parse(const char* text)
{
    Json::Value value;
    vyr::json::parse(QByteArray(text), value);
    return value;
}

Json::Value write(VYRQScrollBar& bar)
{
    Json::Value value;
    bar.serializeJsonValue(&value, false);
    return value;
}

QStringList names(const Json::Value& styles)
{
    QStringList out;
    for (const Json::Value& entry : styles)
        out << QStringLiteral("%1:%2").arg(QString::fromStdString(entry[0].asString())).arg(entry[2].asInt());
    return out;
}

} // namespace

class tst_ScrollBar : public QObject {
    Q_OBJECT

    // A shown vertical bar 16 x 200, range 0 to 100, page 20, value 50.
    struct Fixture {
        QWidget window;
        ProbeBar* bar;
        bool exposed = false;
        Fixture()
        {
            window.resize(300, 300);
            bar = new ProbeBar(Qt::Vertical, &window);
            bar->setGeometry(0, 0, 16, 200);
            bar->setRange(0, 100);
            bar->setPageStep(20);
            bar->setValue(50);
            bar->show();
            window.show();
            // Immediate repaints need an exposed window; settle pending updates first.
            exposed = QTest::qWaitForWindowExposed(&window);
            QCoreApplication::processEvents();
        }
    };

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        defineStyle("A", red);
        defineStyle("B", green);
        defineStyle("C", blue);
        defineStyle("SameAsB", green);
    }

    void startsHiddenVerticalAndTracked()
    {
        QWidget window;
        VYRQScrollBar bar(&window);
        window.show();
        QVERIFY(bar.isHidden());
        QCOMPARE(bar.orientation(), Qt::Vertical);
        QVERIFY(bar.hasMouseTracking());

        VYRQScrollBar horizontal(Qt::Horizontal, &window);
        QVERIFY(horizontal.isHidden());
        QCOMPARE(horizontal.orientation(), Qt::Horizontal);

        QScopedPointer<QWidget> created(VYRQScrollBar::createVYRQScrollBar());
        QVERIFY(created->isHidden());
        QCOMPARE(qobject_cast<QScrollBar*>(created.data())->orientation(), Qt::Vertical);
        QCOMPARE(QString::fromLatin1(VYRQScrollBar::typeName()), QStringLiteral("qtscrollbar"));
    }

    // The parts the states follow are the application style's, laid out along the bar.
    void partRectanglesComeFromTheStyle()
    {
        Fixture f;
        QVERIFY(f.exposed);
        const QRect up = f.bar->part(Up);
        const QRect thumb = f.bar->part(Thumb);
        const QRect down = f.bar->part(Down);
        QVERIFY(!up.isEmpty() && !thumb.isEmpty() && !down.isEmpty());
        QCOMPARE(up.top(), 0);
        QCOMPARE(down.bottom(), 199);
        QVERIFY(up.bottom() < thumb.top());
        QVERIFY(thumb.bottom() < down.top());
    }

    void partStatesFromMouse_data()
    {
        QTest::addColumn<int>("part");
        QTest::newRow("thumb") << int(Thumb);
        QTest::newRow("up button") << int(Up);
        QTest::newRow("down button") << int(Down);
    }

    // Hover and press per part, by sent mouse events; only the part under the pointer changes.
    void partStatesFromMouse()
    {
        QFETCH(int, part);
        const PartId id = PartId(part);
        Fixture f;
        QVERIFY(f.exposed);
        ProbeBar& bar = *f.bar;
        const QPoint on = bar.part(id).center();
        const QPoint sideways(100, on.y());   // off the bar, level with the part

        auto othersNormal = [&] {
            for (PartId other : {Thumb, Up, Down})
                if (other != id && bar.state(other) != Normal)
                    return false;
            return true;
        };

        send(bar, QEvent::MouseMove, on);
        QCOMPARE(bar.state(id), Hot);
        QVERIFY(othersNormal());

        bar.paints = 0;
        send(bar, QEvent::MouseButtonPress, on, Qt::LeftButton);
        QCOMPARE(bar.state(id), Pressed);
        QVERIFY(othersNormal());
        QVERIFY(bar.paints >= 1);   // repainted at once, not at the next event-loop turn
        // Qt's own handling still runs: the buttons step the value.
        if (id == Up)
            QCOMPARE(bar.value(), 49);
        else if (id == Down)
            QCOMPARE(bar.value(), 51);
        else
            QVERIFY(bar.isSliderDown());

        send(bar, QEvent::MouseMove, sideways, Qt::LeftButton);
        // A dragged thumb stays Pressed off its rectangle; a button goes Normal.
        QCOMPARE(bar.state(id), id == Thumb ? Pressed : Normal);
        send(bar, QEvent::MouseButtonRelease, sideways, Qt::LeftButton);
        QCOMPARE(bar.state(id), Normal);

        const QPoint again = bar.part(id).center();
        send(bar, QEvent::MouseButtonPress, again, Qt::RightButton);
        QCOMPARE(bar.state(id), Pressed);
        send(bar, QEvent::MouseButtonRelease, again, Qt::RightButton);
        QCOMPARE(bar.state(id), Hot);
        QVERIFY(othersNormal());
    }

    void leaveKeepsAPressedThumb()
    {
        Fixture f;
        QVERIFY(f.exposed);
        ProbeBar& bar = *f.bar;
        send(bar, QEvent::MouseButtonPress, bar.part(Thumb).center(), Qt::LeftButton);
        sendLeave(bar);
        QCOMPARE(bar.state(Thumb), Pressed);
        send(bar, QEvent::MouseButtonRelease, QPoint(100, 100), Qt::LeftButton);
        QCOMPARE(bar.state(Thumb), Normal);

        send(bar, QEvent::MouseMove, bar.part(Down).center());
        QCOMPARE(bar.state(Down), Hot);
        bar.paints = 0;
        bar.lastPaint = QRegion();
        sendLeave(bar);
        QCOMPARE(bar.state(Down), Normal);
        QCOMPARE(bar.paints, 1);
        QCOMPARE(bar.lastPaint.boundingRect(), bar.rect());

        // A Hot thumb goes Normal on leave too.
        send(bar, QEvent::MouseMove, bar.part(Thumb).center());
        QCOMPARE(bar.state(Thumb), Hot);
        sendLeave(bar);
        QCOMPARE(bar.state(Thumb), Normal);
    }

    // A move repaints only the part whose state changed.
    void moveRepaintsThePart()
    {
        Fixture f;
        QVERIFY(f.exposed);
        ProbeBar& bar = *f.bar;
        bar.paints = 0;
        send(bar, QEvent::MouseMove, bar.part(Up).center());
        QCOMPARE(bar.paints, 1);
        QCOMPARE(bar.lastPaint.boundingRect(), bar.part(Up));
        send(bar, QEvent::MouseMove, bar.part(Up).center() + QPoint(1, 0));
        QCOMPARE(bar.paints, 1);
    }

    void paintsBackgroundAndParts()
    {
        Fixture f;
        QVERIFY(f.exposed);
        ProbeBar& bar = *f.bar;
        bar.setScrollbarBackground(CommonNormal, solid("A", red));
        bar.setScrollbarUpButton(AllStates, solid("B", green));
        bar.setScrollbarDownButton(AllStates, solid("C", blue));
        bar.setScrollbarThumb(AllStates, solid("T", yellow));
        bar.setScrollbarThumb(Hot, solid("TH", grey));
        bar.setScrollbarThumb(Disable, solid("TD", black));

        // A point of the page area between the thumb and the down button.
        const QPoint page(8, (bar.part(Thumb).bottom() + bar.part(Down).top()) / 2);
        QImage image = render(bar);
        QCOMPARE(pixelAt(image, page), red);
        QCOMPARE(pixelAt(image, bar.part(Up).center()), green);
        QCOMPARE(pixelAt(image, bar.part(Down).center()), blue);
        QCOMPARE(pixelAt(image, bar.part(Thumb).center()), yellow);

        send(bar, QEvent::MouseMove, bar.part(Thumb).center());
        QCOMPARE(pixelAt(render(bar), bar.part(Thumb).center()), grey);

        // The Disable entries are stored but never drawn.
        sendLeave(bar);
        bar.setEnabled(false);
        image = render(bar);
        QCOMPARE(pixelAt(image, bar.part(Thumb).center()), yellow);
        QCOMPARE(pixelAt(image, page), red);
    }

    // The property list relies on the rows' order and kinds; two rows are named "Thumb".
    void designerRecord()
    {
        const ControlInfo info = VYRQScrollBar::getProps();
        QCOMPARE(QString::fromStdString(info.typeKey), QStringLiteral("qtscrollbar"));
        QCOMPARE(QString::fromStdString(info.className), QStringLiteral("VYRQScrollBar"));
        QCOMPARE(QString::fromStdString(info.category), QStringLiteral("scrollbar"));
        QStringList rows;
        for (const PropertyDef& row : info.rows)
            rows << QStringLiteral("%1:%2").arg(row.name).arg(row.kind);
        QCOMPARE(rows, (QStringList{"Name:0", "Type:2", "Visibility:3", "Enable:3", "Tooltip:1", "Alpha:10", "Line:4",
                                    "Background:5", "UpButton:5", "DownButton:5", "Thumb:5", "Thumb:9"}));

        VYRQScrollBar bar;
        const PropertyDef& thumb = info.rows[10];
        QCOMPARE(thumb.optionLabels.size(), 4);
        thumb.setFill(&bar, Hot, solid("B", green));
        QCOMPARE(bar.getScrollbarThumb(Hot).name, QStringLiteral("B"));
        QCOMPARE(thumb.getFill(&bar, Hot).name, QStringLiteral("B"));
        info.rows[11].setText(&bar, QStringLiteral("t.svg"));
        QCOMPARE(bar.getScrollbarThumbIcon(), QStringLiteral("t.svg"));
        QCOMPARE(info.rows[7].optionLabels, (QVector<QString>{"Normal", "Disable"}));
    }

    void perStateSettersAndGettersClamp()
    {
        VYRQScrollBar bar;
        using Set = void (VYRQScrollBar::*)(CtrlState, const FillStyle&);
        using Get = const FillStyle& (VYRQScrollBar::*)(CtrlState) const;
        const QVector<QPair<Set, Get>> parts = {
            {&VYRQScrollBar::setScrollbarUpButton, &VYRQScrollBar::getScrollbarUpButton},
            {&VYRQScrollBar::setScrollbarDownButton, &VYRQScrollBar::getScrollbarDownButton},
            {&VYRQScrollBar::setScrollbarThumb, &VYRQScrollBar::getScrollbarThumb}};
        for (const auto& p : parts) {
            (bar.*p.first)(AllStates, solid("A", red));
            for (int s = 0; s < CtrlStateCount; ++s)
                QCOMPARE((bar.*p.second)(CtrlState(s)).name, QStringLiteral("A"));
            (bar.*p.first)(Pressed, solid("B", green));
            // Out-of-range states within the enumeration's value range (0 to 7).
            (bar.*p.first)(CtrlState(5), solid("X", blue));
            (bar.*p.first)(CtrlState(7), solid("X", blue));
            QCOMPARE((bar.*p.second)(Normal).name, QStringLiteral("A"));
            QCOMPARE((bar.*p.second)(Pressed).name, QStringLiteral("B"));
            QCOMPARE((bar.*p.second)(Disable).name, QStringLiteral("A"));
            QCOMPARE((bar.*p.second)(CtrlState(4)).name, QStringLiteral("A"));
            QCOMPARE((bar.*p.second)(CtrlState(6)).name, QStringLiteral("A"));
        }
        bar.setScrollbarBackground(CommonDisable, solid("C", blue));
        QCOMPARE(bar.getScrollbarBackground(CommonNormal).name, QStringLiteral("C"));
    }

    void iconsAndThickness()
    {
        VYRQScrollBar bar;
        bar.setScrollbarBtnIcon(true, QStringLiteral("up.png"));
        bar.setScrollbarBtnIcon(false, QStringLiteral("down.png"));
        bar.setScrollbarThumbIcon(QStringLiteral("thumb.svg"));
        QCOMPARE(bar.getScrollbarBtnIcon(true), QStringLiteral("up.png"));
        QCOMPARE(bar.getScrollbarBtnIcon(false), QStringLiteral("down.png"));
        QCOMPARE(bar.getScrollbarThumbIcon(), QStringLiteral("thumb.svg"));
        IconStyleDesc style;
        style.x = 3;
        bar.setScrollbarIconStyle(false, style);
        QCOMPARE(bar.getScrollbarIconStyle(false).x, 3);
        QCOMPARE(bar.getScrollbarIconStyle(true).x, 0);

        const QSize qtHint = bar.QScrollBar::sizeHint();
        QCOMPARE(bar.sizeHint(), qtHint);
        QCOMPARE(bar.getWidthHeight(), -1);
        bar.setWidthHeight(12);
        QCOMPARE(bar.sizeHint(), QSize(12, qtHint.height()));
        bar.setOrientation(Qt::Horizontal);
        QCOMPARE(bar.sizeHint(), QSize(bar.QScrollBar::sizeHint().width(), 12));
    }

    void readsStyleSlots_data()
    {
        QTest::addColumn<QByteArray>("element");
        QTest::addColumn<QStringList>("thumb");   // Normal, Hot, Pressed, Disable

        QTest::newRow("hot before normal is overwritten")
            << QByteArray(R"({"style": [["A", 1, 11], ["B", 1, 10]]})") << QStringList{"B", "B", "B", "B"};
        QTest::newRow("normal fans out, hot after it stays")
            << QByteArray(R"({"style": [["B", 1, 10], ["A", 1, 11]]})") << QStringList{"B", "A", "B", "B"};
        QTest::newRow("unknown name changes nothing")
            << QByteArray(R"({"style": [["B", 1, 10], ["Nope", 1, 13]]})") << QStringList{"B", "B", "B", "B"};
        QTest::newRow("disable slot") << QByteArray(R"({"style": [["B", 1, 10], ["C", 1, 13]]})")
                                      << QStringList{"B", "B", "B", "C"};
    }

    void readsStyleSlots()
    {
        QFETCH(QByteArray, element);
        QFETCH(QStringList, thumb);
        VYRQScrollBar bar;
        Json::Value value = parse(element.constData());
        QVERIFY(bar.readJsonValue(&value));
        QStringList got;
        for (int s = 0; s < CtrlStateCount; ++s)
            got << bar.getScrollbarThumb(CtrlState(s)).name;
        QCOMPARE(got, thumb);
    }

    void routesSlotsToParts()
    {
        VYRQScrollBar bar;
        Json::Value value = parse(R"({"style": [["A", 1, 0], ["C", 1, 1], ["B", 1, 2], ["C", 1, 4],
                                              ["C", 1, 6], ["A", 1, 9], ["A", 1, 14], ["C", 1, -1]]})");
        QVERIFY(bar.readJsonValue(&value));
        QCOMPARE(bar.getScrollbarBackground(CommonNormal).name, QStringLiteral("A"));
        QCOMPARE(bar.getScrollbarBackground(CommonNormal).fill.color, red);
        QCOMPARE(bar.getScrollbarUpButton(Normal).name, QStringLiteral("B"));
        QCOMPARE(bar.getScrollbarUpButton(Hot).name, QStringLiteral("B"));
        QCOMPARE(bar.getScrollbarUpButton(Pressed).name, QStringLiteral("C"));
        QCOMPARE(bar.getScrollbarUpButton(Disable).name, QStringLiteral("B"));
        QCOMPARE(bar.getScrollbarDownButton(Normal).name, QStringLiteral("C"));
        QCOMPARE(bar.getScrollbarDownButton(Pressed).name, QStringLiteral("C"));
        QCOMPARE(bar.getScrollbarDownButton(Disable).name, QStringLiteral("A"));
        QCOMPARE(bar.getScrollbarThumb(Normal).name, QString());
    }

    void writerCompaction_data()
    {
        QTest::addColumn<QStringList>("states");   // up button: Normal, Hot, Pressed, Disable
        QTest::addColumn<QStringList>("written");

        QTest::newRow("one style everywhere") << QStringList{"A", "A", "A", "A"} << QStringList{"A:2"};
        QTest::newRow("hot differs") << QStringList{"A", "C", "A", "A"} << QStringList{"A:2", "C:3", "A:4", "A:5"};
        QTest::newRow("names differ, look alike") << QStringList{"B", "SameAsB", "B", "SameAsB"}
                                                  << QStringList{"B:2"};
        QTest::newRow("unnamed neighbours keep named states")
            << QStringList{"A", "", "C", ""} << QStringList{"A:2", "C:4"};
        QTest::newRow("nothing named") << QStringList{"", "", "", ""} << QStringList{};
    }

    // The writer keeps every named state a reader would otherwise lose to the Normal fan-out.
    void writerCompaction()
    {
        QFETCH(QStringList, states);
        QFETCH(QStringList, written);
        const QMap<QString, QColor> colours{{"A", red}, {"B", green}, {"C", blue}, {"SameAsB", green}};
        VYRQScrollBar bar;
        for (int s = 0; s < CtrlStateCount; ++s)
            bar.setScrollbarUpButton(CtrlState(s), states[s].isEmpty() ? FillStyle()
                                                                       : solid(states[s], colours[states[s]]));
        const Json::Value out = write(bar);
        QVERIFY(out.isMember("style"));
        if (written.isEmpty()) {
            QVERIFY(out["style"].isNull());
            return;
        }
        QCOMPARE(names(out["style"]), written);
        for (const Json::Value& entry : out["style"])
            QCOMPARE(entry[1].asInt(), 1);

        // What is written reads back to the same looks.
        VYRQScrollBar back;
        Json::Value in = out;
        QVERIFY(back.readJsonValue(&in));
        for (int s = 0; s < CtrlStateCount; ++s)
            if (!states[s].isEmpty())
                QCOMPARE(back.getScrollbarUpButton(CtrlState(s)).fill.color, colours[states[s]]);
    }

    void writesEverySlotInOrder()
    {
        VYRQScrollBar bar;
        bar.setScrollbarBackground(CommonNormal, solid("A", red));
        bar.setScrollbarUpButton(AllStates, solid("B", green));
        bar.setScrollbarDownButton(AllStates, solid("C", blue));
        bar.setScrollbarThumb(AllStates, solid("A", red));
        bar.setScrollbarThumb(Hot, solid("B", green));
        QCOMPARE(names(write(bar)["style"]),
                 (QStringList{"A:0", "B:2", "C:6", "A:10", "B:11", "A:12", "A:13"}));
    }

    void writesAttr()
    {
        VYRQScrollBar bar;
        Json::Value out = write(bar);
        QVERIFY(out.isMember("attr"));
        QVERIFY(out["attr"].isNull());

        bar.setOrientation(Qt::Horizontal);
        bar.setScrollbarThumbIcon(QStringLiteral("thumb.png"));
        bar.setScrollbarBtnIcon(true, QString::fromUtf8("\xe4\xb8\x8a.png"));
        out = write(bar);
        QCOMPARE(out["attr"]["hor"].asInt(), 1);
        QVERIFY(out["attr"]["hor"].isIntegral());
        QCOMPARE(QString::fromStdString(out["attr"]["thumbicon"].asString()), QStringLiteral("thumb.png"));
        QCOMPARE(QString::fromUtf8(out["attr"]["upicon"].asCString()), QString::fromUtf8("\xe4\xb8\x8a.png"));
        QVERIFY(!out["attr"].isMember("downicon"));

        VYRQScrollBar back;
        QVERIFY(back.readJsonValue(&out));
        QCOMPARE(back.orientation(), Qt::Horizontal);
        QCOMPARE(back.getScrollbarThumbIcon(), QStringLiteral("thumb.png"));
        QCOMPARE(back.getScrollbarBtnIcon(true), QString::fromUtf8("\xe4\xb8\x8a.png"));
        QCOMPARE(write(back)["attr"], out["attr"]);
    }

    void attrClearsMissingIcons()
    {
        VYRQScrollBar bar;
        bar.setScrollbarBtnIcon(true, QStringLiteral("up.png"));
        bar.setScrollbarBtnIcon(false, QStringLiteral("down.png"));
        Json::Value value = parse(R"({"attr": {"thumbicon": "t.png"}})");
        QVERIFY(bar.readJsonValue(&value));
        QCOMPARE(bar.getScrollbarThumbIcon(), QStringLiteral("t.png"));
        QVERIFY(bar.getScrollbarBtnIcon(true).isEmpty());
        QVERIFY(bar.getScrollbarBtnIcon(false).isEmpty());
        QCOMPARE(bar.orientation(), Qt::Vertical);

        // Without "attr" the icons stay.
        bar.setScrollbarBtnIcon(true, QStringLiteral("up.png"));
        Json::Value none = parse(R"({"style": []})");
        QVERIFY(bar.readJsonValue(&none));
        QCOMPARE(bar.getScrollbarBtnIcon(true), QStringLiteral("up.png"));

        Json::Value vertical = parse(R"({"attr": {"hor": false}})");
        bar.setOrientation(Qt::Horizontal);
        QVERIFY(bar.readJsonValue(&vertical));
        QCOMPARE(bar.orientation(), Qt::Vertical);
    }

    // "hor" in a page element turns the bar; in the theme element it is ignored.
    void themeCannotChangeOrientation()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QFile style(dir.filePath("style.json"));
        QVERIFY(style.open(QIODevice::WriteOnly));
        style.write(R"({"style": [{"type": 1, "name": "ThemeThumb", "clr": "FF00FF00"}]})");
        style.close();
        QFile theme(dir.filePath("theme.json"));
        QVERIFY(theme.open(QIODevice::WriteOnly));
        theme.write(R"({"elements": [{"child": [
            {"name": "qtscrollbar", "style": [["ThemeThumb", 1, 10]], "attr": {"hor": true, "thumbicon": "t.png"}}]}]})");
        theme.close();
        QVERIFY(vyrLoadThemeDir(dir.path().toUtf8().constData()));

        VYRQScrollBar bar;
        QCOMPARE(bar.orientation(), Qt::Vertical);
        QCOMPARE(bar.getScrollbarThumbIcon(), QStringLiteral("t.png"));
        QCOMPARE(bar.getScrollbarThumb(Pressed).name, QStringLiteral("ThemeThumb"));

        Json::Value page = parse(R"({"attr": {"hor": true}})");
        QVERIFY(bar.readJsonValue(&page));
        QCOMPARE(bar.orientation(), Qt::Horizontal);

        QWidget window;
        VYRQResourceManager::getInstance()->registerWindow(&window);
        auto* live = new VYRQScrollBar(Qt::Horizontal, &window);
        QVERIFY(vyrNotifyThemeChange());
        QCOMPARE(live->orientation(), Qt::Horizontal);
        VYRQResourceManager::getInstance()->unregisterWindow(&window);
    }
};

QTEST_MAIN(tst_ScrollBar)
#include "tst_scrollbar.moc"
