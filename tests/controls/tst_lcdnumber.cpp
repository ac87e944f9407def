#include "controls_testutil.h"

#include "VYRQLCDNumber.h"

#include <QLineEdit>

using namespace ctl;
using sty::load;

namespace {
const QColor paper(1, 2, 3), red(255, 0, 0), blue(0, 0, 255);

int countPixels(const QImage& image, const QColor& color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += QColor(image.pixel(x, y)) == color;
    return n;
}
} // namespace

class tst_LCDNumber : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        sty::addFill("Back", red);
    }

    // The default fill is drawn behind the digits; a named one replaces it; "empty"
    // draws nothing. The digit colour arrives (in getColor too) only with a paint.
    void paintsBackgroundAndDigits()
    {
        VYRQLCDNumber lcd;
        lcd.resize(120, 40);
        lcd.display(88);
        const QColor before = lcd.getColor();
        lcd.setColor(blue);
        QCOMPARE(lcd.getColor(), before);
        QImage image = render(lcd, paper);
        QCOMPARE(pixel(image, 1, 1), QColor(Qt::white));
        QVERIFY(countPixels(image, blue) > 20);
        QCOMPARE(lcd.getColor(), blue);
        lcd.setBackground(CommonDisable, sty::solid("Back", red));
        QCOMPARE(pixel(render(lcd, paper), 1, 1), red);
        QVERIFY(load(lcd, R"({"style": [["empty", 1, 0]]})"));
        QCOMPARE(pixel(render(lcd, paper), 1, 1), paper);
    }

    void keepsTheGivenText_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* text : {"12:30", "007"})
            QTest::newRow(text) << QString::fromLatin1(text);
    }

    // A text given through setNumText or "text" is written back as given, not as the
    // value QLCDNumber parsed from it.
    void keepsTheGivenText()
    {
        QFETCH(QString, text);
        VYRQLCDNumber lcd;
        lcd.setNumText(text);
        Json::Value out = write(lcd);
        QCOMPARE(str(out["attr"]["text"]), text);
        VYRQLCDNumber copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(copy.getNumText(), text);
    }

    // Once a number is shown, however it got there, the number is reported; a text
    // slot connected by name reaches the control's own slot.
    void numbersReplaceTheGivenText()
    {
        VYRQLCDNumber lcd;
        lcd.setNumText(QStringLiteral("007"));
        static_cast<QLCDNumber&>(lcd).display(42);
        QCOMPARE(lcd.getNumText(), QStringLiteral("42"));
        lcd.setNumText(QStringLiteral("007"));
        lcd.setHexMode(); // redisplays the value in the new base
        QCOMPARE(lcd.getNumText(), QStringLiteral("7"));
        QLineEdit source;
        QVERIFY(connect(&source, SIGNAL(textChanged(QString)), &lcd, SLOT(display(QString))));
        source.setText(QStringLiteral("09:15"));
        QCOMPARE(lcd.getNumText(), QStringLiteral("09:15"));
    }

    // Digits are opaque: the colour text's alpha is dropped.
    void jsonRoundTrip()
    {
        VYRQLCDNumber lcd;
        QVERIFY(write(lcd)["style"].isNull());
        lcd.setDigitCount(7);
        lcd.setBackground(CommonNormal, sty::solid("Back", red));
        lcd.setColor(QColor(0x10, 0x20, 0x30));
        lcd.display(3.5);
        render(lcd, paper);
        Json::Value out = write(lcd);
        QCOMPARE(out["style"], parse(R"([["Back", 1, 0]])"));
        QCOMPARE(out["attr"], parse(R"({"digitCount": 7, "color": "FF102030", "text": "3.5"})"));
        VYRQLCDNumber copy;
        QVERIFY(copy.readJsonValue(&out));
        render(copy, paper);
        QCOMPARE(write(copy), out);
        QVERIFY(load(copy, R"({"attr": {"color": "40FF0000"}})"));
        render(copy, paper);
        QCOMPARE(copy.getColor(), red);
    }
};

VYR_TEST_SUITE(tst_LCDNumber, 2)
#include "tst_lcdnumber.moc"
