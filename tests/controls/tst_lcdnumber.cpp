#include "VYRQGlobal.h"
#include "VYRQLCDNumber.h"
#include "VYRQResourceManager.h"
#include "controls_testutil.h"

#include <QLineEdit>
#include <QtTest>

namespace {

const QColor paper(1, 2, 3);
const QColor red(255, 0, 0);
const QColor blue(0, 0, 255);

FillStyle solid(const QString& name, const QColor& color)
{
    FillStyle style;
    style.name = name;
    style.fill.color = color;
    return style;
}

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
        FillStyle back = solid("Back", red);
        VYRQResourceManager::getInstance()->setFillStyle("Back", back);
    }

    void backgroundBehindTheDigits()
    {
        VYRQLCDNumber lcd;
        QCOMPARE(lcd.frameStyle(), 0);
        lcd.resize(120, 40);
        lcd.display(8);
        // The default fill is drawn; a named one replaces it; "empty" draws nothing.
        QCOMPARE(ctl::pixel(ctl::render(lcd, paper), 1, 1), QColor(255, 255, 255));
        lcd.setBackground(CommonDisable, solid("Back", red));
        QCOMPARE(ctl::pixel(ctl::render(lcd, paper), 1, 1), red);
        Json::Value element = ctl::parse(R"({"style": [["empty", 1, 0]]})");
        QVERIFY(lcd.readJsonValue(&element));
        QCOMPARE(ctl::pixel(ctl::render(lcd, paper), 1, 1), paper);
    }

    // The colour reaches the digits (and getColor) only through a paint.
    void digitColourArrivesWithAPaint()
    {
        VYRQLCDNumber lcd;
        lcd.resize(120, 40);
        lcd.display(88);
        const QColor before = lcd.getColor();
        QCOMPARE(countPixels(ctl::render(lcd, paper), blue), 0);
        lcd.setColor(blue);
        QCOMPARE(lcd.getColor(), before);
        const QImage image = ctl::render(lcd, paper);
        QCOMPARE(lcd.getColor(), blue);
        QVERIFY(countPixels(image, blue) > 20);
    }

    void keepsTheGivenText_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* text : {"12:30", "007", "3.5", "-4", "12"})
            QTest::newRow(text) << QString::fromLatin1(text);
    }

    // A text given through setNumText or "text" is written back as given, not as the
    // value QLCDNumber parsed from it.
    void keepsTheGivenText()
    {
        QFETCH(QString, text);
        VYRQLCDNumber lcd;
        lcd.setNumText(text);
        QCOMPARE(lcd.getNumText(), text);
        Json::Value out = ctl::write(lcd);
        QCOMPARE(ctl::str(out["attr"]["text"]), text);
        VYRQLCDNumber copy;
        QVERIFY(copy.readJsonValue(&out));
        QCOMPARE(copy.getNumText(), text);
    }

    // Once a number is shown, however it got there, the number is reported.
    void numbersReplaceTheGivenText()
    {
        VYRQLCDNumber lcd;
        lcd.setNumText(QStringLiteral("007"));
        lcd.display(3.5);
        QCOMPARE(lcd.getNumText(), QStringLiteral("3.5"));
        lcd.setNumText(QStringLiteral("007"));
        static_cast<QLCDNumber&>(lcd).display(42);
        QCOMPARE(lcd.getNumText(), QStringLiteral("42"));
        lcd.setNumText(QStringLiteral("007"));
        lcd.setHexMode();   // redisplays the value in the new base
        QCOMPARE(lcd.getNumText(), QStringLiteral("7"));

        // Old-style connections by slot name reach the control's own slot.
        QLineEdit source;
        QVERIFY(connect(&source, SIGNAL(textChanged(QString)), &lcd, SLOT(display(QString))));
        source.setText(QStringLiteral("09:15"));
        QCOMPARE(lcd.getNumText(), QStringLiteral("09:15"));
    }

    void jsonRoundTrip()
    {
        VYRQLCDNumber lcd;
        QVERIFY(ctl::write(lcd)["style"].isNull());
        lcd.setDigitCount(7);
        lcd.setBackground(CommonNormal, solid("Back", red));
        lcd.setColor(QColor(0x10, 0x20, 0x30));
        lcd.display(3.5);
        ctl::render(lcd, paper);

        Json::Value out = ctl::write(lcd);
        QCOMPARE(out["style"], ctl::parse(R"([["Back", 1, 0]])"));
        QCOMPARE(out["attr"], ctl::parse(R"({"digitCount": 7, "color": "FF102030", "text": "3.5"})"));
        VYRQLCDNumber copy;
        QVERIFY(copy.readJsonValue(&out));
        ctl::render(copy, paper);
        QCOMPARE(ctl::write(copy)["attr"], out["attr"]);
        QCOMPARE(copy.getBackground(CommonNormal).name, QStringLiteral("Back"));

        // Digits are opaque: the colour text's alpha is dropped.
        Json::Value element = ctl::parse(R"({"attr": {"color": "40FF0000"}})");
        QVERIFY(copy.readJsonValue(&element));
        ctl::render(copy, paper);
        QCOMPARE(copy.getColor(), red);
    }

    void registration()
    {
        QVERIFY(qobject_cast<VYRQLCDNumber*>(QScopedPointer<QWidget>(createControlByType("qtlcdnumber", nullptr)).data()));
        const PropertyDef& text = vyrGetControlInfo(QStringLiteral("qtlcdnumber"))->rows.at(10);
        VYRQLCDNumber lcd;
        text.setText(&lcd, QStringLiteral("12:30"));
        QCOMPARE(text.getText(&lcd), QStringLiteral("12:30"));
    }
};

QTEST_MAIN(tst_LCDNumber)
#include "tst_lcdnumber.moc"
