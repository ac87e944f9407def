#include "VYRQStateStyles.h"

#include <QtTest>

Q_DECLARE_METATYPE(FillStyle)
Q_DECLARE_METATYPE(TextStyleDesc)

class tst_StateStyles : public QObject {
    Q_OBJECT
private slots:
    void getClampsAndSetIgnores();
    void readSlotFansOutNormal();
    void writeCompacts_data();
    void writeCompacts();
    void writeTextKindAndOffset();
    void writeThenReadKeepsLook();
    void fillAlike_data();
    void fillAlike();
    void textAlike_data();
    void textAlike();
    void appendIntoNonArray();
};

namespace {

FillStyle fill(const char* name, const QColor& color)
{
    FillStyle s;
    s.name = QString::fromLatin1(name);
    s.fill.color = color;
    return s;
}

QString entriesOf(const Json::Value& styles)
{
    QStringList out;
    for (Json::ArrayIndex i = 0; i < styles.size(); ++i)
        out << QStringLiteral("%1:%2:%3").arg(QString::fromStdString(styles[i][0].asString()))
                   .arg(styles[i][1].asInt()).arg(styles[i][2].asInt());
    return out.join(' ');
}

} // namespace

void tst_StateStyles::getClampsAndSetIgnores()
{
    vyr::FillStates states;
    QVERIFY(states.set(Hot, fill("hot", Qt::red)));
    QVERIFY(states.set(Normal, fill("normal", Qt::blue)));
    QCOMPARE(states.get(Hot).name, QStringLiteral("hot"));
    for (int bad : { -1, 4, 99 })
        QCOMPARE(states.get(bad).name, QStringLiteral("normal"));
    QCOMPARE(states.at(-5).name, QStringLiteral("normal"));

    QVERIFY(!states.set(5, fill("x", Qt::green)));
    QVERIFY(!states.set(-1, fill("x", Qt::green)));
    QVERIFY(states.set(AllStates, fill("all", Qt::green)));
    for (int s = Normal; s <= Disable; ++s)
        QCOMPARE(states.get(s).name, QStringLiteral("all"));

    // AllStates means nothing to a two-slot array.
    vyr::StateStyles<FillStyle, 2> pair;
    QVERIFY(!pair.set(AllStates, fill("x", Qt::green)));
    QCOMPARE(pair.get(2).name, QString());
}

void tst_StateStyles::readSlotFansOutNormal()
{
    vyr::FillStates states;
    states.readSlot(0, fill("n", Qt::red));
    states.readSlot(2, fill("p", Qt::blue));
    states.readSlot(7, fill("ignored", Qt::green));
    QCOMPARE(states.get(Hot).name, QStringLiteral("n"));
    QCOMPARE(states.get(Pressed).name, QStringLiteral("p"));
    QCOMPARE(states.get(Disable).name, QStringLiteral("n"));

    // A Normal entry read after another state overwrites it: order matters.
    states.readSlot(0, fill("n2", Qt::red));
    QCOMPARE(states.get(Pressed).name, QStringLiteral("n2"));
}

void tst_StateStyles::writeCompacts_data()
{
    QTest::addColumn<QVector<FillStyle>>("styles");
    QTest::addColumn<QString>("written");

    const FillStyle a = fill("A", Qt::red);
    const FillStyle alikeB = fill("B", Qt::red);
    const FillStyle b = fill("B", Qt::blue);
    const FillStyle c = fill("C", Qt::green);
    const FillStyle unnamedWhite;
    const FillStyle unnamedBlue = fill("", Qt::blue);

    QTest::newRow("all the same") << QVector<FillStyle>{ a, a, a, a } << "A:1:0";
    QTest::newRow("named neighbours differ") << QVector<FillStyle>{ a, b, a, a } << "A:1:0 B:1:1 A:1:2 A:1:3";
    QTest::newRow("names differ, looks alike") << QVector<FillStyle>{ a, alikeB, alikeB, a } << "A:1:0";
    QTest::newRow("unnamed Normal keeps a named Hot") << QVector<FillStyle>{ unnamedWhite, b, unnamedWhite,
                                                                            unnamedWhite }
                                                      << "B:1:1";
    // No two named neighbours differ, yet Pressed is named and looks different.
    QTest::newRow("named state between unnamed ones") << QVector<FillStyle>{ a, unnamedBlue, c, unnamedBlue }
                                                      << "A:1:0 C:1:2";
    QTest::newRow("nothing named") << QVector<FillStyle>{ unnamedWhite, unnamedBlue, unnamedBlue, unnamedWhite }
                                   << "";
}

