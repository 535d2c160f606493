#include "platform/db/embedded/translate/Rewrites.h"

#include "platform/db/embedded/functions/SqliteFunctions.h"

#include <QSet>

namespace estaciones::db::tsql::rewrite {

namespace {

QString collationFor(const QString& sqlServerCollation) {
    const QString c = sqlServerCollation.toUpper();
    // Case-sensitive and binary collations compare exactly; any other is the database's.
    if (c.contains(QLatin1String("_CS")) || c.endsWith(QLatin1String("_BIN")) ||
        c.endsWith(QLatin1String("_BIN2")))
        return QStringLiteral("BINARY");
    return QString::fromLatin1(textCollation);
}

bool isDot(const Pieces& pieces, size_t i) {
    return i < pieces.size() && pieces[i].isPunctuation(u".");
}

} // namespace

void normaliseTokens(Pieces& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        Piece& p = pieces[i];
        switch (p.kind) {
        case TokenKind::String:
            if (p.national) {
                p.text.remove(0, 1);
                p.national = false;
                p.wasNational = true;
            }
            if (p.unterminated)
                p.text += QLatin1Char('\'');
            p.unterminated = false;
            break;
        case TokenKind::QuotedName:
            p.text = quoteName(p.value());
            p.unterminated = false;
            break;
        case TokenKind::Word:
            if (p.text.startsWith(QLatin1Char('#'))) {
                p.text = quoteName(p.text);
                p.kind = TokenKind::QuotedName;
            } else if (p.isWord(u"COLLATE") && i + 1 < pieces.size() &&
                       pieces[i + 1].isNameLike()) {
                pieces[i + 1].text = collationFor(pieces[i + 1].value());
                pieces[i + 1].kind = TokenKind::Word;
                ++i;
            }
            break;
        case TokenKind::Variable:
            // SQLite binds "@name" parameters; T-SQL names ignore case, so one spelling.
            p.text = p.text.startsWith(QLatin1String("@@"))
                         ? QStringLiteral("@__") + p.text.mid(2).toLower()
                         : p.text.toLower();
            break;
        case TokenKind::Number:
            if (p.text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
                // 0x41 is a varbinary, not a number: SQLite's blob literal
                // X'41', a word so that no rewrite takes it for a number.
                QString digits = p.text.mid(2);
                if (digits.size() % 2 != 0)
                    digits.prepend(QLatin1Char('0'));
                p.text = QStringLiteral("X'%1'").arg(digits);
                p.kind = TokenKind::Word;
            }
            break;
        case TokenKind::Punctuation:
            if (p.text == QLatin1String("!<"))
                p.text = QStringLiteral(">=");
            else if (p.text == QLatin1String("!>"))
                p.text = QStringLiteral("<=");
            break;
        default:
            break;
        }
    }
}

void stripOwners(Pieces& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (!pieces[i].isNameLike() || (i > 0 && pieces[i - 1].isPunctuation(u".")))
            continue;
        // The dotted chain starting here: part indexes, empty parts as npos ("db..x").
        std::vector<size_t> parts{i};
        size_t j = i + 1;
        while (isDot(pieces, j)) {
            if (isDot(pieces, j + 1)) {
                parts.push_back(size_t(-1));
                j += 1;
            } else if (j + 1 < pieces.size() && pieces[j + 1].isNameLike()) {
                parts.push_back(j + 1);
                j += 2;
            } else {
                break;
            }
        }
        if (parts.size() < 2)
            continue;
        // db.sys.objects, db.INFORMATION_SCHEMA.TABLES: the views of the
        // database the session is in (a name of another database was refused).
        if (parts.size() >= 3 && parts[1] != size_t(-1) &&
            (pieces[parts[1]].isName(u"sys") || pieces[parts[1]].isName(u"INFORMATION_SCHEMA"))) {
            const QString space = pieces[i].space;
            pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(i),
                         pieces.begin() + static_cast<std::ptrdiff_t>(parts[1]));
            pieces[i].space = space;
            continue;
        }
        // Drop everything up to the last owner part ("dbo" or empty) before the object's name.
        size_t cut = size_t(-1);
        for (size_t k = 0; k + 1 < parts.size(); ++k)
            if (parts[k] == size_t(-1) || pieces[parts[k]].isName(u"dbo"))
                cut = k;
        if (cut == size_t(-1))
            continue;
        size_t firstKept = parts[cut + 1];
        if (firstKept == size_t(-1))
            continue;
        // tempdb's catalogue lists the temporary tables: it keeps a name of its own.
        if (pieces[i].isName(u"tempdb") && firstKept == parts.back() &&
            pieces[firstKept].isName(u"sysobjects")) {
            pieces[firstKept].text = tempdbSysobjects.toString();
            pieces[firstKept].kind = TokenKind::Word;
        }
        const QString space = pieces[i].space;
        pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(i),
                     pieces.begin() + static_cast<std::ptrdiff_t>(firstKept));
        pieces[i].space = space;
    }
}

