#include "ui/PlaybackBar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <cmath>

#include "paint/ReportSheet.h"

namespace veerline::ui {
namespace {

constexpr int kFrameMilliseconds = 16;

QToolButton* Button(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                    const QString& tip) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setIcon(parent->style()->standardIcon(icon));
  button->setToolTip(tip);
  // The keys belong to the window (Space plays); a button never takes them.
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

}  // namespace

PlaybackBar::PlaybackBar(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PlaybackBar"));
  // The controls above, the readouts below at the bar's whole width, so that a
  // narrow drawing window still shows every reading.
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(4, 2, 4, 2);
  rows->setSpacing(1);
  auto* row = new QHBoxLayout;
  rows->addLayout(row);
  mBack = Button(this, "PlaybackBack", QStyle::SP_MediaSeekBackward, tr("Step back (Left)"));
  mPlay = Button(this, "PlaybackPlay", QStyle::SP_MediaPlay, tr("Play or pause (Space)"));
  mForward = Button(this, "PlaybackForward", QStyle::SP_MediaSeekForward, tr("Step on (Right)"));
  mSlider = new QSlider(Qt::Horizontal, this);
  mSlider->setObjectName(QStringLiteral("PlaybackSlider"));
  mSlider->setFocusPolicy(Qt::NoFocus);
  mSlider->setMinimumWidth(160);
  mSpeed = new QComboBox(this);
  mSpeed->setObjectName(QStringLiteral("PlaybackSpeed"));
  mSpeed->setFocusPolicy(Qt::NoFocus);
  mSpeed->addItem(tr("Real time"), 1.0);
  mSpeed->addItem(QStringLiteral("×2"), 2.0);
  mSpeed->addItem(QStringLiteral("×5"), 5.0);
  mSpeed->addItem(QStringLiteral("×10"), 10.0);
  mSpeed->setToolTip(tr("Playback speed: the run's speed in real time, or faster"));
  mReadout = new QLabel(this);
  mReadout->setObjectName(QStringLiteral("PlaybackReadout"));
  mReadout->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A long readout does not widen the window; its tooltip gives it whole.
  mReadout->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  row->addWidget(mBack);
  row->addWidget(mPlay);
  row->addWidget(mForward);
  row->addWidget(mSlider, 1);
  row->addWidget(mSpeed);
  rows->addWidget(mReadout);

  mTimer.setInterval(kFrameMilliseconds);
  mTimer.setTimerType(Qt::PreciseTimer);
  connect(&mTimer, &QTimer::timeout, this, &PlaybackBar::Tick);
  connect(mPlay, &QToolButton::clicked, this, &PlaybackBar::TogglePlay);
  connect(mBack, &QToolButton::clicked, this, [this] { Step(-1); });
  connect(mForward, &QToolButton::clicked, this, [this] { Step(1); });
  connect(mSlider, &QSlider::valueChanged, this, [this](int value) {
    if (static_cast<std::size_t>(value) == mPose) return;
    mPosition = value;
    Show(static_cast<std::size_t>(value));
  });
  ClearRun();
}

void PlaybackBar::SetRun(std::shared_ptr<const RunResultModel> model, double metresPerSecond,
                         std::function<NumberSymbols()> symbols) {
  Pause();
  mModel = std::move(model);
  mSymbols = std::move(symbols);
  const double metresPerStation =
      mModel ? mModel->calculationStep * (mModel->metresPerUnit > 0 ? mModel->metresPerUnit : 1) : 1;
  // A run checked at no speed plays at 10 km/h.
  const double speed = metresPerSecond > 0 ? metresPerSecond : 10 / 3.6;
  mStationsPerSecond = metresPerStation > 0 ? speed / metresPerStation : 1;
  const bool any = HasRun();
  for (QWidget* w : std::initializer_list<QWidget*>{mBack, mPlay, mForward, mSlider, mSpeed})
    w->setEnabled(any);
  mSlider->blockSignals(true);
  mSlider->setRange(0, any ? static_cast<int>(mModel->poses.size()) - 1 : 0);
  mSlider->blockSignals(false);
  setVisible(any);
  mPosition = 0;
  Show(0);
}

void PlaybackBar::ClearRun() { SetRun(nullptr, 0, {}); }

double PlaybackBar::Station() const { return mModel ? mModel->StationDistance(mPose) : 0; }

bool PlaybackBar::AtStop() const { return HasRun() && paint::PoseIsStop(*mModel, mPose); }

double PlaybackBar::Rate() const { return mSpeed->currentData().toDouble(); }

void PlaybackBar::TogglePlay() {
  if (!HasRun()) return;
  if (Playing()) {
    Pause();
    return;
  }
  // Played to the end: play again from the start.
  if (mPose + 1 >= mModel->poses.size()) {
    mPosition = 0;
    Show(0);
  }
  mClock.start();
  mTimer.start();
  mPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
}

void PlaybackBar::Pause() {
  mTimer.stop();
  if (mPlay != nullptr) mPlay->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
}

void PlaybackBar::Step(int poses) {
  if (!HasRun()) return;
  Pause();
  const long long target = static_cast<long long>(mPose) + poses;
  JumpTo(static_cast<std::size_t>(std::max(0LL, target)));
}

void PlaybackBar::JumpTo(std::size_t pose) {
  if (!HasRun()) return;
  pose = std::min(pose, mModel->poses.size() - 1);
  mPosition = static_cast<double>(pose);
  Show(pose);
}

void PlaybackBar::JumpToEnd() {
  if (HasRun()) JumpTo(mModel->poses.size() - 1);
}

// Moves on by the time played since the last frame, so the vehicle keeps
// the run's speed however often frames come.
void PlaybackBar::Tick() {
  if (!HasRun()) return Pause();
  const double seconds = static_cast<double>(mClock.restart()) / 1000;
  mPosition += seconds * mStationsPerSecond * Rate();
  const double last = static_cast<double>(mModel->poses.size() - 1);
  if (mPosition >= last) {
    mPosition = last;
    Pause();
  }
  const auto pose = static_cast<std::size_t>(std::floor(mPosition));
  if (pose != mPose) Show(pose);
}

void PlaybackBar::Show(std::size_t pose) {
  mPose = pose;
  mSlider->blockSignals(true);
  mSlider->setValue(static_cast<int>(pose));
  mSlider->blockSignals(false);
  UpdateReadout();
  emit poseChanged(pose);
}

QString PlaybackBar::ReadoutText() const { return mReadout->text(); }

void PlaybackBar::UpdateReadout() {
  if (!HasRun()) {
    mReadout->clear();
    return;
  }
  const QString text = paint::StationReadout(
      *mModel, mPose, mSymbols ? mSymbols() : NumberSymbols::PointDecimal());
  mReadout->setText(text);
  mReadout->setToolTip(text);
}

}  // namespace veerline::ui
