#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "desktop/cli/cli_context.h"
#include "desktop/exchange/cradle_connector.h"
#include "desktop/exchange/device_identity.h"
#include "desktop/exchange/device_rows.h"
#include "desktop/exchange/exchange_texts.h"
#include "desktop/exchange/lock_os_file.h"
#include "desktop/exchange/lock_os_manager.h"
#include "desktop/exchange/lock_os_texts.h"
#include "platform/dao/error.h"
#include "protocol/los_line.h"

namespace tandrel::cli {
namespace {

// What `los show` tells of a file.
struct FileSummary {
    QString version;  // empty: the first row carries none
    qint64 rows = 0;
    QStringList platforms;   // in order of first appearance
    QJsonArray failingRows;  // 1-based
    bool firstDecodes = false;
    bool Installable() const { return rows > 0 && !version.isEmpty() && failingRows.isEmpty(); }
};

FileSummary Summarise(const std::vector<LockOsRow>& rows) {
    FileSummary s;
    s.rows = static_cast<qint64>(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string text = rows[i].pgmData.toStdString();
        const auto platform = static_cast<std::uint32_t>(rows[i].platformRcd);
        const QString name =
            QStringLiteral("0x") + QString::number(platform, 16).rightJustified(8, '0').toUpper();
        if (!s.platforms.contains(name)) s.platforms << name;
        if (!protocol::LosRecordOf(text, platform)) s.failingRows << static_cast<qint64>(i + 1);
        if (i > 0) continue;
        const auto line = protocol::DecodeLosLine(text);
        s.firstDecodes = line.has_value();
        const auto version = line ? protocol::LosVersionOf(*line) : std::nullopt;
        if (version) s.version = QString::fromStdString(protocol::LosVersionText(*version));
    }
    return s;
}

// What Install would refuse the file with, checked in the order it checks.
QString RefusalOf(const FileSummary& s) {
    if (s.rows == 0) return lock_os_texts::kFileEmpty;
    if (s.firstDecodes && s.version.isEmpty()) return lock_os_texts::kNoVersion;
    return lock_os_texts::kChecksumMismatch;
}

void PrintSummary(Context& c, const QString& path, const FileSummary& s) {
    QJsonObject json{{"file", path},
                     {"version", s.version},
                     {"rows", s.rows},
                     {"platforms", QJsonArray::fromStringList(s.platforms)},
                     {"failingRows", s.failingRows}};
    if (c.Json()) {
        c.out << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << "\n";
        return;
    }
    QStringList failing;
    for (const QJsonValue& row : s.failingRows) failing << QString::number(row.toInteger());
    c.out << "file: " << path.toStdString() << "\n"
          << "version: " << (s.version.isEmpty() ? "none" : s.version.toStdString()) << "\n"
          << "rows: " << s.rows << "\n"
          << "platforms: " << s.platforms.join(' ').toStdString() << "\n"
          << "lines: "
          << (failing.isEmpty() ? std::string("all pass")
                                : "rows " + failing.join(", ").toStdString() + " fail")
          << "\n";
}

int Show(Context& c) {
    const QString path = c.args.Word(2);
    std::vector<LockOsRow> rows;
    try {
        rows = ReadLockOsFile(path);
    } catch (const dao::Error& e) {
        c.prompter.Message(e.Description(), PromptIcon::Stop, {});
        return 1;
    }
    const FileSummary summary = Summarise(rows);
    PrintSummary(c, path, summary);
    if (summary.Installable()) return 0;
    c.prompter.Message(QStringLiteral("%1 cannot be installed: %2.").arg(path, RefusalOf(summary)),
                       PromptIcon::Stop, {});
    return 1;
}

// The handheld store in the cradle, reached as an exchange reaches it, and
// the Lock OS Manager on it.
class CradledManager {
  public:
    bool Connect(Context& c) {
        if (!c.OpenFacility()) return false;
        // A store that is not there is not made: there is no OS to look at.
        connector_ = std::make_unique<CradleConnector>(c.settings.Raw(), c.args.Text("--handheld"));
        device_ = connector_->Connect({}, c.prompter);
        if (!device_) {
            c.prompter.Message(exchange_texts::kNoConnection, PromptIcon::Stop, {});
            return false;
        }
        dao::Database& db = c.doc.Db();
        const std::uint32_t commCode = FacilityCommCode(db);
        manager_ = std::make_unique<CLockOsManager>(
            LockOsDevice{&device_->Transport(), device_->Handheld()},
            static_cast<std::int32_t>(commCode), c.prompter, [&db, commCode](std::uint32_t id) {
                return EnrolledDeviceKey(db, {commCode, id, {}, {}}) != 0;
            });
        return manager_->Open();
    }
    CLockOsManager& Manager() { return *manager_; }

  private:
    std::unique_ptr<CradleConnector> connector_;
    std::unique_ptr<ConnectedDevice> device_;
    std::unique_ptr<CLockOsManager> manager_;
};

int Status(Context& c) {
    CradledManager cradle;
    if (!cradle.Connect(c)) return 1;
    c.out << cradle.Manager().InstalledText().toStdString() << "\n";
    return 0;
}

int Install(Context& c) {
    CradledManager cradle;
    if (!cradle.Connect(c)) return 1;
    return cradle.Manager().Install(c.args.Word(2)) ? 0 : 1;
}

int Remove(Context& c) {
    CradledManager cradle;
    if (!cradle.Connect(c)) return 1;
    return cradle.Manager().Remove() ? 0 : 1;
}

}  // namespace

void AddLosCommands(CommandTable& table) {
    const Option handheld = {"--handheld", "STORE", "the enrolled handheld's store", kRequired};
    table.Add({
        .name = "los",
        .verbs =
            {
                {.words = {"show"},
                 .operands = "FILE",
                 .summary = "a lock OS file's version, rows and platforms, and whether it installs",
                 .run = Show},
                {.words = {"status"},
                 .summary = "the lock OS on the handheld",
                 .options = {handheld},
                 .run = Status},
                {.words = {"install"},
                 .operands = "FILE",
                 .summary = "put a lock OS file on the handheld",
                 .options = {handheld},
                 .run = Install},
                {.words = {"remove"},
                 .summary = "take the lock OS off the handheld",
                 .options = {handheld},
                 .run = Remove},
            },
    });
}

}  // namespace tandrel::cli
