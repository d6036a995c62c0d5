// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every change the program makes to what it keeps, records its file calls, builds
// each state a power cut may leave of them (the model is in CrashModel.h), starts the
// store on it as the program does, and checks that every user and settings file is
// exactly as before the change or as after it, that the user list is one of the two, that
// a change reported done survives, and that a second start changes nothing more. Where
// the first start has to mend something, a power cut at every point of that start is
// judged as well.
//
// Which states: at every cut between two calls, everything and nothing more on disk,
// each subset of the pending name changes (up to 8 of them; beyond, 256 drawn at random),
// for each file with bytes not yet synced its first n pieces, all but one piece and each
// possible size, and --random more drawn at random. Equal states are built once. With
// --max-states the states of a change are capped: everything and nothing more on disk at
// every cut are always kept, the rest is drawn at random from the others.
//
// Prints, per change, its calls, the cuts, the states built, those built during a start
// that mends, and how many lost or tore a file; files left over beside the kept ones (a
// temp file whose rename did not happen) are counted but harmless. Exits 1 on any loss.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "CrashModel.h"
#include "app/ApEnvironment.h"
#include "app/Clock.h"
#include "app/LangTable.h"
#include "app/SafeFile.h"
#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "device/DownloadMatch.h"
#include "graph/GraphOptions.h"
#include "store/StoreFile.h"
#include "store/UserStore.h"

namespace stepora::crash {
namespace {
namespace fs = std::filesystem;

constexpr uint32_t kToday = 46362;  // 2026-12-07: a user made today starts at kToday - 1

struct Options {
    uint32_t days = 730;      // Anna's stored days
    size_t random = 32;       // outcomes drawn at random per cut
    size_t maxStates = 0;     // per change; 0: all of them
    std::string only, trace;  // a change's name holding this text
    fs::path scratch, data = STEPORA_DATA_DIR;
};

void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(bytes.data(), std::streamsize(bytes.size()));
}

// The files a change may touch: the users' folder, the settings and whatever the change
// writes beside them; not the inputs in in/ nor the language files no change writes.
bool Followed(const fs::path& relative) {
    const std::string top = relative.begin()->string();
    if (top == "in") return false;
    return top != "Language" || relative.filename() == "Language.INI";
}

Files Snapshot(const fs::path& root, bool all = false) {
    Files files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        const fs::path relative = e.path().lexically_relative(root);
        if (e.is_regular_file() && (all || Followed(relative)))
            ReadRegularFile(e.path(), files[relative.generic_string()]);
    }
    return files;
}

Files FollowedOf(const Files& all) {
    Files files;
    for (const auto& [path, bytes] : all)
        if (Followed(path)) files.emplace(path, bytes);
    return files;
}

std::vector<uint8_t> Days(uint32_t first, uint32_t count, uint32_t tag) {
    std::vector<uint8_t> bytes(size_t(count) * kDayRecordSize);
    for (uint32_t i = 0; i < count; ++i)
        PackDayRecord({0, 70, 74, 0, 4000 + (first + i) % 9000 + tag, 1500 + tag, first + i + tag},
                      bytes.data() + i * kDayRecordSize);
    return bytes;
}

DownloadBuffer Block(uint32_t first, uint32_t count) {
    DownloadBuffer block{.unitSystem = 0,
                         .weight = 70,
                         .stride = 74,
                         .firstDay = first,
                         .lastDay = first + count - 1,
                         .count = count,
                         .records = {}};
    const auto bytes = Days(first, count, 7);
    for (uint32_t i = 0; i < count; ++i)
        block.records.push_back(UnpackDayRecord(&bytes[i * kDayRecordSize]));
    return block;
}

// The work directory before a change: Anna with `days` days up to yesterday, Bob beside
// her, the shipped languages, a config.ini the program wrote, and the files to import.
struct WorkDir {
    fs::path root;
    UserStore store;
    uint32_t first = 0;

