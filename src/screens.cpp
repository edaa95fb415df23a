// Registers every window of the program by its class name. Modules that are not built yet are
// simply left out.
#include "shell/screen_registry.h"

#if __has_include("lessons/character_screen.h")
#include "lessons/character_screen.h"
#define HAVE_CHARACTER_SCREEN
#endif
#if __has_include("lessons/verse_screen.h")
#include "lessons/verse_screen.h"
#define HAVE_VERSE_SCREEN
#endif
#if __has_include("arithmetic/drill_screen.h")
#include "arithmetic/drill_screen.h"
#define HAVE_DRILL_SCREEN
#endif
#if __has_include("shell/help_windows.h")
#include "shell/help_windows.h"
#define HAVE_HELP_WINDOWS
#endif
#if __has_include("shell/about_window.h")
#include "shell/about_window.h"
#define HAVE_ABOUT_WINDOW
#endif

template <class T>
static void Register(const char* name) {
  RegisterScreen(QString::fromLatin1(name), [](QWidget* owner) { return new T(owner); });
}

void RegisterAllScreens() {
#ifdef HAVE_CHARACTER_SCREEN
  Register<TszmainForm>("TszmainForm");
#endif
#ifdef HAVE_VERSE_SCREEN
  Register<TxsmainForm>("TxsmainForm");
  Register<TXYYMAINForm>("TXYYMAINForm");
#endif
#ifdef HAVE_DRILL_SCREEN
  Register<TYSMAINForm>("TYSMAINForm");
#endif
#ifdef HAVE_HELP_WINDOWS
  Register<TMYHLPForm>("TMYHLPForm");
  Register<TxsMYHLPForm>("TxsMYHLPForm");
  Register<TxyyMYHLPForm>("TxyyMYHLPForm");
  Register<TYSMYHLPForm>("TYSMYHLPForm");
#endif
#ifdef HAVE_ABOUT_WINDOW
  Register<TAboutForm>("TAboutForm");
#endif
}
