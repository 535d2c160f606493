#include "articles/JSON.h"
#include "articles/JsonNumber.h"
#include "JsonTestSupport.h"
#include "articles/JsonReader.h"
#include "platform/core/Error.h"

#include <gtest/gtest.h>

#include <limits>
#include <thread>
#include <vector>

using namespace estaciones;
using estaciones::test::render;

namespace {
const QString kDuplicate =
    QStringLiteral("This key is already associated with an element of this collection");

QString read(const QString& text) {
    return render(LeerJson(text));
}

QString nested(int depth) {
    return QString(depth, u'[') + QString(depth, u']');
}
} // namespace

TEST(LeerJson, onlyObjectsAndArraysAreDocuments) {
    for (const QString& text :
         {QStringLiteral("hola"), QStringLiteral(""), QStringLiteral("  \r\n"),
          QStringLiteral("12"), QStringLiteral("\"x\""), QStringLiteral("/* {} */ true")}) {
        EXPECT_EQ(LeerJson(text), nullptr) << text.toStdString();
        EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid JSON")) << text.toStdString();
    }
    // The error text belongs to the last parse only.
    EXPECT_EQ(read(QStringLiteral(" \t(\n{}")), QStringLiteral("{}"));
    EXPECT_EQ(ErroresJson(), QString());
}

TEST(LeerJson, objectsKeepOrderAndAcceptMissingCommas) {
    EXPECT_EQ(read(QStringLiteral(R"({"b":1 "a":"x"})")), QStringLiteral(R"({b:1,a:"x"})"));
    EXPECT_EQ(ErroresJson(), QString());
    const auto dictionary =
        std::dynamic_pointer_cast<JsonDictionary>(LeerJson(QStringLiteral(R"({"A":1,"a":2})")));
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->Count(), 2); // keys are case-sensitive
    EXPECT_EQ(dictionary->Item(QStringLiteral("a")), Variant(2));
    EXPECT_TRUE(dictionary->Item(QStringLiteral("z")).isEmpty());
    EXPECT_FALSE(dictionary->Exists(QStringLiteral("z")));
}

TEST(LeerJson, keysMayBeUnquotedAndLoseTheirBlanks) {
    EXPECT_EQ(read(QStringLiteral("{codigo: 1, 'desc ripcion' :2, \"a b\tc\r\nd\":3}")),
              QStringLiteral("{codigo:1,descripcion:2,abcd:3}"));
    EXPECT_EQ(read(QStringLiteral(R"({"h:m":1, 'say "hi"':2})")),
              QStringLiteral(R"({h:m:1,say"hi":2})"));
    EXPECT_EQ(ErroresJson(), QString());
    // Something other than ":" after a quoted key.
    EXPECT_EQ(read(QStringLiteral(R"({"a" "b":1})")), QStringLiteral(R"({a:"b",:1})"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid Key at position 6 : a\r\n"));
}

TEST(LeerJson, stringsDecodeEveryEscape) {
    EXPECT_EQ(read(QStringLiteral(R"(["\"\\\/\'\b\f\n\r\t\x", 'it''s', "a'b", 'a"b'])")),
              QStringLiteral("[\"\"\\/'\b\f\n\r\tx\",\"it\",\"s\",\"a'b\",\"a\"b\"]"));
    EXPECT_EQ(ErroresJson(), QString());
    const auto collection = std::dynamic_pointer_cast<JsonCollection>(
        LeerJson(QStringLiteral(R"(["\u00f1", "\uD834\uDD1E", "\u12", "\u004A\u004b"])")));
    ASSERT_TRUE(collection);
    EXPECT_EQ(collection->Item(1), Variant(QStringLiteral("ñ")));
    EXPECT_EQ(collection->Item(2), Variant(QStringLiteral("𝄞")));
    EXPECT_EQ(collection->Item(3), Variant(QStringLiteral("u12"))); // not four hex digits
    EXPECT_EQ(collection->Item(4), Variant(QStringLiteral("JK")));
    // A string cut short gives what was read; only the array complains.
    EXPECT_EQ(read(QStringLiteral(R"(["ab\)")), QStringLiteral(R"(["ab"])"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Missing ']': [\"ab\\\r\n"));
}

TEST(LeerJson, longStringsDoNotLeakIntoTheNextOne) {
    // Every string goes through one builder per parse: a long one grows it past a
    // chunk, and the short one after it must not see the rest.
    const QString longText = QString(20000, u'x') + QStringLiteral("\\n") + QString(100, u'y');
    const auto collection = std::dynamic_pointer_cast<JsonCollection>(
        LeerJson(QStringLiteral("[\"") + longText + QStringLiteral("\", \"ab\", '']")));
    ASSERT_TRUE(collection);
    ASSERT_EQ(collection->Count(), 3);
    EXPECT_EQ(collection->Item(1), Variant(QString(20000, u'x') + u'\n' + QString(100, u'y')));
    EXPECT_EQ(collection->Item(2), Variant(QStringLiteral("ab")));
    EXPECT_EQ(collection->Item(3), Variant(QString()));
}

TEST(LeerJson, collectionsAreNumberedFromOne) {
    const auto collection =
        std::dynamic_pointer_cast<JsonCollection>(LeerJson(QStringLiteral("[10 20, [30], {}]")));
    ASSERT_TRUE(collection);
    ASSERT_EQ(collection->Count(), 4);
    EXPECT_EQ(collection->Item(1), Variant(10));
    EXPECT_EQ(render(collection->Item(3)), QStringLiteral("[30]"));
    EXPECT_EQ(collection->Item(4).toObject()->typeName(), QStringLiteral("Dictionary"));
    for (int bad : {0, 5, -1}) {
        try {
            collection->Item(bad);
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), errnum::SubscriptOutOfRange);
        }
    }
}

