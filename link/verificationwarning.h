#pragma once

#include "journal/verificationdates.h"
#include "records/archiveimage.h"

#include <string>

namespace zent5 {

// The line the download window shows once the instrument has told who it
// is: "Поверка прибора № 4242 просрочена (до 01.12.2026)" when the due date
// the user entered for it (by model and serial number) is past on `today`,
// otherwise empty. The dates are read from `datesPath`; when they cannot be
// read the line says so, and the download goes on either way.
std::string verification_warning(const ArchiveImage& identification, const std::string& datesPath,
                                 journal::Day today);
// The same by the dates in the user's data folder on the local calendar day.
std::string verification_warning(const ArchiveImage& identification);

inline constexpr const char* kDatesUnreadText = "Не удалось прочитать сроки поверки приборов";

} // namespace zent5
