#pragma once

#include <QString>

#include <ostream>

#include "desktop/data/prompter.h"

namespace tandrel {

// How the command line shows a long step.
enum class ProgressStyle {
    None,  // nothing (output is no terminal and --progress was not given)
    Line,  // one line redrawn in place on a terminal
    Log,   // a line per new text and per tenth of the way (--progress into a file)
};

// One progress window as a line on the error stream: the step's title and
// text, then the count and percentage once a range is known.
class TerminalProgress : public Progress {
  public:
    // `active` names the progress drawn last, so that messages can take its
    // line away first; this one takes its place while it lives.
    TerminalProgress(std::ostream& err, ProgressStyle style, const QString& title, bool verbose,
                     TerminalProgress*& active);
    ~TerminalProgress() override;

    void SetText(const QString& text) override;
    void SetRange(int maximum) override;
    void SetPosition(int position) override;

    // Takes the drawn line away before a message is printed under it.
    void Clear();

  private:
    QString LineText(bool withCount) const;
    void Show(bool force);

    std::ostream& err_;
    TerminalProgress*& active_;
    TerminalProgress* previous_;
    ProgressStyle style_;
    QString title_;
    bool verbose_;
    QString text_;
    int maximum_ = 0;
    int position_ = 0;
    int shownStep_ = -1;  // the percentage (Line) or tenth (Log) last drawn
    bool drawn_ = false;
};

}  // namespace tandrel
