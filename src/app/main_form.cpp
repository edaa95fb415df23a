// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/main_form.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "app/application.h"
#include "app/current_child.h"
#include "app/parent_gate.h"
#include "app/pictures.h"
#include "app/prompt_player.h"
#include "app/quit_request.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "platform/dialogs.h"

TMainForm* MainForm = nullptr;

namespace {

DueCounter& InstalledDueCounter() {
  static DueCounter counter;
  return counter;
}

// Every label lets the background picture show through it.
TLabel3D* MakeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                    TColor color, TLabel3DBevel bevel) {
  auto* label = new TLabel3D(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setFont(font);
  label->setFontColor(color);
  label->setBevel(bevel);
  label->setTransparent(true);
  return label;
}

// A menu button: the toolkit's flat speed button with its name, hint and bold caption.
QToolButton* MenuButton(QWidget* parent, const char* name, const QString& text, const QString& hint,
                        int fontPx, const QString& picture, int pictureSize, const QRect& rect) {
  QToolButton* button = MakeToolButton(parent, text, PictureIcon(picture), rect, pictureSize);
  button->setObjectName(QLatin1String(name));
  button->setToolTip(hint);
  button->setFont(SongFont(fontPx, true));
  QPalette pal = button->palette();
  pal.setColor(QPalette::ButtonText, Qt::black);
  button->setPalette(pal);
  return button;
}

// Places a label of fixed design size, letting it grow downwards when the font's line is taller
// (the CJK fonts standing in for 宋体 have more room above and below the glyphs).
void PlaceFixed(TLabel3D* label, int left, int top, int width, int height) {
  label->setAutoSize(false);
  label->setGeometry(left, top, width, qMax(height, label->fontMetrics().height()));
}

}  // namespace

