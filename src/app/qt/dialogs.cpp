#include "app/qt/dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringList>

#include "window/extra_menu.h"

namespace velmora {

namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void ShowAbout(QWidget* parent, std::string_view text) {
    QMessageBox box(QMessageBox::Information, FromUtf8(kExtraMenu.back().caption), FromUtf8(text),
                    QMessageBox::Ok, parent);
    box.exec();
}

int Ask(QWidget* parent, std::string_view text, std::span<const std::string_view> answers) {
    QMessageBox box(QMessageBox::Question, FromUtf8(kMessageTitle), FromUtf8(text),
                    QMessageBox::NoButton, parent);
    std::vector<QPushButton*> buttons;
    for (std::string_view answer : answers) {
        buttons.push_back(box.addButton(FromUtf8(answer), QMessageBox::AcceptRole));
    }
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == buttons[i]) return static_cast<int>(i);
    }
    return -1;
}

std::optional<SaveChoice> ChooseSaveFile(QWidget* parent, const SaveRequest& request) {
    QStringList filters;
    for (const FileType& type : request.types) filters << FromUtf8(type.description);
    // A name without a folder is offered in the user's documents.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString suggested = QDir(documents).filePath(FromUtf8(request.suggestedPath));
    QFileDialog dialog(parent, FromUtf8(request.title), suggested,
                       filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an extension takes the chosen type's.
    const auto suffixFor = [&](const QString& filter) {
        const auto at = filters.indexOf(filter);
        if (at >= 0) dialog.setDefaultSuffix(FromUtf8(request.types[at].extension));
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, suffixFor);
    if (request.type >= 0 && request.type < filters.size()) {
        dialog.selectNameFilter(filters[request.type]);
        suffixFor(filters[request.type]);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return SaveChoice{dialog.selectedFiles().first().toStdString(),
                      static_cast<int>(filters.indexOf(dialog.selectedNameFilter()))};
}

}  // namespace velmora
