#include "link/serialdevice.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace zent5 {

// Rates the termios speed codes do not name go through termios2.
bool setCustomBaudRate(int fd, uint32_t rate);

namespace {

speed_t speedCode(uint32_t rate)
{
    switch (rate) {
    case 110: return B110;
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
    }
}

// A pseudo-terminal or a port without modem lines answers the line ioctls
// with ENOTTY or EINVAL; that is a property of the device, not a failure.
bool modemIoctl(int fd, unsigned long request, int bits)
{
    if (::ioctl(fd, request, &bits) == 0)
        return true;
    return errno == ENOTTY || errno == EINVAL;
}

class PosixSerialDevice : public SerialDevice {
public:
    ~PosixSerialDevice() override { close(); }

    bool open(const std::string& path) override
    {
        if (m_fd >= 0 || path.empty())
            return false;
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return false;
        // No sharing: the advisory lock also holds against root, which
        // TIOCEXCL does not stop.
        if (!::isatty(fd) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        ::ioctl(fd, TIOCEXCL);
        m_fd = fd;
        return true;
    }

    void close() override
    {
        if (m_fd < 0)
            return;
        ::ioctl(m_fd, TIOCNXCL);
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
        m_fd = -1;
    }

    bool isOpen() const override { return m_fd >= 0; }

    bool configure(const LineSettings& s) override
    {
        if (m_fd < 0)
            return false;
        termios t{};
        if (::tcgetattr(m_fd, &t) != 0)
            return false;
        t.c_iflag = IGNBRK;
        if (s.xonXoff)
            t.c_iflag |= IXON | IXOFF;
        t.c_oflag = 0;
        t.c_lflag = 0;
        t.c_cflag = CREAD | CLOCAL;
        switch (s.dataBits) {
        case 5: t.c_cflag |= CS5; break;
        case 6: t.c_cflag |= CS6; break;
        case 7: t.c_cflag |= CS7; break;
        default: t.c_cflag |= CS8; break;
        }
        switch (s.parity) {
        case LineSettings::Parity::None: break;
        case LineSettings::Parity::Odd: t.c_cflag |= PARENB | PARODD; break;
        case LineSettings::Parity::Even: t.c_cflag |= PARENB; break;
        case LineSettings::Parity::Mark: t.c_cflag |= PARENB | PARODD | CMSPAR; break;
        case LineSettings::Parity::Space: t.c_cflag |= PARENB | CMSPAR; break;
        }
        // termios has no 1.5 stop bits; the UART uses 1.5 for 5 data bits
        // when two are asked for, as the Windows driver does.
        if (s.stopBits != LineSettings::StopBits::One)
            t.c_cflag |= CSTOPB;
        if (s.rtsCtsHandshake)
            t.c_cflag |= CRTSCTS;
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        t.c_cc[VSTART] = 0x11;
        t.c_cc[VSTOP] = 0x13;
        const speed_t code = speedCode(s.baudRate);
        if (code != B0) {
            ::cfsetispeed(&t, code);
            ::cfsetospeed(&t, code);
        }
        if (::tcsetattr(m_fd, TCSANOW, &t) != 0)
            return false;
        if (code == B0 && !setCustomBaudRate(m_fd, s.baudRate))
            return false;
        if (!s.rtsCtsHandshake && !modemIoctl(m_fd, s.rtsOn ? TIOCMBIS : TIOCMBIC, TIOCM_RTS))
            return false;
        return modemIoctl(m_fd, s.dtrOn ? TIOCMBIS : TIOCMBIC, TIOCM_DTR);
    }

    bool purge(bool input, bool output) override
    {
        if (m_fd < 0)
            return false;
        if (!input && !output)
            return true;
        const int which = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
        return ::tcflush(m_fd, which) == 0;
    }

    // The kernel sizes its tty queues itself.
    bool setQueueSizes(uint32_t, uint32_t) override { return m_fd >= 0; }

    long pendingInput() override
    {
        int n = 0;
        if (m_fd < 0 || ::ioctl(m_fd, FIONREAD, &n) != 0)
            return -1;
        return n;
    }

    long pendingOutput() override
    {
        int n = 0;
        if (m_fd < 0 || ::ioctl(m_fd, TIOCOUTQ, &n) != 0)
            return -1;
        return n;
    }

    long read(uint8_t* buffer, size_t size) override
    {
        if (m_fd < 0)
            return -1;
        for (;;) {
            const ssize_t n = ::read(m_fd, buffer, size);
            if (n >= 0)
                return n;
            if (errno == EINTR)
                continue;
            return errno == EAGAIN ? 0 : -1;
        }
    }

    long write(const uint8_t* data, size_t size) override
    {
        if (m_fd < 0)
            return -1;
        for (;;) {
            const ssize_t n = ::write(m_fd, data, size);
            if (n >= 0)
                return n;
            if (errno == EINTR)
                continue;
            return errno == EAGAIN ? 0 : -1;
        }
    }

    unsigned modemLines() override
    {
        int bits = 0;
        if (m_fd < 0 || ::ioctl(m_fd, TIOCMGET, &bits) != 0)
            return 0;
        unsigned lines = 0;
        if (bits & TIOCM_CTS)
            lines |= LineCts;
        if (bits & TIOCM_DSR)
            lines |= LineDsr;
        if (bits & TIOCM_RNG)
            lines |= LineRing;
        if (bits & TIOCM_CAR)
            lines |= LineRlsd;
        return lines;
    }

    bool hungUp() override
    {
        if (m_fd < 0)
            return false;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 0) < 0)
            return false;
        return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    }

