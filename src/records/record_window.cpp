// SPDX-License-Identifier: GPL-3.0-or-later
#include "records/record_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QStackedBarSeries>
#include <QToolButton>
#include <QValueAxis>
#include <QHeaderView>
#include <QStackedWidget>
#include <QTableWidget>
#include <algorithm>

#include "app/current_child.h"
#include "app/drop_down.h"
#include "app/parent_gate.h"
#include "app/practice_log.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "controls/label_3d.h"
#include "data/children.h"
#include "data/data_module.h"
#include "data/pinyin.h"
#include "data/record_store.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/logging.h"
#include "review/knowledge_window.h"
#include "review/review_store.h"

using namespace records;

namespace {

constexpr int kMostShown = 6;
constexpr int kMissedShown = 5;

const QColor kModuleColours[kModuleCount] = {QColor(231, 76, 60), QColor(52, 132, 219),
                                             QColor(46, 170, 90), QColor(243, 156, 18),
                                             QColor(155, 89, 182)};
const QColor kRight(46, 170, 90);
const QColor kShown(243, 156, 18);

QFont ChartFont(int px, bool bold = false) {
  QFont f(QStringLiteral("Noto Sans CJK SC"));
  f.setPixelSize(px);
  f.setBold(bold);
  return f;
}

QChartView* MakeChartView(QWidget* parent) {
  auto* view = new QChartView(parent);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(200, 150);
  view->setStyleSheet(QStringLiteral("background: transparent"));
  return view;
}

// Replaces the view's chart with a fresh one titled `title`.
QChart* NewChart(QChartView* view, const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->setTitleFont(ChartFont(15, true));
  chart->setTitleBrush(QColor(60, 60, 120));
  chart->setBackgroundBrush(QColor(255, 255, 255, 215));
  chart->setBackgroundRoundness(10);
  chart->setMargins(QMargins(4, 2, 4, 2));
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->legend()->setFont(ChartFont(12));
  chart->legend()->setAlignment(Qt::AlignBottom);
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
  return chart;
}

QValueAxis* CountAxis(int highest) {
  auto* axis = new QValueAxis;
  axis->setRange(0, qMax(4, highest));
  axis->applyNiceNumbers();
  axis->setLabelFormat(QStringLiteral("%d"));
  axis->setLabelsFont(ChartFont(11));
  return axis;
}

QBarSet* MakeSet(const QString& name, const QColor& colour) {
  auto* set = new QBarSet(name);
  set->setColor(colour);
  set->setBorderColor(colour.darker(120));
  return set;
}

QToolButton* TextButton(QWidget* parent, const QString& text, bool checkable) {
  auto* b = new QToolButton(parent);
  b->setText(text);
  b->setCheckable(checkable);
  b->setFocusPolicy(Qt::NoFocus);
  b->setFont(SongFont(14, true));
  b->setMinimumSize(72, 32);
  b->setStyleSheet(
      QStringLiteral("QToolButton { border: 1px solid rgb(200, 160, 60); border-radius: 6px;"
                     " background: rgb(255, 246, 214); color: rgb(120, 70, 0); padding: 2px 8px; }"
                     "QToolButton:checked { background: rgb(255, 200, 60); color: rgb(90, 40, 0); }"
                     "QToolButton:hover { border-color: rgb(230, 120, 0); }"));
  return b;
}

}  // namespace

