#include "ui/FileDialogs.h"
#include "ui/qt/QtDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::optional<std::string> AskFileToAppendTo(TemplateDialog& owner, std::string_view title,
                                             std::string_view proposedName) {
    QFileDialog dialog(&QtDialog::Of(owner), FromUtf8(title), QDir::currentPath());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Nothing is replaced, so there is nothing to confirm.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(FromUtf8(proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}
