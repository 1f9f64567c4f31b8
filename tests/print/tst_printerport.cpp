#include <string>

#include <QStringList>
#include <QTest>

#include "print/RecordingPort.h"

using kivora::RecordingPort;

namespace {

// Runs a script of "column:text" items and "|" line ends against the port.
void Run(RecordingPort& port, const QStringList& script) {
    for (const QString& step : script) {
        if (step == QLatin1String("|")) {
            port.EndLine();
            continue;
        }
        const qsizetype colon = step.indexOf(QLatin1Char(':'));
        port.PrintAt(step.left(colon).toInt(), step.mid(colon + 1).toStdString());
    }
}

QStringList Plain(const RecordingPort& port) {
    QStringList lines;
    for (const std::string& line : port.PlainLines()) {
        lines << QString::fromStdString(line);
    }
    return lines;
}

// Every character a tenth of a column, so positions carry the rounding of proportional text.
class NarrowPort : public RecordingPort {
protected:
    double Measure(const std::string& text) const override {
        double width = 0.0;
        for (size_t i = 0; i < text.size(); ++i) {
            width += 0.1;
        }
        return width;
    }
};

} // namespace

class TestPrinterPort : public QObject {
    Q_OBJECT

private slots:
    void PrintAt_tabRule_placesText_data();
    void PrintAt_tabRule_placesText();
    void PrintAt_positionOnColumnAfterRounding_staysOnLine();
    void PrintAt_positionJustPastColumn_endsLine();
};

void TestPrinterPort::PrintAt_tabRule_placesText_data() {
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("column 0 at the margin stays") << QStringList{"0:ab"} << QStringList{"ab"};
    QTest::newRow("negative column counts as 1")
        << QStringList{"-4:ab", "-1:c"} << QStringList{"ab", "c"};
    QTest::newRow("column 0 after text ends the line")
        << QStringList{"1:ab", "0:c"} << QStringList{"ab", "c"};
    QTest::newRow("standing at the column stays")
        << QStringList{"1:abc", "4:d"} << QStringList{"abcd"};
    QTest::newRow("standing before the column moves forward")
        << QStringList{"1:ab", "10:c"} << QStringList{"ab       c"};
    QTest::newRow("standing one past the column ends the line")
        << QStringList{"1:abcde", "5:x"} << QStringList{"abcde", "    x"};
    QTest::newRow("standing far past the column ends the line")
        << QStringList{"10:abcdef", "15:x"} << QStringList{"         abcdef", "              x"};
    QTest::newRow("empty text keeps the position")
        << QStringList{"0:", "10:N1"} << QStringList{"         N1"};
    QTest::newRow("empty text at the column keeps the line")
        << QStringList{"1:ab", "3:", "3:c"} << QStringList{"abc"};
    QTest::newRow("end of line returns to the margin")
        << QStringList{"5:a", "|", "5:b"} << QStringList{"    a", "    b"};
    QTest::newRow("two line ends leave a blank line")
        << QStringList{"1:a", "|", "|", "1:b"} << QStringList{"a", "", "b"};
    QTest::newRow("several lines made by tabs") << QStringList{"0:1", "10:7", "0:2", "10:8", "0:3"}
                                                << QStringList{"1        7", "2        8", "3"};
    QTest::newRow("multibyte text is one column a character")
        << QStringList{"1:\u00e9\u00e9", "3:x"} << QStringList{"\u00e9\u00e9x"};
}

void TestPrinterPort::PrintAt_tabRule_placesText() {
    QFETCH(QStringList, script);
    QFETCH(QStringList, lines);

    RecordingPort port;
    Run(port, script);

    QCOMPARE(Plain(port), lines);
}

void TestPrinterPort::PrintAt_positionOnColumnAfterRounding_staysOnLine() {
    NarrowPort port;
    // Twenty tenths add up to a hair over 2 columns; the tab to column 3 must not see "past".
    port.PrintAt(1, std::string(20, 'a'));
    port.PrintAt(3, "b");

    QCOMPARE(port.Lines().size(), size_t{1});
    QCOMPARE(port.Lines().front().back(), (RecordingPort::Item{3.0, "b"}));
}

void TestPrinterPort::PrintAt_positionJustPastColumn_endsLine() {
    NarrowPort port;
    port.PrintAt(1, std::string(21, 'a'));
    port.PrintAt(3, "b");

    QCOMPARE(port.Lines().size(), size_t{2});
    QCOMPARE(port.Lines().back(), (RecordingPort::Line{{3.0, "b"}}));
}

QTEST_GUILESS_MAIN(TestPrinterPort)
#include "tst_printerport.moc"
