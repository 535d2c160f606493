#include "articles/cStringBuilder.h"
#include "platform/core/Error.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace estaciones;

namespace {
// The error number a call throws, or 0.
template <class F> std::int32_t errorOf(F&& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

QString letters(int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += QChar(u'a' + i % 26);
    return text;
}
} // namespace

TEST(StringBuilder, newBuilderIsEmptyWithTheDefaultChunk) {
    cStringBuilder sb;
    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 0);
    EXPECT_EQ(sb.ChunkSize(), 8192);
    EXPECT_EQ(sb.toString(), QString());
    EXPECT_EQ(sb.Find(u"a"), 0);
}

TEST(StringBuilder, growsInWholeChunks) {
    cStringBuilder sb;
    sb.Append(u"x");
    EXPECT_EQ(sb.Capacity(), 8192);
    EXPECT_EQ(sb.Length(), 1);

    cStringBuilder big;
    big.Append(letters(10000));
    EXPECT_EQ(big.Capacity(), 16384);
    EXPECT_EQ(big.Length(), 10000);
    // Exactly filling the capacity does not grow it; one more character does.
    big.Append(letters(16384 - 10000));
    EXPECT_EQ(big.Capacity(), 16384);
    big.Append(u"!");
    EXPECT_EQ(big.Capacity(), 16384 + 8192);

    cStringBuilder small;
    small.setChunkSize(4);
    small.Append(u"abcdefghij"); // 10 characters need three chunks of 4
    EXPECT_EQ(small.Capacity(), 12);
    EXPECT_EQ(small.toString(), QStringLiteral("abcdefghij"));
}

TEST(StringBuilder, chunkSizeRefusesOverflowAndNothing) {
    cStringBuilder sb;
    EXPECT_EQ(errorOf([&] { sb.setChunkSize(std::numeric_limits<std::int32_t>::max() / 2 + 1); }),
              errnum::Overflow);
    EXPECT_EQ(errorOf([&] { sb.setChunkSize(0); }), errnum::InvalidProcedureCall);
    EXPECT_EQ(errorOf([&] { sb.setChunkSize(-8); }), errnum::InvalidProcedureCall);
    EXPECT_EQ(sb.ChunkSize(), 8192);
    sb.setChunkSize(std::numeric_limits<std::int32_t>::max() / 2);
    EXPECT_EQ(sb.ChunkSize(), std::numeric_limits<std::int32_t>::max() / 2);
}

TEST(StringBuilder, theStringReplacesAndEmptyReleases) {
    cStringBuilder sb;
    sb.Append(letters(100));
    sb.setTheString(QStringLiteral("hola"));
    EXPECT_EQ(sb.toString(), QStringLiteral("hola"));
    EXPECT_EQ(sb.Length(), 4);
    EXPECT_EQ(sb.Capacity(), 8192);
    sb.setTheString(QString());
    EXPECT_EQ(sb.Length(), 0);
    EXPECT_EQ(sb.Capacity(), 0);
    sb.setTheString(letters(9000));
    EXPECT_EQ(sb.Capacity(), 16384);
    sb.Clear();
    EXPECT_EQ(sb.Capacity(), 0);
    EXPECT_EQ(sb.toString(), QString());
}

TEST(StringBuilder, appendVariantsAndNewLines) {
    cStringBuilder sb;
    QString part = QStringLiteral("año");
    sb.Append(part);
    sb.AppendByVal(QStringLiteral(" 𝄞")); // a surrogate pair counts two characters
    sb.AppendNL(u"!");
    EXPECT_EQ(sb.toString(), QStringLiteral("año 𝄞!\r\n"));
    EXPECT_EQ(sb.Length(), 9);
}

