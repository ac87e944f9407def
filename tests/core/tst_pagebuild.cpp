// A page element's control is constructed under its page parent. These tests build the
// same page a second way, each control made parentless by its factory and reparented
// before its read, and require every widget of both trees to end in the same state.
#include "../controls/controls_testutil.h"
#include "VYRQChartRegistry.h"
#include "VYRQContainer.h"
#include "VYRQControl.h"
#include "VYRQGlobal_p.h"
#include "VYRQScrollBar.h"
#include "VYRQWidgetBaseImpl.h"

#include <QPointer>

#include <memory>

namespace {

class NestingControl;
class NestingImpl : public VYRQWidgetBaseImpl {
public:
    explicit NestingImpl(QWidget* owner) : VYRQWidgetBaseImpl(owner, QStringLiteral("testnesting")) {}
};

// A control that builds another of its own type in its constructor.
class NestingControl : public VYRQControl<NestingControl, QWidget, NestingImpl> {
    Q_OBJECT
    VYR_CONTROL(NestingControl, "testnesting")
public:
    explicit NestingControl(QWidget* parent, bool outer = true)
        : VYRQControl(parent)
    {
        finishConstruction();
        if (outer)
            inner.reset(new NestingControl(nullptr, false));
    }
    std::unique_ptr<NestingControl> inner;
};
ControlInfo NestingControl::getProps() { return vyr::makeControlInfo<NestingControl>("Nesting", "", "Test"); }

// The factory builds a helper control of the same type before the element's own.
QPointer<NestingControl> g_helper;
QWidget* createAfterHelper()
{
    g_helper = new NestingControl(nullptr, false);
    return new NestingControl(nullptr, false);
}

// The class each child had when its parent was told of it, by object name (set later,
// so recorded once the build is over).
class ArrivalRecorder : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            QObject* child = static_cast<QChildEvent*>(event)->child();
            if (child->isWidgetType())
                arrivals.append({QPointer<QObject>(child), QString::fromLatin1(child->metaObject()->className())});
        }
        return false;
    }
    QString arrivedAs(const QWidget* widget) const
    {
        for (const auto& arrival : arrivals) {
            if (arrival.first == widget)
                return arrival.second;
        }
        return QString();
    }
    QVector<QPair<QPointer<QObject>, QString>> arrivals;
};

QPointer<QWidget> g_boundOther;
QWidget* boundCreate(const QString& name, const QString&)
{
    if (name == QLatin1String("bound"))
        return new QWidget;
    if (name == QLatin1String("boundElsewhere"))
        return new QWidget(g_boundOther);
    return nullptr;
}

// The builder as it was: factory without a parent, reparent, read, children, complete.
QWidget* buildReparented(const Json::Value& element, QWidget* parent)
{
    const std::string type = vyr::json::stringOr(element, "type").toStdString();
    QWidget* widget = boundCreate(vyr::json::stringOr(element, "name"), QString::fromStdString(type));
    if (widget)
        widget->setParent(parent);
    else
        widget = createControlByType(type.c_str(), parent);
    if (!widget)
        return nullptr;
    auto* control = dynamic_cast<IVYRQWidgetBase*>(widget);
    if (control) {
        VYRQResourceManager::getInstance()->setSwitchToThemeRes(false);
        control->readJsonValue(const_cast<Json::Value*>(&element));
    }
    if (const Json::Value* children = vyr::json::array(element, "child")) {
        const QStringList own = widget->property(vyr::ownChildTypesProperty).toStringList();
        for (const Json::Value& child : *children) {
            const QString childType = vyr::json::stringOr(child, "type");
            if (std::none_of(own.begin(), own.end(), [&](const QString& o) { return childType.contains(o); }))
                buildReparented(child, widget);
        }
    }
    if (control)
        control->createComplete();
    return widget;
}

QString variantText(const QByteArray& name, const QVariant& value)
{
    if (name == "impl")
        return QStringLiteral("impl:%1").arg(value.value<void*>() != nullptr);
    if (value.canConvert<QString>())
        return QString::fromLatin1(value.typeName()) + QLatin1Char(':') + value.toString();
    if (value.canConvert<QStringList>())
        return value.toStringList().join(QLatin1Char('|'));
    return QString::fromLatin1(value.typeName());
}

