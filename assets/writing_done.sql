-- SPDX-License-Identifier: GPL-3.0-or-later
-- The characters each child has finished on the writing screen, so that their stars come back
-- after a chapter switch or a restart. child_id: the child's number, NULL for a character written
-- without a chosen child; item: the character. Written with each writing note.
create table if not exists writing_done (child_id integer, item varchar(16) not null);
create index if not exists writing_done_child on writing_done (child_id, item);
