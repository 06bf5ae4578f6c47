#pragma once

namespace zent5 {

// Posts the quit request to the message loop: when the loop reaches it, the
// loop ends and the program with it. The windows are left as they are and
// destroyed afterwards; none of them is closed, so no close sequence runs.
// (Qt's own quit request closes every window first.) Tests drop a request
// still waiting as a posted QEvent::Quit.
void post_quit_request();

} // namespace zent5
