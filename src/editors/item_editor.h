// SPDX-License-Identifier: GPL-3.0-or-later
// The item editor: one lesson item's number, name, text and recording, checked and stored through
// the data module's goQuery, which the item list manager below has left on the chosen chapter.
// One implementation for the three lesson kinds; the named classes are thin products of it.
#pragma once

#include <QVector>

#include "data/lesson_kinds.h"
#include "data/recordings_library.h"
#include "editors/editor_frame.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
namespace editors {
class ItemRecordingControls;
}

class TItemEditorForm : public editors::TEditorForm {
  Q_OBJECT
 public:
  TItemEditorForm(QWidget* owner, LessonKindId kind);

  const LessonKind& kind() const { return m_kind; }

  QLabel* ZJPL;                   // the chapter, fixed by the list manager
  QLineEdit* PYED = nullptr;      // character kind: pinyin and phrases
  QPlainTextEdit* me1 = nullptr;  // poem and English kinds: the poem or the translation
  QLabel* Sypl;                   // the recording's path, set only through Selectfb and DELLSB
  QToolButton* Selectfb;
  QToolButton* Testsb;
  QToolButton* DELLSB;
  // "录音", "停止", the level meter, "合成" and "拼音": recordings made in the editor.
  editors::ItemRecordingControls* Recording;
  // Character and English kinds: the picture with "换一个" and "不要图片" (else null).
  QLabel* PictureLb = nullptr;
  QToolButton* NextPictureSb = nullptr;
  QToolButton* NoPictureSb = nullptr;

  // The item text box of this kind (PYED or me1) and its text.
  QWidget* TextBox() const;
  QString Text() const;
  void SetText(const QString& text);
  // ZJPL shows the chapter whole, in smaller type when the name is long, cut with "…" when even
  // the smallest type does not hold it; the item is stored under the whole name.
  void SetChapter(const QString& chapter);
  const QString& Chapter() const { return m_chapter; }
  // Sypl shows the path (its whole text also as a tooltip, as a long path is cut off).
  void SetSoundPath(const QString& path);
  // The picture stored with the item: null while nobody chose one, so it follows the proposal
  // for the name and text as they are edited (data/item_pictures.h).
  void SetPictureChoice(const QVariant& stored);
  const QVariant& PictureChoice() const { return m_pictureChoice; }
  // What the item shows: the choice, or the proposal.
  QString ShownPicture() const;
  void NextPictureSbClick();
  void NoPictureSbClick();
  // Makes `bytes` (a WAV recorded, synthesised or chosen here) the item's recording, named after
  // `name`. The library gets it only when the item is saved; leaving without saving removes it.
  bool KeepRecording(const QByteArray& bytes, const QString& name, QString* error);
  // A file that plays what Sypl names.
  QString SoundToPlay() const;

  void AddBtnClick() override;
  void ModifyBtnClick() override;
  void SelectfbClick();
  void TestsbClick();
  void DELLSBClick();
  // True when the item being modified may take `name`: no other item of the chapter has exactly
  // that name.
  bool CheckName(const QString& name, QString* error = nullptr);

 protected:
  // FormClose, however the editor is left (close box, Escape, "放弃", a save): a test sound
  // still playing stops with it.
  void done(int result) override;

 private:
  void Save(editors::EditorMode mode);
  // The item names the duplicate check compares with (see editors::NameSource).
  bool NamesToCompare(editors::EditorMode mode, QStringList* names, QString* error);

  QString Connection() const;
  const recordings::Staged* StagedFor(const QString& name) const;

  const LessonKind& m_kind;
  QVector<recordings::Staged> m_staged;  // kept here, in the order made
  QString m_chapter;
  QVariant m_pictureChoice;
  void ShowPicture();
};

// An item editor of the kind's class (TSzsoundaddForm, TxssoundaddForm or TxyysoundaddForm).
TItemEditorForm* NewItemEditor(QWidget* owner, LessonKindId kind);

class TSzsoundaddForm : public TItemEditorForm {
  Q_OBJECT
 public:
  explicit TSzsoundaddForm(QWidget* owner) : TItemEditorForm(owner, LessonKindId::Character) {}
};

class TxssoundaddForm : public TItemEditorForm {
  Q_OBJECT
 public:
  explicit TxssoundaddForm(QWidget* owner) : TItemEditorForm(owner, LessonKindId::Poem) {}
};

class TxyysoundaddForm : public TItemEditorForm {
  Q_OBJECT
 public:
  explicit TxyysoundaddForm(QWidget* owner) : TItemEditorForm(owner, LessonKindId::English) {}
};
