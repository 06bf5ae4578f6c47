#include "link/serialportdriver.h"
#include "tools/sim/instrumentsimulator.h"

#include "tests/link/linktestsupport.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <thread>
#include <unistd.h>

namespace zent5 {
namespace {

using Driver = SerialPortDriver;

TEST(SerialPortDriverSettings, Defaults)
{
    Driver d;
    EXPECT_EQ(d.Port(), Driver::pnCOM2);
    EXPECT_EQ(d.PortName(), "\\\\.\\COM2");
    EXPECT_EQ(d.BaudRate(), Driver::br9600);
    EXPECT_EQ(d.BaudRateValue(), 9600u);
    EXPECT_EQ(d.DataBits(), Driver::db8BITS);
    EXPECT_EQ(d.StopBits(), Driver::sb1BITS);
    EXPECT_EQ(d.Parity(), Driver::ptNONE);
    EXPECT_EQ(d.HwFlow(), Driver::hfNONERTSON);
    EXPECT_EQ(d.SwFlow(), Driver::sfNONE);
    EXPECT_EQ(d.InBufSize(), 2048u);
    EXPECT_EQ(d.OutBufSize(), 2048u);
    EXPECT_EQ(d.PollingDelay(), 50);
    EXPECT_TRUE(d.EnableDTROnOpen());
    EXPECT_EQ(d.OutputTimeout(), 500);
    EXPECT_EQ(d.InputTimeout(), 200u);
    EXPECT_FALSE(d.CheckLineStatus());
}

TEST(SerialPortDriverSettings, QueueSizesAndPollingDelayAreClamped)
{
    struct Case {
        uint32_t set, expected;
    };
    const Case queues[] = {{100, 128}, {0, 128}, {127, 128}, {128, 128}, {4096, 4096},
                           {8192, 8192}, {8193, 8192}, {10000, 8192}};
    for (const Case& c : queues) {
        SCOPED_TRACE(c.set);
        Driver d;
        d.setInBufSize(c.set);
        d.setOutBufSize(c.set);
        EXPECT_EQ(d.InBufSize(), c.expected);
        EXPECT_EQ(d.OutBufSize(), c.expected);
    }
    const Case delays[] = {{0, 5}, {4, 5}, {5, 5}, {6, 6}, {50, 50}, {65535, 65535}};
    for (const Case& c : delays) {
        SCOPED_TRACE(c.set);
        Driver d;
        d.setPollingDelay(static_cast<uint16_t>(c.set));
        EXPECT_EQ(d.PollingDelay(), c.expected);
    }
}

TEST(SerialPortDriverSettings, NamedRatesAndCustomRate)
{
    const uint32_t rates[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400,
                              19200, 38400, 56000, 57600, 115200, 128000, 256000};
    for (int r = Driver::br110; r <= Driver::br256000; ++r) {
        SCOPED_TRACE(r);
        Driver d;
        d.setBaudRate(static_cast<Driver::TBaudRate>(r));
        EXPECT_EQ(d.BaudRate(), r);
        EXPECT_EQ(d.BaudRateValue(), rates[r - Driver::br110]);
    }
    Driver d;
    d.setBaudRateValue(12345);
    EXPECT_EQ(d.BaudRate(), Driver::brCustom);
    EXPECT_EQ(d.BaudRateValue(), 12345u);
    d.setBaudRate(Driver::brCustom); // names no rate: the value stays
    EXPECT_EQ(d.BaudRateValue(), 12345u);
}

TEST(SerialPortDriverSettings, PortNumberAndPortName)
{
    Driver d;
    d.setPort(Driver::pnCOM16);
    EXPECT_EQ(d.PortName(), "\\\\.\\COM16");
    d.setPort(Driver::pnCOM1);
    EXPECT_EQ(d.PortName(), "\\\\.\\COM1");
    d.setPortName("/dev/ttyUSB0");
    EXPECT_EQ(d.Port(), Driver::pnCustom);
    d.setPort(Driver::pnCustom);
    EXPECT_EQ(d.PortName(), "/dev/ttyUSB0");
}

TEST(SerialPortDriverClosed, ReportsFailureWithoutThrowing)
{
    testing::PortsFolder folder;
    folder.block(2);
    Driver d;
    int calls = 0;
    d.OnReceiveData = [&](Driver*, const uint8_t*, uint32_t) { ++calls; };
    EXPECT_FALSE(d.OpenPort()); // "\\.\COM2" leads nowhere
    EXPECT_FALSE(d.IsOpen());
    EXPECT_FALSE(d.ApplySettings());
    EXPECT_FALSE(d.PurgeBuffers(true, true));
    EXPECT_EQ(d.PendingInput(), 65535u);
    EXPECT_EQ(d.OutputFree(), 65535u);
    EXPECT_EQ(d.LineState(), 0u);
    EXPECT_FALSE(d.PutByte('V'));
    const uint8_t data[3] = {1, 2, 3};
    EXPECT_EQ(d.PutBytes(data, 3, 500), 0u);
    uint8_t b = 0;
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(d.GetByte(b));
    EXPECT_LT(t.elapsed(), 5000); // no waiting on a closed port
    d.ClosePort();                // closing twice is harmless
    EXPECT_EQ(calls, 0);
}

TEST(SerialPortDriverClosed, RegularFileIsNotAPort)
{
    testing::PortsFolder folder;
    const std::string file = folder.tempPath("plain");
    { std::ofstream(file) << "x"; }
    Driver d;
    d.setPortName(file);
    EXPECT_FALSE(d.OpenPort());
    EXPECT_FALSE(d.IsOpen());
}

// The driver on the slave side of a pseudo-terminal whose master the test holds.
class SerialPortDriverPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(sim::openPseudoTerminal(pty, error)) << error;
        driver.setPortName(pty.slavePath);
    }
    void TearDown() override
    {
        driver.ClosePort();
        sim::closePseudoTerminal(pty);
    }
    void writeMaster(const std::vector<uint8_t>& bytes)
    {
        size_t at = 0;
        while (at < bytes.size()) {
            const ssize_t n = ::write(pty.master, bytes.data() + at, bytes.size() - at);
            if (n > 0)
                at += static_cast<size_t>(n);
            else
                ::usleep(1000);
        }
    }
    std::string readMaster()
    {
        std::string out;
        char buf[256];
        testing::waitUntil([&] {
            const ssize_t n = ::read(pty.master, buf, sizeof buf);
            if (n > 0)
                out.append(buf, static_cast<size_t>(n));
            return !out.empty();
        }, 5000);
        return out;
    }

