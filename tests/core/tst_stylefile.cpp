#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"

#include <QtTest>

namespace {

struct Probe : VYRQResourceManager {
    using VYRQResourceManager::readStyle;
    using VYRQResourceManager::writeStyle;
};

Json::Value parsed(const char* text)
{
    Json::Value root;
    if (!vyr::json::parse(QByteArray(text), root))
        qFatal("bad JSON in test: %s", text);
    return root;
}

// Reads a "style" array text into a fresh set.
std::unique_ptr<VYRQResourceManagerImpl> readInto(Probe& rm, const char* styleArray)
{
    auto set = std::make_unique<VYRQResourceManagerImpl>();
    rm.readStyle(set.get(), parsed(styleArray));
    return set;
}

QStringList keysOf(const Json::Value& obj)
{
    QStringList keys;
    for (const std::string& k : obj.getMemberNames())
        keys << QString::fromStdString(k);
    keys.sort();
    return keys;
}

} // namespace

class tst_StyleFile : public QObject {
    Q_OBJECT
private slots:
    void fillEntryDefaults();
    void marginOrderAndScale_data();
    void marginOrderAndScale();
    void colourReadings_data();
    void colourReadings();
    void textEntryValues();
    void skippedEntries();
    void wrongTypesKeepDefaults();
    void sameNameReplacesInPlace();
    void emptyNameClearsDraw();
    void writeMinimalTextStyle();
    void writeFillStyleKeys();
    void roundTrip();
    void writeStyleRefusesBadTargets();
};

void tst_StyleFile::fillEntryDefaults()
{
    Probe rm;
    auto set = readInto(rm, R"([{"type": 1, "name": "plain"}])");
    const FillStyle* s = set->findFillStyle("plain");
    QVERIFY(s);
    QVERIFY(s->draw);
    QVERIFY(!s->colorMode);   // no "drawImg" means an image fill
    QVERIFY(!s->fill.border);
    QCOMPARE(s->fill.borderSize, 1);
    QCOMPARE(s->fill.color, QColor(255, 255, 255, 255));
    QCOMPARE(s->fill.borderColor, QColor(255, 255, 255, 255));
    QVERIFY(s->fill.leftBorder && s->fill.topBorder && s->fill.rightBorder && s->fill.bottomBorder);
    QVERIFY(s->fill.roundTopLeft && s->fill.roundTopRight && s->fill.roundBottomRight && s->fill.roundBottomLeft);
    QVERIFY(!s->imageDesc.repeatLeft && !s->imageDesc.repeatRight && !s->imageDesc.repeatTop
            && !s->imageDesc.repeatBottom && !s->imageDesc.repeatCenter);
    QCOMPARE(s->imageDesc.top + s->imageDesc.right + s->imageDesc.bottom + s->imageDesc.left, 0);
    QVERIFY(!s->fill.gradient);
}

void tst_StyleFile::marginOrderAndScale_data()
{
    QTest::addColumn<QString>("margin");
    QTest::addColumn<float>("scale");
    QTest::addColumn<QList<int>>("trbl");

    QTest::newRow("order") << "[1, 2, 3, 4]" << 1.0f << QList<int>{ 1, 2, 3, 4 };
    QTest::newRow("large scale ignored") << "[1, 2, 3, 4]" << 100.0f << QList<int>{ 1, 2, 3, 4 };
    QTest::newRow("half truncates") << "[1, 2, 3, 4]" << 0.5f << QList<int>{ 0, 1, 1, 2 };
    QTest::newRow("short array") << "[5, 6]" << 1.0f << QList<int>{ 5, 6, 0, 0 };
    QTest::newRow("non-numbers read 0") << R"([7, "x", null, 9])" << 1.0f << QList<int>{ 7, 0, 0, 9 };
    QTest::newRow("not an array") << R"("1 2 3 4")" << 1.0f << QList<int>{ 0, 0, 0, 0 };
}

void tst_StyleFile::marginOrderAndScale()
{
    QFETCH(QString, margin);
    QFETCH(float, scale);
    QFETCH(QList<int>, trbl);
    Probe rm;
    rm.setScaleFactor(scale);
    const QByteArray text = QStringLiteral(R"([{"type": 1, "name": "m", "margin": %1}])").arg(margin).toUtf8();
    auto set = readInto(rm, text.constData());
    const FillStyle* s = set->findFillStyle("m");
    QVERIFY(s);
    QCOMPARE(QList<int>({ s->imageDesc.top, s->imageDesc.right, s->imageDesc.bottom, s->imageDesc.left }), trbl);
}

void tst_StyleFile::colourReadings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("fill");
    QTest::addColumn<QColor>("textColour");

    QTest::newRow("alpha kept for fills") << "80FF0000" << QColor(255, 0, 0, 128) << QColor(255, 0, 0, 255);
    QTest::newRow("0x prefix") << "0xFF00FF00" << QColor(0, 255, 0, 255) << QColor(0, 255, 0, 255);
    QTest::newRow("not hexadecimal") << "zz" << QColor(0, 0, 0, 0) << QColor(0, 0, 0, 255);
    QTest::newRow("overflow saturates") << "1FFFFFFFFF" << QColor(255, 255, 255, 255) << QColor(255, 255, 255, 255);
}

