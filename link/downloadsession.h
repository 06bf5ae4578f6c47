#pragma once

#include "link/downloadprotocol.h"
#include "link/serialportdriver.h"
#include "records/archiveimage.h"
#include "records/prompter.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

namespace zent5 {

// Finds the instrument, identifies it and downloads its archive, on the
// event loop of the thread it lives on. The download window mirrors it on
// screen; the command-line tool runs it with run(). Message boxes and the
// dump file dialog go through the prompter; everything else it has to show
// leaves as signals.
class DownloadSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kModalOk = 1;
    static constexpr int kModalCancel = 2;
    static constexpr int kSearchDelayMs = 3000;
    // At 9600 baud the instrument sends without pause; this long a gap in
    // its archive reply means it has stopped.
    static constexpr int kSilenceNoticeMs = 5000;

    DownloadSession(Prompter& prompter, QObject* parent = nullptr);
    // With a driver of the caller's choosing (a test's device underneath).
    DownloadSession(Prompter& prompter, std::unique_ptr<SerialPortDriver> driver, QObject* parent = nullptr);
    ~DownloadSession() override;

    // What the last download left: image, decoded length, identification.
    const ArchiveImage& archive() const { return m_archive; }
    SerialPortDriver& SerialPortDriver1() { return *m_driver; }
    const DownloadProtocol& protocol() const { return m_protocol; }

    // The hidden option "Сохранить двоичный файл".
    bool saveBinaryFile() const { return m_saveBinaryFile; }
    void setSaveBinaryFile(bool on) { m_saveBinaryFile = on; }

    bool active() const { return m_active; }
    int result() const { return m_result; }

    // Window-less use: FormShow, then the event loop until the download ends
    // or timeoutMs pass (then it is cancelled and timedOut() is true).
    int run(int timeoutMs);
    bool timedOut() const { return m_timedOut; }

    // Tests only: the product waits 3000 ms before searching the ports.
    void setSearchDelayForTesting(int ms) { m_searchDelayMs = ms; }
    void setSilenceNoticeForTesting(int ms) { m_silence.setInterval(ms); }

    // The window's handlers, in the order the window calls them.
    void FormShow();
    void Timer1Timer();
    bool Com_Connect();
    void SerialPortDriver1ReceiveData(SerialPortDriver* sender, const uint8_t* data, uint32_t size);
    void Button1Click();
    void FormClose();

    // "\\.\COM3 (/dev/ttyUSB0)": the port name and the device behind it.
    static QString portLabel(const std::string& portName, const std::string& device);

    static const char* const kWaitingText;
    static const char* const kReceivingText;
    static const char* const kNoAnswerText;
    static const char* const kCaption;
    static const char* const kSearchingPrefix;
    static const char* const kFoundPrefix;
    static const char* const kNotFoundText;
    static const char* const kWrongInstrumentText;
    static const char* const kLineLostText;
    static const char* const kReplyTooLongText;
    static const char* const kArchiveTooLongText;
    static const char* const kErrorCaption;

signals:
    void captionChanged(const QString& text);
    void statusTextChanged(const QString& text);   // StaticText2
    void searchTextChanged(const QString& text);   // Label1; shown at once, the search blocks
    void progressChanged(int percent);              // ProgressBar1
    void kindTextChanged(const QString& text);      // StaticText5
    void versionTextChanged(const QString& text);   // StaticText1
    void recordCountTextChanged(const QString& text); // StaticText7
    void finished(int modalResult);

private:
    void lineLost();
    void noAnswer();
    void heardAgain();
    void sendLetter(char letter);
    void resetReply();
    void finish(int result);
    void fail(const char* text);
    void receiveArchive();
    void writeDump();
    void showArchiveProgress();

    Prompter& m_prompter;
    ArchiveImage m_archive;
    DownloadProtocol m_protocol{m_archive};
    std::unique_ptr<SerialPortDriver> m_driver;
    QTimer m_timer1;
    QTimer m_silence; // restarted by every batch of the archive reply
    bool m_noAnswerShown = false;
    int m_searchDelayMs = kSearchDelayMs;
    bool m_saveBinaryFile = false;
    bool m_found = false;
    bool m_active = false;
    int m_result = kModalCancel;
    bool m_timedOut = false;
    int m_shownProgress = -1;
    int m_shownRecordCount = -1;
};

} // namespace zent5