TEST(LeerJson, numbersKeepTheirExactValueWhateverTheLocale) {
    // The test main runs in Spanish, where "," is the decimal mark.
    const auto collection = std::dynamic_pointer_cast<JsonCollection>(LeerJson(QStringLiteral(
        "[0.1, 12345678901234567890, -9223372036854775808, +7, 1.50, -2e3, .5, 0.25E+1,"
        " 1234567890123456789012345678, 1.5e300, 12345678901234567890123456789]")));
    ASSERT_TRUE(collection);
    EXPECT_EQ(ErroresJson(), QString());
    const auto decimal = [](const char* text) { return Variant(*Decimal::parse(QString::fromLatin1(text))); };
    const Variant expected[] = {decimal("0.1"),
                                decimal("12345678901234567890"), // a code beyond 64 bits
                                Variant(std::numeric_limits<std::int64_t>::min()),
                                Variant(7),
                                decimal("1.50"),
                                decimal("-2000"),
                                decimal("0.5"),
                                decimal("2.5"),
                                decimal("1234567890123456789012345678"),
                                Variant(1.5e300), // no Decimal holds it
                                Variant(12345678901234567890123456789.0)};
    ASSERT_EQ(collection->Count(), 11);
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(collection->Item(i + 1), expected[i]) << i + 1;
    EXPECT_EQ(collection->Item(5).toString(), QStringLiteral("1.50"));
    // Exact, as doubles are not: 0.1 + 0.2 is 0.3.
    EXPECT_EQ(Decimal::add(collection->Item(1).toDecimal(), *Decimal::parse(u"0.2")),
              *Decimal::parse(u"0.3"));

    // Characters of a number that make no number: recorded, read as Empty, reading goes on.
    EXPECT_EQ(read(QStringLiteral("[1-2, 1e999, 3]")), QStringLiteral("[Empty,Empty,3]"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid number at position 2 : 1-2\r\n"
                                            "Invalid number at position 7 : 1e999\r\n"));
}