TRecordsForm::TRecordsForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint) {
  setWindowTitle(QStringLiteral("学习记录"));
  setFont(SongFont(12));
  resize(800, 578);
  StartMaximized(this);
  SetSkyBackground(this);
  if (dm) m_connection = dm->ConnectionName();

  auto* bar = new QWidget(this);
  BuildTopBar(bar);

  DayChart = MakeChartView(this);

  auto* characters = new QWidget(this);
  auto* chapterRow = new QHBoxLayout;
  auto* chapterLabel = new QLabel(QStringLiteral("识字章节:"), characters);
  chapterLabel->setFont(SongFont(14, true));
  ChapterCb = new QComboBox(characters);
  ChapterCb->setFont(SongFont(14));
  ChapterCb->setMinimumWidth(120);
  // A long chapter name must not widen the window's first column.
  ChapterCb->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  ChapterCb->setMinimumContentsLength(8);
  CapDropDownWidth(ChapterCb);
  chapterRow->addWidget(chapterLabel);
  chapterRow->addWidget(ChapterCb, 1);
  CharChart = MakeChartView(characters);
  NeverLb = new QLabel(characters);
  NeverLb->setWordWrap(true);
  NeverLb->setFont(SongFont(14));
  NeverLb->setStyleSheet(QStringLiteral(
      "background: rgba(255, 255, 255, 215); border-radius: 8px; padding: 4px 8px;"));
  auto* characterColumn = new QVBoxLayout(characters);
  characterColumn->setContentsMargins(0, 0, 0, 0);
  characterColumn->addLayout(chapterRow);
  characterColumn->addWidget(CharChart, 1);
  characterColumn->addWidget(NeverLb);

  ScoreChart = MakeChartView(this);
  auto* drill = new QWidget(this);
  ShareChart = MakeChartView(drill);
  MissedLb = new QLabel(drill);
  MissedLb->setWordWrap(true);
  MissedLb->setFont(SongFont(13));
  MissedLb->setStyleSheet(NeverLb->styleSheet());
  auto* drillColumn = new QVBoxLayout(drill);
  drillColumn->setContentsMargins(0, 0, 0, 0);
  drillColumn->addWidget(ShareChart, 1);
  drillColumn->addWidget(MissedLb);

  StatusLb = new QLabel(this);
  StatusLb->setFont(SongFont(12));
  StatusLb->setWordWrap(true);

  auto* charts = new QWidget(this);
  auto* chartGrid = new QGridLayout(charts);
  chartGrid->setContentsMargins(0, 0, 0, 0);
  chartGrid->setSpacing(6);
  chartGrid->addWidget(DayChart, 0, 0, 1, 3);
  chartGrid->addWidget(characters, 1, 0);
  chartGrid->addWidget(ScoreChart, 1, 1);
  chartGrid->addWidget(drill, 1, 2);
  chartGrid->setRowStretch(0, 5);
  chartGrid->setRowStretch(1, 6);
  chartGrid->setColumnStretch(0, 5);
  chartGrid->setColumnStretch(1, 6);
  chartGrid->setColumnStretch(2, 3);

  ClassTable = new QTableWidget(0, 6, this);
  ClassTable->setHorizontalHeaderLabels({QStringLiteral("小朋友"), QStringLiteral("练习天数"),
                                         QStringLiteral("打开过的字"), QStringLiteral("写过的字"),
                                         QStringLiteral("听音找字"), QStringLiteral("算数平均分")});
  ClassTable->setFont(SongFont(16));
  ClassTable->horizontalHeader()->setFont(SongFont(15, true));
  ClassTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  ClassTable->horizontalHeader()->setSortIndicatorShown(true);
  ClassTable->verticalHeader()->hide();
  ClassTable->setIconSize(QSize(32, 32));
  ClassTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ClassTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  ClassTable->setSelectionMode(QAbstractItemView::SingleSelection);
  ClassTable->setToolTip(QStringLiteral("点一行，看这个小朋友的学习记录；点表头排序"));
  ClassTable->setStyleSheet(QStringLiteral(
      "QTableWidget { background: rgba(255, 255, 255, 225); border-radius: 8px;"
      " gridline-color: rgb(230, 210, 160); }"
      "QHeaderView::section { background: rgb(255, 236, 180); color: rgb(100, 50, 0);"
      " border: none; border-right: 1px solid rgb(230, 200, 130); padding: 4px; }"));
  ClassTable->verticalHeader()->setDefaultSectionSize(40);
  connect(ClassTable, &QTableWidget::cellClicked, this, &TRecordsForm::ClassTableClick);
  connect(ClassTable->horizontalHeader(), &QHeaderView::sectionClicked, this,
          [this] { m_classSortChosen = true; });

  Pages = new QStackedWidget(this);
  Pages->addWidget(charts);
  Pages->addWidget(ClassTable);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 4, 8, 6);
  grid->setSpacing(6);
  grid->addWidget(bar, 0, 0);
  grid->addWidget(Pages, 1, 0);
  // What the child knows, from the listening game's reviews; every character in its own window.
  KnowLb = new QLabel(this);
  KnowLb->setFont(SongFont(15, true));
  KnowLb->setStyleSheet(QStringLiteral(
      "color: rgb(150, 60, 0); background: rgba(255, 255, 255, 215); border-radius: 8px;"
      " padding: 3px 8px;"));
  KnowSb = TextButton(this, QStringLiteral("认识的字"), false);
  KnowSb->setToolTip(QStringLiteral("看看孩子认识哪些字，设定每天学几个新字"));
  // The window holds the adult's setting of new characters a day.
  connect(KnowSb, &QToolButton::clicked, this, [this] {
    if (PassParentGate(this)) ShowScreen(QStringLiteral("TKnowledgeForm"), this);
  });
  PrintSb = TextButton(this, QStringLiteral("打印"), false);
  PrintSb->setToolTip(QStringLiteral("打印孩子的学习报告、全班的情况或字帖"));
  connect(PrintSb, &QToolButton::clicked, this, [this] {
    if (PassParentGate(this)) ShowScreen(QStringLiteral("TPrintForm"), this);
  });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(KnowLb);
  bottom->addWidget(KnowSb);
  bottom->addWidget(PrintSb);
  bottom->addSpacing(12);
  bottom->addWidget(StatusLb, 1);
  grid->addLayout(bottom, 2, 0);
  grid->setRowStretch(1, 1);

  QStringList chapters;
  QString error;
  if (!m_connection.isEmpty() && !LoadCharacterChapters(m_connection, &chapters, &error))
    qCWarning(lcDb) << "learning record: no character chapters:" << error;
  ChapterCb->addItems(chapters);
  // Open where the child is, not on an empty first chapter.
  QString latest;
  if (!m_connection.isEmpty() &&
      !LoadLatestCharacterChapter(m_connection, Filter(), &latest, &error))
    qCWarning(lcDb) << "learning record: no latest chapter:" << error;
  ChapterCb->setCurrentIndex(qMax(0, int(chapters.indexOf(latest))));

  connect(ChapterCb, &QComboBox::currentIndexChanged, this, &TRecordsForm::ChapterCbChange);
  Reload();
}

