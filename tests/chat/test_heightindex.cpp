#include "heightindex.h"

#include <QRandomGenerator>
#include <QTest>

using namespace velmora;

class TestHeightIndex : public QObject {
    Q_OBJECT

private slots:
    void emptyIndex()
    {
        HeightIndex index;
        QCOMPARE(index.indexAt(0), -1);
        QCOMPARE(index.total(), 0);
    }

    // Against plain sums, through appends, changes and zero heights.
    void matchesPlainSums()
    {
        QRandomGenerator random(7);
        HeightIndex index;
        std::vector<int> heights;
        for (int step = 0; step < 3000; ++step) {
            if (heights.empty() || random.bounded(3) != 0) {
                const int h = random.bounded(4) == 0 ? 0 : int(random.bounded(1, 60));
                index.append(h);
                heights.push_back(h);
            } else {
                const int i = int(random.bounded(int(heights.size())));
                const int h = int(random.bounded(0, 60));
                index.set(i, h);
                heights[std::size_t(i)] = h;
            }
        }
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
};

QTEST_APPLESS_MAIN(TestHeightIndex)
#include "test_heightindex.moc"
