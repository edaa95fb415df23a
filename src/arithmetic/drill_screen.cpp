// SPDX-License-Identifier: GPL-3.0-or-later
#include "arithmetic/drill_screen.h"

#include <QFontMetrics>
#include <QHideEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

#include "app/practice_log.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "controls/flat_speed_button.h"
#include "controls/label_3d.h"
#include "lessons/lesson_frame.h"
#include "platform/random.h"
#include "platform/sound.h"

using drill::Operation;

namespace {

constexpr int kTopBarHeight = frame::kTopBarHeight;
constexpr int kReadOutDelayMs = 300;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);
const QColor kAqua(0, 255, 255);
const TColor kAquaFace = RGBColor(0, 255, 255);
const TColor kOrangeFace = RGBColor(235, 164, 6);
const QColor kBandTop(252, 252, 250);

// The top bar's light band, which sets the title and the two tool buttons off the dark panel.
void PaintTopBand(QPainter& p, const QRect& band) {
  QLinearGradient g(0, band.top(), 0, band.bottom() + 1);
  g.setColorAt(0, kBandTop);
  g.setColorAt(1, QColor(226, 230, 238));
  p.fillRect(band, g);
  // A filled row rather than a drawn line: at a fractional scale a line stops short of the last
  // device pixel and leaves a gap where the bar meets the window's own band.
  p.fillRect(QRect(band.left(), band.bottom(), band.width(), 1), QColor(160, 166, 180));
}

class TopBarWidget : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    PaintTopBand(p, rect());
  }
};

void SetTextColor(QWidget* w, const QColor& color) {
  QPalette pal = w->palette();
  // The same colour in every state: the operation choice waits disabled before the first series,
  // and a darkened green on the black panel is hard for a child to read.
  pal.setColor(QPalette::WindowText, color);
  pal.setColor(QPalette::ButtonText, color);
  w->setPalette(pal);
}

void SetBackground(QWidget* w, const QColor& color) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, color);
  w->setPalette(pal);
  w->setAutoFillBackground(true);
}

// The design puts text by its top edge in 宋体 metrics (ascent 0.86 em); fonts standing in for it
// have a taller ascent, so shift the label to keep the baseline where the design has it.
int DesignBaselineShift(const QFont& font) {
  const int designAscent = qRound(font.pixelSize() * 0.859375);
  return designAscent - QFontMetrics(font).ascent();
}

// A label sized to its text with its left edge and baseline at the design position.
QLabel* MakeLabel(QWidget* parent, const QString& text, int x, int y, int px, const QColor& color) {
  auto* l = new QLabel(text, parent);
  l->setFont(SongFont(px, true));
  SetTextColor(l, color);
  l->adjustSize();
  l->move(x, y + DesignBaselineShift(l->font()));
  return l;
}

// A centred label for a number: a wide box around the design box's centre, so that "10" stays
// centred over its underline just as a single digit does.
QLabel* MakeNumberLabel(QWidget* parent, const QString& text, int x, int y, const QColor& color) {
  constexpr int kDesignWidth = 29;
  constexpr int kWidth = 110;
  auto* l = new QLabel(text, parent);
  l->setFont(SongFont(56, true));
  SetTextColor(l, color);
  l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  const int height = QFontMetrics(l->font()).height();
  l->setGeometry(x + kDesignWidth / 2 - kWidth / 2, y + DesignBaselineShift(l->font()), kWidth,
                 height);
  return l;
}

// The operator sign. Its text stays "+" or "-", but a "-" glyph is a short thin dash beside the
// "+": it is drawn as a bar as wide as the "+" so that a child sees the operation at a glance.
class SignLabel final : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (text() != QLatin1String("-")) return QLabel::paintEvent(event);
    const QFontMetrics metrics(font());
    const QRect cr = contentsRect();
    const int baseline = cr.top() + (cr.height() - metrics.height()) / 2 + metrics.ascent();
    const QRect plus =
        metrics.tightBoundingRect(QStringLiteral("+")).translated(cr.left(), baseline);
    const int thickness = qMax(4, plus.width() / 6);
    QPainter p(this);
    p.fillRect(QRect(plus.left(), plus.center().y() - thickness / 2, plus.width(), thickness),
               palette().color(QPalette::WindowText));
  }
};