void TRecordsForm::BuildTopBar(QWidget* bar) {
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(4, 4, 4, 0);
  Label3D1 = new TLabel3D(QStringLiteral("学习记录"), bar);
  Label3D1->setFont(SongFont(24, true));
  Label3D1->setFontColor(RGBColor(0, 0, 255));
  Label3D1->setBevel(bvLowered);
  Label3D1->setTransparent(true);
  row->addWidget(Label3D1);
  row->addSpacing(18);

  WeekSb = TextButton(bar, QStringLiteral("近7天"), true);
  MonthSb = TextButton(bar, QStringLiteral("近30天"), true);
  auto* period = new QButtonGroup(this);
  period->addButton(WeekSb);
  period->addButton(MonthSb);
  WeekSb->setChecked(true);
  row->addWidget(WeekSb);
  row->addWidget(MonthSb);
  row->addSpacing(18);

  // With profiles the record is the chosen child's, from every computer the child sat at.
  QList<children::Child> profiles;
  QString error;
  if (!m_connection.isEmpty() && !children::LoadChildren(m_connection, &profiles, &error))
    qCWarning(lcDb) << "learning record: no children:" << error;
  ChildCb = new QComboBox(bar);
  ChildCb->setFont(SongFont(15, true));
  ChildCb->setIconSize(QSize(24, 24));
  ChildCb->setMinimumContentsLength(6);
  ChildCb->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  for (const children::Child& c : profiles) {
    ChildCb->addItem(QIcon(children::PictureResource(c.picture)), c.name, c.id);
    m_names.insert(c.id, c.name);
  }
  ChildCb->addItem(QStringLiteral("未分配"), children::kNoChild);
  ChildCb->addItem(QStringLiteral("全班"), kWholeClass);
  ChildCb->setToolTip(QStringLiteral("看哪个小朋友的记录；“未分配”是建立小朋友之前的记录"));
  const int opened = ChildCb->findData(CurrentChildId() != children::kNoChild ? CurrentChildId()
                                                                              : kWholeClass);
  ChildCb->setCurrentIndex(qMax(0, opened));
  m_withChildren = !profiles.isEmpty();
  ChildCb->setVisible(m_withChildren);
  row->addWidget(ChildCb);
  row->addSpacing(12);

  AllCb = new QCheckBox(QStringLiteral("所有电脑的记录"), bar);
  AllCb->setChecked(!profiles.isEmpty());
  AllCb->setFont(SongFont(14, true));
  AllCb->setFocusPolicy(Qt::NoFocus);
  MachineLb = new QLabel(QStringLiteral("本机: ") + MachineName(), bar);
  MachineLb->setFont(SongFont(12));
  MachineLb->setStyleSheet(QStringLiteral("color: rgb(90, 90, 90);"));
  row->addWidget(AllCb);
  row->addWidget(MachineLb);
  row->addStretch(1);

  ClearSb = TextButton(bar, QStringLiteral("清除记录"), false);
  ClearSb->setToolTip(QStringLiteral("清除所显示电脑的全部学习记录"));
  QuitSb = MakeToolButton(bar, QStringLiteral("返回→"),
                          QIcon(QStringLiteral(":/images/verse_quit.png")), QRect(0, 0, 67, 40));
  QuitSb->setFont(SongFont(12, true));
  QuitSb->setFixedSize(67, 40);
  QuitSb->setToolTip(QStringLiteral("返回主界面"));
  row->addWidget(ClearSb);
  row->addSpacing(8);
  row->addWidget(QuitSb);

  connect(period, &QButtonGroup::buttonClicked, this, &TRecordsForm::Reload);
  connect(AllCb, &QCheckBox::toggled, this, &TRecordsForm::Reload);
  connect(ChildCb, &QComboBox::currentIndexChanged, this, &TRecordsForm::Reload);
  connect(ClearSb, &QToolButton::clicked, this, &TRecordsForm::ClearSbClick);
  connect(QuitSb, &QToolButton::clicked, this, &QDialog::close);
}

