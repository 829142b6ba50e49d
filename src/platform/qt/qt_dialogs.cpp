#include "platform/qt/qt_dialogs.h"

#include "platform/qt/input_box.h"
#include "platform/qt/name_filters.h"
#include "platform/qt/picture_preview_pane.h"
#include "platform/qt/qt_paths.h"
#include "platform/qt/qt_text.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>

namespace zub {
namespace {

// The preview pane goes in a column of its own right of Qt's widgets, following the selection.
void addPreviewPane(QFileDialog& dialog, const PicturePreviewPane::Loader& loader) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid) return;
    auto* pane = new PicturePreviewPane(loader, &dialog);
    grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, pane, &PicturePreviewPane::showFile);
}

std::optional<std::filesystem::path> runFileDialog(QWidget* owner, const FileDialogOptions& options,
                                                   QFileDialog::AcceptMode mode) {
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    // The Windows open dialog takes the name of a file that does not exist unless told
    // otherwise; opening it then fails with the program's own message.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
    // Without a title of its own the dialog keeps Qt's ("Open", "Save As").
    if (!options.title.isEmpty()) dialog.setWindowTitle(options.title);
    if (!options.initialFolder.isEmpty()) dialog.setDirectory(options.initialFolder);
    // The filters read exactly as the program words them; Qt's patterns stay behind them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = toQtNameFilters(options.filter);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(options.defaultExtension);
    dialog.setSizeGripEnabled(true);
    if (options.preview) addPreviewPane(dialog, options.preview);

    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return std::nullopt;
    return pathFromQString(files.first());
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

} // namespace

std::optional<std::filesystem::path> QtDialogs::openFile(QWidget* owner,
                                                         const FileDialogOptions& options) {
    return runFileDialog(owner, options, QFileDialog::AcceptOpen);
}

std::optional<std::filesystem::path> QtDialogs::saveFile(QWidget* owner,
                                                         const FileDialogOptions& options) {
    return runFileDialog(owner, options, QFileDialog::AcceptSave);
}

std::optional<std::string> QtDialogs::inputBox(QWidget* owner, const QString& caption,
                                               const QString& prompt, std::string_view initial,
                                               std::size_t maxBytes) {
    InputBox box(owner, caption, prompt, toQString(initial), maxBytes);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return fromQString(box.text());
}

void QtDialogs::message(QWidget* owner, const QString& caption, const QString& text,
                        MessageIcon icon) {
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace zub
