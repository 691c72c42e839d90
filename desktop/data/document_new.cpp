#include <QFile>
#include <QFileInfo>

#include "desktop/data/date_texts.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/facility_file_name.h"
#include "desktop/data/facility_schema.h"
#include "desktop/data/facility_states.h"
#include "desktop/data/facility_texts.h"
#include "platform/dao/error.h"
#include "protocol/mixing.h"
#include "protocol/packed_date.h"

namespace tandrel {
namespace {

constexpr int kUserGroupCount = 8;

void WriteProperties(dao::Database& db, const NewFacilityValues& v, const QDateTime& created) {
    CFacilityPropertiesRecordset p(db);
    p.AddNew();
    p.m_Name = v.name;
    p.m_FacilityCode = v.facilityCode;
    p.m_IDCodeLength = static_cast<std::uint8_t>(v.idCodeLength);
    p.m_PINLength = static_cast<std::uint8_t>(v.pinLength);
    p.m_DaylightSavings = static_cast<std::uint8_t>(v.daylightSavings);
    p.m_DSTAheadDay = static_cast<std::uint8_t>(v.dstAheadDay);
    p.m_DSTAheadMonth = static_cast<std::uint8_t>(v.dstAheadMonth);
    p.m_DSTBackDay = static_cast<std::uint8_t>(v.dstBackDay);
    p.m_DSTBackMonth = static_cast<std::uint8_t>(v.dstBackMonth);
    p.m_CardTrack = static_cast<std::uint8_t>(v.cardTrack);
    p.m_CardIDPosIsField = static_cast<std::uint8_t>(v.cardIDPosIsField);
    p.m_CardIDPosition = static_cast<std::uint8_t>(v.cardIDPosition);
    p.m_CardFacilityPosIsField = static_cast<std::uint8_t>(v.cardFacilityPosIsField);
    p.m_CardFacilityPosition = static_cast<std::uint8_t>(v.cardFacilityPosition);
    p.m_CardIssueIsField = static_cast<std::uint8_t>(v.cardIssueIsField);
    p.m_CardIssuePosition = static_cast<std::uint8_t>(v.cardIssuePosition);
    p.m_CardExpireIsField = static_cast<std::uint8_t>(v.cardExpireIsField);
    p.m_CardExpirePosition = static_cast<std::uint8_t>(v.cardExpirePosition);
    p.m_CardExpireFormat = static_cast<std::uint8_t>(v.cardExpireFormat);
    p.m_CardExpireThru = static_cast<std::uint8_t>(v.cardExpireThru);
    p.m_Contact1Name = v.contact1Name;
    p.m_Contact2Name = v.contact2Name;
    p.m_ReferenceName = v.referenceName;
    p.m_Revision = 1;
    p.m_DBVersion = kCurrentDBVersion;
    protocol::CivilDateTime moment{created.date().year(),   created.date().month(),
                                   created.date().day(),    created.time().hour(),
                                   created.time().minute(), created.time().second()};
    p.m_CommCode = protocol::CommunicationCode(moment, v.name.toStdString());
    p.Update();
}

// Users 0 and 1 stand for "no such user" and the system in audit data; they
// are never listed.
void WriteReservedUsers(dao::Database& db) {
    CLockUsersRecordset users(db);
    for (auto [key, name] : {std::pair{0, "ERROR"}, std::pair{1, "SYSTEM"}}) {
        users.AddNew();
        users.m_UserKey = key;
        users.m_LastName = QString::fromLatin1(name);
        users.m_UserType = 0;
        users.m_GroupMask = 0;
        users.m_RecordState = kUserRemoved;
        users.m_CardMediaType = 0;
        users.Update();
    }
}

void WriteUserGroups(dao::Database& db, const QDate& today) {
    CGroupsRecordset groups(db);
    // A valid first next-PIN date: today, packed. The field is a signed
    // 16-bit Integer, so the word is stored with its bits unchanged.
    auto packed =
        static_cast<std::int16_t>(protocol::PackDate(today.year(), today.month(), today.day()));
    for (int key = 0; key < kUserGroupCount; ++key) {
        groups.AddNew();
        groups.m_GroupKey = static_cast<std::int16_t>(key);
        groups.m_GroupName = QStringLiteral("< Untitled >");
        groups.m_PINDate = packed;
        groups.m_RecodeDate = RecodeDateText(today);
        groups.Update();
    }
}

void WriteRootLocation(dao::Database& db, const QString& name) {
    CFacilityDirectoryRecordset paths(db);
    paths.AddNew();
    paths.m_NodeName = name;
    paths.m_RootIndex = -1;
    paths.Update();
}

}  // namespace

bool CTDXDoc::NewFacility(const NewFacilityValues& values, const QDateTime& created) {
    // The name becomes a file name: the last guard against a path.
    if (const QString problem = FacilityNameProblem(values.name); !problem.isEmpty()) {
        prompter_.Message(problem, PromptIcon::Exclamation);
        return false;
    }
    const QString path =
        session_.facilitiesFolder + QLatin1Char('/') + values.name + QStringLiteral(".qfd");
    if (QFileInfo::exists(path)) {
        prompter_.Message(texts::FacilityExists(values.name), PromptIcon::Exclamation);
        return false;
    }
    CloseFacility();
    try {
        auto db = dao::Database::Create(path);
        CreateFacilitySchema(*db);
        dao::Transaction transaction(*db);
        WriteProperties(*db, values, created);
        WriteReservedUsers(*db);
        WriteUserGroups(*db, created.date());
        WriteRootLocation(*db, values.name);
        transaction.Commit();
    } catch (const dao::Error& e) {
        // A half-made file would only stand in the way of the next attempt.
        QFile::remove(path);
        ShowEngineError(e);
        return false;
    }
    session_.password.clear();
    if (!OpenFacility(path)) return false;
    if (prompter_.Ask(texts::kAssignPasswordQuestion) == PromptAnswer::Yes) SetFacilityPassword();
    return true;
}

}  // namespace tandrel
