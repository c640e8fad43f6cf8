#include "host/exceptions.h"

namespace vorgrd {

Exception::Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8())
{
}

const char *Exception::what() const noexcept
{
    return m_utf8.constData();
}

} // namespace vorgrd