    WorkDir(const fs::path& at, const Options& o) : root(at) {
        fs::remove_all(root);
        fs::create_directories(root / "User");
        fs::create_directories(root / "in");
        fs::copy(o.data / "Language", root / "Language", fs::copy_options::recursive);
        store.SetDirectory(root / "User");
        first = kToday - o.days;
        const auto anna = Days(first, o.days, 0);
        const uint32_t bob = o.days / 2;
        // An export of Anna from her first day, for the export to replace, and Bob's as a
        // file to import.
        bool ok = store.Create("Anna", "pw") &&
                  store.ExportFile("Anna", root / "Anna-export.usr") &&
                  store.WriteDays("Anna", first, o.days, anna.data()) && store.Create("Bob", "") &&
                  store.WriteDays("Bob", kToday - bob, bob, Days(kToday - bob, bob, 1).data()) &&
                  store.ExportFile("Bob", root / "in" / "bob.usr");
        CApEnvironment env;
        env.Init(root);  // writes the default sort order
        // A CSV file of Anna's with other values, over her first days and before them.
        UserStore other;
        fs::create_directories(root / "in" / "csv");
        other.SetDirectory(root / "in" / "csv");
        LangTable table(root);
        InstallLangTable(&table);
        ok = ok && other.Create("Anna", "") &&
             other.WriteDays("Anna", first - 5, 30, Days(first - 5, 30, 3).data()) &&
             ExportCsv(other, CsvUser{"Anna"}, root / "in" / "anna.csv", first - 5, first + 24);
        InstallLangTable(nullptr);
        if (!ok) throw std::runtime_error("the work directory could not be made");
    }
    UserFileHeader Header(const std::string& name) {
        UserFileHeader h;
        store.ReadHeader(name, h);
        return h;
    }
};

struct Change {
    const char* name;
    std::function<bool(WorkDir&)> run;
    bool fails = false;                       // it fails half way and puts the user back
    std::function<void(WorkDir&)> prepare{};  // what differs in the work directory before it
};

std::vector<Change> Changes() {
    auto options = [](WorkDir& w) {
        auto sheet = [](const GraphOptions& o) {
            OptionsChoice c{o, 3000, 550};
            c.options.goalSteps = 12000;
            c.options.weekStart = 2;
            return std::optional(c);
        };
        return EditGraphOptions(w.store, "Anna", w.Header("Anna"), sheet, nullptr);
    };
    // Anna's days run from w.first to kToday - 1.
    auto download = [](uint32_t (*first)(const WorkDir&), uint32_t count) {
        return [=](WorkDir& w) {
            return WriteDownload(w.store, "Anna", Block(first(w), count)) == StoreStep::Ok;
        };
    };
    return {
        {"create a user", [](WorkDir& w) { return w.store.Create("Zoe", "") != 0; }},
        {"rename a user", [](WorkDir& w) { return w.store.Rename("Anna", "Hanna", "pw") != 0; }},
        {"rename with a new password",
         [](WorkDir& w) { return w.store.Rename("Anna", "Hanna", "new") != 0; }},
        {"new password", [](WorkDir& w) { return w.store.Rename("Anna", "Anna", "new") != 0; }},
        {"delete a user", [](WorkDir& w) { return w.store.Delete("Anna") != 0; }},
        {"graph options (header)", options},
        {"period last shown (header)",
         [](WorkDir& w) {
             UserFileHeader h = w.Header("Anna");
             h.periodMode = 3;  // as the graph window keeps it: in place, without a backup
             return w.store.WriteHeader("Anna", h) != 0;
         }},
        {"download over the last days", download([](const WorkDir&) { return kToday - 3; }, 5)},
        {"download after a gap", download([](const WorkDir&) { return kToday + 4; }, 6)},
        {"download before the first day",
         download([](const WorkDir& w) { return w.first - 9; }, 6)},
        {"download over all days",
         [](WorkDir& w) {
             return WriteDownload(w.store, "Anna", Block(w.first - 2, kToday - w.first + 4)) ==
                    StoreStep::Ok;
         }},
        {"download failing half way",
         [](WorkDir& w) {
             // The backup's copy, the header and the gap are written, then the days fail.
             const uint64_t size = kHeaderSize + uint64_t(kToday - w.first) * kDayRecordSize;
             FailNthFileOp(FileOp::Write, uint32_t((size + 1023) / 1024 + 3));
             const bool ok = WriteDownload(w.store, "Anna", Block(kToday + 4, 6)) == StoreStep::Ok;
             ClearFileFaults();
             return ok;
         },
         true},
        {"CSV import over stored days",
         [](WorkDir& w) {
             LangTable table(w.root);
             InstallLangTable(&table);
             const bool ok =
                 ImportCsv(w.store, w.root / "in" / "anna.csv", "Anna", w.Header("Anna"), {}).ok;
             InstallLangTable(nullptr);
             return ok;
         }},
        {"user file import over a user",
         [](WorkDir& w) { return w.store.ImportFile("Anna", w.root / "in" / "bob.usr") != 0; }},
        {"user file import as a new user",
         [](WorkDir& w) { return w.store.ImportFile("Cleo", w.root / "in" / "bob.usr") != 0; }},
        {"user file export",
         [](WorkDir& w) { return w.store.ExportFile("Anna", w.root / "Anna-export.usr") != 0; }},
        {"settings: first start (config.ini)",
         [](WorkDir& w) {
             CApEnvironment env;
             env.Init(w.root);  // writes the default sort order
             return fs::exists(w.root / "config.ini");
         },
         false, [](WorkDir& w) { fs::remove(w.root / "config.ini"); }},
        {"settings: sort order (config.ini)",
         [](WorkDir& w) {
             CApEnvironment env;
             env.Init(w.root);
             return env.SetSort("Weight", "dec");
         }},
        {"settings: language (Language.INI)",
         [](WorkDir& w) { return LangTable(w.root).SetCurrentLanguage(1); }},
    };
}

