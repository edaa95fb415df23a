// SPDX-License-Identifier: GPL-3.0-or-later
#include "review/today_window.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QSettings>

#include "app/current_child.h"
#include "app/pictures.h"
#include "app/prompt_player.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "controls/flat_speed_button.h"
#include "data/data_module.h"
#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "data/path_store.h"
#include "platform/clock.h"
#include "platform/dataset.h"
#include "platform/logging.h"
#include "platform/sound.h"
#include "review/listening_screen.h"
#include "review/review_store.h"
#include "writing/writing_screen.h"

using review::PathStep;
using review::StepKind;

namespace {

constexpr int kPictureWidth = 132;
constexpr int kPictureHeight = 150;

TTodayForm::StepRunner& Runner() {
  static TTodayForm::StepRunner runner;
  return runner;
}

QString StepPicture(StepKind kind) {
  switch (kind) {
    case StepKind::NewCharacters: return QStringLiteral(":/images/menu_characters.png");
    case StepKind::Listening: return QStringLiteral(":/images/menu_listening.png");
    case StepKind::Writing: return QStringLiteral(":/images/menu_writing.png");
    case StepKind::Reviews: return QStringLiteral(":/images/menu_records.png");
    case StepKind::PoemLine: return QStringLiteral(":/images/menu_poems.png");
  }
  return {};
}

// What the child hears when a step comes up.
QString StepPrompt(StepKind kind) {
  switch (kind) {
    case StepKind::NewCharacters: return QStringLiteral("认一认新字");
    case StepKind::Listening: return QStringLiteral("听一听，找一找");
    case StepKind::Writing: return QStringLiteral("写一个字");
    case StepKind::Reviews: return QStringLiteral("复习学过的字");
    case StepKind::PoemLine: return QStringLiteral("念一句诗");
  }
  return {};
}

TFlatSpeedButton* BigButton(QWidget* parent, const QString& caption, const QRect& at, TColor face) {
  auto* b = new TFlatSpeedButton(parent);
  b->setGeometry(at);
  b->setCaption(caption);
  b->setFont(SongFont(26, true));
  b->setColor(face);
  b->setColorFocused(face);
  b->setAllowAllUp(true);
  b->setCursor(Qt::PointingHandCursor);
  return b;
}

}  // namespace

bool review::LoadPathInput(const QString& connection, int child, int today, PathCourse* course,
                           PathChild* pathChild, QString* error) {
  *course = {};
  *pathChild = {};
  QStringList items;
  QList<int> chapterOf;
  if (!LoadCourseItems(connection, &course->chapters, &items, &chapterOf, error)) return false;
  for (int i = 0; i < course->chapters.size(); ++i) course->chapterItems.append(QStringList());
  for (int i = 0; i < items.size(); ++i) course->chapterItems[chapterOf.value(i)] << items[i];
  const LessonKind& poems = Kind(LessonKindId::Poem);
  QVector<QVector<QVariant>> rows;
  if (!platform::ExecQuery(connection,
                           QStringLiteral("select %1, %2 from %3 order by %4")
                               .arg(poems.nameField, poems.textField, poems.itemTable,
                                    poems.numberField),
                           {}, &rows, error))
    return false;
  for (const QVector<QVariant>& r : rows) {
    QStringList lines;
    for (const QString& line : r.value(1).toString().split(QLatin1Char('\n')))
      if (!line.trimmed().isEmpty()) lines << line.trimmed();
    course->poemTitles << r.value(0).toString().trimmed();
    course->poemLines << lines;
  }
  ChildCards cards;
  if (!LoadChildCards(connection, child, today, &cards, nullptr, error)) return false;
  for (auto it = cards.cbegin(); it != cards.cend(); ++it) {
    // Met first today, by today's path most likely: still today's new character, so the path
    // stays the same all day instead of bringing more new ones each time it opens.
    if (it.value().reps <= 1 && it.value().lastReview == today) continue;
    pathChild->met.insert(it.key());
    if (it.value().lastReview > 0 && it.value().due <= today) pathChild->due << it.key();
  }
  paths::Level level;
  if (!paths::LoadLevel(connection, child, &level, error)) return false;
  pathChild->startChapter = level.startChapter;
  pathChild->newPerDay = level.newPerDay;
  return true;
}