int TRecordsForm::PeriodDays() const { return MonthSb->isChecked() ? 30 : 7; }

QString TRecordsForm::Machine() const { return AllCb->isChecked() ? QString() : MachineName(); }

int TRecordsForm::Child() const {
  return m_withChildren ? ChildCb->currentData().toInt() : kAnyChild;
}

void TRecordsForm::Fail(const QString& error) {
  if (!m_error.isEmpty()) return;  // the first failure tells it
  m_error = error;
  qCWarning(lcDb) << "learning record: cannot read:" << error;
}

void TRecordsForm::Reload() {
  // Notes the child made a moment ago belong in the pictures too.
  Flush(2000);
  m_error.clear();
  const QDate today = platform::CurrentClock().Now().date();
  const QDate from = today.addDays(1 - PeriodDays());
  const bool wholeClass = Child() == kWholeClass;
  Pages->setCurrentIndex(wholeClass ? 1 : 0);
  KnowLb->setVisible(!wholeClass);  // a child's reviews, no class's
  KnowSb->setVisible(!wholeClass);
  AllCb->setEnabled(!wholeClass);
  ClearSb->setEnabled(!wholeClass);
  if (wholeClass) {
    ShowClass(from);
    return;
  }
  QList<DayCount> days;
  QList<DrillSeries> drills;
  QString error;
  m_writing = {};
  m_writingMisses.clear();
  if (m_connection.isEmpty()) {
    Fail(QStringLiteral("没有打开课程数据库"));
  } else {
    if (!LoadDayCounts(m_connection, Filter(), from, &days, &error)) Fail(error);
    if (!LoadDrills(m_connection, Filter(), from, &drills, &error)) Fail(error);
    if (!LoadWritingTotals(m_connection, Filter(), from, &m_writing, &error)) Fail(error);
    if (!LoadWritingMisses(m_connection, Filter(), from, &m_writingMisses, &error)) Fail(error);
    if (!LoadItemCounts(m_connection, Filter(), Module::Character, &m_characterCounts, &error))
      Fail(error);
  }
  m_daily = PracticePerDay(days, today, PeriodDays());
  m_drill = DrillScores(drills);
  ShowDaily();
  ShowCharacters();
  ShowDrill();
  ShowKnowledge();

  QPalette pal = StatusLb->palette();
  pal.setColor(QPalette::WindowText, m_error.isEmpty() ? QColor(60, 60, 60) : QColor(200, 0, 0));
  StatusLb->setPalette(pal);
  QString whose = AllCb->isChecked() ? QStringLiteral("所有电脑") : QStringLiteral("本机");
  if (Child() != kAnyChild)
    whose = ChildCb->currentText() + (AllCb->isChecked() ? QString() : QStringLiteral("在本机"));
  // The driver's words are in the log; a teacher is told what to do.
  if (!m_error.isEmpty())
    StatusLb->setText(QStringLiteral("无法读取学习记录，请检查数据库连接后再打开本窗口。"));
  else if (m_daily.total == 0 && m_listened == 0)
    StatusLb->setText(QStringLiteral("%1近%2天还没有练习记录。").arg(whose).arg(PeriodDays()));
  else
    // The game's answers are reviews, not notes: told apart, so that a child who only played
    // it is not said to have done nothing.
    StatusLb->setText(
        (m_daily.total == 0 ? QString()
                            : QStringLiteral("%1近%2天共练习 %3 次。")
                                  .arg(whose)
                                  .arg(PeriodDays())
                                  .arg(m_daily.total) +
                                  WritingSummary()) +
        (m_listened == 0 ? QString()
                         : QStringLiteral("听音找字：近%1天练了 %2 个字。")
                               .arg(PeriodDays())
                               .arg(m_listened)));
}