TFlatSpeedButton* MakeFlatButton(QWidget* parent, const QString& caption, const QRect& rect,
                                 TColor face) {
  auto* b = new TFlatSpeedButton(parent);
  b->setGeometry(rect);
  b->setCaption(caption);
  b->setColor(face);
  // Only the frame answers the pointer: the face keeps its colour.
  b->setColorFocused(face);
  b->setAllowAllUp(true);
  return b;
}

}  // namespace

TYSMAINForm::TYSMAINForm(QWidget* owner) : TDesignForm(owner, 800, 578) {
  setWindowTitle(QStringLiteral("幼儿算数"));
  setFont(SongFont(12));
  designArea()->setFont(SongFont(12));
  BuildTopBar();
  BuildMainPanel();

  Timer2 = new QTimer(this);
  Timer3 = new QTimer(this);
  for (QTimer* t : {Timer2, Timer3}) {
    t->setInterval(kReadOutDelayMs);
    t->setSingleShot(true);
  }
  connect(Timer2, &QTimer::timeout, this, &TYSMAINForm::Timer2Timer);
  connect(Timer3, &QTimer::timeout, this, &TYSMAINForm::Timer3Timer);
}

void TYSMAINForm::paintEvent(QPaintEvent*) {
  // Maximised, the window is larger than the design area: the bar and the dark panel reach
  // across the whole width, as if they were docked to the window's edges, and the light bar
  // reaches up to the top.
  QPainter p(this);
  const int barTop = designArea()->y();
  p.fillRect(rect(), Qt::black);
  p.fillRect(QRect(0, 0, width(), barTop), kBandTop);
  PaintTopBand(p, QRect(0, barTop, width(), kTopBarHeight));
}

void TYSMAINForm::BuildTopBar() {
  TopBar = new TopBarWidget(designArea());
  TopBar->setGeometry(0, 0, 800, kTopBarHeight);

  Label3D7 = MakeScreenTitle(TopBar, QStringLiteral("幼儿算数"), 100);
  HELPSB = MakeHelpButton(TopBar, 162);
  QuitSb = MakeQuitButton(TopBar);
  connect(HELPSB, &QToolButton::clicked, this, &TYSMAINForm::HELPSBClick);
  connect(QuitSb, &QToolButton::clicked, this, &TYSMAINForm::QuitSbClick);
}

