// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/about_window.h"

#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "app/app_icon.h"
#include "app/maker_site.h"
#include "app/shared_routines.h"
#include "controls/flat_speed_button.h"
#include "platform/dialogs.h"

namespace {

// One ring of a bevel, `width` pixels deep: light above and left, dark below and right when
// raised; the other way round when lowered.
void DrawBevel(QPainter& p, QRect& rect, bool raised, int width, const QPalette& palette) {
  const QColor light = palette.color(QPalette::Light);
  const QColor dark = palette.color(QPalette::Dark);
  for (int i = 0; i < width; ++i) {
    p.setPen(raised ? light : dark);
    p.drawLine(rect.topLeft(), rect.topRight() - QPoint(1, 0));
    p.drawLine(rect.topLeft(), rect.bottomLeft() - QPoint(0, 1));
    p.setPen(raised ? dark : light);
    p.drawLine(rect.topRight(), rect.bottomRight());
    p.drawLine(rect.bottomLeft(), rect.bottomRight());
    rect.adjust(1, 1, -1, -1);
  }
}

// A panel in the button-face colour framed by an outer and an optional inner bevel.
class BevelPanel : public QWidget {
 public:
  BevelPanel(QWidget* parent, int bevelWidth, bool lowerInner)
      : QWidget(parent), m_bevelWidth(bevelWidth), m_lowerInner(lowerInner) {
    // The face takes the button-face colour while children keep their ordinary text roles.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);
    setAutoFillBackground(true);
  }
  int FrameWidth() const { return m_bevelWidth * (m_lowerInner ? 2 : 1); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QRect r = rect();
    DrawBevel(p, r, true, m_bevelWidth, palette());
    if (m_lowerInner) DrawBevel(p, r, false, m_bevelWidth, palette());
  }

 private:
  int m_bevelWidth;
  bool m_lowerInner;
};

QLabel* PlacedLabel(QWidget* parent, const QString& text, const QFont& font, const QColor& colour,
                    QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setFont(font);
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, colour);
  label->setPalette(pal);
  label->adjustSize();
  label->move(at);
  return label;
}

QLabel* PlacedPicture(QWidget* parent, const QPixmap& pixmap, const QRect& geometry) {
  auto* picture = new QLabel(parent);
  picture->setPixmap(pixmap);
  picture->setScaledContents(true);
  picture->setGeometry(geometry);
  return picture;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint) {
  setFont(SongFont(12));
  setFixedSize(313, 323);
  move(191, 106);

  auto* panel = new BevelPanel(this, 1, true);
  Panel1 = panel;
  Panel1->setGeometry(rect());

  Label1 =
      PlacedLabel(Panel1, QStringLiteral("Quorvex"), SongFont(16, true), Qt::black, QPoint(17, 11));

  Bevel1 = new QFrame(Panel1);
  Bevel1->setGeometry(12, 51, 17, 2);
  Bevel1->setFrameStyle(QFrame::HLine | QFrame::Raised);
  Bevel1->setLineWidth(1);

  Label2 = PlacedLabel(Panel1, QStringLiteral("Tindora"), SongFont(14, true), QColor(0, 128, 0),
                       QPoint(33, 46));

  // Through QIcon, which takes the @2x picture on a grown design.
  Image3 = PlacedPicture(Panel1, QIcon(QStringLiteral(":/images/about_bullet.png")).pixmap(8, 8),
                         QRect(16, 91, 8, 8));

  QString shownAddress = kMakerWebAddress;
  shownAddress.remove(QStringLiteral("http://"));
  if (shownAddress.endsWith(QLatin1Char('/'))) shownAddress.chop(1);
  Label3 = PlacedLabel(Panel1, shownAddress, SongFont(12, true, false, true), QColor(0, 0, 255),
                       QPoint(37, 89));
  Label3->setCursor(Qt::PointingHandCursor);
  Label3->installEventFilter(this);

  auto* logoFrame = new BevelPanel(Panel1, 2, false);
  Panel2 = logoFrame;
  Panel2->setGeometry(201, 65, 81, 65);
  const int inset = logoFrame->FrameWidth();
  Image1 = PlacedPicture(Panel2, QPixmap(QStringLiteral(":/images/about_logo.jpg")),
                         Panel2->rect().adjusted(inset, inset, -inset, -inset));

  // The data's licences ask to be named where the program is.
  CreditsLb = new QLabel(
      QStringLiteral("课程数据：Unicode Unihan、CLDR（Unicode 许可）\n"
                     "CC-CEDICT 词典（CC BY-SA 4.0）\n"
                     "chinese-poetry 古诗（MIT）；jieba 词频（MIT）\n"
                     "OpenCC 繁简转换（Apache 2.0）\n"
                     "笔顺：hanzi-writer-data（Arphic PL）"),
      Panel1);
  CreditsLb->setFont(SongFont(9));
  CreditsLb->setWordWrap(true);
  CreditsLb->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  CreditsLb->setGeometry(16, 140, 281, 96);

  Image2 = PlacedPicture(Panel1, AppIcon().pixmap(32, 32), QRect(21, 244, 32, 32));

  NextSb = new TFlatSpeedButton(Panel1);
  NextSb->setGeometry(231, 248, 54, 25);
  NextSb->setCaption(QStringLiteral("OK"));
  NextSb->setToolTip(QStringLiteral("关闭本窗口"));
  NextSb->setColor(clBtnFace);
  NextSb->setColorFocused(clYellow);
  NextSb->setColorDown(clNone);
  NextSb->setColorBorder(clNone);
  NextSb->setColorHighLight(clNone);
  NextSb->setColorShadow(clNone);
  connect(NextSb, &TFlatSpeedButton::clicked, this, &TAboutForm::NextSbClick);

  // Keys reach the window before any control, so Escape closes it from anywhere in it.
  const auto children = findChildren<QWidget*>();
  for (QWidget* child : children) child->installEventFilter(this);
}

void TAboutForm::Label3Click() { platform::OpenUrl(kMakerWebAddress); }

void TAboutForm::NextSbClick() { close(); }

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  if (watched == Label3 && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton && Label3->rect().contains(mouse->position().toPoint()))
      Label3Click();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
  event->accept();
  if (event->key() == Qt::Key_Escape) close();
}
