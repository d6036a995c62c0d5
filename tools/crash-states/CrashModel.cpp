// SPDX-License-Identifier: GPL-3.0-or-later
#include "CrashModel.h"

#include <algorithm>
#include <filesystem>

namespace stepora::crash {
namespace {

constexpr uint64_t kSector = 512;

std::string FolderOf(const std::string& path) {
    return std::filesystem::path(path).parent_path().string();
}

}  // namespace

CrashModel::CrashModel(const Files& initial) {
    for (const auto& [path, bytes] : initial) {
        durableNames_[path] = currentNames_[path] = files_.size();
        files_.push_back({.durable = bytes, .current = bytes, .sizes = {bytes.size()}});
    }
}

void CrashModel::ApplyName(const NameCall& call, std::map<std::string, size_t>& names) {
    auto it = names.find(call.path);
    const bool ours = it != names.end() && it->second == call.file;
    switch (call.kind) {
        case FileEvent::Create:
            names[call.path] = call.file;
            break;
        case FileEvent::Rename:
            if (ours) names.erase(it);
            names[call.to] = call.file;
            break;
        default:  // Remove
            if (ours) names.erase(it);
            break;
    }
}

namespace {
void Put(std::string& bytes, uint64_t offset, const std::string& piece, bool cut) {
    if (cut) {
        bytes.resize(size_t(offset), '\0');
        return;
    }
    if (bytes.size() < offset + piece.size()) bytes.resize(size_t(offset + piece.size()), '\0');
    bytes.replace(size_t(offset), piece.size(), piece);
}
}  // namespace

void CrashModel::AddPiece(size_t file, Piece piece) {
    File& f = files_[file];
    Put(f.current, piece.offset, piece.bytes, piece.cut);
    f.pending.push_back(std::move(piece));
    f.sizes.push_back(f.current.size());
}

bool CrashModel::Apply(const Call& call, std::string& error) {
    auto followed = [&]() -> std::optional<size_t> {
        auto it = open_.find(call.fd);
        return it == open_.end() ? std::nullopt : it->second;
    };
    switch (call.kind) {
        case FileEvent::Open: {
            auto it = currentNames_.find(call.path);
            open_[call.fd] = it == currentNames_.end() ? std::nullopt : std::optional(it->second);
            return true;
        }
        case FileEvent::Create: {
            const size_t file = files_.size();
            files_.push_back({.sizes = {0}});
            pendingNames_.push_back({call.kind, call.path, "", FolderOf(call.path), file});
            ApplyName(pendingNames_.back(), currentNames_);
            open_[call.fd] = file;
            return true;
        }
        case FileEvent::Write:
        case FileEvent::Truncate: {
            const auto file = followed();
            if (!file) {
                error = "a file that is not followed is written";
                return false;
            }
            if (call.kind == FileEvent::Truncate) {
                AddPiece(*file, {call.offset, "", true});
                return true;
            }
            for (uint64_t at = call.offset, end = call.offset + call.bytes.size(); at < end;) {
                const uint64_t next = std::min(end, (at / kSector + 1) * kSector);
                AddPiece(*file,
                         {at, call.bytes.substr(size_t(at - call.offset), size_t(next - at))});
                at = next;
            }
            return true;
        }
        case FileEvent::Sync:
            if (const auto file = followed()) {
                File& f = files_[*file];
                f.durable = f.current;
                f.pending.clear();
                f.sizes = {f.current.size()};
            }
            return true;
        case FileEvent::Rename:
        case FileEvent::Remove: {
            auto it = currentNames_.find(call.path);
            if (it == currentNames_.end()) {
                if (call.kind == FileEvent::Remove) return true;  // a file the checks ignore
                error = "a file that is not followed is renamed: " + call.path;
                return false;
            }
            if (call.kind == FileEvent::Rename && FolderOf(call.to) != FolderOf(call.path)) {
                error = "a rename between folders: " + call.path;
                return false;
            }
            pendingNames_.push_back(
                {call.kind, call.path, call.to, FolderOf(call.path), it->second});
            ApplyName(pendingNames_.back(), currentNames_);
            return true;
        }
        case FileEvent::SyncDir: {
            const std::string folder = call.path == "." ? "" : call.path;
            std::vector<NameCall> still;
            for (const NameCall& n : pendingNames_) {
                if (n.folder == folder)
                    ApplyName(n, durableNames_);
                else
                    still.push_back(n);
            }
            pendingNames_ = std::move(still);
            return true;
        }
    }
    error = "an unknown call";
    return false;
}

std::string CrashModel::Contents(size_t file, const Outcome::Data* data) const {
    const File& f = files_[file];
    std::string bytes = f.durable;
    for (size_t i = 0; i < f.pending.size(); ++i)
        if (!data || data->pieces[i])
            Put(bytes, f.pending[i].offset, f.pending[i].bytes, f.pending[i].cut);
    bytes.resize(size_t(data ? f.sizes[data->size] : f.sizes.back()), '\0');
    return bytes;
}

Files CrashModel::Current() const {
    Files files;
    for (const auto& [path, file] : currentNames_) files[path] = files_[file].current;
    return files;
}

Files CrashModel::State(const Outcome& outcome) const {
    std::map<std::string, size_t> names = durableNames_;
    for (size_t i = 0; i < pendingNames_.size(); ++i)
        if (outcome.names[i]) ApplyName(pendingNames_[i], names);
    Files files;
    for (const auto& [path, file] : names) {
        auto data = outcome.files.find(file);
        files[path] = Contents(file, data == outcome.files.end() ? nullptr : &data->second);
    }
    return files;
}

Outcome CrashModel::Uniform(bool namesOn, bool dataOn, std::string how) const {
    Outcome o{.names = std::vector<bool>(pendingNames_.size(), namesOn), .how = std::move(how)};
    if (!dataOn)
        for (size_t file = 0; file < files_.size(); ++file)
            if (!files_[file].pending.empty())
                o.files[file] = {std::vector<bool>(files_[file].pending.size(), false), 0};
    return o;
}

std::vector<Outcome> CrashModel::Outcomes(size_t extra, std::mt19937& random) const {
    std::vector<Outcome> out{
        Uniform(true, true, "all on disk"), Uniform(false, false, "nothing more on disk"),
        Uniform(true, false, "the names, no data"), Uniform(false, true, "the data, no names")};
    out[0].whole = out[1].whole = true;
    const size_t names = pendingNames_.size();
    auto bits = [&](size_t n, auto&& bit) {
        std::vector<bool> v(n);
        for (size_t i = 0; i < n; ++i) v[i] = bit(i);
        return v;
    };
    auto coin = [&](size_t) { return random() % 2 == 1; };
    if (names > 0) {
        const size_t subsets = names <= 8 ? size_t(1) << names : 256;
        for (size_t s = 0; s < subsets; ++s) {
            const auto mask = names <= 8 ? bits(names, [&](size_t i) { return (s >> i) % 2 == 1; })
                                         : bits(names, coin);
            for (bool dataOn : {true, false}) {
                Outcome o = Uniform(
                    true, dataOn,
                    "names " + std::to_string(s) + (dataOn ? " with" : " without") + " data");
                o.names = mask;
                out.push_back(std::move(o));
            }
        }
    }
    for (size_t file = 0; file < files_.size(); ++file) {
        const File& f = files_[file];
        const size_t n = f.pending.size();
        if (n == 0) continue;
        for (bool on : {true, false}) {
            auto add = [&](std::vector<bool> pieces, size_t size, const std::string& how) {
                Outcome o = Uniform(
                    on, on,
                    "file " + std::to_string(file) + ": " + how + (on ? "" : ", nothing else"));
                o.files[file] = {std::move(pieces), size};
                out.push_back(std::move(o));
            };
            for (size_t k = 0; k <= n; ++k) {
                const auto first = bits(n, [&](size_t i) { return i < k; });
                add(first, k, "the first " + std::to_string(k) + " pieces");
                add(first, n, "the first " + std::to_string(k) + " pieces, the last size");
                add(bits(n, [](size_t) { return true; }), k,
                    "every piece, the size after " + std::to_string(k));
                if (k < n)
                    add(bits(n, [&](size_t i) { return i != k; }), n,
                        "all but piece " + std::to_string(k));
            }
        }
    }
    for (size_t e = 0; e < extra; ++e) {
        Outcome o{.names = bits(names, coin), .how = "drawn at random"};
        for (size_t file = 0; file < files_.size(); ++file)
            if (const size_t n = files_[file].pending.size())
                o.files[file] = {bits(n, coin), size_t(random() % (n + 1))};
        out.push_back(std::move(o));
    }
    return out;
}

}  // namespace stepora::crash
