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
    TDataSet() = default;
    virtual ~TDataSet();
    TDataSet(const TDataSet &) = delete;
    TDataSet &operator=(const TDataSet &) = delete;

    // The field whose name matches `name`, or nullptr when there is none. The data
    // set owns the field; it stays valid as long as the data set.
    virtual TField *FindField(const QString &name) = 0;
    virtual int FieldCount() const = 0;
    // Field `index` (0..FieldCount()-1), EListError outside.
    virtual TField *Fields(int index) = 0;

    // Back to the first record.
    virtual void First() = 0;
    // On to the next record; after the last one Eof turns true. At Eof nothing.
    virtual void Next() = 0;
    // True when there is no current record (an empty result, or past the last).
    virtual bool Eof() const = 0;
};

} // namespace vorgrd
