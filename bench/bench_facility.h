#pragma once

#include <QTemporaryDir>

#include "desktop/app/app_settings.h"
#include "desktop/data/facility_document.h"
#include "desktop/data/scripted_prompter.h"
#include "tools/facility_gen/facility_generator.h"

namespace tandrel {

// A facility for a benchmark: made in a folder of its own, filled by the
// generator, and open in a document.
struct BenchFacility {
    QTemporaryDir dir;
    AppSettings settings{dir.filePath("settings.ini")};
    FacilitySession session{dir.path(), {}, {}};
    ScriptedPrompter prompter;
    CTDXDoc doc{session, settings, prompter};

    explicit BenchFacility(const GeneratorOptions& options, int idCodeLength = 4) {
        prompter.Answer(PromptAnswer::No);
        NewFacilityValues values;
        values.name = QStringLiteral("Bench");
        values.idCodeLength = idCodeLength;
        doc.NewFacility(values);
        GenerateFacilityData(doc.Db(), options);
    }
};

// Makes a facility in `folder` (a new facility, its password when one is
// given, the generator's data), closes it and returns its path.
inline QString MakeFacilityFile(const QString& folder, const QString& name, int idCodeLength,
                                const GeneratorOptions& options, const QString& password = {}) {
    AppSettings settings(folder + QStringLiteral("/settings.ini"));
    FacilitySession session{folder, {}, {}};
    ScriptedPrompter prompter;
    prompter.Answer(PromptAnswer::No);
    CTDXDoc doc(session, settings, prompter);
    NewFacilityValues values;
    values.name = name;
    values.idCodeLength = idCodeLength;
    doc.NewFacility(values);
    if (!password.isEmpty()) doc.ChangePassword(password);
    GenerateFacilityData(doc.Db(), options);
    return doc.Path();
}

// A large facility: 50 locations, `locks` locks, 60,000 users.
inline GeneratorOptions LargeFacility(int locks, int enrolments, int auditRows) {
    GeneratorOptions options;
    options.locations = 50;
    options.locks = locks;
    options.users = 60000;
    options.enrolments = enrolments;
    options.auditRows = auditRows;
    return options;
}

// Locks and locations only.
inline GeneratorOptions LocksOnly(int locations, int locks) {
    GeneratorOptions options;
    options.locations = locations;
    options.locks = locks;
    options.users = options.enrolments = options.auditRows = 0;
    return options;
}

}  // namespace tandrel
