#include "controls/tselbutton.h"
#include "windows/downloadform.h"
#include "strictwarnings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/socket.h>

using namespace velmora;

namespace {

// A web server on loopback that the test answers by hand, byte by byte.
class ManualServer : public QObject {
public:
    ManualServer()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                ++connections;
                client = socket;
                request.clear();
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                    if (socket == client)
                        request += socket->readAll();
                });
            }
        });
    }

    QUrl url(const QString& path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }
    bool hasRequest() const { return request.contains("\r\n\r\n"); }
    void send(const QByteArray& bytes) { client->write(bytes); }
    // Closes at once with a reset instead of an orderly end.
    void reset()
    {
        const linger hard{1, 0};
        ::setsockopt(int(client->socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        client->abort();
    }

    QTcpServer m_server;
    QPointer<QTcpSocket> client;
    QByteArray request;
    int connections = 0;
};

QByteArray head(int status, const QByteArray& reason, qint64 length = -1)
{
    QByteArray text = "HTTP/1.0 " + QByteArray::number(status) + ' ' + reason + "\r\nServer: test\r\n";
    if (length >= 0)
        text += "Content-Length: " + QByteArray::number(length) + "\r\n";
    return text + "\r\n";
}

QByteArray body(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

struct Started {
    QString program;
    QStringList arguments;
    QString infolabel;
    QString infolabel3;
};

// The window pointed at the manual server, with a stub for starting programs
// and a notebook for message boxes.
struct Rig {
    Rig()
    {
        window->setTargetFolder(folder.path());
        QVERIFY(window->setInstallerUrl(server.url(QStringLiteral("/lobby/qsvsetup.exe"))));
        window->setProgramStarter([this](const QString& program, const QStringList& arguments, const QString&) {
            started.append({program, arguments, text("infolabel"), text("infolabel3")});
            return startSucceeds;
        });
        window->setMessageReporter([this](const QString& message) { reports.append(message); });
        QObject::connect(window.get(), &Tdownload::exitRequested, [this] { ++exits; });
        window->show();
    }

    QString text(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
    TSelButton* button(const char* name) const { return window->findChild<TSelButton*>(name); }
    QString installerPath() const { return QDir(folder.path()).filePath(QStringLiteral("qsvsetup.exe")); }
    bool idleButtons() const { return button("getbutton")->isEnabled() && !button("abortbutton")->isEnabled(); }

    QTemporaryDir folder;
    ManualServer server;
    std::unique_ptr<Tdownload> window = std::make_unique<Tdownload>();
    QList<Started> started;
    QStringList reports;
    bool startSucceeds = true;
    int exits = 0;
};

// Starts a download and lets the server answer with a head and the first kilobyte.
void startAndSendFirstBlock(Rig& rig, qint64 announced)
{
    const int before = rig.server.connections;
    QTest::mouseClick(rig.button("getbutton"), Qt::LeftButton);
    QTRY_VERIFY(rig.server.connections == before + 1 && rig.server.hasRequest());
    rig.server.send(head(200, "OK", announced) + body(1000));
    QTRY_COMPARE(rig.text("infolabel"), QStringLiteral("1000 bytes"));
}

} // namespace

class TestDownload : public QObject {
    Q_OBJECT
private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void completeDownloadIsInstalledAndEndsTheGame();
    void httpFailureRunsNothingAndCanBeRetried();
    void stopMidBodyKeepsThePartialFileAndStaysResponsive();
    void brokenTransfersAreNeverRun_data();
    void brokenTransfersAreNeverRun();
    void uncreatableFileSendsNoRequest();
    void closingOrQuittingDuringADownloadAbortsIt();
    void playWithOthers();
    void onlyWebAddressesAndPlainNames();
    void stopFromInsideAProgressSignal();
};

void TestDownload::completeDownloadIsInstalledAndEndsTheGame()
{
    Rig rig;
    QTest::mouseClick(rig.button("getbutton"), Qt::LeftButton);
    QCOMPARE(rig.text("infolabel"), QStringLiteral("Loading"));
    QVERIFY(!rig.button("getbutton")->isEnabled());
    QVERIFY(rig.button("abortbutton")->isEnabled());
    QCOMPARE(rig.window->downloadState(), Tdownload::Started);

    QTRY_VERIFY(rig.server.hasRequest());
    const QByteArray& request = rig.server.request;
    QVERIFY2(request.startsWith("GET /lobby/qsvsetup.exe HTTP/1.0\r\n"), request.constData());
    QVERIFY(request.contains("\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n"));
    QVERIFY(request.contains("\r\nAccept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"));

    // Three head lines, three dots; the body follows later.
    const QByteArray payload = body(70000);
    rig.server.send(head(200, "OK", payload.size()));
    QTRY_COMPARE(rig.text("infolabel"), QStringLiteral("Loading..."));
    QCOMPARE(rig.text("infolabel3"), QStringLiteral("Downloading: qsvsetup.exe"));
    rig.server.send(payload);
    rig.server.client->disconnectFromHost();

    QTRY_COMPARE(rig.started.size(), 1);
    const Started& run = rig.started.first();
    QCOMPARE(run.program, rig.installerPath());
    QCOMPARE(run.arguments, (QStringList{"/SP-", "/silent", "/noicons"}));
    QCOMPARE(run.infolabel, QStringLiteral("Received 70000 bytes"));
    QCOMPARE(run.infolabel3, QStringLiteral("Installing"));
    QCOMPARE(rig.exits, 1);
    QVERIFY(rig.reports.isEmpty());
    QVERIFY(rig.idleButtons());

    QFile file(rig.installerPath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), payload);
    QVERIFY(QFileInfo(file).isExecutable());
}

void TestDownload::httpFailureRunsNothingAndCanBeRetried()
{
    Rig rig;
    QTest::mouseClick(rig.button("getbutton"), Qt::LeftButton);
    QTRY_VERIFY(rig.server.hasRequest());
    rig.server.send(head(404, "Not Found", 9) + "not found");
    rig.server.client->disconnectFromHost();

    QTRY_VERIFY(rig.idleButtons());
    QCOMPARE(rig.text("infolabel"), QStringLiteral("Download Aborted"));
    QCOMPARE(rig.window->downloadState(), Tdownload::Failed);
    QVERIFY(rig.started.isEmpty());
    QVERIFY(rig.reports.isEmpty());
    QCOMPARE(rig.exits, 0);
    // The error page is not taken for the installer.
    QCOMPARE(QFileInfo(rig.installerPath()).size(), 0);

    // A failed download can be tried again and replaces the file; an installer
    // that will not start keeps the game.
    rig.startSucceeds = false;
    QTest::mouseClick(rig.button("getbutton"), Qt::LeftButton);
    QTRY_VERIFY(rig.server.connections == 2 && rig.server.hasRequest());
    rig.server.send(head(200, "OK", 5) + "abcde");
    QTRY_COMPARE(rig.started.size(), 1);
    QCOMPARE(QFileInfo(rig.installerPath()).size(), 5);
    QCOMPARE(rig.reports, QStringList{"An Error has Occurred."});
    QCOMPARE(rig.exits, 0);
    QVERIFY(rig.idleButtons());
}

void TestDownload::stopMidBodyKeepsThePartialFileAndStaysResponsive()
{
    Rig rig;
    startAndSendFirstBlock(rig, 100000);
    QCOMPARE(rig.text("infolabel3"), QStringLiteral("Downloading: qsvsetup.exe"));

    // Timer ticks keep arriving while the transfer waits for more.
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(5);
    QTRY_VERIFY(ticks >= 10);
    QVERIFY(rig.window->isDownloading());

    QTest::mouseClick(rig.button("abortbutton"), Qt::LeftButton);
    QCOMPARE(rig.text("infolabel"), QStringLiteral("Download Aborted"));
    QCOMPARE(rig.text("infolabel3"), QStringLiteral("Download Aborted"));
    QCOMPARE(rig.window->downloadState(), Tdownload::Failed);
    QVERIFY(rig.idleButtons());
    QCOMPARE(QFileInfo(rig.installerPath()).size(), 1000);
    QTRY_VERIFY(!rig.server.client || rig.server.client->state() == QAbstractSocket::UnconnectedState);
    QVERIFY(rig.started.isEmpty());
    QVERIFY(rig.reports.isEmpty());
    QCOMPARE(rig.exits, 0);
}

void TestDownload::brokenTransfersAreNeverRun_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("body shorter than announced") << "short";
    QTest::newRow("reset in the middle of the body") << "reset";
    QTest::newRow("larger than the cap") << "large";
    QTest::newRow("nobody listening") << "refused";
}

