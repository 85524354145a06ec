#include "CourseList.h"
#include "GridFollow.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class CourseListTest : public QObject {
    Q_OBJECT

private slots:
    void builtInLengthsWithoutCourseFile() {
        QTemporaryDir dir;
        const kelvos::CourseList list = kelvos::loadCourseList(dir.path());
        QCOMPARE(list.entries.size(), 33);
        QCOMPARE(list.entries.first(), QStringLiteral("10"));
        QCOMPARE(list.entries[5], QStringLiteral("400"));
        QCOMPARE(list.entries.last(), QStringLiteral("1700"));
        QVERIFY(list.problem.isEmpty());
    }

    void courseFileLines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("LF") << QByteArray("400\nabc\n") << QStringList{"400", "abc"};
        QTest::newRow("CR LF") << QByteArray("400\r\nabc\r\n") << QStringList{"400", "abc"};
        QTest::newRow("no final break") << QByteArray("400\nabc") << QStringList{"400", "abc"};
        QTest::newRow("lines kept unchanged")
            << QByteArray(" 400m \n\n1500\n") << QStringList{" 400m ", "", "1500"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF"
                                                      "400\n")
                                        << QStringList{"400"};
        QTest::newRow("UTF-8 name") << QByteArray("5807 \xE9\x88\xB4\xE9\xB9\xBF\n")
                                    << QStringList{QString::fromUtf8("5807 鈴鹿")};
        QTest::newRow("Shift_JIS name") << QByteArray("5807 \x97\xe9\x8e\xad\r\n")
                                        << QStringList{QString::fromUtf8("5807 鈴鹿")};
    }
    void courseFileLines() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        testfiles::writeContents(QDir(dir.path()).filePath("course.txt"), bytes);
        const kelvos::CourseList list = kelvos::loadCourseList(dir.path());
        QTEST(list.entries, "lines");
        QVERIFY(list.problem.isEmpty());
    }

    void oversizedCourseFileIsCut_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("firstLength");
        QTest::addColumn<QString>("problemSays");
        QTest::newRow("too many lines")
            << QByteArray("400\n").repeated(1005) << 1000 << 3 << "5 lines beyond the first 1000";
        QTest::newRow("too long a line") << QByteArray(100, '7') + "\n400\n"
                                         << 2 << 64 << "1 lines were cut to 64";
    }
    void oversizedCourseFileIsCut() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problemSays);
        QTemporaryDir dir;
        testfiles::writeContents(QDir(dir.path()).filePath("course.txt"), bytes);
        const kelvos::CourseList list = kelvos::loadCourseList(dir.path());
        QTEST(int(list.entries.size()), "entries");
        QTEST(int(list.entries.first().size()), "firstLength");
        QVERIFY2(list.problem.contains(problemSays), qPrintable(list.problem));
    }

    void unreadableCourseFileFallsBackWithAMessage() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("course.txt"));
        const kelvos::CourseList list = kelvos::loadCourseList(dir.path());
        QCOMPARE(list.entries, kelvos::builtInCourseLengths());
        QVERIFY(list.problem.contains("course.txt"));
    }

    void enterAddsOnlyNewLengths_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("added");
        QTest::newRow("new length") << "1234" << true;
        QTest::newRow("already listed") << "400" << false;
        QTest::newRow("listed in another case") << "OVAL" << false;
        QTest::newRow("empty") << "" << false;
    }
    void enterAddsOnlyNewLengths() {
        QFETCH(QString, typed);
        QTEST(kelvos::isNewCourseEntry(typed, {"10", "400", "Oval"}), "added");
    }

    void followNewestRow_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("visible");
        QTest::addColumn<int>("topRow"); // 0: the view stays
        QTest::newRow("lap 12 in 10 rows") << 12 << 10 << 3;
        QTest::newRow("last row that fits") << 10 << 10 << 0;
        QTest::newRow("first row past the view") << 11 << 10 << 2;
        QTest::newRow("first row") << 1 << 10 << 0;
        QTest::newRow("no whole row visible") << 5 << 0 << 5;
    }
    void followNewestRow() {
        QFETCH(int, row);
        QFETCH(int, visible);
        QFETCH(int, topRow);
        QCOMPARE(kelvos::followNewestTopRow(row, visible).value_or(0), topRow);
    }
};

QTEST_APPLESS_MAIN(CourseListTest)
#include "tst_courselist.moc"
