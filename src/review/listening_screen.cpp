// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/listening_screen.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QTimer>
#include <QToolButton>
#include <QtMath>

#include "app/current_child.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "controls/flat_speed_button.h"
#include "controls/label_3d.h"
#include "data/data_module.h"
#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "lessons/lesson_frame.h"
#include "platform/clock.h"
#include "platform/logging.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "review/review_store.h"

using namespace review;

namespace {

constexpr int kDesignHeight = 578;
constexpr int kCardWidth = 150;
constexpr int kCardHeight = 170;
constexpr int kCardTop = 190;
constexpr int kAfterRightMs = 1600;
constexpr int kAfterMissMs = 2600;
constexpr int kSayAgainMs = 900;
const QString kPraiseSound = QStringLiteral("CM.wav");
const QString kWrongSound = QStringLiteral("cuo.wav");
const QColor kBody(20, 24, 48);
const QColor kCardFace(255, 250, 232);
const QColor kCardEdge(214, 168, 64);
const QColor kGlow(255, 214, 64);
const QColor kInk(214, 24, 24);
const QColor kStarGold(255, 200, 40);

void SetTextColor(QWidget* w, const QColor& color) {
  QPalette pal = w->palette();
  pal.setColor(QPalette::WindowText, color);
  w->setPalette(pal);
}

QLabel* CentredLabel(QWidget* parent, int px, const QColor& color, const QRect& at) {
  auto* l = new QLabel(parent);
  l->setFont(SongFont(px, true));
  SetTextColor(l, color);
  l->setAlignment(Qt::AlignCenter);
  l->setGeometry(at);
  l->setWordWrap(true);
  return l;
}

TFlatSpeedButton* BigButton(QWidget* parent, const QString& caption, const QRect& at,
                            TColor face) {
  auto* b = new TFlatSpeedButton(parent);
  b->setGeometry(at);
  b->setCaption(caption);
  b->setFont(SongFont(22, true));
  b->setColor(face);
  b->setColorFocused(face);
  b->setAllowAllUp(true);
  b->setCursor(Qt::PointingHandCursor);
  return b;
}

QPainterPath StarPath(const QRectF& box) {
  QPainterPath path;
  const QPointF c = box.center();
  const double outer = box.width() / 2, inner = outer * 0.45;
  for (int i = 0; i < 10; ++i) {
    const double angle = -M_PI / 2 + i * M_PI / 5;
    const double r = i % 2 ? inner : outer;
    const QPointF p(c.x() + r * std::cos(angle), c.y() + r * std::sin(angle) + outer * 0.08);
    i == 0 ? path.moveTo(p) : path.lineTo(p);
  }
  path.closeSubpath();
  return path;
}

const char* const kPraise[] = {"真棒！找对了！", "太好了！", "对啦，你真厉害！", "好耳朵！"};

}  // namespace

// --- card ------------------------------------------------------------------------------------

TGameCard::TGameCard(QWidget* parent) : QWidget(parent), m_pulse(new QTimer(this)) {
  setCursor(Qt::PointingHandCursor);
  m_pulse->setInterval(120);
  connect(m_pulse, &QTimer::timeout, this, [this] {
    ++m_phase;
    update();
  });
}

void TGameCard::SetText(const QString& text) {
  m_text = text;
  update();
}

void TGameCard::SetLook(Look look) {
  m_look = look;
  m_phase = 0;
  if (look == Look::Pulsing) m_pulse->start();
  else m_pulse->stop();
  setCursor(look == Look::Plain ? Qt::PointingHandCursor : Qt::ArrowCursor);
  update();
}