void TYSMAINForm::BuildMainPanel() {
  mianpl = new QWidget(designArea());
  mianpl->setGeometry(0, kTopBarHeight, 800, 578 - kTopBarHeight);
  // The menu-text system colour: black on every usual theme.
  SetBackground(mianpl, Qt::black);

  Label1 = MakeLabel(mianpl, QStringLiteral("你的得分"), 72, 26, 21, kGreen);

  const int boxX[drill::kSeriesLength] = {176, 234, 292, 350, 408};
  for (int i = 0; i < drill::kSeriesLength; ++i) {
    auto* box = new QLabel(mianpl);
    box->setGeometry(boxX[i], 16, 57, 41);
    box->setAlignment(Qt::AlignCenter);
    box->setFont(SongFont(29, true));
    SetBackground(box, kAqua);
    m_resultBoxes[i] = box;
  }
  pl0 = m_resultBoxes[0];
  PL1 = m_resultBoxes[1];
  PL2 = m_resultBoxes[2];
  PL3 = m_resultBoxes[3];
  PL4 = m_resultBoxes[4];

  fENSHULB = MakeLabel(mianpl, m_state.ScoreText(), 504, 26, 21, kRed);

  STARTSB = MakeFlatButton(mianpl, QStringLiteral("开始练习"), QRect(584, 15, 79, 39), kOrangeFace);
  STARTSB->setToolTip(QStringLiteral("快快开始练习吧"));
  connect(STARTSB, &TFlatSpeedButton::clicked, this, &TYSMAINForm::STARTSBClick);

  ADDRB = new QRadioButton(QStringLiteral("+加法运算"), mianpl);
  DELRB = new QRadioButton(QStringLiteral("-减法运算"), mianpl);
  ADDRB->setChecked(true);
  int x = 32;
  for (QRadioButton* rb : {ADDRB, DELRB}) {
    rb->setFont(SongFont(14, true));
    SetTextColor(rb, kGreen);
    rb->setFocusPolicy(Qt::NoFocus);
    rb->adjustSize();
    rb->move(x, 120);
    rb->setEnabled(false);
    x = 160;
  }
  // Only a change of selection starts a new series; clicking the selected one does nothing.
  connect(ADDRB, &QRadioButton::toggled, this, [this](bool on) {
    if (on) ADDRBClick();
  });
  connect(DELRB, &QRadioButton::toggled, this, [this](bool on) {
    if (on) DELRBClick();
  });

  FIRSTLB = MakeNumberLabel(mianpl, QString(), 152, 197, kYellow);
  fhlb = new SignLabel(QStringLiteral("+"), mianpl);
  fhlb->setFont(SongFont(56, true));
  SetTextColor(fhlb, kGreen);
  fhlb->adjustSize();  // the size of "+", kept for "-"
  fhlb->move(248, 205 + DesignBaselineShift(fhlb->font()));
  SECONDLB = MakeNumberLabel(mianpl, QString(), 336, 197, kYellow);
  Label4 = MakeLabel(mianpl, QStringLiteral("="), 435, 205, 56, kGreen);
  ANSWERLB = MakeNumberLabel(mianpl, drill::kOpenAnswer, 541, 199, kRed);
  Label2 = MakeLabel(mianpl, QStringLiteral("_______"), 128, 244, 21, kAqua);
  Label3 = MakeLabel(mianpl, QStringLiteral("_______"), 312, 246, 21, kAqua);
  Label5 = MakeLabel(mianpl, QStringLiteral("_______"), 514, 247, 21, kAqua);

  const int answerX[5] = {192, 252, 312, 372, 432};
  for (int n = 1; n <= 10; ++n) {
    const QRect r(answerX[(n - 1) % 5], n <= 5 ? 327 : 373, 59, 45);
    TFlatSpeedButton* b = MakeFlatButton(mianpl, QString::number(n), r, kAquaFace);
    b->setFont(SongFont(35, true));
    b->setFontColor(RGBColor(255, 0, 0));
    b->setEnabled(false);
    connect(b, &TFlatSpeedButton::clicked, this, [this, n] { SBClick(n); });
    SB[n - 1] = b;
  }

  SHOWSB = MakeFlatButton(mianpl, QStringLiteral("提示答案"), QRect(544, 367, 79, 39), kOrangeFace);
  SHOWSB->setToolTip(QStringLiteral("不会的时候可以提示答案哦，这样才可以进行下一题"));
  SHOWSB->setEnabled(false);
  connect(SHOWSB, &TFlatSpeedButton::clicked, this, &TYSMAINForm::SHOWSBClick);

  NEXTsb = MakeFlatButton(mianpl, QStringLiteral("下一题"), QRect(647, 367, 79, 39), kOrangeFace);
  NEXTsb->setToolTip(QStringLiteral("进行下一题练习"));
  NEXTsb->setEnabled(false);
  connect(NEXTsb, &TFlatSpeedButton::clicked, this, &TYSMAINForm::NEXTsbClick);
}

bool TYSMAINForm::Awaiting() const { return ANSWERLB->text() == drill::kOpenAnswer; }

void TYSMAINForm::STARTSBClick() {
  // Once per opening: the series machinery runs from here until the screen closes.
  STARTSB->setEnabled(false);
  ADDRB->setEnabled(true);
  DELRB->setEnabled(true);
  SHOWSB->setEnabled(true);
  for (TFlatSpeedButton* b : SB) b->setEnabled(true);
  StartSeries(ADDRB->isChecked() ? Operation::Addition : Operation::Subtraction);
}

void TYSMAINForm::ADDRBClick() { StartSeries(Operation::Addition); }
void TYSMAINForm::DELRBClick() { StartSeries(Operation::Subtraction); }

void TYSMAINForm::StartSeries(Operation op) {
  NoteGivenUpSeries();
  m_state.ClearSeries();
  fENSHULB->setText(m_state.ScoreText());
  fENSHULB->adjustSize();
  for (QLabel* box : m_resultBoxes) box->clear();
  ANSWERLB->setText(drill::kOpenAnswer);
  if (op == Operation::Addition)
    MakeAddition();
  else
    MakeSubtraction();
}

void TYSMAINForm::MakeAddition() { ShowExercise(drill::DrawAddition(platform::CurrentRandom())); }

void TYSMAINForm::MakeSubtraction() {
  ShowExercise(drill::DrawSubtraction(platform::CurrentRandom()));
}

