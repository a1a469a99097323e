#include "update/update_image.h"

#include "update/update_file.h"

namespace update {

namespace {

// Parses each line the reader gives; false at the first bad record, with its verdict.
template <typename Reader>
bool collectRecords(Reader& reader, UpdateImage& image) {
    while (const auto line = reader.readUpdateLine()) {
        UpdateRecord record;
        switch (parseUpdateRecord(*line, record)) {
            case RecordError::Separator:
                image.verdict = FileVerdict::SeparatorMissing;
                return false;
            case RecordError::Character:
                image.verdict = FileVerdict::BadCharacter;
                return false;
            case RecordError::None:
                break;
        }
        if (record.address >= flashAddressLimit) {
            image.verdict = FileVerdict::AddressTooHigh;
            return false;
        }
        image.records.push_back(record);
    }
    image.verdict = image.records.empty() ? FileVerdict::NoRecord : FileVerdict::Accepted;
    return true;
}

}  // namespace

UpdateImage readUpdateImage(std::string_view fileBytes) {
    UpdateImage image;
    image.form = detectUpdateForm(fileBytes);
    if (image.form == UpdateForm::Plain) {
        PlainLineReader reader(fileBytes);
        collectRecords(reader, image);
        return image;
    }
    const ScrambledCheck check = verifyScrambledFile(fileBytes);
    if (!check.passed) {
        image.verdict = FileVerdict::WrongFile;
        return image;
    }
    ScrambledLineReader reader(fileBytes, check.rollingKey);
    collectRecords(reader, image);
    return image;
}

}  // namespace update
