#include "ui/UiServices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

namespace veerline::ui {

QString MessageTextForDisplay(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QChar('\r'), QChar('\n'));
  return shown;
}

MessageAnswer ShowMessageBox(QWidget* parent, MessageKind kind, const QString& title,
                             const QString& text) {
  QMessageBox box(parent);
  box.setWindowTitle(title);
  box.setText(MessageTextForDisplay(text));
  box.setTextFormat(Qt::PlainText);
  switch (kind) {
    case MessageKind::Warning:
      box.setIcon(QMessageBox::Warning);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageKind::Error:
      box.setIcon(QMessageBox::Critical);
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case MessageKind::Question:
      box.setIcon(QMessageBox::Question);
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      break;
  }
  const int pressed = box.exec();
  if (kind != MessageKind::Question) return MessageAnswer::Ok;
  return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<MessageAnswer> AskYesNoCancel(QWidget* parent, const QString& title,
                                            const QString& text) {
  QMessageBox box(parent);
  box.setWindowTitle(title);
  box.setText(MessageTextForDisplay(text));
  box.setTextFormat(Qt::PlainText);
  box.setIcon(QMessageBox::Question);
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    default:
      return std::nullopt;
  }
}

namespace {

// The file dialogs: vehicle libraries with the filter "Vehicle Data (*.vdt)",
// drawings with "Drawing (*.dxf)"; an open dialog only accepts an existing file.
QString ChooseFile(QWidget* parent, FileDialogKind kind, const QString& startFolder) {
  const bool drawing = kind == FileDialogKind::OpenDrawing || kind == FileDialogKind::SaveDrawing;
  QFileDialog dialog(parent);
  dialog.setDirectory(startFolder);
  const QString suffix = kind == FileDialogKind::SaveReport      ? QStringLiteral("pdf")
                         : kind == FileDialogKind::SaveAnimation ? QStringLiteral("mp4")
                         : drawing                               ? QStringLiteral("dxf")
                                                                 : QStringLiteral("vdt");
  const QString filter = suffix == QStringLiteral("pdf")   ? QStringLiteral("Design report (*.pdf)")
                         : suffix == QStringLiteral("mp4") ? QStringLiteral("Video (*.mp4)")
                         : drawing                         ? QStringLiteral("Drawing (*.dxf)")
                                                           : QStringLiteral("Vehicle Data (*.vdt)");
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(suffix);
  if (kind == FileDialogKind::Open || kind == FileDialogKind::OpenDrawing) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The library commands refuse an existing file themselves, with their own
    // message; a drawing may be replaced after the dialog's own question.
    if (suffix == QStringLiteral("vdt")) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace

UiServices UiServices::Desktop() {
  UiServices services;
  services.programFolder = QCoreApplication::applicationDirPath();
  services.dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  services.documentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  services.openSettings = [] {
    return std::make_unique<QSettings>(QStringLiteral("Veerline"), QStringLiteral("Veerline"));
  };
  services.showMessage = ShowMessageBox;
  services.askYesNoCancel = AskYesNoCancel;
  services.chooseFile = ChooseFile;
  services.openUrl = [](const QUrl& address) { return QDesktopServices::openUrl(address); };
  return services;
}

}  // namespace veerline::ui
