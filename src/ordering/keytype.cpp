#include "ordering/keytype_p.h"
#include "host/exceptions.h"

namespace vorgrd::internal {

TLSortType listKeyType(TMSortType type)
{
    checkEnumRange("listKeyType", "KeyType", type);
    switch (type) {
    case soString:
        return sString;
    case soStringCaseSensitive:
        return sStringCaseSensitive;
    case soNumeric:
        return sNumeric;
    case soDate:
        return sDate;
    }
    return sString; // not reached: checked above
}

} // namespace vorgrd::internal