void TGameCard::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box = QRectF(rect()).adjusted(10, 10, -10, -10);
  if (m_look == Look::Faded) p.setOpacity(0.28);
  // The glow: a few widening golden rings, brighter for a right card, beating for the one missed.
  double glow = 0;
  if (m_look == Look::Glowing) glow = 1;
  if (m_look == Look::Pulsing) glow = 0.5 + 0.5 * std::sin(m_phase * 0.55);
  for (int ring = 5; ring >= 1 && glow > 0; --ring) {
    QColor c = kGlow;
    c.setAlphaF(glow * 0.16 * (6 - ring) / 5.0);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawRoundedRect(box.adjusted(-2 * ring, -2 * ring, 2 * ring, 2 * ring), 18 + ring, 18 + ring);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 90));
  p.drawRoundedRect(box.translated(3, 4), 16, 16);
  QLinearGradient face(box.topLeft(), box.bottomLeft());
  face.setColorAt(0, m_hover && m_look == Look::Plain ? QColor(255, 255, 246) : kCardFace);
  face.setColorAt(1, QColor(246, 230, 190));
  p.setBrush(face);
  p.setPen(QPen(glow > 0 ? kGlow : kCardEdge, glow > 0 ? 5 : 3));
  p.drawRoundedRect(box, 16, 16);
  // The character as large as the card allows, a word in two smaller ones.
  QFont font = SongFont(m_text.size() > 1 ? 64 : 104, true);
  const QFontMetrics metrics(font);
  if (metrics.horizontalAdvance(m_text) > box.width() - 16)
    font.setPixelSize(int(font.pixelSize() * (box.width() - 16) /
                          qMax(1, metrics.horizontalAdvance(m_text))));
  p.setFont(font);
  p.setPen(kInk);
  p.drawText(box, Qt::AlignCenter, m_text);
}

void TGameCard::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      m_look == Look::Plain)
    Q_EMIT picked(m_text);
}

void TGameCard::enterEvent(QEnterEvent*) {
  m_hover = true;
  update();
}

void TGameCard::leaveEvent(QEvent*) {
  m_hover = false;
  update();
}

// --- stars -----------------------------------------------------------------------------------

TStarRow::TStarRow(QWidget* parent, int starSize) : QWidget(parent), m_size(starSize) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TStarRow::SetStars(int lit, int total) {
  m_lit = lit;
  m_total = total;
  update();
}

void TStarRow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int gap = m_size / 4;
  const int width = m_total * m_size + (m_total - 1) * gap;
  int x = (this->width() - width) / 2;
  for (int i = 0; i < m_total; ++i, x += m_size + gap) {
    const QPainterPath star = StarPath(QRectF(x, (height() - m_size) / 2.0, m_size, m_size));
    p.setPen(QPen(i < m_lit ? QColor(200, 120, 0) : QColor(120, 126, 160), 2));
    p.setBrush(i < m_lit ? kStarGold : QColor(60, 66, 100));
    p.drawPath(star);
  }
}

// --- screen ----------------------------------------------------------------------------------

TtyzmainForm::TtyzmainForm(QWidget* owner) : TDesignForm(owner, 800, kDesignHeight) {
  setWindowTitle(QStringLiteral("听音找字"));
  setFont(SongFont(12));
  designArea()->setFont(SongFont(12));
  BuildTopBar();
  BuildPlayPanel();
  BuildSummaryPanel();
  StatusBar = new TLessonStatusBar(designArea());
  StatusBar->setGeometry(0, kDesignHeight - frame::kStatusBarHeight, 800, frame::kStatusBarHeight);

  ClockTimer = new QTimer(this);
  ClockTimer->setInterval(1000);
  connect(ClockTimer, &QTimer::timeout, this, [this] { StatusBar->Update(m_statusChapter); });
  ClockTimer->start();
  NextTimer = new QTimer(this);
  NextTimer->setSingleShot(true);
  connect(NextTimer, &QTimer::timeout, this, &TtyzmainForm::NextRound);
  RepeatTimer = new QTimer(this);
  RepeatTimer->setSingleShot(true);
  RepeatTimer->setInterval(kSayAgainMs);
  connect(RepeatTimer, &QTimer::timeout, this, &TtyzmainForm::SayItem);
  // Started once the window is up, so that the first sound does not play over an empty screen.
  QTimer::singleShot(0, this, &TtyzmainForm::StartGame);
}

void TtyzmainForm::paintEvent(QPaintEvent*) {
  QPainter(this).fillRect(rect(), kBody);
}

void TtyzmainForm::resizeEvent(QResizeEvent* event) {
  designArea()->setFixedSize(event->size().expandedTo(QSize(800, kDesignHeight)));
  TDesignForm::resizeEvent(event);
  const QSize size = designArea()->size();
  TopBar->setGeometry(0, 0, size.width(), frame::kTopBarHeight);
  KeepQuitInCorner(QuitSb, size.width());
  StatusBar->setGeometry(0, size.height() - frame::kStatusBarHeight, size.width(),
                         frame::kStatusBarHeight);
  const int body = size.height() - frame::kTopBarHeight - frame::kStatusBarHeight;
  playPanel->move((size.width() - playPanel->width()) / 2,
                  frame::kTopBarHeight + (body - playPanel->height()) / 2);
}

