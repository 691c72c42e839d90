// los-build: makes a lock OS file from a text image.
#include <QFile>
#include <QString>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "desktop/exchange/lock_os_file.h"
#include "platform/dao/error.h"
#include "protocol/los_line.h"
#include "tools/los_build/los_image.h"

namespace {

constexpr const char* kUsage =
    "usage: los-build [--force] IMAGE OUT.los\n"
    "Builds a lock OS file (table LOS, the fixed lock OS password) from a text\n"
    "image with one row per line, in the order the rows are to be loaded:\n"
    "  PLATFORM PGMDATA            the PgmData text, written exactly as given\n"
    "  PLATFORM ADDR:TYPE [DATA]   los-build adds the byte count and checksum\n"
    "PLATFORM is the PlatformRcd in hex (hardware type in bits 16-31, e.g.\n"
    "00010000); ADDR is 4 hex digits, TYPE 2, DATA hex bytes (\"0305\" or \"03 05\",\n"
    "at most 122 per line). The first row's first two data bytes are the OS\n"
    "version (major, minor). '#' starts a comment. Verbatim rows may be wrong on\n"
    "purpose (for tests): they are written, with a warning for each that would\n"
    "fail to load. --force replaces an existing OUT.los.\n";

bool ReadText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

// Warns about rows that would stop an install; returns the version text.
std::string Check(const std::vector<los_build::ImageRow>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!protocol::LosRecordOf(rows[i].pgmData, rows[i].platformRcd)) {
            std::cerr << "los-build: warning: row " << i + 1
                      << " fails the checksum and will not load\n";
        }
    }
    if (rows.empty()) return "none (no rows)";
    const auto first = protocol::DecodeLosLine(rows.front().pgmData);
    const auto version = first ? protocol::LosVersionOf(*first) : std::nullopt;
    return version ? protocol::LosVersionText(*version) : "none (first row carries none)";
}

int Build(const std::string& imagePath, const QString& outPath, bool force) {
    std::string text;
    if (!ReadText(imagePath, text)) {
        std::cerr << "los-build: cannot read " << imagePath << "\n";
        return 1;
    }
    auto parsed = los_build::ParseImage(text);
    if (auto* error = std::get_if<los_build::ImageError>(&parsed)) {
        std::cerr << imagePath << ":" << error->line << ": " << error->message << "\n";
        return 1;
    }
    const auto& image = std::get<std::vector<los_build::ImageRow>>(parsed);
    std::vector<tandrel::LockOsRow> rows;
    for (const los_build::ImageRow& row : image) {
        rows.push_back(
            {static_cast<std::int32_t>(row.platformRcd), QString::fromStdString(row.pgmData)});
    }
    const std::string version = Check(image);
    if (force) QFile::remove(outPath);
    try {
        tandrel::CreateLockOsFile(outPath, rows);
    } catch (const dao::Error& e) {
        std::cerr << "los-build: " << outPath.toStdString() << ": " << e.Description().toStdString()
                  << "\n";
        return 1;
    }
    std::cout << outPath.toStdString() << ": " << rows.size() << " rows, OS version " << version
              << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> files;
    bool force = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--force") {
            force = true;
        } else if (arg.rfind("--", 0) == 0) {
            std::cerr << "los-build: unknown option " << arg << "\n" << kUsage;
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) {
        std::cerr << kUsage;
        return 2;
    }
    return Build(files[0], QString::fromStdString(files[1]), force);
}
