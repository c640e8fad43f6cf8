// Writing and reading components as JSON through their meta-objects.
//
//   WriteComponent -> writeObject -> writeValue (recurses into persistent objects
//                                                and collection items)
//   ReadComponent  -> readObject(Check) : the dry run that finds every fault first
//                  -> readObject(Apply) : sets the values; restores on a late fault
//                  -> Loaded()
#include "host/formstream.h"

#include "host/collection.h"
#include "host/exceptions.h"
#include "host/propertywriteguard.h"
#include "host/strings.h"
#include "host/updatebracket.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaObject>
#include <QMetaProperty>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace vorgrd {

namespace {

enum class Mode { Check, Apply };

bool isOwnClass(const QMetaObject *meta)
{
    return QByteArray(meta->className()).startsWith("vorgrd::");
}

QString shortClassName(const QMetaObject *meta)
{
    const QString name = QString::fromLatin1(meta->className());
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

// The properties our classes declare, bases first, each class in declaration order.
std::vector<QMetaProperty> ownProperties(const QMetaObject *meta)
{
    std::vector<const QMetaObject *> chain;
    for (const QMetaObject *m = meta; m; m = m->superClass())
        if (isOwnClass(m))
            chain.insert(chain.begin(), m);
    std::vector<QMetaProperty> properties;
    for (const QMetaObject *m : chain)
        for (int i = m->propertyOffset(); i < m->propertyCount(); ++i)
            properties.push_back(m->property(i));
    return properties;
}

QObject *objectValue(const QVariant &value)
{
    if (!(value.metaType().flags() & QMetaType::PointerToQObject))
        return nullptr;
    return *static_cast<QObject *const *>(value.constData());
}

bool holdsStrings(const QMetaProperty &property)
{
    return property.metaType() == QMetaType::fromType<TStrings *>();
}

TStrings *stringsValue(const QVariant &value)
{
    return *static_cast<TStrings *const *>(value.constData());
}

QStringList textArray(const QJsonValue &json, const QString &path);

bool holdsObject(const QMetaProperty &property)
{
    return property.metaType().flags() & QMetaType::PointerToQObject;
}

bool isStored(const QObject &object, const QMetaProperty &property)
{
    if (!property.isReadable() || !property.isStored())
        return false;
    if (!property.isWritable() && !holdsObject(property) && !holdsStrings(property))
        return false;
    const QMetaObject *meta = object.metaObject();
    const QByteArray key = QByteArray("stored:") + property.name();
    const int info = meta->indexOfClassInfo(key.constData());
    if (info < 0)
        return true;
    bool stored = false;
    if (!QMetaObject::invokeMethod(const_cast<QObject *>(&object), meta->classInfo(info).value(),
                                   Qt::DirectConnection, Q_RETURN_ARG(bool, stored)))
        throw Exception(QStringLiteral("%1 names the stored test %2, which cannot be called")
                            .arg(QString::fromLatin1(property.name()),
                                 QString::fromLatin1(meta->classInfo(info).value())));
    return stored;
}

QJsonObject writeObject(const QObject &object);

QJsonValue writeValue(const QObject &object, const QMetaProperty &property)
{
    const QVariant value = property.read(&object);
    if (property.isFlagType())
        return QString::fromLatin1(property.enumerator().valueToKeys(value.toInt()));
    if (property.isEnumType())
        return QString::fromLatin1(property.enumerator().valueToKey(value.toInt()));
    switch (property.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        return QJsonArray::fromStringList(value.toStringList());
    default:
        break;
    }
    if (holdsStrings(property)) {
        const TStrings *list = stringsValue(value);
        return QJsonArray::fromStringList(list ? list->toStringList() : QStringList());
    }
    if (holdsObject(property)) {
        QObject *inner = objectValue(value);
        if (auto *collection = qobject_cast<TCollection *>(inner)) {
            QJsonArray items;
            for (int i = 0; i < collection->Count(); ++i)
                items.append(writeObject(*collection->Items(i)));
            return items;
        }
        if (inner)
            return writeObject(*inner);
        return QJsonValue::Null;
    }
    throw Exception(QStringLiteral("The property %1 has the type %2, which the form stream cannot write")
                        .arg(QString::fromLatin1(property.name()),
                             QString::fromLatin1(property.metaType().name())));
}

QJsonObject writeObject(const QObject &object)
{
    QJsonObject properties;
    for (const QMetaProperty &property : ownProperties(object.metaObject()))
        if (isStored(object, property))
            properties.insert(QString::fromLatin1(property.name()), writeValue(object, property));
    return properties;
}

// ---- reading ------------------------------------------------------------------

[[noreturn]] void fail(const QString &path, const QString &what)
{
    throw EReadError(QStringLiteral("Error reading %1: %2").arg(path, what));
}

QVariant enumValue(const QMetaProperty &property, const QJsonValue &json, const QString &path)
{
    if (!json.isString())
        fail(path, QStringLiteral("expected the name of a value"));
    const QMetaEnum meta = property.enumerator();
    const QByteArray key = json.toString().toLatin1();
    bool ok = false;
    int value = 0;
    if (property.isFlagType() && key.isEmpty())
        ok = true; // the empty set
    else if (property.isFlagType())
        value = meta.keysToValue(key.constData(), &ok);
    else
        value = meta.keyToValue(key.constData(), &ok);
    if (!ok)
        fail(path, QStringLiteral("'%1' is not a value of %2")
                       .arg(json.toString(), QString::fromLatin1(meta.name())));
    QVariant variant(value);
    if (!variant.convert(property.metaType()))
        fail(path, QStringLiteral("cannot convert '%1'").arg(json.toString()));
    return variant;
}

QVariant integerValue(const QJsonValue &json, double low, double high, const QString &path)
{
    const double d = json.toDouble();
    if (!json.isDouble() || std::floor(d) != d || d < low || d > high)
        fail(path, QStringLiteral("expected an integer from %1 to %2").arg(low, 0, 'f', 0).arg(high, 0, 'f', 0));
    return QVariant(d);
}

// The value a JSON item stands for, converted to the property's type. Objects
// (persistent objects and collections) are handled by the caller.
QVariant scalarValue(const QMetaProperty &property, const QJsonValue &json, const QString &path)
{
    if (property.isEnumType())
        return enumValue(property, json, path);
    QVariant value;
    switch (property.metaType().id()) {
    case QMetaType::Bool:
        if (!json.isBool())
            fail(path, QStringLiteral("expected true or false"));
        value = json.toBool();
        break;
    case QMetaType::Int:
        value = integerValue(json, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), path);
        break;
    case QMetaType::UInt:
        value = integerValue(json, 0, std::numeric_limits<unsigned>::max(), path);
        break;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        value = integerValue(json, -9007199254740992.0, 9007199254740992.0, path);
        break;
    case QMetaType::Double:
        if (!json.isDouble())
            fail(path, QStringLiteral("expected a number"));
        value = json.toDouble();
        break;
    case QMetaType::QString:
        if (!json.isString())
            fail(path, QStringLiteral("expected a text"));
        value = json.toString();
        break;
    case QMetaType::QStringList:
        value = textArray(json, path);
        break;
    default:
        fail(path, QStringLiteral("the type %1 cannot be read")
                       .arg(QString::fromLatin1(property.metaType().name())));
    }
    if (!value.convert(property.metaType()))
        fail(path, QStringLiteral("cannot convert the value"));
    return value;
}

QStringList textArray(const QJsonValue &json, const QString &path)
{
    if (!json.isArray())
        fail(path, QStringLiteral("expected an array of texts"));
    QStringList list;
    for (const QJsonValue &item : json.toArray()) {
        if (!item.isString())
            fail(path, QStringLiteral("expected an array of texts"));
        list << item.toString();
    }
    return list;
}

void readObject(QObject &object, const QJsonObject &json, const QString &path, Mode mode);

void readCollection(TCollection &collection, const QJsonValue &json, const QString &path, Mode mode)
{
    if (!json.isArray())
        fail(path, QStringLiteral("expected an array of items"));
    const QJsonArray items = json.toArray();
    for (qsizetype i = 0; i < items.size(); ++i)
        if (!items[i].isObject())
            fail(QStringLiteral("%1[%2]").arg(path).arg(i), QStringLiteral("expected an object"));
    if (mode == Mode::Check) {
        // Each item is read into a scratch item of the same class: that runs the
        // setters, so a value a setter refuses is found before anything changes.
        for (qsizetype i = 0; i < items.size(); ++i) {
            std::unique_ptr<TCollectionItem> scratch(collection.MakeFreeItem());
            readObject(*scratch, items[i].toObject(), QStringLiteral("%1[%2]").arg(path).arg(i), mode);
        }
        return;
    }
    UpdateBracket bracket(collection);
    collection.Clear();
    for (qsizetype i = 0; i < items.size(); ++i)
        readObject(*collection.Add(), items[i].toObject(), QStringLiteral("%1[%2]").arg(path).arg(i), mode);
}

void readProperty(QObject &object, const QMetaProperty &property, const QJsonValue &json,
                  const QString &path, Mode mode)
{
    if (holdsObject(property)) {
        QObject *inner = objectValue(property.read(&object));
        if (!inner)
            fail(path, QStringLiteral("the component holds no object here"));
        if (auto *collection = qobject_cast<TCollection *>(inner))
            return readCollection(*collection, json, path, mode);
        if (!json.isObject())
            fail(path, QStringLiteral("expected an object"));
        return readObject(*inner, json.toObject(), path, mode);
    }
    if (holdsStrings(property)) {
        // A string list is filled in place, like a persistent object.
        const QStringList texts = textArray(json, path);
        TStrings *list = stringsValue(property.read(&object));
        if (!list)
            fail(path, QStringLiteral("the component holds no list here"));
        if (mode == Mode::Apply)
            list->setStringList(texts);
        return;
    }
    if (!property.isWritable())
        fail(path, QStringLiteral("the property is read-only"));
    const QVariant value = scalarValue(property, json, path);
    // A setter's exception comes back here with its message, not as a warning.
    if (mode == Mode::Apply && !writePropertyRaising(object, property, value))
        fail(path, QStringLiteral("the value was refused"));
}

void readObject(QObject &object, const QJsonObject &json, const QString &path, Mode mode)
{
    const std::vector<QMetaProperty> properties = ownProperties(object.metaObject());
    if (mode == Mode::Check)
        for (auto it = json.begin(); it != json.end(); ++it) {
            const bool known = std::any_of(properties.begin(), properties.end(), [&](const QMetaProperty &p) {
                return QLatin1String(p.name()) == it.key();
            });
            if (!known)
                fail(path.isEmpty() ? it.key() : path + u'.' + it.key(),
                     QStringLiteral("%1 has no such property").arg(shortClassName(object.metaObject())));
        }
    for (const QMetaProperty &property : properties) {
        const QString name = QString::fromLatin1(property.name());
        const auto it = json.find(name);
        if (it == json.end())
            continue;
        const QString inner = path.isEmpty() ? name : path + u'.' + name;
        try {
            readProperty(object, property, it.value(), inner, mode);
        } catch (const EReadError &) {
            throw;
        } catch (const std::exception &e) {
            fail(inner, QString::fromUtf8(e.what()));
        }
    }
}

// Loaded() of a component that has one; what it raises becomes a read error.
void callLoaded(QObject &component)
{
    if (component.metaObject()->indexOfMethod("Loaded()") < 0)
        return;
    try {
        QMetaObject::invokeMethod(&component, "Loaded", Qt::DirectConnection);
    } catch (const EReadError &) {
        throw;
    } catch (const std::exception &e) {
        fail(QStringLiteral("properties"), QString::fromUtf8(e.what()));
    }
}

// The dry run on a scratch component of the same class (when the class can be made
// through an invokable constructor): it takes the component's stored state, then the
// stream, then Loaded(). A value refused only in combination with others (a count
// below a fixed count) or only by Loaded() is found there, while the component itself
// is still untouched: its widths, heights, marks, current cell and cells stay as they
// were, which putting properties back afterwards could not promise.
void rehearse(const QObject &component, const QJsonObject &before, const QJsonObject &properties)
{
    std::unique_ptr<QObject> scratch(component.metaObject()->newInstance());
    if (!scratch)
        return;
    try {
        readObject(*scratch, before, QString(), Mode::Apply);
    } catch (const std::exception &) {
        return; // a component whose own state does not read back: no rehearsal
    }
    readObject(*scratch, properties, QString(), Mode::Apply);
    callLoaded(*scratch);
}

} // namespace