    sim::PseudoTerminal pty;
    Driver driver;
};

TEST_F(SerialPortDriverPty, OpensAPseudoTerminalWithoutModemLines)
{
    ASSERT_TRUE(driver.OpenPort());
    EXPECT_TRUE(driver.IsOpen());
    EXPECT_EQ(driver.LineState(), 0u);
    EXPECT_EQ(driver.PendingInput(), 0u);
    EXPECT_TRUE(driver.PutByte('V'));
    EXPECT_EQ(readMaster(), "V");
}

// What waited on the line before the port was opened (the rest of an
// answer nobody read) is dropped by the opening; what comes after is not.
TEST_F(SerialPortDriverPty, OpeningDropsWhatWaitedOnTheLine)
{
    std::string received;
    driver.OnReceiveData = [&](Driver*, const uint8_t* data, uint32_t size) {
        received.append(reinterpret_cast<const char*>(data), size);
    };
    driver.setPollingDelay(5);
    writeMaster({'0', '1', '2', 'P'});
    testing::waitUntil([] { return false; }, 50);
    ASSERT_TRUE(driver.OpenPort());
    testing::waitUntil([] { return false; }, 100);
    writeMaster({'S'});
    EXPECT_TRUE(testing::waitUntil([&] { return !received.empty(); }, 5000));
    EXPECT_EQ(received, "S");
}

TEST_F(SerialPortDriverPty, OpenWhileOpenChangesNothing)
{
    ASSERT_TRUE(driver.OpenPort());
    driver.setPortName("/nonexistent/port");
    driver.setInBufSize(8192);
    EXPECT_EQ(driver.PortName(), pty.slavePath);
    EXPECT_EQ(driver.InBufSize(), 2048u);
    EXPECT_TRUE(driver.OpenPort());
    EXPECT_TRUE(driver.PutByte('Z'));
    EXPECT_EQ(readMaster(), "Z");
    driver.ClosePort();
    driver.setPortName("/nonexistent/port");
    EXPECT_FALSE(driver.OpenPort());
}

TEST_F(SerialPortDriverPty, SecondDriverCannotOpenTheSamePort)
{
    ASSERT_TRUE(driver.OpenPort());
    Driver other;
    other.setPortName(pty.slavePath);
    EXPECT_FALSE(other.OpenPort());
    driver.ClosePort();
    EXPECT_TRUE(other.OpenPort());
}

TEST_F(SerialPortDriverPty, GetByteTimesOutAfterInputTimeout)
{
    ASSERT_TRUE(driver.OpenPort());
    uint8_t b = 0;
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(driver.GetByte(b));
    EXPECT_GE(t.elapsed(), 200);
    EXPECT_LT(t.elapsed(), 10000);
}

TEST_F(SerialPortDriverPty, GetByteReturnsALateByteAtOnce)
{
    ASSERT_TRUE(driver.OpenPort());
    // A long time-out: the byte, sent 150 ms after the call, must end the
    // wait long before it.
    driver.setInputTimeout(20000);
    std::thread late([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        writeMaster({'Z'});
    });
    uint8_t b = 0;
    QElapsedTimer t;
    t.start();
    const bool got = driver.GetByte(b);
    const qint64 elapsed = t.elapsed();
    late.join();
    EXPECT_TRUE(got);
    EXPECT_EQ(b, 'Z');
    EXPECT_GE(elapsed, 100);
    EXPECT_LT(elapsed, 15000);
}