QString TRecordsForm::WritingSummary() const {
  return records::WritingSummary(m_writing, m_writingMisses);
}

void TRecordsForm::ShowDaily() {
  const bool month = m_daily.days.size() > 10;
  QChart* chart = NewChart(DayChart, QStringLiteral("每天练习次数（%1 – %2）")
                                         .arg(m_daily.days.first().toString(QStringLiteral("M/d")),
                                              m_daily.days.last().toString(QStringLiteral("M/d"))));
  auto* series = new QStackedBarSeries;
  int highest = 0;
  for (int d = 0; d < m_daily.days.size(); ++d) {
    int sum = 0;
    for (const QList<int>& perDay : m_daily.counts) sum += perDay[d];
    highest = qMax(highest, sum);
  }
  for (int m = 0; m < kModuleCount; ++m) {
    QBarSet* set = MakeSet(ModuleName(Module(m)), kModuleColours[m]);
    for (int n : m_daily.counts[m]) *set << n;
    series->append(set);
  }
  series->setBarWidth(0.6);
  chart->addSeries(series);
  auto* days = new QBarCategoryAxis;
  // A month of dates does not fit across: the day of the month alone does.
  for (const QDate& day : m_daily.days)
    days->append(day.toString(month ? QStringLiteral("d") : QStringLiteral("M/d")));
  days->setLabelsFont(ChartFont(month ? 10 : 12));
  chart->addAxis(days, Qt::AlignBottom);
  series->attachAxis(days);
  QValueAxis* counts = CountAxis(highest);
  chart->addAxis(counts, Qt::AlignLeft);
  series->attachAxis(counts);
  // Five modules in a column beside the bars: at the usual size the last (写字) was cut off.
  chart->legend()->setFont(ChartFont(10));
  chart->legend()->setAlignment(Qt::AlignRight);
}

void TRecordsForm::ChapterCbChange() { ShowCharacters(); }

void TRecordsForm::ShowCharacters() {
  QStringList characters;
  QString error;
  if (ChapterCb->currentIndex() >= 0 &&
      !LoadChapterCharacters(m_connection, ChapterCb->currentText(), &characters, &error))
    qCWarning(lcDb) << "learning record: no characters:" << error;
  m_most = MostPractised(m_characterCounts, characters, kMostShown);
  m_never = NeverOpened(m_characterCounts, characters);

  QChart* chart = NewChart(CharChart, QStringLiteral("最常练的字"));
  chart->legend()->hide();
  auto* series = new QBarSeries;
  QBarSet* set = MakeSet(QStringLiteral("打开次数"), kModuleColours[0]);
  auto* names = new QBarCategoryAxis;
  for (const ItemCount& c : m_most) {
    *set << c.count;
    names->append(c.item);
  }
  series->append(set);
  series->setLabelsVisible(true);
  series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
  series->setBarWidth(0.7);
  chart->addSeries(series);
  names->setLabelsFont(ChartFont(16, true));
  // The axis cuts a label wider than its bar's share to "…": two-character words in a narrow
  // chart get smaller type instead.
  QObject::connect(chart, &QChart::plotAreaChanged, names, [names](const QRectF& area) {
    const QStringList labels = names->categories();
    if (labels.isEmpty()) return;
    // The axis gives a label its share of the width over one more than the categories, less
    // its padding on both sides (at most 9 pixels each, found by trial).
    const double room = area.width() / (labels.size() + 1) - 18;
    int px = 16;
    for (; px > 8; --px) {
      const QFontMetrics metrics(ChartFont(px, true));
      int widest = 0;
      for (const QString& label : labels) widest = qMax(widest, metrics.horizontalAdvance(label));
      if (widest <= room) break;
    }
    if (names->labelsFont().pixelSize() != px) names->setLabelsFont(ChartFont(px, true));
  });
  chart->addAxis(names, Qt::AlignBottom);
  series->attachAxis(names);
  QValueAxis* counts = CountAxis(m_most.isEmpty() ? 0 : m_most.first().count);
  chart->addAxis(counts, Qt::AlignLeft);
  series->attachAxis(counts);

  if (characters.isEmpty())
    NeverLb->setText(QStringLiteral("这一章还没有字。"));
  else if (m_never.isEmpty())
    NeverLb->setText(QStringLiteral("这一章的字都打开过了！"));
  else {
    // Lines break between entries only: word joiners keep "字12" whole.
    QStringList entries;
    for (const QString& item : m_never) {
      QStringList parts;
      for (const char32_t c : item.toUcs4()) parts << QString::fromUcs4(&c, 1);
      entries << parts.join(QChar(0x2060)).toHtmlEscaped();
    }
    NeverLb->setText(QStringLiteral("从未打开: <span style='color:#d03020; font-size:20px; "
                                    "font-weight:bold'>%1</span>")
                         .arg(entries.join(QStringLiteral(" "))));
  }
}

