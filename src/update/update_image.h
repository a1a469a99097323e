// The whole update file read, decoded and checked in memory before the controller is
// touched, so that a file with any bad record is refused while the old firmware is intact.
#pragma once

#include <string_view>
#include <vector>

#include "update/update.h"
#include "update/update_record.h"

namespace update {

enum class FileVerdict {
    Accepted,
    WrongFile,         // scrambled form failing its check
    SeparatorMissing,  // file error 5
    BadCharacter,      // file error 6
    NoRecord,          // file error 4
    AddressTooHigh,    // a page number that does not fit the bootloader's one byte
};

struct UpdateImage {
    UpdateForm form = UpdateForm::Plain;
    FileVerdict verdict = FileVerdict::NoRecord;
    std::vector<UpdateRecord> records;  // in file order; complete only when Accepted
};

// The verdict of a bad record is that of the first one in file order.
UpdateImage readUpdateImage(std::string_view fileBytes);

}  // namespace update