void TtyzmainForm::BuildTopBar() {
  TopBar = new QWidget(designArea());
  TopBar->setObjectName(QStringLiteral("topBar"));
  TopBar->setGeometry(0, 0, 800, frame::kTopBarHeight);
  QLinearGradient sky(0, 0, 0, frame::kTopBarHeight);
  sky.setColorAt(0, QColor(250, 253, 255));
  sky.setColorAt(1, QColor(186, 218, 250));
  FillBackground(TopBar, sky);
  Label3D7 = MakeScreenTitle(TopBar, QStringLiteral("听音找字"), 130);
  HELPSB = MakeHelpButton(TopBar, 172);
  QuitSb = MakeQuitButton(TopBar);
  connect(HELPSB, &QToolButton::clicked, this,
          [this] { ShowScreen(QStringLiteral("TtyzMYHLPForm"), this); });
  connect(QuitSb, &QToolButton::clicked, this, &QWidget::close);
}

void TtyzmainForm::BuildPlayPanel() {
  const int bodyHeight = kDesignHeight - frame::kTopBarHeight - frame::kStatusBarHeight;
  playPanel = new QWidget(designArea());
  playPanel->setGeometry(0, frame::kTopBarHeight, 800, bodyHeight);
  FillBackground(playPanel, kBody);

  RoundLb = CentredLabel(playPanel, 20, QColor(170, 200, 255), QRect(24, 18, 200, 36));
  RoundLb->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Stars = new TStarRow(playPanel, 34);
  Stars->setGeometry(250, 14, 300, 44);

  AgainSb = BigButton(playPanel, QStringLiteral("再听一遍"), QRect(300, 76, 200, 62),
                      RGBColor(255, 210, 83));
  AgainSb->setGlyph(QPixmap(QStringLiteral(":/images/charscreen_speaker.png")));
  AgainSb->setLayout(blGlyphLeft);
  AgainSb->setToolTip(QStringLiteral("再听一遍这个字"));
  connect(AgainSb, &TFlatSpeedButton::clicked, this, &TtyzmainForm::SayItem);

  for (int i = 0; i < 4; ++i) {
    auto* card = new TGameCard(playPanel);
    card->setObjectName(QStringLiteral("Card%1").arg(i + 1));
    card->resize(kCardWidth + 20, kCardHeight + 20);
    connect(card, &TGameCard::picked, this, &TtyzmainForm::CardPicked);
    Cards << card;
  }
  PraiseLb = CentredLabel(playPanel, 28, kGlow, QRect(100, 388, 600, 50));
  EmptyLb = CentredLabel(playPanel, 24, QColor(235, 240, 255), QRect(80, 150, 640, 160));
  EmptyLb->hide();
}

void TtyzmainForm::BuildSummaryPanel() {
  summaryPanel = new QWidget(playPanel);
  summaryPanel->setGeometry(0, 0, playPanel->width(), playPanel->height());
  FillBackground(summaryPanel, kBody);
  SummaryLb = CentredLabel(summaryPanel, 34, kGlow, QRect(100, 40, 600, 60));
  SummaryStars = new TStarRow(summaryPanel, 70);
  SummaryStars->setGeometry(100, 120, 600, 100);
  SaveNoticeLb = CentredLabel(summaryPanel, 15, QColor(255, 170, 150), QRect(60, 236, 680, 60));
  ReplaySb = BigButton(summaryPanel, QStringLiteral("再玩一次"), QRect(206, 310, 180, 70),
                       RGBColor(120, 220, 120));
  BackSb = BigButton(summaryPanel, QStringLiteral("返回"), QRect(414, 310, 180, 70),
                     RGBColor(255, 190, 110));
  connect(ReplaySb, &TFlatSpeedButton::clicked, this, &TtyzmainForm::StartGame);
  connect(BackSb, &TFlatSpeedButton::clicked, this, &QWidget::close);
  summaryPanel->hide();
}