std::vector<std::string> Users(const Files& files) {
    std::vector<std::string> users;
    for (const auto& [path, bytes] : files)
        if (path.starts_with("User/") && path.ends_with(".usr") &&
            path.find('/', 5) == std::string::npos)
            users.push_back(path.substr(5, path.size() - 9));
    return users;
}

struct Tally {
    size_t calls = 0, cuts = 0, states = 0, inStart = 0, lost = 0, torn = 0, leftOver = 0;
    std::vector<std::string> failures;
};

// The file calls `run` makes, with paths relative to `root`.
std::vector<Call> Record(const fs::path& root, const std::function<void()>& run) {
    std::vector<Call> calls;
    SetFileTrace([&](const FileEvent& e) {
        auto rel = [&](const fs::path& p) {
            return p.empty() ? std::string() : p.lexically_relative(root).generic_string();
        };
        Call c{e.kind, e.fd, rel(e.path), rel(e.to), e.offset, {}};
        if (e.kind == FileEvent::Write) c.bytes.assign(static_cast<const char*>(e.data), e.length);
        calls.push_back(std::move(c));
    });
    run();
    SetFileTrace(nullptr);
    return calls;
}

size_t Key(const Files& files) {
    std::string key;
    for (const auto& [path, bytes] : files)
        key += path + '\0' + std::to_string(bytes.size()) + '\0' + bytes;
    return std::hash<std::string>()(key);
}

std::string Describe(const Call& c);

