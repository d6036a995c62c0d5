// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FileChooser.h"

#include <QDir>
#include <QFileDialog>

#include "app/QtText.h"

namespace stepora {
namespace {

FileChooserOverride& Override() {
    static FileChooserOverride chooser;
    return chooser;
}

}  // namespace

std::optional<std::filesystem::path> ChooseFile(const FileChooserRequest& request,
                                                QWidget* parent) {
    if (Override()) return Override()(request);

    // Without a remembered folder: the home folder, never the program's hidden work folder.
    std::error_code ec;
    const QString start = std::filesystem::is_directory(request.startDir, ec)
                              ? PathText(request.startDir)
                              : QDir::homePath();
    QFileDialog dialog(parent, Qs(request.title), start);
    if (request.kind == FileChooserRequest::ChooseFolder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else if (request.kind == FileChooserRequest::SaveFile) {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        if (!request.filter.empty()) dialog.setNameFilter(Qs(request.filter));
        dialog.setDefaultSuffix(Qs(request.defaultSuffix));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (!request.filter.empty()) dialog.setNameFilter(Qs(request.filter));
    }
    dialog.setWindowModality(Qt::ApplicationModal);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return PathOf(dialog.selectedFiles().first());
}

void SetFileChooserOverride(FileChooserOverride chooser) {
    Override() = std::move(chooser);
}

}  // namespace stepora
