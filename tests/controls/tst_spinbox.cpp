#include "controls_testutil.h"

#include "VYRQSpinBox.h"

using namespace ctl;

class tst_SpinBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { VYRQtLib::init(); }

    // Only the common keys are stored: the value is neither written nor read, unknown
    // "attr" keys go to the common store.
    void pageElementKeepsCommonKeysOnly()
    {
        VYRQSpinBox spin;
        spin.setValue(42);
        Json::Value out = write(spin);
        QVERIFY(!out.isMember("style") && !out.isMember("attr"));
        VYRQSpinBox copy;
        QVERIFY(sty::load(copy, R"({"name": "n", "attr": {"value": 7, "extra": "x"}})"));
        QCOMPARE(copy.value(), 0);
        QCOMPARE(str(write(copy)["attr"]["extra"]), QStringLiteral("x"));
    }

    // Frameless and nothing of its own painted: the paper shows where the arrows would be.
    void transparentWithoutFrame()
    {
        VYRQSpinBox spin;
        spin.resize(80, 24);
        QCOMPARE(pixel(render(spin, QColor(1, 2, 3)), spin.width() - 3, 3), QColor(1, 2, 3));
    }
};

VYR_TEST_SUITE(tst_SpinBox, 3)
#include "tst_spinbox.moc"
