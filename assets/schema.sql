-- Lesson database schema, valid for SQLite and PostgreSQL alike.
-- Number columns are integers so that 10 sorts after 9; unique indexes reject duplicate numbers.
create table ZJ (章号 integer not null, 章节 varchar(200) not null);
create unique index zj_number on ZJ (章号);
create table xsZJ (章号 integer not null, 章节 varchar(200) not null);
create unique index xszj_number on xsZJ (章号);
create table xyyZJ (章号 integer not null, 章节 varchar(200) not null);
create unique index xyyzj_number on xyyZJ (章号);
create table szSound (字号 integer not null, 字名 varchar(200) not null, 章节 varchar(200), 拼音词组 text, 声音 text);
create unique index szsound_number on szSound (字号);
create table xsSound (诗号 integer not null, 诗名 varchar(200) not null, 章节 varchar(200), 诗 text, 声音 text);
create unique index xssound_number on xsSound (诗号);
create table xyySound (语号 integer not null, 英语名 varchar(200) not null, 章节 varchar(200), 汉语翻译 text, 声音 text);
create unique index xyysound_number on xyySound (语号);
create table SYS (名称 varchar(100), 内容 text);
