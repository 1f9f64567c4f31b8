#include "GameTable.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>

namespace kivora {

namespace {

// Far above any real table; keeps a mistaken path (a device, a huge file) from being read.
constexpr qint64 kLargestTable = 1 << 20;

int LineAt(const QByteArray& text, qsizetype offset) {
    return static_cast<int>(text.left(offset).count('\n')) + 1;
}

// The line where the index-th entry of the "games" list starts, found by walking the text.
int GameLine(const QByteArray& text, qsizetype index) {
    const qsizetype games = text.indexOf("\"games\"");
    qsizetype i = games < 0 ? -1 : text.indexOf('[', games);
    if (i < 0) {
        return 1;
    }
    int depth = 0;
    qsizetype entry = -1;
    bool inEntry = false;
    for (++i; i < text.size(); ++i) {
        const char c = text.at(i);
        if (depth == 0 && !inEntry && c != ' ' && c != '\n' && c != '\r' && c != '\t' && c != ',' &&
            c != ']') {
            inEntry = true;
            if (++entry == index) {
                return LineAt(text, i);
            }
        }
        if (c == '"') {
            for (++i; i < text.size() && text.at(i) != '"'; ++i) {
                i += text.at(i) == '\\' ? 1 : 0;
            }
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if ((c == '}' || c == ']') && depth > 0) {
            --depth;
        } else if (c == ',' && depth == 0) {
            inEntry = false;
        } else if (c == ']' && depth == 0) {
            break;
        }
    }
    return LineAt(text, games);
}

QString ReadGame(const QJsonObject& object, GameRules& game) {
    static const QStringList kKnown = {
        QStringLiteral("id"),        QStringLiteral("name"),         QStringLiteral("region"),
        QStringLiteral("daily"),     QStringLiteral("numbers"),      QStringLiteral("highest"),
        QStringLiteral("bonus"),     QStringLiteral("bonusHighest"), QStringLiteral("drawn"),
        QStringLiteral("drawnName"), QStringLiteral("validFrom"),    QStringLiteral("basis")};
    for (const QString& key : object.keys()) {
        if (!kKnown.contains(key)) {
            return QStringLiteral("the key \"%1\" is not one a game has").arg(key);
        }
    }
    const auto text = [&](const char* key, bool required, std::string& into) -> QString {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() && !required) {
            return {};
        }
        if (!value.isString()) {
            return QStringLiteral("\"%1\" must be a text").arg(QLatin1String(key));
        }
        into = value.toString().toStdString();
        return {};
    };
    const auto number = [&](const char* key, bool required, int32_t& into) -> QString {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() && !required) {
            return {};
        }
        const double d = value.toDouble(-1);
        if (!value.isDouble() || d != static_cast<int32_t>(d)) {
            return QStringLiteral("\"%1\" must be a whole number").arg(QLatin1String(key));
        }
        into = static_cast<int32_t>(d);
        return {};
    };
    const QJsonValue daily = object.value(QStringLiteral("daily"));
    if (!daily.isUndefined() && !daily.isBool()) {
        return QStringLiteral("\"daily\" must be true or false");
    }
    game.mode = daily.toBool() ? GameMode::Daily : GameMode::Lotto;
    if (game.mode == GameMode::Daily) {
        game.mainHighest = 9;
    }
    std::string basis;
    for (const QString& problem :
         {text("id", true, game.id), text("name", true, game.name),
          text("region", true, game.region), text("validFrom", true, game.validFrom),
          text("drawnName", false, game.extraName), text("basis", false, basis),
          number("numbers", true, game.mainCount),
          number("highest", game.mode == GameMode::Lotto, game.mainHighest),
          number("bonus", false, game.bonusCount), number("bonusHighest", false, game.bonusHighest),
          number("drawn", false, game.drawnExtras)}) {
        if (!problem.isEmpty()) {
            return problem;
        }
    }
    if (!QDate::fromString(QString::fromStdString(game.validFrom), Qt::ISODate).isValid()) {
        return QStringLiteral("\"validFrom\" must be a date written yyyy-mm-dd");
    }
    if (const std::string problem = game.Problem(); !problem.empty()) {
        return QString::fromStdString(problem);
    }
    return {};
}

int Distance(const QString& a, const QString& b) {
    std::vector<int> row(static_cast<size_t>(b.size()) + 1);
    for (size_t j = 0; j < row.size(); ++j) {
        row[j] = static_cast<int>(j);
    }
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[static_cast<size_t>(j)];
            row[static_cast<size_t>(j)] =
                std::min({above + 1, row[static_cast<size_t>(j - 1)] + 1,
                          diagonal + (a.at(i - 1) == b.at(j - 1) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row.back();
}

} // namespace

bool GameTable::Parse(const QByteArray& text, const QString& fileName,
                      std::vector<GameRules>& games, QString& error) {
    const QString where = QDir::toNativeSeparators(fileName);
    const auto fail = [&](int line, const QString& what) {
        // A game's own rules already end their sentence.
        error = QStringLiteral("%1, line %2: %3").arg(where).arg(line).arg(what);
        if (!error.endsWith(u'.')) {
            error += u'.';
        }
        return false;
    };
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return fail(LineAt(text, parseError.offset), parseError.errorString());
    }
    const QJsonValue list = document.object().value(QStringLiteral("games"));
    if (!document.isObject() || !list.isArray()) {
        return fail(1, QStringLiteral("the file holds no list \"games\""));
    }
    std::vector<GameRules> read;
    const QJsonArray array = list.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        GameRules game;
        const QString problem = array.at(i).isObject()
                                    ? ReadGame(array.at(i).toObject(), game)
                                    : QStringLiteral("each game must be an object { ... }");
        if (!problem.isEmpty()) {
            return fail(GameLine(text, i), problem);
        }
        if (std::ranges::any_of(read, [&](const GameRules& g) { return g.id == game.id; })) {
            return fail(
                GameLine(text, i),
                QStringLiteral("the id \"%1\" is used twice").arg(QString::fromStdString(game.id)));
        }
        read.push_back(std::move(game));
    }
    games = std::move(read);
    return true;
}

GameTable GameTable::BuiltIn() {
    GameTable table;
    QFile file(QStringLiteral(":/games/games.json"));
    QString error;
    // The built-in table is checked by the tests; a broken one would show as no games at all.
    if (file.open(QIODevice::ReadOnly)) {
        Parse(file.readAll(), file.fileName(), table.games_, error);
    }
    return table;
}

GameTable GameTable::Load(const QString& userFile, QString* message) {
    GameTable table = BuiltIn();
    if (message) {
        message->clear();
    }
    const QFileInfo info(userFile);
    if (userFile.isEmpty() || !info.exists()) {
        return table;
    }
    QString error;
    std::vector<GameRules> games;
    QFile file(userFile);
    const QString where = QDir::toNativeSeparators(userFile);
    if (!info.isFile() || info.size() > kLargestTable) {
        error = QStringLiteral("%1 is not a games table (a plain file under 1 MB).").arg(where);
    } else if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 could not be read: %2.").arg(where, file.errorString());
    } else if (Parse(file.readAll(), userFile, games, error)) {
        table.Merge(games);
    }
    if (message && !error.isEmpty()) {
        *message = error + QStringLiteral(" The built-in games are used.");
    }
    return table;
}

