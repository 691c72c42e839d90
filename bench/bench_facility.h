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

// Locks and locations only.
inline GeneratorOptions LocksOnly(int locations, int locks) {
    GeneratorOptions options;
    options.locations = locations;
    options.locks = locks;
    options.users = options.enrolments = options.auditRows = 0;
    return options;
}

}  // namespace tandrel