TEST(JsonNumber, wholeNumbersAreIntegersUpTo64BitsAndDecimalsBeyond) {
    constexpr auto maxInt = std::numeric_limits<std::int64_t>::max();
    EXPECT_EQ(jsonNumber(u"9223372036854775807"), Variant(maxInt));
    EXPECT_EQ(jsonNumber(u"-9223372036854775808"), Variant(std::numeric_limits<std::int64_t>::min()));
    for (const char16_t* beyond : {u"9223372036854775808", u"-9223372036854775809"}) {
        const auto value = jsonNumber(beyond);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type(), Variant::Type::Decimal);
        EXPECT_EQ(value->toString(), QString::fromUtf16(beyond));
    }
    EXPECT_EQ(jsonNumber(u"-0"), Variant(0));
    EXPECT_EQ(jsonNumber(u"007"), Variant(7));
    EXPECT_EQ(jsonNumber(u"3.")->type(), Variant::Type::Decimal);
    // 28 significant digits stay exact; the 29th makes a Double.
    EXPECT_EQ(jsonNumber(u"0.1234567890123456789012345678")->toString(),
              QStringLiteral("0.1234567890123456789012345678"));
    EXPECT_EQ(jsonNumber(u"0.12345678901234567890123456789")->type(), Variant::Type::Double);
    for (const char16_t* none : {u"", u"+", u"-", u".", u"e5", u"1e", u"1..2", u"--1", u"1e999"})
        EXPECT_FALSE(jsonNumber(none)) << QString::fromUtf16(none).toStdString();
}

TEST(LeerJson, nullIsNotEmpty) {
    const QString text = QStringLiteral(R"({"a":null,"b":true,"c":false,"d":)");
    EXPECT_EQ(read(text), QStringLiteral("{a:Null,b:true,c:false,d:Empty}"));
    EXPECT_EQ(ErroresJson(),
              QStringLiteral("Missing '}': ") + text.right(20) + QStringLiteral("\r\n"));
}

