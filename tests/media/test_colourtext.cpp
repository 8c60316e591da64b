#include "media/colourtext.h"
#include "strictwarnings.h"

#include <QTest>

using namespace velmora;

class TestColourText : public QObject {
    Q_OBJECT

private slots:
    void init() { velmora::testing::failOnUnexpectedWarnings(); }
    void namesRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint32>("value");
        QTest::newRow("black") << "clBlack" << 0x000000u;
        QTest::newRow("maroon") << "clMaroon" << 0x000080u;
        QTest::newRow("lime") << "clLime" << 0x00FF00u;
        QTest::newRow("navy") << "clNavy" << 0x800000u;
        QTest::newRow("silver") << "clSilver" << 0xC0C0C0u;
        QTest::newRow("red") << "clRed" << 0x0000FFu;
        QTest::newRow("aqua") << "clAqua" << 0xFFFF00u;
        QTest::newRow("white") << "clWhite" << 0xFFFFFFu;
        QTest::newRow("first system") << "clScrollBar" << 0x80000000u;
        QTest::newRow("window text") << "clWindowText" << 0x80000008u;
        QTest::newRow("last system") << "clInfoBk" << 0x80000018u;
        QTest::newRow("none") << "clNone" << 0x1FFFFFFFu;
    }
    void namesRoundTrip()
    {
        QFETCH(QString, name);
        QFETCH(quint32, value);
        QCOMPARE(colourToText(value), name);
        QCOMPARE(colourFromText(name), std::optional<quint32>(value));
        QCOMPARE(colourFromText(name.toLower()), std::optional<quint32>(value));
        QCOMPARE(colourFromText(name.toUpper()), std::optional<quint32>(value));
    }

    void unnamedValuesAreHex()
    {
        QCOMPARE(colourToText(0x123456), QStringLiteral("$00123456"));
        QCOMPARE(colourToText(0xABCDEF), QStringLiteral("$00ABCDEF"));
        QCOMPARE(colourToText(0xFFFFFFFF), QStringLiteral("$FFFFFFFF"));
        // One past the last system colour has no name.
        QCOMPARE(colourToText(0x80000019), QStringLiteral("$80000019"));
        QCOMPARE(colourFromText(QStringLiteral("$00ABCDEF")), std::optional<quint32>(0xABCDEF));
    }

    void numbersRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("value");
        QTest::newRow("short hex") << "$ff" << 0xFFu;
        QTest::newRow("eight hex digits") << "$80000008" << 0x80000008u;
        QTest::newRow("decimal lime") << "65280" << 0x00FF00u;
        QTest::newRow("decimal silver") << "12632256" << 0xC0C0C0u;
        QTest::newRow("zero") << "0" << 0u;
        QTest::newRow("negative is the same 32 bits") << "-1" << 0xFFFFFFFFu;
        QTest::newRow("largest") << "4294967295" << 0xFFFFFFFFu;
    }
    void numbersRead()
    {
        QFETCH(QString, text);
        QFETCH(quint32, value);
        QCOMPARE(colourFromText(text), std::optional<quint32>(value));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("dollar only") << "$";
        QTest::newRow("not hex") << "$12G4";
        QTest::newRow("nine hex digits") << "$123456789";
        QTest::newRow("signed hex") << "$-12";
        QTest::newRow("bare name") << "lime";
        QTest::newRow("unknown name") << "clOrange";
        QTest::newRow("trailing letters") << "12a";
        QTest::newRow("leading space") << " 12";
        QTest::newRow("too large") << "4294967296";
        QTest::newRow("too small") << "-2147483649";
    }
    void failures()
    {
        QFETCH(QString, text);
        QCOMPARE(colourFromText(text), std::nullopt);
    }

    void drawingColours()
    {
        QCOMPARE(toQColor(colours::clRed), QColor(255, 0, 0));
        QCOMPARE(toQColor(0x336699), QColor(0x99, 0x66, 0x33));
        // The chat is black: the default sender colour must be readable on it.
        QCOMPARE(toQColor(colours::clWindowText), QColor(Qt::white));
        QCOMPARE(toQColor(colours::clNone), QColor(Qt::white));
        QVERIFY(toQColor(0x80000005).lightness() < 64); // clWindow is the dark surface
    }
};

QTEST_GUILESS_MAIN(TestColourText)
#include "test_colourtext.moc"
