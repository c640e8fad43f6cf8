#pragma once
// Data sets: what the grid needs of a database result to fill rows from it, a
// current record whose fields are found by name and read as text.
//
// `TDataSet` is the interface the grid's fill operations use (tvorgrid::
// FillrowfromDB); `TSqlDataSet` (datasetsql.h) implements it over Qt SQL, so any Qt
// SQL driver serves. An application may implement it over anything else (a JSON
// array, a model) with the same few members.
//
// Navigation follows the usual data-set road: a data set stands on its first record
// once opened (Eof when it has none), Next moves on, and Eof turns true after the
// last record.

#include "host/exceptions.h"
#include "host/vorgrdexport.h"

#include <QString>

#include <memory>
#include <vector>

namespace vorgrd {

// A database operation failed: a query that does not run, a closed data set, no
// current record. The message carries the driver's own text where there is one.
class VORGRD_EXPORT EDatabaseError : public Exception
{
public:
    using Exception::Exception;
};

class VORGRD_EXPORT TField
{
public:
    virtual ~TField();
    virtual QString FieldName() const = 0;
    // The value in the current record as text (the empty text for NULL). Raises
    // EDatabaseError when the data set has no current record, EConvertError when
    // the value has no text form.
    virtual QString AsString() const = 0;
    // Whether the value in the current record is NULL.
    virtual bool IsNull() const = 0;
};

class VORGRD_EXPORT TDataSet
{
public:
    TDataSet();
    virtual ~TDataSet();
    TDataSet(const TDataSet &) = delete;
    TDataSet &operator=(const TDataSet &) = delete;

    // The field whose name matches `name`, or nullptr when there is none. The data
    // set owns the field; it stays valid as long as the data set. The fields and the
    // answers do not change while the data set lives.
    virtual TField *FindField(const QString &name) = 0;
    // The fields a row of columns named `names` takes, one per name; nullptr for an
    // empty name and for one that matches no field. Each name takes the first field it
    // matches that no earlier name took, so that a name repeated for fields of one
    // name (the two "id" of a join) takes them in turn; a name whose fields are all
    // taken takes its first. The default knows no rule beyond FindField: a field's
    // other matches are the later fields of exactly the first one's name. A data set
    // whose names match by rules of their own overrides it (TSqlDataSet does).
    virtual std::vector<TField *> MatchFields(const std::vector<QString> &names);
    // MatchFields(names), asked once and remembered while the same names come again,
    // as they do for every record of a fill (tvorgrid::FillrowfromDB). A copy, so
    // that a fill nested in a field's text access, asking for other names, does not
    // take the answer from under the outer one (and no shared pointer's type
    // information leaves the library).
    std::vector<TField *> ColumnFields(const std::vector<QString> &names);
    virtual int FieldCount() const = 0;
    // Field `index` (0..FieldCount()-1), EListError outside.
    virtual TField *Fields(int index) = 0;

    // Back to the first record.
    virtual void First() = 0;
    // On to the next record; after the last one Eof turns true. At Eof nothing.
    virtual void Next() = 0;
    // True when there is no current record (an empty result, or past the last).
    virtual bool Eof() const = 0;

private:
    // The names ColumnFields was last asked for and its answer.
    struct Matched;
    std::unique_ptr<Matched> m_matched;
};

} // namespace vorgrd
