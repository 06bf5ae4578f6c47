#include "link/serialportdriver.h"

#include "link/portnames.h"

#include <QElapsedTimer>

#include <algorithm>

namespace zent5 {

namespace {

constexpr uint32_t kMinQueue = 128;
constexpr uint32_t kMaxQueue = 8192;
constexpr uint16_t kMinPollingDelay = 5;
// Reported by PendingInput and OutputFree while the port is closed.
constexpr uint32_t kClosedCount = 65535;

uint32_t clampQueue(uint32_t size)
{
    return std::clamp(size, kMinQueue, kMaxQueue);
}

} // namespace

SerialPortDriver::SerialPortDriver(QObject* parent)
    : SerialPortDriver(createPlatformSerialDevice(), parent)
{
}

SerialPortDriver::SerialPortDriver(std::unique_ptr<SerialDevice> device, QObject* parent)
    : QObject(parent), m_device(std::move(device))
{
    m_buffer.assign(m_inBufSize, 0);
    m_pollTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_pollTimer, &QTimer::timeout, this, &SerialPortDriver::pollTick);
}

SerialPortDriver::~SerialPortDriver()
{
    ClosePort();
}

uint32_t SerialPortDriver::rateOf(TBaudRate rate)
{
    static constexpr uint32_t kRates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400,
                                          19200, 38400, 56000, 57600, 115200, 128000, 256000};
    if (rate <= brCustom || rate > br256000)
        return 0;
    return kRates[rate - br110];
}

void SerialPortDriver::setPort(TPortNumber port)
{
    if (IsOpen())
        return;
    m_port = port;
    if (port != pnCustom)
        m_portName = portnames::comName(static_cast<int>(port));
}

void SerialPortDriver::setPortName(const std::string& name)
{
    if (IsOpen())
        return;
    m_portName = name;
    m_port = pnCustom;
}

void SerialPortDriver::setBaudRate(TBaudRate rate)
{
    m_baudRate = rate;
    if (rate != brCustom)
        m_baudRateValue = rateOf(rate);
    applyIfOpen();
}

void SerialPortDriver::setBaudRateValue(uint32_t value)
{
    m_baudRateValue = value;
    m_baudRate = brCustom;
    applyIfOpen();
}

void SerialPortDriver::setDataBits(TDataBits bits)
{
    m_dataBits = bits;
    applyIfOpen();
}

void SerialPortDriver::setStopBits(TStopBits bits)
{
    m_stopBits = bits;
    applyIfOpen();
}

void SerialPortDriver::setParity(TParity parity)
{
    m_parity = parity;
    applyIfOpen();
}

void SerialPortDriver::setHwFlow(THwFlowControl flow)
{
    m_hwFlow = flow;
    applyIfOpen();
}

void SerialPortDriver::setSwFlow(TSwFlowControl flow)
{
    m_swFlow = flow;
    applyIfOpen();
}

void SerialPortDriver::setInBufSize(uint32_t size)
{
    if (IsOpen())
        return;
    m_inBufSize = clampQueue(size);
    m_buffer.assign(m_inBufSize, 0);
}

void SerialPortDriver::setOutBufSize(uint32_t size)
{
    if (IsOpen())
        return;
    m_outBufSize = clampQueue(size);
}

void SerialPortDriver::setPollingDelay(uint16_t ms)
{
    m_pollingDelay = std::max(ms, kMinPollingDelay);
    if (IsOpen())
        m_pollTimer.start(m_pollingDelay);
}

void SerialPortDriver::applyIfOpen()
{
    if (IsOpen())
        ApplySettings();
}

std::string SerialPortDriver::devicePath() const
{
    return portnames::devicePath(m_portName);
}

bool SerialPortDriver::OpenPort()
{
    if (IsOpen())
        return true;
    if (!m_device->open(devicePath()))
        return false;
    if (!ApplySettings()) {
        m_device->close();
        return false;
    }
    // The read and write time-outs of the Windows driver have no equivalent
    // here: the device never blocks and the waits below do the timing.
    m_lineLostReported = false;
    m_pollTimer.start(m_pollingDelay);
    return true;
}

void SerialPortDriver::ClosePort()
{
    m_pollTimer.stop();
    if (m_device->isOpen())
        m_device->close();
}

bool SerialPortDriver::IsOpen() const
{
    return m_device->isOpen();
}

