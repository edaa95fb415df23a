-- SPDX-License-Identifier: GPL-3.0-or-later
-- The listening game looks characters up by name (the child's due ones, the chapters the child has
-- opened): without an index each lookup passes over the whole table.
create index if not exists szsound_name on szSound (字名);
