#include <QFileInfo>

#include "desktop/app/app_settings.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/facility_schema.h"
#include "desktop/data/facility_states.h"
#include "desktop/data/facility_texts.h"
#include "platform/dao/error.h"
#include "protocol/mixing.h"

namespace tandrel {
namespace {

constexpr int kPasswordAttempts = 3;
constexpr int kMaxPasswordLength = 14;
constexpr int kOldestConvertibleVersion = 7;

// Tables in the order conversion visits them.
const char* const kConversionOrder[] = {
    "FacilityProperties", "User Groups",          "Lock Paths", "Users", "Handheld PCs",
    "Time Schedule",      "Time Schedule Events", "Holidays",   "Locks", "Users to Locks",
    "Audit Data"};

QString BaseName(const QString& path) {
    return QFileInfo(path).completeBaseName();
}

}  // namespace

CTDXDoc::CTDXDoc(FacilitySession& session, AppSettings& settings, Prompter& prompter)
    : session_(session), settings_(settings), prompter_(prompter) {}

CTDXDoc::~CTDXDoc() {
    CloseFacility();
}

void CTDXDoc::ShowEngineError(const dao::Error& e) {
    prompter_.Message(e.Description(), PromptIcon::Exclamation);
}

void CTDXDoc::CloseFacility() {
    CloseRecordsets();
    db_.reset();
}

std::unique_ptr<dao::Database> CTDXDoc::OpenWithPassword(const QString& path) {
    try {
        auto db = dao::Database::Open(path, ";pwd=" + session_.password);
        return db;
    } catch (const dao::Error& e) {
        if (e.Number() != dao::kErrInvalidPassword) {
            ShowEngineError(e);
            return nullptr;
        }
    }
    for (int attempt = 0; attempt < kPasswordAttempts; ++attempt) {
        std::optional<QString> typed = prompter_.AskPassword(BaseName(path), kMaxPasswordLength);
        if (!typed || typed->isEmpty()) return nullptr;
        // The text as typed first, then the password derived from it.
        for (const QString& candidate :
             {*typed, QString::fromStdString(protocol::DerivedPassword(typed->toStdString()))}) {
            try {
                auto db = dao::Database::Open(path, ";pwd=" + candidate);
                session_.password = candidate;
                return db;
            } catch (const dao::Error& e) {
                if (e.Number() != dao::kErrInvalidPassword) {
                    ShowEngineError(e);
                    return nullptr;
                }
            }
        }
        prompter_.Message(texts::kInvalidFacilityPassword, PromptIcon::Exclamation);
    }
    return nullptr;
}

bool CTDXDoc::OpenFacility(const QString& path) {
    CloseFacility();
    db_ = OpenWithPassword(path);
    if (!db_) return false;
    VersionResult version = CheckVersion();
    bool converted = version == VersionResult::Convert;
    if (version == VersionResult::Refused || (converted && !ConvertDatabase())) {
        db_.reset();
        return false;
    }
    // The file itself, once any link is followed: compaction and password
    // changes replace it, never the link.
    session_.path = db_->Path();
    settings_.SetCurrentDBPath(session_.path);
    settings_.RecordRecentFacility(session_.path);
    try {
        OpenRecordsets();
    } catch (const dao::Error& e) {
        ShowEngineError(e);
        CloseFacility();
        return false;
    }
    if (m_pFacilityProperties->m_DBVersion < kCurrentDBVersion && !RecodeUserTypes()) {
        prompter_.Message(texts::kErrorUpdatingFacility, PromptIcon::Exclamation);
        CloseFacility();
        return false;
    }
    OfferRename(session_.path);
    if (converted) {
        ForceRefresh(AllLockKeys());
        Compact(std::nullopt);
    }
    return IsOpen();
}

CTDXDoc::VersionResult CTDXDoc::CheckVersion() {
    int version = 0;
    try {
        auto properties = db_->OpenTable(kFacilityPropertiesTable);
        if (properties->HasCurrent()) version = properties->Value("DBVersion").toInt();
    } catch (const dao::Error&) {
        version = 0;
    }
    if (version == 0) {
        prompter_.Message(texts::kFormatUnrecognized, PromptIcon::Exclamation);
        return VersionResult::Refused;
    }
    if (version > kCurrentDBVersion) {
        prompter_.Message(texts::kFormatNotSupported, PromptIcon::Exclamation);
        return VersionResult::Refused;
    }
    if (version == kCurrentDBVersion) {
        if (IsValidFacilityProperties(*db_)) return VersionResult::Current;
        prompter_.Message(texts::kErrorInFacilityDatabase, PromptIcon::Exclamation);
        return VersionResult::Refused;
    }
    if (version < kOldestConvertibleVersion) {
        prompter_.Message(texts::kOlderNotConvertible, PromptIcon::Exclamation);
        return VersionResult::Refused;
    }
    for (const QString& question :
         {texts::kConvertQuestion, texts::kBackupQuestion, texts::kPermanentQuestion}) {
        if (prompter_.Ask(question) != PromptAnswer::Yes) return VersionResult::Refused;
    }
    return VersionResult::Convert;
}

bool CTDXDoc::ConvertDatabase() {
    int fieldCount = 0;
    for (const char* table : kConversionOrder) {
        fieldCount += static_cast<int>(FacilityTable(table).fields.size());
    }
    auto progress =
        prompter_.StartProgress(texts::kConversionTitle, texts::kConvertingDatabase, fieldCount);
    int step = 0;
    try {
        for (const char* table : kConversionOrder) {
            // A table missing altogether cannot be given fields.
            const dao::TableDef have = db_->GetTableDef(table);
            for (const dao::FieldInfo& field : FacilityTable(table).fields) {
                if (!have.Field(field.name)) db_->AppendField(table, field);
                progress->SetPosition(++step);
            }
        }
        progress.reset();
        prompter_.Message(texts::kConvertedSuccessfully, PromptIcon::Information);
        db_->ExecuteSql(
            "UPDATE \"Users\" SET \"CardMediaType\" = CASE WHEN \"Card Media\" THEN 1 ELSE 0 END");
    } catch (const dao::Error& e) {
        ShowEngineError(e);
        return false;
    }
    return true;
}

bool CTDXDoc::RecodeUserTypes() {
    try {
        dao::Transaction transaction(*db_);
        CUsersToLocksRecordset& enrolments = *m_pUsersToLocks;
        CLockUsersRecordset& users = *m_pLockUsers;
        for (enrolments.MoveFirst(); !enrolments.IsEOF(); enrolments.MoveNext()) {
            if (!users.FindByKey(enrolments.m_UserIndex)) return false;
            int old = enrolments.m_UserType;
            int oldType = (old / 16) % 4;
            int recoded = users.m_UserType * 32 + users.m_Rights;
            if (!enrolments.m_UseTypeDefaults && oldType != 0) recoded = oldType * 32 + old % 16;
            if (recoded == old) continue;
            enrolments.Edit();
            enrolments.m_UserType = static_cast<std::uint8_t>(recoded);
            enrolments.Update();
        }
        CFacilityPropertiesRecordset& properties = *m_pFacilityProperties;
        properties.MoveFirst();
        properties.Edit();
        properties.m_DBVersion = kCurrentDBVersion;
        properties.Update();
        transaction.Commit();
        properties.MoveFirst();
    } catch (const dao::Error&) {
        return false;
    }
    return true;
}

void CTDXDoc::OfferRename(const QString& path) {
    const QString name = BaseName(path);
    m_pFacilityProperties->MoveFirst();
    if (m_pFacilityProperties->m_Name == name) return;
    if (prompter_.Ask(texts::kFacilityRenamedQuestion) != PromptAnswer::Yes) return;
    try {
        dao::Transaction transaction(*db_);
        m_pFacilityProperties->Edit();
        m_pFacilityProperties->m_Name = name;
        m_pFacilityProperties->Update();
        m_pFacilityDirectory->SetCurrentIndex("PrimaryKey");
        m_pFacilityDirectory->MoveFirst();
        if (m_pFacilityDirectory->HasCurrent()) {
            m_pFacilityDirectory->Edit();
            m_pFacilityDirectory->m_NodeName = name;
            m_pFacilityDirectory->Update();
        }
        CMobileDevicesRecordset& devices = *m_pMobileDevices;
        for (devices.MoveFirst(); !devices.IsEOF(); devices.MoveNext()) {
            if (devices.m_RecordState != kDeviceCurrent) continue;
            devices.Edit();
            devices.m_RecordState = kDeviceChanged;
            devices.Update();
        }
        transaction.Commit();
    } catch (const dao::Error& e) {
        ShowEngineError(e);
    }
    m_pFacilityProperties->MoveFirst();
}

void CTDXDoc::OpenRecordsets() {
    dao::Database& db = *db_;
    m_pFacilityProperties = std::make_unique<CFacilityPropertiesRecordset>(db);
    m_pFacilityDirectory = std::make_unique<CFacilityDirectoryRecordset>(db);
    m_pLocks = std::make_unique<CLocksRecordset>(db);
    m_pGroups = std::make_unique<CGroupsRecordset>(db);
    m_pLockUsers = std::make_unique<CLockUsersRecordset>(db);
    m_pTimeSchedules = std::make_unique<CTimeSchedulesRecordset>(db);
    m_pScheduleEvents = std::make_unique<CScheduleEventsRecordset>(db);
    m_pHolidays = std::make_unique<CHolidaysRecordset>(db);
    m_pMobileDevices = std::make_unique<CMobileDevicesRecordset>(db);
    m_pUsersToLocks = std::make_unique<CUsersToLocksRecordset>(db);
    m_pAuditData = std::make_unique<CAuditDataRecordset>(db);
    m_pLocksToUser = std::make_unique<CLocksToUserQuerySet>(db);
    m_pUsersToLock = std::make_unique<CUsersToLockQuerySet>(db);
    m_pLocksToDevice = std::make_unique<CLocksToDeviceQuerySet>(db);
    m_pAuditLogRecord = std::make_unique<CAuditLogRecordQS>(db);
    m_pLocksToTS = std::make_unique<CLocksToTSQuerySet>(db);
    m_pScheduleEventsQuery = std::make_unique<CScheduleEventsQuerySet>(db);
    m_pHolidayList = std::make_unique<CHolidayListQuerySet>(db);
    m_pLocksInPath = std::make_unique<CLocksInPathQuerySet>(db);
}

void CTDXDoc::CloseRecordsets() {
    m_pFacilityProperties.reset();
    m_pFacilityDirectory.reset();
    m_pLocks.reset();
    m_pGroups.reset();
    m_pLockUsers.reset();
    m_pTimeSchedules.reset();
    m_pScheduleEvents.reset();
    m_pHolidays.reset();
    m_pMobileDevices.reset();
    m_pUsersToLocks.reset();
    m_pAuditData.reset();
    m_pLocksToUser.reset();
    m_pUsersToLock.reset();
    m_pLocksToDevice.reset();
    m_pAuditLogRecord.reset();
    m_pLocksToTS.reset();
    m_pScheduleEventsQuery.reset();
    m_pHolidayList.reset();
    m_pLocksInPath.reset();
}

}  // namespace tandrel
