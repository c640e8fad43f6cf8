#pragma once
// TPersistent: the base of every object that can copy itself from another of its
// kind and that the form stream can write and read. Its published properties are
// Q_PROPERTYs; the form stream (formstream.h) walks them through the meta-object.
// A write through the meta-object that a setter refuses returns false with a warning
// instead of raising through Qt's code (host/propertywriteguard.h).

#include "host/propertywriteguard.h"
#include "host/vorgrdexport.h"
#include <QObject>

namespace vorgrd {

class VORGRD_EXPORT TPersistent : public PropertyWriteGuard<QObject>
{
    Q_OBJECT
public:
    explicit TPersistent(QObject *parent = nullptr) : PropertyWriteGuard<QObject>(parent) {}

    // Copies `source` into this object. The default asks the source to do it
    // (AssignTo), which fails with EConvertError ("Cannot assign a X to a Y") unless
    // a subclass knows how; the target is unchanged then. A null source fails too.
    virtual void Assign(const TPersistent *source);

protected:
    // Copies this object into `dest`; the default raises the cannot-assign error.
    virtual void AssignTo(TPersistent *dest) const;
    // Raises EConvertError naming both classes.
    [[noreturn]] void AssignError(const TPersistent *source) const;
};

} // namespace vorgrd
