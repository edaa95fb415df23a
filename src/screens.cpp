// SPDX-License-Identifier: GPL-3.0-or-later
// Registers every window of the program by its class name, so that the menu can open the
// module screens and the screens can open the help windows without including one another.
#include "app/about_window.h"
#include "app/help_windows.h"
#include "app/module_window.h"
#include "app/screen_registry.h"
#include "arithmetic/drill_screen.h"
#include "children/child_picker.h"
#include "children/children_window.h"
#include "editors/chapter_windows.h"
#include "editors/item_list.h"
#include "lessons/character_screen.h"
#include "lessons/verse_screen.h"
#include "program.h"
#include "review/knowledge_window.h"
#include "review/listening_screen.h"
#include "review/today_window.h"
#include "writing/writing_screen.h"

template <class T>
static void Register(const char* name) {
  RegisterScreen(QString::fromLatin1(name), [](QWidget* owner) { return new T(owner); });
}

void RegisterAllScreens() {
  Register<TszmainForm>("TszmainForm");
  Register<TxsmainForm>("TxsmainForm");
  Register<TXYYMAINForm>("TXYYMAINForm");
  Register<TYSMAINForm>("TYSMAINForm");
  Register<TMYHLPForm>("TMYHLPForm");
  Register<TxsMYHLPForm>("TxsMYHLPForm");
  Register<TxyyMYHLPForm>("TxyyMYHLPForm");
  Register<TYSMYHLPForm>("TYSMYHLPForm");
  Register<TAboutForm>("TAboutForm");
  Register<TZJFORM>("TZJFORM");
  Register<TXSZJForm>("TXSZJForm");
  Register<TXyyZJForm>("TXyyZJForm");
  Register<TSzsoundForm>("TSzsoundForm");
  Register<TxssoundForm>("TxssoundForm");
  Register<TxyysoundForm>("TxyysoundForm");
  // The learning record and its charts are a module, loaded when first opened.
  RegisterScreen(QStringLiteral("TRecordsForm"), [](QWidget* owner) {
    return OpenModuleWindow(QStringLiteral("tindora_records_window"), "TindoraRecordsWindow",
                            owner);
  });
  // Sheets and reports with the print dialog, a module of its own.
  RegisterScreen(QStringLiteral("TPrintForm"), [](QWidget* owner) {
    return OpenModuleWindow(QStringLiteral("tindora_print_window"), "TindoraPrintWindow", owner);
  });
  Register<TxzmainForm>("TxzmainForm");
  Register<TxzMYHLPForm>("TxzMYHLPForm");
  Register<TChildPickerForm>("TChildPickerForm");
  Register<TChildrenForm>("TChildrenForm");
  Register<TtyzmainForm>("TtyzmainForm");
  Register<TtyzMYHLPForm>("TtyzMYHLPForm");
  Register<TKnowledgeForm>("TKnowledgeForm");
  Register<TTodayForm>("TTodayForm");
  Register<TStickerAlbumForm>("TStickerAlbumForm");
}
