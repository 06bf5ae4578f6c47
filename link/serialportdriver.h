#pragma once

#include "link/serialdevice.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zent5 {

// Owns one serial port: opens it by name, sets the line, sends and reads
// with time-outs and, while open, polls it on a timer of the event loop and
// hands each batch of received bytes to OnReceiveData. It has no thread of
// its own and never throws: every failure shows only in a result.
class SerialPortDriver : public QObject {
    Q_OBJECT
public:
    enum TPortNumber {
        pnCustom, pnCOM1, pnCOM2, pnCOM3, pnCOM4, pnCOM5, pnCOM6, pnCOM7, pnCOM8,
        pnCOM9, pnCOM10, pnCOM11, pnCOM12, pnCOM13, pnCOM14, pnCOM15, pnCOM16
    };
    enum TBaudRate {
        brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400,
        br19200, br38400, br56000, br57600, br115200, br128000, br256000
    };
    enum TDataBits { db5BITS, db6BITS, db7BITS, db8BITS };
    enum TStopBits { sb1BITS, sb1HALFBITS, sb2BITS };
    enum TParity { ptNONE, ptODD, ptEVEN, ptMARK, ptSPACE };
    enum THwFlowControl { hfNONE, hfNONERTSON, hfRTSCTS };
    enum TSwFlowControl { sfNONE, sfXONXOFF };

    // Sender, the receive buffer, bytes in it (at least 1). The bytes are
    // valid only during the call.
    using ReceiveDataHandler = std::function<void(SerialPortDriver* sender, const uint8_t* data, uint32_t size)>;
    // Called once per opening when the line fails for good (hang-up, adapter
    // unplugged): from then on nothing more can arrive on it.
    using LineLostHandler = std::function<void(SerialPortDriver* sender)>;

    explicit SerialPortDriver(QObject* parent = nullptr);
    // With a device of the caller's choosing instead of the platform's.
    explicit SerialPortDriver(std::unique_ptr<SerialDevice> device, QObject* parent = nullptr);
    ~SerialPortDriver() override;

    TPortNumber Port() const { return m_port; }
    void setPort(TPortNumber port);
    const std::string& PortName() const { return m_portName; }
    void setPortName(const std::string& name);
    TBaudRate BaudRate() const { return m_baudRate; }
    void setBaudRate(TBaudRate rate);
    uint32_t BaudRateValue() const { return m_baudRateValue; }
    void setBaudRateValue(uint32_t value);
    TDataBits DataBits() const { return m_dataBits; }
    void setDataBits(TDataBits bits);
    TStopBits StopBits() const { return m_stopBits; }
    void setStopBits(TStopBits bits);
    TParity Parity() const { return m_parity; }
    void setParity(TParity parity);
    THwFlowControl HwFlow() const { return m_hwFlow; }
    void setHwFlow(THwFlowControl flow);
    TSwFlowControl SwFlow() const { return m_swFlow; }
    void setSwFlow(TSwFlowControl flow);
    uint32_t InBufSize() const { return m_inBufSize; }
    void setInBufSize(uint32_t size);
    uint32_t OutBufSize() const { return m_outBufSize; }
    void setOutBufSize(uint32_t size);
    uint16_t PollingDelay() const { return m_pollingDelay; }
    void setPollingDelay(uint16_t ms);
    bool EnableDTROnOpen() const { return m_enableDtrOnOpen; }
    void setEnableDTROnOpen(bool on) { m_enableDtrOnOpen = on; }
    uint16_t OutputTimeout() const { return m_outputTimeout; }
    void setOutputTimeout(uint16_t ms) { m_outputTimeout = ms; }
    uint32_t InputTimeout() const { return m_inputTimeout; }
    void setInputTimeout(uint32_t ms) { m_inputTimeout = ms; }
    bool CheckLineStatus() const { return m_checkLineStatus; }
    void setCheckLineStatus(bool on) { m_checkLineStatus = on; }

    ReceiveDataHandler OnReceiveData;
    LineLostHandler OnLineLost;

    bool OpenPort();
    void ClosePort();
    bool IsOpen() const;
    bool ApplySettings();
    bool PurgeBuffers(bool input, bool output);
    uint32_t PendingInput();
    uint32_t OutputFree();
    unsigned LineState(); // set of ModemLine bits
    void PausePolling() { ++m_pauseCount; }
    void ResumePolling() { --m_pauseCount; }
    uint32_t PutBytes(const uint8_t* data, uint32_t count, uint32_t timeoutMs);
    bool PutByte(uint8_t byte);
    uint32_t GetBytes(uint8_t* buffer, uint32_t count);
    bool GetByte(uint8_t& byte);

    // The device path the current PortName stands for on this platform.
    std::string devicePath() const;

    static uint32_t rateOf(TBaudRate rate);

private:
    void pollTick();
    void reportLineLost();
    void applyIfOpen();

    std::unique_ptr<SerialDevice> m_device;
    QTimer m_pollTimer;
    std::vector<uint8_t> m_buffer;
    int32_t m_pauseCount = 0;
    bool m_delivering = false;
    bool m_lineLostReported = false;

    TPortNumber m_port = pnCOM2;
    std::string m_portName = "\\\\.\\COM2";
    TBaudRate m_baudRate = br9600;
    uint32_t m_baudRateValue = 9600;
    TDataBits m_dataBits = db8BITS;
    TStopBits m_stopBits = sb1BITS;
    TParity m_parity = ptNONE;
    THwFlowControl m_hwFlow = hfNONERTSON;
    TSwFlowControl m_swFlow = sfNONE;
    uint32_t m_inBufSize = 2048;
    uint32_t m_outBufSize = 2048;
    uint16_t m_pollingDelay = 50;
    bool m_enableDtrOnOpen = true;
    uint16_t m_outputTimeout = 500;
    uint32_t m_inputTimeout = 200;
    bool m_checkLineStatus = false;
};

} // namespace zent5
