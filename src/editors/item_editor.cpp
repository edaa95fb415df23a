// SPDX-License-Identifier: GPL-3.0-or-later
#include "editors/item_editor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QToolButton>

#include "app/emoji_picture.h"
#include "app/shared_routines.h"
#include "app/tool_button.h"
#include "data/data_module.h"
#include "data/item_pictures.h"
#include "data/item_recordings.h"
#include "data/lesson_database.h"
#include "editors/item_recording_controls.h"
#include "platform/dataset.h"
#include "platform/dialogs.h"
#include "platform/logging.h"
#include "platform/sound.h"

using editors::EditorMode;

namespace {

// What the windows of the three kinds do not share beyond the lesson-kind table: the design size,
// the width of the left panel, and the memo's scroll bar.
struct EditorLook {
  QSize size;
  int panelWidth;
  Qt::ScrollBarPolicy memoScrollBar;
};

EditorLook LookOf(LessonKindId kind) {
  switch (kind) {
    case LessonKindId::Poem:
      return {QSize(770, 501), 640, Qt::ScrollBarAlwaysOn};
    case LessonKindId::English:
      // Without a scroll bar while the translation fits; a longer one stays reachable.
      return {QSize(754, 499), 624, Qt::ScrollBarAsNeeded};
    case LessonKindId::Character:
      break;
  }
  return {QSize(775, 283), 640, Qt::ScrollBarAlwaysOff};
}

constexpr int kLabelLeft = 16;
constexpr int kBoxLeft = 96;
constexpr int kRowHeight = 24;
constexpr int kNumberTop = 24;
constexpr int kNameTop = 68;
constexpr int kTextTop = 112;
constexpr int kMemoWidth = 353;
constexpr int kMemoHeight = 265;
constexpr int kPathWidth = 413;
constexpr int kSmallButtonWidth = 58;
// At the right, below the chapter and above the recording's path.
constexpr int kPictureTop = 78;
constexpr int kPictureSide = 60;
constexpr int kPictureButtonWidth = 76;

QToolButton* SmallButton(QWidget* parent, const QString& caption, const QIcon& picture,
                         const QRect& at) {
  QToolButton* b = MakeToolButton(parent, caption, picture, at);
  b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  return b;
}

}  // namespace

