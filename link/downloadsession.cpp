#include "link/downloadsession.h"

#include "link/portnames.h"
#include "link/verificationwarning.h"
#include "link/wireencoding.h"

#include <QEventLoop>

#include <cstdio>

namespace zent5 {

const char* const DownloadSession::kCaption = "Прием данных";
const char* const DownloadSession::kWaitingText = "Ожидание готовности прибора ...";
const char* const DownloadSession::kReceivingText = "Идет прием информации ...";
const char* const DownloadSession::kNoAnswerText = "Прибор не отвечает ...";
const char* const DownloadSession::kSearchingPrefix = "Поиск прибора....ComPort №";
const char* const DownloadSession::kFoundPrefix = "Прибор найден ComPort №";
const char* const DownloadSession::kNotFoundText =
    "Прибор не обнаружен! Проверте правильность подключения согласно инструкции!";
const char* const DownloadSession::kWrongInstrumentText = "Вы подключили не тот прибор !";
const char* const DownloadSession::kLineLostText = "Связь с прибором потеряна !";
const char* const DownloadSession::kReplyTooLongText = "Ответ прибора не помещается в буфер приема !";
const char* const DownloadSession::kArchiveTooLongText = "Архив прибора длиннее 65536 байт !";
const char* const DownloadSession::kErrorCaption = "Ошибка";

namespace {

const char* const kFirstPort = "\\\\.\\COM1";

QString kindText(uint8_t kind, uint8_t model)
{
    return QStringLiteral("вид %1, модель %2").arg(kind).arg(model);
}

} // namespace

DownloadSession::DownloadSession(Prompter& prompter, ArchiveImage& archive, QObject* parent)
    : DownloadSession(prompter, archive, std::make_unique<SerialPortDriver>(), parent)
{
}

DownloadSession::DownloadSession(Prompter& prompter, ArchiveImage& archive, std::unique_ptr<SerialPortDriver> driver,
                                 QObject* parent)
    : QObject(parent), m_prompter(prompter), m_archive(archive), m_driver(std::move(driver))
{
    m_driver->setPort(SerialPortDriver::pnCustom);
    m_driver->setPortName(kFirstPort);
    m_driver->setInBufSize(4096);
    m_driver->setOutBufSize(4096);
    m_driver->setEnableDTROnOpen(false);
    m_driver->OnReceiveData = [this](SerialPortDriver*, const uint8_t* data, uint32_t size) {
        if (m_bytesIn)
            m_bytesIn(data, size);
        else
            receive(data, size);
    };
    m_driver->OnLineLost = [this](SerialPortDriver*) { onLineLost(); };
    m_searchTimer.setSingleShot(false);
    connect(&m_searchTimer, &QTimer::timeout, this, [this] {
        if (m_searchDue)
            m_searchDue();
        else
            searchTick();
    });
    m_silence.setSingleShot(true);
    m_silence.setInterval(kSilenceNoticeMs);
    connect(&m_silence, &QTimer::timeout, this, &DownloadSession::noAnswer);
}

DownloadSession::~DownloadSession()
{
    m_searchTimer.stop();
    m_silence.stop();
    m_driver->OnReceiveData = nullptr;
    m_driver->OnLineLost = nullptr;
    m_driver->ClosePort();
}

QString DownloadSession::portLabel(const std::string& portName, const std::string& device)
{
    QString label = QString::fromStdString(portName);
    if (!device.empty() && device != portName)
        label += QStringLiteral(" (%1)").arg(QString::fromStdString(device));
    return label;
}

void DownloadSession::sendLetter(char letter)
{
    m_driver->PutByte(static_cast<uint8_t>(letter));
}

void DownloadSession::resetReply()
{
    m_protocol.clearReply();
    m_shownProgress = 0;
    emit progressChanged(0);
}

void DownloadSession::start()
{
    m_active = true;
    m_result = DownloadResult::Cancelled;
    m_timedOut = false;
    m_found = false;
    m_noAnswerShown = false;
    m_silence.stop();
    m_driver->ClosePort();
    m_driver->setPortName(kFirstPort);
    m_protocol.start();
    m_shownProgress = 0;
    m_shownRecordCount = -1;
    emit progressChanged(0);
    emit kindTextChanged(QString());
    emit versionTextChanged(QString());
    emit recordCountTextChanged(QString());
    emit warningTextChanged(QString());
    emit statusTextChanged(QString::fromUtf8(kWaitingText));
    emit captionChanged(QString::fromUtf8(kCaption));
    m_driver->OpenPort();
    sendLetter(wire::kIdentify);
    m_searchTimer.start(m_searchDelayMs);
}

void DownloadSession::searchTick()
{
    m_searchTimer.stop();
    if (!m_active)
        return;
    // The port opened when the window was shown is still open: the
    // instrument may just be slow, so keep waiting on it, and say so.
    if (m_driver->OpenPort()) {
        noAnswer();
        return;
    }
    for (const std::string& name : portnames::searchList()) {
        m_driver->ClosePort();
        m_driver->setPortName(name);
        emit searchTextChanged(QString::fromUtf8(kSearchingPrefix) + portLabel(name, m_driver->devicePath()));
        m_driver->OpenPort();
        resetReply();
        if (m_driver->IsOpen())
            m_found = probe();
        if (m_found) {
            emit searchTextChanged(QString::fromUtf8(kFoundPrefix) + portLabel(name, m_driver->devicePath()));
            m_protocol.start();
            sendLetter(wire::kIdentify);
            m_searchTimer.start(m_searchDelayMs);
            m_found = false;
            return;
        }
    }
    m_driver->ClosePort();
    m_driver->setPortName(kFirstPort);
    resetReply();
    m_prompter.message(kErrorCaption, kNotFoundText, MessageIcon::Error, MessageButtons::Ok);
    finish(DownloadResult::NotFound);
    emit searchTextChanged(QString());
}

// Sends the probe letter and waits for its echo, the instrument's answer.
bool DownloadSession::probe()
{
    sendLetter(wire::kProbe);
    uint8_t answer = 0;
    return m_driver->GetByte(answer) && answer == wire::kProbe;
}

void DownloadSession::receive(const uint8_t* data, uint32_t size)
{
    if (!m_active)
        return;
    const DownloadProtocol::Step step = m_protocol.feed(data, size);
    if (step.stopTimer)
        m_searchTimer.stop();
    heardAgain();
    using Outcome = DownloadProtocol::Outcome;
    switch (step.outcome) {
    case Outcome::Waiting:
        showArchiveProgress();
        break;
    case Outcome::Restarted:
        sendLetter(step.send);
        showArchiveProgress();
        break;
    case Outcome::Identified:
        emit kindTextChanged(kindText(m_archive.kind, m_archive.model));
        emit versionTextChanged(QString::fromStdString(m_archive.versionText));
        emit warningTextChanged(QString::fromStdString(verification_warning(m_archive)));
        emit statusTextChanged(QString::fromUtf8(kReceivingText));
        sendLetter(step.send);
        break;
    case Outcome::WrongInstrument:
        if (const auto km = m_protocol.kindAndModel())
            emit kindTextChanged(kindText(km->first, km->second));
        fail(kWrongInstrumentText, DownloadResult::WrongInstrument);
        break;
    case Outcome::ReplyTooLong:
        fail(kReplyTooLongText, DownloadResult::ReplyTooLong);
        break;
    case Outcome::ArchiveTooLong:
        fail(kArchiveTooLongText, DownloadResult::ArchiveTooLong);
        break;
    case Outcome::Received:
        receiveArchive();
        break;
    }
}

void DownloadSession::showArchiveProgress()
{
    const int percent = m_protocol.progressPercent();
    if (percent != m_shownProgress) {
        m_shownProgress = percent;
        emit progressChanged(percent);
    }
    const auto count = m_protocol.recordCount();
    const int shown = count ? int{*count} : -1;
    if (shown != m_shownRecordCount) {
        m_shownRecordCount = shown;
        emit recordCountTextChanged(count ? QString::number(*count) : QString());
    }
}

void DownloadSession::fail(const char* text, DownloadResult result)
{
    // The box may stay up longer than the 3 s wait: the timer must not reopen
    // or search the ports behind it.
    m_searchTimer.stop();
    m_silence.stop();
    m_driver->ClosePort();
    m_prompter.message(kErrorCaption, text, MessageIcon::Error, MessageButtons::Ok);
    m_protocol.clearReply();
    finish(result);
}

void DownloadSession::receiveArchive()
{
    m_archive.port = m_driver->PortName();
    m_driver->ClosePort();
    m_shownProgress = 100;
    emit progressChanged(100);
    if (m_archive.decodedLength >= 2)
        emit recordCountTextChanged(QString::number(m_archive.bytes[0] + 256 * m_archive.bytes[1]));
    if (m_saveBinaryFile)
        writeDump();
    finish(DownloadResult::Received);
}

void DownloadSession::writeDump()
{
    FileDialogRequest request;
    request.filter = "Двоичные файлы|*.bin";
    request.filterIndex = 1;
    request.defaultExtension = ".bin";
    const std::optional<std::string> path = m_prompter.saveFile(request);
    if (!path)
        return;
    FILE* f = std::fopen(path->c_str(), "wb");
    bool ok = f != nullptr;
    if (f) {
        const size_t n = m_archive.decodedLength;
        ok = (n == 0 || std::fwrite(m_archive.bytes.data(), 1, n, f) == n);
        ok = std::fclose(f) == 0 && ok;
    }
    // A dump cut short would pass for the instrument's archive.
    if (!ok) {
        std::remove(path->c_str());
        m_prompter.message(kErrorCaption, "Не удалось записать файл " + *path, MessageIcon::Error,
                           MessageButtons::Ok);
    }
}

void DownloadSession::noAnswer()
{
    if (!m_active)
        return;
    m_noAnswerShown = true;
    emit statusTextChanged(QString::fromUtf8(kNoAnswerText));
}

void DownloadSession::heardAgain()
{
    if (m_protocol.phase() == DownloadProtocol::Phase::Archive)
        m_silence.start();
    if (!m_noAnswerShown)
        return;
    m_noAnswerShown = false;
    const bool archive = m_protocol.phase() == DownloadProtocol::Phase::Archive;
    emit statusTextChanged(QString::fromUtf8(archive ? kReceivingText : kWaitingText));
}

void DownloadSession::onLineLost()
{
    if (!m_active)
        return;
    m_silence.stop();
    m_noAnswerShown = false;
    m_driver->ClosePort();
    emit statusTextChanged(QString::fromUtf8(kLineLostText));
    emit lineLost();
}

void DownloadSession::cancel()
{
    m_driver->ClosePort();
    m_protocol.clearReply();
    m_shownProgress = 0;
    emit progressChanged(0);
    finish(DownloadResult::Cancelled);
}

void DownloadSession::stopWaiting()
{
    m_searchTimer.stop();
    m_silence.stop();
}

void DownloadSession::finish(DownloadResult result)
{
    m_searchTimer.stop();
    m_silence.stop();
    m_active = false;
    m_result = result;
    emit finished(result);
}

DownloadResult DownloadSession::run(int timeoutMs)
{
    QEventLoop loop;
    const QMetaObject::Connection done = connect(this, &DownloadSession::finished, &loop, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, this, [this] {
        if (!m_active)
            return;
        m_timedOut = true;
        cancel();
    });
    start();
    if (m_active) {
        limit.start(timeoutMs);
        loop.exec();
    }
    disconnect(done);
    return m_result;
}

} // namespace zent5
