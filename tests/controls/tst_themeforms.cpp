#include "controls_testutil.h"

#include "VYRQtLib.h"
#include "VYRQLabel.h"
#include "VYRQPushButton.h"
#include "VYRQWindowDesigner.h"
#include "VYRQResourceManagerImpl.h"

// Controls apply their theme element from a form worked out once per theme set. These
// cases check that the form follows the theme: a switch to another theme folder, a
// style stored into the theme set, and entries of every shape read as the element's
// JSON reads.

namespace {

QByteArray styles(const char* fill, const char* hot, const char* text, int textSize)
{
    return QByteArray(R"({"style": [)")
        + R"({"type": 1, "name": "Face", "drawImg": false, "clr": ")" + fill + R"("},)"
        + R"({"type": 1, "name": "FaceHot", "drawImg": false, "clr": ")" + hot + R"("},)"
        + R"({"type": 1, "name": "Both", "drawImg": false, "clr": "FF101010"},)"
        + R"({"type": 2, "name": "Both", "clr": "FF202020"},)"
        + R"({"type": 2, "name": "Caption", "clr": ")" + text + R"(", "size": )" + QByteArray::number(textSize)
        + "}]}";
}

// Elements "row0", "row1", ... carry the style arrays of formMatchesJsonPath.
const char* const oddArrays[] = {
    R"([["Face", 1, 0], ["FaceHot", 1, 1], ["Caption", 2, 4]])",
    R"([["FaceHot", 1, 0], [5, 1, 1], ["Face"], ["Face", "x", 2], ["Face", 1, "x"], "junk", ["Face", 1, 3.0]])",
    R"([["Missing", 1, 0], ["empty", 1, 1], ["emptyRect", 1, 2], ["Face", 1, 4], ["Caption", 2, 0]])",
    R"([["Both", 1, 0], ["Both", 2, 5], ["Face", 1, 9], ["Face", 1, -1], ["Caption", 2, true]])",
    R"([["Caption", 2, 4, "extra"], ["Face", 1, 0, 7], ["FaceHot", 1, 0]])",
};

QByteArray theme(const QByteArray& extraElements = QByteArray())
{
    QByteArray rows;
    for (size_t i = 0; i < std::size(oddArrays); ++i)
        rows += R"(, {"name": "row)" + QByteArray::number(int(i)) + R"(", "style": )" + oddArrays[i] + "}";
    return R"({"elements": [{"child": [)"
           R"({"name": "qtbutton", "style": [["Face", 1, 0], ["FaceHot", 1, 1], ["Caption", 2, 4]]},)"
           R"({"name": "qtlabel", "style": [["Caption", 2, 0]]})"
        + rows + extraElements + "]}]}";
}

// Everything a button's style slots hold, one line.
QString looks(const VYRQPushButton& button)
{
    QStringList parts;
    for (int s = Normal; s <= Disable; ++s) {
        const FillStyle fill = button.getBackground(CtrlState(s));
        const TextStyleDesc text = button.getTextStyle(CtrlState(s));
        parts << QStringLiteral("%1/%2/%3 %4/%5").arg(fill.name, fill.fill.color.name(QColor::HexArgb))
                     .arg(fill.draw).arg(text.name, text.color.name(QColor::HexArgb));
    }
    return parts.join(QLatin1String(" | "));
}

QColor textColor(const VYRQLabel& label)
{
    return label.palette().color(QPalette::Active, QPalette::WindowText);
}

} // namespace

class tst_ThemeForms : public QObject {
    Q_OBJECT
    QTemporaryDir themeA, themeB;

private slots:
    void initTestCase()
    {
        VYRQtLib::init();
        QVERIFY(themeA.isValid() && themeB.isValid());
        QVERIFY(sty::loadTheme(themeA, styles("FFFF0000", "FFFF8080", "FF00FF00", 13), theme()));
    }

    void cleanup()
    {
        vyrSetIsInDesigner(false);
        QVERIFY(!VYRQResourceManager::getInstance()->isLoadFromThemeRes());
    }

    // A control built after a switch to another theme folder looks like the new theme;
    // one built before keeps its look until a refresh.
    void themeSwitchReachesNewControls()
    {
        QWidget page;
        VYRQPushButton before(&page);
        VYRQLabel labelBefore(&page);
        QCOMPARE(before.getBackground(Normal).fill.color, QColor(Qt::red));
        QCOMPARE(textColor(labelBefore), QColor(Qt::green));

        QVERIFY(sty::loadTheme(themeB, styles("FF0000FF", "FF8080FF", "FFFFFF00", 17), theme()));
        VYRQPushButton after(&page);
        VYRQLabel labelAfter(&page);
        QCOMPARE(textColor(labelAfter), QColor(Qt::yellow));
        QCOMPARE(labelAfter.font().pixelSize(), 17);
        after.resize(40, 20);
        QCOMPARE(ctl::pixel(ctl::render(after), 20, 10), QColor(Qt::blue));

        QCOMPARE(before.getBackground(Normal).fill.color, QColor(Qt::red));
        before.getControlBase()->refreshTheme();
        labelBefore.getControlBase()->refreshTheme();
        QCOMPARE(looks(before), looks(after));
        QCOMPARE(textColor(labelBefore), QColor(Qt::yellow));
        QVERIFY(sty::loadTheme(themeA, styles("FFFF0000", "FFFF8080", "FF00FF00", 13), theme()));
    }

