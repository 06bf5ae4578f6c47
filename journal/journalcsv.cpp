#include "journal/journalcsv.h"

#include "journal/digits.h"
#include "records/csv.h"

namespace zent5::journal {
namespace {

void field(std::string& line, std::string_view text)
{
    if (!line.empty() && line.back() != '\n')
        line += ',';
    line += csvField(text);
}

void field(std::string& line, uint64_t number)
{
    std::string digits;
    appendDigits(digits, (long long)number, 1);
    field(line, digits);
}

} // namespace

const char* actionWord(TableAction action)
{
    return action == TableAction::Append ? "append" : "new";
}

const char* verificationWord(Verification verification)
{
    switch (verification) {
    case Verification::InDate:
        return "in-date";
    case Verification::Overdue:
        return "overdue";
    case Verification::NoDate:
        break;
    }
    return "none";
}

std::string journalCsv(const std::vector<EntryInfo>& entries)
{
    std::string out =
        "id,time_local,time_utc,serial,kind,model,version,records,image_bytes,port,action,table,rows_added,"
        "verification\n";
    for (const EntryInfo& e : entries) {
        const Download& d = e.download;
        field(out, e.id);
        field(out, localText(d.moment));
        field(out, utcText(d.moment));
        field(out, e.serialNumber);
        field(out, e.kind);
        field(out, e.model);
        field(out, e.versionText);
        field(out, e.recordCount);
        field(out, e.imageLength);
        field(out, d.portName);
        field(out, actionWord(d.action));
        field(out, d.tablePath);
        field(out, d.rowsAdded);
        field(out, verificationWord(d.verification));
        out += '\n';
    }
    return out;
}

std::string instrumentsCsv(const std::vector<Instrument>& instruments, Day today)
{
    std::string out =
        "serial,model,kind,version,first_download,last_download,downloads,verification_due,verification_passed\n";
    for (const Instrument& in : instruments) {
        field(out, in.key.serialNumber);
        field(out, in.key.model);
        field(out, in.kind);
        field(out, in.versionText);
        field(out, localText(in.firstDownload));
        field(out, localText(in.lastDownload));
        field(out, in.downloads);
        if (in.verificationDue) {
            field(out, dayText(*in.verificationDue));
            field(out, verificationPassed(*in.verificationDue, today) ? "yes" : "no");
        } else {
            field(out, "");
            field(out, "");
        }
        out += '\n';
    }
    return out;
}

} // namespace zent5::journal