QString GameTable::UserFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Brandell/kivora-games.json");
}

const GameRules* GameTable::Find(const QString& id) const {
    const std::string key = id.toStdString();
    const auto found =
        std::ranges::find_if(games_, [&](const GameRules& g) { return g.id == key; });
    return found == games_.end() ? nullptr : &*found;
}

QStringList GameTable::ClosestIds(const QString& id) const {
    std::vector<std::pair<int, QString>> ranked;
    for (const GameRules& game : games_) {
        const QString other = QString::fromStdString(game.id);
        // A typed part of an id ("mega") is as near as one wrong letter.
        const int d =
            other.contains(id.toLower()) && !id.isEmpty() ? 1 : Distance(id.toLower(), other);
        ranked.emplace_back(d, other);
    }
    std::ranges::stable_sort(ranked, {}, &std::pair<int, QString>::first);
    QStringList closest;
    for (const auto& [distance, other] : ranked) {
        if (closest.size() == 3 || (distance > 3 && !closest.isEmpty())) {
            break;
        }
        closest << other;
    }
    return closest;
}

QStringList GameTable::Regions() const {
    QStringList regions;
    for (const GameRules& game : games_) {
        const QString region = QString::fromStdString(game.region);
        if (!regions.contains(region)) {
            regions << region;
        }
    }
    return regions;
}

void GameTable::Merge(const std::vector<GameRules>& games) {
    for (const GameRules& game : games) {
        const auto found =
            std::ranges::find_if(games_, [&](const GameRules& g) { return g.id == game.id; });
        if (found != games_.end()) {
            *found = game;
        } else {
            games_.push_back(game);
        }
    }
}

} // namespace kivora
