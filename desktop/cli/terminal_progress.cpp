#include "desktop/cli/terminal_progress.h"

#include <algorithm>

namespace tandrel {
namespace {

const char kClearLine[] = "\r\x1b[K";
// A redrawn line must not wrap, or only its last part would be redrawn.
constexpr int kLineWidth = 79;

}  // namespace

TerminalProgress::TerminalProgress(std::ostream& err, ProgressStyle style, const QString& title,
                                   bool verbose, TerminalProgress*& active)
    : err_(err),
      active_(active),
      previous_(active),
      style_(style),
      title_(title),
      verbose_(verbose) {
    if (previous_) previous_->Clear();
    active_ = this;
    if (verbose_ && style_ == ProgressStyle::None && !title.isEmpty())
        err_ << title.toStdString() << "\n";
}

TerminalProgress::~TerminalProgress() {
    Clear();
    if (active_ == this) active_ = previous_;
}

void TerminalProgress::SetText(const QString& text) {
    if (text.isEmpty() || text == text_) return;
    text_ = text;
    if (verbose_ && style_ == ProgressStyle::None) err_ << text.toStdString() << "\n";
    Show(true);
}

void TerminalProgress::SetRange(int maximum) {
    maximum_ = std::max(maximum, 0);
    position_ = 0;
    shownStep_ = -1;
}

void TerminalProgress::SetPosition(int position) {
    position_ = std::clamp(position, 0, std::max(maximum_, position));
    Show(false);
}

void TerminalProgress::Clear() {
    if (style_ == ProgressStyle::Line && drawn_) err_ << kClearLine << std::flush;
    drawn_ = false;
}

QString TerminalProgress::LineText(bool withCount) const {
    QString line = title_;
    if (!text_.isEmpty()) line += (line.isEmpty() ? QString() : QStringLiteral(": ")) + text_;
    if (withCount && maximum_ > 0) {
        const int percent = static_cast<int>(100LL * std::min(position_, maximum_) / maximum_);
        line += QStringLiteral(" %1/%2 (%3%)").arg(position_).arg(maximum_).arg(percent);
    }
    return line;
}

// Redraws only when the text changed or the figure moved on a step: a
// run of thousands of positions costs a hundred lines at most.
void TerminalProgress::Show(bool force) {
    if (style_ == ProgressStyle::None) return;
    const int divisions = style_ == ProgressStyle::Line ? 100 : 10;
    const int step = maximum_ > 0 ? static_cast<int>(static_cast<long long>(divisions) *
                                                     std::min(position_, maximum_) / maximum_)
                                  : -1;
    if (!force && step == shownStep_) return;
    shownStep_ = step;
    if (style_ == ProgressStyle::Line) {
        QString line = LineText(true);
        if (line.size() > kLineWidth) line = line.left(kLineWidth - 3) + QStringLiteral("...");
        err_ << kClearLine << line.toStdString() << std::flush;
        drawn_ = true;
    } else {
        // A new text starts a new step: the count of the one before is no
        // part of it.
        err_ << LineText(!force).toStdString() << "\n";
    }
}

}  // namespace tandrel