TEST(LeerJson, commentsAndParenthesesAreBlanks) {
    EXPECT_EQ(read(QStringLiteral("/* a */ [1, /* [2] */ (3) /**/ ]")), QStringLiteral("[1,3]"));
    EXPECT_EQ(ErroresJson(), QString());
    EXPECT_EQ(read(QStringLiteral("[1 /* never closed ]")), QStringLiteral("[1]"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Missing ']': [1 /* never closed ]\r\n"));
}

TEST(LeerJson, truncatedContainersKeepWhatWasRead) {
    EXPECT_EQ(read(QStringLiteral(R"({"a":1,"b":"xyz")")), QStringLiteral(R"({a:1,b:"xyz"})"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Missing '}': {\"a\":1,\"b\":\"xyz\"\r\n"));
    // A number that runs to the end of the text could be cut short: Empty.
    EXPECT_EQ(read(QStringLiteral(R"({"a":1)")), QStringLiteral("{a:Empty}"));
    EXPECT_EQ(read(QStringLiteral(R"([{"a":[1,2)")), QStringLiteral("[{a:[1,Empty]}]"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Missing ']': [{\"a\":[1,2\r\n"
                                            "Missing '}': [{\"a\":[1,2\r\n"
                                            "Missing ']': [{\"a\":[1,2\r\n"));
    // Only the last 20 characters are quoted.
    read(QStringLiteral("[\"") + QString(30, u'x') + QStringLiteral("\""));
    EXPECT_EQ(ErroresJson(),
              QStringLiteral("Missing ']': ") + QString(19, u'x') + QStringLiteral("\"\r\n"));
}

TEST(LeerJson, duplicateKeyEndsTheObject) {
    EXPECT_EQ(read(QStringLiteral(R"({"a":1,"b":2,"a":3,"c":4})")), QStringLiteral("{a:1,b:2}"));
    EXPECT_EQ(ErroresJson(), kDuplicate + QStringLiteral(": a\r\n"));
    // Inside an array, the rest of the object is a value that failed to read.
    EXPECT_EQ(read(QStringLiteral(R"([{"a":1,"a":2},3])")), QStringLiteral("[{a:1},Empty,3]"));
    EXPECT_EQ(ErroresJson(),
              kDuplicate + QStringLiteral(": a\r\nInvalid value at position 14\r\n"));
}

TEST(LeerJson, largeObjectsFindAndRefuseKeysAsSmallOnesDo) {
    QString text = QStringLiteral("{");
    for (int i = 1; i <= 40; ++i)
        text += QStringLiteral("k%1:%1,").arg(i);
    const auto dictionary =
        std::dynamic_pointer_cast<JsonDictionary>(LeerJson(text + QStringLiteral("k7:0,k99:1}")));
    ASSERT_TRUE(dictionary);
    EXPECT_EQ(dictionary->Count(), 40);
    EXPECT_EQ(dictionary->Keys().at(39), QStringLiteral("k40"));
    for (int i : {1, 15, 16, 17, 40})
        EXPECT_EQ(dictionary->Item(QStringLiteral("k%1").arg(i)), Variant(i)) << i;
    EXPECT_FALSE(dictionary->Exists(QStringLiteral("k99")));
    EXPECT_EQ(ErroresJson(), kDuplicate + QStringLiteral(": k7\r\n"));
}

TEST(LeerJson, malformedValuesReadAsFalseOrEmptyAndReadingGoesOn) {
    // A Boolean misspelt is False.
    EXPECT_EQ(read(QStringLiteral(R"({"a":tru, "b":fals})")), QStringLiteral("{a:false,b:false}"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid Boolean at position 6 : tru, \"b\":fals}\r\n"
                                            "Invalid Boolean at position 15 : fals}\r\n"));
    // A null misspelt is Empty.
    EXPECT_EQ(read(QStringLiteral("[1, nul, 2]")), QStringLiteral("[1,Empty,2]"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid null value at position 5 : nul, 2]\r\n"));
    // A value left out is Empty.
    EXPECT_EQ(read(QStringLiteral("[1,,2]")), QStringLiteral("[1,Empty,2]"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid value at position 4\r\n"));
    EXPECT_EQ(read(QStringLiteral(R"({"a":,"b":2})")), QStringLiteral("{a:Empty,b:2}"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid value at position 6\r\n"));
    EXPECT_EQ(read(QStringLiteral(R"({"a":})")), QStringLiteral("{a:Empty}"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid value at position 6\r\n"));
    // Characters no value starts with are one Empty, whatever their length.
    EXPECT_EQ(read(QStringLiteral("[*, True, 3]")), QStringLiteral("[Empty,Empty,3]"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid value at position 2\r\n"
                                            "Invalid value at position 5\r\n"));
    // A closer of another container is passed over, not taken for the end.
    EXPECT_EQ(read(QStringLiteral("[1,},2]")), QStringLiteral("[1,Empty,2]"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid value at position 4\r\n"));
    EXPECT_EQ(read(QStringLiteral(R"({"a":],"b":1})")), QStringLiteral("{a:Empty,b:1}"));
    // Inside nested containers the reading goes on at every level.
    EXPECT_EQ(read(QStringLiteral(R"([1,{"k":[2,*,4],"m":tru},3])")),
              QStringLiteral("[1,{k:[2,Empty,4],m:false},3]"));
    // Positions count UTF-16 characters: the clef takes two.
    EXPECT_EQ(read(QStringLiteral("[\"𝄞\" #]")), QStringLiteral("[\"𝄞\",Empty]"));
    EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid value at position 7\r\n"));
}

TEST(LeerJson, deepNestingStopsInsteadOfOverflowing) {
    EXPECT_EQ(read(nested(JsonReader::MaxDepth)), nested(JsonReader::MaxDepth));
    EXPECT_EQ(ErroresJson(), QString());

    const QString tooDeep = nested(JsonReader::MaxDepth + 1);
    const auto result = LeerJson(tooDeep);
    ASSERT_TRUE(result);
    EXPECT_EQ(ErroresJson(), QStringLiteral("Nesting deeper than 512 levels at position 513\r\n"));
    EXPECT_EQ(render(result), nested(JsonReader::MaxDepth));

    EXPECT_TRUE(LeerJson(QString(200000, u'[')));
    EXPECT_TRUE(ErroresJson().startsWith(QStringLiteral("Nesting deeper than 512")));
    EXPECT_TRUE(LeerJson(QStringLiteral(R"({"a":)").repeated(100000)));
    EXPECT_TRUE(ErroresJson().startsWith(QStringLiteral("Nesting deeper than 512")));
}

TEST(LeerJson, nestedContainersOutliveTheDocumentTheyCameFrom) {
    std::shared_ptr<JsonDictionary> unidad;
    std::shared_ptr<JsonCollection> codigos;
    {
        const auto articulos = std::dynamic_pointer_cast<JsonCollection>(LeerJson(QStringLiteral(
            R"([{"codigos":["779", 'CAJA [12u]'], "unidad":{"codigo":"  1", "peso":1.250}}])")));
        ASSERT_TRUE(articulos);
        const auto articulo = articulos->Item(1).objectAs<JsonDictionary>();
        ASSERT_TRUE(articulo);
        unidad = articulo->Item(u"unidad").objectAs<JsonDictionary>();
        codigos = articulo->Item(u"codigos").objectAs<JsonCollection>();
    }
    ASSERT_TRUE(unidad && codigos);
    EXPECT_EQ(unidad->Keys(), (QList<QString>{QStringLiteral("codigo"), QStringLiteral("peso")}));
    EXPECT_EQ(unidad->Item(u"codigo"), Variant(QStringLiteral("  1")));
    EXPECT_EQ(unidad->Item(u"peso").toString(), QStringLiteral("1.250"));
    EXPECT_EQ(render(Variant(std::shared_ptr<VariantObject>(codigos))),
              QStringLiteral(R"(["779","CAJA [12u]"])"));
    // Each reading of a value is a copy of its own.
    QString text = codigos->Item(2).toString();
    text[0] = u'X';
    EXPECT_EQ(codigos->Item(2), Variant(QStringLiteral("CAJA [12u]")));
}

TEST(LeerJson, documentsKeepTheirTextsWhateverHappensToTheCallersAndToOtherDocuments) {
    // Texts without escapes are slices of the parsed text: a caller that reuses
    // its buffer must not change them.
    QString answer = QStringLiteral(R"({"codigo":"  7", "desc":"dos\nlineas", sin : 'comillas'})");
    const auto first = std::dynamic_pointer_cast<JsonDictionary>(LeerJson(answer));
    ASSERT_TRUE(first);
    answer.fill(u'z');
    EXPECT_EQ(render(Variant(std::shared_ptr<VariantObject>(first))),
              QStringLiteral("{codigo:\"  7\",desc:\"dos\nlineas\",sin:\"comillas\"}"));

    // Documents let go give their memory to the next parse of the thread, so
    // the ones still held must not see later parses, here or on another thread.
    std::vector<std::shared_ptr<VariantObject>> kept;
    std::vector<QString> expected;
    for (int i = 0; i < 30; ++i) {
        const QString n = QString::number(i);
        const QString text = QStringLiteral("[\"a%1\", {\"k%1\": \"v\\t%1\"}, %1.5]").arg(n);
        auto document = LeerJson(QString(text));
        if (i % 3 == 0) {
            kept.push_back(document);
            expected.push_back(QStringLiteral("[\"a%1\",{k%1:\"v\t%1\"},%1.5]").arg(n));
        }
    }
    std::shared_ptr<VariantObject> fromThread;
    std::thread([&] { fromThread = LeerJson(QStringLiteral(R"({"hilo":["x\"y"]})")); }).join();
    auto again = LeerJson(QStringLiteral(R"({"hilo":"otro"})"));
    EXPECT_EQ(render(Variant(fromThread)), QStringLiteral(R"({hilo:["x"y"]})"));
    fromThread.reset(); // let go on a thread that did not read it, after its reader ended
    for (std::size_t i = 0; i < kept.size(); ++i)
        EXPECT_EQ(render(Variant(kept[i])), expected[i]);
    EXPECT_EQ(render(Variant(again)), QStringLiteral(R"({hilo:"otro"})"));
}

TEST(JsonReader, containerReadersSayWhereTheyFoundNoContainer) {
    const QString text = QStringLiteral("  abcdefghijklmnopqrstuvwxyz");
    JsonReader objects(text);
    EXPECT_EQ(objects.LeerObjeto()->Count(), 0);
    EXPECT_EQ(objects.errors(), QStringLiteral("Invalid Object at position 3 : ") + text.mid(2) +
                                    QStringLiteral("\r\n"));
    JsonReader arrays(text);
    EXPECT_EQ(arrays.LeerArreglo()->Count(), 0);
    EXPECT_EQ(arrays.errors(), QStringLiteral("Invalid Array at position 3 : ") + text.mid(2, 20) +
                                   QStringLiteral("\r\n"));
    EXPECT_EQ(arrays.position(), 3);
}
