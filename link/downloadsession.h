#pragma once

#include "link/downloadprotocol.h"
#include "link/serialportdriver.h"
#include "records/archiveimage.h"
#include "records/prompter.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

namespace zent5 {

// How a download ended.
enum class DownloadResult {
    Received,        // the whole archive arrived
    Cancelled,       // cancelled by the user or by the program
    NotFound,        // no port answered the probe
    WrongInstrument, // the instrument's kind or model is not this program's
    ReplyTooLong,    // a reply does not fit the receive buffer
    ArchiveTooLong,  // the archive does not fit the image
};

// Finds the instrument, identifies it and downloads its archive into the
// image it is given, on the event loop of the thread it lives on. The
// download window mirrors it on screen; the command-line tool runs it
// without one. Message boxes and the dump file dialog go through the
// prompter; everything else it has to show leaves as signals.
class DownloadSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kSearchDelayMs = 3000;
    // At 9600 baud the instrument sends without pause; this long a gap in
    // its archive reply means it has stopped.
    static constexpr int kSilenceNoticeMs = 5000;

    // `archive` receives the image, the identification and the port; it
    // must outlive the session.
    DownloadSession(Prompter& prompter, ArchiveImage& archive, QObject* parent = nullptr);
    // With a driver of the caller's choosing (a test's device underneath).
    DownloadSession(Prompter& prompter, ArchiveImage& archive, std::unique_ptr<SerialPortDriver> driver,
                    QObject* parent = nullptr);
    ~DownloadSession() override;

    // What the last download left: image, decoded length, identification.
    const ArchiveImage& archive() const { return m_archive; }
    SerialPortDriver& driver() { return *m_driver; }
    const DownloadProtocol& protocol() const { return m_protocol; }

    // The hidden option "Сохранить двоичный файл".
    bool saveBinaryFile() const { return m_saveBinaryFile; }
    void setSaveBinaryFile(bool on) { m_saveBinaryFile = on; }

    bool active() const { return m_active; }
    DownloadResult result() const { return m_result; }

    // Starts, then runs the event loop until the download ends or timeoutMs
    // pass (then it is cancelled and timedOut() is true).
    DownloadResult run(int timeoutMs);
    bool timedOut() const { return m_timedOut; }

    // Tests only: the product waits 3000 ms before searching the ports.
    void setSearchDelayForTesting(int ms) { m_searchDelayMs = ms; }
    void setSilenceNoticeForTesting(int ms) { m_silence.setInterval(ms); }

    // A new download: the first port opened, the identification asked for,
    // and the search timer started.
    void start();
    // The search timer ran out before the instrument began a reply: on a
    // port still open it goes on waiting, otherwise it searches the ports.
    void searchTick();
    // A batch of bytes from the port.
    void receive(const uint8_t* data, uint32_t size);
    // Ends the download where it stands, the port closed.
    void cancel();
    // No timer of the download fires any more (its window closes).
    void stopWaiting();

    // Where the search timer and the port deliver: straight to searchTick()
    // and receive() unless a host (a window whose handlers carry the names
    // of these events) puts its own in between.
    void routeSearchTimer(std::function<void()> handler) { m_searchDue = std::move(handler); }
    void routeBytes(std::function<void(const uint8_t*, uint32_t)> handler) { m_bytesIn = std::move(handler); }

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
    // The instrument's verification has run out (or its dates could not be
    // read); empty when there is nothing to warn of. The download goes on.
    void warningTextChanged(const QString& text);     // Label2
    // The line went dead (cable pulled, adapter gone): nothing more can
    // arrive until the download is cancelled.
    void lineLost();
    void finished(DownloadResult result);

private:
    bool probe();
    void onLineLost();
    void noAnswer();
    void heardAgain();
    void sendLetter(char letter);
    void resetReply();
    void finish(DownloadResult result);
    void fail(const char* text, DownloadResult result);
    void receiveArchive();
    void writeDump();
    void showArchiveProgress();

    Prompter& m_prompter;
    ArchiveImage& m_archive;
    DownloadProtocol m_protocol{m_archive};
    std::unique_ptr<SerialPortDriver> m_driver;
    QTimer m_searchTimer;
    QTimer m_silence; // restarted by every batch of the archive reply
    bool m_noAnswerShown = false;
    int m_searchDelayMs = kSearchDelayMs;
    bool m_saveBinaryFile = false;
    bool m_found = false;
    bool m_active = false;
    DownloadResult m_result = DownloadResult::Cancelled;
    bool m_timedOut = false;
    int m_shownProgress = -1;
    int m_shownRecordCount = -1;
    std::function<void()> m_searchDue;
    std::function<void(const uint8_t*, uint32_t)> m_bytesIn;
};

} // namespace zent5