TItemEditorForm::TItemEditorForm(QWidget* owner, LessonKindId kind)
    : editors::TEditorForm(owner, Kind(kind).itemListCaption, LookOf(kind).size,
                           LookOf(kind).panelWidth),
      m_kind(Kind(kind)) {
  const EditorLook look = LookOf(kind);
  AddLabel(Panel1, m_kind.numberLabel, QRect(kLabelLeft, kNumberTop + 2, 76, 20));
  numed->setGeometry(kBoxLeft, kNumberTop, 120, kRowHeight);
  AddLabel(Panel1, m_kind.nameLabel, QRect(kLabelLeft, kNameTop + 2, 76, 20));
  nameed->setGeometry(kBoxLeft, kNameTop, 120, kRowHeight);

  ZJPL = new QLabel(Panel1);
  ZJPL->setTextFormat(Qt::PlainText);
  ZJPL->setFont(SongFont(20, true));
  ZJPL->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
  ZJPL->setGeometry(240, (kNumberTop + kNameTop + kRowHeight - 30) / 2, look.panelWidth - 256, 30);

  AddLabel(Panel1, m_kind.textLabel, QRect(kLabelLeft, kTextTop + 2, 76, 20));
  int pathTop = 0;
  if (kind == LessonKindId::Character) {
    PYED = new QLineEdit(Panel1);
    PYED->setGeometry(kBoxLeft, kTextTop, 317, kRowHeight);
    pathTop = kTextTop + 46;
  } else {
    me1 = new QPlainTextEdit(Panel1);
    me1->setFont(SongFont(19));
    me1->setGeometry(kBoxLeft, kTextTop, kMemoWidth, kMemoHeight);
    me1->setVerticalScrollBarPolicy(look.memoScrollBar);
    me1->setTabChangesFocus(true);
    pathTop = kTextTop + kMemoHeight + 16;
  }
  MoveFocusOnEnter(nameed, TextBox());

  if (m_kind.pictures) {
    const int buttonsLeft = look.panelWidth - kPictureButtonWidth - 8;
    PictureLb = new QLabel(Panel1);
    PictureLb->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PictureLb->setAlignment(Qt::AlignCenter);
    PictureLb->setGeometry(buttonsLeft - 6 - kPictureSide, kPictureTop, kPictureSide, kPictureSide);
    PictureLb->setToolTip(QStringLiteral("孩子看到的图片"));
    NextPictureSb = MakeToolButton(Panel1, QStringLiteral("换一个"), QIcon(),
                                   QRect(buttonsLeft, kPictureTop + 4, kPictureButtonWidth, kRowHeight));
    NoPictureSb =
        MakeToolButton(Panel1, QStringLiteral("不要图片"), QIcon(),
                       QRect(buttonsLeft, kPictureTop + 32, kPictureButtonWidth, kRowHeight));
    connect(NextPictureSb, &QToolButton::clicked, this, [this] { NextPictureSbClick(); });
    connect(NoPictureSb, &QToolButton::clicked, this, [this] { NoPictureSbClick(); });
    connect(nameed, &QLineEdit::textChanged, this, [this] { ShowPicture(); });
    if (PYED) connect(PYED, &QLineEdit::textChanged, this, [this] { ShowPicture(); });
    if (me1) connect(me1, &QPlainTextEdit::textChanged, this, [this] { ShowPicture(); });
    ShowPicture();
  }

  AddLabel(Panel1, QStringLiteral("声音文件路径"), QRect(kLabelLeft, pathTop, 140, 20));
  Sypl = new QLabel(Panel1);
  Sypl->setTextFormat(Qt::PlainText);  // a path is never markup, whatever it holds
  Sypl->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  Sypl->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Sypl->setStyleSheet(
      QStringLiteral("QLabel { color: rgb(0, 0, 255); background: rgb(240, 248, 255); }"));
  const QRect path(kLabelLeft, pathTop + 24, kPathWidth, 26);
  Sypl->setGeometry(path);
  const QStyle* s = style();
  QRect at(path.right() + 6, path.top(), kSmallButtonWidth, path.height());
  Selectfb =
      SmallButton(Panel1, QStringLiteral("选取"), s->standardIcon(QStyle::SP_DirOpenIcon), at);
  Testsb = SmallButton(Panel1, QStringLiteral("测试"),
                       QIcon(QStringLiteral(":/images/charscreen_speaker.png")),
                       at.translated(kSmallButtonWidth, 0));
  DELLSB =
      SmallButton(Panel1, QStringLiteral("删除"), editors::EditorPicture(QStringLiteral("delete")),
                  at.translated(2 * kSmallButtonWidth, 0));
  connect(Selectfb, &QToolButton::clicked, this, [this] { SelectfbClick(); });
  connect(Testsb, &QToolButton::clicked, this, [this] { TestsbClick(); });
  connect(DELLSB, &QToolButton::clicked, this, [this] { DELLSBClick(); });
  // A row below the path with "合成" under "删除"; "拼音" beside the pinyin box.
  const int rowRight = at.left() + 3 * kSmallButtonWidth;
  Recording = new editors::ItemRecordingControls(
      this, QRect(kLabelLeft, path.bottom() + 10, rowRight - kLabelLeft, path.height()),
      QRect(kBoxLeft + 317 + 6, kTextTop, kSmallButtonWidth, kRowHeight));
}

QWidget* TItemEditorForm::TextBox() const {
  return PYED ? static_cast<QWidget*>(PYED) : static_cast<QWidget*>(me1);
}

QString TItemEditorForm::Text() const { return PYED ? PYED->text() : me1->toPlainText(); }

void TItemEditorForm::SetText(const QString& text) {
  if (PYED)
    PYED->setText(text);
  else
    me1->setPlainText(text);
}

void TItemEditorForm::SetPictureChoice(const QVariant& stored) {
  m_pictureChoice = stored;
  ShowPicture();
}

QString TItemEditorForm::ShownPicture() const {
  return pictures::ItemPicture(m_pictureChoice, nameed->text(), Text());
}

void TItemEditorForm::ShowPicture() {
  if (!PictureLb) return;
  const QString shown = ShownPicture();
  PictureLb->setPixmap(EmojiPixmap(shown, kPictureSide - 6, PictureLb->devicePixelRatioF()));
  PictureLb->setText(shown.isEmpty() ? QStringLiteral("无图") : QString());
}

