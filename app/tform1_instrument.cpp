// The main window's commands: new and append from the instrument.
#include "app/tform1.h"

namespace zent5 {

void TForm1::Create_DB(const std::string& path) { (void)path; }

void TForm1::N2Click() {}

void TForm1::N4Click()
{
    if (!m_state.table_open)
        return;
}

} // namespace zent5
