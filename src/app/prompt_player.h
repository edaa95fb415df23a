// SPDX-License-Identifier: GPL-3.0-or-later
// Spoken prompts for a child who cannot read yet: the menu's buttons, the picker, a game's task
// and its praise say themselves. Voices are made once with speech synthesis and kept in the
// cache. Only a prompt already made is played: one is made on a thread of its own, so a prompt
// never holds up the window, and never plays late over what followed. A new prompt (or any
// sound) cuts the one playing.
#pragma once

#include <QString>
#include <QStringList>

class QAbstractButton;

// Whether prompts are spoken (on unless an adult switched them off; kept per computer).
bool PromptsOn();
void SetPromptsOn(bool on);

// Says `text` when prompts are on and its file is made, and returns whether it did (the caller
// may play its own chime when not); a file not made yet is started for the next time.
bool SayPrompt(const QString& text);
// Makes the files for `texts` ahead of their first use, on a thread of its own.
void PreparePrompts(const QStringList& texts);
// Waits until the prompts being made are made.
void WaitForPrompts();
// What the menu and the picker say, made ahead at start-up.
QStringList StandardPrompts();

// The file that says `text`, made on first use; empty, with the reason in `error`, when speech
// cannot be made.
QString PromptFile(const QString& text, QString* error = nullptr);

// The button says `text` when the pointer rests on it for kPromptHoverMs and when it is pressed.
inline constexpr int kPromptHoverMs = 500;
void SpeakButton(QAbstractButton* button, const QString& text);
