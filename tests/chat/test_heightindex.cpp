#include "heightindex.h"
#include "strictwarnings.h"

#include <QRandomGenerator>
#include <QTest>

using namespace velmora;

class TestHeightIndex : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void emptyIndex()
    {
        HeightIndex index;
        QCOMPARE(index.indexAt(0), -1);
        QCOMPARE(index.total(), 0);
    }

    // Against plain sums, through appends, changes, zero heights and dropping the oldest
    // (often enough that the storage is compacted several times).
    void matchesPlainSums()
    {
        QRandomGenerator random(7);
        HeightIndex index;
        std::vector<int> heights;
        for (int step = 0; step < 12000; ++step) {
            const quint32 op = random.bounded(8);
            if (heights.empty() || op < 4) {
                const int h = random.bounded(4) == 0 ? 0 : int(random.bounded(1, 60));
                index.append(h);
                heights.push_back(h);
            } else if (op < 6) {
                const int i = int(random.bounded(int(heights.size())));
                const int h = int(random.bounded(0, 60));
                index.set(i, h);
                heights[std::size_t(i)] = h;
            } else {
                const int n = int(random.bounded(std::min<int>(int(heights.size()), 3) + 1));
                index.removeFront(n);
                heights.erase(heights.begin(), heights.begin() + n);
            }
        }
        QVERIFY(heights.size() > 100);
        QCOMPARE(index.size(), int(heights.size()));
        qint64 sum = 0;
        for (int i = 0; i < int(heights.size()); ++i) {
            QCOMPARE(index.offset(i), sum);
            QCOMPARE(index.height(i), heights[std::size_t(i)]);
            if (heights[std::size_t(i)] > 0) {
                QCOMPARE(index.indexAt(sum), i);
                QCOMPARE(index.indexAt(sum + heights[std::size_t(i)] - 1), i);
            }
            sum += heights[std::size_t(i)];
        }
        QCOMPARE(index.total(), sum);
        QCOMPARE(index.indexAt(sum + 100), int(heights.size()) - 1);
        QCOMPARE(index.indexAt(-5), 0);
    }

    void removeEverything()
    {
        HeightIndex index;
        for (int i = 0; i < 3000; ++i)
            index.append(10);
        index.removeFront(2999);
        QCOMPARE(index.size(), 1);
        QCOMPARE(index.offset(0), 0);
        QCOMPARE(index.indexAt(5), 0);
        QCOMPARE(index.total(), 10);
        index.removeFront(5); // more than there are
        QCOMPARE(index.size(), 0);
        QCOMPARE(index.indexAt(0), -1);
        QCOMPARE(index.total(), 0);
        index.append(7);
        QCOMPARE(index.indexAt(6), 0);
        QCOMPARE(index.offset(0), 0);
    }
};

QTEST_APPLESS_MAIN(TestHeightIndex)
#include "test_heightindex.moc"