QJsonObject WriteComponent(const QObject &component)
{
    QJsonObject stream;
    stream.insert(QStringLiteral("class"), shortClassName(component.metaObject()));
    stream.insert(QStringLiteral("properties"), writeObject(component));
    return stream;
}

QByteArray SaveComponent(const QObject &component)
{
    return QJsonDocument(WriteComponent(component)).toJson(QJsonDocument::Indented);
}

void ReadComponent(QObject &component, const QJsonObject &stream)
{
    const QString expected = shortClassName(component.metaObject());
    if (stream.value(QStringLiteral("class")).toString() != expected)
        fail(QStringLiteral("class"), QStringLiteral("expected \"%1\"").arg(expected));
    const QJsonValue properties = stream.value(QStringLiteral("properties"));
    if (!properties.isObject())
        fail(QStringLiteral("properties"), QStringLiteral("expected an object"));
    readObject(component, properties.toObject(), QString(), Mode::Check);

    const QJsonObject before = writeObject(component);
    rehearse(component, before, properties.toObject());
    try {
        readObject(component, properties.toObject(), QString(), Mode::Apply);
        callLoaded(component);
    } catch (...) {
        // A setter refused a value that neither the check nor the rehearsal could
        // foresee: put back what the component held.
        try {
            readObject(component, before, QString(), Mode::Apply);
        } catch (...) {
        }
        throw;
    }
}

void LoadComponent(QObject &component, const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        fail(QStringLiteral("the stream"), QStringLiteral("%1 at offset %2").arg(error.errorString()).arg(error.offset));
    if (!document.isObject())
        fail(QStringLiteral("the stream"), QStringLiteral("expected a JSON object"));
    ReadComponent(component, document.object());
}

} // namespace vorgrd
