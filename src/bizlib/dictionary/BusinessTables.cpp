#include "bizlib/Dictionary.h"
#include "bizlib/dictionary/TableGroups.h"

namespace bizlib {

void describeBusinessTables(DictionaryBuilder &b)
{
    dictionary::describeQuoteTables(b);
    dictionary::describeOrderTables(b);
    dictionary::describeResourceTables(b);
    dictionary::describeClientTables(b);
    dictionary::describeReferenceTables(b);
}

} // namespace bizlib
