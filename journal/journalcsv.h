#pragma once

#include "journal/instrumentregister.h"
#include "journal/journalentry.h"

#include <string>
#include <vector>

// The journal and the register as UTF-8 CSV for the command-line tool:
// a heading line, then one line per entry or instrument, numbers in plain
// digits and moments in ISO 8601 whatever the locale.
namespace zent5::journal {

// id,time_local,time_utc,serial,kind,model,version,records,image_bytes,port,action,table,rows_added,verification
// in the order given (the journal lists newest first).
std::string journalCsv(const std::vector<EntryInfo>& entries);

// serial,model,kind,version,first_download,last_download,downloads,verification_due,verification_passed
// with verification_passed "yes" or "no" as the due date stands on `today`,
// both empty for an instrument without a date.
std::string instrumentsCsv(const std::vector<Instrument>& instruments, Day today);

// The words the CSV uses for what was done and for the verification.
const char* actionWord(TableAction action);
const char* verificationWord(Verification verification);

} // namespace zent5::journal
