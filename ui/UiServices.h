#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "engine/Host.h"

class QSettings;
class QWidget;

namespace veerline::ui {

// The file dialogs the windows show: vehicle libraries (Open, Save) and
// drawings (OpenDrawing, SaveDrawing).
enum class FileDialogKind { Open, Save, OpenDrawing, SaveDrawing, SaveReport, SaveAnimation };

// What the windows need of the desktop. The program uses the real desktop;
// tests replace single entries to answer message boxes and file dialogs, to
// keep settings in a temporary file and to keep files in a temporary folder.
struct UiServices {
  // Folder of the shipped default library and of the help guide.
  QString programFolder;
  // The user's own data folder, where the default library is copied to be
  // worked on: the program's folder is not writable in a real install.
  QString dataFolder;
  // The user's documents, where file dialogs open until a folder was used.
  QString documentsFolder;
  // The per-user settings store (application "Veerline").
  std::function<std::unique_ptr<QSettings>()> openSettings;
  // Shows a modal message box and returns the answer.
  std::function<MessageAnswer(QWidget* parent, MessageKind kind, const QString& title,
                              const QString& text)>
      showMessage;
  // Asks a question with Yes, No and Cancel; nothing when cancelled.
  std::function<std::optional<MessageAnswer>(QWidget* parent, const QString& title,
                                             const QString& text)>
      askYesNoCancel;
  // Shows a file dialog of the given kind; an empty text when cancelled.
  std::function<QString(QWidget* parent, FileDialogKind kind, const QString& startFolder)>
      chooseFile;
  // Hands an address to the desktop's default handler; false when that fails.
  std::function<bool(const QUrl& address)> openUrl;

  // The real desktop: program folder beside the executable, native settings,
  // QMessageBox, QFileDialog and QDesktopServices.
  static UiServices Desktop();
};

// Settings section of the program.
inline constexpr const char* kSettingsSection = "Turn";

// A QMessageBox of the given kind: warning (exclamation, OK), error (critical,
// OK) or question (question mark, Yes/No). It opens above its parent.
MessageAnswer ShowMessageBox(QWidget* parent, MessageKind kind, const QString& title,
                             const QString& text);
// A question with Yes, No and Cancel; nothing for Cancel or the window's close button.
std::optional<MessageAnswer> AskYesNoCancel(QWidget* parent, const QString& title,
                                            const QString& text);

// Message texts join lines with a carriage return; a label breaks lines at a line feed.
QString MessageTextForDisplay(const QString& text);

}  // namespace veerline::ui
