#include "TarnexStartup.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The executable is run as a user runs it; the theme-failure path runs in this
// process, where the test can close the modal box that it raises.
class tst_TarnexStartup : public QObject {
    Q_OBJECT
private slots:
    void missingThemeFolderEndsWithOne();
    void executableExitCodes_data();
    void executableExitCodes();
};

void tst_TarnexStartup::missingThemeFolderEndsWithOne()
{
    // No "refinery-theme" lies beside the test executable.
    QVERIFY(!QFileInfo::exists(tarnex::themeFolderPath()));
    QString title;
    QString text;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->done(QMessageBox::Ok);
        }
    });
    closer.start(20);
    const int code = tarnex::runMonitor({QStringLiteral("tarnex"), QStringLiteral("--screenshot"),
                                         QStringLiteral("never.png")});
    closer.stop();
    QCOMPARE(code, 1);
    QCOMPARE(title, QStringLiteral("Tarnex"));
    QCOMPARE(text, QStringLiteral("Unable to load the Tarnex theme from:\n%1").arg(tarnex::themeFolderPath()));
}

void tst_TarnexStartup::executableExitCodes_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("shot");      // relative to a fresh folder; empty: unwritable
    QTest::addColumn<int>("code");
    QTest::addColumn<QSize>("imageSize");

    QTest::newRow("default size, folder created") << QStringList{} << QStringLiteral("out/nested/shot.png") << 0
                                                  << QSize(1440, 900);
    QTest::newRow("raised to the minimum") << QStringList{"--size", "800x600"} << QStringLiteral("small.png") << 0
                                           << QSize(1280, 720);
    QTest::newRow("empty height raised") << QStringList{"--size", "1500x"} << QStringLiteral("wide.png") << 0
                                         << QSize(1500, 720);
    QTest::newRow("plant page in Chinese") << QStringList{"--page", "plant", "--zh"} << QStringLiteral("zh.png") << 0
                                           << QSize(1440, 900);
    QTest::newRow("unwritable path") << QStringList{} << QString() << 2 << QSize();
}

void tst_TarnexStartup::executableExitCodes()
{
    QFETCH(QStringList, options);
    QFETCH(QString, shot);
    QFETCH(int, code);
    QFETCH(QSize, imageSize);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path;
    if (shot.isEmpty()) {
        // A plain file stands where the folder should be: neither created nor written.
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        path = dir.filePath(QStringLiteral("blocker/shot.png"));
    } else {
        path = dir.filePath(shot);
    }

    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(TARNEX_EXECUTABLE), options + QStringList{"--screenshot", path});
    QVERIFY2(process.waitForFinished(60000), "tarnex did not end by itself");
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), code);
    if (code != 0) {
        QVERIFY(!QFileInfo::exists(path));
        return;
    }
    QImage image(path, "PNG");
    QVERIFY(!image.isNull());
    QCOMPARE(image.size(), imageSize);
}

QTEST_MAIN(tst_TarnexStartup)
#include "tst_tarnexstartup.moc"
