#include "ui/SplashScreen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/AboutBox.h"
#include "ui/UserLocale.h"
#include "ui/VehicleIllustrations.h"
#include "ui/VersionInfo.h"

namespace veerline::ui {

frmSplash::frmSplash(const UiServices& services, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmSplash"));
  // Closing the splash hands over to the main window; it never ends the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  QFont font(QStringLiteral("Tahoma"));
  font.setPointSizeF(8.25);
  setFont(font);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);

  auto named = [](const char* name) {
    auto* label = new QLabel;
    label->setObjectName(QString::fromLatin1(name));
    return label;
  };
  auto* picture1 = named("Picture1");
  picture1->setPixmap(VehicleIllustration(QStringLiteral("TripleTrailer")));
  auto* picture2 = named("Picture2");
  picture2->setPixmap(VehicleIllustration(QStringLiteral("Car")).scaledToHeight(66));
  auto* title = named("Label6");
  title->setText(QStringLiteral("Veerline"));
  title->setFont(QFont(QStringLiteral("Verdana"), 22, QFont::Bold));
  auto* useLabel = named("Label4");
  auto* separator = named("lblDecimalSeparator");
  QFont separatorFont = font;
  separatorFont.setPointSize(14);
  separatorFont.setBold(true);
  separator->setFont(separatorFont);
  auto* sentence = named("Label1");
  auto* updates = named("lblUpdates");
  auto* version = named("Label5");

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(title);
  top->addStretch(1);
  top->addWidget(picture2);
  layout->addLayout(top);
  layout->addWidget(picture1);
  auto* decimal = new QHBoxLayout;
  decimal->addWidget(useLabel);
  decimal->addWidget(separator);
  decimal->addWidget(sentence);
  decimal->addStretch(1);
  layout->addLayout(decimal);
  layout->addWidget(updates);
  layout->addWidget(version);

  useLabel->setText(QStringLiteral("You should use:"));
  sentence->setText(QStringLiteral("as Decimal Separator in Veerline"));
  separator->setText(UserDecimalSeparator());
  updates->setText(QStringLiteral("Check for updates at ") + ProductWebAddress(services));
  const VersionInfo v = ProgramVersion();
  version->setText(QStringLiteral("Version %1  (Build %2)").arg(v.major).arg(v.revision));
  setCursor(Qt::ArrowCursor);

  mTimer.setObjectName(QStringLiteral("Timer1"));
  mTimer.setSingleShot(true);
  mTimer.setInterval(2000);
  connect(&mTimer, &QTimer::timeout, this, &frmSplash::OnTimer);
  mTimer.start();
}

void frmSplash::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!mCentred) {
    mCentred = true;
    CentreOnScreen(this);
  }
}

// The splash closes first, so the prompts of the main window's opening (a
// missing library, for instance) are never hidden behind it.
void frmSplash::OnTimer() {
  close();
  emit mainWindowDue();
}

}  // namespace veerline::ui
