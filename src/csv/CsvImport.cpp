// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv/CsvImport.h"

#include <algorithm>

#include "app/ApEnvironment.h"
#include "csv/CsvFile.h"
#include "csv/CsvNumbers.h"
#include "store/StoreChange.h"

namespace stepora {
namespace {

constexpr uint32_t kFirstImportDay = 36525;  // 2000-01-01
constexpr uint32_t kLastImportDay = 73049;   // 2099-12-31
constexpr uint32_t kMaxValue = 999999;

bool InRange(uint32_t v, uint32_t low, uint32_t high) {
    return v >= low && v <= high;
}

// A file may leave weight and stride unset (0).
bool CsvWeightAllowed(uint32_t unit, uint32_t weight) {
    return weight == 0 || WeightInRange(unit, weight);
}
bool CsvStrideAllowed(uint32_t unit, uint32_t stride) {
    return stride == 0 || StrideInRange(unit, stride);
}

// A stride as written: whole centimetres, or inches with decimals.
bool ParseStride(const std::string& text, uint32_t unit, uint32_t& stride) {
    return !IsImperial(unit) ? ParseCsvInteger(text, stride) : ParseCsvScaled(text, 2, stride);
}

bool ReadHeaderLines(CCsvFile& file, CsvFileHeader& h) {
    std::array<std::string, kCsvFields> f;
    bool atEnd = false;
    // Line 1: the unit number follows the first "(".
    if (!file.ReadCsvLine(f, atEnd)) return false;
    size_t open = f[1].find('(');
    if (open == std::string::npos) return false;
    std::string unit = f[1].substr(open + 1);
    size_t digits = unit.find_first_not_of("0123456789");
    if (!ParseCsvInteger(unit.substr(0, digits), h.unit)) return false;
    if (!file.ReadCsvLine(f, atEnd)) return false;
    h.user = f[1];
    // A profile value never filled in is written as a text of its own; it reads as 0.
    if (!file.ReadCsvLine(f, atEnd)) return false;
    if (f[1] == GetLangString(CSV_STR15))
        h.weight = 0;
    else if (!ParseCsvInteger(f[1], h.weight))
        return false;
    if (!file.ReadCsvLine(f, atEnd)) return false;
    if (f[1] == GetLangString(CSV_STR18))
        h.stride = 0;
    else if (!ParseStride(f[1], h.unit, h.stride))
        return false;
    if (!file.ReadCsvLine(f, atEnd) || !ParseCsvDate(f[1], h.firstDay)) return false;
    if (!file.ReadCsvLine(f, atEnd) || !ParseCsvDate(f[1], h.lastDay)) return false;
    return file.ReadCsvLine(f, atEnd) != 0;
}

bool HeaderAccepted(const CsvFileHeader& h) {
    return h.unit <= 1 && !h.user.empty() && CsvWeightAllowed(h.unit, h.weight) &&
           CsvStrideAllowed(h.unit, h.stride) &&
           InRange(h.firstDay, kFirstImportDay, kLastImportDay) &&
           InRange(h.lastDay, h.firstDay, kLastImportDay);
}

bool ParseDay(const std::array<std::string, kCsvFields>& f, const std::string unitTexts[2],
              DayRecord& r) {
    uint32_t unit = 0, weight = 0, stride = 0, steps = 0, calories = 0, distance = 0;
    if (f[1] == unitTexts[0])
        unit = 0;
    else if (f[1] == unitTexts[1])
        unit = 1;
    else
        return false;
    if (!ParseCsvInteger(f[2], weight) || !ParseStride(f[3], unit, stride) ||
        !ParseCsvInteger(f[4], steps) || !ParseCsvScaled(f[5], 1, calories) ||
        !ParseCsvScaled(f[6], 2, distance))
        return false;
    if (!CsvWeightAllowed(unit, weight) || !CsvStrideAllowed(unit, stride) || steps > kMaxValue ||
        calories > kMaxValue || distance > kMaxValue)
        return false;
    r = DayRecord{uint8_t(unit), uint16_t(weight), uint16_t(stride), 0, steps, calories, distance};
    return true;
}

constexpr uint32_t kHeaderLines = 7;
constexpr size_t kImportPieceDays = 1024;

}  // namespace

int ReadCsvDays(const std::filesystem::path& path, CsvFileHeader& header,
                std::vector<DayRecord>& days, CsvReadFailure* failure) {
    auto fail = [&](CsvReadFailure::Kind kind, uint32_t line) {
        if (failure) *failure = {kind, line};
        days.clear();
        return 0;
    };
    CCsvFile file;
    if (!file.OpenForRead(path)) return fail(CsvReadFailure::CannotOpen, 0);
    if (!ReadHeaderLines(file, header) || !HeaderAccepted(header))
        return fail(CsvReadFailure::BadHeader, 0);
    const uint32_t n = header.lastDay - header.firstDay;
    const std::string unitTexts[2] = {GetLangString(CSV_STR4), GetLangString(CSV_STR5)};
    std::array<std::string, kCsvFields> f;
    days.assign(n + 1, DayRecord{});
    for (uint32_t i = 0; i <= n; ++i) {
        bool atEnd = false;
        if (!file.ReadCsvLine(f, atEnd) || !ParseDay(f, unitTexts, days[i]))
            return fail(CsvReadFailure::BadDay, kHeaderLines + 1 + i);
        if (atEnd && i != n) return fail(CsvReadFailure::BadDay, kHeaderLines + 2 + i);
    }
    if (failure) *failure = {};
    return 1;
}

bool HasCsvExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return extension == ".csv";
}