void TtyzmainForm::StartGame() {
  NextTimer->stop();
  RepeatTimer->stop();
  summaryPanel->hide();
  m_saveError.clear();
  m_items.clear();
  m_game.reset();
  m_today = int(platform::CurrentClock().Now().date().toJulianDay());
  m_child = CurrentChildId();
  QString error;
  GameSelection selection;
  const bool ok = dm && ChooseForChild(dm->ConnectionName(), m_child, m_today, m_scheduler,
                                       &selection, &error);
  if (!ok) qCWarning(lcDb) << "listening game:" << error;
  m_chapters = selection.chapters;
  m_chapterItems.clear();
  m_chapterUnread = false;
  m_cards = selection.cards;
  // A round with no other reading to choose from is no question: it is not played, graded or
  // counted (the parent learns why from the children's window).
  QStringList withoutChoice;
  for (const ItemRow& r : selection.rows) {
    const int chapter = int(m_chapters.indexOf(r.chapter));
    const GameItem item = MakeGameItem(r.name, qMax(0, chapter), r.text);
    if (SoundsBeside(CardPool(item), item) == 0) {
      withoutChoice << r.name;
      continue;
    }
    m_items.append({r.name, r.chapter, r.text, r.sound, chapter});
  }
  // Items left out because a chapter could not be read are no homophones.
  const bool read = ok && !m_chapterUnread;
  const bool empty = m_items.isEmpty();
  EmptyLb->setVisible(empty);
  for (QWidget* w : {static_cast<QWidget*>(AgainSb), static_cast<QWidget*>(Stars),
                     static_cast<QWidget*>(RoundLb), static_cast<QWidget*>(PraiseLb)})
    w->setVisible(!empty);
  if (empty) {
    for (TGameCard* card : Cards) card->hide();
    EmptyLb->setText(
        !read ? QStringLiteral("读不到课程内容，现在不能玩。\n请家长检查数据库连接后再试。")
        : withoutChoice.size() > 1
            ? QStringLiteral("这几个字听起来都一样，没法比一比，今天先不玩了。\n"
                             "请爸爸妈妈在课程里加几个读音不一样的字吧！")
        : !withoutChoice.isEmpty()
            ? QStringLiteral("能拿来比一比的字太少了，今天先不玩了。\n"
                             "请爸爸妈妈在课程里多加几个字吧！")
            : QStringLiteral("还没有可以玩的字。\n请先在“幼儿识字”里学几个字，再来玩吧！"));
    StatusBar->Update(m_statusChapter = QString());
    return;
  }
  QStringList names;
  for (const Item& item : m_items) names << item.name;
  m_game = std::make_unique<ListeningGame>(names, m_streak);
  ShowRound();
}

const QList<GameItem>& TtyzmainForm::ChapterItems(int chapter) {
  const auto found = m_chapterItems.constFind(chapter);
  if (found != m_chapterItems.cend()) return *found;
  QList<GameItem>& items = m_chapterItems[chapter];
  QStringList names, texts;
  QString error;
  if (!review::LoadChapterItems(dm->ConnectionName(), m_chapters.value(chapter), &names, &error,
                                &texts)) {
    qCWarning(lcDb) << "listening game: chapter not read:" << error;
    m_chapterUnread = true;
  }
  for (int i = 0; i < names.size(); ++i) items.append(MakeGameItem(names[i], chapter, texts.value(i)));
  return items;
}

QList<GameItem> TtyzmainForm::CardPool(const GameItem& target) {
  // The target's chapter back towards the first, enough to choose from; later chapters only when
  // those give no choice of kFewestCards.
  QList<GameItem> pool;
  for (int ch = target.chapter; ch >= 0; --ch) {
    if (pool.size() >= 40 && SoundsBeside(pool, target) >= kFewestCards - 1) break;
    pool += ChapterItems(ch);
  }
  for (int ch = target.chapter + 1;
       ch < m_chapters.size() && SoundsBeside(pool, target) < kFewestCards - 1; ++ch)
    pool += ChapterItems(ch);
  return pool;
}

void TtyzmainForm::ShowRound() {
  const Item& target = m_items[m_game->Round()];
  const GameItem called = MakeGameItem(target.name, qMax(0, target.chapterIndex), target.text);
  const QStringList others =
      ChooseDistractors(CardPool(called), called, m_game->CardCount() - 1,
                        [](int n) { return platform::CurrentRandom().Below(n); });
  QStringList shown = others;
  shown.insert(platform::CurrentRandom().Below(int(others.size()) + 1), target.name);
  const int n = int(shown.size());
  const int gap = n == 4 ? 26 : 44;
  const int total = n * kCardWidth + (n - 1) * gap;
  for (int i = 0; i < Cards.size(); ++i) {
    TGameCard* card = Cards[i];
    card->setVisible(i < n);
    if (i >= n) continue;
    card->SetText(shown[i]);
    card->SetLook(TGameCard::Look::Plain);
    card->move((800 - total) / 2 + i * (kCardWidth + gap) - 10, kCardTop - 10);
  }
  RoundLb->setText(QStringLiteral("第 %1 题（共 %2 题）").arg(m_game->Round() + 1).arg(m_game->Rounds()));
  Stars->SetStars(m_game->Stars(), m_game->Rounds());
  PraiseLb->setText(QStringLiteral("听一听，是哪个字？"));
  SetTextColor(PraiseLb, QColor(200, 215, 255));
  StatusBar->Update(m_statusChapter = target.chapter);
  SayItem();
}

