#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The platform seam under the serial port driver: one implementation per
// platform (serialdevice_posix.cpp on termios). Every call reports failure by
// its result and never throws; a closed device fails every call.
namespace zent5 {

struct LineSettings {
    uint32_t baudRate = 9600;  // bits per second
    int dataBits = 8;          // 5..8
    enum class Parity { None, Odd, Even, Mark, Space } parity = Parity::None;
    enum class StopBits { One, OneAndHalf, Two } stopBits = StopBits::One;
    bool dtrOn = true;
    bool rtsOn = true;
    bool rtsCtsHandshake = false;
    bool xonXoff = false;
    uint32_t flowLimit = 512; // bytes; the XON/XOFF thresholds
};

enum ModemLine : unsigned { LineCts = 1, LineDsr = 2, LineRing = 4, LineRlsd = 8 };

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens an existing device for reading and writing, refused when another
    // program holds it. Reads and writes never block.
    virtual bool open(const std::string& path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual bool configure(const LineSettings& settings) = 0;
    virtual bool purge(bool input, bool output) = 0;
    virtual bool setQueueSizes(uint32_t input, uint32_t output) = 0;

    // Bytes waiting to be read / still waiting to be sent; -1 on failure
    // (a line that was hung up fails here).
    virtual long pendingInput() = 0;
    virtual long pendingOutput() = 0;
    // Bytes transferred, 0 when nothing could be, -1 on failure.
    virtual long read(uint8_t* buffer, size_t size) = 0;
    virtual long write(const uint8_t* data, size_t size) = 0;
    // Set of ModemLine bits that are up; 0 when the device has no modem lines.
    virtual unsigned modemLines() = 0;
    // Whether the other end has gone away for good (hang-up, unplugged).
    virtual bool hungUp() = 0;
    // Sleeps until input may be waiting or up to the given milliseconds.
    virtual void waitForInput(int milliseconds) = 0;
};

std::unique_ptr<SerialDevice> createPlatformSerialDevice();

// The serial devices of this machine, in a stable order (built-in ports
// first by number, then adapters by name), as paths that open() accepts.
std::vector<std::string> enumerateSerialDevices();

} // namespace zent5