    // Storing a style into the theme set reaches the next control built.
    void storedStyleReachesNewControls()
    {
        VYRQResourceManager* rm = VYRQResourceManager::getInstance();
        VYRQPushButton first;
        QCOMPARE(first.getBackground(Normal).fill.color, QColor(Qt::red));
        FillStyle face = sty::solid(QStringLiteral("Face"), Qt::cyan);
        rm->setFillStyle(rm->getThemeManagerImpl(), face.name, face);
        TextStyleDesc caption = sty::text(QStringLiteral("Caption"), Qt::magenta);
        rm->setTextStyle(rm->getThemeManagerImpl(), caption.name, caption);
        VYRQPushButton second;
        QCOMPARE(second.getBackground(Normal).fill.color, QColor(Qt::cyan));
        QCOMPARE(second.getTextStyle(Normal).color, QColor(Qt::magenta));
        sty::dropTheme();
        QVERIFY(sty::loadTheme(themeA, styles("FFFF0000", "FFFF8080", "FF00FF00", 13), theme()));
    }

    // A theme element applied from its form leaves the same looks as the element's
    // JSON read through the theme set: malformed entries skipped alike, "empty" fills,
    // a name that is both a fill and a text style, slots outside the table.
    void formMatchesJsonPath_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(oddArrays)); ++i)
            QTest::newRow(oddArrays[i]) << i;
    }
    void formMatchesJsonPath()
    {
        QFETCH(int, row);
        const QByteArray name = "row" + QByteArray::number(row);
        vyrSetIsInDesigner(true);
        VYRQPushButton compiled, parsed;
        vyrSetIsInDesigner(false);
        const QString defaults = looks(compiled);

        compiled.setThemeName(QString::fromLatin1(name));
        Json::Value element = ctl::parse(R"({"style": )" + QByteArray(oddArrays[row]) + "}");
        {
            VYRQResSwitchGuard themeSet(VYRQResSwitchGuard::ThemeRes, true);
            QVERIFY(parsed.readJsonValue(&element));
        }
        QCOMPARE(looks(compiled), looks(parsed));
        QVERIFY(looks(compiled) != defaults);
    }

    // A theme element whose read loads another theme (the window designer's "theme"
    // key) frees itself on the way: the read must not touch it afterwards.
    void themeReadThatLoadsATheme()
    {
        QTemporaryDir loader;
        QVERIFY(sty::loadTheme(themeB, styles("FF0000FF", "FF8080FF", "FFFFFF00", 17), theme()));
        const QByteArray extra = ", {\"name\": \"qtwindow\", \"attr\": {\"theme\": \"" + themeB.path().toUtf8()
            + "\", \"extra\": 5}}";
        QVERIFY(sty::loadTheme(loader, styles("FFFF0000", "FFFF8080", "FF00FF00", 13), theme(extra)));
        VYRQWindowDesigner designer;
        designer.getControlBase()->refreshTheme();
        QCOMPARE(ctl::write(designer)["attr"]["extra"].asInt(), 5);
        VYRQPushButton button;
        QCOMPARE(button.getBackground(Normal).fill.color, QColor(Qt::blue));
    }

    // Entries built in code may have holes (jsoncpp keeps arrays as maps): a missing
    // kind still reads, a missing name does not.
    void styleEntriesWithHoles()
    {
        vyrSetIsInDesigner(true);
        VYRQPushButton button;
        vyrSetIsInDesigner(false);
        Json::Value element(Json::objectValue);
        Json::Value& entries = element["style"] = Json::Value(Json::arrayValue);
        entries[0][0] = "Face";
        entries[0][2] = 1;
        entries[2][1] = 1;   // entries[1] and entries[2][0] missing
        entries[2][2] = 0;
        {
            VYRQResSwitchGuard themeSet(VYRQResSwitchGuard::ThemeRes, true);
            QVERIFY(button.readJsonValue(&element));
        }
        QCOMPARE(button.getBackground(Hot).name, QStringLiteral("Face"));
        QVERIFY(button.getBackground(Normal).name.isEmpty());
        sty::dropTheme();
    }
};

QTEST_MAIN(tst_ThemeForms)
#include "tst_themeforms.moc"