// Everything a caller can read off a widget that the way it was parented could change.
void describe(QWidget* w, const QString& path, QStringList& out)
{
    QStringList line;
    line << path << QString::fromLatin1(w->metaObject()->className()) << w->objectName();
    const QRect g = w->geometry();
    line << QStringLiteral("geo %1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
    line << QStringLiteral("hidden %1 visible %2 enabled %3").arg(w->isHidden()).arg(w->isVisible()).arg(w->isEnabled());
    QString attrs;
    for (int a = 0; a < Qt::WA_AttributeCount; ++a)
        attrs += w->testAttribute(Qt::WidgetAttribute(a)) ? QLatin1Char('1') : QLatin1Char('0');
    line << attrs << QString::number(int(w->windowFlags()), 16);
    line << QStringLiteral("min %1x%2 max %3x%4")
                .arg(w->minimumWidth()).arg(w->minimumHeight()).arg(w->maximumWidth()).arg(w->maximumHeight());
    line << QStringLiteral("policy %1/%2").arg(w->sizePolicy().horizontalPolicy()).arg(w->sizePolicy().verticalPolicy());
    const QPalette& pal = w->palette();
    QString colors = QString::number(qulonglong(pal.resolve()), 16);
    for (int g = 0; g < QPalette::NColorGroups; ++g) {
        for (int r = 0; r < QPalette::NColorRoles; ++r)
            colors += QLatin1Char(' ') + pal.color(QPalette::ColorGroup(g), QPalette::ColorRole(r)).name(QColor::HexArgb);
    }
    line << colors << w->font().toString() << QString::number(w->font().resolve(), 16) << w->styleSheet();
    for (const QByteArray& name : w->dynamicPropertyNames())
        line << QString::fromLatin1(name) + QLatin1Char('=') + variantText(name, w->property(name));
    out << line.join(QLatin1String(" | "));
    int index = 0;
    for (QObject* child : w->children()) {
        if (child->isWidgetType())
            describe(static_cast<QWidget*>(child), path + QLatin1Char('/') + QString::number(index++), out);
    }
}

QStringList describe(QWidget& host)
{
    QStringList out;
    describe(&host, QStringLiteral("host"), out);
    return out;
}

void compareTrees(const QStringList& built, const QStringList& reparented)
{
    QCOMPARE(built.size(), reparented.size());
    QStringList differ;
    for (int i = 0; i < built.size(); ++i) {
        if (built.at(i) != reparented.at(i))
            differ << built.at(i) << reparented.at(i);
    }
    QVERIFY2(differ.isEmpty(), qPrintable(differ.join(QLatin1String("\n"))));
}

const char* const pageJson = R"({"type": "qtcontainer", "name": "page", "x": 0, "y": 0, "w": 400, "h": 300,
  "attr": {"childLayout": 1},
  "child": [
    {"type": "qtlabel", "name": "ratioLabel", "layout": {"type": 0, "ratio": 1}, "attr": {"text": "Tag 7"}},
    {"type": "qtlabel", "name": "plainLabel"},
    {"type": "qtbutton", "name": "button", "layout": {"type": 0, "ratio": 2}, "widthPolicy": 1, "w": 80, "h": 24,
     "attr": {"text": "Start"}},
    {"type": "qtcontainer", "name": "inner", "x": 20, "y": 30, "w": 150, "h": 120, "absoluteLayout": true,
     "absoluteDockHor": 2, "absoluteDockVer": 1, "absoluteDockOffsetX": 5, "absoluteDockOffsetY": 3,
     "child": [
        {"type": "qtlabel", "name": "absLabel", "x": 4, "y": 6, "w": 60, "h": 20, "absoluteLayout": true},
        {"type": "qtlabel", "name": "hiddenLabel", "visibility": false},
        {"type": "qtcheckbox", "name": "check"},
        {"type": "qtcontainer", "name": "deep", "child": [{"type": "qtbutton", "name": "deepButton"}]}
     ]},
    {"type": "qtscrollbar", "name": "vbar", "w": 12, "h": 200},
    {"type": "qtscrollview", "name": "scroll", "w": 120, "h": 90},
    {"type": "qtcombobox", "name": "combo"},
    {"type": "qtslider", "name": "slider"},
    {"type": "qtdedit", "name": "edit"},
    {"type": "qtprogressbar", "name": "progress"},
    {"type": "qtgroupbox", "name": "group", "child": [{"type": "qtlabel", "name": "inGroup"}]},
    {"type": "qttab", "name": "tabs"},
    {"type": "label", "name": "alias"},
    {"type": "testnesting", "name": "nesting"},
    {"type": "testhelperfirst", "name": "helperFirst"},
    {"type": "qttree", "name": "tree"},
    {"type": "qtswitch", "name": "switch"},
    {"type": "qtspacer", "name": "spacer"},
    {"type": "qtribbonbar", "name": "ribbon"},
    {"type": "qtmenubar", "name": "menubar"},
    {"type": "qtlinechart", "name": "lineChart"},
    {"type": "qtbarchart", "name": "barChart"},
    {"type": "qtradiobox", "name": "radio"},
    {"type": "qtlcdnumber", "name": "lcd"},
    {"type": "qtpicture", "name": "picture"},
    {"type": "qtsplitter", "name": "splitter", "child": [{"type": "qtlabel", "name": "inSplitter"}]},
    {"type": "qtstackcontainer", "name": "stack", "child": [{"type": "qtbutton", "name": "inStack"}]},
    {"type": "qtlabel", "name": "bound"},
    {"type": "qtlabel", "name": "boundElsewhere"}
  ]})";

// The page parent's own state before the build.
enum class Host { Plain, Styled, Visible, StyleSheet };