void TestDownload::brokenTransfersAreNeverRun()
{
    QFETCH(QString, how);
    Rig rig;
    if (how == "refused") {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const quint16 port = closed.serverPort();
        closed.close();
        QVERIFY(rig.window->setInstallerUrl(QUrl(QStringLiteral("http://127.0.0.1:%1/lobby/qsvsetup.exe").arg(port))));
        QTest::mouseClick(rig.button("getbutton"), Qt::LeftButton);
    } else if (how == "large") {
        rig.window->setMaxDownloadBytes(1500);
        startAndSendFirstBlock(rig, -1);
        rig.server.send(body(1000));
    } else {
        // Without a length, only the reset tells a cut from the end.
        startAndSendFirstBlock(rig, how == "short" ? 5000 : -1);
        if (how == "short")
            rig.server.client->disconnectFromHost();
        else
            rig.server.reset();
    }

    QTRY_VERIFY(rig.idleButtons());
    QCOMPARE(rig.text("infolabel"), QStringLiteral("Download Aborted"));
    QCOMPARE(rig.window->downloadState(), Tdownload::Failed);
    QCOMPARE(rig.reports.size(), 1);
    QVERIFY2(rig.reports.first().startsWith("Download - "), qPrintable(rig.reports.first()));
    QVERIFY(rig.started.isEmpty());
    QCOMPARE(rig.exits, 0);
}

