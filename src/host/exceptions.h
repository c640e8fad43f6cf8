#pragma once
// The library's failures. Every error is a C++ exception derived from Exception,
// which carries a QString message that says what was wrong and with which value.
// what() gives the same message in UTF-8 for code that only knows std::exception.

#include "host/vorgrdexport.h"
#include <QByteArray>
#include <QString>

#include <exception>

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

} // namespace vorgrd
