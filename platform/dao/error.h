#pragma once

#include <QString>

#include <stdexcept>
#include <string>

namespace dao {

// Engine error numbers the rest of the program relies on.
enum ErrorNumber : int {
    kErrInvalidArgument = 3001,
    kErrTableExists = 3010,
    kErrObjectExists = 3012,
    kErrNoCurrentIndex = 3019,
    kErrUpdateWithoutEdit = 3020,
    kErrNoCurrentRecord = 3021,
    kErrDuplicateKey = 3022,
    kErrFileNotFound = 3024,
    kErrDiskFull = 3026,
    kErrReadOnly = 3027,
    kErrInvalidPassword = 3031,
    kErrNoTransaction = 3034,
    kErrDiskIo = 3043,
    kErrInvalidPath = 3044,
    kErrFileInUse = 3045,
    kErrCorrupt = 3049,
    kErrTooFewParameters = 3061,
    kErrNoSuchObject = 3078,
    kErrFieldTooSmall = 3163,
    kErrRecordDeleted = 3167,
    kErrFieldDefinedTwice = 3191,
    kErrDatabaseExists = 3204,
    kErrNotInTransaction = 3246,
    kErrNotSupported = 3251,
    kErrItemNotFound = 3265,
    kErrRequiredIsNull = 3314,
    kErrZeroLength = 3315,
    kErrUnrecognizedFormat = 3343,
    kErrNumericOverflow = 3349,
    kErrObjectInvalid = 3420,
    kErrConversion = 3421,
    kErrIndexNull = 3058,
    kErrNotAnIndex = 3800,
};

// An engine error: its number and a description for the user.
class Error : public std::runtime_error {
  public:
    Error(int number, const QString& description)
        : std::runtime_error(description.toStdString()),
          number_(number),
          description_(description) {}

    int Number() const { return number_; }
    const QString& Description() const { return description_; }

  private:
    int number_;
    QString description_;
};

// The engine's description of an error number, with "|" replaced by `item`.
QString ErrorText(int number, const QString& item = {});
[[noreturn]] void Throw(int number, const QString& item = {});

}  // namespace dao
