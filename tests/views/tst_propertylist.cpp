#include "../controls/controls_testutil.h"

#include "VYRQCheckBox.h"
#include "VYRQContainer.h"
#include "VYRQLabel.h"
#include "VYRQLineEdit.h"
#include "VYRQPropertyList.h"
#include "VYRQPropertyRows.h"
#include "VYRQPushButton.h"
#include "VYRQSpinBox.h"

#include <algorithm>
#include <memory>

Q_DECLARE_METATYPE(PropertyDef*)

namespace {

// A record of what reached a definition's setters.
struct Target : QObject {
    QStringList texts;
    QList<int> ints;
    QList<bool> bools;
    int value = 0;
};

PropertyDef textDef(Target& target, const char* name)
{
    PropertyDef def;
    def.name = QString::fromLatin1(name);
    def.kind = PropertyDef::Text;
    def.target = &target;
    def.getText = [](QObject*) { return QStringLiteral("start"); };
    def.setText = [](QObject* o, const QString& text) { static_cast<Target*>(o)->texts << text; };
    return def;
}

PropertyDef intDef(Target& target, int minimum = -10000, int maximum = 10000)
{
    PropertyDef def;
    def.name = QStringLiteral("Number");
    def.kind = PropertyDef::Integer;
    def.target = &target;
    def.minimum = minimum;
    def.maximum = maximum;
    def.getInt = [](QObject* o) { return static_cast<Target*>(o)->value; };
    def.setInt = [](QObject* o, int v) { static_cast<Target*>(o)->ints << v; };
    return def;
}

PropertyDef boolDef(Target& target)
{
    PropertyDef def;
    def.name = QStringLiteral("Flag");
    def.kind = PropertyDef::Bool;
    def.target = &target;
    def.getBool = [](QObject*) { return true; };
    def.setBool = [](QObject* o, bool on) { static_cast<Target*>(o)->bools << on; };
    return def;
}

// The row containers in use, top to bottom.
QList<VYRQContainer*> shownRows(VYRQPropertyList& list)
{
    QList<VYRQContainer*> rows;
    for (VYRQContainer* c : list.findChildren<VYRQContainer*>()) {
        if (c->parentWidget() && !qobject_cast<VYRQContainer*>(c->parentWidget()) && !c->isHidden())
            rows << c;
    }
    std::sort(rows.begin(), rows.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    return rows;
}

} // namespace

class tst_PropertyList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        VYRQtLib::init();
        qRegisterMetaType<PropertyDef*>();
    }

    void rowPlacesAndPooling()
    {
        Target target;
        VYRQPropertyList list;
        list.resize(300, 200);
        const PropertyDef flag = boolDef(target);
        const PropertyDef text = textDef(target, "Text");
        const PropertyDef number = intDef(target);
        list.addItem(flag);
        list.addItem(text);
        list.addItem(number);
        QWidget* content = shownRows(list).first()->parentWidget();
        QCOMPARE(content->size(), QSize(300, 90));
        QList<int> tops;
        for (QWidget* row : shownRows(list))
            tops << row->y();
        QCOMPARE(tops, (QList<int>{0, 30, 60}));

        PropertyDef size;
        size.kind = PropertyDef::Size;
        PropertyDef margins;
        margins.kind = PropertyDef::Margins;
        PropertyDef choice;
        choice.kind = PropertyDef::Enumeration;
        list.addItem(size);
        list.addItem(margins);
        list.addItem(choice);
        QCOMPARE(content->height(), 90);

        list.removeAll();
        QVERIFY(shownRows(list).isEmpty());
        const PropertyDef first = textDef(target, "First");
        const PropertyDef second = textDef(target, "Second");
        list.addItem(first);
        list.addItem(second);
        const QList<VYRQLineEdit*> edits = list.findChildren<VYRQLineEdit*>();
        QCOMPARE(edits.size(), 2);
        QCOMPARE(shownRows(list).at(0)->findChild<VYRQLineEdit*>(), edits.at(0)); // the pooled row first
        QCOMPARE(shownRows(list).at(1)->y(), 30);
        QCOMPARE(content->size(), QSize(300, 60));
    }

    // Each edit writes the setter once and announces it once; loading writes nothing.
    void editsWriteBack()
    {
        Target target;
        target.value = 42;
        VYRQPropertyList list;
        QSignalSpy changed(&list, &VYRQPropertyList::valueChanged);
        const PropertyDef text = textDef(target, "Text");
        const PropertyDef number = intDef(target);
        const PropertyDef flag = boolDef(target);
        list.addItem(text);
        list.addItem(number);
        list.addItem(flag);
        QVERIFY(target.texts.isEmpty() && target.ints.isEmpty() && target.bools.isEmpty());
        QCOMPARE(changed.count(), 0);

        auto* edit = list.findChild<VYRQLineEdit*>();
        QCOMPARE(edit->text(), QStringLiteral("start"));
        QTest::keyClick(edit, Qt::Key_X);
        QCOMPARE(target.texts, QStringList{"startx"});
        auto* spin = list.findChild<VYRQSpinBox*>();
        QCOMPARE(spin->value(), 42);
        spin->setValue(7);
        QCOMPARE(target.ints, QList<int>{7});
        list.findChild<VYRQCheckBox*>()->setChecked(false);
        QCOMPARE(target.bools, QList<bool>{false});
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(0).at(0).value<PropertyDef*>(), &text);
    }

    // A pooled editor never writes through the definition it showed before: not when
    // its new range clamps the old value, not while it is hidden in the pool.
    void noWriteThroughStaleDefinition()
    {
        Target old;
        old.value = 500;
        Target next;
        next.value = 5;
        VYRQPropertyList list;
        auto before = std::make_unique<PropertyDef>(intDef(old, 0, 1000));
        const PropertyDef text = textDef(old, "Text");
        list.addItem(*before);
        list.addItem(text);
        list.removeAll();
        before.reset();
        list.findChild<VYRQLineEdit*>()->setText(QStringLiteral("while pooled"));
        const PropertyDef after = intDef(next, 0, 10);
        list.addItem(after);
        QVERIFY(old.ints.isEmpty());
        QVERIFY(old.texts.isEmpty());
        QVERIFY(next.ints.isEmpty());
        QCOMPARE(list.findChild<VYRQSpinBox*>()->value(), 5);
    }

    void styleRows()
    {
        VYRQPushButton button;
        FillStyle named;
        named.name = QStringLiteral("ButtonFill");
        button.setBackground(AllStates, named);
        ControlInfo info = VYRQPushButton::getProps();
        PropertyDef* background = nullptr;
        for (PropertyDef& def : info.rows) {
            def.target = &button;
            if (def.name == QLatin1String("Background"))
                background = &def;
        }
        QVERIFY(background);
        VYRQPropertyList list;
        QSignalSpy selected(&list, &VYRQPropertyList::selectEvent);
        QSignalSpy changed(&list, &VYRQPropertyList::valueChanged);
        list.addItem(*background);
        QVERIFY(list.findChildren<VYRQLabel*>().size() == 2);
        QCOMPARE(list.findChildren<VYRQLabel*>().at(1)->text(), QStringLiteral("ButtonFill"));
        list.findChild<VYRQPushButton*>()->click();
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.at(0).at(0).value<PropertyDef*>(), background);
        QCOMPARE(changed.count(), 0);
    }

    // The rows of a live button's designer record edit the button.
    void editsLiveButton()
    {
        VYRQPushButton button;
        button.setObjectName(QStringLiteral("ok"));
        ControlInfo info = VYRQPushButton::getProps();
        VYRQPropertyList list;
        list.resize(300, 600);
        for (PropertyDef& def : info.rows) {
            def.target = &button;
            list.addItem(def);
        }
        auto* name = list.findChild<VYRQLineEdit*>();
        QCOMPARE(name->text(), QStringLiteral("ok"));
        name->setText(QStringLiteral("cancel"));
        QCOMPARE(button.objectName(), QStringLiteral("cancel"));

        QSpinBox* fade = nullptr;
        for (VYRQSpinBox* spin : list.findChildren<VYRQSpinBox*>()) {
            if (spin->value() == button.getFadeDuration())
                fade = spin;
        }
        QVERIFY(fade);
        fade->setValue(321);
        QCOMPARE(button.getFadeDuration(), 321);

        QCheckBox* draw = nullptr;
        for (VYRQCheckBox* check : list.findChildren<VYRQCheckBox*>()) {
            const QList<VYRQLabel*> labels = check->parentWidget()->findChildren<VYRQLabel*>();
            if (!labels.isEmpty() && labels.first()->text() == QLatin1String("DrawBackground"))
                draw = check;
        }
        QVERIFY(draw && draw->isChecked());
        draw->setChecked(false);
        QVERIFY(!button.getDrawBackground());
    }

    void typeKey()
    {
        QWidget host;
        QWidget* built = createElementFromJson(ctl::parse(R"({"type": "property"})"), &host);
        auto* list = qobject_cast<VYRQPropertyList*>(built);
        QVERIFY(list);
        QCOMPARE(ctl::write(*list)["type"], Json::Value("qtproperty"));
    }
};

QTEST_MAIN(tst_PropertyList)
#include "tst_propertylist.moc"
