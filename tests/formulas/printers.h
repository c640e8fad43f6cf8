#pragma once
// Lets GoogleTest print QStrings (and lists of them) as text in failure messages.
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