QString TtyzmainForm::SoundPath(const Item& item) {
  return CharacterSoundFile(dm->ConnectionName(), item.name, item.text, item.sound);
}

void TtyzmainForm::SayItem() {
  if (!m_game || m_game->Finished()) return;
  platform::PlaySound(SoundPath(m_items[m_game->Round()]));
}

void TtyzmainForm::CardPicked(const QString& text) {
  if (!m_game || m_game->RoundOver() || m_game->Finished()) return;
  TGameCard* picked = nullptr;
  TGameCard* right = nullptr;
  for (TGameCard* card : Cards) {
    if (!card->isHidden() && card->Text() == text) picked = card;
    if (!card->isHidden() && card->Text() == m_game->Target()) right = card;
  }
  // A card already faded stays out of the game.
  if (!picked || picked->CurrentLook() != TGameCard::Look::Plain) return;
  RepeatTimer->stop();
  const ListeningGame::Answer answer = m_game->Pick(text);
  switch (answer) {
    case ListeningGame::Answer::Right:
      picked->SetLook(TGameCard::Look::Glowing);
      PraiseLb->setText(QString::fromUtf8(kPraise[platform::CurrentRandom().Below(4)]));
      SetTextColor(PraiseLb, kGlow);
      Stars->SetStars(m_game->Stars(), m_game->Rounds());
      platform::PlaySound(kPraiseSound);
      SaveRound();
      NextTimer->start(kAfterRightMs);
      break;
    case ListeningGame::Answer::TryAgain:
      picked->SetLook(TGameCard::Look::Faded);
      PraiseLb->setText(QStringLiteral("不是这个，再听一听"));
      SetTextColor(PraiseLb, QColor(255, 190, 150));
      platform::PlaySound(kWrongSound);
      RepeatTimer->start();
      break;
    case ListeningGame::Answer::Missed:
      picked->SetLook(TGameCard::Look::Faded);
      if (right) right->SetLook(TGameCard::Look::Pulsing);
      PraiseLb->setText(QStringLiteral("是这个字，记住它哦"));
      SetTextColor(PraiseLb, QColor(255, 190, 150));
      RepeatTimer->start();
      SaveRound();
      NextTimer->start(kAfterMissMs);
      break;
  }
}

void TtyzmainForm::SaveRound() {
  const QString item = m_game->Target();
  const Card before = m_cards.value(item);
  const Card after = m_scheduler.Review(before, m_today, m_game->RoundGrade());
  QString error;
  // A row is only inserted on the item's first review, which is today's.
  if (!review::SaveCard(dm->ConnectionName(), m_child, item, after, m_today,
                        &error)) {
    qCWarning(lcDb) << "review of" << item << "not stored:" << error;
    m_saveError = error;
  }
  m_cards.insert(item, after);
  m_streak = m_game->Streak();
}

void TtyzmainForm::NextRound() {
  if (!m_game) return;
  RepeatTimer->stop();
  m_game->NextRound();
  if (m_game->Finished()) ShowSummary();
  else ShowRound();
}

void TtyzmainForm::ShowSummary() {
  const int stars = m_game->Stars();
  SummaryLb->setText(stars == m_game->Rounds() ? QStringLiteral("全对了，太棒了！")
                     : stars > 0               ? QStringLiteral("你得到了 %1 颗星星！").arg(stars)
                                               : QStringLiteral("没关系，再玩一次吧！"));
  SummaryStars->SetStars(stars, m_game->Rounds());
  SaveNoticeLb->setText(
      m_saveError.isEmpty()
          ? QString()
          : QStringLiteral("（给家长）这次的成绩没能记下来：数据库没有接受。请检查数据库连接。"));
  summaryPanel->show();
  summaryPanel->raise();
  if (stars > 0) platform::PlaySound(kPraiseSound);
}
