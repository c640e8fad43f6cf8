#pragma once
// Internal to the library: what a key is and how keys compare and match. TvorList,
// the grid's sorts and its search all cut, compare and match keys through this, so
// that the three can never disagree about a key.
//
//   KeyRule      where the key lies in a text, its type and the sort direction
//   cutKey       the key of a text
//   KeyMatch     a searched-for text converted once for the key type; matches(),
//                compareWithMatch()
//   compareKeys  two keys in key order (the numeric order's text tie-break included)
//
// The orderings of whole ranges (the partition-exchange scheme, the text order and
// the numeric order with its text pass) are in keyorder_p.h.
#include "host/vorgrdexport.h"
#include "keyedlist/vorlist.h"

#include <QString>
#include <QStringView>

#include <algorithm>
#include <climits>

namespace vorgrd::internal {

// What a key length below 1 means. The keyed list stores such a length as 1 (its
// setter clamps it), and the grid's sorts, which have always ordered through a keyed
// list, cut the same way; the grid's search takes the length as it stands and so
// looks for the empty key. Both are results callers have relied on.
enum class ShortLength : quint8
{
    One,
    Empty
};

struct KeyRule
{
    int pos = 1;       // from 1; a position below 1 counts as 1
    int len = INT_MAX; // cut short at the end of the text
    TLSortType type = sString;
    bool descending = false;
    ShortLength shortLength = ShortLength::One;
};

// The key of `text`: `len` characters from character `pos` on, cut short at the end of
// the text; the empty key when `pos` lies beyond it.
inline QStringView cutKey(QStringView text, int pos, int len, ShortLength shortLength)
{
    if (len < 1) {
        if (shortLength == ShortLength::Empty) return {};
        len = 1;
    }
    const qsizetype start = pos < 1 ? 0 : qsizetype(pos) - 1;
    if (start >= text.size()) return {};
    return text.sliced(start, std::min<qsizetype>(len, text.size() - start));
}

inline QStringView cutKey(QStringView text, const KeyRule &rule)
{
    return cutKey(text, rule.pos, rule.len, rule.shortLength);
}

// The key as a text of its own; it shares `whole` when the key is all of it.
VORGRD_EXPORT QString keyText(const QString &whole, const KeyRule &rule);

inline int compareNumbers(double a, double b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

inline int compareCodeUnits(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseSensitive);
}

// A date key as a number. A key that is no date raises EConvertError: with an
// `operation`, worded "<operation>: "<key>" is not a valid date and time" (the keyed
// list's wording); without one, as StrToDateTime words it (the search's).
VORGRD_EXPORT double dateKeyOf(QStringView key, const char *operation);

// A text searched for, converted once: a number for sNumeric (its leading number), a
// date for sDate (a text that is no date raises EConvertError, see dateKeyOf), else the
// text itself. `substring` holds only for the text types; then sString's text is
// upper-cased (a-z), since the part search folds just those letters.
struct KeyMatch
{
    TLSortType type = sString;
    bool substring = false;
    QString text;
    double value = 0;
};

VORGRD_EXPORT KeyMatch matchFor(TLSortType type, bool substring, const QString &text,
                                const char *operation);

// Whether the item text `whole` matches: its key (cut by `rule`) equal to the text
// searched for, or, in a part search, the text occurring in the whole item text (an
// empty text occurs nowhere). sString compares through the text collator, so equal
// means equal ignoring case; a key that is no date raises EConvertError.
VORGRD_EXPORT bool matches(const KeyMatch &match, QStringView whole, const KeyRule &rule,
                           const char *operation);

// The sign of `key` against the text searched for, ascending (the part search plays
// no role here).
VORGRD_EXPORT int compareWithMatch(QStringView key, const KeyMatch &match, const char *operation);

// The sign of key `a` against key `b` in ascending key order, the numeric order's text
// order among keys of value 0 included (texts without a number count as 0).
VORGRD_EXPORT int compareKeys(QStringView a, QStringView b, TLSortType type,
                              const char *operation);

// Whether `upperNeedle` (upper-cased a-z) occurs in `haystack` with a-z folded the
// same way; an empty needle occurs nowhere.
VORGRD_EXPORT bool containsUpperCased(QStringView haystack, QStringView upperNeedle);

} // namespace vorgrd::internal
