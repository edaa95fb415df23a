-- SPDX-License-Identifier: GPL-3.0-or-later
-- Lesson database schema, valid for SQLite and PostgreSQL alike.
-- Number columns are integers so that 10 sorts after 9; unique indexes reject duplicate numbers.
-- Everything is created only when missing, so an interrupted set-up can simply be run again.
create table if not exists ZJ (章号 integer not null, 章节 varchar(200) not null);
create unique index if not exists zj_number on ZJ (章号);
create table if not exists xsZJ (章号 integer not null, 章节 varchar(200) not null);
create unique index if not exists xszj_number on xsZJ (章号);
create table if not exists xyyZJ (章号 integer not null, 章节 varchar(200) not null);
create unique index if not exists xyyzj_number on xyyZJ (章号);
create table if not exists szSound (字号 integer not null, 字名 varchar(200) not null, 章节 varchar(200), 拼音词组 text, 声音 text);
create unique index if not exists szsound_number on szSound (字号);
create table if not exists xsSound (诗号 integer not null, 诗名 varchar(200) not null, 章节 varchar(200), 诗 text, 声音 text);
create unique index if not exists xssound_number on xsSound (诗号);
create table if not exists xyySound (语号 integer not null, 英语名 varchar(200) not null, 章节 varchar(200), 汉语翻译 text, 声音 text);
create unique index if not exists xyysound_number on xyySound (语号);
create table if not exists SYS (名称 varchar(100), 内容 text);
