-- SPDX-License-Identifier: GPL-3.0-or-later
-- Where each child's path of today starts (a chapter, 0 the first) and how many new characters a
-- day (3 to 5); a child without a row starts at the first chapter with three.
create table if not exists child_level (child_id integer not null primary key,
  start_chapter integer not null, new_per_day integer not null);
-- One sticker for each day a child finished the whole path; day: the Julian day.
create table if not exists stickers (child_id integer not null, day integer not null,
  sticker integer not null, primary key (child_id, day));