TMenuBackground::TMenuBackground(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TMenuBackground::paintEvent(QPaintEvent*) {
  QLinearGradient g(0, 0, 0, height());
  g.setColorAt(0, QColor(255, 255, 255));
  g.setColorAt(0.45, QColor(255, 250, 205));
  g.setColorAt(1, QColor(255, 225, 70));
  QPainter p(this);
  p.fillRect(rect(), g);
}

TMainForm::TMainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_area(new QWidget(this)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(kApplicationTitle);

  Image1 = new TMenuBackground(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->lower();

  m_area->setObjectName(QStringLiteral("designArea"));
  m_area->setFixedSize(kDesignWidth, kDesignHeight);
  // Every control here sets its own font; inheriting one of the same family, a label measuring its
  // text before it gets its own does not load the desktop's font as well (2 MB, some milliseconds).
  m_area->setFont(SongFont(12, true));
  QWidget* a = m_area;

  XTLB = MakeLabel(a, "XTLB", QStringLiteral("Tindora V6.0"), SongFont(32, true),
                   RGBColor(255, 0, 0), bvLowered);
  XTLB->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  PlaceFixed(XTLB, 16, 21, 647, 33);

  comlb = MakeLabel(a, "comlb", QStringLiteral("Quorvex"), SongFont(14, true, true, true),
                    RGBColor(0, 128, 0), bvLowered);
  PlaceFixed(comlb, 24, 88, 135, 14);
  comlb->setToolTip(QStringLiteral("欢迎访问我们站点"));
  comlb->setCursor(Qt::PointingHandCursor);
  comlb->installEventFilter(this);

  const QFont stepFont = SongFont(21, true);
  const TColor blue = RGBColor(0, 0, 255);
  Label3D2 = MakeLabel(a, "Label3D2", QStringLiteral("第一步"), stepFont, blue, bvLowered);
  Label3D2->move(90, 192);
  Label3D3 = MakeLabel(a, "Label3D3", QStringLiteral("第二步"), stepFont, blue, bvLowered);
  Label3D3->move(354, 192);
  Label3D4 = MakeLabel(a, "Label3D4", QStringLiteral("第三步"), stepFont, blue, bvLowered);
  Label3D4->move(610, 192);
  const QFont arrowFont = SongFont(56, true);
  Label3D5 = MakeLabel(a, "Label3D5", QStringLiteral("→"), arrowFont, clBlack, bvLowered);
  Label3D5->move(226, 248);
  Label3D6 = MakeLabel(a, "Label3D6", QStringLiteral("→"), arrowFont, clBlack, bvLowered);
  Label3D6->move(490, 248);

  szsb = MenuButton(a, "szsb", QStringLiteral("幼儿识字"),
                    QStringLiteral("发音识字，小朋友快快来学哦"), 19,
                    QStringLiteral(":/images/menu_characters.png"), 32, QRect(68, 232, 119, 84));
  xssb = MenuButton(a, "xssb", QStringLiteral("幼儿学诗"),
                    QStringLiteral("朗读学诗，小朋友快快来学哦"), 19,
                    QStringLiteral(":/images/menu_poems.png"), 32, QRect(328, 232, 119, 84));
  xyysb = MenuButton(a, "xyysb", QStringLiteral("幼儿学英语"),
                     QStringLiteral("发音学英语，小朋友快快来学哦"), 19,
                     QStringLiteral(":/images/menu_english.png"), 32, QRect(588, 232, 119, 84));
  SSSB = MenuButton(a, "SSSB", QStringLiteral("幼儿算数"),
                    QStringLiteral("有趣的幼儿算数教学，小朋友快快来学哦"), 19,
                    QStringLiteral(":/images/menu_arithmetic.png"), 32, QRect(68, 360, 119, 84));
  xzsb = MenuButton(a, "xzsb", QStringLiteral("幼儿写字"),
                    QStringLiteral("跟着笔顺写一写，小朋友快快来学哦"), 19,
                    QStringLiteral(":/images/menu_writing.png"), 32, QRect(328, 360, 119, 84));
  tyzsb = MenuButton(a, "tyzsb", QStringLiteral("听音找字"),
                     QStringLiteral("听一听，找出是哪个字，小朋友快快来玩哦"), 19,
                     QStringLiteral(":/images/menu_listening.png"), 32, QRect(588, 360, 119, 84));
  // A small red count in the button's corner, as on a phone's icon.
  DueLb = new QLabel(a);
  DueLb->setObjectName(QStringLiteral("DueLb"));
  DueLb->setFont(SongFont(13, true));
  DueLb->setAlignment(Qt::AlignCenter);
  DueLb->setAttribute(Qt::WA_TransparentForMouseEvents);
  DueLb->setStyleSheet(QStringLiteral(
      "QLabel { background: rgb(230, 40, 40); color: white; border: 2px solid white;"
      " border-radius: 12px; padding: 0 5px; }"));
  DueLb->hide();
  ABOUTSB =
      MenuButton(a, "ABOUTSB", QStringLiteral("关于版权"), QStringLiteral("关于系统版权与用户信息"),
                 12, QStringLiteral(":/images/menu_about.png"), 16, QRect(234, 493, 61, 40));
  RECORDSB = MenuButton(a, "RECORDSB", QStringLiteral("学习记录"),
                        QStringLiteral("看看孩子学了什么（给家长和老师）"), 12,
                        QStringLiteral(":/images/menu_records.png"), 16, QRect(301, 493, 61, 40));
  CHILDSB = MenuButton(a, "CHILDSB", QStringLiteral("换小朋友"),
                       QStringLiteral("换一个小朋友来学习"), 12,
                       QStringLiteral(":/images/menu_children.png"), 16, QRect(374, 493, 61, 40));
  ChildPictureLb = new QLabel(a);
  ChildPictureLb->setObjectName(QStringLiteral("ChildPictureLb"));
  ChildPictureLb->setGeometry(702, 14, 56, 56);
  ChildPictureLb->setAlignment(Qt::AlignCenter);
  ChildNameLb = new QLabel(a);
  ChildNameLb->setObjectName(QStringLiteral("ChildNameLb"));
  ChildNameLb->setGeometry(670, 70, 120, 24);
  ChildNameLb->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  ChildNameLb->setFont(SongFont(16, true));
  ChildNameLb->setStyleSheet(QStringLiteral("color: rgb(150, 60, 0);"));
  // The child's own way through the day, and what it earned: under the child's picture.
  TODAYSB = MenuButton(a, "TODAYSB", QStringLiteral("今天的学习"),
                       QStringLiteral("跟着今天的学习一步一步学"), 16,
                       QStringLiteral(":/images/menu_characters.png"), 28, QRect(660, 96, 134, 50));
  ALBUMSB = MenuButton(a, "ALBUMSB", QStringLiteral("贴纸册"),
                       QStringLiteral("看看你得到的贴纸"), 16,
                       QStringLiteral(":/images/child_06.png"), 28, QRect(660, 146, 134, 48));
  for (QWidget* w : {static_cast<QWidget*>(ChildPictureLb), static_cast<QWidget*>(ChildNameLb)}) {
    w->setCursor(Qt::PointingHandCursor);
    w->setToolTip(QStringLiteral("今天的学习"));
    w->installEventFilter(this);
  }
  MINISB = MenuButton(a, "MINISB", QStringLiteral("最小化"), QStringLiteral("系统最小化显示"), 12,
                      QStringLiteral(":/images/menu_minimize.png"), 16, QRect(447, 493, 59, 40));
  QuitSb = MenuButton(a, "QuitSb", QStringLiteral("退出→"), QStringLiteral("退出本系统"), 12,
                      QStringLiteral(":/images/menu_quit.png"), 16, QRect(554, 493, 67, 40));

  connect(szsb, &QToolButton::clicked, this, &TMainForm::szsbClick);
  connect(xssb, &QToolButton::clicked, this, &TMainForm::xssbClick);
  connect(xyysb, &QToolButton::clicked, this, &TMainForm::xyysbClick);
  connect(SSSB, &QToolButton::clicked, this, &TMainForm::SSSBClick);
  connect(xzsb, &QToolButton::clicked, this, &TMainForm::xzsbClick);
  connect(tyzsb, &QToolButton::clicked, this, &TMainForm::tyzsbClick);
  connect(ABOUTSB, &QToolButton::clicked, this, &TMainForm::ABOUTSBClick);
  connect(RECORDSB, &QToolButton::clicked, this, &TMainForm::RECORDSBClick);
  connect(CHILDSB, &QToolButton::clicked, this, &TMainForm::CHILDSBClick);
  connect(TODAYSB, &QToolButton::clicked, this, &TMainForm::TODAYSBClick);
  connect(ALBUMSB, &QToolButton::clicked, this, &TMainForm::ALBUMSBClick);
  connect(TCurrentChild::Instance(), &TCurrentChild::Changed, this, &TMainForm::ShowCurrentChild);
  // Another child has other reviews due.
  connect(TCurrentChild::Instance(), &TCurrentChild::Changed, this,
          [this] { QTimer::singleShot(0, this, &TMainForm::RefreshDueCount); });
  ShowCurrentChild();
  connect(MINISB, &QToolButton::clicked, this, &TMainForm::MINISBClick);
  connect(QuitSb, &QToolButton::clicked, this, &TMainForm::QuitSbClick);
  // A child who cannot read hears what a button is before pressing it.
  for (QToolButton* b : {szsb, xssb, xyysb, SSSB, xzsb, tyzsb, ABOUTSB, RECORDSB, CHILDSB, TODAYSB,
                         ALBUMSB, MINISB, QuitSb})
    SpeakButton(b, b->text().remove(QStringLiteral("→")));

  resize(kDesignWidth, kDesignHeight);
  StartMaximized(this);
}

TMainForm::~TMainForm() {
  if (MainForm == this) MainForm = nullptr;
}

bool TMainForm::CheckIntegerEdit(QLineEdit* edit) { return ::CheckIntegerEdit(edit); }

void TMainForm::szsbClick() { ShowScreen(QStringLiteral("TszmainForm"), this); }
void TMainForm::xssbClick() { ShowScreen(QStringLiteral("TxsmainForm"), this); }
void TMainForm::xyysbClick() { ShowScreen(QStringLiteral("TXYYMAINForm"), this); }
void TMainForm::SSSBClick() { ShowScreen(QStringLiteral("TYSMAINForm"), this); }
void TMainForm::xzsbClick() { ShowScreen(QStringLiteral("TxzmainForm"), this); }
void TMainForm::tyzsbClick() { ShowScreen(QStringLiteral("TtyzmainForm"), this); }

void SetDueCounter(DueCounter counter) {
  InstalledDueCounter() = std::move(counter);
  if (MainForm) MainForm->RefreshDueCount();
}

void TMainForm::RefreshDueCount() {
  const DueCounter counter = InstalledDueCounter();
  const int serial = ++m_dueSerial;
  if (!counter) {
    ShowDueCount(0);
    return;
  }
  QPointer<TMainForm> self(this);
  QThread* thread = QThread::create([counter, serial, self, child = CurrentChildId()] {
    const int due = counter(child);
    QMetaObject::invokeMethod(
        qApp,
        [self, serial, due] {
          if (self && serial == self->m_dueSerial) self->ShowDueCount(due);
        },
        Qt::QueuedConnection);
  });
  connect(thread, &QThread::finished, thread, &QObject::deleteLater);
  thread->start(QThread::LowPriority);
}

void TMainForm::ShowDueCount(int due) {
  DueLb->setVisible(due > 0);
  if (due <= 0) return;
  DueLb->setText(due > 99 ? QStringLiteral("99+") : QString::number(due));
  DueLb->setToolTip(QStringLiteral("今天该复习 %1 个字").arg(due));
  DueLb->adjustSize();
  const int height = qMax(24, DueLb->height());
  DueLb->resize(qMax(height, DueLb->width()), height);
  DueLb->move(tyzsb->geometry().right() - DueLb->width() + 4, tyzsb->y() - 6);
  DueLb->raise();
}

void TMainForm::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Back from a game or the record: the count may have changed. After the event, so that a
  // slow server never holds up the window's activation.
  if (event->type() == QEvent::ActivationChange && isActiveWindow())
    QTimer::singleShot(0, this, &TMainForm::RefreshDueCount);
}

void TMainForm::ABOUTSBClick() { ShowScreen(QStringLiteral("TAboutForm"), this); }
void TMainForm::RECORDSBClick() { ShowScreen(QStringLiteral("TRecordsForm"), this); }
void TMainForm::CHILDSBClick() { ShowScreen(QStringLiteral("TChildPickerForm"), this); }
void TMainForm::TODAYSBClick() { ShowScreen(QStringLiteral("TTodayForm"), this); }
void TMainForm::ALBUMSBClick() { ShowScreen(QStringLiteral("TStickerAlbumForm"), this); }

void TMainForm::ShowCurrentChild() {
  const children::Child& child = CurrentChild();
  const bool chosen = child.id != children::kNoChild;
  ChildPictureLb->setVisible(chosen);
  ChildNameLb->setVisible(chosen);
  if (!chosen) return;
  ChildPictureLb->setPixmap(PictureIcon(children::PictureResource(child.picture))
                                .pixmap(QSize(52, 52), devicePixelRatioF()));
  ChildNameLb->setText(child.name);
}

void TMainForm::MINISBClick() { MinimizeApplication(); }

void TMainForm::QuitSbClick() {
  const int answer = platform::MessageBox(this, QStringLiteral("欢迎使用本系统，确定要退出吗?"),
                                          QStringLiteral("系统信息"),
                                          platform::MB_YESNO | platform::MB_ICONQUESTION);
  if (answer != platform::IDYES) return;
  // Windows that refuse to close while the program runs (the picker with no child chosen) let go.
  RequestQuit();
  MinimizeApplication();
  QCoreApplication::quit();
}

void TMainForm::comlbClick() {
  // A browser is the whole web: an adult's door like the editors.
  if (!PassParentGate(this)) return;
  platform::OpenUrl(kMakerWebAddress);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Image1->setGeometry(rect());
  m_area->move(qMax(0, (width() - m_area->width()) / 2),
               qMax(0, (height() - m_area->height()) / 2));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // Taking the press makes the label the receiver of the release, as for comlb.
  if ((watched == ChildPictureLb || watched == ChildNameLb) &&
      event->type() == QEvent::MouseButtonPress)
    return true;
  if ((watched == ChildPictureLb || watched == ChildNameLb) &&
      event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    TODAYSBClick();
    return true;
  }
  // Taking the press makes the label the receiver of the release.
  if (watched == comlb && event->type() == QEvent::MouseButtonPress) return true;
  if (watched == comlb && event->type() == QEvent::MouseButtonRelease) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    // A click: released over the label with the left button.
    if (mouse->button() == Qt::LeftButton && comlb->rect().contains(mouse->position().toPoint())) {
      comlbClick();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
