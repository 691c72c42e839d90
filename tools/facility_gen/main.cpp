// facility-gen: fills a freshly created facility with test data.
#include <QString>

#include <cstdlib>
#include <iostream>
#include <stdexcept>
#include <string>

#include "platform/dao/error.h"
#include "protocol/mixing.h"
#include "tools/facility_gen/facility_generator.h"

namespace {

constexpr const char* kUsage =
    "usage: facility-gen FACILITY [--password P] [--locations N] [--locks N] [--users N]\n"
    "                    [--enrolments N] [--audit N] [--seed N]\n"
    "Fills a facility fresh from 'tandrel-cli create' with locations, locks, users,\n"
    "enrolments and audit rows; code IDs and PINs have the facility's lengths.\n";

bool ReadCount(const std::string& text, int& out) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 0 || value > 100000000) return false;
    out = static_cast<int>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    tandrel::GeneratorOptions options;
    QString file, password;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        int* count = arg == "--locations"    ? &options.locations
                     : arg == "--locks"      ? &options.locks
                     : arg == "--users"      ? &options.users
                     : arg == "--enrolments" ? &options.enrolments
                     : arg == "--audit"      ? &options.auditRows
                                             : nullptr;
        if (count || arg == "--seed" || arg == "--password") {
            if (i + 1 >= argc) {
                std::cerr << "facility-gen: " << arg << " needs a value\n" << kUsage;
                return 2;
            }
            std::string value = argv[++i];
            int seed = 0;
            if (arg == "--password") {
                password = QString::fromStdString(value);
            } else if (!ReadCount(value, count ? *count : seed)) {
                std::cerr << "facility-gen: bad number for " << arg << ": " << value << "\n";
                return 2;
            } else if (!count) {
                options.seed = static_cast<unsigned>(seed);
            }
        } else if (file.isEmpty() && arg.rfind("--", 0) != 0) {
            file = QString::fromStdString(arg);
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (file.isEmpty()) {
        std::cerr << kUsage;
        return 2;
    }
    try {
        // The password as typed, then the one the facility manager derives
        // from it, as the facility manager itself tries them.
        std::unique_ptr<dao::Database> db;
        try {
            db = dao::Database::Open(file, ";pwd=" + password);
        } catch (const dao::Error& e) {
            if (e.Number() != dao::kErrInvalidPassword) throw;
            QString derived =
                QString::fromStdString(protocol::DerivedPassword(password.toStdString()));
            db = dao::Database::Open(file, ";pwd=" + derived);
        }
        tandrel::GenerateFacilityData(*db, options);
    } catch (const dao::Error& e) {
        std::cerr << "facility-gen: " << e.Description().toStdString() << "\n";
        return 1;
    } catch (const std::invalid_argument& e) {
        std::cerr << "facility-gen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
