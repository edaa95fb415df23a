// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the reference that test_fsrs holds our scheduler to: review sequences with random grades
// and gaps of 0-400 days, scheduled by ts-fsrs 5.4.2 (MIT licence, Open Spaced Repetition; used
// only here, never shipped) with the program's settings. scripts/check_fsrs_reference.sh fetches
// the package, checks its digest and runs
//   node tests/review/make_fsrs_reference.cjs PACKAGE_FOLDER > tests/review/fsrs_reference.tsv
'use strict';
const path = require('path');
const { fsrs, createEmptyCard, Rating, FSRSVersion } = require(path.resolve(process.argv[2]));

if (FSRSVersion !== 'v5.4.2 using FSRS-6.0') throw new Error(`ts-fsrs ${FSRSVersion}, expected 5.4.2`);
// The same settings as review/fsrs.h.
const f = fsrs({
  request_retention: 0.9,
  maximum_interval: 365,
  enable_fuzz: false,
  enable_short_term: true,
  learning_steps: [],
  relearning_steps: [],
});

// mulberry32: the same sequences on every run.
let seed = 20261208;
function random() {
  seed = (seed + 0x6d2b79f5) | 0;
  let t = Math.imul(seed ^ (seed >>> 15), 1 | seed);
  t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (n) => Math.floor(random() * n);  // 0 .. n-1

// Gaps: same day, a few days, or anything up to 400 days; a few long runs of right answers reach
// the maximum interval.
function gap() {
  const kind = pick(10);
  if (kind < 2) return 0;
  if (kind < 6) return 1 + pick(30);
  return pick(401);
}
function grade(sequence) {
  if (sequence % 10 === 9) return random() < 0.9 ? Rating.Good : Rating.Easy;
  return 1 + pick(4);
}

const day = 86400000;
const start = Date.UTC(2026, 0, 1, 9, 30);
const out = ['sequence\tgap\tgrade\tretrievability\tstability\tdifficulty\tinterval\treps\tlapses'];
for (let sequence = 0; sequence < 240; sequence++) {
  let card = createEmptyCard(new Date(start));
  let now = start;
  const length = 1 + pick(25);
  for (let step = 0; step < length; step++) {
    const g = step === 0 ? 0 : gap();
    now += g * day;
    const r = f.get_retrievability(card, new Date(now), false);
    const rating = grade(sequence);
    card = f.next(card, new Date(now), rating).card;
    out.push([sequence, g, rating, r, card.stability, card.difficulty, card.scheduled_days,
              card.reps, card.lapses].join('\t'));
  }
}
process.stdout.write(out.join('\n') + '\n');
