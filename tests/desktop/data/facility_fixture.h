#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "desktop/app/app_settings.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/scripted_prompter.h"
#include "tests/support/engine_error.h"
#include "tests/support/qt_printers.h"
#include "tests/support/temp_dir.h"
#include "tools/facility_gen/facility_generator.h"

namespace tandrel::testing {

// A facilities folder, settings of its own, a scripted prompter and a
// document over them.
class FacilityTest : public ::testing::Test {
  protected:
    FacilityTest() : settings(dir.Path("settings.ini")) { session.facilitiesFolder = dir.Root(); }

    // Creates (and leaves open) a facility, declining the password question.
    void NewFacility(const QString& name = "Acme",
                     const QDateTime& created = QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53))) {
        prompter.Answer(PromptAnswer::No);
        NewFacilityValues values;
        values.name = name;
        ASSERT_TRUE(doc.NewFacility(values, created));
        prompter.Clear();
    }

    QString FacilityPath(const QString& name = "Acme") const { return dir.Path(name + ".qfd"); }

    // Reopens the current facility as a fresh program start would.
    bool Reopen() {
        QString path = doc.Path();
        doc.CloseFacility();
        return doc.OpenFacility(path);
    }

    TempDir dir;
    AppSettings settings;
    FacilitySession session;
    ScriptedPrompter prompter;
    CTDXDoc doc{session, settings, prompter};
};

}  // namespace tandrel::testing
