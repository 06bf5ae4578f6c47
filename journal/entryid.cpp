#include "journal/entryid.h"

#include "journal/digits.h"
#include "records/error.h"

namespace zent5::journal {
namespace {

// Where the digits of an id are.
constexpr std::string_view kIdShape = "00000000-000000-00000-00";

} // namespace

std::string entryId(const Moment& moment, uint16_t serialNumber, int counter)
{
    if (!isClockMoment(moment) || counter < 1 || counter > kMaxIdCounter)
        throw Error("Записи журнала не подобрать имени: время " + utcText(moment) + ", номер " +
                    std::to_string(counter));
    std::string id = utcStamp(moment);
    id += '-';
    appendDigits(id, serialNumber, 5);
    id += '-';
    appendDigits(id, counter, 2);
    return id;
}

bool isEntryId(std::string_view text)
{
    if (text.size() != kIdShape.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kIdShape[i] == '0' ? !digit : text[i] != kIdShape[i])
            return false;
    }
    return true;
}

std::string idOfFileName(std::string_view fileName)
{
    if (!fileName.ends_with(kEntryExtension))
        return {};
    const std::string_view id = fileName.substr(0, fileName.size() - kEntryExtension.size());
    return isEntryId(id) ? std::string(id) : std::string();
}

} // namespace zent5::journal