TStepPicture::TStepPicture(QWidget* parent, StepKind kind) : QWidget(parent), m_kind(kind) {
  resize(kPictureWidth, kPictureHeight);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TStepPicture::SetState(State state) {
  m_state = state;
  update();
}

void TStepPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box = QRectF(rect()).adjusted(4, 4, -4, -4);
  const bool now = m_state == State::Now;
  p.setPen(QPen(now ? QColor(255, 140, 0) : QColor(200, 170, 90), now ? 5 : 2));
  p.setBrush(m_state == State::Waiting ? QColor(255, 252, 235) : QColor(255, 255, 255));
  p.drawRoundedRect(box, 18, 18);
  // The menu's pictures are small: drawn larger, smoothly.
  const QIcon icon = PictureIcon(StepPicture(m_kind));
  const QSize largest = icon.availableSizes().isEmpty() ? QSize(64, 64)
                                                        : icon.availableSizes().constLast();
  const QPixmap picture = icon.pixmap(largest);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.setOpacity(m_state == State::Waiting ? 0.45 : 1.0);
  p.drawPixmap(QRectF((width() - 76) / 2.0, 16, 76, 76), picture, QRectF(picture.rect()));
  p.setOpacity(1.0);
  p.setFont(SongFont(20, true));
  p.setPen(m_state == State::Waiting ? QColor(150, 130, 100) : QColor(60, 40, 0));
  p.drawText(QRectF(0, 98, width(), 40), Qt::AlignCenter, review::StepTitle(m_kind));
  if (m_state == State::Done) {
    // The tick, green in a white ring at the top right.
    const QRectF badge(width() - 50, 0, 46, 46);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(QColor(60, 175, 70));
    p.drawEllipse(badge);
    QPainterPath tick;
    tick.moveTo(badge.left() + 11, badge.center().y() + 1);
    tick.lineTo(badge.left() + 20, badge.bottom() - 12);
    tick.lineTo(badge.right() - 10, badge.top() + 13);
    p.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  }
}

void TTodayForm::SetStepRunner(StepRunner runner) { Runner() = std::move(runner); }

TTodayForm::TTodayForm(QWidget* owner) : TDesignForm(owner, 800, 578) {
  setObjectName(QStringLiteral("TTodayForm"));
  setWindowTitle(QStringLiteral("今天的学习"));
  setStyleSheet(QStringLiteral("TTodayForm { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
                               " stop:0 #ffffff, stop:0.5 #fffacd, stop:1 #ffe146); }"));
  QWidget* a = designArea();
  TitleLb = new QLabel(QStringLiteral("今天的学习"), a);
  TitleLb->setFont(SongFont(34, true));
  TitleLb->setStyleSheet(QStringLiteral("color: rgb(220, 60, 0);"));
  TitleLb->setAlignment(Qt::AlignCenter);
  TitleLb->setGeometry(150, 14, 500, 56);
  ChildLb = new QLabel(a);
  ChildLb->setObjectName(QStringLiteral("ChildLb"));
  ChildLb->setFont(SongFont(18, true));
  ChildLb->setStyleSheet(QStringLiteral("color: rgb(150, 60, 0);"));
  ChildLb->setGeometry(620, 18, 120, 56);
  ChildLb->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  ChildPictureLb = new QLabel(a);
  ChildPictureLb->setGeometry(744, 18, 52, 52);

  StagePanel = new QWidget(a);
  StagePanel->setGeometry(100, 262, 600, 190);
  StagePanel->setStyleSheet(QStringLiteral(
      "QWidget#StagePanel { background: white; border: 3px solid rgb(255, 190, 80);"
      " border-radius: 20px; }"));
  StagePanel->setObjectName(QStringLiteral("StagePanel"));
  StageLb = new QLabel(StagePanel);
  StageLb->setObjectName(QStringLiteral("StageLb"));
  StageLb->setAlignment(Qt::AlignCenter);
  StageLb->setGeometry(10, 8, 580, 140);
  StageNoteLb = new QLabel(StagePanel);
  StageNoteLb->setFont(SongFont(16, true));
  StageNoteLb->setStyleSheet(QStringLiteral("color: rgb(130, 100, 40);"));
  StageNoteLb->setAlignment(Qt::AlignCenter);
  StageNoteLb->setGeometry(10, 148, 580, 32);
  StagePanel->hide();

  NoticeLb = new QLabel(a);
  NoticeLb->setObjectName(QStringLiteral("NoticeLb"));
  NoticeLb->setFont(SongFont(22, true));
  NoticeLb->setStyleSheet(QStringLiteral("color: rgb(120, 70, 0);"));
  NoticeLb->setAlignment(Qt::AlignCenter);
  NoticeLb->setWordWrap(true);
  NoticeLb->setGeometry(80, 150, 640, 200);
  NoticeLb->hide();

  GoSb = BigButton(a, QStringLiteral("开始"), QRect(280, 468, 240, 80), RGBColor(120, 210, 90));
  GoSb->setObjectName(QStringLiteral("GoSb"));
  BackSb = BigButton(a, QStringLiteral("返回"), QRect(640, 488, 130, 60), RGBColor(255, 190, 110));
  BackSb->setFont(SongFont(20, true));
  connect(GoSb, &TFlatSpeedButton::clicked, this, &TTodayForm::GoSbClick);
  connect(BackSb, &TFlatSpeedButton::clicked, this, &QWidget::close);

  SummaryPanel = new QWidget(a);
  SummaryPanel->setObjectName(QStringLiteral("SummaryPanel"));
  SummaryPanel->setGeometry(100, 250, 600, 210);
  SummaryPanel->setStyleSheet(QStringLiteral(
      "QWidget#SummaryPanel { background: white; border: 3px solid rgb(120, 200, 90);"
      " border-radius: 20px; }"));
  StickerLb = new QLabel(SummaryPanel);
  StickerLb->setObjectName(QStringLiteral("StickerLb"));
  StickerLb->setGeometry(24, 30, 150, 150);
  StickerLb->setAlignment(Qt::AlignCenter);
  SummaryLb = new QLabel(SummaryPanel);
  SummaryLb->setObjectName(QStringLiteral("SummaryLb"));
  SummaryLb->setFont(SongFont(20, true));
  SummaryLb->setWordWrap(true);
  SummaryLb->setStyleSheet(QStringLiteral("color: rgb(60, 110, 20);"));
  SummaryLb->setGeometry(190, 20, 390, 170);
  SummaryPanel->hide();

  Load();
}

