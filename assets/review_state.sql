-- SPDX-License-Identifier: GPL-3.0-or-later
-- What each child remembers of each item, as the review scheduler keeps it: one row per child and
-- item. Days (due, last_review, first_review) are yyyymmdd like the learning record's. state:
-- 0 new, 1 learning, 2 review, 3 relearning.
create table if not exists review_state (child_id integer not null, item varchar(200) not null, stability double precision not null, difficulty double precision not null, due integer not null, last_review integer not null, first_review integer not null, reps integer not null, lapses integer not null, state integer not null);
create unique index if not exists review_state_item on review_state (child_id, item);
create index if not exists review_state_due on review_state (child_id, due);