void tst_StateStyles::writeCompacts()
{
    QFETCH(QVector<FillStyle>, styles);
    QFETCH(QString, written);
    vyr::FillStates states;
    for (int s = 0; s < 4; ++s)
        states.set(s, styles[s]);
    Json::Value out(Json::arrayValue);
    states.write(out, 0);
    QCOMPARE(entriesOf(out), written);
}

void tst_StateStyles::writeTextKindAndOffset()
{
    vyr::TextStates texts;
    TextStyleDesc t;
    t.name = "T";
    texts.set(AllStates, t);
    Json::Value out(Json::arrayValue);
    texts.write(out, 4);
    QCOMPARE(entriesOf(out), QStringLiteral("T:2:4"));
}

void tst_StateStyles::writeThenReadKeepsLook()
{
    const FillStyle a = fill("A", Qt::red);
    const FillStyle c = fill("C", Qt::green);
    vyr::FillStates states;
    states.set(AllStates, a);
    states.set(Pressed, c);
    Json::Value out(Json::arrayValue);
    states.write(out, 0);

    vyr::FillStates read;
    for (Json::ArrayIndex i = 0; i < out.size(); ++i) {
        const QString name = QString::fromStdString(out[i][0].asString());
        read.readSlot(out[i][2].asInt(), name == "A" ? a : c);
    }
    for (int s = Normal; s <= Disable; ++s)
        QCOMPARE(read.get(s).name, states.get(s).name);
}

void tst_StateStyles::fillAlike_data()
{
    QTest::addColumn<FillStyle>("other");
    QTest::addColumn<bool>("alike");

    const FillStyle base = fill("base", Qt::red);
    FillStyle s = base;
    s.name = "renamed";
    QTest::newRow("name only") << s << true;
    s = base;
    s.draw = false;
    QTest::newRow("draw flag") << s << false;
    s = base;
    s.fill.color2 = Qt::blue;
    QTest::newRow("second colour") << s << false;
    s = base;
    s.fill.spare = 3;
    QTest::newRow("spare integer") << s << false;
    s = base;
    s.fill.roundBottomLeft = false;
    QTest::newRow("corner flag") << s << false;
    s = base;
    s.fill.bottomBorder = false;
    QTest::newRow("side flag") << s << false;
    s = base;
    s.image = "x.png";
    QTest::newRow("image ignored in colour mode") << s << true;
    s = base;
    s.colorMode = false;
    QTest::newRow("mode") << s << false;
}

void tst_StateStyles::fillAlike()
{
    QFETCH(FillStyle, other);
    QFETCH(bool, alike);
    const FillStyle base = fill("base", Qt::red);
    QCOMPARE(vyr::fillAlike(base, other), alike);
    QCOMPARE(vyr::fillAlike(other, base), alike);

    // In image mode only the image counts.
    FillStyle img1 = base, img2 = other;
    img1.colorMode = img2.colorMode = false;
    img1.image = img2.image = "a.png";
    img2.draw = img1.draw;
    QVERIFY(vyr::fillAlike(img1, img2));
    img2.image = "b.png";
    QVERIFY(!vyr::fillAlike(img1, img2));
}

void tst_StateStyles::textAlike_data()
{
    QTest::addColumn<TextStyleDesc>("other");
    QTest::addColumn<bool>("alike");
    TextStyleDesc t;
    t.name = "other";
    QTest::newRow("name only") << t << true;
    t = TextStyleDesc();
    t.singleLine = false;
    QTest::newRow("single line is not painted") << t << true;
    t = TextStyleDesc();
    t.color = Qt::red;
    QTest::newRow("colour") << t << false;
    t = TextStyleDesc();
    t.elideMode = 3;
    QTest::newRow("elide mode") << t << false;
    t = TextStyleDesc();
    t.isHor = false;
    QTest::newRow("vertical") << t << false;
    t = TextStyleDesc();
    t.family = "Other";
    QTest::newRow("family") << t << false;
}

void tst_StateStyles::textAlike()
{
    QFETCH(TextStyleDesc, other);
    QFETCH(bool, alike);
    QCOMPARE(vyr::textAlike(TextStyleDesc(), other), alike);
}

void tst_StateStyles::appendIntoNonArray()
{
    Json::Value value(Json::objectValue);
    vyr::appendStyleEntry(value, "n", 1, 2);
    QVERIFY(value.isArray());
    QCOMPARE(entriesOf(value), QStringLiteral("n:1:2"));
}

QTEST_GUILESS_MAIN(tst_StateStyles)
#include "tst_statestyles.moc"
