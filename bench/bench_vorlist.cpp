// TvorList::Sort on 1,000,000 items per key type against the practical limit: std::sort
// over the same keys, converted beforehand (collation keys, code-unit texts, numbers,
// dates), paired with the item index so that the result is a permutation as well.
//
// TvorList's time includes converting every key once, the partition-exchange scheme
// and moving the items; the limit's time is the std::sort alone. The numeric limit
// sorts by the numeric order's whole key: the number, and for the texts without a
// number (value 0) their collation key. Prints
//   ratio sort.<type> = TvorList time / limit time
// for text, textcs (case-sensitive), numeric and date. Text keys are collated under
// en_US (ICU sort keys); `sort.text_c` and `sort.numeric_c` repeat those cases under
// the C locale's collation, which compares case-folded texts.
#include "host/formatsettings.h"
#include "host/textconvert.h"
#include "keyedlist/vorlist.h"
#include "manualtime.h"

#include <QCollatorSortKey>
#include <QCoreApplication>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

using namespace vorgrd;
using vorgrd::bench::printRatio;
using vorgrd::bench::RatioReporter;

namespace {

constexpr int itemCount = 1'000'000;

QString randomWord(QRandomGenerator &random, int minLength, int maxLength)
{
    static const QString letters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QString word;
    const int length = minLength + random.bounded(maxLength - minLength + 1);
    for (int i = 0; i < length; ++i)
        word += letters[random.bounded(int(letters.size()))];
    return word;
}

QStringList makeTexts(TLSortType type)
{
    QRandomGenerator random(20261207 + int(type));
    QStringList texts;
    texts.reserve(itemCount);
    for (int i = 0; i < itemCount; ++i) {
        switch (type) {
        case sString:
        case sStringCaseSensitive:
            texts << randomWord(random, 4, 12);
            break;
        case sNumeric:
            if (random.bounded(5) == 0)
                texts << randomWord(random, 3, 8); // about 20% without a number
            else
                texts << QString::number(random.bounded(2000000) - 1000000) + "." +
                             QString::number(random.bounded(100)) + " kg";
            break;
        case sDate:
            texts << QStringLiteral("%1-%2-%3 %4:%5")
                         .arg(1900 + random.bounded(200))
                         .arg(1 + random.bounded(12), 2, 10, QChar(u'0'))
                         .arg(1 + random.bounded(28), 2, 10, QChar(u'0'))
                         .arg(random.bounded(24), 2, 10, QChar(u'0'))
                         .arg(random.bounded(60), 2, 10, QChar(u'0'));
            break;
        }
    }
    return texts;
}

const QStringList &textsFor(TLSortType type)
{
    static std::map<int, QStringList> cache;
    auto it = cache.find(int(type));
    if (it == cache.end()) it = cache.emplace(int(type), makeTexts(type)).first;
    return it->second;
}

void setCollation(bool cLocale)
{
    FormatSettings settings = FormatSettings::invariant();
    settings.CollationLocale =
        cLocale ? QLocale::c() : QLocale(QLocale::English, QLocale::UnitedStates);
    setFormatSettings(settings);
}

void BM_TvorListSort(benchmark::State &state, TLSortType type, bool cLocale)
{
    setCollation(cLocale);
    const QStringList &texts = textsFor(type);
    TvorList list;
    list.SetKeyType(type);
    for (auto _ : state) {
        state.PauseTiming();
        list.Clear();
        for (int i = 0; i < texts.size(); ++i)
            list.AddObject(texts[i], reinterpret_cast<void *>(quintptr(i)));
        state.ResumeTiming();
        list.Sort();
        benchmark::DoNotOptimize(list.Objects(0));
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
}

template <typename Key, typename Less>
void sortLimit(benchmark::State &state, const std::vector<std::pair<Key, int>> &keys, Less less)
{
    std::vector<std::pair<Key, int>> work;
    for (auto _ : state) {
        state.PauseTiming();
        work = keys;
        state.ResumeTiming();
        std::sort(work.begin(), work.end(), less);
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * qint64(keys.size()));
}

void BM_LimitSort(benchmark::State &state, TLSortType type, bool cLocale)
{
    setCollation(cLocale);
    const QStringList &texts = textsFor(type);
    switch (type) {
    case sString:
        if (cLocale) {
            std::vector<std::pair<QString, int>> keys;
            for (int i = 0; i < texts.size(); ++i)
                keys.emplace_back(texts[i].toCaseFolded(), i);
            sortLimit(state, keys, [](const auto &a, const auto &b) { return a.first < b.first; });
        } else {
            std::vector<std::pair<QCollatorSortKey, int>> keys;
            for (int i = 0; i < texts.size(); ++i)
                keys.emplace_back(textCollator().sortKey(texts[i]), i);
            sortLimit(state, keys,
                      [](const auto &a, const auto &b) { return a.first.compare(b.first) < 0; });
        }
        break;
    case sStringCaseSensitive: {
        std::vector<std::pair<QStringView, int>> keys;
        for (int i = 0; i < texts.size(); ++i)
            keys.emplace_back(texts[i], i);
        sortLimit(state, keys, [](const auto &a, const auto &b) { return a.first < b.first; });
        break;
    }
    case sNumeric: {
        // The numeric order's full key: the number, and for the zero-valued keys
        // (texts without a number) their collation key.
        struct NumericKey
        {
            double value;
            std::optional<QCollatorSortKey> collated; // real collation locale
            QString folded;                           // C locale
        };
        std::vector<std::pair<NumericKey, int>> keys;
        for (int i = 0; i < texts.size(); ++i) {
            NumericKey key{LeadingNumber(texts[i]), std::nullopt, QString()};
            if (key.value == 0) {
                if (cLocale)
                    key.folded = texts[i].toCaseFolded();
                else
                    key.collated = textCollator().sortKey(texts[i]);
            }
            keys.emplace_back(std::move(key), i);
        }
        sortLimit(state, keys, [](const auto &a, const auto &b) {
            if (a.first.value != b.first.value) return a.first.value < b.first.value;
            if (a.first.collated && b.first.collated)
                return a.first.collated->compare(*b.first.collated) < 0;
            return a.first.folded < b.first.folded;
        });
        break;
    }
    case sDate: {
        std::vector<std::pair<double, int>> keys;
        for (int i = 0; i < texts.size(); ++i)
            keys.emplace_back(StrToDateTime(texts[i]), i);
        sortLimit(state, keys, [](const auto &a, const auto &b) { return a.first < b.first; });
        break;
    }
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    struct Kind
    {
        const char *name;
        TLSortType type;
        bool cLocale;
    } kinds[] = {
        {"text", sString, false},     {"textcs", sStringCaseSensitive, false},
        {"numeric", sNumeric, false}, {"date", sDate, false},
        {"text_c", sString, true},    {"numeric_c", sNumeric, true},
    };
    for (const Kind &k : kinds) {
        benchmark::RegisterBenchmark((std::string("tvorlist/") + k.name).c_str(), BM_TvorListSort,
                                     k.type, k.cLocale)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
        benchmark::RegisterBenchmark((std::string("limit/") + k.name).c_str(), BM_LimitSort, k.type,
                                     k.cLocale)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const Kind &k : kinds)
        printRatio(reporter.seconds, std::string("sort.") + k.name,
                   std::string("tvorlist/") + k.name, std::string("limit/") + k.name);
    return 0;
}
