#pragma once

// A desktop for the window tests: settings in a temporary INI file, files in a
// temporary folder, and message boxes and file dialogs answered from queues
// and recorded instead of shown.

#include <QDir>
#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <deque>
#include <memory>

#include "ui/UiServices.h"

namespace veerline::ui::test {

// The named control inside a window; a test without it cannot go on.
template <typename T>
T* Child(QObject& window, const char* name) {
  T* child = window.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) qFatal("missing control %s", name);
  return child;
}

struct ShownMessage {
  MessageKind kind;
  QString title;
  QString text;
};

class TestDesktop {
 public:
  TestDesktop() = default;

  QString Path(const QString& name) const { return mFolder.filePath(name); }
  // The user's data folder, where the default library is worked on.
  QString DataPath(const QString& name) const { return Path(QStringLiteral("data/") + name); }
  QString IniPath() const { return Path(QStringLiteral("settings.ini")); }

  std::unique_ptr<QSettings> Settings() const {
    return std::make_unique<QSettings>(IniPath(), QSettings::IniFormat);
  }
  void SetSetting(const QString& key, const QString& value) const {
    auto settings = Settings();
    settings->setValue(QStringLiteral("Turn/") + key, value);
  }
  QString Setting(const QString& key) const {
    return Settings()->value(QStringLiteral("Turn/") + key).toString();
  }
  bool HasSetting(const QString& key) const {
    return Settings()->contains(QStringLiteral("Turn/") + key);
  }

  UiServices Services() {
    UiServices services;
    services.programFolder = mFolder.path();
    services.dataFolder = Path(QStringLiteral("data"));
    services.documentsFolder = Path(QStringLiteral("documents"));
    QDir().mkpath(services.documentsFolder);
    const QString ini = IniPath();
    services.openSettings = [ini] {
      return std::make_unique<QSettings>(ini, QSettings::IniFormat);
    };
    services.showMessage = [this](QWidget*, MessageKind kind, const QString& title,
                                  const QString& text) {
      messages.push_back({kind, title, text});
      if (kind != MessageKind::Question) return MessageAnswer::Ok;
      if (answers.empty()) return MessageAnswer::No;
      const MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    };
    // Cancel first where asked to, then the Yes/No answers.
    services.askYesNoCancel = [this](QWidget*, const QString& title,
                                     const QString& text) -> std::optional<MessageAnswer> {
      messages.push_back({MessageKind::Question, title, text});
      if (cancelQuestions > 0) {
        --cancelQuestions;
        return std::nullopt;
      }
      if (answers.empty()) return MessageAnswer::No;
      const MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    };
    services.chooseFile = [this](QWidget*, FileDialogKind kind, const QString& folder) {
      dialogsShown.push_back(kind);
      dialogFolders << folder;
      if (chosenFiles.empty()) return QString();
      const QString chosen = chosenFiles.front();
      chosenFiles.pop_front();
      return chosen;
    };
    services.openUrl = [this](const QUrl& address) {
      openedUrls << address.toString();
      return urlOpens;
    };
    return services;
  }

  QStringList MessageTexts() const {
    QStringList texts;
    for (const ShownMessage& message : messages) texts << message.text;
    return texts;
  }

  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> answers;
  int cancelQuestions = 0;  // Yes/No/Cancel questions still to be cancelled
  std::deque<QString> chosenFiles;
  std::vector<FileDialogKind> dialogsShown;
  QStringList dialogFolders;  // the folder each dialog opened in
  QStringList openedUrls;
  bool urlOpens = true;

 private:
  QTemporaryDir mFolder;
};

}  // namespace veerline::ui::test
