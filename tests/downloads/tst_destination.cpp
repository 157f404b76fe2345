#include "TestEnvironment.h"

#include "downloads/AppSettings.h"
#include "downloads/DownloadDestination.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

class TestDestination : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { TestEnvironment::clearSettings(); }

    void defaultsToDownloads();
    void remembersChosenFolderAcrossRestart();
    void refusesWhatIsNotAFolder_data();
    void refusesWhatIsNotAFolder();
    void vanishedFolderFallsBackAndKeepsStoredValue();
    void displayPath_data();
    void displayPath();

    void concurrencyAssignments_data();
    void concurrencyAssignments();
    void concurrencyAtStart_data();
    void concurrencyAtStart();
    void concurrencyNotifiesOnlyOnChange();

private:
    QString makeFolder(const QString &relative) const
    {
        const QString path = QDir(m_environment.home()).filePath(relative);
        QDir().mkpath(path);
        return QDir::cleanPath(path);
    }

    TestEnvironment m_environment;
};

void TestDestination::defaultsToDownloads()
{
    DownloadDestination destination;
    QCOMPARE(destination.folderPath(), QDir(m_environment.home()).filePath("Downloads"));
    QCOMPARE(destination.displayPath(), "~/Downloads");
    QVERIFY(!QSettings().contains(DownloadDestination::defaultsKey));
}

void TestDestination::remembersChosenFolderAcrossRestart()
{
    const QString chosen = makeFolder("Videos/Reels");
    {
        DownloadDestination destination;
        QSignalSpy changed(&destination, &DownloadDestination::folderURLChanged);
        QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(chosen + "/")));
        QCOMPARE(destination.folderPath(), chosen);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(destination.displayPath(), "~/Videos/Reels");
    }
    DownloadDestination restarted;
    QCOMPARE(restarted.folderPath(), chosen);
    QCOMPARE(restarted.withAccess([](const QString &folder) { return folder; }), chosen);
}

void TestDestination::refusesWhatIsNotAFolder_data()
{
    QTest::addColumn<QUrl>("candidate");
    const QString home = m_environment.home();
    QFile file(home + "/plain.txt");
    QVERIFY(file.open(QIODevice::WriteOnly));

    QTest::newRow("missing folder") << QUrl::fromLocalFile(home + "/does/not/exist");
    QTest::newRow("a file") << QUrl::fromLocalFile(home + "/plain.txt");
    QTest::newRow("remote address") << QUrl("https://example.com/folder");
    QTest::newRow("empty") << QUrl();
}

void TestDestination::refusesWhatIsNotAFolder()
{
    QFETCH(QUrl, candidate);
    const QString earlier = makeFolder("Earlier");
    DownloadDestination destination;
    QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(earlier)));

    QSignalSpy changed(&destination, &DownloadDestination::folderURLChanged);
    QVERIFY(!destination.adoptFolder(candidate));
    QCOMPARE(destination.folderPath(), earlier);
    QCOMPARE(QSettings().value(DownloadDestination::defaultsKey).toString(), earlier);
    QCOMPARE(changed.size(), 0);
}

void TestDestination::vanishedFolderFallsBackAndKeepsStoredValue()
{
    const QString chosen = makeFolder("External/Drive");
    {
        DownloadDestination destination;
        QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(chosen)));
    }
    QVERIFY(QDir(chosen).removeRecursively());

    DownloadDestination restarted;
    QCOMPARE(restarted.folderPath(), DownloadDestination::defaultFolder());
    // The stored value stays, so the folder is used again once it is back.
    QCOMPARE(QSettings().value(DownloadDestination::defaultsKey).toString(), chosen);
    QVERIFY(QDir().mkpath(chosen));
    DownloadDestination afterReturn;
    QCOMPARE(afterReturn.folderPath(), chosen);
}

void TestDestination::displayPath_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("expected");

    const QString home = m_environment.home();
    const QString outside = QDir::cleanPath(QDir::tempPath());
    QTest::newRow("home itself") << QString() << "~";
    QTest::newRow("below home") << "Movies/Clip Dock" << "~/Movies/Clip Dock";
    // A folder beside home whose name merely starts with home's name is not under home.
    QTest::newRow("sibling with same prefix") << "../" + QFileInfo(home).fileName() + "-other"
                                              << QDir::cleanPath(home + "-other");
    QTest::newRow("outside home") << outside << outside;
}

void TestDestination::displayPath()
{
    QFETCH(QString, relative);
    QFETCH(QString, expected);
    const QString folder = QDir::isAbsolutePath(relative) ? relative : makeFolder(relative);
    DownloadDestination destination;
    QVERIFY(destination.adoptFolder(QUrl::fromLocalFile(folder)));
    QCOMPARE(destination.displayPath(), expected);
}

void TestDestination::concurrencyAssignments_data()
{
    QTest::addColumn<int>("assigned");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("lowest") << 1 << 1;
    QTest::newRow("inside") << 4 << 4;
    QTest::newRow("highest") << 10 << 10;
    QTest::newRow("above") << 25 << 10;
}

void TestDestination::concurrencyAssignments()
{
    QFETCH(int, assigned);
    QFETCH(int, expected);
    {
        AppSettings settings;
        settings.setMaxConcurrentDownloads(assigned);
        QCOMPARE(settings.maxConcurrentDownloads(), expected);
        QCOMPARE(QSettings().value(AppSettings::concurrencyKey).toInt(), expected);
    }
    AppSettings restarted;
    QCOMPARE(restarted.maxConcurrentDownloads(), expected);
}

void TestDestination::concurrencyAtStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("missing") << QVariant() << 3;
    QTest::newRow("zero") << QVariant(0) << 3;
    QTest::newRow("seven") << QVariant(7) << 7;
    QTest::newRow("not a number") << QVariant("many") << 3;
    QTest::newRow("above the range is kept until assigned") << QVariant(25) << 25;
}

void TestDestination::concurrencyAtStart()
{
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    if (stored.isValid())
        QSettings().setValue(AppSettings::concurrencyKey, stored);
    AppSettings settings;
    QCOMPARE(settings.maxConcurrentDownloads(), expected);
    // Starting writes nothing.
    QCOMPARE(QSettings().value(AppSettings::concurrencyKey), stored);
}

void TestDestination::concurrencyNotifiesOnlyOnChange()
{
    AppSettings settings;
    QSignalSpy changed(&settings, &AppSettings::maxConcurrentDownloadsChanged);
    settings.setMaxConcurrentDownloads(3);
    QCOMPARE(changed.size(), 0);
    // An unchanged assignment still stores the value.
    QCOMPARE(QSettings().value(AppSettings::concurrencyKey).toInt(), 3);
    settings.setMaxConcurrentDownloads(12);
    settings.setMaxConcurrentDownloads(10);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(settings.maxConcurrentDownloads(), 10);
}

QTEST_GUILESS_MAIN(TestDestination)
#include "tst_destination.moc"
