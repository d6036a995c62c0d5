// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv/CsvImport.h"

#include <initializer_list>

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

using Fields = std::array<std::string, kCsvFields>;
using Fault = CsvReadFailure::Kind;

// The lines of one file in turn, and why the first one that cannot be taken fails.
struct CsvReader {
    CCsvFile file;
    Fields f;
    uint32_t line = 0;
    bool atEnd = false;
    CsvReadFailure failure;

    bool Fail(Fault kind, std::string text = {}, uint32_t at = 0) {
        failure = {kind, at ? at : line, std::move(text)};
        return false;
    }
    bool Next() {
        const bool ended = atEnd;
        ++line;
        if (file.ReadCsvLine(f, atEnd)) return true;
        return Fail(ended && line > kCsvHeaderLines ? Fault::FileEnds : Fault::NotLaidOut);
    }
    bool Number(size_t field, bool parsed) { return parsed || Fail(Fault::NotANumber, f[field]); }
    bool Within(size_t field, bool allowed) { return allowed || Fail(Fault::OutOfRange, f[field]); }
};

bool ReadHeaderLines(CsvReader& r, CsvFileHeader& h) {
    std::string second[6];  // the second field of lines 1 to 6, for what is said of them
    // Line 1: the unit number follows the first "(".
    if (!r.Next()) return false;
    second[0] = r.f[1];
    size_t open = r.f[1].find('(');
    std::string unit = open == std::string::npos ? std::string() : r.f[1].substr(open + 1);
    if (!ParseCsvInteger(unit.substr(0, unit.find_first_not_of("0123456789")), h.unit))
        return r.Fail(Fault::NoUnitNumber, r.f[1]);
    if (!r.Next()) return false;
    h.user = r.f[1];
    // A profile value never filled in is written as a text of its own; it reads as 0.
    if (!r.Next()) return false;
    second[2] = r.f[1];
    if (r.f[1] == GetLangString(CSV_STR15))
        h.weight = 0;
    else if (!r.Number(1, ParseCsvInteger(r.f[1], h.weight)))
        return false;
    if (!r.Next()) return false;
    second[3] = r.f[1];
    if (r.f[1] == GetLangString(CSV_STR18))
        h.stride = 0;
    else if (!r.Number(1, ParseStride(r.f[1], h.unit, h.stride)))
        return false;
    if (!r.Next()) return false;
    second[4] = r.f[1];
    if (!ParseCsvDate(r.f[1], h.firstDay)) return r.Fail(Fault::NotADate, r.f[1]);
    if (!r.Next()) return false;
    second[5] = r.f[1];
    if (!ParseCsvDate(r.f[1], h.lastDay)) return r.Fail(Fault::NotADate, r.f[1]);
    if (!r.Next()) return false;

    // The values are checked once the header was read whole, line by line.
    if (h.unit > 1) return r.Fail(Fault::NoUnitNumber, second[0], 1);
    if (h.user.empty()) return r.Fail(Fault::EmptyName, {}, 2);
    if (!CsvWeightAllowed(h.unit, h.weight)) return r.Fail(Fault::OutOfRange, second[2], 3);
    if (!CsvStrideAllowed(h.unit, h.stride)) return r.Fail(Fault::OutOfRange, second[3], 4);
    if (!InRange(h.firstDay, kFirstImportDay, kLastImportDay))
        return r.Fail(Fault::DateOutside, second[4], 5);
    if (h.lastDay < h.firstDay) return r.Fail(Fault::DaysOutOfOrder, second[5], 6);
    if (h.lastDay > kLastImportDay) return r.Fail(Fault::DateOutside, second[5], 6);
    return true;
}

