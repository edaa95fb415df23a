// SPDX-License-Identifier: GPL-3.0-or-later
// The two kinds of login on a classroom's PostgreSQL server: the teacher's, which reads and writes
// the course (and brings the schema up to date), and the seats', which read lessons, chapters,
// recordings and profiles and add learning notes, writing stars and reviews, nothing else. The program asks the server what
// its login may do when it starts, rather than learning it from a failed write.
#pragma once

#include <QString>

enum class ClassroomLogin { Teacher, Seat };

// Whether the database on `connection` is a PostgreSQL server.
bool IsPostgres(const QString& connection);

// Grants `role` what its kind of login needs on the lesson tables of the connection's schema. The
// connection must be the course owner's. Refused with a message on anything but PostgreSQL.
bool GrantClassroomLogin(const QString& connection, ClassroomLogin kind, const QString& role,
                         QString* error);

// A schema step: the seats' logins granted by an older version (the logins that may add learning
// notes without owning the table) get the rights on the tables a seat writes since. Nothing to do
// on anything but PostgreSQL.
bool GrantSeatsChildTables(const QString& connection, QString* error);

// Whether this login may change the course: false for a seat's login on a server. Tables the
// login cannot even see count as not editable.
bool MayEditCourse(const QString& connection);