void TYSMAINForm::ShowExercise(const drill::Exercise& exercise) {
  const bool addition = exercise.op == Operation::Addition;
  ANSWERLB->setText(drill::kOpenAnswer);
  fhlb->setText(addition ? QStringLiteral("+") : QStringLiteral("-"));
  NEXTsb->setEnabled(false);
  FIRSTLB->setText(QString::number(exercise.FirstNum));
  SECONDLB->setText(QString::number(exercise.SecondNum));
  m_state.SetExercise(exercise);
  // A read-out still pending for the previous exercise would speak the new numbers with the
  // wrong operator word, so only the new exercise's timer may run.
  (addition ? Timer3 : Timer2)->stop();
  (addition ? Timer2 : Timer3)->start();
}

void TYSMAINForm::Timer2Timer() {
  Timer2->stop();
  ReadOut(Operation::Addition);
}

void TYSMAINForm::Timer3Timer() {
  Timer3->stop();
  ReadOut(Operation::Subtraction);
}

void TYSMAINForm::ReadOut(Operation op) {
  for (const drill::ReadOutStep& step :
       drill::ReadOut({op, m_state.FirstNum, m_state.SecondNum, m_state.Answer})) {
    WaitSeconds(step.waitSeconds);
    platform::PlaySound(step.sound);
  }
}

void TYSMAINForm::SBClick(int number) {
  if (!Awaiting()) return;
  m_state.Chosen = number;
  m_state.NoteAnswer(number == m_state.Answer);
  JudgeAnswer(drill::JudgeMode::Given);
}

void TYSMAINForm::SHOWSBClick() {
  if (!Awaiting()) return;
  m_state.Chosen = m_state.Answer;
  m_state.NoteAnswer(false);
  JudgeAnswer(drill::JudgeMode::Revealed);
}

void TYSMAINForm::JudgeAnswer(drill::JudgeMode mode) {
  if (m_state.Chosen != m_state.Answer) {
    platform::PlaySound(drill::kWrongSound);
    return;
  }
  ANSWERLB->setText(QString::number(m_state.Answer));
  platform::PlaySound(drill::NumberSound(m_state.Answer));
  QString mark = drill::kShownMark;
  if (mode == drill::JudgeMode::Given) {
    mark = drill::kRightMark;
    // Show the answer while its number sounds, not only after the blocking pause.
    ANSWERLB->repaint();
    WaitSeconds(3);
    platform::PlaySound(drill::kPraiseSound);
  }
  NEXTsb->setEnabled(true);
  RecordResult(mark);
}

void TYSMAINForm::RecordResult(const QString& mark) {
  const int i = m_state.RecordResult(mark);
  if (i >= 0) {
    QLabel* box = m_resultBoxes[i];
    box->setText(mark);
    SetTextColor(box, mark == drill::kRightMark ? kRed : kGreen);
  }
  fENSHULB->setText(m_state.ScoreText());
  fENSHULB->adjustSize();
  if (m_state.SeriesComplete()) {
    records::NoteDrill(fhlb->text(), m_resultBoxes, m_state.Score,
                       m_state.SeriesFirstAnswers());
    m_state.FirstAnswers.clear();
  }
}

// A series left for the other operation or by leaving the screen still tells the record what the
// child answered in it. A finished series was noted when its fifth result came.
void TYSMAINForm::NoteGivenUpSeries() {
  if (m_state.SeriesComplete()) return;
  const QStringList firstAnswers = m_state.SeriesFirstAnswers();
  if (firstAnswers.isEmpty()) return;
  records::NoteDrill(m_state.Op == Operation::Addition ? QStringLiteral("+") : QStringLiteral("-"),
                     m_resultBoxes, m_state.Score, firstAnswers);
  m_state.FirstAnswers.clear();
  m_state.First = drill::FirstAnswer::None;
}

void TYSMAINForm::hideEvent(QHideEvent* event) {
  if (!event->spontaneous()) NoteGivenUpSeries();
  TDesignForm::hideEvent(event);
}

TYSMAINForm::~TYSMAINForm() { NoteGivenUpSeries(); }

void TYSMAINForm::NEXTsbClick() {
  const Operation op = ADDRB->isChecked() ? Operation::Addition : Operation::Subtraction;
  if (m_state.SeriesComplete())
    StartSeries(op);
  else if (op == Operation::Addition)
    MakeAddition();
  else
    MakeSubtraction();
}

void TYSMAINForm::HELPSBClick() { ShowScreen(QStringLiteral("TYSMYHLPForm"), this); }

void TYSMAINForm::QuitSbClick() { close(); }
