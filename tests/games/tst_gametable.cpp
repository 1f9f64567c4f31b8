// The games table: the built-in file, a user's file merged over it, and malformed files.
#include <QTemporaryDir>
#include <QTest>

#include "games/GameTable.h"
#include "support/EngineTestSupport.h"
#include "support/Files.h"

using namespace kivora;

class GameTableTest : public QObject {
    Q_OBJECT

private slots:
    // Every built-in game reads, and a Start of its settings stays inside its ranges.
    void builtIn_everyGame_drawsWithinItsRules() {
        const GameTable table = GameTable::BuiltIn();
        QCOMPARE(int(table.Games().size()), 25);
        test::Starts starts;
        for (const GameRules& game : table.Games()) {
            const DrawSettings settings = game.ApplyTo({});
            QVERIFY2(ValidateDrawSettings(settings).empty(), game.id.c_str());
            const NumberRange range(game.mode == GameMode::Daily ? 0 : 1, game.mainHighest);
            for (const Ticket& t : starts.Draw(settings, 50)) {
                QVERIFY2(test::TicketFits(t, settings, range),
                         qPrintable(QString::fromStdString(game.id) + ": " + test::Text(t)));
            }
        }
    }

    // Each message from the line on, after "t.json, line ".
    void parse_malformedTable_namesFileAndLine() {
        const auto error = [](const QByteArray& text) {
            std::vector<GameRules> games;
            QString message;
            GameTable::Parse(text, QStringLiteral("t.json"), games, message);
            return message.startsWith("t.json, line ") ? message.mid(13) : "?" + message;
        };
        const auto table = [](const QByteArray& games) { return "{\"games\": [\n" + games + "]}"; };
        const QByteArray game = R"({"id": "g", "name": "G", "region": "R", "numbers": 5,
 "highest": 50, "validFrom": "2020-01-01")";
        QCOMPARE(error("[1, 2]"), "1: the file holds no list \"games\".");
        QCOMPARE(error(table(game + "},\n 7")), "4: each game must be an object { ... }.");
        QCOMPARE(error(table(game + "},\n{\"id\": \"h\"}")), "4: \"name\" must be a text.");
        QCOMPARE(error(table(game + ", \"stars\": 2}")),
                 "2: the key \"stars\" is not one a game has.");
        QCOMPARE(error(table(game + ", \"bonus\": 1.5}")), "2: \"bonus\" must be a whole number.");
        QCOMPARE(error(table(QByteArray(game).replace("2020-01-01", "1 Jan 2020") + "}")),
                 "2: \"validFrom\" must be a date written yyyy-mm-dd.");
        QCOMPARE(error(table(QByteArray(game).replace("50,", "100,") + "}")),
                 "2: The highest number must be from 10 to 99, not 100.");
        QCOMPARE(error(table(game + "},\n" + game + "}")), "4: the id \"g\" is used twice.");
    }

    // The user's file replaces a game by id and adds its own; a broken one changes nothing.
    void load_userFile_mergesOrKeepsTheBuiltInTable() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("kivora-games.json"));
        const auto write = [&](const QByteArray& text) { QVERIFY(test::PutFile(path, text)); };
        write(R"({"games": [
  {"id": "powerball", "name": "Powerball", "region": "United States", "numbers": 5,
   "highest": 69, "bonus": 1, "bonusHighest": 30, "validFrom": "2030-01-01"},
  {"id": "home", "name": "Club draw", "region": "Home", "numbers": 4, "highest": 20,
   "validFrom": "2026-01-01"}]})");
        QString message;
        GameTable table = GameTable::Load(path, &message);
        QCOMPARE(message, QString());
        QCOMPARE(int(table.Games().size()), 26);
        QCOMPARE(table.Find(QStringLiteral("powerball"))->bonusHighest, 30);
        QCOMPARE(table.Games().front().id, "powerball"); // in its old place
        QCOMPARE(table.Regions().constLast(), "Home");

        write("{\"games\": [\n  {\"id\": \"home\",}\n]}");
        table = GameTable::Load(path, &message);
        QCOMPARE(message,
                 QDir::toNativeSeparators(path) +
                     ", line 2: object is missing after a comma. The built-in games are used.");
        QCOMPARE(table.Find(QStringLiteral("powerball"))->bonusHighest, 26);
        QCOMPARE(table.Find(QStringLiteral("home")), nullptr);

        table = GameTable::Load(dir.path(), &message); // a folder, not a file
        QVERIFY(message.contains("is not a games table"));
    }

    void closestIds_typo_namesTheNearestIds() {
        const auto closest = [](const char* typed) {
            return GameTable::BuiltIn().ClosestIds(typed).join(QLatin1Char(','));
        };
        QCOMPARE(closest("loto"), "fr-loto,jp-loto6,jp-loto7"); // a part
        QCOMPARE(closest("pick6"), "pick3,pick4,pick5");        // one letter off
    }
};

QTEST_GUILESS_MAIN(GameTableTest)
#include "tst_gametable.moc"
