#include "controls_testutil.h"

#include "VYRQGlobal.h"
#include "VYRQSpinBox.h"

#include <QLineEdit>
#include <QtTest>

using namespace ctl;

class tst_SpinBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void registeredWithoutRecord();
    void pageElementKeepsCommonKeysOnly();
    void transparentWithoutFrame();
};

void tst_SpinBox::initTestCase()
{
    VYRQtLib::init();
}

void tst_SpinBox::registeredWithoutRecord()
{
    for (const char* key : {"qtspinbox", "spinbox", "dnumedit"}) {
        QScopedPointer<QWidget> w(createControlByType(key, nullptr));
        QVERIFY2(qobject_cast<VYRQSpinBox*>(w.data()), key);
    }
    QVERIFY(!vyrGetControlInfo(QStringLiteral("qtspinbox")));
    QCOMPARE(QString::fromLatin1(VYRQSpinBox::typeName()), QStringLiteral("qtspinbox"));
}

void tst_SpinBox::pageElementKeepsCommonKeysOnly()
{
    VYRQSpinBox spin;
    spin.setObjectName(QStringLiteral("count"));
    spin.setValue(42);
    Json::Value out = write(spin);
    QCOMPARE(str(out["type"]), QStringLiteral("qtspinbox"));
    QCOMPARE(str(out["name"]), QStringLiteral("count"));
    QVERIFY(!out.isMember("style"));
    QVERIFY(!out.isMember("attr"));

    // Unknown "attr" keys go to the common store; the value is never read.
    Json::Value element = parse(R"({"name": "n", "attr": {"value": 7, "extra": "x"}})");
    VYRQSpinBox copy;
    QVERIFY(copy.readJsonValue(&element));
    QCOMPARE(copy.value(), 0);
    QCOMPARE(str(write(copy)["attr"]["extra"]), QStringLiteral("x"));
}

void tst_SpinBox::transparentWithoutFrame()
{
    VYRQSpinBox spin;
    QVERIFY(!spin.hasFrame());
    QCOMPARE(spin.styleSheet(), QStringLiteral("background-color: rgba(0, 0, 0, 0);"));
    spin.resize(80, 24);
    // Nothing of its own is painted: the paper shows where the arrows would be.
    const QImage image = render(spin, QColor(1, 2, 3));
    QCOMPARE(pixel(image, spin.width() - 3, 3), QColor(1, 2, 3));
}

QTEST_MAIN(tst_SpinBox)
#include "tst_spinbox.moc"