// An axis whose labels stand on given values rather than on evenly spaced ticks.
static QCategoryAxis* LabelledAxis(double from, double to, const QList<std::pair<QString, double>>& labels,
                            int px) {
  auto* axis = new QCategoryAxis;
  axis->setRange(from, to);
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  axis->setLabelsFont(ChartFont(px));
  for (const auto& [label, at] : labels) axis->append(label, at);
  return axis;
}

void TRecordsForm::ShowDrill() {
  const QString names[2] = {QStringLiteral("加法"), QStringLiteral("减法")};
  const QColor colours[2] = {kModuleColours[0], kModuleColours[1]};
  QChart* chart =
      NewChart(ScoreChart, m_drill.dailyAverages ? QStringLiteral("算数每天平均得分（满分100）")
                                                 : QStringLiteral("算数每组得分（满分100）"));
  // Days as numbers from the period's first day, each day's label at its middle: the axis ends
  // with the period's last day, and a little room on every side keeps a dot on the edge whole.
  const QDate today = platform::CurrentClock().Now().date();
  const int days = PeriodDays();
  const QDate first = today.addDays(1 - days);
  const int step = days > 10 ? 5 : 1;
  QList<std::pair<QString, double>> dayLabels;
  for (int d = (days - 1) % step; d < days; d += step)
    dayLabels.append({first.addDays(d).toString(QStringLiteral("M/d")), d + 0.5});
  QCategoryAxis* time = LabelledAxis(-0.12 * step, days + 0.12 * step, dayLabels, 11);
  chart->addAxis(time, Qt::AlignBottom);
  QList<std::pair<QString, double>> scoreLabels;
  for (int s = 0; s <= 100; s += 20) scoreLabels.append({QString::number(s), s});
  QCategoryAxis* score = LabelledAxis(-7, 107, scoreLabels, 11);
  chart->addAxis(score, Qt::AlignLeft);
  const QDateTime start = first.startOfDay();
  for (int op = 0; op < 2; ++op) {
    auto* line = new QLineSeries;
    line->setName(names[op]);
    line->setPen(QPen(colours[op], 2.5));
    line->setPointsVisible(m_drill.scores[op].size() <= 60);
    for (const ScorePoint& p : m_drill.scores[op])
      line->append(start.msecsTo(p.at) / 86400000.0, p.score);
    chart->addSeries(line);
    line->attachAxis(time);
    line->attachAxis(score);
  }

  QChart* share = NewChart(ShareChart, QStringLiteral("第一次就答对的比例"));
  auto* bars = new QStackedBarSeries;
  // Short names: the chart's title says "第一次", and longer ones were cut in its legend.
  QBarSet* right = MakeSet(QStringLiteral("答对"), kRight);
  QBarSet* missed = MakeSet(QStringLiteral("没答对"), kShown);
  auto* ops = new QBarCategoryAxis;
  QStringList lines;
  for (int op = 0; op < 2; ++op) {
    const int percent = m_drill.FirstRightPercent(op);
    ops->append(names[op]);
    *right << qMax(0, percent);
    *missed << (percent < 0 ? 0 : 100 - percent);
    if (percent >= 0)
      lines << QStringLiteral("%1第一次就答对 %2%（%3 题里 %4 题）")
                   .arg(names[op])
                   .arg(percent)
                   .arg(m_drill.firstMet[op])
                   .arg(m_drill.firstRight[op]);
  }
  bars->append(right);
  bars->append(missed);
  bars->setBarWidth(0.6);
  bars->setLabelsVisible(true);
  bars->setLabelsFormat(QStringLiteral("@value%"));
  share->addSeries(bars);
  ops->setLabelsFont(ChartFont(12, true));
  share->addAxis(ops, Qt::AlignBottom);
  bars->attachAxis(ops);
  auto* percent = new QValueAxis;
  percent->setRange(0, 100);
  percent->setTickCount(3);
  percent->setLabelFormat(QStringLiteral("%d%%"));
  percent->setLabelsFont(ChartFont(10));
  share->addAxis(percent, Qt::AlignLeft);
  bars->attachAxis(percent);

  if (lines.isEmpty()) {
    // Series noted by an older version have scores but no first answers.
    const bool older = !m_drill.scores[0].isEmpty() || !m_drill.scores[1].isEmpty();
    MissedLb->setText(older ? QStringLiteral("这段时间的算数题是旧版本记下的，没有第一次的答案。")
                            : QStringLiteral("这段时间还没有做过算数题。"));
    return;
  }
  QStringList sums;
  for (qsizetype i = 0; i < qMin<qsizetype>(kMissedShown, m_drill.missedFirst.size()); ++i)
    sums << QStringLiteral("<b>%1</b>: 错了 %2 次")
                .arg(SumLabel(m_drill.missedFirst[i].item))
                .arg(m_drill.missedFirst[i].count);
  lines << (sums.isEmpty() ? QStringLiteral("每道题第一次都答对了！")
                           : QStringLiteral("第一次常错的题:<br>") + sums.join(QStringLiteral("<br>")));
  MissedLb->setText(lines.join(QStringLiteral("<br>")));
}

