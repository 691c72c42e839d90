#include "platform/dao/error.h"

namespace dao {
namespace {

const char* Template(int number) {
    switch (number) {
        case kErrInvalidArgument: return "Invalid argument.";
        case kErrTableExists: return "Table '|' already exists.";
        case kErrObjectExists: return "Object '|' already exists.";
        case kErrNoCurrentIndex: return "Operation invalid without a current index.";
        case kErrUpdateWithoutEdit: return "Update or CancelUpdate without AddNew or Edit.";
        case kErrNoCurrentRecord: return "No current record.";
        case kErrDuplicateKey:
            return "The changes you requested to the table were not successful because they "
                   "would create duplicate values in the index, primary key, or relationship. "
                   "Change the data in the field or fields that contain duplicate data, remove "
                   "the index, or redefine the index to permit duplicate entries and try again.";
        case kErrFileNotFound: return "Could not find file '|'.";
        case kErrDiskFull: return "Not enough space on disk.";
        case kErrReadOnly: return "Cannot update. Database or object is read-only.";
        case kErrInvalidPassword: return "Not a valid password.";
        case kErrNoTransaction:
            return "You tried to commit or rollback a transaction without first beginning a "
                   "transaction.";
        case kErrDiskIo: return "Disk or network error.";
        case kErrInvalidPath: return "'|' is not a valid path.";
        case kErrFileInUse: return "Could not use '|'; file already in use.";
        case kErrCorrupt:
            return "Cannot open database '|'. It may not be a database that your application "
                   "recognizes, or the file may be corrupt.";
        case kErrTooFewParameters: return "Too few parameters. Expected |.";
        case kErrNoSuchObject:
            return "The database engine cannot find the input table or query '|'.";
        case kErrFieldTooSmall:
            return "The field is too small to accept the amount of data you attempted to add. "
                   "Try inserting or pasting less data.";
        case kErrRecordDeleted: return "Record is deleted.";
        case kErrFieldDefinedTwice: return "Cannot define field more than once.";
        case kErrDatabaseExists: return "Database already exists.";
        case kErrNotInTransaction: return "Operation not supported in transactions.";
        case kErrNotSupported: return "Operation is not supported for this type of object.";
        case kErrItemNotFound: return "Item not found in this collection.";
        case kErrRequiredIsNull:
            return "The field '|' cannot contain a Null value because the Required property for "
                   "this field is set to True. Enter a value in this field.";
        case kErrZeroLength: return "Field '|' cannot be a zero-length string.";
        case kErrUnrecognizedFormat: return "Unrecognized database format '|'.";
        case kErrNumericOverflow: return "Numeric field overflow.";
        case kErrConversion: return "Data type conversion error.";
        case kErrObjectInvalid: return "Object invalid or no longer set.";
        case kErrIndexNull: return "Index or primary key cannot contain a Null value.";
        case kErrNotAnIndex: return "'|' is not an index in this table.";
        default: return nullptr;
    }
}

}  // namespace

QString ErrorText(int number, const QString& item) {
    const char* text = Template(number);
    if (!text) {
        QString generic = QStringLiteral("Database engine error %1.").arg(number);
        return item.isEmpty() ? generic : generic + QLatin1Char(' ') + item;
    }
    return QString::fromUtf8(text).replace(QLatin1Char('|'), item);
}

void Throw(int number, const QString& item) {
    throw Error(number, ErrorText(number, item));
}

}  // namespace dao