void TItemEditorForm::NextPictureSbClick() {
  const QStringList candidates = pictures::ProposePictures(nameed->text(), Text());
  if (candidates.isEmpty()) {
    editors::Warn(this, QStringLiteral("没有和“%1”相配的图片。").arg(nameed->text().trimmed()));
    return;
  }
  // After the last candidate, the first again; from no picture, the first.
  const qsizetype at = candidates.indexOf(ShownPicture());
  SetPictureChoice(candidates.at((at + 1) % candidates.size()));
}

void TItemEditorForm::NoPictureSbClick() {
  SetPictureChoice(QString::fromUtf16(pictures::kNoPicture));
}

void TItemEditorForm::AddBtnClick() { Save(EditorMode::Add); }
void TItemEditorForm::ModifyBtnClick() { Save(EditorMode::Modify); }

bool TItemEditorForm::NamesToCompare(EditorMode mode, QStringList* names, QString* error) {
  // Adding compares with the chapter's items as the list manager left them in goQuery; modifying
  // reads the chapter again through nameQuery (CheckName).
  platform::Dataset* q = mode == EditorMode::Add ? dm->goQuery : dm->nameQuery;
  if (mode == EditorMode::Modify) {
    q->Close();
    q->SqlClear();
    q->SqlAdd(m_kind.sqlItemsLine1);
    // The list manager's chapter; its CB1 cannot change while this editor is open.
    q->SetParam(QStringLiteral("zzj"), m_chapter);
    if (!q->Open()) {
      *error = q->LastError();
      return false;
    }
  }
  const int column = q->FieldIndex(m_kind.nameField);
  for (int row = 0; column >= 0 && row < q->RecordCount(); ++row)
    *names << q->ValueAt(row, column).toString();
  return true;
}

bool TItemEditorForm::CheckName(const QString& name, QString* error) {
  QStringList names;
  QString why;
  if (!NamesToCompare(EditorMode::Modify, &names, &why)) {
    if (error) *error = why;
    return false;
  }
  return editors::NameFree(names, name, EditOldName);
}

void TItemEditorForm::Save(EditorMode mode) {
  const editors::CheckOutcome outcome = editors::CheckEntries(
      editors::ItemRules(m_kind), mode, {numed->text(), nameed->text(), Text()}, EditOldName,
      [this, mode](QStringList* names, QString* error) {
        return NamesToCompare(mode, names, error);
      });
  if (!outcome.ok()) {
    ShowRefusal(outcome, TextBox());
    return;
  }
  numed->setText(outcome.number);

  // The recording goes into the library in the item row's transaction: the row never names a
  // recording that is not there, and a recording no row names is not kept.
  platform::Dataset* q = dm->goQuery;
  platform::Transaction tx(q->ConnectionName());
  const recordings::Staged* staged = StagedFor(Sypl->text());
  QString written, why;
  platform::WriteFailure cause = platform::WriteFailure::Other;
  // The row the list stood on, to stand on it again after a failure.
  const QString standingOn = q->Field(m_kind.numberField);
  bool ok = tx.Begin();
  if (!ok) {
    why = tx.LastError();
    cause = tx.LastFailure();
  }
  if (ok && staged) ok = recordings::Publish(q->ConnectionName(), *staged, &written, &why);
  if (ok) {
    if (mode == EditorMode::Add)
      q->Append();
    else
      q->Edit();
    q->SetField(m_kind.numberField, outcome.number);
    q->SetField(m_kind.nameField, nameed->text());
    q->SetField(QStringLiteral("章节"), m_chapter);
    q->SetField(m_kind.textField, Text());
    q->SetField(QStringLiteral("声音"), Sypl->text());
    // Only a choice is written: an item nobody chose for keeps following the proposal.
    if (m_kind.pictures && !m_pictureChoice.isNull())
      q->SetField(pictures::kColumn, m_pictureChoice.toString());
    const bool posted = q->Post();
    ok = posted && tx.Commit();
    if (!ok) {
      why = posted ? tx.LastError() : q->LastError();
      cause = posted ? tx.LastFailure() : q->LastFailure();
    }
  }
  if (!ok) {
    qCWarning(lcDb).noquote() << "item not stored:" << why;
    tx.Rollback();
    if (!written.isEmpty()) QFile::remove(written);
    q->Cancel();
    // A row posted but not committed is in the cached rows: the list shows what is stored.
    const QString number = standingOn;
    if (q->Reopen() && !number.isEmpty()) q->Locate(m_kind.numberField, number, false);
    editors::SaveFailed(this, cause, m_kind.storeFailed);
    return;
  }
  if (!q->Reopen()) qCWarning(lcDb).noquote() << "item list not read again:" << q->LastError();
  close();
}

