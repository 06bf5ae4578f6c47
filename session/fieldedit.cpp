#include "session/fieldedit.h"

#include "table/dbftable.h"

namespace zent5 {

bool editField(DbfTable& table, uint32_t recNo, std::string_view field, const FieldValue& value)
{
    if (recNo == 0 || !table.Active())
        return false;
    const bool editingThisRow = table.state() == DbfTable::State::Edit && table.RecNo() == recNo;
    if (!editingThisRow) {
        table.GoTo(recNo);
        if (table.RecNo() != recNo)
            return false;
        table.Edit();
    }
    table.SetFieldValue(field, value);
    return true;
}

} // namespace zent5