void TRecordsForm::ClearSbClick() {
  if (Child() == kWholeClass) return;
  const QString seat = QStringLiteral("这台电脑只能学习，不能清除学习记录。要清除，请到老师的电脑上。");
  const auto refuse = [this](const QString& text) {
    platform::MessageBox(this, text, QStringLiteral("注意"),
                         platform::MB_OK | platform::MB_ICONWARNING);
  };
  if (!m_connection.isEmpty() && !MayClearRecords(m_connection)) {
    refuse(seat);
    return;
  }
  if (!PassParentGate(this)) return;
  QString whose = Machine().isEmpty() ? QStringLiteral("所有电脑") : QStringLiteral("本机");
  if (Child() != kAnyChild)
    whose = ChildCb->currentText() + (Machine().isEmpty() ? QString() : QStringLiteral("在本机"));
  if (platform::MessageBox(this, QStringLiteral("确定要清除%1的学习记录吗?").arg(whose),
                           QStringLiteral("注意"),
                           platform::MB_YESNO | platform::MB_ICONQUESTION) != platform::IDYES)
    return;
  Flush(2000);  // or a note still on its way would survive the clearing
  QString error;
  platform::WriteFailure failure = platform::WriteFailure::ServerAway;
  if (m_connection.isEmpty() || !ClearRecords(m_connection, Filter(), &error, &failure)) {
    qCWarning(lcDb) << "clearing the learning record failed:" << error;
    using platform::WriteFailure;
    switch (failure) {
      case WriteFailure::ReadOnly:
        refuse(QStringLiteral("数据库现在不能写入，记录没有清除。请让管理员检查数据库文件和它所在的文件夹。"));
        break;
      case WriteFailure::DiskFull:
        refuse(QStringLiteral("磁盘已满，记录没有清除。请删除一些不用的文件，腾出空间后再试。"));
        break;
      case WriteFailure::NotAllowed:
        refuse(seat);
        break;
      case WriteFailure::ServerAway:
        refuse(QStringLiteral("清除记录出错,请检查数据库连接。"));
        break;
      default:
        refuse(QStringLiteral("清除记录出错，记录没有清除。原因已记入日志，请让管理员查看。"));
    }
  }
  Reload();
}

namespace {
// Sorts by the number kept under Qt::UserRole, so "—" (no drill yet) sorts below every score.
// A child's name, sorted by its reading.
class NameItem : public QTableWidgetItem {
 public:
  explicit NameItem(const QString& name) : QTableWidgetItem(name) {}
  bool operator<(const QTableWidgetItem& other) const override {
    return PinyinSortKey(text()) < PinyinSortKey(other.text());
  }
};

class NumberItem : public QTableWidgetItem {
 public:
  NumberItem(int value, const QString& text) : QTableWidgetItem(text) {
    setData(Qt::UserRole, value);
    setTextAlignment(Qt::AlignCenter);
  }
  bool operator<(const QTableWidgetItem& other) const override {
    return data(Qt::UserRole).toInt() < other.data(Qt::UserRole).toInt();
  }
};
}  // namespace

