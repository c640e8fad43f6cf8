#include "host/propertywriteguard.h"

#include "host/exceptions.h"

#include <QMetaProperty>
#include <QObject>
#include <QVariant>

#include <cstring>
#include <exception>
#include <utility>

namespace vorgrd {

namespace {

// Set by writePropertyRaising for the one write it starts. The guard takes it before
// the setter runs, so that writes the setter makes in turn are guarded as usual.
thread_local std::exception_ptr *t_handOver = nullptr;

QString shortClassName(const QObject &object)
{
    const QString name = QString::fromLatin1(object.metaObject()->className());
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

// The value as the warning shows it: an enumeration or flag set by its number (a
// refused one has no name), a text in quotes and cut short, an object by its type.
QString valueText(const QMetaProperty &property, const void *value)
{
    const QMetaType type = property.metaType();
    if (property.isEnumType() && type.sizeOf() == sizeof(int)) {
        int number = 0;
        std::memcpy(&number, value, sizeof number);
        return QString::number(number);
    }
    const QVariant variant(type, value);
    if (type.id() == QMetaType::QString) {
        const QString text = variant.toString();
        constexpr qsizetype shown = 60;
        return u'"' + text.left(shown) + (text.size() > shown ? QStringLiteral("...\"") : QStringLiteral("\""));
    }
    if (variant.canConvert<QString>()) return variant.toString();
    return QString::fromLatin1(type.name());
}

void reportRefusal(const QObject &object, int id, void **argv, std::exception_ptr failure) noexcept
{
    try {
        const QMetaProperty property = object.metaObject()->property(id);
        const QString line = QStringLiteral("vorgrd: %1::%2 refused the value %3: %4")
                                 .arg(shortClassName(object), QLatin1String(property.name()),
                                      valueText(property, argv[0]), messageOf(failure));
        qWarning("%s", qPrintable(line));
    } catch (...) {
        // Out of memory while reporting: the report is all that is lost.
    }
}

} // namespace

namespace internal {

int guardedPropertyWrite(QObject &object, bool &passThrough, int id, void **argv) noexcept
{
    std::exception_ptr *handOver = std::exchange(t_handOver, nullptr);
    passThrough = true;
    try {
        object.qt_metacall(QMetaObject::WriteProperty, id, argv);
        passThrough = false;
        return -1;
    } catch (...) {
        passThrough = false;
        if (handOver)
            *handOver = std::current_exception();
        else
            reportRefusal(object, id, argv, std::current_exception());
    }
    // QMetaProperty::write returns this status: the write failed.
    if (argv[2]) *static_cast<int *>(argv[2]) = 0;
    return -1;
}

} // namespace internal

bool writePropertyRaising(QObject &object, const QMetaProperty &property, const QVariant &value)
{
    std::exception_ptr failure;
    t_handOver = &failure;
    const bool written = property.write(&object, value);
    t_handOver = nullptr;
    if (failure) std::rethrow_exception(failure);
    return written;
}

} // namespace vorgrd