void TestDownload::uncreatableFileSendsNoRequest()
{
    Rig rig;
    QVERIFY(QDir(rig.folder.path()).mkdir(QStringLiteral("qsvsetup.exe")));
    QTest::mouseClick(rig.button("getbutton"), Qt::LeftButton);
    QCOMPARE(rig.reports, QStringList{QStringLiteral("Cannot create file %1").arg(rig.installerPath())});
    QVERIFY(!rig.window->isDownloading());
    QVERIFY(rig.idleButtons());
    QCOMPARE(rig.text("infolabel"), QString());
    // No transfer exists, so no connection can follow.
    QCOMPARE(rig.server.connections, 0);

    // Without a configured address the window says what is missing, and
    // neither a file nor a request is made.
    QTemporaryDir empty;
    Tdownload unset;
    unset.setTargetFolder(empty.path());
    QTest::mouseClick(unset.findChild<TSelButton*>("getbutton"), Qt::LeftButton);
    QCOMPARE(unset.findChild<QLabel*>("infolabel")->text(), QStringLiteral("No installer address is set."));
    // Worded for a player, with room for all of it.
    const auto* advice = unset.findChild<QLabel*>("infolabel3");
    QVERIFY(!advice->text().contains(QStringLiteral(".ini")));
    QVERIFY(advice->heightForWidth(advice->width()) <= advice->height());
    QCOMPARE(unset.downloadState(), Tdownload::Idle);
    QVERIFY(QDir(empty.path()).isEmpty());
}

void TestDownload::closingOrQuittingDuringADownloadAbortsIt()
{
    Rig rig;
    startAndSendFirstBlock(rig, 100000);
    QTest::mouseClick(rig.button("Button1"), Qt::LeftButton);
    QVERIFY(!rig.window->isVisible());
    QVERIFY(!rig.window->isDownloading());
    QCOMPARE(rig.text("infolabel"), QStringLiteral("Download Aborted"));
    QTRY_VERIFY(!rig.server.client || rig.server.client->state() == QAbstractSocket::UnconnectedState);

    // The game ending in the middle of a download closes the connection too.
    rig.window->show();
    startAndSendFirstBlock(rig, 100000);
    rig.window.reset();
    QTRY_VERIFY(!rig.server.client || rig.server.client->state() == QAbstractSocket::UnconnectedState);
    QVERIFY(rig.started.isEmpty());
}