void TTodayForm::Load() {
  m_child = CurrentChildId();
  m_today = int(platform::CurrentClock().Now().date().toJulianDay());
  const children::Child& child = CurrentChild();
  ChildLb->setText(child.id == children::kNoChild ? QString() : child.name);
  if (child.id != children::kNoChild)
    ChildPictureLb->setPixmap(PictureIcon(children::PictureResource(child.picture))
                                  .pixmap(QSize(48, 48), devicePixelRatioF()));
  review::PathCourse course;
  review::PathChild pathChild;
  QString error;
  if (!dm || !review::LoadPathInput(dm->ConnectionName(), m_child, m_today, &course, &pathChild,
                                    &error)) {
    qCWarning(lcDb) << "today's path not read:" << error;
    NoticeLb->setText(QStringLiteral("读不到课程内容，现在不能开始今天的学习。\n请家长检查数据库连接后再试。"));
    NoticeLb->show();
    GoSb->hide();
    return;
  }
  m_steps = review::PlanPath(course, pathChild, QDate::fromJulianDay(m_today));
  if (m_steps.isEmpty()) {
    NoticeLb->setText(course.chapters.isEmpty()
                          ? QStringLiteral("课程里还没有字。\n请爸爸妈妈先添加入门课程。")
                          : QStringLiteral("今天没有新的字要学，也没有要复习的字。\n明天再来吧！"));
    NoticeLb->show();
    GoSb->hide();
    return;
  }
  const int n = int(m_steps.size());
  const int gap = 16;
  const int left = (800 - n * kPictureWidth - (n - 1) * gap) / 2;
  for (int i = 0; i < n; ++i) {
    auto* picture = new TStepPicture(designArea(), m_steps[i].kind);
    picture->setObjectName(QStringLiteral("Step%1").arg(i + 1));
    picture->move(left + i * (kPictureWidth + gap), 90);
    Pictures << picture;
  }
  // A child who left half-way finds the steps done today ticked.
  m_current = qBound(0, QSettings().value(ProgressKey()).toInt(), n - 1);
  ShowStep();
}

QString TTodayForm::ProgressKey() const {
  return QStringLiteral("path/%1-%2").arg(m_child).arg(m_today);
}

