#include "CourseList.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace kelvos {

namespace {

const QString kCourseFileName = QStringLiteral("course.txt");

QString decodeCourseText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    // Lists written on Japanese Windows systems are in the ANSI code page.
    QStringDecoder windows31j("CP932");
    return windows31j.decode(bytes);
}

} // namespace

QStringList builtInCourseLengths() {
    return {"10",   "50",   "100",  "200",   "333",  "400",  "500",  "800",  "1000",
            "1500", "3000", "5000", "10000", "5864", "3466", "4801", "1490", "3422",
            "2492", "2045", "4563", "2804",  "3703", "2007", "3330", "1004", "4674",
            "2061", "3704", "4063", "5091",  "3405", "1700"};
}

QStringList courseLinesFromBytes(const QByteArray& bytes) {
    QString text = decodeCourseText(bytes);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    if (text.isEmpty()) {
        return {};
    }
    // CR LF, LF and a lone CR all end a line; a break after the last line adds no empty entry.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n')) {
        text.chop(1);
    }
    return text.split(u'\n');
}

CourseList loadCourseList(const QString& directory) {
    QFile file(QDir(directory).filePath(kCourseFileName));
    if (!file.exists()) {
        return {builtInCourseLengths(), {}};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        return {builtInCourseLengths(),
                QStringLiteral("Cannot read %1: %2")
                    .arg(QDir::toNativeSeparators(file.fileName()), file.errorString())};
    }
    return {courseLinesFromBytes(file.readAll()), {}};
}

bool isNewCourseEntry(const QString& typed, const QStringList& entries) {
    return !typed.isEmpty() && !entries.contains(typed, Qt::CaseInsensitive);
}

} // namespace kelvos
