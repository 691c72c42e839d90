#include "tools/facility_gen/facility_generator.h"

#include <random>
#include <vector>

#include "platform/dao/value.h"
#include "tools/facility_gen/generated_codes.h"

namespace tandrel {
namespace {

using dao::sqlite::Statement;

constexpr int kRootKey = 1;
constexpr int kMaxDepth = 5;
constexpr int kUserCapacity = 2000;

struct Location {
    int key;
    QString fullPath;  // "\A\B\" below the root; the root itself is "\"
    int depth;
};

std::vector<Location> MakeLocations(dao::Database& db, int count, std::mt19937& random) {
    std::vector<Location> locations{{kRootKey, QStringLiteral("\\"), 0}};
    Statement insert(db.Connection().Handle(),
                     "INSERT INTO \"Lock Paths\" (\"Directory Key\", \"Node Name\", \"Root "
                     "Index\", \"Record State\") VALUES (?, ?, ?, 1)");
    for (int i = 0; i < count; ++i) {
        // Parents are drawn among the locations made so far, short of the depth limit.
        const Location* parent;
        do {
            parent = &locations[random() % locations.size()];
        } while (parent->depth >= kMaxDepth);
        int key = kRootKey + 1 + i;
        QString name = QStringLiteral("Area %1").arg(i + 1);
        insert.Reset();
        insert.BindInt(1, key);
        insert.BindText(2, name);
        insert.BindInt(3, parent->key);
        insert.Run();
        locations.push_back({key, parent->fullPath + name + QLatin1Char('\\'), parent->depth + 1});
    }
    return locations;
}

// The facility's code ID and PIN lengths; the schema's defaults when it has
// no properties row yet.
struct CodeLengths {
    int id = 4;
    int pin = 4;
};

CodeLengths ReadCodeLengths(dao::Database& db) {
    CodeLengths lengths;
    Statement s(db.Connection().Handle(),
                "SELECT IDCodeLength, PINLength FROM FacilityProperties LIMIT 1");
    if (s.Step()) lengths = {static_cast<int>(s.Int(0)), static_cast<int>(s.Int(1))};
    return lengths;
}

}  // namespace

void GenerateFacilityData(dao::Database& db, const GeneratorOptions& o) {
    std::mt19937 random(o.seed);
    const CodeLengths lengths = ReadCodeLengths(db);
    const GeneratedCodeIds codeIds(lengths.id, o.users, random);
    dao::Transaction transaction(db);
    std::vector<Location> locations = MakeLocations(db, o.locations, random);

    std::vector<int> enrolled(o.locks, 0);
    std::vector<int> enrolledLocks(o.users, 0);
    int perUser = o.users > 0 ? (o.enrolments + o.users - 1) / o.users : 0;
    Statement enrol(db.Connection().Handle(),
                    "INSERT INTO \"Users to Locks\" (\"Lock Index\", \"Lock User Index\", \"User "
                    "Index\", \"Use Type Defaults\", \"User Type\", \"Download User Rev Number\", "
                    "\"Record State\") VALUES (?, ?, ?, 1, 64, 1, 1)");
    int made = 0;
    for (int u = 0; u < o.users && made < o.enrolments; ++u) {
        for (int k = 0; k < perUser && k < o.locks && made < o.enrolments; ++k) {
            int lock = (u * perUser + k) % o.locks;
            if (enrolled[lock] >= kUserCapacity) continue;
            enrol.Reset();
            enrol.BindInt(1, lock + 1);
            enrol.BindInt(2, enrolled[lock]++);
            enrol.BindInt(3, u + 2);
            enrol.Run();
            ++enrolledLocks[u];
            ++made;
        }
    }

    Statement lock(
        db.Connection().Handle(),
        "INSERT INTO \"Locks\" (\"Lock Key\", \"Path Index\", \"FullPath\", \"Name\", "
        "\"User Capacity\", \"Schedule Capacity\", \"Holiday List Capacity\", \"Open "
        "Delay Seconds\", \"Facility Code\", \"Reader Configuration\", \"Supply Volts\", "
        "\"Downloaded Open Delay Seconds\", \"Downloaded Facility Rev\", \"Downloaded UG "
        "Table Rev\", \"Downloaded TS Rev\", \"Hardware Class\", \"Firmware Version\", "
        "\"Device Link\", \"Device Link State\", \"Device Audit Enable\", \"TS Link\", "
        "\"Drive Usage Counter\", \"Card Swipe Counter\", \"Enrolled User Counter\", "
        "\"Data Downloaded Flag\", \"Pending Action Counter\", \"Rebuild User List\", "
        "\"Audit Get All\", \"PgmIDCount\", \"Record State\") VALUES (?, ?, ?, ?, 2000, "
        "144, 32, 3, 0, 1, 6000, 3, 1, 1, 0, 2, 772, 0, 1, 1, 0, 0, 0, ?, 1, 0, 0, 0, ?, "
        "1)");
    for (int l = 0; l < o.locks; ++l) {
        const Location& at = locations[random() % locations.size()];
        lock.Reset();
        lock.BindInt(1, l + 1);
        lock.BindInt(2, at.key);
        lock.BindText(3, at.fullPath);
        lock.BindText(4, QStringLiteral("Lock %1").arg(l + 1));
        lock.BindInt(5, enrolled[l]);
        lock.BindInt(6, enrolled[l]);  // every enrolment above is a programmer
        lock.Run();
    }

    Statement user(
        db.Connection().Handle(),
        "INSERT INTO \"Users\" (\"User Key\", \"Last Name\", \"First Name\", \"Middle "
        "Initial\", \"Reference\", \"Contact1\", \"Contact2\", \"User Type\", \"Rights\", "
        "\"Lock ID code\", \"Card Media\", \"CardIssueNumber\", \"Home Group\", \"Group "
        "Mask\", \"CurPIN\", \"NextPIN\", \"Revision Counter\", \"Pending Action Counter\", "
        "\"Enrolled Lock Counter\", \"Record State\", \"CardMediaType\") VALUES (?, ?, ?, "
        "'', '', '', '', 2, 0, ?, 0, '0', 0, 1, ?, '', 1, 0, ?, 1, 0)");
    for (int u = 0; u < o.users; ++u) {
        user.Reset();
        user.BindInt(1, u + 2);
        user.BindText(2, QStringLiteral("User%1").arg(u + 2));
        user.BindText(3, QStringLiteral("Test"));
        user.BindText(4, codeIds[u]);
        user.BindText(5, RandomDigits(random, lengths.pin));
        user.BindInt(6, enrolledLocks[u]);
        user.Run();
    }

    Statement audit(
        db.Connection().Handle(),
        "INSERT INTO \"Audit Data\" (\"LockKey\", \"AuditKey\", \"UserKey\", \"Event\", "
        "\"TimeStamp\", \"AccessLevel\", \"UserGroups\") VALUES (?, ?, ?, ?, ?, 2, 1)");
    const qint64 start = dao::DateTimeToStorage(o.auditStart);
    for (int a = 0; a < o.auditRows && o.locks > 0; ++a) {
        audit.Reset();
        audit.BindInt(1, a % o.locks + 1);
        audit.BindInt(2, a / o.locks + 1);
        audit.BindInt(3, o.users > 0 ? 2 + static_cast<int>(random() % o.users) : 0);
        audit.BindInt(4, static_cast<int>(random() % 40));
        audit.BindInt(5, start + static_cast<qint64>(a) * 60);
        audit.Run();
    }
    transaction.Commit();
}

}  // namespace tandrel