bool SerialPortDriver::ApplySettings()
{
    if (!IsOpen())
        return false;
    LineSettings s;
    s.baudRate = m_baudRateValue;
    s.dataBits = 5 + static_cast<int>(m_dataBits);
    s.parity = static_cast<LineSettings::Parity>(m_parity);
    s.stopBits = static_cast<LineSettings::StopBits>(m_stopBits);
    s.dtrOn = m_enableDtrOnOpen;
    s.rtsOn = m_hwFlow == hfNONERTSON;
    s.rtsCtsHandshake = m_hwFlow == hfRTSCTS;
    s.xonXoff = m_swFlow == sfXONXOFF;
    s.flowLimit = m_inBufSize / 4;
    const bool lineSet = m_device->configure(s);
    const bool purged = PurgeBuffers(true, true);
    const bool queuesSet = m_device->setQueueSizes(m_inBufSize, m_outBufSize);
    return lineSet && purged && queuesSet;
}

bool SerialPortDriver::PurgeBuffers(bool input, bool output)
{
    return IsOpen() && m_device->purge(input, output);
}

uint32_t SerialPortDriver::PendingInput()
{
    if (!IsOpen())
        return kClosedCount;
    const long n = m_device->pendingInput();
    return n > 0 ? static_cast<uint32_t>(n) : 0;
}

uint32_t SerialPortDriver::OutputFree()
{
    if (!IsOpen())
        return kClosedCount;
    const long queued = m_device->pendingOutput();
    if (queued < 0)
        return 0;
    return queued >= static_cast<long>(m_outBufSize) ? 0 : m_outBufSize - static_cast<uint32_t>(queued);
}

unsigned SerialPortDriver::LineState()
{
    return IsOpen() ? m_device->modemLines() : 0;
}

uint32_t SerialPortDriver::PutBytes(const uint8_t* data, uint32_t count, uint32_t timeoutMs)
{
    if (!IsOpen())
        return 0;
    uint32_t sent = 0;
    QElapsedTimer since;
    since.start();
    while (sent < count) {
        const uint32_t free = OutputFree();
        if (free > 0) {
            if (m_checkLineStatus && LineState() == 0)
                break;
            const long n = m_device->write(data + sent, std::min(free, count - sent));
            if (n < 0) {
                // A line that fails a write will not take the rest either.
                if (m_device->hungUp())
                    reportLineLost();
                break;
            }
            if (n > 0) {
                sent += static_cast<uint32_t>(n);
                since.restart();
                continue;
            }
        }
        if (since.elapsed() > static_cast<qint64>(timeoutMs))
            break;
        m_device->waitForInput(1);
    }
    return sent;
}

bool SerialPortDriver::PutByte(uint8_t byte)
{
    return PutBytes(&byte, 1, m_outputTimeout) == 1;
}

uint32_t SerialPortDriver::GetBytes(uint8_t* buffer, uint32_t count)
{
    if (!IsOpen())
        return 0;
    PausePolling();
    uint32_t got = 0;
    QElapsedTimer since;
    since.start();
    while (got < count) {
        const uint32_t waiting = PendingInput();
        if (waiting > 0) {
            const long n = m_device->read(buffer + got, std::min(waiting, count - got));
            if (n > 0) {
                got += static_cast<uint32_t>(n);
                since.restart();
                continue;
            }
        }
        if (since.elapsed() > static_cast<qint64>(m_inputTimeout))
            break;
        m_device->waitForInput(1);
    }
    ResumePolling();
    return got;
}

bool SerialPortDriver::GetByte(uint8_t& byte)
{
    return GetBytes(&byte, 1) == 1;
}

void SerialPortDriver::reportLineLost()
{
    if (m_lineLostReported)
        return;
    m_lineLostReported = true;
    if (OnLineLost)
        OnLineLost(this);
}

void SerialPortDriver::pollTick()
{
    // A handler that runs a nested event loop (a message box) must not have
    // the buffer it is reading refilled under it.
    if (m_pauseCount > 0 || m_delivering || !IsOpen())
        return;
    const long waiting = m_device->pendingInput();
    if (waiting < 0 || (waiting == 0 && m_device->hungUp())) {
        reportLineLost();
        return;
    }
    if (waiting == 0)
        return;
    const size_t want = std::min<size_t>(static_cast<size_t>(waiting), m_inBufSize);
    const long n = m_device->read(m_buffer.data(), want);
    if (n <= 0 || !OnReceiveData)
        return;
    m_delivering = true;
    OnReceiveData(this, m_buffer.data(), static_cast<uint32_t>(n));
    m_delivering = false;
}

} // namespace zent5
