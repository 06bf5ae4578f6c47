#pragma once

namespace zent5 {

// How the modal windows end (the values QDialog::exec returns).
enum ModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };

} // namespace zent5