void TTodayForm::ShowStep() {
  for (int i = 0; i < Pictures.size(); ++i)
    Pictures[i]->SetState(i < m_current    ? TStepPicture::State::Done
                          : i == m_current ? TStepPicture::State::Now
                                           : TStepPicture::State::Waiting);
  m_stageItem = -1;
  StagePanel->hide();
  GoSb->setCaption(m_current == 0 ? QStringLiteral("开始") : QStringLiteral("下一步"));
  if (m_current < m_steps.size()) SayPrompt(StepPrompt(m_steps[m_current].kind));
}

void TTodayForm::GoSbClick() {
  if (m_current >= m_steps.size()) {
    close();
    return;
  }
  const PathStep& step = m_steps[m_current];
  if (step.kind == StepKind::NewCharacters || step.kind == StepKind::PoemLine) {
    // Shown here, one at a time; the button moves on, past the last the step is done.
    ++m_stageItem;
    const int count = step.kind == StepKind::PoemLine ? 1 : int(step.items.size());
    if (m_stageItem >= count) {
      StepDone();
      return;
    }
    ShowStageItem();
    return;
  }
  if (RunScreenStep(step)) StepDone();
}

void TTodayForm::ShowStageItem() {
  const PathStep& step = m_steps[m_current];
  StagePanel->show();
  if (step.kind == StepKind::PoemLine) {
    StageLb->setFont(SongFont(40, true));
    StageLb->setText(step.items.value(1));
    StageNoteLb->setText(QStringLiteral("《%1》").arg(step.items.value(0)));
    const QString file = PromptFile(step.items.value(1));
    if (!file.isEmpty()) platform::PlaySound(file);
    GoSb->setCaption(QStringLiteral("念完了"));
    return;
  }
  const QString item = step.items[m_stageItem];
  StageLb->setFont(SongFont(110, true));
  StageLb->setText(item);
  StageNoteLb->setText(QStringLiteral("第 %1 个，共 %2 个").arg(m_stageItem + 1).arg(step.items.size()));
  if (dm) {
    QList<review::ItemRow> rows;
    QString error;
    review::LoadItemRows(dm->ConnectionName(), {item}, &rows, &error);
    const review::ItemRow row = rows.value(0);
    platform::PlaySound(CharacterSoundFile(dm->ConnectionName(), item, row.text, row.sound));
  }
  GoSb->setCaption(m_stageItem + 1 < step.items.size() ? QStringLiteral("下一个")
                                                       : QStringLiteral("认完了"));
}

bool TTodayForm::RunScreenStep(const PathStep& step) {
  if (Runner()) return Runner()(step);
  bool finished = false;
  if (step.kind == StepKind::Writing) {
    QPointer<TxzmainForm> screen = new TxzmainForm(this);
    screen->AskFor(step.chapter, step.items.value(0));
    connect(screen, &TxzmainForm::characterWritten, this,
            [&finished, &step](const QString& c) { finished = finished || c == step.items.value(0); });
    ExecModal(screen);
  } else {
    QPointer<TtyzmainForm> screen = new TtyzmainForm(this);
    if (step.kind == StepKind::Listening) screen->PlayOnly(step.items);
    connect(screen, &TtyzmainForm::gameFinished, this, [&finished] { finished = true; });
    ExecModal(screen);
  }
  ReleaseFreedMemory();
  return finished;
}

void TTodayForm::StepDone() {
  if (m_current >= m_steps.size()) return;
  ++m_current;
  QSettings().setValue(ProgressKey(), m_current);
  if (m_current >= m_steps.size()) {
    Finish();
    return;
  }
  ShowStep();
}

void TTodayForm::Finish() {
  for (TStepPicture* p : Pictures) p->SetState(TStepPicture::State::Done);
  StagePanel->hide();
  // The day picks the animal, so the album fills with different ones.
  const int picture = int(m_today % paths::kStickerCount);
  bool given = false;
  QString error;
  const bool kept = dm && paths::AwardSticker(dm->ConnectionName(), m_child, m_today, picture,
                                              &given, &error);
  QStringList lines;
  lines << QStringLiteral("今天的学习全部完成了，真棒！");
  int newCount = 0;
  for (const PathStep& s : m_steps)
    if (s.kind == StepKind::NewCharacters) newCount += int(s.items.size());
  if (newCount > 0) lines << QStringLiteral("认识了 %1 个新字。").arg(newCount);
  if (!kept) {
    qCWarning(lcDb) << "sticker not kept:" << error;
    lines << QStringLiteral("（给家长）贴纸没能保存：数据库没有接受。请检查数据库连接。");
  } else {
    lines << (given ? QStringLiteral("送你一张贴纸，已经贴进贴纸册啦！")
                    : QStringLiteral("今天的贴纸已经在贴纸册里了。"));
  }
  SummaryLb->setText(lines.join(QLatin1Char('\n')));
  StickerLb->setPixmap(PictureIcon(paths::StickerPicture(picture))
                           .pixmap(QSize(140, 140), devicePixelRatioF()));
  SummaryPanel->show();
  SummaryPanel->raise();
  GoSb->setCaption(QStringLiteral("完成"));
  SayPrompt(QStringLiteral("今天的学习完成了，真棒！"));
}

