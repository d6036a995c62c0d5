// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileTrace.h"

namespace stepora {
namespace {

std::function<void(const FileEvent&)>& Sink() {
    static std::function<void(const FileEvent&)> sink;
    return sink;
}

}  // namespace

void SetFileTrace(std::function<void(const FileEvent&)> sink) {
    Sink() = std::move(sink);
}

bool FileTracing() {
    return bool(Sink());
}

void TraceFile(const FileEvent& event) {
    if (Sink()) Sink()(event);
}

}  // namespace stepora