// Starts the program's store on `state` and judges what it finds. With `cutsInStart`, a
// power cut during that start's own recovery is judged as well, at every point of it.
void Check(const fs::path& scratch, const Files& state, const Files& before, const Files& after,
           bool done, const std::string& where, Tally& tally, bool cutsInStart) {
    fs::remove_all(scratch);
    fs::create_directories(scratch / "User");
    for (const auto& [path, bytes] : state) {
        fs::create_directories((scratch / path).parent_path());
        WriteAll(scratch / path, bytes);
    }
    std::vector<std::string> listed;
    const std::vector<Call> start = Record(scratch, [&] {
        UserStore store;
        store.SetDirectory(scratch / "User");
        store.EnumUsers(
            [&](const std::string& name, const UserFileHeader&) { listed.push_back(name); });
    });
    std::sort(listed.begin(), listed.end());
    const Files first = Snapshot(scratch, true), got = FollowedOf(first);
    std::set<std::string> paths;
    for (const Files* f : {&before, &after})
        for (const auto& entry : *f) paths.insert(entry.first);
    auto same = [&](const Files& model, const std::string& path) {
        auto g = got.find(path), m = model.find(path);
        return g == got.end() ? m == model.end() : m != model.end() && g->second == m->second;
    };
    std::string lost, torn;
    for (const std::string& path : paths) {
        if (done && !same(after, path))
            lost += " " + path + (got.count(path) ? " is as before" : " is missing");
        if (!same(before, path) && !same(after, path))
            (got.count(path) || !before.count(path) ? torn : lost) +=
                " " + path +
                (got.count(path) ? " is neither as before nor as after" : " is missing");
    }
    if (listed != Users(before) && listed != Users(after))
        torn += " the user list is neither as before nor as after";
    for (const auto& entry : got) tally.leftOver += paths.count(entry.first) ? 0 : 1;
    {
        UserStore again;
        again.SetDirectory(scratch / "User");
    }
    if (Snapshot(scratch, true) != first) torn += " a second start changes files";
    if (!lost.empty())
        ++tally.lost;
    else if (!torn.empty())
        ++tally.torn;
    if ((!lost.empty() || !torn.empty()) && tally.failures.size() < 5)
        tally.failures.push_back(where + ":" + (lost.empty() ? torn : lost));

    if (!cutsInStart || std::all_of(start.begin(), start.end(),
                                    [](const Call& c) { return c.kind == FileEvent::Open; }))
        return;
    CrashModel model(state);
    std::mt19937 random(20261208);
    std::set<size_t> seen{Key(state)};
    std::string error;
    for (size_t cut = 0; cut <= start.size(); ++cut) {
        if (cut > 0 && !model.Apply(start[cut - 1], error)) throw std::runtime_error(error);
        for (const Outcome& outcome : model.Outcomes(0, random)) {
            const Files files = model.State(outcome);
            if (!seen.insert(Key(files)).second) continue;
            ++tally.inStart;
            Check(scratch, files, before, after, done,
                  where + "; in the start after call " + std::to_string(cut) +
                      (cut ? " (" + Describe(start[cut - 1]) + ")" : "") + ", " + outcome.how,
                  tally, false);
        }
    }
}

std::string Describe(const Call& c) {
    static const char* kinds[] = {"open", "create", "write",  "truncate",
                                  "sync", "rename", "remove", "sync folder"};
    std::ostringstream s;
    s << kinds[c.kind];
    if (!c.path.empty()) s << " " << c.path;
    if (!c.to.empty()) s << " to " << c.to;
    if (c.kind == FileEvent::Write) s << " " << c.bytes.size() << " bytes at " << c.offset;
    if (c.kind == FileEvent::Truncate) s << " to " << c.offset;
    if (c.kind != FileEvent::Open && c.kind != FileEvent::Create && c.path.empty())
        s << " fd " << c.fd;
    return s.str();
}

bool RunChange(const Change& change, const Options& o, Tally& tally) {
    const fs::path live = o.scratch / "live", state = o.scratch / "state";
    WorkDir work(live, o);
    if (change.prepare) change.prepare(work);
    const Files before = Snapshot(live);
    bool ok = false;
    const std::vector<Call> calls = Record(live, [&] { ok = change.run(work); });
    if (ok == change.fails) {
        std::fprintf(stderr, "%s: the change %s\n", change.name, ok ? "did not fail" : "failed");
        return false;
    }
    const Files after = Snapshot(live);
    if (change.fails && after != before) {
        std::fprintf(stderr, "%s: the failed change left the files changed\n", change.name);
        return false;
    }
    if (!o.trace.empty() && std::string(change.name).find(o.trace) != std::string::npos)
        for (const Call& c : calls) std::printf("  %s\n", Describe(c).c_str());

    // The outcomes of every cut, then (when capped) those with everything or nothing on
    // disk at every cut and a random choice of the others.
    std::mt19937 random(uint32_t(std::hash<std::string>()(change.name)));
    std::vector<std::pair<size_t, Outcome>> chosen;
    {
        CrashModel model(before);
        std::string error;
        for (size_t cut = 0; cut <= calls.size(); ++cut) {
            if (cut > 0 && !model.Apply(calls[cut - 1], error)) {
                std::fprintf(stderr, "%s: %s (%s)\n", change.name, error.c_str(),
                             Describe(calls[cut - 1]).c_str());
                return false;
            }
            for (Outcome& outcome : model.Outcomes(o.random, random))
                chosen.emplace_back(cut, std::move(outcome));
        }
        if (model.Current() != after) {
            std::fprintf(stderr, "%s: the recorded calls do not make the files the change made\n",
                         change.name);
            return false;
        }
    }
    if (o.maxStates && chosen.size() > o.maxStates) {
        std::vector<std::pair<size_t, Outcome>> kept, rest;
        for (auto& c : chosen) (c.second.whole ? kept : rest).push_back(std::move(c));
        std::shuffle(rest.begin(), rest.end(), random);
        rest.resize(
            std::min(rest.size(), o.maxStates > kept.size() ? o.maxStates - kept.size() : 0));
        std::move(rest.begin(), rest.end(), std::back_inserter(kept));
        std::stable_sort(kept.begin(), kept.end(),
                         [](auto& a, auto& b) { return a.first < b.first; });
        chosen = std::move(kept);
    }

    CrashModel model(before);
    std::set<std::pair<bool, size_t>> seen;
    std::string error;
    size_t applied = 0;
    for (const auto& [cut, outcome] : chosen) {
        while (applied < cut) model.Apply(calls[applied++], error);
        const Files files = model.State(outcome);
        const bool done = cut == calls.size();
        if (!seen.insert({done, Key(files)}).second) continue;
        ++tally.states;
        const std::string where = "after call " + std::to_string(cut) +
                                  (cut ? " (" + Describe(calls[cut - 1]) + ")" : "") + ", " +
                                  outcome.how;
        Check(state, files, before, after, done, where, tally, true);
    }
    for (const Call& c : calls) tally.calls += c.kind != FileEvent::Open;
    tally.cuts = tally.calls + 1;
    fs::remove_all(live);
    fs::remove_all(state);
    return true;
}