std::string CsvImportFolder(const std::filesystem::path& path) {
    return CApEnvironment::FolderToRemember(path);
}

CsvImportResult ImportCsv(UserStore& store, const std::filesystem::path& path,
                          const std::string& currentName, const UserFileHeader& current,
                          const CsvImportCallbacks& callbacks) {
    auto show = [&](LangKey key) {
        if (callbacks.showMessage) callbacks.showMessage(key);
    };
    CCsvFile file;
    CsvFileHeader h;
    if (!file.OpenForRead(path) || !ReadHeaderLines(file, h) || !HeaderAccepted(h)) return {};

    // The receiving user: the current one when the file is plainly its own (or the
    // current profile was never filled in), else whom the user match dialog names.
    const bool straight =
        ProfileNeverFilled(current) ||
        (h.unit == current.unitSystem && h.user == currentName && h.firstDay == current.firstDay &&
         h.lastDay == current.lastDay && h.weight == current.weight && h.stride == current.stride);
    const CsvMatchRequest request = MakeMatchRequest({.user = h.user,
                                                      .unit = h.unit,
                                                      .weight = h.weight,
                                                      .stride = h.stride,
                                                      .firstDay = h.firstDay,
                                                      .lastDay = h.lastDay},
                                                     currentName, current);
    if (!straight) show(request.unitsDiffer ? APPEDN_STR5 : CSV_STR39);
    std::function<std::optional<CsvUserChoice>()> ask;
    if (callbacks.chooseUser) ask = [&] { return callbacks.chooseUser(request); };
    UserFileHeader receiving;
    const auto chosen = ChooseReceivingUser(
        straight ? std::optional(CsvUserChoice{.name = currentName}) : std::nullopt, ask,
        [&](const CsvUserChoice& choice) {
            if (store.ReadHeader(choice.name, receiving)) return ReceiveAttempt::Done;
            show(CSV_STR40);
            // Asking again would change nothing for a file that went straight.
            return straight ? ReceiveAttempt::GiveUp : ReceiveAttempt::AskAgain;
        });
    if (!chosen) return {};
    const CsvUserChoice& choice = *chosen;

    StoreChange change(store, choice.name);
    if (!change) return {};
    if (choice.adoptProfile) {
        receiving.unitSystem = h.unit;
        receiving.weight = h.weight;
        receiving.stride = h.stride;
        if (!store.WriteHeader(choice.name, receiving)) return {};
    }
    const uint32_t n = h.lastDay - h.firstDay;
    std::array<std::string, kCsvFields> f;
    const std::string unitTexts[2] = {GetLangString(CSV_STR4), GetLangString(CSV_STR5)};
    // Consecutive days go to the store in pieces, one open of the user file each instead
    // of one per day; the file comes out the same and the buffer stays small for any
    // file. Days still in the piece when a line fails are not written: the restore puts
    // the whole file back anyway.
    std::vector<DayRecord> piece;
    piece.reserve(std::min<size_t>(n + 1, kImportPieceDays));
    uint32_t pieceFirst = h.firstDay;
    for (uint32_t i = 0; i <= n; ++i) {
        bool atEnd = false;
        DayRecord record;
        if (!file.ReadCsvLine(f, atEnd)) return {};
        if (atEnd && i != n) return {};  // fewer lines than days
        if (!ParseDay(f, unitTexts, record)) return {};
        piece.push_back(record);
        if (piece.size() == kImportPieceDays || i == n) {
            if (!store.WriteDays(choice.name, pieceFirst, piece)) return {};
            pieceFirst += uint32_t(piece.size());
            piece.clear();
        }
    }
    if (!change.Commit()) return {};
    file.Close();
    return {true, store.StoredName(choice.name).value_or(choice.name)};
}

}  // namespace stepora