TEST_F(SerialPortDriverPty, MoreThanInBufSizeArrivesOverConsecutiveTicksInOrder)
{
    driver.setInBufSize(100); // 128
    driver.setPollingDelay(5);
    std::vector<uint8_t> received;
    std::vector<uint32_t> batches;
    driver.OnReceiveData = [&](Driver* sender, const uint8_t* data, uint32_t size) {
        EXPECT_EQ(sender, &driver);
        batches.push_back(size);
        received.insert(received.end(), data, data + size);
    };
    ASSERT_TRUE(driver.OpenPort());
    std::vector<uint8_t> sent(1000);
    for (size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<uint8_t>(i * 7 + i / 256);
    driver.PausePolling(); // let it all pile up first
    writeMaster(sent);
    ASSERT_TRUE(testing::waitUntil([&] { return driver.PendingInput() >= 1000; }, 5000));
    driver.ResumePolling();
    ASSERT_TRUE(testing::waitUntil([&] { return received.size() >= sent.size(); }));
    EXPECT_EQ(received, sent);
    EXPECT_GE(batches.size(), 8u);
    for (uint32_t n : batches) {
        EXPECT_GE(n, 1u);
        EXPECT_LE(n, 128u);
    }
}

TEST_F(SerialPortDriverPty, NothingIsDeliveredWhilePausedOrClosed)
{
    int calls = 0;
    driver.OnReceiveData = [&](Driver*, const uint8_t*, uint32_t) { ++calls; };
    driver.setPollingDelay(5);
    ASSERT_TRUE(driver.OpenPort());
    testing::waitUntil([] { return false; }, 100); // idle ticks deliver nothing
    EXPECT_EQ(calls, 0);
    driver.PausePolling();
    driver.PausePolling(); // pauses nest
    writeMaster({'S'});
    driver.ResumePolling();
    testing::waitUntil([] { return false; }, 100);
    EXPECT_EQ(calls, 0);
    driver.ResumePolling();
    EXPECT_TRUE(testing::waitUntil([&] { return calls == 1; }, 5000));
    driver.ClosePort();
    writeMaster({'P'});
    testing::waitUntil([] { return false; }, 100);
    EXPECT_EQ(calls, 1);
}

TEST_F(SerialPortDriverPty, HangUpIsReportedOnceAndNeverAsData)
{
    int lost = 0;
    int calls = 0;
    driver.OnLineLost = [&](Driver*) { ++lost; };
    driver.OnReceiveData = [&](Driver*, const uint8_t*, uint32_t size) {
        ++calls;
        EXPECT_GT(size, 0u);
    };
    driver.setPollingDelay(5);
    ASSERT_TRUE(driver.OpenPort());
    sim::closePseudoTerminal(pty);
    EXPECT_TRUE(testing::waitUntil([&] { return lost > 0; }, 5000));
    testing::waitUntil([] { return false; }, 100);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(driver.PutByte('V'));
}

// A device whose output queue never drains, to watch the send time-out.
class StuckDevice : public SerialDevice {
public:
    explicit StuckDevice(long accept) : m_accept(accept) {}
    bool open(const std::string&) override { return m_open = true; }
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    bool configure(const LineSettings&) override { return true; }
    bool purge(bool, bool) override { return true; }
    bool setQueueSizes(uint32_t, uint32_t) override { return true; }
    long pendingInput() override { return 0; }
    long pendingOutput() override { return m_accept > 0 ? 0 : 1 << 20; }
    long read(uint8_t*, size_t) override { return 0; }
    long write(const uint8_t*, size_t size) override
    {
        const long n = std::min<long>(m_accept, static_cast<long>(size));
        m_accept -= n;
        return n;
    }
    unsigned modemLines() override { return 0; }
    bool hungUp() override { return false; }
    void waitForInput(int ms) override { ::usleep(static_cast<useconds_t>(ms) * 1000); }

private:
    long m_accept;
    bool m_open = false;
};

TEST(SerialPortDriverSend, FullOutputQueueReturnsAfterOutputTimeoutWithBytesSent)
{
    Driver d(std::make_unique<StuckDevice>(3));
    ASSERT_TRUE(d.OpenPort());
    const uint8_t data[10] = {};
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(d.PutBytes(data, 10, d.OutputTimeout()), 3u);
    EXPECT_GE(t.elapsed(), 500);
    EXPECT_LT(t.elapsed(), 10000);
    EXPECT_EQ(d.OutputFree(), 0u);
    EXPECT_FALSE(d.PutByte(1));
}

TEST(SerialPortDriverSend, CheckLineStatusStopsWithoutModemLines)
{
    Driver d(std::make_unique<StuckDevice>(100));
    d.setCheckLineStatus(true);
    ASSERT_TRUE(d.OpenPort());
    const uint8_t data[4] = {};
    EXPECT_EQ(d.PutBytes(data, 4, 500), 0u);
    d.setCheckLineStatus(false);
    EXPECT_EQ(d.PutBytes(data, 4, 500), 4u);
}

} // namespace
} // namespace zent5
