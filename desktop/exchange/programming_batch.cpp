#include "desktop/exchange/programming_batch.h"

#include "desktop/exchange/enrolment_rows.h"

namespace tandrel {

void ProgrammingBatch::Begin() {
    if (!transaction_) transaction_.emplace(db_);
}

void ProgrammingBatch::Add(int lockKey, int records) {
    if (records == 0) return;
    handed_.push_back(lockKey);
    records_ += records;
}

bool ProgrammingBatch::Full() const {
    return store_.IsNetworkDevice() ? !handed_.empty() : records_ >= recordsPerCommit_;
}

int ProgrammingBatch::Commit() {
    if (!transaction_) return 0;
    MarkUserRevisionsQueued(db_, handed_);
    const int error = store_.Flush();
    if (error == 0) {
        transaction_->Commit();
        handedCommitted_ += static_cast<int>(handed_.size());
    }
    transaction_.reset();
    handed_.clear();
    records_ = 0;
    return error;
}

}  // namespace tandrel
