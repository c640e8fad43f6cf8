// tvorgrid's columns as one JSON text, the property through which Qt Designer's .ui
// files, uic and QUiLoader carry the columns.
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/exceptions.h"
#include "host/formstream.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>

namespace vorgrd {

namespace {

const QString ColumnsKey = QStringLiteral("columns");
const QString PropertiesKey = QStringLiteral("properties");

} // namespace

QString tvorgrid::ColumnsJson() const
{
    // Writing the whole component streams properties only, never cells, so taking
    // the columns out of it stays cheap on any grid.
    const QJsonObject properties = WriteComponent(*this).value(PropertiesKey).toObject();
    return QString::fromUtf8(QJsonDocument(properties.value(ColumnsKey).toArray()).toJson(QJsonDocument::Compact));
}

void tvorgrid::LoadColumnsJson(const QString &json)
{
    if (json.trimmed().isEmpty()) return;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError)
        throw EReadError(QStringLiteral("ColumnsJson: %1 at offset %2").arg(error.errorString()).arg(error.offset));
    if (!document.isArray())
        throw EReadError(QStringLiteral("ColumnsJson: expected an array of columns"));
    // Through the form stream, which checks every item before anything changes and
    // sets ColCount (a base property, so first) before it fills the columns.
    const QJsonArray columnsArray = document.array();
    QJsonObject properties;
    properties.insert(QStringLiteral("ColCount"), int(columnsArray.size()));
    properties.insert(ColumnsKey, columnsArray);
    QJsonObject stream = WriteComponent(*this);
    stream.insert(PropertiesKey, properties);
    ReadComponent(*this, stream);
}

void tvorgrid::setColumnsJson(const QString &json)
{
    // uic's retranslateUi() writes a translatable text again on every language change:
    // the text this property last took must not undo what the application changed
    // since (a .ui saved without the notr mark).
    if (json == d->lines.columnsJsonTaken) return;
    try {
        LoadColumnsJson(json);
        d->lines.columnsJsonTaken = json;
    } catch (const std::exception &e) {
        qWarning("vorgrd: %s", e.what());
    }
}

} // namespace vorgrd