int Main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (arg == "--days" && value)
            o.days = uint32_t(std::stoul(argv[++i]));
        else if (arg == "--random" && value)
            o.random = std::stoul(argv[++i]);
        else if (arg == "--max-states" && value)
            o.maxStates = std::stoul(argv[++i]);
        else if (arg == "--only" && value)
            o.only = argv[++i];
        else if (arg == "--trace" && value)
            o.trace = argv[++i];
        else if (arg == "--scratch" && value)
            o.scratch = argv[++i];
        else if (arg == "--data" && value)
            o.data = argv[++i];
        else {
            std::fprintf(
                stderr,
                "usage: %s [--days N] [--random N] [--max-states N] [--only TEXT] [--trace TEXT] "
                "[--scratch DIR] [--data DIR]\n",
                argv[0]);
            return 2;
        }
    }
    if (o.days < 40 || o.days > 30000) {
        std::fprintf(stderr, "--days: from 40 to 30000\n");
        return 2;
    }
    // Many small files are written for each state: a memory file system when there is one.
    std::error_code ec;
    const bool memory = fs::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0;
    const fs::path base = !o.scratch.empty() ? o.scratch
                          : memory           ? fs::path("/dev/shm")
                                             : fs::temp_directory_path();
    o.scratch = base / ("stepora-crash-" + std::to_string(::getpid()));
    SetLocalTodayOverride([] { return LocalDate{2026, 12, 7}; });

    std::printf("%-36s %6s %6s %8s %9s %5s %5s %9s\n", "change", "calls", "cuts", "states",
                "in start", "lost", "torn", "left over");
    bool good = true;
    size_t totalStates = 0;
    for (const Change& change : Changes()) {
        if (!o.only.empty() && std::string(change.name).find(o.only) == std::string::npos) continue;
        Tally t;
        if (!RunChange(change, o, t)) return 3;
        std::printf("%-36s %6zu %6zu %8zu %9zu %5zu %5zu %9zu\n", change.name, t.calls, t.cuts,
                    t.states, t.inStart, t.lost, t.torn, t.leftOver);
        for (const std::string& f : t.failures) std::printf("    %s\n", f.c_str());
        good = good && t.lost == 0 && t.torn == 0;
        totalStates += t.states + t.inStart;
        std::fflush(stdout);
    }
    fs::remove_all(o.scratch);
    std::printf("%zu states, %s\n", totalStates, good ? "none lost or torn" : "SOME LOST OR TORN");
    return good ? 0 : 1;
}

}  // namespace
}  // namespace stepora::crash

int main(int argc, char** argv) {
    try {
        return stepora::crash::Main(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 3;
    }
}
