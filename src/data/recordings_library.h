// SPDX-License-Identifier: GPL-3.0-or-later
// The recordings library: where the recordings an adult makes, chooses or imports are kept, under
// names that no other recording has ("字语音库/绿-3f2a1c9e.wav": the item's name and the start of
// the bytes' SHA-256), so a new recording never replaces one that a row names, and identical
// bytes are kept once. An item's 声音 holds such a name, or, in rows from before the library, a
// full path, which plays as it always did.
//
// Where the bytes live depends on the database: the embedded SQLite file (one seat) keeps them as
// files under the user's data folder; a database reached through ODBC (a server every seat of a
// classroom shares) keeps them in its table "recordings", and each seat fetches what it plays into
// its cache folder once, checked by the hash.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QObject;

struct LessonKind;

namespace recordings {

// Whether `sound` claims to be a library name (a kind's folder, "/", a file) rather than a path.
bool IsLibraryName(const QString& sound);
// Whether `name` is one the library gives: a kind's folder, the item's name, "-", 8, 16 or 64
// hex digits of the SHA-256, ".wav", and no other separator. Names read from a database are
// checked against it before any file is touched; the others are refused and logged.
bool IsValidName(const QString& name);
// Whether the database on `connection` holds the recordings itself (any ODBC database).
bool InDatabase(const QString& connection);
// The folder the kinds' recording folders are in when they are files: the user's data folder.
QString LibraryRoot();
// The seat's copies of recordings fetched from a database, and of recordings not saved yet.
QString CacheRoot();

// A recording the editor made or chose: held in the cache until the item is saved.
struct Staged {
  QString name;              // the library name 声音 will hold
  QString localPath;         // where it plays meanwhile
  bool createdCopy = false;  // localPath was written for it
};

// Names `bytes` for an item called `itemName` of `kind` and puts them where they can be played.
// Bytes the library already has keep the name they have.
bool Stage(const QString& connection, const LessonKind& kind, const QString& itemName,
           const QByteArray& bytes, Staged* staged, QString* error);

// Puts bytes under `name` into the library: a new file, never replacing one, or a row of the
// table, inside the caller's transaction. `written` gets the file written, which the caller
// removes should its transaction fail. Storing a name the library already has does nothing.
// `root`: another folder than LibraryRoot() for files (a lesson pack's --sound-dir).
bool Publish(const QString& connection, const QString& name, const QByteArray& bytes,
             QString* written, QString* error, const QString& root = {});
bool Publish(const QString& connection, const Staged& staged, QString* written, QString* error);

// Removes the copy Stage made, unless it is the seat's cached copy of a stored recording.
void Discard(const QString& connection, const Staged& staged);

// Marks this program as using the seat's cache for as long as it runs (until the process ends).
void HoldCache();
// Removes from the seat's cache the recordings no row names: a copy an editor staged is left
// there when the program is ended while the editor is open. Nothing is removed while another
// copy of the program runs on this computer (an editor of its own may be open). `removed` gets
// the names.
bool SweepCache(const QString& connection, QStringList* removed, QString* error);

// The library name for `bytes` of an item called `itemName`: the one the library already gives
// those bytes, else a new one. Empty with `error` when the library can't be read.
QString NameFor(const QString& connection, const LessonKind& kind, const QString& itemName,
                const QByteArray& bytes, QString* error, const QString& root = {});

// A file that plays `sound`: a path as it is; a library name from the library folder or from the
// cache, fetching it from the database the first time. When that fails the reason is logged and
// the name comes back unchanged, which the player answers with its default sound.
// A library name that fails IsValidName gives an empty path (no recording).
QString LocalPath(const QString& connection, const QString& sound);

// Whether playing `sound` needs a fetch from the database first: a library name not yet cached.
bool NeedsFetch(const QString& connection, const QString& sound);
// LocalPath on a thread with a connection of its own, so that a slow or frozen server never holds
// up the screen; `done` then runs on `context`'s thread, unless `context` is gone by then.
void FetchLater(const QString& connection, const QString& sound, QObject* context,
                std::function<void(const QString& path)> done);

// What StoreNamedRecordings did: "item: file" lines.
struct StoreReport {
  QStringList stored;   // uploaded now (the row names the library's copy from now on)
  QStringList missing;  // named by a row, but neither on this computer nor in the database
  QStringList refused;  // not a playable WAV within the size limit, or a name not the library's
  int alreadyStored = 0;
};

// Puts into the database every recording its item rows name that is a file on this computer and
// a playable WAV within platform::kMaxRecordingBytes, under the name its bytes give, and points
// those rows at it, each row in one transaction with its recording. A second run finds nothing
// left to do. Only for a database that keeps recordings (InDatabase).
bool StoreNamedRecordings(const QString& connection, StoreReport* report, QString* error);

// The library against the rows: recordings that no item names (`unnamed`, with names the
// library would never give among them) and library names that items name but the library lacks
// (`missing`, "item: name").
struct CheckReport {
  QStringList unnamed;
  QStringList missing;
};
bool CheckLibrary(const QString& connection, CheckReport* report, QString* error);
// Removes the recordings no item names: in one transaction on a server, else the files in the
// library folder. `removed` gets their names.
bool PruneLibrary(const QString& connection, QStringList* removed, QString* error);

// The lowercase hex SHA-256 of `bytes`.
QString Sha256(const QByteArray& bytes);

}  // namespace recordings
