#pragma once

#include <QMainWindow>
#include <QUrl>

class QTextBrowser;

namespace veerline::ui {

// The user guide: the HTML pages that ship beside the program, shown in a
// window of their own with back and forward; links to other sites open in the
// desktop's browser.
class HelpWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows a page of the guide and brings the window forward.
  void ShowPage(const QUrl& page);
  QTextBrowser* Browser() const { return mBrowser; }

 private:
  QTextBrowser* mBrowser = nullptr;
};

}  // namespace veerline::ui
