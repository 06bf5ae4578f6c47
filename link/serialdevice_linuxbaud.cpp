// Kept apart from the termios code: the kernel's termios2 header cannot be
// included together with the C library's <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstdint>

namespace zent5 {

bool setCustomBaudRate(int fd, uint32_t rate)
{
    struct termios2 t;
    if (::ioctl(fd, TCGETS2, &t) != 0)
        return false;
    t.c_cflag &= ~CBAUD;
    t.c_cflag |= BOTHER;
    t.c_ispeed = rate;
    t.c_ospeed = rate;
    return ::ioctl(fd, TCSETS2, &t) == 0;
}

} // namespace zent5
