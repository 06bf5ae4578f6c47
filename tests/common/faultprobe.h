#pragma once

#include "table/fileio.h"

#include <gtest/gtest.h>

#include <string>

namespace zent5::testing {

enum class FaultStep { Write, Rename };

// Makes the n-th write or rename from now fail.
inline void armFault(FaultStep step, int n)
{
    if (step == FaultStep::Write)
        fileio::testhook::failNthWrite(n);
    else
        fileio::testhook::failNthRename(n);
}

// True when the armed fault was still waiting, i.e. the operation never
// reached it. The probe, a file in `folder`, uses up the fault; the hooks
// are off afterwards.
inline bool faultStillArmed(FaultStep step, const std::string& folder)
{
    const std::string probe = folder + "/probe";
    const std::string renamed = folder + "/probe2";
    fileio::File f;
    int error = 0;
    if (!f.open(probe, fileio::OpenMode::CreateOrTruncate, error))
        ADD_FAILURE() << "probe not created";
    bool armed;
    if (step == FaultStep::Write) {
        armed = !f.writeAt(0, "x", 1);
    } else {
        armed = !fileio::renameFile(probe, renamed);
        fileio::removeFile(renamed);
    }
    f.close();
    fileio::removeFile(probe);
    fileio::testhook::reset();
    return armed;
}

} // namespace zent5::testing