TStickerAlbumForm::TStickerAlbumForm(QWidget* owner) : TDesignForm(owner, 800, 578) {
  setObjectName(QStringLiteral("TStickerAlbumForm"));
  setWindowTitle(QStringLiteral("贴纸册"));
  setStyleSheet(QStringLiteral("TStickerAlbumForm { background: qlineargradient(x1:0, y1:0, x2:0,"
                               " y2:1, stop:0 #fff6fb, stop:1 #ffd6ea); }"));
  QWidget* a = designArea();
  const children::Child& child = CurrentChild();
  TitleLb = new QLabel(child.id == children::kNoChild
                           ? QStringLiteral("贴纸册")
                           : QStringLiteral("%1的贴纸册").arg(child.name),
                       a);
  TitleLb->setObjectName(QStringLiteral("TitleLb"));
  TitleLb->setFont(SongFont(32, true));
  TitleLb->setStyleSheet(QStringLiteral("color: rgb(200, 40, 110);"));
  TitleLb->setAlignment(Qt::AlignCenter);
  TitleLb->setGeometry(100, 14, 600, 56);
  EmptyLb = new QLabel(a);
  EmptyLb->setObjectName(QStringLiteral("EmptyLb"));
  EmptyLb->setFont(SongFont(22, true));
  EmptyLb->setStyleSheet(QStringLiteral("color: rgb(140, 60, 100);"));
  EmptyLb->setAlignment(Qt::AlignCenter);
  EmptyLb->setWordWrap(true);
  EmptyLb->setGeometry(80, 180, 640, 160);
  BackSb = BigButton(a, QStringLiteral("返回"), QRect(640, 500, 130, 60), RGBColor(255, 190, 110));
  BackSb->setFont(SongFont(20, true));
  connect(BackSb, &TFlatSpeedButton::clicked, this, &QWidget::close);

  QList<paths::Sticker> stickers;
  QString error;
  if (!dm || !paths::LoadStickers(dm->ConnectionName(), child.id, &stickers, &error)) {
    qCWarning(lcDb) << "stickers not read:" << error;
    EmptyLb->setText(QStringLiteral("读不到贴纸，请家长检查数据库连接后再试。"));
    return;
  }
  EmptyLb->setText(stickers.isEmpty()
                       ? QStringLiteral("还没有贴纸。\n做完“今天的学习”，就能得到一张贴纸！")
                       : QString());
  EmptyLb->setVisible(stickers.isEmpty());
  // Six a row, four rows: the newest 24 (a page), so the latest is always in sight.
  constexpr int kColumns = 6, kRows = 4, kCell = 112, kGap = 10;
  const int first = qMax(0, int(stickers.size()) - kColumns * kRows);
  const int left = (800 - kColumns * kCell - (kColumns - 1) * kGap) / 2;
  for (int i = first; i < stickers.size(); ++i) {
    const int at = i - first;
    auto* label = new QLabel(a);
    label->setObjectName(QStringLiteral("Sticker%1").arg(at + 1));
    label->setGeometry(left + (at % kColumns) * (kCell + kGap), 80 + (at / kColumns) * (kCell + kGap),
                       kCell, kCell);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("background: white; border: 3px dashed rgb(255, 150, 200);"
                                        " border-radius: 16px;"));
    label->setPixmap(PictureIcon(paths::StickerPicture(stickers[i].picture))
                         .pixmap(QSize(88, 88), devicePixelRatioF()));
    label->setToolTip(QDate::fromJulianDay(stickers[i].day).toString(QStringLiteral("yyyy年M月d日")));
    Stickers << label;
  }
}
