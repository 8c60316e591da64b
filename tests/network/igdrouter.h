#pragma once

// A home router that speaks UPnP IGD, for the tests: a tiny HTTP server
// serving its device description and answering the WANIPConnection actions
// over SOAP, and, on a network of the test's own, an SSDP responder that
// answers a search for a gateway with where that description is. It keeps
// every action asked, with its arguments and who asked.

#include <QHostAddress>
#include <QMap>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

class IgdRouter {
public:
    enum class Mode { Grant, Conflict, PermanentOnly };
    struct Action {
        QString name;
        QMap<QString, QString> arguments;
        QHostAddress from;
    };

    explicit IgdRouter(const QHostAddress& address = QHostAddress::LocalHost)
    {
        m_http.listen(address, 0);
        QObject::connect(&m_http, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = m_http.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    bool ready() const { return m_http.isListening(); }
    QString descriptionUrl() const
    {
        return QStringLiteral("http://%1:%2/rootDesc.xml")
            .arg(m_http.serverAddress().toString())
            .arg(m_http.serverPort());
    }
    // Answers SSDP searches for a gateway on the standard group and port.
    bool answerSearches()
    {
        if (!m_ssdp.bind(QHostAddress::AnyIPv4, 1900, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint) ||
            !m_ssdp.joinMulticastGroup(QHostAddress(QStringLiteral("239.255.255.250"))))
            return false;
        QObject::connect(&m_ssdp, &QUdpSocket::readyRead, [this] { answerSearch(); });
        return true;
    }
    QList<Action> asked(const QString& name) const
    {
        QList<Action> found;
        for (const Action& action : actions)
            if (action.name == name)
                found << action;
        return found;
    }

    Mode mode = Mode::Grant;
    QString outside = QStringLiteral("203.0.113.7"); // as sent, so it can be garbage
    QList<Action> actions;
    int searches = 0;

private:
    void answerSearch()
    {
        while (m_ssdp.hasPendingDatagrams()) {
            QHostAddress from;
            quint16 port = 0;
            QByteArray in(int(m_ssdp.pendingDatagramSize()), '\0');
            m_ssdp.readDatagram(in.data(), in.size(), &from, &port);
            const auto st =
                QRegularExpression(QStringLiteral("\r\nST: *([^\r]*)\r\n"), QRegularExpression::CaseInsensitiveOption)
                    .match(QString::fromLatin1(in));
            const QString type = st.captured(1);
            if (!in.startsWith("M-SEARCH") ||
                !(type.endsWith(QStringLiteral(":InternetGatewayDevice:1")) ||
                  type.endsWith(QStringLiteral(":WANIPConnection:1")) || type == QStringLiteral("upnp:rootdevice")))
                continue;
            ++searches;
            const QString answer = QStringLiteral("HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=120\r\nST: %1\r\n"
                                                  "USN: uuid:0b1d2c3e-0000-4000-8000-000000000001::%1\r\nEXT:\r\n"
                                                  "SERVER: Linux UPnP/1.1 TestRouter/1\r\nLOCATION: %2\r\n\r\n")
                                       .arg(type, descriptionUrl());
            m_ssdp.writeDatagram(answer.toLatin1(), from, port);
        }
    }

    void serve(QTcpSocket* socket)
    {
        QByteArray& in = m_pending[socket];
        in += socket->readAll();
        const qsizetype end = in.indexOf("\r\n\r\n");
        if (in.size() > 65536)
            return socket->abort();
        if (end < 0)
            return;
        const QString head = QString::fromLatin1(in.left(end));
        const auto length =
            QRegularExpression(QStringLiteral("\r\ncontent-length: *(\\d+)"), QRegularExpression::CaseInsensitiveOption)
                .match(head);
        const qsizetype bodyLength = length.hasMatch() ? length.captured(1).toLongLong() : 0;
        if (in.size() < end + 4 + bodyLength)
            return;
        const QString body = QString::fromUtf8(in.mid(end + 4, bodyLength));
        m_pending.remove(socket);
        if (head.startsWith(QStringLiteral("GET /rootDesc.xml ")))
            reply(socket, 200, description());
        else if (head.startsWith(QStringLiteral("GET ")))
            reply(socket, 404, QString());
        else
            reply(socket, soap(head, body, socket->peerAddress()));
    }

    QPair<int, QString> soap(const QString& head, const QString& body, const QHostAddress& from)
    {
        const auto name = QRegularExpression(QStringLiteral("#(\\w+)\"?\r"), QRegularExpression::CaseInsensitiveOption)
                              .match(head)
                              .captured(1);
        Action action{name, {}, from};
        auto it = QRegularExpression(QStringLiteral("<(New\\w+)>([^<]*)</\\1>")).globalMatch(body);
        while (it.hasNext()) {
            const auto m = it.next();
            action.arguments[m.captured(1)] = m.captured(2);
        }
        actions << action;
        if (name == QStringLiteral("GetStatusInfo"))
            return {200, response(name, "<NewConnectionStatus>Connected</NewConnectionStatus>"
                                        "<NewLastConnectionError>ERROR_NONE</NewLastConnectionError>"
                                        "<NewUptime>100</NewUptime>")};
        if (name == QStringLiteral("GetConnectionTypeInfo"))
            return {200, response(name, "<NewConnectionType>IP_Routed</NewConnectionType>"
                                        "<NewPossibleConnectionTypes>IP_Routed</NewPossibleConnectionTypes>")};
        if (name == QStringLiteral("GetExternalIPAddress"))
            return {200,
                    response(name, QStringLiteral("<NewExternalIPAddress>%1</NewExternalIPAddress>").arg(outside))};
        if (name == QStringLiteral("AddPortMapping") && mode == Mode::Conflict)
            return {500, fault(718, "ConflictInMappingEntry")};
        if (name == QStringLiteral("AddPortMapping") && mode == Mode::PermanentOnly &&
            action.arguments.value(QStringLiteral("NewLeaseDuration")) != QStringLiteral("0"))
            return {500, fault(725, "OnlyPermanentLeasesSupported")};
        if (name == QStringLiteral("AddPortMapping") || name == QStringLiteral("DeletePortMapping"))
            return {200, response(name, "")};
        return {500, fault(401, "Invalid Action")};
    }

    static QString response(const QString& name, const QString& arguments)
    {
        return envelope(QStringLiteral("<u:%1Response xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">%2"
                                       "</u:%1Response>")
                            .arg(name, arguments));
    }
    static QString fault(int code, const char* description)
    {
        return envelope(QStringLiteral("<s:Fault><faultcode>s:Client</faultcode><faultstring>UPnPError</faultstring>"
                                       "<detail><UPnPError xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>%1"
                                       "</errorCode><errorDescription>%2</errorDescription></UPnPError></detail>"
                                       "</s:Fault>")
                            .arg(code)
                            .arg(QLatin1String(description)));
    }
    static QString envelope(const QString& content)
    {
        return QStringLiteral(
                   "<?xml version=\"1.0\"?>\r\n<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                   "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>%1</s:Body>"
                   "</s:Envelope>\r\n")
            .arg(content);
    }
    static QString description()
    {
        return QStringLiteral(
            "<?xml version=\"1.0\"?>\r\n<root xmlns=\"urn:schemas-upnp-org:device-1-0\"><specVersion><major>1</major>"
            "<minor>0</minor></specVersion><device>"
            "<deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>"
            "<friendlyName>Test router</friendlyName><deviceList><device>"
            "<deviceType>urn:schemas-upnp-org:device:WANDevice:1</deviceType><serviceList><service>"
            "<serviceType>urn:schemas-upnp-org:service:WANCommonInterfaceConfig:1</serviceType>"
            "<serviceId>urn:upnp-org:serviceId:WANCommonIFC1</serviceId><controlURL>/ctl/CmnIfCfg</controlURL>"
            "<eventSubURL>/evt/CmnIfCfg</eventSubURL><SCPDURL>/WANCfg.xml</SCPDURL></service></serviceList>"
            "<deviceList><device><deviceType>urn:schemas-upnp-org:device:WANConnectionDevice:1</deviceType>"
            "<serviceList><service><serviceType>urn:schemas-upnp-org:service:WANIPConnection:1</serviceType>"
            "<serviceId>urn:upnp-org:serviceId:WANIPConn1</serviceId><controlURL>/ctl/IPConn</controlURL>"
            "<eventSubURL>/evt/IPConn</eventSubURL><SCPDURL>/WANIPCn.xml</SCPDURL></service></serviceList>"
            "</device></deviceList></device></deviceList></device></root>\r\n");
    }
    static void reply(QTcpSocket* socket, const QPair<int, QString>& answer)
    {
        reply(socket, answer.first, answer.second);
    }
    static void reply(QTcpSocket* socket, int status, const QString& body)
    {
        const QByteArray content = body.toUtf8();
        socket->write(QStringLiteral("HTTP/1.1 %1 %2\r\nContent-Type: text/xml; charset=\"utf-8\"\r\n"
                                     "Content-Length: %3\r\nConnection: close\r\n\r\n")
                          .arg(status)
                          .arg(QLatin1String(status == 200   ? "OK"
                                             : status == 404 ? "Not Found"
                                                             : "Internal Server Error"))
                          .arg(content.size())
                          .toLatin1() +
                      content);
        socket->disconnectFromHost();
    }

    QTcpServer m_http;
    QUdpSocket m_ssdp;
    QMap<QTcpSocket*, QByteArray> m_pending;
};
