// The contract every registered control keeps: its type key, its implementation
// object's key, its designer record, the jsonData property, a finished construction
// and a save / load / save round trip that is stable.

#include "IVYRQWidgetBase.h"
#include "VYRQGlobal.h"
#include "VYRQGlobal_p.h"
#include "VYRQJson.h"
#include "VYRQWidgetBaseImpl.h"

#include <QApplication>
#include <QHash>
#include <QMetaObject>
#include <QWidget>
#include <QtTest>

#include <json/value.h>

#include <memory>

namespace {

// The documented exceptions: a rich label has no meta-object of its own, the design
// canvas an implementation object without a type key, the page frame ("Window")
// is a plain widget that stands for a page's window, not a control, and the property
// list's designer record names the class designer files have always known it by.
const QStringList withoutJsonData{"qtlabelex"};
const QStringList withoutImplKey{"canvas"};
const QStringList frames{"Window"};
const QHash<QString, QString> recordClassNames{{"qtproperty", "VYRQProperty"}};

struct Built {
    std::unique_ptr<QWidget> widget;
    IVYRQWidgetBase* control = nullptr;
};

Built build(const QString& key)
{
    Built b;
    b.widget.reset(createControlByType(key.toUtf8().constData(), nullptr));
    b.control = dynamic_cast<IVYRQWidgetBase*>(b.widget.get());
    return b;
}

Json::Value written(IVYRQWidgetBase* control)
{
    Json::Value value(Json::objectValue);
    control->serializeJsonValue(&value, false);
    return value;
}

} // namespace

class tst_ControlContract : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        QVERIFY(vyr::registeredKeys().size() > 20);
    }

    void everyRegisteredKey_data()
    {
        QTest::addColumn<QString>("key");
        for (const QString& key : vyr::registeredKeys())
            QTest::newRow(qPrintable(key)) << key;
    }

    void everyRegisteredKey()
    {
        QFETCH(QString, key);
        Built built = build(key);
        if (frames.contains(key)) {
            QVERIFY(built.widget && !built.control);
            return;
        }
        QVERIFY2(built.control, "the factory builds no library control");
        QWidget* widget = built.widget.get();
        IVYRQWidgetBase* control = built.control;

        // An alias builds the control of a key that is registered itself.
        const QString typeName = control->getTypeName();
        QVERIFY2(vyr::registeredKeys().contains(typeName), qPrintable(typeName));
        if (typeName != key)
            QCOMPARE(build(typeName).widget->metaObject(), widget->metaObject());

        VYRQWidgetBaseImpl* impl = control->getControlImpl();
        QVERIFY(impl);
        // A control class derived from another control keeps its base's implementation object.
        const QString implKey = impl->typeKey();
        if (implKey != typeName && !withoutImplKey.contains(typeName) && vyr::registeredKeys().contains(implKey))
            QVERIFY2(widget->inherits(build(implKey).widget->metaObject()->className()), qPrintable(implKey));
        else
            QCOMPARE(implKey, withoutImplKey.contains(typeName) ? QString() : typeName);
        QVERIFY2(impl->isConstructionFinished(), "the constructor does not end with finishConstruction()");
        QCOMPARE(VYRQWidgetBaseImpl::fromWidget(widget), impl);

        if (ControlInfo* info = vyrGetControlInfo(key)) {
            QCOMPARE(QString::fromStdString(info->typeKey), key);
            QCOMPARE(QString::fromStdString(info->className),
                     recordClassNames.value(key, QString::fromLatin1(widget->metaObject()->className())));
        }
        const bool jsonData = widget->metaObject()->indexOfProperty("jsonData") >= 0;
        QCOMPARE(jsonData, !withoutJsonData.contains(typeName));

        // Save, load into a fresh control, save again: the same element.
        widget->setObjectName(QStringLiteral("probe"));
        Json::Value first = written(control);
        QCOMPARE(QString::fromStdString(first["type"].asString()), typeName);
        Built copy = build(typeName);
        QVERIFY(copy.control->readJsonValue(&first));
        const Json::Value second = written(copy.control);
        QVERIFY2(second == first, (vyr::json::styledText(first) + "\n---\n" + vyr::json::styledText(second)).c_str());
    }
};

QTEST_MAIN(tst_ControlContract)
#include "tst_controlcontract.moc"
