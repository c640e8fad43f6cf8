// tvorgrid's published settings: the sort and search keys, the clipboard and mouse
// switches, and the streamed fixed counts. Plain values; what they mean is up to the
// concerns that read them. Each setter emits its NOTIFY signal only when the value
// changes, so a form load or a binding that writes the same value again stays quiet.
#include "grid/vorGrid.h"
#include "grid/vorGrid_p.h"
#include "host/exceptions.h"

namespace vorgrd {

namespace {

template <class T>
void changeSetting(tvorgrid &grid, T &field, T value, void (tvorgrid::*signal)(T))
{
    if (field == value) return;
    field = value;
    emit(grid.*signal)(value);
}

} // namespace

// ---- sort and search settings ------------------------------------------------------------

TMSortType tvorgrid::KeyType() const { return d->ordering.keyType; }

void tvorgrid::setKeyType(TMSortType value)
{
    checkEnumRange("setKeyType", "KeyType", value);
    changeSetting(*this, d->ordering.keyType, value, &tvorgrid::keyTypeChanged);
}

int tvorgrid::KeyPos() const { return d->ordering.keyPos; }

void tvorgrid::setKeyPos(int value)
{
    changeSetting(*this, d->ordering.keyPos, value, &tvorgrid::keyPosChanged);
}

int tvorgrid::KeyLen() const { return d->ordering.keyLen; }

void tvorgrid::setKeyLen(int value)
{
    changeSetting(*this, d->ordering.keyLen, value, &tvorgrid::keyLenChanged);
}

HandleFixed tvorgrid::UseFixed() const { return d->ordering.useFixed; }

void tvorgrid::setUseFixed(HandleFixed value)
{
    checkEnumRange("setUseFixed", "UseFixed", value);
    changeSetting(*this, d->ordering.useFixed, value, &tvorgrid::useFixedChanged);
}

bool tvorgrid::SearchSubstring() const { return d->ordering.searchSubstring; }

void tvorgrid::setSearchSubstring(bool value)
{
    changeSetting(*this, d->ordering.searchSubstring, value, &tvorgrid::searchSubstringChanged);
}

bool tvorgrid::SortDescending() const { return d->ordering.sortDescending; }

void tvorgrid::setSortDescending(bool value)
{
    changeSetting(*this, d->ordering.sortDescending, value, &tvorgrid::sortDescendingChanged);
}

bool tvorgrid::ReverseSearch() const { return d->ordering.reverseSearch; }

bool tvorgrid::SearchExists() const { return d->ordering.searchExists; }

// ---- exchange and mouse settings ---------------------------------------------------------

bool tvorgrid::EnableClipboardShortcuts() const { return d->exchange.enableClipboardShortcuts; }

void tvorgrid::setEnableClipboardShortcuts(bool value)
{
    changeSetting(*this, d->exchange.enableClipboardShortcuts, value,
                  &tvorgrid::enableClipboardShortcutsChanged);
}

bool tvorgrid::PasteToCursor() const { return d->exchange.pasteToCursor; }

void tvorgrid::setPasteToCursor(bool value)
{
    changeSetting(*this, d->exchange.pasteToCursor, value, &tvorgrid::pasteToCursorChanged);
}

bool tvorgrid::ClickFixed() const { return d->exchange.clickFixed; }

void tvorgrid::setClickFixed(bool value)
{
    changeSetting(*this, d->exchange.clickFixed, value, &tvorgrid::clickFixedChanged);
}

// ---- fixed counts as streamed ------------------------------------------------------------

void tvorgrid::setSavedFixedRows(int value) { d->lines.savedFixedRows = value; }

void tvorgrid::setSavedFixedCols(int value) { d->lines.savedFixedCols = value; }

} // namespace vorgrd
