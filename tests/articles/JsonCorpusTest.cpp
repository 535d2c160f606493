// The public JSON conformance corpus, read in place from the shared test data.
#include "JsonTestSupport.h"
#include "articles/JSON.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace estaciones;
using Json = nlohmann::ordered_json; // keeps members in document order, as the reader does

namespace {

// Accepted documents whose reading differs on purpose from a strict parser's.
const std::map<QString, const char*> kDeliberateDifferences = {
    {QStringLiteral("y_object_escaped_null_in_key.json"),
     "escapes in keys are kept as written: the key is foo\\u0000bar"},
};

struct CorpusFile {
    QString name;
    QByteArray bytes;
};

// The corpus folder, or why there is none. CI sets ESTACIONES_REQUIRE_TESTDATA so
// that a missing folder fails instead of skipping.
class JsonCorpus : public ::testing::Test {
protected:
    void SetUp() override {
        const QString shared = qEnvironmentVariable("ESTACIONES_SHARED_DIR");
        const QDir folder(shared + QStringLiteral("/testdata/json/test_parsing"));
        if (shared.isEmpty() || !folder.exists()) {
            const std::string reason = shared.isEmpty()
                                           ? "ESTACIONES_SHARED_DIR is not set"
                                           : "no corpus at " + folder.path().toStdString();
            if (qEnvironmentVariableIsSet("ESTACIONES_REQUIRE_TESTDATA"))
                FAIL() << reason << " (ESTACIONES_REQUIRE_TESTDATA is set)";
            GTEST_SKIP() << reason;
        }
        for (const QString& name : folder.entryList({QStringLiteral("*.json")}, QDir::Files)) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
            files.push_back({name, file.readAll()});
        }
        ASSERT_GT(files.size(), 300u) << "the corpus looks incomplete";
    }

    std::vector<CorpusFile> files;
};

bool isUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

// Finds objects that repeat a key (which a strict parser silently merges).
class DuplicateKeyFinder : public nlohmann::json_sax<Json> {
public:
    bool found = false;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        m_keys.emplace_back();
        return true;
    }
    bool key(string_t& key) override {
        found = found || !m_keys.back().insert(key).second;
        return true;
    }
    bool end_object() override {
        m_keys.pop_back();
        return true;
    }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
        return false;
    }

private:
    std::vector<std::set<std::string>> m_keys;
};

bool hasDuplicateKey(const QByteArray& bytes) {
    DuplicateKeyFinder finder;
    Json::sax_parse(bytes.begin(), bytes.end(), &finder);
    return finder.found;
}

// Empty when `value` is what the strict parser read, else where they part.
std::string difference(const Variant& value, const Json& expected, const std::string& path) {
    const auto differs = [&](const std::string& what) {
        return path + ": " + what + ", read " + test::render(value).toStdString();
    };
    if (expected.is_object()) {
        const auto dictionary = value.objectAs<JsonDictionary>();
        if (!dictionary || dictionary->Count() != static_cast<std::int32_t>(expected.size()))
            return differs("expected an object of " + std::to_string(expected.size()));
        const auto entries = dictionary->entries();
        int i = 0;
        for (const auto& [key, member] : expected.items()) {
            const auto& entry = entries.at(i++);
            if (entry.first != QString::fromStdString(key))
                return differs("expected key " + key);
            if (auto d = difference(entry.second, member, path + "." + key); !d.empty())
                return d;
        }
        return {};
    }
    if (expected.is_array()) {
        const auto collection = value.objectAs<JsonCollection>();
        if (!collection || collection->Count() != static_cast<std::int32_t>(expected.size()))
            return differs("expected an array of " + std::to_string(expected.size()));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const std::string at = path + "[" + std::to_string(i + 1) + "]";
            if (auto d =
                    difference(collection->Item(static_cast<std::int32_t>(i + 1)), expected[i], at);
                !d.empty())
                return d;
        }
        return {};
    }
    if (expected.is_string()) {
        const QString text = QString::fromStdString(expected.get<std::string>());
        return value == Variant(text) ? std::string() : differs("expected " + expected.dump());
    }
    if (expected.is_number_integer()) {
        // Whole numbers come back exact: 64-bit ones as Integer, longer ones as Decimal.
        const auto exact = Decimal::parse(QString::fromStdString(expected.dump()));
        const bool same = exact && (value.type() == Variant::Type::Integer ||
                                    value.type() == Variant::Type::Decimal) &&
                          value.toDecimal() == *exact;
        return same ? std::string() : differs("expected the whole number " + expected.dump());
    }
    if (expected.is_number()) {
        const bool numeric =
            value.type() == Variant::Type::Decimal || value.type() == Variant::Type::Double;
        return numeric && value.toDouble() == expected.get<double>()
                   ? std::string()
                   : differs("expected the number " + expected.dump());
    }
    if (expected.is_boolean())
        return value == Variant(expected.get<bool>()) ? std::string()
                                                      : differs("expected " + expected.dump());
    return value.isNull() ? std::string() : differs("expected null");
}

} // namespace