void tst_StyleFile::colourReadings()
{
    QFETCH(QString, text);
    QFETCH(QColor, fill);
    QFETCH(QColor, textColour);
    Probe rm;
    const QByteArray json = QStringLiteral(R"([{"type": 1, "name": "c", "clr": "%1", "borderclr": "%1"},
                                               {"type": 2, "name": "c", "clr": "%1"}])").arg(text).toUtf8();
    auto set = readInto(rm, json.constData());
    QCOMPARE(set->findFillStyle("c")->fill.color, fill);
    QCOMPARE(set->findFillStyle("c")->fill.borderColor, fill);
    QCOMPARE(set->findTextStyle("c")->color, textColour);
}

void tst_StyleFile::textEntryValues()
{
    Probe rm;
    auto set = readInto(rm, R"([{"type": 2, "name": "t"},
        {"type": 2, "name": "u", "hor": 2, "ver": 0, "x": -3, "y": 4, "bold": true, "underline": true,
         "italic": true, "isHor": false, "singleline": false, "size": 20, "family": "Noto Sans \u4e2d"}])");
    const TextStyleDesc* t = set->findTextStyle("t");
    QVERIFY(t);
    QCOMPARE(t->color, QColor(0, 0, 0, 255));
    QCOMPARE(t->hor, 0);
    QCOMPARE(t->ver, 1);
    QCOMPARE(t->size, 12);
    QVERIFY(t->isHor && t->singleLine && !t->bold && !t->italic && !t->underline);
    QCOMPARE(t->family, QStringLiteral(VYR_DEFAULT_CJK_FAMILY));

    const TextStyleDesc* u = set->findTextStyle("u");
    QVERIFY(u);
    QCOMPARE(u->hor, 2);
    QCOMPARE(u->ver, 0);
    QCOMPARE(u->x, -3);
    QCOMPARE(u->y, 4);
    QVERIFY(u->bold && u->underline && u->italic && !u->isHor && !u->singleLine);
    QCOMPARE(u->size, 20);
    QCOMPARE(u->family, QString::fromUtf8("Noto Sans \xe4\xb8\xad"));
}

void tst_StyleFile::skippedEntries()
{
    Probe rm;
    auto set = readInto(rm, R"([{"name": "noType"}, {"type": 3, "name": "three"}, {"type": "1", "name": "str"},
                               42, [1, 2], null, {"type": 1, "name": "kept"}])");
    QCOMPARE(set->fillStyles.size(), 1);
    QCOMPARE(set->fillStyles.first().name, QStringLiteral("kept"));
    QVERIFY(set->textStyles.isEmpty());

    auto other = std::make_unique<VYRQResourceManagerImpl>();
    QVERIFY(!rm.readStyle(other.get(), parsed(R"({"type": 1})")));
    QVERIFY(!rm.readStyle(nullptr, parsed("[]")));
}

void tst_StyleFile::wrongTypesKeepDefaults()
{
    // Keys of the wrong type default; the valid keys of the same entry still count.
    Probe rm;
    auto set = readInto(rm, R"([{"type": 1, "name": "w", "border": "yes", "round": "3", "clr": 5,
                                 "borderSize": {}, "img": ["a"], "roundTopLeft": false, "borderclr": "FF010203"},
                                {"type": 2, "name": ["x"], "size": "big", "family": 3, "bold": true}])");
    const FillStyle* w = set->findFillStyle("w");
    QVERIFY(w);
    QVERIFY(!w->fill.border);
    QCOMPARE(w->fill.round, 0);
    QCOMPARE(w->fill.color, QColor(255, 255, 255, 255));
    QCOMPARE(w->fill.borderSize, 1);
    QVERIFY(w->image.isEmpty());
    QVERIFY(!w->fill.roundTopLeft);
    QCOMPARE(w->fill.borderColor, QColor(1, 2, 3, 255));

    const TextStyleDesc* t = set->findTextStyle(QString());
    QVERIFY(t);
    QCOMPARE(t->size, 12);
    QCOMPARE(t->family, QStringLiteral(VYR_DEFAULT_CJK_FAMILY));
    QVERIFY(t->bold);
}

void tst_StyleFile::sameNameReplacesInPlace()
{
    Probe rm;
    auto set = readInto(rm, R"([{"type": 1, "name": "a", "round": 1}, {"type": 1, "name": "b"},
                               {"type": 1, "name": "a", "round": 9}, {"type": 2, "name": "a", "size": 30}])");
    QCOMPARE(set->fillStyles.size(), 2);
    QCOMPARE(set->fillStyles.at(0).name, QStringLiteral("a"));
    QCOMPARE(set->fillStyles.at(0).fill.round, 9);
    QCOMPARE(set->fillStyles.at(1).name, QStringLiteral("b"));
    QVERIFY(set->findTextStyle("a"));
    QCOMPARE(set->findTextStyle("a")->size, 30);
}

