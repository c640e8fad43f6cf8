#pragma once
// The form stream: a component's published properties as JSON, so that a form
// designer or an application can store a configured grid and build it again.
//
// Writing walks the Q_PROPERTYs that the component's own classes declare (those in
// namespace vorgrd, the bases' included; QWidget's are not ours to store) and writes
// those its stored rule selects. A property's stored rule is its STORED flag, or,
// where the class names a test with Q_CLASSINFO("stored:<Property>", "<Test>"), the
// result of calling that Q_INVOKABLE test. Values are written as:
//   bool, integer, double, text   as JSON booleans, numbers, strings
//   enumeration                   the value's name ("ftnumeric")
//   flag set                      names joined by "|" ("goVertLine|goEditing"), "" when empty
//   string list (QStringList or TStrings*) an array of strings (a TStrings is filled in place)
//   collection (TCollection*)     an array of objects, one per item, each item's stored properties
//   other persistent (TPersistent*) an object of its stored properties, read back in place
// Events are code, not data: they are never streamed.
//
// Reading checks the whole stream against the component first (every name known and
// writable, every value of the right kind, every collection item readable into a
// scratch item), then sets the properties in their declaration order (so counts are
// set before what depends on them), fills the collections, and finally calls the
// component's Q_INVOKABLE Loaded() when it has one. Between the check and the real
// reading, a component whose class has a Q_INVOKABLE constructor is rehearsed: a
// scratch instance takes the component's stored state, the stream and Loaded(), so
// that a value refused only together with others (or only by Loaded()) is found while
// the component is untouched. Anything wrong raises EReadError naming the property
// (a failure in Loaded() names "properties"), and the component is left as it was.

#include "host/vorgrdexport.h"
#include <QByteArray>
#include <QJsonObject>

class QObject;

namespace vorgrd {

// {"class": "<class name>", "properties": {...}}
VORGRD_EXPORT QJsonObject WriteComponent(const QObject &component);
VORGRD_EXPORT QByteArray SaveComponent(const QObject &component); // indented JSON text

VORGRD_EXPORT void ReadComponent(QObject &component, const QJsonObject &stream);
VORGRD_EXPORT void LoadComponent(QObject &component, const QByteArray &json);

} // namespace vorgrd