namespace {

const QSet<QString>& hintWords() {
    static const QSet<QString> words = {"nolock",
                                        "readuncommitted",
                                        "updlock",
                                        "repeatableread",
                                        "serializable",
                                        "readcommitted",
                                        "readcommittedlock",
                                        "tablock",
                                        "tablockx",
                                        "paglock",
                                        "rowlock",
                                        "nowait",
                                        "readpast",
                                        "xlock",
                                        "holdlock",
                                        "noexpand",
                                        "forceseek",
                                        "forcescan",
                                        "keepidentity",
                                        "keepdefaults",
                                        "ignore_constraints",
                                        "ignore_triggers",
                                        "fastfirstrow",
                                        "index",
                                        "snapshot"};
    return words;
}

const QSet<QString>& storageOptionWords() {
    static const QSet<QString> words = {"pad_index",
                                        "statistics_norecompute",
                                        "ignore_dup_key",
                                        "allow_row_locks",
                                        "allow_page_locks",
                                        "fillfactor",
                                        "data_compression",
                                        "sort_in_tempdb",
                                        "drop_existing",
                                        "online",
                                        "optimize_for_sequential_key",
                                        "maxdop",
                                        "memory_optimized",
                                        "durability"};
    return words;
}

// Whether the group (open, close) holds only hints or storage options.
bool isHintGroup(const Pieces& pieces, size_t open, size_t close, bool allowOptions) {
    if (close >= pieces.size() || close == open + 1)
        return false;
    for (const auto& [from, to] : splitTopLevel(pieces, open + 1, close)) {
        if (from >= to || pieces[from].kind != TokenKind::Word)
            return false;
        const QString word = pieces[from].text.toLower();
        if (!hintWords().contains(word) && !(allowOptions && storageOptionWords().contains(word)))
            return false;
    }
    return true;
}

void erase(Pieces& pieces, size_t from, size_t to) {
    pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(from),
                 pieces.begin() + static_cast<std::ptrdiff_t>(to));
}

} // namespace

void removeHintsAndOptions(Pieces& pieces) {
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if ((p.isWord(u"WITH") || p.isWord(u"OPTION")) && i + 1 < pieces.size() &&
            pieces[i + 1].isPunctuation(u"(")) {
            const size_t close = closeOf(pieces, i + 1);
            if (p.isWord(u"OPTION") || isHintGroup(pieces, i + 1, close, true)) {
                erase(pieces, i, std::min(close + 1, pieces.size()));
                --i;
            }
            continue;
        }
        if (p.isPunctuation(u"(") && i > 0 && pieces[i - 1].isNameLike() &&
            !isReservedWord(pieces[i - 1])) {
            const size_t close = closeOf(pieces, i);
            if (isHintGroup(pieces, i, close, false)) {
                erase(pieces, i, close + 1);
                --i;
            }
            continue;
        }
        // ON [PRIMARY] / TEXTIMAGE_ON [PRIMARY] after a table or index definition.
        if (p.isWord(u"TEXTIMAGE_ON") && i + 1 < pieces.size()) {
            erase(pieces, i, i + 2);
            --i;
            continue;
        }
        if (p.isWord(u"ON") && i > 0 && pieces[i - 1].isPunctuation(u")") &&
            i + 1 < pieces.size() && pieces[i + 1].isName(u"PRIMARY") &&
            (i + 2 == pieces.size() || !pieces[i + 2].isPunctuation(u"("))) {
            erase(pieces, i, i + 2);
            --i;
        }
    }
}

} // namespace estaciones::db::tsql::rewrite
