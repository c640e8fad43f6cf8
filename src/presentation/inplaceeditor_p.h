#pragma once
// TVORGridInplaceEdit's state. Only inplaceeditor.cpp includes it.

#include "presentation/inplaceeditor.h"

namespace vorgrd {

struct VORGRD_AUTOTEST_EXPORT TVORGridInplaceEdit::Private
{
    tvorgrid *m_vorgrid = nullptr;
    int m_ButtonWidth = 0;
    TPopupListbox *m_PickListBox = nullptr;
    TPopupListbox *m_ActiveList = nullptr;
    TEditButtonKind m_ButtonKind = ebkNone;
    bool m_ListShown = false;
    bool m_Tracking = false;
    bool m_ButtonPressed = false;
    // The list took over the drag that began on the button.
    bool m_listHasDrag = false;
    // Kept here while there is no list yet, handed to the list when it is created.
    std::function<qint64()> m_searchClock;
};

} // namespace vorgrd