QString TItemEditorForm::Connection() const { return dm ? dm->ConnectionName() : QString(); }

const recordings::Staged* TItemEditorForm::StagedFor(const QString& name) const {
  for (const recordings::Staged& s : m_staged)
    if (s.name == name) return &s;
  return nullptr;
}

bool TItemEditorForm::KeepRecording(const QByteArray& bytes, const QString& name, QString* error) {
  recordings::Staged staged;
  if (!recordings::Stage(Connection(), m_kind, name, bytes, &staged, error)) return false;
  if (!StagedFor(staged.name)) m_staged.push_back(staged);
  SetSoundPath(staged.name);
  return true;
}

QString TItemEditorForm::SoundToPlay() const {
  const recordings::Staged* staged = StagedFor(Sypl->text());
  return staged ? staged->localPath : recordings::LocalPath(Connection(), Sypl->text());
}

void TItemEditorForm::SelectfbClick() {
  // Where the adult's own recordings of this kind are, unless the item names a file elsewhere.
  QString folder = RecordingsFolder(m_kind);
  if (QFileInfo(Sypl->text()).isAbsolute())
    folder = QFileInfo(Sypl->text()).absolutePath();
  else
    QDir().mkpath(folder);
  const QString path = platform::GetOpenFileName(this, QString(), QStringLiteral("*.wav"), folder);
  if (path.isEmpty()) {
    platform::MessageBox(this, QStringLiteral("没有选取声音文件！"), QStringLiteral("关于选取声音"),
                         platform::MB_OK | platform::MB_ICONWARNING);
    return;
  }
  // A copy in the library: moving or deleting the original later cannot break the lesson.
  QFile file(path);
  QString error;
  const QString name =
      nameed->text().trimmed().isEmpty() ? QFileInfo(path).completeBaseName() : nameed->text();
  // Only a plain file: opening a FIFO would block.
  if (QFileInfo(path).isFile() && file.size() > platform::kMaxRecordingBytes) {
    editors::Warn(this, QStringLiteral("声音文件“%1”太大（%2 MB），录音最多 %3 MB。")
                            .arg(QDir::toNativeSeparators(path))
                            .arg(double(file.size()) / (1 << 20), 0, 'f', 1)
                            .arg(platform::kMaxRecordingBytes >> 20));
    return;
  }
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
    editors::Warn(this,
                  QStringLiteral("不能读取声音文件“%1”。").arg(QDir::toNativeSeparators(path)));
    return;
  }
  if (!KeepRecording(file.readAll(), name, &error)) editors::Warn(this, error);
}

void TItemEditorForm::TestsbClick() {
  if (Sypl->text().isEmpty()) {
    editors::Warn(this, QStringLiteral("没有选择声音文件！"));
    return;
  }
  platform::PlaySound(SoundToPlay());
}

void TItemEditorForm::DELLSBClick() { SetSoundPath(QString()); }

void TItemEditorForm::SetChapter(const QString& chapter) {
  m_chapter = chapter;
  ZJPL->setToolTip(chapter);
  // A long chapter name gets smaller type rather than losing its end.
  int size = 20;
  while (size > 10 && QFontMetrics(SongFont(size, true)).horizontalAdvance(chapter) > ZJPL->width())
    --size;
  ZJPL->setFont(SongFont(size, true));
  // Past the smallest type the end goes, cut between characters and marked.
  ZJPL->setText(QFontMetrics(ZJPL->font()).elidedText(chapter, Qt::ElideRight, ZJPL->width()));
}

void TItemEditorForm::SetSoundPath(const QString& path) {
  Sypl->setText(path);
  Sypl->setToolTip(path);
}

void TItemEditorForm::done(int result) {
  platform::PlaySound(QString());
  // What was made here and no saved row names goes again.
  for (const recordings::Staged& s : m_staged) recordings::Discard(Connection(), s);
  m_staged.clear();
  editors::TEditorForm::done(result);
}

TItemEditorForm* NewItemEditor(QWidget* owner, LessonKindId kind) {
  switch (kind) {
    case LessonKindId::Poem:
      return new TxssoundaddForm(owner);
    case LessonKindId::English:
      return new TxyysoundaddForm(owner);
    case LessonKindId::Character:
      break;
  }
  return new TSzsoundaddForm(owner);
}
