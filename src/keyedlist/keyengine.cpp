// The key engine: cutting, converting, matching and comparing keys, and the text
// order of whole ranges (orderAsText) that the keyed list and the grid's numeric
// order share.
#include "keyedlist/keyengine_p.h"

#include "host/exceptions.h"
#include "host/formatsettings.h"
#include "host/textconvert.h"
#include "keyedlist/keyconvert_p.h"
#include "keyedlist/keyorder_p.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <cmath>
#include <optional>
#include <utility>

namespace vorgrd::internal {

namespace {

QString ownedText(QStringView key, const QString &whole)
{
    // The whole text is shared rather than copied when the key is all of it.
    if (key.data() == whole.constData() && key.size() == whole.size()) return whole;
    return key.toString();
}

bool isTextType(TLSortType type)
{
    return type == sString || type == sStringCaseSensitive;
}

} // namespace

// ---- keys ---------------------------------------------------------------------------------

QString keyText(const QString &whole, const KeyRule &rule)
{
    return ownedText(cutKey(whole, rule), whole);
}

double dateKeyOf(QStringView key, const char *operation)
{
    if (!operation) return StrToDateTime(key.toString());
    double value = 0;
    if (!dateTimeOf(key, value) || std::isnan(value))
        throw EConvertError(QStringLiteral("%1: \"%2\" is not a valid date and time")
                                .arg(QLatin1StringView(operation), key.toString()));
    return value;
}

// ---- matching -----------------------------------------------------------------------------

bool containsUpperCased(QStringView haystack, QStringView upperNeedle)
{
    // OPTIMIZATION: folds while comparing instead of upper-casing every item text into
    // a new string.
    const qsizetype n = upperNeedle.size();
    if (n == 0 || n > haystack.size()) return false;
    const char16_t *h = haystack.utf16();
    const char16_t *u = upperNeedle.utf16();
    for (qsizetype start = 0; start + n <= haystack.size(); ++start) {
        qsizetype i = 0;
        for (; i < n; ++i) {
            char16_t c = h[start + i];
            if (c >= u'a' && c <= u'z') c = char16_t(c - (u'a' - u'A'));
            if (c != u[i]) break;
        }
        if (i == n) return true;
    }
    return false;
}

KeyMatch matchFor(TLSortType type, bool substring, const QString &text, const char *operation)
{
    KeyMatch match;
    match.type = type;
    match.substring = substring && isTextType(type);
    switch (type) {
    case sString:
        match.text = match.substring ? UpperCase(text) : text;
        break;
    case sStringCaseSensitive:
        match.text = text;
        break;
    case sNumeric:
        match.value = LeadingNumber(text);
        break;
    case sDate:
        match.value = dateKeyOf(text, operation);
        break;
    }
    return match;
}

bool matches(const KeyMatch &match, QStringView whole, const KeyRule &rule, const char *operation)
{
    if (match.substring) {
        if (match.type == sString) return containsUpperCased(whole, match.text);
        // An empty text occurs in no text: contains() would find it everywhere.
        return !match.text.isEmpty() && whole.contains(match.text);
    }
    const QStringView key = cutKey(whole, rule);
    switch (match.type) {
    case sString:
        return textCollator().compare(key, QStringView(match.text)) == 0;
    case sStringCaseSensitive:
        return key == QStringView(match.text);
    case sNumeric:
        return leadingNumberOf(key) == match.value;
    case sDate:
        return dateKeyOf(key, operation) == match.value;
    }
    return false;
}

int compareWithMatch(QStringView key, const KeyMatch &match, const char *operation)
{
    switch (match.type) {
    case sString:
        return textCollator().compare(key, QStringView(match.text));
    case sStringCaseSensitive:
        return compareCodeUnits(key, match.text);
    case sNumeric:
        return compareNumbers(leadingNumberOf(key), match.value);
    case sDate:
        return compareNumbers(dateKeyOf(key, operation), match.value);
    }
    return 0;
}

int compareKeys(QStringView a, QStringView b, TLSortType type, const char *operation)
{
    switch (type) {
    case sString:
        return textCollator().compare(a, b);
    case sStringCaseSensitive:
        return compareCodeUnits(a, b);
    case sNumeric: {
        const double value = leadingNumberOf(a);
        const int c = compareNumbers(value, leadingNumberOf(b));
        // Keys of value 0 (texts without a number among them) are ordered as text.
        return c == 0 && value == 0 ? textCollator().compare(a, b) : c;
    }
    case sDate:
        return compareNumbers(dateKeyOf(a, operation), dateKeyOf(b, operation));
    }
    return 0;
}

// ---- the text order of a range ------------------------------------------------------------

namespace {

// Case-insensitive text keys. The collator's comparison is what counts; a key known to
// compare like it replaces it where one exists:
// - a real collation locale: the collator's sort key;
// - the C locale, which the collator compares by case folding: the case-folded text
//   (its own sort keys ignore the case setting).
// Texts the fast keys mishandle fall back to the collator for every comparison they
// take part in: NUL, which ICU sort keys stop at; surrogates; and the empty text, which
// the collator puts before every other text, also before one made only of characters
// the collation ignores (soft hyphen, zero-width space), whose sort key is the empty
// text's. Among non-empty texts the collator has no tie-break of its own, so equal
// sort keys are exactly its ties and none is added.
struct TextKey
{
    QStringView text;
    bool fast = false;
};

struct FoldedKey : TextKey
{
    QString folded;
};

struct CollatedKey : TextKey
{
    std::optional<QCollatorSortKey> sortKey;
};

bool hasFastKey(QStringView text)
{
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c.unicode() == 0 || c.isSurrogate()) return false;
    return true;
}

bool collatorIsC(const QCollator &collator)
{
    return collator.locale().language() == QLocale::C;
}

template <typename Key, typename MakeFast, typename CompareFast>
void orderTextKeys(std::vector<TextItem> &items, bool descending, const MakeFast &makeFast,
                   const CompareFast &compareFast)
{
    const QCollator &collator = textCollator();
    std::vector<Entry<Key>> entries;
    entries.reserve(items.size());
    for (size_t k = 0; k < items.size(); ++k) {
        Key key;
        key.text = items[k].key;
        key.fast = hasFastKey(key.text);
        if (key.fast) makeFast(key, items[k]);
        entries.push_back({std::move(key), int(k)});
    }
    partitionSort(entries, 0, int(entries.size()) - 1, descending,
                  [&](const Key &a, const Key &b) {
                      if (a.fast && b.fast) return compareFast(a, b);
                      return collator.compare(a.text, b.text);
                  });
    std::vector<TextItem> ordered;
    ordered.reserve(items.size());
    for (const Entry<Key> &entry : entries)
        ordered.push_back(items[size_t(entry.index)]);
    items.swap(ordered);
}

} // namespace

void orderAsText(std::vector<TextItem> &items, bool descending)
{
    if (items.size() < 2) return;
    const QCollator &collator = textCollator();
    if (collatorIsC(collator))
        orderTextKeys<FoldedKey>(
            items, descending,
            [](FoldedKey &key, const TextItem &) { key.folded = key.text.toString().toCaseFolded(); },
            [](const FoldedKey &a, const FoldedKey &b) {
                return compareCodeUnits(a.folded, b.folded);
            });
    else
        orderTextKeys<CollatedKey>(
            items, descending,
            [&](CollatedKey &key, const TextItem &item) {
                key.sortKey = collator.sortKey(item.whole ? ownedText(key.text, *item.whole)
                                                          : key.text.toString());
            },
            [](const CollatedKey &a, const CollatedKey &b) { return a.sortKey->compare(*b.sortKey); });
}

} // namespace vorgrd::internal
