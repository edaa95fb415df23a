-- SPDX-License-Identifier: GPL-3.0-or-later
-- Items are read one chapter at a time, in number order (lesson screens, item lists, renames):
-- an index on chapter name and number finds them in order without a pass over the whole table.
create index if not exists szsound_chapter on szSound (章节, 字号);
create index if not exists xssound_chapter on xsSound (章节, 诗号);
create index if not exists xyysound_chapter on xyySound (章节, 语号);
