// Reports to the player: shown after the current message, one at a time,
// identical texts once, never one box inside another.

#include "client/reportqueue.h"
#include "strictwarnings.h"

#include <QtTest>

using namespace velmora;

class TestReportQueue : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void floodOfOneReportShowsOneBox()
    {
        QStringList shown;
        ReportQueue reports([&](const QString& text) { shown << text; });
        for (int i = 0; i < 20000; ++i)
            reports.post(QStringLiteral("Game is full"));
        QVERIFY(shown.isEmpty()); // never inside the caller's own handling
        QSignalSpy drained(&reports, &ReportQueue::drained);
        QVERIFY(drained.wait(5000));
        QCOMPARE(shown, QStringList{QStringLiteral("Game is full")});
    }

    void reportsDuringABoxWaitForIt()
    {
        QStringList shown;
        int depth = 0;
        int deepest = 0;
        ReportQueue* queue = nullptr;
        ReportQueue reports([&](const QString& text) {
            deepest = std::max(deepest, ++depth);
            shown << text;
            if (text == QLatin1String("first")) {
                // A box runs its own event loop; what arrives meanwhile waits.
                queue->post(QStringLiteral("second"));
                queue->post(QStringLiteral("first")); // the one on screen
                QEventLoop loop;
                QTimer::singleShot(10, &loop, &QEventLoop::quit);
                loop.exec();
            }
            --depth;
        });
        queue = &reports;
        reports.post(QStringLiteral("first"));
        QSignalSpy drained(&reports, &ReportQueue::drained);
        QVERIFY(drained.wait(5000));
        QCOMPARE(shown, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
        QCOMPARE(deepest, 1);
    }

    void distinctReportsAreBounded()
    {
        QStringList shown;
        ReportQueue reports([&](const QString& text) { shown << text; });
        for (int i = 0; i < 100; ++i)
            reports.post(QString::number(i));
        QSignalSpy drained(&reports, &ReportQueue::drained);
        QVERIFY(drained.wait(5000));
        QCOMPARE(shown.size(), int(ReportQueue::kMaxWaiting));
        QCOMPARE(shown.first(), QStringLiteral("0"));
    }
};

QTEST_GUILESS_MAIN(TestReportQueue)
#include "tst_reportqueue.moc"