    void waitForInput(int milliseconds) override
    {
        if (m_fd < 0) {
            ::usleep(static_cast<useconds_t>(milliseconds) * 1000);
            return;
        }
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, milliseconds) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            ::usleep(static_cast<useconds_t>(milliseconds) * 1000); // do not spin on a dead line
    }

private:
    int m_fd = -1;
};

bool readFile(const std::string& path, std::string& out)
{
    FILE* f = std::fopen(path.c_str(), "r");
    if (!f)
        return false;
    char buf[64];
    const size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    out.assign(buf, n);
    return true;
}

// Order: "ttyS" ports by number, then the rest by name with numbers
// compared as numbers (ttyUSB2 before ttyUSB10).
bool deviceBefore(const std::string& a, const std::string& b)
{
    const bool aBuiltIn = a.rfind("ttyS", 0) == 0;
    const bool bBuiltIn = b.rfind("ttyS", 0) == 0;
    if (aBuiltIn != bBuiltIn)
        return aBuiltIn;
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const bool da = a[i] >= '0' && a[i] <= '9';
        const bool db = b[j] >= '0' && b[j] <= '9';
        if (da && db) {
            size_t ie = i, je = j;
            while (ie < a.size() && a[ie] >= '0' && a[ie] <= '9')
                ++ie;
            while (je < b.size() && b[je] >= '0' && b[je] <= '9')
                ++je;
            const unsigned long na = std::stoul(a.substr(i, std::min<size_t>(ie - i, 9)));
            const unsigned long nb = std::stoul(b.substr(j, std::min<size_t>(je - j, 9)));
            if (na != nb)
                return na < nb;
            i = ie;
            j = je;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

} // namespace

std::unique_ptr<SerialDevice> createPlatformSerialDevice()
{
    return std::make_unique<PosixSerialDevice>();
}

std::vector<std::string> enumerateSerialDevices()
{
    // A tty backed by hardware has a "device" link in sysfs; a built-in UART
    // slot with no chip behind it reports type 0.
    std::vector<std::string> names;
    const std::string root = "/sys/class/tty/";
    DIR* dir = ::opendir(root.c_str());
    if (!dir)
        return {};
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        const std::string base = root + name;
        if (::access((base + "/device").c_str(), F_OK) != 0)
            continue;
        std::string type;
        int portType = 0;
        const bool typed = readFile(base + "/type", type);
        std::from_chars(type.data(), type.data() + type.size(), portType);
        if (typed && portType == 0)
            continue;
        if (::access(("/dev/" + name).c_str(), F_OK) != 0)
            continue;
        names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end(), deviceBefore);
    for (auto& n : names)
        n = "/dev/" + n;
    return names;
}

} // namespace zent5
