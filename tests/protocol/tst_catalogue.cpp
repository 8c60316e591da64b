// The message catalogue: each message decoded from raw text, good and bad,
// in both directions, and the dispatcher that routes entries to handlers.

#include "protocol/catalogue.h"
#include "protocol/dispatcher.h"
#include "strictwarnings.h"

#include <QtTest>

using namespace velmora;
using namespace velmora::protocol;

namespace {

QByteArray wire(const char* text)
{
    return QByteArray(text) + '\xFF';
}

template <class T> bool refused(const QString& rest)
{
    return !T::decode(rest);
}

} // namespace

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void clientMessagesDecodeTheirFields()
    {
        const auto login = toHost::LoginInfo::decode(QStringLiteral("3+2.0.17+Ann+the+Great"));
        QVERIFY(login);
        QCOMPARE(login->slot, 3);
        QCOMPARE(login->version, QStringLiteral("2.0.17"));
        QCOMPARE(login->name, QStringLiteral("Ann+the+Great")); // the last field runs to the end

        const auto place = toHost::PlaceDie::decode(QStringLiteral("2+12+3+4"));
        QVERIFY(place);
        QCOMPARE(place->die, 12);
        QCOMPARE(place->dart, 3);
        QCOMPARE(place->place, 4);

        const auto start = toHost::StartGame::decode(QStringLiteral("1+1+0+"));
        QVERIFY(start);
        QVERIFY(start->team);
        QVERIFY(!start->points);

        const auto watch = toHost::JustWatch::decode(QStringLiteral("4+2"));
        QVERIFY(watch);
        QCOMPARE(watch->seat, 4);
        QVERIFY(!watch->watching);

        const auto sound = toHost::PlaySound::decode(QStringLiteral("5+wave20+"));
        QVERIFY(sound);
        QCOMPARE(sound->sound, 20);

        const auto chat = toHost::Chat::decode(QStringLiteral("2+1+1=2|clLime"));
        QVERIFY(chat);
        QCOMPARE(chat->text, QStringLiteral("1+1=2|clLime"));

        const auto kick = toHost::KickPlayer::decode(QStringLiteral("1+7+"));
        QVERIFY(kick);
        QCOMPARE(kick->target, 7);
    }

    void clientMessagesOutOfRangeOrMalformedAreRefused()
    {
        QVERIFY(refused<toHost::PlaceDie>(QStringLiteral("2+13+1+1")));      // die 13
        QVERIFY(refused<toHost::PlaceDie>(QStringLiteral("2+1+4+1")));       // dart 4
        QVERIFY(refused<toHost::PlaceDie>(QStringLiteral("2+1+1+0")));       // place 0
        QVERIFY(refused<toHost::PlaceDie>(QStringLiteral("2+1+1")));         // a field short
        QVERIFY(refused<toHost::PlaceDie>(QStringLiteral("2+-1+1+1")));      // a sign
        QVERIFY(refused<toHost::ThrowDarts>(QStringLiteral("10")));          // no such connection
        QVERIFY(refused<toHost::ThrowDarts>(QStringLiteral(" 1")));          // a blank
        QVERIFY(refused<toHost::ThrowDarts>(QStringLiteral("99999999999"))); // no overflow into range
        QVERIFY(refused<toHost::JustWatch>(QStringLiteral("5+1")));          // a spectator has no seat
        QVERIFY(refused<toHost::JustWatch>(QStringLiteral("1+3")));          // neither 1 nor 2
        QVERIFY(refused<toHost::PlaySound>(QStringLiteral("1+wave21+")));
        QVERIFY(refused<toHost::PlaySound>(QStringLiteral("1+beep+")));
        QVERIFY(refused<toHost::LoginInfo>(QStringLiteral("1+2.0.17"))); // no name field
        QVERIFY(refused<toHost::KickPlayer>(QStringLiteral("1+2")));     // the target needs its "+"
        QVERIFY(refused<toHost::StartGame>(QStringLiteral("1+0+1")));    // nor does points end
    }

    void hostMessagesDecodeTheirFields()
    {
        const auto placed = toClient::DiePlaced::decode(QStringLiteral("2+dBull+7+1+4"));
        QVERIFY(placed);
        QCOMPARE(placed->result, DartResult::doubleBull());
        QCOMPARE(placed->die, 7);

        // One letter-case rule for the bull words, wherever a dart result travels.
        const auto lower = toClient::DiePlaced::decode(QStringLiteral("2+bull+7+1+4"));
        QVERIFY(lower);
        QCOMPARE(lower->result, DartResult::bull());

        const auto end = toClient::EndTurn::decode(QStringLiteral("1+125+20+Bull+3"));
        QVERIFY(end);
        QCOMPARE(end->score, 125);
        QCOMPARE(end->darts[0].target(), std::optional<int>(20));
        QCOMPARE(end->darts[1].target(), std::optional<int>(21));
        QVERIFY(!end->darts[2].target()); // 3 misses

        const auto dice = toClient::TheDart::decode(QStringLiteral("1+2+3+4+5+6+1+2+3+4+5+6+"));
        QVERIFY(dice);
        QVERIFY(dice->thrown());
        QCOMPARE(dice->dice[11], 6);
        const auto unthrown = toClient::TheDart::decode(QStringLiteral("0+0+0+0+0+0+0+0+0+0+0+0+"));
        QVERIFY(unthrown);
        QVERIFY(!unthrown->thrown());

        const auto started = toClient::GameStarted::decode(QStringLiteral("1+t+0+"));
        QVERIFY(started);
        QVERIFY(started->team);
        QVERIFY(!started->points);

        const auto board = toClient::LoadBoard::decode(QStringLiteral("3+21+2+40"));
        QVERIFY(board);
        QCOMPARE(board->target, 21);
        QCOMPARE(board->marks, 2);

        QVERIFY(toClient::Full::decode(QString()));
        QCOMPARE(toClient::Winner::decode(QStringLiteral("Ann and Borl"))->names, QStringLiteral("Ann and Borl"));
    }

    void hostMessagesOutOfRangeOrMalformedAreRefused()
    {
        QVERIFY(refused<toClient::TheDart>(QStringLiteral("1+2+3+4+5+6+1+2+3+4+5+")));     // eleven dice
        QVERIFY(refused<toClient::TheDart>(QStringLiteral("1+2+3+4+5+6+1+2+3+4+5+6+1+"))); // thirteen
        QVERIFY(refused<toClient::TheDart>(QStringLiteral("7+2+3+4+5+6+1+2+3+4+5+6+")));   // a 7
        QVERIFY(refused<toClient::TheDart>(QStringLiteral("0+2+3+4+5+6+1+2+3+4+5+6+")));   // half thrown
        QVERIFY(refused<toClient::DiePlaced>(QStringLiteral("2+25+7+1+4")));               // no such result
        QVERIFY(refused<toClient::DiePlaced>(QStringLiteral("5+Bull+7+1+4")));             // a spectator's seat
        QVERIFY(refused<toClient::EndTurn>(QStringLiteral("1+x+20+20+20")));
        QVERIFY(refused<toClient::LoadBoard>(QStringLiteral("1+14+0+0")));
        QVERIFY(refused<toClient::LoadBoard>(QStringLiteral("1+15+4+0")));
        QVERIFY(refused<toClient::NextPlayer>(QStringLiteral("0")));
        QVERIFY(refused<toClient::GameStarted>(QStringLiteral("1+x+1+")));
        QVERIFY(refused<toClient::JustWatching>(QStringLiteral("2+0")));
        QVERIFY(refused<toClient::NewPlayerInfo>(QStringLiteral("10+Ann")));
    }

    void encodingGivesTheExactBytes()
    {
        QCOMPARE(toClient::GameStarted({1, false, true}).encode(), wire("CMD_startgame+1+n+1+"));
        QCOMPARE(toHost::KickPlayer({1, 3}).encode(), wire("CMD_kickhim+1+3+"));
        QCOMPARE(toHost::PlaySound({2, 14}).encode(), wire("CMD_playasound+2+wave14+"));
        QCOMPARE(toClient::ChatLine::relay(2, QStringLiteral("Ann"), QStringLiteral("hi|clLime")).encode(),
                 wire("CMD_chat+2+Ann chats: hi|clLime"));
        QCOMPARE(toClient::ActionLine::relay(2, QStringLiteral("Ann"), QStringLiteral("waves|clLime")).encode(),
                 wire("CMD_action+2+Ann waves|clLime"));
        QCOMPARE(toClient::Full().encode(), wire("CMD_full+"));
        toClient::TheDart unthrown;
        QCOMPARE(unthrown.encode(), wire("CMD_thedart+0+0+0+0+0+0+0+0+0+0+0+0+"));
        toClient::EndTurn end;
        end.seat = 2;
        end.score = 40;
        end.darts = {DartResult::fromSum(20), DartResult::fromSum(24), DartResult::fromSum(9)};
        QCOMPARE(end.encode(), wire("CMD_endturn+2+40+20+dBull+9"));
        // A name never breaks the message apart.
        QCOMPARE(toClient::NewPlayerInfo({5, QStringLiteral("A\nB\u00ffC")}).encode(),
                 wire("CMD_newplayerinfo+5+A B C"));
    }

    void dispatcherRoutesByCommandWord()
    {
        Dispatcher<int> dispatcher;
        QList<int> placedDice;
        int fromSeen = 0;
        dispatcher.on<toHost::PlaceDie>([&](int from, const toHost::PlaceDie& m) {
            fromSeen = from;
            placedDice << m.die;
        });
        dispatcher.on<toHost::ThrowDarts>([&](int, const toHost::ThrowDarts&) { placedDice << 0; });

        QCOMPARE(*dispatcher.dispatch(QStringLiteral("CMD_placedice+1+5+1+1"), 4), Dispatch::Handled);
        QCOMPARE(fromSeen, 4);
        const auto malformed = dispatcher.dispatch(QStringLiteral("CMD_placedice+1+55+1+1"), 4);
        QVERIFY(!malformed);
        QVERIFY(malformed.error().find("die") != std::string::npos);
        QCOMPARE(*dispatcher.dispatch(QStringLiteral("CMD_PLACEDICE+1+5+1+1"), 4), Dispatch::Ignored);
        QCOMPARE(*dispatcher.dispatch(QStringLiteral("CMD_placedice"), 4), Dispatch::Ignored); // no "+"
        QCOMPARE(*dispatcher.dispatch(QString(), 4), Dispatch::Ignored);
        QCOMPARE(*dispatcher.dispatch(QStringLiteral("CMD_nosuch+1"), 4), Dispatch::Ignored);
        QCOMPARE(placedDice, QList<int>{5});
    }
};

QTEST_APPLESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
