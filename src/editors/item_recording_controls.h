// SPDX-License-Identifier: GPL-3.0-or-later
// The item editor's own recordings: "录音" and "停止" with a level meter, "合成" (speech
// synthesis) and, for characters, "拼音" (a proposed pinyin line). They sit beside the editor's
// path controls and end, like "选取", by putting a recording's name into Sypl.
#pragma once

#include <QObject>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include "platform/microphone.h"

class QLabel;
class QToolButton;
class TItemEditorForm;

namespace editors {

// A horizontal bar showing how loud the microphone is, on a decibel scale.
class LevelMeter : public QWidget {
  Q_OBJECT
 public:
  explicit LevelMeter(QWidget* parent);
  // `peak` from 0 to 1; the bar falls back gently instead of flickering.
  void SetLevel(double peak);
  void Clear();
  double Shown() const { return m_shown; }  // 0 to 1, as drawn

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double m_shown = 0;
};

class ItemRecordingControls : public QObject {
  Q_OBJECT
 public:
  // The row of recording controls goes at `row` (left, top, width, height) on the editor's
  // panel, "合成" at its right end; "拼音" at `pinyinAt` beside PYED (character editor only).
  ItemRecordingControls(TItemEditorForm* editor, const QRect& row, const QRect& pinyinAt);

  QToolButton* RecordSb;  // "录音"
  QToolButton* StopSb;    // "停止"
  LevelMeter* Meter;
  QLabel* TimeLabel;                // "0:12 / 5:00"
  QToolButton* SpeakSb;             // "合成"
  QToolButton* PinyinSb = nullptr;  // "拼音"

  void RecordSbClick();
  void StopSbClick();
  void SpeakSbClick();
  void PinyinSbClick();
  bool IsRecording() const { return m_microphone.IsRecording(); }

 private:
  void Tick();
  void SetRecording(bool on);
  bool HasName();
  // Becomes the item's recording, named after the item; kept only when the item is saved.
  void Keep(const platform::Samples& samples);
  void UpdatePinyinButton();
  // PYED is empty or holds what the program proposed, untouched by the adult.
  bool HoldsProposal() const;

  TItemEditorForm* m_editor;
  QString m_proposed;  // the last pinyin line the program put into PYED
  platform::Microphone m_microphone;
  QTimer m_timer;
};

}  // namespace editors
