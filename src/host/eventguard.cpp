#include "host/eventguard.h"

#include "host/exceptions.h"

#include <QtGlobal>

namespace vorgrd {

void reportEventFailure(const char *handler, std::exception_ptr failure) noexcept
{
    try {
        const QByteArray message = messageOf(failure).toUtf8();
        qWarning("vorgrd: %s: %s", handler, message.constData());
    } catch (...) {
        // Out of memory while reporting: the report is all that is lost.
    }
}

} // namespace vorgrd
