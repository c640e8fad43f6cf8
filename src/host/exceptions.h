#pragma once
// The library's failures. Every error is a C++ exception derived from Exception,
// which carries a QString message that says what was wrong and with which value.
// what() gives the same message in UTF-8 for code that only knows std::exception.

#include "host/vorgrdexport.h"
#include <QByteArray>
#include <QMetaEnum>
#include <QString>

#include <algorithm>
#include <exception>
#include <new>
#include <stdexcept>
#include <type_traits>

namespace vorgrd {

class VORGRD_EXPORT Exception : public std::exception
{
public:
    explicit Exception(QString message);

    // The message as the user sees it.
    const QString &Message() const noexcept { return m_message; }
    const char *what() const noexcept override;

private:
    QString m_message;
    QByteArray m_utf8; // what() must return storage that outlives the call
};

// An index or a sorted-list rule of a string list was violated.
class VORGRD_EXPORT EListError : public Exception
{
public:
    using Exception::Exception;
};

// A text could not be converted to a number or a date.
class VORGRD_EXPORT EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// A file could not be read or written.
class VORGRD_EXPORT EInOutError : public Exception
{
public:
    using Exception::Exception;
};

// A variant had no form the operation could use.
class VORGRD_EXPORT EVariantError : public Exception
{
public:
    using Exception::Exception;
};

// A form stream was malformed or did not fit the component it was read into.
class VORGRD_EXPORT EReadError : public Exception
{
public:
    using Exception::Exception;
};

// An index (a row, a column, a count) lay outside what the grid holds.
class VORGRD_EXPORT ERangeError : public Exception
{
public:
    using Exception::Exception;
};

// A file to be read could not be opened; the message is "File " + name + " not found".
class VORGRD_EXPORT MFileError : public Exception
{
public:
    using Exception::Exception;
};

// The message of a caught exception: an Exception's Message(), a std::exception's
// what(), or a fixed text for anything else thrown. Rethrows nothing.
VORGRD_EXPORT QString messageOf(std::exception_ptr failure);

// ---- argument checks --------------------------------------------------------------
// Every argument check of the library raises its ERangeError through these, so that
// every refusal reads alike:
//   "<operation>: <what> <value> is out of range (valid: <first>..<last>)"
// (without "<operation>: " when the operation is empty). A check comes before
// anything changes, so a refused call leaves everything as it was.

[[noreturn]] VORGRD_EXPORT void throwRangeError(const char *operation, const char *what, qint64 value,
                                  qint64 first, qint64 last);

inline void checkRange(const char *operation, const char *what, qint64 value, qint64 first,
                       qint64 last)
{
    if (value < first || value > last) throwRangeError(operation, what, value, first, last);
}

// For a bound on one side only: "<what> <value> is out of range (valid: <first> or
// more)".
[[noreturn]] VORGRD_EXPORT void throwBelowRangeError(const char *operation, const char *what,
                                                     qint64 value, qint64 first);

inline void checkAtLeast(const char *operation, const char *what, qint64 value, qint64 first)
{
    if (value < first) throwBelowRangeError(operation, what, value, first);
}

// An enumeration value must be one the enumeration declares; its bounds come from the
// enumeration's own meta data, so adding a value needs no change here. (Our published
// enumerations have a fixed underlying type, so a value outside them can be held and
// looked at without undefined behaviour, and refused here.)
template <class E> void checkEnumRange(const char *operation, const char *what, E value)
{
    static_assert(std::is_enum_v<E>);
    const QMetaEnum meta = QMetaEnum::fromType<E>();
    const int raw = static_cast<int>(value);
    if (meta.valueToKey(raw)) return;
    int first = meta.keyCount() > 0 ? meta.value(0) : 0, last = first;
    for (int i = 1; i < meta.keyCount(); ++i) {
        first = std::min(first, meta.value(i));
        last = std::max(last, meta.value(i));
    }
    throwRangeError(operation, what, raw, first, last);
}

// Runs a public operation's allocating step: running out of memory (or asking for a
// container larger than it can be) becomes an Exception naming the operation, not a
// std::bad_alloc or std::length_error the caller does not expect from this library.
template <class Work> decltype(auto) withMemoryCheck(const char *operation, Work &&work)
{
    try {
        return work();
    } catch (const std::bad_alloc &) {
        throw Exception(QStringLiteral("%1: out of memory").arg(QLatin1String(operation)));
    } catch (const std::length_error &) {
        throw Exception(QStringLiteral("%1: out of memory").arg(QLatin1String(operation)));
    }
}

} // namespace vorgrd