TEST_F(JsonCorpus, acceptedDocumentsReadAsAStrictParserReadsThem) {
    int compared = 0;
    for (const CorpusFile& file : files) {
        if (!file.name.startsWith(u"y_"))
            continue;
        const std::string name = file.name.toStdString();
        const auto listed = kDeliberateDifferences.find(file.name);
        const bool isListed = listed != kDeliberateDifferences.end();
        if (!isUtf8(file.bytes)) {
            EXPECT_TRUE(isListed) << name << " is not UTF-8 text: list it with a reason";
            continue;
        }
        const Json expected = Json::parse(file.bytes.begin(), file.bytes.end());
        if (!expected.is_object() && !expected.is_array())
            continue; // the reader takes objects and arrays only
        if (hasDuplicateKey(file.bytes))
            continue; // refused on purpose: the reader stops at the repeated key

        const auto result = LeerJson(QString::fromUtf8(file.bytes));
        const std::string problem = !ErroresJson().isEmpty()
                                        ? "error text " + ErroresJson().toStdString()
                                        : difference(Variant(result), expected, "$");

        if (isListed) {
            // A listed file must still differ, or the list has gone stale.
            EXPECT_FALSE(problem.empty())
                << name << " now reads as a strict parser reads it (" << listed->second << ")";
            continue;
        }
        EXPECT_EQ(problem, "") << name;
        ++compared;
    }
    EXPECT_GE(compared, 80);
}

// Nothing in the corpus (accepted, refused or either) may crash or hang the
// reader, nor may any prefix of the small documents (truncated answers).
TEST_F(JsonCorpus, noDocumentNorAnyPrefixBreaksTheReader) {
    int prefixes = 0;
    for (const CorpusFile& file : files) {
        // Not every file is UTF-8: read them also byte for byte as Latin-1, so
        // that stray bytes reach the reader as characters.
        for (const QString& text :
             {QString::fromUtf8(file.bytes), QString::fromLatin1(file.bytes)}) {
            const auto result = LeerJson(text);
            if (!result) {
                EXPECT_EQ(ErroresJson(), QStringLiteral("Invalid JSON")) << file.name.toStdString();
                continue;
            }
            EXPECT_TRUE(std::dynamic_pointer_cast<JsonDictionary>(result) ||
                        std::dynamic_pointer_cast<JsonCollection>(result));
            if (text.size() > 200)
                continue;
            for (qsizetype cut = 1; cut < text.size(); ++cut, ++prefixes) {
                // Holding the prefix in its own buffer lets a sanitizer see any over-read.
                const QString prefix = text.left(cut);
                LeerJson(prefix);
            }
        }
    }
    EXPECT_GT(prefixes, 4000);
}
