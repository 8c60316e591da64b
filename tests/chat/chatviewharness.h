#pragma once

// A chat view that records the links it would open and the failures it would
// report, instead of opening or reporting them.

#include "chatview.h"

#include <QList>
#include <QStringList>
#include <QTest>
#include <QUrl>

namespace velmora::testing {

struct ChatViewHarness {
    ChatView view;
    QList<QUrl> opened;
    QStringList failures;

    ChatViewHarness()
    {
        view.setUrlOpener([this](const QUrl& url) {
            opened.append(url);
            return true;
        });
        view.setFailureReporter([this](const QString& text) { failures.append(text); });
        view.resize(400, 200);
    }

    void show()
    {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }
};

} // namespace velmora::testing