TEST(StringBuilder, insertAtEveryBoundary) {
    cStringBuilder sb;
    sb.Append(u"bd");
    sb.Insert(0, u"a");
    sb.Insert(2, u"c");
    sb.Insert(sb.Length(), u"e"); // at Length: appends
    EXPECT_EQ(sb.toString(), QStringLiteral("abcde"));
    EXPECT_EQ(errorOf([&] { sb.Insert(sb.Length() + 1, u"x"); }), errnum::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { sb.InsertByVal(-1, QStringLiteral("x")); }),
              errnum::SubscriptOutOfRange);
    EXPECT_EQ(sb.toString(), QStringLiteral("abcde"));

    // Inserting across a chunk boundary moves the tail intact.
    cStringBuilder edge;
    edge.setChunkSize(4);
    edge.Append(u"abcd");
    edge.Insert(1, u"XYZ");
    EXPECT_EQ(edge.toString(), QStringLiteral("aXYZbcd"));
    EXPECT_EQ(edge.Capacity(), 8);
}

TEST(StringBuilder, insertOfItsOwnContentIsSafe) {
    cStringBuilder sb;
    sb.Append(u"abc");
    const QString content = sb.toString();
    sb.Insert(1, content);
    EXPECT_EQ(sb.toString(), QStringLiteral("aabcbc"));
}

TEST(StringBuilder, appendOfItsOwnContentIsSafeWhenItGrows) {
    cStringBuilder sb;
    sb.setChunkSize(4);
    sb.Append(u"abcd"); // full: the next append must grow the buffer
    sb.Append(sb.view());
    sb.Append(sb.view().sliced(2, 3));
    EXPECT_EQ(sb.toString(), QStringLiteral("abcdabcdcda"));
    EXPECT_EQ(sb.Capacity(), 12);
    // toString is a copy: later appends do not reach it.
    const QString before = sb.toString();
    sb.Append(u"z");
    EXPECT_EQ(before, QStringLiteral("abcdabcdcda"));
}

TEST(StringBuilder, removeChecksTheWholeRange) {
    cStringBuilder sb;
    sb.Append(u"abcdef");
    sb.Remove(1, 2);
    EXPECT_EQ(sb.toString(), QStringLiteral("adef"));
    sb.Remove(4, 0); // an empty range at the end is allowed
    sb.Remove(2, 2); // up to the last character
    EXPECT_EQ(sb.toString(), QStringLiteral("ad"));
    for (auto [index, count] : {std::pair{3, 0},
                                {1, 2},
                                {-1, 1},
                                {0, -1},
                                {1, std::numeric_limits<std::int32_t>::max()}}) {
        // Copies: clang before 16 cannot capture structured bindings.
        EXPECT_EQ(errorOf([&sb, index = index, count = count] { sb.Remove(index, count); }),
                  errnum::SubscriptOutOfRange)
            << index << "," << count;
    }
    EXPECT_EQ(sb.toString(), QStringLiteral("ad"));
    EXPECT_EQ(sb.Capacity(), 8192);
}

TEST(StringBuilder, findCountsMatchesThatEndAtTheLastCharacter) {
    cStringBuilder sb;
    sb.Append(u"abc");
    EXPECT_EQ(sb.Find(u"c"), 3);
    EXPECT_EQ(sb.Find(u"abc"), 1);
    EXPECT_EQ(sb.Find(u"abcd"), 0);
    // The padding after the content is blanks: never part of a match.
    EXPECT_EQ(sb.Find(u"c "), 0);
    EXPECT_EQ(sb.Find(u" "), 0);
    // A removed tail is no longer content either.
    sb.Append(u"xyz");
    sb.Remove(3, 3);
    EXPECT_EQ(sb.Find(u"x"), 0);
}

TEST(StringBuilder, findFromAStartAndIgnoringCase) {
    cStringBuilder sb;
    sb.Append(u"abcABCabc");
    EXPECT_EQ(sb.Find(u"abc", 2), 7);
    EXPECT_EQ(sb.Find(u"abc", 0), 1); // below 1: from the start
    EXPECT_EQ(sb.Find(u"abc", -5), 1);
    EXPECT_EQ(sb.Find(u"abc", 8), 0);
    EXPECT_EQ(sb.Find(u"abc", 100), 0);
    EXPECT_EQ(sb.Find(u"ABC", 1, CompareMethod::Binary), 4);
    EXPECT_EQ(sb.Find(u"ABC", 5, CompareMethod::Text), 7);
}

