#pragma once
// Files a test writes and the permissions it reads back.
#include <QFile>
#include <QString>

#include <sys/stat.h>

inline QString escriu(const QString& cami, const QByteArray& bytes) {
    QFile f(cami);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return cami;
}

inline int mode(const QString& cami) {
    struct stat s {};
    ::stat(cami.toUtf8().constData(), &s);
    return int(s.st_mode & 0777);
}
