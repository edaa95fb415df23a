// SPDX-License-Identifier: GPL-3.0-or-later
#include "lessons/character_screen.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>

#include "app/emoji_picture.h"
#include "app/screen_registry.h"
#include "app/shared_routines.h"
#include "data/data_module.h"
#include "data/item_pictures.h"
#include "data/item_recordings.h"
#include "data/lesson_kinds.h"
#include "data/recordings_library.h"
#include "lessons/pronunciation_popup.h"
#include "platform/dataset.h"
#include "platform/logging.h"

namespace {
const QString kSoundField = QStringLiteral("声音");
// Air on both sides of a caption in the grid.
constexpr int kCaptionMargin = 16;
constexpr int kCaptionPx = 56;
// Below this a chapter written into the database from outside scrolls instead.
constexpr int kSmallestCaptionPx = 24;
constexpr int kSpeakerSize = 50;
}  // namespace

TszmainForm::TszmainForm(QWidget* owner)
    : TLessonScreen(owner, Kind(LessonKindId::Character)),
      m_speaker(QStringLiteral(":/images/charscreen_speaker.png")) {
  m_showPopup = [](Tsendsongform* popup) { ExecModal(popup); };

  ListView1 = new QListWidget(designArea());
  ListView1->setViewMode(QListView::IconMode);
  ListView1->setMovement(QListView::Static);
  ListView1->setResizeMode(QListView::Adjust);
  ListView1->setWrapping(true);
  // Each entry as wide as its own caption: a word or a Latin name is never cut to "…".
  ListView1->setUniformItemSizes(false);
  ListView1->setDragEnabled(false);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->setFrameShape(QFrame::NoFrame);
  ListView1->setIconSize(QSize(kSpeakerSize, kSpeakerSize));
  ListView1->setFont(SongFont(kCaptionPx, true));
  ListView1->setToolTip(QStringLiteral("请点击字进行发音学字"));
  QPalette field = ListView1->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    // The same colours in both groups keep the selection visible when the list loses focus.
    field.setColor(group, QPalette::Base, Qt::black);
    field.setColor(group, QPalette::Text, QColor(255, 0, 0));
    field.setColor(group, QPalette::Highlight, QColor(40, 60, 150));
    field.setColor(group, QPalette::HighlightedText, QColor(255, 230, 60));
  }
  ListView1->setPalette(field);
  connect(ListView1, &QListWidget::itemClicked, this, &TszmainForm::ListView1Click);
  PlaceFrame();
}

void TszmainForm::PlaceBody(const QRect& body) {
  ListView1->setGeometry(body);
  FitGrid();
}

void TszmainForm::SetPopupShower(PopupShower shower) { m_showPopup = std::move(shower); }

void TszmainForm::ShowChapterItems(bool) {
  ListView1->clear();
  // A child who cannot read the character yet knows it by its picture; the others keep the
  // loudspeaker.
  const QStringList& items = browser().Items();
  const QStringList& pictures = browser().Pictures();
  for (int i = 0; i < items.size(); ++i) {
    const QPixmap picture =
        EmojiPixmap(pictures.value(i), kSpeakerSize, ListView1->devicePixelRatioF());
    new QListWidgetItem(picture.isNull() ? m_speaker : QIcon(picture), items.at(i), ListView1);
  }
  FitGrid();
}

void TszmainForm::FitGrid() {
  // A four-year-old does not scroll: a full chapter of one- or two-character entries fits the
  // body, with less air between the entries first, then with smaller captions. The grid fits a
  // two-character word under the loudspeaker, and widens for a longer caption.
  const QSize room = ListView1->size() - QSize(2, 2);
  const int count = ListView1->count();
  struct Air {
    int beside, below;
  };
  constexpr Air kAirs[] = {{kCaptionMargin, 12}, {12, 6}, {8, 2}};
  for (int px = kCaptionPx;; px -= 4) {
    const QFont font = SongFont(px, true);
    const QFontMetrics metrics(font);
    int widest = metrics.horizontalAdvance(QStringLiteral("字字"));
    for (int i = 0; i < count; ++i)
      widest = qMax(widest, metrics.horizontalAdvance(ListView1->item(i)->text()));
    for (const Air& air : kAirs) {
      const QSize grid(widest + air.beside, kSpeakerSize + metrics.height() + air.below);
      const int fits =
          qMax(1, room.width() / grid.width()) * qMax(1, room.height() / grid.height());
      if (fits >= count || (px <= kSmallestCaptionPx && &air == std::end(kAirs) - 1)) {
        ListView1->setFont(font);
        ListView1->setGridSize(grid);
        return;
      }
    }
  }
}

void TszmainForm::ListView1Click() {
  const QList<QListWidgetItem*> selected = ListView1->selectedItems();
  if (ListView1->count() == 0 || selected.isEmpty()) return;
  // Found by name, ignoring letter case, as the other lesson screens and the editors do (the
  // editors refuse two names in a chapter that differ only in case).
  if (!browser().LocateItem(selected.first()->text())) return;

  platform::Dataset* q = dm->ALLQuery;
  const LessonKind& k = kind();
  const QString sound = q->Field(kSoundField);
  const QString name = q->Field(k.nameField), text = q->Field(k.textField);
  // A recording not fetched yet comes on a thread: the pop-up shows at once and plays it on arrival.
  const bool fetch = recordings::NeedsFetch(q->ConnectionName(), sound);
  if (sound.trimmed().isEmpty()) {
    // No recording yet (the starter course ships none): made now, kept for the next time.
    QString error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    CurrentSoundFile = RecordFirstPlay(*q, k, &error);
    QGuiApplication::restoreOverrideCursor();
    if (CurrentSoundFile.isEmpty()) qCInfo(lcSound) << "no speech for" << name << error;
  } else {
    CurrentSoundFile = fetch ? sound : recordings::LocalPath(q->ConnectionName(), sound);
  }
  auto* popup = new Tsendsongform(this);
  popup->ZILB->setText(name);
  popup->FYLB->setText(QStringLiteral("发音+词组: ") + text);
  popup->ShowPicture(pictures::ItemPicture(*q, k));
  if (fetch) {
    popup->AwaitRecording();
    recordings::FetchLater(q->ConnectionName(), sound, popup,
                           [popup](const QString& path) { popup->RecordingArrived(path); });
  }
  m_showPopup(popup);
}
