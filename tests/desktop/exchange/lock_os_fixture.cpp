#include "tests/desktop/exchange/lock_os_fixture.h"

namespace tandrel::testing {
namespace {

// The scripted prompter's progress (which logs its texts), watched for its
// range, its position and whether it is still open.
class WatchedProgress : public Progress {
  public:
    WatchedProgress(RecordingPrompter& owner, std::unique_ptr<Progress> inner)
        : owner_(owner), inner_(std::move(inner)) {
        owner_.progressOpen = true;
    }
    ~WatchedProgress() override { owner_.progressOpen = false; }
    void SetText(const QString& text) override { inner_->SetText(text); }
    void SetRange(int maximum) override { owner_.range = maximum; }
    void SetPosition(int position) override { owner_.position = position; }

  private:
    RecordingPrompter& owner_;
    std::unique_ptr<Progress> inner_;
};

}  // namespace

std::unique_ptr<Progress> RecordingPrompter::StartProgress(const QString& title,
                                                           const QString& text, int maximum) {
    return std::make_unique<WatchedProgress>(*this,
                                             ScriptedPrompter::StartProgress(title, text, maximum));
}

std::optional<std::vector<std::pair<std::uint32_t, QByteArray>>> LockOsTest::LosRecords() {
    ce::Oid oid = 0;
    ce::Handle handle = 0;
    if (store->OpenDatabase(oid, "TDXLOS", 0, ce::CEDB_AUTOINCREMENT, handle) != 0) {
        return std::nullopt;
    }
    std::vector<std::pair<std::uint32_t, QByteArray>> records;
    ce::Record props;
    ce::Oid read = 0;
    while (store->ReadRecordProps(handle, props, read) == 0) {
        EXPECT_EQ(props.size(), 2u);
        EXPECT_EQ(props[0].id, 0x00010013u);
        EXPECT_EQ(props[1].id, 0x00020041u);
        records.emplace_back(props[0].number, props[1].blob);
    }
    store->CloseHandle(handle);
    return records;
}

}  // namespace tandrel::testing