void TestDownload::playWithOthers()
{
    Rig rig;
    const QString lobby = QDir(rig.folder.path()).filePath(QStringLiteral("kivonetlobby"));
    rig.window->setLobbyPath(lobby);
    QTest::mouseClick(rig.button("Button2"), Qt::LeftButton);
    QCOMPARE(rig.reports, QStringList{"Please close the game and open the Kivonet Lobby using the icon on your desktop "
                                      "or using the your Window's start-up menu."});
    QVERIFY(rig.started.isEmpty());

    QFile file(lobby);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    rig.reports.clear();
    rig.startSucceeds = false;
    QTest::mouseClick(rig.button("Button2"), Qt::LeftButton);
    QCOMPARE(rig.reports, QStringList{"An Error has Occurred."});
    QCOMPARE(rig.exits, 0);

    rig.startSucceeds = true;
    QTest::mouseClick(rig.button("Button2"), Qt::LeftButton);
    QCOMPARE(rig.started.last().program, lobby);
    QVERIFY(rig.started.last().arguments.isEmpty());
    QCOMPARE(rig.exits, 1);

    // Enter means "Play Solo Game".
    QTest::keyClick(rig.window.get(), Qt::Key_Return);
    QVERIFY(!rig.window->isVisible());
}

void TestDownload::onlyWebAddressesAndPlainNames()
{
    Tdownload window;
    QVERIFY(window.installerUrl().isEmpty());
    QVERIFY(!window.setInstallerUrl(QUrl("file:///etc/passwd")));
    QVERIFY(!window.setInstallerUrl(QUrl("ftp://127.0.0.1/lobby/qsvsetup.exe")));
    QVERIFY(!window.setInstallerUrl(QUrl("not a url")));
    QVERIFY(window.installerUrl().isEmpty());

    QVERIFY(window.setInstallerUrl(QUrl("https://127.0.0.1/lobby/setup-2.run")));
    QCOMPARE(window.installerFileName(), QStringLiteral("setup-2.run"));
    QVERIFY(window.setInstallerUrl(QUrl("http://127.0.0.1/lobby/%2E%2E")));
    QCOMPARE(window.installerFileName(), QStringLiteral("qsvsetup.exe"));
    QVERIFY(window.setInstallerUrl(QUrl("http://127.0.0.1/lobby/a%2F..%2F..%2Fescape")));
    QVERIFY2(!window.installerFileName().contains('/'), qPrintable(window.installerFileName()));
    QVERIFY(window.setInstallerUrl(QUrl("http://127.0.0.1/lobby/")));
    QCOMPARE(window.installerFileName(), QStringLiteral("qsvsetup.exe"));
}

void TestDownload::stopFromInsideAProgressSignal()
{
    ManualServer server;
    HttpDownload http;
    QBuffer sink;
    QVERIFY(sink.open(QIODevice::WriteOnly));
    QList<HttpDownload::Outcome> outcomes;
    connect(&http, &HttpDownload::finished,
            [&outcomes](HttpDownload::Outcome outcome, const QString&) { outcomes.append(outcome); });
    // libcurl is running the callback that sent the signal: the stop must wait for it.
    connect(&http, &HttpDownload::bodyReceived, &http, &HttpDownload::stop);
    QVERIFY(http.start(server.url(QStringLiteral("/lobby/qsvsetup.exe")), &sink));
    QVERIFY(!http.start(server.url(QStringLiteral("/other")), &sink)); // one transfer at a time
    QTRY_VERIFY(server.hasRequest());
    server.send(head(200, "OK", 100000) + body(1000));

    QTRY_COMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.first(), HttpDownload::Outcome::Stopped);
    QVERIFY(!http.isRunning());
    QCOMPARE(sink.size(), http.bytesReceived());
    QTRY_VERIFY(!server.client || server.client->state() == QAbstractSocket::UnconnectedState);
}

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
