#include "VYRQJson.h"
#include "VYRQResourceManager.h"
#include "VYRQResourceManagerImpl.h"
#include "peakmemory.h"
#include "warningcapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Probe : VYRQResourceManager {
    using VYRQResourceManager::readStyle;
};

// A style file of `count` entries: text styles named <prefix>0, <prefix>1 ..., each
// holding `extra` more members.
QByteArray styleFile(int count, const char* prefix = "s", const QByteArray& extra = QByteArray())
{
    QByteArray text = "{\"style\":[";
    text.reserve(count * (30 + extra.size()));
    for (int i = 0; i < count; ++i) {
        if (i)
            text += ',';
        text += "{\"type\":2,\"name\":\"" + QByteArray(prefix) + QByteArray::number(i) + '"' + extra + '}';
    }
    return text + "]}";
}

qint64 styleCount(const VYRQResourceManagerImpl* set)
{
    return set ? set->fillStyles.size() + set->textStyles.size() : -1;
}

} // namespace

class tst_StyleFile : public QObject {
    Q_OBJECT

private slots:
    void bounds_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qint64>("styles");   // -1: the theme does not load
        QTest::addColumn<QString>("warning");
        QTest::addColumn<qint64>("peakMb");   // 0: not measured
        // 15 members besides "type" and "name": 18 values a style, counted from the text.
        const QByteArray members = ",\"x\":1,\"y\":2,\"size\":13,\"bold\":true,\"italic\":true,\"underline\":true,"
                                   "\"hor\":1,\"ver\":2,\"clr\":\"FF000000\",\"family\":\"f\",\"isHor\":true,"
                                   "\"singleline\":true,\"k1\":1,\"k2\":2,\"k3\":3";
        const QByteArray values = styleFile(29127, "s", members);
        QTest::newRow("at the bound of styles") << styleFile(65536) << qint64(65536) << QString() << qint64(0);
        QTest::newRow("a style too many") << styleFile(65537) << qint64(-1) << "more than 65536 styles" << qint64(0);
        QTest::newRow("at the bound of values") << values << qint64(29127) << QString() << qint64(0);
        QTest::newRow("a value too many") << values.left(values.size() - 1) + ",\"more\":0}" << qint64(-1)
                                          << "more than 524288 JSON values" << qint64(0);
        // 24 MiB of small entries once added 700 MB (1.1 GB and more checked) to the set.
        QTest::newRow("a million small styles") << styleFile(1000000) << qint64(-1) << "JSON values" << qint64(64);
    }
    // A style file is held to its values and its entries before it is parsed: a theme
    // with one past a bound does not load, with a warning.
    void bounds()
    {
        QFETCH(QByteArray, file);
        QFETCH(qint64, styles);
        QFETCH(QString, warning);
        QFETCH(qint64, peakMb);
        QTemporaryDir dir;
        QFile style(dir.filePath("style.json"));
        QVERIFY(style.open(QIODevice::WriteOnly) && style.write(file) == file.size());
        style.close();
        file.clear();
        Probe rm;
        WarningCapture capture;
        const PeakMemory memory;
        QCOMPARE(rm.loadThemeDir(dir.path()), styles >= 0);
        const qint64 growth = memory.growthMb();
        QCOMPARE(capture.messages().size(), warning.isEmpty() ? 0 : 1);
        if (!warning.isEmpty())
            QVERIFY2(capture.messages().first().contains(warning), qPrintable(capture.messages().first()));
        if (styles >= 0)
            QCOMPARE(styleCount(rm.getThemeManagerImpl()), styles);
        if (peakMb > 0) {
            if (growth < 0)
                QSKIP("peak memory cannot be read here");
            QVERIFY2(growth < peakMb, qPrintable(QStringLiteral("%1 MB").arg(growth)));
        }
    }

    // A set holds at most 65,536 styles, however many files add to it: a skin that would
    // take the default set past does not load; one that redefines names adds nothing.
    void setBoundAddsUp()
    {
        QTemporaryDir dir;
        const auto skin = [&](const QString& name, const QByteArray& text) {
            QFile file(dir.filePath(name + "/style.json"));
            return QDir(dir.path()).mkdir(name) && file.open(QIODevice::WriteOnly) && file.write(text) == text.size()
                ? dir.filePath(name) : QString();
        };
        Probe rm;
        VYRQResourceManagerImpl* set = rm.getDefaultManagerImpl();
        QVERIFY(rm.setSkinDirPath(skin("a", styleFile(60000, "a"))));
        WarningCapture capture;
        QVERIFY(!rm.setSkinDirPath(skin("b", styleFile(6000, "b"))));
        QCOMPARE(styleCount(set), qint64(60000));
        QCOMPARE(capture.count("more than 65536 styles"), 1);
        QVERIFY(rm.setSkinDirPath(skin("again", styleFile(60000, "a", ",\"size\":20"))));
        QVERIFY(rm.setSkinDirPath(skin("rest", styleFile(5536, "b"))));
        QCOMPARE(styleCount(set), qint64(65536));
        QCOMPARE(set->findTextStyle(QStringLiteral("a7"))->size, 20);
        Json::Value root;
        QVERIFY(vyr::json::parse(styleFile(1, "c"), root));
        QVERIFY(!rm.readStyle(set, root["style"]));
        QCOMPARE(styleCount(set), qint64(65536));
    }
};

QTEST_MAIN(tst_StyleFile)
#include "tst_stylefile.moc"
