#include "design/package.h"

#include <QFile>

namespace vorgrd {

QString PackageName()
{
    return QStringLiteral("vorgrd");
}

QString PackageDescription()
{
    QFile resource(QStringLiteral(":/vorgrd/DESCRIPTION"));
    if (!resource.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(resource.readAll()).trimmed();
}

QString PackageVersion()
{
    return QStringLiteral(VORGRD_VERSION_TEXT);
}

} // namespace vorgrd
