#include "host/exceptions.h"

namespace vorgrd {

Exception::Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8())
{
}

const char *Exception::what() const noexcept
{
    return m_utf8.constData();
}

QString messageOf(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const Exception &e) {
        return e.Message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("an exception that is no std::exception");
    }
}

namespace {

[[noreturn]] void throwOutOfRange(const char *operation, const char *what, qint64 value,
                                  const QString &valid)
{
    QString message = QStringLiteral("%1 %2 is out of range (valid: %3)")
                          .arg(QLatin1String(what))
                          .arg(value)
                          .arg(valid);
    if (operation && *operation) message.prepend(QLatin1String(operation) + QLatin1String(": "));
    throw ERangeError(message);
}

} // namespace

void throwRangeError(const char *operation, const char *what, qint64 value, qint64 first,
                     qint64 last)
{
    throwOutOfRange(operation, what, value, QStringLiteral("%1..%2").arg(first).arg(last));
}

void throwBelowRangeError(const char *operation, const char *what, qint64 value, qint64 first)
{
    throwOutOfRange(operation, what, value, QStringLiteral("%1 or more").arg(first));
}

} // namespace vorgrd