void prepare(QWidget& host, Host kind)
{
    host.resize(640, 480);
    if (kind == Host::Styled) {
        QFont font = host.font();
        font.setPointSize(17);
        font.setItalic(true);
        host.setFont(font);
        QPalette pal = host.palette();
        pal.setColor(QPalette::WindowText, QColor(200, 10, 10));
        pal.setColor(QPalette::Button, QColor(10, 200, 10));
        host.setPalette(pal);
    } else if (kind == Host::StyleSheet) {
        host.setStyleSheet(QStringLiteral("QLabel { color: #123456; }"));
    } else if (kind == Host::Visible) {
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
    }
}

void bindBar(QWidget& host)
{
    auto* page = host.findChild<VYRQContainer*>(QStringLiteral("page"));
    auto* bar = host.findChild<VYRQScrollBar*>(QStringLiteral("vbar"));
    QVERIFY(page && bar);
    page->bindScrollBar(bar, false);
}

} // namespace

class tst_PageBuild : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        registerChartControls();
        vyr::registerControl<NestingControl>();
        vyrRegisterDefaultControl("testhelperfirst", &createAfterHelper);
    }

    void sameStateAsReparented_data()
    {
        QTest::addColumn<int>("host");
        QTest::newRow("plain parent") << int(Host::Plain);
        QTest::newRow("parent with font and palette") << int(Host::Styled);
        QTest::newRow("visible parent") << int(Host::Visible);
        QTest::newRow("parent with style sheet") << int(Host::StyleSheet);
    }

    void sameStateAsReparented()
    {
        QFETCH(int, host);
        const Json::Value element = ctl::parse(pageJson);
        QWidget other;
        g_boundOther = &other;
        vyrBindControlCreateFunction(&boundCreate);
        QWidget built;
        QWidget reparented;
        prepare(built, Host(host));
        prepare(reparented, Host(host));

        ArrivalRecorder recorder;
        qApp->installEventFilter(&recorder);
        QVERIFY(createElementFromJson(element, &built));
        qApp->removeEventFilter(&recorder);
        QVERIFY(g_helper && !g_helper->parentWidget());
        std::unique_ptr<NestingControl> helperBuilt(g_helper.data());
        QVERIFY(buildReparented(element, &reparented));
        std::unique_ptr<NestingControl> helperReparented(g_helper.data());
        vyrBindControlCreateFunction(nullptr);
        QVERIFY(other.children().isEmpty());

        auto* nesting = built.findChild<NestingControl*>(QStringLiteral("nesting"));
        QVERIFY(nesting && nesting->inner && !nesting->inner->parentWidget());
        QCOMPARE(nesting->inner->size(), QSize(640, 480));
        // Under a plain parent the element's control arrives unfinished (constructed
        // as the child); otherwise, and for the helper a factory built first, complete.
        const bool underParent = Host(host) == Host::Plain || Host(host) == Host::Visible;
        const char* const bare = "QWidget";
        auto arrived = [&](const char* name) {
            return recorder.arrivedAs(built.findChild<QWidget*>(QLatin1String(name)));
        };
        QCOMPARE(arrived("page"), underParent ? bare : "VYRQContainer");
        QCOMPARE(arrived("absLabel"), underParent ? bare : "VYRQLabel");
        QCOMPARE(arrived("deepButton"), underParent ? bare : "VYRQPushButton");
        QCOMPARE(arrived("nesting"), underParent ? bare : "NestingControl");
        QCOMPARE(arrived("helperFirst"), QStringLiteral("NestingControl"));
        QCOMPARE(arrived("alias"), QStringLiteral("VYRQLabel"));
        QCOMPARE(arrived("lineChart"), underParent ? bare : "VYRQLineChart");
        QCOMPARE(arrived("scroll"), QStringLiteral("VYRQScrollView"));
        QCOMPARE(arrived("spacer"), QStringLiteral("VYRQSpacer"));
        QCOMPARE(arrived("stack"), QStringLiteral("VYRQStackContainer"));

        compareTrees(describe(built), describe(reparented));
        bindBar(built);
        bindBar(reparented);
        compareTrees(describe(built), describe(reparented));

        built.show();
        reparented.show();
        QVERIFY(QTest::qWaitForWindowExposed(&built));
        QVERIFY(QTest::qWaitForWindowExposed(&reparented));
        QCoreApplication::processEvents();
        compareTrees(describe(built), describe(reparented));

        // A later resize goes through the same layout on both.
        built.resize(500, 360);
        reparented.resize(500, 360);
        QCoreApplication::processEvents();
        compareTrees(describe(built), describe(reparented));
    }

    // Outside the page builder a factory's control stays parentless.
    void factoryOutsideBuilder()
    {
        QWidget host;
        std::unique_ptr<QWidget> label(createControlByType("qtlabel", nullptr));
        QVERIFY(label && !label->parentWidget());
        QCOMPARE(label->size(), QSize(640, 480));
        std::unique_ptr<QWidget> viaType(createControlByType("qtlabel", &host));
        QCOMPARE(viaType->parentWidget(), &host);
    }
};

QTEST_MAIN(tst_PageBuild)
#include "tst_pagebuild.moc"
