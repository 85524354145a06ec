#include "InstalledFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kelvos;

class TestInstalledFiles : public QObject {
    Q_OBJECT
private slots:
    void settingsPlaceFollowsWhatCanBeWritten_data() {
        QTest::addColumn<bool>("folderWritable");
        QTest::addColumn<bool>("besideWritable");
        QTest::addColumn<bool>("besideExists");
        QTest::addColumn<bool>("userExists");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("seedFrom");
        QTest::newRow("a writable program folder") << true << false << false << true << "beside"
                                                   << "";
        QTest::newRow("a writable file in a locked folder")
            << false << true << true << false << "beside"
            << "";
        QTest::newRow("installed, first start with a file beside")
            << false << false << true << false << "user"
            << "beside";
        QTest::newRow("installed, the user has settings of their own")
            << false << false << true << true << "user"
            << "";
        QTest::newRow("installed, no file anywhere") << false << false << false << false << "user"
                                                     << "";
    }
    void settingsPlaceFollowsWhatCanBeWritten() {
        QFETCH(bool, folderWritable);
        QFETCH(bool, besideWritable);
        QFETCH(bool, besideExists);
        QFETCH(bool, userExists);
        QFETCH(QString, file);
        QFETCH(QString, seedFrom);
        const SettingsPlace place = settingsPlace(
            {"beside", folderWritable, besideWritable, besideExists, "user", userExists});
        QCOMPARE(place.file, file);
        QCOMPARE(place.seedFrom, seedFrom);
    }

    // The working folder's clip wins over the installed one; a clip found nowhere keeps its
    // bare name.
    void clipsComeFromTheFirstFolderHoldingThem() {
        QTemporaryDir work, installed;
        for (const auto& [folder, name] :
             {std::pair{&work, "pi.wav"}, {&installed, "pi.wav"}, {&installed, "pa.wav"}}) {
            QFile clip(folder->filePath(name));
            QVERIFY(clip.open(QIODevice::WriteOnly));
        }
        const QStringList folders{work.path(), installed.path()};
        QCOMPARE(clipPath("pi.wav", folders), work.filePath("pi.wav"));
        QCOMPARE(clipPath("pa.wav", folders), installed.filePath("pa.wav"));
        QCOMPARE(clipPath("po.wav", folders), QString("po.wav"));
    }

    void installedClipsLieUnderTheDataFolder() {
        QCOMPARE(clipFolders("/run/work", "/opt/k/bin").last(),
                 QString("/opt/k/share/kelvos/clips"));
    }
};

QTEST_GUILESS_MAIN(TestInstalledFiles)
#include "tst_installedfiles.moc"
