#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Files that tests prepare and read back.
namespace testfiles {

// The whole file, or nothing when it cannot be read.
inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the file whole; a failure fails the running test.
inline void writeContents(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

} // namespace testfiles
