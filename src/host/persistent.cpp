#include "host/persistent.h"

#include "host/exceptions.h"

namespace vorgrd {

namespace {

QString className(const QObject *object)
{
    QString name = QString::fromLatin1(object->metaObject()->className());
    // The namespace is an implementation detail; users know the class by its name.
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

} // namespace

void TPersistent::Assign(const TPersistent *source)
{
    if (!source)
        AssignError(nullptr);
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent *dest) const
{
    dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent *source) const
{
    const QString from = source ? className(source) : QStringLiteral("nil");
    throw EConvertError(QStringLiteral("Cannot assign a %1 to a %2").arg(from, className(this)));
}

} // namespace vorgrd
