#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "desktop/data/scripted_prompter.h"
#include "desktop/exchange/lock_os_file.h"
#include "desktop/exchange/lock_os_install.h"
#include "protocol/los_line.h"
#include "tests/desktop/exchange/handheld_fixture.h"

namespace tandrel::testing {

inline constexpr std::int32_t kHardware1 = 0x00010000;

// A valid image line of `data` at `address`.
inline QString Line(std::uint16_t address, const protocol::Bytes& data, std::uint8_t type = 0) {
    return QString::fromStdString(*protocol::EncodeLosLine(address, type, data));
}

// OS 3.05 for hardware type 1, then `dataLines` lines of 16 bytes.
inline std::vector<LockOsRow> Image(int dataLines = 2) {
    std::vector<LockOsRow> rows = {{kHardware1, Line(0, {3, 5, 1, 0})}};
    for (int i = 0; i < dataLines; ++i) {
        rows.push_back({kHardware1, Line(static_cast<std::uint16_t>(0x8000 + 16 * i),
                                         protocol::Bytes(16, static_cast<std::uint8_t>(i)))});
    }
    return rows;
}

// A scripted prompter that also keeps each message's icon and what the
// progress window was last set to.
class RecordingPrompter : public ScriptedPrompter {
  public:
    std::vector<std::pair<QString, PromptIcon>> messages;
    int range = -1;
    int position = 0;
    bool progressOpen = false;

    void Message(const QString& text, PromptIcon icon, const QString& title) override {
        EXPECT_FALSE(progressOpen) << "message over an open progress window: " << text;
        messages.emplace_back(text, icon);
        ScriptedPrompter::Message(text, icon, title);
    }
    struct Question {
        QString text;
        PromptButtons buttons;
        PromptAnswer defaultAnswer;
        PromptIcon icon;
    };
    std::vector<Question> questions;

    PromptAnswer Ask(const QString& text, PromptButtons buttons, PromptAnswer defaultAnswer,
                     PromptIcon icon) override {
        questions.push_back({text, buttons, defaultAnswer, icon});
        return ScriptedPrompter::Ask(text, buttons, defaultAnswer, icon);
    }
    std::unique_ptr<Progress> StartProgress(const QString& title, const QString& text,
                                            int maximum) override;
    PromptIcon IconOf(const QString& text) const {
        for (const auto& [shown, icon] : messages)
            if (shown == text) return icon;
        return PromptIcon::None;
    }
};

// A lock OS folder and a prompter, the installer over a handheld store.
class LockOsTest : public HandheldTest {
  protected:
    QString MakeFile(const std::vector<LockOsRow>& rows, const QString& name = "os.los") {
        const QString path = dir.Path(name);
        CreateLockOsFile(path, rows);
        return path;
    }
    // TDXLOS's records as (property 1, property 2), or nullopt when there
    // is no TDXLOS.
    std::optional<std::vector<std::pair<std::uint32_t, QByteArray>>> LosRecords();

    RecordingPrompter prompter;
    LockOsInstaller installer{LockOsDevice::Handheld(transport), prompter};
};

}  // namespace tandrel::testing
