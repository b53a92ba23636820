#include "NSArray.h"
#include "NSDictionary.h"
#include "PropertyList.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QStringList keys(int count)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << QStringLiteral("Bubble.Key%1").arg(i * 7919 % 100000);
    return list;
}

void dictionaryLookup(benchmark::State& state)
{
    const QStringList names = keys(1000);
    RefPtr<NSDictionary> d(new NSDictionary);
    for (const QString& key : names)
        d->setIntForKey(1, key);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(d->valueForKey(names[i]));
        i = (i + 1) % names.size();
    }
}
BENCHMARK(dictionaryLookup);

void dictionaryObjectForKey(benchmark::State& state)
{
    const QStringList names = keys(1000);
    RefPtr<NSDictionary> d(new NSDictionary);
    for (const QString& key : names)
        d->setIntForKey(1, key);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(d->intForKey(names[i]));
        i = (i + 1) % names.size();
    }
}
BENCHMARK(dictionaryObjectForKey);

RefPtr<NSDictionary> largePropertyList()
{
    RefPtr<NSDictionary> d(new NSDictionary);
    for (int i = 0; i < 10000; ++i) {
        switch (i % 4) {
        case 0: d->setIntForKey(i, QStringLiteral("key%1").arg(i)); break;
        case 1: d->setFloatForKey(i * 0.5f, QStringLiteral("key%1").arg(i)); break;
        case 2: d->setStringForKey(QStringLiteral("value %1").arg(i), QStringLiteral("key%1").arg(i)); break;
        default: d->setBoolForKey(i % 8 == 3, QStringLiteral("key%1").arg(i)); break;
        }
    }
    return d;
}

void propertyListWrite(benchmark::State& state)
{
    QTemporaryDir dir;
    RefPtr<NSDictionary> d = largePropertyList();
    const QString path = dir.filePath("large.plist");
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyList::writePropertyList(d.get(), path));
    state.SetLabel("10000 entries");
}
BENCHMARK(propertyListWrite)->Unit(benchmark::kMillisecond);

void propertyListRead(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("large.plist");
    PropertyList::writePropertyList(largePropertyList().get(), path);
    for (auto _ : state) {
        RefPtr<NSDictionary> d(PropertyList::propertyListFromFile(path));
        benchmark::DoNotOptimize(d.get());
    }
    state.SetLabel("10000 entries");
}
BENCHMARK(propertyListRead)->Unit(benchmark::kMillisecond);

} // namespace
