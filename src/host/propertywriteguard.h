#pragma once
// PropertyWriteGuard: no exception crosses Qt's meta-object calls.
//
// The setters of the published properties raise on a value they refuse (ERangeError,
// nothing changed), as their documentation says; C++ code that calls them gets the
// exception. Qt's own code is not exception-safe, though, and it writes properties
// too: QObject::setProperty, QMetaProperty::write, QUiLoader, Qt Designer's property
// editor, and uic's code for properties it sets through setProperty. Every such write
// runs its setter inside this guard, which turns a refusal into what Qt expects of a
// failed write:
//   - the write returns false (setProperty, QMetaProperty::write),
//   - a qWarning names the class, the property, the value and the setter's message:
//       vorgrd: tvorgrid::KeyType refused the value 99: setKeyType: KeyType 99 is out of range (valid: 0..3)
//   - the object is as it was (the setter changed nothing).
//
// How: Qt hands a property write of a QObject class to the object's virtual
// qt_metacall. The most derived class's moc code passes every call down to its base
// first and handles its own properties on the way back up, so the guard sits under
// the lowest class of ours (TPersistent on QObject, TCustomGrid on
// QAbstractScrollArea). When a write reaches it from above, it starts the same write
// again from the top inside a try block, lets that second pass go by, and tells the
// callers above that the write is done. So one guard covers the properties of every
// class above it, an application's own subclasses included.

#include "host/vorgrdexport.h"

#include <QMetaObject>

class QMetaProperty;
class QObject;
class QVariant;

namespace vorgrd {

namespace internal {
// Runs the write `id` (an absolute property index) of `object` again from its most
// derived qt_metacall and reports a failure as above; returns -1 (handled). Sets
// `passThrough` so that the guard lets the second pass go by. Never throws.
VORGRD_EXPORT int guardedPropertyWrite(QObject &object, bool &passThrough, int id, void **argv) noexcept;
} // namespace internal

template <class Base> class PropertyWriteGuard : public Base
{
public:
    using Base::Base;

    int qt_metacall(QMetaObject::Call call, int id, void **argv) override
    {
        if (call != QMetaObject::WriteProperty) return Base::qt_metacall(call, id, argv);
        if (m_passThrough) {
            m_passThrough = false;
            return Base::qt_metacall(call, id, argv);
        }
        return internal::guardedPropertyWrite(*this, m_passThrough, id, argv);
    }

private:
    bool m_passThrough = false;
};

// Writes a property through the meta-object and lets the setter's exception reach the
// caller (C++ code that wants the reason, such as the form stream), without letting
// it pass through Qt's code: the guard hands it over instead of reporting it. Returns
// false, without throwing, when Qt refused the write before any setter ran (a value
// of a type it cannot convert, a read-only property).
VORGRD_EXPORT bool writePropertyRaising(QObject &object, const QMetaProperty &property, const QVariant &value);

} // namespace vorgrd
