#include "host/exceptions.h"

namespace vorgrd {

Exception::Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8())
{
}

const char *Exception::what() const noexcept
{
    return m_utf8.constData();
}

void throwRangeError(const char *operation, const char *what, qint64 value, qint64 first,
                     qint64 last)
{
    QString message = QStringLiteral("%1 %2 is out of range (valid: %3..%4)")
                          .arg(QLatin1String(what))
                          .arg(value)
                          .arg(first)
                          .arg(last);
    if (operation && *operation) message.prepend(QLatin1String(operation) + QLatin1String(": "));
    throw ERangeError(message);
}

} // namespace vorgrd