TEST(StringBuilder, heapMinimizeKeepsAtMostOneChunkOfSlack) {
    cStringBuilder sb;
    sb.Append(letters(50000)); // 7 chunks
    EXPECT_EQ(sb.Capacity(), 57344);
    sb.Remove(100, 49900);
    sb.HeapMinimize();
    EXPECT_EQ(sb.Capacity(), 8192);
    EXPECT_EQ(sb.toString(), letters(100));

    sb.Remove(0, 100);
    sb.HeapMinimize(); // 8192 slack is exactly one chunk: kept
    EXPECT_EQ(sb.Capacity(), 8192);

    cStringBuilder exact;
    exact.Append(letters(8192 * 2));
    exact.HeapMinimize();
    EXPECT_EQ(exact.Capacity(), 8192 * 2);
    exact.Append(u"z");
    EXPECT_EQ(exact.toString(), letters(8192 * 2) + u'z');
}

// Random edits, with a fixed seed, against a plain QString doing the same.
TEST(StringBuilder, randomEditsMatchAPlainStringModel) {
    std::mt19937 random(20261208);
    const QString alphabet = QStringLiteral("abcñ \r\n€");
    const auto randomText = [&](int maxLength) {
        QString text;
        const int length = std::uniform_int_distribution<int>(0, maxLength)(random);
        for (int i = 0; i < length; ++i)
            text += alphabet[std::uniform_int_distribution<int>(0, alphabet.size() - 1)(random)];
        return text;
    };
    const auto upTo = [&](qsizetype n) {
        return static_cast<std::int32_t>(std::uniform_int_distribution<qsizetype>(0, n)(random));
    };

    cStringBuilder sb;
    sb.setChunkSize(16); // small chunks cross boundaries often
    QString model;
    for (int step = 0; step < 20000; ++step) {
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0: {
            const QString text = randomText(40);
            sb.Append(text);
            model += text;
            break;
        }
        case 1: {
            const QString text = randomText(20);
            const std::int32_t index = upTo(model.size());
            sb.Insert(index, text);
            model.insert(index, text);
            break;
        }
        case 2: {
            const std::int32_t index = upTo(model.size());
            const std::int32_t count = upTo(model.size() - index);
            sb.Remove(index, count);
            model.remove(index, count);
            break;
        }
        case 3: {
            const QString needle = randomText(3);
            const std::int32_t start = upTo(model.size() + 1);
            const qsizetype expected = model.indexOf(needle, start > 0 ? start - 1 : 0);
            ASSERT_EQ(sb.Find(needle, start), expected + 1) << "step " << step;
            break;
        }
        case 4: {
            // Out of range: refused, nothing changes.
            const std::int32_t index = static_cast<std::int32_t>(model.size()) + 1 + upTo(3);
            ASSERT_EQ(errorOf([&] { sb.Remove(index - 1, 2); }), errnum::SubscriptOutOfRange);
            ASSERT_EQ(errorOf([&] { sb.Insert(index, u"q"); }), errnum::SubscriptOutOfRange);
            break;
        }
        default:
            if (model.size() > 2000) {
                sb.HeapMinimize();
                ASSERT_LE(sb.Capacity() - sb.Length(), sb.ChunkSize());
            }
            break;
        }
        ASSERT_EQ(sb.Length(), model.size()) << "step " << step;
        ASSERT_GE(sb.Capacity(), sb.Length());
        ASSERT_EQ(sb.Capacity() % 16, 0);
        if (step % 97 == 0) {
            ASSERT_EQ(sb.toString(), model) << "step " << step;
        }
    }
    EXPECT_EQ(sb.toString(), model);
}
