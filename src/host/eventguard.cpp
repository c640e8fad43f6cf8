#include "host/eventguard.h"

#include "host/exceptions.h"

#include <QtGlobal>

namespace vorgrd {

namespace {

QByteArray messageOf(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const Exception &e) {
        return e.Message().toUtf8();
    } catch (const std::exception &e) {
        return QByteArray(e.what());
    } catch (...) {
        return QByteArrayLiteral("an exception that is no std::exception");
    }
}

} // namespace

void reportEventFailure(const char *handler, std::exception_ptr failure) noexcept
{
    try {
        const QByteArray message = messageOf(failure);
        qWarning("vorgrd: %s: %s", handler, message.constData());
    } catch (...) {
        // Out of memory while reporting: the report is all that is lost.
    }
}

} // namespace vorgrd
