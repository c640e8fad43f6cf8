#pragma once
// The consumer programs' checks: each prints "ok: ..." or "FAILED: ...", and the
// program's exit code says whether any failed.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>

inline int failures = 0;

inline void check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

// The grid's form stream that a check compares with; empty when the file is missing.
inline QByteArray expectedStream(const char *path)
{
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline int finish(const char *program)
{
    std::printf("%s: %s\n", program, failures ? "FAILED" : "all checks passed");
    return failures ? 1 : 0;
}
