-- SPDX-License-Identifier: GPL-3.0-or-later
-- The learning record: one row per action a child took, with the computer it was taken on.
-- day is yyyymmdd, so that SQLite and PostgreSQL group and compare days alike; at_time is the
-- local time as yyyy-MM-dd hh:mm:ss. module: 0 characters, 1 poems, 2 English, 3 drill.
-- item: the character, poem or English item; operation, results (1 right, 0 answer shown, one per
-- exercise) and score: a drill series.
create table if not exists learn_record (machine varchar(100) not null, day integer not null, at_time varchar(19) not null, module integer not null, item varchar(200), operation varchar(1), results varchar(5), score integer);
-- Each reading of the record window finds its rows through one of these without a table scan.
create index if not exists learn_record_day on learn_record (day, module);
create index if not exists learn_record_machine on learn_record (machine, day, module);
create index if not exists learn_record_item on learn_record (module, machine, item);
create index if not exists learn_record_series on learn_record (module, machine, day);