bool ParseDay(CsvReader& r, const std::string unitTexts[2], DayRecord& day) {
    const Fields& f = r.f;
    uint32_t unit = 0, weight = 0, stride = 0, steps = 0, calories = 0, distance = 0;
    if (f[1] == unitTexts[0])
        unit = 0;
    else if (f[1] == unitTexts[1])
        unit = 1;
    else
        return r.Fail(Fault::UnknownUnit, f[1]);
    if (!r.Number(2, ParseCsvInteger(f[2], weight)) ||
        !r.Number(3, ParseStride(f[3], unit, stride)) ||
        !r.Number(4, ParseCsvInteger(f[4], steps)) ||
        !r.Number(5, ParseCsvScaled(f[5], 1, calories)) ||
        !r.Number(6, ParseCsvScaled(f[6], 2, distance)))
        return false;
    if (!r.Within(2, CsvWeightAllowed(unit, weight)) ||
        !r.Within(3, CsvStrideAllowed(unit, stride)) || !r.Within(4, steps <= kMaxValue) ||
        !r.Within(5, calories <= kMaxValue) || !r.Within(6, distance <= kMaxValue))
        return false;
    day =
        DayRecord{uint8_t(unit), uint16_t(weight), uint16_t(stride), 0, steps, calories, distance};
    return true;
}

// A field shown in a message is cut short where a line of rubbish would flood it.
std::string Shown(const std::string& field) {
    constexpr size_t kShown = 40;
    if (field.size() <= kShown) return field;
    size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80) --cut;
    return field.substr(0, cut) + "\xE2\x80\xA6";
}

}  // namespace

std::string CsvFailureText(const CsvReadFailure& failure) {
    static constexpr struct {
        Fault kind;
        AddedKey key;
    } kTexts[] = {
        {Fault::NotLaidOut, CSV_STR48},   {Fault::NotANumber, CSV_STR49},
        {Fault::NotADate, CSV_STR50},     {Fault::DaysOutOfOrder, CSV_STR51},
        {Fault::DateOutside, CSV_STR52},  {Fault::UnknownUnit, CSV_STR53},
        {Fault::OutOfRange, CSV_STR54},   {Fault::EmptyName, CSV_STR55},
        {Fault::NoUnitNumber, CSV_STR56}, {Fault::FileEnds, CSV_STR57},
    };
    if (failure.kind == Fault::None) return {};
    if (failure.kind == Fault::CannotOpen) return GetLangString(CSV_STR37);
    for (const auto& t : kTexts) {
        if (t.kind != failure.kind) continue;
        // %3 and %4: the names of the unit systems that this language reads.
        std::string text =
            FillIn(GetLangString(t.key), {std::to_string(failure.line), Shown(failure.text),
                                          GetLangString(CSV_STR4), GetLangString(CSV_STR5)});
        return failure.kind == Fault::NotLaidOut ? GetLangString(CSV_STR38) + "\n" + text : text;
    }
    return {};
}

int ReadCsvDays(const std::filesystem::path& path, CsvFileHeader& header,
                std::vector<DayRecord>& days, CsvReadFailure* failure) {
    CsvReader r;
    bool read =
        r.file.OpenForRead(path) ? ReadHeaderLines(r, header) : r.Fail(Fault::CannotOpen, {}, 0);
    const std::string unitTexts[2] = {GetLangString(CSV_STR4), GetLangString(CSV_STR5)};
    days.clear();
    if (read) days.resize(header.lastDay - header.firstDay + 1);
    // The i-th data line is the i-th day, whatever date it names; lines after the last
    // day are not read.
    for (size_t i = 0; read && i < days.size(); ++i)
        read = r.Next() && ParseDay(r, unitTexts, days[i]);
    if (!read) days.clear();
    if (failure) *failure = read ? CsvReadFailure{} : r.failure;
    return read;
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
    // The whole file is read before anything is asked or written: a file at fault says
    // where, and no user is asked for it.
    CsvImportResult result;
    CsvFileHeader h;
    std::vector<DayRecord> days;
    if (!ReadCsvDays(path, h, days, &result.failure)) return result;

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
    if (!store.WriteDays(choice.name, h.firstDay, days)) return {};
    if (!change.Commit()) return {};
    return {true, store.StoredName(choice.name).value_or(choice.name), {}};
}

}  // namespace stepora
