#include "TarnexOptions.h"

#include <QtTest>

class tst_TarnexOptions : public QObject {
    Q_OBJECT
private slots:
    void fromArguments_data();
    void fromArguments();
    void screenshotNeedsPath_data();
    void screenshotNeedsPath();
};

void tst_TarnexOptions::fromArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("drawer");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("screenshot");

    const QSize standard(1440, 900);
    QTest::newRow("none") << QStringList{} << standard << 0 << false << false << QString();
    // The first argument is the program even when it looks like an option.
    QTest::newRow("program named like an option") << QStringList{"--zh"} << standard << 0 << false << false
                                                   << QString();
    QTest::newRow("upper-case x") << QStringList{"t", "--size", "1920X1080"} << QSize(1920, 1080) << 0 << false
                                  << false << QString();
    QTest::newRow("small size kept for the window to raise") << QStringList{"t", "--size", "800x600"}
                                                             << QSize(800, 600) << 0 << false << false << QString();
    QTest::newRow("letters read as 0") << QStringList{"t", "--size", "abcxdef"} << QSize(0, 0) << 0 << false << false
                                       << QString();
    QTest::newRow("empty height") << QStringList{"t", "--size", "1920x"} << QSize(1920, 0) << 0 << false << false
                                  << QString();
    QTest::newRow("three parts") << QStringList{"t", "--size", "1920x1080x2"} << standard << 0 << false << false
                                 << QString();
    QTest::newRow("huge size clamped") << QStringList{"t", "--size", "999999x2000000000"} << QSize(6144, 6144) << 0
                                       << false << false << QString();
    QTest::newRow("just above the limit") << QStringList{"t", "--size", "6145x6144"} << QSize(6144, 6144) << 0
                                          << false << false << QString();
    // Past an int's range: still a number past the limit.
    QTest::newRow("width past int") << QStringList{"t", "--size", "2147483648x1000"} << QSize(6144, 1000) << 0
                                    << false << false << QString();
    QTest::newRow("past int either way") << QStringList{"t", "--size", "-2147483649x+99999999999999999999"}
                                         << QSize(0, 6144) << 0 << false << false << QString();
    QTest::newRow("negative size") << QStringList{"t", "--size", "-5x-7"} << QSize(0, 0) << 0 << false << false
                                   << QString();
    QTest::newRow("size last") << QStringList{"t", "--size"} << standard << 0 << false << false << QString();
    QTest::newRow("option names keep their case") << QStringList{"t", "--SIZE", "800x600", "--ZH"} << standard << 0
                                                  << false << false << QString();
    QTest::newRow("page any case") << QStringList{"t", "--page", "PLANT"} << standard << 1 << false << false
                                   << QString();
    QTest::newRow("later page wins") << QStringList{"t", "--page", "plant", "--page", "x"} << standard << 0 << false
                                     << false << QString();
    QTest::newRow("value consumed even when it looks like an option")
        << QStringList{"t", "--page", "--zh"} << standard << 0 << false << false << QString();
    QTest::newRow("flags, repeated") << QStringList{"t", "--drawer", "--zh", "--drawer", "--zh"} << standard << 0
                                     << true << true << QString();
    QTest::newRow("unknown words skipped") << QStringList{"t", "hello", "--page", "plant", "-zh"} << standard << 1
                                           << false << false << QString();
    QTest::newRow("last screenshot wins") << QStringList{"t", "--screenshot", "a.png", "--screenshot", "b.png"}
                                          << standard << 0 << false << false << QStringLiteral("b.png");
    QTest::newRow("screenshot last") << QStringList{"t", "--zh", "--screenshot"} << standard << 0 << false << true
                                     << QString();
    QTest::newRow("everything") << QStringList{"t", "--size", "1600x1000", "--page", "plant", "--drawer", "--zh",
                                               "--screenshot", "s.png"}
                                << QSize(1600, 1000) << 1 << true << true << QStringLiteral("s.png");
}

void tst_TarnexOptions::fromArguments()
{
    QFETCH(QStringList, arguments);
    const TarnexOptions options = TarnexOptions::fromArguments(arguments);
    QTEST(options.size, "size");
    QTEST(options.page, "page");
    QTEST(options.drawer, "drawer");
    QTEST(options.chinese, "chinese");
    QTEST(options.screenshotPath, "screenshot");
}

// An unattended run without its path would wait forever in the interactive monitor.
void tst_TarnexOptions::screenshotNeedsPath_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("error");

    QTest::newRow("path given") << QStringList{"t", "--screenshot", "a.png"} << false;
    QTest::newRow("none asked for") << QStringList{"t", "--zh"} << false;
    QTest::newRow("last word") << QStringList{"t", "--zh", "--screenshot"} << true;
    QTest::newRow("empty") << QStringList{"t", "--screenshot", "", "--zh"} << true;
    QTest::newRow("empty after a path") << QStringList{"t", "--screenshot", "a.png", "--screenshot", ""} << true;
    QTest::newRow("path after an empty one") << QStringList{"t", "--screenshot", "", "--screenshot", "b.png"} << true;
    QTest::newRow("other options keep their silence") << QStringList{"t", "--page", "", "--size"} << false;
}

void tst_TarnexOptions::screenshotNeedsPath()
{
    QFETCH(QStringList, arguments);
    QTEST(!TarnexOptions::fromArguments(arguments).error.isEmpty(), "error");
}

QTEST_APPLESS_MAIN(tst_TarnexOptions)
#include "tst_tarnexoptions.moc"
