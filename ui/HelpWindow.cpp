#include "ui/HelpWindow.h"

#include <QAction>
#include <QTextBrowser>
#include <QToolBar>

namespace veerline::ui {

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent, Qt::Window) {
  setObjectName(QStringLiteral("frmHelp"));
  setAttribute(Qt::WA_QuitOnClose, false);
  mBrowser = new QTextBrowser(this);
  mBrowser->setObjectName(QStringLiteral("HelpBrowser"));
  mBrowser->setOpenExternalLinks(true);
  setCentralWidget(mBrowser);
  QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
  bar->setObjectName(QStringLiteral("HelpNavigation"));
  bar->setMovable(false);
  QAction* back = bar->addAction(QStringLiteral("Back"), mBrowser, &QTextBrowser::backward);
  back->setShortcut(QKeySequence::Back);
  QAction* forward = bar->addAction(QStringLiteral("Forward"), mBrowser, &QTextBrowser::forward);
  forward->setShortcut(QKeySequence::Forward);
  QAction* home = bar->addAction(QStringLiteral("Contents"), mBrowser, &QTextBrowser::home);
  connect(mBrowser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(mBrowser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  back->setEnabled(false);
  forward->setEnabled(false);
  home->setObjectName(QStringLiteral("HelpContents"));
  connect(mBrowser, &QTextBrowser::sourceChanged, this,
          [this] { setWindowTitle(mBrowser->documentTitle()); });
  resize(820, 760);
}

void HelpWindow::ShowPage(const QUrl& page) {
  if (mBrowser->source() != page) mBrowser->setSource(page);
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

}  // namespace veerline::ui
