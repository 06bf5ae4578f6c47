#include "text.h"
#include "collation_icu.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace zent5::text {
namespace {

QString qs(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

std::string str(const QString& s)
{
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), size_t(b.size()));
}

QByteArray codecName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 852: return "IBM852";
    case 857: return "IBM857";
    case 860: return "IBM860";
    case 861: return "IBM861";
    case 862: return "IBM862";
    case 863: return "IBM863";
    case 865: return "IBM865";
    case 866: return "IBM866";
    case 737: return "IBM737";
    case 874: return "windows-874";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "EUC-KR";
    case 950: return "Big5";
    case 10000: return "macintosh";
    case 10007: return "x-mac-cyrillic";
    default:
        if (codePage >= 1250 && codePage <= 1258)
            return "windows-" + QByteArray::number(codePage);
        return {};
    }
}

} // namespace

bool codePageInstalled(int codePage)
{
    const QByteArray name = codecName(codePage);
    if (name.isEmpty())
        return false;
    QStringDecoder d(name.constData());
    return d.isValid();
}

std::string fromCodePage(int codePage, std::string_view bytes)
{
    QStringDecoder d(codecName(codePage).constData());
    if (!d.isValid())
        return std::string(bytes);
    return str(d.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size()))));
}

std::string toCodePage(int codePage, std::string_view utf8)
{
    const QByteArray name = codecName(codePage);
    QStringEncoder e(name.constData(), QStringConverter::Flag::Stateless);
    if (!e.isValid())
        return std::string(utf8);
    const QString text = qs(utf8);
    const QByteArray whole = e.encode(text);
    QStringDecoder back(name.constData(), QStringConverter::Flag::Stateless);
    if (!e.hasError() && QString(back.decode(whole)) == text)
        return std::string(whole.constData(), size_t(whole.size()));
    // The converters put their own substitute (a control character, which
    // a table would read as its end) for what the code page lacks; such a
    // character becomes '?', as the tables' own conversion writes it.
    std::string out;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString c = text.mid(i, n);
        QStringEncoder one(name.constData(), QStringConverter::Flag::Stateless);
        const QByteArray b = one.encode(c);
        if (one.hasError() || b.isEmpty() || QString(back.decode(b)) != c)
            out += '?';
        else
            out.append(b.constData(), size_t(b.size()));
        i += n;
    }
    return out;
}

std::string toCp1251(std::string_view utf8) { return toCodePage(1251, utf8); }
std::string fromCp1251(std::string_view bytes) { return fromCodePage(1251, bytes); }

bool fitsCp1251(std::string_view utf8)
{
    const QString text = qs(utf8);
    QStringEncoder encoder("windows-1251", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return false;
    // Some converters substitute '?' silently instead of flagging an error.
    QStringDecoder decoder("windows-1251");
    return QString(decoder.decode(bytes)) == text;
}

int systemAnsiCodePage() { return 1251; }
int systemOemCodePage() { return 866; }
uint32_t userDefaultLocale() { return 0x0419; }

std::u16string toUtf16(std::string_view utf8)
{
    const QString s = qs(utf8);
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), size_t(s.size()));
}

std::string fromUtf16(std::u16string_view utf16)
{
    return str(QString(reinterpret_cast<const QChar*>(utf16.data()), qsizetype(utf16.size())));
}

std::string russianSortKey(std::string_view utf8)
{
    return russianCollation().sortKey(utf8);
}

char decimalSeparator()
{
    // The table formats and reads numbers through this once per field, and
    // asking the system locale is far dearer than the formatting; keep the
    // answer while the default locale stays the same one.
    thread_local std::optional<QLocale> asked;
    thread_local char separator = '.';
    const QLocale current;
    if (!asked || !(*asked == current)) {
        const QString p = current.decimalPoint();
        separator = p.isEmpty() ? '.' : char(p.at(0).toLatin1());
        asked = current;
    }
    return separator;
}

} // namespace zent5::text