void tst_StyleFile::emptyNameClearsDraw()
{
    Probe rm;
    auto set = readInto(rm, R"([{"type": 1, "name": "empty", "drawImg": false}])");
    QVERIFY(set->findFillStyle("empty"));
    QVERIFY(!set->findFillStyle("empty")->draw);
}

void tst_StyleFile::writeMinimalTextStyle()
{
    Probe rm;
    VYRQResourceManagerImpl set;
    TextStyleDesc t;
    t.name = QStringLiteral("plain");
    set.storeTextStyle(t.name, t);
    Json::Value out;
    QVERIFY(rm.writeStyle(&set, out));
    QVERIFY(out.isArray());
    QCOMPARE(out.size(), 1u);
    QCOMPARE(keysOf(out[0]), QStringList({ "clr", "family", "hor", "name", "type", "ver" }));
    QCOMPARE(out[0]["type"].asInt(), 2);
    QCOMPARE(out[0]["clr"].asString(), std::string("FF000000"));
}

void tst_StyleFile::writeFillStyleKeys()
{
    Probe rm;
    VYRQResourceManagerImpl set;
    FillStyle plain;
    plain.name = QStringLiteral("plain");
    plain.fill.leftBorder = false;   // dropped: the border is off
    set.storeFillStyle(plain.name, plain);
    FillStyle framed;
    framed.name = QStringLiteral("framed");
    framed.fill.border = true;
    framed.fill.topBorder = false;
    framed.fill.roundBottomLeft = false;
    framed.fill.borderColor = QColor(128, 128, 128);
    framed.imageDesc.repeatCenter = true;
    framed.imageDesc.top = 1;
    framed.imageDesc.right = 2;
    framed.imageDesc.bottom = 3;
    framed.imageDesc.left = 4;
    set.storeFillStyle(framed.name, framed);

    Json::Value out;
    QVERIFY(rm.writeStyle(&set, out));
    QCOMPARE(out.size(), 2u);
    QCOMPARE(keysOf(out[0]), QStringList({ "borderSize", "borderclr", "clr", "drawImg", "img", "name", "type" }));
    QCOMPARE(out[0]["drawImg"].asBool(), false);
    QCOMPARE(keysOf(out[1]), QStringList({ "border", "borderSize", "borderclr", "clr", "drawImg", "img", "margin",
                                           "name", "repeatCenter", "roundBottomLeft", "topBorder", "type" }));
    QCOMPARE(out[1]["borderclr"].asString(), std::string("FF808080"));
    QCOMPARE(vyr::json::styledText(out[1]["margin"]), vyr::json::styledText(parsed("[1, 2, 3, 4]")));
}

void tst_StyleFile::roundTrip()
{
    // Whatever the reader keeps, the writer must give back unchanged.
    Probe rm;
    auto first = readInto(rm, R"([
        {"type": 1, "name": "a", "drawImg": false, "clr": "7F010203", "border": true, "borderSize": 3,
         "borderclr": "FF0A0B0C", "round": 5, "roundTopRight": false, "rightBorder": false,
         "repeatLeft": true, "repeatBottom": true, "margin": [4, 3, 2, 1], "img": "images/\u00e9.png"},
        {"type": 1, "name": "empty"},
        {"type": 2, "name": "t", "clr": "FF112233", "hor": 1, "ver": 2, "x": 5, "y": -5, "italic": true,
         "isHor": false, "size": 9, "family": "Sans"}])");
    Json::Value written;
    QVERIFY(rm.writeStyle(first.get(), written));
    auto second = std::make_unique<VYRQResourceManagerImpl>();
    QVERIFY(rm.readStyle(second.get(), written));
    Json::Value rewritten;
    QVERIFY(rm.writeStyle(second.get(), rewritten));
    QCOMPARE(vyr::json::styledText(rewritten), vyr::json::styledText(written));
    QVERIFY(!second->findFillStyle("empty")->draw);
    QCOMPARE(second->findFillStyle("a")->imageDesc.top, 4);
    QCOMPARE(second->findFillStyle("a")->image, QString::fromUtf8("images/\xc3\xa9.png"));
}

void tst_StyleFile::writeStyleRefusesBadTargets()
{
    Probe rm;
    Json::Value out;
    QVERIFY(!rm.writeStyle(nullptr, out));
    QVERIFY(out.isNull());

    VYRQResourceManagerImpl set;
    FillStyle s;
    set.storeFillStyle(QStringLiteral("x"), s);
    Json::Value object(Json::objectValue);
    QVERIFY(!rm.writeStyle(&set, object));   // appending to an object would throw
}

QTEST_GUILESS_MAIN(tst_StyleFile)
#include "tst_stylefile.moc"