void TRecordsForm::ShowClass(const QDate& from) {
  QString error;
  m_class.clear();
  if (m_connection.isEmpty() || !LoadClassSummary(m_connection, from, &m_class, &error))
    Fail(m_connection.isEmpty() ? QStringLiteral("没有打开课程数据库") : error);
  // Every child has a row, practised or not; the unassigned notes only when there are any.
  QMap<int, ChildSummary> by;
  for (auto it = m_names.cbegin(); it != m_names.cend(); ++it) by[it.key()].child = it.key();
  for (const ChildSummary& r : m_class) by[r.child] = r;
  m_class = by.values();
  ClassTable->setSortingEnabled(false);
  ClassTable->setRowCount(int(m_class.size()));
  int practised = 0;
  for (int i = 0; i < m_class.size(); ++i) {
    const ChildSummary& r = m_class[i];
    if (r.days > 0 && r.child != children::kNoChild) ++practised;
    QString name = m_names.value(r.child);
    if (r.child == children::kNoChild) name = QStringLiteral("未分配");
    else if (name.isEmpty()) name = QStringLiteral("（已删除）");
    auto* who = new NameItem(name);
    who->setData(Qt::UserRole, r.child);
    if (m_names.contains(r.child)) {
      const int index = ChildCb->findData(r.child);
      who->setIcon(ChildCb->itemIcon(index));
    }
    ClassTable->setItem(i, 0, who);
    ClassTable->setItem(i, 1, new NumberItem(r.days, QString::number(r.days)));
    ClassTable->setItem(i, 2, new NumberItem(r.opened, QString::number(r.opened)));
    ClassTable->setItem(i, 3, new NumberItem(r.written, QString::number(r.written)));
    ClassTable->setItem(i, 4, new NumberItem(r.listened, QString::number(r.listened)));
    ClassTable->setItem(i, 5, new NumberItem(r.drillScore, r.drillScore < 0
                                                               ? QStringLiteral("—")
                                                               : QString::number(r.drillScore)));
  }
  ClassTable->setSortingEnabled(true);
  // Names in the order of a class list, by their reading, until the adult clicks a header.
  if (!m_classSortChosen) ClassTable->sortByColumn(0, Qt::AscendingOrder);
  QPalette pal = StatusLb->palette();
  pal.setColor(QPalette::WindowText, m_error.isEmpty() ? QColor(60, 60, 60) : QColor(200, 0, 0));
  StatusLb->setPalette(pal);
  StatusLb->setText(
      m_error.isEmpty()
          ? QStringLiteral("全班 %1 个小朋友，近%2天练习过的有 %3 个（所有电脑的记录）。")
                .arg(m_names.size())
                .arg(PeriodDays())
                .arg(practised)
          : QStringLiteral("无法读取学习记录，请检查数据库连接后再打开本窗口。"));
}

void TRecordsForm::ClassTableClick(int row) {
  const QTableWidgetItem* who = ClassTable->item(row, 0);
  if (!who) return;
  const int index = ChildCb->findData(who->data(Qt::UserRole).toInt());
  if (index >= 0) ChildCb->setCurrentIndex(index);
}

void TRecordsForm::ShowKnowledge() {
  // The chosen child's reviews; the unassigned and the one-profile-less record read those made
  // with no child chosen. "认识的字" opens on the same child.
  const int child = Child() > 0 ? Child() : review::kDefaultChild;
  setProperty(kKnowledgeChildProperty, child);
  m_listened = 0;
  // The counts need the child's reviews only, not the course.
  review::ChildCards cards;
  QString error;
  const int today = int(platform::CurrentClock().Now().date().toJulianDay());
  if (m_connection.isEmpty() ||
      !review::LoadChildCards(m_connection, child, today, &cards, nullptr, &error)) {
    qCWarning(lcDb) << "learning record: no reviews:" << error;
    KnowLb->setText(QStringLiteral("读不到“听音找字”的成绩"));
    return;
  }
  KnowLb->setText(KnowledgeSummaryText(review::SummariseKnowledge(cards, {}, today)));
  m_listened = int(std::count_if(cards.cbegin(), cards.cend(), [&](const review::Card& card) {
    return card.lastReview > today - PeriodDays();
  }));
}

// The module's entry, through which the program's window list makes the window.
extern "C" Q_DECL_EXPORT QDialog* TindoraRecordsWindow(QWidget* owner) {
  return new TRecordsForm(owner);
}
